// MessageBoxW: a modal top-level dialog with an icon of our own drawing, the wrapped text and
// push buttons, running its own loop on the queue.
#include <algorithm>
#include <cwctype>
#include <vector>

#include "SystemControls.h"
#include "Themes.h"

namespace {

constexpr const WCHAR* kClass = u"#32770";
constexpr int kMargin = 12;
constexpr int kIcon = 32;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;
constexpr int kBandPadding = 11;  // above and below the row of buttons
constexpr int kMaxTextWidth = 480;
constexpr int kTextId = 0xFFFF;

struct ButtonDef {
  int id;
  const char16_t* label;
};

std::vector<ButtonDef> ButtonsOf(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{IDOK, u"OK"}, {IDCANCEL, u"Cancel"}};
    case MB_ABORTRETRYIGNORE:
      return {{IDABORT, u"&Abort"}, {IDRETRY, u"&Retry"}, {IDIGNORE, u"&Ignore"}};
    case MB_YESNOCANCEL: return {{IDYES, u"&Yes"}, {IDNO, u"&No"}, {IDCANCEL, u"Cancel"}};
    case MB_YESNO: return {{IDYES, u"&Yes"}, {IDNO, u"&No"}};
    case MB_RETRYCANCEL: return {{IDRETRY, u"&Retry"}, {IDCANCEL, u"Cancel"}};
    default: return {{IDOK, u"OK"}};
  }
}

struct Box {
  UINT type = 0;
  std::vector<ButtonDef> defs;
  std::vector<HWND> buttons;
  int result = 0;
  bool done = false;
  int bandTop = 0;  // where the row of buttons begins (client y)
  HBRUSH white = 0;
};

Box* Get(HWND hwnd) { return reinterpret_cast<Box*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

bool Has(const Box& b, int id) {
  return std::any_of(b.defs.begin(), b.defs.end(), [&](const ButtonDef& d) { return d.id == id; });
}

// What Escape and the close box answer; 0 when the box has no way out but its buttons.
int CancelAnswer(const Box& b) {
  if (Has(b, IDCANCEL)) return IDCANCEL;
  if ((b.type & MB_TYPEMASK) == MB_OK) return IDOK;
  return 0;
}

void End(HWND hwnd, int id) {
  if (Box* b = Get(hwnd); b && !b->done) {
    b->result = id;
    b->done = true;
  }
}

// ---- The icons, drawn with the raster engine ----

void DrawGlyphText(HDC dc, const RECT& r, const WCHAR* s, COLORREF color) {
  LOGFONTW lf;
  lf.lfHeight = -22;
  lf.lfWeight = FW_BOLD;
  const char16_t face[] = u"Arial";
  std::copy(std::begin(face), std::end(face), lf.lfFaceName);
  HFONT font = CreateFontIndirectW(&lf);
  HGDIOBJ old = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, color);
  RECT tr = r;
  DrawTextW(dc, s, -1, &tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old);
  DeleteObject(font);
}

void Disc(HDC dc, const RECT& r, COLORREF fill, COLORREF rim) {
  HBRUSH brush = CreateSolidBrush(fill);
  HPEN pen = CreatePen(PS_SOLID, 1, rim);
  HGDIOBJ ob = SelectObject(dc, brush);
  HGDIOBJ op = SelectObject(dc, pen);
  Ellipse(dc, r.left, r.top, r.right, r.bottom);
  SelectObject(dc, ob);
  SelectObject(dc, op);
  DeleteObject(brush);
  DeleteObject(pen);
}

void Bar(HDC dc, int l, int t, int r, int b, COLORREF c) {
  RECT rc{l, t, r, b};
  HBRUSH brush = CreateSolidBrush(c);
  FillRect(dc, &rc, brush);
  DeleteObject(brush);
}

void DrawIcon(HDC dc, UINT icon, int x, int y) {
  RECT r{x, y, x + kIcon, y + kIcon};
  const COLORREF white = RGB(0xFF, 0xFF, 0xFF);
  switch (icon) {
    case MB_ICONERROR: {
      Disc(dc, r, RGB(0xD9, 0x2B, 0x2B), RGB(0x9E, 0x14, 0x14));
      HPEN pen = CreatePen(PS_SOLID, 4, white);
      HGDIOBJ op = SelectObject(dc, pen);
      MoveToEx(dc, x + 10, y + 10, nullptr);
      LineTo(dc, x + 22, y + 22);
      MoveToEx(dc, x + 22, y + 10, nullptr);
      LineTo(dc, x + 10, y + 22);
      SelectObject(dc, op);
      DeleteObject(pen);
      break;
    }
    case MB_ICONWARNING: {
      POINT tri[3] = {{x + 16, y + 1}, {x + 31, y + 30}, {x + 1, y + 30}};
      HBRUSH brush = CreateSolidBrush(RGB(0xF5, 0xC2, 0x1B));
      HPEN pen = CreatePen(PS_SOLID, 1, RGB(0xA8, 0x7F, 0x00));
      HGDIOBJ ob = SelectObject(dc, brush);
      HGDIOBJ op = SelectObject(dc, pen);
      Polygon(dc, tri, 3);
      SelectObject(dc, ob);
      SelectObject(dc, op);
      DeleteObject(brush);
      DeleteObject(pen);
      Bar(dc, x + 14, y + 10, x + 18, y + 22, RGB(0, 0, 0));
      Bar(dc, x + 14, y + 24, x + 18, y + 28, RGB(0, 0, 0));
      break;
    }
    case MB_ICONINFORMATION:
      Disc(dc, r, RGB(0x1F, 0x6F, 0xD1), RGB(0x10, 0x4A, 0x96));
      Bar(dc, x + 14, y + 6, x + 18, y + 10, white);
      Bar(dc, x + 14, y + 13, x + 18, y + 26, white);
      break;
    case MB_ICONQUESTION:
      Disc(dc, r, RGB(0x1F, 0x6F, 0xD1), RGB(0x10, 0x4A, 0x96));
      DrawGlyphText(dc, r, u"?", white);
      break;
    default: break;
  }
}

// ---- The dialog ----

int IndexOf(const Box& b, HWND button) {
  for (size_t i = 0; i < b.buttons.size(); ++i)
    if (b.buttons[i] == button) return int(i);
  return -1;
}

// The focused push button is the default one, as in any dialog.
void FocusButton(Box& b, int index) {
  if (b.buttons.empty()) return;
  index = (index % int(b.buttons.size()) + int(b.buttons.size())) % int(b.buttons.size());
  for (size_t i = 0; i < b.buttons.size(); ++i)
    SendMessageW(b.buttons[i], BM_SETSTYLE, int(i) == index ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON,
                 TRUE);
  SetFocus(b.buttons[size_t(index)]);
}

int DefaultIndex(const Box& b) {
  for (size_t i = 0; i < b.buttons.size(); ++i)
    if ((GetWindowLongW(b.buttons[i], GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) return int(i);
  return 0;
}

LRESULT BoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Box* b = Get(hwnd);
  switch (msg) {
    case WM_COMMAND:
      if (b && HIWORD(wp) == BN_CLICKED && IndexOf(*b, HWND(lp)) >= 0) End(hwnd, LOWORD(wp));
      return 0;
    case WM_CLOSE:
      if (b && CancelAnswer(*b)) End(hwnd, CancelAnswer(*b));
      return 0;
    case WM_CTLCOLORSTATIC:
      if (b && b->white) {
        SetBkColor(HDC(wp), GetSysColor(COLOR_WINDOW));
        return LRESULT(b->white);
      }
      break;
    case WM_ERASEBKGND: {
      RECT rc;
      GetClientRect(hwnd, &rc);
      HDC dc = HDC(wp);
      FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
      if (b && b->white) {
        RECT top = rc;
        top.bottom = b->bandTop;
        FillRect(dc, &top, b->white);
      }
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (b) DrawIcon(dc, b->type & MB_ICONMASK, kMargin, kMargin + 8);
      EndPaint(hwnd, &ps);
      return 0;
    }
    default: break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

void RegisterBoxClass() {
  WNDCLASSEXW wc;
  if (GetClassInfoExW(0, kClass, &wc)) return;
  wc = WNDCLASSEXW{};
  wc.lpfnWndProc = BoxProc;
  wc.hCursor = LoadCursorW(0, MAKEINTRESOURCEW(IDC_ARROW));
  wc.hbrBackground = HBRUSH(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClass;
  RegisterClassExW(&wc);
}

WCHAR Mnemonic(const char16_t* label) {
  for (const char16_t* p = label; *p; ++p)
    if (*p == u'&' && p[1] && p[1] != u'&') return WCHAR(std::towupper(wint_t(p[1])));
  return 0;
}

// Dialog keys, before the message is dispatched; true when taken.
bool DialogKey(HWND dialog, Box& b, const MSG& m) {
  if (m.hwnd != dialog && !IsChild(dialog, m.hwnd)) return false;
  if (m.message == WM_KEYDOWN) {
    int focus = IndexOf(b, GetFocus());
    switch (int(m.wParam)) {
      case VK_RETURN: {
        int i = focus >= 0 ? focus : DefaultIndex(b);
        if (i >= 0 && i < int(b.buttons.size())) SendMessageW(b.buttons[size_t(i)], BM_CLICK, 0, 0);
        return true;
      }
      case VK_ESCAPE:
        if (CancelAnswer(b)) End(dialog, CancelAnswer(b));
        return true;
      case VK_TAB:
        FocusButton(b,
                    (focus < 0 ? DefaultIndex(b) : focus) + (GetKeyState(VK_SHIFT) < 0 ? -1 : 1));
        return true;
      case VK_LEFT:
      case VK_UP: FocusButton(b, (focus < 0 ? DefaultIndex(b) : focus) - 1); return true;
      case VK_RIGHT:
      case VK_DOWN: FocusButton(b, (focus < 0 ? DefaultIndex(b) : focus) + 1); return true;
      default: break;
    }
    return false;
  }
  if (m.message == WM_CHAR || m.message == WM_SYSCHAR) {
    WCHAR c = WCHAR(std::towupper(wint_t(m.wParam)));
    for (size_t i = 0; i < b.defs.size(); ++i)
      if (c && Mnemonic(b.defs[i].label) == c) {
        SendMessageW(b.buttons[i], BM_CLICK, 0, 0);
        return true;
      }
    return m.wParam == WPARAM(VK_RETURN) || m.wParam == WPARAM(VK_ESCAPE) ||
           m.wParam == WPARAM(VK_TAB);
  }
  return false;
}

struct Collect {
  HWND owner = 0;  // 0: every top-level window
  std::vector<HWND> windows;
};

BOOL CollectEnabled(HWND hwnd, LPARAM lp) {
  auto* c = reinterpret_cast<Collect*>(lp);
  if (IsWindowEnabled(hwnd) && IsWindowVisible(hwnd) &&
      (!c->owner || hwnd == c->owner || GetWindow(hwnd, GW_OWNER) == c->owner))
    c->windows.push_back(hwnd);
  return TRUE;
}

}  // namespace

int MessageBoxW(HWND owner, const WCHAR* text, const WCHAR* caption, UINT type) {
  RegisterBoxClass();
  RegisterButtonControlClass();
  RegisterStaticControlClass();
  HWND ownerTop = owner && IsWindow(owner) ? GetAncestor(owner, GA_ROOT) : 0;
  HWND oldFocus = GetFocus();

  NONCLIENTMETRICSW ncm;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
  HFONT font = CreateFontIndirectW(&ncm.lfMessageFont);

  Box box;
  box.type = type;
  box.defs = ButtonsOf(type);
  if (IsThemeActive()) box.white = CreateSolidBrush(GetSysColor(COLOR_WINDOW));
  UINT icon = type & MB_ICONMASK;
  bool hasIcon = icon == MB_ICONERROR || icon == MB_ICONQUESTION || icon == MB_ICONWARNING ||
                 icon == MB_ICONINFORMATION;

  // The text, wrapped at the widest line we allow.
  String message = text ? String(text) : String();
  RECT tr{0, 0, kMaxTextWidth, 0};
  {
    HDC dc = GetDC(0);
    HGDIOBJ old = SelectObject(dc, font);
    DrawTextW(dc, message.c_str(), int(message.size()), &tr,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    SelectObject(dc, old);
    ReleaseDC(0, dc);
  }
  int textW = std::max(0, int(tr.right - tr.left));
  int textH = std::max(0, int(tr.bottom - tr.top));
  int textLeft = kMargin + (hasIcon ? kIcon + kMargin : 0);
  int contentH = std::max(hasIcon ? kIcon + 16 : 0, textH + 2 * 8);
  int buttonsW = int(box.defs.size()) * kButtonWidth + (int(box.defs.size()) - 1) * kButtonGap;
  int clientW = std::max({textLeft + textW + kMargin + 8, buttonsW + 2 * kMargin, 160});
  box.bandTop = kMargin + contentH + kMargin / 2;
  int clientH = box.bandTop + kBandPadding * 2 + kButtonHeight;

  DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
  if (type & (MB_TOPMOST | MB_SYSTEMMODAL)) exStyle |= WS_EX_TOPMOST;
  RECT wr{0, 0, clientW, clientH};
  AdjustWindowRectEx(&wr, style, FALSE, exStyle);
  int w = wr.right - wr.left, h = wr.bottom - wr.top;

  // Centred on the owner when it is on screen, else on the work area; never off it.
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  RECT around = work;
  if (ownerTop && IsWindowVisible(ownerTop) && !IsIconic(ownerTop)) {
    GetWindowRect(ownerTop, &around);
    MONITORINFO mi;
    if (GetMonitorInfoW(MonitorFromWindow(ownerTop, MONITOR_DEFAULTTONEAREST), &mi))
      work = mi.rcWork;
  }
  int x = (around.left + around.right - w) / 2;
  int y = (around.top + around.bottom - h) / 2;
  x = std::max<int>(int(work.left), std::min<int>(x, int(work.right) - w));
  y = std::max<int>(int(work.top), std::min<int>(y, int(work.bottom) - h));

  HWND dialog = CreateWindowExW(exStyle, kClass, caption ? caption : u"Error", style, x, y, w, h,
                                ownerTop, 0, 0, nullptr);
  if (!dialog) {
    if (box.white) DeleteObject(box.white);
    DeleteObject(font);
    return 0;
  }
  SetWindowLongPtrW(dialog, GWLP_USERDATA, LONG_PTR(&box));

  HWND label = CreateWindowExW(0, u"STATIC", message.c_str(), WS_CHILD | WS_VISIBLE | SS_NOPREFIX,
                               textLeft, kMargin + (contentH - textH) / 2, textW + 8, textH, dialog,
                               HMENU(kTextId), 0, nullptr);
  SendMessageW(label, WM_SETFONT, WPARAM(font), FALSE);
  int bx = (clientW - buttonsW) / 2;
  int by = box.bandTop + kBandPadding;
  int def = int((type & MB_DEFMASK) >> 8);
  if (def >= int(box.defs.size())) def = 0;
  for (size_t i = 0; i < box.defs.size(); ++i) {
    DWORD bs =
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | (int(i) == def ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    HWND btn = CreateWindowExW(
        0, u"BUTTON", box.defs[i].label, bs, bx + int(i) * (kButtonWidth + kButtonGap), by,
        kButtonWidth, kButtonHeight, dialog, HMENU(std::uintptr_t(box.defs[i].id)), 0, nullptr);
    SendMessageW(btn, WM_SETFONT, WPARAM(font), FALSE);
    box.buttons.push_back(btn);
  }

  // Modal: the owner's top-level window and the windows it owns (task-modal: every top-level
  // window) take no input meanwhile.
  Collect collect;
  collect.owner = (type & MB_TASKMODAL) ? 0 : ownerTop;
  if (collect.owner || (type & MB_TASKMODAL)) EnumWindows(CollectEnabled, LPARAM(&collect));
  std::vector<HWND>& disabled = collect.windows;
  disabled.erase(std::remove(disabled.begin(), disabled.end(), dialog), disabled.end());
  for (HWND d : disabled) EnableWindow(d, FALSE);

  MessageBeep(icon);
  ShowWindow(dialog, SW_SHOW);
  SetActiveWindow(dialog);
  FocusButton(box, def);
  UpdateWindow(dialog);
  NotifyModalLoopEntered(dialog);

  bool quit = false;
  int quitCode = 0;
  MSG m;
  while (!box.done && IsWindow(dialog)) {
    BOOL got = GetMessageW(&m, 0, 0, 0);
    if (got == 0) {
      quit = true;
      quitCode = int(m.wParam);
      break;
    }
    if (got < 0) break;
    if (DialogKey(dialog, box, m)) continue;
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  int result = box.result;
  if (!box.done) result = CancelAnswer(box) ? CancelAnswer(box) : box.defs[size_t(def)].id;

  // The owner comes back before the box goes, so activation returns to it.
  for (HWND d : disabled)
    if (IsWindow(d)) EnableWindow(d, TRUE);
  if (IsWindow(dialog)) {
    SetWindowLongPtrW(dialog, GWLP_USERDATA, 0);
    DestroyWindow(dialog);
  }
  if (ownerTop && IsWindow(ownerTop)) {
    SetActiveWindow(ownerTop);
    if (oldFocus && IsWindow(oldFocus) && GetAncestor(oldFocus, GA_ROOT) == ownerTop)
      SetFocus(oldFocus);
  }
  if (box.white) DeleteObject(box.white);
  DeleteObject(font);
  if (quit) PostQuitMessage(quitCode);
  return result;
}
