// The single-line edit control ("EDIT").
#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "SystemControls.h"
#include "UserInternal.h"

namespace {

using user::NotifyParent;

constexpr int kDefaultLimit = 30000;
constexpr int kMaxLimit = 0x7FFFFFFE;

struct Edit {
  String text;
  int anchor = 0;  // the fixed end of the selection
  int caret = 0;   // the moving end, where the caret is
  int limit = kDefaultLimit;
  WCHAR passwordChar = 0;
  int leftMargin = 0;
  int rightMargin = 0;
  String cue;
  bool cueWhenFocused = false;
  HFONT font = 0;
  int scrollX = 0;  // pixels of text scrolled out on the left
  bool focused = false;
  bool tracking = false;
  bool modified = false;
  // One level of undo: the text and selection before the last change.
  bool canUndo = false;
  bool typingRun = false;  // consecutive typed characters undo as one change
  String undoText;
  int undoAnchor = 0;
  int undoCaret = 0;
};

Edit* Get(HWND hwnd) { return reinterpret_cast<Edit*>(GetWindowLongPtrW(hwnd, 0)); }
DWORD Style(HWND hwnd) { return DWORD(GetWindowLongW(hwnd, GWL_STYLE)); }
bool ReadOnly(HWND hwnd) { return (Style(hwnd) & ES_READONLY) != 0; }

int SelMin(const Edit& e) { return std::min(e.anchor, e.caret); }
int SelMax(const Edit& e) { return std::max(e.anchor, e.caret); }

String Shown(const Edit& e) {
  return e.passwordChar ? String(e.text.size(), e.passwordChar) : e.text;
}

// A screen-compatible DC with the control's font, for measuring.
class MeasureDC {
 public:
  explicit MeasureDC(HWND hwnd, const Edit& e) : hwnd_(hwnd), dc_(GetDC(hwnd)) {
    old_ = SelectObject(dc_, e.font ? HGDIOBJ(e.font) : GetStockObject(SYSTEM_FONT));
  }
  ~MeasureDC() {
    SelectObject(dc_, old_);
    ReleaseDC(hwnd_, dc_);
  }
  MeasureDC(const MeasureDC&) = delete;
  MeasureDC& operator=(const MeasureDC&) = delete;
  HDC dc() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
  HGDIOBJ old_;
};

// Prefix widths: w[i] is the width of the first i characters shown.
std::vector<int> PrefixWidths(HDC dc, const String& s) {
  std::vector<int> w(s.size() + 1, 0);
  if (s.empty()) return w;
  std::vector<INT> dx(s.size(), 0);
  INT fit = 0;
  SIZE size{};
  GetTextExtentExPointW(dc, s.c_str(), int(s.size()), 0x7FFFFFFF, &fit, dx.data(), &size);
  for (size_t i = 0; i < s.size(); ++i) w[i + 1] = dx[i];
  return w;
}

int LineHeight(HDC dc) {
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  return tm.tmHeight;
}

// The margin EC_USEFONTINFO asks for: a third of the font's average character width, rounded,
// for a scalable font; none for a bitmap font, and none without a font.
int FontMargin(HWND hwnd, const Edit& e) {
  if (!e.font) return 0;
  MeasureDC m(hwnd, e);
  TEXTMETRICW tm{};
  if (!GetTextMetricsW(m.dc(), &tm) || !(tm.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE)))
    return 0;
  return (int(tm.tmAveCharWidth) + 1) / 3;
}

void SetMargins(HWND hwnd, Edit& e, WPARAM which, LPARAM lp) {
  if (which == EC_USEFONTINFO) which = EC_LEFTMARGIN | EC_RIGHTMARGIN, lp = MAKELPARAM(-1, -1);
  auto margin = [&](WORD w) { return w == EC_USEFONTINFO ? FontMargin(hwnd, e) : int(SHORT(w)); };
  if (which & EC_LEFTMARGIN) e.leftMargin = std::max(0, margin(LOWORD(lp)));
  if (which & EC_RIGHTMARGIN) e.rightMargin = std::max(0, margin(HIWORD(lp)));
}

RECT FormatRect(HWND hwnd, const Edit& e) {
  RECT r{};
  GetClientRect(hwnd, &r);
  r.left += e.leftMargin;
  r.right = std::max(r.left, r.right - e.rightMargin);
  return r;
}

// Where the text starts, in client coordinates, given its full width.
int TextOrigin(HWND hwnd, const Edit& e, int textWidth) {
  RECT f = FormatRect(hwnd, e);
  int room = f.right - f.left;
  if (textWidth < room && e.scrollX == 0) {
    DWORD align = Style(hwnd) & (ES_CENTER | ES_RIGHT);
    if (align == ES_RIGHT) return f.right - textWidth;
    if (align == ES_CENTER) return f.left + (room - textWidth) / 2;
  }
  return f.left - e.scrollX;
}

int CharFromX(HWND hwnd, const Edit& e, int x) {
  MeasureDC m(hwnd, e);
  std::vector<int> w = PrefixWidths(m.dc(), Shown(e));
  int origin = TextOrigin(hwnd, e, w.back());
  int rel = x - origin;
  for (size_t i = 0; i + 1 < w.size(); ++i)
    if (rel < (w[i] + w[i + 1] + 1) / 2) return int(i);
  return int(e.text.size());
}

// Scrolls so that the caret is inside the format rectangle, then places the caret.
void UpdateCaret(HWND hwnd, Edit& e) {
  MeasureDC m(hwnd, e);
  std::vector<int> w = PrefixWidths(m.dc(), Shown(e));
  RECT f = FormatRect(hwnd, e);
  int room = std::max(0, int(f.right - f.left) - 1);
  int cx = w[size_t(e.caret)];
  int old = e.scrollX;
  if (w.back() <= room) e.scrollX = 0;
  else if (cx - e.scrollX > room) e.scrollX = cx - room;
  else if (cx < e.scrollX) e.scrollX = std::max(0, cx - room / 3);
  e.scrollX = std::min(e.scrollX, std::max(0, w.back() - room));
  if (e.scrollX != old) {
    InvalidateRect(hwnd, nullptr, TRUE);
    NotifyParent(hwnd, EN_HSCROLL);
  }
  if (e.focused) SetCaretPos(TextOrigin(hwnd, e, w.back()) + cx, 0);
}

void SetSel(HWND hwnd, Edit& e, int anchor, int caret) {
  int n = int(e.text.size());
  anchor = std::clamp(anchor, 0, n);
  caret = std::clamp(caret, 0, n);
  if (anchor != e.anchor || caret != e.caret) InvalidateRect(hwnd, nullptr, TRUE);
  e.anchor = anchor;
  e.caret = caret;
  e.typingRun = false;
  UpdateCaret(hwnd, e);
}

void TakeUndoSnapshot(Edit& e) {
  e.undoText = e.text;
  e.undoAnchor = e.anchor;
  e.undoCaret = e.caret;
  e.canUndo = true;
}

void Changed(HWND hwnd, Edit& e) {
  e.modified = true;
  NotifyParent(hwnd, EN_UPDATE);
  InvalidateRect(hwnd, nullptr, TRUE);
  UpdateCaret(hwnd, e);
  NotifyParent(hwnd, EN_CHANGE);
}

// Replaces the selection with the first line of s; false when nothing could change.
bool Replace(HWND hwnd, Edit& e, String s, bool undoable, bool typing = false) {
  size_t br = s.find_first_of(u"\r\n");
  if (br != String::npos) s.resize(br);
  int lo = SelMin(e), hi = SelMax(e);
  int room = e.limit - (int(e.text.size()) - (hi - lo));
  bool truncated = false;
  if (int(s.size()) > room) {
    s.resize(size_t(std::max(0, room)));
    truncated = true;
  }
  if (s.empty() && lo == hi) {
    if (truncated) NotifyParent(hwnd, EN_MAXTEXT);
    return false;
  }
  String next = e.text.substr(0, size_t(lo)) + s + e.text.substr(size_t(hi));
  if (!(Style(hwnd) & ES_AUTOHSCROLL)) {
    // Without automatic scrolling the text must fit the visible width.
    MeasureDC m(hwnd, e);
    String shown = e.passwordChar ? String(next.size(), e.passwordChar) : next;
    SIZE size{};
    GetTextExtentPoint32W(m.dc(), shown.c_str(), int(shown.size()), &size);
    RECT f = FormatRect(hwnd, e);
    if (size.cx > f.right - f.left && size.cx > 0 && !s.empty()) {
      NotifyParent(hwnd, EN_MAXTEXT);
      return false;
    }
  }
  if (undoable && !(typing && e.typingRun)) TakeUndoSnapshot(e);
  if (!undoable) e.canUndo = false;
  e.text = std::move(next);
  e.anchor = e.caret = lo + int(s.size());
  Changed(hwnd, e);
  e.typingRun = typing;
  if (truncated) NotifyParent(hwnd, EN_MAXTEXT);
  return true;
}

bool IsWordChar(WCHAR c) { return c != u' ' && c != u'\t'; }

int WordLeft(const String& t, int pos) {
  while (pos > 0 && !IsWordChar(t[size_t(pos - 1)])) --pos;
  while (pos > 0 && IsWordChar(t[size_t(pos - 1)])) --pos;
  return pos;
}

int WordRight(const String& t, int pos) {
  int n = int(t.size());
  while (pos < n && IsWordChar(t[size_t(pos)])) ++pos;
  while (pos < n && !IsWordChar(t[size_t(pos)])) ++pos;
  return pos;
}

void Copy(const Edit& e) {
  if (e.passwordChar || e.anchor == e.caret) return;  // a password never leaves the control
  SetClipboardTextW(e.text.substr(size_t(SelMin(e)), size_t(SelMax(e) - SelMin(e))));
}

void Cut(HWND hwnd, Edit& e) {
  if (e.passwordChar || ReadOnly(hwnd) || e.anchor == e.caret) return;
  Copy(e);
  Replace(hwnd, e, String(), true);
}

void Paste(HWND hwnd, Edit& e) {
  String s;
  if (ReadOnly(hwnd) || !GetClipboardTextW(&s)) return;
  Replace(hwnd, e, s, true);
}

void Undo(HWND hwnd, Edit& e) {
  if (!e.canUndo || ReadOnly(hwnd)) return;
  // Undoing again restores what the undo took away.
  std::swap(e.text, e.undoText);
  std::swap(e.anchor, e.undoAnchor);
  std::swap(e.caret, e.undoCaret);
  e.typingRun = false;
  Changed(hwnd, e);
}

bool Down(int vk) { return GetKeyState(vk) < 0; }

void KeyDown(HWND hwnd, Edit& e, int vk) {
  bool shift = Down(VK_SHIFT), ctrl = Down(VK_CONTROL);
  int n = int(e.text.size());
  auto move = [&](int to) {
    if (shift) SetSel(hwnd, e, e.anchor, to);
    else SetSel(hwnd, e, to, to);
  };
  switch (vk) {
    case VK_LEFT:
      if (!shift && e.anchor != e.caret && !ctrl) move(SelMin(e));
      else move(ctrl ? WordLeft(e.text, e.caret) : std::max(0, e.caret - 1));
      break;
    case VK_RIGHT:
      if (!shift && e.anchor != e.caret && !ctrl) move(SelMax(e));
      else move(ctrl ? WordRight(e.text, e.caret) : std::min(n, e.caret + 1));
      break;
    case VK_HOME: move(0); break;
    case VK_END: move(n); break;
    case VK_DELETE:
      if (ReadOnly(hwnd)) break;
      if (shift) {
        Cut(hwnd, e);
      } else {
        if (e.anchor == e.caret) {
          if (e.caret >= n) break;
          e.anchor = ctrl ? WordRight(e.text, e.caret) : e.caret + 1;
        }
        Replace(hwnd, e, String(), true);
      }
      break;
    case VK_INSERT:
      if (ctrl) Copy(e);
      else if (shift) Paste(hwnd, e);
      break;
    default: break;
  }
}

void Char(HWND hwnd, Edit& e, WCHAR c) {
  switch (c) {
    case 0x01: SetSel(hwnd, e, 0, int(e.text.size())); return;  // Ctrl+A
    case 0x03: Copy(e); return;                                 // Ctrl+C
    case 0x16: Paste(hwnd, e); return;                          // Ctrl+V
    case 0x18: Cut(hwnd, e); return;                            // Ctrl+X
    case 0x1A: Undo(hwnd, e); return;                           // Ctrl+Z
    default: break;
  }
  if (ReadOnly(hwnd)) {
    MessageBeep(MB_OK);
    return;
  }
  if (c == VK_BACK) {
    if (e.anchor == e.caret) {
      if (e.caret == 0) return;
      e.anchor = Down(VK_CONTROL) ? WordLeft(e.text, e.caret) : e.caret - 1;
    }
    Replace(hwnd, e, String(), true);
    return;
  }
  if (c < 0x20 || c == 0x7F) return;
  DWORD style = Style(hwnd);
  if ((style & ES_NUMBER) && (c < u'0' || c > u'9')) {
    MessageBeep(MB_OK);
    return;
  }
  if (style & ES_UPPERCASE) c = WCHAR(AnsiUpperCase(String(1, c))[0]);
  else if (style & ES_LOWERCASE) c = WCHAR(AnsiLowerCase(String(1, c))[0]);
  if (!Replace(hwnd, e, String(1, c), true, true)) MessageBeep(MB_OK);
}

HBRUSH ControlBrush(HWND hwnd, HDC dc) {
  bool grey = ReadOnly(hwnd) || !IsWindowEnabled(hwnd);
  SetTextColor(dc, GetSysColor(IsWindowEnabled(hwnd) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
  SetBkColor(dc, GetSysColor(grey ? COLOR_BTNFACE : COLOR_WINDOW));
  HWND parent = GetParent(hwnd);
  HBRUSH brush = 0;
  if (parent)
    brush = HBRUSH(
        SendMessageW(parent, grey ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT, WPARAM(dc), LPARAM(hwnd)));
  // A disabled edit's text is grey whatever the parent answered, as on the platform.
  if (!IsWindowEnabled(hwnd)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  return brush ? brush : GetSysColorBrush(grey ? COLOR_BTNFACE : COLOR_WINDOW);
}

void Paint(HWND hwnd, Edit& e) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  HGDIOBJ oldFont = SelectObject(dc, e.font ? HGDIOBJ(e.font) : GetStockObject(SYSTEM_FONT));
  HBRUSH brush = ControlBrush(hwnd, dc);
  RECT client{};
  GetClientRect(hwnd, &client);
  FillRect(dc, &client, brush);
  RECT f = FormatRect(hwnd, e);
  HRGN clip = CreateRectRgn(f.left, f.top, f.right, f.bottom);
  SelectClipRgn(dc, clip);
  String shown = Shown(e);
  if (shown.empty() && !e.cue.empty() && (!e.focused || e.cueWhenFocused)) {
    COLORREF old = SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    SetBkMode(dc, TRANSPARENT);
    TextOutW(dc, f.left, 0, e.cue.c_str(), int(e.cue.size()));
    SetTextColor(dc, old);
  } else {
    std::vector<int> w = PrefixWidths(dc, shown);
    int x0 = TextOrigin(hwnd, e, w.back());
    int lo = SelMin(e), hi = SelMax(e);
    bool showSel = lo != hi && (e.focused || (Style(hwnd) & ES_NOHIDESEL));
    if (!showSel) lo = hi = int(shown.size());
    SetBkMode(dc, TRANSPARENT);
    if (lo > 0) TextOutW(dc, x0, 0, shown.c_str(), lo);
    if (size_t(hi) < shown.size())
      TextOutW(dc, x0 + w[size_t(hi)], 0, shown.c_str() + hi, int(shown.size()) - hi);
    if (hi > lo) {
      COLORREF oldText = SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
      COLORREF oldBk = SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
      SetBkMode(dc, OPAQUE);
      RECT sel{x0 + w[size_t(lo)], 0, x0 + w[size_t(hi)], LineHeight(dc)};
      ExtTextOutW(dc, sel.left, 0, ETO_OPAQUE, &sel, shown.c_str() + lo, UINT(hi - lo), nullptr);
      SetTextColor(dc, oldText);
      SetBkColor(dc, oldBk);
    }
  }
  SelectClipRgn(dc, 0);
  DeleteObject(clip);
  SelectObject(dc, oldFont);
  EndPaint(hwnd, &ps);
}

void StartCaret(HWND hwnd, Edit& e) {
  MeasureDC m(hwnd, e);
  CreateCaret(hwnd, 0, 1, LineHeight(m.dc()));
  e.focused = true;
  UpdateCaret(hwnd, e);
  ShowCaret(hwnd);
}

void SetText(Edit& e, const WCHAR* text) {
  e.text = text ? String(text) : String();
  if (int(e.text.size()) > e.limit) e.text.resize(size_t(e.limit));
  e.anchor = e.caret = 0;
  e.scrollX = 0;
  e.canUndo = false;
  e.typingRun = false;
  e.modified = false;
}

LRESULT EditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Edit* ep = Get(hwnd);
  if (!ep) {
    if (msg != WM_NCCREATE) return DefWindowProcW(hwnd, msg, wp, lp);
    ep = new Edit;
    SetWindowLongPtrW(hwnd, 0, LONG_PTR(ep));
    const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lp);
    if (cs->style & ES_PASSWORD) ep->passwordChar = u'*';
    SetText(*ep, cs->lpszName);
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
  Edit& e = *ep;
  switch (msg) {
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd, 0, 0);
      delete ep;
      return DefWindowProcW(hwnd, msg, wp, lp);
    case WM_GETDLGCODE: return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    case WM_SETTEXT:
      SetText(e, reinterpret_cast<const WCHAR*>(lp));
      DefWindowProcW(hwnd, msg, wp, LPARAM(e.text.c_str()));
      Changed(hwnd, e);
      e.modified = false;
      return TRUE;
    case WM_GETTEXT: {
      if (wp == 0 || !lp) return 0;
      size_t n = std::min(e.text.size(), size_t(wp) - 1);
      auto* out = reinterpret_cast<WCHAR*>(lp);
      std::copy_n(e.text.data(), n, out);
      out[n] = 0;
      return LRESULT(n);
    }
    case WM_GETTEXTLENGTH: return LRESULT(e.text.size());
    case WM_SETFONT:
      e.font = HFONT(wp);
      // A new font brings the margins its metrics give, as on the platform.
      SetMargins(hwnd, e, EC_LEFTMARGIN | EC_RIGHTMARGIN,
                 MAKELPARAM(EC_USEFONTINFO, EC_USEFONTINFO));
      if (!e.focused) UpdateCaret(hwnd, e);
      if (LOWORD(lp)) InvalidateRect(hwnd, nullptr, TRUE);
      if (e.focused) StartCaret(hwnd, e);
      return 0;
    case WM_GETFONT: return LRESULT(e.font);
    case WM_SETFOCUS:
      StartCaret(hwnd, e);
      InvalidateRect(hwnd, nullptr, TRUE);
      NotifyParent(hwnd, EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      e.focused = false;
      e.tracking = false;
      DestroyCaret();
      InvalidateRect(hwnd, nullptr, TRUE);
      NotifyParent(hwnd, EN_KILLFOCUS);
      return 0;
    case WM_ENABLE:  // the text turns grey, and the themed frame takes its disabled state
      RedrawWindow(hwnd, nullptr, 0, RDW_INVALIDATE | RDW_FRAME);
      return 0;
    case WM_ERASEBKGND: return 1;  // painted whole in WM_PAINT
    case WM_PAINT: Paint(hwnd, e); return 0;
    case WM_SIZE: UpdateCaret(hwnd, e); return DefWindowProcW(hwnd, msg, wp, lp);
    case WM_SETCURSOR:
      if (LOWORD(lp) == HTCLIENT) {
        SetCursor(LoadCursorW(0, MAKEINTRESOURCEW(IDC_IBEAM)));
        return TRUE;
      }
      return DefWindowProcW(hwnd, msg, wp, lp);
    case WM_LBUTTONDOWN: {
      if (GetFocus() != hwnd) SetFocus(hwnd);
      int pos = CharFromX(hwnd, e, GET_X_LPARAM(lp));
      SetSel(hwnd, e, (wp & MK_SHIFT) ? e.anchor : pos, pos);
      e.tracking = true;
      SetCapture(hwnd);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (e.tracking && GetCapture() == hwnd)
        SetSel(hwnd, e, e.anchor, CharFromX(hwnd, e, GET_X_LPARAM(lp)));
      return 0;
    case WM_LBUTTONUP:
      if (e.tracking) {
        e.tracking = false;
        if (GetCapture() == hwnd) ReleaseCapture();
      }
      return 0;
    case WM_CAPTURECHANGED: e.tracking = false; return 0;
    case WM_LBUTTONDBLCLK: {
      int pos = CharFromX(hwnd, e, GET_X_LPARAM(lp));
      int n = int(e.text.size());
      int lo = pos, hi = pos;
      bool word = pos < n ? IsWordChar(e.text[size_t(pos)])
                          : (pos > 0 && IsWordChar(e.text[size_t(pos - 1)]));
      if (pos == n && pos > 0) lo = hi = pos - 1;
      while (lo > 0 && IsWordChar(e.text[size_t(lo - 1)]) == word) --lo;
      while (hi < n && IsWordChar(e.text[size_t(hi)]) == word) ++hi;
      SetSel(hwnd, e, lo, hi);
      return 0;
    }
    case WM_KEYDOWN: KeyDown(hwnd, e, int(wp)); return 0;
    case WM_CHAR: Char(hwnd, e, WCHAR(wp)); return 0;
    case WM_COPY: Copy(e); return 0;
    case WM_CUT: Cut(hwnd, e); return 0;
    case WM_PASTE: Paste(hwnd, e); return 0;
    case WM_CLEAR:
      if (!ReadOnly(hwnd)) Replace(hwnd, e, String(), true);
      return 0;
    case WM_UNDO:
    case EM_UNDO: {
      bool could = e.canUndo && !ReadOnly(hwnd);
      Undo(hwnd, e);
      return could;
    }
    case EM_CANUNDO: return e.canUndo;
    case EM_EMPTYUNDOBUFFER:
      e.canUndo = false;
      e.typingRun = false;
      return 0;
    case EM_GETSEL:
      if (wp) *reinterpret_cast<DWORD*>(wp) = DWORD(SelMin(e));
      if (lp) *reinterpret_cast<DWORD*>(lp) = DWORD(SelMax(e));
      return MAKELRESULT(std::min(SelMin(e), 0xFFFF), std::min(SelMax(e), 0xFFFF));
    case EM_SETSEL: {
      int start = int(wp), end = int(lp);
      int n = int(e.text.size());
      if (start < 0) {
        SetSel(hwnd, e, e.caret, e.caret);  // -1 removes the selection, keeping the caret
      } else {
        if (end < 0) end = n;
        SetSel(hwnd, e, start, end);
      }
      return 0;
    }
    case EM_REPLACESEL:
      e.typingRun = false;
      Replace(hwnd, e, lp ? String(reinterpret_cast<const WCHAR*>(lp)) : String(), wp != 0);
      return 0;
    case EM_SETLIMITTEXT:
      e.limit = wp == 0 ? kMaxLimit : int(std::min<WPARAM>(wp, kMaxLimit));
      return 0;
    case EM_GETLIMITTEXT: return e.limit;
    case EM_GETMODIFY: return e.modified;
    case EM_SETMODIFY: e.modified = wp != 0; return 0;
    case EM_SETREADONLY: {
      DWORD style = Style(hwnd);
      style = wp ? (style | ES_READONLY) : (style & ~ES_READONLY);
      SetWindowLongW(hwnd, GWL_STYLE, LONG(style));
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    }
    case EM_SETPASSWORDCHAR: {
      e.passwordChar = WCHAR(wp);
      DWORD style = Style(hwnd);
      style = wp ? (style | ES_PASSWORD) : (style & ~ES_PASSWORD);
      SetWindowLongW(hwnd, GWL_STYLE, LONG(style));
      InvalidateRect(hwnd, nullptr, TRUE);
      UpdateCaret(hwnd, e);
      return 0;
    }
    case EM_GETPASSWORDCHAR: return e.passwordChar;
    case EM_SETMARGINS:
      SetMargins(hwnd, e, wp, lp);
      InvalidateRect(hwnd, nullptr, TRUE);
      UpdateCaret(hwnd, e);
      return 0;
    case EM_GETMARGINS: return MAKELRESULT(e.leftMargin, e.rightMargin);
    case EM_SETCUEBANNER: {
      // Sent again on every frame repaint by some controls: the same cue paints nothing again.
      String cue = lp ? String(reinterpret_cast<const WCHAR*>(lp)) : String();
      if (e.cueWhenFocused == (wp != 0) && e.cue == cue) return TRUE;
      e.cueWhenFocused = wp != 0;
      e.cue = std::move(cue);
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    }
    case EM_GETCUEBANNER: {
      auto* out = reinterpret_cast<WCHAR*>(wp);
      if (!out || lp <= 0) return FALSE;
      size_t n = std::min(e.cue.size(), size_t(lp) - 1);
      std::copy_n(e.cue.data(), n, out);
      out[n] = 0;
      return TRUE;
    }
    case EM_POSFROMCHAR: {
      int i = std::clamp(int(wp), 0, int(e.text.size()));
      MeasureDC m(hwnd, e);
      std::vector<int> w = PrefixWidths(m.dc(), Shown(e));
      return MAKELRESULT(TextOrigin(hwnd, e, w.back()) + w[size_t(i)], 0);
    }
    case EM_CHARFROMPOS: return MAKELRESULT(CharFromX(hwnd, e, GET_X_LPARAM(lp)), 0);
    case EM_SCROLLCARET: UpdateCaret(hwnd, e); return TRUE;
    default: break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

void RegisterEditControlClass() {
  WNDCLASSEXW wc;
  if (GetClassInfoExW(0, u"EDIT", &wc)) return;
  wc = WNDCLASSEXW{};
  wc.style = CS_DBLCLKS | CS_GLOBALCLASS;
  wc.lpfnWndProc = EditProc;
  wc.cbWndExtra = int(sizeof(LONG_PTR));
  wc.hCursor = LoadCursorW(0, MAKEINTRESOURCEW(IDC_IBEAM));
  wc.lpszClassName = u"EDIT";
  RegisterClassExW(&wc);
}

void RegisterSystemControlClasses() {
  RegisterEditControlClass();
  RegisterButtonControlClass();
  RegisterStaticControlClass();
  RegisterUpDownControlClass();
  RegisterComboBoxControlClass();
}
