#include "Locale.h"

#include <langinfo.h>
#include <locale.h>

namespace {

Char FirstChar(const char* s, Char fallback) {
  if (!s || !*s) return fallback;
  String u = FromUtf8(s);
  return u.empty() ? fallback : u[0];
}

// The separator that follows the hour in a strftime time pattern such as "%H:%M:%S".
Char TimeSeparatorOf(const char* fmt) {
  String f = FromUtf8(fmt ? fmt : "");
  for (std::size_t i = 0; i + 2 < f.size(); ++i)
    if (f[i] == u'%' && (f[i + 1] == u'H' || f[i + 1] == u'I') && f[i + 2] != u'%') return f[i + 2];
  return u':';
}

// strftime date pattern ("%m/%d/%Y", "%d.%m.%Y", "%Y-%m-%d") to the platform's short date form.
String ShortDateOf(const char* fmt, Char& sep) {
  String f = FromUtf8(fmt ? fmt : "");
  String out;
  sep = u'/';
  bool sepSeen = false;
  for (std::size_t i = 0; i < f.size(); ++i) {
    if (f[i] == u'%' && i + 1 < f.size()) {
      Char k = f[++i];
      if (k == u'd' || k == u'e') out += u"dd";
      else if (k == u'm') out += u"MM";
      else if (k == u'Y') out += u"yyyy";
      else if (k == u'y') out += u"yy";
      else if (k == u'D') out += u"MM/dd/yy";
    } else {
      if (!sepSeen) {
        sep = f[i];
        sepSeen = true;
      }
      out += u'/';  // the platform's "/" stands for the date separator
    }
  }
  if (out.empty()) out = u"M/d/yyyy";
  return out;
}

}  // namespace

TFormatSettings LocaleFormatSettings(const char* localeName) {
  TFormatSettings fs;
  static const char* kShortMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  static const char* kLongMonths[] = {"January",   "February", "March",    "April",
                                      "May",       "June",     "July",     "August",
                                      "September", "October",  "November", "December"};
  static const char* kShortDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* kLongDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                    "Thursday", "Friday", "Saturday"};
  for (int i = 0; i < 12; ++i) {
    fs.ShortMonthNames[i] = FromUtf8(kShortMonths[i]);
    fs.LongMonthNames[i] = FromUtf8(kLongMonths[i]);
  }
  for (int i = 0; i < 7; ++i) {
    fs.ShortDayNames[i] = FromUtf8(kShortDays[i]);
    fs.LongDayNames[i] = FromUtf8(kLongDays[i]);
  }
  locale_t loc = newlocale(LC_ALL_MASK, localeName ? localeName : "", static_cast<locale_t>(0));
  if (!loc) loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  if (!loc) return fs;
  fs.DecimalSeparator = FirstChar(nl_langinfo_l(RADIXCHAR, loc), u'.');
  Char th = FirstChar(nl_langinfo_l(THOUSEP, loc), u',');
  // A locale without a thousands separator, or one that equals the decimal separator, uses ",".
  fs.ThousandSeparator =
      (th == fs.DecimalSeparator) ? (fs.DecimalSeparator == u',' ? u'.' : u',') : th;
  fs.TimeSeparator = TimeSeparatorOf(nl_langinfo_l(T_FMT, loc));
  fs.ShortDateFormat = ShortDateOf(nl_langinfo_l(D_FMT, loc), fs.DateSeparator);
  const char* am = nl_langinfo_l(AM_STR, loc);
  const char* pm = nl_langinfo_l(PM_STR, loc);
  bool twelveHour = am && *am;
  fs.TimeAMString = twelveHour ? FromUtf8(am) : u"AM";
  fs.TimePMString = (pm && *pm) ? FromUtf8(pm) : u"PM";
  fs.ShortTimeFormat = twelveHour ? u"h:mm AMPM" : u"hh:mm";
  fs.LongTimeFormat = twelveHour ? u"h:mm:ss AMPM" : u"hh:mm:ss";
  for (int i = 0; i < 12; ++i) {
    fs.ShortMonthNames[i] = FromUtf8(nl_langinfo_l(static_cast<nl_item>(ABMON_1 + i), loc));
    fs.LongMonthNames[i] = FromUtf8(nl_langinfo_l(static_cast<nl_item>(MON_1 + i), loc));
  }
  for (int i = 0; i < 7; ++i) {
    fs.ShortDayNames[i] = FromUtf8(nl_langinfo_l(static_cast<nl_item>(ABDAY_1 + i), loc));
    fs.LongDayNames[i] = FromUtf8(nl_langinfo_l(static_cast<nl_item>(DAY_1 + i), loc));
  }
  freelocale(loc);
  return fs;
}

TFormatSettings FormatSettings = LocaleFormatSettings("");
