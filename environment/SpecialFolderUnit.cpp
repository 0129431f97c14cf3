#include "SpecialFolderUnit.h"

#include <vector>

#include "ShellFolders.h"

String GetSpecialFolder(HWND handle, int folderId) {
  std::vector<Char> buffer(MAX_PATH, 0);
  // The result is not examined: a failed call leaves the buffer empty.
  SHGetSpecialFolderPathW(handle, buffer.data(), folderId, TRUE);
  return String(buffer.data());
}

String GetCommonAppDataFolder(HWND handle) {
  return GetSpecialFolder(handle, CSIDL_COMMON_APPDATA);
}
String GetUserAppDataFolder(HWND handle) { return GetSpecialFolder(handle, CSIDL_APPDATA); }
String GetMyDocumentsFolder(HWND handle) { return GetSpecialFolder(handle, CSIDL_PERSONAL); }
