#include "ShellFolders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "Files.h"

namespace {

std::string HomeFolder() {
  if (const char* h = std::getenv("HOME"); h && *h) return h;
  if (passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return "/tmp";
}

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* v = std::getenv(name);
  return (v && *v == '/') ? std::string(v) : fallback;
}

std::string ConfigHome() { return EnvOr("XDG_CONFIG_HOME", HomeFolder() + "/.config"); }

// XDG_DOCUMENTS_DIR="$HOME/Documents" in user-dirs.dirs, as xdg-user-dirs writes it.
std::string DocumentsFolder() {
  std::string bytes;
  if (ReadFileBytes(FromOsPath(ConfigHome() + "/user-dirs.dirs"), bytes)) {
    std::size_t p = 0;
    while (p < bytes.size()) {
      std::size_t e = bytes.find('\n', p);
      if (e == std::string::npos) e = bytes.size();
      std::string line = bytes.substr(p, e - p);
      p = e + 1;
      const std::string key = "XDG_DOCUMENTS_DIR=\"";
      if (line.rfind(key, 0) != 0) continue;
      std::string v = line.substr(key.size());
      auto q = v.find('"');
      if (q == std::string::npos) continue;
      v.resize(q);
      if (v.rfind("$HOME", 0) == 0) v = HomeFolder() + v.substr(5);
      if (!v.empty() && v[0] == '/' && v != HomeFolder() && v != HomeFolder() + "/") return v;
    }
  }
  return HomeFolder() + "/Documents";
}

}  // namespace

BOOL SHGetSpecialFolderPathW(HWND, Char* path, int csidl, BOOL create) {
  std::string folder;
  bool shared = false;
  switch (csidl) {
    case CSIDL_PERSONAL: folder = DocumentsFolder(); break;
    case CSIDL_APPDATA: folder = ConfigHome(); break;
    case CSIDL_LOCAL_APPDATA:
      folder = EnvOr("XDG_DATA_HOME", HomeFolder() + "/.local/share");
      break;
    case CSIDL_COMMON_APPDATA:
      folder = EnvOr("KORV_COMMON_APPDATA", "/var/tmp/korv-common");
      shared = true;
      break;
    default:
      if (path) path[0] = 0;
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
  }
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  String p = FromOsPath(folder);
  if (!path || p.size() + 1 > static_cast<std::size_t>(MAX_PATH)) {
    if (path) path[0] = 0;
    SetLastError(ERROR_BUFFER_OVERFLOW);
    return FALSE;
  }
  if (create && !DirectoryExists(p)) {
    bool made = ForceDirectories(p);
    // A folder every user writes to, like the platform's common data folder.
    if (made && shared) chmod(folder.c_str(), 01777);
    if (!made) {
      path[0] = 0;
      SetLastError(ERROR_ACCESS_DENIED);
      return FALSE;
    }
  }
  p.copy(path, p.size());
  path[p.size()] = 0;
  return TRUE;
}
