// The up-down control ("msctls_updown32"): two arrow halves stepping a position, with an
// optional buddy window that shows the position and lends the control its arrow keys.
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

#include "Locale.h"
#include "SystemControls.h"
#include "Themes.h"

namespace {

constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT kFirstDelay = 400;
constexpr UINT kRepeatDelay = 100;
constexpr const WCHAR* kBuddyOwnerProp = u"KorvUpDownOwner";
constexpr const WCHAR* kBuddyProcProp = u"KorvUpDownProc";

enum Half { kNone = 0, kUp = 1, kDown = 2 };

struct UpDown {
  int min = 100;  // the platform's default range runs backwards
  int max = 0;
  int pos = 0;
  int base = 10;
  HWND buddy = 0;
  std::vector<UDACCEL> accel{{0, 1}, {2, 5}, {5, 20}};
  Half pressed = kNone;  // the half held down by the mouse
  bool inside = false;   // the pointer is still over the held half
  Half hot = kNone;
  bool keyDown = false;  // an arrow key steps us
  DWORD pressStart = 0;
  bool repeating = false;
};

UpDown* Get(HWND hwnd) { return reinterpret_cast<UpDown*>(GetWindowLongPtrW(hwnd, 0)); }
DWORD Style(HWND hwnd) { return DWORD(GetWindowLongW(hwnd, GWL_STYLE)); }
bool Horizontal(HWND hwnd) { return (Style(hwnd) & UDS_HORZ) != 0; }

String Format(const UpDown& u, DWORD style) {
  if (u.base == 16) {
    static const char16_t* kDigits = u"0123456789ABCDEF";
    unsigned v = unsigned(u.pos);
    String s;
    do {
      s.insert(s.begin(), kDigits[v & 15]);
      v >>= 4;
    } while (v);
    return u"0x" + s;
  }
  long long v = u.pos;
  bool negative = v < 0;
  unsigned long long a =
      negative ? static_cast<unsigned long long>(-v) : static_cast<unsigned long long>(v);
  String digits;
  do {
    digits.insert(digits.begin(), char16_t(u'0' + a % 10));
    a /= 10;
  } while (a);
  if (!(style & UDS_NOTHOUSANDS))
    for (int i = int(digits.size()) - 3; i > 0; i -= 3)
      digits.insert(digits.begin() + i, FormatSettings.ThousandSeparator);
  return negative ? u"-" + digits : digits;
}

// The buddy's text as a number; false when it is none.
bool Parse(const UpDown& u, const String& text, int* out) {
  String s;
  for (Char c : text)
    if (c != u' ' && c != FormatSettings.ThousandSeparator) s += c;
  if (s.empty()) return false;
  size_t i = 0;
  bool negative = false;
  if (s[0] == u'-' || s[0] == u'+') {
    negative = s[0] == u'-';
    i = 1;
  }
  int base = u.base;
  if (base == 16 && s.size() > i + 1 && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X'))
    i += 2;
  if (i >= s.size()) return false;
  long long v = 0;
  for (; i < s.size(); ++i) {
    Char c = s[i];
    int d;
    if (c >= u'0' && c <= u'9') d = c - u'0';
    else if (base == 16 && c >= u'a' && c <= u'f') d = c - u'a' + 10;
    else if (base == 16 && c >= u'A' && c <= u'F') d = c - u'A' + 10;
    else return false;
    if (d >= base) return false;
    v = v * base + d;
    if (v > INT_MAX) return false;
  }
  *out = int(negative ? -v : v);
  return true;
}

int Lo(const UpDown& u) { return std::min(u.min, u.max); }
int Hi(const UpDown& u) { return std::max(u.min, u.max); }

void WriteBuddy(HWND hwnd, const UpDown& u) {
  if ((Style(hwnd) & UDS_SETBUDDYINT) && IsWindow(u.buddy))
    SetWindowTextW(u.buddy, Format(u, Style(hwnd)).c_str());
}

// Takes the buddy's number as the position; false when its text is no number in range.
bool ReadBuddy(HWND hwnd, UpDown& u) {
  if (!(Style(hwnd) & UDS_SETBUDDYINT) || !IsWindow(u.buddy)) return true;
  WCHAR buf[64] = {};
  GetWindowTextW(u.buddy, buf, 64);
  int v = 0;
  if (!Parse(u, buf, &v) || v < Lo(u) || v > Hi(u)) return false;
  u.pos = v;
  return true;
}

void NotifyScroll(HWND hwnd, int code, int pos) {
  HWND parent = GetParent(hwnd);
  if (parent)
    SendMessageW(parent, Horizontal(hwnd) ? WM_HSCROLL : WM_VSCROLL, MAKEWPARAM(code, pos),
                 LPARAM(hwnd));
}

int Increment(const UpDown& u) {
  if (u.accel.empty()) return 1;
  DWORD held = u.repeating ? (GetTickCount() - u.pressStart) / 1000 : 0;
  UINT inc = u.accel[0].nInc;
  for (const UDACCEL& a : u.accel)
    if (a.nSec <= held) inc = a.nInc;
  return int(std::max<UINT>(inc, 1));
}

// One step toward the maximum (up) or the minimum (down).
void Step(HWND hwnd, Half half) {
  UpDown* u = Get(hwnd);
  if (!u) return;
  // Text typed into the buddy counts before the step.
  if (Style(hwnd) & UDS_SETBUDDYINT && IsWindow(u->buddy)) {
    WCHAR buf[64] = {};
    GetWindowTextW(u->buddy, buf, 64);
    int v = 0;
    if (Parse(*u, buf, &v)) u->pos = std::clamp(v, Lo(*u), Hi(*u));
  }
  int inc = Increment(*u);
  int toward = u->max >= u->min ? 1 : -1;
  int delta = (half == kUp ? 1 : -1) * toward * inc;
  NMUPDOWN nm;
  nm.hdr.hwndFrom = hwnd;
  nm.hdr.idFrom = UINT_PTR(GetDlgCtrlID(hwnd));
  nm.hdr.code = UDN_DELTAPOS;
  nm.iPos = u->pos;
  nm.iDelta = delta;
  HWND parent = GetParent(hwnd);
  bool cancelled =
      parent && SendMessageW(parent, WM_NOTIFY, WPARAM(nm.hdr.idFrom), LPARAM(&nm)) != 0;
  if (!(u = Get(hwnd))) return;
  if (!cancelled && nm.iDelta != 0) {
    long long next = static_cast<long long>(u->pos) + nm.iDelta;
    int lo = Lo(*u), hi = Hi(*u);
    if (next < lo || next > hi) {
      if (Style(hwnd) & UDS_WRAP) next = next < lo ? hi : lo;
      else next = std::clamp<long long>(next, lo, hi);
    }
    if (int(next) != u->pos) {
      u->pos = int(next);
      WriteBuddy(hwnd, *u);
      if (!(u = Get(hwnd))) return;
    }
  }
  NotifyScroll(hwnd, SB_THUMBPOSITION, u->pos);
}

RECT HalfRect(HWND hwnd, Half half) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  if (Horizontal(hwnd)) {
    int mid = (rc.left + rc.right) / 2;
    // Right is "up" (toward the maximum), left is "down".
    return half == kUp ? RECT{mid, rc.top, rc.right, rc.bottom}
                       : RECT{rc.left, rc.top, mid, rc.bottom};
  }
  int mid = (rc.top + rc.bottom) / 2;
  return half == kUp ? RECT{rc.left, rc.top, rc.right, mid}
                     : RECT{rc.left, mid, rc.right, rc.bottom};
}

Half HalfAt(HWND hwnd, POINT p) {
  for (Half h : {kUp, kDown}) {
    RECT r = HalfRect(hwnd, h);
    if (PtInRect(&r, p)) return h;
  }
  return kNone;
}

void Paint(HWND hwnd, UpDown& u) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  bool enabled = IsWindowEnabled(hwnd) != FALSE;
  bool horz = Horizontal(hwnd);
  HTHEME theme = OpenThemeData(hwnd, u"SPIN");
  for (Half h : {kUp, kDown}) {
    RECT r = HalfRect(hwnd, h);
    bool down = (u.pressed == h && u.inside) || (u.keyDown && u.pressed == h);
    if (theme) {
      int part = horz ? (h == kUp ? SPNP_UPHORZ : SPNP_DOWNHORZ) : (h == kUp ? SPNP_UP : SPNP_DOWN);
      int state = !enabled ? UPS_DISABLED : down ? UPS_PRESSED : u.hot == h ? UPS_HOT : UPS_NORMAL;
      DrawThemeBackground(theme, dc, part, state, &r, nullptr);
    } else {
      UINT kind = horz ? (h == kUp ? DFCS_SCROLLRIGHT : DFCS_SCROLLLEFT)
                       : (h == kUp ? DFCS_SCROLLUP : DFCS_SCROLLDOWN);
      if (down) kind |= DFCS_PUSHED;
      if (!enabled) kind |= DFCS_INACTIVE;
      DrawFrameControl(dc, &r, DFC_SCROLL, kind);
    }
  }
  if (theme) CloseThemeData(theme);
  EndPaint(hwnd, &ps);
}

void EndPress(HWND hwnd, UpDown& u) {
  bool was = u.pressed != kNone;
  KillTimer(hwnd, kRepeatTimer);
  u.pressed = kNone;
  u.inside = false;
  u.repeating = false;
  u.keyDown = false;
  InvalidateRect(hwnd, nullptr, FALSE);
  if (was) NotifyScroll(hwnd, SB_ENDSCROLL, u.pos);
}

void BeginPress(HWND hwnd, UpDown& u, Half half, bool byKey) {
  u.pressed = half;
  u.inside = !byKey;
  u.keyDown = byKey;
  u.pressStart = GetTickCount();
  u.repeating = false;
  InvalidateRect(hwnd, nullptr, FALSE);
  if (!byKey) SetTimer(hwnd, kRepeatTimer, kFirstDelay, nullptr);
  Step(hwnd, half);
}

LRESULT BuddyProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

void Unsubclass(HWND buddy) {
  if (!IsWindow(buddy)) return;
  auto old = reinterpret_cast<WNDPROC>(RemovePropW(buddy, kBuddyProcProp));
  RemovePropW(buddy, kBuddyOwnerProp);
  // Someone who subclassed after us keeps the chain; we can only leave our own link.
  if (old && reinterpret_cast<WNDPROC>(GetWindowLongPtrW(buddy, GWLP_WNDPROC)) == BuddyProc)
    SetWindowLongPtrW(buddy, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
}

LRESULT BuddyProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto old = reinterpret_cast<WNDPROC>(GetPropW(hwnd, kBuddyProcProp));
  HWND owner = HWND(GetPropW(hwnd, kBuddyOwnerProp));
  if (!old) return DefWindowProcW(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    if (UpDown* u = Get(owner); u && u->buddy == hwnd) u->buddy = 0;
    Unsubclass(hwnd);
    return CallWindowProcW(old, hwnd, msg, wp, lp);
  }
  if ((msg == WM_KEYDOWN || msg == WM_KEYUP) && (wp == WPARAM(VK_UP) || wp == WPARAM(VK_DOWN)) &&
      IsWindow(owner) && IsWindowEnabled(owner)) {
    if (UpDown* u = Get(owner)) {
      Half h = wp == WPARAM(VK_UP) ? kUp : kDown;
      if (msg == WM_KEYDOWN) {
        if (u->pressed == kNone) BeginPress(owner, *u, h, true);
        else Step(owner, h);
      } else if (u->keyDown) {
        EndPress(owner, *u);
      }
      return 0;
    }
  }
  return CallWindowProcW(old, hwnd, msg, wp, lp);
}

// Moves the control beside its buddy and narrows the buddy to make room.
void Align(HWND hwnd) {
  UpDown* u = Get(hwnd);
  DWORD style = Style(hwnd);
  if (!u || !IsWindow(u->buddy) || !(style & (UDS_ALIGNLEFT | UDS_ALIGNRIGHT))) return;
  if (GetParent(u->buddy) != GetParent(hwnd)) return;
  RECT br, mr;
  GetWindowRect(u->buddy, &br);
  GetWindowRect(hwnd, &mr);
  HWND parent = GetParent(hwnd);
  MapWindowPoints(0, parent, reinterpret_cast<POINT*>(&br), 2);
  int width = mr.right - mr.left;
  if (width <= 0) width = GetSystemMetrics(SM_CXVSCROLL);
  int bw = std::max(0, int(br.right - br.left) - width);
  int height = br.bottom - br.top;
  if (style & UDS_ALIGNRIGHT) {
    SetWindowPos(u->buddy, 0, br.left, br.top, bw, height, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(hwnd, 0, br.left + bw, br.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    SetWindowPos(u->buddy, 0, br.left + width, br.top, bw, height, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(hwnd, 0, br.left, br.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

HWND SetBuddy(HWND hwnd, UpDown& u, HWND buddy) {
  HWND old = u.buddy;
  if (old && old != buddy) Unsubclass(old);
  if (!IsWindow(buddy)) buddy = 0;
  u.buddy = buddy;
  if (buddy && buddy != old && (Style(hwnd) & UDS_ARROWKEYS) && !GetPropW(buddy, kBuddyProcProp)) {
    SetPropW(buddy, kBuddyOwnerProp, HANDLE(hwnd));
    auto prev = GetWindowLongPtrW(buddy, GWLP_WNDPROC);
    SetPropW(buddy, kBuddyProcProp, HANDLE(prev));
    SetWindowLongPtrW(buddy, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BuddyProc));
  }
  if (buddy) Align(hwnd);
  return old;
}

void ClampPos(HWND hwnd, UpDown& u) {
  int p = std::clamp(u.pos, Lo(u), Hi(u));
  if (p != u.pos) {
    u.pos = p;
    WriteBuddy(hwnd, u);
  }
}

LRESULT UpDownProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  UpDown* up = Get(hwnd);
  if (!up) {
    if (msg == WM_NCCREATE) SetWindowLongPtrW(hwnd, 0, LONG_PTR(new UpDown));
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
  UpDown& u = *up;
  switch (msg) {
    case WM_CREATE:
      // New siblings go to the top here, so the one created just before lies beneath us.
      if (Style(hwnd) & UDS_AUTOBUDDY) SetBuddy(hwnd, u, GetWindow(hwnd, GW_HWNDNEXT));
      return 0;
    case WM_DESTROY:
      if (u.buddy) Unsubclass(u.buddy);
      u.buddy = 0;
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd, 0, 0);
      delete up;
      return DefWindowProcW(hwnd, msg, wp, lp);
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Paint(hwnd, u); return 0;
    case WM_ENABLE:
    case WM_THEMECHANGED: InvalidateRect(hwnd, nullptr, FALSE); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      Half h = HalfAt(hwnd, MAKEPOINT(lp));
      if (h == kNone || u.pressed != kNone) return 0;
      if (IsWindow(u.buddy) && GetFocus() != u.buddy) SetFocus(u.buddy);
      if (!(up = Get(hwnd))) return 0;
      SetCapture(hwnd);
      BeginPress(hwnd, *up, h, false);
      return 0;
    }
    case WM_MOUSEMOVE: {
      Half at = HalfAt(hwnd, MAKEPOINT(lp));
      if (u.pressed != kNone && !u.keyDown) {
        bool inside = at == u.pressed;
        if (inside != u.inside) {
          u.inside = inside;
          InvalidateRect(hwnd, nullptr, FALSE);
        }
      }
      if (at != u.hot) {
        if (u.hot == kNone) {
          TRACKMOUSEEVENT tme;
          tme.dwFlags = TME_LEAVE;
          tme.hwndTrack = hwnd;
          TrackMouseEvent(&tme);
        }
        u.hot = at;
        InvalidateRect(hwnd, nullptr, FALSE);
      }
      return 0;
    }
    case WM_MOUSELEAVE:
      if (u.hot != kNone) {
        u.hot = kNone;
        InvalidateRect(hwnd, nullptr, FALSE);
      }
      return 0;
    case WM_LBUTTONUP:
      if (u.pressed != kNone && !u.keyDown) {
        if (GetCapture() == hwnd) ReleaseCapture();
        if ((up = Get(hwnd)) && up->pressed != kNone) EndPress(hwnd, *up);
      }
      return 0;
    case WM_CAPTURECHANGED:
      if (u.pressed != kNone && !u.keyDown) EndPress(hwnd, u);
      return 0;
    case WM_TIMER:
      if (wp != kRepeatTimer) return 0;
      if (u.pressed == kNone) {
        KillTimer(hwnd, kRepeatTimer);
        return 0;
      }
      if (!u.repeating) {
        u.repeating = true;
        SetTimer(hwnd, kRepeatTimer, kRepeatDelay, nullptr);
      }
      if (u.inside) Step(hwnd, u.pressed);
      return 0;
    case WM_KEYDOWN:
      if ((Style(hwnd) & UDS_ARROWKEYS) && (wp == WPARAM(VK_UP) || wp == WPARAM(VK_DOWN))) {
        Half h = wp == WPARAM(VK_UP) ? kUp : kDown;
        if (u.pressed == kNone) BeginPress(hwnd, u, h, true);
        else if (u.keyDown) Step(hwnd, h);
        return 0;
      }
      break;
    case WM_MOUSEWHEEL: {
      // A step a notch, toward the maximum when turned away from the user.
      int notches = GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA;
      for (int i = 0; i < std::abs(notches) && Get(hwnd); ++i)
        Step(hwnd, notches > 0 ? kUp : kDown);
      return 0;
    }
    case WM_KEYUP:
      if ((wp == WPARAM(VK_UP) || wp == WPARAM(VK_DOWN)) && u.keyDown) {
        EndPress(hwnd, u);
        return 0;
      }
      break;
    case WM_KILLFOCUS:
      if (u.keyDown) EndPress(hwnd, u);
      return 0;
    case UDM_SETRANGE:
      u.max = SHORT(LOWORD(std::uintptr_t(lp)));
      u.min = SHORT(HIWORD(std::uintptr_t(lp)));
      ClampPos(hwnd, u);
      return 0;
    case UDM_GETRANGE: return LRESULT(MAKELONG(WORD(u.max), WORD(u.min)));
    case UDM_SETRANGE32:
      u.min = int(wp);
      u.max = int(lp);
      ClampPos(hwnd, u);
      return 0;
    case UDM_GETRANGE32:
      if (wp) *reinterpret_cast<int*>(wp) = u.min;
      if (lp) *reinterpret_cast<int*>(lp) = u.max;
      return 0;
    case UDM_SETPOS:
    case UDM_SETPOS32: {
      int old = u.pos;
      int want = msg == UDM_SETPOS ? int(SHORT(LOWORD(std::uintptr_t(lp)))) : int(lp);
      u.pos = std::clamp(want, Lo(u), Hi(u));
      WriteBuddy(hwnd, u);
      return old;
    }
    case UDM_GETPOS: {
      bool ok = ReadBuddy(hwnd, u);
      return LRESULT(MAKELONG(WORD(u.pos), ok ? 0 : 1));
    }
    case UDM_GETPOS32: {
      bool ok = ReadBuddy(hwnd, u);
      if (lp) *reinterpret_cast<BOOL*>(lp) = ok ? FALSE : TRUE;
      return u.pos;
    }
    case UDM_SETBUDDY: return LRESULT(SetBuddy(hwnd, u, HWND(wp)));
    case UDM_GETBUDDY: return LRESULT(IsWindow(u.buddy) ? u.buddy : 0);
    case UDM_SETACCEL: {
      const auto* a = reinterpret_cast<const UDACCEL*>(lp);
      if (!a || wp == 0) return FALSE;
      u.accel.assign(a, a + wp);
      return TRUE;
    }
    case UDM_GETACCEL: {
      auto* out = reinterpret_cast<UDACCEL*>(lp);
      if (out) std::copy_n(u.accel.begin(), std::min<size_t>(wp, u.accel.size()), out);
      return LRESULT(u.accel.size());
    }
    case UDM_SETBASE: {
      if (wp != 10 && wp != 16) return 0;
      int old = u.base;
      u.base = int(wp);
      WriteBuddy(hwnd, u);
      return old;
    }
    case UDM_GETBASE: return u.base;
    default: break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

void RegisterUpDownControlClass() {
  WNDCLASSEXW wc;
  if (GetClassInfoExW(0, UPDOWN_CLASS, &wc)) return;
  wc = WNDCLASSEXW{};
  wc.style = CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = UpDownProc;
  wc.cbWndExtra = int(sizeof(LONG_PTR));
  wc.hCursor = LoadCursorW(0, MAKEINTRESOURCEW(IDC_ARROW));
  wc.lpszClassName = UPDOWN_CLASS;
  RegisterClassExW(&wc);
}
