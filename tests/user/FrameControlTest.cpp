// The caption buttons' glyphs: big enough to read on the platform's 16 x 14 button.
#include "UserTestSupport.h"

namespace {

struct GlyphBox {
  int left = 99, top = 99, right = -1, bottom = -1;
};

GlyphBox DrawFrameGlyph(UINT type, UINT kind, int width, int height) {
  HDC screen = GetDC(0);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, width, height);
  ReleaseDC(0, screen);
  HGDIOBJ old = SelectObject(dc, bmp);
  RECT r{0, 0, width, height};
  DrawFrameControl(dc, &r, type, kind);
  GlyphBox box;
  const COLORREF text = GetSysColor(COLOR_BTNTEXT);
  // The edges' dark lines lie on the outer two rings; the glyph is inside them.
  for (int y = 2; y < height - 2; ++y)
    for (int x = 2; x < width - 2; ++x)
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

GlyphBox DrawCaptionButton(UINT kind) { return DrawFrameGlyph(DFC_CAPTION, kind, 16, 14); }

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

TEST_F(UserTest, ScrollArrowsAreScaledToTheWholeButton) {
  GlyphBox combo = DrawFrameGlyph(DFC_SCROLL, DFCS_SCROLLCOMBOBOX, 16, 17);
  EXPECT_EQ(combo.right - combo.left, 7) << "a combo box's 16-pixel button";
  EXPECT_EQ(combo.bottom - combo.top, 4);
  GlyphBox left = DrawFrameGlyph(DFC_SCROLL, DFCS_SCROLLLEFT, 16, 16);
  EXPECT_EQ(left.right - left.left, 4);
  EXPECT_EQ(left.bottom - left.top, 7);
  GlyphBox small = DrawFrameGlyph(DFC_SCROLL, DFCS_SCROLLUP, 16, 9);
  EXPECT_EQ(small.right - small.left, 3) << "a half-height up-down button keeps a small arrow";
}

}  // namespace
