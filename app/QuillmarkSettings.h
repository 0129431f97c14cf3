#pragma once
// The main window's settings as "Quillmark.ini" holds them: section "Previous", seven keys.
#include "IniFiles.h"
#include "Strings.h"

struct TQuillmarkSettings {
  String Orientation;
  int TopMargin = 0;
  int Staves = 0;
  int Groups = 0;
  Extended StaveHeight = 0;
  Extended GapHeight = 0;
  Extended LineWidth = 0;
};

extern const char16_t* const kSettingsSection;   // "Previous"
extern const char16_t* const kSettingsFileName;  // "Quillmark.ini"

// Each key with the matching field of defaults as its default: a missing, empty or unreadable
// value leaves the default.
TQuillmarkSettings ReadQuillmarkSettings(TCustomIniFile& ini, const TQuillmarkSettings& defaults);
// The seven keys in their order, then the file flushed: within one update, so a TIniFile is
// read once and written once, all seven keys together.
void WriteQuillmarkSettings(TCustomIniFile& ini, const TQuillmarkSettings& settings);

// A stored number in the user's decimal form, or in the other common one (a file written under
// another locale); infinities and not-a-numbers are refused.
bool ReadSettingNumber(const String& text, Extended& value);
