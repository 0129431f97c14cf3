#include <gtest/gtest.h>

#include "DateTime.h"
#include "Exceptions.h"

TEST(DateTimes, EncodeDecodeAndFormat) {
  TDateTime dt = EncodeDate(2013, 5, 9) + EncodeTime(14, 5, 0, 0);
  EXPECT_DOUBLE_EQ(EncodeDate(1899, 12, 30), 0.0);
  EXPECT_DOUBLE_EQ(EncodeDate(2000, 1, 1), 36526.0);
  int y, m, d;
  DecodeDate(dt, y, m, d);
  EXPECT_EQ(y * 10000 + m * 100 + d, 20130509);
  TFormatSettings fs = FormatSettings;
  fs.TimeSeparator = u':';
  EXPECT_EQ(FormatDateTime(u"yyyymmdd:hhmm", dt, fs), u"20130509:1405");
  fs.TimeSeparator = u'.';
  EXPECT_EQ(FormatDateTime(u"yyyymmdd:hhmm", dt, fs), u"20130509.1405");
  EXPECT_EQ(FormatDateTime(u"h:nn am/pm \"on\" d mmm", dt, fs), u"2.05 pm on 9 May");
  EXPECT_EQ(DayOfWeek(dt), 5);  // Thursday
  EXPECT_THROW(EncodeDate(2013, 2, 29), EConvertError);
  EXPECT_DOUBLE_EQ(EncodeDate(2012, 2, 29) - EncodeDate(2012, 2, 28), 1.0);
}

TEST(DateTimes, ParsingFollowsTheLocale) {
  TFormatSettings saved = FormatSettings;
  FormatSettings.ShortDateFormat = u"dd/MM/yyyy";
  FormatSettings.DateSeparator = u'.';
  FormatSettings.TimeSeparator = u':';
  EXPECT_DOUBLE_EQ(StrToDate(u"09.05.2013"), EncodeDate(2013, 5, 9));
  EXPECT_DOUBLE_EQ(StrToDateTime(u"09.05.2013 14:05:07"),
                   EncodeDate(2013, 5, 9) + EncodeTime(14, 5, 7, 0));
  EXPECT_DOUBLE_EQ(StrToTime(u"2:05 PM"), EncodeTime(14, 5, 0, 0));
  EXPECT_EQ(DateToStr(EncodeDate(2013, 5, 9)), u"09.05.2013");
  EXPECT_THROW(StrToDate(u"31.02.2013"), EConvertError);
  EXPECT_THROW(StrToDate(u"garbage"), EConvertError);
  EXPECT_THROW(StrToTime(u"25:00"), EConvertError);
  FormatSettings = saved;
}
