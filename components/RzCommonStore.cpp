// The library's published property types, the settings store and the frame controller.
#include <algorithm>
#include <array>

#include "Files.h"
#include "Forms.h"
#include "GraphicsTypeInfo.h"
#include "IniFiles.h"
#include "Numbers.h"
#include "Registry.h"
#include "RzCommon.h"
#include "RzOldPropReader.h"
#include "ScopeGuard.h"
#include "ShellFolders.h"
#include "Streaming.h"
#include "SysInfo.h"

// ---- Type information ----

const TTypeInfo* TypeInfoTRzAboutInfo() {
  static const TTypeInfo t = TTypeInfo::Enumeration(u"TRzAboutInfo", {u"aiAbout"});
  return &t;
}

const TTypeInfo* TypeInfoTFrameStyle() {
  static const TTypeInfo t = TTypeInfo::Enumeration(
      u"TFrameStyle", {u"fsNone", u"fsFlat", u"fsGroove", u"fsBump", u"fsLowered", u"fsButtonDown",
                       u"fsRaised", u"fsButtonUp", u"fsStatus", u"fsPopup", u"fsFlatBold"});
  return &t;
}

const TTypeInfo* TypeInfoTFrameStyleEx() {
  static const TTypeInfo t = TTypeInfo::Enumeration(
      u"TFrameStyleEx",
      {u"fsNone", u"fsFlat", u"fsGroove", u"fsBump", u"fsLowered", u"fsButtonDown", u"fsRaised",
       u"fsButtonUp", u"fsStatus", u"fsPopup", u"fsFlatBold", u"fsFlatRounded"});
  return &t;
}

const TTypeInfo* TypeInfoTSide() {
  static const TTypeInfo t =
      TTypeInfo::Enumeration(u"TSide", {u"sdLeft", u"sdTop", u"sdRight", u"sdBottom"});
  return &t;
}

const TTypeInfo* TypeInfoTSides() {
  static const TTypeInfo t = TTypeInfo::Set(u"TSides", TypeInfoTSide());
  return &t;
}

const TTypeInfo* TypeInfoTFramingPreference() {
  static const TTypeInfo t =
      TTypeInfo::Enumeration(u"TFramingPreference", {u"fpCustomFraming", u"fpXPThemes"});
  return &t;
}

const TTypeInfo* TypeInfoTRzFrameControllerPropertyConnection() {
  static const TTypeInfo t = TTypeInfo::Enumeration(
      u"TRzFrameControllerPropertyConnection",
      {u"fcpColor", u"fcpFocusColor", u"fcpDisabledColor", u"fcpReadOnlyColor",
       u"fcpReadOnlyColorOnFocus", u"fcpParentColor", u"fcpFlatButtonColor", u"fcpFlatButtons",
       u"fcpFrameColor", u"fcpFrameHotColor", u"fcpFrameHotTrack", u"fcpFrameHotStyle",
       u"fcpFrameSides", u"fcpFrameStyle", u"fcpFrameVisible", u"fcpFramingPreference"});
  return &t;
}

const TTypeInfo* TypeInfoTRzFrameControllerNotifications() {
  static const TTypeInfo t = TTypeInfo::Set(u"TRzFrameControllerNotifications",
                                            TypeInfoTRzFrameControllerPropertyConnection());
  return &t;
}

const TTypeInfo* TypeInfoTRzPathType() {
  static const TTypeInfo t = TTypeInfo::Enumeration(u"TRzPathType", {u"ptIniFile", u"ptRegistry"});
  return &t;
}

const TTypeInfo* TypeInfoTRzRegKey() {
  static const TTypeInfo t = TTypeInfo::Enumeration(
      u"TRzRegKey", {u"hkeyClassesRoot", u"hkeyCurrentUser", u"hkeyLocalMachine", u"hkeyUsers",
                     u"hkeyPerformanceData", u"hkeyCurrentConfig", u"hkeyDynData"});
  return &t;
}

const TTypeInfo* TypeInfoTRzRegAccessKey() {
  static const TTypeInfo t = TTypeInfo::Enumeration(
      u"TRzRegAccessKey",
      {u"keyQueryValue", u"keySetValue", u"keyCreateSubKey", u"keyEnumerateSubKeys", u"keyNotify",
       u"keyCreateLink", u"keyRead", u"keyWrite", u"keyExecute", u"keyAllAccess"});
  return &t;
}

const TTypeInfo* TypeInfoTRzRegAccess() {
  static const TTypeInfo t = TTypeInfo::Set(u"TRzRegAccess", TypeInfoTRzRegAccessKey());
  return &t;
}

const TTypeInfo* TypeInfoTRzSpecialFolder() {
  static const TTypeInfo t = TTypeInfo::Enumeration(
      u"TRzSpecialFolder", {u"sfNone", u"sfUserAppDataRoaming", u"sfUserAppDataLocal",
                            u"sfUserDocuments", u"sfProgramData"});
  return &t;
}

const TTypeInfo* TypeInfoTRzIniFileEncoding() {
  static const TTypeInfo t =
      TTypeInfo::Enumeration(u"TRzIniFileEncoding", {u"feDefault", u"feUTF8", u"feUnicode"});
  return &t;
}

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

// ---- Frame controller ----

struct TRzFrameController::Settings {
  TColor Color, FlatButtonColor, DisabledColor, ReadOnlyColor, FocusColor, FrameColor,
      FrameHotColor;
  bool ParentColor, FlatButtons, ReadOnlyColorOnFocus, FrameHotTrack, FrameVisible;
  TFrameStyle FrameHotStyle, FrameStyle;
  TSides FrameSides;
  TFramingPreference FramingPreference;
};

namespace {

constexpr std::array<const char16_t*, fcpAll> kControllerPropNames = {u"Color",
                                                                      u"FocusColor",
                                                                      u"DisabledColor",
                                                                      u"ReadOnlyColor",
                                                                      u"ReadOnlyColorOnFocus",
                                                                      u"ParentColor",
                                                                      u"FlatButtonColor",
                                                                      u"FlatButtons",
                                                                      u"FrameColor",
                                                                      u"FrameHotColor",
                                                                      u"FrameHotTrack",
                                                                      u"FrameHotStyle",
                                                                      u"FrameSides",
                                                                      u"FrameStyle",
                                                                      u"FrameVisible",
                                                                      u"FramingPreference"};

// The order of a full push: ParentColor before Color, so a control that follows its parent
// is not handed a colour first.
constexpr std::array<TRzFrameControllerProperty, fcpAll> kFullPushOrder = {
    fcpParentColor,          fcpColor,         fcpDisabledColor,   fcpReadOnlyColor,
    fcpReadOnlyColorOnFocus, fcpFocusColor,    fcpFlatButtonColor, fcpFlatButtons,
    fcpFrameColor,           fcpFrameHotColor, fcpFrameHotTrack,   fcpFrameHotStyle,
    fcpFrameSides,           fcpFrameStyle,    fcpFrameVisible,    fcpFramingPreference};

}  // namespace

TRzFrameController::TRzFrameController(TComponent* owner) : TComponent(owner) {
  RegisterRzCommonClasses();
}

TRzFrameController::~TRzFrameController() = default;

String TRzFrameController::ClassName() const { return u"TRzFrameController"; }

TRzFrameController::Settings TRzFrameController::Current() const {
  Settings s;
  s.Color = FColor;
  s.FlatButtonColor = FFlatButtonColor;
  s.DisabledColor = FDisabledColor;
  s.ReadOnlyColor = FReadOnlyColor;
  s.FocusColor = FFocusColor;
  s.FrameColor = FFrameColor;
  s.FrameHotColor = FFrameHotColor;
  s.ParentColor = FParentColor;
  s.FlatButtons = FFlatButtons;
  s.ReadOnlyColorOnFocus = FReadOnlyColorOnFocus;
  s.FrameHotTrack = FFrameHotTrack;
  s.FrameVisible = FFrameVisible;
  s.FrameHotStyle = FFrameHotStyle;
  s.FrameStyle = FFrameStyle;
  s.FrameSides = FFrameSides;
  s.FramingPreference = FFramingPreference;
  return s;
}

void TRzFrameController::Apply(const Settings& s) {
  FColor = s.Color;
  FFlatButtonColor = s.FlatButtonColor;
  FDisabledColor = s.DisabledColor;
  FReadOnlyColor = s.ReadOnlyColor;
  FFocusColor = s.FocusColor;
  FFrameColor = s.FrameColor;
  FFrameHotColor = s.FrameHotColor;
  FParentColor = s.ParentColor;
  FFlatButtons = s.FlatButtons;
  FReadOnlyColorOnFocus = s.ReadOnlyColorOnFocus;
  FFrameHotTrack = s.FrameHotTrack;
  FFrameVisible = s.FrameVisible;
  FFrameHotStyle = s.FrameHotStyle;
  FFrameStyle = s.FrameStyle;
  FFrameSides = s.FrameSides;
  FFramingPreference = s.FramingPreference;
}

void TRzFrameController::Assign(const TPersistent* source) {
  const auto* other = dynamic_cast<const TRzFrameController*>(source);
  if (!other) {
    TComponent::Assign(source);
    return;
  }
  UpdateScope<TRzFrameController> update(this);
  Apply(other->Current());
}

std::int64_t TRzFrameController::OrdValue(TRzFrameControllerProperty prop) const {
  auto color = [](TColor c) { return static_cast<std::int64_t>(static_cast<std::int32_t>(c)); };
  switch (prop) {
    case fcpColor: return color(FColor);
    case fcpFocusColor: return color(FFocusColor);
    case fcpDisabledColor: return color(FDisabledColor);
    case fcpReadOnlyColor: return color(FReadOnlyColor);
    case fcpReadOnlyColorOnFocus: return FReadOnlyColorOnFocus;
    case fcpParentColor: return FParentColor;
    case fcpFlatButtonColor: return color(FFlatButtonColor);
    case fcpFlatButtons: return FFlatButtons;
    case fcpFrameColor: return color(FFrameColor);
    case fcpFrameHotColor: return color(FFrameHotColor);
    case fcpFrameHotTrack: return FFrameHotTrack;
    case fcpFrameHotStyle: return FFrameHotStyle;
    case fcpFrameSides: return FFrameSides.Bits();
    case fcpFrameStyle: return FFrameStyle;
    case fcpFrameVisible: return FFrameVisible;
    case fcpFramingPreference: return FFramingPreference;
    default: return 0;
  }
}

void TRzFrameController::PushProperty(TComponent* control, TRzFrameControllerProperty prop) const {
  const String name = kControllerPropNames[prop];
  const TPropInfo* info = GetPropInfo(control, name);
  if (!info || !info->PropType || !info->SetOrd) return;
  if (prop == fcpFrameSides) {
    // By element names, so a control whose sides are another set type of the same names fits.
    if (info->PropType->Kind() == tkSet)
      SetSetProp(control, name, SetToString(TypeInfoTSides(), FFrameSides.Bits()));
  } else if (info->PropType->IsOrdinal()) {
    SetOrdProp(control, info, OrdValue(prop));
  }
}

void TRzFrameController::NotifyControl(TComponent* control, TRzFrameControllerProperty prop) {
  if (!dynamic_cast<TControl*>(control)) return;
  TRzFrameControllerNotifications accepted = fcnAllNotifications;
  if (const TPropInfo* info = GetPropInfo(control, u"FrameControllerNotifications", tkSet))
    accepted = TRzFrameControllerNotifications::FromBits(
        static_cast<std::uint32_t>(GetOrdProp(control, info)));
  if (auto* notify = dynamic_cast<IFrameControllerNotify*>(control)) {
    notify->FrameSettingsChanged();
    return;
  }
  if (prop != fcpAll) {
    if (accepted.Contains(prop)) PushProperty(control, prop);
    return;
  }
  for (TRzFrameControllerProperty p : kFullPushOrder) {
    if (p == fcpColor && FParentColor) continue;
    if (accepted.Contains(p)) PushProperty(control, p);
  }
}

void TRzFrameController::NotifyControls(TRzFrameControllerProperty prop) {
  if (FUpdateCount > 0 || !FFrameList) return;
  // A control may leave the list while it is being told.
  const std::vector<TComponent*> controls = *FFrameList;
  for (TComponent* c : controls) NotifyControl(c, prop);
}

void TRzFrameController::BeginUpdate() { ++FUpdateCount; }

void TRzFrameController::EndUpdate() {
  if (--FUpdateCount <= 0) {
    FUpdateCount = 0;
    NotifyControls(fcpAll);
  }
}

void TRzFrameController::UpdateControls() { NotifyControls(fcpAll); }

void TRzFrameController::AddControl(TComponent* control) {
  if (!control) return;
  if (!FFrameList) FFrameList = std::make_unique<std::vector<TComponent*>>();
  if (std::find(FFrameList->begin(), FFrameList->end(), control) != FFrameList->end()) return;
  FFrameList->push_back(control);
  // A control freed without unregistering must not stay in the list.
  FreeNotification(control);
  NotifyControl(control, fcpAll);
}

void TRzFrameController::RemoveControl(TComponent* control) {
  if (!FFrameList) return;
  auto& list = *FFrameList;
  list.erase(std::remove(list.begin(), list.end(), control), list.end());
  if (list.empty()) FFrameList.reset();
}

void TRzFrameController::Loaded() {
  TComponent::Loaded();
  UpdateControls();
}

void TRzFrameController::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == FRegIniFile) FRegIniFile = nullptr;
  if (component && component->ComponentState().Contains(csDestroying)) RemoveControl(component);
}

void TRzFrameController::DefineProperties(TFiler* filer) {
  TComponent::DefineProperties(filer);
  TRzOldPropReader::DefineOldFrameProps(
      filer, [this](bool flat) { FFrameHotTrack = flat; }, FFrameStyle, FFrameHotStyle);
}

// ---- Setters ----

void TRzFrameController::SetColor(TColor value) {
  if (value == FColor) return;
  if (FColor == FFocusColor) FFocusColor = value;
  FColor = value;
  FParentColor = false;
  NotifyControls(fcpColor);
}

void TRzFrameController::SetParentColor(bool value) {
  if (value == FParentColor) return;
  FParentColor = value;
  NotifyControls(fcpParentColor);
  if (!value) NotifyControls(fcpColor);
}

#define KORV_FRAME_SETTER(Name, Type, Prop)        \
  void TRzFrameController::Set##Name(Type value) { \
    if (value == F##Name) return;                  \
    F##Name = value;                               \
    NotifyControls(Prop);                          \
  }

KORV_FRAME_SETTER(FlatButtonColor, TColor, fcpFlatButtonColor)
KORV_FRAME_SETTER(FlatButtons, bool, fcpFlatButtons)
KORV_FRAME_SETTER(DisabledColor, TColor, fcpDisabledColor)
KORV_FRAME_SETTER(ReadOnlyColor, TColor, fcpReadOnlyColor)
KORV_FRAME_SETTER(ReadOnlyColorOnFocus, bool, fcpReadOnlyColorOnFocus)
KORV_FRAME_SETTER(FocusColor, TColor, fcpFocusColor)
KORV_FRAME_SETTER(FrameColor, TColor, fcpFrameColor)
KORV_FRAME_SETTER(FrameHotColor, TColor, fcpFrameHotColor)
KORV_FRAME_SETTER(FrameHotStyle, TFrameStyle, fcpFrameHotStyle)
KORV_FRAME_SETTER(FrameSides, TSides, fcpFrameSides)
KORV_FRAME_SETTER(FrameStyle, TFrameStyle, fcpFrameStyle)
KORV_FRAME_SETTER(FrameVisible, bool, fcpFrameVisible)
KORV_FRAME_SETTER(FramingPreference, TFramingPreference, fcpFramingPreference)
#undef KORV_FRAME_SETTER

void TRzFrameController::SetFrameHotTrack(bool value) {
  if (value == FFrameHotTrack) return;
  FFrameHotTrack = value;
  if (value) {
    SetFrameVisible(true);
    // A stored description keeps its own sides.
    if (!ComponentState().Contains(csLoading)) FFrameSides = sdAllSides;
  }
  NotifyControls(fcpFrameHotTrack);
}

void TRzFrameController::SetRegIniFile(TRzRegIniFile* value) {
  if (value == FRegIniFile) return;
  FRegIniFile = value;
  if (value) value->FreeNotification(this);
}

// ---- Load and save ----

TRzFrameController::Settings TRzFrameController::ReadSettings(TRzRegIniFile* store,
                                                              const String& section, Settings s) {
  // A value of the wrong type takes its key's default; a failing store raises before any field
  // of the copy has been read.
  auto readInt = [&](const char16_t* key, int def) {
    try {
      return store->ReadInteger(section, key, def);
    } catch (const EConvertError&) {
      return def;
    } catch (const ERegistryException&) {
      return def;
    }
  };
  auto readBool = [&](const char16_t* key, bool def) {
    try {
      return store->ReadBool(section, key, def);
    } catch (const EConvertError&) {
      return def;
    } catch (const ERegistryException&) {
      return def;
    }
  };
  auto readColor = [&](const char16_t* key, TColor def) {
    return static_cast<TColor>(readInt(key, static_cast<std::int32_t>(def)));
  };
  // The low byte, as stored; a value outside the type takes the key's default.
  auto readEnum = [&](const char16_t* key, int def, int high) {
    int v = readInt(key, def) & 0xFF;
    return v <= high ? v : def;
  };

  store->SectionExists(section);
  s.Color = readColor(u"Color", clWindow);
  s.FlatButtonColor = readColor(u"FlatButtonColor", clBtnFace);
  s.FlatButtons = readBool(u"FlatButtons", true);
  s.DisabledColor = readColor(u"DisabledColor", clWindow);
  s.ReadOnlyColor = readColor(u"ReadOnlyColor", clInfoBk);
  s.ReadOnlyColorOnFocus = readBool(u"ReadOnlyColorOnFocus", false);
  s.FocusColor = readColor(u"FocusColor", clWindow);
  s.FrameColor = readColor(u"FrameColor", clBtnShadow);
  s.FrameHotColor = readColor(u"FrameHotColor", clBtnShadow);
  s.FrameHotStyle = static_cast<TFrameStyle>(readEnum(u"FrameHotStyle", fsFlatBold, fsFlatBold));
  s.FrameHotTrack = readBool(u"FrameHotTrack", false);
  s.FrameSides = TSides();
  if (readBool(u"FrameSides_Left", true)) s.FrameSides.Include(sdLeft);
  if (readBool(u"FrameSides_Top", true)) s.FrameSides.Include(sdTop);
  if (readBool(u"FrameSides_Right", true)) s.FrameSides.Include(sdRight);
  if (readBool(u"FrameSides_Bottom", true)) s.FrameSides.Include(sdBottom);
  s.FrameStyle = static_cast<TFrameStyle>(readEnum(u"FrameStyle", fsFlat, fsFlatBold));
  s.FrameVisible = readBool(u"FrameVisible", false);
  s.FramingPreference =
      static_cast<TFramingPreference>(readEnum(u"FramingPreference", fpXPThemes, fpXPThemes));
  return s;
}

void TRzFrameController::Load(const String& section) {
  if (!FRegIniFile)
    throw ENoRegIniFile(
        u"Cannot load Custom Framing settings--No TRzRegIniFile component specified");
  UpdateScope<TRzFrameController> update(this);
  // Read into a copy, so a store that fails halfway leaves the settings as they were.
  Apply(ReadSettings(FRegIniFile, section, Current()));
}

void TRzFrameController::Save(const String& section) {
  if (!FRegIniFile)
    throw ENoRegIniFile(
        u"Cannot save Custom Framing settings--No TRzRegIniFile component specified");
  TRzRegIniFile* store = FRegIniFile;
  auto color = [](TColor c) { return static_cast<std::int32_t>(c); };
  store->WriteInteger(section, u"Color", color(FColor));
  store->WriteInteger(section, u"FlatButtonColor", color(FFlatButtonColor));
  store->WriteBool(section, u"FlatButtons", FFlatButtons);
  store->WriteInteger(section, u"DisabledColor", color(FDisabledColor));
  store->WriteInteger(section, u"ReadOnlyColor", color(FReadOnlyColor));
  store->WriteBool(section, u"ReadOnlyColorOnFocus", FReadOnlyColorOnFocus);
  store->WriteInteger(section, u"FocusColor", color(FFocusColor));
  store->WriteInteger(section, u"FrameColor", color(FFrameColor));
  store->WriteInteger(section, u"FrameHotColor", color(FFrameHotColor));
  store->WriteInteger(section, u"FrameHotStyle", FFrameHotStyle);
  store->WriteBool(section, u"FrameHotTrack", FFrameHotTrack);
  store->WriteBool(section, u"FrameSides_Left", FFrameSides.Contains(sdLeft));
  store->WriteBool(section, u"FrameSides_Top", FFrameSides.Contains(sdTop));
  store->WriteBool(section, u"FrameSides_Right", FFrameSides.Contains(sdRight));
  store->WriteBool(section, u"FrameSides_Bottom", FFrameSides.Contains(sdBottom));
  store->WriteInteger(section, u"FrameStyle", FFrameStyle);
  store->WriteBool(section, u"FrameVisible", FFrameVisible);
  store->WriteInteger(section, u"FramingPreference", FFramingPreference);
}

// ---- Published tables ----

void RegisterRzCommonClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  Published<TRzRegIniFile>(u"TRzRegIniFile", u"TComponent")
      .Creatable()
      .Ord(u"About", TypeInfoTRzAboutInfo(), &TRzRegIniFile::About, &TRzRegIniFile::SetAbout)
      .Stored(false)
      .Ord(u"FileEncoding", TypeInfoTRzIniFileEncoding(), &TRzRegIniFile::FileEncoding,
           &TRzRegIniFile::SetFileEncoding, feDefault)
      .Str(u"Path", &TRzRegIniFile::Path, &TRzRegIniFile::SetPath)
      .Ord(u"PathType", TypeInfoTRzPathType(), &TRzRegIniFile::PathType,
           &TRzRegIniFile::SetPathType, ptIniFile)
      .Ord(u"RegKey", TypeInfoTRzRegKey(), &TRzRegIniFile::RegKey, &TRzRegIniFile::SetRegKey,
           hkeyCurrentUser)
      .Ord(u"RegAccess", TypeInfoTRzRegAccess(), &TRzRegIniFile::RegAccess,
           &TRzRegIniFile::SetRegAccess, TRzRegAccess(keyAllAccess))
      .Ord(u"SpecialFolder", TypeInfoTRzSpecialFolder(), &TRzRegIniFile::SpecialFolder,
           &TRzRegIniFile::SetSpecialFolder, sfNone);

  Published<TRzFrameController>(u"TRzFrameController", u"TComponent")
      .Creatable()
      .Ord(u"About", TypeInfoTRzAboutInfo(), &TRzFrameController::About,
           &TRzFrameController::SetAbout)
      .Stored(false)
      .Ord(u"Color", TypeInfoTColor(), &TRzFrameController::Color, &TRzFrameController::SetColor,
           clWindow)
      .StoredIf([](TRzFrameController* c) { return !c->ParentColor(); })
      .Ord(u"DisabledColor", TypeInfoTColor(), &TRzFrameController::DisabledColor,
           &TRzFrameController::SetDisabledColor, clBtnFace)
      .Ord(u"ReadOnlyColor", TypeInfoTColor(), &TRzFrameController::ReadOnlyColor,
           &TRzFrameController::SetReadOnlyColor, clInfoBk)
      .Bool(u"ReadOnlyColorOnFocus", &TRzFrameController::ReadOnlyColorOnFocus,
            &TRzFrameController::SetReadOnlyColorOnFocus, false)
      .Ord(u"FlatButtonColor", TypeInfoTColor(), &TRzFrameController::FlatButtonColor,
           &TRzFrameController::SetFlatButtonColor, clBtnFace)
      .Bool(u"FlatButtons", &TRzFrameController::FlatButtons, &TRzFrameController::SetFlatButtons,
            true)
      .Ord(u"FocusColor", TypeInfoTColor(), &TRzFrameController::FocusColor,
           &TRzFrameController::SetFocusColor, clWindow)
      .Ord(u"FrameColor", TypeInfoTColor(), &TRzFrameController::FrameColor,
           &TRzFrameController::SetFrameColor, clBtnShadow)
      .Ord(u"FrameHotColor", TypeInfoTColor(), &TRzFrameController::FrameHotColor,
           &TRzFrameController::SetFrameHotColor, clBtnShadow)
      .Ord(u"FrameHotStyle", TypeInfoTFrameStyle(), &TRzFrameController::FrameHotStyle,
           &TRzFrameController::SetFrameHotStyle, fsFlatBold)
      .Bool(u"FrameHotTrack", &TRzFrameController::FrameHotTrack,
            &TRzFrameController::SetFrameHotTrack, false)
      .Ord(u"FrameSides", TypeInfoTSides(), &TRzFrameController::FrameSides,
           &TRzFrameController::SetFrameSides, sdAllSides)
      .Ord(u"FrameStyle", TypeInfoTFrameStyle(), &TRzFrameController::FrameStyle,
           &TRzFrameController::SetFrameStyle, fsFlat)
      .Bool(u"FrameVisible", &TRzFrameController::FrameVisible,
            &TRzFrameController::SetFrameVisible, false)
      .Ord(u"FramingPreference", TypeInfoTFramingPreference(),
           &TRzFrameController::FramingPreference, &TRzFrameController::SetFramingPreference,
           fpXPThemes)
      .Bool(u"ParentColor", &TRzFrameController::ParentColor, &TRzFrameController::SetParentColor,
            false)
      .Object(u"RegIniFile", &TRzFrameController::RegIniFile, &TRzFrameController::SetRegIniFile);
}
