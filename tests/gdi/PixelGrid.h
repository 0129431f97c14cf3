#pragma once
// Pixel-exact checks for the raster engine: a bitmap-backed DC to draw on, and comparisons of
// an area against a picture written as text, printing both pictures on failure.
//
// Picture characters: '.' white, '#' black, 'r' red, 'g' green (0x008000), 'l' lime, 'b' blue,
// 'y' yellow, 'c' aqua, 'm' fuchsia, 's' silver, 'd' grey; '?' in a picture matches anything;
// any other colour prints as '*'.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Gdi.h"

class TestCanvas {
 public:
  // A memory DC holding a new width x height bitmap (32-bit, or 1-bit with mono) filled with
  // fill.
  TestCanvas(int width, int height, COLORREF fill = 0xFFFFFF, bool mono = false);
  ~TestCanvas();
  TestCanvas(const TestCanvas&) = delete;
  TestCanvas& operator=(const TestCanvas&) = delete;
  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bmp_; }
  int width() const { return w_; }
  int height() const { return h_; }
  COLORREF At(int x, int y) const;  // reads the bitmap directly, ignoring the DC's clip
  void Clear(COLORREF fill);
  // The bitmap as a picture.
  std::string Picture() const;
  // Bounding box of the pixels that differ from colour bg; empty when none do.
  RECT InkBox(COLORREF bg = 0xFFFFFF) const;
  int Count(COLORREF color) const;

 private:
  HDC dc_ = 0;
  HBITMAP bmp_ = 0;
  HGDIOBJ old_ = 0;
  int w_, h_;
};

char PixelChar(COLORREF c);
// The canvas equals the picture (one string per row, as wide as the canvas).
::testing::AssertionResult PictureIs(const TestCanvas& canvas, const std::vector<std::string>& rows);
// Two canvases hold the same pixels.
::testing::AssertionResult SamePixels(const TestCanvas& a, const TestCanvas& b);

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
