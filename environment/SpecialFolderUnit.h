#pragma once
// Special folders by the shell's folder identifier.
#include "Strings.h"
#include "WinTypes.h"

// The folder's path as the shell gives it, created when missing; empty when the shell fails.
String GetSpecialFolder(HWND handle, int folderId);
String GetCommonAppDataFolder(HWND handle);
String GetUserAppDataFolder(HWND handle);
String GetMyDocumentsFolder(HWND handle);
