// Push buttons of the "BUTTON" class (BS_PUSHBUTTON, BS_DEFPUSHBUTTON), themed while visual
// styles are on, else in the classic look.
#include "SystemControls.h"
#include "Themes.h"
#include "UserInternal.h"

namespace {

using user::NotifyParent;

struct Button {
  HFONT font = 0;
  bool pushed = false;    // drawn pressed
  bool tracking = false;  // the left button went down on us and is still down
  bool spaceDown = false;
  bool focused = false;
  bool hot = false;  // the pointer is over us (tracked until WM_MOUSELEAVE)
};

Button* Get(HWND hwnd) { return reinterpret_cast<Button*>(GetWindowLongPtrW(hwnd, 0)); }

bool IsDefault(HWND hwnd) {
  return (GetWindowLongW(hwnd, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

void SetPushed(HWND hwnd, Button& b, bool pushed) {
  if (b.pushed == pushed) return;
  b.pushed = pushed;
  InvalidateRect(hwnd, nullptr, TRUE);
}

void Clicked(HWND hwnd) { NotifyParent(hwnd, BN_CLICKED); }

void SetHot(HWND hwnd, Button& b, bool hot) {
  if (b.hot == hot) return;
  b.hot = hot;
  if (hot) {
    TRACKMOUSEEVENT tme;
    tme.dwFlags = TME_LEAVE;
    tme.hwndTrack = hwnd;
    TrackMouseEvent(&tme);
  }
  // Only the themed look shows the hot state.
  if (IsThemeActive()) InvalidateRect(hwnd, nullptr, TRUE);
}

int ThemeState(HWND hwnd, const Button& b) {
  if (!IsWindowEnabled(hwnd)) return PBS_DISABLED;
  if (b.pushed) return PBS_PRESSED;
  if (b.hot) return PBS_HOT;
  if (IsDefault(hwnd) || b.focused) return PBS_DEFAULTED;
  return PBS_NORMAL;
}

bool Inside(HWND hwnd, LPARAM lp) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  return PtInRect(&rc, MAKEPOINT(lp)) != FALSE;
}

void PaintThemed(HWND hwnd, Button& b, HDC dc, HTHEME theme, const RECT& rc) {
  int state = ThemeState(hwnd, b);
  DrawThemeBackground(theme, dc, BP_PUSHBUTTON, state, &rc, nullptr);
  COLORREF color = 0;
  if (GetThemeColor(theme, BP_PUSHBUTTON, state, TMT_TEXTCOLOR, &color) != S_OK)
    color = GetSysColor(state == PBS_DISABLED ? COLOR_GRAYTEXT : COLOR_BTNTEXT);
  HGDIOBJ oldFont = SelectObject(dc, b.font ? HGDIOBJ(b.font) : GetStockObject(SYSTEM_FONT));
  WCHAR text[256] = {};
  int n = InternalGetWindowText(hwnd, text, 256);
  RECT tr = rc;
  InflateRect(&tr, -2, -2);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, color);
  DrawTextW(dc, text, n, &tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (b.focused) {
    RECT fr = rc;
    InflateRect(&fr, -3, -3);
    DrawFocusRect(dc, &fr);
  }
  SelectObject(dc, oldFont);
}

void Paint(HWND hwnd, Button& b) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT rc;
  GetClientRect(hwnd, &rc);
  HWND parent = GetParent(hwnd);
  HBRUSH brush =
      parent ? HBRUSH(SendMessageW(parent, WM_CTLCOLORBTN, WPARAM(dc), LPARAM(hwnd))) : 0;
  FillRect(dc, &rc, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
  if (HTHEME theme = OpenThemeData(hwnd, u"BUTTON")) {
    PaintThemed(hwnd, b, dc, theme, rc);
    CloseThemeData(theme);
    EndPaint(hwnd, &ps);
    return;
  }
  RECT face = rc;
  if (IsDefault(hwnd) || b.focused) {
    // The default button wears a dark outer ring.
    FrameRect(dc, &face, GetSysColorBrush(COLOR_WINDOWFRAME));
    InflateRect(&face, -1, -1);
  }
  if (b.pushed) {
    FrameRect(dc, &face, GetSysColorBrush(COLOR_BTNSHADOW));
  } else {
    RECT r = face;
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH);
  }
  HGDIOBJ oldFont = SelectObject(dc, b.font ? HGDIOBJ(b.font) : GetStockObject(SYSTEM_FONT));
  WCHAR text[256] = {};
  int n = InternalGetWindowText(hwnd, text, 256);
  RECT tr = face;
  if (b.pushed) OffsetRect(&tr, 1, 1);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(IsWindowEnabled(hwnd) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  DrawTextW(dc, text, n, &tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (b.focused) {
    RECT fr = face;
    InflateRect(&fr, -3, -3);
    DrawFocusRect(dc, &fr);
  }
  SelectObject(dc, oldFont);
  EndPaint(hwnd, &ps);
}

LRESULT ButtonProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Button* bp = Get(hwnd);
  if (!bp) {
    if (msg == WM_NCCREATE) SetWindowLongPtrW(hwnd, 0, LONG_PTR(new Button));
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
  Button& b = *bp;
  switch (msg) {
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd, 0, 0);
      delete bp;
      return DefWindowProcW(hwnd, msg, wp, lp);
    case WM_GETDLGCODE:
      return DLGC_BUTTON | (IsDefault(hwnd) ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    case WM_SETTEXT: {
      LRESULT r = DefWindowProcW(hwnd, msg, wp, lp);
      InvalidateRect(hwnd, nullptr, TRUE);
      return r;
    }
    case WM_SETFONT:
      b.font = HFONT(wp);
      if (LOWORD(lp)) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return LRESULT(b.font);
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Paint(hwnd, b); return 0;
    case WM_ENABLE:
      if (!wp) b.hot = false;
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_THEMECHANGED: InvalidateRect(hwnd, nullptr, TRUE); return 0;
    case WM_SETFOCUS:
      b.focused = true;
      InvalidateRect(hwnd, nullptr, TRUE);
      if (GetWindowLongW(hwnd, GWL_STYLE) & BS_NOTIFY) NotifyParent(hwnd, BN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      if (GetWindowLongW(hwnd, GWL_STYLE) & BS_NOTIFY) NotifyParent(hwnd, BN_KILLFOCUS);
      if (!IsWindow(hwnd)) return 0;
      b.focused = false;
      b.spaceDown = false;
      if (b.tracking && GetCapture() == hwnd) ReleaseCapture();
      b.tracking = false;
      SetPushed(hwnd, b, false);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (GetFocus() != hwnd) SetFocus(hwnd);
      b.tracking = true;
      SetCapture(hwnd);
      SetPushed(hwnd, b, true);
      return 0;
    case WM_MOUSEMOVE:
      SetHot(hwnd, b, Inside(hwnd, lp));
      if (b.tracking) SetPushed(hwnd, b, Inside(hwnd, lp));
      return 0;
    case WM_MOUSELEAVE: SetHot(hwnd, b, false); return 0;
    case WM_LBUTTONUP: {
      if (!b.tracking) return 0;
      bool click = b.pushed && Inside(hwnd, lp);
      b.tracking = false;
      SetPushed(hwnd, b, false);
      if (GetCapture() == hwnd) ReleaseCapture();
      if (click) Clicked(hwnd);
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (b.tracking) {
        b.tracking = false;
        SetPushed(hwnd, b, false);
      }
      return 0;
    case WM_KEYDOWN:
      if (wp == WPARAM(VK_SPACE) && !b.tracking) {
        b.spaceDown = true;
        SetPushed(hwnd, b, true);
      }
      return 0;
    case WM_KEYUP:
      if (wp == WPARAM(VK_SPACE) && b.spaceDown) {
        b.spaceDown = false;
        SetPushed(hwnd, b, false);
        Clicked(hwnd);
      }
      return 0;
    case WM_CHAR: return 0;  // Space must not beep through the default handling
    case BM_GETSTATE:
      return (b.pushed ? BST_PUSHED : 0) | (b.focused ? BST_FOCUS : 0) | (b.hot ? BST_HOT : 0);
    case BM_SETSTATE: SetPushed(hwnd, b, wp != 0); return 0;
    case BM_SETSTYLE: {
      LONG style = GetWindowLongW(hwnd, GWL_STYLE);
      style = LONG((DWORD(style) & ~BS_TYPEMASK) | (DWORD(wp) & BS_TYPEMASK));
      SetWindowLongW(hwnd, GWL_STYLE, style);
      if (LOWORD(lp)) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    }
    case BM_CLICK:
      if (IsWindowEnabled(hwnd)) Clicked(hwnd);
      return 0;
    default: break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

void RegisterButtonControlClass() {
  WNDCLASSEXW wc;
  if (GetClassInfoExW(0, u"BUTTON", &wc)) return;
  wc = WNDCLASSEXW{};
  wc.style = CS_DBLCLKS | CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = ButtonProc;
  wc.cbWndExtra = int(sizeof(LONG_PTR));
  wc.hCursor = LoadCursorW(0, MAKEINTRESOURCEW(IDC_ARROW));
  wc.lpszClassName = u"BUTTON";
  RegisterClassExW(&wc);
}
