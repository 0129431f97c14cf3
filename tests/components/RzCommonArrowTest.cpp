#include <gtest/gtest.h>

#include "ClassLibTestSupport.h"
#include "RzCommon.h"
#include "SysInfo.h"
#include "Themes.h"

// A colour no painter uses.
constexpr TColor kBackground = 0x00FF00FF;

namespace {

class Arrows : public ::testing::Test {
 protected:
  void SetUp() override { SetVersion(5, 1); }  // XP: the looks are not overridden
  void TearDown() override {
    SetVersion(major_, minor_);
    SetThemesEnabledForTesting(true);
  }
  static void SetVersion(int major, int minor) {
    Win32MajorVersion = major;
    Win32MinorVersion = minor;
  }
  // The one colour painted over the background; clNone when there is none or several.
  static TColor ArrowColor(CanvasPicture& pic) {
    TColor found = clNone;
    for (int y = 0; y < pic.height(); ++y)
      for (int x = 0; x < pic.width(); ++x) {
        const TColor c = pic.At(x, y);
        if (c == kBackground) continue;
        if (found != clNone && found != c) return clNone;
        found = c;
      }
    return found;
  }
  static TRect PaintedBox(CanvasPicture& pic) {
    TRect box = Rect(1000, 1000, -1, -1);
    for (int y = 0; y < pic.height(); ++y)
      for (int x = 0; x < pic.width(); ++x)
        if (pic.At(x, y) != kBackground)
          box = Rect(std::min<int>(box.left, x), std::min<int>(box.top, y),
                     std::max<int>(box.right, x + 1), std::max<int>(box.bottom, y + 1));
    return box;
  }

  DistinctSystemColors colors_;
  Legend legend_ = With(SystemLegend(kBackground), {{'k', clBlack}});
  const int major_ = Win32MajorVersion, minor_ = Win32MinorVersion;
};

TEST_F(Arrows, DropDownCentreUsesTheUpperMiddleRowOnEvenHeights) {
  const std::vector<std::string> shape = {"..kkkkkkk.", "...kkkkk..", "....kkk...", ".....k...."};
  const std::string blank = "..........";
  CanvasPicture even(10, 10, kBackground);
  PaintDropDownArrow(even.Canvas(), Rect(0, 0, 10, 10), alClassic, true);
  std::vector<std::string> want = {blank, blank};
  want.insert(want.end(), shape.begin(), shape.end());
  want.resize(10, blank);
  EXPECT_TRUE(LooksLike(even, legend_, want));

  CanvasPicture odd(10, 11, kBackground);
  PaintDropDownArrow(odd.Canvas(), Rect(0, 0, 10, 11), alClassic, true);
  want.insert(want.begin(), blank);
  want.resize(11, blank);
  EXPECT_TRUE(LooksLike(odd, legend_, want));

  CanvasPicture moved(14, 14, kBackground);
  PaintDropDownArrow(moved.Canvas(), Rect(3, 2, 13, 12), alClassic, true);
  EXPECT_RECT(PaintedBox(moved), 5, 4, 12, 8);
}

TEST_F(Arrows, DropDownTakesTheVistaLookFromVistaOn) {
  SetVersion(6, 1);
  for (TArrowLook look : {alClassic, alThemedXP, alThemedVista}) {
    SCOPED_TRACE(int(look));
    CanvasPicture pic(12, 8, kBackground);
    PaintDropDownArrow(pic.Canvas(), Rect(0, 0, 10, 10), look, true);
    EXPECT_TRUE(LooksLike(pic, legend_,
                          {"............", "............", "............", "...kkkkkkk..",
                           "....kkkkk...", ".....kkk....", "......k.....", "............"}));
  }
}

TEST_F(Arrows, ClassicDirectionShapes) {
  CanvasPicture up(10, 6, kBackground);
  PaintDirectionArrow(up.Canvas(), Rect(0, 0, 10, 10), alClassic, adUp, true);
  EXPECT_TRUE(LooksLike(
      up, legend_,
      {"..........", ".....k....", "....kkk...", "...kkkkk..", "..kkkkkkk.", ".........."}));
  CanvasPicture right(8, 9, kBackground);
  PaintDirectionArrow(right.Canvas(), Rect(0, 0, 10, 10), alClassic, adRight, true);
  EXPECT_TRUE(LooksLike(right, legend_,
                        {"........", "...k....", "...kk...", "...kkk..", "...kkkk.", "...kkk..",
                         "...kk...", "...k....", "........"}));
  // The centre moves down a row and the offsets up one: where the drop-down arrow lies.
  CanvasPicture down(10, 10, kBackground);
  PaintDirectionArrow(down.Canvas(), Rect(0, 0, 10, 10), alClassic, adDown, true);
  EXPECT_RECT(PaintedBox(down), 2, 2, 9, 6);
}

TEST_F(Arrows, ThemedDirectionShapesShiftTheCentre) {
  CanvasPicture vista(10, 10, kBackground);
  PaintDirectionArrow(vista.Canvas(), Rect(0, 0, 10, 10), alThemedVista, adDown, true);
  EXPECT_RECT(PaintedBox(vista), 3, 2, 8, 5);
  // Centre (6, 5) moved down by 4: apex at row 4, notched base on row 9 (excluded).
  CanvasPicture xpUp(12, 12, kBackground);
  PaintDirectionArrow(xpUp.Canvas(), Rect(0, 0, 12, 12), alThemedXP, adUp, true);
  EXPECT_RECT(PaintedBox(xpUp), 3, 5, 10, 9);
  // Centre moved left by 3: the flat side on column 3.
  CanvasPicture xpRight(12, 12, kBackground);
  PaintDirectionArrow(xpRight.Canvas(), Rect(0, 0, 12, 12), alThemedXP, adRight, true);
  EXPECT_EQ(PaintedBox(xpRight).left, 3);
}

TEST_F(Arrows, ClassicColourAvoidsABlackBrushAndRestoresIt) {
  CanvasPicture pic(10, 10, kBackground);
  pic.Canvas()->Brush()->SetColor(0x00101010);
  PaintDropDownArrow(pic.Canvas(), Rect(0, 0, 10, 10), alClassic, true);
  EXPECT_EQ(ArrowColor(pic), ColorToRGB(cl3DDkShadow));
  EXPECT_EQ(pic.Canvas()->Brush()->Color(), 0x00101010u);
  EXPECT_EQ(pic.Canvas()->Pen()->Style(), psSolid);

  CanvasPicture dir(10, 10, kBackground);
  dir.Canvas()->Brush()->SetColor(clWhite);
  PaintDirectionArrow(dir.Canvas(), Rect(0, 0, 10, 10), alClassic, adLeft, true);
  EXPECT_EQ(ArrowColor(dir), clBlack);
}

TEST_F(Arrows, DisabledArrowsAreAlwaysShadow) {
  for (bool themes : {true, false}) {
    SetThemesEnabledForTesting(themes);
    for (TArrowLook look : {alClassic, alThemedXP, alThemedVista}) {
      SCOPED_TRACE("themes " + std::to_string(themes) + ", look " + std::to_string(look));
      CanvasPicture drop(12, 12, kBackground);
      PaintDropDownArrow(drop.Canvas(), Rect(0, 0, 12, 12), look, false);
      EXPECT_EQ(ArrowColor(drop), ColorToRGB(clBtnShadow));
      for (TArrowDirection d : {adUp, adDown, adLeft, adRight}) {
        CanvasPicture dir(12, 12, kBackground);
        PaintDirectionArrow(dir.Canvas(), Rect(0, 0, 12, 12), look, d, false);
        EXPECT_EQ(ArrowColor(dir), ColorToRGB(clBtnShadow)) << "direction " << int(d);
      }
    }
  }
}

TEST_F(Arrows, ThemedColoursComeFromTheThemedParts) {
  for (bool themes : {true, false}) {
    SetThemesEnabledForTesting(themes);
    SCOPED_TRACE(themes);
    TBitmap button(17, 21), spin(13, 10);
    ThemeServices()->DrawElement(button.Canvas()->Handle(),
                                 ThemeServices()->GetElementDetails(tcDropDownButtonNormal),
                                 Rect(0, 0, 16, 20));
    ThemeServices()->DrawElement(spin.Canvas()->Handle(),
                                 ThemeServices()->GetElementDetails(tsDownNormal),
                                 Rect(0, 0, 13, 10));
    CanvasPicture drop(12, 12, kBackground), dir(12, 12, kBackground), vista(12, 12, kBackground);
    PaintDropDownArrow(drop.Canvas(), Rect(0, 0, 12, 12), alThemedXP, true);
    PaintDirectionArrow(dir.Canvas(), Rect(0, 0, 12, 12), alThemedXP, adDown, true);
    PaintDirectionArrow(vista.Canvas(), Rect(0, 0, 12, 12), alThemedVista, adUp, true);
    EXPECT_EQ(ArrowColor(drop), button.Canvas()->Pixels(8, 10));
    EXPECT_EQ(ArrowColor(dir), button.Canvas()->Pixels(8, 10));
    EXPECT_EQ(ArrowColor(vista), spin.Canvas()->Pixels(6, 4));
  }
  // The classic button's arrow is in the button text colour; a window colour like it would
  // hide the arrow, so the dark shadow is used instead.
  SetThemesEnabledForTesting(false);
  const int index = COLOR_WINDOW;
  const COLORREF nearText = 0x00880000;
  SetSysColors(1, &index, &nearText);
  CanvasPicture drop(12, 12, kBackground);
  PaintDropDownArrow(drop.Canvas(), Rect(0, 0, 12, 12), alThemedXP, true);
  EXPECT_EQ(ArrowColor(drop), ColorToRGB(cl3DDkShadow));
}

}  // namespace
