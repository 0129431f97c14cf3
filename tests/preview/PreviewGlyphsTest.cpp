#include <gtest/gtest.h>

#include <set>
#include <string>

#include "PreviewGlyphs.h"

namespace {

const char16_t* const kButtons[] = {
    u"SBZoomIn",   u"SBZoomOut",  u"SBZoomPageWidth", u"SBZoomPage", u"SBFirstPage",
    u"SBPrevPage", u"SBNextPage", u"SBLastPage",      u"SBPrint",    u"SBDone"};

int InkCount(TBitmap* b, int x0) {
  int n = 0;
  for (int y = 0; y < PreviewGlyphSize; ++y)
    for (int x = 0; x < PreviewGlyphSize; ++x)
      if (b->Canvas()->Pixels(x0 + x, y) != PreviewGlyphBackground) ++n;
  return n;
}

TEST(PreviewGlyphs, EveryButtonHasANormalAndADisabledImage) {
  std::set<std::string> seen;
  for (const char16_t* name : kButtons) {
    SCOPED_TRACE(std::string(name, name + std::char_traits<char16_t>::length(name)));
    auto glyph = PreviewGlyph(name);
    ASSERT_NE(glyph, nullptr);
    EXPECT_EQ(glyph->Width(), 2 * PreviewGlyphSize);
    EXPECT_EQ(glyph->Height(), PreviewGlyphSize);
    EXPECT_EQ(glyph->TransparentColor(), PreviewGlyphBackground);
    EXPECT_GT(InkCount(glyph.get(), 0), 15);
    EXPECT_GT(InkCount(glyph.get(), PreviewGlyphSize), 10);
    // The disabled image is grey and white only.
    for (int y = 0; y < PreviewGlyphSize; ++y)
      for (int x = PreviewGlyphSize; x < 2 * PreviewGlyphSize; ++x) {
        TColor c = glyph->Canvas()->Pixels(x, y);
        ASSERT_TRUE(c == PreviewGlyphBackground || c == ColorToRGB(clBtnShadow) ||
                    c == ColorToRGB(clBtnHighlight))
            << x << "," << y << " " << std::hex << c;
      }
    // No two buttons look alike.
    std::string pixels;
    for (int y = 0; y < PreviewGlyphSize; ++y)
      for (int x = 0; x < PreviewGlyphSize; ++x)
        pixels += std::to_string(glyph->Canvas()->Pixels(x, y)) + ",";
    EXPECT_TRUE(seen.insert(pixels).second);
  }
  EXPECT_EQ(PreviewGlyph(u"SBUnknown"), nullptr);
}

TEST(PreviewGlyphs, NavigationArrowsMirrorEachOther) {
  auto prev = PreviewGlyph(u"SBPrevPage"), next = PreviewGlyph(u"SBNextPage");
  auto first = PreviewGlyph(u"SBFirstPage"), last = PreviewGlyph(u"SBLastPage");
  for (int y = 0; y < PreviewGlyphSize; ++y)
    for (int x = 0; x < PreviewGlyphSize; ++x) {
      int mx = PreviewGlyphSize - 1 - x;
      ASSERT_EQ(prev->Canvas()->Pixels(x, y), next->Canvas()->Pixels(mx, y)) << x << "," << y;
      ASSERT_EQ(first->Canvas()->Pixels(x, y), last->Canvas()->Pixels(mx, y)) << x << "," << y;
    }
}

}  // namespace
