#include "ControlPixels.h"

#include <algorithm>

PixelTarget::PixelTarget(int width, int height, TColor fill) : width_(width), height_(height) {
  dc_ = CreateCompatibleDC(0);
  bitmap_ = CreateBitmap(width, height, 1, 32, nullptr);  // a memory DC alone is monochrome
  old_ = SelectObject(dc_, bitmap_);
  HBRUSH brush = CreateSolidBrush(ColorToRGB(fill));
  RECT r{0, 0, width, height};
  FillRect(dc_, &r, brush);
  DeleteObject(brush);
}

PixelTarget::~PixelTarget() {
  SelectObject(dc_, old_);
  DeleteDC(dc_);
  DeleteObject(bitmap_);
}

TRect PixelTarget::Find(COLORREF c) const {
  TRect box{width_, height_, 0, 0};
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x)
      if (At(x, y) == c) {
        box.left = std::min<LONG>(box.left, x);
        box.top = std::min<LONG>(box.top, y);
        box.right = std::max<LONG>(box.right, x + 1);
        box.bottom = std::max<LONG>(box.bottom, y + 1);
      }
  if (box.right == 0) return TRect{0, 0, 0, 0};
  return box;
}

TRect PixelTarget::Ink(COLORREF background, const TRect& area) const {
  TRect box{width_, height_, 0, 0};
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (At(x, y) != background) {
        box.left = std::min<LONG>(box.left, x);
        box.top = std::min<LONG>(box.top, y);
        box.right = std::max<LONG>(box.right, x + 1);
        box.bottom = std::max<LONG>(box.bottom, y + 1);
      }
  if (box.right == 0) return TRect{0, 0, 0, 0};
  return box;
}

int PixelTarget::Darkest() const {
  int darkest = 765;
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      COLORREF c = At(x, y);
      darkest = std::min(darkest, GetRValue(c) + GetGValue(c) + GetBValue(c));
    }
  return darkest;
}

int PixelTarget::Count(COLORREF c) const {
  int n = 0;
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x)
      if (At(x, y) == c) ++n;
  return n;
}

char PixelTarget::CharOf(COLORREF c, const Legend& legend) {
  for (const auto& [ch, color] : legend)
    if (ColorToRGB(color) == c) return ch;
  return '?';
}

std::string PixelTarget::Row(int y, const Legend& legend) const {
  std::string s;
  for (int x = 0; x < width_; ++x) s += CharOf(At(x, y), legend);
  return s;
}

std::string PixelTarget::Column(int x, const Legend& legend) const {
  std::string s;
  for (int y = 0; y < height_; ++y) s += CharOf(At(x, y), legend);
  return s;
}
