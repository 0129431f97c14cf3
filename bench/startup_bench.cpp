// Start-up as a user sees it: the whole quillmark process from its start to its main window
// painted on the screen, against a bare Qt window (bare_qt_window) started the same way, under
// a private Xvfb, interleaved (A B A B ...). The first paint is the moment the root window
// first shows the space-required box's green (each program has one). Each process is then
// ended with SIGTERM; its peak resident size comes from wait4. Target: quillmark at most 1.1
// times the bare window's time.
//
//   ninja -C build-bench startup_bench && ./build-bench/bench/startup_bench [runs] [quillmark]
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "BenchSupport.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr unsigned long kGreen = 0x008000;
constexpr int kGreenPixels = 600;  // most of an 89 x 21 box

struct Run {
  double ms = 0;
  long peakKb = 0;
  double cpuMs = 0;  // user and system time of the whole run, its end included
  bool ok = false;
};

// A private Xvfb on a display number of its own choosing, black root.
pid_t StartXvfb(std::string* display) {
  int fds[2];
  if (pipe(fds) != 0) return 0;
  std::string fd = std::to_string(fds[1]);
  const char* argv[] = {"Xvfb",        "-displayfd", fd.c_str(),  "-screen", "0",
                        "1024x768x24", "-br",        "-nolisten", "tcp",     nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, "Xvfb", nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
    return 0;
  close(fds[1]);
  char buf[32] = {};
  ssize_t n = read(fds[0], buf, sizeof buf - 1);
  close(fds[0]);
  if (n <= 0) return 0;
  *display = ":" + std::string(buf, std::size_t(n - (buf[n - 1] == '\n')));
  return pid;
}

struct XScreen {
  xcb_connection_t* connection = nullptr;
  xcb_window_t root = 0;
};

int GreenPixels(const XScreen& screen) {
  xcb_get_image_cookie_t cookie = xcb_get_image(screen.connection, XCB_IMAGE_FORMAT_Z_PIXMAP,
                                                screen.root, 0, 0, 1024, 768, ~0u);
  xcb_get_image_reply_t* reply = xcb_get_image_reply(screen.connection, cookie, nullptr);
  if (!reply) return 0;
  const auto* pixels = reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(reply));
  const int count = xcb_get_image_data_length(reply) / 4;  // 32 bits a pixel at depth 24
  int n = 0;
  for (int i = 0; i < count; ++i) n += (pixels[i] & 0xFFFFFF) == kGreen;
  std::free(reply);
  return n;
}

Run Time(const XScreen& dpy, const std::string& exe) {
  Run run;
  char* argv[] = {const_cast<char*>(exe.c_str()), nullptr};
  pid_t pid = 0;
  const Clock::time_point start = Clock::now();
  if (posix_spawn(&pid, exe.c_str(), nullptr, nullptr, argv, environ) != 0) return run;
  while (Clock::now() - start < std::chrono::seconds(20)) {
    if (GreenPixels(dpy) >= kGreenPixels) {
      run.ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
      run.ok = true;
      break;
    }
  }
  kill(pid, SIGTERM);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  run.peakKb = usage.ru_maxrss;
  run.cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
              (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
  // The next run starts on a screen without green.
  while (GreenPixels(dpy) > 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  return run;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty()      ? 0
         : v.size() % 2 ? v[v.size() / 2]
                        : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  const std::string quillmark = argc > 2 ? argv[2] : QUILLMARK_EXE;
  const std::string bare = BARE_QT_EXE;
  std::string dir = SandboxedHome("startup-bench");
  if (dir.empty()) return 1;
  setenv("XDG_DATA_HOME", dir.c_str(), 1);
  setenv("LC_ALL", "en_GB.UTF-8", 1);
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  std::string display;
  pid_t xvfb = StartXvfb(&display);
  if (!xvfb) {
    std::fprintf(stderr, "cannot start Xvfb\n");
    return 1;
  }
  setenv("DISPLAY", display.c_str(), 1);
  XScreen dpy;
  dpy.connection = xcb_connect(display.c_str(), nullptr);
  if (xcb_connection_has_error(dpy.connection)) return 1;
  dpy.root = xcb_setup_roots_iterator(xcb_get_setup(dpy.connection)).data->root;

  std::vector<double> ms[2], kb[2], cpu[2];
  const std::string exes[2] = {quillmark, bare};
  Time(dpy, quillmark);  // warm the file cache for both; not counted
  Time(dpy, bare);
  for (int i = 0; i < runs; ++i)
    for (int p = 0; p < 2; ++p) {
      Run r = Time(dpy, exes[p]);
      if (!r.ok) {
        std::fprintf(stderr, "%s painted no green box within 20 s\n", exes[p].c_str());
        continue;
      }
      ms[p].push_back(r.ms);
      kb[p].push_back(double(r.peakKb));
      cpu[p].push_back(r.cpuMs);
      std::printf("%-10s run %2d  %7.1f ms  %6.1f MB  %6.1f ms CPU\n", p ? "bare Qt" : "quillmark",
                  i + 1, r.ms, r.peakKb / 1024.0, r.cpuMs);
    }
  xcb_disconnect(dpy.connection);
  kill(xvfb, SIGTERM);
  waitpid(xvfb, nullptr, 0);
  std::system(("rm -rf '" + dir + "'").c_str());

  const double q = Median(ms[0]), b = Median(ms[1]);
  std::printf("\nstart to first paint, median of %zu and %zu runs:\n", ms[0].size(), ms[1].size());
  std::printf("  quillmark %7.1f ms, peak RSS %6.1f MB, CPU %6.1f ms\n", q, Median(kb[0]) / 1024.0,
              Median(cpu[0]));
  std::printf("  bare Qt   %7.1f ms, peak RSS %6.1f MB, CPU %6.1f ms\n", b, Median(kb[1]) / 1024.0,
              Median(cpu[1]));
  std::printf("  ratio     %7.2f x (time), %.2f x (peak RSS); target at most 1.10 x\n",
              b > 0 ? q / b : 0, Median(kb[1]) > 0 ? Median(kb[0]) / Median(kb[1]) : 0);
  return ms[0].empty() || ms[1].empty() ? 1 : 0;
}
