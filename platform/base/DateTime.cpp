#include "DateTime.h"

#include <sys/time.h>

#include <cmath>

#include "Exceptions.h"

namespace {

constexpr double kMsPerDay = 86400000.0;
constexpr int kDaysTo1899_12_30 = 693594;  // days from 1 January of year 1 to the epoch

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return (m == 2 && IsLeap(y)) ? 29 : kDays[m - 1];
}

// Whole milliseconds since the epoch; the fraction of a negative date counts forward from its day.
std::int64_t ToMs(TDateTime dt) {
  double days = std::floor(std::fabs(dt));
  double frac = std::fabs(dt) - days;
  std::int64_t ms = static_cast<std::int64_t>(std::llround(frac * kMsPerDay));
  std::int64_t d = static_cast<std::int64_t>(dt < 0 ? -days : days);
  return d * 86400000LL + ms;
}

}  // namespace

bool TryEncodeDate(int year, int month, int day, TDateTime& out) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month))
    return false;
  int y = year - 1;
  int days = day;
  for (int m = 1; m < month; ++m) days += DaysInMonth(year, m);
  days += y * 365 + y / 4 - y / 100 + y / 400;
  out = static_cast<double>(days - kDaysTo1899_12_30);
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime r;
  if (!TryEncodeDate(year, month, day, r))
    throw EConvertError(S("Invalid argument to date encode"));
  return r;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& out) {
  if (hour < 0 || hour > 23 || min < 0 || min > 59 || sec < 0 || sec > 59 || msec < 0 || msec > 999)
    return false;
  out = (hour * 3600000.0 + min * 60000.0 + sec * 1000.0 + msec) / kMsPerDay;
  return true;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec) {
  TDateTime r;
  if (!TryEncodeTime(hour, min, sec, msec, r))
    throw EConvertError(S("Invalid argument to time encode"));
  return r;
}

void DecodeDate(TDateTime dt, int& year, int& month, int& day) {
  std::int64_t ms = ToMs(dt);
  std::int64_t d = ms / 86400000LL + kDaysTo1899_12_30;  // days since 1 January 0001, 1-based below
  if (d <= 0) {
    year = month = day = 0;
    return;
  }
  d -= 1;
  std::int64_t y400 = d / 146097;
  d %= 146097;
  std::int64_t y100 = d / 36524;
  if (y100 == 4) y100 = 3;
  d -= y100 * 36524;
  std::int64_t y4 = d / 1461;
  d %= 1461;
  std::int64_t y1 = d / 365;
  if (y1 == 4) y1 = 3;
  d -= y1 * 365;
  year = static_cast<int>(y400 * 400 + y100 * 100 + y4 * 4 + y1 + 1);
  month = 1;
  while (d >= DaysInMonth(year, month)) {
    d -= DaysInMonth(year, month);
    ++month;
  }
  day = static_cast<int>(d) + 1;
}

void DecodeTime(TDateTime dt, int& hour, int& min, int& sec, int& msec) {
  std::int64_t ms = ToMs(dt) % 86400000LL;
  if (ms < 0) ms += 86400000LL;
  hour = static_cast<int>(ms / 3600000);
  min = static_cast<int>(ms / 60000 % 60);
  sec = static_cast<int>(ms / 1000 % 60);
  msec = static_cast<int>(ms % 1000);
}

int DayOfWeek(TDateTime dt) {
  std::int64_t d = ToMs(dt) / 86400000LL;
  // 30 December 1899 was a Saturday.
  int w = static_cast<int>(((d + 6) % 7 + 7) % 7);
  return w + 1;
}

TDateTime UnixToLocalDateTime(std::time_t t) {
  std::tm tm{};
  localtime_r(&t, &tm);
  TDateTime d = 0, tt = 0;
  TryEncodeDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, d);
  TryEncodeTime(tm.tm_hour, tm.tm_min, tm.tm_sec < 60 ? tm.tm_sec : 59, 0, tt);
  return d + tt;
}

TDateTime Now() {
  timeval tv{};
  gettimeofday(&tv, nullptr);
  return UnixToLocalDateTime(tv.tv_sec) + (tv.tv_usec / 1000) / kMsPerDay;
}

namespace {

String Pad(int v, int width) {
  String s = IntToStr(v);
  while (static_cast<int>(s.size()) < width) s.insert(s.begin(), u'0');
  return s;
}

Char Lower(Char c) { return (c >= u'A' && c <= u'Z') ? static_cast<Char>(c + 32) : c; }

bool MatchesAt(const String& f, std::size_t i, const char16_t* word) {
  for (std::size_t k = 0; word[k]; ++k)
    if (i + k >= f.size() || Lower(f[i + k]) != word[k]) return false;
  return true;
}

void AppendFormatted(String& out, const String& f, TDateTime dt, const TFormatSettings& fs,
                     int depth) {
  int y, mo, d, h, mi, s, ms;
  DecodeDate(dt, y, mo, d);
  DecodeTime(dt, h, mi, s, ms);
  // A 12-hour clock is used when the pattern holds an am/pm specifier anywhere.
  bool twelve = false;
  for (std::size_t i = 0; i < f.size(); ++i)
    if (MatchesAt(f, i, u"am/pm") || MatchesAt(f, i, u"a/p") || MatchesAt(f, i, u"ampm"))
      twelve = true;
  bool lastWasHour = false;
  std::size_t i = 0;
  while (i < f.size()) {
    Char c = f[i];
    Char lc = Lower(c);
    std::size_t run = 1;
    while (i + run < f.size() && Lower(f[i + run]) == lc) ++run;
    if (c == u'"' || c == u'\'') {
      std::size_t e = f.find(c, i + 1);
      if (e == String::npos) e = f.size();
      out += f.substr(i + 1, e - i - 1);
      i = e + 1;
      continue;
    }
    if (lc == u'a') {
      bool pm = h >= 12;
      if (MatchesAt(f, i, u"am/pm")) {
        out += pm ? u"pm" : u"am";
        i += 5;
        continue;
      }
      if (MatchesAt(f, i, u"a/p")) {
        out += pm ? u"p" : u"a";
        i += 3;
        continue;
      }
      if (MatchesAt(f, i, u"ampm")) {
        out += pm ? fs.TimePMString : fs.TimeAMString;
        i += 4;
        continue;
      }
      out += c;
      ++i;
      continue;
    }
    switch (lc) {
      case u'y':
        out += run <= 2 ? Pad(y % 100, 2) : Pad(y, 4);
        i += run;
        lastWasHour = false;
        break;
      case u'm':
        if (lastWasHour) {
          out += run == 1 ? IntToStr(mi) : Pad(mi, 2);
          i += run > 2 ? 2 : run;
        } else if (run == 1) {
          out += IntToStr(mo);
          i += 1;
        } else if (run == 2) {
          out += Pad(mo, 2);
          i += 2;
        } else if (run == 3) {
          out += fs.ShortMonthNames[mo - 1];
          i += 3;
        } else {
          out += fs.LongMonthNames[mo - 1];
          i += 4;
        }
        lastWasHour = false;
        break;
      case u'd':
        if (run == 1) out += IntToStr(d);
        else if (run == 2) out += Pad(d, 2);
        else if (run == 3) out += fs.ShortDayNames[DayOfWeek(dt) - 1];
        else if (run == 4) out += fs.LongDayNames[DayOfWeek(dt) - 1];
        else if (depth < 2)
          AppendFormatted(out, run == 5 ? fs.ShortDateFormat : fs.LongDateFormat, dt, fs,
                          depth + 1);
        i += run > 6 ? 6 : run;
        lastWasHour = false;
        break;
      case u'h': {
        int hh = twelve ? ((h % 12) == 0 ? 12 : h % 12) : h;
        out += run == 1 ? IntToStr(hh) : Pad(hh, 2);
        i += run > 2 ? 2 : run;
        lastWasHour = true;
        break;
      }
      case u'n':
        out += run == 1 ? IntToStr(mi) : Pad(mi, 2);
        i += run > 2 ? 2 : run;
        lastWasHour = false;
        break;
      case u's':
        out += run == 1 ? IntToStr(s) : Pad(s, 2);
        i += run > 2 ? 2 : run;
        lastWasHour = false;
        break;
      case u'z':
        out += run >= 3 ? Pad(ms, 3) : IntToStr(ms);
        i += run >= 3 ? 3 : 1;
        break;
      case u't':
        if (depth < 2)
          AppendFormatted(out, run == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, dt, fs,
                          depth + 1);
        i += run > 2 ? 2 : run;
        break;
      case u'c':
        if (depth < 2) {
          AppendFormatted(out, fs.ShortDateFormat, dt, fs, depth + 1);
          if (h || mi || s) {
            out += u' ';
            AppendFormatted(out, fs.LongTimeFormat, dt, fs, depth + 1);
          }
        }
        ++i;
        break;
      case u'/':
        out += fs.DateSeparator;
        ++i;
        break;
      case u':':
        out += fs.TimeSeparator;
        ++i;
        break;
      default:
        // Any other character passes through; letters do not reset the hour context of "m".
        out += c;
        ++i;
        break;
    }
  }
}

// Splits text into up to three numbers separated by Sep (blanks allowed around them).
int SplitNumbers(const String& s, Char sep, int* parts, std::size_t& end) {
  int n = 0;
  std::size_t i = 0;
  while (i < s.size() && s[i] == u' ') ++i;
  while (n < 3) {
    if (i >= s.size() || s[i] < u'0' || s[i] > u'9') break;
    int v = 0, digits = 0;
    while (i < s.size() && s[i] >= u'0' && s[i] <= u'9' && digits < 5)
      v = v * 10 + (s[i++] - u'0'), ++digits;
    if (i < s.size() && s[i] >= u'0' && s[i] <= u'9') return -1;
    parts[n++] = v;
    while (i < s.size() && s[i] == u' ') ++i;
    if (i < s.size() && s[i] == sep) ++i;
    else break;
    while (i < s.size() && s[i] == u' ') ++i;
  }
  end = i;
  return n;
}

bool ParseDate(const String& s, TDateTime& out, std::size_t& end, const TFormatSettings& fs) {
  int p[3];
  int n = SplitNumbers(s, fs.DateSeparator, p, end);
  if (n < 2) return false;
  // Order of day, month and year from the short date pattern.
  String order;
  for (Char c : fs.ShortDateFormat) {
    Char l = Lower(c);
    if ((l == u'd' || l == u'm' || l == u'y') && order.find(l) == String::npos) order += l;
  }
  if (order.size() != 3) order = u"mdy";
  int y = 0, m = 0, d = 0;
  int curYear, cm, cd;
  DecodeDate(Now(), curYear, cm, cd);
  if (n == 2) {
    y = curYear;
    String md = order;
    md.erase(md.find(u'y'), 1);
    m = md[0] == u'm' ? p[0] : p[1];
    d = md[0] == u'm' ? p[1] : p[0];
  } else {
    for (int k = 0; k < 3; ++k) {
      if (order[k] == u'y') y = p[k];
      else if (order[k] == u'm') m = p[k];
      else d = p[k];
    }
    if (y < 100)
      y += (curYear / 100) * 100 + ((y + (curYear / 100) * 100) > curYear + 50 ? -100 : 0);
  }
  return TryEncodeDate(y, m, d, out);
}

bool ParseTime(const String& s, TDateTime& out, const TFormatSettings& fs) {
  int p[3] = {0, 0, 0};
  std::size_t end = 0;
  int n = SplitNumbers(s, fs.TimeSeparator, p, end);
  if (n < 1) return false;
  String rest = Trim(s.substr(end));
  int h = p[0];
  if (!rest.empty()) {
    bool pm = SameText(rest, fs.TimePMString) || SameText(rest, u"PM");
    bool am = SameText(rest, fs.TimeAMString) || SameText(rest, u"AM");
    if (!pm && !am) return false;
    if (h < 1 || h > 12) return false;
    h = (h % 12) + (pm ? 12 : 0);
  }
  return TryEncodeTime(h, n > 1 ? p[1] : 0, n > 2 ? p[2] : 0, 0, out);
}

}  // namespace

String FormatDateTime(const String& format, TDateTime dt, const TFormatSettings& fs) {
  String out;
  AppendFormatted(out, format.empty() ? String(u"c") : format, dt, fs, 0);
  return out;
}

String FormatDateTime(const String& format, TDateTime dt) {
  return FormatDateTime(format, dt, FormatSettings);
}
String DateToStr(TDateTime dt) { return FormatDateTime(u"ddddd", dt); }
String TimeToStr(TDateTime dt) { return FormatDateTime(u"tt", dt); }
String DateTimeToStr(TDateTime dt) { return FormatDateTime(u"c", dt); }

bool TryStrToDate(const String& s, TDateTime& out) {
  std::size_t end = 0;
  TDateTime d;
  if (!ParseDate(s, d, end, FormatSettings) || !Trim(s.substr(end)).empty()) return false;
  out = d;
  return true;
}

bool TryStrToTime(const String& s, TDateTime& out) { return ParseTime(s, out, FormatSettings); }

bool TryStrToDateTime(const String& s, TDateTime& out) {
  std::size_t end = 0;
  TDateTime d = 0, t = 0;
  if (ParseDate(s, d, end, FormatSettings)) {
    String rest = Trim(s.substr(end));
    if (rest.empty()) {
      out = d;
      return true;
    }
    if (!ParseTime(rest, t, FormatSettings)) return false;
    out = d >= 0 ? d + t : d - t;
    return true;
  }
  if (ParseTime(s, t, FormatSettings)) {
    out = t;
    return true;
  }
  return false;
}

TDateTime StrToDate(const String& s) {
  TDateTime r;
  if (!TryStrToDate(s, r)) throw EConvertError(Format(u"'%s' is not a valid date", {s}));
  return r;
}

TDateTime StrToTime(const String& s) {
  TDateTime r;
  if (!TryStrToTime(s, r)) throw EConvertError(Format(u"'%s' is not a valid time", {s}));
  return r;
}

TDateTime StrToDateTime(const String& s) {
  TDateTime r;
  if (!TryStrToDateTime(s, r))
    throw EConvertError(Format(u"'%s' is not a valid date and time", {s}));
  return r;
}
