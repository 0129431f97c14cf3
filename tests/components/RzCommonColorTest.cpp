#include <gtest/gtest.h>

#include <climits>

#include "Registry.h"
#include "RzCommon.h"
#include "SysInfo.h"
#include "TestSupport.h"

namespace {

class ClassicColors : public ::testing::Test {
 protected:
  void SetUp() override { ResetSysColors(); }
  void TearDown() override { ResetSysColors(); }
};

TEST_F(ClassicColors, SplitColorHsl) {
  struct Case {
    TColor color;
    int h, s, l;
  } const cases[] = {
      {0x000000FF, 0, 240, 120},   {0x0000FF00, 80, 240, 120}, {0x00FF0000, 160, 240, 120},
      {0x00FFFFFF, 0, 0, 240},     {0x00000000, 0, 0, 0},      {0x00808080, 0, 0, 120},
      {0x00C0C0C0, 0, 0, 181},     {clBtnFace, 0, 0, 181},     {clNone, 0, 0, 240},
      {0x000600FF, 239, 240, 120},  // a negative raw hue wraps to the top of the scale
  };
  for (const Case& c : cases) {
    BYTE h, s, l;
    SplitColorHsl(c.color, h, s, l);
    EXPECT_EQ((std::vector<int>{h, s, l}), (std::vector<int>{c.h, c.s, c.l}))
        << std::hex << c.color;
  }
  const int index = COLOR_BTNFACE;
  const COLORREF green = 0x0000FF00;
  SetSysColors(1, &index, &green);
  BYTE h, s, l;
  SplitColorHsl(clBtnFace, h, s, l);
  EXPECT_EQ(h, 80);  // the current value, not a remembered one
}

TEST(RzColor, MakeColorHsl) {
  EXPECT_EQ(MakeColorHsl(0, 0, 120), 0x00808080u);     // 127.5 rounds to the even 128
  EXPECT_EQ(MakeColorHsl(80, 240, 120), 0x0002FF00u);  // hue is divided by 239
  EXPECT_EQ(MakeColorHsl(160, 240, 120), 0x00FF0004u);
  EXPECT_EQ(MakeColorHsl(239, 240, 120), 0x000000FFu);
  EXPECT_EQ(MakeColorHsl(255, 240, 120), 0x000066FFu);  // seventh sextant drawn as the first
  EXPECT_EQ(MakeColorHsl(0, 0, 255), 0x00FFFFFFu);      // lightness past the scale clamps
  // Saturation above 240 drives a channel below zero: it must read 0, not borrow a byte.
  EXPECT_EQ(MakeColorHsl(0, 255, 60), 0x00000083u);
}

TEST_F(ClassicColors, DarkenLightenAndShift) {
  EXPECT_EQ(DarkenColor(0x00FFFFFF, 50), 0x00CACACAu);
  EXPECT_EQ(LightenColor(0x00000000, 100), 0x006A6A6Au);
  EXPECT_EQ(LightenColor(0x00FFFFFF, 100), 0x00FFFFFFu);
  EXPECT_EQ(DarkenColor(0x00C0C0C0, 10), 0x00B6B6B6u);
  EXPECT_EQ(LightenColor(0x00808080, 30), 0x009F9F9Fu);
  EXPECT_EQ(DarkenColor(0x00000000, 200), 0x00000000u);
  EXPECT_EQ(DarkenColor(clBtnFace, 10), 0x00B6B6B6u);  // system colours resolve first

  EXPECT_EQ(ShiftColorLightness(clBtnFace, 0), clBtnFace);
  EXPECT_EQ(ShiftColorLightness(clNone, 0), clNone);
  EXPECT_EQ(ShiftColorLightness(0x00336699, -50), DarkenColor(0x00336699, 50));
  EXPECT_EQ(ShiftColorLightness(0x00336699, 300), LightenColor(0x00336699, 44));
  EXPECT_EQ(ShiftColorLightness(0x00336699, -300), DarkenColor(0x00336699, 44));
  // A non-zero amount with a zero low byte still rebuilds the colour as RGB.
  EXPECT_EQ(ShiftColorLightness(clBtnFace, 256), 0x00C0C0C0u);
  EXPECT_EQ(ShiftColorLightness(clBtnFace, INT_MIN), 0x00C0C0C0u);
}

TEST(RzColor, ColorsLookAlikeComparesHueAndLightnessOnly) {
  EXPECT_TRUE(ColorsLookAlike(0x00808080, 0x000000FF));   // saturation differs only
  EXPECT_FALSE(ColorsLookAlike(0x000000FF, 0x000600FF));  // hues 0 and 239 do not wrap
  EXPECT_TRUE(ColorsLookAlike(0x00000000, 0x003F3F3F));   // lightness 0 and 59
  EXPECT_FALSE(ColorsLookAlike(0x00000000, 0x00404040));  // lightness 0 and 60
  EXPECT_TRUE(ColorsLookAlike(MakeColorHsl(40, 240, 120), MakeColorHsl(59, 240, 120)));
  EXPECT_FALSE(ColorsLookAlike(MakeColorHsl(40, 240, 120), MakeColorHsl(61, 240, 120)));
}

void WriteSchemeName(const String& name) {
  TRegIniFile(u"\\Software\\Microsoft\\Windows\\CurrentVersion")
      .WriteString(u"ThemeManager", u"ColorName", name);
}

TEST(RzScheme, DetectXpColorSchemeFromTheStore) {
  SandboxedHome home;
  EXPECT_EQ(DetectXpColorScheme(), xcsBlue);  // nothing stored
  const std::pair<const char16_t*, TXpColorScheme> cases[] = {{u"HomeStead", xcsOlive},
                                                              {u"homestead", xcsOlive},
                                                              {u"Metallic", xcsSilver},
                                                              {u"NormalColor", xcsBlue},
                                                              {u"", xcsBlue}};
  for (const auto& [name, scheme] : cases) {
    WriteSchemeName(name);
    EXPECT_EQ(DetectXpColorScheme(), scheme) << ToUtf8(name);
  }
  // A value of another type makes the registry object raise; that must not escape start-up.
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(u"\\Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager", true));
  reg.WriteInteger(u"ColorName", 2);
  EXPECT_EQ(DetectXpColorScheme(), xcsBlue);
}

TEST(RzScheme, InitialisationDetectsOnceOnly) {
  SandboxedHome home;
  const TXpColorScheme saved = XpColorScheme;
  WriteSchemeName(u"Metallic");
  RzCommonInit();
  EXPECT_EQ(XpColorScheme, xcsSilver);
  WriteSchemeName(u"HomeStead");
  RzCommonInit();
  EXPECT_EQ(XpColorScheme, xcsSilver);
  XpColorScheme = saved;
}

// Which of the nine levels a version reaches, as 0s and 1s in level order.
std::string Reached(int platform, int major, int minor) {
  Win32Platform = platform, Win32MajorVersion = major, Win32MinorVersion = minor;
  std::string r;
  for (int l = olWin95; l <= olWin7; ++l) r += RunningOnOsLevel(TOsLevel(l)) ? '1' : '0';
  return r;
}

TEST(RzPlatform, RunningOnOsLevelAcrossReleases) {
  const int p = Win32Platform, maj = Win32MajorVersion, mn = Win32MinorVersion;
  //                         95 NT4 98 ME 2000 XP 2003 Vista 7
  EXPECT_EQ(Reached(1, 4, 0), "100000000");   // 95
  EXPECT_EQ(Reached(1, 4, 10), "101000000");  // 98
  EXPECT_EQ(Reached(1, 4, 90), "101100000");  // ME
  EXPECT_EQ(Reached(2, 4, 0), "110000000");   // NT 4
  EXPECT_EQ(Reached(2, 5, 0), "110110000");   // 2000
  EXPECT_EQ(Reached(2, 5, 1), "110111000");   // XP
  EXPECT_EQ(Reached(2, 5, 2), "110111100");   // 2003
  EXPECT_EQ(Reached(2, 6, 0), "110111110");   // Vista
  EXPECT_EQ(Reached(2, 6, 2), "110111111");   // 8
  EXPECT_EQ(Reached(2, 10, 0), "110111110");  // 10 reports minor 0
  EXPECT_EQ(Reached(0, 6, 1), "000000000");   // unknown platform id
  EXPECT_FALSE(RunningOnOsLevel(TOsLevel(9)));
  Win32Platform = p, Win32MajorVersion = maj, Win32MinorVersion = mn;
}

TEST(RzText, FirstNonBlankAndLastChar) {
  EXPECT_EQ(FirstNonBlankChar(u"  -12"), u'-');
  EXPECT_EQ(FirstNonBlankChar(u" \t \t"), Char(0));
  EXPECT_EQ(FirstNonBlankChar(u""), Char(0));
  EXPECT_EQ(FirstNonBlankChar(String(u"\0\x20!", 3)), u'!');
  EXPECT_EQ(LastChar(u"C:\\Data\\"), u'\\');
  EXPECT_EQ(LastChar(u""), Char(0));
}

}  // namespace
