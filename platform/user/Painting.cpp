// Painting: update regions, RedrawWindow and its flags, BeginPaint / EndPaint, window DCs on
// the top-level surfaces, scrolling, and handing changed rectangles to the host.
#include <cstring>

#include "UserInternal.h"

namespace user {
namespace {

struct DcRecord {
  HWND hwnd = 0;
  HWND top = 0;
  bool window = false;  // DCX_WINDOW: origin at the window's top-left
  bool clipChildren = false;
  bool paint = false;   // from BeginPaint
  int extraMode = 0;    // 0 none, 1 intersect, 2 exclude
  Region extra;         // window or client coordinates of hwnd
  HBITMAP surface = 0;  // the bitmap the DC was made on
  RECT visible{};       // last computed, surface coordinates
  bool screen = false;  // GetDC(0)
};

std::unordered_map<HDC, DcRecord>& Dcs() {
  static std::unordered_map<HDC, DcRecord> dcs;
  return dcs;
}

RECT WholeWindow(const Wnd* w) {
  return RECT{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
}
RECT ClientInWindow(const Wnd* w) { return Offset(w->client, -w->rect.left, -w->rect.top); }

bool IncludeChildren(const Wnd* w, UINT flags) {
  return (flags & RDW_ALLCHILDREN) || (!(flags & RDW_NOCHILDREN) && !(w->style & WS_CLIPCHILDREN));
}

void ComputeArea(HDC dc, DcRecord& rec) {
  Wnd* w = GetWnd(rec.hwnd);
  Wnd* top = w ? RootOf(w) : nullptr;
  if (!w || !top || top->handle != rec.top || !top->surface ||
      top->surface->bitmap != rec.surface) {
    // The window went away or moved to another surface: the DC draws nowhere.
    RECT none{};
    GdiSetSurfaceDCArea(dc, POINT{-30000, -30000}, none, 0);
    rec.visible = none;
    return;
  }
  RECT base = rec.window ? SurfaceWindowRect(w) : SurfaceClientRect(w);
  POINT origin{base.left, base.top};
  Region rgn = VisibleRegion(w, rec.window, rec.clipChildren);
  if (rec.extraMode) {
    Region e = rec.extra;
    e.Offset(origin.x, origin.y);
    rgn = Region::Combine(rgn, e, rec.extraMode == 1 ? Region::And : Region::Diff);
  }
  RECT box = rgn.Box();
  rec.visible = rgn.Empty() ? RECT{} : box;
  if (rgn.Empty()) {
    GdiSetSurfaceDCArea(dc, origin, RECT{}, 0);
  } else if (rgn.Rects().size() == 1) {
    GdiSetSurfaceDCArea(dc, origin, box, 0);
  } else {
    HRGN h = MakeHrgn(rgn);
    GdiSetSurfaceDCArea(dc, origin, box, h);
    DeleteObject(h);
  }
}

HDC NewWindowDC(Wnd* w, DcRecord rec) {
  Wnd* top = RootOf(w);
  if (!top) return 0;
  Surface* s = EnsureSurface(top);
  if (!s) return 0;
  HDC dc = 0;
  if (!s->spareDCs.empty()) {
    dc = s->spareDCs.back();
    s->spareDCs.pop_back();
    GdiResetDC(dc);
  } else {
    dc = GdiCreateSurfaceDC(s->bitmap, POINT{0, 0}, RECT{});
    if (!dc) return 0;
  }
  rec.top = top->handle;
  rec.surface = s->bitmap;
  ComputeArea(dc, rec);
  Dcs()[dc] = std::move(rec);
  return dc;
}

// The non-client part of the update region is painted now when it is pending.
void SendNcPaintIfNeeded(HWND hwnd) {
  Wnd* w = GetWnd(hwnd);
  if (!w) return;
  RECT cl = ClientInWindow(w);
  Region nc = Region::Combine(w->update, Region(cl), Region::Diff);
  if (nc.Empty() && !w->ncForce) return;
  w->ncForce = false;
  w->update = Region::Combine(w->update, Region(cl), Region::And);
  Region whole = Region::Combine(Region(WholeWindow(w)), Region(cl), Region::Diff);
  if (nc.Empty() || nc == whole) {
    Send(hwnd, WM_NCPAINT, 1, 0);
    return;
  }
  RECT wr = ScreenWindowRect(w);
  nc.Offset(wr.left, wr.top);
  HRGN h = MakeHrgn(nc);
  Send(hwnd, WM_NCPAINT, WPARAM(h), 0);
  DeleteObject(h);
}

void SendEraseIfNeeded(HWND hwnd) {
  Wnd* w = GetWnd(hwnd);
  if (!w || !w->erase) return;
  w->erase = false;
  Region rgn = Region::Combine(w->update, Region(ClientInWindow(w)), Region::And);
  if (rgn.Empty()) return;
  RECT cl = ClientInWindow(w);
  rgn.Offset(-cl.left, -cl.top);
  DcRecord rec;
  rec.hwnd = hwnd;
  rec.clipChildren = (w->style & WS_CLIPCHILDREN) != 0;
  rec.extraMode = 1;
  rec.extra = rgn;
  HDC dc = NewWindowDC(w, std::move(rec));
  if (!dc) return;
  LRESULT erased = Send(hwnd, WM_ERASEBKGND, WPARAM(dc), 0);
  ReleaseDC(hwnd, dc);
  if (Wnd* after = GetWnd(hwnd)) after->eraseFailed = !erased;
}

void EraseTree(HWND hwnd, UINT flags) {
  Wnd* w = GetWnd(hwnd);
  if (!w || !IsVisibleChain(w)) return;
  SendNcPaintIfNeeded(hwnd);
  SendEraseIfNeeded(hwnd);
  w = GetWnd(hwnd);
  if (!w || !IncludeChildren(w, flags)) return;
  for (HWND c : ChildHandles(w)) EraseTree(c, flags | RDW_ALLCHILDREN);
}

bool PaintTree(HWND hwnd, UINT flags) {
  Wnd* w = GetWnd(hwnd);
  if (!w || !IsVisibleChain(w)) return true;
  if (NeedsPaint(w)) {
    Send(hwnd, WM_PAINT);
    w = GetWnd(hwnd);
    // A window that does not validate would be painted for ever.
    if (w && NeedsPaint(w)) return false;
  } else if (w->erase || w->ncForce) {
    EraseTree(hwnd, RDW_NOCHILDREN);
  }
  w = GetWnd(hwnd);
  if (!w || !IncludeChildren(w, flags)) return true;
  for (HWND c : ChildHandles(w))
    if (!PaintTree(c, flags | RDW_ALLCHILDREN)) return false;
  return true;
}

Wnd* FindPaintIn(Wnd* w) {
  if (!(w->style & WS_VISIBLE)) return nullptr;
  if (!w->update.Empty() || w->internalPaint) return w;
  if (w->style & WS_MINIMIZE) return nullptr;
  for (Wnd* c : w->children)
    if (Wnd* r = FindPaintIn(c)) return r;
  return nullptr;
}

}  // namespace

HRGN MakeHrgn(const Region& rgn) {
  const auto& rects = rgn.Rects();
  if (rects.empty()) return CreateRectRgn(0, 0, 0, 0);
  HRGN h = CreateRectRgnIndirect(&rects[0]);
  if (rects.size() > 1) {
    HRGN t = CreateRectRgn(0, 0, 0, 0);
    for (std::size_t i = 1; i < rects.size(); ++i) {
      SetRectRgn(t, rects[i].left, rects[i].top, rects[i].right, rects[i].bottom);
      CombineRgn(h, h, t, RGN_OR);
    }
    DeleteObject(t);
  }
  return h;
}

Region FromHrgn(HRGN rgn) {
  int n = GetRegionRects(rgn, nullptr, 0);
  if (n <= 0) return Region();
  std::vector<RECT> rects(static_cast<std::size_t>(n));
  GetRegionRects(rgn, rects.data(), n);
  return Region::FromRects(rects);
}

Region VisibleRegion(const Wnd* w, bool windowArea, bool clipChildren) {
  if (!IsVisibleChain(w) || !w->parent) return Region();
  Region rgn(windowArea ? SurfaceWindowRect(w) : SurfaceClientRect(w));
  for (const Wnd* c = w; c->parent && c->parent->parent; c = c->parent) {
    const Wnd* p = c->parent;
    rgn = Region::Combine(rgn, Region(SurfaceClientRect(p)), Region::And);
    // Siblings above always clip, whatever WS_CLIPSIBLINGS says: painting order would
    // otherwise decide which of two overlapping windows shows.
    for (const Wnd* s : p->children) {
      if (s == c) break;
      if (s->style & WS_VISIBLE)
        rgn = Region::Combine(rgn, Region(SurfaceWindowRect(s)), Region::Diff);
    }
    if (rgn.Empty()) return rgn;
  }
  if (clipChildren)
    for (const Wnd* ch : w->children)
      if (ch->style & WS_VISIBLE)
        rgn = Region::Combine(rgn, Region(SurfaceWindowRect(ch)), Region::Diff);
  return rgn;
}

bool NeedsPaint(const Wnd* w) {
  return IsVisibleChain(w) && (!w->update.Empty() || w->internalPaint);
}

Wnd* FindWindowToPaint(HWND filter) {
  if (filter) {
    Wnd* f = GetWnd(filter);
    if (!f || !IsVisibleChain(f)) return nullptr;
    return FindPaintIn(f);
  }
  for (Wnd* t : Desktop()->children)
    if (Wnd* r = FindPaintIn(t)) return r;
  return nullptr;
}

void UpdateRegionOp(Wnd* w, const Region& rgn, UINT flags) {
  if (!IsVisibleChain(w)) return;
  RECT whole = WholeWindow(w), cl = ClientInWindow(w);
  if (flags & RDW_INVALIDATE) {
    Region area = Region::Combine(rgn, Region((flags & RDW_FRAME) ? whole : cl), Region::And);
    // What no one can see needs no paint.
    Region vis = VisibleRegion(w, true, false);
    RECT sw = SurfaceWindowRect(w);
    vis.Offset(-sw.left, -sw.top);
    area = Region::Combine(area, vis, Region::And);
    if (!area.Empty()) {
      w->update = Region::Combine(w->update, area, Region::Or);
      if (flags & RDW_ERASE) w->erase = true;
      // The platform sends WM_NCPAINT after any frame invalidation, even with no frame.
      if (flags & RDW_FRAME) w->ncForce = true;
    }
    if (flags & RDW_INTERNALPAINT) w->internalPaint = true;
    if (flags & RDW_NOERASE) w->erase = false;
  } else if (flags & RDW_VALIDATE) {
    Region area = Region::Combine(rgn, Region((flags & RDW_FRAME) ? whole : cl), Region::And);
    w->update = Region::Combine(w->update, area, Region::Diff);
    if (flags & (RDW_NOFRAME | RDW_FRAME)) w->ncForce = false;
    if (flags & RDW_NOFRAME) w->update = Region::Combine(w->update, Region(cl), Region::And);
    if (flags & RDW_NOERASE) w->erase = false;
    if (flags & RDW_NOINTERNALPAINT) w->internalPaint = false;
    if (w->update.Empty()) w->erase = false;
  } else {
    if ((flags & RDW_NOERASE)) w->erase = false;
    if (flags & RDW_NOINTERNALPAINT) w->internalPaint = false;
    if (flags & RDW_INTERNALPAINT) w->internalPaint = true;
  }
  if (!IncludeChildren(w, flags)) return;
  Region inside = Region::Combine(rgn, Region(cl), Region::And);
  if (inside.Empty()) return;
  UINT childFlags = flags | RDW_ALLCHILDREN;
  if (flags & RDW_INVALIDATE) childFlags |= RDW_FRAME;
  for (Wnd* c : w->children) {
    if (!(c->style & WS_VISIBLE)) continue;
    RECT cr = Offset(c->rect, cl.left, cl.top);  // the child in the parent's window coordinates
    Region part = Region::Combine(inside, Region(cr), Region::And);
    if (part.Empty()) continue;
    part.Offset(-cr.left, -cr.top);
    UpdateRegionOp(c, part, childFlags);
  }
}

void RedrawRegion(HWND hwnd, const Region* clientRgn, UINT flags) {
  Wnd* w = GetWnd(hwnd);
  if (!w) return;
  if (w == Desktop()) {
    for (HWND t : TopLevelHandles()) RedrawRegion(t, nullptr, flags | RDW_ALLCHILDREN);
    return;
  }
  RECT cl = ClientInWindow(w);
  Region target;
  if (clientRgn) {
    target = *clientRgn;
    target.Offset(cl.left, cl.top);
  } else {
    target = Region((flags & RDW_FRAME) ? WholeWindow(w) : cl);
  }
  if (flags & (RDW_INVALIDATE | RDW_VALIDATE | RDW_INTERNALPAINT | RDW_NOINTERNALPAINT |
               RDW_NOERASE | RDW_NOFRAME))
    UpdateRegionOp(w, target, flags);
  if (flags & RDW_UPDATENOW) UpdateNow(hwnd, flags);
  else if (flags & RDW_ERASENOW) EraseNow(hwnd, flags);
}

void InvalidateUncovered(Wnd* parent, const RECT& rect) {
  if (!parent || parent == Desktop()) return;
  RECT cl = ClientInWindow(parent);
  UpdateRegionOp(parent, Region(Offset(rect, cl.left, cl.top)),
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void EraseNow(HWND hwnd, UINT flags) { EraseTree(hwnd, flags); }

void UpdateNow(HWND hwnd, UINT flags) { PaintTree(hwnd, flags); }

// ---- Surfaces ----

Surface* EnsureSurface(Wnd* top) {
  if (!top->surface) top->surface = std::make_unique<Surface>();
  Surface* s = top->surface.get();
  int w = std::max<int>(1, top->rect.right - top->rect.left);
  int h = std::max<int>(1, top->rect.bottom - top->rect.top);
  if (!s->bitmap || w > s->capWidth || h > s->capHeight) {
    int cw = std::max(w, s->capWidth), ch = std::max(h, s->capHeight);
    cw = (cw + 63) / 64 * 64;
    ch = (ch + 63) / 64 * 64;
    HBITMAP bmp = GdiCreateBitmap32(cw, ch);
    if (!bmp) return nullptr;
    GdiPixels np;
    GdiGetBitmapPixels(bmp, &np);
    GdiPixels op;
    if (s->bitmap && GdiGetBitmapPixels(s->bitmap, &op)) {
      int rows = std::min(op.height, np.height);
      int bytes = std::min(op.width, np.width) * 4;
      for (int y = 0; y < rows; ++y)
        std::memcpy(reinterpret_cast<char*>(np.bits) + y * np.strideBytes,
                    reinterpret_cast<char*>(op.bits) + y * op.strideBytes, std::size_t(bytes));
    }
    for (HDC dc : s->spareDCs) DeleteDC(dc);
    s->spareDCs.clear();
    if (s->bitmap) DeleteObject(s->bitmap);
    s->bitmap = bmp;
    s->capWidth = cw;
    s->capHeight = ch;
  }
  if (s->width != w || s->height != h) {
    s->width = w;
    s->height = h;
    s->dirty = RECT{0, 0, w, h};
  }
  return s;
}

void SyncSurfaceSize(Wnd* top) {
  if (top->surface) EnsureSurface(top);
}

void DestroySurface(Wnd* top) {
  Surface* s = top->surface.get();
  if (!s) return;
  if (s->hostCreated)
    if (HostWindowDriver* h = Host()) h->DestroySurface(top->handle);
  for (HDC dc : s->spareDCs) DeleteDC(dc);
  if (s->bitmap) DeleteObject(s->bitmap);
  top->surface.reset();
  RefreshDCs();
}

void MarkDirty(Wnd* top, const RECT& r) {
  if (!top || !top->surface) return;
  Surface* s = top->surface.get();
  RECT c = Intersect(r, RECT{0, 0, s->width, s->height});
  if (Empty(c)) return;
  s->dirty = Empty(s->dirty) ? c : UnionOf(s->dirty, c);
}

static HostSurfaceParams SurfaceParams(const Wnd* t) {
  HostSurfaceParams p;
  p.rect = HostSurfaceRect(t);
  p.title = t->text;
  p.owner = t->owner ? t->owner->handle : 0;
  p.decorated = DesktopDecorates(t);
  p.popup = !p.decorated && (t->style & WS_POPUP) && (t->style & WS_CAPTION) != WS_CAPTION &&
            (t->owner || (t->exStyle & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE)));
  p.noActivate = (t->exStyle & WS_EX_NOACTIVATE) || p.popup;
  p.toolWindow = (t->exStyle & WS_EX_TOOLWINDOW) != 0;
  p.topmost = (t->exStyle & WS_EX_TOPMOST) != 0;
  // Owned and modal (its owner disabled for it), or framed as a dialog: the desktop's dialog.
  p.dialog = p.decorated && t->owner &&
             ((t->owner->style & WS_DISABLED) || (t->exStyle & WS_EX_DLGMODALFRAME));
  p.resizable = (t->style & WS_THICKFRAME) != 0;
  p.minimizeBox = (t->style & WS_SYSMENU) && (t->style & WS_MINIMIZEBOX);
  p.maximizeBox = (t->style & WS_SYSMENU) && (t->style & WS_MAXIMIZEBOX);
  return p;
}

// The window manager keeps a minimised surface (on the task bar); a popup has none, so it goes.
bool HostKeepsMinimized(const Wnd* t) {
  return t->surface && t->surface->hostCreated && t->surface->hostManaged;
}

void RestyleHostSurface(Wnd* top) {
  Surface* s = top->surface.get();
  HostWindowDriver* host = Host();
  if (!host || !s || !s->hostCreated) return;
  HostSurfaceParams p = SurfaceParams(top);
  if (p.popup == s->hostManaged) {
    // A popup has no window manager at all: the window is made again at the next flush.
    host->DestroySurface(top->handle);
    s->hostCreated = s->hostShown = false;
    return;
  }
  host->RestyleSurface(top->handle, p);
  s->hostDecorated = p.decorated;
  s->dirty = RECT{0, 0, s->width, s->height};
}

void FlushSurfaces() {
  // Drawing through DCs still held counts as changed.
  for (auto& [dc, rec] : Dcs())
    if (!rec.screen && !Empty(rec.visible)) MarkDirty(GetWnd(rec.top), rec.visible);
  HostWindowDriver* host = Host();
  for (Wnd* t : Desktop()->children) {
    if (!(t->style & WS_VISIBLE)) continue;
    bool iconic = (t->style & WS_MINIMIZE) != 0;
    if (iconic && (!host || !DesktopDecorates(t) || (t->surface && t->surface->hostShown)))
      continue;
    Surface* s = EnsureSurface(t);
    if (!s) continue;
    if (!host) {
      s->dirty = RECT{};
      continue;
    }
    if (!s->hostCreated) {
      HostSurfaceParams p = SurfaceParams(t);
      if (iconic) p.rect = WindowRectFromHost(t, t->normal);
      s->hostCreated = host->CreateSurface(t->handle, p);
      if (!s->hostCreated) continue;
      s->hostManaged = !p.popup;
      s->hostDecorated = p.decorated;
      s->dirty = RECT{0, 0, s->width, s->height};
      // A window shown minimised or maximised before its surface existed.
      if (iconic) host->SetSurfaceState(t->handle, HostSurfaceState::Minimized);
      else if (t->style & WS_MAXIMIZE)
        host->SetSurfaceState(t->handle, HostSurfaceState::Maximized);
    }
    GdiPixels px;
    if (!iconic && !Empty(s->dirty) && GdiGetBitmapPixels(s->bitmap, &px)) {
      // A decorated surface shows the window less the frame the desktop draws.
      RECT in = s->hostDecorated ? DesktopFrameInsets(t) : RECT{};
      int w = std::max(0, s->width - in.left - in.right);
      int h = std::max(0, s->height - in.top - in.bottom);
      RECT d = Intersect(Offset(s->dirty, -in.left, -in.top), RECT{0, 0, w, h});
      s->dirty = RECT{};
      const auto* origin = reinterpret_cast<const std::uint32_t*>(
          reinterpret_cast<const char*>(px.bits) + std::ptrdiff_t(in.top) * px.strideBytes +
          std::ptrdiff_t(in.left) * 4);
      if (!Empty(d)) {
        std::vector<HostDeviceLayer> layers = DeviceLayersOf(t, POINT{-in.left, -in.top});
        if (layers.empty()) host->FlushSurface(t->handle, origin, w, h, px.strideBytes, d);
        else host->FlushSurfaceLayers(t->handle, origin, w, h, px.strideBytes, d, layers);
      }
    }
    if (!s->hostShown) {
      s->hostShown = true;
      host->ShowSurface(t->handle, true, t->handle == gActive);
    }
  }
}

void RefreshDCs() {
  for (auto& [dc, rec] : Dcs())
    if (!rec.screen) ComputeArea(dc, rec);
}

void ReleaseWindowDCs(HWND hwnd) {
  std::vector<HDC> gone;
  for (auto& [dc, rec] : Dcs())
    if (rec.hwnd == hwnd) gone.push_back(dc);
  for (HDC dc : gone) {
    Dcs().erase(dc);
    DeleteDC(dc);
  }
}

void ResetPainting() {
  for (auto& [dc, rec] : Dcs()) DeleteDC(dc);
  Dcs().clear();
}

}  // namespace user

using namespace user;

HDC GetDCEx(HWND hwnd, HRGN clip, DWORD flags) {
  if (!hwnd) {
    Screens();  // the display DC reports the host's screen
    HDC dc = CreateDCW(u"DISPLAY", nullptr, nullptr, nullptr);
    DcRecord rec;
    rec.screen = true;
    Dcs()[dc] = rec;
    return dc;
  }
  Wnd* w = GetWndOrError(hwnd);
  if (!w) return 0;
  if (w == Desktop()) return GetDCEx(0, clip, flags);
  DcRecord rec;
  rec.hwnd = hwnd;
  rec.window = (flags & DCX_WINDOW) != 0;
  rec.clipChildren = (flags & DCX_CLIPCHILDREN) ||
                     ((flags & DCX_USESTYLE) && !rec.window && (w->style & WS_CLIPCHILDREN));
  if (clip && (flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN))) {
    rec.extraMode = (flags & DCX_INTERSECTRGN) ? 1 : 2;
    rec.extra = FromHrgn(clip);
    DeleteObject(clip);
  }
  if (flags & (DCX_INTERSECTUPDATE | DCX_EXCLUDEUPDATE)) {
    Region upd = w->update;
    RECT org = rec.window ? RECT{} : ClientInWindow(w);
    upd.Offset(-org.left, -org.top);
    Region base = rec.extraMode == 1 ? rec.extra : Region(RECT{-32768, -32768, 32767, 32767});
    if (rec.extraMode == 2) base = Region::Combine(base, rec.extra, Region::Diff);
    rec.extra =
        Region::Combine(base, upd, (flags & DCX_INTERSECTUPDATE) ? Region::And : Region::Diff);
    rec.extraMode = 1;
    if (flags & DCX_VALIDATE) w->update = Region();
  }
  return NewWindowDC(w, std::move(rec));
}

HDC GetDC(HWND hwnd) { return GetDCEx(hwnd, 0, DCX_USESTYLE | DCX_CACHE); }

HDC GetWindowDC(HWND hwnd) { return GetDCEx(hwnd, 0, DCX_WINDOW | DCX_USESTYLE | DCX_CACHE); }

int ReleaseDC(HWND, HDC dc) {
  auto it = Dcs().find(dc);
  if (it == Dcs().end()) return 0;
  DcRecord rec = std::move(it->second);
  Dcs().erase(it);
  if (rec.screen) {
    DeleteDC(dc);
    return 1;
  }
  Wnd* top = GetWnd(rec.top);
  if (top && top->surface && top->surface->bitmap == rec.surface) {
    MarkDirty(top, rec.visible);
    if (top->surface->spareDCs.size() < 8) {
      top->surface->spareDCs.push_back(dc);
      return 1;
    }
  }
  DeleteDC(dc);
  return 1;
}

HWND WindowFromDC(HDC dc) {
  auto it = Dcs().find(dc);
  return it == Dcs().end() ? 0 : it->second.hwnd;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
  Wnd* w = GetWndOrError(hwnd);
  if (!w || !ps) return 0;
  CaretWindowPainting(hwnd, true);
  SendNcPaintIfNeeded(hwnd);
  if (!(w = GetWnd(hwnd))) return 0;
  RECT cl = ClientInWindow(w);
  Region paint = Region::Combine(w->update, Region(cl), Region::And);
  bool erase = w->erase;
  bool failed = w->eraseFailed;
  w->update = Region();
  w->erase = w->eraseFailed = w->internalPaint = false;
  paint.Offset(-cl.left, -cl.top);
  DcRecord rec;
  rec.hwnd = hwnd;
  rec.paint = true;
  rec.clipChildren = (w->style & WS_CLIPCHILDREN) != 0;
  rec.extraMode = 1;
  rec.extra = paint;
  *ps = PAINTSTRUCT{};
  ps->rcPaint = paint.Empty() ? RECT{} : paint.Box();
  HDC dc = NewWindowDC(w, std::move(rec));
  ps->hdc = dc;
  if (erase && dc) ps->fErase = Send(hwnd, WM_ERASEBKGND, WPARAM(dc), 0) ? FALSE : TRUE;
  else ps->fErase = failed ? TRUE : FALSE;
  return dc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
  if (!ps) return FALSE;
  ReleaseDC(hwnd, ps->hdc);
  CaretWindowPainting(hwnd, false);
  return TRUE;
}

BOOL RedrawWindow(HWND hwnd, const RECT* rect, HRGN rgn, UINT flags) {
  if (!hwnd) hwnd = GetDesktopWindow();
  if (!GetWndOrError(hwnd)) return FALSE;
  if (rgn) {
    Region r = FromHrgn(rgn);
    RedrawRegion(hwnd, &r, flags);
  } else if (rect) {
    Region r(*rect);
    RedrawRegion(hwnd, &r, flags);
  } else {
    RedrawRegion(hwnd, nullptr, flags);
  }
  return TRUE;
}

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
  if (!hwnd)
    return RedrawWindow(0, nullptr, 0,
                        RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_ERASENOW);
  return RedrawWindow(hwnd, rect, 0, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL GetUpdateRect(HWND hwnd, RECT* rect, BOOL erase) {
  Wnd* w = GetWndOrError(hwnd);
  if (!w) return FALSE;
  if (erase) {
    EraseNow(hwnd, RDW_NOCHILDREN);
    if (!(w = GetWnd(hwnd))) return FALSE;
  }
  RECT cl = ClientInWindow(w);
  Region r = Region::Combine(w->update, Region(cl), Region::And);
  RECT box = r.Empty() ? RECT{} : Offset(r.Box(), -cl.left, -cl.top);
  if (rect) *rect = box;
  return r.Empty() ? FALSE : TRUE;
}

BOOL UpdateWindow(HWND hwnd) {
  return RedrawWindow(hwnd, nullptr, 0, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

int ScrollWindowEx(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update,
                   RECT* updateRect, UINT flags) {
  Wnd* w = GetWndOrError(hwnd);
  if (!w) return ERROR;
  RECT cr{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
  RECT src = scroll ? Intersect(*scroll, cr) : cr;
  RECT cl = clip ? Intersect(*clip, cr) : cr;
  Region valid;  // client coordinates: what received good pixels
  Wnd* top = RootOf(w);
  if (IsVisibleChain(w) && top && (dx || dy)) {
    Surface* s = EnsureSurface(top);
    RECT sc = SurfaceClientRect(w);
    Region vis = VisibleRegion(w, false, (w->style & WS_CLIPCHILDREN) != 0);
    vis.Offset(-sc.left, -sc.top);
    Region readable = Region::Combine(Region(Intersect(src, cl)), vis, Region::And);
    readable.Offset(dx, dy);
    valid = Region::Combine(Region::Combine(readable, Region(cl), Region::And), vis, Region::And);
    GdiPixels px;
    if (s && GdiGetBitmapPixels(s->bitmap, &px)) {
      std::vector<std::vector<std::uint32_t>> saved;
      for (const RECT& r : valid.Rects()) {
        std::vector<std::uint32_t> buf(std::size_t((r.right - r.left) * (r.bottom - r.top)));
        for (int y = r.top; y < r.bottom; ++y) {
          const std::uint32_t* row = reinterpret_cast<const std::uint32_t*>(
              reinterpret_cast<const char*>(px.bits) + (y - dy + sc.top) * px.strideBytes);
          std::memcpy(&buf[std::size_t((y - r.top) * (r.right - r.left))],
                      row + (r.left - dx + sc.left), std::size_t(r.right - r.left) * 4);
        }
        saved.push_back(std::move(buf));
      }
      std::size_t i = 0;
      for (const RECT& r : valid.Rects()) {
        const auto& buf = saved[i++];
        for (int y = r.top; y < r.bottom; ++y) {
          std::uint32_t* row = reinterpret_cast<std::uint32_t*>(reinterpret_cast<char*>(px.bits) +
                                                                (y + sc.top) * px.strideBytes);
          std::memcpy(row + r.left + sc.left, &buf[std::size_t((y - r.top) * (r.right - r.left))],
                      std::size_t(r.right - r.left) * 4);
        }
      }
      if (!valid.Empty()) MarkDirty(top, Offset(valid.Box(), sc.left, sc.top));
    }
  }
  ScrollDeviceLayer(hwnd, dx, dy, scroll);
  Region changed = Region::Combine(Region(src), Region(Offset(src, dx, dy)), Region::Or);
  changed = Region::Combine(changed, Region(cl), Region::And);
  changed = Region::Combine(changed, valid, Region::Diff);
  if (flags & SW_INVALIDATE) {
    Region r = changed;
    RedrawRegion(hwnd, &r,
                 RDW_INVALIDATE | ((flags & SW_ERASE) ? RDW_ERASE : 0) |
                     ((flags & SW_SCROLLCHILDREN) ? RDW_ALLCHILDREN : 0));
  }
  if (flags & SW_SCROLLCHILDREN) {
    for (HWND c : ChildHandles(w)) {
      Wnd* cw = GetWnd(c);
      if (!cw || (scroll && Empty(Intersect(cw->rect, *scroll)))) continue;
      SetWindowPos(c, 0, cw->rect.left + dx, cw->rect.top + dy, 0, 0,
                   SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
  if (update) {
    HRGN h = MakeHrgn(changed);
    CombineRgn(update, h, 0, RGN_COPY);
    DeleteObject(h);
  }
  if (updateRect) *updateRect = changed.Empty() ? RECT{} : changed.Box();
  return changed.Empty() ? NULLREGION : changed.Rects().size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

void UserFlushSurfaces() { FlushSurfaces(); }
