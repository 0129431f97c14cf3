#include "Raster.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace gdi {

constexpr std::uint32_t kRgbMask = 0x00FFFFFF;

bool Clip::Contains(int x, int y) const {
  if (x < bounds.left || x >= bounds.right || y < bounds.top || y >= bounds.bottom) return false;
  if (rects.size() == 1) return true;
  for (const RECT& r : rects) {
    if (r.top > y) break;
    if (y < r.bottom && x >= r.left && x < r.right) return true;
  }
  return false;
}

void Rop2Masks(std::uint32_t p, int rop2, std::uint32_t* andMask, std::uint32_t* xorMask) {
  // Truth table of R2_xxx is rop2 - 1, indexed by pen * 2 + dest. Per bit: d' = (d & a) ^ x
  // with x = f(p, 0) and a = f(p, 0) ^ f(p, 1).
  unsigned t = unsigned(rop2 - 1) & 15;
  auto bit = [t](unsigned i) { return (t >> i) & 1u; };
  std::uint32_t x0 = bit(0) ? ~0u : 0u, a0 = (bit(0) ^ bit(1)) ? ~0u : 0u;
  std::uint32_t x1 = bit(2) ? ~0u : 0u, a1 = (bit(2) ^ bit(3)) ? ~0u : 0u;
  *andMask = ((p & a1) | (~p & a0)) & kRgbMask;
  *xorMask = ((p & x1) | (~p & x0)) & kRgbMask;
}

Fill SolidFill(std::uint32_t pixel, int rop2) {
  Fill f;
  f.kind = Fill::Solid;
  Rop2Masks(pixel, rop2, &f.andMask, &f.xorMask);
  return f;
}

Fill PatternFill(const std::array<std::uint32_t, 64>& pixels, const bool* transparent, int rop2,
                 POINT org) {
  Fill f;
  f.kind = Fill::Pattern;
  f.org = org;
  for (int i = 0; i < 64; ++i) {
    if (transparent && transparent[i]) {
      f.pand[i] = ~0u;
      f.pxor[i] = 0;
    } else {
      Rop2Masks(pixels[i], rop2, &f.pand[i], &f.pxor[i]);
    }
  }
  return f;
}

#if defined(__x86_64__)
__attribute__((target("avx"))) static void Fill32Avx(std::uint32_t* p, std::size_t n,
                                                     std::uint32_t v) {
  __m256i vv = _mm256_set1_epi32(int(v));
  std::size_t i = 0;
  for (; i + 32 <= n; i += 32) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + i), vv);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + i + 8), vv);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + i + 16), vv);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + i + 24), vv);
  }
  for (; i + 8 <= n; i += 8) _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + i), vv);
  for (; i < n; ++i) p[i] = v;
}

static void Fill32Sse(std::uint32_t* p, std::size_t n, std::uint32_t v) {
  __m128i vv = _mm_set1_epi32(int(v));
  std::size_t i = 0;
  for (; i + 16 <= n; i += 16) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i), vv);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i + 4), vv);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i + 8), vv);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i + 12), vv);
  }
  for (; i + 4 <= n; i += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i), vv);
  for (; i < n; ++i) p[i] = v;
}

static const bool kHasAvx = __builtin_cpu_supports("avx");
#endif

void Fill32(std::uint32_t* p, std::size_t n, std::uint32_t v) {
  if (n < 16) {
    for (std::size_t i = 0; i < n; ++i) p[i] = v;
    return;
  }
  // Bytes all equal (black, white with alpha): memset is the fastest store there is.
  if ((v & 0xFF) * 0x01010101u == v) {
    std::memset(p, int(v & 0xFF), n * 4);
    return;
  }
#if defined(__x86_64__)
  if (kHasAvx) Fill32Avx(p, n, v);
  else Fill32Sse(p, n, v);
#else
  for (std::size_t i = 0; i < n; ++i) p[i] = v;
#endif
}

static void ApplyRow(std::uint32_t* d, int n, std::uint32_t a, std::uint32_t x) {
  if (a == 0) {
    Fill32(d, std::size_t(n), x);
  } else if (a == kRgbMask && x == 0) {
    for (int i = 0; i < n; ++i) d[i] &= kRgbMask;
  } else {
    for (int i = 0; i < n; ++i) d[i] = (d[i] & a) ^ x;
  }
}

static void ApplyPatternRow(std::uint32_t* d, int x0, int n, int y, const Fill& f) {
  int row = ((y - f.org.y) & 7) * 8;
  int phase = (x0 - f.org.x) & 7;
  for (int i = 0; i < n; ++i) {
    int k = row + ((phase + i) & 7);
    d[i] = (d[i] & f.pand[k]) ^ f.pxor[k];
  }
}

void FillRectRaw(const Surface& s, const RECT& r, const Fill& f) {
  if (f.kind == Fill::None || r.left >= r.right || r.top >= r.bottom) return;
  int n = r.right - r.left;
  for (int y = r.top; y < r.bottom; ++y) {
    std::uint32_t* d = s.Row(y) + r.left;
    if (f.kind == Fill::Solid) ApplyRow(d, n, f.andMask, f.xorMask);
    else ApplyPatternRow(d, r.left, n, y, f);
  }
}

void FillRectClipped(const Surface& s, const Clip& clip, const RECT& r, const Fill& f) {
  if (f.kind == Fill::None) return;
  for (const RECT& c : clip.rects) {
    if (c.top >= r.bottom) break;
    RECT q{std::max(r.left, c.left), std::max(r.top, c.top), std::min(r.right, c.right),
           std::min(r.bottom, c.bottom)};
    FillRectRaw(s, q, f);
  }
}

void FillSpansClipped(const Surface& s, const Clip& clip, const Span* spans, std::size_t n,
                      const Fill& f) {
  if (f.kind == Fill::None) return;
  for (std::size_t i = 0; i < n; ++i) {
    const Span& sp = spans[i];
    if (sp.y < clip.bounds.top || sp.y >= clip.bounds.bottom) continue;
    for (const RECT& c : clip.rects) {
      if (c.top > sp.y) break;
      if (sp.y >= c.bottom) continue;
      int x0 = std::max(sp.x0, int(c.left)), x1 = std::min(sp.x1, int(c.right));
      if (x0 >= x1) continue;
      std::uint32_t* d = s.Row(sp.y) + x0;
      if (f.kind == Fill::Solid) ApplyRow(d, x1 - x0, f.andMask, f.xorMask);
      else ApplyPatternRow(d, x0, x1 - x0, sp.y, f);
    }
  }
}

void LineStepRange(int x0, int y0, int x1, int y1, int lo, int hi, int* first, int* last) {
  int dx = x1 - x0, dy = y1 - y0;
  bool xMajor = std::abs(dx) > std::abs(dy) || (std::abs(dx) == std::abs(dy) && dx != 0);
  int n = xMajor ? std::abs(dx) : std::abs(dy);
  int start = xMajor ? x0 : y0;
  int dir = (xMajor ? dx : dy) > 0 ? 1 : -1;
  // Major coordinate at step i is start + dir * i.
  std::int64_t a, b;
  if (dir > 0) {
    a = std::int64_t(lo) - start;
    b = std::int64_t(hi) - start;
  } else {
    a = std::int64_t(start) - hi + 1;
    b = std::int64_t(start) - lo + 1;
  }
  *first = int(std::clamp<std::int64_t>(a, 0, n));
  *last = int(std::clamp<std::int64_t>(b, 0, n));
}

static void MajorBounds(const Clip& clip, POINT a, POINT b, int* lo, int* hi) {
  bool xMajor = std::abs(b.x - a.x) >= std::abs(b.y - a.y);
  *lo = xMajor ? clip.bounds.left : clip.bounds.top;
  *hi = xMajor ? clip.bounds.right : clip.bounds.bottom;
}

void SolidLine(const Surface& s, const Clip& clip, POINT a, POINT b, const Fill& f) {
  if (f.kind == Fill::None || clip.Empty()) return;
  if (a.y == b.y && a.x != b.x) {
    Span sp = a.x < b.x ? Span{a.y, a.x, b.x} : Span{a.y, b.x + 1, a.x + 1};
    FillSpansClipped(s, clip, &sp, 1, f);
    return;
  }
  if (a.x == b.x && a.y != b.y) {
    RECT r = a.y < b.y ? RECT{a.x, a.y, a.x + 1, b.y} : RECT{a.x, b.y + 1, a.x + 1, a.y + 1};
    FillRectClipped(s, clip, r, f);
    return;
  }
  int lo, hi, first, last;
  MajorBounds(clip, a, b, &lo, &hi);
  LineStepRange(a.x, a.y, b.x, b.y, lo, hi, &first, &last);
  WalkLine(a.x, a.y, b.x, b.y, first, last, [&](int x, int y) {
    if (!clip.Contains(x, y)) return;
    std::uint32_t* d = s.Row(y) + x;
    *d = (*d & f.andMask) ^ f.xorMask;
  });
}

void DashedLine(const Surface& s, const Clip& clip, POINT a, POINT b, const Fill& on,
                const Fill& gap, const int* pattern, int patternCount, int* pos) {
  int period = 0;
  for (int i = 0; i < patternCount; ++i) period += pattern[i];
  if (period <= 0) {
    SolidLine(s, clip, a, b, on);
    return;
  }
  int lo, hi, first, last;
  MajorBounds(clip, a, b, &lo, &hi);
  LineStepRange(a.x, a.y, b.x, b.y, lo, hi, &first, &last);
  int steps = std::max(std::abs(b.x - a.x), std::abs(b.y - a.y));
  *pos = (*pos + first) % period;
  WalkLine(a.x, a.y, b.x, b.y, first, last, [&](int x, int y) {
    int p = *pos % period;
    *pos = p + 1;
    int seg = 0;
    while (p >= pattern[seg]) p -= pattern[seg++];
    const Fill& f = (seg % 2 == 0) ? on : gap;
    if (f.kind == Fill::None || !clip.Contains(x, y)) return;
    std::uint32_t* d = s.Row(y) + x;
    *d = (*d & f.andMask) ^ f.xorMask;
  });
  *pos = (*pos + (steps - last)) % period;
}

static inline std::uint32_t Blend(std::uint32_t d, std::uint32_t c, unsigned a) {
  // Per channel d + (c - d) * a / 255, rounded.
  std::uint32_t out = 0;
  for (int sh = 0; sh <= 16; sh += 8) {
    int dc = int((d >> sh) & 0xFF), cc = int((c >> sh) & 0xFF);
    int t = (cc - dc) * int(a) + 128;
    int v = dc + ((t + (t >> 8)) >> 8);
    out |= std::uint32_t(v) << sh;
  }
  return out;
}

void BlendMask(const Surface& s, const Clip& clip, int x, int y, const std::uint8_t* mask, int w,
               int h, int stride, std::uint32_t pixel) {
  RECT m{x, y, x + w, y + h};
  pixel &= kRgbMask;
  for (const RECT& c : clip.rects) {
    if (c.top >= m.bottom) break;
    int x0 = std::max(m.left, c.left), x1 = std::min(m.right, c.right);
    int y0 = std::max(m.top, c.top), y1 = std::min(m.bottom, c.bottom);
    for (int yy = y0; yy < y1; ++yy) {
      const std::uint8_t* src = mask + (yy - y) * stride - x;
      std::uint32_t* d = s.Row(yy);
      for (int xx = x0; xx < x1; ++xx) {
        unsigned a = src[xx];
        if (a == 0) continue;
        if (s.mono) {
          if (a >= 128) d[xx] = pixel;
        } else {
          d[xx] = a == 255 ? pixel : Blend(d[xx], pixel, a);
        }
      }
    }
  }
}

static inline std::uint32_t RopPixel(std::uint8_t rop, std::uint32_t p, std::uint32_t s,
                                     std::uint32_t d) {
  std::uint32_t r = 0;
  for (int i = 0; i < 8; ++i) {
    if (!((rop >> i) & 1)) continue;
    r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
  }
  return r;
}

void RopRow(std::uint32_t* d, const std::uint32_t* s, const std::uint32_t* patRow, int patPhase,
            int n, std::uint8_t rop) {
  auto P = [&](int i) { return patRow ? patRow[(patPhase + i) & 7] : 0u; };
  switch (rop) {
    case 0xCC: std::memmove(d, s, std::size_t(n) * 4); return;
    case 0x00: Fill32(d, std::size_t(n), 0); return;
    case 0xFF: Fill32(d, std::size_t(n), kRgbMask); return;
    case 0x66:
      for (int i = 0; i < n; ++i) d[i] = (d[i] ^ s[i]) & kRgbMask;
      return;
    case 0x88:
      for (int i = 0; i < n; ++i) d[i] = (d[i] & s[i]) & kRgbMask;
      return;
    case 0xEE:
      for (int i = 0; i < n; ++i) d[i] = (d[i] | s[i]) & kRgbMask;
      return;
    case 0x33:
      for (int i = 0; i < n; ++i) d[i] = ~s[i] & kRgbMask;
      return;
    case 0x44:
      for (int i = 0; i < n; ++i) d[i] = (s[i] & ~d[i]) & kRgbMask;
      return;
    case 0x55:
      for (int i = 0; i < n; ++i) d[i] = ~d[i] & kRgbMask;
      return;
    case 0xF0:
      for (int i = 0; i < n; ++i) d[i] = P(i) & kRgbMask;
      return;
    case 0x5A:
      for (int i = 0; i < n; ++i) d[i] = (d[i] ^ P(i)) & kRgbMask;
      return;
    case 0xC0:
      for (int i = 0; i < n; ++i) d[i] = (s[i] & P(i)) & kRgbMask;
      return;
    case 0xBB:
      for (int i = 0; i < n; ++i) d[i] = (~s[i] | d[i]) & kRgbMask;
      return;
    case 0xAA: return;
    default: break;
  }
  for (int i = 0; i < n; ++i) d[i] = RopPixel(rop, P(i), s ? s[i] : 0u, d[i]) & kRgbMask;
}

bool GetPixelRaw(const Surface& s, int x, int y, std::uint32_t* out) {
  if (!s.Valid() || x < 0 || y < 0 || x >= s.width || y >= s.height) return false;
  *out = s.Row(y)[x];
  return true;
}

void SetPixelRaw(const Surface& s, int x, int y, std::uint32_t v) {
  if (!s.Valid() || x < 0 || y < 0 || x >= s.width || y >= s.height) return;
  s.Row(y)[x] = v;
}

}  // namespace gdi
