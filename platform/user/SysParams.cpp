// System metrics and parameters in their classic values, monitors from the host's screens,
// rectangle helpers, sounds and the clipboard.
#include <cstring>

#include "UserInternal.h"

namespace user {
namespace {

std::vector<HostScreen> gScreens;
bool gScreensKnown = false;
String gLocalClipboard;  // without a host

constexpr HMONITOR kMonitorBase = 0x00010001;

LOGFONTW UiFont(bool bold) {
  LOGFONTW lf;
  lf.lfHeight = -11;
  lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  const char16_t* face = u"Tahoma";
  for (int i = 0; face[i]; ++i) lf.lfFaceName[i] = face[i];
  return lf;
}

const HostScreen& Primary() {
  const auto& s = Screens();
  for (const HostScreen& h : s)
    if (h.primary) return h;
  return s.front();
}

RECT VirtualScreen() {
  RECT r = Screens().front().geometry;
  for (const HostScreen& s : Screens()) r = UnionOf(r, s.geometry);
  return r;
}

long long DistanceSq(const RECT& r, POINT p) {
  long long dx = p.x < r.left ? r.left - p.x : p.x >= r.right ? p.x - r.right + 1 : 0;
  long long dy = p.y < r.top ? r.top - p.y : p.y >= r.bottom ? p.y - r.bottom + 1 : 0;
  return dx * dx + dy * dy;
}

HMONITOR Fallback(DWORD flags, POINT p) {
  if (flags == MONITOR_DEFAULTTONULL) return 0;
  const auto& s = Screens();
  std::size_t best = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (flags == MONITOR_DEFAULTTOPRIMARY) {
      if (s[i].primary) return kMonitorBase + HMONITOR(i);
      continue;
    }
    if (DistanceSq(s[i].geometry, p) < DistanceSq(s[best].geometry, p)) best = i;
  }
  return kMonitorBase + HMONITOR(flags == MONITOR_DEFAULTTOPRIMARY ? 0 : best);
}

}  // namespace

const std::vector<HostScreen>& Screens() {
  if (!gScreensKnown) RefreshScreens();
  return gScreens;
}

void RefreshScreens() {
  gScreensKnown = true;
  gScreens.clear();
  if (HostWindowDriver* h = Host()) gScreens = h->GetScreens();
  if (gScreens.empty()) {
    HostScreen s;
    s.geometry = s.workArea = RECT{0, 0, 1024, 768};
    s.primary = true;
    gScreens.push_back(s);
  }
  bool anyPrimary = false;
  for (const HostScreen& s : gScreens) anyPrimary |= s.primary;
  if (!anyPrimary) gScreens.front().primary = true;
  const HostScreen& p = Primary();
  int w = p.geometry.right - p.geometry.left, hgt = p.geometry.bottom - p.geometry.top;
  SetDesktopRect(RECT{0, 0, w, hgt});
  GdiSetScreenSize(w, hgt);
}

void ForgetScreens() {
  gScreensKnown = false;
  gScreens.clear();
  gLocalClipboard.clear();
}

RECT UnionOf(const RECT& a, const RECT& b) {
  if (Empty(a)) return b;
  if (Empty(b)) return a;
  return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
              std::max(a.bottom, b.bottom)};
}

void FillSys(HDC dc, const RECT& r, int sysColor) {
  if (Empty(r)) return;
  FillRect(dc, &r, GetSysColorBrush(sysColor));
}

}  // namespace user

using namespace user;

BOOL IsRectEmpty(const RECT* r) { return !r || Empty(*r); }
BOOL PtInRect(const RECT* r, POINT p) { return r && Contains(*r, p); }
BOOL OffsetRect(RECT* r, int dx, int dy) {
  if (!r) return FALSE;
  *r = Offset(*r, dx, dy);
  return TRUE;
}
BOOL InflateRect(RECT* r, int dx, int dy) {
  if (!r) return FALSE;
  r->left -= dx;
  r->top -= dy;
  r->right += dx;
  r->bottom += dy;
  return TRUE;
}
BOOL IntersectRect(RECT* dst, const RECT* a, const RECT* b) {
  if (!dst || !a || !b) return FALSE;
  *dst = Intersect(*a, *b);
  return !Empty(*dst);
}
BOOL UnionRect(RECT* dst, const RECT* a, const RECT* b) {
  if (!dst || !a || !b) return FALSE;
  *dst = UnionOf(*a, *b);
  if (Empty(*dst)) *dst = RECT{};
  return !Empty(*dst);
}

int GetSystemMetrics(int index) {
  switch (index) {
    case SM_CXSCREEN: {
      const RECT& g = Primary().geometry;
      return g.right - g.left;
    }
    case SM_CYSCREEN: {
      const RECT& g = Primary().geometry;
      return g.bottom - g.top;
    }
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB: return 16;
    case SM_CYCAPTION: return 19;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return 3;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR: return 32;
    case SM_CYMENU: return 19;
    case SM_CXFULLSCREEN: {
      const RECT& w = Primary().workArea;
      return w.right - w.left;
    }
    case SM_CYFULLSCREEN: {
      const RECT& w = Primary().workArea;
      return w.bottom - w.top - GetSystemMetrics(SM_CYCAPTION);
    }
    case SM_MOUSEPRESENT: return 1;
    case SM_CXMIN:
    case SM_CXMINTRACK: return 112;
    case SM_CYMIN:
    case SM_CYMINTRACK: return 27;
    case SM_CXSIZE:
    case SM_CYSIZE: return 18;
    case SM_CXFRAME:
    case SM_CYFRAME: return 4;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK: return 4;
    case SM_CXICONSPACING:
    case SM_CYICONSPACING: return 75;
    case SM_CMOUSEBUTTONS: return 3;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    case SM_CXMINSPACING: return 160;
    case SM_CYMINSPACING: return 24;
    case SM_CXSMICON:
    case SM_CYSMICON: return 16;
    case SM_CYSMCAPTION: return 16;
    case SM_CXSMSIZE: return 12;
    case SM_CYSMSIZE: return 15;
    case SM_CXMENUSIZE:
    case SM_CYMENUSIZE: return 18;
    case SM_ARRANGE: return 8;
    case SM_CXMINIMIZED: return 160;
    case SM_CYMINIMIZED: return 24;
    case SM_CXMAXTRACK: {
      RECT v = VirtualScreen();
      return v.right - v.left + 12;
    }
    case SM_CYMAXTRACK: {
      RECT v = VirtualScreen();
      return v.bottom - v.top + 12;
    }
    case SM_CXMAXIMIZED: {
      const RECT& w = Primary().workArea;
      return w.right - w.left + 8;
    }
    case SM_CYMAXIMIZED: {
      const RECT& w = Primary().workArea;
      return w.bottom - w.top + 8;
    }
    case SM_NETWORK: return 3;
    case SM_CXDRAG:
    case SM_CYDRAG: return 4;
    case SM_CXMENUCHECK:
    case SM_CYMENUCHECK: return 13;
    case SM_MOUSEWHEELPRESENT: return 1;
    case SM_XVIRTUALSCREEN: return VirtualScreen().left;
    case SM_YVIRTUALSCREEN: return VirtualScreen().top;
    case SM_CXVIRTUALSCREEN: {
      RECT v = VirtualScreen();
      return v.right - v.left;
    }
    case SM_CYVIRTUALSCREEN: {
      RECT v = VirtualScreen();
      return v.bottom - v.top;
    }
    case SM_CMONITORS: return int(Screens().size());
    case SM_SAMEDISPLAYFORMAT: return 1;
    case SM_CXFOCUSBORDER:
    case SM_CYFOCUSBORDER: return 1;
  }
  return 0;
}

BOOL SystemParametersInfoW(UINT action, UINT uiParam, void* pv, UINT) {
  auto setInt = [&](int v) {
    if (!pv) return FALSE;
    *static_cast<int*>(pv) = v;
    return TRUE;
  };
  switch (action) {
    case SPI_GETWORKAREA:
      if (!pv) return FALSE;
      *static_cast<RECT*>(pv) = Primary().workArea;
      return TRUE;
    case SPI_GETNONCLIENTMETRICS: {
      auto* m = static_cast<NONCLIENTMETRICSW*>(pv);
      if (!m || (uiParam && uiParam != sizeof(NONCLIENTMETRICSW) &&
                 uiParam != sizeof(NONCLIENTMETRICSW) - sizeof(int)))
        return FALSE;
      UINT size = m->cbSize;
      *m = NONCLIENTMETRICSW{};
      m->cbSize = size;
      m->iBorderWidth = 1;
      m->iScrollWidth = m->iScrollHeight = 16;
      m->iCaptionWidth = m->iCaptionHeight = 18;
      m->lfCaptionFont = UiFont(true);
      m->iSmCaptionWidth = 12;
      m->iSmCaptionHeight = 15;
      m->lfSmCaptionFont = UiFont(true);
      m->iMenuWidth = m->iMenuHeight = 18;
      m->lfMenuFont = m->lfStatusFont = m->lfMessageFont = UiFont(false);
      return TRUE;
    }
    case SPI_GETICONTITLELOGFONT:
      if (!pv) return FALSE;
      *static_cast<LOGFONTW*>(pv) = UiFont(false);
      return TRUE;
    case SPI_GETMOUSE:
      if (!pv) return FALSE;
      static_cast<int*>(pv)[0] = 6;
      static_cast<int*>(pv)[1] = 10;
      static_cast<int*>(pv)[2] = 1;
      return TRUE;
    case SPI_GETBEEP: return setInt(TRUE);
    case SPI_GETBORDER: return setInt(1);
    case SPI_GETKEYBOARDSPEED: return setInt(31);
    case SPI_GETKEYBOARDDELAY: return setInt(1);
    case SPI_GETDRAGFULLWINDOWS: return setInt(TRUE);
    case SPI_GETMOUSEHOVERWIDTH:
    case SPI_GETMOUSEHOVERHEIGHT: return setInt(4);
    case SPI_GETMOUSEHOVERTIME: return setInt(400);
    case SPI_GETWHEELSCROLLLINES:
    case SPI_GETWHEELSCROLLCHARS: return setInt(3);
    case SPI_GETMENUSHOWDELAY: return setInt(400);
    case SPI_GETFLATMENU: return setInt(FALSE);
    case SPI_GETKEYBOARDCUES: return setInt(FALSE);
    case SPI_GETFONTSMOOTHING: return setInt(TRUE);
    case SPI_GETHIGHCONTRAST: return FALSE;
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return FALSE;
}

HMONITOR MonitorFromPoint(POINT p, DWORD flags) {
  const auto& s = Screens();
  for (std::size_t i = 0; i < s.size(); ++i)
    if (Contains(s[i].geometry, p)) return kMonitorBase + HMONITOR(i);
  return Fallback(flags, p);
}

HMONITOR MonitorFromRect(const RECT* rect, DWORD flags) {
  if (!rect) return 0;
  const auto& s = Screens();
  long long bestArea = 0;
  HMONITOR best = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    RECT r = Intersect(s[i].geometry, *rect);
    long long a = Empty(r) ? 0 : (long long)(r.right - r.left) * (r.bottom - r.top);
    if (a > bestArea) {
      bestArea = a;
      best = kMonitorBase + HMONITOR(i);
    }
  }
  if (best) return best;
  POINT c{(rect->left + rect->right) / 2, (rect->top + rect->bottom) / 2};
  return Fallback(flags, c);
}

HMONITOR MonitorFromWindow(HWND hwnd, DWORD flags) {
  Wnd* w = GetWnd(hwnd);
  if (!w) return flags == MONITOR_DEFAULTTONULL ? 0 : Fallback(MONITOR_DEFAULTTOPRIMARY, {});
  RECT r = (w->style & WS_MINIMIZE) ? w->normal : ScreenWindowRect(w);
  return MonitorFromRect(&r, flags);
}

BOOL GetMonitorInfoW(HMONITOR monitor, MONITORINFO* info) {
  const auto& s = Screens();
  if (!info || info->cbSize < sizeof(MONITORINFO) || monitor < kMonitorBase ||
      monitor - kMonitorBase >= s.size())
    return FALSE;
  const HostScreen& h = s[monitor - kMonitorBase];
  info->rcMonitor = h.geometry;
  info->rcWork = h.workArea;
  info->dwFlags = h.primary ? MONITORINFOF_PRIMARY : 0;
  return TRUE;
}

BOOL EnumDisplayMonitors(HDC dc, const RECT* clip, MONITORENUMPROC proc, LPARAM lParam) {
  if (!proc) return FALSE;
  const auto s = Screens();
  for (std::size_t i = 0; i < s.size(); ++i) {
    RECT r = s[i].geometry;
    if (clip) {
      r = Intersect(r, *clip);
      if (Empty(r)) continue;
    }
    if (!proc(kMonitorBase + HMONITOR(i), dc, &r, lParam)) return FALSE;
  }
  return TRUE;
}

BOOL MessageBeep(UINT) {
  if (HostWindowDriver* h = Host()) h->Beep();
  return TRUE;
}

BOOL SetClipboardTextW(const String& text) {
  if (HostWindowDriver* h = Host()) return h->SetClipboardText(text) ? TRUE : FALSE;
  gLocalClipboard = text;
  return TRUE;
}

BOOL GetClipboardTextW(String* text) {
  if (!text) return FALSE;
  if (HostWindowDriver* h = Host()) return h->GetClipboardText(text) ? TRUE : FALSE;
  *text = gLocalClipboard;
  return !gLocalClipboard.empty();
}
