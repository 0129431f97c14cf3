// The non-client area: the default client rectangle, hit testing, frame, caption, client edge
// and scroll-bar painting, caption buttons and moving or sizing with the pointer; and which part
// of a window the desktop frames instead (its caption and outer frame, as Wine's managed mode).
#include <cstdlib>
#include <string>

#include "Themes.h"
#include "UserDriver.h"
#include "UserInternal.h"

namespace user {
namespace {

bool HasThickFrame(DWORD style, DWORD) {
  return (style & WS_THICKFRAME) && (style & (WS_DLGFRAME | WS_BORDER)) != WS_DLGFRAME;
}
bool HasDlgFrame(DWORD style, DWORD ex) {
  return (ex & WS_EX_DLGMODALFRAME) || ((style & WS_DLGFRAME) && !(style & WS_THICKFRAME));
}
bool HasThinFrame(DWORD style) { return (style & WS_BORDER) || !(style & (WS_CHILD | WS_POPUP)); }
bool HasBigFrame(DWORD style, DWORD ex) {
  return (style & (WS_THICKFRAME | WS_DLGFRAME)) || (ex & WS_EX_DLGMODALFRAME);
}
bool HasStaticOuterFrame(DWORD ex) {
  return (ex & (WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME)) == WS_EX_STATICEDGE;
}
bool HasCaption(DWORD style) { return (style & WS_CAPTION) == WS_CAPTION; }

// The frame's thickness on each side, caption excluded.
int OuterAdjust(DWORD style, DWORD ex) {
  int adjust = 0;
  if ((ex & (WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME)) == WS_EX_STATICEDGE) adjust = 1;
  else if ((ex & WS_EX_DLGMODALFRAME) || (style & (WS_THICKFRAME | WS_DLGFRAME))) adjust = 2;
  if (style & WS_THICKFRAME)
    adjust += GetSystemMetrics(SM_CXFRAME) - GetSystemMetrics(SM_CXDLGFRAME);
  if ((style & (WS_BORDER | WS_DLGFRAME)) || (ex & WS_EX_DLGMODALFRAME)) adjust++;
  return adjust;
}

int CaptionHeight(DWORD ex) {
  return GetSystemMetrics((ex & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
}

// How far the client area lies inside the window rectangle on each side, scroll bars aside.
RECT FrameInsets(DWORD style, DWORD ex, bool clientEdge) {
  int a = OuterAdjust(style, ex);
  RECT r{a, a, a, a};
  if (HasCaption(style)) r.top += CaptionHeight(ex);
  if (clientEdge && (ex & WS_EX_CLIENTEDGE)) {
    int cx = GetSystemMetrics(SM_CXEDGE), cy = GetSystemMetrics(SM_CYEDGE);
    r = RECT{r.left + cx, r.top + cy, r.right + cx, r.bottom + cy};
  }
  return r;
}

bool gDesktopFramesChosen = false;
bool gDesktopFrames = true;

struct CaptionLayout {
  RECT caption{};  // window coordinates, the line under it included
  RECT close{}, max{}, min{};
  int textRight = 0;
};

CaptionLayout LayoutCaption(const Wnd* w) {
  CaptionLayout L;
  int f = OuterAdjust(w->style, w->exStyle);
  int width = w->rect.right - w->rect.left;
  L.caption = RECT{f, f, width - f, f + CaptionHeight(w->exStyle)};
  bool tool = (w->exStyle & WS_EX_TOOLWINDOW) != 0;
  int bw = GetSystemMetrics(tool ? SM_CXSMSIZE : SM_CXSIZE) - 2;
  int bh = GetSystemMetrics(tool ? SM_CYSMSIZE : SM_CYSIZE) - 4;
  int right = L.caption.right - 2;
  int top = L.caption.top + 2;
  L.textRight = L.caption.right;
  if (w->style & WS_SYSMENU) {
    L.close = RECT{right - bw, top, right, top + bh};
    L.textRight = L.close.left;
    if ((w->style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) && !tool) {
      L.max = RECT{L.close.left - 2 - bw, top, L.close.left - 2, top + bh};
      L.min = RECT{L.max.left - bw, top, L.max.left, top + bh};
      L.textRight = L.min.left;
    }
  }
  return L;
}

HFONT CaptionFont(bool small) {
  static HFONT font[2] = {0, 0};
  HFONT& f = font[small ? 1 : 0];
  if (!f) {
    NONCLIENTMETRICSW ncm;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
    f = CreateFontIndirectW(small ? &ncm.lfSmCaptionFont : &ncm.lfCaptionFont);
  }
  return f;
}

void DrawFrameBand(HDC dc, RECT* r, int width, int height, int sysColor) {
  FillSys(dc, RECT{r->left, r->top, r->right, r->top + height}, sysColor);
  FillSys(dc, RECT{r->left, r->top, r->left + width, r->bottom}, sysColor);
  FillSys(dc, RECT{r->left, r->bottom - height, r->right, r->bottom}, sysColor);
  FillSys(dc, RECT{r->right - width, r->top, r->right, r->bottom}, sysColor);
  InflateRect(r, -width, -height);
}

// The thick frame's inner bands, as the classic look paints them.
void DrawFrame(HDC dc, RECT* r, bool active, DWORD style, DWORD ex) {
  if (style & WS_THICKFRAME) {
    int wdt = GetSystemMetrics(SM_CXFRAME) - GetSystemMetrics(SM_CXDLGFRAME);
    int hgt = GetSystemMetrics(SM_CYFRAME) - GetSystemMetrics(SM_CYDLGFRAME);
    DrawFrameBand(dc, r, wdt, hgt, active ? COLOR_ACTIVEBORDER : COLOR_INACTIVEBORDER);
  }
  if ((style & (WS_BORDER | WS_DLGFRAME)) || (ex & WS_EX_DLGMODALFRAME)) {
    int wdt = GetSystemMetrics(SM_CXDLGFRAME) - GetSystemMetrics(SM_CXEDGE);
    int hgt = GetSystemMetrics(SM_CYDLGFRAME) - GetSystemMetrics(SM_CYEDGE);
    int color = (ex & (WS_EX_DLGMODALFRAME | WS_EX_CLIENTEDGE)) ? COLOR_3DFACE
                : (ex & WS_EX_STATICEDGE)                       ? COLOR_WINDOWFRAME
                : (style & (WS_DLGFRAME | WS_THICKFRAME))       ? COLOR_3DFACE
                                                                : COLOR_WINDOWFRAME;
    DrawFrameBand(dc, r, wdt, hgt, color);
  }
}

void DrawCaption(HDC dc, const Wnd* w, const CaptionLayout& L, bool active, LRESULT pressed) {
  RECT r = L.caption;
  FillSys(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, COLOR_3DFACE);
  r.bottom--;
  COLORREF c1 = GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
  COLORREF c2 = GetSysColor(active ? COLOR_GRADIENTACTIVECAPTION : COLOR_GRADIENTINACTIVECAPTION);
  if (!Empty(r)) GradientFillRect(dc, r, c1, c2, GRADIENT_FILL_RECT_H);
  auto button = [&](const RECT& b, UINT kind, LRESULT hit) {
    if (Empty(b)) return;
    RECT br = b;
    DrawFrameControl(dc, &br, DFC_CAPTION, kind | (pressed == hit ? DFCS_PUSHED : 0));
  };
  button(L.close, DFCS_CAPTIONCLOSE, HTCLOSE);
  button(L.max, (w->style & WS_MAXIMIZE) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX, HTMAXBUTTON);
  button(L.min, DFCS_CAPTIONMIN, HTMINBUTTON);
  if (!w->text.empty()) {
    HGDIOBJ oldFont = SelectObject(dc, CaptionFont(w->exStyle & WS_EX_TOOLWINDOW));
    SetTextColor(dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
    SetBkMode(dc, TRANSPARENT);
    RECT t{r.left + 2, r.top, L.textRight - 2, r.bottom};
    DrawTextW(dc, w->text.c_str(), int(w->text.size()), &t,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT | DT_END_ELLIPSIS);
    SelectObject(dc, oldFont);
  }
}

bool Themed() { return ThemeServices()->ThemesEnabled(); }

COLORREF ThemeBorderColor(bool disabled) {
  TColor c = GetSysColor(COLOR_BTNSHADOW);
  TThemedElementDetails d =
      ThemeServices()->GetElementDetails(disabled ? teEditTextDisabled : teEditTextNormal);
  ThemeServices()->GetThemeColor(d, TMT_BORDERCOLOR, c);
  return ColorToRGB(c);
}

void PaintNonClient(HDC dc, Wnd* w, LRESULT pressed) {
  DWORD style = w->style, ex = w->exStyle;
  RECT rect{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
  bool active = w->ncActive;
  bool themed = Themed() && IsTopLevel(w) == false;
  bool disabled = (style & WS_DISABLED) != 0;
  if (HasStaticOuterFrame(ex)) {
    if (themed) {
      HBRUSH b = CreateSolidBrush(ThemeBorderColor(disabled));
      FrameRect(dc, &rect, b);
      DeleteObject(b);
      InflateRect(&rect, -1, -1);
    } else {
      DrawEdge(dc, &rect, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    }
  } else if (HasBigFrame(style, ex)) {
    DrawEdge(dc, &rect, EDGE_RAISED, BF_RECT | BF_ADJUST);
  }
  if (themed && !HasBigFrame(style, ex) && (style & WS_BORDER) && !HasCaption(style)) {
    HBRUSH b = CreateSolidBrush(ThemeBorderColor(disabled));
    FrameRect(dc, &rect, b);
    DeleteObject(b);
    InflateRect(&rect, -1, -1);
  } else {
    DrawFrame(dc, &rect, active, style, ex);
  }
  if (HasCaption(style)) {
    CaptionLayout L = LayoutCaption(w);
    DrawCaption(dc, w, L, active, pressed);
    rect.top = L.caption.bottom;
  }
  if (ex & WS_EX_CLIENTEDGE) {
    if (themed) {
      // The edit box's own element over the two-pixel ring, the client area left alone.
      RECT inner = rect;
      InflateRect(&inner, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
      int saved = SaveDC(dc);
      ExcludeClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
      ThemeServices()->DrawElement(
          dc, ThemeServices()->GetElementDetails(disabled ? teEditTextDisabled : teEditTextNormal),
          rect);
      RestoreDC(dc, saved);
      rect = inner;
    } else {
      DrawEdge(dc, &rect, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    }
  }
  if (style & WS_VSCROLL) PaintScrollBar(dc, w, SB_VERT, -1);
  if (style & WS_HSCROLL) PaintScrollBar(dc, w, SB_HORZ, -1);
  if ((style & WS_VSCROLL) && (style & WS_HSCROLL)) {
    RECT v = ScrollBarRect(w, SB_VERT), h = ScrollBarRect(w, SB_HORZ);
    RECT box{v.left, h.top, v.right, h.bottom};
    FillSys(dc, box, COLOR_3DFACE);
  }
}

// Runs a small loop while a caption button is held; true when released over it.
bool TrackCaptionButton(HWND hwnd, LRESULT hit) {
  SetCapture(hwnd);
  bool over = true;
  auto paint = [&](bool down) {
    Wnd* w = GetWnd(hwnd);
    if (!w || !IsVisibleChain(w)) return;
    HDC dc = GetDCEx(hwnd, 0, DCX_WINDOW | DCX_CACHE);
    PaintNonClient(dc, w, down ? hit : -1);
    ReleaseDC(hwnd, dc);
  };
  paint(true);
  MSG m;
  while (NextMessageWhileCaptured(hwnd, m)) {
    if (m.message == WM_MOUSEMOVE || m.message == WM_LBUTTONUP) {
      POINT p = m.pt;
      bool now = DefNcHitTest(hwnd, p) == hit;
      if (now != over) paint(over = now);
      if (m.message == WM_LBUTTONUP) break;
      continue;
    }
    if (m.message >= WM_KEYFIRST && m.message <= WM_KEYLAST) continue;
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  if (GetCapture() == hwnd) ReleaseCapture();
  paint(false);
  return over && IsWindow(hwnd);
}

}  // namespace

RECT NcCalcClient(const Wnd* w, const RECT& windowRect) {
  RECT r = windowRect;
  DWORD style = w->style, ex = w->exStyle;
  if (style & WS_MINIMIZE) return RECT{r.left, r.top, r.left, r.top};
  RECT in = FrameInsets(style, ex, true);
  r = RECT{r.left + in.left, r.top + in.top, r.right - in.right, r.bottom - in.bottom};
  if ((style & WS_VSCROLL) && r.right - r.left >= GetSystemMetrics(SM_CXVSCROLL)) {
    if (ex & WS_EX_LEFTSCROLLBAR) r.left += GetSystemMetrics(SM_CXVSCROLL);
    else r.right -= GetSystemMetrics(SM_CXVSCROLL);
  }
  if ((style & WS_HSCROLL) && r.bottom - r.top > GetSystemMetrics(SM_CYHSCROLL))
    r.bottom -= GetSystemMetrics(SM_CYHSCROLL);
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}

bool DesktopFrames() {
  if (!gDesktopFramesChosen) {
    const char* self = std::getenv("KORV_SELF_DRAWN_FRAMES");
    gDesktopFrames = !(self && *self && std::string(self) != "0");
    gDesktopFramesChosen = true;
  }
  return gDesktopFrames;
}

void ResetDesktopFrames() { gDesktopFramesChosen = false; }

bool DesktopDecorates(const Wnd* w) {
  return DesktopFrames() && IsTopLevel(w) && HasCaption(w->style);
}

RECT DesktopFrameInsets(const Wnd* w) {
  if (!DesktopDecorates(w)) return RECT{};
  return FrameInsets(w->style & ~(WS_MINIMIZE | WS_MAXIMIZE), w->exStyle, false);
}

RECT DesktopFrameExtents(const Wnd* w) {
  if (!DesktopDecorates(w)) return RECT{};
  HostWindowDriver* h = Host();
  if (h && w->surface && w->surface->hostCreated) {
    RECT e = h->SurfaceFrameExtents(w->handle);
    if (e.left || e.top || e.right || e.bottom) return e;
  }
  return DesktopFrameInsets(w);  // not known yet: the platform's own frame stands in
}

RECT HostSurfaceRect(const Wnd* w) {
  RECT in = DesktopFrameInsets(w);
  const RECT& r = w->rect;
  return RECT{r.left + in.left, r.top + in.top, std::max(r.left + in.left, r.right - in.right),
              std::max(r.top + in.top, r.bottom - in.bottom)};
}

RECT WindowRectFromHost(const Wnd* w, const RECT& surface) {
  RECT in = DesktopFrameInsets(w);
  return RECT{surface.left - in.left, surface.top - in.top, surface.right + in.right,
              surface.bottom + in.bottom};
}

RECT ScrollBarRect(const Wnd* w, int bar) {
  if (!(w->style & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL))) return RECT{};
  RECT cl = Offset(w->client, -w->rect.left, -w->rect.top);
  if (bar == SB_VERT) {
    int cx = GetSystemMetrics(SM_CXVSCROLL);
    return (w->exStyle & WS_EX_LEFTSCROLLBAR) ? RECT{cl.left - cx, cl.top, cl.left, cl.bottom}
                                              : RECT{cl.right, cl.top, cl.right + cx, cl.bottom};
  }
  return RECT{cl.left, cl.bottom, cl.right, cl.bottom + GetSystemMetrics(SM_CYHSCROLL)};
}

bool ScrollBarShown(const Wnd* w, int bar) {
  return (w->style & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)) != 0;
}

LRESULT DefNcHitTest(HWND hwnd, POINT pt) {
  Wnd* w = GetWnd(hwnd);
  if (!w) return HTERROR;
  RECT rcWindow = ScreenWindowRect(w), rcClient = ScreenClientRect(w);
  if (!Contains(rcWindow, pt)) return HTNOWHERE;
  if (Contains(rcClient, pt)) return HTCLIENT;
  DWORD style = w->style, ex = w->exStyle;
  RECT rect = rcWindow;
  if (HasThickFrame(style, ex)) {
    InflateRect(&rect, -GetSystemMetrics(SM_CXFRAME), -GetSystemMetrics(SM_CYFRAME));
    if (!Contains(rect, pt)) {
      int cx = GetSystemMetrics(SM_CXSIZE), cy = GetSystemMetrics(SM_CYSIZE);
      if (pt.y < rect.top) {
        if (pt.x < rect.left + cx) return HTTOPLEFT;
        if (pt.x >= rect.right - cx) return HTTOPRIGHT;
        return HTTOP;
      }
      if (pt.y >= rect.bottom) {
        if (pt.x < rect.left + cx) return HTBOTTOMLEFT;
        if (pt.x >= rect.right - cx) return HTBOTTOMRIGHT;
        return HTBOTTOM;
      }
      if (pt.x < rect.left) {
        if (pt.y < rect.top + cy) return HTTOPLEFT;
        if (pt.y >= rect.bottom - cy) return HTBOTTOMLEFT;
        return HTLEFT;
      }
      if (pt.y < rect.top + cy) return HTTOPRIGHT;
      if (pt.y >= rect.bottom - cy) return HTBOTTOMRIGHT;
      return HTRIGHT;
    }
  } else {
    if (HasDlgFrame(style, ex))
      InflateRect(&rect, -GetSystemMetrics(SM_CXDLGFRAME), -GetSystemMetrics(SM_CYDLGFRAME));
    else if (HasThinFrame(style))
      InflateRect(&rect, -GetSystemMetrics(SM_CXBORDER), -GetSystemMetrics(SM_CYBORDER));
    if (!Contains(rect, pt)) return HTBORDER;
  }
  if (HasCaption(style)) {
    CaptionLayout L = LayoutCaption(w);
    POINT local{pt.x - rcWindow.left, pt.y - rcWindow.top};
    if (local.y < L.caption.bottom) {
      if (Contains(L.close, local)) return HTCLOSE;
      if (Contains(L.max, local)) return HTMAXBUTTON;
      if (Contains(L.min, local)) return HTMINBUTTON;
      return HTCAPTION;
    }
  }
  if (style & WS_VSCROLL) {
    RECT v = Offset(ScrollBarRect(w, SB_VERT), rcWindow.left, rcWindow.top);
    if (Contains(v, pt)) return HTVSCROLL;
  }
  if (style & WS_HSCROLL) {
    RECT h = Offset(ScrollBarRect(w, SB_HORZ), rcWindow.left, rcWindow.top);
    if (Contains(h, pt)) return HTHSCROLL;
    if (style & WS_VSCROLL) {
      RECT v = Offset(ScrollBarRect(w, SB_VERT), rcWindow.left, rcWindow.top);
      if (pt.y >= h.top && pt.y < h.bottom && pt.x >= v.left && pt.x < v.right) return HTSIZE;
    }
  }
  return HTNOWHERE;
}

void DefNcPaint(HWND hwnd, HRGN rgn) {
  Wnd* w = GetWnd(hwnd);
  if (!w || !IsVisibleChain(w)) return;
  // Region handles 0 and 1 both mean the whole frame.
  HDC dc;
  if (rgn > 1 && GetObjectType(rgn) == OBJ_REGION) {
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(copy, rgn, 0, RGN_COPY);
    RECT wr = ScreenWindowRect(w);
    OffsetRgn(copy, -wr.left, -wr.top);
    dc = GetDCEx(hwnd, copy, DCX_WINDOW | DCX_CACHE | DCX_INTERSECTRGN);
  } else {
    dc = GetDCEx(hwnd, 0, DCX_WINDOW | DCX_CACHE);
  }
  if (!dc) return;
  PaintNonClient(dc, w, -1);
  ReleaseDC(hwnd, dc);
}

void RepaintCaption(HWND hwnd) {
  Wnd* w = GetWnd(hwnd);
  if (!w || !IsVisibleChain(w) || !HasCaption(w->style)) return;
  DefNcPaint(hwnd, 1);
}

LRESULT DefNcLButtonDown(HWND hwnd, WPARAM hit, LPARAM lParam) {
  switch (LRESULT(hit)) {
    case HTCAPTION: {
      HWND top = GetAncestor(hwnd, GA_ROOT);
      if (top && top != gActive) ActivateWindow(top, true, false);
      Send(hwnd, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, lParam);
      return 0;
    }
    case HTLEFT:
    case HTRIGHT:
    case HTTOP:
    case HTTOPLEFT:
    case HTTOPRIGHT:
    case HTBOTTOM:
    case HTBOTTOMLEFT:
    case HTBOTTOMRIGHT:
      // The sizing codes follow the platform: WMSZ_LEFT (1) ... WMSZ_BOTTOMRIGHT (8).
      Send(hwnd, WM_SYSCOMMAND, SC_SIZE + WPARAM(hit - HTLEFT + 1), lParam);
      return 0;
    case HTCLOSE:
    case HTMINBUTTON:
    case HTMAXBUTTON: {
      if (!TrackCaptionButton(hwnd, LRESULT(hit))) return 0;
      WPARAM cmd = hit == HTCLOSE       ? SC_CLOSE
                   : hit == HTMINBUTTON ? SC_MINIMIZE
                   : IsZoomed(hwnd)     ? SC_RESTORE
                                        : SC_MAXIMIZE;
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      Send(hwnd, WM_SYSCOMMAND, cmd, MAKELPARAM(p.x, p.y));
      return 0;
    }
    case HTVSCROLL:
    case HTHSCROLL:
      return ScrollBarMouseDown(hwnd, hit == HTVSCROLL ? SB_VERT : SB_HORZ,
                                POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
  }
  return 0;
}

LRESULT DefNcLButtonDblClk(HWND hwnd, WPARAM hit, LPARAM lParam) {
  Wnd* w = GetWnd(hwnd);
  if (!w) return 0;
  if (hit == HTCAPTION && (w->style & WS_MAXIMIZEBOX))
    Send(hwnd, WM_SYSCOMMAND, IsZoomed(hwnd) ? SC_RESTORE : SC_MAXIMIZE, lParam);
  else if (hit == HTVSCROLL || hit == HTHSCROLL || hit == HTCLOSE || hit == HTMINBUTTON ||
           hit == HTMAXBUTTON)
    return DefNcLButtonDown(hwnd, hit, lParam);  // a quick second press is a press too
  return 0;
}

// Moves or sizes a window with the pointer held, for hosts whose window manager cannot.
void MoveSizeLoop(HWND hwnd, unsigned edges, POINT start) {
  Wnd* w = GetWnd(hwnd);
  if (!w) return;
  RECT orig = w->rect;
  SetCapture(hwnd);
  Send(hwnd, WM_ENTERSIZEMOVE);
  MSG m;
  while (NextMessageWhileCaptured(hwnd, m)) {
    if (m.message == WM_MOUSEMOVE || m.message == WM_LBUTTONUP) {
      int dx = m.pt.x - start.x, dy = m.pt.y - start.y;
      RECT r = orig;
      if (edges == 0) {
        r = Offset(r, dx, dy);
      } else {
        if (edges & kHostEdgeLeft) r.left += dx;
        if (edges & kHostEdgeRight) r.right += dx;
        if (edges & kHostEdgeTop) r.top += dy;
        if (edges & kHostEdgeBottom) r.bottom += dy;
      }
      SetWindowPos(hwnd, 0, r.left, r.top, r.right - r.left, r.bottom - r.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      if (m.message == WM_LBUTTONUP) break;
      continue;
    }
    if (m.message == WM_KEYDOWN && m.wParam == WPARAM(VK_ESCAPE)) {
      SetWindowPos(hwnd, 0, orig.left, orig.top, orig.right - orig.left, orig.bottom - orig.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      break;
    }
    if (m.message >= WM_KEYFIRST && m.message <= WM_KEYLAST) continue;
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  if (GetCapture() == hwnd) ReleaseCapture();
  Send(hwnd, WM_EXITSIZEMOVE);
}

}  // namespace user

using namespace user;

void UserSetDesktopFrames(bool on) {
  gDesktopFramesChosen = true;
  gDesktopFrames = on;
}

bool UserDesktopFrames() { return DesktopFrames(); }

BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle) {
  if (!rect) return FALSE;
  if (style & WS_MINIMIZE) return TRUE;
  RECT in = FrameInsets(style, exStyle, true);
  *rect = RECT{rect->left - in.left, rect->top - in.top, rect->right + in.right,
               rect->bottom + in.bottom};
  if (menu) rect->top -= GetSystemMetrics(SM_CYMENU);
  return TRUE;
}
