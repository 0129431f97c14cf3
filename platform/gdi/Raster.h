#pragma once
// The raster primitives everything else draws through: solid and pattern span fills, the
// one-pixel line, raster-operation rows for blits, glyph masks and single pixels.
//
// The pixel rule, once for the whole engine: pixel (x, y) is the unit square whose top-left
// corner is the point (x, y). A filled shape covers the pixels whose corner point lies inside
// it, its top and left edges included and its right and bottom edges excluded. A one-pixel
// line lights, at each step along its major axis, the pixel nearest the ideal line (ties go to
// the smaller coordinate of the minor axis), and never its last point.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "WinTypes.h"

namespace gdi {

struct Surface {
  std::uint32_t* bits = nullptr;  // top row
  int width = 0;
  int height = 0;
  std::ptrdiff_t stride = 0;  // in pixels; negative for bottom-up storage
  bool mono = false;
  std::uint32_t* Row(int y) const { return bits + y * stride; }
  bool Valid() const { return bits && width > 0 && height > 0; }
};

// Where drawing may go: disjoint rectangles in surface coordinates, sorted by top then left.
struct Clip {
  std::vector<RECT> rects;
  RECT bounds;
  bool Empty() const { return rects.empty(); }
  bool Contains(int x, int y) const;
};

// A horizontal run [x0, x1) on row y.
struct Span {
  int y;
  int x0;
  int x1;
};
using SpanList = std::vector<Span>;

// What a pen or brush does to a destination pixel: dst = (dst & and) ^ xor, one pair for a
// solid colour or one per pixel of an 8 x 8 pattern aligned to org. Every binary raster
// operation with a given colour reduces to such a pair.
struct Fill {
  enum Kind { None, Solid, Pattern } kind = None;
  std::uint32_t andMask = 0;
  std::uint32_t xorMask = 0;
  std::array<std::uint32_t, 64> pand{};
  std::array<std::uint32_t, 64> pxor{};
  POINT org;  // pattern origin in surface coordinates
};

// The and/xor pair of binary raster operation rop2 (R2_xxx) with pen or brush pixel p.
// Results keep the alpha byte 0, so monochrome pixels stay 0x000000 or 0xFFFFFF.
void Rop2Masks(std::uint32_t p, int rop2, std::uint32_t* andMask, std::uint32_t* xorMask);
Fill SolidFill(std::uint32_t pixel, int rop2);
// transparent[i] marks pattern pixels that leave the destination alone (hatch gaps).
Fill PatternFill(const std::array<std::uint32_t, 64>& pixels, const bool* transparent, int rop2,
                 POINT org);

// ---- Primitive table ----
// Fills n words with v at store speed.
void Fill32(std::uint32_t* p, std::size_t n, std::uint32_t v);
// r must already lie inside the surface and the clip.
void FillRectRaw(const Surface& s, const RECT& r, const Fill& f);
void FillRectClipped(const Surface& s, const Clip& clip, const RECT& r, const Fill& f);
void FillSpansClipped(const Surface& s, const Clip& clip, const Span* spans, std::size_t n,
                      const Fill& f);

// The steps [first, last) of the one-pixel line from (x0, y0) to (x1, y1) whose major-axis
// coordinate lies in [lo, hi); the line has max(|dx|, |dy|) steps.
void LineStepRange(int x0, int y0, int x1, int y1, int lo, int hi, int* first, int* last);

// Walks steps [first, last) of the one-pixel line from (x0, y0) to (x1, y1) (the end point is
// never a step), calling visit(x, y).
template <class Visit>
void WalkLine(int x0, int y0, int x1, int y1, int first, int last, Visit&& visit) {
  int dx = x1 - x0, dy = y1 - y0;
  int adx = std::abs(dx), ady = std::abs(dy);
  int sx = dx > 0 ? 1 : -1, sy = dy > 0 ? 1 : -1;
  bool xMajor = adx > ady || (adx == ady && adx != 0);
  std::int64_t major = xMajor ? adx : ady, minor = xMajor ? ady : adx;
  if (first >= last || major == 0) return;
  // Ties round to the smaller minor coordinate: when the minor axis runs downwards a tie
  // must step (bias 1), when it runs upwards it must stay (bias 0) and vice versa.
  int minorSign = xMajor ? sy : sx;
  int bias = minorSign < 0 ? 1 : 0;
  // State at step first: minor offset m (rounded as the steps before it would have) and the
  // error term 2 * minor * (i + 1) - major * (2 * m + 1).
  std::int64_t i = first;
  std::int64_t num = 2 * i * minor;
  std::int64_t m = bias ? (num + major) / (2 * major) : (num - major + 2 * major - 1) / (2 * major);
  if (!bias && num - major < 0) m = 0;
  std::int64_t err = 2 * minor * (i + 1) - major * (2 * m + 1);
  int x = xMajor ? x0 + int(i) * sx : x0 + int(m) * sx;
  int y = xMajor ? y0 + int(m) * sy : y0 + int(i) * sy;
  for (; i < last; ++i) {
    visit(x, y);
    if (err + bias > 0) {
      if (xMajor) y += sy;
      else x += sx;
      err += 2 * minor - 2 * major;
    } else {
      err += 2 * minor;
    }
    if (xMajor) x += sx;
    else y += sy;
  }
}

// The one-pixel solid line, clipped; b excluded.
void SolidLine(const Surface& s, const Clip& clip, POINT a, POINT b, const Fill& f);
// Cosmetic dashed line: on and off runs from pattern (pixels), position carried in *pos;
// gaps use gap (kind None: left alone).
void DashedLine(const Surface& s, const Clip& clip, POINT a, POINT b, const Fill& on,
                const Fill& gap, const int* pattern, int patternCount, int* pos);

// Blends the text colour into the surface by 8-bit coverage; on monochrome surfaces a
// coverage of half or more sets the pixel.
void BlendMask(const Surface& s, const Clip& clip, int x, int y, const std::uint8_t* mask, int w,
               int h, int stride, std::uint32_t pixel);

// Ternary raster operation on a row: d = rop(p, s, d) with the truth table byte. src and pat
// may be null when the operation does not read them; a pattern row is 8 pixels starting at
// phase patPhase (the pixel under d[0]).
void RopRow(std::uint32_t* d, const std::uint32_t* s, const std::uint32_t* patRow, int patPhase,
            int n, std::uint8_t rop);

bool GetPixelRaw(const Surface& s, int x, int y, std::uint32_t* out);
void SetPixelRaw(const Surface& s, int x, int y, std::uint32_t v);

// Does a ternary raster operation read the source, the pattern?
inline bool RopUsesSrc(std::uint8_t rop) { return ((rop >> 2) & 0x33) != (rop & 0x33); }
inline bool RopUsesPat(std::uint8_t rop) { return (rop >> 4) != (rop & 0x0F); }

}  // namespace gdi
