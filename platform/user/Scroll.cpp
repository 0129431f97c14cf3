// Window scroll bars (WS_HSCROLL / WS_VSCROLL in the non-client area): their state, geometry,
// classic painting and the pointer tracking that sends WM_HSCROLL / WM_VSCROLL.
#include "UserInternal.h"

namespace user {
namespace {

constexpr UINT kFirstRepeat = 200, kNextRepeat = 50;
constexpr UINT_PTR kScrollTimer = 0xFFFA;
constexpr int kMinThumb = 8;

enum Part { kNone = -1, kArrow1 = 0, kTrack1 = 1, kThumb = 2, kTrack2 = 3, kArrow2 = 4 };

struct Geometry {
  RECT bar{};  // window coordinates
  bool vertical = true;
  int length = 0, arrow = 0, thumbPos = 0, thumbLen = 0;  // along the bar, from its start
};

Geometry Measure(const Wnd* w, int bar) {
  Geometry g;
  g.bar = ScrollBarRect(w, bar);
  g.vertical = bar == SB_VERT;
  g.length = g.vertical ? g.bar.bottom - g.bar.top : g.bar.right - g.bar.left;
  int thick = g.vertical ? GetSystemMetrics(SM_CXVSCROLL) : GetSystemMetrics(SM_CYHSCROLL);
  g.arrow = std::min(thick, g.length / 2);
  int track = g.length - 2 * g.arrow;
  const ScrollBarState& s = w->scroll[bar];
  if (s.disabled == ESB_DISABLE_BOTH || track <= 0) return g;
  int range = s.max - s.min + 1;
  int len = s.page ? int((long long)track * s.page / std::max(range, 1)) : thick;
  len = std::max(len, kMinThumb);
  if (len > track) return g;
  int maxPos = s.max - std::max<int>(int(s.page) - 1, 0);
  g.thumbLen = len;
  g.thumbPos = g.arrow;
  if (maxPos > s.min)
    g.thumbPos += int((long long)(track - len) * (s.pos - s.min) / (maxPos - s.min));
  return g;
}

RECT PartRect(const Geometry& g, int part) {
  int a = 0, b = 0;
  switch (part) {
    case kArrow1:
      a = 0;
      b = g.arrow;
      break;
    case kTrack1:
      a = g.arrow;
      b = g.thumbLen ? g.thumbPos : g.length / 2;
      break;
    case kThumb:
      a = g.thumbPos;
      b = g.thumbPos + g.thumbLen;
      break;
    case kTrack2:
      a = g.thumbLen ? g.thumbPos + g.thumbLen : g.length / 2;
      b = g.length - g.arrow;
      break;
    case kArrow2:
      a = g.length - g.arrow;
      b = g.length;
      break;
  }
  if (g.vertical) return RECT{g.bar.left, g.bar.top + a, g.bar.right, g.bar.top + b};
  return RECT{g.bar.left + a, g.bar.top, g.bar.left + b, g.bar.bottom};
}

int PartAt(const Geometry& g, POINT local) {
  if (!Contains(g.bar, local)) return kNone;
  for (int p = kArrow1; p <= kArrow2; ++p) {
    if (p == kThumb && !g.thumbLen) continue;
    if (Contains(PartRect(g, p), local)) return p;
  }
  return kNone;
}

void Redraw(HWND hwnd, int bar, int pressed) {
  Wnd* w = GetWnd(hwnd);
  if (!w || !IsVisibleChain(w) || !ScrollBarShown(w, bar)) return;
  HDC dc = GetDCEx(hwnd, 0, DCX_WINDOW | DCX_CACHE);
  PaintScrollBar(dc, w, bar, pressed);
  ReleaseDC(hwnd, dc);
}

int Clamp(const ScrollBarState& s, int pos) {
  int maxPos = s.max - std::max<int>(int(s.page) - 1, 0);
  return std::max(s.min, std::min(pos, std::max(s.min, maxPos)));
}

ScrollBarState* BarOf(HWND hwnd, int bar, Wnd** out = nullptr) {
  Wnd* w = GetWndOrError(hwnd);
  if (!w || (bar != SB_HORZ && bar != SB_VERT)) return nullptr;
  if (out) *out = w;
  return &w->scroll[bar];
}

void SetShown(HWND hwnd, int bar, bool show) {
  Wnd* w = GetWnd(hwnd);
  if (!w) return;
  DWORD bit = bar == SB_VERT ? WS_VSCROLL : bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL | WS_HSCROLL;
  DWORD style = show ? (w->style | bit) : (w->style & ~bit);
  if (style == w->style) return;
  w->style = style;
  SetWindowPos(hwnd, 0, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void PaintScrollBar(HDC dc, Wnd* w, int bar, int pressed) {
  Geometry g = Measure(w, bar);
  if (Empty(g.bar)) return;
  const ScrollBarState& s = w->scroll[bar];
  bool dis1 = (s.disabled & ESB_DISABLE_LTUP) || (w->style & WS_DISABLED);
  bool dis2 = (s.disabled & ESB_DISABLE_RTDN) || (w->style & WS_DISABLED);
  RECT a1 = PartRect(g, kArrow1), a2 = PartRect(g, kArrow2);
  UINT k1 = g.vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT;
  UINT k2 = g.vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT;
  DrawFrameControl(
      dc, &a1, DFC_SCROLL,
      k1 | (dis1 ? DFCS_INACTIVE : 0) | (pressed == kArrow1 ? DFCS_PUSHED | DFCS_FLAT : 0));
  DrawFrameControl(
      dc, &a2, DFC_SCROLL,
      k2 | (dis2 ? DFCS_INACTIVE : 0) | (pressed == kArrow2 ? DFCS_PUSHED | DFCS_FLAT : 0));
  FillSys(dc, PartRect(g, kTrack1), pressed == kTrack1 ? COLOR_3DDKSHADOW : COLOR_SCROLLBAR);
  FillSys(dc, PartRect(g, kTrack2), pressed == kTrack2 ? COLOR_3DDKSHADOW : COLOR_SCROLLBAR);
  if (g.thumbLen) {
    RECT t = PartRect(g, kThumb);
    DrawEdge(dc, &t, EDGE_RAISED, BF_RECT | BF_MIDDLE);
  }
}

LRESULT ScrollBarMouseDown(HWND hwnd, int bar, POINT screen) {
  Wnd* w = GetWnd(hwnd);
  if (!w || (w->style & WS_DISABLED)) return 0;
  RECT wr = ScreenWindowRect(w);
  Geometry g = Measure(w, bar);
  int part = PartAt(g, POINT{screen.x - wr.left, screen.y - wr.top});
  if (part == kNone) return 0;
  const ScrollBarState& st = w->scroll[bar];
  if ((part == kArrow1 || part == kTrack1) && (st.disabled & ESB_DISABLE_LTUP)) return 0;
  if ((part == kArrow2 || part == kTrack2) && (st.disabled & ESB_DISABLE_RTDN)) return 0;
  UINT msg = bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
  int code = part == kArrow1   ? SB_LINEUP
             : part == kArrow2 ? SB_LINEDOWN
             : part == kTrack1 ? SB_PAGEUP
                               : SB_PAGEDOWN;
  int grab =
      (g.vertical ? screen.y - wr.top - g.bar.top : screen.x - wr.left - g.bar.left) - g.thumbPos;
  int trackPos = st.pos;
  SetCapture(hwnd);
  Redraw(hwnd, bar, part);
  if (part != kThumb) {
    Send(hwnd, msg, WPARAM(code), 0);
    SetTimer(hwnd, kScrollTimer, kFirstRepeat, nullptr);
  }
  bool over = true;
  MSG m;
  while (NextMessageWhileCaptured(hwnd, m)) {
    Wnd* cur = GetWnd(hwnd);
    if (!cur) break;
    if (m.message == WM_TIMER && m.hwnd == hwnd && m.wParam == kScrollTimer) {
      SetTimer(hwnd, kScrollTimer, kNextRepeat, nullptr);
      Geometry now = Measure(cur, bar);
      RECT wnow = ScreenWindowRect(cur);
      int at = PartAt(now, POINT{gCursorPos.x - wnow.left, gCursorPos.y - wnow.top});
      // The page parts repeat only while the pointer stays on the part that was pressed.
      if (over && (part == kArrow1 || part == kArrow2 || at == part))
        Send(hwnd, msg, WPARAM(code), 0);
      continue;
    }
    if (m.message == WM_MOUSEMOVE || m.message == WM_LBUTTONUP) {
      Geometry now = Measure(cur, bar);
      RECT wnow = ScreenWindowRect(cur);
      POINT local{m.pt.x - wnow.left, m.pt.y - wnow.top};
      if (part == kThumb) {
        int track = now.length - 2 * now.arrow - g.thumbLen;
        int along =
            (now.vertical ? local.y - now.bar.top : local.x - now.bar.left) - grab - now.arrow;
        const ScrollBarState& s = cur->scroll[bar];
        int maxPos = s.max - std::max<int>(int(s.page) - 1, 0);
        int pos =
            track > 0
                ? s.min + int((long long)std::clamp(along, 0, track) * (maxPos - s.min) / track)
                : s.min;
        if (m.message == WM_MOUSEMOVE && pos != trackPos) {
          trackPos = pos;
          cur->scroll[bar].trackPos = pos;
          Send(hwnd, msg, MAKEWPARAM(SB_THUMBTRACK, pos), 0);
        }
        if (m.message == WM_LBUTTONUP) {
          Send(hwnd, msg, MAKEWPARAM(SB_THUMBPOSITION, trackPos), 0);
          break;
        }
      } else {
        bool nowOver = PartAt(now, local) == part || part == kTrack1 || part == kTrack2;
        if (nowOver != over) Redraw(hwnd, bar, (over = nowOver) ? part : kNone);
        if (m.message == WM_LBUTTONUP) break;
      }
      continue;
    }
    if (m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST) continue;
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  KillTimer(hwnd, kScrollTimer);
  if (GetCapture() == hwnd) ReleaseCapture();
  if (IsWindow(hwnd)) {
    Send(hwnd, msg, SB_ENDSCROLL, 0);
    Redraw(hwnd, bar, kNone);
  }
  return 0;
}

}  // namespace user

using namespace user;

int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* si, BOOL redraw) {
  Wnd* w;
  ScrollBarState* s = BarOf(hwnd, bar, &w);
  if (!s || !si) return 0;
  bool changeParams = false;
  if (si->fMask & SIF_RANGE) {
    if (s->min != si->nMin || s->max != si->nMax) changeParams = true;
    s->min = si->nMin;
    s->max = std::max(si->nMin, si->nMax);
  }
  if (si->fMask & SIF_PAGE) {
    UINT page = std::min<UINT>(si->nPage, UINT(s->max - s->min + 1));
    if (page != s->page) changeParams = true;
    s->page = page;
  }
  if (si->fMask & SIF_POS) s->pos = si->nPos;
  s->pos = Clamp(*s, s->pos);
  int pos = s->pos;
  if (si->fMask & (SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL)) {
    bool unneeded = s->min >= s->max - std::max<int>(int(s->page) - 1, 0);
    if (unneeded) {
      if (si->fMask & SIF_DISABLENOSCROLL) {
        s->disabled = ESB_DISABLE_BOTH;
        if (!ScrollBarShown(w, bar)) SetShown(hwnd, bar, true);
      } else if (changeParams) {
        SetShown(hwnd, bar, false);
        return pos;
      }
    } else if ((si->fMask & ~SIF_DISABLENOSCROLL) != SIF_PAGE && changeParams) {
      s->disabled = ESB_ENABLE_BOTH;
      SetShown(hwnd, bar, true);
    }
  }
  if (redraw) Redraw(hwnd, bar, -1);
  return pos;
}

BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* si) {
  ScrollBarState* s = BarOf(hwnd, bar);
  if (!s || !si) return FALSE;
  if (si->fMask & SIF_RANGE) {
    si->nMin = s->min;
    si->nMax = s->max;
  }
  if (si->fMask & SIF_PAGE) si->nPage = s->page;
  if (si->fMask & SIF_POS) si->nPos = s->pos;
  if (si->fMask & SIF_TRACKPOS) si->nTrackPos = s->trackPos;
  return TRUE;
}

int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw) {
  ScrollBarState* s = BarOf(hwnd, bar);
  if (!s) return 0;
  int old = s->pos;
  SCROLLINFO si;
  si.fMask = SIF_POS;
  si.nPos = pos;
  SetScrollInfo(hwnd, bar, &si, redraw);
  return old;
}

int GetScrollPos(HWND hwnd, int bar) {
  ScrollBarState* s = BarOf(hwnd, bar);
  return s ? s->pos : 0;
}

BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show) {
  if (!GetWndOrError(hwnd) || bar == SB_CTL) return FALSE;
  SetShown(hwnd, bar, show != FALSE);
  return TRUE;
}
