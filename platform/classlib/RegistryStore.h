#pragma once
// The registry: a store of our own behind the platform's registry calls. Each root is one text
// file in the .reg export format, $XDG_CONFIG_HOME (else ~/.config)/korv/registry/<ROOT>.reg,
// read when the root is first used and again whenever the file changed on disk, and replaced
// whole after every change (a failed replacement fails the call and undoes the change).
// A file that does not parse reads as an empty root; before that root is written again the
// file is copied to <file>.corrupt-<yyyymmdd-hhnnss>[-n], never over an earlier one. A file
// that exists but cannot be read (a FIFO, a device, a folder, one over 16 MB among them) also
// reads as empty, and is never replaced: writes to its root fail with ERROR_ACCESS_DENIED. A
// root file that is a symbolic link stays one; the file it names is replaced. An empty (zero-byte)
// file is simply an empty root. HKEY_CLASSES_ROOT is a root of its own, not a view of two others.
// User-interface thread only: nothing here is locked.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Strings.h"
#include "WinTypes.h"

using HKEY = std::uint32_t;  // opened keys count up from 1; the roots sit at 0x80000000..
using REGSAM = DWORD;

constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002;
constexpr HKEY HKEY_USERS = 0x80000003;
constexpr HKEY HKEY_PERFORMANCE_DATA = 0x80000004;
constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005;
constexpr HKEY HKEY_DYN_DATA = 0x80000006;

constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_NOTIFY = 0x0010;
constexpr REGSAM KEY_CREATE_LINK = 0x0020;
constexpr REGSAM KEY_WOW64_64KEY = 0x0100;
constexpr REGSAM KEY_WOW64_32KEY = 0x0200;
constexpr REGSAM DELETE = 0x00010000;
constexpr REGSAM READ_CONTROL = 0x00020000;
constexpr REGSAM STANDARD_RIGHTS_READ = 0x00020000;
constexpr REGSAM STANDARD_RIGHTS_WRITE = 0x00020000;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_EXECUTE = 0x20019;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_MULTI_SZ = 7;
constexpr DWORD REG_QWORD = 11;

constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Results the registry calls give beside those of WinTypes.h.
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_BAD_PATHNAME = 161;
constexpr DWORD ERROR_CANTWRITE = 1013;  // the root's file could not be replaced
constexpr DWORD ERROR_KEY_DELETED = 1018;

// 100-nanosecond intervals since 1 January 1601 (UTC).
struct FILETIME {
  DWORD dwLowDateTime = 0;
  DWORD dwHighDateTime = 0;
};

// Every call answers ERROR_SUCCESS or an error code. Sub-key paths are relative to Key, use "\"
// between names and may not begin with it. Value names and key names compare case-insensitively
// and keep the case they were created with; a null or empty value name is the key's default
// value. Sizes of names are in characters, of data in bytes, as on the platform.
LONG RegOpenKeyExW(HKEY key, const Char* subKey, DWORD options, REGSAM desired, HKEY* result);
// Opens the key, creating it and any missing parent first; Key needs KEY_CREATE_SUB_KEY when
// something must be created. Class and security arguments are accepted and ignored.
LONG RegCreateKeyExW(HKEY key, const Char* subKey, DWORD reserved, Char* keyClass, DWORD options,
                     REGSAM desired, const void* security, HKEY* result, DWORD* disposition);
LONG RegCloseKey(HKEY key);
// Needs KEY_QUERY_VALUE. Without Data only the type and size are reported; a buffer too small
// gives ERROR_MORE_DATA with the size needed.
LONG RegQueryValueExW(HKEY key, const Char* valueName, DWORD* reserved, DWORD* type, BYTE* data,
                      DWORD* dataSize);
// Needs KEY_SET_VALUE. Data is stored as given, the terminating zero of text included.
LONG RegSetValueExW(HKEY key, const Char* valueName, DWORD reserved, DWORD type, const BYTE* data,
                    DWORD dataSize);
LONG RegDeleteValueW(HKEY key, const Char* valueName);
// Deletes a key that has no sub-keys (ERROR_ACCESS_DENIED otherwise). Key needs
// KEY_CREATE_SUB_KEY or DELETE: a handle that may not add keys may not remove them either.
LONG RegDeleteKeyW(HKEY key, const Char* subKey);
// Deletes the sub-key with everything below it, or with an empty path everything below Key
// (its values included) but not Key itself; access as for RegDeleteKeyW.
LONG RegDeleteTreeW(HKEY key, const Char* subKey);
// Sub-keys come in name order (case-insensitive), values in the order they were created.
LONG RegEnumKeyExW(HKEY key, DWORD index, Char* name, DWORD* nameLength, DWORD* reserved,
                   Char* keyClass, DWORD* classLength, FILETIME* lastWriteTime);
LONG RegEnumValueW(HKEY key, DWORD index, Char* valueName, DWORD* valueNameLength, DWORD* reserved,
                   DWORD* type, BYTE* data, DWORD* dataSize);
// The last-write time reported is the root file's.
LONG RegQueryInfoKeyW(HKEY key, Char* keyClass, DWORD* classLength, DWORD* reserved, DWORD* subKeys,
                      DWORD* maxSubKeyLength, DWORD* maxClassLength, DWORD* values,
                      DWORD* maxValueNameLength, DWORD* maxValueLength, DWORD* securityDescriptor,
                      FILETIME* lastWriteTime);

// "HKEY_CURRENT_USER" and so on; empty for a handle that is not a root.
String RegistryRootName(HKEY root);
// The file that holds a root, in the platform's path form; empty for a handle that is not a root.
String RegistryFileName(HKEY root);
// Why the last registry call could not write its root's file, for a message: "cannot write
// /home/ann/.config/korv/registry/HKEY_CURRENT_USER.reg: No space left on device". Empty when
// that call's failure (if any) was not the file's.
String RegistryFileProblem();

// The file format, open to tests and the fuzzer.
namespace regfile {

// Registry limits: longer names and deeper trees are refused.
constexpr std::size_t kMaxKeyNameLength = 255;
constexpr std::size_t kMaxValueNameLength = 16383;
constexpr std::size_t kMaxKeyDepth = 512;

struct Value {
  String name;  // empty for the default value
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
  friend bool operator==(const Value&, const Value&) = default;
};

struct Key {
  String name;
  String folded;                           // FoldName(name), kept for lookups
  std::vector<Value> values;               // in creation order
  std::vector<std::unique_ptr<Key>> keys;  // sorted by FoldName

  Key* FindKey(const String& name) const;
  // The existing sub-key of that name, or a new one at its sorted place.
  Key* AddKey(const String& name);
  bool RemoveKey(const String& name);
  Value* FindValue(const String& name);
  const Value* FindValue(const String& name) const;
  void SetValue(const String& name, DWORD type, std::vector<BYTE> data);
  bool RemoveValue(const String& name);
  void Clear();
  friend bool operator==(const Key& a, const Key& b);
};

// The form names are compared and sorted in.
String FoldName(const String& name);
// A key name the store can hold: non-empty, no "\", no line breaks, within the length limit.
bool ValidKeyName(const String& name);
bool ValidValueName(const String& name);

// Reads the text of one root's file into Root (emptied first). False, with Root left empty and
// a reason in Error, when the text does not parse: a missing header, a line that is neither a
// key, a value, a comment nor blank, a key outside RootName, a malformed string, number or
// byte list, or text that is not UTF-8 (or UTF-16 with its byte-order mark).
bool Parse(const std::string& bytes, const String& rootName, Key& root,
           std::string* error = nullptr);
// The file text (UTF-8, "\n" line ends) of a root and everything below it.
std::string Serialize(const Key& root, const String& rootName);

}  // namespace regfile
