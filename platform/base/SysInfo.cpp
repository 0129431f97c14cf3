#include "SysInfo.h"

#include <unistd.h>

#include <climits>
#include <vector>

#include "Files.h"

int Win32Platform = static_cast<int>(VER_PLATFORM_WIN32_NT);
int Win32MajorVersion = 6;
int Win32MinorVersion = 1;
int Win32BuildNumber = 7601;
String Win32CSDVersion = u"Service Pack 1";

namespace {
String g_exeOverride;
thread_local DWORD g_lastError = 0;
}  // namespace

DWORD GetLastError() { return g_lastError; }
void SetLastError(DWORD code) { g_lastError = code; }

String GetExeName() {
  if (!g_exeOverride.empty()) return g_exeOverride;
  std::vector<char> buf(PATH_MAX + 1);
  ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  if (n <= 0) return String();
  return FromOsPath(std::string(buf.data(), static_cast<std::size_t>(n)));
}

void SetExeNameForTesting(const String& path) { g_exeOverride = path; }

BOOL GetComputerNameW(Char* buffer, DWORD* size) {
  if (!buffer || !size) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  char host[256] = {};
  if (gethostname(host, sizeof host - 1) != 0) host[0] = '\0';
  String name = FromUtf8(host);
  auto dot = name.find(u'.');
  if (dot != String::npos) name.resize(dot);
  name = UpperCase(name);
  if (name.size() > MAX_COMPUTERNAME_LENGTH) name.resize(MAX_COMPUTERNAME_LENGTH);
  if (*size < name.size() + 1) {
    *size = static_cast<DWORD>(name.size() + 1);
    SetLastError(ERROR_BUFFER_OVERFLOW);
    return FALSE;
  }
  name.copy(buffer, name.size());
  buffer[name.size()] = 0;
  *size = static_cast<DWORD>(name.size());
  return TRUE;
}
