// The region calls: creation, combination, queries and painting.
#include <algorithm>
#include <cstdint>

#include "GdiInternal.h"

using namespace gdi;

namespace {

HRGN NewRegion(Region r) {
  auto o = std::make_unique<RegionObj>();
  o->type = OBJ_REGION;
  o->rgn = std::move(r);
  return AddObject(std::move(o));
}

RegionObj* Rgn(HRGN h) { return LookupAs<RegionObj>(h, OBJ_REGION); }

// A region given in logical units, moved to device units of dc.
Region ToDeviceRegion(const DcObj* dc, Region r) {
  POINT o = ToDevice(dc, {0, 0});
  r.Offset(o.x, o.y);
  return r;
}

}  // namespace

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  return NewRegion(Region(NormalizeRect(RECT{left, top, right, bottom})));
}

HRGN CreateRectRgnIndirect(const RECT* rect) {
  if (!rect) return 0;
  return CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom);
}

HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode) {
  if (!points || count < 2) return count >= 0 ? NewRegion(Region()) : 0;
  SpanList spans;
  PolygonDeviceSpans(points, &count, 1, fillMode, spans);
  std::vector<Region::RowSpan> rows;
  rows.reserve(spans.size());
  for (const Span& s : spans) rows.push_back({s.y, s.x0, s.x1});
  return NewRegion(Region::FromSpans(std::move(rows)));
}

BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom) {
  RegionObj* r = Rgn(rgn);
  if (!r) return FALSE;
  r->rgn = Region(NormalizeRect(RECT{left, top, right, bottom}));
  return TRUE;
}

int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode) {
  RegionObj* d = Rgn(dest);
  RegionObj* a = Rgn(src1);
  if (!d || !a) return ERROR;
  if (mode == RGN_COPY) {
    d->rgn = a->rgn;
    return d->rgn.Kind();
  }
  RegionObj* b = Rgn(src2);
  if (!b || mode < RGN_AND || mode > RGN_DIFF) return ERROR;
  d->rgn = Region::Combine(a->rgn, b->rgn, Region::Op(mode));
  return d->rgn.Kind();
}

int OffsetRgn(HRGN rgn, int dx, int dy) {
  RegionObj* r = Rgn(rgn);
  if (!r) return ERROR;
  r->rgn.Offset(dx, dy);
  return r->rgn.Kind();
}

int GetRgnBox(HRGN rgn, RECT* box) {
  RegionObj* r = Rgn(rgn);
  if (!r || !box) return ERROR;
  *box = r->rgn.Box();
  return r->rgn.Kind();
}

BOOL PtInRegion(HRGN rgn, int x, int y) {
  RegionObj* r = Rgn(rgn);
  return r && r->rgn.Contains(x, y) ? TRUE : FALSE;
}

BOOL EqualRgn(HRGN a, HRGN b) {
  RegionObj* ra = Rgn(a);
  RegionObj* rb = Rgn(b);
  if (!ra || !rb) return ERROR;
  return ra->rgn == rb->rgn ? TRUE : FALSE;
}

int GetRegionRects(HRGN rgn, RECT* rects, int capacity) {
  RegionObj* r = Rgn(rgn);
  if (!r) return 0;
  const auto& list = r->rgn.Rects();
  if (rects)
    for (int i = 0; i < std::min(capacity, int(list.size())); ++i) rects[i] = list[std::size_t(i)];
  return int(list.size());
}

namespace {

BOOL PaintRegion(HDC h, HRGN rgn, const BrushObj* brush, int rop2) {
  DcObj* dc = LookupDC(h);
  RegionObj* r = Rgn(rgn);
  if (!dc || !r) return FALSE;
  Region dev = ToDeviceRegion(dc, r->rgn);
  for (const RECT& rect : dev.Rects()) FillDeviceRect(dc, rect, brush, rop2);
  return TRUE;
}

}  // namespace

BOOL InvertRgn(HDC h, HRGN rgn) { return PaintRegion(h, rgn, nullptr, R2_NOT); }

namespace {

// The pixels whose whole neighbourhood of reach pixels along one axis lies in x. Each step
// widens the neighbourhood from r to r + d with d <= 2r + 1, so the windows stay contiguous
// and reach is met in O(log reach) combinations.
Region Erode(Region x, int reach, bool horizontal) {
  for (std::int64_t r = 0; r < reach && !x.Empty();) {
    int d = int(std::min<std::int64_t>(2 * r + 1, reach - r));
    Region plus = x, minus = x;
    plus.Offset(horizontal ? d : 0, horizontal ? 0 : d);
    minus.Offset(horizontal ? -d : 0, horizontal ? 0 : -d);
    x = Region::Combine(Region::Combine(x, plus, Region::And), minus, Region::And);
    r += d;
  }
  return x;
}

}  // namespace

BOOL FrameRgn(HDC h, HRGN rgn, HBRUSH brush, int width, int height) {
  RegionObj* r = Rgn(rgn);
  BrushObj* b = LookupAs<BrushObj>(brush, OBJ_BRUSH);
  if (!r || !b || width < 0 || height < 0) return FALSE;
  // The frame is the region less the region shrunk by width and height.
  Region inner = Erode(Erode(r->rgn, width, true), height, false);
  HRGN frame = NewRegion(Region::Combine(r->rgn, inner, Region::Diff));
  BOOL ok = PaintRegion(h, frame, b, R2_COPYPEN);
  DeleteObject(frame);
  return ok;
}
