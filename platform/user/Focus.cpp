// Keyboard focus and activation: SetFocus, the active window and the application's activation,
// and where they go when windows hide or die.
#include "UserInternal.h"

namespace user {

HWND gFocus = 0;
HWND gActive = 0;
HWND gCapture = 0;
bool gAppActive = false;

namespace {

HWND gLastActive = 0;  // the active window before the application lost activation

void SetFocusWindow(HWND hwnd) {
  HWND prev = gFocus;
  if (prev == hwnd) return;
  gFocus = hwnd;
  if (prev && IsWindow(prev)) {
    Send(prev, WM_KILLFOCUS, WPARAM(hwnd));
    if (gFocus != hwnd) return;  // the handler moved it elsewhere
  }
  if (hwnd && IsWindow(hwnd)) Send(hwnd, WM_SETFOCUS, WPARAM(prev));
}

bool CanActivate(const Wnd* w) {
  return w && IsTopLevel(w) && (w->style & WS_VISIBLE) && !(w->style & WS_DISABLED) &&
         !(w->style & WS_MINIMIZE) && !(w->exStyle & WS_EX_NOACTIVATE);
}

void SendActivateApp(bool active) {
  for (HWND t : TopLevelHandles())
    if (IsWindow(t)) Send(t, WM_ACTIVATEAPP, active ? TRUE : FALSE, 0);
}

}  // namespace

void ActivateWindow(HWND hwnd, bool byMouse, bool fromHost) {
  Wnd* w = GetWnd(hwnd);
  if (!w || !IsTopLevel(w)) return;
  if (hwnd == gActive && gAppActive) return;
  HWND prev = gActive;
  if (prev && prev != hwnd && IsWindow(prev)) {
    Send(prev, WM_NCACTIVATE, FALSE, LPARAM(hwnd));
    Send(prev, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, IsIconic(prev) ? 1 : 0), LPARAM(hwnd));
  }
  if (!IsWindow(hwnd)) return;
  gActive = hwnd;
  gLastActive = hwnd;
  if (!gAppActive) {
    gAppActive = true;
    SendActivateApp(true);
    if (gActive != hwnd || !IsWindow(hwnd)) return;
  }
  if (prev == hwnd) prev = 0;
  Send(hwnd, WM_NCACTIVATE, TRUE, LPARAM(prev));
  Send(hwnd, WM_ACTIVATE, MAKEWPARAM(byMouse ? WA_CLICKACTIVE : WA_ACTIVE, IsIconic(hwnd) ? 1 : 0),
       LPARAM(prev));
  if (gActive != hwnd || !(w = GetWnd(hwnd))) return;
  // The active window comes to the top of its band.
  if (w->parent && !w->parent->children.empty() && w->parent->children.front() != w) {
    LinkWindow(w, HWND_TOP);
    RefreshDCs();
  }
  if (!fromHost && w->surface && w->surface->hostShown)
    if (HostWindowDriver* h = Host()) h->ActivateSurface(hwnd);
  Wnd* f = GetWnd(gFocus);
  if (!f || RootOf(f) != w) SetFocusWindow(hwnd);
}

void DeactivateApp(bool) {
  if (!gAppActive) return;
  HWND prev = gActive;
  gLastActive = prev;
  gActive = 0;
  if (prev && IsWindow(prev)) {
    Send(prev, WM_NCACTIVATE, FALSE, 0);
    Send(prev, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, IsIconic(prev) ? 1 : 0), 0);
  }
  gAppActive = false;
  SendActivateApp(false);
  if (gFocus) SetFocusWindow(0);
}

void FocusLeaving(HWND hwnd) {
  Wnd* w = GetWnd(hwnd);
  if (!w) return;
  if (gFocus && (gFocus == hwnd || IsDescendant(w, GetWnd(gFocus)))) {
    HWND to = (!IsTopLevel(w) && w->parent) ? w->parent->handle : 0;
    if (!to || !SetFocus(to)) SetFocusWindow(0);
  }
  if (!(w = GetWnd(hwnd)) || hwnd != gActive) return;
  // Activation goes to the owner, else to the next window that can take it.
  HWND next = 0;
  if (CanActivate(w->owner)) next = w->owner->handle;
  if (!next)
    for (Wnd* t : Desktop()->children)
      if (t != w && CanActivate(t)) {
        next = t->handle;
        break;
      }
  if (next) ActivateWindow(next, false, false);
  else DeactivateApp(false);
}

void ForgetWindowState(HWND hwnd) {
  if (gFocus == hwnd) gFocus = 0;
  if (gActive == hwnd) gActive = 0;
  if (gLastActive == hwnd) gLastActive = 0;
  if (gCapture == hwnd) {
    gCapture = 0;
    if (HostWindowDriver* h = Host()) h->SetCapture(0);
  }
}

void ResetFocus() {
  gFocus = gActive = gCapture = gLastActive = 0;
  gAppActive = false;
}

}  // namespace user

using namespace user;

HWND SetFocus(HWND hwnd) {
  HWND prev = gFocus;
  if (!hwnd) {
    SetFocusWindow(0);
    return prev;
  }
  Wnd* w = GetWndOrError(hwnd);
  if (!w || w == Desktop()) return 0;
  if (hwnd == gFocus) return prev;
  for (Wnd* a = w; a && a->parent; a = a->parent) {
    if (a->style & (WS_MINIMIZE | WS_DISABLED)) return 0;
    if (IsTopLevel(a)) break;
  }
  Wnd* top = RootOf(w);
  if (top->handle != gActive || !gAppActive) {
    HWND th = top->handle;
    ActivateWindow(th, false, false);
    if (!IsWindow(hwnd) || gActive != th) return 0;
  }
  prev = gFocus;
  SetFocusWindow(hwnd);
  return prev;
}

HWND GetFocus() { return gFocus && IsWindow(gFocus) ? gFocus : 0; }

HWND SetActiveWindow(HWND hwnd) {
  HWND prev = gActive;
  if (!hwnd) {
    DeactivateApp(false);
    return prev;
  }
  Wnd* w = GetWndOrError(hwnd);
  if (!w || w == Desktop()) return 0;
  Wnd* top = RootOf(w);
  ActivateWindow(top->handle, false, false);
  return prev;
}

HWND GetActiveWindow() { return gActive && IsWindow(gActive) ? gActive : 0; }
