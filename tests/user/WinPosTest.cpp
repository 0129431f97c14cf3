// Moving, sizing and showing: SetWindowPos's messages and what handlers may change in them,
// minimise and restore, deferred positions, WM_SETREDRAW and geometry from the host.
#include "UserTestSupport.h"

namespace {

using Lines = std::vector<std::string>;
const std::set<UINT> kPaint{WM_NCPAINT, WM_ERASEBKGND, WM_PAINT, WM_NCHITTEST};

class WinPosTest : public UserTest {
 protected:
  void SetUp() override {
    UserTest::SetUp();
    RegisterTestClass(u"Host", 0, HBRUSH(COLOR_BTNFACE + 1));
    RegisterTestClass(u"Item", 0, HBRUSH(COLOR_WINDOW + 1));
    top = CreateWindowExW(0, u"Host", u"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 400, 300, 0, 0,
                          0, nullptr);
    item = CreateWindowExW(0, u"Item", u"", WS_CHILD | WS_VISIBLE, 10, 10, 100, 50, top, 0, 0,
                           nullptr);
    PumpMessages();
    log.Attach();
    log.Name(item, "item");
    log.Name(top, "top");
    log.Clear();
  }
  HWND top = 0, item = 0;
  MessageLog log;
};

TEST_F(WinPosTest, SizingAndMovingSendTheirMessagesInOrder) {
  SetWindowPos(item, 0, 0, 0, 80, 60, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(log.Lines(kPaint), (Lines{"item WM_WINDOWPOSCHANGING", "item WM_NCCALCSIZE",
                                      "item WM_WINDOWPOSCHANGED", "item WM_SIZE (def)"}));
  EXPECT_EQ(log.Of(item, WM_SIZE)[0].lParam, MAKELPARAM(80, 60));
  log.Clear();
  MoveWindow(item, 20, 30, 80, 60, TRUE);
  EXPECT_EQ(log.Lines(kPaint),
            (Lines{"item WM_WINDOWPOSCHANGING", "item WM_WINDOWPOSCHANGED", "item WM_MOVE (def)"}));
  EXPECT_EQ(log.Of(item, WM_MOVE)[0].lParam, MAKELPARAM(20, 30));
  log.Clear();
  MoveWindow(item, 20, 30, 80, 60, TRUE);  // nothing changes: only the question is asked
  EXPECT_EQ(log.Lines(kPaint), (Lines{"item WM_WINDOWPOSCHANGING"}));
  log.Clear();
  // Moved and sized at once: the move is told first, then the size, each with the new client.
  MoveWindow(item, 5, 6, 70, 40, TRUE);
  EXPECT_EQ(log.Lines(kPaint),
            (Lines{"item WM_WINDOWPOSCHANGING", "item WM_NCCALCSIZE", "item WM_WINDOWPOSCHANGED",
                   "item WM_MOVE (def)", "item WM_SIZE (def)"}));
  EXPECT_EQ(log.Of(item, WM_MOVE)[0].lParam, MAKELPARAM(5, 6));
  EXPECT_EQ(log.Of(item, WM_SIZE)[0].lParam, MAKELPARAM(70, 40));
  log.Clear();
  SetWindowPos(item, 0, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  EXPECT_EQ(log.Lines(kPaint),
            (Lines{"item WM_WINDOWPOSCHANGING", "item WM_NCCALCSIZE", "item WM_WINDOWPOSCHANGED"}));
}

TEST_F(WinPosTest, HandlersMayChangeThePositionAndReserveNonClientSpace) {
  UINT flagsSeen = 0;
  bool strip = false;
  SetTestHandler(u"Item", [&](HWND, UINT msg, WPARAM wp, LPARAM lp, LRESULT* r) {
    if (msg == WM_WINDOWPOSCHANGING) {
      auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
      if (!(pos->flags & SWP_NOSIZE)) pos->cx = 33;
      return false;
    }
    if (msg == WM_NCCALCSIZE && wp && strip) {
      // A strip on the right, as a drop button of an edit keeps for itself.
      DefWindowProcW(0, msg, wp, lp);
      auto* p = reinterpret_cast<NCCALCSIZE_PARAMS*>(lp);
      p->rgrc[0].right -= 16;
      *r = 0;
      return true;
    }
    if (msg == WM_WINDOWPOSCHANGED) flagsSeen = reinterpret_cast<WINDOWPOS*>(lp)->flags;
    return false;
  });
  SetWindowPos(item, 0, 0, 0, 90, 40, SWP_NOMOVE | SWP_NOZORDER);
  RECT wr, cr;
  GetWindowRect(item, &wr);
  EXPECT_EQ(wr.right - wr.left, 33);
  strip = true;
  SetWindowPos(item, 0, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  GetClientRect(item, &cr);
  EXPECT_EQ(cr, (RECT{0, 0, 17, 40}));
  EXPECT_TRUE(flagsSeen & SWP_NOCLIENTMOVE);
  EXPECT_FALSE(flagsSeen & SWP_NOCLIENTSIZE);
  // The strip belongs to no part the platform knows.
  POINT p{wr.left + 25, wr.top + 5};
  EXPECT_EQ(SendMessageW(item, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)), HTNOWHERE);
}

TEST_F(WinPosTest, SizableWindowsKeepTheirSmallestTrackingSize) {
  MoveWindow(top, 50, 50, 40, 10, TRUE);
  RECT r;
  GetWindowRect(top, &r);
  EXPECT_EQ(r.right - r.left, GetSystemMetrics(SM_CXMINTRACK));
  EXPECT_EQ(r.bottom - r.top, GetSystemMetrics(SM_CYMINTRACK));
  SetTestHandler(u"Host", [](HWND, UINT msg, WPARAM, LPARAM lp, LRESULT*) {
    if (msg != WM_GETMINMAXINFO) return false;
    reinterpret_cast<MINMAXINFO*>(lp)->ptMinTrackSize = POINT{200, 150};
    return true;
  });
  MoveWindow(top, 50, 50, 40, 10, TRUE);
  GetWindowRect(top, &r);
  EXPECT_EQ(r, (RECT{50, 50, 250, 200}));
}

TEST_F(WinPosTest, ShowingInsideAHiddenParentOnlyFlipsTheStyle) {
  ShowWindow(top, SW_HIDE);
  log.Clear();
  ShowWindow(item, SW_HIDE);
  EXPECT_EQ(log.Lines(), (Lines{"item WM_SHOWWINDOW"}));
  EXPECT_FALSE(GetWindowLongW(item, GWL_STYLE) & WS_VISIBLE);
  ShowWindow(item, SW_SHOW);
  EXPECT_TRUE(GetWindowLongW(item, GWL_STYLE) & WS_VISIBLE);
  EXPECT_FALSE(IsWindowVisible(item));
  log.Clear();
  ShowWindow(top, SW_SHOW);
  EXPECT_TRUE(IsWindowVisible(item));
  EXPECT_TRUE(log.Of(item, WM_SHOWWINDOW).empty());
}

TEST_F(WinPosTest, MinimisingGoesToTheTaskBarAndRestoringBringsTheRectangleBack) {
  ShowWindow(top, SW_MINIMIZE);
  EXPECT_TRUE(IsIconic(top));
  auto sizes = log.Of(top, WM_SIZE);
  ASSERT_FALSE(sizes.empty());
  EXPECT_EQ(sizes.back().wParam, SIZE_MINIMIZED);
  PumpMessages();
  // The window manager keeps it (iconified, on the task bar), where it was.
  EXPECT_TRUE(host.surfaces[top].shown);
  EXPECT_EQ(host.surfaces[top].state, HostSurfaceState::Minimized);
  EXPECT_GT(host.surfaces[top].rect.left, 50);  // not sent off to the minimised position
  WINDOWPLACEMENT wp;
  GetWindowPlacement(top, &wp);
  EXPECT_EQ(wp.showCmd, UINT(SW_SHOWMINIMIZED));
  EXPECT_EQ(wp.rcNormalPosition, (RECT{50, 50, 450, 350}));
  ShowWindow(top, SW_RESTORE);
  PumpMessages();
  EXPECT_FALSE(IsIconic(top));
  RECT r;
  GetWindowRect(top, &r);
  EXPECT_EQ(r, (RECT{50, 50, 450, 350}));
  EXPECT_TRUE(host.surfaces[top].shown);
  EXPECT_EQ(host.surfaces[top].state, HostSurfaceState::Normal);
}

TEST_F(WinPosTest, DeferredPositionsApplyTogetherAtTheEnd) {
  HWND other =
      CreateWindowExW(0, u"Item", u"", WS_CHILD | WS_VISIBLE, 200, 10, 50, 50, top, 0, 0, nullptr);
  HDWP d = BeginDeferWindowPos(2);
  d = DeferWindowPos(d, item, 0, 1, 2, 30, 30, SWP_NOZORDER);
  d = DeferWindowPos(d, other, 0, 5, 6, 40, 40, SWP_NOZORDER);
  d = DeferWindowPos(d, item, 0, 3, 4, 30, 30, SWP_NOZORDER);  // the later request wins
  RECT r;
  GetWindowRect(item, &r);
  EXPECT_EQ(r.left - 54, 10);  // not moved yet
  ASSERT_TRUE(EndDeferWindowPos(d));
  POINT p{0, 0};
  MapWindowPoints(item, top, &p, 1);
  EXPECT_EQ(p, (POINT{3, 4}));
  p = POINT{0, 0};
  MapWindowPoints(other, top, &p, 1);
  EXPECT_EQ(p, (POINT{5, 6}));
  EXPECT_FALSE(EndDeferWindowPos(d));
}

TEST_F(WinPosTest, SetRedrawOffStopsPaintingUntilTurnedBackOn) {
  SendMessageW(item, WM_SETREDRAW, FALSE, 0);
  InvalidateRect(item, nullptr, TRUE);
  RECT r;
  EXPECT_FALSE(GetUpdateRect(item, &r, FALSE));
  EXPECT_FALSE(IsWindowVisible(item));  // as on the platform, WS_VISIBLE goes away meanwhile
  SendMessageW(item, WM_SETREDRAW, TRUE, 0);
  EXPECT_TRUE(IsWindowVisible(item));
  InvalidateRect(item, nullptr, TRUE);
  EXPECT_TRUE(GetUpdateRect(item, &r, FALSE));
}

TEST_F(WinPosTest, TheWindowManagersMovesReachTheWindowWithoutEcho) {
  PumpMessages();
  HostEvent e;
  e.type = HostEventType::Geometry;
  e.surface = top;
  e.rect = RECT{70, 80, 570, 480};  // inside the desktop's frame
  host.surfaces[top].rect = e.rect;
  host.Send(e);
  log.Clear();
  PumpMessages();
  RECT r, want = e.rect;
  AdjustWindowRectEx(&want, WS_OVERLAPPEDWINDOW, FALSE, 0);
  GetWindowRect(top, &r);
  EXPECT_EQ(r, want);
  EXPECT_EQ(host.surfaces[top].rect, e.rect);
  EXPECT_EQ(log.Of(top, WM_SIZE).size(), 1u);
  EXPECT_EQ(log.Of(top, WM_MOVE).size(), 1u);
  EXPECT_EQ(host.surfaces[top].width, 500);  // repainted at the new size
}

}  // namespace
