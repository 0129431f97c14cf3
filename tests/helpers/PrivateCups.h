#pragma once
// A private CUPS daemon for tests: configuration, spool and socket in a temporary folder, one
// queue whose backend copies each job to a file (with its title, copies and options beside it),
// reached through CUPS_SERVER while the object lives. Stopped by its process id at the end.
// Usable() is false when cupsd or lpadmin is not installed or the test is not root.
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>

#include "TestSupport.h"

extern char** environ;

class PrivateCups {
 public:
  static bool Installed() {
    return access("/usr/sbin/cupsd", X_OK) == 0 && access("/usr/sbin/lpadmin", X_OK) == 0 &&
           geteuid() == 0;
  }

  // Starts the daemon and adds queue, whose jobs land in Output().
  explicit PrivateCups(const std::string& queue) : queue_(queue) {
    if (!Installed()) return;
    const std::string root = dir_.os();
    for (const char* d : {"spool", "tmp", "cache", "state", "log", "out", "bin/backend"})
      std::filesystem::create_directories(root + "/" + d);
    chmod((root + "/out").c_str(), 01777);
    chmod((root + "/tmp").c_str(), 01777);
    for (const char* d : {"filter", "daemon", "cgi-bin", "monitor", "notifier", "driver"})
      if (std::filesystem::exists(std::string("/usr/lib/cups/") + d))
        std::filesystem::create_directory_symlink(std::string("/usr/lib/cups/") + d,
                                                  root + "/bin/" + d);
    std::ofstream(root + "/bin/backend/capture")
        << "#!/bin/sh\n"
           "if [ $# -eq 0 ]; then echo 'direct capture \"Unknown\" \"Capture\"'; exit 0; fi\n"
           "out=\"${DEVICE_URI#capture:}\"\n"
           "if [ -n \"$6\" ]; then cat \"$6\" > \"$out.tmp\"; else cat > \"$out.tmp\"; fi\n"
           "printf '%s\\n%s\\n%s\\n' \"$3\" \"$4\" \"$5\" > \"$out.job\"\n"
           "printf '%s\\n' \"$3\" >> \"$out.titles\"\n"
           "mv \"$out.tmp\" \"$out\"\n";
    chmod((root + "/bin/backend/capture").c_str(), 0755);
    socket_ = root + "/cups.sock";
    std::ofstream(root + "/cupsd.conf") << "Listen " << socket_
                                        << "\nLogLevel warn\nWebInterface No\nBrowsing Off\n"
                                           "<Location />\n  Order allow,deny\n  Allow all\n"
                                           "</Location>\n";
    std::ofstream(root + "/cups-files.conf")
        << "ServerRoot " << root << "\nServerBin " << root << "/bin\nRequestRoot " << root
        << "/spool\nTempDir " << root << "/tmp\nCacheDir " << root << "/cache\nStateDir " << root
        << "/state\nErrorLog " << root << "/log/error_log\nAccessLog " << root
        << "/log/access_log\nPageLog " << root << "/log/page_log\n";
    std::string conf = root + "/cupsd.conf", files = root + "/cups-files.conf";
    const char* argv[] = {"/usr/sbin/cupsd", "-f",   "-c", conf.c_str(), "-s",
                          files.c_str(),     nullptr};
    if (posix_spawn(&pid_, argv[0], nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
      pid_ = 0;
      return;
    }
    env_.emplace("CUPS_SERVER", socket_);
    // Ready once lpadmin gets through; bounded.
    std::string add = "CUPS_SERVER='" + socket_ + "' /usr/sbin/lpadmin -p '" + queue_ +
                      "' -E -v 'capture:" + Output() + "' -m raw >/dev/null 2>&1";
    for (int i = 0; i < 100 && !ready_; ++i) {
      if (std::filesystem::exists(socket_) && std::system(add.c_str()) == 0) ready_ = true;
      else std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }

  ~PrivateCups() {
    env_.reset();
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      int status = 0;
      for (int i = 0; i < 100 && waitpid(pid_, &status, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      if (waitpid(pid_, &status, WNOHANG) == 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
      }
    }
  }

  bool Ready() const { return ready_; }
  std::string Output() const { return dir_.os() + "/out/job.pdf"; }

  // The job's file once the backend has written it (bounded wait); false if it never came.
  bool WaitForJob(int seconds = 10) const {
    for (int i = 0; i < seconds * 20; ++i) {
      if (std::filesystem::exists(Output()) && std::filesystem::exists(Output() + ".job"))
        return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }
  // How many jobs the queue has handed on so far, the last one included.
  int JobsHandedOn() const {
    std::ifstream in(Output() + ".titles");
    int n = 0;
    for (std::string line; std::getline(in, line);) ++n;
    return n;
  }
  // Title, copies and options of the job, one a line.
  std::string JobInfo() const {
    std::ifstream in(Output() + ".job");
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }

 private:
  std::string queue_;
  TempDir dir_;
  std::string socket_;
  pid_t pid_ = 0;
  bool ready_ = false;
  std::optional<ScopedEnv> env_;
};
