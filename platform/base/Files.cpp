#include "Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

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

bool ReadFileBytes(const String& path, std::string& bytes) {
  FILE* f = std::fopen(ToOsPath(path).c_str(), "rb");
  if (!f) return false;
  bytes.clear();
  char buf[65536];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
  bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

bool WriteFileReplacing(const String& path, const std::string& bytes) {
  std::string target = ToOsPath(path);
  std::string tmpl = target + ".XXXXXX";
  std::vector<char> name(tmpl.begin(), tmpl.end());
  name.push_back('\0');
  int fd = mkstemp(name.data());
  if (fd < 0) return false;
  struct stat st;
  fchmod(fd, stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644);
  std::size_t limit = g_failWrites ? bytes.size() / 2 : bytes.size();
  std::size_t done = 0;
  bool ok = true;
  while (ok && done < limit) {
    ssize_t w = write(fd, bytes.data() + done, limit - done);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) ok = false;
    else done += static_cast<std::size_t>(w);
  }
  if (g_failWrites) ok = false;
  if (ok && fsync(fd) != 0) ok = false;
  if (close(fd) != 0) ok = false;
  if (ok && std::rename(name.data(), target.c_str()) != 0) ok = false;
  if (!ok) unlink(name.data());
  if (g_failWrites) errno = ENOSPC;  // the reason callers report, as a full disk gives it
  return ok;
}

void SetWriteFailureForTesting(bool fail) { g_failWrites = fail; }
