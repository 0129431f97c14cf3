#include <gtest/gtest.h>

#include "Exceptions.h"
#include "Strings.h"

TEST(Strings, Utf8RoundTripKeepsSurrogatePairsAndReplacesMalformedBytes) {
  String s = u"Gr\u00fc\u00dfe \U0001D11E";
  EXPECT_EQ(FromUtf8(ToUtf8(s)), s);
  EXPECT_EQ(FromUtf8("a\xff"
                     "b"),
            u"a\uFFFDb");
  EXPECT_EQ(FromUtf8("\xe2\x82"), u"\uFFFD\uFFFD");  // truncated sequence
  EXPECT_EQ(FromUtf8("\xc0\xaf"), u"\uFFFD\uFFFD");  // overlong "/"
  EXPECT_EQ(ToUtf8(String(1, char16_t(0xD800))), "\xef\xbf\xbd");
}

TEST(Strings, PosAndCopyCountFromOne) {
  EXPECT_EQ(Pos(u".exe", u"\"C:\\Office\\excel.exe\" /e"), 17);
  EXPECT_EQ(Pos(u".exe", u"EXCEL.EXE"), 0);
  EXPECT_EQ(Pos(u"", u"abc"), 0);
  EXPECT_EQ(Copy(u"abcdef", 2, 3), u"bcd");
  EXPECT_EQ(Copy(u"abcdef", 5, 100), u"ef");
  EXPECT_EQ(Copy(u"abcdef", 7, 1), u"");
  EXPECT_EQ(Copy(u"abcdef", 0, 2), u"ab");
  EXPECT_EQ(Copy(u"abcdef", 2, -1), u"");
}

TEST(Strings, TrimCaseAndNumbers) {
  EXPECT_EQ(Trim(u" \t a b \r\n"), u"a b");
  EXPECT_EQ(TrimLeft(u"  x "), u"x ");
  EXPECT_EQ(TrimRight(u"  x "), u"  x");
  EXPECT_EQ(UpperCase(u"abc\u00e9"), u"ABC\u00e9");
  EXPECT_EQ(AnsiUpperCase(u"abc\u00e9"), u"ABC\u00c9");
  EXPECT_TRUE(SameText(u"Paths", u"PATHS"));
  EXPECT_LT(CompareText(u"a", u"B"), 0);
  EXPECT_EQ(IntToStr(-42), u"-42");
  EXPECT_EQ(IntToHex(255, 4), u"00FF");
  EXPECT_EQ(Format(u"Unable to write to %s (%d%%)", {String(u"a.ini"), std::int64_t(5)}),
            u"Unable to write to a.ini (5%)");
}

TEST(Exceptions, HierarchyAndMessages) {
  try {
    throw EZeroDivide(S("Floating point division by zero"));
  } catch (const EMathError& e) {
    EXPECT_EQ(e.Message(), u"Floating point division by zero");
    EXPECT_STREQ(e.what(), "Floating point division by zero");
  }
  EXPECT_THROW(Abort(), EAbort);
  EXPECT_THROW(throw EDBEditError(S("x")), Exception);
  EXPECT_THROW(throw EAssignError(S("x")), EConvertError);
}
