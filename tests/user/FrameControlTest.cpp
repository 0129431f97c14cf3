// The caption buttons' glyphs: big enough to read on the platform's 16 x 14 button.
#include "UserTestSupport.h"

namespace {

struct GlyphBox {
  int left = 99, top = 99, right = -1, bottom = -1;
};

GlyphBox DrawCaptionButton(UINT kind) {
  HDC screen = GetDC(0);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 16, 14);
  ReleaseDC(0, screen);
  HGDIOBJ old = SelectObject(dc, bmp);
  RECT r{0, 0, 16, 14};
  DrawFrameControl(dc, &r, DFC_CAPTION, kind);
  GlyphBox box;
  const COLORREF text = GetSysColor(COLOR_BTNTEXT);
  // The edges' dark lines lie on the outer two rings; the glyph is inside them.
  for (int y = 2; y < 12; ++y)
    for (int x = 2; x < 14; ++x)
      if (GetPixel(dc, x, y) == text) {
        box.left = std::min(box.left, x);
        box.top = std::min(box.top, y);
        box.right = std::max(box.right, x + 1);
        box.bottom = std::max(box.bottom, y + 1);
      }
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
  return box;
}

TEST_F(UserTest, CaptionGlyphsFillTheButtonFace) {
  GlyphBox close = DrawCaptionButton(DFCS_CAPTIONCLOSE);
  EXPECT_GE(close.right - close.left, 7);
  EXPECT_GE(close.bottom - close.top, 7);
  GlyphBox max = DrawCaptionButton(DFCS_CAPTIONMAX);
  EXPECT_GE(max.right - max.left, 7);
  EXPECT_GE(max.bottom - max.top, 7);
  GlyphBox min = DrawCaptionButton(DFCS_CAPTIONMIN);
  EXPECT_GE(min.right - min.left, 5);
  EXPECT_EQ(min.bottom - min.top, 2) << "a bar, at the bottom";
  EXPECT_GE(min.top, max.top + 5);
}

}  // namespace
