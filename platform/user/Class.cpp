// Window classes: registration, lookup by name or atom, class data.
#include <cstring>

#include "SystemControls.h"
#include "UserInternal.h"

namespace user {
namespace {

std::vector<std::unique_ptr<WndClass>>& Classes() {
  static std::vector<std::unique_ptr<WndClass>> classes;
  return classes;
}
ATOM gNextAtom = 0xC000;

String NameOf(const WCHAR* name) { return name ? String(name) : String(); }

}  // namespace

WndClass* FindClass(const WCHAR* name) {
  if (!name) return nullptr;
  if (IS_INTRESOURCE(name)) {
    ATOM atom = ATOM(reinterpret_cast<std::uintptr_t>(name));
    for (auto& c : Classes())
      if (c->atom == atom) return c.get();
    return nullptr;
  }
  String n(name);
  for (auto& c : Classes())
    if (SameText(c->name, n)) return c.get();
  return nullptr;
}

// The standard classes, registered on first use of their names.
bool RegisterSystemClassByName(const WCHAR* name) {
  if (!name || IS_INTRESOURCE(name)) return false;
  struct Entry {
    const char16_t* name;
    void (*reg)();
  };
  static const Entry kEntries[] = {
      {u"EDIT", RegisterEditControlClass},         {u"BUTTON", RegisterButtonControlClass},
      {u"STATIC", RegisterStaticControlClass},     {u"msctls_updown32", RegisterUpDownControlClass},
      {u"COMBOBOX", RegisterComboBoxControlClass}, {u"ComboLBox", RegisterComboBoxControlClass},
  };
  // The registering functions ask GetClassInfoExW whether their class exists.
  static bool busy = false;
  if (busy) return false;
  String n(name);
  for (const Entry& e : kEntries)
    if (SameText(n, String(e.name))) {
      if (!FindClass(name)) {
        busy = true;
        e.reg();
        busy = false;
      }
      return true;
    }
  return false;
}

void ResetClasses() {
  Classes().clear();
  gNextAtom = 0xC000;
}

}  // namespace user

using namespace user;

ATOM RegisterClassExW(const WNDCLASSEXW* wc) {
  if (!wc || wc->cbSize != sizeof(WNDCLASSEXW) || !wc->lpszClassName || !wc->lpfnWndProc ||
      wc->cbClsExtra < 0 || wc->cbWndExtra < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (IS_INTRESOURCE(wc->lpszClassName) || FindClass(wc->lpszClassName)) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  auto c = std::make_unique<WndClass>();
  c->atom = gNextAtom++;
  c->name = NameOf(wc->lpszClassName);
  c->style = wc->style;
  c->proc = wc->lpfnWndProc;
  c->clsExtra = wc->cbClsExtra;
  c->wndExtra = wc->cbWndExtra;
  c->instance = wc->hInstance;
  c->icon = wc->hIcon;
  c->iconSm = wc->hIconSm;
  c->cursor = wc->hCursor;
  c->background = wc->hbrBackground;
  c->menuName = reinterpret_cast<std::uintptr_t>(wc->lpszMenuName);
  ATOM atom = c->atom;
  Classes().push_back(std::move(c));
  return atom;
}

ATOM RegisterClassW(const WNDCLASSW* wc) {
  if (!wc) return 0;
  WNDCLASSEXW ex;
  ex.style = wc->style;
  ex.lpfnWndProc = wc->lpfnWndProc;
  ex.cbClsExtra = wc->cbClsExtra;
  ex.cbWndExtra = wc->cbWndExtra;
  ex.hInstance = wc->hInstance;
  ex.hIcon = wc->hIcon;
  ex.hCursor = wc->hCursor;
  ex.hbrBackground = wc->hbrBackground;
  ex.lpszMenuName = wc->lpszMenuName;
  ex.lpszClassName = wc->lpszClassName;
  return RegisterClassExW(&ex);
}

BOOL UnregisterClassW(const WCHAR* className, HINSTANCE) {
  WndClass* c = FindClass(className);
  if (!c) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  if (c->windows > 0) {
    SetLastError(ERROR_CLASS_HAS_WINDOWS);
    return FALSE;
  }
  auto& all = Classes();
  for (auto it = all.begin(); it != all.end(); ++it)
    if (it->get() == c) {
      all.erase(it);
      break;
    }
  return TRUE;
}

BOOL GetClassInfoExW(HINSTANCE, const WCHAR* className, WNDCLASSEXW* wc) {
  WndClass* c = FindClass(className);
  // The standard classes exist from the start, as far as anyone asking can tell.
  if (!c && RegisterSystemClassByName(className)) c = FindClass(className);
  if (!c || !wc) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  wc->style = c->style;
  wc->lpfnWndProc = c->proc;
  wc->cbClsExtra = c->clsExtra;
  wc->cbWndExtra = c->wndExtra;
  wc->hInstance = c->instance;
  wc->hIcon = c->icon;
  wc->hIconSm = c->iconSm;
  wc->hCursor = c->cursor;
  wc->hbrBackground = c->background;
  wc->lpszMenuName = reinterpret_cast<const WCHAR*>(c->menuName);
  wc->lpszClassName = className;
  return c->atom;
}

BOOL GetClassInfoW(HINSTANCE instance, const WCHAR* className, WNDCLASSW* wc) {
  WNDCLASSEXW ex;
  if (!wc || !GetClassInfoExW(instance, className, &ex)) return FALSE;
  wc->style = ex.style;
  wc->lpfnWndProc = ex.lpfnWndProc;
  wc->cbClsExtra = ex.cbClsExtra;
  wc->cbWndExtra = ex.cbWndExtra;
  wc->hInstance = ex.hInstance;
  wc->hIcon = ex.hIcon;
  wc->hCursor = ex.hCursor;
  wc->hbrBackground = ex.hbrBackground;
  wc->lpszMenuName = ex.lpszMenuName;
  wc->lpszClassName = ex.lpszClassName;
  return TRUE;
}

int GetClassNameW(HWND hwnd, WCHAR* name, int maxCount) {
  Wnd* w = GetWndOrError(hwnd);
  if (!w || !w->cls || !name || maxCount <= 0) return 0;
  int n = std::min<int>(int(w->cls->name.size()), maxCount - 1);
  std::memcpy(name, w->cls->name.data(), std::size_t(n) * sizeof(WCHAR));
  name[n] = 0;
  return n;
}

bool RegisterSystemControlClass(const WCHAR* className) {
  return RegisterSystemClassByName(className);
}
