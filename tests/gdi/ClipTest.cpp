#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "Gdi.h"
#include "GdiSurface.h"
#include "PixelPicture.h"

namespace {

void FillAll(HDC dc, int w, int h, COLORREF color) {
  HBRUSH b = CreateSolidBrush(color);
  RECT r{0, 0, w, h};
  FillRect(dc, &r, b);
  DeleteObject(b);
}

std::vector<RECT> Rects(HRGN rgn) {
  std::vector<RECT> out(std::size_t(GetRegionRects(rgn, nullptr, 0)));
  GetRegionRects(rgn, out.data(), int(out.size()));
  return out;
}

}  // namespace

TEST(Clip, IntersectClipRectLimitsDrawingAndTheClipBox) {
  PixelCanvas c(6, 4);
  EXPECT_EQ(IntersectClipRect(c.dc(), 1, 1, 4, 3), SIMPLEREGION);
  FillAll(c.dc(), 6, 4, 0);
  EXPECT_TRUE(LooksLike(c, {"......", ".###..", ".###..", "......"}));
  RECT box;
  EXPECT_EQ(GetClipBox(c.dc(), &box), SIMPLEREGION);
  EXPECT_EQ(box, (RECT{1, 1, 4, 3}));
  EXPECT_EQ(IntersectClipRect(c.dc(), 4, 0, 6, 4), NULLREGION);
  EXPECT_EQ(GetClipBox(c.dc(), &box), NULLREGION);
  EXPECT_EQ(box, (RECT{0, 0, 0, 0}));
}

TEST(Clip, ExcludeClipRectLeavesAHoleAndMakesAComplexRegion) {
  PixelCanvas c(6, 4);
  EXPECT_EQ(ExcludeClipRect(c.dc(), 2, 1, 4, 3), COMPLEXREGION);
  FillAll(c.dc(), 6, 4, 0);
  EXPECT_TRUE(LooksLike(c, {"######", "##..##", "##..##", "######"}));
  RECT box;
  EXPECT_EQ(GetClipBox(c.dc(), &box), COMPLEXREGION);
  EXPECT_EQ(box, (RECT{0, 0, 6, 4}));
  EXPECT_TRUE(PtVisible(c.dc(), 1, 1));
  EXPECT_FALSE(PtVisible(c.dc(), 2, 1));
  RECT inHole{2, 1, 4, 3}, across{1, 1, 3, 2};
  EXPECT_FALSE(RectVisible(c.dc(), &inHole));
  EXPECT_TRUE(RectVisible(c.dc(), &across));
}

TEST(Clip, ViewportOriginMovesDrawingAndLogicalClipsButNotDeviceRegions) {
  PixelCanvas c(8, 6);
  SetViewportOrgEx(c.dc(), 3, 2, nullptr);
  POINT org;
  GetViewportOrgEx(c.dc(), &org);
  EXPECT_EQ(org, (POINT{3, 2}));
  IntersectClipRect(c.dc(), 0, 0, 4, 3);  // logical: device (3, 2)-(7, 5)
  RECT r{-3, -2, 2, 2};
  FillRect(c.dc(), &r, HBRUSH(GetStockObject(BLACK_BRUSH)));
  EXPECT_TRUE(LooksLike(c, {
                               "........",
                               "........",
                               "...##...",
                               "...##...",
                               "........",
                               "........",
                           }));
  RECT box;
  GetClipBox(c.dc(), &box);
  EXPECT_EQ(box, (RECT{0, 0, 4, 3}));
  // A selected region is in device units whatever the viewport.
  HRGN rgn = CreateRectRgn(0, 0, 2, 2);
  SelectClipRgn(c.dc(), rgn);
  DeleteObject(rgn);
  GetClipBox(c.dc(), &box);
  EXPECT_EQ(box, (RECT{-3, -2, -1, 0}));
}

TEST(Clip, SaveDCAndRestoreDCBringBackClipColoursAndObjects) {
  PixelCanvas c(6, 2);
  HPEN red = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
  HGDIOBJ original = SelectObject(c.dc(), red);
  int level1 = SaveDC(c.dc());
  EXPECT_EQ(level1, 1);
  IntersectClipRect(c.dc(), 0, 0, 1, 1);
  SetTextColor(c.dc(), RGB(1, 2, 3));
  SelectObject(c.dc(), GetStockObject(WHITE_PEN));
  SetViewportOrgEx(c.dc(), 5, 5, nullptr);
  int level2 = SaveDC(c.dc());
  EXPECT_EQ(level2, 2);
  SetBkMode(c.dc(), TRANSPARENT);
  EXPECT_TRUE(RestoreDC(c.dc(), -1));
  EXPECT_EQ(GetBkMode(c.dc()), OPAQUE);
  EXPECT_EQ(GetTextColor(c.dc()), RGB(1, 2, 3));
  EXPECT_TRUE(RestoreDC(c.dc(), level1));
  EXPECT_EQ(GetTextColor(c.dc()), RGB(0, 0, 0));
  EXPECT_EQ(GetCurrentObject(c.dc(), OBJ_PEN), red);
  POINT org;
  GetViewportOrgEx(c.dc(), &org);
  EXPECT_EQ(org, (POINT{0, 0}));
  RECT box;
  EXPECT_EQ(GetClipBox(c.dc(), &box), SIMPLEREGION);
  EXPECT_EQ(box, (RECT{0, 0, 6, 2}));
  EXPECT_FALSE(RestoreDC(c.dc(), 1));  // nothing saved any more
  MoveToEx(c.dc(), 0, 0, nullptr);
  LineTo(c.dc(), 6, 0);
  EXPECT_TRUE(LooksLike(c, {"rrrrrr", "......"}));
  SelectObject(c.dc(), original);
  DeleteObject(red);
}

TEST(Regions, CombineKeepsABandedCanonicalForm) {
  HRGN a = CreateRectRgn(0, 0, 10, 10), b = CreateRectRgn(5, 5, 15, 15),
       r = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(CombineRgn(r, a, b, RGN_OR), COMPLEXREGION);
  EXPECT_EQ(Rects(r), (std::vector<RECT>{{0, 0, 10, 5}, {0, 5, 15, 10}, {5, 10, 15, 15}}));
  EXPECT_EQ(CombineRgn(r, a, b, RGN_AND), SIMPLEREGION);
  EXPECT_EQ(Rects(r), (std::vector<RECT>{{5, 5, 10, 10}}));
  EXPECT_EQ(CombineRgn(r, a, b, RGN_DIFF), COMPLEXREGION);
  EXPECT_EQ(Rects(r), (std::vector<RECT>{{0, 0, 10, 5}, {0, 5, 5, 10}}));
  EXPECT_EQ(CombineRgn(r, a, a, RGN_XOR), NULLREGION);
  // The same area built two ways is the same region.
  HRGN left = CreateRectRgn(0, 0, 5, 10), right = CreateRectRgn(5, 0, 10, 10);
  CombineRgn(left, left, right, RGN_OR);
  EXPECT_TRUE(EqualRgn(left, a));
  EXPECT_TRUE(PtInRegion(a, 0, 0));
  EXPECT_FALSE(PtInRegion(a, 10, 0));
  OffsetRgn(a, 3, -2);
  RECT box;
  EXPECT_EQ(GetRgnBox(a, &box), SIMPLEREGION);
  EXPECT_EQ(box, (RECT{3, -2, 13, 8}));
  for (HRGN h : {a, b, r, left, right}) DeleteObject(h);
}

TEST(Regions, RandomCombinationsAgreeWithAPixelModel) {
  std::mt19937 rng(12345);
  constexpr int N = 24;
  using Grid = std::vector<bool>;
  auto rectGrid = [](const RECT& q) {
    Grid g(N * N);
    for (int y = q.top; y < q.bottom; ++y)
      for (int x = q.left; x < q.right; ++x) g[std::size_t(y * N + x)] = true;
    return g;
  };
  for (int round = 0; round < 60; ++round) {
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    Grid model(N * N);
    for (int step = 0; step < 8; ++step) {
      int x0 = int(rng() % N), y0 = int(rng() % N), x1 = int(rng() % (N + 1)),
          y1 = int(rng() % (N + 1));
      RECT q{std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
      int mode = RGN_AND + int(rng() % 4);
      if (step == 0) mode = RGN_OR;
      HRGN piece = CreateRectRgnIndirect(&q);
      CombineRgn(rgn, rgn, piece, mode);
      DeleteObject(piece);
      Grid g = rectGrid(q);
      for (std::size_t i = 0; i < model.size(); ++i) {
        bool a = model[i], b = g[i];
        model[i] = mode == RGN_AND   ? a && b
                   : mode == RGN_OR  ? a || b
                   : mode == RGN_XOR ? a != b
                                     : a && !b;
      }
      for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x)
          ASSERT_EQ(bool(PtInRegion(rgn, x, y)), bool(model[std::size_t(y * N + x)]))
              << "round " << round << " step " << step << " at " << x << "," << y;
      // Disjoint, sorted, and bands never split needlessly.
      auto rects = Rects(rgn);
      for (std::size_t i = 1; i < rects.size(); ++i) {
        const RECT& p = rects[i - 1];
        const RECT& n = rects[i];
        ASSERT_TRUE(p.top < n.top || (p.top == n.top && p.bottom == n.bottom && p.right < n.left));
      }
    }
    DeleteObject(rgn);
  }
}

TEST(Regions, PolygonRegionUsesTheFillRule) {
  POINT tri[] = {{5, 7}, {2, 3}, {9, 3}};
  HRGN rgn = CreatePolygonRgn(tri, 3, ALTERNATE);
  RECT box;
  GetRgnBox(rgn, &box);
  EXPECT_EQ(box, (RECT{2, 3, 9, 7}));
  EXPECT_TRUE(PtInRegion(rgn, 5, 6));
  EXPECT_FALSE(PtInRegion(rgn, 4, 6));
  DeleteObject(rgn);
}

TEST(Clip, SurfaceDCsShareABitmapEachWithItsOwnOriginAndVisibleArea) {
  HBITMAP surface = GdiCreateBitmap32(20, 10);
  HDC window = GdiCreateSurfaceDC(surface, {0, 0}, {0, 0, 20, 10});
  HDC client = GdiCreateSurfaceDC(surface, {4, 3}, {4, 3, 14, 8});
  FillAll(window, 20, 10, RGB(255, 255, 255));
  FillAll(client, 100, 100, 0);  // reaches only its visible area
  EXPECT_EQ(GetPixel(window, 4, 3), 0u);
  EXPECT_EQ(GetPixel(window, 13, 7), 0u);
  EXPECT_EQ(GetPixel(window, 14, 7), 0xFFFFFFu);
  EXPECT_EQ(GetPixel(window, 3, 3), 0xFFFFFFu);
  EXPECT_EQ(GetPixel(client, 0, 0), 0u);
  EXPECT_EQ(GetPixel(client, -1, 0), CLR_INVALID);
  RECT box;
  GetClipBox(client, &box);
  EXPECT_EQ(box, (RECT{0, 0, 10, 5}));
  // A window that moved: the same DC now draws elsewhere.
  GdiSetSurfaceDCArea(client, {0, 0}, {0, 0, 2, 2}, 0);
  FillAll(client, 100, 100, RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(window, 1, 1), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(window, 2, 2), 0xFFFFFFu);
  DeleteDC(client);
  DeleteDC(window);
  DeleteObject(surface);
}

TEST(Regions, FrameRgnPaintsWhatLiesWithinTheFrameWidthOfTheEdge) {
  // Two blocks with a two-pixel gap and a notch: a pixel is framed unless the whole box of
  // +-w columns and +-h rows around it is inside the region.
  const int w = 2, h = 1, N = 24;
  HRGN rgn = CreateRectRgn(1, 1, 10, 12);
  HRGN other = CreateRectRgn(12, 2, 23, 20);
  HRGN notch = CreateRectRgn(15, 8, 17, 9);
  CombineRgn(rgn, rgn, other, RGN_OR);
  CombineRgn(rgn, rgn, notch, RGN_DIFF);
  PixelCanvas c(N, N);
  FrameRgn(c.dc(), rgn, HBRUSH(GetStockObject(BLACK_BRUSH)), w, h);
  for (int y = 0; y < N; ++y)
    for (int x = 0; x < N; ++x) {
      bool in = PtInRegion(rgn, x, y), deep = in;
      for (int dy = -h; dy <= h; ++dy)
        for (int dx = -w; dx <= w; ++dx) deep = deep && PtInRegion(rgn, x + dx, y + dy);
      ASSERT_EQ(c.At(x, y) == 0, in && !deep) << x << "," << y << "\n" << c.Picture();
    }
  for (HRGN r : {rgn, other, notch}) DeleteObject(r);
}
