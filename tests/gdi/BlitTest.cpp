#include <gtest/gtest.h>

#include "Gdi.h"
#include "PixelPicture.h"

namespace {

void Paint(PixelCanvas& c, const std::vector<std::vector<COLORREF>>& rows) {
  for (int y = 0; y < int(rows.size()); ++y)
    for (int x = 0; x < int(rows[std::size_t(y)].size()); ++x)
      SetPixel(c.dc(), x, y, rows[std::size_t(y)][std::size_t(x)]);
}

constexpr COLORREF R = RGB(255, 0, 0), G = RGB(0, 128, 0), B = RGB(0, 0, 255), Y = RGB(255, 255, 0),
                   K = RGB(0, 0, 0), W = RGB(255, 255, 255);

// A 4 x 3 source whose every pixel is told apart: "rgby" / "by#g" / "#.rb".
void PaintSource(PixelCanvas& c) { Paint(c, {{R, G, B, Y}, {B, Y, K, G}, {K, W, R, B}}); }

// Bit by bit from the truth table: result bit = table[p * 4 + s * 2 + d].
COLORREF Ternary(BYTE rop, COLORREF p, COLORREF s, COLORREF d) {
  COLORREF out = 0;
  for (int bit = 0; bit < 24; ++bit) {
    int i = int(((p >> bit) & 1) << 2 | ((s >> bit) & 1) << 1 | ((d >> bit) & 1));
    out |= COLORREF((rop >> i) & 1) << bit;
  }
  return out;
}

}  // namespace

TEST(Blit, EveryTernaryOperationFollowsItsTruthTable) {
  const COLORREF src[] = {0x000000, 0xFFFFFF, 0x00FF00, 0x5A3C96, 0x0F0F0F};
  const COLORREF dst[] = {0x123456, 0xFFFFFF, 0x000000, 0xA5C369, 0xF0F0F0};
  const COLORREF pat = 0x33CC0F;
  PixelCanvas s(5, 1), d(5, 1);
  for (int x = 0; x < 5; ++x) SetPixel(s.dc(), x, 0, src[x]);
  Selected brush(d.dc(), CreateSolidBrush(pat));
  for (int rop = 0; rop < 256; ++rop) {
    for (int x = 0; x < 5; ++x) SetPixel(d.dc(), x, 0, dst[x]);
    BitBlt(d.dc(), 0, 0, 5, 1, s.dc(), 0, 0, MAKEROP3(BYTE(rop)));
    for (int x = 0; x < 5; ++x)
      ASSERT_EQ(d.At(x, 0), Ternary(BYTE(rop), pat, src[x], dst[x]))
          << "rop " << rop << " pixel " << x;
  }
}

TEST(Blit, NamedOperationsKeepTheirPlatformValues) {
  EXPECT_EQ(SRCCOPY >> 16, 0xCCu);
  EXPECT_EQ(SRCPAINT >> 16, 0xEEu);
  EXPECT_EQ(SRCAND >> 16, 0x88u);
  EXPECT_EQ(SRCINVERT >> 16, 0x66u);
  EXPECT_EQ(SRCERASE >> 16, 0x44u);
  EXPECT_EQ(NOTSRCCOPY >> 16, 0x33u);
  EXPECT_EQ(MERGECOPY >> 16, 0xC0u);
  EXPECT_EQ(PATCOPY >> 16, 0xF0u);
  EXPECT_EQ(PATINVERT >> 16, 0x5Au);
  EXPECT_EQ(DSTINVERT >> 16, 0x55u);
  EXPECT_EQ(BLACKNESS >> 16, 0x00u);
  EXPECT_EQ(WHITENESS >> 16, 0xFFu);
}

TEST(Blit, SourceInvertTwiceRestoresTheDestination) {
  PixelCanvas src(4, 3), dst(4, 3, RGB(12, 200, 77));
  PaintSource(src);
  BitBlt(dst.dc(), 0, 0, 4, 3, src.dc(), 0, 0, SRCINVERT);
  EXPECT_NE(dst.Count(RGB(12, 200, 77)), 12);
  BitBlt(dst.dc(), 0, 0, 4, 3, src.dc(), 0, 0, SRCINVERT);
  EXPECT_EQ(dst.Count(RGB(12, 200, 77)), 12);
}

TEST(Blit, NegativeWidthMirrorsFromTheOriginColumn) {
  PixelCanvas src(4, 3), dst(6, 3);
  PaintSource(src);
  // Origin at column 4, four columns wide towards the left: columns 1..4.
  StretchBlt(dst.dc(), 4, 0, -4, 3, src.dc(), 0, 0, 4, 3, SRCCOPY);
  EXPECT_TRUE(LooksLike(dst, {
                                 ".ybgr.",
                                 ".g#yb.",
                                 ".br.#.",
                             }));
}

TEST(Blit, NegativeHeightMirrorsAndBothMirrorTogether) {
  PixelCanvas src(4, 3), flipped(4, 3), turned(4, 3), fromSrc(4, 3);
  PaintSource(src);
  StretchBlt(flipped.dc(), 0, 2, 4, -3, src.dc(), 0, 0, 4, 3, SRCCOPY);
  EXPECT_TRUE(LooksLike(flipped, {"#.rb", "by#g", "rgby"}));
  StretchBlt(turned.dc(), 3, 2, -4, -3, src.dc(), 0, 0, 4, 3, SRCCOPY);
  EXPECT_TRUE(LooksLike(turned, {"br.#", "g#yb", "ybgr"}));
  // A negative source extent mirrors the same way.
  StretchBlt(fromSrc.dc(), 0, 0, 4, 3, src.dc(), 3, 0, -4, 3, SRCCOPY);
  EXPECT_TRUE(LooksLike(fromSrc, {"ybgr", "g#yb", "br.#"}));
}

TEST(Blit, StretchDoublesEachPixel) {
  PixelCanvas src(2, 2), dst(4, 4);
  Paint(src, {{R, G}, {B, K}});
  StretchBlt(dst.dc(), 0, 0, 4, 4, src.dc(), 0, 0, 2, 2, SRCCOPY);
  EXPECT_TRUE(LooksLike(dst, {"rrgg", "rrgg", "bb##", "bb##"}));
}

TEST(Blit, QuadrantMirroringWithinOneBitmapGivesASymmetricPicture) {
  // The box-gradient mirroring: the top-left quadrant flipped down (stretched one column
  // wider), then the left half flipped right, all within the same bitmap.
  const int W = 8, H = 6, HW = W / 2, HH = H / 2, Odd = HW % 2;
  PixelCanvas c(W, H, RGB(1, 2, 3));
  const COLORREF q[] = {R,
                        G,
                        B,
                        Y,
                        K,
                        W,
                        RGB(9, 9, 9),
                        RGB(50, 60, 70),
                        RGB(200, 100, 0),
                        RGB(7, 77, 177),
                        RGB(255, 0, 255),
                        RGB(0, 255, 255)};
  for (int y = 0; y < HH; ++y)
    for (int x = 0; x < HW; ++x) SetPixel(c.dc(), x, y, q[y * HW + x]);
  StretchBlt(c.dc(), 0, H - 1, HW + 1, -HH, c.dc(), 0, 0, HW, HH, SRCCOPY);
  StretchBlt(c.dc(), W - 1, 0, -(HW + Odd), H, c.dc(), 0, 0, HW - Odd, H, SRCCOPY);
  // Bottom half: the quadrant upside down, its 4 columns spread over 5 (column 2 twice, the
  // fifth then overwritten); right half: the left half mirrored.
  const int spread[HW] = {0, 1, 2, 2};
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      int lx = x < HW ? x : W - 1 - x;
      COLORREF want = y < HH ? q[y * HW + lx] : q[(H - 1 - y) * HW + spread[lx]];
      EXPECT_EQ(c.At(x, y), want) << x << "," << y;
    }
  EXPECT_EQ(c.At(0, 0), R);
  EXPECT_EQ(c.At(W - 1, H - 1), R);
  EXPECT_EQ(c.Count(RGB(1, 2, 3)), 0);
}

TEST(Blit, ColourToMonochromeMarksTheSourceBackgroundWhite) {
  PixelCanvas src(4, 3), mask(4, 3, 0xFFFFFF, true);
  PaintSource(src);
  SetBkColor(src.dc(), B);
  BitBlt(mask.dc(), 0, 0, 4, 3, src.dc(), 0, 0, SRCCOPY);
  EXPECT_TRUE(LooksLike(mask, {"##.#", ".###", "###."}));
}

TEST(Blit, MonochromeToColourTakesTheDestinationsTextAndBackground) {
  const BYTE bits[4] = {0xA0, 0x00, 0x50, 0x00};  // rows of two bytes: 1010 and 0101
  HBITMAP mono = CreateBitmap(4, 2, 1, 1, bits);
  HDC mdc = CreateCompatibleDC(0);
  HGDIOBJ old = SelectObject(mdc, mono);
  PixelCanvas dst(4, 2);
  SetTextColor(dst.dc(), R);
  SetBkColor(dst.dc(), G);
  BitBlt(dst.dc(), 0, 0, 4, 2, mdc, 0, 0, SRCCOPY);
  EXPECT_TRUE(LooksLike(dst, {"grgr", "rgrg"}));
  SelectObject(mdc, old);
  DeleteDC(mdc);
  DeleteObject(mono);
}

TEST(Blit, MaskMadeByConversionDrawsAnImageTransparently) {
  // The classic three-step transparent draw: invert in, cut out through the mask, invert back.
  PixelCanvas image(4, 3), mask(4, 3, 0xFFFFFF, true), dst(4, 3, RGB(0, 255, 255));
  PaintSource(image);
  SetBkColor(image.dc(), B);  // blue is the transparent colour
  BitBlt(mask.dc(), 0, 0, 4, 3, image.dc(), 0, 0, SRCCOPY);
  SetTextColor(dst.dc(), K);
  SetBkColor(dst.dc(), W);
  BitBlt(dst.dc(), 0, 0, 4, 3, image.dc(), 0, 0, SRCINVERT);
  BitBlt(dst.dc(), 0, 0, 4, 3, mask.dc(), 0, 0, SRCAND);
  BitBlt(dst.dc(), 0, 0, 4, 3, image.dc(), 0, 0, SRCINVERT);
  EXPECT_TRUE(LooksLike(dst, {"rgcy", "cy#g", "#.rc"}));
}

TEST(Blit, TransparentBltLeavesOutTheKeyColourWhileStretching) {
  PixelCanvas src(2, 2), dst(4, 4, Y);
  Paint(src, {{R, B}, {B, K}});
  TransparentBlt(dst.dc(), 0, 0, 4, 4, src.dc(), 0, 0, 2, 2, B);
  EXPECT_TRUE(LooksLike(dst, {"rryy", "rryy", "yy##", "yy##"}));
}

TEST(Blit, OverlappingCopyWithinABitmapReadsTheOldPixels) {
  PixelCanvas c(6, 1);
  Paint(c, {{R, G, B, Y, K, W}});
  BitBlt(c.dc(), 1, 0, 5, 1, c.dc(), 0, 0, SRCCOPY);
  EXPECT_TRUE(LooksLike(c, {"rrgby#"}));
  BitBlt(c.dc(), 0, 0, 5, 1, c.dc(), 1, 0, SRCCOPY);
  EXPECT_TRUE(LooksLike(c, {"rgby##"}));
}

TEST(Blit, PixelsWhoseSourceLiesOutsideTheBitmapAreLeftAlone) {
  PixelCanvas src(2, 2, K), dst(4, 4);
  BitBlt(dst.dc(), 0, 0, 4, 4, src.dc(), -1, -1, SRCCOPY);
  EXPECT_TRUE(LooksLike(dst, {"....", ".##.", ".##.", "...."}));
}

TEST(Blit, PatBltUsesTheBrushAndDestinationOnly) {
  PixelCanvas c(4, 2, G);
  Selected brush(c.dc(), CreateSolidBrush(R));
  PatBlt(c.dc(), 0, 0, 2, 2, PATCOPY);
  PatBlt(c.dc(), 3, 0, -1, 2, DSTINVERT);  // negative width: columns 2
  EXPECT_EQ(c.At(0, 0), R);
  EXPECT_EQ(c.At(2, 1), RGB(255, 127, 255));
  EXPECT_EQ(c.At(3, 1), G);
  EXPECT_FALSE(PatBlt(c.dc(), 0, 0, 1, 1, SRCCOPY));
}

TEST(Blit, AlphaBlendWithConstantAlphaMixesEvenly) {
  PixelCanvas src(2, 1, RGB(200, 0, 100)), dst(2, 1, RGB(0, 100, 100));
  BLENDFUNCTION bf{AC_SRC_OVER, 0, 128, 0};
  AlphaBlend(dst.dc(), 0, 0, 2, 1, src.dc(), 0, 0, 2, 1, bf);
  COLORREF c = dst.At(0, 0);
  EXPECT_NEAR(GetRValue(c), 100, 1);
  EXPECT_NEAR(GetGValue(c), 50, 1);
  EXPECT_NEAR(GetBValue(c), 100, 1);
}

TEST(Blit, DisplaySourceCannotBeReadButDoesNotFail) {
  PixelCanvas dst(2, 2);
  HDC screen = CreateDCW(u"DISPLAY", nullptr, nullptr, nullptr);
  ASSERT_NE(screen, 0u);
  EXPECT_FALSE(BitBlt(dst.dc(), 0, 0, 2, 2, screen, 0, 0, SRCCOPY));
  EXPECT_TRUE(BitBlt(screen, 0, 0, 2, 2, dst.dc(), 0, 0, SRCCOPY));  // drawing goes nowhere
  EXPECT_EQ(dst.Count(W), 4);
  DeleteDC(screen);
}

namespace {

void Gradient(HDC dc, int l, int t, int r, int b, COLORREF c1, COLORREF c2, ULONG mode) {
  TRIVERTEX v[2];
  v[0].x = l;
  v[0].y = t;
  v[0].Red = COLOR16(GetRValue(c1) << 8);
  v[0].Green = COLOR16(GetGValue(c1) << 8);
  v[0].Blue = COLOR16(GetBValue(c1) << 8);
  v[1].x = r;
  v[1].y = b;
  v[1].Red = COLOR16(GetRValue(c2) << 8);
  v[1].Green = COLOR16(GetGValue(c2) << 8);
  v[1].Blue = COLOR16(GetBValue(c2) << 8);
  GRADIENT_RECT rect{0, 1};
  GradientFill(dc, v, 2, &rect, 1, mode);
}

}  // namespace

TEST(Blit, HorizontalGradientStartsExactlyAndStopsOneStepShort) {
  PixelCanvas c(256, 2);
  Gradient(c.dc(), 0, 0, 256, 1, RGB(0, 0, 0), RGB(255, 255, 255), GRADIENT_FILL_RECT_H);
  EXPECT_EQ(c.At(0, 0), RGB(0, 0, 0));
  EXPECT_EQ(c.At(128, 0), RGB(127, 127, 127));
  EXPECT_EQ(c.At(255, 0), RGB(254, 254, 254));
  EXPECT_EQ(c.At(0, 1), W);  // the bottom edge is exclusive
  for (int x = 1; x < 256; ++x) ASSERT_GE(GetRValue(c.At(x, 0)), GetRValue(c.At(x - 1, 0)));
}

TEST(Blit, VerticalGradientRunsTopToBottomWithColoursFollowingTheirVertices) {
  PixelCanvas c(3, 4);
  Gradient(c.dc(), 0, 0, 2, 4, RGB(0, 0, 200), RGB(0, 200, 0), GRADIENT_FILL_RECT_V);
  EXPECT_EQ(c.At(0, 0), RGB(0, 0, 200));
  EXPECT_EQ(c.At(1, 1), RGB(0, 50, 150));
  EXPECT_EQ(c.At(0, 3), RGB(0, 150, 50));
  EXPECT_EQ(c.At(2, 0), W);
  // Vertices given bottom first: the colours stay with their corners.
  PixelCanvas d(3, 4);
  Gradient(d.dc(), 2, 4, 0, 0, RGB(0, 200, 0), RGB(0, 0, 200), GRADIENT_FILL_RECT_V);
  EXPECT_TRUE(SamePixels(c, d));
}
