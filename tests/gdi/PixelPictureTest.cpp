// The pixel-picture helper itself: a check that cannot fail would pass every painter.
#include <gtest/gtest.h>

#include "PixelPicture.h"

namespace {

PixelCanvas& TwoDots(PixelCanvas& canvas) {
  SetPixel(canvas.dc(), 1, 0, 0x000000);
  SetPixel(canvas.dc(), 2, 1, 0x0000FF);
  return canvas;
}

}  // namespace

TEST(PixelPicture, ComparesEveryPixelAndItsSize) {
  PixelCanvas canvas(4, 2);
  TwoDots(canvas);
  EXPECT_TRUE(LooksLike(canvas, {".#..", "..r."}));
  EXPECT_FALSE(LooksLike(canvas, {".#..", "...."}));
  EXPECT_FALSE(LooksLike(canvas, {".#..", "..r"}));           // too narrow
  EXPECT_FALSE(LooksLike(canvas, {".#.."}));                  // too short
  EXPECT_FALSE(LooksLike(canvas, {".#..", "..r.", "...."}));  // too tall
}

TEST(PixelPicture, WildcardsAreasAndLegends) {
  PixelCanvas canvas(4, 2);
  TwoDots(canvas);
  EXPECT_TRUE(LooksLike(canvas, {"????", "..??"}));
  EXPECT_TRUE(LooksLike(canvas, BasicLegend(), {"r."}, POINT{2, 1}));
  EXPECT_FALSE(LooksLike(canvas, BasicLegend(), {"r.."}, POINT{2, 1}));  // past the edge
  // A colour the legend lacks prints as '*'; '*' never matches a colour it has.
  const Legend blackOnly{{'#', 0x000000}};
  EXPECT_EQ(canvas.Row(0, blackOnly), "*#**");
  EXPECT_TRUE(LooksLike(canvas, blackOnly, {"*#**", "****"}));
  EXPECT_FALSE(LooksLike(canvas, blackOnly, {"**#*", "****"}));
  // The first letter of a colour wins; system colours are looked up when read.
  DistinctSystemColors colors;
  SetPixel(canvas.dc(), 0, 1, DistinctSystemColors::kFace);
  EXPECT_EQ(canvas.Row(1, With({{'f', clBtnFace}}, {{'s', 0xC0C0C0}})), "f***");
  EXPECT_EQ(canvas.Column(0, SystemLegend(0xFFFFFF)), ".f");
}

TEST(PixelPicture, FailurePrintsBothPicturesAndMarksTheRow) {
  PixelCanvas canvas(3, 2);
  const auto result = LooksLike(canvas, {"...", ".#."});
  ASSERT_FALSE(result);
  const std::string text = result.message();
  EXPECT_NE(text.find("   .#.        ...   <\n"), std::string::npos) << text;
  EXPECT_NE(text.find("   ...        ...\n"), std::string::npos) << text;
}

TEST(PixelPicture, BoxesAndCounts) {
  PixelCanvas canvas(6, 5, 0x00FF00);
  EXPECT_RECT(canvas.InkBox(0x00FF00), 0, 0, 0, 0);
  SetPixel(canvas.dc(), 1, 1, 0x808080);
  SetPixel(canvas.dc(), 4, 3, 0x000000);
  EXPECT_RECT(canvas.InkBox(0x00FF00), 1, 1, 5, 4);
  EXPECT_RECT(canvas.InkBox(0x00FF00, RECT{2, 0, 6, 5}), 4, 3, 5, 4);
  EXPECT_RECT(canvas.Find(0x808080), 1, 1, 2, 2);
  EXPECT_EQ(canvas.Count(0x00FF00), 28);
  EXPECT_EQ(canvas.Darkest(), 0);
  PixelCanvas a(3, 3), b(3, 3);
  EXPECT_TRUE(SamePixels(a, b));
  SetPixel(b.dc(), 2, 2, 0);
  EXPECT_FALSE(SamePixels(a, b));
}
