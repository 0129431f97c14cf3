// Device contexts: creation, state, saved states, coordinates, device capabilities, clipping.
#include <algorithm>
#include <utility>

#include "GdiInternal.h"
#include "GdiSurface.h"

namespace gdi {
namespace {

int gScreenWidth = 1920;
int gScreenHeight = 1080;

void InitState(DcObj* dc) {
  dc->st = DcState{};
  dc->saved.clear();
  dc->st.pen = ObjRef(Lookup(GetStockObject(BLACK_PEN)));
  dc->st.brush = ObjRef(Lookup(GetStockObject(WHITE_BRUSH)));
  dc->st.font = ObjRef(Lookup(GetStockObject(SYSTEM_FONT)));
  if (dc->kind == DcKind::Memory) dc->st.bitmap = ObjRef(StockBitmap());
  InvalidateClip(dc);
}

HDC NewDC(DcKind kind) {
  auto dc = std::make_unique<DcObj>();
  dc->type = kind == DcKind::Memory ? OBJ_MEMDC : OBJ_DC;
  dc->kind = kind;
  DcObj* raw = dc.get();
  HDC h = AddObject(std::move(dc));
  if (h) InitState(raw);
  return h;
}

// Everything the DC can reach, in device units.
RECT DeviceBounds(const DcObj* dc) {
  switch (dc->kind) {
    case DcKind::Memory: {
      auto* b = static_cast<const BitmapObj*>(dc->st.bitmap.get());
      return b ? RECT{0, 0, b->width, b->height} : RECT{};
    }
    case DcKind::Surface:
      return {dc->visible.left - dc->origin.x, dc->visible.top - dc->origin.y,
              dc->visible.right - dc->origin.x, dc->visible.bottom - dc->origin.y};
    case DcKind::Display: return {0, 0, gScreenWidth, gScreenHeight};
    case DcKind::Recording:
      return {0, 0, dc->recording->device.width, dc->recording->device.height};
  }
  return {};
}

Region EffectiveDeviceRegion(const DcObj* dc) {
  Region r(DeviceBounds(dc));
  if (dc->kind == DcKind::Surface) {
    auto* s = static_cast<const BitmapObj*>(dc->surface.get());
    Region surf(RECT{-dc->origin.x, -dc->origin.y, (s ? s->width : 0) - dc->origin.x,
                     (s ? s->height : 0) - dc->origin.y});
    r = Region::Combine(r, surf, Region::And);
    if (dc->visibleRgn) {
      Region vis = *dc->visibleRgn;
      vis.Offset(-dc->origin.x, -dc->origin.y);
      r = Region::Combine(r, vis, Region::And);
    }
  }
  if (dc->st.clip) r = Region::Combine(r, *dc->st.clip, Region::And);
  return r;
}

int EffectiveKind(DcObj* dc) { return EffectiveDeviceRegion(dc).Kind(); }

Region CurrentClipOrBounds(const DcObj* dc) {
  return dc->st.clip ? *dc->st.clip : Region(DeviceBounds(dc));
}

RECT LogicalToDeviceRect(const DcObj* dc, int l, int t, int r, int b) {
  POINT a = ToDevice(dc, {l, t}), c = ToDevice(dc, {r, b});
  return NormalizeRect(RECT{a.x, a.y, c.x, c.y});
}

void RebindBitmap(DcObj* dc, BitmapObj* before) {
  auto* now = static_cast<BitmapObj*>(dc->st.bitmap.get());
  if (now == before) return;
  if (before && before->selectedIn == dc) before->selectedIn = nullptr;
  if (now && !now->stock && !now->selectedIn) now->selectedIn = dc;
}

}  // namespace

BitmapObj* DcBitmap(DcObj* dc) {
  if (dc->kind == DcKind::Memory) return static_cast<BitmapObj*>(dc->st.bitmap.get());
  if (dc->kind == DcKind::Surface) return static_cast<BitmapObj*>(dc->surface.get());
  return nullptr;
}

void InvalidateClip(DcObj* dc) {
  dc->clipStale = true;
  dc->recordClipStale = true;
}

const Clip& DcClip(DcObj* dc) {
  if (dc->clipStale) {
    Region r = EffectiveDeviceRegion(dc);
    POINT o = DeviceToSurface(dc);
    r.Offset(o.x, o.y);
    dc->clipCache.rects = r.Rects();
    dc->clipCache.bounds = r.Box();
    dc->clipStale = false;
  }
  return dc->clipCache;
}

HDC NewDeviceContext(DcKind kind) { return NewDC(kind); }

}  // namespace gdi

using namespace gdi;

HDC CreateCompatibleDC(HDC dc) {
  if (dc && !LookupDC(dc)) return 0;
  return NewDC(DcKind::Memory);
}

HDC CreateDCW(const WCHAR* driver, const WCHAR*, const WCHAR*, const void*) {
  if (!driver) return 0;
  std::u16string_view d(driver);
  if (d.size() != 7) return 0;
  std::u16string up;
  for (char16_t c : d) up += (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
  if (up != u"DISPLAY") return 0;
  return NewDC(DcKind::Display);
}

HDC GdiCreateSurfaceDC(HBITMAP surface, POINT origin, const RECT& visible) {
  BitmapObj* b = LookupAs<BitmapObj>(surface, OBJ_BITMAP);
  if (!b || b->pendingDelete) return 0;
  HDC h = NewDC(DcKind::Surface);
  if (!h) return 0;
  DcObj* dc = LookupDC(h);
  dc->surface = ObjRef(b);
  dc->origin = origin;
  dc->visible = NormalizeRect(visible);
  InvalidateClip(dc);
  return h;
}

BOOL GdiSetSurfaceDCArea(HDC h, POINT origin, const RECT& visible, HRGN visibleRgn) {
  DcObj* dc = LookupDC(h);
  if (!dc || dc->kind != DcKind::Surface) return FALSE;
  dc->origin = origin;
  dc->visible = NormalizeRect(visible);
  if (RegionObj* r = LookupAs<RegionObj>(visibleRgn, OBJ_REGION)) dc->visibleRgn = r->rgn;
  else dc->visibleRgn.reset();
  InvalidateClip(dc);
  return TRUE;
}

BOOL GdiResetDC(HDC h) {
  DcObj* dc = LookupDC(h);
  if (!dc) return FALSE;
  auto* before = static_cast<BitmapObj*>(dc->st.bitmap.get());
  InitState(dc);
  RebindBitmap(dc, before);
  return TRUE;
}

void GdiSetScreenSize(int width, int height) {
  if (width > 0 && height > 0) {
    gScreenWidth = width;
    gScreenHeight = height;
  }
}

BOOL DeleteDC(HDC h) {
  DcObj* dc = LookupDC(h);
  if (!dc) return FALSE;
  if (auto* b = static_cast<BitmapObj*>(dc->st.bitmap.get()); b && b->selectedIn == dc)
    b->selectedIn = nullptr;
  for (DcState& s : dc->saved)
    if (auto* b = static_cast<BitmapObj*>(s.bitmap.get()); b && b->selectedIn == dc)
      b->selectedIn = nullptr;
  FreeObject(dc);
  return TRUE;
}

int SaveDC(HDC h) {
  DcObj* dc = LookupDC(h);
  if (!dc) return 0;
  dc->saved.push_back(dc->st);
  return int(dc->saved.size());
}

BOOL RestoreDC(HDC h, int savedDC) {
  DcObj* dc = LookupDC(h);
  if (!dc || savedDC == 0) return FALSE;
  int n = int(dc->saved.size());
  int index = savedDC > 0 ? savedDC - 1 : n + savedDC;
  if (index < 0 || index >= n) return FALSE;
  auto* before = static_cast<BitmapObj*>(dc->st.bitmap.get());
  dc->st = dc->saved[std::size_t(index)];
  dc->saved.resize(std::size_t(index));
  RebindBitmap(dc, before);
  InvalidateClip(dc);
  return TRUE;
}

int GetDeviceCaps(HDC h, int index) {
  DcObj* dc = LookupDC(h);
  if (!dc) return 0;
  bool printer = dc->kind == DcKind::Recording;
  const GdiDeviceInfo* dev = printer ? &dc->recording->device : nullptr;
  int dpiX = printer ? dev->dpiX : 96, dpiY = printer ? dev->dpiY : 96;
  int w = printer ? dev->width : gScreenWidth, ht = printer ? dev->height : gScreenHeight;
  switch (index) {
    case TECHNOLOGY: return printer ? dev->technology : DT_RASDISPLAY;
    case HORZSIZE: return int(w * 254LL / (dpiX * 10LL));
    case VERTSIZE: return int(ht * 254LL / (dpiY * 10LL));
    case HORZRES: return w;
    case VERTRES: return ht;
    case BITSPIXEL: return printer ? dev->bitsPerPixel : 32;
    case PLANES: return 1;
    case NUMBRUSHES: return -1;
    case NUMPENS: return -1;
    case NUMFONTS: return 0;
    case NUMCOLORS: return -1;
    case ASPECTX: return 36;
    case ASPECTY: return 36;
    case ASPECTXY: return 51;
    case LOGPIXELSX: return dpiX;
    case LOGPIXELSY: return dpiY;
    case SIZEPALETTE: return 0;
    case NUMRESERVED: return 20;
    case COLORRES: return 24;
    case RASTERCAPS: return RC_BITBLT | RC_STRETCHBLT | RC_DI_BITMAP | RC_STRETCHDIB;
    case PHYSICALWIDTH: return printer ? (dev->physicalWidth ? dev->physicalWidth : w) : 0;
    case PHYSICALHEIGHT: return printer ? (dev->physicalHeight ? dev->physicalHeight : ht) : 0;
    case PHYSICALOFFSETX: return printer ? dev->offsetX : 0;
    case PHYSICALOFFSETY: return printer ? dev->offsetY : 0;
    default: return 0;
  }
}

// ---- Attributes ----

#define DC_OR(h, fail)     \
  DcObj* dc = LookupDC(h); \
  if (!dc) return fail

COLORREF SetTextColor(HDC h, COLORREF color) {
  DC_OR(h, CLR_INVALID);
  return std::exchange(dc->st.textColor, color);
}
COLORREF GetTextColor(HDC h) {
  DC_OR(h, CLR_INVALID);
  return dc->st.textColor;
}
COLORREF SetBkColor(HDC h, COLORREF color) {
  DC_OR(h, CLR_INVALID);
  return std::exchange(dc->st.bkColor, color);
}
COLORREF GetBkColor(HDC h) {
  DC_OR(h, CLR_INVALID);
  return dc->st.bkColor;
}
int SetBkMode(HDC h, int mode) {
  DC_OR(h, 0);
  if (mode != TRANSPARENT && mode != OPAQUE) return 0;
  return std::exchange(dc->st.bkMode, mode);
}
int GetBkMode(HDC h) {
  DC_OR(h, 0);
  return dc->st.bkMode;
}
int SetROP2(HDC h, int mode) {
  DC_OR(h, 0);
  if (mode < R2_BLACK || mode > R2_WHITE) return 0;
  return std::exchange(dc->st.rop2, mode);
}
int SetStretchBltMode(HDC h, int mode) {
  DC_OR(h, 0);
  if (mode < BLACKONWHITE || mode > HALFTONE) return 0;
  return std::exchange(dc->st.stretchMode, mode);
}
int SetPolyFillMode(HDC h, int mode) {
  DC_OR(h, 0);
  if (mode != ALTERNATE && mode != WINDING) return 0;
  return std::exchange(dc->st.polyFillMode, mode);
}
UINT SetTextAlign(HDC h, UINT align) {
  DC_OR(h, UINT(GDI_ERROR));
  return std::exchange(dc->st.textAlign, align);
}
int SetTextCharacterExtra(HDC h, int extra) {
  DC_OR(h, int(0x80000000));
  return std::exchange(dc->st.charExtra, extra);
}
BOOL SetBrushOrgEx(HDC h, int x, int y, POINT* old) {
  DC_OR(h, FALSE);
  if (old) *old = dc->st.brushOrg;
  dc->st.brushOrg = {x, y};
  return TRUE;
}

// ---- Coordinates ----

BOOL SetViewportOrgEx(HDC h, int x, int y, POINT* old) {
  DC_OR(h, FALSE);
  if (old) *old = dc->st.viewportOrg;
  dc->st.viewportOrg = {Coord(x), Coord(y)};
  return TRUE;
}
BOOL GetViewportOrgEx(HDC h, POINT* org) {
  DC_OR(h, FALSE);
  if (!org) return FALSE;
  *org = dc->st.viewportOrg;
  return TRUE;
}
BOOL OffsetViewportOrgEx(HDC h, int dx, int dy, POINT* old) {
  DC_OR(h, FALSE);
  if (old) *old = dc->st.viewportOrg;
  dc->st.viewportOrg = {Coord(std::int64_t(dc->st.viewportOrg.x) + dx),
                        Coord(std::int64_t(dc->st.viewportOrg.y) + dy)};
  return TRUE;
}
BOOL SetWindowOrgEx(HDC h, int x, int y, POINT* old) {
  DC_OR(h, FALSE);
  if (old) *old = dc->st.windowOrg;
  dc->st.windowOrg = {Coord(x), Coord(y)};
  return TRUE;
}
BOOL GetWindowOrgEx(HDC h, POINT* org) {
  DC_OR(h, FALSE);
  if (!org) return FALSE;
  *org = dc->st.windowOrg;
  return TRUE;
}

// ---- Clipping ----

int SelectClipRgn(HDC h, HRGN rgn) {
  DC_OR(h, ERROR);
  if (!rgn) {
    dc->st.clip.reset();
  } else {
    RegionObj* r = LookupAs<RegionObj>(rgn, OBJ_REGION);
    if (!r) return ERROR;
    dc->st.clip = r->rgn;
  }
  InvalidateClip(dc);
  return EffectiveKind(dc);
}

int ExtSelectClipRgn(HDC h, HRGN rgn, int mode) {
  DC_OR(h, ERROR);
  if (mode == RGN_COPY) return SelectClipRgn(h, rgn);
  RegionObj* r = LookupAs<RegionObj>(rgn, OBJ_REGION);
  if (!r || mode < RGN_AND || mode > RGN_DIFF) return ERROR;
  dc->st.clip = Region::Combine(CurrentClipOrBounds(dc), r->rgn, Region::Op(mode));
  InvalidateClip(dc);
  return EffectiveKind(dc);
}

int IntersectClipRect(HDC h, int left, int top, int right, int bottom) {
  DC_OR(h, ERROR);
  Region rect(LogicalToDeviceRect(dc, left, top, right, bottom));
  dc->st.clip = dc->st.clip ? Region::Combine(*dc->st.clip, rect, Region::And) : rect;
  InvalidateClip(dc);
  return EffectiveKind(dc);
}

int ExcludeClipRect(HDC h, int left, int top, int right, int bottom) {
  DC_OR(h, ERROR);
  Region rect(LogicalToDeviceRect(dc, left, top, right, bottom));
  dc->st.clip = Region::Combine(CurrentClipOrBounds(dc), rect, Region::Diff);
  InvalidateClip(dc);
  return EffectiveKind(dc);
}

int GetClipBox(HDC h, RECT* rect) {
  DC_OR(h, ERROR);
  if (!rect) return ERROR;
  Region r = EffectiveDeviceRegion(dc);
  if (r.Empty()) {
    *rect = {};
    return NULLREGION;
  }
  RECT b = r.Box();
  int dx = dc->st.windowOrg.x - dc->st.viewportOrg.x,
      dy = dc->st.windowOrg.y - dc->st.viewportOrg.y;
  *rect = {b.left + dx, b.top + dy, b.right + dx, b.bottom + dy};
  return r.Kind();
}

BOOL PtVisible(HDC h, int x, int y) {
  DC_OR(h, FALSE);
  POINT p = ToDevice(dc, {x, y});
  return EffectiveDeviceRegion(dc).Contains(p.x, p.y) ? TRUE : FALSE;
}

BOOL RectVisible(HDC h, const RECT* rect) {
  DC_OR(h, FALSE);
  if (!rect) return FALSE;
  RECT d = LogicalToDeviceRect(dc, rect->left, rect->top, rect->right, rect->bottom);
  return EffectiveDeviceRegion(dc).Intersects(d) ? TRUE : FALSE;
}
