// The frame controller: framing settings shared by the controls that register with it.
#include <algorithm>
#include <array>

#include "RzCommon.h"
#include "RzOldPropReader.h"
#include "ScopeGuard.h"

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
  auto orDefault = [](auto read, auto def) -> decltype(def) {
    try {
      return read();
    } catch (const EConvertError&) {
      return def;
    } catch (const ERegistryException&) {
      return def;
    }
  };
  auto readInt = [&](const char16_t* key, int def) {
    return orDefault([&] { return store->ReadInteger(section, key, def); }, def);
  };
  auto readBool = [&](const char16_t* key, bool def) {
    return orDefault([&] { return store->ReadBool(section, key, def); }, def);
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
