#include <gtest/gtest.h>

#include <cstdio>

#include "ClassLibTestSupport.h"
#include "RzCommon.h"
#include "Themes.h"

// A colour no painter uses.
constexpr TColor kBackground = 0x00FF00FF;

namespace {

TEST(RzGeometry, CenteredBoundsTruncatesTowardsZero) {
  EXPECT_RECT(CenteredBounds(Rect(0, 0, 21, 21), 16, 16), 2, 2, 18, 18);
  EXPECT_RECT(CenteredBounds(Rect(-10, 0, 1, 0), 0, 0), -4, 0, -4, 0);
  EXPECT_RECT(CenteredBounds(Rect(10, 20, 30, 24), 30, 8), 5, 18, 35, 26);  // larger than outer
}

TEST(RzGeometry, SideSetsKeepTheirStoredBits) {
  EXPECT_EQ(sdAllSides.Bits(), 15);
  EXPECT_EQ((TSides{sdLeft, sdBottom}).Bits(), 9);
  EXPECT_EQ(TSides::FromBits(2), TSides{sdTop});
}

// The rotated font's LOGFONT, field by field, freeing the handle.
std::string RotatedLogFont(TFont& font, int angle) {
  HFONT rotated = CreateRotatedFont(&font, angle);
  EXPECT_NE(rotated, font.Handle());  // a new handle, not the font's own
  LOGFONTW lf{};
  EXPECT_EQ(GetObjectW(rotated, sizeof lf, &lf), int(sizeof lf));
  DeleteObject(rotated);
  char buf[200];
  snprintf(buf, sizeof buf, "h%d w%d esc%d or%d wt%d i%d u%d s%d cs%d prec%d,%d,%d pf%d ",
           lf.lfHeight, lf.lfWidth, lf.lfEscapement, lf.lfOrientation, lf.lfWeight, lf.lfItalic,
           lf.lfUnderline, lf.lfStrikeOut, lf.lfCharSet, lf.lfOutPrecision, lf.lfClipPrecision,
           lf.lfQuality, lf.lfPitchAndFamily);
  return buf + ToUtf8(lf.lfFaceName);
}

TEST(RzFonts, CreateRotatedFontFillsTheLogFont) {
  TFont font;
  font.SetName(u"Verdana");
  font.SetHeight(-15);
  font.SetStyle(TFontStyles{fsBold, fsItalic});
  font.SetCharset(238);
  font.SetPitch(fpVariable);
  EXPECT_EQ(RotatedLogFont(font, 90),
            "h-15 w0 esc900 or0 wt700 i1 u0 s0 cs238 prec0,0,0 pf2 Verdana");

  font.SetStyle(TFontStyles{fsUnderline, fsStrikeOut});
  font.SetPitch(fpFixed);
  font.SetName(u"An Extraordinarily Long Font Family Name");
  EXPECT_EQ(
      RotatedLogFont(font, -45),
      "h-15 w0 esc-450 or0 wt400 i0 u1 s1 cs238 prec0,0,0 pf1 An Extraordinarily Long Font Fa");
  font.SetPitch(fpDefault);
  font.SetName(u"Arial");
  EXPECT_EQ(RotatedLogFont(font, 0), "h-15 w0 esc0 or0 wt400 i0 u1 s1 cs238 prec0,0,0 pf0 Arial");
}

TEST(RzFonts, MinimumEditHeightGrowsWithTheFont) {
  TFont small, large;
  small.SetHeight(-11);
  large.SetHeight(-24);
  const int s = MinimumEditHeight(&small);
  const int l = MinimumEditHeight(&large);
  EXPECT_GE(s, 11 + 2);
  EXPECT_GE(l, 24 + 2);
  EXPECT_GE(l - s, 10);
  // Measuring leaves the font usable and gives the same answer again.
  EXPECT_NE(small.Handle(), 0u);
  EXPECT_EQ(MinimumEditHeight(&small), s);
}

TEST(RzText, DrawTextInMeasuresWithTheCanvasFont) {
  CanvasPicture pic(80, 40, kBackground);
  pic.Canvas()->Font()->SetHeight(-10);
  TRect smallBox = Rect(0, 0, 80, 40);
  const int smallHeight = DrawTextIn(pic.Canvas(), u"Hg", smallBox, DT_CALCRECT | DT_SINGLELINE);
  pic.Canvas()->Font()->SetHeight(-24);
  TRect largeBox = Rect(0, 0, 80, 40);
  const int largeHeight = DrawTextIn(pic.Canvas(), u"Hg", largeBox, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(smallBox.bottom - smallBox.top, smallHeight);
  EXPECT_EQ(largeBox.bottom - largeBox.top, largeHeight);
  EXPECT_GE(largeHeight, 24);
  EXPECT_GT(largeHeight, smallHeight + 8);
  EXPECT_GT(largeBox.right, smallBox.right);
  // Measuring draws nothing.
  EXPECT_TRUE(
      LooksLike(pic, {{'.', kBackground}}, std::vector<std::string>(40, std::string(80, '.'))));
}

TEST(RzText, DrawTextCenteredCentresOneLineInTheCanvasColours) {
  CanvasPicture pic(60, 30, kBackground);
  pic.Canvas()->Font()->SetHeight(-16);
  pic.Canvas()->Font()->SetColor(clRed);
  pic.Canvas()->Brush()->SetStyle(bsClear);
  DrawTextCentered(pic.Canvas(), u"X", Rect(10, 5, 50, 25));
  int minX = 1000, maxX = -1, minY = 1000, maxY = -1;
  bool red = false;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 60; ++x) {
      TColor c = pic.At(x, y);
      if (c == kBackground) continue;
      minX = std::min(minX, x), maxX = std::max(maxX, x);
      minY = std::min(minY, y), maxY = std::max(maxY, y);
      if (GetRValue(c) > 200 && GetGValue(c) < 60 && GetBValue(c) < 60) red = true;
    }
  ASSERT_GE(maxX, 0) << "nothing drawn";
  EXPECT_TRUE(red) << "text not in the font colour";
  EXPECT_NEAR((minX + maxX + 1) / 2.0, 30, 2);
  EXPECT_NEAR((minY + maxY + 1) / 2.0, 15, 3);
}

// ---- Themed part colours and scheme colours ----

class ThemeLook : public ::testing::Test {
 protected:
  void SetUp() override { ResetSysColors(); }
  void TearDown() override {
    SetThemesEnabledForTesting(true);
    XpColorScheme = saved_;
  }
  TXpColorScheme saved_ = XpColorScheme;
};

TEST_F(ThemeLook, ThemedPartColorWithStylesOff) {
  SetThemesEnabledForTesting(false);
  for (int k = 0; k <= 8; ++k) EXPECT_EQ(ThemedPartColor(TThemedColorKind(k)), clBtnFace) << k;
}

TEST_F(ThemeLook, ThemedPartColorAsksTheRightPart) {
  SetThemesEnabledForTesting(true);
  struct Case {
    TThemedColorKind kind;
    const WCHAR* themeClass;
    int part, state, prop;
  };
  const Case cases[] = {
      {tckEditBorder, u"EDIT", 0, 0, TMT_BORDERCOLOR},
      {tckGroupText, u"EXPLORERBAR", EBP_NORMALGROUPBACKGROUND, 0, TMT_TEXTCOLOR},
      {tckSpecialGroupText, u"EXPLORERBAR", EBP_SPECIALGROUPBACKGROUND, 0, TMT_TEXTCOLOR},
      {tckGroupFill, u"EXPLORERBAR", EBP_NORMALGROUPBACKGROUND, 0, TMT_FILLCOLOR},
      {tckBarGradient, u"EXPLORERBAR", 0, 0, TMT_GRADIENTCOLOR1},
      {tckSpecialHeadFill, u"EXPLORERBAR", EBP_SPECIALGROUPHEAD, 0, TMT_FILLCOLOR},
      {tckGroupBoxText, u"BUTTON", BP_GROUPBOX, GBS_NORMAL, TMT_TEXTCOLOR},
      {tckSpinBorder, u"SPIN", 0, 0, TMT_BORDERCOLOR},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.kind));
    HTHEME theme = OpenThemeData(0, c.themeClass);
    ASSERT_NE(theme, 0u);
    COLORREF want = 0;
    ASSERT_EQ(GetThemeColor(theme, c.part, c.state, c.prop, &want), S_OK);
    CloseThemeData(theme);
    EXPECT_EQ(ThemedPartColor(c.kind), want);
  }
  EXPECT_EQ(ThemedPartColor(TThemedColorKind(8)), 0x00FFFFFFu);
  EXPECT_EQ(ThemedPartColor(TThemedColorKind(255)), 0x00FFFFFFu);
}

TEST_F(ThemeLook, SchemeColoursFollowTheSchemeOnlyForOfficeStyleWithStyles) {
  SetThemesEnabledForTesting(true);
  const TColor starts[] = {0x00FFEFE3, 0x00EDFFFF, 0x00FFF9F9};
  const TColor stops[] = {0x00EABB99, 0x0092C7B8, 0x00D0BCBD};
  const TColor frames[] = {0x00BF7F57, 0x0077A17F, 0x00B19F9F};
  for (int s = xcsBlue; s <= xcsSilver; ++s) {
    SCOPED_TRACE(s);
    XpColorScheme = TXpColorScheme(s);
    TColor start = 0, stop = 0;
    SchemeGradientColors(gcsMSOffice, start, stop);
    EXPECT_EQ(start, starts[s]);
    EXPECT_EQ(stop, stops[s]);
    EXPECT_EQ(SchemeFrameColor(gcsMSOffice), frames[s]);

    SchemeGradientColors(gcsSystem, start, stop);
    EXPECT_EQ(start, clWindow);
    EXPECT_EQ(stop, 0x00B6B6B6u);
    EXPECT_EQ(SchemeFrameColor(gcsSystem), 0x009F9F9Fu);
  }

  SetThemesEnabledForTesting(false);
  XpColorScheme = xcsOlive;
  TColor start = 0, stop = 0;
  SchemeGradientColors(gcsMSOffice, start, stop);
  EXPECT_EQ(start, clWindow);
  EXPECT_EQ(stop, 0x00B6B6B6u);
  EXPECT_EQ(SchemeFrameColor(gcsMSOffice), 0x009F9F9Fu);
}

}  // namespace
