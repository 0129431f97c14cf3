// Text labels of the "STATIC" class (SS_LEFT, SS_CENTER, SS_RIGHT, SS_NOPREFIX).
#include "SystemControls.h"

namespace {

LRESULT StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NCCREATE: SetWindowLongPtrW(hwnd, 0, 0); break;
    case WM_SETTEXT: {
      LRESULT r = DefWindowProcW(hwnd, msg, wp, lp);
      InvalidateRect(hwnd, nullptr, TRUE);
      return r;
    }
    case WM_SETFONT:
      SetWindowLongPtrW(hwnd, 0, LONG_PTR(wp));
      if (LOWORD(lp)) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return GetWindowLongPtrW(hwnd, 0);
    case WM_NCHITTEST:
      // A label lets the mouse through to what lies beneath unless it asks for clicks.
      if (!(GetWindowLongW(hwnd, GWL_STYLE) & SS_NOTIFY)) return HTTRANSPARENT;
      break;
    case WM_ENABLE: InvalidateRect(hwnd, nullptr, TRUE); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT rc;
      GetClientRect(hwnd, &rc);
      SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      HWND parent = GetParent(hwnd);
      HBRUSH brush =
          parent ? HBRUSH(SendMessageW(parent, WM_CTLCOLORSTATIC, WPARAM(dc), LPARAM(hwnd))) : 0;
      FillRect(dc, &rc, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
      HFONT font = HFONT(GetWindowLongPtrW(hwnd, 0));
      HGDIOBJ oldFont = SelectObject(dc, font ? HGDIOBJ(font) : GetStockObject(SYSTEM_FONT));
      DWORD style = DWORD(GetWindowLongW(hwnd, GWL_STYLE));
      UINT format = DT_WORDBREAK | DT_EXPANDTABS;
      DWORD type = style & SS_TYPEMASK;
      if (type == SS_CENTER) format |= DT_CENTER;
      else if (type == SS_RIGHT) format |= DT_RIGHT;
      if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
      if (!IsWindowEnabled(hwnd)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
      SetBkMode(dc, TRANSPARENT);
      WCHAR text[1024] = {};
      int n = InternalGetWindowText(hwnd, text, 1024);
      DrawTextW(dc, text, n, &rc, format);
      SelectObject(dc, oldFont);
      EndPaint(hwnd, &ps);
      return 0;
    }
    default: break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

void RegisterStaticControlClass() {
  WNDCLASSEXW wc;
  if (GetClassInfoExW(0, u"STATIC", &wc)) return;
  wc = WNDCLASSEXW{};
  wc.style = CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = StaticProc;
  wc.cbWndExtra = int(sizeof(LONG_PTR));
  wc.hCursor = LoadCursorW(0, MAKEINTRESOURCEW(IDC_ARROW));
  wc.lpszClassName = u"STATIC";
  RegisterClassExW(&wc);
}
