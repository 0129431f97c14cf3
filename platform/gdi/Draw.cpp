// Lines, pens, rectangles, ellipses, polygons and pixels.
#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

#include "GdiInternal.h"
#include "PenPath.h"

namespace gdi {
namespace {

constexpr int kDash[] = {18, 6};
constexpr int kDot[] = {3, 3};
constexpr int kDashDot[] = {9, 6, 3, 6};
constexpr int kDashDotDot[] = {9, 3, 3, 3, 3, 3};
constexpr int kAlternate[] = {1, 1};

struct DashPattern {
  const int* runs = nullptr;
  int count = 0;
};

DashPattern PenDashes(const PenObj* pen) {
  switch (pen->Dash()) {
    case PS_DASH: return {kDash, 2};
    case PS_DOT: return {kDot, 2};
    case PS_DASHDOT: return {kDashDot, 4};
    case PS_DASHDOTDOT: return {kDashDotDot, 6};
    case PS_ALTERNATE: return {kAlternate, 2};
    default: return {};
  }
}

bool PenDraws(const PenObj* pen) { return pen && pen->Dash() != PS_NULL; }

std::int64_t CeilDiv(std::int64_t num, std::int64_t den) {
  std::int64_t q = num / den, r = num % den;
  return (r != 0 && ((r > 0) == (den > 0))) ? q + 1 : q;
}

int CeilToInt(double v) {
  v = std::ceil(v);
  if (v < -1e9) return -1000000000;
  if (v > 1e9) return 1000000000;
  return int(v);
}

// Sorts spans by row and start and merges overlapping or touching ones, so that every pixel is
// painted once (a non-idempotent raster operation must not hit a pixel twice).
void MergeSpans(SpanList& spans) {
  std::sort(spans.begin(), spans.end(),
            [](const Span& a, const Span& b) { return a.y != b.y ? a.y < b.y : a.x0 < b.x0; });
  std::size_t out = 0;
  for (std::size_t i = 0; i < spans.size(); ++i) {
    if (spans[i].x0 >= spans[i].x1) continue;
    if (out > 0 && spans[out - 1].y == spans[i].y && spans[i].x0 <= spans[out - 1].x1)
      spans[out - 1].x1 = std::max(spans[out - 1].x1, spans[i].x1);
    else spans[out++] = spans[i];
  }
  spans.resize(out);
}

enum class Cap { Round, Square, Flat };

struct PointD {
  double x, y;
};

// The area a geometric pen of radius r sweeps along segment a-b, as spans of the pixels whose
// corner points it covers.
void SegmentSpans(PointD a, PointD b, double r, Cap cap, int yLo, int yHi, SpanList& out) {
  double dx = b.x - a.x, dy = b.y - a.y, len = std::hypot(dx, dy);
  bool disc = cap == Cap::Round;
  PointD quad[4];
  bool hasQuad = false;
  if (len > 0) {
    double ux = dx / len, uy = dy / len, nx = -uy * r, ny = ux * r;
    double ext = cap == Cap::Square ? r : 0;
    PointD a2{a.x - ux * ext, a.y - uy * ext}, b2{b.x + ux * ext, b.y + uy * ext};
    quad[0] = {a2.x + nx, a2.y + ny};
    quad[1] = {b2.x + nx, b2.y + ny};
    quad[2] = {b2.x - nx, b2.y - ny};
    quad[3] = {a2.x - nx, a2.y - ny};
    hasQuad = true;
  } else if (cap == Cap::Square) {
    quad[0] = {a.x - r, a.y - r};
    quad[1] = {a.x + r, a.y - r};
    quad[2] = {a.x + r, a.y + r};
    quad[3] = {a.x - r, a.y + r};
    hasQuad = true;
  } else if (cap == Cap::Flat) {
    return;
  }
  double ymin = std::numeric_limits<double>::max(), ymax = -ymin;
  if (hasQuad)
    for (const PointD& p : quad) {
      ymin = std::min(ymin, p.y);
      ymax = std::max(ymax, p.y);
    }
  if (disc) {
    ymin = std::min({ymin, a.y - r, b.y - r});
    ymax = std::max({ymax, a.y + r, b.y + r});
  }
  int yEnd = ymax >= yHi ? yHi : CeilToInt(ymax);
  for (int y = std::max(CeilToInt(ymin), yLo); y < yEnd; ++y) {
    double xl = std::numeric_limits<double>::max(), xr = -xl;
    auto take = [&](double x) {
      xl = std::min(xl, x);
      xr = std::max(xr, x);
    };
    if (hasQuad) {
      for (int i = 0; i < 4; ++i) {
        const PointD& p = quad[i];
        const PointD& q = quad[(i + 1) % 4];
        if ((y < p.y && y < q.y) || (y > p.y && y > q.y)) continue;
        if (p.y == q.y) {
          take(p.x);
          take(q.x);
        } else {
          take(p.x + (y - p.y) * (q.x - p.x) / (q.y - p.y));
        }
      }
    }
    if (disc) {
      for (const PointD& c : {a, b}) {
        double t = r * r - (y - c.y) * (y - c.y);
        if (t < 0) continue;
        double h = std::sqrt(t);
        take(c.x - h);
        take(c.x + h);
      }
    }
    if (xl > xr) continue;
    int x0 = CeilToInt(xl), x1 = CeilToInt(xr);
    if (x0 < x1) out.push_back({y, x0, x1});
  }
}

Cap PenCap(const PenObj* pen) {
  if (!pen->ext) return Cap::Round;
  switch (pen->style & PS_ENDCAP_MASK) {
    case PS_ENDCAP_SQUARE: return Cap::Square;
    case PS_ENDCAP_FLAT: return Cap::Flat;
    default: return Cap::Round;
  }
}

void WidePolylineSpans(const PointD* pts, int n, bool closed, const PenObj* pen, int yLo, int yHi,
                       SpanList& out) {
  double r = pen->width / 2.0;
  Cap cap = PenCap(pen);
  int segs = closed ? n : n - 1;
  for (int i = 0; i < segs; ++i) SegmentSpans(pts[i], pts[(i + 1) % n], r, cap, yLo, yHi, out);
  // Joins are round: a disc at every inner vertex covers the gap between flat or square ends.
  if (cap != Cap::Round)
    for (int i = closed ? 0 : 1; i < (closed ? n : n - 1); ++i)
      SegmentSpans(pts[i], pts[i], r, Cap::Round, yLo, yHi, out);
  if (n == 1) SegmentSpans(pts[0], pts[0], r, cap, yLo, yHi, out);
  MergeSpans(out);
}

// The clip's rows in device units: what span builders need to produce, and no more.
void DeviceRows(DcObj* dc, int* lo, int* hi) {
  const Clip& c = DcClip(dc);
  int oy = DeviceToSurface(dc).y;
  *lo = c.Empty() ? 0 : c.bounds.top - oy;
  *hi = c.Empty() ? 0 : c.bounds.bottom - oy;
}

Fill PenFill(DcObj* dc, const PenObj* pen, bool mono) {
  return SolidFill(ToPixel(PenColor(dc, pen), mono), dc->st.rop2);
}

// Rows of a filled shape as inclusive pixel ranges; the outline is the shape's pixels that have
// a 4-neighbour outside it.
struct ShapeRows {
  int top = 0;
  std::vector<std::pair<int, int>> rows;  // [left, right] per row, left > right when empty
};

void PaintShape(DcObj* dc, const ShapeRows& shape, bool pen, bool brush) {
  BitmapObj* bmp = DcBitmap(dc);
  if (!bmp) return;
  Surface s = bmp->Surf();
  const Clip& clip = DcClip(dc);
  POINT o = DeviceToSurface(dc);
  SpanList inner, outline;
  int n = int(shape.rows.size());
  auto row = [&](int i) {
    return i >= 0 && i < n ? shape.rows[std::size_t(i)] : std::pair<int, int>{1, 0};
  };
  for (int i = 0; i < n; ++i) {
    auto [l, r] = row(i);
    if (l > r) continue;
    int y = shape.top + i + o.y;
    if (!pen) {
      inner.push_back({y, l + o.x, r + 1 + o.x});
      continue;
    }
    auto up = row(i - 1), down = row(i + 1);
    int il = std::max({l + 1, up.first, down.first});
    int ir = std::min({r - 1, up.second, down.second});
    if (il > ir) {
      outline.push_back({y, l + o.x, r + 1 + o.x});
    } else {
      outline.push_back({y, l + o.x, il + o.x});
      outline.push_back({y, ir + 1 + o.x, r + 1 + o.x});
      inner.push_back({y, il + o.x, ir + 1 + o.x});
    }
  }
  if (brush) {
    Fill f = ResolveBrush(dc, DcBrush(dc), s.mono);
    FillSpansClipped(s, clip, inner.data(), inner.size(), f);
  }
  if (pen) {
    Fill f = PenFill(dc, DcPen(dc), s.mono);
    FillSpansClipped(s, clip, outline.data(), outline.size(), f);
  }
}

// Row y of an ellipse through the pixel positions left..right, top..bottom (inclusive), as an
// inclusive pixel range.
std::pair<int, int> EllipseRow(int left, int top, int right, int bottom, int y) {
  double cx = (left + double(right)) / 2.0, cy = (top + double(bottom)) / 2.0;
  double a = (double(right) - left) / 2.0, b = (double(bottom) - top) / 2.0;
  double t = b > 0 ? (y - cy) / b : 0;
  double hw = a * std::sqrt(std::max(0.0, 1 - t * t));
  return {CeilToInt(cx - hw - 0.5), CeilToInt(std::floor(cx + hw + 0.5))};
}

// The ellipse's rows yLo..yHi (inclusive) only.
ShapeRows EllipseRows(int left, int top, int right, int bottom, int yLo, int yHi) {
  ShapeRows s;
  s.top = std::max(top, yLo);
  for (int y = s.top; y <= std::min(bottom, yHi); ++y)
    s.rows.push_back(EllipseRow(left, top, right, bottom, y));
  return s;
}

}  // namespace

void FillDeviceRect(DcObj* dc, RECT r, const BrushObj* brush, int rop2) {
  BitmapObj* bmp = DcBitmap(dc);
  if (!bmp || r.left >= r.right || r.top >= r.bottom) return;
  Surface s = bmp->Surf();
  Fill f;
  if (brush) f = ResolveBrushRop(dc, brush, s.mono, rop2);
  else if (rop2 == R2_NOT || rop2 == R2_BLACK || rop2 == R2_WHITE) f = SolidFill(0, rop2);
  else return;
  POINT o = DeviceToSurface(dc);
  RECT q{r.left + o.x, r.top + o.y, r.right + o.x, r.bottom + o.y};
  FillRectClipped(s, DcClip(dc), q, f);
}

void FillDeviceSpans(DcObj* dc, const SpanList& spans, const Fill& fill) {
  BitmapObj* bmp = DcBitmap(dc);
  if (!bmp || spans.empty()) return;
  POINT o = DeviceToSurface(dc);
  SpanList moved(spans);
  for (Span& sp : moved) {
    sp.y += o.y;
    sp.x0 += o.x;
    sp.x1 += o.x;
  }
  FillSpansClipped(bmp->Surf(), DcClip(dc), moved.data(), moved.size(), fill);
}

void StrokeDevicePolyline(DcObj* dc, const POINT* pts, int n, bool closed) {
  PenObj* pen = DcPen(dc);
  BitmapObj* bmp = DcBitmap(dc);
  if (!PenDraws(pen) || !bmp || n < 1) return;
  Surface s = bmp->Surf();
  Fill f = PenFill(dc, pen, s.mono);
  POINT o = DeviceToSurface(dc);
  if (!pen->Cosmetic()) {
    std::vector<PointD> pd;
    for (int i = 0; i < n; ++i) pd.push_back({double(pts[i].x), double(pts[i].y)});
    SpanList spans;
    int lo, hi;
    DeviceRows(dc, &lo, &hi);
    WidePolylineSpans(pd.data(), n, closed, pen, lo, hi, spans);
    FillDeviceSpans(dc, spans, f);
    return;
  }
  const Clip& clip = DcClip(dc);
  DashPattern dash = PenDashes(pen);
  Fill gap;
  if (dash.count && dc->st.bkMode == OPAQUE)
    gap = SolidFill(ToPixel(dc->st.bkColor, s.mono), dc->st.rop2);
  int pos = 0;
  int segs = closed ? n : n - 1;
  for (int i = 0; i < segs; ++i) {
    POINT a = pts[i], b = pts[(i + 1) % n];
    a.x += o.x;
    a.y += o.y;
    b.x += o.x;
    b.y += o.y;
    if (dash.count) DashedLine(s, clip, a, b, f, gap, dash.runs, dash.count, &pos);
    else SolidLine(s, clip, a, b, f);
  }
}

void PolygonDeviceSpans(const POINT* pts, const int* counts, int polys, int fillMode, SpanList& out,
                        int yLo, int yHi) {
  struct Edge {
    std::int64_t x0, y0, x1, y1;
    int dir;
  };
  std::vector<Edge> edges;
  int ymin = std::numeric_limits<int>::max(), ymax = std::numeric_limits<int>::min();
  const POINT* p = pts;
  for (int k = 0; k < polys; ++k) {
    int n = counts[k];
    for (int i = 0; i < n; ++i) {
      POINT a = p[i], b = p[(i + 1) % n];
      if (a.y == b.y) continue;
      Edge e = a.y < b.y ? Edge{a.x, a.y, b.x, b.y, 1} : Edge{b.x, b.y, a.x, a.y, -1};
      edges.push_back(e);
      ymin = std::min(ymin, int(e.y0));
      ymax = std::max(ymax, int(e.y1));
    }
    p += n;
  }
  struct Cross {
    double x;
    int ix;
    int dir;
  };
  std::vector<Cross> xs;
  for (int y = std::max(ymin, yLo); y < std::min(ymax, yHi); ++y) {
    xs.clear();
    for (const Edge& e : edges) {
      if (y < e.y0 || y >= e.y1) continue;
      std::int64_t den = e.y1 - e.y0;
      std::int64_t num = e.x0 * den + (y - e.y0) * (e.x1 - e.x0);
      xs.push_back({double(num) / double(den), int(CeilDiv(num, den)), e.dir});
    }
    std::sort(xs.begin(), xs.end(), [](const Cross& a, const Cross& b) { return a.x < b.x; });
    if (fillMode == WINDING) {
      int w = 0, start = 0;
      for (const Cross& c : xs) {
        int before = w;
        w += c.dir;
        if (before == 0 && w != 0) start = c.ix;
        else if (before != 0 && w == 0 && start < c.ix) out.push_back({y, start, c.ix});
      }
    } else {
      for (std::size_t i = 0; i + 1 < xs.size(); i += 2)
        if (xs[i].ix < xs[i + 1].ix) out.push_back({y, xs[i].ix, xs[i + 1].ix});
    }
  }
  MergeSpans(out);
}

}  // namespace gdi

using namespace gdi;

namespace {

std::vector<POINT> ToDevicePoints(const DcObj* dc, const POINT* pts, int n) {
  std::vector<POINT> out(std::size_t(std::max(n, 0)));
  for (int i = 0; i < n; ++i) out[std::size_t(i)] = ToDevice(dc, pts[i]);
  return out;
}

void RecordPolyline(DcObj* dc, std::vector<POINT> pts) {
  GdiRecordOp& op = Record(dc, GdiOpKind::Polyline);
  op.points = std::move(pts);
}

BOOL PolylineDevice(DcObj* dc, std::vector<POINT> pts) {
  if (IsRecording(dc)) {
    if (PenDraws(DcPen(dc))) RecordPolyline(dc, std::move(pts));
    return TRUE;
  }
  StrokeDevicePolyline(dc, pts.data(), int(pts.size()), false);
  return TRUE;
}

BrushObj* BrushFromHandle(HBRUSH brush) {
  // A brush value 1 + COLOR_xxx stands for that system colour.
  if (brush >= 1 && brush <= COLOR_ENDCOLORS + 1) brush = GetSysColorBrush(int(brush) - 1);
  return LookupAs<BrushObj>(brush, OBJ_BRUSH);
}

}  // namespace

BOOL MoveToEx(HDC h, int x, int y, POINT* old) {
  DcObj* dc = LookupDC(h);
  if (!dc) return FALSE;
  if (old) *old = dc->st.curPos;
  dc->st.curPos = {x, y};
  return TRUE;
}

BOOL GetCurrentPositionEx(HDC h, POINT* pos) {
  DcObj* dc = LookupDC(h);
  if (!dc || !pos) return FALSE;
  *pos = dc->st.curPos;
  return TRUE;
}

BOOL LineTo(HDC h, int x, int y) {
  DcObj* dc = LookupDC(h);
  if (!dc) return FALSE;
  POINT a = ToDevice(dc, dc->st.curPos), b = ToDevice(dc, {x, y});
  dc->st.curPos = {x, y};
  return PolylineDevice(dc, {a, b});
}

BOOL Polyline(HDC h, const POINT* points, int count) {
  DcObj* dc = LookupDC(h);
  if (!dc || !points || count < 2) return FALSE;
  return PolylineDevice(dc, ToDevicePoints(dc, points, count));
}

BOOL Rectangle(HDC h, int left, int top, int right, int bottom) {
  DcObj* dc = LookupDC(h);
  if (!dc) return FALSE;
  POINT a = ToDevice(dc, {left, top}), b = ToDevice(dc, {right, bottom});
  RECT r = NormalizeRect(RECT{a.x, a.y, b.x, b.y});
  if (IsRecording(dc)) {
    Record(dc, GdiOpKind::Rectangle).rect = r;
    return TRUE;
  }
  PenObj* pen = DcPen(dc);
  bool drawPen = PenDraws(pen);
  BrushObj* brush = DcBrush(dc);
  if (!drawPen) {
    // A null pen leaves the right column and bottom row unpainted, as on the platform.
    FillDeviceRect(dc, {r.left, r.top, r.right - 1, r.bottom - 1}, brush, dc->st.rop2);
    return TRUE;
  }
  if (r.right - r.left < 1 || r.bottom - r.top < 1) return TRUE;
  FillDeviceRect(dc, {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, brush, dc->st.rop2);
  BitmapObj* bmp = DcBitmap(dc);
  if (!bmp) return TRUE;
  Surface s = bmp->Surf();
  if (!pen->Cosmetic()) {
    PenPathRect p{double(r.left), double(r.top), double(r.right - 1), double(r.bottom - 1)};
    if (pen->Dash() == PS_INSIDEFRAME) p = InsideFramePath(r, pen->width);
    PointD path[4] = {{p.left, p.top}, {p.right, p.top}, {p.right, p.bottom}, {p.left, p.bottom}};
    SpanList spans;
    int lo, hi;
    DeviceRows(dc, &lo, &hi);
    WidePolylineSpans(path, 4, true, pen, lo, hi, spans);
    FillDeviceSpans(dc, spans, PenFill(dc, pen, s.mono));
    return TRUE;
  }
  if (PenDashes(pen).count) {
    POINT path[4] = {
        {r.left, r.top}, {r.right - 1, r.top}, {r.right - 1, r.bottom - 1}, {r.left, r.bottom - 1}};
    StrokeDevicePolyline(dc, path, 4, true);
    return TRUE;
  }
  // Solid one-pixel frame: each pixel once, even where the sides meet.
  Region frame = Region::FromRects({{r.left, r.top, r.right, r.top + 1},
                                    {r.left, r.bottom - 1, r.right, r.bottom},
                                    {r.left, r.top, r.left + 1, r.bottom},
                                    {r.right - 1, r.top, r.right, r.bottom}});
  Fill f = PenFill(dc, pen, s.mono);
  POINT o = DeviceToSurface(dc);
  for (const RECT& q : frame.Rects())
    FillRectClipped(s, DcClip(dc), RECT{q.left + o.x, q.top + o.y, q.right + o.x, q.bottom + o.y},
                    f);
  return TRUE;
}

BOOL Ellipse(HDC h, int left, int top, int right, int bottom) {
  DcObj* dc = LookupDC(h);
  if (!dc) return FALSE;
  POINT a = ToDevice(dc, {left, top}), b = ToDevice(dc, {right, bottom});
  RECT r = NormalizeRect(RECT{a.x, a.y, b.x, b.y});
  if (IsRecording(dc)) {
    Record(dc, GdiOpKind::Ellipse).rect = r;
    return TRUE;
  }
  PenObj* pen = DcPen(dc);
  bool drawPen = PenDraws(pen);
  int inset = drawPen ? 1 : 2;  // a null pen shrinks the shape as for Rectangle
  if (r.right - r.left < inset || r.bottom - r.top < inset) return TRUE;
  int lo, hi;
  DeviceRows(dc, &lo, &hi);
  ShapeRows rows = EllipseRows(r.left, r.top, r.right - inset, r.bottom - inset, lo - 1, hi);
  if (drawPen && !pen->Cosmetic()) {
    PaintShape(dc, rows, false, true);
    std::vector<PointD> path;
    PenPathRect p{double(r.left), double(r.top), double(r.right - 1), double(r.bottom - 1)};
    if (pen->Dash() == PS_INSIDEFRAME) {
      // Rows sample pixel corners, so a curve stands half a pixel up and left of the pixels
      // it covers, as the path through (left, top) and (right - 1, bottom - 1) does.
      p = InsideFramePath(r, pen->width);
      p = {p.left - 0.5, p.top - 0.5, p.right - 0.5, p.bottom - 0.5};
    }
    double cx = (p.left + p.right) / 2, cy = (p.top + p.bottom) / 2;
    double ra = (p.right - p.left) / 2, rb = (p.bottom - p.top) / 2;
    int steps = std::clamp(int((ra + rb) * 2), 16, 720);
    for (int i = 0; i < steps; ++i) {
      double t = 2 * M_PI * i / steps;
      path.push_back({cx + ra * std::cos(t), cy + rb * std::sin(t)});
    }
    SpanList spans;
    WidePolylineSpans(path.data(), int(path.size()), true, pen, lo, hi, spans);
    BitmapObj* bmp = DcBitmap(dc);
    if (bmp) FillDeviceSpans(dc, spans, PenFill(dc, pen, bmp->mono));
    return TRUE;
  }
  PaintShape(dc, rows, drawPen, true);
  return TRUE;
}

BOOL RoundRect(HDC h, int left, int top, int right, int bottom, int width, int height) {
  DcObj* dc = LookupDC(h);
  if (!dc) return FALSE;
  POINT a = ToDevice(dc, {left, top}), b = ToDevice(dc, {right, bottom});
  RECT r = NormalizeRect(RECT{a.x, a.y, b.x, b.y});
  if (IsRecording(dc)) {
    GdiRecordOp& op = Record(dc, GdiOpKind::Rectangle);
    op.rect = r;
    op.srcRect = {0, 0, width, height};  // the corner ellipse
    return TRUE;
  }
  bool drawPen = PenDraws(DcPen(dc));
  int inset = drawPen ? 1 : 2;
  int l = r.left, t = r.top, rr = r.right - inset, bb = r.bottom - inset;
  if (rr < l || bb < t) return TRUE;
  int cw = int(std::min<std::int64_t>(std::abs(std::int64_t(width)), rr - l + 1));
  int ch = int(std::min<std::int64_t>(std::abs(std::int64_t(height)), bb - t + 1));
  int lo, hi;
  DeviceRows(dc, &lo, &hi);
  ShapeRows rows;
  rows.top = std::max(t, lo - 1);
  int halfTop = ch / 2, halfBottom = ch - ch / 2;
  for (int y = rows.top; y <= std::min(bb, hi); ++y) {
    int dy = y - t, fromBottom = bb - y;
    int shrink = 0;
    int cw1 = std::max(cw - 1, 0), ch1 = std::max(ch - 1, 0);
    if (ch > 0 && dy < halfTop) shrink = EllipseRow(0, 0, cw1, ch1, dy).first;
    else if (ch > 0 && fromBottom < halfBottom)
      shrink = EllipseRow(0, 0, cw1, ch1, ch1 - fromBottom).first;
    rows.rows.push_back({l + shrink, rr - shrink});
  }
  PaintShape(dc, rows, drawPen, true);
  return TRUE;
}

BOOL Polygon(HDC h, const POINT* points, int count) { return PolyPolygon(h, points, &count, 1); }

BOOL PolyPolygon(HDC h, const POINT* points, const INT* counts, int polygons) {
  DcObj* dc = LookupDC(h);
  if (!dc || !points || !counts || polygons <= 0) return FALSE;
  int total = 0;
  for (int k = 0; k < polygons; ++k) {
    if (counts[k] < 2) return FALSE;
    total += counts[k];
  }
  std::vector<POINT> pts = ToDevicePoints(dc, points, total);
  if (IsRecording(dc)) {
    const POINT* p = pts.data();
    for (int k = 0; k < polygons; ++k) {
      Record(dc, GdiOpKind::Polygon).points.assign(p, p + counts[k]);
      p += counts[k];
    }
    return TRUE;
  }
  BitmapObj* bmp = DcBitmap(dc);
  if (!bmp) return TRUE;
  SpanList spans;
  int lo, hi;
  DeviceRows(dc, &lo, &hi);
  PolygonDeviceSpans(pts.data(), counts, polygons, dc->st.polyFillMode, spans, lo, hi);
  FillDeviceSpans(dc, spans, ResolveBrush(dc, DcBrush(dc), bmp->mono));
  const POINT* p = pts.data();
  for (int k = 0; k < polygons; ++k) {
    StrokeDevicePolyline(dc, p, counts[k], true);
    p += counts[k];
  }
  return TRUE;
}

COLORREF SetPixel(HDC h, int x, int y, COLORREF color) {
  DcObj* dc = LookupDC(h);
  if (!dc) return CLR_INVALID;
  POINT d = ToDevice(dc, {x, y});
  if (IsRecording(dc)) {
    GdiRecordOp& op = Record(dc, GdiOpKind::SetPixel);
    op.points = {d};
    op.textColor = color;
    return color & 0xFFFFFF;
  }
  BitmapObj* bmp = DcBitmap(dc);
  if (!bmp) return CLR_INVALID;
  POINT o = DeviceToSurface(dc);
  if (!DcClip(dc).Contains(d.x + o.x, d.y + o.y)) return CLR_INVALID;
  std::uint32_t px = ToPixel(color, bmp->mono);
  SetPixelRaw(bmp->Surf(), d.x + o.x, d.y + o.y, px);
  return PixelToColor(px);
}

COLORREF GetPixel(HDC h, int x, int y) {
  DcObj* dc = LookupDC(h);
  if (!dc) return CLR_INVALID;
  BitmapObj* bmp = DcBitmap(dc);
  if (!bmp) return CLR_INVALID;
  POINT d = ToDevice(dc, {x, y});
  POINT o = DeviceToSurface(dc);
  std::uint32_t px;
  if (!DcClip(dc).Contains(d.x + o.x, d.y + o.y)) return CLR_INVALID;
  if (!GetPixelRaw(bmp->Surf(), d.x + o.x, d.y + o.y, &px)) return CLR_INVALID;
  return PixelToColor(px & 0xFFFFFF);
}

int FillRect(HDC h, const RECT* rect, HBRUSH brush) {
  DcObj* dc = LookupDC(h);
  BrushObj* b = BrushFromHandle(brush);
  if (!dc || !rect || !b) return FALSE;
  POINT a = ToDevice(dc, {rect->left, rect->top}), c = ToDevice(dc, {rect->right, rect->bottom});
  RECT r{a.x, a.y, c.x, c.y};
  if (IsRecording(dc)) {
    if (r.left < r.right && r.top < r.bottom) {
      GdiRecordOp& op = Record(dc, GdiOpKind::FillRect);
      op.rect = r;
      op.brush.lbStyle = b->style;
      op.brush.lbColor = b->sysColor >= 0 ? GetSysColor(b->sysColor)
                         : b->dcBrush     ? dc->st.dcBrushColor
                                          : b->color;
      op.brush.lbHatch = ULONG_PTR(b->hatch);
    }
    return TRUE;
  }
  FillDeviceRect(dc, r, b, R2_COPYPEN);
  return TRUE;
}

int FrameRect(HDC h, const RECT* rect, HBRUSH brush) {
  if (!rect) return FALSE;
  const RECT& r = *rect;
  if (r.right <= r.left || r.bottom <= r.top) return TRUE;
  RECT sides[4] = {{r.left, r.top, r.right, r.top + 1},
                   {r.left, r.bottom - 1, r.right, r.bottom},
                   {r.left, r.top + 1, r.left + 1, r.bottom - 1},
                   {r.right - 1, r.top + 1, r.right, r.bottom - 1}};
  for (const RECT& s : sides)
    if (s.left < s.right && s.top < s.bottom && !FillRect(h, &s, brush)) return FALSE;
  return TRUE;
}

BOOL InvertRect(HDC h, const RECT* rect) {
  if (!rect) return FALSE;
  // Extents of far-apart edges do not fit an int; the blit clips them anyway.
  auto extent = [](LONG from, LONG to) {
    return static_cast<int>(
        std::clamp<long long>(static_cast<long long>(to) - from, INT_MIN, INT_MAX));
  };
  return PatBlt(h, rect->left, rect->top, extent(rect->left, rect->right),
                extent(rect->top, rect->bottom), DSTINVERT);
}

BOOL DrawFocusRect(HDC h, const RECT* rect) {
  DcObj* dc = LookupDC(h);
  if (!dc || !rect) return FALSE;
  if (IsRecording(dc)) return TRUE;  // a screen-only decoration
  BitmapObj* bmp = DcBitmap(dc);
  if (!bmp) return TRUE;
  POINT a = ToDevice(dc, {rect->left, rect->top}), c = ToDevice(dc, {rect->right, rect->bottom});
  RECT r{a.x, a.y, c.x, c.y};
  if (r.right <= r.left || r.bottom <= r.top) return TRUE;
  // Every other pixel of the frame inverted, in the platform's checkered focus pattern.
  Fill f;
  f.kind = Fill::Pattern;
  POINT o = DeviceToSurface(dc);
  f.org = {dc->st.brushOrg.x + o.x, dc->st.brushOrg.y + o.y};
  for (int i = 0; i < 64; ++i) {
    bool on = ((i / 8) + (i % 8)) % 2 == 0;
    f.pand[std::size_t(i)] = 0xFFFFFF;
    f.pxor[std::size_t(i)] = on ? 0xFFFFFF : 0;
  }
  RECT sides[4] = {{r.left, r.top, r.right, r.top + 1},
                   {r.left, r.bottom - 1, r.right, r.bottom},
                   {r.left, r.top + 1, r.left + 1, r.bottom - 1},
                   {r.right - 1, r.top + 1, r.right, r.bottom - 1}};
  Region frame = Region::FromRects({sides[0], sides[1], sides[2], sides[3]});
  for (const RECT& q : frame.Rects()) {
    RECT sq{q.left + o.x, q.top + o.y, q.right + o.x, q.bottom + o.y};
    FillRectClipped(bmp->Surf(), DcClip(dc), sq, f);
  }
  return TRUE;
}
