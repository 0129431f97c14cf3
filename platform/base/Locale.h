#pragma once
// The user's locale settings used by numeric and date-time formatting and conversion.
#include "Strings.h"

struct TFormatSettings {
  Char DecimalSeparator = u'.';
  Char ThousandSeparator = u',';
  Char DateSeparator = u'/';
  Char TimeSeparator = u':';
  String ShortDateFormat = u"M/d/yyyy";
  String LongDateFormat = u"dddd, MMMM d, yyyy";
  String ShortTimeFormat = u"h:mm AMPM";
  String LongTimeFormat = u"h:mm:ss AMPM";
  String TimeAMString = u"AM";
  String TimePMString = u"PM";
  String ShortMonthNames[12];
  String LongMonthNames[12];
  String ShortDayNames[7];  // Sunday first
  String LongDayNames[7];
};

// The process-wide settings, read from the user's locale (LC_NUMERIC, LC_TIME) at start-up.
// Where the locale has no thousands separator, "," is used. Tests assign fields directly.
extern TFormatSettings FormatSettings;

// Settings of the given POSIX locale name ("" is the user's locale, "C" the neutral one).
TFormatSettings LocaleFormatSettings(const char* localeName);
