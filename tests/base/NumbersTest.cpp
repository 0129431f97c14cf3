#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Exceptions.h"
#include "Numbers.h"

namespace {

TFormatSettings Dot() {
  TFormatSettings fs;
  fs.DecimalSeparator = u'.';
  fs.ThousandSeparator = u',';
  return fs;
}

TFormatSettings Comma() {
  TFormatSettings fs;
  fs.DecimalSeparator = u',';
  fs.ThousandSeparator = u'.';
  return fs;
}

// Swaps the process-wide settings for one test.
class ScopedFormatSettings {
 public:
  explicit ScopedFormatSettings(const TFormatSettings& fs) : old_(FormatSettings) {
    FormatSettings = fs;
  }
  ~ScopedFormatSettings() { FormatSettings = old_; }

 private:
  TFormatSettings old_;
};

constexpr Extended kInf = std::numeric_limits<Extended>::infinity();
constexpr Extended kNaN = std::numeric_limits<Extended>::quiet_NaN();

}  // namespace

TEST(FormatFloat, AccountingDisplayFormatGroupsAndBracketsNegatives) {
  const auto fs = Dot();
  const String f = u",0;(,0)";
  EXPECT_EQ(FormatFloat(f, 1234, fs), u"1,234");
  EXPECT_EQ(FormatFloat(f, -1234, fs), u"(1,234)");
  EXPECT_EQ(FormatFloat(f, 0, fs), u"0");
  EXPECT_EQ(FormatFloat(f, 0.5L, fs), u"1");
  EXPECT_EQ(FormatFloat(f, 1.5L, fs), u"2");
  EXPECT_EQ(FormatFloat(f, 2.5L, fs), u"3");
  EXPECT_EQ(FormatFloat(f, -2.5L, fs), u"(3)");
  EXPECT_EQ(FormatFloat(f, 1234567.891L, fs), u"1,234,568");
  EXPECT_EQ(FormatFloat(f, 999.5L, fs), u"1,000");
  // Shown as zero: no brackets, no sign.
  EXPECT_EQ(FormatFloat(f, -0.4L, fs), u"0");
  EXPECT_EQ(FormatFloat(f, -0.0L, fs), u"0");
  EXPECT_EQ(FormatFloat(f, -1234, Comma()), u"(1.234)");
}

TEST(FormatFloat, PlaceholdersPointAndLiterals) {
  const auto fs = Dot();
  EXPECT_EQ(FormatFloat(u"#,##0.00", 1234.5L, fs), u"1,234.50");
  EXPECT_EQ(FormatFloat(u"0.###", 1.5L, fs), u"1.5");
  EXPECT_EQ(FormatFloat(u"0.###", 1.23456L, fs), u"1.235");
  EXPECT_EQ(FormatFloat(u"0.##", 1, fs), u"1");  // no digits after it, no point
  EXPECT_EQ(FormatFloat(u"#.##", 0.5L, fs), u".5");
  EXPECT_EQ(FormatFloat(u"000", 7, fs), u"007");
  EXPECT_EQ(FormatFloat(u"0", 12345, fs), u"12345");  // extra digits go in front
  EXPECT_EQ(FormatFloat(u"0-00", 12345, fs), u"123-45");
  EXPECT_EQ(FormatFloat(u".00", 12.5L, fs), u"12.50");
  EXPECT_EQ(FormatFloat(u"0.00", 0.125L, fs), u"0.13");
  EXPECT_EQ(FormatFloat(u"0.0", -1.25L, fs), u"-1.3");
  EXPECT_EQ(FormatFloat(u"0 'mm'", 12, fs), u"12 mm");
  EXPECT_EQ(FormatFloat(u"0.00,", 1234.5L, fs), u"1,234.50");  // a comma anywhere groups
  EXPECT_EQ(FormatFloat(u"\"#0;\"0", 5, fs), u"#0;5");
  EXPECT_EQ(FormatFloat(u"$0.00", -5, fs), u"-$5.00");
  EXPECT_EQ(FormatFloat(u"#,##0.00", 1234.5L, Comma()), u"1.234,50");
}

TEST(FormatFloat, Exponents) {
  const auto fs = Dot();
  EXPECT_EQ(FormatFloat(u"0.00E+00", 12345, fs), u"1.23E+04");
  EXPECT_EQ(FormatFloat(u"0.00E+00", 0.00012L, fs), u"1.20E-04");
  EXPECT_EQ(FormatFloat(u"0.00E+00", 0, fs), u"0.00E+00");
  EXPECT_EQ(FormatFloat(u"0.00e-00", 12345, fs), u"1.23e04");
  EXPECT_EQ(FormatFloat(u"0.0E+0", -15500, fs), u"-1.6E+4");
  EXPECT_EQ(FormatFloat(u"00.0E+000", 12345, fs), u"12.3E+003");
  EXPECT_EQ(FormatFloat(u"0E", 5, fs), u"5E");  // no sign after it: a literal
}

TEST(FormatFloat, SectionChoice) {
  const auto fs = Dot();
  const String f = u"0.0;(0.0);'zero'";
  EXPECT_EQ(FormatFloat(f, 1.25L, fs), u"1.3");
  EXPECT_EQ(FormatFloat(f, -1.25L, fs), u"(1.3)");
  EXPECT_EQ(FormatFloat(f, 0, fs), u"zero");
  EXPECT_EQ(FormatFloat(f, 0.04L, fs), u"zero");
  EXPECT_EQ(FormatFloat(f, -0.04L, fs), u"zero");
  EXPECT_EQ(FormatFloat(u"0;;'zero'", -5, fs), u"-5");  // empty negative section
  EXPECT_EQ(FormatFloat(u"0;(0);", 0, fs), u"0");       // empty zero section
  EXPECT_EQ(FormatFloat(u"0", -0.4L, fs), u"0");
  EXPECT_EQ(FormatFloat(u"0.00", -0.004L, fs), u"0.00");
}

TEST(FormatFloat, FallsBackToTheGeneralForm) {
  const auto fs = Dot();
  EXPECT_EQ(FormatFloat(u"", 0.2L, fs), u"0.2");
  EXPECT_EQ(FormatFloat(u";(0)", 1.25L, fs), u"1.25");  // empty first section
  EXPECT_EQ(FormatFloat(u";(0)", -1.25L, fs), u"(1)");
  EXPECT_EQ(FormatFloat(u",0", 1e20L, fs), u"1E20");
  EXPECT_EQ(FormatFloat(u",0;(,0)", -1e18L, fs), u"-1E18");
  EXPECT_EQ(FormatFloat(u",0", 999999999999999999.0L, fs), u"999,999,999,999,999,999");
  EXPECT_EQ(FormatFloat(u",0", kNaN, fs), u"NAN");
  EXPECT_EQ(FormatFloat(u",0", -kInf, fs), u"-INF");
}

TEST(FloatToStr, GeneralForm) {
  const auto fs = Dot();
  EXPECT_EQ(FloatToStr(0.2L, fs), u"0.2");
  EXPECT_EQ(FloatToStr(0.2, fs), u"0.2");  // a double's binary noise is below 15 digits
  EXPECT_EQ(FloatToStr(1.0L / 3, fs), u"0.333333333333333");
  EXPECT_EQ(FloatToStr(2.0L / 3, fs), u"0.666666666666667");
  EXPECT_EQ(FloatToStr(100, fs), u"100");
  EXPECT_EQ(FloatToStr(-0.0L, fs), u"0");
  EXPECT_EQ(FloatToStr(1e15L, fs), u"1E15");
  EXPECT_EQ(FloatToStr(123456789012345.0L, fs), u"123456789012345");
  EXPECT_EQ(FloatToStr(1234567890123456.0L, fs), u"1.23456789012346E15");
  EXPECT_EQ(FloatToStr(0.0001L, fs), u"0.0001");
  EXPECT_EQ(FloatToStr(0.00001L, fs), u"1E-5");
  EXPECT_EQ(FloatToStr(1e20L, fs), u"1E20");
  EXPECT_EQ(FloatToStr(1.5e-7L, fs), u"1.5E-7");
  EXPECT_EQ(FloatToStr(kNaN, fs), u"NAN");
  EXPECT_EQ(FloatToStr(kInf, fs), u"INF");
  EXPECT_EQ(FloatToStr(-kInf, fs), u"-INF");
  EXPECT_EQ(FloatToStr(1.5L, Comma()), u"1,5");
  EXPECT_EQ(FloatToStrF(1e5L, ffGeneral, 15, 3, fs), u"100000");
  EXPECT_EQ(FloatToStrF(1.5e20L, ffGeneral, 15, 3, fs), u"1.5E020");
  EXPECT_EQ(FloatToStrF(1.0L / 3, ffGeneral, 18, 0, fs), u"0.333333333333333333");
}

TEST(FloatToStrF, FixedNumberExponentAndCurrency) {
  const auto fs = Dot();
  EXPECT_EQ(FloatToStrF(0.126L, ffFixed, 18, 2, fs), u"0.13");
  EXPECT_EQ(FloatToStrF(0.125L, ffFixed, 18, 2, fs), u"0.13");
  EXPECT_EQ(FloatToStrF(2.0L, ffFixed, 18, 0, fs), u"2");
  EXPECT_EQ(FloatToStrF(2.5L, ffFixed, 18, 0, fs), u"3");
  EXPECT_EQ(FloatToStrF(2.5L, ffFixed, 18, 1, fs), u"2.5");
  EXPECT_EQ(FloatToStrF(-2.5L, ffFixed, 18, 2, fs), u"-2.50");
  EXPECT_EQ(FloatToStrF(1e-20L, ffFixed, 15, 2, fs), u"0.00");
  EXPECT_EQ(FloatToStrF(-0.001L, ffFixed, 15, 2, fs), u"0.00");
  EXPECT_EQ(FloatToStrF(0.5L, ffFixed, 18, 0, fs), u"1");
  EXPECT_EQ(FloatToStrF(12.5L, ffFixed, 15, 1, Comma()), u"12,5");
  // More integer digits than the precision: the general form.
  EXPECT_EQ(FloatToStrF(1e20L, ffFixed, 15, 2, fs), u"1E20");

  EXPECT_EQ(FloatToStrF(1234567.5L, ffNumber, 18, 2, fs), u"1,234,567.50");
  EXPECT_EQ(FloatToStrF(-999.5L, ffNumber, 18, 0, fs), u"-1,000");

  EXPECT_EQ(FloatToStrF(1234.5L, ffExponent, 4, 2, fs), u"1.235E+03");
  EXPECT_EQ(FloatToStrF(1, ffExponent, 4, 0, fs), u"1.000E+0");
  EXPECT_EQ(FloatToStrF(-0.00015L, ffExponent, 2, 4, fs), u"-1.5E-0004");
  EXPECT_EQ(FloatToStrF(0, ffExponent, 3, 2, fs), u"0.00E+00");
  EXPECT_EQ(FloatToStrF(9.99L, ffExponent, 2, 1, fs), u"1.0E+1");

  EXPECT_EQ(FloatToStrF(1234.5L, ffCurrency, 18, 2, fs), u"$1,234.50");
  EXPECT_EQ(FloatToStrF(-3, ffCurrency, 18, 2, fs), u"-$3.00");
}

TEST(FloatToStr, GlobalSettingsOverloadsFollowFormatSettings) {
  ScopedFormatSettings scope(Comma());
  EXPECT_EQ(FloatToStr(1.5L), u"1,5");
  EXPECT_EQ(FormatFloat(u"#,##0.0", 1234.5L), u"1.234,5");
  EXPECT_EQ(FloatToStrF(0.25L, ffFixed, 18, 1), u"0,3");
  EXPECT_EQ(StrToFloat(u"2,5"), 2.5L);
  EXPECT_EQ(StrToFloatDef(u"2.5", -1), -1);
}

TEST(StrToFloat, AcceptsTheNumberForms) {
  const auto fs = Dot();
  EXPECT_EQ(StrToFloat(u" 1.5 ", fs), 1.5L);
  EXPECT_EQ(StrToFloat(u"\t-2\t", fs), -2);
  EXPECT_EQ(StrToFloat(u".5", fs), 0.5L);
  EXPECT_EQ(StrToFloat(u"5.", fs), 5);
  EXPECT_EQ(StrToFloat(u"1e3", fs), 1000);
  EXPECT_EQ(StrToFloat(u"1E-3", fs), 0.001L);
  EXPECT_EQ(StrToFloat(u"-1.5e+2", fs), -150);
  EXPECT_EQ(StrToFloat(u"0.1", fs), 0.1L);  // correctly rounded in extended precision
  EXPECT_EQ(StrToFloat(u"1e4932", fs), 1e4932L);
  EXPECT_EQ(StrToFloat(u"1e-99999", fs), 0);  // underflow is zero, not an error
  EXPECT_TRUE(std::signbit(StrToFloat(u"-0", fs)));
}

TEST(StrToFloat, RejectsMalformedAndOverflowingText) {
  const auto fs = Dot();
  for (const char16_t* bad : {u"",     u"   ", u"-",     u"+",       u"nan", u"inf",   u"INF",
                              u"0x10", u"1,5", u"1.2.3", u"1e",      u"1e+", u"1,000", u"1 2",
                              u"e5",   u".",   u"-.",    u"1e99999", u"--1", u"1.5x",  u"\u0661"}) {
    Extended v = 42;
    EXPECT_FALSE(TryStrToFloat(bad, v, fs)) << ToUtf8(bad);
    EXPECT_EQ(v, 42) << "a failed conversion must leave the value alone";
    EXPECT_EQ(StrToFloatDef(bad, 7, fs), 7);
  }
  try {
    StrToFloat(u"12 mm", fs);
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), u"'12 mm' is not a valid floating point value");
  }
}

TEST(StrToFloat, UsesTheGivenDecimalSeparator) {
  const auto fs = Comma();
  EXPECT_EQ(StrToFloat(u"1,5", fs), 1.5L);
  EXPECT_EQ(StrToFloat(u"-0,25e1", fs), -2.5L);
  Extended v = 0;
  EXPECT_FALSE(TryStrToFloat(u"1.5", v, fs));
  EXPECT_FALSE(TryStrToFloat(u"1.000,5", v, fs));
}

TEST(StrToFloat, GeneralFormReadsBack) {
  const auto fs = Comma();
  for (Extended x :
       {0.2L, -1.0L / 3, 123456789012345.0L, 1.5e-7L, 6.02214076e23L, -4.9e-4900L, 1e4931L}) {
    Extended back = StrToFloat(FloatToStr(x, fs), fs);
    EXPECT_LE(std::fabs(back - x), std::fabs(x) * 1e-14L) << ToUtf8(FloatToStr(x, fs));
  }
}

TEST(StrToInt, DecimalAndHex) {
  EXPECT_EQ(StrToInt(u"42"), 42);
  EXPECT_EQ(StrToInt(u"  -7"), -7);
  EXPECT_EQ(StrToInt(u"$FF"), 255);
  EXPECT_EQ(StrToInt(u"0x1f"), 31);
  EXPECT_EQ(StrToInt(u"-$10"), -16);
  EXPECT_EQ(StrToInt(u"$FFFFFFFF"), -1);
  EXPECT_EQ(StrToInt(u"2147483647"), 2147483647);
  EXPECT_EQ(StrToInt(u"-2147483648"), std::numeric_limits<int>::min());
  EXPECT_EQ(StrToInt64(u"9223372036854775807"), std::numeric_limits<std::int64_t>::max());
  EXPECT_EQ(StrToInt64(u"-9223372036854775808"), std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(StrToInt64(u"$FFFFFFFFFFFFFFFF"), -1);
}

TEST(StrToInt, RejectsMalformedAndOutOfRange) {
  for (const char16_t* bad : {u"", u" ", u"-", u"1 ", u"12a", u"$", u"0x", u"1.0", u"1e3", u"$G",
                              u"2147483648", u"-2147483649", u"$100000000", u"--1", u"\u0661"}) {
    int v = 9;
    EXPECT_FALSE(TryStrToInt(bad, v)) << ToUtf8(bad);
    EXPECT_EQ(v, 9);
    EXPECT_EQ(StrToIntDef(bad, -3), -3);
  }
  std::int64_t v = 0;
  EXPECT_FALSE(TryStrToInt64(u"9223372036854775808", v));
  EXPECT_FALSE(TryStrToInt64(u"$10000000000000000", v));
  try {
    StrToInt(u"abc");
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), u"'abc' is not a valid integer value");
  }
  EXPECT_THROW(StrToInt64(u"1x"), EConvertError);
}

TEST(Round, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(Round(2.5L), 2);
  EXPECT_EQ(Round(3.5L), 4);
  EXPECT_EQ(Round(-2.5L), -2);
  EXPECT_EQ(Round(-3.5L), -4);
  EXPECT_EQ(Round(0.5L), 0);
  EXPECT_EQ(Round(1.5L), 2);
  EXPECT_EQ(Round(std::nextafter(0.5L, 1.0L)), 1);
  EXPECT_EQ(Round(std::nextafter(-0.5L, -1.0L)), -1);
  EXPECT_EQ(Round(-9223372036854775808.0L), std::numeric_limits<std::int64_t>::min());
  EXPECT_THROW(Round(9223372036854775808.0L), EInvalidOp);
  EXPECT_THROW(Round(kNaN), EInvalidOp);
  EXPECT_THROW(Round(-kInf), EInvalidOp);
}

TEST(Round, TruncIntFrac) {
  EXPECT_EQ(Trunc(2.7L), 2);
  EXPECT_EQ(Trunc(-2.7L), -2);
  EXPECT_THROW(Trunc(1e19L), EInvalidOp);
  EXPECT_THROW(Trunc(kNaN), EInvalidOp);
  EXPECT_EQ(Int(-2.7L), -2);
  EXPECT_EQ(Frac(2.75L), 0.75L);
  EXPECT_EQ(Frac(-2.75L), -0.75L);
  try {
    Round(1e300L);
  } catch (const EInvalidOp& e) {
    EXPECT_EQ(e.Message(), u"Invalid floating point operation");
  }
}
