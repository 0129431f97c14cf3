#pragma once
// The pictures of the preview window's speed buttons, drawn by code so no image files ship.
#include <memory>

#include "Graphics.h"

// Each image is this many pixels square.
constexpr int PreviewGlyphSize = 16;
// The colour behind the pictures; it is the bitmap's bottom-left pixel, so a speed button
// takes it as the transparent colour.
constexpr TColor PreviewGlyphBackground = clFuchsia;

// The glyph of the preview button of that name ("SBZoomIn", "SBZoomOut", "SBZoomPageWidth",
// "SBZoomPage", "SBFirstPage", "SBPrevPage", "SBNextPage", "SBLastPage", "SBPrint", "SBDone"):
// a 32 x 16 bitmap holding the normal image and, beside it, the disabled one (NumGlyphs 2).
// nullptr for any other name.
std::unique_ptr<TBitmap> PreviewGlyph(const String& buttonName);
