#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <utility>
#include <vector>

#include "Gdi.h"
#include "PixelPicture.h"

namespace {

using Pixels = std::set<std::pair<int, int>>;

Pixels Black(const PixelCanvas& c) {
  Pixels out;
  for (int y = 0; y < c.height(); ++y)
    for (int x = 0; x < c.width(); ++x)
      if (c.At(x, y) == 0) out.insert({x, y});
  return out;
}

long long CeilDiv(long long num, long long den) {
  long long q = num / den, r = num % den;
  return (r != 0 && ((r > 0) == (den > 0))) ? q + 1 : q;
}

// The ideal line, pixel by pixel: along the major axis every step but the last, the minor
// coordinate rounded to the nearest integer, halves to the smaller one.
Pixels IdealLine(int x0, int y0, int x1, int y1) {
  Pixels out;
  int dx = x1 - x0, dy = y1 - y0;
  bool xMajor = std::abs(dx) >= std::abs(dy);
  int n = xMajor ? std::abs(dx) : std::abs(dy);
  for (int i = 0; i < n; ++i) {
    long long num = (long long)i * (xMajor ? dy : dx);  // minor offset = num / n
    long long minor = CeilDiv(2 * num - n, 2LL * n);    // nearest, halves down
    int x = xMajor ? x0 + (dx > 0 ? i : -i) : x0 + int(minor);
    int y = xMajor ? y0 + int(minor) : y0 + (dy > 0 ? i : -i);
    out.insert({x, y});
  }
  return out;
}

void Line(HDC dc, int x0, int y0, int x1, int y1) {
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
}

}  // namespace

TEST(Lines, DiagonalRoundsToNearestAndLeavesOutTheEndPoint) {
  PixelCanvas c(9, 5);
  Line(c.dc(), 0, 0, 7, 3);
  EXPECT_TRUE(LooksLike(c, {
                               "##.......",
                               "..##.....",
                               "....##...",
                               "......#..",
                               ".........",
                           }));
}

TEST(Lines, EveryOctantMatchesTheIdealLineWithoutItsEnd) {
  // Ends around (10, 10) in all eight octants, with slopes that give exact halves (ties) and
  // slopes that do not.
  const std::pair<int, int> ends[] = {{18, 14}, {14, 18}, {6, 18},  {2, 14},  {2, 6},  {6, 2},
                                      {14, 2},  {18, 6},  {17, 13}, {13, 17}, {3, 17}, {3, 7},
                                      {7, 3},   {17, 7},  {20, 10}, {10, 0},  {0, 0},  {20, 20}};
  for (auto [ex, ey] : ends) {
    PixelCanvas c(21, 21);
    Line(c.dc(), 10, 10, ex, ey);
    EXPECT_EQ(Black(c), IdealLine(10, 10, ex, ey)) << "to (" << ex << ", " << ey << ")\n"
                                                   << c.Picture();
    EXPECT_EQ(c.At(ex, ey), 0xFFFFFFu) << "end point drawn for (" << ex << ", " << ey << ")";
  }
}

TEST(Lines, ReversedLineLightsTheSamePixelsSaveTheEnds) {
  // With ties rounding to the smaller coordinate, direction does not move any pixel.
  for (auto [ex, ey] : {std::pair{18, 14}, {14, 18}, {2, 14}, {17, 7}, {6, 2}}) {
    PixelCanvas there(21, 21), back(21, 21);
    Line(there.dc(), 10, 10, ex, ey);
    Line(back.dc(), ex, ey, 10, 10);
    Pixels a = Black(there), b = Black(back);
    a.erase({10, 10});
    b.erase({ex, ey});
    EXPECT_EQ(a, b) << "(" << ex << ", " << ey << ")";
  }
}

TEST(Lines, HorizontalAndVerticalEndsAreExcludedBothWays) {
  PixelCanvas c(7, 6);
  Line(c.dc(), 1, 0, 5, 0);
  Line(c.dc(), 5, 2, 1, 2);
  Line(c.dc(), 0, 1, 0, 5);
  Line(c.dc(), 6, 5, 6, 1);
  EXPECT_TRUE(LooksLike(c, {
                               ".####..",
                               "#......",
                               "#.#####",
                               "#.....#",
                               "#.....#",
                               "......#",
                           }));
}

TEST(Lines, LineToMovesTheCurrentPositionAndPolylineJoinsOnce) {
  PixelCanvas c(7, 6);
  POINT old{-1, -1}, pos;
  MoveToEx(c.dc(), 1, 1, &old);
  EXPECT_EQ(old, (POINT{0, 0}));
  LineTo(c.dc(), 5, 1);
  GetCurrentPositionEx(c.dc(), &pos);
  EXPECT_EQ(pos, (POINT{5, 1}));
  // Drawn twice with XOR: a pixel lit by both segments of a polyline would come back white.
  SetROP2(c.dc(), R2_XORPEN);
  {
    Selected pen(c.dc(), CreatePen(PS_SOLID, 1, RGB(255, 255, 255)));
    POINT pts[] = {{1, 3}, {5, 3}, {5, 5}};
    Polyline(c.dc(), pts, 3);
  }
  EXPECT_TRUE(LooksLike(c, {
                               ".......",
                               ".####..",
                               ".......",
                               ".#####.",
                               ".....#.",
                               ".......",
                           }));
}

TEST(Lines, XorPenTwiceRestoresTheBitmap) {
  PixelCanvas c(20, 20, RGB(0, 0, 255));
  SetROP2(c.dc(), R2_NOT);
  POINT pts[] = {{1, 1}, {18, 5}, {3, 17}, {17, 17}, {1, 1}};
  Polyline(c.dc(), pts, 5);
  EXPECT_LT(c.Count(RGB(0, 0, 255)), 400);
  Polyline(c.dc(), pts, 5);
  EXPECT_EQ(c.Count(RGB(0, 0, 255)), 400);
}

TEST(Lines, ThinnestPensAreOnePixelWhatTheirWidth) {
  // A pen of 20 twips scaled to 96 pixels per inch is 1 pixel, one of 11 twips 0 pixels; both
  // draw the same one-pixel line.
  PixelCanvas zero(12, 3), one(12, 3);
  {
    Selected pen(zero.dc(), CreatePen(PS_SOLID, 0, 0));
    Line(zero.dc(), 1, 1, 11, 1);
  }
  {
    Selected pen(one.dc(), CreatePen(PS_SOLID, 1, 0));
    Line(one.dc(), 1, 1, 11, 1);
  }
  EXPECT_TRUE(SamePixels(zero, one));
  EXPECT_TRUE(LooksLike(one, {"............", ".##########.", "............"}));
}

TEST(Lines, WidePenIsCentredWithRoundCaps) {
  PixelCanvas c(21, 11);
  Selected pen(c.dc(), CreatePen(PS_SOLID, 5, 0));
  Line(c.dc(), 5, 5, 15, 5);
  EXPECT_TRUE(LooksLike(c, {
                               ".....................",
                               ".....................",
                               ".....................",
                               "....#############....",
                               "...###############...",
                               "...###############...",
                               "...###############...",
                               "....#############....",
                               ".....................",
                               ".....................",
                               ".....................",
                           }));
}

TEST(Lines, WidePenRowsMatchTheWidth) {
  for (int width : {2, 3, 4, 6, 7}) {
    PixelCanvas c(30, 30);
    Selected pen(c.dc(), CreatePen(PS_SOLID, width, 0));
    Line(c.dc(), 8, 15, 22, 15);
    Line(c.dc(), 3, 3, 3, 3);  // a zero-length wide line is a dot
    int rows = 0;
    for (int y = 0; y < 30; ++y) rows += c.At(15, y) == 0;
    EXPECT_EQ(rows, width) << "width " << width << "\n" << c.Picture();
    EXPECT_EQ(c.At(3, 3), 0u) << "width " << width;
  }
}

TEST(Lines, WidePolylineWithXorCoversItsJoinOnce) {
  POINT pts[] = {{5, 5}, {20, 5}, {20, 18}};
  PixelCanvas joined(30, 24), first(30, 24), second(30, 24);
  {
    SetROP2(joined.dc(), R2_XORPEN);
    Selected pen(joined.dc(), CreatePen(PS_SOLID, 5, RGB(255, 255, 255)));
    Polyline(joined.dc(), pts, 3);
  }
  for (auto [canvas, from] : {std::pair{&first, 0}, std::pair{&second, 1}}) {
    Selected pen(canvas->dc(), CreatePen(PS_SOLID, 5, 0));
    Polyline(canvas->dc(), pts + from, 2);
  }
  // Pixels that both segments cover are inverted once, so none of them is white again; the
  // polyline covers exactly the union of its segments.
  int both = 0;
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 30; ++x) {
      bool a = first.At(x, y) == 0, b = second.At(x, y) == 0;
      both += a && b;
      ASSERT_EQ(joined.At(x, y) == 0, a || b) << x << "," << y << "\n" << joined.Picture();
    }
  EXPECT_GT(both, 10);
}

TEST(Lines, DottedPenAlternatesThreeOnThreeOff) {
  PixelCanvas c(14, 3);
  Selected pen(c.dc(), CreatePen(PS_DOT, 1, 0));
  SetBkMode(c.dc(), TRANSPARENT);
  Line(c.dc(), 0, 0, 14, 0);
  SetBkMode(c.dc(), OPAQUE);
  SetBkColor(c.dc(), RGB(255, 0, 0));
  Line(c.dc(), 0, 2, 14, 2);
  EXPECT_TRUE(LooksLike(c, {
                               "###...###...##",
                               "..............",
                               "###rrr###rrr##",
                           }));
}

TEST(Lines, ClippedLineKeepsItsPixelsWhereTheyWere) {
  PixelCanvas whole(30, 30), clipped(30, 30);
  Line(whole.dc(), 2, 3, 27, 25);
  IntersectClipRect(clipped.dc(), 8, 0, 20, 30);
  Line(clipped.dc(), 2, 3, 27, 25);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) {
      COLORREF want = (x >= 8 && x < 20) ? whole.At(x, y) : 0xFFFFFF;
      ASSERT_EQ(clipped.At(x, y), want) << x << "," << y;
    }
}

TEST(Lines, FarOutsideEndsStillDrawTheVisiblePart) {
  PixelCanvas c(10, 10);
  Line(c.dc(), -100000, -100000, 100000, 100000);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(c.At(i, i), 0u);
  EXPECT_EQ(c.Count(0), 10);
}

TEST(Lines, ClippedDashedLineKeepsItsPattern) {
  PixelCanvas whole(40, 3), clipped(40, 3);
  for (PixelCanvas* c : {&whole, &clipped}) {
    Selected pen(c->dc(), CreatePen(PS_DASH, 1, 0));
    SetBkMode(c->dc(), TRANSPARENT);
    if (c == &clipped) IntersectClipRect(c->dc(), 13, 0, 40, 3);
    POINT pts[] = {{-20, 1}, {30, 1}, {30, 2}, {0, 2}};
    Polyline(c->dc(), pts, 4);
  }
  for (int y = 0; y < 3; ++y)
    for (int x = 13; x < 40; ++x) ASSERT_EQ(clipped.At(x, y), whole.At(x, y)) << x << "," << y;
}

TEST(Lines, ExtremeCoordinatesDrawOnlyWhatIsVisible) {
  // Every primitive with far-off or overflowing arguments, clipped to the middle of the bitmap:
  // bounded work, not one pixel around the clip box, and the visible part where it belongs.
  const int big = 2000000000;
  const RECT box{8, 8, 40, 24};
  PixelCanvas src(4, 4, RGB(255, 0, 0));
  struct Case {
    const char* name;
    std::function<void(HDC)> draw;
    std::function<void(const PixelCanvas&)> inside;
  };
  const std::vector<Case> cases = {
      {"thick line across",
       [&](HDC dc) {
         Selected pen(dc, CreatePen(PS_SOLID, 3, 0));
         MoveToEx(dc, -big, 13, nullptr);
         LineTo(dc, big, 13);
       },
       [&](const PixelCanvas& c) {
         for (int x = box.left; x < box.right; ++x)
           for (int y = 12; y <= 14; ++y) EXPECT_EQ(c.At(x, y), 0u) << x << "," << y;
       }},
      {"diagonal",
       [&](HDC dc) {
         MoveToEx(dc, -big, -big, nullptr);
         LineTo(dc, big, big);
       },
       [&](const PixelCanvas& c) {
         for (int i = box.top; i < box.bottom; ++i) EXPECT_EQ(c.At(i, i), 0u) << i;
         EXPECT_EQ(c.Count(0), int(box.bottom - box.top));
       }},
      {"polygon",
       [&](HDC dc) {
         POINT huge[] = {{-big, -big}, {big, -big / 3}, {big / 5, big}};
         Polygon(dc, huge, 3);
       },
       nullptr},
      {"ellipse", [&](HDC dc) { Ellipse(dc, -big, -big, big, big); }, nullptr},
      {"round rectangle", [&](HDC dc) { RoundRect(dc, -big, -big, big, big, big, big); }, nullptr},
      {"inverted", [&](HDC dc) { PatBlt(dc, 0, 0, big, big, DSTINVERT); },
       [&](const PixelCanvas& c) { EXPECT_EQ(c.Count(0), 32 * 16); }},
      {"stretched",
       [&](HDC dc) { StretchBlt(dc, -big, -big, big, big, src.dc(), 0, 0, 4, 4, SRCCOPY); },
       nullptr},
      {"stretched back",
       [&](HDC dc) {
         StretchBlt(dc, big, big, -big, -big, src.dc(), -big, -big, big, big, SRCINVERT);
       },
       nullptr},
      {"text",
       [&](HDC dc) {
         TextOutW(dc, big, -big, u"x", 1);
         INT dx[2] = {big, big};
         ExtTextOutW(dc, 0, 0, 0, nullptr, u"ab", 2, dx);
         RECT r{-big, -big, big, big};
         DrawTextW(dc, u"far", -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
       },
       nullptr},
      {"overflowing viewport",
       [&](HDC dc) {
         SetViewportOrgEx(dc, big, big, nullptr);
         OffsetViewportOrgEx(dc, big, big, nullptr);
         LineTo(dc, 0, 0);
       },
       nullptr},
      {"framed region",
       [&](HDC dc) {
         HRGN rgn = CreateRectRgn(-big, -big, big, big);
         OffsetRgn(rgn, big, big);
         FrameRgn(dc, rgn, HBRUSH(GetStockObject(BLACK_BRUSH)), big, big);
         DeleteObject(rgn);
       },
       nullptr},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    PixelCanvas c(48, 32);
    IntersectClipRect(c.dc(), box.left, box.top, box.right, box.bottom);
    k.draw(c.dc());
    int around = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 48; ++x)
        if ((x < box.left || x >= box.right || y < box.top || y >= box.bottom) &&
            c.At(x, y) != 0xFFFFFFu)
          ++around;
    EXPECT_EQ(around, 0);
    if (k.inside) k.inside(c);
  }
}
