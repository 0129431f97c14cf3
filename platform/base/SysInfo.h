#pragma once
// System information: the running executable, the computer name, the operating-system version.
#include "Strings.h"
#include "WinTypes.h"

// Full path of the running executable in the platform's path form.
String GetExeName();
// Tests pretend the executable lives elsewhere; an empty path restores the real one.
void SetExeNameForTesting(const String& path);

// The computer's name: the host name's first label in upper case, at most
// MAX_COMPUTERNAME_LENGTH characters. Size holds the buffer's capacity in characters;
// on success it receives the name's length, on a too-small buffer the capacity needed.
BOOL GetComputerNameW(Char* buffer, DWORD* size);

constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr DWORD VER_PLATFORM_WIN32_NT = 2;

// The version the runtime reports: NT 6.1 build 7601. Tests may assign other values.
extern int Win32Platform;
extern int Win32MajorVersion;
extern int Win32MinorVersion;
extern int Win32BuildNumber;
extern String Win32CSDVersion;
