#include "Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "ScopeGuard.h"
#include "WinTypes.h"

namespace {
bool g_failWrites = false;

// Where the name part starts: after the last "\", "/" or drive colon.
std::size_t NameStart(const String& path) {
  auto p = path.find_last_of(u"\\/:");
  return p == String::npos ? 0 : p + 1;
}
}  // namespace

bool IsPathDelimiter(Char c) { return c == u'\\' || c == u'/'; }

std::string ToOsPath(const String& path) {
  String p = path;
  for (auto& c : p)
    if (c == u'\\') c = u'/';
  return ToUtf8(p);
}

String FromOsPath(const std::string& osPath) {
  String p = FromUtf8(osPath);
  for (auto& c : p)
    if (c == u'/') c = u'\\';
  return p;
}

String ExtractFilePath(const String& path) { return path.substr(0, NameStart(path)); }

String ExtractFileDir(const String& path) {
  std::size_t n = NameStart(path);
  if (n > 1 && IsPathDelimiter(path[n - 1]) && path[n - 2] != u':') --n;
  return path.substr(0, n);
}

String ExtractFileName(const String& path) { return path.substr(NameStart(path)); }

String ExtractFileExt(const String& path) {
  std::size_t start = NameStart(path);
  auto dot = path.find_last_of(u'.');
  if (dot == String::npos || dot < start) return String();
  return path.substr(dot);
}

String ChangeFileExt(const String& path, const String& ext) {
  std::size_t start = NameStart(path);
  auto dot = path.find_last_of(u'.');
  if (dot == String::npos || dot < start) return path + ext;
  return path.substr(0, dot) + ext;
}

String IncludeTrailingPathDelimiter(const String& path) {
  if (!path.empty() && IsPathDelimiter(path.back())) return path;
  return path + PathDelim;
}

String ExcludeTrailingPathDelimiter(const String& path) {
  String p = path;
  if (p.size() > 1 && IsPathDelimiter(p.back())) p.pop_back();
  return p;
}

String GetCurrentDir() {
  std::vector<char> buf(4096);
  if (!getcwd(buf.data(), buf.size())) return String();
  return FromOsPath(buf.data());
}

String ExpandFileName(const String& path) {
  if (path.empty()) return path;
  String p = IsPathDelimiter(path[0]) ? path : IncludeTrailingPathDelimiter(GetCurrentDir()) + path;
  // Resolve "." and ".." parts textually, as the platform does.
  std::vector<String> parts;
  String cur;
  auto flush = [&] {
    if (cur == u"..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!cur.empty() && cur != u".") {
      parts.push_back(cur);
    }
    cur.clear();
  };
  for (Char c : p) {
    if (IsPathDelimiter(c)) flush();
    else cur.push_back(c);
  }
  flush();
  String out;
  for (auto& part : parts) out += PathDelim + part;
  if (out.empty()) out = String(1, PathDelim);
  if (IsPathDelimiter(path.back()) && out.back() != PathDelim) out += PathDelim;
  return out;
}

bool FileExists(const String& path) {
  struct stat st;
  return !path.empty() && stat(ToOsPath(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const String& path) {
  struct stat st;
  return !path.empty() && stat(ToOsPath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateDir(const String& path) { return mkdir(ToOsPath(path).c_str(), 0777) == 0; }

bool ForceDirectories(const String& path) {
  if (path.empty()) return false;
  String dir = ExcludeTrailingPathDelimiter(path);
  if (dir.size() <= 1 || DirectoryExists(dir)) return true;
  String parent = ExtractFilePath(dir);
  if (!parent.empty() && parent != dir && !ForceDirectories(parent)) return false;
  return CreateDir(dir) || DirectoryExists(dir);
}

bool DeleteFile(const String& path) { return unlink(ToOsPath(path).c_str()) == 0; }
bool RenameFile(const String& from, const String& to) {
  return std::rename(ToOsPath(from).c_str(), ToOsPath(to).c_str()) == 0;
}

int FindFirst(const String& path, int attr, TSearchRec& found) {
  String folder = ExtractFilePath(path);
  std::string pattern = ToUtf8(ExtractFileName(path));
  std::string osFolder = folder.empty() ? std::string(".") : ToOsPath(folder);
  DIR* d = opendir(osFolder.c_str());
  if (!d) return static_cast<int>(ERROR_FILE_NOT_FOUND);
  int result = static_cast<int>(ERROR_FILE_NOT_FOUND);
  while (dirent* e = readdir(d)) {
    std::string name = e->d_name;
    if (fnmatch(pattern.c_str(), name.c_str(), FNM_PERIOD) != 0 && pattern != name) continue;
    struct stat st;
    std::string full = osFolder + "/" + name;
    if (stat(full.c_str(), &st) != 0) continue;
    int a = S_ISDIR(st.st_mode) ? faDirectory : faArchive;
    if (!name.empty() && name[0] == '.') a |= faHidden;
    if (access(full.c_str(), W_OK) != 0) a |= faReadOnly;
    // Only the special attributes limit the search; ordinary files always match.
    if ((a & (faDirectory | faHidden | faSysFile)) & ~attr) continue;
    found.Name = FromUtf8(name);
    found.Size = static_cast<std::int64_t>(st.st_size);
    found.Attr = a;
    found.TimeStamp = UnixToLocalDateTime(st.st_mtime);
    result = 0;
    break;
  }
  closedir(d);
  return result;
}

bool TFileError::Missing() const { return code == ENOENT || code == ENOTDIR; }

String DisplayPath(const String& path) { return FromUtf8(ToOsPath(path)); }

String SystemErrorText(int code) { return FromUtf8(std::strerror(code)); }

namespace {

bool g_failReads = false;

void Fail(TFileError* error, int code, const String& reason = String()) {
  if (error) {
    error->code = code;
    error->notAFile = false;
    error->reason = reason.empty() ? SystemErrorText(code) : reason;
  }
  errno = code;
}

// The words for a file that is there but is not a regular file; empty for a regular one.
String KindRefusal(mode_t mode) {
  if (S_ISREG(mode)) return String();
  if (S_ISDIR(mode)) return u"a folder, not a file";
  if (S_ISFIFO(mode)) return u"not a regular file but a named pipe";
  if (S_ISSOCK(mode)) return u"not a regular file but a socket";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return u"not a regular file but a device";
  return u"not a regular file";
}

void FailKind(TFileError* error, mode_t mode) {
  Fail(error, S_ISDIR(mode) ? EISDIR : EINVAL, KindRefusal(mode));
  if (error) error->notAFile = true;
}

String SizeRefusal(std::int64_t limit) {
  return Format(u"larger than %d MB, too large for a settings file", {std::int64_t(limit >> 20)});
}

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  // Closes now, for callers that must see close's own failure.
  bool Close() { return close(std::exchange(fd_, -1)) == 0; }

 private:
  int fd_;
};

}  // namespace

bool ReadFileBytes(const String& path, std::string& bytes, TFileError* error, std::int64_t limit) {
  bytes.clear();
  const std::string os = ToOsPath(path);
  // Without O_NONBLOCK opening a FIFO waits for a writer, for ever.
  Descriptor fd(path.empty() ? -1 : open(os.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (path.empty()) return Fail(error, ENOENT), false;
  if (fd.get() < 0) {
    int e = errno;
    struct stat st;
    // A socket cannot be opened at all (ENXIO, whose words say nothing to a user).
    if (e == ENXIO && stat(os.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
      return FailKind(error, st.st_mode), false;
    return Fail(error, e), false;
  }
  // Judged by what was opened, so nothing can be swapped in between the check and the read.
  struct stat st;
  if (fstat(fd.get(), &st) != 0) return Fail(error, errno), false;
  if (!S_ISREG(st.st_mode)) return FailKind(error, st.st_mode), false;
  if (st.st_size > limit) return Fail(error, EFBIG, SizeRefusal(limit)), false;
  if (g_failReads) return Fail(error, EACCES), false;
  int flags = fcntl(fd.get(), F_GETFL);
  if (flags < 0 || fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
    return Fail(error, errno), false;
  bytes.reserve(static_cast<std::size_t>(st.st_size));
  char buf[65536];
  while (true) {
    ssize_t n = read(fd.get(), buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Fail(error, errno), bytes.clear(), false;
    if (n == 0) break;
    // A file that grows while it is read is held to the same limit.
    if (std::int64_t(bytes.size()) + n > limit)
      return Fail(error, EFBIG, SizeRefusal(limit)), bytes.clear(), false;
    bytes.append(buf, static_cast<std::size_t>(n));
  }
  return true;
}

void IgnoreFileSizeSignal() {
  static const bool once = [] {
    struct sigaction old {};
    if (sigaction(SIGXFSZ, nullptr, &old) == 0 && old.sa_handler == SIG_DFL)
      signal(SIGXFSZ, SIG_IGN);
    return true;
  }();
  (void)once;
}

namespace {

constexpr char kTempMark[] = ".korv-tmp-";

// The file a write must replace: the path itself, or the end of its chain of symbolic links,
// so the link stays a link and the file it points to gets the new contents.
bool ReplaceableTarget(const std::string& os, std::string& target, TFileError* error) {
  struct stat st;
  if (lstat(os.c_str(), &st) != 0) {
    if (errno != ENOENT) return Fail(error, errno), false;
    target = os;
    return true;
  }
  if (S_ISLNK(st.st_mode)) {
    char* real = realpath(os.c_str(), nullptr);
    if (!real) {
      int e = errno;
      if (e != ENOENT) return Fail(error, e), false;
      std::vector<char> to(4096);
      ssize_t n = readlink(os.c_str(), to.data(), to.size() - 1);
      String where = n > 0 ? FromUtf8(std::string(to.data(), std::size_t(n))) : String(u"?");
      return Fail(error, e, u"a symbolic link to " + where + u", which does not exist"), false;
    }
    target = real;
    std::free(real);
    if (stat(target.c_str(), &st) != 0) return Fail(error, errno), false;
  } else {
    target = os;
  }
  if (!S_ISREG(st.st_mode)) return FailKind(error, st.st_mode), false;
  return true;
}

// The folder part of an operating-system path, with its "/".
std::string OsFolderOf(const std::string& file) {
  auto slash = file.rfind('/');
  return slash == std::string::npos ? std::string("./") : file.substr(0, slash + 1);
}

// Temporaries of this file left by writers that were killed before they could remove them.
// Only those whose process is gone: a live writer's temporary is its own business.
void RemoveStaleTemporaries(const std::string& target) {
  const std::string folder = OsFolderOf(target);
  const std::string prefix = target.substr(target.rfind('/') + 1) + kTempMark;
  DIR* d = opendir(folder.c_str());
  if (!d) return;
  while (dirent* e = readdir(d)) {
    std::string name = e->d_name;
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    char* end = nullptr;
    long pid = std::strtol(name.c_str() + prefix.size(), &end, 10);
    if (pid <= 0 || *end != '-') continue;
    if (kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) unlink((folder + name).c_str());
  }
  closedir(d);
}

void SyncFolderOf(const std::string& file) {
  int fd = open(OsFolderOf(file).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);  // the rename's durability; a failure here loses nothing already written
  close(fd);
}

bool WriteAll(int fd, const char* data, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    ssize_t w = write(fd, data + done, size - done);
    if (w < 0 && errno == EINTR) continue;
    if (w < 0) return false;
    if (w == 0) return errno = EIO, false;
    done += static_cast<std::size_t>(w);
  }
  return true;
}

}  // namespace

bool WriteFileReplacing(const String& path, const std::string& bytes, TFileError* error) {
  IgnoreFileSizeSignal();
  std::string target;
  if (path.empty()) return Fail(error, ENOENT), false;
  if (!ReplaceableTarget(ToOsPath(path), target, error)) return false;
  RemoveStaleTemporaries(target);
  std::string tmpl = target + kTempMark + std::to_string(getpid()) + "-XXXXXX";
  std::vector<char> name(tmpl.begin(), tmpl.end());
  name.push_back('\0');
  Descriptor fd(mkostemp(name.data(), O_CLOEXEC));
  if (fd.get() < 0) return Fail(error, errno), false;
  auto removeTemp = ScopeGuard([&] { unlink(name.data()); });
  struct stat st;
  fchmod(fd.get(), stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644);
  const std::size_t size = g_failWrites ? bytes.size() / 2 : bytes.size();
  if (!WriteAll(fd.get(), bytes.data(), size)) return Fail(error, errno), false;
  if (g_failWrites) return Fail(error, ENOSPC), false;  // as a full disk fails
  if (fsync(fd.get()) != 0 || !fd.Close()) return Fail(error, errno), false;
  if (std::rename(name.data(), target.c_str()) != 0) return Fail(error, errno), false;
  removeTemp.Dismiss();
  SyncFolderOf(target);
  return true;
}

void SetWriteFailureForTesting(bool fail) { g_failWrites = fail; }
void SetReadFailureForTesting(bool fail) { g_failReads = fail; }
