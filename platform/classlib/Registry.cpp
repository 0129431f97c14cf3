#include "Registry.h"

#include <vector>

#include "Exceptions.h"
#include "Numbers.h"
#include "ScopeGuard.h"

namespace {

bool IsRelative(const String& key) { return key.empty() || key[0] != u'\\'; }

TRegDataType DataTypeToRegData(DWORD type) {
  switch (type) {
    case REG_SZ: return rdString;
    case REG_EXPAND_SZ: return rdExpandString;
    case REG_DWORD: return rdInteger;
    case REG_BINARY: return rdBinary;
    default: return rdUnknown;
  }
}

DWORD RegDataToDataType(TRegDataType type) {
  switch (type) {
    case rdString: return REG_SZ;
    case rdExpandString: return REG_EXPAND_SZ;
    case rdInteger: return REG_DWORD;
    case rdBinary: return REG_BINARY;
    default: return REG_NONE;
  }
}

[[noreturn]] void Raise(const char* format, const String& name) {
  throw ERegistryException(Format(FromUtf8(format), {name}));
}

// A refused change, with the file's reason when the file was what refused it.
[[noreturn]] void RaiseWriteFailure(const char* format, const String& name) {
  String message = Format(FromUtf8(format), {name});
  if (String why = RegistryFileProblem(); !why.empty()) message += u": " + why;
  throw ERegistryException(message);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TRegistry
// ---------------------------------------------------------------------------------------------

TRegistry::TRegistry() : TRegistry(KEY_ALL_ACCESS) {}

TRegistry::TRegistry(REGSAM access) : access_(access) {}

TRegistry::~TRegistry() { CloseKey(); }

String TRegistry::ClassName() const { return u"TRegistry"; }

bool TRegistry::Check(LONG result) {
  lastError_ = result;
  return result == ERROR_SUCCESS;
}

void TRegistry::CloseKey() {
  if (!currentKey_) return;
  RegCloseKey(currentKey_);
  currentKey_ = 0;
  currentPath_.clear();
}

void TRegistry::ChangeKey(HKEY value, const String& path) {
  CloseKey();
  currentKey_ = value;
  currentPath_ = path;
}

HKEY TRegistry::GetBaseKey(bool relative) const {
  return (currentKey_ == 0 || !relative) ? rootKey_ : currentKey_;
}

void TRegistry::SetRootKey(HKEY value) {
  if (rootKey_ == value) return;
  rootKey_ = value;
  CloseKey();
}

bool TRegistry::OpenKey(const String& key, bool canCreate) {
  String s = key;
  bool relative = IsRelative(s);
  if (!relative) s.erase(0, 1);
  HKEY temp = 0;
  bool ok;
  if (!canCreate || s.empty()) {
    ok = Check(RegOpenKeyExW(GetBaseKey(relative), s.c_str(), 0, access_, &temp));
  } else {
    DWORD disposition = 0;
    ok = Check(RegCreateKeyExW(GetBaseKey(relative), s.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                               access_, nullptr, &temp, &disposition));
  }
  if (ok) {
    if (currentKey_ && relative) s = currentPath_ + u"\\" + s;
    ChangeKey(temp, s);
  }
  return ok;
}

bool TRegistry::OpenKeyReadOnly(const String& key) {
  String s = key;
  bool relative = IsRelative(s);
  if (!relative) s.erase(0, 1);
  REGSAM readOnly = KEY_READ | (access_ & (KEY_WOW64_32KEY | KEY_WOW64_64KEY));
  HKEY temp = 0;
  if (!Check(RegOpenKeyExW(GetBaseKey(relative), s.c_str(), 0, readOnly, &temp))) return false;
  access_ = readOnly;
  if (currentKey_ && relative) s = currentPath_ + u"\\" + s;
  ChangeKey(temp, s);
  return true;
}

HKEY TRegistry::GetKey(const String& key) {
  String s = key;
  bool relative = IsRelative(s);
  if (!relative) s.erase(0, 1);
  HKEY result = 0;
  Check(RegOpenKeyExW(GetBaseKey(relative), s.c_str(), 0, access_, &result));
  return result;
}

bool TRegistry::WithKey(const String& key, const std::function<void()>& body) {
  HKEY k = GetKey(key);
  if (!k) return false;
  HKEY old = currentKey_;
  SetCurrentKey(k);
  ScopeGuard restore([&] {
    SetCurrentKey(old);
    RegCloseKey(k);
  });
  body();
  return true;
}

bool TRegistry::CreateKey(const String& key) {
  String s = key;
  bool relative = IsRelative(s);
  if (!relative) s.erase(0, 1);
  HKEY temp = 0;
  DWORD disposition = 0;
  bool ok =
      Check(RegCreateKeyExW(GetBaseKey(relative), s.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &temp, &disposition));
  if (temp) RegCloseKey(temp);
  if (!ok) RaiseWriteFailure("Failed to create key %s", key);
  return true;
}

bool TRegistry::DeleteKey(const String& key) {
  String s = key;
  bool relative = IsRelative(s);
  if (!relative) s.erase(0, 1);
  // A key named by nothing is the current key or the root: never wipe either by accident.
  if (s.empty()) return false;
  return Check(RegDeleteTreeW(GetBaseKey(relative), s.c_str()));
}

bool TRegistry::KeyExists(const String& key) {
  REGSAM old = access_;
  access_ = STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS |
            (old & (KEY_WOW64_32KEY | KEY_WOW64_64KEY));
  HKEY temp = GetKey(key);
  access_ = old;
  if (temp) RegCloseKey(temp);
  return temp != 0;
}

bool TRegistry::GetKeyInfo(TRegKeyInfo& value) {
  value = TRegKeyInfo();
  DWORD subKeys = 0, maxSubKey = 0, values = 0, maxName = 0, maxData = 0;
  if (!Check(RegQueryInfoKeyW(currentKey_, nullptr, nullptr, nullptr, &subKeys, &maxSubKey, nullptr,
                              &values, &maxName, &maxData, nullptr, &value.FileTime)))
    return false;
  value.NumSubKeys = static_cast<int>(subKeys);
  value.MaxSubKeyLen = static_cast<int>(maxSubKey);
  value.NumValues = static_cast<int>(values);
  value.MaxValueLen = static_cast<int>(maxName);
  value.MaxDataLen = static_cast<int>(maxData);
  return true;
}

bool TRegistry::HasSubKeys() {
  TRegKeyInfo info;
  return GetKeyInfo(info) && info.NumSubKeys > 0;
}

void TRegistry::GetKeyNames(TStrings* strings) {
  strings->Clear();
  TRegKeyInfo info;
  if (!GetKeyInfo(info)) return;
  std::vector<Char> name(static_cast<std::size_t>(info.MaxSubKeyLen) + 1);
  for (int i = 0; i < info.NumSubKeys; ++i) {
    DWORD len = static_cast<DWORD>(name.size());
    if (RegEnumKeyExW(currentKey_, static_cast<DWORD>(i), name.data(), &len, nullptr, nullptr,
                      nullptr, nullptr) == ERROR_SUCCESS)
      strings->Add(String(name.data(), len));
  }
}

void TRegistry::GetValueNames(TStrings* strings) {
  strings->Clear();
  TRegKeyInfo info;
  if (!GetKeyInfo(info)) return;
  std::vector<Char> name(static_cast<std::size_t>(info.MaxValueLen) + 1);
  for (int i = 0; i < info.NumValues; ++i) {
    DWORD len = static_cast<DWORD>(name.size());
    if (RegEnumValueW(currentKey_, static_cast<DWORD>(i), name.data(), &len, nullptr, nullptr,
                      nullptr, nullptr) == ERROR_SUCCESS)
      strings->Add(String(name.data(), len));
  }
}

bool TRegistry::GetDataInfo(const String& valueName, TRegDataInfo& value) {
  value = TRegDataInfo();
  DWORD type = REG_NONE, size = 0;
  bool ok = Check(RegQueryValueExW(currentKey_, valueName.c_str(), nullptr, &type, nullptr, &size));
  if (ok) {
    value.RegData = DataTypeToRegData(type);
    value.DataSize = static_cast<int>(size);
  }
  return ok;
}

int TRegistry::GetDataSize(const String& valueName) {
  TRegDataInfo info;
  return GetDataInfo(valueName, info) ? info.DataSize : -1;
}

TRegDataType TRegistry::GetDataType(const String& valueName) {
  TRegDataInfo info;
  return GetDataInfo(valueName, info) ? info.RegData : rdUnknown;
}

bool TRegistry::ValueExists(const String& name) {
  TRegDataInfo info;
  return GetDataInfo(name, info);
}

bool TRegistry::DeleteValue(const String& name) {
  return Check(RegDeleteValueW(currentKey_, name.c_str()));
}

int TRegistry::GetData(const String& name, void* buffer, int bufSize, TRegDataType& regData) {
  DWORD type = REG_NONE;
  DWORD size = static_cast<DWORD>(bufSize);
  if (!Check(RegQueryValueExW(currentKey_, name.c_str(), nullptr, &type, static_cast<BYTE*>(buffer),
                              &size)))
    Raise("Failed to get data for '%s'", name);
  regData = DataTypeToRegData(type);
  return static_cast<int>(size);
}

void TRegistry::PutData(const String& name, const void* buffer, int bufSize, TRegDataType regData) {
  if (!Check(RegSetValueExW(currentKey_, name.c_str(), 0, RegDataToDataType(regData),
                            static_cast<const BYTE*>(buffer), static_cast<DWORD>(bufSize))))
    RaiseWriteFailure("Failed to set data for '%s'", name);
}

void TRegistry::ReadError(const String& name) const { Raise("Invalid data type for '%s'", name); }

// The type is checked before the data is fetched, so a value of another type always reports
// "Invalid data type" rather than, for a long one, a failed fetch.
TRegDataInfo TRegistry::RequireData(const String& name, std::initializer_list<TRegDataType> types) {
  TRegDataInfo info;
  if (!GetDataInfo(name, info)) Raise("Failed to get data for '%s'", name);
  for (TRegDataType t : types)
    if (info.RegData == t) return info;
  ReadError(name);
}

String TRegistry::ReadString(const String& name) {
  int len = GetDataSize(name);
  if (len <= 1) return String();
  std::vector<BYTE> buf(static_cast<std::size_t>(len));
  TRegDataType regData;
  len = GetData(name, buf.data(), len, regData);
  if (regData != rdString && regData != rdExpandString) ReadError(name);
  String result;
  for (int i = 0; i + 1 < len; i += 2) {
    Char c = static_cast<Char>(buf[i] | (buf[i + 1] << 8));
    if (c == 0) break;
    result.push_back(c);
  }
  return result;
}

void TRegistry::WriteString(const String& name, const String& value) {
  PutData(name, value.c_str(), static_cast<int>((value.size() + 1) * sizeof(Char)), rdString);
}

void TRegistry::WriteExpandString(const String& name, const String& value) {
  PutData(name, value.c_str(), static_cast<int>((value.size() + 1) * sizeof(Char)), rdExpandString);
}

int TRegistry::ReadInteger(const String& name) {
  if (RequireData(name, {rdInteger}).DataSize != sizeof(std::int32_t)) ReadError(name);
  std::int32_t result = 0;
  TRegDataType regData;
  GetData(name, &result, sizeof result, regData);
  return result;
}

void TRegistry::WriteInteger(const String& name, int value) {
  std::int32_t v = value;
  PutData(name, &v, sizeof v, rdInteger);
}

bool TRegistry::ReadBool(const String& name) { return ReadInteger(name) != 0; }

void TRegistry::WriteBool(const String& name, bool value) { WriteInteger(name, value ? 1 : 0); }

double TRegistry::ReadDouble(const String& name) {
  if (RequireData(name, {rdBinary}).DataSize != sizeof(double)) ReadError(name);
  double result = 0;
  TRegDataType regData;
  GetData(name, &result, sizeof result, regData);
  return result;
}

double TRegistry::ReadFloat(const String& name) { return ReadDouble(name); }
void TRegistry::WriteFloat(const String& name, double value) {
  PutData(name, &value, sizeof value, rdBinary);
}
TDateTime TRegistry::ReadDate(const String& name) { return ReadDouble(name); }
TDateTime TRegistry::ReadDateTime(const String& name) { return ReadDouble(name); }
TDateTime TRegistry::ReadTime(const String& name) { return ReadDouble(name); }
void TRegistry::WriteDate(const String& name, TDateTime value) { WriteFloat(name, value); }
void TRegistry::WriteDateTime(const String& name, TDateTime value) { WriteFloat(name, value); }
void TRegistry::WriteTime(const String& name, TDateTime value) { WriteFloat(name, value); }

int TRegistry::ReadBinaryData(const String& name, void* buffer, int bufSize) {
  TRegDataInfo info;
  if (!GetDataInfo(name, info)) return 0;
  if ((info.RegData != rdBinary && info.RegData != rdUnknown) || info.DataSize > bufSize)
    ReadError(name);
  TRegDataType regData;
  return GetData(name, buffer, info.DataSize, regData);
}

void TRegistry::WriteBinaryData(const String& name, const void* buffer, int bufSize) {
  PutData(name, buffer, bufSize, rdBinary);
}

// ---------------------------------------------------------------------------------------------
// TRegIniFile
// ---------------------------------------------------------------------------------------------

TRegIniFile::TRegIniFile(const String& fileName) : TRegIniFile(fileName, KEY_ALL_ACCESS) {}

TRegIniFile::TRegIniFile(const String& fileName, REGSAM access)
    : TRegistry(access), fileName_(fileName) {
  OpenKey(fileName, true);
}

String TRegIniFile::ClassName() const { return u"TRegIniFile"; }

String TRegIniFile::ReadString(const String& section, const String& ident, const String& def) {
  String result = def;
  WithKey(section, [&] {
    if (ValueExists(ident)) result = TRegistry::ReadString(ident);
  });
  return result;
}

int TRegIniFile::ReadInteger(const String& section, const String& ident, int def) {
  int result = def;
  WithKey(section, [&] {
    String s = TRegistry::ReadString(ident);
    if (!s.empty()) result = StrToInt(s);
  });
  return result;
}

bool TRegIniFile::ReadBool(const String& section, const String& ident, bool def) {
  return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

void TRegIniFile::WriteString(const String& section, const String& ident, const String& value) {
  CreateKey(section);
  WithKey(section, [&] { TRegistry::WriteString(ident, value); });
}

void TRegIniFile::WriteInteger(const String& section, const String& ident, int value) {
  WriteString(section, ident, IntToStr(value));
}

void TRegIniFile::WriteBool(const String& section, const String& ident, bool value) {
  WriteString(section, ident, value ? u"1" : u"0");
}

void TRegIniFile::ReadSection(const String& section, TStrings* strings) {
  WithKey(section, [&] { GetValueNames(strings); });
}

void TRegIniFile::ReadSections(TStrings* strings) { GetKeyNames(strings); }

void TRegIniFile::ReadSectionValues(const String& section, TStrings* strings) {
  TStringList names;
  ReadSection(section, &names);
  UpdateScope update(strings);
  for (int i = 0; i < names.Count(); ++i)
    strings->SetValue(names[i], ReadString(section, names[i], String()));
}

void TRegIniFile::EraseSection(const String& section) { TRegistry::DeleteKey(section); }

void TRegIniFile::DeleteKey(const String& section, const String& ident) {
  WithKey(section, [&] { DeleteValue(ident); });
}

// ---------------------------------------------------------------------------------------------
// TRegistryIniFile
// ---------------------------------------------------------------------------------------------

TRegistryIniFile::TRegistryIniFile(const String& fileName)
    : TRegistryIniFile(fileName, KEY_ALL_ACCESS) {}

TRegistryIniFile::TRegistryIniFile(const String& fileName, REGSAM access)
    : TCustomIniFile(fileName), regIniFile_(std::make_unique<TRegIniFile>(fileName, access)) {}

TRegistryIniFile::~TRegistryIniFile() = default;

String TRegistryIniFile::ClassName() const { return u"TRegistryIniFile"; }

void TRegistryIniFile::InSectionForWrite(const String& section,
                                         const std::function<void()>& write) {
  regIniFile_->CreateKey(section);
  regIniFile_->WithKey(section, write);
}

String TRegistryIniFile::ReadString(const String& section, const String& ident, const String& def) {
  return regIniFile_->ReadString(section, ident, def);
}

void TRegistryIniFile::WriteString(const String& section, const String& ident,
                                   const String& value) {
  regIniFile_->WriteString(section, ident, value);
}

int TRegistryIniFile::ReadInteger(const String& section, const String& ident, int def) {
  TRegIniFile* reg = regIniFile_.get();
  int result = def;
  reg->WithKey(section, [&] {
    if (!reg->ValueExists(ident)) return;
    if (reg->GetDataType(ident) == rdString) result = StrToIntDef(reg->ReadString(ident), def);
    else result = reg->ReadInteger(ident);
  });
  return result;
}

void TRegistryIniFile::WriteInteger(const String& section, const String& ident, int value) {
  InSectionForWrite(section, [&] { regIniFile_->WriteInteger(ident, value); });
}

// Floats and date-times: the default when the section or the value is missing.
double TRegistryIniFile::ReadEightBytes(const String& section, const String& ident, double def,
                                        double (TRegistry::*read)(const String&)) {
  TRegIniFile* reg = regIniFile_.get();
  double result = def;
  reg->WithKey(section, [&] {
    if (reg->ValueExists(ident)) result = (reg->*read)(ident);
  });
  return result;
}

TDateTime TRegistryIniFile::ReadDate(const String& section, const String& ident, TDateTime def) {
  return ReadEightBytes(section, ident, def, &TRegistry::ReadDate);
}

TDateTime TRegistryIniFile::ReadDateTime(const String& section, const String& ident,
                                         TDateTime def) {
  return ReadEightBytes(section, ident, def, &TRegistry::ReadDateTime);
}

TDateTime TRegistryIniFile::ReadTime(const String& section, const String& ident, TDateTime def) {
  return ReadEightBytes(section, ident, def, &TRegistry::ReadTime);
}

double TRegistryIniFile::ReadFloat(const String& section, const String& ident, double def) {
  return ReadEightBytes(section, ident, def, &TRegistry::ReadFloat);
}

void TRegistryIniFile::WriteDate(const String& section, const String& ident, TDateTime value) {
  InSectionForWrite(section, [&] { regIniFile_->WriteDate(ident, value); });
}

void TRegistryIniFile::WriteDateTime(const String& section, const String& ident, TDateTime value) {
  InSectionForWrite(section, [&] { regIniFile_->WriteDateTime(ident, value); });
}

void TRegistryIniFile::WriteTime(const String& section, const String& ident, TDateTime value) {
  InSectionForWrite(section, [&] { regIniFile_->WriteTime(ident, value); });
}

void TRegistryIniFile::WriteFloat(const String& section, const String& ident, double value) {
  InSectionForWrite(section, [&] { regIniFile_->WriteFloat(ident, value); });
}

int TRegistryIniFile::ReadBinaryStream(const String& section, const String& ident, TStream* value) {
  TRegIniFile* reg = regIniFile_.get();
  int result = 0;
  reg->WithKey(section, [&] {
    TRegDataInfo info;
    if (!value || !reg->GetDataInfo(ident, info)) return;
    if (info.RegData != rdBinary && info.RegData != rdUnknown) return;
    std::vector<BYTE> bytes(static_cast<std::size_t>(info.DataSize));
    int n = reg->ReadBinaryData(ident, bytes.data(), info.DataSize);
    std::int64_t start = value->Position();
    value->WriteBuffer(bytes.data(), n);
    value->SetPosition(start);
    result = n;
  });
  return result;
}

void TRegistryIniFile::WriteBinaryStream(const String& section, const String& ident,
                                         TStream* value) {
  std::vector<BYTE> bytes;
  if (value) {
    std::int64_t n = value->Size() - value->Position();
    if (n > 0) {
      bytes.resize(static_cast<std::size_t>(n));
      value->ReadBuffer(bytes.data(), static_cast<int>(n));
    }
  }
  InSectionForWrite(section, [&] {
    regIniFile_->WriteBinaryData(ident, bytes.data(), static_cast<int>(bytes.size()));
  });
}

void TRegistryIniFile::ReadSection(const String& section, TStrings* strings) {
  // Through the INI interface a missing section lists nothing, as every INI file's does.
  strings->Clear();
  regIniFile_->ReadSection(section, strings);
}

void TRegistryIniFile::ReadSections(TStrings* strings) { regIniFile_->ReadSections(strings); }

void TRegistryIniFile::ReadSectionValues(const String& section, TStrings* strings) {
  regIniFile_->ReadSectionValues(section, strings);
}

void TRegistryIniFile::EraseSection(const String& section) { regIniFile_->EraseSection(section); }

void TRegistryIniFile::DeleteKey(const String& section, const String& ident) {
  regIniFile_->DeleteKey(section, ident);
}

void TRegistryIniFile::UpdateFile() {}
