#pragma once
// Special folders by shell folder identifier.
//   CSIDL_APPDATA        $XDG_CONFIG_HOME, else ~/.config
//   CSIDL_LOCAL_APPDATA  $XDG_DATA_HOME, else ~/.local/share
//   CSIDL_PERSONAL       the XDG documents folder (user-dirs.dirs), else ~/Documents
//   CSIDL_COMMON_APPDATA $KORV_COMMON_APPDATA, else /var/tmp/korv-common (writable by all)
#include "Strings.h"
#include "WinTypes.h"

constexpr int CSIDL_PERSONAL = 5;
constexpr int CSIDL_APPDATA = 26;
constexpr int CSIDL_LOCAL_APPDATA = 28;
constexpr int CSIDL_COMMON_APPDATA = 35;

// Writes the folder's path (platform form, no trailing delimiter, at most MAX_PATH characters
// with the terminating zero) into Path; with Create set, a missing folder is created.
// FALSE for an unknown identifier, a path too long, or a folder that cannot be created.
BOOL SHGetSpecialFolderPathW(HWND owner, Char* path, int csidl, BOOL create);
