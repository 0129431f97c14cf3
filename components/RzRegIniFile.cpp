// The settings store: an INI file or a registry key behind one set of calls.
#include <algorithm>
#include <array>

#include "Files.h"
#include "Forms.h"
#include "Registry.h"
#include "RzCommon.h"
#include "ShellFolders.h"
#include "SysInfo.h"

// ---- Settings store ----

HKEY RegKeyRoot(TRzRegKey key) { return HKEY_CLASSES_ROOT + static_cast<HKEY>(key); }

REGSAM RegAccessMask(TRzRegAccess access) {
  static constexpr std::array<REGSAM, 10> kMasks = {
      KEY_QUERY_VALUE, KEY_SET_VALUE,   KEY_CREATE_SUB_KEY, KEY_ENUMERATE_SUB_KEYS,
      KEY_NOTIFY,      KEY_CREATE_LINK, KEY_READ,           KEY_WRITE,
      KEY_EXECUTE,     KEY_ALL_ACCESS};
  REGSAM mask = 0;
  for (std::size_t i = 0; i < kMasks.size(); ++i)
    if (access.Contains(static_cast<TRzRegAccessKey>(i))) mask |= kMasks[i];
  return mask;
}

namespace {

// The folder with a trailing delimiter; empty when the system has no such folder.
String ShellFolderPath(int csidl) {
  if (Win32Platform != static_cast<int>(VER_PLATFORM_WIN32_NT) || Win32MajorVersion < 5)
    return String();
  Char buffer[MAX_PATH + 1] = {};
  if (!SHGetSpecialFolderPathW(0, buffer, csidl, FALSE)) return String();
  return IncludeTrailingPathDelimiter(String(buffer));
}

String SpecialFolderPath(TRzSpecialFolder folder, const String& subPath) {
  static constexpr std::array<int, 5> kFolders = {0, CSIDL_APPDATA, CSIDL_LOCAL_APPDATA,
                                                  CSIDL_PERSONAL, CSIDL_COMMON_APPDATA};
  if (folder == sfNone) return String();
  String base = ShellFolderPath(kFolders[folder]);
  if (base.empty()) return String();
  // A path resolved by an earlier open lies in the folder already; a reopen keeps it there.
  String result =
      IncludeTrailingPathDelimiter(subPath.starts_with(base) ? subPath : base + subPath);
  ForceDirectories(result);  // a folder that cannot be made shows at the first write
  return result;
}

TIniEncoding IniEncoding(TRzIniFileEncoding encoding) {
  switch (encoding) {
    case feUTF8: return TIniEncoding::UTF8;
    case feUnicode: return TIniEncoding::Unicode;
    default: return TIniEncoding::Default;
  }
}

String HexBytes(const std::vector<BYTE>& bytes) {
  static const char16_t kDigits[] = u"0123456789ABCDEF";
  String s;
  for (BYTE b : bytes) {
    s.push_back(kDigits[b >> 4]);
    s.push_back(kDigits[b & 15]);
    s.push_back(u' ');
  }
  return s;
}

// One "name=value" line of a registry section; the unnamed value is listed as Default.
String RegistryValueLine(TRegistry& reg, const String& name) {
  if (name.empty()) return u"Default=" + reg.ReadString(name);
  switch (reg.GetDataType(name)) {
    case rdString:
    case rdExpandString: return name + u"=" + reg.ReadString(name);
    case rdInteger: return name + u"=" + IntToStr(reg.ReadInteger(name));
    case rdBinary: {
      std::vector<BYTE> bytes(static_cast<std::size_t>(std::max(reg.GetDataSize(name), 0)));
      if (!bytes.empty()) reg.ReadBinaryData(name, bytes.data(), static_cast<int>(bytes.size()));
      return name + u"=" + HexBytes(bytes);
    }
    default: return name + u"=Unknown Data Type";
  }
}

}  // namespace

TRzRegIniFile::TRzRegIniFile(TComponent* owner) : TComponent(owner) { RegisterRzCommonClasses(); }

TRzRegIniFile::~TRzRegIniFile() = default;

String TRzRegIniFile::ClassName() const { return u"TRzRegIniFile"; }

void TRzRegIniFile::Changed() { FRefreshStorage = true; }

void TRzRegIniFile::SetFileEncoding(TRzIniFileEncoding value) {
  if (value == FFileEncoding) return;
  FFileEncoding = value;
  Changed();
}

void TRzRegIniFile::SetPath(const String& value) {
  if (value == FPath) return;
  FPath = value;
  Changed();
}

void TRzRegIniFile::SetPathType(TRzPathType value) {
  if (value == FPathType) return;
  FPathType = value;
  Changed();
}

void TRzRegIniFile::SetRegKey(TRzRegKey value) {
  if (value == FRegKey) return;
  FRegKey = value;
  Changed();
}

void TRzRegIniFile::SetRegAccess(TRzRegAccess value) {
  if (value == FRegAccess) return;
  FRegAccess = value;
  Changed();
}

void TRzRegIniFile::SetSpecialFolder(TRzSpecialFolder value) {
  if (value == FSpecialFolder) return;
  FSpecialFolder = value;
  Changed();
}

void TRzRegIniFile::EnsureStorage() {
  if (!FRefreshStorage) return;
  FIni.reset();
  FReg.reset();
  String p = FPath;
  if (FPathType == ptRegistry) {
    if (p.empty()) p = u"\\Software\\Temp\\" + Application->Title();
    auto reg = std::make_unique<TRegistryIniFile>(String(), RegAccessMask(FRegAccess));
    TRegIniFile* key = reg->RegIniFile();
    key->SetRootKey(RegKeyRoot(FRegKey));
    // Without the key, every later write would land beside it, relative to the root.
    if (!key->OpenKey(p, true))
      throw ERegistryException(Format(u"Failed to open or create key %s", {p}));
    FReg = std::move(reg);
  } else {
    if (FSpecialFolder != sfNone) {
      String folder = SpecialFolderPath(FSpecialFolder, ExtractFilePath(p));
      if (!folder.empty())
        p = ChangeFileExt(folder + ExtractFileName(p.empty() ? GetExeName() : p), u".ini");
    }
    if (p.empty()) p = ChangeFileExt(GetExeName(), u".ini");
    else if (ExtractFilePath(p).empty())
      p = ExtractFilePath(GetExeName()) + ChangeFileExt(p, u".ini");
    FIni = std::make_unique<TMemIniFile>(p, IniEncoding(FFileEncoding));
  }
  FPath = p;
  FRefreshStorage = false;
}

TCustomIniFile* TRzRegIniFile::Storage() {
  EnsureStorage();
  if (FReg) return FReg.get();
  return FIni.get();
}

void TRzRegIniFile::FlushIniFile() {
  if (!FIni) return;
  FIni->SetEncoding(IniEncoding(FFileEncoding));
  FIni->UpdateFile();
}

bool TRzRegIniFile::SectionExists(const String& section) {
  return Storage()->SectionExists(section);
}

bool TRzRegIniFile::ValueExists(const String& section, const String& name) {
  return Storage()->ValueExists(section, name);
}

bool TRzRegIniFile::ReadBool(const String& section, const String& name, bool def) {
  return Storage()->ReadBool(section, name, def);
}

void TRzRegIniFile::WriteBool(const String& section, const String& name, bool value) {
  Storage()->WriteBool(section, name, value);
  FlushIniFile();
}

TDateTime TRzRegIniFile::ReadDate(const String& section, const String& name, TDateTime def) {
  return Storage()->ReadDate(section, name, def);
}

void TRzRegIniFile::WriteDate(const String& section, const String& name, TDateTime value) {
  Storage()->WriteDate(section, name, value);
  FlushIniFile();
}

TDateTime TRzRegIniFile::ReadDateTime(const String& section, const String& name, TDateTime def) {
  return Storage()->ReadDateTime(section, name, def);
}

void TRzRegIniFile::WriteDateTime(const String& section, const String& name, TDateTime value) {
  Storage()->WriteDateTime(section, name, value);
  FlushIniFile();
}

TDateTime TRzRegIniFile::ReadTime(const String& section, const String& name, TDateTime def) {
  return Storage()->ReadTime(section, name, def);
}

void TRzRegIniFile::WriteTime(const String& section, const String& name, TDateTime value) {
  Storage()->WriteTime(section, name, value);
  FlushIniFile();
}

double TRzRegIniFile::ReadFloat(const String& section, const String& name, double def) {
  return Storage()->ReadFloat(section, name, def);
}

void TRzRegIniFile::WriteFloat(const String& section, const String& name, double value) {
  Storage()->WriteFloat(section, name, value);
  FlushIniFile();
}

int TRzRegIniFile::ReadInteger(const String& section, const String& name, int def) {
  return Storage()->ReadInteger(section, name, def);
}

void TRzRegIniFile::WriteInteger(const String& section, const String& name, int value) {
  Storage()->WriteInteger(section, name, value);
  FlushIniFile();
}

String TRzRegIniFile::ReadString(const String& section, const String& name, const String& def) {
  return Storage()->ReadString(section, name, def);
}

void TRzRegIniFile::WriteString(const String& section, const String& name, const String& value) {
  Storage()->WriteString(section, name, value);
  FlushIniFile();
}

int TRzRegIniFile::ReadBinaryStream(const String& section, const String& name, TStream* value) {
  return Storage()->ReadBinaryStream(section, name, value);
}

void TRzRegIniFile::WriteBinaryStream(const String& section, const String& name, TStream* value) {
  Storage()->WriteBinaryStream(section, name, value);
  FlushIniFile();
}

void TRzRegIniFile::ReadSection(const String& section, TStrings* strings) {
  Storage()->ReadSection(section, strings);
}

void TRzRegIniFile::ReadSections(TStrings* strings) { Storage()->ReadSections(strings); }

void TRzRegIniFile::ReadSectionValues(const String& section, TStrings* strings) {
  TCustomIniFile* storage = Storage();
  if (FPathType != ptRegistry) {
    storage->ReadSectionValues(section, strings);
    return;
  }
  TRegistry reg;
  reg.SetRootKey(RegKeyRoot(FRegKey));
  UpdateScope<TStrings> update(strings);
  strings->Clear();
  String key = LastChar(FPath) == u'\\' ? FPath + section : FPath + u"\\" + section;
  if (!reg.OpenKey(key, false)) return;
  TStringList names;
  names.SetSorted(true);
  reg.GetValueNames(&names);
  for (int i = 0; i < names.Count(); ++i) strings->Add(RegistryValueLine(reg, names[i]));
  reg.CloseKey();
}

void TRzRegIniFile::EraseSection(const String& section) {
  Storage()->EraseSection(section);
  FlushIniFile();
}

void TRzRegIniFile::DeleteKey(const String& section, const String& name) {
  Storage()->DeleteKey(section, name);
  FlushIniFile();
}
