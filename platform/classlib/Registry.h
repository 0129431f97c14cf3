#pragma once
// The class library's registry classes over the registry calls of RegistryStore.h.
#include <functional>

#include "Classes.h"
#include "DateTime.h"
#include "IniFiles.h"
#include "RegistryStore.h"
#include "Strings.h"

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

struct TRegKeyInfo {
  int NumSubKeys = 0;
  int MaxSubKeyLen = 0;
  int NumValues = 0;
  int MaxValueLen = 0;
  int MaxDataLen = 0;
  FILETIME FileTime;
};

struct TRegDataInfo {
  TRegDataType RegData = rdUnknown;
  int DataSize = 0;
};

// One current key at a time under RootKey. A key path beginning with "\" starts at the root;
// any other is relative to the current key (or to the root while no key is open). CurrentPath
// is kept without the leading "\".
//
// Failures raise ERegistryException: a typed read of a value of another type "Invalid data type
// for '<name>'", a read of a value that is not there "Failed to get data for '<name>'" (ReadString
// and ReadBinaryData instead return empty and 0), a refused write "Failed to set data for
// '<name>'", and a refused CreateKey "Failed to create key <key>"; when the root's file is what
// refused, ": " and RegistryFileProblem follow (the file as the system names it, and why).
class TRegistry : public TObject {
 public:
  TRegistry();  // KEY_ALL_ACCESS
  explicit TRegistry(REGSAM access);
  ~TRegistry() override;
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;
  String ClassName() const override;

  void CloseKey();
  // Opens Key with Access, creating it (and missing parents) when CanCreate is set.
  bool OpenKey(const String& key, bool canCreate);
  // Opens with KEY_READ, which becomes Access.
  bool OpenKeyReadOnly(const String& key);
  // Creates Key with full access, leaving the current key as it is.
  bool CreateKey(const String& key);
  // Deletes Key with every key below it. An empty key (or a lone "\") names nothing and
  // deletes nothing, rather than the current key or the whole root.
  bool DeleteKey(const String& key);
  bool KeyExists(const String& key);
  bool HasSubKeys();
  bool GetKeyInfo(TRegKeyInfo& value);
  // The current key's sub-key or value names (Strings is cleared first).
  void GetKeyNames(TStrings* strings);
  void GetValueNames(TStrings* strings);

  bool ValueExists(const String& name);
  bool DeleteValue(const String& name);
  bool GetDataInfo(const String& valueName, TRegDataInfo& value);
  int GetDataSize(const String& valueName);  // -1 when the value is not there
  TRegDataType GetDataType(const String& valueName);

  // Text of a string or expandable string; empty when missing or of at most one byte.
  String ReadString(const String& name);
  void WriteString(const String& name, const String& value);
  void WriteExpandString(const String& name, const String& value);
  int ReadInteger(const String& name);
  void WriteInteger(const String& name, int value);
  bool ReadBool(const String& name);
  void WriteBool(const String& name, bool value);
  // Doubles and date-times are kept as their 8 bytes, REG_BINARY.
  double ReadFloat(const String& name);
  void WriteFloat(const String& name, double value);
  TDateTime ReadDate(const String& name);
  TDateTime ReadDateTime(const String& name);
  TDateTime ReadTime(const String& name);
  void WriteDate(const String& name, TDateTime value);
  void WriteDateTime(const String& name, TDateTime value);
  void WriteTime(const String& name, TDateTime value);
  // Copies a binary (or unknown-typed) value into Buffer and returns its size; 0 when missing.
  int ReadBinaryData(const String& name, void* buffer, int bufSize);
  void WriteBinaryData(const String& name, const void* buffer, int bufSize);

  HKEY CurrentKey() const { return currentKey_; }
  const String& CurrentPath() const { return currentPath_; }
  HKEY RootKey() const { return rootKey_; }
  // Changing the root closes the current key.
  void SetRootKey(HKEY value);
  REGSAM Access() const { return access_; }
  void SetAccess(REGSAM value) { access_ = value; }
  // The result of the last registry call that failed or succeeded.
  LONG LastError() const { return lastError_; }

 protected:
  void ChangeKey(HKEY value, const String& path);
  HKEY GetBaseKey(bool relative) const;
  // Opens Key with Access without making it current; 0 when it does not open.
  HKEY GetKey(const String& key);
  void SetCurrentKey(HKEY value) { currentKey_ = value; }
  // Runs Body with Key opened as the current key, restoring the current key afterwards (also
  // when Body raises); false, without running Body, when Key does not open.
  bool WithKey(const String& key, const std::function<void()>& body);
  int GetData(const String& name, void* buffer, int bufSize, TRegDataType& regData);
  void PutData(const String& name, const void* buffer, int bufSize, TRegDataType regData);
  [[noreturn]] void ReadError(const String& name) const;

 private:
  friend class TRegistryIniFile;
  bool Check(LONG result);
  // A value known to be there and of one of the types given; raises otherwise.
  TRegDataInfo RequireData(const String& name, std::initializer_list<TRegDataType> types);
  double ReadDouble(const String& name);

  HKEY rootKey_ = HKEY_CURRENT_USER;
  HKEY currentKey_ = 0;
  String currentPath_;
  REGSAM access_ = KEY_ALL_ACCESS;
  LONG lastError_ = ERROR_SUCCESS;
};

// INI-style access over the key FileName (opened, and created, on construction): a section is a
// sub-key, an ident a value of it. Everything is kept as text: numbers and flags are written as
// strings and read back from strings.
class TRegIniFile : public TRegistry {
 public:
  explicit TRegIniFile(const String& fileName);
  TRegIniFile(const String& fileName, REGSAM access);
  String ClassName() const override;
  const String& FileName() const { return fileName_; }

  using TRegistry::DeleteKey;
  using TRegistry::ReadBool;
  using TRegistry::ReadInteger;
  using TRegistry::ReadString;
  using TRegistry::WriteBool;
  using TRegistry::WriteInteger;
  using TRegistry::WriteString;

  String ReadString(const String& section, const String& ident, const String& def);
  // Raises EConvertError for text that is not a number.
  int ReadInteger(const String& section, const String& ident, int def);
  bool ReadBool(const String& section, const String& ident, bool def);
  void WriteString(const String& section, const String& ident, const String& value);
  void WriteInteger(const String& section, const String& ident, int value);
  void WriteBool(const String& section, const String& ident, bool value);
  // The value names of a section; Strings is left as it is when the section is not there.
  void ReadSection(const String& section, TStrings* strings);
  void ReadSections(TStrings* strings);
  // Sets name=text in Strings for each value of the section (an empty text removes the line,
  // as Values does); a value that is not text raises.
  void ReadSectionValues(const String& section, TStrings* strings);
  void EraseSection(const String& section);
  void DeleteKey(const String& section, const String& ident);

 private:
  String fileName_;
};

// The INI-file interface over a TRegIniFile. Integers are written as REG_DWORD, text as REG_SZ,
// floats and date-times as their 8 bytes; integers are read from either a number or text.
class TRegistryIniFile : public TCustomIniFile {
 public:
  explicit TRegistryIniFile(const String& fileName);
  TRegistryIniFile(const String& fileName, REGSAM access);
  ~TRegistryIniFile() override;
  String ClassName() const override;
  TRegIniFile* RegIniFile() const { return regIniFile_.get(); }

  String ReadString(const String& section, const String& ident, const String& def) override;
  void WriteString(const String& section, const String& ident, const String& value) override;
  int ReadInteger(const String& section, const String& ident, int def) override;
  void WriteInteger(const String& section, const String& ident, int value) override;
  TDateTime ReadDate(const String& section, const String& ident, TDateTime def) override;
  TDateTime ReadDateTime(const String& section, const String& ident, TDateTime def) override;
  TDateTime ReadTime(const String& section, const String& ident, TDateTime def) override;
  void WriteDate(const String& section, const String& ident, TDateTime value) override;
  void WriteDateTime(const String& section, const String& ident, TDateTime value) override;
  void WriteTime(const String& section, const String& ident, TDateTime value) override;
  double ReadFloat(const String& section, const String& ident, double def) override;
  void WriteFloat(const String& section, const String& ident, double value) override;
  // The bytes of a binary value appended to Value at its position, which is left where they
  // begin; returns their count (0 for a missing value or one of another type).
  int ReadBinaryStream(const String& section, const String& ident, TStream* value) override;
  // Value's bytes from its position to its end, as REG_BINARY.
  void WriteBinaryStream(const String& section, const String& ident, TStream* value) override;

  void ReadSection(const String& section, TStrings* strings) override;
  void ReadSections(TStrings* strings) override;
  void ReadSectionValues(const String& section, TStrings* strings) override;
  void EraseSection(const String& section) override;
  void DeleteKey(const String& section, const String& ident) override;
  // Every change is in the store already.
  void UpdateFile() override;

 private:
  // Creates the section's key and runs Write with it current.
  void InSectionForWrite(const String& section, const std::function<void()>& write);
  double ReadEightBytes(const String& section, const String& ident, double def,
                        double (TRegistry::*read)(const String&));
  std::unique_ptr<TRegIniFile> regIniFile_;
};
