// The desktop session ending the program: SIGTERM to the quillmark process gone, its settings
// written, the whole process under an X server of its own (Xvfb). Target: under 30 ms.
//
//   cmake -S . -B build-bench -G Ninja -DKORV_BENCH=ON -DCMAKE_BUILD_TYPE=Release
//   ninja -C build-bench session_end_bench quillmark && ./build-bench/bench/session_end_bench
// QUILLMARK_EXE names another executable to time (an older build, to compare).
#include <benchmark/benchmark.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "BenchSupport.h"

extern char** environ;

namespace {

std::string gDir;
std::string gExe;
pid_t gXvfb = 0;

// Starts Xvfb on a free display and makes it this process's DISPLAY.
bool StartDisplayServer() {
  int fds[2];
  if (pipe(fds) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  const std::string fd = std::to_string(fds[1]);
  char* argv[] = {const_cast<char*>("Xvfb"),
                  const_cast<char*>("-displayfd"),
                  const_cast<char*>(fd.c_str()),
                  const_cast<char*>("-screen"),
                  const_cast<char*>("0"),
                  const_cast<char*>("1024x768x24"),
                  const_cast<char*>("-nolisten"),
                  const_cast<char*>("tcp"),
                  nullptr};
  const int started = posix_spawnp(&gXvfb, "Xvfb", &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  char number[16] = {};
  const ssize_t n = started == 0 ? read(fds[0], number, sizeof number - 1) : -1;
  close(fds[0]);
  if (n <= 0) {
    if (started == 0) waitpid(gXvfb, nullptr, 0);
    return false;
  }
  std::string display = ":" + std::string(number, std::size_t(n));
  while (!display.empty() && display.back() == '\n') display.pop_back();
  setenv("DISPLAY", display.c_str(), 1);
  return true;
}

bool Exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

void BM_SigtermToExit(benchmark::State& state) {
  const std::string settings = gDir + "/Korv/Quillmark/Quillmark.ini";
  for (auto _ : state) {
    std::remove(settings.c_str());
    pid_t pid = 0;
    char* argv[] = {gExe.data(), nullptr};
    if (posix_spawn(&pid, gExe.c_str(), nullptr, nullptr, argv, environ) != 0) {
      state.SkipWithError("cannot start quillmark");
      return;
    }
    // Its window shown and activated (settings read): then the session ends.
    if (std::system("timeout 30 xdotool search --sync --name 'Quillmark Paper Generation' "
                    ">/dev/null 2>&1") != 0) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
      state.SkipWithError("no window appeared");
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const auto start = std::chrono::steady_clock::now();
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    const auto end = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || !Exists(settings)) {
      state.SkipWithError("quillmark did not end cleanly with its settings written");
      return;
    }
  }
}
BENCHMARK(BM_SigtermToExit)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(25)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  setenv("LC_ALL", "en_GB.UTF-8", 1);
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  unsetenv("WAYLAND_DISPLAY");
  gDir = SandboxedHome("session-end-bench");
  if (gDir.empty()) return 1;
  setenv("XDG_DATA_HOME", gDir.c_str(), 1);
  const std::string self = argv[0];
  const char* exe = std::getenv("QUILLMARK_EXE");
  gExe = exe ? exe : self.substr(0, self.find_last_of('/') + 1) + "../quillmark";
  // Another Xvfb starting at the same moment may take the display this one chose.
  bool started = false;
  for (int attempt = 0; attempt < 3 && !started; ++attempt) started = StartDisplayServer();
  if (!started) {
    std::fprintf(stderr, "session_end_bench: cannot start Xvfb\n");
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  kill(gXvfb, SIGTERM);
  waitpid(gXvfb, nullptr, 0);
  std::system(("rm -rf '" + gDir + "'").c_str());
  return 0;
}
