// The library's published property types and the published tables of its components.
#include "GraphicsTypeInfo.h"
#include "RzCommon.h"

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
