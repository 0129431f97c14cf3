#include "QuillmarkSettings.h"

#include <cmath>

#include "Locale.h"
#include "Numbers.h"
#include "ScopeGuard.h"

const char16_t* const kSettingsSection = u"Previous";
const char16_t* const kSettingsFileName = u"Quillmark.ini";

bool ReadSettingNumber(const String& text, Extended& value) {
  Extended v = 0;
  bool ok = TryStrToFloat(text, v, FormatSettings);
  if (!ok) {
    // The same file moves between machines; "0.35" must not turn into the default under a
    // locale that writes "0,35", nor the other way round.
    TFormatSettings other = FormatSettings;
    other.DecimalSeparator = FormatSettings.DecimalSeparator == u'.' ? u',' : u'.';
    if (other.ThousandSeparator == other.DecimalSeparator)
      other.ThousandSeparator = FormatSettings.DecimalSeparator;
    ok = TryStrToFloat(text, v, other);
  }
  if (!ok || !std::isfinite(static_cast<double>(v))) return false;
  value = v;
  return true;
}

namespace {

Extended ReadNumber(TCustomIniFile& ini, const char16_t* key, Extended def) {
  Extended v = def;
  ReadSettingNumber(ini.ReadString(kSettingsSection, key, String()), v);
  return v;
}

}  // namespace

TQuillmarkSettings ReadQuillmarkSettings(TCustomIniFile& ini, const TQuillmarkSettings& d) {
  TQuillmarkSettings s;
  s.Orientation = ini.ReadString(kSettingsSection, u"Orientation", d.Orientation);
  s.TopMargin = ini.ReadInteger(kSettingsSection, u"TopMargin", d.TopMargin);
  s.Staves = ini.ReadInteger(kSettingsSection, u"Staves", d.Staves);
  s.Groups = ini.ReadInteger(kSettingsSection, u"Groups", d.Groups);
  s.StaveHeight = ReadNumber(ini, u"StaveHeight", d.StaveHeight);
  s.GapHeight = ReadNumber(ini, u"GapHeight", d.GapHeight);
  s.LineWidth = ReadNumber(ini, u"LineWidth", d.LineWidth);
  return s;
}

void WriteQuillmarkSettings(TCustomIniFile& ini, const TQuillmarkSettings& s) {
  // One read and one write of the file: a save cut short, or another instance saving at the
  // same moment, never leaves some keys old and some new.
  UpdateScope<TCustomIniFile> update(&ini);
  ini.WriteString(kSettingsSection, u"Orientation", s.Orientation);
  ini.WriteInteger(kSettingsSection, u"TopMargin", s.TopMargin);
  ini.WriteInteger(kSettingsSection, u"Staves", s.Staves);
  ini.WriteInteger(kSettingsSection, u"Groups", s.Groups);
  ini.WriteFloat(kSettingsSection, u"StaveHeight", static_cast<double>(s.StaveHeight));
  ini.WriteFloat(kSettingsSection, u"GapHeight", static_cast<double>(s.GapHeight));
  ini.WriteFloat(kSettingsSection, u"LineWidth", static_cast<double>(s.LineWidth));
  ini.UpdateFile();
}
