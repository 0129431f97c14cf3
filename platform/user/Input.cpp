// Input: host events turned into queued input, input translated into window messages when it
// is retrieved (hit testing, capture, double clicks, activation by click, WM_SETCURSOR), key
// state, mouse capture and tracking, the pointer and the keyboard layout.
#include "UserInternal.h"

namespace user {

POINT gCursorPos;
bool gGeometryFromHost = false;
bool gStateFromHost = false;
BYTE gKeyState[256];
BYTE gAsyncKeyState[256];

namespace {

std::vector<HostEvent> gHostEvents;

struct LastClick {
  HWND hwnd = 0;
  UINT msg = 0;
  DWORD time = 0;
  POINT pt;
  bool valid = false;
} gLastClick;
UINT gDoubleClickTime = 500;

struct Tracking {
  HWND hwnd = 0;
  DWORD flags = 0;  // TME_LEAVE / TME_HOVER / TME_NONCLIENT
  DWORD hoverTime = 400;
  DWORD hoverStart = 0;
  POINT hoverPt;
} gTrack;

HCURSOR gCursor = HCURSOR(IDC_ARROW);

bool IsButtonDown(UINT msg) {
  return msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN ||
         msg == WM_XBUTTONDOWN;
}

bool IsModifierVk(int vk) {
  return vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU || vk == VK_LSHIFT ||
         vk == VK_RSHIFT || vk == VK_LCONTROL || vk == VK_RCONTROL || vk == VK_LMENU ||
         vk == VK_RMENU;
}

// Side-neutral codes follow their two sides.
void SetKey(BYTE* table, int vk, bool down) {
  vk &= 0xFF;
  bool was = (table[vk] & 0x80) != 0;
  if (down) {
    if (!was) table[vk] ^= 0x01;  // the toggle flips on every press
    table[vk] |= 0x80;
  } else {
    table[vk] &= BYTE(~0x80);
  }
}

void SetKeyWithSides(BYTE* table, int vk, bool down) {
  int side = 0, neutral = 0;
  switch (vk) {
    case VK_SHIFT:
      side = VK_LSHIFT;
      neutral = VK_SHIFT;
      break;
    case VK_CONTROL:
      side = VK_LCONTROL;
      neutral = VK_CONTROL;
      break;
    case VK_MENU:
      side = VK_LMENU;
      neutral = VK_MENU;
      break;
    case VK_LSHIFT:
    case VK_RSHIFT:
      side = vk;
      neutral = VK_SHIFT;
      break;
    case VK_LCONTROL:
    case VK_RCONTROL:
      side = vk;
      neutral = VK_CONTROL;
      break;
    case VK_LMENU:
    case VK_RMENU:
      side = vk;
      neutral = VK_MENU;
      break;
  }
  if (!neutral) {
    SetKey(table, vk, down);
    return;
  }
  SetKey(table, side, down);
  int a = neutral == VK_SHIFT ? VK_LSHIFT : neutral == VK_CONTROL ? VK_LCONTROL : VK_LMENU;
  bool any = (table[a] & 0x80) || (table[a + 1] & 0x80);
  SetKey(table, neutral, any);
}

WPARAM FlagsFrom(unsigned buttons, unsigned modifiers) {
  WPARAM mk = 0;
  if (buttons & kHostLeftButton) mk |= MK_LBUTTON;
  if (buttons & kHostRightButton) mk |= MK_RBUTTON;
  if (buttons & kHostMiddleButton) mk |= MK_MBUTTON;
  if (buttons & kHostXButton1) mk |= MK_XBUTTON1;
  if (buttons & kHostXButton2) mk |= MK_XBUTTON2;
  if (modifiers & kHostShift) mk |= MK_SHIFT;
  if (modifiers & kHostControl) mk |= MK_CONTROL;
  return mk;
}

void SetButtonsAsync(unsigned buttons) {
  SetKey(gAsyncKeyState, VK_LBUTTON, buttons & kHostLeftButton);
  SetKey(gAsyncKeyState, VK_RBUTTON, buttons & kHostRightButton);
  SetKey(gAsyncKeyState, VK_MBUTTON, buttons & kHostMiddleButton);
  SetKey(gAsyncKeyState, VK_XBUTTON1, buttons & kHostXButton1);
  SetKey(gAsyncKeyState, VK_XBUTTON2, buttons & kHostXButton2);
}

void SetModifiersAsync(unsigned modifiers) {
  // The host's modifier bits win over key events the window system may have missed.
  if (bool(modifiers & kHostShift) != bool(gAsyncKeyState[VK_SHIFT] & 0x80))
    SetKeyWithSides(gAsyncKeyState, VK_SHIFT, modifiers & kHostShift);
  if (bool(modifiers & kHostControl) != bool(gAsyncKeyState[VK_CONTROL] & 0x80))
    SetKeyWithSides(gAsyncKeyState, VK_CONTROL, modifiers & kHostControl);
  if (bool(modifiers & kHostAlt) != bool(gAsyncKeyState[VK_MENU] & 0x80))
    SetKeyWithSides(gAsyncKeyState, VK_MENU, modifiers & kHostAlt);
}

UINT ButtonMessage(int button, bool down) {
  switch (button) {
    case kHostLeftButton: return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    case kHostRightButton: return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    case kHostMiddleButton: return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    default: return down ? WM_XBUTTONDOWN : WM_XBUTTONUP;
  }
}

int ButtonVk(int button) {
  switch (button) {
    case kHostLeftButton: return VK_LBUTTON;
    case kHostRightButton: return VK_RBUTTON;
    case kHostMiddleButton: return VK_MBUTTON;
    case kHostXButton1: return VK_XBUTTON1;
    default: return VK_XBUTTON2;
  }
}

void PostLeave(bool nonClient) {
  HWND h = gTrack.hwnd;
  gTrack.flags &= ~TME_LEAVE;
  if (!gTrack.flags) gTrack.hwnd = 0;
  if (h && IsWindow(h)) PostMessageW(h, nonClient ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
}

// Whether the pointer is over the tracked part of the window.
bool PointerIn(HWND hwnd, DWORD flags) {
  LRESULT hit;
  HWND under = gCapture ? gCapture : WindowFromPointHit(gCursorPos, &hit);
  if (gCapture) hit = HTCLIENT;
  if (under != hwnd) return false;
  return (flags & TME_NONCLIENT) ? hit != HTCLIENT : hit == HTCLIENT;
}

// The wheel turns what the pointer is over, as current desktops do: the capture window first,
// else the deepest window under the pointer. A disabled window (or one inside a disabled
// parent) hands it to the nearest enabled ancestor, as a click would; under a disabled
// top-level, a modal loop's owner, it goes nowhere. The focus has it only when the pointer is
// over none of our windows.
HWND WheelTarget(POINT pt) {
  if (gCapture && IsWindow(gCapture)) return gCapture;
  LRESULT hit;
  HWND under = WindowFromPointHit(pt, &hit);
  if (!under) return gFocus && IsWindow(gFocus) ? gFocus : gActive;
  Wnd* target = GetWnd(under);
  for (Wnd* w = target; w && w != Desktop(); w = w->parent)
    if (w->style & WS_DISABLED) target = IsTopLevel(w) ? nullptr : w->parent;
  return target ? target->handle : 0;
}

void HandleOne(const HostEvent& e) {
  InputEvent in;
  in.time = Now();
  in.surface = e.surface;
  switch (e.type) {
    case HostEventType::MouseMove:
    case HostEventType::MouseDown:
    case HostEventType::MouseUp:
    case HostEventType::Wheel:
      gCursorPos = e.pt;
      SetButtonsAsync(e.buttons);
      SetModifiersAsync(e.modifiers);
      in.pt = e.pt;
      in.mk = FlagsFrom(e.buttons, e.modifiers);
      in.alt = e.modifiers & kHostAlt;
      in.ctrl = e.modifiers & kHostControl;
      if (e.type == HostEventType::MouseMove) {
        in.kind = InputEvent::MouseMove;
      } else if (e.type == HostEventType::Wheel) {
        in.kind = InputEvent::Wheel;
        in.msg = e.horizontal ? WM_MOUSEHWHEEL : WM_MOUSEWHEEL;
        in.wheelDelta = e.wheelDelta;
      } else {
        in.kind = InputEvent::MouseButton;
        in.down = e.type == HostEventType::MouseDown;
        in.button = ButtonVk(e.button);
        in.msg = ButtonMessage(e.button, in.down);
        if (in.msg == WM_XBUTTONDOWN || in.msg == WM_XBUTTONUP)
          in.mk |= WPARAM(e.button == kHostXButton1 ? XBUTTON1 : XBUTTON2) << 16;
      }
      QueueInput(in);
      break;
    case HostEventType::MouseLeave: {
      Wnd* t = GetWnd(gTrack.hwnd);
      Wnd* s = GetWnd(e.surface);
      if (t && s && RootOf(t) == s && (gTrack.flags & TME_LEAVE) && !gCapture)
        PostLeave((gTrack.flags & TME_NONCLIENT) != 0);
      break;
    }
    case HostEventType::KeyDown:
    case HostEventType::KeyUp: {
      bool down = e.type == HostEventType::KeyDown;
      SetModifiersAsync(e.modifiers);
      if (!IsModifierVk(e.vk) || down != bool(gAsyncKeyState[e.vk & 0xFF] & 0x80))
        SetKeyWithSides(gAsyncKeyState, e.vk, down);
      in.kind = InputEvent::Key;
      in.vk = e.vk;
      in.scan = e.scanCode ? e.scanCode : int(MapVirtualKeyW(UINT(e.vk), MAPVK_VK_TO_VSC));
      in.extended = e.extended;
      in.down = down;
      in.repeat = e.autoRepeat;
      in.alt = (gAsyncKeyState[VK_MENU] & 0x80) != 0;
      in.ctrl = (gAsyncKeyState[VK_CONTROL] & 0x80) != 0;
      if (down) in.textId = StoreKeyText(e.text);
      in.pt = gCursorPos;
      QueueInput(in);
      break;
    }
    case HostEventType::FocusIn: {
      Wnd* w = GetWnd(e.surface);
      if (w && IsTopLevel(w) && (w->style & WS_VISIBLE) && !(w->style & WS_DISABLED) &&
          !(w->exStyle & WS_EX_NOACTIVATE) && (e.surface != gActive || !gAppActive))
        ActivateWindow(e.surface, false, true);
      break;
    }
    case HostEventType::FocusOut: break;
    case HostEventType::AppActive:
      if (!gAppActive) {
        Wnd* w = GetWnd(e.surface);
        if (w && IsTopLevel(w)) ActivateWindow(e.surface, false, true);
      }
      break;
    case HostEventType::AppInactive: DeactivateApp(true); break;
    case HostEventType::Geometry: {
      Wnd* w = GetWnd(e.surface);
      if (!w || !IsTopLevel(w) || (w->style & WS_MINIMIZE)) break;
      RECT r = WindowRectFromHost(w, e.rect);
      if (w->rect == r) break;
      gGeometryFromHost = true;
      SetWindowPos(e.surface, 0, r.left, r.top, r.right - r.left, r.bottom - r.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      gGeometryFromHost = false;
      break;
    }
    case HostEventType::State: {
      // As on the platform: the window hears the system command, and its default procedure
      // changes the state (WM_SIZE follows).
      Wnd* w = GetWnd(e.surface);
      if (!w || !IsTopLevel(w)) break;
      DWORD now = w->style & (WS_MINIMIZE | WS_MAXIMIZE);
      WPARAM cmd = 0;
      if (e.state == HostSurfaceState::Minimized && now != WS_MINIMIZE) cmd = SC_MINIMIZE;
      else if (e.state == HostSurfaceState::Maximized && now != WS_MAXIMIZE) cmd = SC_MAXIMIZE;
      else if (e.state == HostSurfaceState::Normal && now) cmd = SC_RESTORE;
      if (!cmd) break;
      gStateFromHost = true;
      Send(e.surface, WM_SYSCOMMAND, cmd, 0);
      gStateFromHost = false;
      break;
    }
    case HostEventType::Expose: {
      Wnd* w = GetWnd(e.surface);
      if (w && IsTopLevel(w) && w->surface)
        MarkDirty(w, RECT{0, 0, w->surface->width, w->surface->height});
      break;
    }
    case HostEventType::Close:
      if (IsWindow(e.surface)) PostMessageW(e.surface, WM_CLOSE, 0, 0);
      break;
    case HostEventType::ScreensChanged: RefreshScreens(); break;
  }
}

}  // namespace

void HandleHostEvent(const HostEvent& e) { gHostEvents.push_back(e); }

void ProcessPendingHostEvents() {
  if (gHostEvents.empty()) return;
  std::vector<HostEvent> batch;
  batch.swap(gHostEvents);
  for (std::size_t i = 0; i < batch.size(); ++i) {
    // The host reports the application inactive between two of its own windows; only the
    // last word of a batch counts.
    if (batch[i].type == HostEventType::AppInactive) {
      bool reactivated = false;
      for (std::size_t j = i + 1; j < batch.size(); ++j)
        if (batch[j].type == HostEventType::AppActive || batch[j].type == HostEventType::FocusIn)
          reactivated = true;
      if (reactivated) continue;
    }
    HandleOne(batch[i]);
  }
}

bool TranslateInput(const InputEvent& e, MSG* out, bool commit, bool* eat) {
  *eat = false;
  *out = MSG{};
  out->time = e.time;
  out->pt = e.pt;
  if (e.kind == InputEvent::Key) {
    HWND target = gFocus;
    bool sys = (e.alt && !e.ctrl) || e.vk == VK_F10;
    if (!target || !IsWindow(target)) {
      target = gActive;
      sys = true;
    }
    if (!target || !IsWindow(target)) return false;
    out->hwnd = target;
    out->message = e.down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
    out->wParam = WPARAM(e.vk);
    DWORD lp = 1u | (DWORD(e.scan & 0xFF) << 16);
    if (e.extended) lp |= 1u << 24;
    if (e.alt) lp |= 1u << 29;
    if (!e.down || e.repeat) lp |= 1u << 30;
    if (!e.down) lp |= 1u << 31;
    out->lParam = LPARAM(lp);
    out->lPrivate = e.textId;
    if (commit) SetKeyWithSides(gKeyState, e.vk, e.down);
    return true;
  }
  if (e.kind == InputEvent::Wheel) {
    HWND target = WheelTarget(e.pt);
    if (!target || !IsWindow(target)) return false;
    out->hwnd = target;
    out->message = e.msg;
    out->wParam = MAKEWPARAM(int(e.mk & 0xFFFF), e.wheelDelta);
    out->lParam = MAKELPARAM(e.pt.x, e.pt.y);
    return true;
  }
  UINT msg = e.kind == InputEvent::MouseMove ? WM_MOUSEMOVE : e.msg;
  HWND hwnd;
  LRESULT hit;
  bool captured = gCapture && IsWindow(gCapture);
  if (captured) {
    hwnd = gCapture;
    hit = HTCLIENT;
  } else {
    hwnd = WindowFromPointHit(e.pt, &hit);
    if (!hwnd) return false;
  }
  if (hit == HTERROR) {
    // A disabled window: the pointer shape is asked for, the message goes nowhere.
    if (commit) Send(hwnd, WM_SETCURSOR, WPARAM(hwnd), MAKELPARAM(int(HTERROR), int(msg)));
    return false;
  }
  bool down = IsButtonDown(msg);
  bool dbl = false;
  if (down && gLastClick.valid && gLastClick.msg == msg && gLastClick.hwnd == hwnd &&
      e.time - gLastClick.time <= gDoubleClickTime &&
      std::abs(e.pt.x - gLastClick.pt.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
      std::abs(e.pt.y - gLastClick.pt.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2) {
    Wnd* w = GetWnd(hwnd);
    bool classWants = w && w->cls && (w->cls->style & CS_DBLCLKS);
    if (hit != HTCLIENT || classWants) dbl = true;
  }
  UINT raw = msg;
  if (dbl) msg += 2;  // WM_xBUTTONDOWN + 2 is WM_xBUTTONDBLCLK
  out->hwnd = hwnd;
  if (hit != HTCLIENT && msg <= WM_MBUTTONDBLCLK) {
    out->message = msg - WM_MOUSEMOVE + WM_NCMOUSEMOVE;
    out->wParam = WPARAM(hit);
    out->lParam = MAKELPARAM(e.pt.x, e.pt.y);
  } else {
    Wnd* w = GetWnd(hwnd);
    POINT o = ClientOrigin(w);
    out->message = msg;
    out->wParam = e.mk;
    out->lParam = MAKELPARAM(e.pt.x - o.x, e.pt.y - o.y);
  }
  if (!commit) return true;

  if (down) {
    if (dbl) gLastClick.valid = false;
    else gLastClick = LastClick{hwnd, raw, e.time, e.pt, true};
  }
  if (e.kind == InputEvent::MouseButton) SetKey(gKeyState, e.button, e.down);
  if (down && !captured) {
    HWND top = GetAncestor(hwnd, GA_ROOT);
    if (top && (top != gActive || !gAppActive)) {
      LRESULT r = Send(hwnd, WM_MOUSEACTIVATE, WPARAM(top), MAKELPARAM(int(hit), int(raw)));
      if (r == MA_ACTIVATE || r == MA_ACTIVATEANDEAT) {
        Wnd* t = GetWnd(top);
        if (t && !(t->style & WS_DISABLED)) ActivateWindow(top, true, false);
      }
      if (r == MA_ACTIVATEANDEAT || r == MA_NOACTIVATEANDEAT) *eat = true;
    }
  }
  if (!captured && IsWindow(hwnd))
    Send(hwnd, WM_SETCURSOR, WPARAM(hwnd), MAKELPARAM(int(hit), int(raw)));
  if (!IsWindow(hwnd)) *eat = true;
  return true;
}

void CommitMouseMessage(const MSG& m) {
  if (!gTrack.hwnd) return;
  bool nc = m.message >= WM_NCMOUSEMOVE && m.message <= WM_NCMBUTTONDBLCLK;
  bool client = m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST &&
                m.message != WM_MOUSEWHEEL && m.message != WM_MOUSEHWHEEL;
  if (!nc && !client) return;
  bool wantNc = (gTrack.flags & TME_NONCLIENT) != 0;
  if (gTrack.flags & TME_LEAVE) {
    if (m.hwnd != gTrack.hwnd || nc != wantNc) {
      PostLeave(wantNc);
      return;
    }
  }
  if ((gTrack.flags & TME_HOVER) && m.hwnd == gTrack.hwnd) {
    int w = 4, h = 4;
    SystemParametersInfoW(SPI_GETMOUSEHOVERWIDTH, 0, &w, 0);
    SystemParametersInfoW(SPI_GETMOUSEHOVERHEIGHT, 0, &h, 0);
    if (std::abs(m.pt.x - gTrack.hoverPt.x) > w / 2 ||
        std::abs(m.pt.y - gTrack.hoverPt.y) > h / 2) {
      gTrack.hoverPt = m.pt;
      gTrack.hoverStart = Now();
    }
  }
}

void CheckMouseHover() {
  if (!(gTrack.flags & TME_HOVER) || !gTrack.hwnd) return;
  if (Now() - gTrack.hoverStart < gTrack.hoverTime) return;
  HWND h = gTrack.hwnd;
  bool nc = (gTrack.flags & TME_NONCLIENT) != 0;
  gTrack.flags &= ~TME_HOVER;
  if (!gTrack.flags) gTrack.hwnd = 0;
  Wnd* w = GetWnd(h);
  if (!w || !PointerIn(h, nc ? TME_NONCLIENT : 0)) return;
  if (nc) {
    LRESULT hit = DefNcHitTest(h, gCursorPos);
    PostMessageW(h, WM_NCMOUSEHOVER, WPARAM(hit), MAKELPARAM(gCursorPos.x, gCursorPos.y));
  } else {
    POINT o = ClientOrigin(w);
    PostMessageW(h, WM_MOUSEHOVER, MouseKeyFlags(),
                 MAKELPARAM(gCursorPos.x - o.x, gCursorPos.y - o.y));
  }
}

int MsUntilHover() {
  if (!(gTrack.flags & TME_HOVER) || !gTrack.hwnd) return -1;
  DWORD elapsed = Now() - gTrack.hoverStart;
  return elapsed >= gTrack.hoverTime ? 0 : int(gTrack.hoverTime - elapsed);
}

void CancelTrackingFor(HWND hwnd) {
  if (gTrack.hwnd == hwnd) gTrack = Tracking{};
  if (gLastClick.hwnd == hwnd) gLastClick.valid = false;
}

WPARAM MouseKeyFlags() {
  WPARAM mk = 0;
  if (gKeyState[VK_LBUTTON] & 0x80) mk |= MK_LBUTTON;
  if (gKeyState[VK_RBUTTON] & 0x80) mk |= MK_RBUTTON;
  if (gKeyState[VK_MBUTTON] & 0x80) mk |= MK_MBUTTON;
  if (gKeyState[VK_XBUTTON1] & 0x80) mk |= MK_XBUTTON1;
  if (gKeyState[VK_XBUTTON2] & 0x80) mk |= MK_XBUTTON2;
  if (gKeyState[VK_SHIFT] & 0x80) mk |= MK_SHIFT;
  if (gKeyState[VK_CONTROL] & 0x80) mk |= MK_CONTROL;
  return mk;
}

HostCursor HostCursorFor(HCURSOR c) {
  switch (c) {
    case IDC_IBEAM: return HostCursor::IBeam;
    case IDC_WAIT: return HostCursor::Wait;
    case IDC_CROSS: return HostCursor::Cross;
    case IDC_UPARROW: return HostCursor::UpArrow;
    case IDC_SIZENWSE: return HostCursor::SizeNWSE;
    case IDC_SIZENESW: return HostCursor::SizeNESW;
    case IDC_SIZEWE: return HostCursor::SizeWE;
    case IDC_SIZENS: return HostCursor::SizeNS;
    case IDC_SIZEALL: return HostCursor::SizeAll;
    case IDC_NO: return HostCursor::No;
    case IDC_HAND: return HostCursor::Hand;
    case IDC_APPSTARTING: return HostCursor::AppStarting;
    case IDC_HELP: return HostCursor::Help;
    case 0: return HostCursor::Hidden;
  }
  return HostCursor::Arrow;
}

void ResetInput() {
  gHostEvents.clear();
  gLastClick = LastClick{};
  gTrack = Tracking{};
  std::fill(std::begin(gKeyState), std::end(gKeyState), 0);
  std::fill(std::begin(gAsyncKeyState), std::end(gAsyncKeyState), 0);
  gCursor = HCURSOR(IDC_ARROW);
  gDoubleClickTime = 500;
  gCursorPos = POINT{};
}

}  // namespace user

using namespace user;

HWND SetCapture(HWND hwnd) {
  HWND prev = gCapture;
  if (hwnd && !GetWndOrError(hwnd)) return 0;
  if (hwnd == prev) return prev;
  gCapture = hwnd;
  if (HostWindowDriver* h = Host()) {
    Wnd* w = GetWnd(hwnd);
    Wnd* top = w ? RootOf(w) : nullptr;
    h->SetCapture(top && top->surface && top->surface->hostCreated ? top->handle : 0);
  }
  if (prev && IsWindow(prev)) Send(prev, WM_CAPTURECHANGED, 0, LPARAM(hwnd));
  return prev;
}

BOOL ReleaseCapture() {
  HWND prev = gCapture;
  if (!prev) return TRUE;
  gCapture = 0;
  if (HostWindowDriver* h = Host()) h->SetCapture(0);
  if (IsWindow(prev)) Send(prev, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND GetCapture() { return gCapture && IsWindow(gCapture) ? gCapture : 0; }

BOOL TrackMouseEvent(TRACKMOUSEEVENT* tme) {
  if (!tme || tme->cbSize != sizeof(TRACKMOUSEEVENT)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (tme->dwFlags & TME_QUERY) {
    tme->dwFlags = gTrack.flags;
    tme->hwndTrack = gTrack.hwnd;
    tme->dwHoverTime = gTrack.hoverTime;
    return TRUE;
  }
  if (!GetWndOrError(tme->hwndTrack)) return FALSE;
  DWORD kinds = tme->dwFlags & (TME_LEAVE | TME_HOVER);
  if (tme->dwFlags & TME_CANCEL) {
    if (gTrack.hwnd == tme->hwndTrack) {
      gTrack.flags &= ~kinds;
      if (!(gTrack.flags & (TME_LEAVE | TME_HOVER))) gTrack = Tracking{};
    }
    return TRUE;
  }
  DWORD nc = tme->dwFlags & TME_NONCLIENT;
  if (!PointerIn(tme->hwndTrack, nc)) {
    // Not over the window at all: the leave is due at once.
    if (kinds & TME_LEAVE) PostMessageW(tme->hwndTrack, nc ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
    return TRUE;
  }
  if (gTrack.hwnd != tme->hwndTrack) gTrack = Tracking{};
  gTrack.hwnd = tme->hwndTrack;
  gTrack.flags = (gTrack.flags & ~TME_NONCLIENT) | kinds | nc;
  if (kinds & TME_HOVER) {
    DWORD t = tme->dwHoverTime;
    if (t == HOVER_DEFAULT || t == 0) SystemParametersInfoW(SPI_GETMOUSEHOVERTIME, 0, &t, 0);
    gTrack.hoverTime = t;
    gTrack.hoverStart = Now();
    gTrack.hoverPt = gCursorPos;
  }
  return TRUE;
}

SHORT GetKeyState(int vk) {
  BYTE s = gKeyState[vk & 0xFF];
  return SHORT(((s & 0x80) ? 0xFF80 : 0) | (s & 0x01));
}

SHORT GetAsyncKeyState(int vk) {
  ProcessPendingHostEvents();
  return SHORT((gAsyncKeyState[vk & 0xFF] & 0x80) ? 0x8000 : 0);
}

BOOL GetKeyboardState(BYTE* state) {
  if (!state) return FALSE;
  std::copy(std::begin(gKeyState), std::end(gKeyState), state);
  return TRUE;
}

BOOL SetKeyboardState(const BYTE* state) {
  if (!state) return FALSE;
  std::copy(state, state + 256, gKeyState);
  return TRUE;
}

namespace {

// The US layout: virtual key, set-1 scan code, unshifted character.
struct KeyDef {
  int vk;
  int scan;
  char16_t ch;
};
constexpr KeyDef kKeys[] = {
    {VK_ESCAPE, 0x01, 27},
    {'1', 0x02, '1'},
    {'2', 0x03, '2'},
    {'3', 0x04, '3'},
    {'4', 0x05, '4'},
    {'5', 0x06, '5'},
    {'6', 0x07, '6'},
    {'7', 0x08, '7'},
    {'8', 0x09, '8'},
    {'9', 0x0A, '9'},
    {'0', 0x0B, '0'},
    {VK_OEM_MINUS, 0x0C, '-'},
    {VK_OEM_PLUS, 0x0D, '='},
    {VK_BACK, 0x0E, 8},
    {VK_TAB, 0x0F, 9},
    {'Q', 0x10, 'Q'},
    {'W', 0x11, 'W'},
    {'E', 0x12, 'E'},
    {'R', 0x13, 'R'},
    {'T', 0x14, 'T'},
    {'Y', 0x15, 'Y'},
    {'U', 0x16, 'U'},
    {'I', 0x17, 'I'},
    {'O', 0x18, 'O'},
    {'P', 0x19, 'P'},
    {VK_OEM_4, 0x1A, '['},
    {VK_OEM_6, 0x1B, ']'},
    {VK_RETURN, 0x1C, 13},
    {VK_CONTROL, 0x1D, 0},
    {VK_LCONTROL, 0x1D, 0},
    {'A', 0x1E, 'A'},
    {'S', 0x1F, 'S'},
    {'D', 0x20, 'D'},
    {'F', 0x21, 'F'},
    {'G', 0x22, 'G'},
    {'H', 0x23, 'H'},
    {'J', 0x24, 'J'},
    {'K', 0x25, 'K'},
    {'L', 0x26, 'L'},
    {VK_OEM_1, 0x27, ';'},
    {VK_OEM_7, 0x28, '\''},
    {VK_OEM_3, 0x29, '`'},
    {VK_SHIFT, 0x2A, 0},
    {VK_LSHIFT, 0x2A, 0},
    {VK_OEM_5, 0x2B, '\\'},
    {'Z', 0x2C, 'Z'},
    {'X', 0x2D, 'X'},
    {'C', 0x2E, 'C'},
    {'V', 0x2F, 'V'},
    {'B', 0x30, 'B'},
    {'N', 0x31, 'N'},
    {'M', 0x32, 'M'},
    {VK_OEM_COMMA, 0x33, ','},
    {VK_OEM_PERIOD, 0x34, '.'},
    {VK_OEM_2, 0x35, '/'},
    {VK_RSHIFT, 0x36, 0},
    {VK_MULTIPLY, 0x37, '*'},
    {VK_MENU, 0x38, 0},
    {VK_LMENU, 0x38, 0},
    {VK_SPACE, 0x39, ' '},
    {VK_CAPITAL, 0x3A, 0},
    {VK_F1, 0x3B, 0},
    {VK_F2, 0x3C, 0},
    {VK_F3, 0x3D, 0},
    {VK_F4, 0x3E, 0},
    {VK_F5, 0x3F, 0},
    {VK_F6, 0x40, 0},
    {VK_F7, 0x41, 0},
    {VK_F8, 0x42, 0},
    {VK_F9, 0x43, 0},
    {VK_F10, 0x44, 0},
    {VK_NUMLOCK, 0x45, 0},
    {VK_SCROLL, 0x46, 0},
    {VK_NUMPAD7, 0x47, '7'},
    {VK_NUMPAD8, 0x48, '8'},
    {VK_NUMPAD9, 0x49, '9'},
    {VK_SUBTRACT, 0x4A, '-'},
    {VK_NUMPAD4, 0x4B, '4'},
    {VK_NUMPAD5, 0x4C, '5'},
    {VK_NUMPAD6, 0x4D, '6'},
    {VK_ADD, 0x4E, '+'},
    {VK_NUMPAD1, 0x4F, '1'},
    {VK_NUMPAD2, 0x50, '2'},
    {VK_NUMPAD3, 0x51, '3'},
    {VK_NUMPAD0, 0x52, '0'},
    {VK_DECIMAL, 0x53, '.'},
    {VK_OEM_102, 0x56, '\\'},
    {VK_F11, 0x57, 0},
    {VK_F12, 0x58, 0},
    // The grey keys share their keypad twins' codes, marked extended.
    {VK_HOME, 0x47, 0},
    {VK_UP, 0x48, 0},
    {VK_PRIOR, 0x49, 0},
    {VK_LEFT, 0x4B, 0},
    {VK_RIGHT, 0x4D, 0},
    {VK_END, 0x4F, 0},
    {VK_DOWN, 0x50, 0},
    {VK_NEXT, 0x51, 0},
    {VK_INSERT, 0x52, 0},
    {VK_DELETE, 0x53, 0},
    {VK_DIVIDE, 0x35, '/'},
    {VK_RCONTROL, 0x1D, 0},
    {VK_RMENU, 0x38, 0},
    {VK_LWIN, 0x5B, 0},
    {VK_RWIN, 0x5C, 0},
    {VK_APPS, 0x5D, 0},
};

}  // namespace

UINT MapVirtualKeyW(UINT code, UINT mapType) {
  switch (mapType) {
    case MAPVK_VK_TO_VSC:
      for (const KeyDef& k : kKeys)
        if (UINT(k.vk) == code) return UINT(k.scan);
      return 0;
    case MAPVK_VSC_TO_VK:
    case MAPVK_VSC_TO_VK_EX:
      for (const KeyDef& k : kKeys)
        if (UINT(k.scan) == code) {
          if (mapType == MAPVK_VSC_TO_VK) {
            if (k.vk == VK_LSHIFT || k.vk == VK_RSHIFT) return VK_SHIFT;
            if (k.vk == VK_LCONTROL) return VK_CONTROL;
            if (k.vk == VK_LMENU) return VK_MENU;
          } else if (k.vk == VK_SHIFT || k.vk == VK_CONTROL || k.vk == VK_MENU) {
            continue;  // the side-specific entry follows
          }
          return UINT(k.vk);
        }
      return 0;
    case MAPVK_VK_TO_CHAR:
      if (code >= VK_NUMPAD0 && code <= VK_NUMPAD9) return '0' + (code - VK_NUMPAD0);
      for (const KeyDef& k : kKeys)
        if (UINT(k.vk) == code) return k.ch;
      return 0;
  }
  return 0;
}

HCURSOR LoadCursorW(HINSTANCE instance, const WCHAR* name) {
  if (instance || !IS_INTRESOURCE(name)) return 0;
  std::uintptr_t id = reinterpret_cast<std::uintptr_t>(name);
  switch (id) {
    case IDC_ARROW:
    case IDC_IBEAM:
    case IDC_WAIT:
    case IDC_CROSS:
    case IDC_UPARROW:
    case IDC_SIZENWSE:
    case IDC_SIZENESW:
    case IDC_SIZEWE:
    case IDC_SIZENS:
    case IDC_SIZEALL:
    case IDC_NO:
    case IDC_HAND:
    case IDC_APPSTARTING:
    case IDC_HELP: return HCURSOR(id);
  }
  return 0;
}

HCURSOR SetCursor(HCURSOR cursor) {
  HCURSOR old = gCursor;
  gCursor = cursor;
  if (cursor != old)
    if (HostWindowDriver* h = Host()) h->SetCursor(HostCursorFor(cursor));
  return old;
}

HCURSOR GetCursor() { return gCursor; }

BOOL GetCursorPos(POINT* p) {
  if (!p) return FALSE;
  ProcessPendingHostEvents();
  *p = gCursorPos;
  return TRUE;
}

BOOL SetCursorPos(int x, int y) {
  gCursorPos = POINT{x, y};
  if (HostWindowDriver* h = Host()) h->SetCursorPos(gCursorPos);
  InputEvent e;
  e.kind = InputEvent::MouseMove;
  e.pt = gCursorPos;
  e.time = Now();
  e.mk = MouseKeyFlags();
  QueueInput(e);
  return TRUE;
}

BOOL SetDoubleClickTime(UINT ms) {
  gDoubleClickTime = ms ? ms : 500;
  return TRUE;
}
