// Pattern and bitmap blits with ternary raster operations, stretching and mirroring, colour and
// monochrome conversion, transparent and alpha blits, and gradient fills.
#include <algorithm>
#include <cstring>

#include "GdiInternal.h"
#include "GdiSurface.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace gdi {
namespace {

constexpr std::uint32_t kRgb = 0x00FFFFFF;

// The brush as raw pattern pixels for ternary operations: one 8-pixel row per pattern row.
struct PatternSource {
  bool used = false;
  std::array<std::uint32_t, 64> px{};
  POINT org;
  const std::uint32_t* Row(int y) const { return px.data() + ((y - org.y) & 7) * 8; }
  int Phase(int x) const { return (x - org.x) & 7; }
};

PatternSource PatternOf(DcObj* dc, bool mono) {
  PatternSource p;
  Fill f = ResolveBrushRop(dc, DcBrush(dc), mono, R2_COPYPEN);
  if (f.kind == Fill::None) {
    p.used = true;  // a null brush paints as black pattern bits
    return p;
  }
  p.used = true;
  if (f.kind == Fill::Solid) {
    p.px.fill(f.xorMask);
    p.org = {0, 0};
  } else {
    p.px = f.pxor;
    p.org = f.org;
  }
  return p;
}

// The mapping of destination index i (counted from the origin in the extent's direction) to
// source index: the source pixel under the destination pixel's centre.
inline int MapIndex(int i, int dstLen, int srcLen) {
  return int((std::int64_t(2 * i + 1) * srcLen) / (std::int64_t(2) * dstLen));
}

struct AxisMap {
  int lo = 0, hi = 0;     // destination range [lo, hi) in surface coordinates
  std::vector<int> src;   // source coordinate for each destination pixel in [lo, hi)
  bool identity = false;  // src[k] == src[0] + k
  bool reversed = false;  // src[k] == src[0] - k
};

// One axis of a blit: destination origin and signed extent, source likewise, source limit;
// only destination pixels in [clipLo, clipHi) are mapped.
AxisMap MapAxis(int d0, int dExt, int s0, int sExt, int srcLimit, int clipLo, int clipHi) {
  AxisMap m;
  int dLen = std::abs(dExt), sLen = std::abs(sExt);
  if (dLen == 0 || sLen == 0) return m;
  int dDir = dExt > 0 ? 1 : -1, sDir = sExt > 0 ? 1 : -1;
  int full = dDir > 0 ? d0 : d0 - dLen + 1;
  m.lo = std::max(full, clipLo);
  m.hi = std::min(full + dLen, clipHi);
  if (m.lo >= m.hi) {
    m.lo = m.hi = 0;
    return m;
  }
  int n = m.hi - m.lo;
  m.src.resize(std::size_t(n));
  for (int k = 0; k < n; ++k) {
    int x = m.lo + k;
    int i = dDir > 0 ? x - d0 : d0 - x;
    m.src[std::size_t(k)] = s0 + sDir * MapIndex(i, dLen, sLen);
  }
  // Only destination pixels whose source lies inside the source bitmap are drawn.
  int first = 0, last = n;
  while (first < last && (m.src[std::size_t(first)] < 0 || m.src[std::size_t(first)] >= srcLimit))
    ++first;
  while (last > first &&
         (m.src[std::size_t(last - 1)] < 0 || m.src[std::size_t(last - 1)] >= srcLimit))
    --last;
  m.src.erase(m.src.begin() + last, m.src.end());
  m.src.erase(m.src.begin(), m.src.begin() + first);
  m.lo += first;
  m.hi = m.lo + (last - first);
  if (dLen == sLen && !m.src.empty()) {
    m.identity = dDir == sDir;
    m.reversed = dDir != sDir;
  }
  return m;
}

#if defined(__x86_64__)
__attribute__((target("avx2"))) void ReverseCopyAvx2(std::uint32_t* d, const std::uint32_t* s,
                                                     int n) {
  const __m256i rev = _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0);
  int k = 0;
  for (; k + 8 <= n; k += 8) {
    __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s - k - 7));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + k), _mm256_permutevar8x32_epi32(v, rev));
  }
  for (; k < n; ++k) d[k] = s[-k];
}
const bool kHasAvx2 = __builtin_cpu_supports("avx2");
#endif

void ReverseCopy(std::uint32_t* d, const std::uint32_t* s, int n) {
  // d[k] = s[-k]
#if defined(__x86_64__)
  if (kHasAvx2) {
    ReverseCopyAvx2(d, s, n);
    return;
  }
#endif
  int k = 0;
#if defined(__SSE2__)
  for (; k + 4 <= n; k += 4) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s - k - 3));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + k), _mm_shuffle_epi32(v, 0x1B));
  }
#endif
  for (; k < n; ++k) d[k] = s[-k];
}

enum class Conv { None, ColorToMono, MonoToColor };

struct BltJob {
  enum Kind { Rop, Transparent, Alpha } kind = Rop;
  std::uint8_t rop = 0xCC;
  std::uint32_t transparent = 0;
  BLENDFUNCTION blend;
};

inline std::uint32_t AlphaPixel(std::uint32_t d, std::uint32_t s, const BLENDFUNCTION& bf) {
  unsigned sca = bf.SourceConstantAlpha;
  unsigned sa = (bf.AlphaFormat & AC_SRC_ALPHA) ? ((s >> 24) * sca + 127) / 255 : sca;
  std::uint32_t out = 0;
  for (int sh = 0; sh < 32; sh += 8) {
    unsigned sc = (s >> sh) & 0xFF, dc = (d >> sh) & 0xFF;
    if (sh == 24 && !(bf.AlphaFormat & AC_SRC_ALPHA)) sc = 0xFF;
    unsigned v = (sc * sca + 127) / 255 + (dc * (255 - sa) + 127) / 255;
    out |= std::min(v, 255u) << sh;
  }
  return out;
}

void ConvertRow(std::uint32_t* out, const std::uint32_t* in, int n, Conv conv, std::uint32_t key,
                std::uint32_t fg, std::uint32_t bg) {
  switch (conv) {
    case Conv::None: std::memcpy(out, in, std::size_t(n) * 4); break;
    case Conv::ColorToMono:
      for (int k = 0; k < n; ++k) out[k] = (in[k] & kRgb) == key ? kRgb : 0;
      break;
    case Conv::MonoToColor:
      for (int k = 0; k < n; ++k) out[k] = (in[k] & kRgb) ? bg : fg;
      break;
  }
}

bool Overlaps(const RECT& a, const RECT& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Surface-level blit: destination ranges from the two axis maps, source pixels from src.
void BlitSurfaces(DcObj* dst, const Surface& ds, const AxisMap& mx, const AxisMap& my,
                  const Surface& ssIn, Conv conv, std::uint32_t key, std::uint32_t fg,
                  std::uint32_t bg, const BltJob& job) {
  if (mx.src.empty() || my.src.empty()) return;
  Surface ss = ssIn;
  std::vector<std::uint32_t> copy;
  int sxMin = *std::min_element(mx.src.begin(), mx.src.end());
  int sxMax = *std::max_element(mx.src.begin(), mx.src.end());
  int syMin = *std::min_element(my.src.begin(), my.src.end());
  int syMax = *std::max_element(my.src.begin(), my.src.end());
  int sxOff = 0, syOff = 0;
  // Same pixels read and written: take the source out first.
  if (ss.bits == ds.bits &&
      Overlaps(RECT{sxMin, syMin, sxMax + 1, syMax + 1}, RECT{mx.lo, my.lo, mx.hi, my.hi})) {
    int w = sxMax - sxMin + 1, h = syMax - syMin + 1;
    copy.resize(std::size_t(w) * std::size_t(h));
    for (int y = 0; y < h; ++y)
      std::memcpy(copy.data() + std::size_t(y) * std::size_t(w), ss.Row(syMin + y) + sxMin,
                  std::size_t(w) * 4);
    ss.bits = copy.data();
    ss.stride = w;
    sxOff = sxMin;
    syOff = syMin;
  }
  PatternSource pat;
  if (job.kind == BltJob::Rop && RopUsesPat(job.rop)) pat = PatternOf(dst, ds.mono);
  const Clip& clip = DcClip(dst);
  std::vector<std::uint32_t> row(std::size_t(mx.hi - mx.lo));
  std::vector<std::uint32_t> conv2(row.size());
  for (const RECT& c : clip.rects) {
    int x0 = std::max(int(c.left), mx.lo), x1 = std::min(int(c.right), mx.hi);
    int y0 = std::max(int(c.top), my.lo), y1 = std::min(int(c.bottom), my.hi);
    if (x0 >= x1 || y0 >= y1) continue;
    int n = x1 - x0, k0 = x0 - mx.lo;
    for (int y = y0; y < y1; ++y) {
      int sy = my.src[std::size_t(y - my.lo)] - syOff;
      const std::uint32_t* srow = ss.Row(sy) - sxOff;
      std::uint32_t* d = ds.Row(y) + x0;
      if (job.kind == BltJob::Rop && job.rop == 0xCC && conv == Conv::None && !mx.identity) {
        // Plain copies go straight to the destination, mirrored or stretched.
        if (mx.reversed) ReverseCopy(d, srow + mx.src[std::size_t(k0)], n);
        else
          for (int k = 0; k < n; ++k) d[k] = srow[mx.src[std::size_t(k0 + k)]];
        continue;
      }
      const std::uint32_t* s;
      if (mx.identity && conv == Conv::None) {
        s = srow + mx.src[std::size_t(k0)];
      } else {
        std::uint32_t* buf = conv == Conv::None ? row.data() : conv2.data();
        if (mx.identity) std::memcpy(buf, srow + mx.src[std::size_t(k0)], std::size_t(n) * 4);
        else if (mx.reversed) ReverseCopy(buf, srow + mx.src[std::size_t(k0)], n);
        else
          for (int k = 0; k < n; ++k) buf[k] = srow[mx.src[std::size_t(k0 + k)]];
        if (conv != Conv::None) ConvertRow(row.data(), conv2.data(), n, conv, key, fg, bg);
        s = row.data();
      }
      switch (job.kind) {
        case BltJob::Rop:
          RopRow(d, s, pat.used ? pat.Row(y) : nullptr, pat.used ? pat.Phase(x0) : 0, n, job.rop);
          break;
        case BltJob::Transparent:
          for (int k = 0; k < n; ++k)
            if ((s[k] & kRgb) != job.transparent) d[k] = ds.mono ? (s[k] & kRgb) : s[k];
          break;
        case BltJob::Alpha:
          for (int k = 0; k < n; ++k) d[k] = AlphaPixel(d[k], s[k], job.blend);
          break;
      }
    }
  }
}

bool RecordImage(DcObj* dst, DcObj* src, POINT d, int w, int h, POINT s, int ws, int hs,
                 DWORD rop) {
  BitmapObj* sb = src ? DcBitmap(src) : nullptr;
  if (!sb) return false;
  Surface ss = sb->Surf();
  POINT so = ToSurface(src, s);
  int sx0 = ws > 0 ? so.x : so.x + ws + 1, sy0 = hs > 0 ? so.y : so.y + hs + 1;
  int sw = std::abs(ws), sh = std::abs(hs);
  // The source rectangle's pixels, or the whole bitmap when the rectangle reaches outside it
  // (the replay then leaves out what has no source, as drawing does).
  bool inside = sx0 >= 0 && sy0 >= 0 && sx0 + sw <= ss.width && sy0 + sh <= ss.height;
  int ix = inside ? sx0 : 0, iy = inside ? sy0 : 0;
  int iw = inside ? sw : ss.width, ih = inside ? sh : ss.height;
  auto img = std::make_shared<GdiRecordedImage>();
  img->width = iw;
  img->height = ih;
  img->monochrome = ss.mono;
  img->pixels.resize(std::size_t(iw) * std::size_t(ih));
  for (int y = 0; y < ih; ++y)
    std::memcpy(img->pixels.data() + std::size_t(y) * std::size_t(iw), ss.Row(iy + y) + ix,
                std::size_t(iw) * 4);
  GdiRecordOp& op = Record(dst, GdiOpKind::Image);
  POINT dd = ToDevice(dst, d);
  op.rect = {dd.x, dd.y, dd.x + w, dd.y + h};
  int left = (ws > 0 ? sx0 : sx0 + sw - 1) - ix, top = (hs > 0 ? sy0 : sy0 + sh - 1) - iy;
  op.srcRect = {left, top, left + ws, top + hs};
  op.rop = rop;
  op.image = std::move(img);
  return true;
}

BOOL PatBltDevice(DcObj* dc, RECT r, std::uint8_t rop) {
  BitmapObj* bmp = DcBitmap(dc);
  if (!bmp) return TRUE;
  Surface s = bmp->Surf();
  POINT o = DeviceToSurface(dc);
  r = {r.left + o.x, r.top + o.y, r.right + o.x, r.bottom + o.y};
  const Clip& clip = DcClip(dc);
  // The common operations are binary ones with the brush: span fills.
  int rop2 = 0;
  switch (rop) {
    case 0xF0: rop2 = R2_COPYPEN; break;
    case 0x5A: rop2 = R2_XORPEN; break;
    case 0x55: rop2 = R2_NOT; break;
    case 0x00: rop2 = R2_BLACK; break;
    case 0xFF: rop2 = R2_WHITE; break;
    case 0xAA: return TRUE;
    default: break;
  }
  if (rop2) {
    Fill f = rop2 == R2_COPYPEN || rop2 == R2_XORPEN
                 ? ResolveBrushRop(dc, DcBrush(dc), s.mono, rop2)
                 : SolidFill(0, rop2);
    if (f.kind == Fill::None && rop2 == R2_COPYPEN) f = SolidFill(0, R2_COPYPEN);
    FillRectClipped(s, clip, r, f);
    return TRUE;
  }
  PatternSource pat = PatternOf(dc, s.mono);
  for (const RECT& c : clip.rects) {
    int x0 = std::max(r.left, c.left), x1 = std::min(r.right, c.right);
    int y0 = std::max(r.top, c.top), y1 = std::min(r.bottom, c.bottom);
    for (int y = y0; y < y1 && x0 < x1; ++y)
      RopRow(s.Row(y) + x0, nullptr, pat.Row(y), pat.Phase(x0), x1 - x0, rop);
  }
  return TRUE;
}

BOOL DoBlit(HDC hdst, int x, int y, int w, int h, HDC hsrc, int xs, int ys, int ws, int hs,
            DWORD rop, const BltJob& job) {
  DcObj* dst = LookupDC(hdst);
  if (!dst) return FALSE;
  if (job.kind == BltJob::Rop && !RopUsesSrc(job.rop)) return PatBlt(hdst, x, y, w, h, rop);
  DcObj* src = LookupDC(hsrc);
  if (!src) return FALSE;
  w = Coord(w);
  h = Coord(h);
  ws = Coord(ws);
  hs = Coord(hs);
  if (w == 0 || h == 0 || ws == 0 || hs == 0) return TRUE;
  if (IsRecording(dst)) {
    if (RecordImage(dst, src, {x, y}, w, h, {xs, ys}, ws, hs, rop) &&
        job.kind == BltJob::Transparent)
      dst->recording->ops.back().transparent = job.transparent;
    return TRUE;
  }
  BitmapObj* db = DcBitmap(dst);
  BitmapObj* sb = DcBitmap(src);
  if (!db) return TRUE;
  if (!sb) return FALSE;
  Surface ds = db->Surf(), ss = sb->Surf();
  POINT d0 = ToSurface(dst, {x, y}), s0 = ToSurface(src, {xs, ys});
  const Clip& clip = DcClip(dst);
  if (clip.Empty()) return TRUE;
  AxisMap mx = MapAxis(d0.x, w, s0.x, ws, ss.width, clip.bounds.left, clip.bounds.right);
  AxisMap my = MapAxis(d0.y, h, s0.y, hs, ss.height, clip.bounds.top, clip.bounds.bottom);
  Conv conv = Conv::None;
  std::uint32_t key = 0, fg = 0, bg = 0;
  if (!ss.mono && ds.mono) {
    conv = Conv::ColorToMono;
    key = ToPixel(src->st.bkColor, false);
  } else if (ss.mono && !ds.mono) {
    conv = Conv::MonoToColor;
    fg = ToPixel(dst->st.textColor, false);
    bg = ToPixel(dst->st.bkColor, false);
  }
  BltJob j = job;
  if (j.kind == BltJob::Transparent) {
    // The key is compared with source pixels as they arrive at the destination.
    j.transparent = ToPixel(j.transparent, false);
  }
  BlitSurfaces(dst, ds, mx, my, ss, conv, key, fg, bg, j);
  return TRUE;
}

// One channel along a gradient: floor((c1 * (len - p) + c2 * p) / len) for p = 0, 1, 2 ...
// stepped without a division per pixel.
struct ChannelStep {
  std::int64_t q, r, dq, dr, len;
  ChannelStep(COLOR16 c1, COLOR16 c2, std::int64_t length, std::int64_t start) : len(length) {
    std::int64_t d = std::int64_t(c2) - c1;
    dq = d >= 0 ? d / len : -((-d + len - 1) / len);
    dr = d - dq * len;
    std::int64_t t = std::int64_t(c1) * len + d * start;
    q = t / len;
    r = t % len;
  }
  unsigned Next() {
    unsigned v = unsigned(q) >> 8;
    q += dq;
    r += dr;
    if (r >= len) {
      r -= len;
      ++q;
    }
    return v;
  }
};

void GradientRect(DcObj* dc, const Surface& s, TRIVERTEX a, TRIVERTEX b, bool vertical) {
  POINT pa = ToSurface(dc, {a.x, a.y}), pb = ToSurface(dc, {b.x, b.y});
  a.x = pa.x;
  a.y = pa.y;
  b.x = pb.x;
  b.y = pb.y;
  // Colours follow their vertices: the one nearer the origin of the axis starts.
  if (vertical ? a.y > b.y : a.x > b.x) std::swap(a, b);
  RECT r = NormalizeRect(RECT{a.x, a.y, b.x, b.y});
  if (r.left >= r.right || r.top >= r.bottom) return;
  const Clip& clip = DcClip(dc);
  std::int64_t start = vertical ? a.y : a.x;
  std::int64_t len = vertical ? b.y - a.y : b.x - a.x;
  // Pixels from position from to position to (exclusive), in order.
  auto run = [&](int from, int to, std::uint32_t* out) {
    ChannelStep r(a.Red, b.Red, len, from - start), g(a.Green, b.Green, len, from - start),
        bl(a.Blue, b.Blue, len, from - start), al(a.Alpha, b.Alpha, len, from - start);
    for (int p = from; p < to; ++p) {
      std::uint32_t v = (r.Next() << 16) | (g.Next() << 8) | bl.Next() | (al.Next() << 24);
      out[p - from] = s.mono ? ToPixel(PixelToColor(v & kRgb), true) : v;
    }
  };
  std::vector<std::uint32_t> line;
  for (const RECT& c : clip.rects) {
    int x0 = std::max(r.left, c.left), x1 = std::min(r.right, c.right);
    int y0 = std::max(r.top, c.top), y1 = std::min(r.bottom, c.bottom);
    if (x0 >= x1 || y0 >= y1) continue;
    if (vertical) {
      line.resize(std::size_t(y1 - y0));
      run(y0, y1, line.data());
      for (int y = y0; y < y1; ++y)
        Fill32(s.Row(y) + x0, std::size_t(x1 - x0), line[std::size_t(y - y0)]);
    } else {
      line.resize(std::size_t(x1 - x0));
      run(x0, x1, line.data());
      for (int y = y0; y < y1; ++y) std::memcpy(s.Row(y) + x0, line.data(), line.size() * 4);
    }
  }
}

void GradientTriangle(DcObj* dc, const Surface& s, const TRIVERTEX* v[3]) {
  POINT p[3];
  for (int i = 0; i < 3; ++i) p[i] = ToSurface(dc, {v[i]->x, v[i]->y});
  const Clip& clip = DcClip(dc);
  if (clip.Empty()) return;
  SpanList spans;
  int three = 3;
  PolygonDeviceSpans(p, &three, 1, ALTERNATE, spans, clip.bounds.top, clip.bounds.bottom);
  double det =
      double(p[1].y - p[2].y) * (p[0].x - p[2].x) + double(p[2].x - p[1].x) * (p[0].y - p[2].y);
  if (det == 0) return;
  for (const Span& sp : spans) {
    for (int x = std::max(sp.x0, int(clip.bounds.left));
         x < std::min(sp.x1, int(clip.bounds.right)); ++x) {
      if (!clip.Contains(x, sp.y)) continue;
      double l0 =
          (double(p[1].y - p[2].y) * (x - p[2].x) + double(p[2].x - p[1].x) * (sp.y - p[2].y)) /
          det;
      double l1 =
          (double(p[2].y - p[0].y) * (x - p[2].x) + double(p[0].x - p[2].x) * (sp.y - p[2].y)) /
          det;
      double l2 = 1 - l0 - l1;
      auto ch = [&](COLOR16 TRIVERTEX::*m) {
        double c = l0 * (v[0]->*m) + l1 * (v[1]->*m) + l2 * (v[2]->*m);
        return std::uint32_t(std::clamp(c, 0.0, 65535.0)) >> 8;
      };
      std::uint32_t px =
          (ch(&TRIVERTEX::Red) << 16) | (ch(&TRIVERTEX::Green) << 8) | ch(&TRIVERTEX::Blue);
      s.Row(sp.y)[x] = s.mono ? ToPixel(PixelToColor(px), true) : px;
    }
  }
}

}  // namespace
}  // namespace gdi

using namespace gdi;

BOOL PatBlt(HDC h, int x, int y, int width, int height, DWORD rop) {
  DcObj* dc = LookupDC(h);
  if (!dc) return FALSE;
  std::uint8_t r3 = std::uint8_t(rop >> 16);
  if (RopUsesSrc(r3)) return FALSE;
  POINT a = ToDevice(dc, {x, y});
  RECT r = NormalizeRect(RECT{a.x, a.y, a.x + Coord(width), a.y + Coord(height)});
  if (IsRecording(dc)) {
    GdiRecordOp& op = Record(dc, GdiOpKind::PatBlt);
    op.rect = r;
    op.rop = rop;
    return TRUE;
  }
  return PatBltDevice(dc, r, r3);
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop) {
  BltJob job;
  job.rop = std::uint8_t(rop >> 16);
  return DoBlit(dest, x, y, width, height, src, xSrc, ySrc, width, height, rop, job);
}

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc,
                int srcWidth, int srcHeight, DWORD rop) {
  BltJob job;
  job.rop = std::uint8_t(rop >> 16);
  return DoBlit(dest, x, y, width, height, src, xSrc, ySrc, srcWidth, srcHeight, rop, job);
}

BOOL TransparentBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc,
                    int srcWidth, int srcHeight, UINT transparent) {
  if (width < 0 || height < 0 || srcWidth < 0 || srcHeight < 0) return FALSE;
  BltJob job;
  job.kind = BltJob::Transparent;
  job.transparent = transparent;
  return DoBlit(dest, x, y, width, height, src, xSrc, ySrc, srcWidth, srcHeight, SRCCOPY, job);
}

BOOL AlphaBlend(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc,
                int srcWidth, int srcHeight, BLENDFUNCTION blend) {
  if (width < 0 || height < 0 || srcWidth < 0 || srcHeight < 0 || blend.BlendOp != AC_SRC_OVER)
    return FALSE;
  BltJob job;
  job.kind = BltJob::Alpha;
  job.blend = blend;
  return DoBlit(dest, x, y, width, height, src, xSrc, ySrc, srcWidth, srcHeight, SRCCOPY, job);
}

BOOL MaskBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc,
             HBITMAP mask, int xMask, int yMask, DWORD rop) {
  DWORD fore = rop & 0x00FFFFFF;
  DWORD back = ((rop >> 8) & 0x00FF0000);
  BitmapObj* m = LookupAs<BitmapObj>(mask, OBJ_BITMAP);
  if (!m) return BitBlt(dest, x, y, width, height, src, xSrc, ySrc, fore);
  if (!m->mono) return FALSE;
  DcObj* d = LookupDC(dest);
  if (!d || width <= 0 || height <= 0) return FALSE;
  width = std::min(width, m->width - std::max(xMask, 0));
  height = std::min(height, m->height - std::max(yMask, 0));
  if (width <= 0 || height <= 0 || xMask < 0 || yMask < 0) return TRUE;
  // Both results are built on copies of the destination and merged through the mask.
  HDC tmp = CreateCompatibleDC(0);
  HBITMAP tb = GdiCreateBitmap32(std::max(width, 1), std::max(height, 1));
  SelectObject(tmp, tb);
  SelectObject(tmp, d->st.brush.handle());
  SetTextColor(tmp, d->st.textColor);
  SetBkColor(tmp, d->st.bkColor);
  BitBlt(tmp, 0, 0, width, height, dest, x, y, SRCCOPY);
  BitBlt(tmp, 0, 0, width, height, src, xSrc, ySrc, back | 0x20);
  HDC fg = CreateCompatibleDC(0);
  HBITMAP fb = GdiCreateBitmap32(std::max(width, 1), std::max(height, 1));
  SelectObject(fg, fb);
  SelectObject(fg, d->st.brush.handle());
  SetTextColor(fg, d->st.textColor);
  SetBkColor(fg, d->st.bkColor);
  BitBlt(fg, 0, 0, width, height, dest, x, y, SRCCOPY);
  BitBlt(fg, 0, 0, width, height, src, xSrc, ySrc, fore);
  Surface ms = m->Surf();
  Surface t = LookupAs<BitmapObj>(tb, OBJ_BITMAP)->Surf();
  Surface f = LookupAs<BitmapObj>(fb, OBJ_BITMAP)->Surf();
  for (int yy = 0; yy < height; ++yy)
    for (int xx = 0; xx < width; ++xx) {
      std::uint32_t mv;
      if (GetPixelRaw(ms, xMask + xx, yMask + yy, &mv) && (mv & kRgb))
        t.Row(yy)[xx] = f.Row(yy)[xx];
    }
  BitBlt(dest, x, y, width, height, tmp, 0, 0, SRCCOPY);
  DeleteDC(tmp);
  DeleteDC(fg);
  DeleteObject(tb);
  DeleteObject(fb);
  return TRUE;
}

BOOL GradientFill(HDC h, const TRIVERTEX* vertices, ULONG vertexCount, const void* mesh,
                  ULONG meshCount, ULONG mode) {
  DcObj* dc = LookupDC(h);
  if (!dc || !vertices || !mesh || mode > GRADIENT_FILL_TRIANGLE) return FALSE;
  auto valid = [&](ULONG i) { return i < vertexCount; };
  if (IsRecording(dc)) {
    // Rendered once into a bitmap the size of the gradient's box and recorded as an image.
    LONG l = vertices[0].x, t = vertices[0].y, r = l, b = t;
    for (ULONG i = 0; i < vertexCount; ++i) {
      l = std::min(l, vertices[i].x);
      t = std::min(t, vertices[i].y);
      r = std::max(r, vertices[i].x);
      b = std::max(b, vertices[i].y);
    }
    // Only the part on the page: logical box intersected with the device area.
    POINT d0 = ToDevice(dc, {l, t}), d1 = ToDevice(dc, {r, b});
    const GdiDeviceInfo& dev = dc->recording->device;
    LONG cl = std::max<LONG>(d0.x, 0), ct = std::max<LONG>(d0.y, 0);
    LONG cr = std::min<LONG>(d1.x, dev.width), cb = std::min<LONG>(d1.y, dev.height);
    l += cl - d0.x;
    t += ct - d0.y;
    r = l + (cr - cl);
    b = t + (cb - ct);
    if (r <= l || b <= t) return TRUE;
    HDC mem = CreateCompatibleDC(0);
    HBITMAP bmp = GdiCreateBitmap32(r - l, b - t);
    SelectObject(mem, bmp);
    SetWindowOrgEx(mem, l, t, nullptr);
    GradientFill(mem, vertices, vertexCount, mesh, meshCount, mode);
    SetWindowOrgEx(mem, 0, 0, nullptr);
    BitBlt(h, l, t, r - l, b - t, mem, 0, 0, SRCCOPY);
    DeleteDC(mem);
    DeleteObject(bmp);
    return TRUE;
  }
  BitmapObj* bmp = DcBitmap(dc);
  if (!bmp) return TRUE;
  Surface s = bmp->Surf();
  if (mode == GRADIENT_FILL_TRIANGLE) {
    auto* tri = static_cast<const GRADIENT_TRIANGLE*>(mesh);
    for (ULONG i = 0; i < meshCount; ++i) {
      if (!valid(tri[i].Vertex1) || !valid(tri[i].Vertex2) || !valid(tri[i].Vertex3)) return FALSE;
      const TRIVERTEX* v[3] = {&vertices[tri[i].Vertex1], &vertices[tri[i].Vertex2],
                               &vertices[tri[i].Vertex3]};
      GradientTriangle(dc, s, v);
    }
    return TRUE;
  }
  auto* rects = static_cast<const GRADIENT_RECT*>(mesh);
  for (ULONG i = 0; i < meshCount; ++i) {
    if (!valid(rects[i].UpperLeft) || !valid(rects[i].LowerRight)) return FALSE;
    GradientRect(dc, s, vertices[rects[i].UpperLeft], vertices[rects[i].LowerRight],
                 mode == GRADIENT_FILL_RECT_V);
  }
  return TRUE;
}

BOOL GradientFillRect(HDC dc, const RECT& r, COLORREF first, COLORREF second, ULONG mode) {
  auto vertex = [](LONG x, LONG y, COLORREF c) {
    TRIVERTEX v;
    v.x = x;
    v.y = y;
    v.Red = COLOR16(GetRValue(c) << 8);
    v.Green = COLOR16(GetGValue(c) << 8);
    v.Blue = COLOR16(GetBValue(c) << 8);
    v.Alpha = 0;
    return v;
  };
  TRIVERTEX v[2] = {vertex(r.left, r.top, first), vertex(r.right, r.bottom, second)};
  GRADIENT_RECT mesh{0, 1};
  return GradientFill(dc, v, 2, &mesh, 1, mode);
}
