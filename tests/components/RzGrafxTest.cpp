// Gradient arithmetic and plans, then the routines painted on real canvases pixel by pixel.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "GdiSurface.h"
#include "RzGrafx.h"

namespace {

constexpr TColor kBlack = RGB(0, 0, 0), kWhite = RGB(255, 255, 255);
constexpr TColor kGround = RGB(0, 255, 0);  // never a gradient colour below

TColor Grey(int v) { return RGB(BYTE(v), BYTE(v), BYTE(v)); }

TColor After(TColor base, TColor target, int count, int steps) {
  TGradientStepper s(base, target, count);
  for (int i = 0; i < steps; ++i) s.Advance();
  return s.Color();
}

// The number of steps from base that gives c (the test walks change colour at every step).
int StepIndex(TColor base, TColor target, int count, TColor c) {
  for (int i = 0; i <= 2 * count + 4; ++i)
    if (After(base, target, count, i) == c) return i;
  return -1;
}

class Board {
 public:
  Board(int w, int h) : bmp_(w, h) {
    bmp_.Canvas()->Brush()->SetColor(kGround);
    bmp_.Canvas()->FillRect(Rect(0, 0, w, h));
  }
  TCanvas* Canvas() { return bmp_.Canvas(); }
  HDC DC() { return bmp_.Canvas()->Handle(); }
  TBitmap* Bitmap() { return &bmp_; }
  TColor At(int x, int y) { return bmp_.Canvas()->Pixels(x, y); }
  void Set(int x, int y, TColor c) { bmp_.Canvas()->SetPixels(x, y, c); }
  // Every pixel is want(x, y); on failure the first difference and the picture in BBGGRR hex.
  ::testing::AssertionResult Is(const std::function<TColor(int, int)>& want) {
    for (int y = 0; y < bmp_.Height(); ++y)
      for (int x = 0; x < bmp_.Width(); ++x)
        if (At(x, y) != want(x, y)) {
          std::string grid;
          char buf[8];
          for (int r = 0; r < bmp_.Height(); ++r, grid += "\n")
            for (int c = 0; c < bmp_.Width(); ++c)
              grid += (std::snprintf(buf, sizeof buf, "%06X ", unsigned(At(c, r))), buf);
          std::snprintf(buf, sizeof buf, "%06X", unsigned(want(x, y)));
          return ::testing::AssertionFailure()
                 << "(" << x << ", " << y << ") should be " << buf << ", painted:\n"
                 << grid;
        }
    return ::testing::AssertionSuccess();
  }

 private:
  TBitmap bmp_;
};

}  // namespace

TEST(GradientArithmetic, FixedPointStepsTruncateTowardZeroAndClamp) {
  // Red rises 0..255 in 7 steps and, truncated, stops at 254; green falls 255..100 and,
  // truncated toward zero rather than down, lands on 100.
  EXPECT_EQ(After(RGB(0, 255, 10), RGB(255, 100, 10), 7, 1), RGB(36, 232, 10));
  EXPECT_EQ(After(RGB(0, 255, 10), RGB(255, 100, 10), 7, 7), RGB(254, 100, 10));
  EXPECT_EQ(After(RGB(1, 2, 3), kWhite, 0, 5), RGB(1, 2, 3));
  // Past the target a channel clamps rather than carrying into its neighbour.
  EXPECT_EQ(After(RGB(0, 255, 128), RGB(255, 0, 128), 2, 3), RGB(255, 0, 128));
}

TEST(GradientArithmetic, RunsMergeBandsToTheMinimumLength) {
  // Red 0..3 over 12 positions changes every fourth: equal colours make one band.
  EXPECT_EQ(BandsGradientPlan(-1, 12, RGB(3, 0, 0), kBlack, 1),
            (std::vector<TGradientBand>{{8, 12, 0}, {4, 8, 1}, {0, 4, 2}}));
  // Steps 1, 9, 16 and 255 over walks that change colour at every position: the step index
  // of each band's colour. Bands: 200 positions; box: 201 x 201, 101 steps, the band cut off
  // past zero left out; diagonal: 100 x 100, 142 steps, two phases of 72.
  auto indexes = [](auto plan, TColor base, TColor target, int count) {
    std::vector<int> v;
    for (auto& p : plan)
      if (int i = StepIndex(base, target, count, p.Color); v.empty() || v.back() != i)
        v.push_back(i);
    return v;
  };
  auto bands = [&](int steps) {
    return indexes(BandsGradientPlan(-1, 200, kBlack, kWhite, BYTE(steps)), kWhite, kBlack, 200);
  };
  auto box = [&](int steps) {
    return indexes(BoxGradientQuadrantPlan(201, 201, 0, 0, kBlack, kWhite, BYTE(steps)), kWhite,
                   kBlack, 101);
  };
  auto diagonal = [&](int steps) {
    return indexes(DiagonalGradientPlan(100, 100, kBlack, Grey(200), BYTE(steps)), kBlack,
                   Grey(200), 142);
  };
  auto every = [](int from, int to, int by) {
    std::vector<int> v;
    for (int i = from; i <= to; i += by) v.push_back(i);
    return v;
  };
  EXPECT_EQ(bands(1), every(0, 199, 1));
  EXPECT_EQ(bands(9), every(0, 174, 29));
  EXPECT_EQ(bands(16), every(0, 192, 16));
  EXPECT_EQ(bands(255), every(0, 198, 2));
  EXPECT_EQ(box(16), every(0, 68, 17));
  EXPECT_EQ(box(9), every(0, 58, 29));
  EXPECT_EQ(box(255), every(0, 98, 2));
  // Phase 1 closes in the colour of the band cut off; phase 2 goes on from step 72 and closes
  // two steps past the last band.
  std::vector<int> one = every(0, 142, 1);
  one.push_back(144);
  EXPECT_EQ(diagonal(1), one);
  EXPECT_EQ(diagonal(16), (std::vector<int>{0, 16, 32, 48, 64, 72, 88, 104, 120, 144}));
}

TEST(GradientArithmetic, EmptySidesEndAtOnce) {
  EXPECT_TRUE(DiagonalGradientPlan(0, 10, kBlack, kWhite, 1).empty());
  EXPECT_TRUE(DiagonalGradientPlan(10, 0, kBlack, kWhite, 1).empty());
  EXPECT_TRUE(DoublingPlan(8, 8, 0, 8).empty());
  // Margins past the quadrant leave no steps: the walk must still finish.
  EXPECT_LE(BoxGradientQuadrantPlan(10, 10, 4, 50, kBlack, kWhite, 1).size(), 8u);
}

TEST(FillByDoubling, CopiesDoubleAlternatelyAndTileTheBlock) {
  using C = TDoublingCopy;
  EXPECT_EQ(DoublingPlan(100, 30, 8, 30),
            (std::vector<C>{{8, 0, 8, 30}, {16, 0, 16, 30}, {32, 0, 32, 30}, {64, 0, 36, 30}}));
  EXPECT_EQ(DoublingPlan(20, 20, 5, 5),
            (std::vector<C>{{0, 5, 5, 5}, {5, 0, 5, 10}, {0, 10, 10, 10}, {10, 0, 10, 20}}));
  Board b(20, 14);
  const TColor block[2][3] = {{clRed, clBlue, clYellow}, {clAqua, clFuchsia, clNavy}};
  for (int i = 0; i < 6; ++i) b.Set(i % 3, i / 3, block[i / 3][i % 3]);
  FillByDoubling(b.DC(), 17, 11, 3, 2, SRCCOPY);
  EXPECT_TRUE(b.Is([&](int x, int y) { return x < 17 && y < 11 ? block[y % 2][x % 3] : kGround; }));
}

TEST(FillGradientRect, EqualColoursAreSolidAndSmallBoxesTooInEveryDirection) {
  const TColor caption = ColorToRGB(clActiveCaption);  // equal to clActiveCaption once resolved
  for (auto [w, h] : {std::pair{13, 9}, std::pair{1, 1}, std::pair{30, 3}})
    for (int d = gdDiagonalUp; d <= gdBigSquareBox; ++d) {
      Board b(w, h);
      FillGradientRect(b.Canvas(), Rect(0, 0, w, h), TGradientDirection(d), clActiveCaption,
                       caption, 1);
      EXPECT_TRUE(b.Is([&](int, int) { return caption; })) << "direction " << d;
    }
  for (auto [w, h] : {std::pair{4, 20}, std::pair{20, 4}})
    for (auto d : {gdHorizontalBox, gdVerticalBox, gdSquareBox, gdBigSquareBox}) {
      Board b(w, h);
      FillGradientRect(b.Canvas(), Rect(0, 0, w, h), d, clRed, clBlue, 1);
      EXPECT_TRUE(b.Is([](int, int) { return clRed; })) << "direction " << int(d);
    }
}

TEST(FillGradientRect, StraightBandsAndCentreSplits) {
  // Height 1: the stop colour; height 2: half-way above the start colour. Across the same,
  // a single column included.
  const TColor start = RGB(200, 100, 50), half = RGB(100, 50, 25);
  for (int n : {1, 2}) {
    Board rows(20, n), cols(n, 20);
    FillGradientRect(rows.Canvas(), Rect(0, 0, 20, n), gdHorizontalCenter, start, kBlack, 1);
    FillGradientRect(cols.Canvas(), Rect(0, 0, n, 20), gdVerticalCenter, start, kBlack, 1);
    auto want = [&](int i) { return n == 1 ? kBlack : i == 0 ? half : start; };
    EXPECT_TRUE(rows.Is([&](int, int y) { return want(y); }));
    EXPECT_TRUE(cols.Is([&](int x, int) { return want(x); }));
  }
  // Split after 5 of 11: 6 steps from black above, 5 from white below, widened to 37 by
  // doubling the 8-pixel strip.
  const int centre[11] = {212, 170, 127, 85, 42, 0, 51, 102, 153, 204, 255};
  Board b(37, 11);
  FillGradientRect(b.Canvas(), Rect(0, 0, 37, 11), gdHorizontalCenter, kWhite, kBlack, 1);
  EXPECT_TRUE(b.Is([&](int, int y) { return Grey(centre[y]); }));
}

TEST(FillGradientRect, EndDirectionsGoToThePlatformFillWithBoundsUnchanged) {
  for (TRect r : {Rect(2, 3, 12, 13), Rect(12, 13, 2, 3), Rect(12, 3, 2, 13)})
    for (auto [dir, mode] : {std::pair{gdHorizontalEnd, GRADIENT_FILL_RECT_V},
                             std::pair{gdVerticalEnd, GRADIENT_FILL_RECT_H}}) {
      Board got(16, 16), want(16, 16);
      FillGradientRect(got.Canvas(), r, dir, clRed, clBlue, 200);
      TRIVERTEX v[2];
      v[0] = {r.left, r.top, 0xFF00, 0, 0, 0};
      v[1] = {r.right, r.bottom, 0, 0, 0xFF00, 0};
      GRADIENT_RECT mesh{0, 1};
      GradientFill(want.DC(), v, 2, &mesh, 1, mode);
      EXPECT_TRUE(got.Is([&](int x, int y) { return want.At(x, y); })) << int(dir);
    }
  Board rows(16, 16);
  FillGradientRect(rows.Canvas(), Rect(2, 3, 12, 13), gdHorizontalEnd, clRed, clBlue, 1);
  EXPECT_EQ(rows.At(11, 3), clRed);
}

TEST(RenderGradientBitmap, ReversedRectanglePaintedAtLeftTopWithAbsoluteSize) {
  for (auto [given, placed] : {std::pair{Rect(15, 12, 5, 2), Rect(15, 12, 25, 22)},
                               std::pair{Rect(20, 20, 8, 10), Rect(20, 20, 32, 30)}})
    for (auto d : {gdHorizontalCenter, gdSquareBox, gdDiagonalUp}) {
      Board got(40, 40), want(40, 40);
      RenderGradientBitmap(got.Canvas(), given, d, clRed, clBlue, 1);
      RenderGradientBitmap(want.Canvas(), placed, d, clRed, clBlue, 1);
      EXPECT_TRUE(got.Is([&](int x, int y) {
        const bool inside =
            x >= placed.left && x < placed.right && y >= placed.top && y < placed.bottom;
        return inside ? want.At(x, y) : kGround;
      })) << int(d);
    }
}

TEST(RenderGradientBitmap, BoxBandsMirrorAndUnpaintedOuterBand) {
  // 9 x 9 square: the top-left 5 x 5 holds L-shaped bands 102, 153, 204 round a white centre;
  // the right part mirrors the left; the bottom row is the top row flipped.
  Board b(9, 9);
  FillGradientRect(b.Canvas(), Rect(0, 0, 9, 9), gdSquareBox, kBlack, kWhite, 1);
  const int band[5] = {102, 153, 204, 255, 255};
  EXPECT_TRUE(b.Is([&](int x, int y) {
    const int mx = std::min(x, 8 - x);
    return y == 8 ? Grey(102) : y < 5 ? Grey(band[std::min(mx, y)]) : b.At(8 - x, y);
  }));
  // Red 2 to 0: the band reaching past zero is never painted. A big square box has no fill
  // beneath, so the new bitmap's white shows at its edges; a square box shows its start.
  Board big(20, 20), square(20, 20);
  FillGradientRect(big.Canvas(), Rect(0, 0, 20, 20), gdBigSquareBox, kBlack, RGB(2, 0, 0), 1);
  FillGradientRect(square.Canvas(), Rect(0, 0, 20, 20), gdSquareBox, kBlack, RGB(2, 0, 0), 1);
  for (auto [x, y] : {std::pair{0, 0}, std::pair{19, 0}, std::pair{0, 19}, std::pair{19, 19}}) {
    EXPECT_EQ(big.At(x, y), kWhite);
    EXPECT_EQ(square.At(x, y), kBlack);
  }
  EXPECT_EQ(big.At(1, 1), RGB(1, 0, 0));
}

TEST(MirrorQuadrant, FlipsIntoTheOtherQuadrants) {
  // Rows of the quadrant at (2, 3) of 12 x 10 come back flipped below and copied right.
  Board b(16, 16);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x) b.Set(2 + x, 3 + y, RGB(BYTE(10 * y + 10), 0, 0));
  MirrorQuadrant(b.DC(), 2, 3, 12, 10, SRCCOPY);
  EXPECT_TRUE(b.Is([](int x, int y) {
    if (x < 2 || x >= 14 || y < 3 || y >= 13) return kGround;
    return RGB(BYTE(10 * (y - 3 < 5 ? y - 3 : 12 - y) + 10), 0, 0);
  }));
  // An odd half width (5 of 10): the right six columns are the left four flipped and
  // stretched, the middle column included (top rows: the first blit leaves them alone).
  Board odd(10, 4);
  for (int x = 0; x < 40; ++x) odd.Set(x % 10, x / 10, RGB(0, BYTE(20 * (x % 10) + 20), 0));
  MirrorQuadrant(odd.DC(), 0, 0, 10, 4, SRCCOPY);
  for (int y = 0; y < 2; ++y) {
    int last = 0;
    for (int x = 9; x >= 4; --x) {
      const int from = GetGValue(odd.At(x, y)) / 20 - 1;
      EXPECT_TRUE(from >= last && from <= 3) << "(" << x << ", " << y << ")";
      last = from;
    }
    EXPECT_EQ(last, 3);
  }
}

TEST(FillDiagonalGradient, CornersAndBandOrder) {
  // Steps 9 wants runs longer than a phase: two triangles split at the diagonal, the second
  // one step past its colour (red clamped at 255, blue 130 past 128). No pen outline shows.
  const TColor stop = RGB(255, 0, 128);
  Board up(40, 40), down(40, 40);
  FillGradientRect(up.Canvas(), Rect(0, 0, 40, 40), gdDiagonalUp, kBlack, stop, 9);
  FillGradientRect(down.Canvas(), Rect(0, 0, 40, 40), gdDiagonalDown, RGB(0, 0, 200), stop, 9);
  EXPECT_TRUE(up.Is([&](int x, int y) { return x < y ? kBlack : RGB(255, 0, 130); }));
  EXPECT_TRUE(down.Is([&](int x, int y) { return x + y < 40 ? RGB(0, 0, 201) : stop; }));
  // 30 x 20, 37 steps: every pixel a colour of the walk, rising from the start colour in the
  // bottom-left corner to the far one.
  const TColor z = RGB(180, 90, 0);
  Board u(30, 20);
  FillGradientRect(u.Canvas(), Rect(0, 0, 30, 20), gdDiagonalUp, kBlack, z, 1);
  auto ui = [&](int x, int y) { return StepIndex(kBlack, z, 37, u.At(x, y)); };
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 30; ++x)
      EXPECT_TRUE(ui(x, y) >= 0 && (x == 0 || ui(x, y) >= ui(x - 1, y)) &&
                  (y == 0 || ui(x, y) <= ui(x, y - 1)))
          << "(" << x << ", " << y << ")";
  EXPECT_EQ(ui(0, 19), 0);
  EXPECT_GE(ui(29, 0), 35);
}

TEST(StretchDrawTransparent, TransparentPixelsKeepTheDestination) {
  Board src(4, 4);
  for (int i = 0; i < 16; ++i)
    src.Set(i % 4, i / 4, RGB(BYTE(40 * (i % 4) + 10), BYTE(40 * (i / 4) + 10), 7));
  src.Set(1, 1, clFuchsia);
  src.Set(2, 3, clFuchsia);
  src.Set(3, 0, ColorToRGB(clBtnFace));
  // Twice the size: fuchsia keeps the ground; a colour found nowhere leaves it all opaque.
  for (TColor key : {clFuchsia, clYellow}) {
    Board dst(10, 10);
    StretchDrawTransparent(dst.Canvas(), src.Bitmap(), Rect(0, 0, 8, 8), Rect(0, 0, 4, 4), key);
    EXPECT_TRUE(dst.Is([&](int x, int y) {
      const TColor c = x < 8 && y < 8 ? src.At(x / 2, y / 2) : kGround;
      return c == key ? kGround : c;
    }));
  }
  // Part of the source, a system colour resolved; only the destination's size counts.
  Board dst(6, 6);
  StretchDrawTransparent(dst.Canvas(), src.Bitmap(), Rect(2, 2, 5, 5), Rect(1, 0, 4, 3), clBtnFace);
  EXPECT_TRUE(dst.Is([&](int x, int y) {
    const TColor c = x < 3 && y < 3 ? src.At(x + 1, y) : kGround;
    return c == ColorToRGB(clBtnFace) ? kGround : c;
  }));
}

TEST(RzGrafx, EveryRoutineFreesWhatItCreates) {
  Board target(30, 20), src(4, 4);
  auto paintAll = [&] {
    for (int d = gdDiagonalUp; d <= gdBigSquareBox; ++d)
      FillGradientRect(target.Canvas(), Rect(0, 0, 30, 20), TGradientDirection(d), clRed, clBlue,
                       1);
    StretchDrawTransparent(target.Canvas(), src.Bitmap(), Rect(0, 0, 8, 8), Rect(0, 0, 4, 4),
                           clWhite);
  };
  paintAll();  // the canvases make their own handles once
  const int before = GdiObjectCount(0);
  paintAll();
  EXPECT_EQ(GdiObjectCount(0), before);
}
