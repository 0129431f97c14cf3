#pragma once
// Pixel pictures: draw into a small bitmap, then compare it with a picture written as text.
//
//   PixelCanvas canvas(6, 3);                       // a white 32-bit bitmap in a memory DC
//   Rectangle(canvas.dc(), 1, 0, 5, 3);
//   EXPECT_TRUE(LooksLike(canvas, {".####.",
//                                  ".#..#.",
//                                  ".####."}));
//
// Each letter stands for a colour through a legend. BasicLegend(), the default: '.' white,
// '#' black, 'r' red, 'g' green (0x008000), 'l' lime, 'b' blue, 'y' yellow, 'c' aqua,
// 'm' fuchsia, 's' silver, 'd' grey. Your own legend may name system colours (clBtnFace); they
// are looked up when compared, so set schemes (DistinctSystemColors) before. When two letters
// share a colour the first one listed wins:
//
//   const Legend legend = With(BasicLegend(), {{'f', clBtnFace}, {'h', clBtnHighlight}});
//   EXPECT_TRUE(LooksLike(canvas, legend, rows));
//   EXPECT_TRUE(LooksLike(canvas, legend, {"fh", "hf"}, POINT{3, 1}));  // only that area
//
// In an expected picture '?' matches any pixel and '*' any colour the legend lacks, which is
// how such a colour prints. A failure prints both pictures side by side and marks the rows that
// differ. Class-library canvases draw into a PixelCanvas through CanvasPicture
// (ClassLibTestSupport.h).
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "Gdi.h"

using Legend = std::vector<std::pair<char, TColor>>;
Legend BasicLegend();
// legend with more letters after its own.
Legend With(Legend legend, std::initializer_list<std::pair<char, TColor>> more);
// The letter of colour c (0x00BBGGRR), '*' when the legend has none.
char LetterOf(COLORREF c, const Legend& legend);

class PixelCanvas {
 public:
  // A memory DC holding a new width x height bitmap (32-bit, or 1-bit with mono) filled with
  // fill.
  PixelCanvas(int width, int height, TColor fill = 0xFFFFFF, bool mono = false);
  virtual ~PixelCanvas();
  PixelCanvas(const PixelCanvas&) = delete;
  PixelCanvas& operator=(const PixelCanvas&) = delete;
  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bmp_; }
  int width() const { return w_; }
  int height() const { return h_; }
  // Reads the bitmap directly, ignoring the DC's clip; CLR_INVALID outside it.
  COLORREF At(int x, int y) const;
  void Clear(TColor fill);

  std::string Row(int y, const Legend& legend = BasicLegend()) const;
  std::string Column(int x, const Legend& legend = BasicLegend()) const;
  std::vector<std::string> Rows(const Legend& legend = BasicLegend()) const;
  // The rows joined, each ending in a newline.
  std::string Picture(const Legend& legend = BasicLegend()) const;

  // Bounding box of the pixels not of colour background (in area), empty when none are.
  RECT InkBox(TColor background = 0xFFFFFF) const;
  RECT InkBox(TColor background, const RECT& area) const;
  // Bounding box of the pixels of colour c, empty when none are.
  RECT Find(TColor c) const;
  int Count(TColor c) const;
  // The darkest pixel's channel sum (0 black .. 765 white).
  int Darkest() const;

 private:
  HDC dc_ = 0;
  HBITMAP bmp_ = 0;
  HGDIOBJ old_ = 0;
  int w_, h_;
};

// The area of canvas at origin, as large as rows, equals the picture.
::testing::AssertionResult LooksLike(const PixelCanvas& canvas, const Legend& legend,
                                     const std::vector<std::string>& rows, POINT origin = {0, 0});
inline ::testing::AssertionResult LooksLike(const PixelCanvas& canvas,
                                            const std::vector<std::string>& rows) {
  return LooksLike(canvas, BasicLegend(), rows);
}
// Two canvases hold the same pixels; small ones are printed when they do not.
::testing::AssertionResult SamePixels(const PixelCanvas& a, const PixelCanvas& b);

// A pen or brush selected for one scope, deleted afterwards.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ obj) : dc_(dc), obj_(obj), old_(SelectObject(dc, obj)) {}
  ~Selected() {
    SelectObject(dc_, old_);
    DeleteObject(obj_);
  }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ obj_, old_;
};

// System colours made distinct from one another for one scope (the classic scheme shares
// values), so a picture tells which one was painted.
struct DistinctSystemColors {
  static constexpr COLORREF kFace = 0xC0C0C0, kShadow = 0x808080, kHighlight = 0xFFFFFF,
                            kDkShadow = 0x404040, kLight = 0xE0E0E0, kText = 0x800000,
                            kWindow = 0xF0FFFF;
  DistinctSystemColors();
  ~DistinctSystemColors();
  DistinctSystemColors(const DistinctSystemColors&) = delete;
  DistinctSystemColors& operator=(const DistinctSystemColors&) = delete;
};
// fill as '.', then 'f' face, 's' shadow, 'h' highlight, 'd' dark shadow, 'l' light, 't' button
// text, 'w' window: the letters for pictures taken under DistinctSystemColors.
Legend SystemLegend(TColor fill);

std::string RectText(const RECT& r);
#define EXPECT_RECT(r, l, t, rt, b) EXPECT_EQ(RectText(r), RectText(RECT{l, t, rt, b}))
