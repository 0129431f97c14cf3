#include <gtest/gtest.h>

#include <functional>

#include "ClassLibTestSupport.h"
#include "RzCommon.h"

// A colour no painter uses.
constexpr TColor kBackground = 0x00FF00FF;

namespace {

class Frames : public ::testing::Test {
 protected:
  DistinctSystemColors colors_;
  Legend legend_ = SystemLegend(kBackground);
};

TEST_F(Frames, PaintSidesDrawsOnlyTheChosenSides) {
  CanvasPicture pic(10, 10, kBackground);
  EXPECT_RECT(PaintSides(pic.Canvas(), Rect(0, 0, 10, 10), clBtnShadow, clBtnHighlight, {}), 0, 0,
              10, 10);
  pic.Canvas()->Pen()->SetWidth(1);
  TRect inner =
      PaintSides(pic.Canvas(), Rect(0, 0, 10, 10), clBtnShadow, clBtnHighlight, {sdLeft, sdBottom});
  EXPECT_RECT(inner, 1, 0, 10, 9);
  std::vector<std::string> want(9, "s.........");
  want.push_back("hhhhhhhhhh");  // drawn second, so it owns the shared corner
  EXPECT_TRUE(LooksLike(pic, legend_, want));

  // clNone skips its lines but still shrinks; the pen width is left alone.
  CanvasPicture none(5, 5, kBackground);
  none.Canvas()->Pen()->SetWidth(1);
  EXPECT_RECT(PaintSides(none.Canvas(), Rect(0, 0, 5, 5), clNone, clBtnShadow, sdAllSides), 1, 1, 4,
              4);
  EXPECT_TRUE(LooksLike(none, legend_, {"....s", "....s", "....s", "....s", "sssss"}));
}

TEST_F(Frames, PaintSidesRepeatedStacksRingsWithAThinPen) {
  CanvasPicture pic(7, 7, kBackground);
  pic.Canvas()->Pen()->SetWidth(4);
  EXPECT_RECT(
      PaintSidesRepeated(pic.Canvas(), Rect(0, 0, 7, 7), clBtnShadow, clBtnShadow, -2, sdAllSides),
      0, 0, 7, 7);
  TRect inner = PaintSidesRepeated(pic.Canvas(), Rect(0, 0, 7, 7), clBtnShadow, clBtnHighlight, 2,
                                   {sdTop, sdRight});
  EXPECT_RECT(inner, 0, 2, 5, 7);
  EXPECT_EQ(pic.Canvas()->Pen()->Width(), 1);
  EXPECT_TRUE(LooksLike(
      pic, legend_, {"ssssssh", "ssssshh", ".....hh", ".....hh", ".....hh", ".....hh", ".....hh"}));
}

TEST_F(Frames, BevelsInSystemAndBaseColours) {
  const TColor base = 0x00208040;
  Legend legend = With(legend_, {{'A', LightenColor(base, 100)},
                                 {'B', DarkenColor(base, 100)},
                                 {'C', LightenColor(base, 40)},
                                 {'D', DarkenColor(base, 50)}});
  struct Case {
    const char* name;
    TRect (*paint)(TCanvas*, const TRect&);
    std::vector<std::string> picture;
  } const cases[] = {
      {"raised",
       [](TCanvas* c, const TRect& r) { return PaintBevel(c, r, false); },
       {"llllld", "lhhhsd", "lh..sd", "lh..sd", "lssssd", "dddddd"}},
      {"lowered",
       [](TCanvas* c, const TRect& r) { return PaintBevel(c, r, true); },
       {"sssssh", "sdddlh", "sd..lh", "sd..lh", "sllllh", "hhhhhh"}},
      {"button up",
       [](TCanvas* c, const TRect& r) { return PaintButtonBevel(c, r, false); },
       {"hhhhhd", "hlllsd", "hl..sd", "hl..sd", "hssssd", "dddddd"}},
      {"button down",
       [](TCanvas* c, const TRect& r) { return PaintButtonBevel(c, r, true); },
       {"tttttt", "tsssst", "ts..st", "ts..st", "tsssst", "tttttt"}},
      {"colour up",
       [](TCanvas* c, const TRect& r) { return PaintColorButtonBevel(c, r, 0x00208040, false); },
       {"AAAAAB", "ACCCDB", "AC..DB", "AC..DB", "ADDDDB", "BBBBBB"}},
      {"colour down",
       [](TCanvas* c, const TRect& r) { return PaintColorButtonBevel(c, r, 0x00208040, true); },
       {"BBBBBB", "BDDDDB", "BD..DB", "BD..DB", "BDDDDB", "BBBBBB"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CanvasPicture pic(6, 6, kBackground);
    EXPECT_RECT(c.paint(pic.Canvas(), Rect(0, 0, 6, 6)), 2, 2, 4, 4);
    EXPECT_TRUE(LooksLike(pic, legend, c.picture));
  }
}

TEST_F(Frames, EveryStyleReturnsTheRectangleInsideIt) {
  const TSides sideSets[] = {sdAllSides, {sdTop, sdRight}, {sdLeft}, {}};
  for (int s = fsNone; s <= fsFlatBold; ++s) {
    const int d = s == fsNone ? 0 : (s == fsFlat || s == fsStatus || s == fsPopup) ? 1 : 2;
    for (TSides sides : sideSets) {
      SCOPED_TRACE("style " + std::to_string(s) + ", sides " + std::to_string(sides.Bits()));
      const TRect b = Rect(3, 4, 23, 24);
      const TRect want =
          Rect(b.left + (sides.Contains(sdLeft) ? d : 0), b.top + (sides.Contains(sdTop) ? d : 0),
               b.right - (sides.Contains(sdRight) ? d : 0),
               b.bottom - (sides.Contains(sdBottom) ? d : 0));
      CanvasPicture a(30, 30, kBackground), c(30, 30, kBackground);
      EXPECT_EQ(RectText(PaintStyledBorder(a.Canvas(), b, TFrameStyle(s), sides)), RectText(want));
      EXPECT_EQ(RectText(PaintColoredBorder(c.Canvas(), b, 0x00336699, TFrameStyle(s), sides)),
                RectText(want));
    }
  }
}

TEST_F(Frames, EtchedRingCornerPixelsFollowTheOpenSides) {
  struct Case {
    TFrameStyle style;
    TSides sides;
    std::vector<std::string> picture;
  } const cases[] = {
      {fsGroove, sdAllSides, {"sssssh", "shhhsh", "sh..sh", "sh..sh", "sssssh", "hhhhhh"}},
      {fsBump, sdAllSides, {"hhhhhs", "hssshs", "hs..hs", "hs..hs", "hhhhhs", "ssssss"}},
      {fsGroove, {sdLeft, sdTop}, {"ssssss", "shhhhh", "sh....", "sh....", "sh....", "sh...."}},
      {fsGroove, {sdRight, sdBottom}, {"....sh", "....sh", "....sh", "....sh", "sssssh", "hhhhhh"}},
      {fsGroove, {sdTop}, {"ssssss", "hhhhhh", "......", "......", "......", "......"}},
      {fsGroove, {sdRight}, {"....sh", "....sh", "....sh", "....sh", "....sh", "....sh"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("style " + std::to_string(c.style) + ", sides " + std::to_string(c.sides.Bits()));
    CanvasPicture pic(6, 6, kBackground);
    PaintStyledBorder(pic.Canvas(), Rect(0, 0, 6, 6), c.style, c.sides);
    EXPECT_TRUE(LooksLike(pic, legend_, c.picture));
  }
}

TEST_F(Frames, LineStylesInSystemAndBaseColours) {
  const TColor base = 0x0000A000;
  Legend legend = With(legend_, {{'D', DarkenColor(base, 50)},
                                 {'E', DarkenColor(base, 100)},
                                 {'L', LightenColor(base, 50)},
                                 {'M', LightenColor(base, 100)}});
  auto styled = [](TFrameStyle s) {
    return [s](TCanvas* c, const TRect& r) { PaintStyledBorder(c, r, s); };
  };
  auto colored = [base](TFrameStyle s) {
    return [s, base](TCanvas* c, const TRect& r) { PaintColoredBorder(c, r, base, s); };
  };
  struct Case {
    std::function<void(TCanvas*, const TRect&)> paint;
    std::vector<std::string> picture;
  } const cases[] = {
      {styled(fsFlat), {"dddd", "d..d", "d..d", "dddd"}},
      {styled(fsStatus), {"sssh", "s..h", "s..h", "hhhh"}},
      {styled(fsPopup), {"hhhs", "h..s", "h..s", "ssss"}},
      {styled(fsFlatBold), {"ssssss", "ssssss", "ss..ss", "ss..ss", "ssssss", "ssssss"}},
      {styled(fsNone), {"....", "....", "....", "...."}},
      {styled(fsFlatRounded), {"....", "....", "....", "...."}},
      {colored(fsFlat), {"DDDD", "D..D", "D..D", "DDDD"}},
      {colored(fsPopup), {"MMMD", "M..D", "M..D", "DDDD"}},
      {colored(fsLowered), {"DDDDDM", "DEEELM", "DE..LM", "DE..LM", "DLLLLM", "MMMMMM"}},
      {colored(fsRaised), {"LLLLLE", "LMMMDE", "LM..DE", "LM..DE", "LDDDDE", "EEEEEE"}},
      {colored(fsBump), {"MMMMMD", "MDDDMD", "MD..MD", "MD..MD", "MMMMMD", "DDDDDD"}},
  };
  int i = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(i++);
    const int n = int(c.picture.size());
    CanvasPicture pic(n, n, kBackground);
    c.paint(pic.Canvas(), Rect(0, 0, n, n));
    EXPECT_TRUE(LooksLike(pic, legend, c.picture));
  }
}

TEST_F(Frames, OutlinesPlainAndRounded) {
  CanvasPicture plain(4, 4, kBackground);
  EXPECT_RECT(PaintOutline(plain.Canvas(), Rect(0, 0, 4, 4), clBtnShadow), 1, 1, 3, 3);
  EXPECT_TRUE(LooksLike(plain, legend_, {"ssss", "s..s", "s..s", "ssss"}));

  CanvasPicture round(7, 7, kBackground);
  EXPECT_RECT(PaintRoundedOutline(round.Canvas(), Rect(0, 0, 7, 7), clBtnShadow, sdAllSides), 2, 2,
              5, 5);
  EXPECT_TRUE(
      LooksLike(round, legend_,
                {"..sss..", ".s...s.", "s.....s", "s.....s", "s.....s", ".s...s.", "..sss.."}));
  // An open side neither cuts the corners next to it nor gets a corner pixel.
  CanvasPicture open(7, 7, kBackground);
  EXPECT_RECT(PaintRoundedOutline(open.Canvas(), Rect(0, 0, 7, 7), clBtnShadow, {sdLeft, sdTop}), 2,
              2, 7, 7);
  EXPECT_TRUE(
      LooksLike(open, legend_,
                {"..sssss", ".s.....", "s......", "s......", "s......", "s......", "s......"}));
  CanvasPicture nothing(5, 5, kBackground);
  EXPECT_RECT(PaintRoundedOutline(nothing.Canvas(), Rect(0, 0, 5, 5), clNone, {sdTop}), 0, 2, 5, 5);
  EXPECT_TRUE(LooksLike(nothing, legend_, std::vector<std::string>(5, ".....")));
}

TEST_F(Frames, EditFrameInClWindowAndInAnotherColour) {
  // The band is cleared on all four sides, whichever sides the frame draws.
  CanvasPicture pic(6, 6, kBackground);
  PaintEditFrame(pic.Canvas(), 6, 6, clBlack, clWindow, fsStatus, {sdLeft, sdTop});
  EXPECT_TRUE(
      LooksLike(pic, legend_, {"ssssss", "swwwww", "sw..ww", "sw..ww", "swwwww", "swwwww"}));

  const TColor green = 0x00008000;
  Legend legend =
      With(legend_, {{'g', green}, {'D', DarkenColor(green, 50)}, {'M', LightenColor(green, 100)}});
  CanvasPicture shaded(6, 6, kBackground);
  PaintEditFrame(shaded.Canvas(), 6, 6, clBlack, green, fsStatus, sdAllSides);
  EXPECT_TRUE(
      LooksLike(shaded, legend, {"DDDDDM", "DggggM", "Dg..gM", "Dg..gM", "DggggM", "MMMMMM"}));

  // Only the system value itself selects the system look, not an equal RGB value.
  CanvasPicture rgb(6, 6, kBackground);
  const TColor window = ColorToRGB(clWindow);
  PaintEditFrame(rgb.Canvas(), 6, 6, clBlack, window, fsStatus, sdAllSides);
  EXPECT_EQ(rgb.At(0, 0), DarkenColor(window, 50));
}

TEST_F(Frames, EditFrameFlatStylesUseTheFrameColour) {
  Legend legend = With(legend_, {{'r', clRed}, {'g', clLime}});
  CanvasPicture flat(5, 5, kBackground);
  PaintEditFrame(flat.Canvas(), 5, 5, clRed, clLime, fsFlat, sdAllSides);
  EXPECT_TRUE(LooksLike(flat, legend, {"rrrrr", "rgggr", "rg.gr", "rgggr", "rrrrr"}));
  CanvasPicture bold(5, 5, kBackground);
  PaintEditFrame(bold.Canvas(), 5, 5, clRed, clLime, fsFlatBold, {sdBottom});
  EXPECT_TRUE(LooksLike(bold, legend, {"ggggg", "ggggg", "gg.gg", "rrrrr", "rrrrr"}));
  CanvasPicture unclear(5, 5, kBackground);
  PaintEditFrame(unclear.Canvas(), 5, 5, clRed, clLime, fsFlat, {sdTop}, false);
  EXPECT_TRUE(LooksLike(unclear, legend, {"rrrrr", ".....", ".....", ".....", "....."}));
}

struct PanelArgs {
  TFrameStyleEx outer = fsNone, inner = fsNone;
  int borderWidth = 0;
  TSides sides = sdAllSides;
  int bevelWidth = 1;
  TColor flat = clBlue;
  int flatAdjustment = 0;
  bool transparent = false;
};

// Border red, highlight and shadow the system ones, control lime, parent yellow.
TRect Panel(CanvasPicture& pic, const PanelArgs& a) {
  const TRect b = Rect(0, 0, pic.width(), pic.height());
  return PaintPanelBorders(pic.Canvas(), b, a.outer, a.inner, a.borderWidth, a.sides, a.bevelWidth,
                           clRed, clBtnHighlight, clBtnShadow, a.flat, a.flatAdjustment, clLime,
                           clYellow, a.transparent);
}

class PanelBorders : public Frames {
 protected:
  Legend legend_ = With(SystemLegend(kBackground),
                        {{'b', clRed}, {'F', clBlue}, {'c', clLime}, {'p', clYellow}});
};

TEST_F(PanelBorders, RoundedOuterBorder) {
  CanvasPicture none(6, 6, kBackground);
  EXPECT_RECT(Panel(none, {}), 0, 0, 6, 6);
  EXPECT_TRUE(LooksLike(none, legend_, std::vector<std::string>(6, "......")));

  // Opaque: the cut corners show the parent's colour.
  CanvasPicture opaque(8, 8, kBackground);
  EXPECT_RECT(Panel(opaque, {.outer = fsFlatRounded}), 2, 2, 6, 6);
  EXPECT_TRUE(LooksLike(opaque, legend_,
                        {"ppFFFFpp", "pFccccFp", "Fc....cF", "Fc....cF", "Fc....cF", "Fc....cF",
                         "pFccccFp", "ppFFFFpp"}));
  // A border band inside gives the ring under the outline the border colour.
  CanvasPicture banded(8, 8, kBackground);
  EXPECT_RECT(Panel(banded, {.outer = fsFlatRounded, .borderWidth = 1}), 3, 3, 5, 5);
  EXPECT_TRUE(LooksLike(banded, legend_,
                        {"ppFFFFpp", "pFbbbbFp", "FbbbbbbF", "Fbb..bbF", "Fbb..bbF", "FbbbbbbF",
                         "pFbbbbFp", "ppFFFFpp"}));
  // Transparent: the corners are left alone.
  CanvasPicture clear(8, 8, kBackground);
  EXPECT_RECT(Panel(clear, {.outer = fsFlatRounded, .inner = fsFlat, .transparent = true}), 3, 3, 5,
              5);
  EXPECT_TRUE(LooksLike(clear, legend_,
                        {"..FFFF..", ".FbbbbF.", "FbFFFFbF", "FbF..FbF", "FbF..FbF", "FbFFFFbF",
                         ".FbbbbF.", "..FFFF.."}));
}

TEST_F(PanelBorders, RoundedInnerBorder) {
  CanvasPicture opaque(8, 8, kBackground);
  EXPECT_RECT(Panel(opaque, {.inner = fsFlatRounded, .borderWidth = 1}), 3, 3, 5, 5);
  EXPECT_TRUE(LooksLike(opaque, legend_,
                        {"bbbbbbbb", "bbbFFbbb", "bbFccFbb", "bFc..cFb", "bFc..cFb", "bbFccFbb",
                         "bbbFFbbb", "bbbbbbbb"}));
  CanvasPicture clear(8, 8, kBackground);
  Panel(clear, {.inner = fsFlatRounded, .borderWidth = 1, .transparent = true});
  EXPECT_TRUE(LooksLike(clear, legend_,
                        {"bbbbbbbb", "bbbFFbbb", "bbF..Fbb", "bF....Fb", "bF....Fb", "bbF..Fbb",
                         "bbbFFbbb", "bbbbbbbb"}));
}

TEST_F(PanelBorders, BevelWidthAndFlatColourAdjustment) {
  CanvasPicture pic(10, 10, kBackground);
  EXPECT_RECT(Panel(pic, {.outer = fsPopup, .inner = fsStatus, .bevelWidth = 2}), 4, 4, 6, 6);
  EXPECT_TRUE(LooksLike(pic, legend_,
                        {"hhhhhhhhhs", "hhhhhhhhss", "hhssssshss", "hhsssshhss", "hhss..hhss",
                         "hhss..hhss", "hhshhhhhss", "hhhhhhhhss", "hsssssssss", "ssssssssss"}));
  CanvasPicture shifted(4, 4, kBackground);
  Panel(shifted, {.outer = fsFlat, .flat = 0x00804020, .flatAdjustment = -30});
  EXPECT_EQ(shifted.At(0, 0), DarkenColor(0x00804020, 30));
}

TEST_F(PanelBorders, InnerRectangleForEveryCombination) {
  // Each style's depth, as the panel computes its client area (bevel width 3 here).
  auto depth = [](int s) {
    return s == fsNone ? 0 : s == fsFlat ? 1 : (s == fsStatus || s == fsPopup) ? 3 : 2;
  };
  for (int o = fsNone; o <= fsFlatRounded; ++o)
    for (int i = fsNone; i <= fsFlatRounded; ++i)
      for (bool transparent : {false, true}) {
        SCOPED_TRACE("outer " + std::to_string(o) + " inner " + std::to_string(i));
        CanvasPicture pic(24, 24, kBackground);
        TRect r = Panel(pic, {TFrameStyleEx(o),
                              TFrameStyleEx(i),
                              1,
                              {sdLeft, sdTop, sdBottom},
                              3,
                              clBlue,
                              0,
                              transparent});
        const int d = depth(o) + 1 + depth(i);
        EXPECT_EQ(RectText(r), RectText(Rect(d, d, 24, 24 - d)));
      }
}

}  // namespace
