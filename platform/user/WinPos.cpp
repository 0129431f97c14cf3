// Window positions: SetWindowPos and its messages, ShowWindow with minimise and maximise,
// coordinate mapping and the windows under a point.
#include <map>

#include "UserInternal.h"

namespace user {
namespace {

constexpr UINT kNoPosChange = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER;

RECT WorkAreaFor(const RECT& screenRect) {
  HMONITOR m = MonitorFromRect(&screenRect, MONITOR_DEFAULTTONEAREST);
  MONITORINFO mi;
  if (m && GetMonitorInfoW(m, &mi)) return mi.rcWork;
  return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

// The frame a maximised window keeps outside the work area: the borders, not the caption.
int OutsideBorder(const Wnd* w) {
  RECT r{0, 0, 100, 100};
  AdjustWindowRectEx(&r, w->style & ~WS_CAPTION, FALSE, w->exStyle & ~WS_EX_CLIENTEDGE);
  if ((w->style & WS_CAPTION) == WS_CAPTION) {
    RECT c{0, 0, 100, 100};
    AdjustWindowRectEx(&c, (w->style & ~WS_CAPTION) | WS_BORDER | WS_DLGFRAME, FALSE,
                       w->exStyle & ~WS_EX_CLIENTEDGE);
    return -c.left;
  }
  return -r.left;
}

MINMAXINFO GetMinMax(HWND hwnd, const RECT& work) {
  Wnd* w = GetWnd(hwnd);
  MINMAXINFO mmi;
  int b = w ? OutsideBorder(w) : 0;
  mmi.ptMaxSize = {work.right - work.left + 2 * b, work.bottom - work.top + 2 * b};
  mmi.ptMaxPosition = {-b, -b};
  if (w && DesktopDecorates(w)) {
    // Where the window manager will put it: its frame filling the work area.
    RECT ext = DesktopFrameExtents(w);
    RECT win = WindowRectFromHost(w, RECT{work.left + ext.left, work.top + ext.top,
                                          work.right - ext.right, work.bottom - ext.bottom});
    mmi.ptMaxSize = {win.right - win.left, win.bottom - win.top};
    mmi.ptMaxPosition = {win.left - work.left, win.top - work.top};
  }
  mmi.ptMinTrackSize = {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
  mmi.ptMaxTrackSize = {GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
  Send(hwnd, WM_GETMINMAXINFO, 0, LPARAM(&mmi));
  return mmi;
}

// What a change of size uncovers in a window that keeps its pixels: the frame, the new part of
// the client area, or the whole client area with CS_HREDRAW / CS_VREDRAW.
void InvalidateResized(Wnd* w, const RECT& oldRect, const RECT& oldClient, bool frameChanged) {
  RECT win{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
  RECT cl = Offset(w->client, -w->rect.left, -w->rect.top);
  RECT oldCl = Offset(oldClient, -oldRect.left, -oldRect.top);
  bool clientMoved = cl.left != oldCl.left || cl.top != oldCl.top;
  int ow = oldCl.right - oldCl.left, oh = oldCl.bottom - oldCl.top;
  int nw = cl.right - cl.left, nh = cl.bottom - cl.top;
  UINT style = w->cls ? w->cls->style : 0;
  bool whole = frameChanged || clientMoved || ((style & CS_HREDRAW) && ow != nw) ||
               ((style & CS_VREDRAW) && oh != nh);
  const UINT f = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN;
  if (whole) {
    UpdateRegionOp(w, Region(win), f);
    return;
  }
  Region rgn = Region::Combine(Region(win), Region(cl), Region::Diff);  // the frame
  Region exposed = Region::Combine(
      Region(cl), Region(RECT{cl.left, cl.top, cl.left + ow, cl.top + oh}), Region::Diff);
  rgn = Region::Combine(rgn, exposed, Region::Or);
  if (!rgn.Empty()) UpdateRegionOp(w, rgn, f);
}

void SendPosChanged(HWND hwnd, WINDOWPOS wp) { Send(hwnd, WM_WINDOWPOSCHANGED, 0, LPARAM(&wp)); }

// The host follows a top-level window's new place and state. A minimised window has no place on
// the screen: the window manager keeps it on the task bar, or, for a surface it does not manage,
// the surface is hidden.
void SyncHostSurface(Wnd* w, UINT flags) {
  bool moved = !(flags & SWP_NOMOVE), sized = !(flags & SWP_NOSIZE);
  bool iconic = (w->style & WS_MINIMIZE) != 0;
  if (sized) SyncSurfaceSize(w);
  HostWindowDriver* h = Host();
  Surface* s = w->surface.get();
  if (!h || !s || !s->hostCreated) return;
  if (flags & SWP_FRAMECHANGED) {
    RestyleHostSurface(w);
    if (!s->hostCreated) return;
  }
  if ((moved || sized || (flags & SWP_FRAMECHANGED)) && !gGeometryFromHost && !iconic)
    h->MoveSurface(w->handle, HostSurfaceRect(w));
  if ((flags & SWP_STATECHANGED) && !gStateFromHost && HostKeepsMinimized(w))
    h->SetSurfaceState(w->handle, iconic                     ? HostSurfaceState::Minimized
                                  : (w->style & WS_MAXIMIZE) ? HostSurfaceState::Maximized
                                                             : HostSurfaceState::Normal);
  bool hide = (flags & SWP_HIDEWINDOW) || (iconic && !HostKeepsMinimized(w));
  if (hide && s->hostShown) {
    h->ShowSurface(w->handle, false, false);
    s->hostShown = false;
  }
}

}  // namespace
}  // namespace user

using namespace user;

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  Wnd* w = GetWndOrError(hwnd);
  if (!w || w == Desktop()) return FALSE;
  if (flags & SWP_HIDEWINDOW) flags &= ~SWP_SHOWWINDOW;
  if (w->style & WS_VISIBLE) flags &= ~SWP_SHOWWINDOW;
  else flags &= ~SWP_HIDEWINDOW;
  if (cx < 0) cx = 0;
  if (cy < 0) cy = 0;
  bool child = !IsTopLevel(w);
  if (child || hwnd == gActive) flags |= SWP_NOACTIVATE;
  if (!(flags & SWP_NOACTIVATE) && !child) {
    flags &= ~SWP_NOZORDER;
    if (insertAfter != HWND_TOPMOST && insertAfter != HWND_NOTOPMOST) insertAfter = HWND_TOP;
  }

  WINDOWPOS wp{hwnd, insertAfter, x, y, cx, cy, flags};
  auto fix = [&](Wnd* win) {
    if (wp.flags & SWP_NOMOVE) {
      wp.x = win->rect.left;
      wp.y = win->rect.top;
    }
    if (wp.flags & SWP_NOSIZE) {
      wp.cx = win->rect.right - win->rect.left;
      wp.cy = win->rect.bottom - win->rect.top;
    }
    if (wp.x == win->rect.left && wp.y == win->rect.top) wp.flags |= SWP_NOMOVE;
    if (wp.cx == win->rect.right - win->rect.left && wp.cy == win->rect.bottom - win->rect.top)
      wp.flags |= SWP_NOSIZE;
    if (!(wp.flags & SWP_NOZORDER) && win->parent) {
      // Placing a window where it already is changes no z-order.
      auto& kids = win->parent->children;
      auto it = std::find(kids.begin(), kids.end(), win);
      HWND prev = it == kids.begin() ? HWND_TOP : (*(it - 1))->handle;
      bool last = it + 1 == kids.end();
      bool topmost = (win->exStyle & WS_EX_TOPMOST) != 0;
      if (wp.hwndInsertAfter == hwnd || wp.hwndInsertAfter == prev ||
          (wp.hwndInsertAfter == HWND_TOP && prev == HWND_TOP) ||
          (wp.hwndInsertAfter == HWND_BOTTOM && last) ||
          (wp.hwndInsertAfter == HWND_TOPMOST && topmost && prev == HWND_TOP) ||
          (wp.hwndInsertAfter == HWND_NOTOPMOST && !topmost))
        wp.flags |= SWP_NOZORDER;
    }
  };
  fix(w);
  if (!(wp.flags & SWP_NOSENDCHANGING)) {
    Send(hwnd, WM_WINDOWPOSCHANGING, 0, LPARAM(&wp));
    if (!(w = GetWnd(hwnd))) return FALSE;
    if (wp.cx < 0) wp.cx = 0;
    if (wp.cy < 0) wp.cy = 0;
    UINT keep = wp.flags & (SWP_NOMOVE | SWP_NOSIZE);
    wp.flags &= ~(SWP_NOMOVE | SWP_NOSIZE);
    wp.flags |= keep;
    fix(w);
  }
  flags = wp.flags;

  RECT oldRect = w->rect, oldClient = w->client;
  RECT newRect{wp.x, wp.y, wp.x + wp.cx, wp.y + wp.cy};
  RECT newClient;
  if (!(flags & SWP_NOSIZE) || (flags & SWP_FRAMECHANGED)) {
    NCCALCSIZE_PARAMS params;
    params.rgrc[0] = newRect;
    params.rgrc[1] = oldRect;
    params.rgrc[2] = oldClient;
    params.lppos = &wp;
    Send(hwnd, WM_NCCALCSIZE, TRUE, LPARAM(&params));
    if (!(w = GetWnd(hwnd))) return FALSE;
    newClient = params.rgrc[0];
    if (newClient.right < newClient.left) newClient.right = newClient.left;
    if (newClient.bottom < newClient.top) newClient.bottom = newClient.top;
  } else {
    newClient = Offset(oldClient, newRect.left - oldRect.left, newRect.top - oldRect.top);
  }
  if (newClient.right - newClient.left == oldClient.right - oldClient.left &&
      newClient.bottom - newClient.top == oldClient.bottom - oldClient.top)
    flags |= SWP_NOCLIENTSIZE;
  if (newClient.left == oldClient.left && newClient.top == oldClient.top) flags |= SWP_NOCLIENTMOVE;

  Wnd* parent = w->parent;
  bool wasVisible = IsVisibleChain(w);
  RECT oldScreen = ScreenWindowRect(w);
  bool zChanged = !(flags & SWP_NOZORDER);
  if (zChanged) LinkWindow(w, wp.hwndInsertAfter);
  w->rect = newRect;
  w->client = newClient;
  if (flags & SWP_SHOWWINDOW) w->style |= WS_VISIBLE;
  if (flags & SWP_HIDEWINDOW) w->style &= ~WS_VISIBLE;
  bool nowVisible = IsVisibleChain(w);
  bool moved = !(flags & SWP_NOMOVE), sized = !(flags & SWP_NOSIZE);
  bool frameChanged = (flags & SWP_FRAMECHANGED) != 0;

  if (IsTopLevel(w)) SyncHostSurface(w, flags);

  if (!(flags & SWP_NOREDRAW) || (flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW))) {
    if (!IsTopLevel(w) && wasVisible && (moved || zChanged || (flags & SWP_HIDEWINDOW))) {
      // What the window covered in its parent (the parent's client coordinates).
      POINT po = ClientOrigin(parent);
      InvalidateUncovered(parent, Offset(oldScreen, -po.x, -po.y));
    } else if (!IsTopLevel(w) && wasVisible && sized) {
      POINT po = ClientOrigin(parent);
      Region left =
          Region::Combine(Region(Offset(oldScreen, -po.x, -po.y)), Region(w->rect), Region::Diff);
      for (const RECT& r : left.Rects()) InvalidateUncovered(parent, r);
    }
    if (nowVisible) {
      RECT whole{0, 0, newRect.right - newRect.left, newRect.bottom - newRect.top};
      const UINT all = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN;
      if (!wasVisible || (!IsTopLevel(w) && (moved || zChanged)))
        UpdateRegionOp(w, Region(whole), all);
      else if (sized || frameChanged) InvalidateResized(w, oldRect, oldClient, frameChanged);
    }
  }
  RefreshDCs();

  if (!(flags & SWP_DEFERERASE)) {
    if (!IsTopLevel(w) && wasVisible && (moved || sized || (flags & SWP_HIDEWINDOW)) && parent)
      EraseNow(parent->handle, RDW_ALLCHILDREN);
    if ((flags & SWP_SHOWWINDOW) && !(flags & SWP_NOCLIENTSIZE && flags & SWP_NOCLIENTMOVE))
      EraseNow(hwnd, RDW_ALLCHILDREN);
  }

  if (!(flags & SWP_NOACTIVATE) && !(flags & SWP_HIDEWINDOW)) {
    Wnd* cur = GetWnd(hwnd);
    if (cur && (cur->style & WS_CHILD) && !IsTopLevel(cur)) Send(hwnd, WM_CHILDACTIVATE);
    else if (cur) ActivateWindow(hwnd, false, false);
  }
  if (!GetWnd(hwnd)) return TRUE;
  if ((flags & kNoPosChange) != kNoPosChange ||
      (flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW | SWP_FRAMECHANGED))) {
    wp.flags = flags;
    SendPosChanged(hwnd, wp);
  }
  if ((flags & SWP_HIDEWINDOW) && GetWnd(hwnd)) FocusLeaving(hwnd);
  return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
  UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
  if (!repaint) flags |= SWP_NOREDRAW;
  return SetWindowPos(hwnd, 0, x, y, width, height, flags);
}

namespace {
std::map<HDWP, std::vector<WINDOWPOS>>& Deferred() {
  static std::map<HDWP, std::vector<WINDOWPOS>> d;
  return d;
}
HDWP gNextDwp = 1;
}  // namespace

HDWP BeginDeferWindowPos(int count) {
  if (count < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  HDWP h = gNextDwp++;
  Deferred()[h].reserve(std::size_t(count));
  return h;
}

HDWP DeferWindowPos(HDWP info, HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy,
                    UINT flags) {
  auto it = Deferred().find(info);
  if (it == Deferred().end() || !GetWndOrError(hwnd)) return 0;
  for (WINDOWPOS& p : it->second)
    if (p.hwnd == hwnd) {  // a later request for the same window wins
      p = WINDOWPOS{hwnd, insertAfter, x, y, cx, cy, flags};
      return info;
    }
  it->second.push_back(WINDOWPOS{hwnd, insertAfter, x, y, cx, cy, flags});
  return info;
}

BOOL EndDeferWindowPos(HDWP info) {
  auto it = Deferred().find(info);
  if (it == Deferred().end()) return FALSE;
  std::vector<WINDOWPOS> list = std::move(it->second);
  Deferred().erase(it);
  for (const WINDOWPOS& p : list)
    if (IsWindow(p.hwnd)) SetWindowPos(p.hwnd, p.hwndInsertAfter, p.x, p.y, p.cx, p.cy, p.flags);
  return TRUE;
}

BOOL ShowWindow(HWND hwnd, int cmd) {
  Wnd* w = GetWndOrError(hwnd);
  if (!w || w == Desktop()) return FALSE;
  bool wasVisible = (w->style & WS_VISIBLE) != 0;
  bool child = !IsTopLevel(w);
  if (cmd == SW_RESTORE && (w->style & WS_MINIMIZE) && w->restoreMaximized) cmd = SW_SHOWMAXIMIZED;
  UINT swp = 0;
  RECT pos = w->rect;
  bool stateChange = false;
  DWORD newState = w->style & (WS_MINIMIZE | WS_MAXIMIZE);
  switch (cmd) {
    case SW_HIDE:
      if (!wasVisible) return FALSE;
      swp = SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE;
      if (child) swp |= SWP_NOACTIVATE | SWP_NOZORDER;
      break;
    case SW_SHOWMINNOACTIVE:
    case SW_MINIMIZE:
    case SW_FORCEMINIMIZE: swp |= SWP_NOACTIVATE | SWP_NOZORDER; [[fallthrough]];
    case SW_SHOWMINIMIZED:
      swp |= SWP_SHOWWINDOW;
      if (!(w->style & WS_MINIMIZE)) {
        stateChange = true;
        newState = WS_MINIMIZE;
        int mw = GetSystemMetrics(SM_CXMINIMIZED), mh = GetSystemMetrics(SM_CYMINIMIZED);
        pos = RECT{-32000, -32000, -32000 + mw, -32000 + mh};
      } else {
        swp |= SWP_NOSIZE | SWP_NOMOVE;
      }
      break;
    case SW_SHOWMAXIMIZED:
      swp |= SWP_SHOWWINDOW;
      if (!(w->style & WS_MAXIMIZE) && !child) {
        stateChange = true;
        newState = WS_MAXIMIZE;
        RECT base = (w->style & WS_MINIMIZE) ? w->normal : ScreenWindowRect(w);
        RECT work = WorkAreaFor(base);
        MINMAXINFO mmi = GetMinMax(hwnd, work);
        if (!(w = GetWnd(hwnd))) return FALSE;
        pos = RECT{work.left + mmi.ptMaxPosition.x, work.top + mmi.ptMaxPosition.y,
                   work.left + mmi.ptMaxPosition.x + mmi.ptMaxSize.x,
                   work.top + mmi.ptMaxPosition.y + mmi.ptMaxSize.y};
      } else {
        swp |= SWP_NOSIZE | SWP_NOMOVE;
      }
      break;
    case SW_SHOWNA:
      swp |= SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE;
      if (child) swp |= SWP_NOZORDER;
      break;
    case SW_SHOW:
      if (wasVisible) return TRUE;
      swp |= SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE;
      if (child) swp |= SWP_NOACTIVATE | SWP_NOZORDER;
      break;
    case SW_SHOWNOACTIVATE: swp |= SWP_NOACTIVATE | SWP_NOZORDER; [[fallthrough]];
    case SW_RESTORE:
    case SW_SHOWNORMAL:
    case SW_SHOWDEFAULT:
    default:
      swp |= SWP_SHOWWINDOW;
      if (w->style & (WS_MINIMIZE | WS_MAXIMIZE)) {
        stateChange = true;
        newState = 0;
        pos = w->normal;
      } else {
        if (wasVisible) return TRUE;
        swp |= SWP_NOSIZE | SWP_NOMOVE;
      }
      if (child && !stateChange) swp |= SWP_NOACTIVATE | SWP_NOZORDER;
      break;
  }
  bool show = cmd != SW_HIDE;
  if (show != wasVisible || cmd == SW_SHOWNA) {
    Send(hwnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    if (!(w = GetWnd(hwnd))) return wasVisible;
  }
  if (stateChange) {
    if (!(w->style & (WS_MINIMIZE | WS_MAXIMIZE))) w->normal = w->rect;
    if (newState == WS_MINIMIZE) w->restoreMaximized = (w->style & WS_MAXIMIZE) != 0;
    w->style = (w->style & ~(WS_MINIMIZE | WS_MAXIMIZE)) | newState;
    swp |= SWP_FRAMECHANGED | SWP_STATECHANGED;
    swp &= ~(SWP_NOSIZE | SWP_NOMOVE);
  }
  if (child && !IsVisibleChain(w->parent)) {
    if (show) w->style |= WS_VISIBLE;
    else w->style &= ~WS_VISIBLE;
  } else {
    SetWindowPos(hwnd, HWND_TOP, pos.left, pos.top, pos.right - pos.left, pos.bottom - pos.top,
                 swp);
  }
  if (!(w = GetWnd(hwnd))) return wasVisible;
  if (!show) FocusLeaving(hwnd);
  if ((w = GetWnd(hwnd)) && w->needSize) {
    w->needSize = false;
    WPARAM kind = (w->style & WS_MAXIMIZE)   ? SIZE_MAXIMIZED
                  : (w->style & WS_MINIMIZE) ? SIZE_MINIMIZED
                                             : SIZE_RESTORED;
    RECT c = w->client;
    Send(hwnd, WM_SIZE, kind, MAKELPARAM(c.right - c.left, c.bottom - c.top));
    Send(hwnd, WM_MOVE, 0, MAKELPARAM(c.left, c.top));
  }
  return wasVisible ? TRUE : FALSE;
}

BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* wp) {
  Wnd* w = GetWndOrError(hwnd);
  if (!w || !wp) return FALSE;
  bool state = (w->style & (WS_MINIMIZE | WS_MAXIMIZE)) != 0;
  wp->flags = (w->style & WS_MINIMIZE) && w->restoreMaximized ? WPF_RESTORETOMAXIMIZED : 0;
  wp->showCmd = (w->style & WS_MINIMIZE)   ? SW_SHOWMINIMIZED
                : (w->style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED
                                           : SW_SHOWNORMAL;
  wp->rcNormalPosition = state ? w->normal : w->rect;
  wp->ptMinPosition = {-1, -1};
  wp->ptMaxPosition = {-1, -1};
  return TRUE;
}

BOOL GetWindowRect(HWND hwnd, RECT* rect) {
  Wnd* w = GetWndOrError(hwnd);
  if (!w || !rect) return FALSE;
  *rect = ScreenWindowRect(w);
  return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT* rect) {
  Wnd* w = GetWndOrError(hwnd);
  if (!w || !rect) return FALSE;
  *rect = RECT{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
  return TRUE;
}

BOOL ClientToScreen(HWND hwnd, POINT* p) {
  Wnd* w = GetWndOrError(hwnd);
  if (!w || !p) return FALSE;
  POINT o = ClientOrigin(w);
  p->x += o.x;
  p->y += o.y;
  return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* p) {
  Wnd* w = GetWndOrError(hwnd);
  if (!w || !p) return FALSE;
  POINT o = ClientOrigin(w);
  p->x -= o.x;
  p->y -= o.y;
  return TRUE;
}

int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) {
  POINT a{0, 0}, b{0, 0};
  if (from) {
    Wnd* w = GetWndOrError(from);
    if (!w) return 0;
    a = ClientOrigin(w);
  }
  if (to) {
    Wnd* w = GetWndOrError(to);
    if (!w) return 0;
    b = ClientOrigin(w);
  }
  int dx = a.x - b.x, dy = a.y - b.y;
  for (UINT i = 0; points && i < count; ++i) {
    points[i].x += dx;
    points[i].y += dy;
  }
  SetLastError(0);
  return int(MAKELONG(WORD(dx), WORD(dy)));
}

namespace user {

// Every window under the point, deepest first; a disabled window ends its branch.
static void WindowsAt(Wnd* w, POINT screen, std::vector<HWND>& out) {
  if (Contains(ScreenClientRect(w), screen) && !(w->style & WS_MINIMIZE)) {
    for (Wnd* c : w->children) {
      if (!(c->style & WS_VISIBLE) || !Contains(ScreenWindowRect(c), screen)) continue;
      if (c->style & WS_DISABLED) out.push_back(c->handle);
      else WindowsAt(c, screen, out);
    }
  }
  out.push_back(w->handle);
}

HWND WindowFromPointHit(POINT screen, LRESULT* hit) {
  *hit = HTNOWHERE;
  for (HWND top : TopLevelHandles()) {
    Wnd* t = GetWnd(top);
    if (!t || !(t->style & WS_VISIBLE) || !Contains(t->rect, screen)) continue;
    std::vector<HWND> list;
    WindowsAt(t, screen, list);
    for (HWND h : list) {
      Wnd* w = GetWnd(h);
      if (!w) continue;
      if (w->style & WS_DISABLED) {
        *hit = HTERROR;
        return h;
      }
      LRESULT r = Send(h, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
      if (r != HTTRANSPARENT) {
        *hit = r;
        return h;
      }
    }
  }
  return 0;
}

}  // namespace user

HWND WindowFromPoint(POINT p) {
  LRESULT hit;
  return WindowFromPointHit(p, &hit);
}

HWND ChildWindowFromPointEx(HWND parent, POINT p, UINT flags) {
  Wnd* w = GetWndOrError(parent);
  if (!w) return 0;
  RECT client{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
  if (!Contains(client, p)) return 0;
  for (Wnd* c : w->children) {
    if ((flags & CWP_SKIPINVISIBLE) && !(c->style & WS_VISIBLE)) continue;
    if ((flags & CWP_SKIPDISABLED) && (c->style & WS_DISABLED)) continue;
    if ((flags & CWP_SKIPTRANSPARENT) && (c->exStyle & WS_EX_TRANSPARENT)) continue;
    if (Contains(c->rect, p)) return c->handle;
  }
  return parent;
}

HWND ChildWindowFromPoint(HWND parent, POINT p) {
  return ChildWindowFromPointEx(parent, p, CWP_ALL);
}
