#include <gtest/gtest.h>

#include <string>

#include "Gdi.h"
#include "PixelPicture.h"
#include "Strings.h"

namespace {

HFONT Font(int height, const char16_t* face = u"Tahoma", int weight = FW_NORMAL,
           int escapement = 0) {
  LOGFONTW lf;
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfEscapement = escapement;
  std::u16string_view f(face);
  std::copy(f.begin(), f.end(), lf.lfFaceName);
  return CreateFontIndirectW(&lf);
}

SIZE Extent(HDC dc, const std::u16string& s) {
  SIZE sz{};
  GetTextExtentPoint32W(dc, s.data(), int(s.size()), &sz);
  return sz;
}

void Out(HDC dc, int x, int y, const std::u16string& s) {
  TextOutW(dc, x, y, s.data(), int(s.size()));
}

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

bool Empty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

}  // namespace

TEST(Text, MetricsHangTogether) {
  PixelCanvas c(10, 10);
  Selected font(c.dc(), Font(-13));
  TEXTMETRICW tm;
  ASSERT_TRUE(GetTextMetricsW(c.dc(), &tm));
  EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
  EXPECT_EQ(tm.tmInternalLeading, tm.tmHeight - 13);
  EXPECT_GT(tm.tmAveCharWidth, 2);
  EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth);
  EXPECT_EQ(tm.tmWeight, FW_NORMAL);
  EXPECT_TRUE(tm.tmPitchAndFamily & TMPF_FIXED_PITCH);  // set means variable pitch
  WCHAR face[LF_FACESIZE];
  EXPECT_EQ(GetTextFaceW(c.dc(), LF_FACESIZE, face), 6);
  EXPECT_EQ(std::u16string(face), u"Tahoma");
}

TEST(Text, EightPointTahomaKeepsItsDesignedCellAndBaseline) {
  PixelCanvas c(60, 30);
  Selected font(c.dc(), Font(-11));
  TEXTMETRICW tm;
  ASSERT_TRUE(GetTextMetricsW(c.dc(), &tm));
  EXPECT_EQ(tm.tmAscent, 11);
  EXPECT_EQ(tm.tmDescent, 2);
  EXPECT_EQ(tm.tmHeight, 13);
  EXPECT_EQ(tm.tmInternalLeading, 2);
  EXPECT_EQ(Extent(c.dc(), u"Hg").cy, 13);
  SetBkMode(c.dc(), TRANSPARENT);
  Out(c.dc(), 4, 5, u"H");
  EXPECT_EQ(c.InkBox().bottom, 5 + 11) << "the H stands on the reported baseline\n" << c.Picture();
  c.Clear(0xFFFFFF);
  Out(c.dc(), 4, 5, u"Hg");
  EXPECT_TRUE(Inside(c.InkBox(), RECT{4, 5, 60, 5 + 13})) << c.Picture();
}

TEST(Text, PositiveHeightIsTheCellHeight) {
  PixelCanvas c(10, 10);
  for (int h : {12, 16, 24, 40}) {
    Selected font(c.dc(), Font(h));
    TEXTMETRICW tm;
    GetTextMetricsW(c.dc(), &tm);
    EXPECT_NEAR(tm.tmHeight, h, 1) << h;
  }
}

TEST(Text, MonospaceFaceHasFixedPitch) {
  PixelCanvas c(10, 10);
  Selected font(c.dc(), Font(-13, u"Courier New"));
  TEXTMETRICW tm;
  GetTextMetricsW(c.dc(), &tm);
  EXPECT_FALSE(tm.tmPitchAndFamily & TMPF_FIXED_PITCH);
  EXPECT_EQ(Extent(c.dc(), u"iiii").cx, Extent(c.dc(), u"WWWW").cx);
}

TEST(Text, ExtentGrowsWithTheTextAndTheFont) {
  PixelCanvas c(10, 10);
  Selected font(c.dc(), Font(-13));
  TEXTMETRICW tm;
  GetTextMetricsW(c.dc(), &tm);
  std::u16string s;
  int last = 0;
  for (char16_t ch : std::u16string(u"Hello, world")) {
    s += ch;
    SIZE sz = Extent(c.dc(), s);
    EXPECT_GT(sz.cx, last) << ToUtf8(s);
    EXPECT_EQ(sz.cy, tm.tmHeight);
    last = sz.cx;
  }
  EXPECT_EQ(Extent(c.dc(), u"").cx, 0);
  // Widths add up: no kerning between runs.
  EXPECT_EQ(Extent(c.dc(), u"AV").cx, Extent(c.dc(), u"A").cx + Extent(c.dc(), u"V").cx);
  SetTextCharacterExtra(c.dc(), 2);
  EXPECT_EQ(Extent(c.dc(), u"Hello").cx, Extent(c.dc(), u"Hell").cx + Extent(c.dc(), u"o").cx);
  SetTextCharacterExtra(c.dc(), 0);
  int fit = 0;
  INT dx[5];
  SIZE total;
  GetTextExtentExPointW(c.dc(), u"Hello", 5, Extent(c.dc(), u"Hel").cx, &fit, dx, &total);
  EXPECT_EQ(fit, 3);
  EXPECT_EQ(dx[4], total.cx);
  Selected bigger(c.dc(), Font(-26));
  EXPECT_GT(Extent(c.dc(), u"Hello").cx, last / 2);
}

TEST(Text, GlyphsLandInTheirCellInTheTextColour) {
  PixelCanvas c(120, 40);
  Selected font(c.dc(), Font(-20, u"Arial", FW_BOLD));
  SetTextColor(c.dc(), RGB(0, 0, 255));
  SetBkMode(c.dc(), TRANSPARENT);
  Out(c.dc(), 10, 8, u"HIH");
  SIZE sz = Extent(c.dc(), u"HIH");
  RECT ink = c.InkBox();
  ASSERT_FALSE(Empty(ink));
  EXPECT_TRUE(Inside(ink, RECT{10, 8, 10 + sz.cx, 8 + sz.cy})) << c.Picture();
  EXPECT_GT(c.Count(RGB(0, 0, 255)), 20);  // solid stems are exactly the text colour
}

TEST(Text, OpaqueModeFillsTheCellTransparentModeDoesNot) {
  PixelCanvas c(80, 30);
  Selected font(c.dc(), Font(-13));
  SetBkColor(c.dc(), RGB(255, 255, 0));
  Out(c.dc(), 5, 5, u"abc");
  SIZE sz = Extent(c.dc(), u"abc");
  RECT cell{5, 5, 5 + sz.cx, 5 + sz.cy};
  EXPECT_EQ(c.InkBox(), cell);
  EXPECT_EQ(c.At(5, 5), RGB(255, 255, 0));
  EXPECT_EQ(c.At(5 + sz.cx - 1, 5 + sz.cy - 1), RGB(255, 255, 0));
  c.Clear(0xFFFFFF);
  SetBkMode(c.dc(), TRANSPARENT);
  Out(c.dc(), 5, 5, u"abc");
  EXPECT_EQ(c.Count(RGB(255, 255, 0)), 0);
}

TEST(Text, AlignmentPlacesTheReferencePoint) {
  PixelCanvas c(200, 80);
  Selected font(c.dc(), Font(-20, u"Arial"));
  SetBkMode(c.dc(), TRANSPARENT);
  TEXTMETRICW tm;
  GetTextMetricsW(c.dc(), &tm);
  SIZE sz = Extent(c.dc(), u"HH");

  SetTextAlign(c.dc(), TA_RIGHT | TA_TOP);
  Out(c.dc(), 100, 10, u"HH");
  RECT ink = c.InkBox();
  EXPECT_TRUE(Inside(ink, RECT{100 - sz.cx, 10, 100, 10 + tm.tmHeight})) << c.Picture();
  EXPECT_GT(ink.right, 100 - 4);

  c.Clear(0xFFFFFF);
  SetTextAlign(c.dc(), TA_LEFT | TA_BASELINE);
  Out(c.dc(), 20, 50, u"HH");
  ink = c.InkBox();
  EXPECT_EQ(ink.bottom, 50) << "an H sits on the baseline\n" << c.Picture();
  EXPECT_GE(ink.top, 50 - tm.tmAscent);

  c.Clear(0xFFFFFF);
  SetTextAlign(c.dc(), TA_CENTER | TA_BOTTOM);
  Out(c.dc(), 100, 60, u"HH");
  ink = c.InkBox();
  EXPECT_LE(ink.bottom, 60 - tm.tmDescent);
  EXPECT_NEAR((ink.left + ink.right) / 2.0, 100, 2);
}

TEST(Text, UpdateCPDrawsAtAndMovesTheCurrentPosition) {
  PixelCanvas c(200, 30);
  Selected font(c.dc(), Font(-13));
  SetTextAlign(c.dc(), TA_UPDATECP);
  MoveToEx(c.dc(), 7, 3, nullptr);
  Out(c.dc(), 100, 100, u"abc");
  POINT pos;
  GetCurrentPositionEx(c.dc(), &pos);
  EXPECT_EQ(pos, (POINT{7 + Extent(c.dc(), u"abc").cx, 3}));
  EXPECT_EQ(c.InkBox().left, 7);
}

TEST(Text, DrawingStaysInsideTheClipRegion) {
  PixelCanvas c(100, 40);
  Selected font(c.dc(), Font(-30, u"Arial", FW_BOLD));
  SetBkMode(c.dc(), TRANSPARENT);
  IntersectClipRect(c.dc(), 20, 10, 50, 25);
  Out(c.dc(), 0, 0, u"WWWWWW");
  RECT ink = c.InkBox();
  ASSERT_FALSE(Empty(ink));
  EXPECT_TRUE(Inside(ink, RECT{20, 10, 50, 25})) << c.Picture();
}

TEST(Text, ExtTextOutOpaqueRectAndClippedRect) {
  PixelCanvas c(60, 30);
  Selected font(c.dc(), Font(-20, u"Arial", FW_BOLD));
  SetBkMode(c.dc(), TRANSPARENT);
  SetBkColor(c.dc(), RGB(0, 255, 0));
  RECT r{10, 5, 30, 20};
  ExtTextOutW(c.dc(), 0, 0, ETO_OPAQUE | ETO_CLIPPED, &r, u"MMMM", 4, nullptr);
  EXPECT_EQ(c.InkBox(), r);
  EXPECT_GT(c.Count(RGB(0, 255, 0)), 40);
  EXPECT_GT(c.Count(0), 5);
}

TEST(Text, NinetyDegreesRunsUpwardsFromTheReferencePoint) {
  PixelCanvas c(60, 160);
  Selected font(c.dc(), Font(-16, u"Arial", FW_NORMAL, 900));
  SetBkMode(c.dc(), TRANSPARENT);
  Out(c.dc(), 20, 140, u"Rotated text");
  SIZE sz = Extent(c.dc(), u"Rotated text");
  TEXTMETRICW tm;
  GetTextMetricsW(c.dc(), &tm);
  RECT ink = c.InkBox();
  ASSERT_FALSE(Empty(ink));
  EXPECT_GT(ink.bottom - ink.top, 2 * (ink.right - ink.left)) << c.Picture();
  EXPECT_TRUE(Inside(ink, RECT{19, 140 - sz.cx - 1, 20 + tm.tmHeight + 1, 141})) << c.Picture();
  // Opaque background paints the turned cell.
  c.Clear(0xFFFFFF);
  SetBkMode(c.dc(), OPAQUE);
  SetBkColor(c.dc(), RGB(255, 0, 0));
  Out(c.dc(), 20, 140, u"Rotated text");
  EXPECT_GT(c.Count(RGB(255, 0, 0)), sz.cx * tm.tmHeight / 2);
  EXPECT_TRUE(Inside(c.InkBox(), RECT{19, 140 - sz.cx - 1, 20 + tm.tmHeight + 1, 141}))
      << c.Picture();
}

TEST(Text, MarlettCharactersBecomeSymbols) {
  PixelCanvas symbol(30, 30), letter(30, 30);
  {
    Selected font(symbol.dc(), Font(-16, u"Marlett"));
    Out(symbol.dc(), 5, 5, u"r");
  }
  {
    Selected font(letter.dc(), Font(-16, u"Tahoma"));
    Out(letter.dc(), 5, 5, u"r");
  }
  RECT ink = symbol.InkBox();
  ASSERT_FALSE(Empty(ink));
  EXPECT_FALSE(SamePixels(symbol, letter));
  // A close cross is about as wide as it is tall.
  EXPECT_NEAR(ink.right - ink.left, ink.bottom - ink.top, 3) << symbol.Picture();
}

TEST(DrawText, CalcRectMeasuresWithoutDrawing) {
  PixelCanvas c(100, 50);
  Selected font(c.dc(), Font(-13));
  TEXTMETRICW tm;
  GetTextMetricsW(c.dc(), &tm);
  RECT r{5, 5, 6, 6};
  EXPECT_EQ(DrawTextW(c.dc(), u"Hello", -1, &r, DT_SINGLELINE | DT_CALCRECT), tm.tmHeight);
  EXPECT_EQ(r, (RECT{5, 5, 5 + Extent(c.dc(), u"Hello").cx, 5 + tm.tmHeight}));
  EXPECT_EQ(c.Count(0xFFFFFF), 100 * 50);
  RECT e{5, 5, 50, 50};
  EXPECT_EQ(DrawTextW(c.dc(), u"", -1, &e, DT_CALCRECT), 0);
  EXPECT_EQ(e, (RECT{5, 5, 5, 5}));
  RECT two{0, 0, 100, 0};
  EXPECT_EQ(DrawTextW(c.dc(), u"one\r\ntwo", -1, &two, DT_CALCRECT), 2 * tm.tmHeight);
  EXPECT_EQ(two.right, Extent(c.dc(), u"one").cx > Extent(c.dc(), u"two").cx
                           ? Extent(c.dc(), u"one").cx
                           : Extent(c.dc(), u"two").cx);
}

TEST(DrawText, CentredSingleLineSitsInTheMiddleAndReportsItsBottom) {
  PixelCanvas c(120, 40);
  Selected font(c.dc(), Font(-13));
  SetBkColor(c.dc(), RGB(255, 255, 0));
  TEXTMETRICW tm;
  GetTextMetricsW(c.dc(), &tm);
  RECT r{0, 0, 120, 40};
  int ret = DrawTextW(c.dc(), u"Centre", -1, &r, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
  EXPECT_EQ(r, (RECT{0, 0, 120, 40}));
  int top = (40 - tm.tmHeight) / 2;
  EXPECT_EQ(ret, top + tm.tmHeight);
  int w = Extent(c.dc(), u"Centre").cx;
  EXPECT_EQ(c.InkBox(), (RECT{(120 - w) / 2, top, (120 - w) / 2 + w, top + tm.tmHeight}));
  c.Clear(0xFFFFFF);
  DrawTextW(c.dc(), u"Right", -1, &r, DT_SINGLELINE | DT_RIGHT | DT_BOTTOM);
  EXPECT_EQ(c.InkBox(), (RECT{120 - Extent(c.dc(), u"Right").cx, 40 - tm.tmHeight, 120, 40}));
}

TEST(DrawText, WordBreakWrapsAtSpacesAndKeepsLongWordsWhole) {
  PixelCanvas c(100, 100);
  Selected font(c.dc(), Font(-13));
  TEXTMETRICW tm;
  GetTextMetricsW(c.dc(), &tm);
  int word = Extent(c.dc(), u"aaaa").cx;
  RECT r{0, 0, word + word / 2, 0};
  EXPECT_EQ(DrawTextW(c.dc(), u"aaaa bbbb cccc", -1, &r, DT_WORDBREAK | DT_CALCRECT),
            3 * tm.tmHeight);
  EXPECT_EQ(r.right, word);
  RECT wide{0, 0, 2 * word + Extent(c.dc(), u" ").cx, 0};
  EXPECT_EQ(DrawTextW(c.dc(), u"aaaa bbbb cccc", -1, &wide, DT_WORDBREAK | DT_CALCRECT),
            2 * tm.tmHeight);
  RECT narrow{0, 0, word / 2, 0};
  EXPECT_EQ(DrawTextW(c.dc(), u"aaaaaaaa", -1, &narrow, DT_WORDBREAK | DT_CALCRECT), tm.tmHeight);
}

TEST(DrawText, AmpersandUnderlinesTheNextCharacterUnlessNoPrefix) {
  PixelCanvas c(100, 30);
  Selected font(c.dc(), Font(-13));
  SetBkMode(c.dc(), TRANSPARENT);
  TEXTMETRICW tm;
  GetTextMetricsW(c.dc(), &tm);
  RECT r{0, 0, 100, 30};
  RECT m = r;
  DrawTextW(c.dc(), u"&File", -1, &m, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(m.right, Extent(c.dc(), u"File").cx);
  m = r;
  DrawTextW(c.dc(), u"&&", -1, &m, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(m.right, Extent(c.dc(), u"&").cx);
  m = r;
  DrawTextW(c.dc(), u"&File", -1, &m, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  EXPECT_EQ(m.right, Extent(c.dc(), u"&File").cx);

  DrawTextW(c.dc(), u"&File", -1, &r, DT_SINGLELINE);
  PixelCanvas plain(100, 30);
  {
    Selected f2(plain.dc(), Font(-13));
    SetBkMode(plain.dc(), TRANSPARENT);
    DrawTextW(plain.dc(), u"File", -1, &r, DT_SINGLELINE);
  }
  // The only difference is a line under the F, below the baseline.
  int fw = Extent(c.dc(), u"F").cx;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 100; ++x)
      if (c.At(x, y) != plain.At(x, y)) {
        ASSERT_LT(x, fw) << c.Picture();
        ASSERT_GE(y, tm.tmAscent) << c.Picture();
      }
  EXPECT_FALSE(SamePixels(c, plain));
}

TEST(DrawText, EndEllipsisShortensTooLongText) {
  PixelCanvas c(200, 30);
  Selected font(c.dc(), Font(-13));
  int limit = Extent(c.dc(), u"Hello wor").cx;
  RECT r{0, 0, limit, 20};
  DrawTextW(c.dc(), u"Hello world, again", -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_CALCRECT);
  EXPECT_LE(r.right, limit);
  EXPECT_GT(r.right, limit - Extent(c.dc(), u"W...").cx);
  RECT fits{0, 0, 200, 20};
  DrawTextW(c.dc(), u"Hello", -1, &fits, DT_SINGLELINE | DT_END_ELLIPSIS | DT_CALCRECT);
  EXPECT_EQ(fits.right, Extent(c.dc(), u"Hello").cx);
}

TEST(DrawText, TabsExpandToEightAverageCharacters) {
  PixelCanvas c(300, 30);
  Selected font(c.dc(), Font(-13));
  TEXTMETRICW tm;
  GetTextMetricsW(c.dc(), &tm);
  RECT r{0, 0, 300, 20};
  DrawTextW(c.dc(), u"a\tb", -1, &r, DT_SINGLELINE | DT_EXPANDTABS | DT_CALCRECT);
  EXPECT_EQ(r.right, 8 * tm.tmAveCharWidth + Extent(c.dc(), u"b").cx);
}

TEST(DrawText, ClipsToItsRectangleUnlessNoClip) {
  PixelCanvas c(100, 30);
  Selected font(c.dc(), Font(-20, u"Arial", FW_BOLD));
  SetBkMode(c.dc(), TRANSPARENT);
  RECT r{10, 5, 25, 25};
  DrawTextW(c.dc(), u"WWWW", -1, &r, DT_SINGLELINE);
  EXPECT_TRUE(Inside(c.InkBox(), r)) << c.Picture();
  c.Clear(0xFFFFFF);
  DrawTextW(c.dc(), u"WWWW", -1, &r, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_GT(c.InkBox().right, 40);
}
