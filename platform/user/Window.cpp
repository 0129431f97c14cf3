// The window tree: handles, creation and destruction in the platform's message order, window
// data, properties, text and tree queries.
#include <unistd.h>

#include <cstring>

#include "UserInternal.h"

namespace user {
namespace {

struct Tree {
  std::unordered_map<HWND, std::unique_ptr<Wnd>> windows;
  std::vector<std::unique_ptr<Wnd>> graveyard;
  Wnd* desktop = nullptr;
  HWND next = 0x00020004;
  int cascade = 0;
};

Tree& T() {
  static Tree t;
  return t;
}

constexpr HWND kDesktopHandle = 0x00010010;

HWND NewHandle() {
  Tree& t = T();
  HWND h = t.next;
  t.next += 4;
  if (t.next < 0x00020004) t.next = 0x00020004;  // wrapped: start over above the desktop
  while (t.windows.count(t.next) || t.next == kDesktopHandle) t.next += 4;
  return h;
}

void SendParentNotify(HWND hwnd, UINT msg) {
  Wnd* w = GetWnd(hwnd);
  if (!w || (w->style & (WS_CHILD | WS_POPUP)) != WS_CHILD || (w->exStyle & WS_EX_NOPARENTNOTIFY))
    return;
  Wnd* p = w->parent;
  if (!p || p == Desktop()) return;
  Send(p->handle, WM_PARENTNOTIFY, MAKEWPARAM(int(msg), int(w->id)), LPARAM(hwnd));
}

// The window manager's placement of an overlapped window created with CW_USEDEFAULT.
void DefaultPlacement(int& x, int& y, int& cx, int& cy, bool defaultPos, bool defaultSize) {
  RECT work{0, 0, 1024, 768};
  for (const HostScreen& s : Screens())
    if (s.primary) work = s.workArea;
  int step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
  if (defaultPos) {
    int k = T().cascade++ % 8;
    x = work.left + k * step;
    y = work.top + k * step;
  }
  if (defaultSize) {
    cx = (work.right - work.left) * 3 / 4;
    cy = (work.bottom - work.top) * 3 / 4;
  }
}

void FreeWindowResources(Wnd* w) {
  HWND h = w->handle;
  KillWindowTimers(h);
  CancelTrackingFor(h);
  ReleaseWindowDCs(h);
  CaretWindowDestroyed(h);
  DropDeviceLayer(h);
  if (w->surface) DestroySurface(w);
  ForgetWindowState(h);
  if (w->cls) w->cls->windows--;
}

// Children first, each sent WM_NCDESTROY after its own children; then the window leaves the
// tree and its record waits for the delivery depth to drop to zero.
void DestroyStorage(HWND hwnd) {
  Wnd* w = GetWnd(hwnd);
  if (!w) return;
  for (HWND c : ChildHandles(w)) DestroyStorage(c);
  w = GetWnd(hwnd);
  if (!w) return;
  Send(hwnd, WM_NCDESTROY);
  w = GetWnd(hwnd);
  if (!w) return;
  for (HWND c : ChildHandles(w)) DestroyStorage(c);  // created during WM_NCDESTROY
  w = GetWnd(hwnd);
  if (!w) return;
  // Owned windows lose their owner rather than point at a dead record.
  for (HWND top : TopLevelHandles())
    if (Wnd* o = GetWnd(top); o && o->owner == w) o->owner = nullptr;
  FreeWindowResources(w);
  DropWindowMessages(hwnd);
  UnlinkWindow(w);
  w->dead = true;
  Tree& t = T();
  auto it = t.windows.find(hwnd);
  if (it != t.windows.end()) {
    t.graveyard.push_back(std::move(it->second));
    t.windows.erase(it);
  }
  FreeDeadWindows();
}

void SendDestroyMessages(HWND hwnd) {
  if (!GetWnd(hwnd)) return;
  if (hwnd == gCapture) ReleaseCapture();
  FocusLeaving(hwnd);
  Send(hwnd, WM_DESTROY);
  Wnd* w = GetWnd(hwnd);
  if (!w) return;
  for (HWND c : ChildHandles(w)) SendDestroyMessages(c);
}

}  // namespace

Wnd* GetWnd(HWND hwnd) {
  Tree& t = T();
  if (hwnd == kDesktopHandle) return Desktop();
  auto it = t.windows.find(hwnd);
  return it == t.windows.end() ? nullptr : it->second.get();
}

Wnd* GetWndOrError(HWND hwnd) {
  Wnd* w = GetWnd(hwnd);
  if (!w) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return w;
}

Wnd* Desktop() {
  Tree& t = T();
  if (!t.desktop) {
    static Wnd desktop;
    desktop = Wnd{};
    desktop.handle = kDesktopHandle;
    desktop.style = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    desktop.rect = desktop.client = RECT{0, 0, 1024, 768};
    t.desktop = &desktop;
  }
  return t.desktop;
}

void SetDesktopRect(const RECT& r) {
  Desktop()->rect = r;
  Desktop()->client = r;
}

Wnd* RootOf(Wnd* w) {
  if (!w || !w->parent) return nullptr;
  while (w->parent && w->parent->parent) w = w->parent;
  return w;
}

bool IsVisibleChain(const Wnd* w) {
  for (; w && w->parent; w = w->parent)
    if (!(w->style & WS_VISIBLE)) return false;
  return w != nullptr;
}

bool IsDescendant(const Wnd* ancestor, const Wnd* w) {
  for (const Wnd* p = w ? w->parent : nullptr; p; p = p->parent)
    if (p == ancestor) return true;
  return false;
}

POINT ClientOrigin(const Wnd* w) {
  POINT p{w->client.left, w->client.top};
  for (const Wnd* a = w->parent; a && a->parent; a = a->parent) {
    p.x += a->client.left;
    p.y += a->client.top;
  }
  return p;
}

RECT ScreenWindowRect(const Wnd* w) {
  if (!w->parent || !w->parent->parent) return w->rect;
  POINT o = ClientOrigin(w->parent);
  return Offset(w->rect, o.x, o.y);
}

RECT ScreenClientRect(const Wnd* w) {
  if (!w->parent || !w->parent->parent) return w->client;
  POINT o = ClientOrigin(w->parent);
  return Offset(w->client, o.x, o.y);
}

RECT SurfaceWindowRect(const Wnd* w) {
  const Wnd* top = RootOf(const_cast<Wnd*>(w));
  if (!top) return w->rect;
  RECT r = ScreenWindowRect(w);
  return Offset(r, -top->rect.left, -top->rect.top);
}

RECT SurfaceClientRect(const Wnd* w) {
  const Wnd* top = RootOf(const_cast<Wnd*>(w));
  if (!top) return w->client;
  RECT r = ScreenClientRect(w);
  return Offset(r, -top->rect.left, -top->rect.top);
}

void UnlinkWindow(Wnd* w) {
  if (!w->parent) return;
  auto& kids = w->parent->children;
  for (auto it = kids.begin(); it != kids.end(); ++it)
    if (*it == w) {
      kids.erase(it);
      break;
    }
}

void LinkWindow(Wnd* w, HWND insertAfter) {
  Wnd* p = w->parent;
  if (!p) return;
  UnlinkWindow(w);
  auto& kids = p->children;
  bool topLevel = p == Desktop();
  if (topLevel) {
    if (insertAfter == HWND_TOPMOST) w->exStyle |= WS_EX_TOPMOST;
    if (insertAfter == HWND_NOTOPMOST) w->exStyle &= ~WS_EX_TOPMOST;
  }
  // Topmost windows stay in a band above the others.
  auto bandBegin = kids.begin(), bandEnd = kids.end();
  if (topLevel) {
    auto firstNormal = std::find_if(kids.begin(), kids.end(),
                                    [](Wnd* k) { return !(k->exStyle & WS_EX_TOPMOST); });
    if (w->exStyle & WS_EX_TOPMOST) bandEnd = firstNormal;
    else bandBegin = firstNormal;
  }
  std::vector<Wnd*>::iterator at;
  if (insertAfter == HWND_TOP || insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST) {
    at = bandBegin;
  } else if (insertAfter == HWND_BOTTOM) {
    at = bandEnd;
  } else {
    at = std::find_if(bandBegin, bandEnd, [&](Wnd* k) { return k->handle == insertAfter; });
    at = at == bandEnd ? bandBegin : at + 1;
  }
  kids.insert(at, w);
}

void FreeDeadWindows() {
  if (gDeliveryDepth == 0) T().graveyard.clear();
}

std::vector<HWND> ChildHandles(const Wnd* w) {
  std::vector<HWND> out;
  out.reserve(w->children.size());
  for (Wnd* c : w->children) out.push_back(c->handle);
  return out;
}

std::vector<HWND> TopLevelHandles() { return ChildHandles(Desktop()); }

DWORD FixStyleForParent(DWORD style, bool topLevel) {
  if (topLevel) {
    style |= WS_CLIPSIBLINGS;
    if (!(style & WS_POPUP)) style |= WS_CAPTION;
  }
  return style;
}

void ResetWindows() {
  Tree& t = T();
  t.windows.clear();
  t.graveyard.clear();
  if (t.desktop) t.desktop->children.clear();
  t.cascade = 0;
}

}  // namespace user

using namespace user;

HWND CreateWindowExW(DWORD exStyle, const WCHAR* className, const WCHAR* windowName, DWORD style,
                     int x, int y, int cx, int cy, HWND parentHandle, HMENU menu,
                     HINSTANCE instance, void* param) {
  WndClass* cls = FindClass(className);
  if (!cls && RegisterSystemClassByName(className)) cls = FindClass(className);
  Screens();
  if (!cls) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return 0;
  }
  Wnd* parent = Desktop();
  Wnd* owner = nullptr;
  if (parentHandle == HWND_MESSAGE) parentHandle = 0;
  if (style & WS_CHILD) {
    if (!parentHandle) {
      SetLastError(ERROR_TLW_WITH_WSCHILD);
      return 0;
    }
    parent = GetWndOrError(parentHandle);
    if (!parent) return 0;
  } else if (parentHandle) {
    Wnd* p = GetWndOrError(parentHandle);
    if (!p) return 0;
    owner = p == Desktop() ? nullptr : RootOf(p);
  }
  bool topLevel = parent == Desktop();
  style = FixStyleForParent(style, topLevel);
  if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME) ||
      (!(exStyle & WS_EX_STATICEDGE) && (style & (WS_DLGFRAME | WS_THICKFRAME))))
    exStyle |= WS_EX_WINDOWEDGE;
  else exStyle &= ~WS_EX_WINDOWEDGE;

  bool overlapped = topLevel && !(style & WS_POPUP);
  if (overlapped && (x == CW_USEDEFAULT || cx == CW_USEDEFAULT)) {
    DefaultPlacement(x, y, cx, cy, x == CW_USEDEFAULT, cx == CW_USEDEFAULT);
  } else {
    if (x == CW_USEDEFAULT) x = y = 0;
    if (cx == CW_USEDEFAULT) cx = cy = 0;
  }
  if (cx < 0) cx = 0;
  if (cy < 0) cy = 0;

  auto owned = std::make_unique<Wnd>();
  Wnd* w = owned.get();
  w->handle = NewHandle();
  w->cls = cls;
  w->proc = cls->proc;
  w->style = style & ~WS_VISIBLE;
  w->exStyle = exStyle;
  w->id = (style & WS_CHILD) ? LONG_PTR(menu) : 0;
  w->instance = instance;
  w->parent = parent;
  w->owner = owner;
  w->extra.assign(std::size_t(cls->wndExtra), 0);
  w->needSize = overlapped;
  w->scroll[SB_HORZ].max = w->scroll[SB_VERT].max = 100;
  cls->windows++;
  HWND hwnd = w->handle;
  T().windows.emplace(hwnd, std::move(owned));

  CREATESTRUCTW cs;
  cs.lpCreateParams = param;
  cs.hInstance = instance;
  cs.hMenu = menu;
  cs.hwndParent = topLevel ? (owner ? owner->handle : 0) : parent->handle;
  cs.x = x;
  cs.y = y;
  cs.cx = cx;
  cs.cy = cy;
  cs.style = LONG(style);
  cs.lpszName = windowName;
  cs.lpszClass = className;
  cs.dwExStyle = exStyle;

  if ((style & WS_THICKFRAME) || !(style & (WS_POPUP | WS_CHILD))) {
    MINMAXINFO mmi;
    mmi.ptMinTrackSize = {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    mmi.ptMaxTrackSize = {GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    mmi.ptMaxSize = {GetSystemMetrics(SM_CXMAXIMIZED), GetSystemMetrics(SM_CYMAXIMIZED)};
    Send(hwnd, WM_GETMINMAXINFO, 0, LPARAM(&mmi));
    if (!GetWnd(hwnd)) return 0;
    cs.cx = std::clamp<int>(cs.cx, std::min(mmi.ptMinTrackSize.x, mmi.ptMaxTrackSize.x),
                            mmi.ptMaxTrackSize.x);
    cs.cy = std::clamp<int>(cs.cy, std::min(mmi.ptMinTrackSize.y, mmi.ptMaxTrackSize.y),
                            mmi.ptMaxTrackSize.y);
  }
  w->rect = {cs.x, cs.y, cs.x + cs.cx, cs.y + cs.cy};
  w->client = w->rect;
  w->normal = w->rect;

  if (!Send(hwnd, WM_NCCREATE, 0, LPARAM(&cs))) {
    if (GetWnd(hwnd)) DestroyStorage(hwnd);
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  w = GetWnd(hwnd);
  if (!w) return 0;
  w->created = true;
  LinkWindow(w, HWND_TOP);

  RECT client = w->rect;
  Send(hwnd, WM_NCCALCSIZE, FALSE, LPARAM(&client));
  if (!(w = GetWnd(hwnd))) return 0;
  if (client.right < client.left) client.right = client.left;
  if (client.bottom < client.top) client.bottom = client.top;
  w->client = client;

  if (Send(hwnd, WM_CREATE, 0, LPARAM(&cs)) == -1) {
    if (GetWnd(hwnd)) DestroyWindow(hwnd);
    return 0;
  }
  if (!(w = GetWnd(hwnd))) return 0;
  if (!w->needSize) {
    RECT c = w->client;
    Send(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(c.right - c.left, c.bottom - c.top));
    Send(hwnd, WM_MOVE, 0, MAKELPARAM(c.left, c.top));
    if (!GetWnd(hwnd)) return 0;
  }
  SendParentNotify(hwnd, WM_CREATE);
  if (!GetWnd(hwnd)) return 0;
  if (style & WS_VISIBLE) {
    int cmd = (style & WS_MAXIMIZE)   ? SW_SHOWMAXIMIZED
              : (style & WS_MINIMIZE) ? SW_SHOWMINIMIZED
                                      : SW_SHOW;
    if (!topLevel) cmd = SW_SHOW;
    ShowWindow(hwnd, cmd);
  }
  return GetWnd(hwnd) ? hwnd : 0;
}

BOOL DestroyWindow(HWND hwnd) {
  Wnd* w = GetWndOrError(hwnd);
  if (!w || w == Desktop()) return FALSE;
  if (w->destroying) return TRUE;
  w->destroying = true;
  bool child = (w->style & (WS_CHILD | WS_POPUP)) == WS_CHILD && !IsTopLevel(w);
  if (child) SendParentNotify(hwnd, WM_DESTROY);
  if (!(w = GetWnd(hwnd))) return TRUE;
  if (w->style & WS_VISIBLE) {
    if (child) ShowWindow(hwnd, SW_HIDE);
    else
      SetWindowPos(hwnd, 0, 0, 0, 0, 0,
                   SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_HIDEWINDOW);
  }
  if (!(w = GetWnd(hwnd))) return TRUE;
  if (IsTopLevel(w)) {
    for (HWND top : TopLevelHandles()) {
      Wnd* o = GetWnd(top);
      if (o && o->owner == w && !o->destroying) DestroyWindow(top);
    }
  }
  SendDestroyMessages(hwnd);
  if (GetWnd(hwnd)) DestroyStorage(hwnd);
  RefreshDCs();
  return TRUE;
}

BOOL IsWindow(HWND hwnd) { return GetWnd(hwnd) ? TRUE : FALSE; }

BOOL IsWindowVisible(HWND hwnd) {
  Wnd* w = GetWnd(hwnd);
  return w && IsVisibleChain(w) ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND hwnd) {
  Wnd* w = GetWnd(hwnd);
  return w && !(w->style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL IsIconic(HWND hwnd) {
  Wnd* w = GetWnd(hwnd);
  return w && (w->style & WS_MINIMIZE) ? TRUE : FALSE;
}

BOOL IsZoomed(HWND hwnd) {
  Wnd* w = GetWnd(hwnd);
  return w && (w->style & WS_MAXIMIZE) ? TRUE : FALSE;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
  Wnd* w = GetWndOrError(hwnd);
  if (!w) return FALSE;
  bool wasDisabled = (w->style & WS_DISABLED) != 0;
  if (enable && wasDisabled) {
    w->style &= ~WS_DISABLED;
    Send(hwnd, WM_ENABLE, TRUE);
  } else if (!enable && !wasDisabled) {
    Send(hwnd, WM_CANCELMODE);
    if (!(w = GetWnd(hwnd))) return FALSE;
    w->style |= WS_DISABLED;
    if (hwnd == gFocus) SetFocus(0);
    if (hwnd == gCapture) ReleaseCapture();
    Send(hwnd, WM_ENABLE, FALSE);
  }
  return wasDisabled ? TRUE : FALSE;
}

// ---- Window data ----

namespace {

template <class T>
bool ExtraAt(Wnd* w, int index, T** at) {
  if (index < 0 || std::size_t(index) + sizeof(T) > w->extra.size()) {
    SetLastError(ERROR_INVALID_INDEX);
    return false;
  }
  *at = reinterpret_cast<T*>(w->extra.data() + index);
  return true;
}

LONG_PTR SetStyle(HWND hwnd, int index, DWORD value) {
  Wnd* w = GetWnd(hwnd);
  DWORD& field = index == GWL_STYLE ? w->style : w->exStyle;
  STYLESTRUCT ss{field, value};
  if (index == GWL_EXSTYLE) ss.styleNew = (value & ~WS_EX_TOPMOST) | (field & WS_EX_TOPMOST);
  Send(hwnd, WM_STYLECHANGING, WPARAM(index), LPARAM(&ss));
  if (!(w = GetWnd(hwnd))) return 0;
  DWORD& f = index == GWL_STYLE ? w->style : w->exStyle;
  DWORD old = f;
  f = ss.styleNew;
  if (index == GWL_STYLE && w->redrawOff) w->redrawOff = false;
  ss.styleOld = old;
  Send(hwnd, WM_STYLECHANGED, WPARAM(index), LPARAM(&ss));
  return LONG_PTR(old);
}

}  // namespace

LONG_PTR GetWindowLongPtrW(HWND hwnd, int index) {
  Wnd* w = GetWndOrError(hwnd);
  if (!w) return 0;
  if (index >= 0) {
    LONG_PTR* at;
    if (!ExtraAt(w, index, &at)) return 0;
    LONG_PTR v;
    std::memcpy(&v, at, sizeof v);
    return v;
  }
  switch (index) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE: return LONG_PTR(w->instance);
    case GWLP_HWNDPARENT:
      return IsTopLevel(w) ? LONG_PTR(w->owner ? w->owner->handle : 0)
                           : LONG_PTR(w->parent ? w->parent->handle : 0);
    case GWL_STYLE: return LONG_PTR(DWORD(w->style));
    case GWL_EXSTYLE: return LONG_PTR(DWORD(w->exStyle));
    case GWLP_USERDATA: return w->userData;
    case GWLP_ID: return w->id;
  }
  SetLastError(ERROR_INVALID_INDEX);
  return 0;
}

LONG_PTR SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value) {
  Wnd* w = GetWndOrError(hwnd);
  if (!w || w == Desktop()) return 0;
  if (index >= 0) {
    LONG_PTR* at;
    if (!ExtraAt(w, index, &at)) return 0;
    LONG_PTR old;
    std::memcpy(&old, at, sizeof old);
    std::memcpy(at, &value, sizeof value);
    return old;
  }
  LONG_PTR old = GetWindowLongPtrW(hwnd, index);
  switch (index) {
    case GWLP_WNDPROC: w->proc = reinterpret_cast<WNDPROC>(value); return old;
    case GWLP_HINSTANCE: w->instance = HINSTANCE(value); return old;
    case GWLP_HWNDPARENT:
      if (IsTopLevel(w)) {
        Wnd* o = GetWnd(HWND(value));
        w->owner = o && o != Desktop() && o != w ? RootOf(o) : nullptr;
      }
      return old;
    case GWL_STYLE:
    case GWL_EXSTYLE: return SetStyle(hwnd, index, DWORD(value));
    case GWLP_USERDATA: w->userData = value; return old;
    case GWLP_ID: w->id = value; return old;
  }
  SetLastError(ERROR_INVALID_INDEX);
  return 0;
}

namespace {

// The 32-bit calls: no window procedure through them (a pointer does not fit), and the extra
// bytes read as a LONG. Null, with the error set, where neither applies.
bool RefusedIn32Bits(int index) {
  if (index != GWL_WNDPROC) return false;
  SetLastError(ERROR_INVALID_INDEX);
  return true;
}

LONG* ExtraLong(HWND hwnd, int index) {
  Wnd* w = GetWndOrError(hwnd);
  LONG* at;
  return w && ExtraAt(w, index, &at) ? at : nullptr;
}

}  // namespace

LONG GetWindowLongW(HWND hwnd, int index) {
  if (RefusedIn32Bits(index)) return 0;
  if (index >= 0) {
    LONG* at = ExtraLong(hwnd, index);
    LONG v = 0;
    if (at) std::memcpy(&v, at, sizeof v);
    return v;
  }
  return LONG(GetWindowLongPtrW(hwnd, index));
}

LONG SetWindowLongW(HWND hwnd, int index, LONG value) {
  if (RefusedIn32Bits(index)) return 0;
  if (index >= 0) {
    LONG* at = ExtraLong(hwnd, index);
    LONG old = 0;
    if (!at) return 0;
    std::memcpy(&old, at, sizeof old);
    std::memcpy(at, &value, sizeof value);
    return old;
  }
  LONG_PTR v = (index == GWL_STYLE || index == GWL_EXSTYLE) ? LONG_PTR(DWORD(value)) : value;
  return LONG(SetWindowLongPtrW(hwnd, index, v));
}

int GetDlgCtrlID(HWND hwnd) {
  Wnd* w = GetWndOrError(hwnd);
  return w ? int(w->id) : 0;
}

HWND GetDlgItem(HWND parent, int id) {
  Wnd* p = GetWndOrError(parent);
  if (!p) return 0;
  for (Wnd* c : p->children)
    if (int(c->id) == id) return c->handle;
  return 0;
}

namespace {

// A property's name: a string, or an atom passed in the pointer.
String PropName(const WCHAR* name) {
  return IS_INTRESOURCE(name) ? String(1, Char(reinterpret_cast<std::uintptr_t>(name)))
                              : String(name);
}

}  // namespace

BOOL SetPropW(HWND hwnd, const WCHAR* name, HANDLE data) {
  Wnd* w = GetWndOrError(hwnd);
  if (!w || !name) return FALSE;
  String n = PropName(name);
  for (auto& p : w->props)
    if (SameText(p.first, n)) {
      p.second = data;
      return TRUE;
    }
  w->props.emplace_back(n, data);
  return TRUE;
}

HANDLE GetPropW(HWND hwnd, const WCHAR* name) {
  Wnd* w = GetWnd(hwnd);
  if (!w || !name) return 0;
  String n = PropName(name);
  for (auto& p : w->props)
    if (SameText(p.first, n)) return p.second;
  return 0;
}

HANDLE RemovePropW(HWND hwnd, const WCHAR* name) {
  Wnd* w = GetWnd(hwnd);
  if (!w || !name) return 0;
  String n = PropName(name);
  for (auto it = w->props.begin(); it != w->props.end(); ++it)
    if (SameText(it->first, n)) {
      HANDLE v = it->second;
      w->props.erase(it);
      return v;
    }
  return 0;
}

BOOL SetWindowTextW(HWND hwnd, const WCHAR* text) {
  if (!GetWndOrError(hwnd)) return FALSE;
  return Send(hwnd, WM_SETTEXT, 0, LPARAM(text)) ? TRUE : FALSE;
}

int GetWindowTextW(HWND hwnd, WCHAR* text, int maxCount) {
  if (!text || maxCount <= 0) return 0;
  text[0] = 0;
  if (!GetWndOrError(hwnd)) return 0;
  return int(Send(hwnd, WM_GETTEXT, WPARAM(maxCount), LPARAM(text)));
}

int GetWindowTextLengthW(HWND hwnd) {
  if (!GetWndOrError(hwnd)) return 0;
  return int(Send(hwnd, WM_GETTEXTLENGTH));
}

int InternalGetWindowText(HWND hwnd, WCHAR* text, int maxCount) {
  Wnd* w = GetWndOrError(hwnd);
  if (!w || !text || maxCount <= 0) return 0;
  int n = std::min<int>(int(w->text.size()), maxCount - 1);
  std::memcpy(text, w->text.data(), std::size_t(n) * sizeof(WCHAR));
  text[n] = 0;
  return n;
}

// ---- The tree ----

HWND GetDesktopWindow() { return Desktop()->handle; }

HWND GetWindow(HWND hwnd, UINT cmd) {
  Wnd* w = GetWndOrError(hwnd);
  if (!w) return 0;
  switch (cmd) {
    case GW_CHILD: return w->children.empty() ? 0 : w->children.front()->handle;
    case GW_OWNER: return IsTopLevel(w) && w->owner ? w->owner->handle : 0;
    case GW_ENABLEDPOPUP: {
      for (Wnd* t : Desktop()->children)
        if (t->owner == w && (t->style & WS_VISIBLE) && !(t->style & WS_DISABLED) &&
            (t->style & WS_POPUP))
          return t->handle;
      return 0;
    }
  }
  if (!w->parent) return 0;
  auto& kids = w->parent->children;
  auto it = std::find(kids.begin(), kids.end(), w);
  if (it == kids.end()) return 0;
  switch (cmd) {
    case GW_HWNDFIRST: return kids.front()->handle;
    case GW_HWNDLAST: return kids.back()->handle;
    case GW_HWNDNEXT: return it + 1 == kids.end() ? 0 : (*(it + 1))->handle;
    case GW_HWNDPREV: return it == kids.begin() ? 0 : (*(it - 1))->handle;
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return 0;
}

HWND GetParent(HWND hwnd) {
  Wnd* w = GetWndOrError(hwnd);
  if (!w || !w->parent) return 0;
  if (w->style & WS_CHILD) return IsTopLevel(w) ? 0 : w->parent->handle;
  if (w->style & WS_POPUP) return w->owner ? w->owner->handle : 0;
  return 0;
}

HWND GetAncestor(HWND hwnd, UINT flags) {
  Wnd* w = GetWndOrError(hwnd);
  if (!w || w == Desktop()) return 0;
  switch (flags) {
    case GA_PARENT: return w->parent ? w->parent->handle : 0;
    case GA_ROOT: return RootOf(w)->handle;
    case GA_ROOTOWNER: {
      Wnd* r = RootOf(w);
      while (r->owner) r = r->owner;
      return r->handle;
    }
  }
  return 0;
}

BOOL IsChild(HWND parent, HWND hwnd) {
  Wnd* p = GetWnd(parent);
  Wnd* w = GetWnd(hwnd);
  if (!p || !w) return FALSE;
  for (Wnd* a = w; a->parent && a->parent != Desktop(); a = a->parent) {
    if (!(a->style & WS_CHILD)) return FALSE;
    if (a->parent == p) return TRUE;
  }
  return FALSE;
}

HWND SetParent(HWND child, HWND newParent) {
  Wnd* w = GetWndOrError(child);
  if (!w || w == Desktop()) return 0;
  Wnd* np = newParent ? GetWndOrError(newParent) : Desktop();
  if (!np) return 0;
  if (np == w || IsDescendant(w, np)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  HWND old = w->parent ? w->parent->handle : 0;
  if (w->parent == np) return old;
  bool wasVisible = ShowWindow(child, SW_HIDE);
  if (!(w = GetWnd(child))) return 0;
  if (!(np = newParent ? GetWnd(newParent) : Desktop())) return 0;
  bool wasTop = IsTopLevel(w);
  UnlinkWindow(w);
  w->parent = np;
  if (np == Desktop()) {
    w->owner = nullptr;
  } else if (wasTop && w->surface) {
    DestroySurface(w);
  }
  LinkWindow(w, HWND_TOP);
  SetWindowPos(child, HWND_TOP, 0, 0, 0, 0,
               SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | (wasVisible ? SWP_SHOWWINDOW : 0));
  RefreshDCs();
  return old == Desktop()->handle ? GetDesktopWindow() : old;
}

namespace {

bool EnumTree(const std::vector<HWND>& list, WNDENUMPROC proc, LPARAM lParam) {
  for (HWND h : list) {
    if (!GetWnd(h)) continue;
    if (!proc(h, lParam)) return false;
    Wnd* w = GetWnd(h);
    if (w && !EnumTree(ChildHandles(w), proc, lParam)) return false;
  }
  return true;
}

}  // namespace

BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM lParam) {
  Wnd* p = parent ? GetWndOrError(parent) : Desktop();
  if (!p || !proc) return FALSE;
  EnumTree(ChildHandles(p), proc, lParam);
  return TRUE;
}

BOOL EnumWindows(WNDENUMPROC proc, LPARAM lParam) {
  if (!proc) return FALSE;
  for (HWND h : TopLevelHandles())
    if (GetWnd(h) && !proc(h, lParam)) return FALSE;
  return TRUE;
}
