#pragma once
// Painting controls straight into a memory bitmap, to check their pixels without windows.
#include <string>
#include <utility>
#include <vector>

#include "Graphics.h"

class PixelTarget {
 public:
  PixelTarget(int width, int height, TColor fill);
  ~PixelTarget();
  PixelTarget(const PixelTarget&) = delete;
  PixelTarget& operator=(const PixelTarget&) = delete;
  HDC dc() const { return dc_; }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
  // Bounding box of the pixels of colour c; empty when there are none.
  TRect Find(COLORREF c) const;
  int Count(COLORREF c) const;
  // Bounding box of the pixels not of colour background (text is smoothed, so it has no one
  // colour of its own).
  TRect Ink(COLORREF background) const { return Ink(background, TRect{0, 0, width_, height_}); }
  TRect Ink(COLORREF background, const TRect& area) const;
  // The darkest pixel's channel sum (0 black .. 765 white).
  int Darkest() const;
  // One row (column) of the picture: each pixel as the character its colour has in legend,
  // '?' for other colours.
  using Legend = std::vector<std::pair<char, TColor>>;
  std::string Row(int y, const Legend& legend) const;
  std::string Column(int x, const Legend& legend) const;

 private:
  static char CharOf(COLORREF c, const Legend& legend);
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
  int width_, height_;
};

// Runs painter with canvas drawing into the target, then detaches it again.
template <class Painter>
void PaintInto(TCanvas* canvas, PixelTarget& target, Painter painter) {
  canvas->SetHandle(target.dc());
  painter();
  canvas->SetHandle(0);
}
