#include "TestSupport.h"

#include <signal.h>
#include <sys/inotify.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "Files.h"

TempDir::TempDir() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "korvtest-XXXXXX").string();
  std::vector<char> buf(tmpl.begin(), tmpl.end());
  buf.push_back('\0');
  if (!mkdtemp(buf.data())) throw std::runtime_error("mkdtemp failed");
  path_ = buf.data();
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

String TempDir::path() const { return FromOsPath(path_ + "/"); }

String TempDir::write(const std::string& name, const std::string& bytes) const {
  std::filesystem::path p = std::filesystem::path(path_) / name;
  std::filesystem::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << bytes;
  return FromOsPath(p.string());
}

std::string TempDir::read(const std::string& name) const {
  std::ifstream in(std::filesystem::path(path_) / name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

ScopedEnv::ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
  if (const char* v = std::getenv(name)) old_ = v;
  if (value) setenv(name, value->c_str(), 1);
  else unsetenv(name);
}

ScopedEnv::~ScopedEnv() {
  if (old_) setenv(name_.c_str(), old_->c_str(), 1);
  else unsetenv(name_.c_str());
}

SandboxedHome::SandboxedHome()
    : home_("HOME", dir_.os() + "/home"),
      config_("XDG_CONFIG_HOME", dir_.os() + "/home/.config"),
      data_("XDG_DATA_HOME", dir_.os() + "/home/.local/share"),
      common_("KORV_COMMON_APPDATA", dir_.os() + "/common") {}

int RunCommand(const std::string& command, std::string* out) {
  FILE* p = popen(command.c_str(), "r");
  if (!p) return -1;
  std::string text;
  char buf[4096];
  std::size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) text.append(buf, n);
  int status = pclose(p);
  if (out) *out = text;
  return status;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

bool HaveTool(const char* name) {
  return RunCommand(std::string("command -v ") + name + " >/dev/null 2>&1") == 0;
}

std::string XvfbRun() {
  const int first = 100 + int(getpid() % 400) * 2;
  return "xvfb-run -a -n " + std::to_string(first) + " -s '-screen 0 1024x768x24'";
}

std::string ShellQuote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

int RunSelf(const std::string& prefix, const std::string& filter) {
  char self[4096];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return -1;
  self[n] = 0;
  int rc = std::system((prefix + " " + ShellQuote(self) + " " +
                        ShellQuote("--gtest_filter=" + filter) + " > /dev/null 2>&1")
                           .c_str());
  return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

std::string InChild(unsigned seconds, const std::function<std::string()>& f) {
  int out[2];
  if (pipe(out) != 0) return "pipe failed";
  pid_t pid = fork();
  if (pid < 0) return "fork failed";
  if (pid == 0) {
    close(out[0]);
    signal(SIGALRM, SIG_DFL);
    alarm(seconds);
    std::string result;
    try {
      result = f();
    } catch (const std::exception& e) {
      result = std::string("exception: ") + e.what();
    }
    for (std::size_t done = 0; done < result.size();) {
      ssize_t n = ::write(out[1], result.data() + done, result.size() - done);
      if (n <= 0) break;
      done += std::size_t(n);
    }
    _exit(0);  // no exit handlers: they belong to the parent
  }
  close(out[1]);
  std::string result;
  char buf[4096];
  ssize_t n;
  while ((n = ::read(out[0], buf, sizeof buf)) > 0 || (n < 0 && errno == EINTR))
    if (n > 0) result.append(buf, std::size_t(n));
  close(out[0]);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFSIGNALED(status)) {
    int sig = WTERMSIG(status);
    return sig == SIGALRM ? "did not finish within " + std::to_string(seconds) + " s"
                          : std::string("ended by signal ") + strsignal(sig);
  }
  return result;
}

const char* NameOf(NotASettingsFile kind) {
  switch (kind) {
    case NotASettingsFile::Fifo: return "FIFO";
    case NotASettingsFile::LinkToDevZero: return "link to /dev/zero";
    case NotASettingsFile::Socket: return "socket";
    case NotASettingsFile::Folder: return "folder";
    case NotASettingsFile::Oversized: return "file over 16 MB";
  }
  return "?";
}

bool MakeNotASettingsFile(NotASettingsFile kind, const std::string& path) {
  switch (kind) {
    case NotASettingsFile::Fifo: return mkfifo(path.c_str(), 0600) == 0;
    case NotASettingsFile::LinkToDevZero: return symlink("/dev/zero", path.c_str()) == 0;
    case NotASettingsFile::Socket: {
      sockaddr_un addr{};
      addr.sun_family = AF_UNIX;
      if (path.size() >= sizeof addr.sun_path) return false;
      std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
      int fd = socket(AF_UNIX, SOCK_STREAM, 0);
      bool ok = fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
      if (fd >= 0) close(fd);  // the socket file stays
      return ok;
    }
    case NotASettingsFile::Folder: return mkdir(path.c_str(), 0700) == 0;
    case NotASettingsFile::Oversized: {
      std::ofstream(path, std::ios::binary) << "[Previous]\nStaves=12\n";
      return truncate(path.c_str(), (16 << 20) + 1) == 0;
    }
  }
  return false;
}

std::string KindAt(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return "missing";
  if (S_ISLNK(st.st_mode)) {
    char buf[256];
    ssize_t n = readlink(path.c_str(), buf, sizeof buf);
    const std::string to(buf, n > 0 ? std::size_t(n) : 0);
    return to == "/dev/zero" ? NameOf(NotASettingsFile::LinkToDevZero) : "link to " + to;
  }
  if (S_ISFIFO(st.st_mode)) return NameOf(NotASettingsFile::Fifo);
  if (S_ISSOCK(st.st_mode)) return NameOf(NotASettingsFile::Socket);
  if (S_ISDIR(st.st_mode)) return NameOf(NotASettingsFile::Folder);
  if (S_ISREG(st.st_mode) && st.st_size > (16 << 20)) return NameOf(NotASettingsFile::Oversized);
  return S_ISREG(st.st_mode) ? "regular file" : "other";
}

RenameCounter::RenameCounter(const std::string& folder)
    : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
  // Creations too: the kernel merges an event with an identical one queued just before it, so
  // back-to-back renames onto one name would count once; a temporary's creation parts them.
  if (fd_ < 0 || inotify_add_watch(fd_, folder.c_str(), IN_MOVED_TO | IN_CREATE) < 0)
    throw std::runtime_error("cannot watch " + folder);
}

RenameCounter::~RenameCounter() { close(fd_); }

int RenameCounter::Count(const std::string& name) {
  alignas(inotify_event) char buf[65536];
  ssize_t n;
  while ((n = ::read(fd_, buf, sizeof buf)) > 0)
    for (char* p = buf; p < buf + n;) {
      auto* e = reinterpret_cast<inotify_event*>(p);
      if (e->len && (e->mask & IN_MOVED_TO)) names_.emplace_back(e->name);
      p += sizeof(inotify_event) + e->len;
    }
  return int(std::count(names_.begin(), names_.end(), name));
}
