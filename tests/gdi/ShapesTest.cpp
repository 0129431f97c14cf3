#include <gtest/gtest.h>

#include "Gdi.h"
#include "PixelPicture.h"

TEST(Shapes, RectanglePenInsideRightAndBottomExclusive) {
  PixelCanvas c(8, 6);
  Selected brush(c.dc(), CreateSolidBrush(RGB(255, 0, 0)));
  Rectangle(c.dc(), 1, 1, 6, 5);
  EXPECT_TRUE(LooksLike(c, {
                               "........",
                               ".#####..",
                               ".#rrr#..",
                               ".#rrr#..",
                               ".#####..",
                               "........",
                           }));
}

TEST(Shapes, RectangleWithNullPenFillsOnePixelLessEachWay) {
  PixelCanvas c(8, 6);
  Selected brush(c.dc(), CreateSolidBrush(RGB(255, 0, 0)));
  SelectObject(c.dc(), GetStockObject(NULL_PEN));
  Rectangle(c.dc(), 1, 1, 6, 5);
  EXPECT_TRUE(LooksLike(c, {
                               "........",
                               ".rrrr...",
                               ".rrrr...",
                               ".rrrr...",
                               "........",
                               "........",
                           }));
}

TEST(Shapes, RectangleNormalisesSwappedCornersAndXorFrameHasNoHoles) {
  PixelCanvas c(8, 6);
  SelectObject(c.dc(), GetStockObject(NULL_BRUSH));
  SetROP2(c.dc(), R2_NOT);
  Rectangle(c.dc(), 6, 5, 1, 1);
  Rectangle(c.dc(), 3, 0, 4, 6);  // one pixel wide: each pixel once, even with XOR
  EXPECT_TRUE(LooksLike(c, {
                               "...#....",
                               ".##.##..",
                               ".#.#.#..",
                               ".#.#.#..",
                               ".##.##..",
                               "...#....",
                           }));
}

TEST(Shapes, FillRectIgnoresTheMixModeAndTakesSystemColourIndexes) {
  PixelCanvas c(8, 6);
  SetROP2(c.dc(), R2_XORPEN);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  RECT r{1, 1, 6, 5};
  FillRect(c.dc(), &r, red);
  RECT empty{5, 5, 2, 2};
  FillRect(c.dc(), &empty, red);  // inverted: nothing
  DeleteObject(red);
  EXPECT_TRUE(LooksLike(c, {
                               "........",
                               ".rrrrr..",
                               ".rrrrr..",
                               ".rrrrr..",
                               ".rrrrr..",
                               "........",
                           }));
  RECT one{0, 0, 1, 1};
  FillRect(c.dc(), &one, HBRUSH(COLOR_HIGHLIGHT + 1));
  EXPECT_EQ(c.At(0, 0), GetSysColor(COLOR_HIGHLIGHT));
}

TEST(Shapes, FrameRectDrawsOnePixelBorderWithTheBrush) {
  PixelCanvas c(7, 5);
  HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
  RECT r{1, 1, 6, 4};
  FrameRect(c.dc(), &r, blue);
  DeleteObject(blue);
  EXPECT_TRUE(LooksLike(c, {
                               ".......",
                               ".bbbbb.",
                               ".b...b.",
                               ".bbbbb.",
                               ".......",
                           }));
}

TEST(Shapes, TriangleFillsPixelsWhoseCornerIsInside) {
  PixelCanvas c(11, 9);
  Selected brush(c.dc(), CreateSolidBrush(0));
  SelectObject(c.dc(), GetStockObject(NULL_PEN));
  POINT tri[] = {{5, 7}, {2, 3}, {9, 3}};
  Polygon(c.dc(), tri, 3);
  EXPECT_TRUE(LooksLike(c, {
                               "...........",
                               "...........",
                               "...........",
                               "..#######..",
                               "...#####...",
                               "....###....",
                               ".....#.....",
                               "...........",
                               "...........",
                           }));
  EXPECT_EQ(c.Count(0), 16);
}

TEST(Shapes, TriangleOutlineClosesTheShape) {
  PixelCanvas c(11, 9);
  Selected brush(c.dc(), CreateSolidBrush(RGB(255, 0, 0)));
  POINT tri[] = {{5, 7}, {2, 3}, {9, 3}};
  Polygon(c.dc(), tri, 3);
  EXPECT_TRUE(LooksLike(c, {
                               "...........",
                               "...........",
                               "...........",
                               "..########.",
                               "...#rrrr#..",
                               "...#rrr#...",
                               "....#r#....",
                               ".....#.....",
                               "...........",
                           }));
}

TEST(Shapes, PolygonsSharingAnEdgeNeitherOverlapNorLeaveGaps) {
  PixelCanvas c(24, 24);
  SelectObject(c.dc(), GetStockObject(NULL_PEN));
  SelectObject(c.dc(), GetStockObject(WHITE_BRUSH));
  SetROP2(c.dc(), R2_XORPEN);  // white XOR: black where covered once, white again where twice
  POINT fan[] = {{2, 2}, {21, 3}, {20, 21}, {3, 19}};
  POINT centre{11, 10};
  for (int i = 0; i < 4; ++i) {
    POINT tri[] = {centre, fan[i], fan[(i + 1) % 4]};
    Polygon(c.dc(), tri, 3);
  }
  PixelCanvas whole(24, 24);
  SelectObject(whole.dc(), GetStockObject(NULL_PEN));
  SelectObject(whole.dc(), GetStockObject(BLACK_BRUSH));
  Polygon(whole.dc(), fan, 4);
  EXPECT_TRUE(SamePixels(c, whole));
}

TEST(Shapes, RectanglePolygonCoversTheSamePixelsAsFillRect) {
  PixelCanvas poly(10, 8), rect(10, 8);
  SelectObject(poly.dc(), GetStockObject(NULL_PEN));
  SelectObject(poly.dc(), GetStockObject(BLACK_BRUSH));
  POINT pts[] = {{2, 2}, {7, 2}, {7, 6}, {2, 6}};
  Polygon(poly.dc(), pts, 4);
  RECT r{2, 2, 7, 6};
  FillRect(rect.dc(), &r, HBRUSH(GetStockObject(BLACK_BRUSH)));
  EXPECT_TRUE(SamePixels(poly, rect));
}

TEST(Shapes, FillModeDecidesTheStarsCentre) {
  POINT star[] = {{10, 0}, {16, 19}, {0, 7}, {20, 7}, {4, 19}};
  for (int mode : {ALTERNATE, WINDING}) {
    PixelCanvas c(21, 21);
    SelectObject(c.dc(), GetStockObject(NULL_PEN));
    SelectObject(c.dc(), GetStockObject(BLACK_BRUSH));
    SetPolyFillMode(c.dc(), mode);
    Polygon(c.dc(), star, 5);
    EXPECT_EQ(c.At(10, 10), mode == WINDING ? 0x000000u : 0xFFFFFFu) << c.Picture();
    EXPECT_EQ(c.At(10, 3), 0x000000u);
  }
}

TEST(Shapes, EllipseStaysInsideItsBoxTouchesEachSideAndIsSymmetric) {
  for (auto [w, h] : {std::pair{9, 7}, {10, 10}, {16, 5}, {3, 3}}) {
    PixelCanvas c(w + 4, h + 4);
    Selected brush(c.dc(), CreateSolidBrush(RGB(255, 0, 0)));
    Ellipse(c.dc(), 2, 2, 2 + w, 2 + h);
    RECT ink = c.InkBox();
    EXPECT_EQ(ink, (RECT{2, 2, 2 + w, 2 + h})) << c.Picture();
    for (int y = 0; y < c.height(); ++y)
      for (int x = 0; x < c.width(); ++x) {
        ASSERT_EQ(c.At(x, y), c.At(2 + 2 + w - 1 - x, y)) << c.Picture();
        ASSERT_EQ(c.At(x, y), c.At(x, 2 + 2 + h - 1 - y)) << c.Picture();
      }
    if (w > 4 && h > 4) {
      EXPECT_EQ(c.At(2 + w / 2, 2 + h / 2), RGB(255, 0, 0));
    }
  }
}

TEST(Shapes, RoundRectCutsItsCorners) {
  PixelCanvas c(14, 10);
  RoundRect(c.dc(), 1, 1, 13, 9, 6, 6);
  EXPECT_EQ(c.InkBox(), (RECT{1, 1, 13, 9}));
  EXPECT_EQ(c.At(1, 1), 0xFFFFFFu);
  EXPECT_EQ(c.At(12, 8), 0xFFFFFFu);
  EXPECT_EQ(c.At(6, 1), 0u);
  EXPECT_EQ(c.At(1, 5), 0u);
}

TEST(Shapes, InsideFramePenKeepsAWideBorderWithinTheRectangle) {
  PixelCanvas c(16, 16);
  Selected pen(c.dc(), CreatePen(PS_INSIDEFRAME, 4, 0));
  Rectangle(c.dc(), 2, 2, 14, 14);
  EXPECT_EQ(c.InkBox(), (RECT{2, 2, 14, 14}));
  EXPECT_EQ(c.At(5, 8), 0u);
  EXPECT_EQ(c.At(6, 8), 0xFFFFFFu);
}

TEST(Shapes, SetPixelAnswersTheColourItSetAndGetPixelRespectsTheClip) {
  PixelCanvas c(4, 4);
  EXPECT_EQ(SetPixel(c.dc(), 1, 1, RGB(10, 20, 30)), RGB(10, 20, 30));
  EXPECT_EQ(GetPixel(c.dc(), 1, 1), RGB(10, 20, 30));
  EXPECT_EQ(GetPixel(c.dc(), 4, 0), CLR_INVALID);
  EXPECT_EQ(SetPixel(c.dc(), -1, 0, 0), CLR_INVALID);
  ExcludeClipRect(c.dc(), 0, 0, 2, 2);
  EXPECT_EQ(GetPixel(c.dc(), 1, 1), CLR_INVALID);
  EXPECT_EQ(SetPixel(c.dc(), 0, 0, 0), CLR_INVALID);
  EXPECT_EQ(c.At(0, 0), 0xFFFFFFu);

  PixelCanvas mono(4, 4, 0xFFFFFF, true);
  EXPECT_EQ(SetPixel(mono.dc(), 0, 0, RGB(200, 200, 200)), 0xFFFFFFu);
  EXPECT_EQ(SetPixel(mono.dc(), 1, 0, RGB(60, 60, 60)), 0u);
}

TEST(Shapes, HatchGapsTakeTheBackgroundOnlyWhenOpaque) {
  PixelCanvas c(8, 8);
  Selected brush(c.dc(), CreateHatchBrush(HS_HORIZONTAL, RGB(0, 0, 255)));
  SelectObject(c.dc(), GetStockObject(NULL_PEN));
  SetBkColor(c.dc(), RGB(255, 0, 0));
  SetBkMode(c.dc(), TRANSPARENT);
  Rectangle(c.dc(), 0, 0, 5, 9);
  SetBkMode(c.dc(), OPAQUE);
  Rectangle(c.dc(), 4, 0, 9, 9);
  EXPECT_TRUE(LooksLike(c, {
                               "....rrrr",
                               "....rrrr",
                               "....rrrr",
                               "bbbbbbbb",
                               "....rrrr",
                               "....rrrr",
                               "....rrrr",
                               "....rrrr",
                           }));
}

TEST(Shapes, MonochromePatternBrushUsesTextAndBackgroundColoursFromTheBrushOrigin) {
  // A checkerboard: 0 bits take the text colour, 1 bits the background colour.
  WORD rows[8];
  for (int i = 0; i < 8; ++i) rows[i] = (i % 2) ? 0x5555 : 0xAAAA;
  HBITMAP pattern = CreateBitmap(8, 8, 1, 1, rows);
  PixelCanvas c(6, 2);
  Selected brush(c.dc(), CreatePatternBrush(pattern));
  DeleteObject(pattern);  // the brush keeps its own copy
  SetTextColor(c.dc(), RGB(0, 0, 255));
  SetBkColor(c.dc(), RGB(255, 0, 0));
  RECT r{0, 0, 3, 2};
  FillRect(c.dc(), &r, HBRUSH(GetCurrentObject(c.dc(), OBJ_BRUSH)));
  SetBrushOrgEx(c.dc(), 1, 0, nullptr);
  r = {3, 0, 6, 2};
  FillRect(c.dc(), &r, HBRUSH(GetCurrentObject(c.dc(), OBJ_BRUSH)));
  EXPECT_TRUE(LooksLike(c, {
                               "rbrrbr",
                               "brbbrb",
                           }));
}
