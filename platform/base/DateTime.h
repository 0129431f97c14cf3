#pragma once
// TDateTime: days since 30 December 1899 in the integer part, the time of day in the fraction.
#include <cstdint>
#include <ctime>

#include "Locale.h"
#include "Strings.h"

using TDateTime = double;

TDateTime EncodeDate(int year, int month, int day);  // EConvertError on an invalid date
TDateTime EncodeTime(int hour, int min, int sec, int msec);
bool TryEncodeDate(int year, int month, int day, TDateTime& out);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& out);
void DecodeDate(TDateTime dt, int& year, int& month, int& day);
void DecodeTime(TDateTime dt, int& hour, int& min, int& sec, int& msec);
int DayOfWeek(TDateTime dt);  // 1 = Sunday
TDateTime Now();
// Seconds since the Unix epoch as local time.
TDateTime UnixToLocalDateTime(std::time_t t);

// Format specifiers: c d dd ddd dddd ddddd dddddd e m mm mmm mmmm yy yyyy h hh n nn s ss
// z zzz t tt am/pm a/p ampm / : "quoted" 'quoted'; "m" right after "h" or "hh" means minutes.
String FormatDateTime(const String& format, TDateTime dt);
String FormatDateTime(const String& format, TDateTime dt, const TFormatSettings& fs);
String DateToStr(TDateTime dt);
String TimeToStr(TDateTime dt);
String DateTimeToStr(TDateTime dt);
// Parsing by the locale's short date order and separators; errors raise EConvertError.
TDateTime StrToDate(const String& s);
TDateTime StrToTime(const String& s);
TDateTime StrToDateTime(const String& s);
bool TryStrToDate(const String& s, TDateTime& out);
bool TryStrToTime(const String& s, TDateTime& out);
bool TryStrToDateTime(const String& s, TDateTime& out);
