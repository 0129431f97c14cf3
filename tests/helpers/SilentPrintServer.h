#pragma once
// A print server that accepts connections and never answers: a listening local socket that is
// never read, named by CUPS_SERVER while the object lives. The kernel completes each connection
// from its backlog, so a client gets through and then waits for an answer that never comes.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <optional>
#include <string>

#include "TestSupport.h"

class SilentPrintServer {
 public:
  SilentPrintServer() {
    path_ = dir_.os() + "/cups.sock";
    fd_ = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (fd_ < 0 || path_.size() >= sizeof addr.sun_path) return;
    std::memcpy(addr.sun_path, path_.c_str(), path_.size() + 1);
    if (bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(fd_, 64) != 0)
      return;
    env_.emplace("CUPS_SERVER", path_);
  }
  ~SilentPrintServer() {
    env_.reset();
    if (fd_ >= 0) close(fd_);
  }
  SilentPrintServer(const SilentPrintServer&) = delete;
  SilentPrintServer& operator=(const SilentPrintServer&) = delete;

  bool Listening() const { return env_.has_value(); }
  const std::string& Path() const { return path_; }

 private:
  TempDir dir_;
  std::string path_;
  int fd_ = -1;
  std::optional<ScopedEnv> env_;
};
