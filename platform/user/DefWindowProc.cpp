// The default window procedure: what every window does with a message its own procedure leaves
// alone, the non-client messages above all.
#include <cstring>

#include "ScopeGuard.h"
#include "UserInternal.h"

namespace user {
namespace {

LRESULT SetCursorFor(HWND hwnd, WPARAM wParam, LPARAM lParam) {
  Wnd* w = GetWnd(hwnd);
  if (!w) return FALSE;
  if ((w->style & WS_CHILD) && !IsTopLevel(w)) {
    HWND parent = w->parent->handle;
    if (Send(parent, WM_SETCURSOR, wParam, lParam)) return TRUE;
    if (!(w = GetWnd(hwnd))) return FALSE;
  }
  switch (SHORT(LOWORD(lParam))) {
    case HTERROR: return FALSE;
    case HTCLIENT:
      if (w->cls && w->cls->cursor) {
        SetCursor(w->cls->cursor);
        return TRUE;
      }
      return FALSE;
    case HTLEFT:
    case HTRIGHT: return LRESULT(SetCursor(HCURSOR(IDC_SIZEWE)));
    case HTTOP:
    case HTBOTTOM: return LRESULT(SetCursor(HCURSOR(IDC_SIZENS)));
    case HTTOPLEFT:
    case HTBOTTOMRIGHT: return LRESULT(SetCursor(HCURSOR(IDC_SIZENWSE)));
    case HTTOPRIGHT:
    case HTBOTTOMLEFT: return LRESULT(SetCursor(HCURSOR(IDC_SIZENESW)));
  }
  return LRESULT(SetCursor(HCURSOR(IDC_ARROW)));
}

unsigned EdgesFor(WPARAM sizeCode) {
  switch (sizeCode) {
    case 1: return kHostEdgeLeft;
    case 2: return kHostEdgeRight;
    case 3: return kHostEdgeTop;
    case 4: return kHostEdgeTop | kHostEdgeLeft;
    case 5: return kHostEdgeTop | kHostEdgeRight;
    case 6: return kHostEdgeBottom;
    case 7: return kHostEdgeBottom | kHostEdgeLeft;
    case 8: return kHostEdgeBottom | kHostEdgeRight;
  }
  return kHostEdgeBottom | kHostEdgeRight;
}

LRESULT SysCommand(HWND hwnd, WPARAM wParam, LPARAM lParam) {
  switch (wParam & 0xFFF0) {
    case SC_CLOSE: return Send(hwnd, WM_CLOSE);
    case SC_MINIMIZE: ShowWindow(hwnd, SW_MINIMIZE); return 0;
    case SC_MAXIMIZE: ShowWindow(hwnd, SW_MAXIMIZE); return 0;
    case SC_RESTORE: ShowWindow(hwnd, SW_RESTORE); return 0;
    case SC_MOVE:
    case SC_SIZE: {
      HWND top = GetAncestor(hwnd, GA_ROOT);
      Wnd* t = GetWnd(top);
      if (!t || (t->style & WS_MAXIMIZE)) return 0;
      unsigned edges = (wParam & 0xFFF0) == SC_MOVE ? 0 : EdgesFor(wParam & 0x000F);
      HostWindowDriver* h = Host();
      if (h && t->surface && t->surface->hostCreated && h->BeginSystemMove(top, edges)) return 0;
      // The press that started it, when the command came from one.
      MoveSizeLoop(top, edges, lParam ? MAKEPOINT(lParam) : gCursorPos);
      return 0;
    }
  }
  return 0;
}

void MinMaxClamp(HWND hwnd, WINDOWPOS* wp) {
  Wnd* w = GetWnd(hwnd);
  if (!w || (wp->flags & SWP_NOSIZE)) return;
  if (!((w->style & WS_THICKFRAME) || !(w->style & (WS_POPUP | WS_CHILD)))) return;
  if (w->style & (WS_MAXIMIZE | WS_MINIMIZE)) return;
  MINMAXINFO mmi;
  mmi.ptMinTrackSize = {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
  mmi.ptMaxTrackSize = {GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
  mmi.ptMaxSize = {GetSystemMetrics(SM_CXMAXIMIZED), GetSystemMetrics(SM_CYMAXIMIZED)};
  Send(hwnd, WM_GETMINMAXINFO, 0, LPARAM(&mmi));
  wp->cx = std::clamp<int>(wp->cx, std::min(mmi.ptMinTrackSize.x, mmi.ptMaxTrackSize.x),
                           mmi.ptMaxTrackSize.x);
  wp->cy = std::clamp<int>(wp->cy, std::min(mmi.ptMinTrackSize.y, mmi.ptMaxTrackSize.y),
                           mmi.ptMaxTrackSize.y);
}

LRESULT Print(HWND hwnd, HDC dc, LPARAM flags) {
  Wnd* w = GetWnd(hwnd);
  if (!w) return 0;
  if ((flags & PRF_CHECKVISIBLE) && !IsVisibleChain(w)) return 0;
  if (flags & PRF_ERASEBKGND) Send(hwnd, WM_ERASEBKGND, WPARAM(dc), 0);
  if (flags & PRF_CLIENT) Send(hwnd, WM_PRINTCLIENT, WPARAM(dc), flags);
  return 0;
}

LRESULT Dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Wnd* w = GetWnd(hwnd);
  if (!w) return 0;
  switch (msg) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName)) w->text = cs->lpszName;
      return TRUE;
    }
    case WM_NCCALCSIZE:
      if (wParam) {
        auto* p = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam);
        p->rgrc[0] = NcCalcClient(w, p->rgrc[0]);
      } else if (lParam) {
        RECT* r = reinterpret_cast<RECT*>(lParam);
        *r = NcCalcClient(w, *r);
      }
      return 0;
    case WM_NCHITTEST: return DefNcHitTest(hwnd, MAKEPOINT(lParam));
    case WM_NCPAINT: DefNcPaint(hwnd, HRGN(wParam)); return 0;
    case WM_NCACTIVATE:
      w->ncActive = wParam != 0;
      if (lParam != -1) RepaintCaption(hwnd);
      return TRUE;
    case WM_NCLBUTTONDOWN: return DefNcLButtonDown(hwnd, wParam, lParam);
    case WM_NCLBUTTONDBLCLK: return DefNcLButtonDblClk(hwnd, wParam, lParam);
    case WM_RBUTTONUP: {
      POINT p = MAKEPOINT(lParam);
      ClientToScreen(hwnd, &p);
      Send(hwnd, WM_CONTEXTMENU, WPARAM(hwnd), MAKELPARAM(p.x, p.y));
      return 0;
    }
    case WM_CONTEXTMENU:
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
      if ((w->style & WS_CHILD) && !IsTopLevel(w))
        return Send(w->parent->handle, msg, wParam, lParam);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      if (BeginPaint(hwnd, &ps)) EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND: {
      HBRUSH b = w->cls ? w->cls->background : 0;
      if (!b) return 0;
      RECT r;
      GetClipBox(HDC(wParam), &r);
      FillRect(HDC(wParam), &r, b);
      return 1;
    }
    case WM_PRINT: return Print(hwnd, HDC(wParam), lParam);
    case WM_SETTEXT: {
      auto* text = reinterpret_cast<const WCHAR*>(lParam);
      w->text = text ? String(text) : String();
      if (IsTopLevel(w) && w->surface && w->surface->hostCreated)
        if (HostWindowDriver* h = Host()) h->SetSurfaceTitle(hwnd, w->text);
      RepaintCaption(hwnd);
      return TRUE;
    }
    case WM_GETTEXT: {
      auto* buf = reinterpret_cast<WCHAR*>(lParam);
      int max = int(wParam);
      if (!buf || max <= 0) return 0;
      int n = std::min<int>(int(w->text.size()), max - 1);
      std::memcpy(buf, w->text.data(), std::size_t(n) * sizeof(WCHAR));
      buf[n] = 0;
      return n;
    }
    case WM_GETTEXTLENGTH: return LRESULT(w->text.size());
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_SYSCOMMAND: return SysCommand(hwnd, wParam, lParam);
    case WM_SYSKEYDOWN:
      if ((HIWORD(std::uintptr_t(lParam)) & 0x2000) && wParam == WPARAM(VK_F4)) {
        HWND top = GetAncestor(hwnd, GA_ROOT);
        Wnd* t = GetWnd(top);
        if (t && !(t->cls && (t->cls->style & CS_NOCLOSE)))
          PostMessageW(top, WM_SYSCOMMAND, SC_CLOSE, 0);
      }
      return 0;
    case WM_WINDOWPOSCHANGING: MinMaxClamp(hwnd, reinterpret_cast<WINDOWPOS*>(lParam)); return 0;
    case WM_WINDOWPOSCHANGED: {
      auto* wp = reinterpret_cast<const WINDOWPOS*>(lParam);
      RECT c = w->client;
      if (!(wp->flags & SWP_NOCLIENTMOVE)) Send(hwnd, WM_MOVE, 0, MAKELPARAM(c.left, c.top));
      if (!(wp->flags & SWP_NOCLIENTSIZE) || (wp->flags & SWP_STATECHANGED)) {
        if (!(w = GetWnd(hwnd))) return 0;
        c = w->client;
        if (IsIconic(hwnd)) Send(hwnd, WM_SIZE, SIZE_MINIMIZED, 0);
        else
          Send(hwnd, WM_SIZE, IsZoomed(hwnd) ? SIZE_MAXIMIZED : SIZE_RESTORED,
               MAKELPARAM(c.right - c.left, c.bottom - c.top));
      }
      return 0;
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && !IsIconic(hwnd)) SetFocus(hwnd);
      return 0;
    case WM_MOUSEACTIVATE:
      if ((w->style & WS_CHILD) && !IsTopLevel(w)) {
        LRESULT r = Send(w->parent->handle, WM_MOUSEACTIVATE, wParam, lParam);
        if (r) return r;
        if (!(w = GetWnd(hwnd))) return MA_NOACTIVATE;
      }
      if (Wnd* top = RootOf(w); top && (top->exStyle & WS_EX_NOACTIVATE)) return MA_NOACTIVATE;
      return MA_ACTIVATE;
    case WM_SETCURSOR: return SetCursorFor(hwnd, wParam, lParam);
    case WM_SETREDRAW:
      if (wParam) {
        if (w->redrawOff) {
          w->style |= WS_VISIBLE;
          w->redrawOff = false;
          RefreshDCs();
        }
      } else if (w->style & WS_VISIBLE) {
        w->style &= ~WS_VISIBLE;
        w->redrawOff = true;
        RefreshDCs();
      }
      return 0;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORSCROLLBAR: {
      HDC dc = HDC(wParam);
      bool window = msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX;
      SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
      SetBkColor(dc, GetSysColor(window ? COLOR_WINDOW : COLOR_3DFACE));
      if (msg == WM_CTLCOLORSCROLLBAR) return LRESULT(GetSysColorBrush(COLOR_SCROLLBAR));
      return LRESULT(GetSysColorBrush(window ? COLOR_WINDOW : COLOR_3DFACE));
    }
    case WM_CANCELMODE:
      if (gCapture == hwnd) ReleaseCapture();
      return 0;
    case WM_QUERYENDSESSION:
    case WM_QUERYOPEN: return TRUE;
  }
  return 0;
}

}  // namespace
}  // namespace user

using namespace user;

LRESULT DefWindowProcW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!GetWnd(hwnd)) return 0;
  EnterDefProc(hwnd);
  ScopeGuard leave([] { LeaveDefProc(); });
  return Dispatch(hwnd, msg, wParam, lParam);
}
