#include <gtest/gtest.h>

#include <algorithm>

#include "HostFonts.h"
#include "Strings.h"

namespace {

HostFontRequest Request(const char16_t* face, int height, bool antialias = true) {
  HostFontRequest r;
  r.face = face;
  r.height = height;
  r.antialias = antialias;
  return r;
}

}  // namespace

TEST(HostFonts, PlatformFacesMapToInstalledFamilies) {
  std::u16string sans = HostMapFamily(u"Tahoma");
  EXPECT_TRUE(sans == u"Liberation Sans" || sans == u"DejaVu Sans") << ToUtf8(sans);
  for (const char16_t* face :
       {u"MS Sans Serif", u"Arial", u"Verdana", u"Segoe UI", u"", u"No Such Face"})
    EXPECT_EQ(HostMapFamily(face), sans);
  std::u16string mono = HostMapFamily(u"Courier New");
  EXPECT_TRUE(mono == u"Liberation Mono" || mono == u"DejaVu Sans Mono") << ToUtf8(mono);
  EXPECT_EQ(HostMapFamily(u"DejaVu Serif"), u"DejaVu Serif");  // installed names stay
  const HostFont* f = HostRealizeFont(Request(u"Tahoma", -13));
  EXPECT_EQ(HostGetFontMetrics(f).family, sans);
}

TEST(HostFonts, RealisedFontsAreCachedByRequest) {
  const HostFont* a = HostRealizeFont(Request(u"Tahoma", -13));
  EXPECT_EQ(HostRealizeFont(Request(u"Tahoma", -13)), a);
  EXPECT_NE(HostRealizeFont(Request(u"Tahoma", -14)), a);
  HostFontRequest bold = Request(u"Tahoma", -13);
  bold.weight = 700;
  EXPECT_NE(HostRealizeFont(bold), a);
}

TEST(HostFonts, MetricsFollowTheRequestedHeight) {
  const HostFontMetrics& em = HostGetFontMetrics(HostRealizeFont(Request(u"Arial", -20)));
  EXPECT_EQ(em.height, em.ascent + em.descent);
  EXPECT_EQ(em.internalLeading, em.height - 20);
  const HostFontMetrics& cell = HostGetFontMetrics(HostRealizeFont(Request(u"Arial", 20)));
  EXPECT_NEAR(cell.height, 20, 1);
  EXPECT_LT(cell.ascent, em.ascent);
}

TEST(HostFonts, GlyphsSitOnTheBaseline) {
  const HostFont* f = HostRealizeFont(Request(u"Arial", -20));
  const HostGlyph& h = HostGetGlyph(f, U'H');
  ASSERT_FALSE(h.coverage.empty());
  EXPECT_EQ(int(h.coverage.size()), h.width * h.height);
  EXPECT_LT(h.top, -10);
  EXPECT_EQ(h.top + h.height, 0);  // no descender
  EXPECT_GE(h.left, 0);
  EXPECT_LE(h.left + h.width, h.advance + 1);
  const HostGlyph& g = HostGetGlyph(f, U'g');
  EXPECT_GT(g.top + g.height, 2);
  const HostGlyph& space = HostGetGlyph(f, U' ');
  EXPECT_TRUE(space.coverage.empty());
  EXPECT_GT(space.advance, 2);
  EXPECT_EQ(HostGetAdvance(f, U'H'), h.advance);
}

TEST(HostFonts, AliasedFontsGiveOnlyFullOrNoCoverage) {
  const HostFont* f = HostRealizeFont(Request(u"Arial", -13, false));
  const HostGlyph& g = HostGetGlyph(f, U'a');
  ASSERT_FALSE(g.coverage.empty());
  EXPECT_TRUE(std::all_of(g.coverage.begin(), g.coverage.end(),
                          [](std::uint8_t v) { return v == 0 || v == 255; }));
  const HostGlyph& smooth = HostGetGlyph(HostRealizeFont(Request(u"Arial", -13)), U'a');
  EXPECT_TRUE(std::any_of(smooth.coverage.begin(), smooth.coverage.end(),
                          [](std::uint8_t v) { return v > 0 && v < 255; }));
}

TEST(HostFonts, MarlettCharactersAreDrawnAsSymbols) {
  const HostFont* marlett = HostRealizeFont(Request(u"Marlett", -16));
  const HostFont* sans = HostRealizeFont(Request(u"DejaVu Sans", -16));
  EXPECT_EQ(HostGetAdvance(marlett, U'r'), HostGetAdvance(sans, U'\u2715'));
  EXPECT_EQ(HostGetGlyph(marlett, U'5').coverage, HostGetGlyph(sans, U'\u25B2').coverage);
  EXPECT_EQ(HostGetAdvance(marlett, U'x'), HostGetAdvance(sans, U'x'));  // unmapped: as is
}

TEST(HostFonts, TurnedRunSwapsItsExtent) {
  const HostFont* f = HostRealizeFont(Request(u"Arial", -16));
  std::u32string text = U"Turned text";
  std::vector<int> adv;
  for (char32_t c : text) adv.push_back(HostGetAdvance(f, c));
  HostMask flat = HostRenderRun(f, text, adv, 0);
  HostMask up = HostRenderRun(f, text, adv, 90);
  EXPECT_NEAR(up.height, flat.width, 2);
  EXPECT_NEAR(up.width, flat.height, 2);
  // Turned counter-clockwise the run rises from its origin, the letters' tops pointing left.
  const HostFontMetrics& m = HostGetFontMetrics(f);
  EXPECT_LT(up.top, -flat.width + 4);
  EXPECT_LE(up.top + up.height, 2);
  EXPECT_GE(up.left, -m.ascent - 1);
  EXPECT_LE(up.left + up.width, m.descent + 1);
  EXPECT_LT(up.left, -m.ascent / 2);
}

namespace {

// Design metrics of the installed stand-in families (OS/2 usWinAscent, usWinDescent).
struct DesignMetrics {
  const char16_t* family;
  int unitsPerEm, winAscent, winDescent;
};
constexpr DesignMetrics kStandIns[] = {{u"Liberation Sans", 2048, 1854, 434},
                                       {u"DejaVu Sans", 2048, 1901, 483}};

// A design metric scaled to the em size in 1/64 pixels, as FreeType scales it, then rounded to
// the nearest pixel: GDI's cell rule for a TrueType font without a VDMX entry. Not a ceiling:
// there FreeMono at 13 px (design 10.4 + 2.6) is 10 + 3 high.
int ScaledToPixels(int design, int ppem, int unitsPerEm) {
  long long scale = (ppem * 64LL * 65536 + unitsPerEm / 2) / unitsPerEm;
  long long value = (design * scale + 0x8000) >> 16;
  return int((value + 32) >> 6);
}

bool Installed(const char16_t* family) { return HostMapFamily(family) == family; }

}  // namespace

TEST(HostFonts, CellOfTheStandInAtEightPointIsTwelveOrThirteen) {
  // Ascent 9.958 and descent 2.331 (Liberation Sans), 10.210 and 2.594 (DejaVu Sans) at 11 px.
  struct Case {
    const char16_t* family;
    int ascent, descent;
  };
  for (Case c : {Case{u"Liberation Sans", 10, 2}, Case{u"DejaVu Sans", 10, 3}}) {
    if (!Installed(c.family)) continue;
    const HostFontMetrics& m = HostGetFontMetrics(HostRealizeFont(Request(c.family, -11)));
    EXPECT_EQ(m.ascent, c.ascent) << ToUtf8(c.family);
    EXPECT_EQ(m.descent, c.descent) << ToUtf8(c.family);
    EXPECT_EQ(m.height, c.ascent + c.descent) << ToUtf8(c.family);
    EXPECT_EQ(m.internalLeading, c.ascent + c.descent - 11) << ToUtf8(c.family);
  }
}

TEST(HostFonts, CellRoundsTheScaledDesignMetricsAtEveryEmSize) {
  int checked = 0;
  for (const DesignMetrics& d : kStandIns) {
    if (!Installed(d.family)) continue;
    for (int ppem = 4; ppem <= 96; ++ppem) {
      const HostFontMetrics& m = HostGetFontMetrics(HostRealizeFont(Request(d.family, -ppem)));
      int ascent = ScaledToPixels(d.winAscent, ppem, d.unitsPerEm);
      int descent = ScaledToPixels(d.winDescent, ppem, d.unitsPerEm);
      EXPECT_EQ(m.ascent, ascent) << ToUtf8(d.family) << " at " << ppem << " px";
      EXPECT_EQ(m.descent, descent) << ToUtf8(d.family) << " at " << ppem << " px";
      EXPECT_EQ(m.internalLeading, std::max(0, ascent + descent - ppem))
          << ToUtf8(d.family) << " at " << ppem;
      ++checked;
    }
  }
  EXPECT_GT(checked, 0) << "neither stand-in family is installed";
}

namespace {

// The published design metrics of the faces the windows were designed with.
constexpr DesignMetrics kDesigned[] = {
    {u"Tahoma", 2048, 2049, 423}, {u"Verdana", 2048, 2059, 430}, {u"Segoe UI", 2048, 2210, 514}};

}  // namespace

TEST(HostFonts, StandInReportsTheCellOfTheFaceItStandsIn) {
  // Tahoma at 8 points: 11.005 + 2.272, so 11 + 2, as the windows were laid out.
  struct Case {
    const char16_t* face;
    int ascent, descent;
  };
  for (Case c : {Case{u"Tahoma", 11, 2}, Case{u"Verdana", 11, 2}, Case{u"Segoe UI", 12, 3}}) {
    const HostFontMetrics& m = HostGetFontMetrics(HostRealizeFont(Request(c.face, -11)));
    EXPECT_EQ(m.ascent, c.ascent) << ToUtf8(c.face);
    EXPECT_EQ(m.descent, c.descent) << ToUtf8(c.face);
    EXPECT_EQ(m.height, c.ascent + c.descent) << ToUtf8(c.face);
    EXPECT_EQ(m.internalLeading, c.ascent + c.descent - 11) << ToUtf8(c.face);
    EXPECT_EQ(m.family, HostMapFamily(c.face)) << "drawn with the stand-in";
  }
  // Segoe UI at 9 points, the later dialogs' font: 12.950 + 3.012.
  EXPECT_EQ(HostGetFontMetrics(HostRealizeFont(Request(u"Segoe UI", -12))).height, 16);
}

TEST(HostFonts, FacesWithoutPublishedFiguresKeepTheStandInsCell) {
  const std::u16string standIn = HostMapFamily(u"Tahoma");
  const HostFontMetrics& own = HostGetFontMetrics(HostRealizeFont(Request(standIn.c_str(), -11)));
  for (const char16_t* face : {u"No Such Face", u"Helvetica"}) {
    const HostFontMetrics& m = HostGetFontMetrics(HostRealizeFont(Request(face, -11)));
    EXPECT_EQ(m.ascent, own.ascent) << ToUtf8(face);
    EXPECT_EQ(m.descent, own.descent) << ToUtf8(face);
  }
}

TEST(HostFonts, StandInCellRoundsTheDesignedFacesMetricsAtEveryEmSize) {
  for (const DesignMetrics& d : kDesigned) {
    for (int ppem = 4; ppem <= 96; ++ppem) {
      const HostFontMetrics& m = HostGetFontMetrics(HostRealizeFont(Request(d.family, -ppem)));
      int ascent = ScaledToPixels(d.winAscent, ppem, d.unitsPerEm);
      int descent = ScaledToPixels(d.winDescent, ppem, d.unitsPerEm);
      EXPECT_EQ(m.ascent, ascent) << ToUtf8(d.family) << " at " << ppem << " px";
      EXPECT_EQ(m.descent, descent) << ToUtf8(d.family) << " at " << ppem << " px";
      EXPECT_EQ(m.height, ascent + descent) << ToUtf8(d.family) << " at " << ppem << " px";
      EXPECT_EQ(m.internalLeading, std::max(0, ascent + descent - ppem))
          << ToUtf8(d.family) << " at " << ppem;
    }
  }
}

TEST(HostFonts, StandInCellHeightRequestGivesTheDesignedCell) {
  // A cell of 13 is Tahoma's 8 points: em 13 * 2048 / 2472 = 10.8, so 11.
  const HostFontMetrics& eight = HostGetFontMetrics(HostRealizeFont(Request(u"Tahoma", 13)));
  EXPECT_EQ(eight.height, 13);
  EXPECT_EQ(eight.ascent, 11);
  EXPECT_EQ(eight.internalLeading, 2);
  for (const DesignMetrics& d : kDesigned)
    for (int cell = 8; cell <= 60; ++cell)
      EXPECT_NEAR(HostGetFontMetrics(HostRealizeFont(Request(d.family, cell))).height, cell, 1)
          << ToUtf8(d.family) << " cell " << cell;
}

TEST(HostFonts, StandInDrawsItsOwnGlyphsOnTheReportedBaseline) {
  const HostFont* tahoma = HostRealizeFont(Request(u"Tahoma", -11));
  const HostFont* standIn = HostRealizeFont(Request(HostMapFamily(u"Tahoma").c_str(), -11));
  for (char32_t c : std::u32string(U"Hg8")) {
    const HostGlyph& a = HostGetGlyph(tahoma, c);
    const HostGlyph& b = HostGetGlyph(standIn, c);
    EXPECT_EQ(a.advance, b.advance);
    EXPECT_EQ(a.left, b.left);
    EXPECT_EQ(a.top, b.top) << "placed from the baseline, not from the cell's top";
    EXPECT_EQ(a.coverage, b.coverage);
  }
  // Within the cell: ink reaches neither above the ascent nor below the descent.
  const HostFontMetrics& m = HostGetFontMetrics(tahoma);
  for (char32_t c : std::u32string(U"HÅgjy|")) {
    const HostGlyph& g = HostGetGlyph(tahoma, c);
    EXPECT_GE(g.top, -m.ascent) << char(c < 128 ? c : '?');
    EXPECT_LE(g.top + g.height, m.descent) << char(c < 128 ? c : '?');
  }
}

TEST(HostFonts, ArialsCellIsTheBlackExtentOfItsHintedCharacters) {
  // 8 points: 11 + 3, the cell its windows were laid out with (a 22-pixel edit).
  const HostFontMetrics& eight = HostGetFontMetrics(HostRealizeFont(Request(u"Arial", -11)));
  EXPECT_EQ(eight.ascent, 11);
  EXPECT_EQ(eight.descent, 3);
  EXPECT_EQ(eight.internalLeading, 3);
  for (int ppem = 6; ppem <= 24; ++ppem) {
    const HostFont* f = HostRealizeFont(Request(u"Arial", -ppem, false));
    const HostFontMetrics& m = HostGetFontMetrics(f);
    int top = 0, bottom = 0;
    for (char32_t c = 0x21; c <= 0xFF; ++c) {
      if (c >= 0x7F && c < 0xA1) continue;
      const HostGlyph& g = HostGetGlyph(f, c);
      if (g.coverage.empty()) continue;
      top = std::max(top, -g.top);
      bottom = std::max(bottom, g.top + g.height);
    }
    // Every drawn pixel inside the cell, and the cell no larger than they or the design
    // figures (units per em 2048, ascent 1854, descent 434) need.
    EXPECT_EQ(m.ascent, std::max(top, ScaledToPixels(1854, ppem, 2048))) << ppem << " px";
    EXPECT_EQ(m.descent, std::max(bottom, ScaledToPixels(434, ppem, 2048))) << ppem << " px";
    EXPECT_EQ(m.height, m.ascent + m.descent) << ppem << " px";
  }
  // A cell height asked for gives the largest size whose cell fits it.
  EXPECT_EQ(HostGetFontMetrics(HostRealizeFont(Request(u"Arial", 14))).height, 14);
  EXPECT_EQ(HostGetFontMetrics(HostRealizeFont(Request(u"Arial", 14))).ascent, 11);
}

TEST(HostFonts, MsSansSerifComesInItsFixedSizes) {
  struct Case {
    int requested, height, ascent, descent, internalLeading;
  } cases[] = {
      {-11, 13, 11, 2, 2},  // 8 points
      {-8, 13, 11, 2, 2},   // smaller than the smallest: the smallest
      {0, 13, 11, 2, 2},    // no height asked: 8 points
      {-12, 13, 11, 2, 2}, {-13, 16, 13, 3, 3}, {-16, 20, 16, 4, 4}, {-18, 24, 19, 5, 6},
      {-24, 29, 23, 6, 5}, {-32, 37, 29, 8, 5}, {-60, 37, 29, 8, 5}, {13, 13, 11, 2, 2},
      {15, 13, 11, 2, 2},  {16, 16, 13, 3, 3},  {36, 29, 23, 6, 5},
  };
  for (const Case& c : cases) {
    const HostFont* f = HostRealizeFont(Request(u"MS Sans Serif", c.requested));
    const HostFontMetrics& m = HostGetFontMetrics(f);
    EXPECT_EQ(m.height, c.height) << c.requested;
    EXPECT_EQ(m.ascent, c.ascent) << c.requested;
    EXPECT_EQ(m.descent, c.descent) << c.requested;
    EXPECT_EQ(m.internalLeading, c.internalLeading) << c.requested;
    // Drawn at the size's character height: a capital stays inside the cell.
    const HostGlyph& h = HostGetGlyph(f, U'H');
    EXPECT_GE(h.top, -c.ascent) << c.requested;
  }
}
