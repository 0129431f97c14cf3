// The combo box ("COMBOBOX", CBS_DROPDOWN and CBS_DROPDOWNLIST) and its drop-down list
// ("ComboLBox"), a popup that never takes activation. The combo box owns the items; the list
// window shows them and reports the mouse. While the list is down it holds the capture, so a
// click anywhere else closes it, and the keys keep going to the combo box (or its edit),
// which moves the list's highlight.
#include <algorithm>
#include <vector>

#include "SystemControls.h"
#include "Themes.h"
#include "UserInternal.h"

namespace {

using user::NotifyParent;

constexpr int kBorder = 2;  // both looks keep the field two pixels inside the window
constexpr int kDefaultMinVisible = 30;
constexpr const WCHAR* kListClass = u"ComboLBox";

struct Item {
  String text;
  LPARAM data = 0;
};

struct Combo {
  std::vector<Item> items;
  int sel = -1;
  HWND self = 0;
  HWND edit = 0;
  HWND list = 0;
  HFONT font = 0;
  int fieldHeight = 0;  // the selection field, without the borders
  int itemHeight = 0;   // one row of the list
  int droppedHeight = 0;
  int droppedWidth = 0;
  int minVisible = kDefaultMinVisible;
  bool extendedUI = false;
  bool focused = false;
  bool buttonHot = false;
  bool buttonDown = false;  // drawn pressed while the list is down or the button held
  // The list while it is down.
  bool dropped = false;
  bool inScroll = false;  // the list's scroll bar runs its own loop with the capture
  int highlight = -1;
  int top = 0;
  int visible = 0;
  bool settingText = false;  // our own edit updates are no user edits
};

Combo* Get(HWND hwnd) { return reinterpret_cast<Combo*>(GetWindowLongPtrW(hwnd, 0)); }
DWORD Style(HWND hwnd) { return DWORD(GetWindowLongW(hwnd, GWL_STYLE)); }
Combo* ComboOfList(HWND list) { return Get(HWND(GetWindowLongPtrW(list, 0))); }

int Count(const Combo& c) { return int(c.items.size()); }

int FontHeight(HFONT font) {
  HDC dc = GetDC(0);
  HGDIOBJ old = SelectObject(dc, font ? HGDIOBJ(font) : GetStockObject(SYSTEM_FONT));
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(0, dc);
  return std::max<int>(int(tm.tmHeight), 1);
}

int WindowHeight(const Combo& c) { return c.fieldHeight + 2 * (kBorder + 1); }

RECT ButtonRect(HWND hwnd) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  int w = GetSystemMetrics(SM_CXVSCROLL);
  return RECT{std::max<int>(int(rc.left) + kBorder, int(rc.right) - kBorder - w), rc.top + kBorder,
              rc.right - kBorder, rc.bottom - kBorder};
}

RECT FieldRect(HWND hwnd) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  RECT b = ButtonRect(hwnd);
  return RECT{rc.left + kBorder + 1, rc.top + kBorder + 1,
              std::max(rc.left + kBorder + 1, b.left - 1), rc.bottom - kBorder - 1};
}

bool Prefix(const String& item, const String& text) {
  return item.size() >= text.size() && SameText(item.substr(0, text.size()), text);
}

// The first item after start (wrapping) whose text begins with (or equals) text.
int Find(const Combo& c, int start, const String& text, bool exact) {
  int n = Count(c);
  if (n == 0) return int(CB_ERR);
  int from = start < 0 || start >= n ? 0 : start + 1;
  for (int k = 0; k < n; ++k) {
    int i = (from + k) % n;
    const String& s = c.items[size_t(i)].text;
    if (exact ? SameText(s, text) : Prefix(s, text)) return i;
  }
  return int(CB_ERR);
}

String EditText(const Combo& c) {
  if (!IsWindow(c.edit)) return String();
  int n = GetWindowTextLengthW(c.edit);
  String s(size_t(n) + 1, 0);
  n = GetWindowTextW(c.edit, s.data(), n + 1);
  s.resize(size_t(n));
  return s;
}

void SetEditText(Combo& c, const String& text) {
  if (!IsWindow(c.edit)) return;
  c.settingText = true;
  SetWindowTextW(c.edit, text.c_str());
  c.settingText = false;
  SendMessageW(c.edit, EM_SETSEL, 0, -1);
}

// Shows the selected item in the field.
void ShowSelection(HWND hwnd, Combo& c) {
  if (c.edit) SetEditText(c, c.sel >= 0 ? c.items[size_t(c.sel)].text : String());
  InvalidateRect(hwnd, nullptr, FALSE);
}

// ---- The list window ----

void ScrollListTo(Combo& c, int top) {
  int maxTop = std::max(0, Count(c) - c.visible);
  top = std::clamp(top, 0, maxTop);
  if (top != c.top) {
    c.top = top;
    if (IsWindow(c.list)) InvalidateRect(c.list, nullptr, TRUE);
  }
  if (IsWindow(c.list) && (GetWindowLongW(c.list, GWL_STYLE) & WS_VSCROLL)) {
    SCROLLINFO si;
    si.fMask = SIF_POS;
    si.nPos = c.top;
    SetScrollInfo(c.list, SB_VERT, &si, TRUE);
  }
}

void EnsureVisible(Combo& c, int index) {
  if (index < 0) return;
  if (index < c.top) ScrollListTo(c, index);
  else if (index >= c.top + c.visible) ScrollListTo(c, index - c.visible + 1);
}

void SetHighlight(Combo& c, int index) {
  index = Count(c) ? std::clamp(index, -1, Count(c) - 1) : -1;
  if (index == c.highlight) return;
  c.highlight = index;
  EnsureVisible(c, index);
  if (IsWindow(c.list)) InvalidateRect(c.list, nullptr, TRUE);
}

int ListItemAt(const Combo& c, POINT client) {
  RECT rc;
  GetClientRect(c.list, &rc);
  if (!PtInRect(&rc, client) || c.itemHeight <= 0) return -1;
  int i = c.top + client.y / c.itemHeight;
  return i < Count(c) ? i : -1;
}

void PaintList(HWND list, Combo& c) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(list, &ps);
  RECT rc;
  GetClientRect(list, &rc);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(dc, GetSysColor(COLOR_WINDOW));
  HWND parent = GetParent(c.self);
  HBRUSH brush =
      parent ? HBRUSH(SendMessageW(parent, WM_CTLCOLORLISTBOX, WPARAM(dc), LPARAM(list))) : 0;
  FillRect(dc, &rc, brush ? brush : GetSysColorBrush(COLOR_WINDOW));
  COLORREF text = GetTextColor(dc);
  HGDIOBJ oldFont = SelectObject(dc, c.font ? HGDIOBJ(c.font) : GetStockObject(SYSTEM_FONT));
  SetBkMode(dc, TRANSPARENT);
  for (int i = c.top; i < Count(c) && (i - c.top) * c.itemHeight < rc.bottom; ++i) {
    RECT r{rc.left, (i - c.top) * c.itemHeight, rc.right, (i - c.top + 1) * c.itemHeight};
    bool lit = i == c.highlight;
    if (lit) FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(dc, lit ? GetSysColor(COLOR_HIGHLIGHTTEXT) : text);
    RECT tr = r;
    tr.left += 2;
    const String& s = c.items[size_t(i)].text;
    DrawTextW(dc, s.c_str(), int(s.size()), &tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (lit && c.focused) DrawFocusRect(dc, &r);
  }
  SelectObject(dc, oldFont);
  EndPaint(list, &ps);
}

void CloseUp(HWND hwnd, bool accept);

LRESULT ListProc(HWND list, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lp);
    SetWindowLongPtrW(list, 0, LONG_PTR(cs->lpCreateParams));
    return DefWindowProcW(list, msg, wp, lp);
  }
  Combo* cp = ComboOfList(list);
  if (!cp) return DefWindowProcW(list, msg, wp, lp);
  Combo& c = *cp;
  HWND combo = c.self;
  switch (msg) {
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_CANCELMODE: CloseUp(combo, false); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: PaintList(list, c); return 0;
    case WM_MOUSEMOVE:
      if (c.dropped) {
        int i = ListItemAt(c, MAKEPOINT(lp));
        if (i >= 0) SetHighlight(c, i);
      }
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      if (!c.dropped) return 0;
      POINT pt = MAKEPOINT(lp);
      POINT screen = pt;
      ClientToScreen(list, &screen);
      RECT wr;
      GetWindowRect(list, &wr);
      if (!PtInRect(&wr, screen)) {
        CloseUp(combo, false);  // a click elsewhere only closes the list
        return 0;
      }
      if (SendMessageW(list, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)) == HTVSCROLL) {
        c.inScroll = true;
        user::ScrollBarMouseDown(list, SB_VERT, screen);
        if (Combo* again = Get(combo)) {
          again->inScroll = false;
          if (again->dropped && IsWindow(list)) SetCapture(list);
        }
        return 0;
      }
      int i = ListItemAt(c, pt);
      if (i >= 0) SetHighlight(c, i);
      return 0;
    }
    case WM_LBUTTONUP: {
      if (!c.dropped) return 0;
      // The release of the press that opened the list lands here too; only one over an
      // item chooses it.
      int i = ListItemAt(c, MAKEPOINT(lp));
      if (i >= 0) {
        SetHighlight(c, i);
        CloseUp(combo, true);
      }
      if (Combo* again = Get(combo)) again->buttonDown = again->dropped;
      if (IsWindow(combo)) InvalidateRect(combo, nullptr, FALSE);
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (c.dropped && !c.inScroll && HWND(lp) != list) CloseUp(combo, false);
      return 0;
    case WM_MOUSEWHEEL:
      ScrollListTo(c, c.top - GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA * 3);
      return 0;
    case WM_VSCROLL: {
      int top = c.top;
      switch (LOWORD(wp)) {
        case SB_LINEUP: --top; break;
        case SB_LINEDOWN: ++top; break;
        case SB_PAGEUP: top -= std::max(1, c.visible - 1); break;
        case SB_PAGEDOWN: top += std::max(1, c.visible - 1); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: top = HIWORD(wp); break;
        case SB_TOP: top = 0; break;
        case SB_BOTTOM: top = Count(c); break;
        default: break;
      }
      ScrollListTo(c, top);
      return 0;
    }
    case LB_GETCURSEL: return c.dropped ? c.highlight : c.sel;
    case LB_GETCOUNT: return Count(c);
    case LB_GETTOPINDEX: return c.top;
    case LB_GETITEMHEIGHT: return c.itemHeight;
    case LB_GETITEMRECT: {
      int i = int(wp);
      auto* r = reinterpret_cast<RECT*>(lp);
      if (!r || i < 0 || i >= Count(c)) return LB_ERR;
      RECT rc;
      GetClientRect(list, &rc);
      *r = RECT{rc.left, (i - c.top) * c.itemHeight, rc.right, (i - c.top + 1) * c.itemHeight};
      return 1;
    }
    case WM_NCDESTROY: SetWindowLongPtrW(list, 0, 0); return DefWindowProcW(list, msg, wp, lp);
    default: break;
  }
  return DefWindowProcW(list, msg, wp, lp);
}

RECT DroppedRect(HWND hwnd, Combo& c) {
  RECT wr;
  GetWindowRect(hwnd, &wr);
  int n = std::max(1, std::min(Count(c), c.minVisible));
  c.visible = n;
  bool scroll = Count(c) > n;
  int width = std::max<int>(int(wr.right - wr.left), c.droppedWidth);
  int height = n * c.itemHeight + 2;  // the one-pixel frame
  RECT r{wr.left, wr.bottom, wr.left + width, wr.bottom + height};
  MONITORINFO mi;
  if (GetMonitorInfoW(MonitorFromRect(&wr, MONITOR_DEFAULTTONEAREST), &mi) &&
      r.bottom > mi.rcWork.bottom && wr.top - height >= mi.rcWork.top)
    OffsetRect(&r, 0, int(wr.top - height - r.top));  // no room below: above the box
  DWORD style = DWORD(GetWindowLongW(c.list, GWL_STYLE));
  DWORD want = scroll ? (style | WS_VSCROLL) : (style & ~WS_VSCROLL);
  if (want != style) SetWindowLongW(c.list, GWL_STYLE, LONG(want));
  return r;
}

void DropDown(HWND hwnd) {
  Combo* c = Get(hwnd);
  if (!c || c->dropped || !IsWindow(c->list) || !IsWindowEnabled(hwnd)) return;
  NotifyParent(hwnd, CBN_DROPDOWN);  // the parent may still fill the list
  if (!(c = Get(hwnd)) || c->dropped) return;
  if (GetFocus() != hwnd && GetFocus() != c->edit) {
    SetFocus(c->edit ? c->edit : hwnd);
    if (!(c = Get(hwnd))) return;
  }
  int start = c->sel;
  if (start < 0 && c->edit) {
    String t = EditText(*c);
    if (!t.empty()) {
      start = Find(*c, -1, t, true);
      if (start < 0) start = Find(*c, -1, t, false);
    }
  }
  RECT r = DroppedRect(hwnd, *c);
  c->dropped = true;
  c->buttonDown = true;
  c->highlight = -1;
  c->top = 0;
  if (GetWindowLongW(c->list, GWL_STYLE) & WS_VSCROLL) {
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = Count(*c) - 1;
    si.nPage = UINT(c->visible);
    si.nPos = 0;
    SetScrollInfo(c->list, SB_VERT, &si, FALSE);
  }
  SetHighlight(*c, start);
  SetWindowPos(c->list, HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
               SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  InvalidateRect(c->list, nullptr, TRUE);
  InvalidateRect(hwnd, nullptr, FALSE);
  SetCapture(c->list);
}

void CloseUp(HWND hwnd, bool accept) {
  Combo* c = Get(hwnd);
  if (!c || !c->dropped) return;
  c->dropped = false;
  c->buttonDown = false;
  HWND list = c->list;
  int chosen = c->highlight;
  if (GetCapture() == list) ReleaseCapture();
  if (IsWindow(list))
    SetWindowPos(list, 0, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  if (!(c = Get(hwnd))) return;
  InvalidateRect(hwnd, nullptr, FALSE);
  if (accept) {
    if (chosen >= 0 && chosen != c->sel) {
      c->sel = chosen;
      ShowSelection(hwnd, *c);
      NotifyParent(hwnd, CBN_SELCHANGE);
    } else if (chosen >= 0 && c->edit) {
      ShowSelection(hwnd, *c);  // the edit may hold typed text: show the chosen item
    }
    if (!IsWindow(hwnd)) return;
    NotifyParent(hwnd, CBN_SELENDOK);
  } else {
    NotifyParent(hwnd, CBN_SELENDCANCEL);
  }
  if (IsWindow(hwnd)) NotifyParent(hwnd, CBN_CLOSEUP);
}

// ---- The combo box ----

void Select(HWND hwnd, Combo& c, int index, bool notify) {
  if (Count(c) == 0) return;
  index = std::clamp(index, 0, Count(c) - 1);
  if (index == c.sel) return;
  c.sel = index;
  ShowSelection(hwnd, c);
  if (notify) NotifyParent(hwnd, CBN_SELCHANGE);
}

// Up, Down and the paging keys: the list's highlight while it is down, else the selection.
bool NavigateKey(HWND hwnd, Combo& c, int vk) {
  int n = Count(c);
  int page = std::max(1, (c.dropped ? c.visible : std::min(n, c.minVisible)) - 1);
  int cur = c.dropped ? c.highlight : c.sel;
  int next;
  switch (vk) {
    case VK_UP: next = cur < 0 ? 0 : cur - 1; break;
    case VK_DOWN: next = cur < 0 ? 0 : cur + 1; break;
    case VK_PRIOR: next = cur - page; break;
    case VK_NEXT: next = cur < 0 ? page : cur + page; break;
    case VK_HOME: next = 0; break;
    case VK_END: next = n - 1; break;
    default: return false;
  }
  if (n == 0) return true;
  next = std::clamp(next, 0, n - 1);
  if (c.dropped) SetHighlight(c, next);
  else Select(hwnd, c, next, true);
  return true;
}

// Keys of the combo box and of its edit; true when taken.
bool ComboKey(HWND hwnd, UINT msg, int vk) {
  Combo* c = Get(hwnd);
  if (!c) return false;
  bool alt = msg == WM_SYSKEYDOWN;
  if (vk == VK_F4 && !alt) {
    if (c->dropped) CloseUp(hwnd, true);
    else DropDown(hwnd);
    return true;
  }
  if (alt && (vk == VK_DOWN || vk == VK_UP)) {
    if (c->dropped) CloseUp(hwnd, true);
    else DropDown(hwnd);
    return true;
  }
  if (alt) return false;
  if (c->dropped && vk == VK_RETURN) {
    CloseUp(hwnd, true);
    return true;
  }
  if (c->dropped && vk == VK_ESCAPE) {
    CloseUp(hwnd, false);
    return true;
  }
  if (vk == VK_DOWN && c->extendedUI && !c->dropped) {
    DropDown(hwnd);
    return true;
  }
  // In an edit, Home and End move the caret unless the list is down.
  if (c->edit && !c->dropped && (vk == VK_HOME || vk == VK_END)) return false;
  return NavigateKey(hwnd, *c, vk);
}

LRESULT EditSubclassProc(HWND edit, UINT msg, WPARAM wp, LPARAM lp) {
  WNDCLASSEXW wc;
  WNDPROC base = GetClassInfoExW(0, u"EDIT", &wc) ? wc.lpfnWndProc : DefWindowProcW;
  HWND combo = GetParent(edit);
  switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (ComboKey(combo, msg, int(wp))) return 0;
      break;
    case WM_CHAR:
      // Enter and Escape were handled on the way down while the list was open.
      if (wp == WPARAM(VK_RETURN) || wp == WPARAM(VK_ESCAPE)) {
        if (Combo* c = Get(combo); c && !c->dropped) break;
        return 0;
      }
      break;
    case WM_MOUSEWHEEL: return SendMessageW(combo, msg, wp, lp);
    case WM_GETDLGCODE: {
      LRESULT r = CallWindowProcW(base, edit, msg, wp, lp);
      if (Combo* c = Get(combo); c && c->dropped) r |= DLGC_WANTALLKEYS;
      return r;
    }
    default: break;
  }
  return CallWindowProcW(base, edit, msg, wp, lp);
}

void Layout(HWND hwnd, Combo& c) {
  if (!IsWindow(c.edit)) return;
  RECT f = FieldRect(hwnd);
  SetWindowPos(c.edit, 0, f.left, f.top, f.right - f.left, f.bottom - f.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void Resize(HWND hwnd, Combo& c) {
  RECT wr;
  GetWindowRect(hwnd, &wr);
  SetWindowPos(hwnd, 0, 0, 0, wr.right - wr.left, WindowHeight(c),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  Layout(hwnd, c);
}

void PaintCombo(HWND hwnd, Combo& c) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT rc;
  GetClientRect(hwnd, &rc);
  bool enabled = IsWindowEnabled(hwnd) != FALSE;
  RECT button = ButtonRect(hwnd);
  RECT field = FieldRect(hwnd);
  HTHEME theme = OpenThemeData(hwnd, u"COMBOBOX");
  if (theme) {
    DrawThemeBackground(theme, dc, 0, 0, &rc, nullptr);
    RECT inner = rc;
    InflateRect(&inner, -1, -1);
    FillRect(dc, &inner, GetSysColorBrush(enabled ? COLOR_WINDOW : COLOR_BTNFACE));
    int state = !enabled       ? CBXS_DISABLED
                : c.buttonDown ? CBXS_PRESSED
                : c.buttonHot  ? CBXS_HOT
                               : CBXS_NORMAL;
    DrawThemeBackground(theme, dc, CP_DROPDOWNBUTTON, state, &button, nullptr);
    CloseThemeData(theme);
  } else {
    RECT edge = rc;
    DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    FillRect(dc, &edge, GetSysColorBrush(enabled ? COLOR_WINDOW : COLOR_BTNFACE));
    RECT b = button;
    DrawFrameControl(
        dc, &b, DFC_SCROLL,
        DFCS_SCROLLCOMBOBOX | (c.buttonDown ? DFCS_PUSHED : 0) | (enabled ? 0 : DFCS_INACTIVE));
  }
  if (!c.edit) {
    // The static field: the selected item, highlighted while the box has the focus.
    bool lit = c.focused && !c.dropped && enabled;
    HGDIOBJ oldFont = SelectObject(dc, c.font ? HGDIOBJ(c.font) : GetStockObject(SYSTEM_FONT));
    SetTextColor(dc, GetSysColor(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    SetBkColor(dc, GetSysColor(enabled ? COLOR_WINDOW : COLOR_BTNFACE));
    HWND parent = GetParent(hwnd);
    HBRUSH brush = 0;
    if (parent && enabled)
      brush = HBRUSH(SendMessageW(parent, WM_CTLCOLORLISTBOX, WPARAM(dc), LPARAM(hwnd)));
    if (lit) {
      FillRect(dc, &field, GetSysColorBrush(COLOR_HIGHLIGHT));
      SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else if (brush) {
      FillRect(dc, &field, brush);
    }
    SetBkMode(dc, TRANSPARENT);
    if (c.sel >= 0 && c.sel < Count(c)) {
      RECT tr = field;
      tr.left += 1;
      const String& s = c.items[size_t(c.sel)].text;
      DrawTextW(dc, s.c_str(), int(s.size()), &tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    if (lit) DrawFocusRect(dc, &field);
    SelectObject(dc, oldFont);
  }
  EndPaint(hwnd, &ps);
}

void SetButtonHot(HWND hwnd, Combo& c, bool hot) {
  if (c.buttonHot == hot) return;
  c.buttonHot = hot;
  if (hot) {
    TRACKMOUSEEVENT tme;
    tme.dwFlags = TME_LEAVE;
    tme.hwndTrack = hwnd;
    TrackMouseEvent(&tme);
  }
  InvalidateRect(hwnd, nullptr, FALSE);
}

int InsertItem(HWND hwnd, Combo& c, int index, const WCHAR* text, bool sorted) {
  Item item;
  item.text = text ? String(text) : String();
  if (sorted) {
    index = 0;
    while (index < Count(c) && CompareText(c.items[size_t(index)].text, item.text) <= 0) ++index;
  } else if (index < 0 || index > Count(c)) {
    if (index > Count(c)) return int(CB_ERR);
    index = Count(c);
  }
  c.items.insert(c.items.begin() + index, std::move(item));
  if (c.sel >= index) ++c.sel;
  if (c.dropped) {
    if (c.highlight >= index) ++c.highlight;
    InvalidateRect(c.list, nullptr, TRUE);
  }
  InvalidateRect(hwnd, nullptr, FALSE);
  return index;
}

void EditChanged(HWND hwnd, Combo& c) {
  // The selection holds only while the typed text is an item's text.
  String t = EditText(c);
  int exact = t.empty() ? -1 : Find(c, -1, t, true);
  if (c.sel >= 0 && !SameText(c.items[size_t(c.sel)].text, t)) c.sel = exact;
  else if (c.sel < 0) c.sel = exact;
  if (c.dropped) {
    int at = exact >= 0 ? exact : t.empty() ? -1 : Find(c, -1, t, false);
    if (at >= 0) SetHighlight(c, at);
  }
  NotifyParent(hwnd, CBN_EDITCHANGE);
}

LRESULT CopyText(const String& s, WPARAM size, LPARAM buf) {
  auto* out = reinterpret_cast<WCHAR*>(buf);
  if (!out || size == 0) return 0;
  size_t n = std::min(s.size(), size_t(size) - 1);
  std::copy_n(s.data(), n, out);
  out[n] = 0;
  return LRESULT(n);
}

LRESULT ComboProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Combo* cp = Get(hwnd);
  if (!cp) {
    if (msg == WM_NCCREATE) {
      auto* c = new Combo;
      c->self = hwnd;
      SetWindowLongPtrW(hwnd, 0, LONG_PTR(c));
      // Scroll-bar styles belong to the drop list; on the field they would draw a bar of their own.
      const DWORD style = DWORD(GetWindowLongW(hwnd, GWL_STYLE));
      if (style & (WS_VSCROLL | WS_HSCROLL))
        SetWindowLongW(hwnd, GWL_STYLE, LONG(style & ~(WS_VSCROLL | WS_HSCROLL)));
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
  Combo& c = *cp;
  switch (msg) {
    case WM_CREATE: {
      const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lp);
      int h = FontHeight(0);
      c.itemHeight = h;
      c.fieldHeight = h + 2;
      c.droppedHeight = cs->cy;
      DWORD style = DWORD(cs->style);
      if ((style & CBS_TYPEMASK) != CBS_DROPDOWNLIST) {
        DWORD es = WS_CHILD | WS_VISIBLE;
        if (style & CBS_AUTOHSCROLL) es |= ES_AUTOHSCROLL;
        if (style & CBS_UPPERCASE) es |= ES_UPPERCASE;
        if (style & CBS_LOWERCASE) es |= ES_LOWERCASE;
        c.edit = CreateWindowExW(0, u"EDIT", u"", es, 0, 0, 0, 0, hwnd, HMENU(kComboEditId),
                                 cs->hInstance, nullptr);
        if (!c.edit) return -1;
        SetWindowLongPtrW(c.edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditSubclassProc));
      }
      c.list = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kListClass, u"",
                               WS_POPUP | WS_BORDER, 0, 0, 0, 0, hwnd, 0, cs->hInstance,
                               reinterpret_cast<void*>(hwnd));
      if (!c.list) return -1;
      Resize(hwnd, c);
      return 0;
    }
    case WM_DESTROY:
      if (IsWindow(c.list)) DestroyWindow(c.list);
      if ((cp = Get(hwnd))) cp->list = 0;
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd, 0, 0);
      delete cp;
      return DefWindowProcW(hwnd, msg, wp, lp);
    case WM_WINDOWPOSCHANGING: {
      // The height asked for is that of the dropped box; the window keeps the field's.
      auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
      if (!(pos->flags & SWP_NOSIZE) && c.fieldHeight > 0) {
        if (pos->cy > WindowHeight(c)) c.droppedHeight = pos->cy;
        pos->cy = WindowHeight(c);
      }
      return DefWindowProcW(hwnd, msg, wp, lp);
    }
    case WM_SIZE: Layout(hwnd, c); return DefWindowProcW(hwnd, msg, wp, lp);
    case WM_SETFONT: {
      c.font = HFONT(wp);
      int h = FontHeight(c.font);
      c.itemHeight = h;
      c.fieldHeight = h + 2;
      if (IsWindow(c.edit)) SendMessageW(c.edit, WM_SETFONT, wp, lp);
      Resize(hwnd, c);
      if (LOWORD(lp)) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    }
    case WM_GETFONT: return LRESULT(c.font);
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: PaintCombo(hwnd, c); return 0;
    case WM_ENABLE:
      if (IsWindow(c.edit)) EnableWindow(c.edit, BOOL(wp));
      if (!wp) CloseUp(hwnd, false);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_THEMECHANGED: InvalidateRect(hwnd, nullptr, TRUE); return 0;
    case WM_CANCELMODE: CloseUp(hwnd, false); return 0;
    case WM_GETDLGCODE: {
      LRESULT r = DLGC_WANTARROWS | DLGC_WANTCHARS;
      if (c.dropped) r |= DLGC_WANTALLKEYS;
      return r;
    }
    case WM_SETFOCUS:
      if (c.edit) {
        SetFocus(c.edit);  // the edit reports the focus through EN_SETFOCUS
        return 0;
      }
      c.focused = true;
      InvalidateRect(hwnd, nullptr, FALSE);
      NotifyParent(hwnd, CBN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      if (c.edit) return 0;
      c.focused = false;
      CloseUp(hwnd, false);
      if (IsWindow(hwnd)) {
        InvalidateRect(hwnd, nullptr, FALSE);
        NotifyParent(hwnd, CBN_KILLFOCUS);
      }
      return 0;
    case WM_COMMAND:
      if (HWND(lp) == c.edit && c.edit) {
        switch (HIWORD(wp)) {
          case EN_SETFOCUS:
            c.focused = true;
            SendMessageW(c.edit, EM_SETSEL, 0, -1);
            NotifyParent(hwnd, CBN_SETFOCUS);
            break;
          case EN_KILLFOCUS:
            c.focused = false;
            CloseUp(hwnd, false);
            if (IsWindow(hwnd)) NotifyParent(hwnd, CBN_KILLFOCUS);
            break;
          case EN_UPDATE:
            if (!c.settingText) NotifyParent(hwnd, CBN_EDITUPDATE);
            break;
          case EN_CHANGE:
            if (!c.settingText) EditChanged(hwnd, c);
            break;
          default: break;
        }
      }
      return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX: {
      // The colours are the parent's to choose, as for any other control.
      HWND parent = GetParent(hwnd);
      return parent ? SendMessageW(parent, msg, wp, lp) : 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      if (c.dropped) {
        CloseUp(hwnd, false);
        return 0;
      }
      RECT b = ButtonRect(hwnd);
      POINT p = MAKEPOINT(lp);
      if (c.edit && !PtInRect(&b, p)) return 0;
      if (GetFocus() != hwnd && GetFocus() != c.edit) SetFocus(c.edit ? c.edit : hwnd);
      DropDown(hwnd);
      return 0;
    }
    case WM_MOUSEMOVE: {
      RECT b = ButtonRect(hwnd);
      SetButtonHot(hwnd, c, PtInRect(&b, MAKEPOINT(lp)) != FALSE);
      return 0;
    }
    case WM_MOUSELEAVE: SetButtonHot(hwnd, c, false); return 0;
    case WM_MOUSEWHEEL: {
      if (c.dropped) return SendMessageW(c.list, msg, wp, lp);
      int d = GET_WHEEL_DELTA_WPARAM(wp);
      if (d != 0) NavigateKey(hwnd, c, d > 0 ? VK_UP : VK_DOWN);
      return 0;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (ComboKey(hwnd, msg, int(wp))) return 0;
      return DefWindowProcW(hwnd, msg, wp, lp);
    case WM_CHAR:
      if (!c.edit && wp >= 0x20) {
        // Type-ahead on the first letter.
        int from = c.dropped ? c.highlight : c.sel;
        int i = Find(c, from, String(1, WCHAR(wp)), false);
        if (i >= 0) {
          if (c.dropped) SetHighlight(c, i);
          else Select(hwnd, c, i, true);
        }
      }
      return 0;
    case WM_SETTEXT:
      if (!c.edit) return CB_ERR;
      SetEditText(c, lp ? String(reinterpret_cast<const WCHAR*>(lp)) : String());
      return TRUE;
    case WM_GETTEXT:
      if (c.edit) return SendMessageW(c.edit, msg, wp, lp);
      return CopyText(c.sel >= 0 ? c.items[size_t(c.sel)].text : String(), wp, lp);
    case WM_GETTEXTLENGTH:
      if (c.edit) return SendMessageW(c.edit, msg, wp, lp);
      return c.sel >= 0 ? LRESULT(c.items[size_t(c.sel)].text.size()) : 0;
    case CB_ADDSTRING:
      return InsertItem(hwnd, c, -1, reinterpret_cast<const WCHAR*>(lp),
                        (Style(hwnd) & CBS_SORT) != 0);
    case CB_INSERTSTRING:
      return InsertItem(hwnd, c, int(wp), reinterpret_cast<const WCHAR*>(lp), false);
    case CB_DELETESTRING: {
      int i = int(wp);
      if (i < 0 || i >= Count(c)) return CB_ERR;
      c.items.erase(c.items.begin() + i);
      if (c.sel == i) c.sel = -1;
      else if (c.sel > i) --c.sel;
      if (c.highlight == i) c.highlight = -1;
      else if (c.highlight > i) --c.highlight;
      if (IsWindow(c.list)) InvalidateRect(c.list, nullptr, TRUE);
      InvalidateRect(hwnd, nullptr, FALSE);
      return Count(c);
    }
    case CB_RESETCONTENT:
      c.items.clear();
      c.sel = c.highlight = -1;
      c.top = 0;
      if (c.edit) SetEditText(c, String());
      if (IsWindow(c.list)) InvalidateRect(c.list, nullptr, TRUE);
      InvalidateRect(hwnd, nullptr, FALSE);
      return CB_OKAY;
    case CB_GETCOUNT: return Count(c);
    case CB_GETCURSEL: return c.sel;
    case CB_SETCURSEL: {
      int i = int(wp);
      if (i < 0 || i >= Count(c)) {
        c.sel = -1;
        ShowSelection(hwnd, c);
        return CB_ERR;
      }
      c.sel = i;
      ShowSelection(hwnd, c);
      if (c.dropped) SetHighlight(c, i);
      return i;
    }
    case CB_GETLBTEXT: {
      int i = int(wp);
      if (i < 0 || i >= Count(c) || !lp) return CB_ERR;
      const String& s = c.items[size_t(i)].text;
      auto* out = reinterpret_cast<WCHAR*>(lp);
      std::copy(s.begin(), s.end(), out);
      out[s.size()] = 0;
      return LRESULT(s.size());
    }
    case CB_GETLBTEXTLEN: {
      int i = int(wp);
      if (i < 0 || i >= Count(c)) return CB_ERR;
      return LRESULT(c.items[size_t(i)].text.size());
    }
    case CB_FINDSTRING:
    case CB_FINDSTRINGEXACT:
      if (!lp) return CB_ERR;
      return Find(c, int(wp), reinterpret_cast<const WCHAR*>(lp), msg == CB_FINDSTRINGEXACT);
    case CB_SELECTSTRING: {
      if (!lp) return CB_ERR;
      int i = Find(c, int(wp), reinterpret_cast<const WCHAR*>(lp), false);
      if (i < 0) return CB_ERR;
      c.sel = i;
      ShowSelection(hwnd, c);
      return i;
    }
    case CB_GETITEMDATA: {
      int i = int(wp);
      if (i < 0 || i >= Count(c)) return CB_ERR;
      return c.items[size_t(i)].data;
    }
    case CB_SETITEMDATA: {
      int i = int(wp);
      if (i < 0 || i >= Count(c)) return CB_ERR;
      c.items[size_t(i)].data = lp;
      return CB_OKAY;
    }
    case CB_SHOWDROPDOWN:
      if (wp) DropDown(hwnd);
      else CloseUp(hwnd, false);
      return TRUE;
    case CB_GETDROPPEDSTATE: return c.dropped;
    case CB_GETDROPPEDCONTROLRECT: {
      auto* r = reinterpret_cast<RECT*>(lp);
      if (!r) return CB_ERR;
      RECT wr;
      GetWindowRect(hwnd, &wr);
      if (c.dropped) {
        RECT lr;
        GetWindowRect(c.list, &lr);
        UnionRect(r, &wr, &lr);
      } else {
        *r = RECT{wr.left, wr.top, std::max<int>(int(wr.right), int(wr.left) + c.droppedWidth),
                  wr.top + std::max(int(wr.bottom - wr.top), c.droppedHeight)};
      }
      return TRUE;
    }
    case CB_SETITEMHEIGHT: {
      int h = int(lp);
      if (h <= 0 || h > 255) return CB_ERR;
      if (int(wp) == -1) {
        c.fieldHeight = h;
        Resize(hwnd, c);
      } else {
        c.itemHeight = h;
      }
      InvalidateRect(hwnd, nullptr, TRUE);
      return CB_OKAY;
    }
    case CB_GETITEMHEIGHT: return int(wp) == -1 ? c.fieldHeight : c.itemHeight;
    case CB_SETEXTENDEDUI: c.extendedUI = wp != 0; return CB_OKAY;
    case CB_GETEXTENDEDUI: return c.extendedUI;
    case CB_GETTOPINDEX: return c.top;
    case CB_SETTOPINDEX:
      if (int(wp) < 0 || int(wp) >= Count(c)) return CB_ERR;
      c.top = int(wp);
      if (c.dropped) ScrollListTo(c, int(wp));
      return CB_OKAY;
    case CB_SETDROPPEDWIDTH: c.droppedWidth = std::max(0, int(wp)); return c.droppedWidth;
    case CB_GETDROPPEDWIDTH: {
      RECT wr;
      GetWindowRect(hwnd, &wr);
      return std::max<int>(int(wr.right - wr.left), c.droppedWidth);
    }
    case CB_SETMINVISIBLE:
      if (int(wp) <= 0) return FALSE;
      c.minVisible = int(wp);
      return TRUE;
    case CB_GETMINVISIBLE: return c.minVisible;
    case CB_LIMITTEXT:
      if (!c.edit) return CB_ERR;
      SendMessageW(c.edit, EM_LIMITTEXT, wp, 0);
      return TRUE;
    case CB_GETEDITSEL:
      if (!c.edit) return CB_ERR;
      return SendMessageW(c.edit, EM_GETSEL, wp, lp);
    case CB_SETEDITSEL:
      if (!c.edit) return CB_ERR;
      SendMessageW(c.edit, EM_SETSEL, WPARAM(SHORT(LOWORD(std::uintptr_t(lp)))),
                   LPARAM(SHORT(HIWORD(std::uintptr_t(lp)))));
      return TRUE;
    case CB_GETCOMBOBOXINFO: {
      auto* info = reinterpret_cast<COMBOBOXINFO*>(lp);
      if (!info || info->cbSize != sizeof(COMBOBOXINFO)) return FALSE;
      info->rcItem = FieldRect(hwnd);
      info->rcButton = ButtonRect(hwnd);
      info->stateButton = c.buttonDown ? STATE_SYSTEM_PRESSED : 0;
      info->hwndCombo = hwnd;
      info->hwndItem = c.edit;
      info->hwndList = c.list;
      return TRUE;
    }
    default: break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

BOOL GetComboBoxInfo(HWND combo, COMBOBOXINFO* info) {
  return SendMessageW(combo, CB_GETCOMBOBOXINFO, 0, LPARAM(info)) ? TRUE : FALSE;
}

void RegisterComboBoxControlClass() {
  WNDCLASSEXW wc;
  if (!GetClassInfoExW(0, u"COMBOBOX", &wc)) {
    wc = WNDCLASSEXW{};
    wc.style = CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = ComboProc;
    wc.cbWndExtra = int(sizeof(LONG_PTR));
    wc.hCursor = LoadCursorW(0, MAKEINTRESOURCEW(IDC_ARROW));
    wc.lpszClassName = u"COMBOBOX";
    RegisterClassExW(&wc);
  }
  if (!GetClassInfoExW(0, kListClass, &wc)) {
    wc = WNDCLASSEXW{};
    wc.style = CS_GLOBALCLASS | CS_DBLCLKS | CS_SAVEBITS;
    wc.lpfnWndProc = ListProc;
    wc.cbWndExtra = int(sizeof(LONG_PTR));
    wc.hCursor = LoadCursorW(0, MAKEINTRESOURCEW(IDC_ARROW));
    wc.lpszClassName = kListClass;
    RegisterClassExW(&wc);
  }
  // The edit inside a CBS_DROPDOWN box.
  RegisterEditControlClass();
}
