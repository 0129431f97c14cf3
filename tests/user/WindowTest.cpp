// The window tree: creation and destruction in the platform's message order, window data,
// the tree queries, coordinates and what lies under a point.
#include "Themes.h"
#include "UserTestSupport.h"

namespace {

using Lines = std::vector<std::string>;

class WindowTest : public UserTest {
 protected:
  void SetUp() override {
    UserTest::SetUp();
    RegisterTestClass(u"Top", CS_DBLCLKS, HBRUSH(COLOR_BTNFACE + 1));
    RegisterTestClass(u"Kid", 0, HBRUSH(COLOR_WINDOW + 1));
  }
  HWND Top(DWORD style = WS_OVERLAPPEDWINDOW, RECT r = {100, 50, 400, 250}) {
    return CreateWindowExW(0, u"Top", u"Main", style, r.left, r.top, r.right - r.left,
                           r.bottom - r.top, 0, 0, 0, nullptr);
  }
  HWND Kid(HWND parent, RECT r, DWORD style = WS_CHILD | WS_VISIBLE, DWORD ex = 0) {
    return CreateWindowExW(ex, u"Kid", u"", style, r.left, r.top, r.right - r.left,
                           r.bottom - r.top, parent, 0, 0, nullptr);
  }
};

TEST_F(WindowTest, CreationFollowsThePlatformsOrderForEachKindOfWindow) {
  MessageLog log;
  HWND top = Top();
  log.Name(top, "top");
  // An overlapped window hears of its size only when first shown.
  EXPECT_EQ(log.Lines(), (Lines{"top WM_GETMINMAXINFO", "top WM_NCCREATE", "top WM_NCCALCSIZE",
                                "top WM_CREATE"}));
  log.Clear();
  ShowWindow(top, SW_SHOW);
  EXPECT_EQ(log.Lines(),
            (Lines{"top WM_SHOWWINDOW", "top WM_WINDOWPOSCHANGING", "top WM_ACTIVATEAPP",
                   "top WM_NCACTIVATE", "top WM_ACTIVATE", "top WM_SETFOCUS (def)",
                   "top WM_WINDOWPOSCHANGED", "top WM_SIZE", "top WM_MOVE"}));
  EXPECT_EQ(GetActiveWindow(), top);
  EXPECT_EQ(GetFocus(), top);

  MessageLog kidLog;
  kidLog.Name(top, "parent");
  kidLog.NameClass(u"Kid", "child");
  HWND child = Kid(top, {10, 10, 60, 40});
  EXPECT_EQ(kidLog.Lines(),
            (Lines{"child WM_NCCREATE", "child WM_NCCALCSIZE", "child WM_CREATE", "child WM_SIZE",
                   "child WM_MOVE", "parent WM_PARENTNOTIFY", "child WM_SHOWWINDOW",
                   "child WM_WINDOWPOSCHANGING", "child WM_WINDOWPOSCHANGED"}));
  EXPECT_TRUE(IsWindowVisible(child));
  EXPECT_EQ(GetWindow(top, GW_CHILD), child);
}

TEST_F(WindowTest, RefusedCreationDestroysTheWindow) {
  MessageLog log;
  SetTestHandler(u"Kid", [&](HWND h, UINT msg, WPARAM, LPARAM, LRESULT* r) {
    log.Name(h, "w");
    if (msg == WM_NCCREATE) {
      *r = FALSE;
      return true;
    }
    return false;
  });
  EXPECT_EQ(CreateWindowExW(0, u"Kid", u"", WS_POPUP, 0, 0, 10, 10, 0, 0, 0, nullptr), HWND(0));
  EXPECT_EQ(log.Lines(), (Lines{"w WM_NCCREATE", "w WM_NCDESTROY"}));

  log.Clear();
  HWND seen = 0;
  SetTestHandler(u"Kid", [&](HWND h, UINT msg, WPARAM, LPARAM, LRESULT* r) {
    log.Name(h, "w");
    seen = h;
    if (msg == WM_CREATE) {
      *r = -1;
      return true;
    }
    return false;
  });
  EXPECT_EQ(CreateWindowExW(0, u"Kid", u"", WS_POPUP, 0, 0, 10, 10, 0, 0, 0, nullptr), HWND(0));
  EXPECT_EQ(log.Lines(), (Lines{"w WM_NCCREATE", "w WM_NCCALCSIZE", "w WM_CREATE", "w WM_DESTROY",
                                "w WM_NCDESTROY"}));
  EXPECT_FALSE(IsWindow(seen));
  EXPECT_EQ(CreateWindowExW(0, u"NoSuchClass", u"", WS_POPUP, 0, 0, 1, 1, 0, 0, 0, nullptr),
            HWND(0));
  EXPECT_EQ(CreateWindowExW(0, u"Kid", u"", WS_CHILD, 0, 0, 1, 1, 0, 0, 0, nullptr), HWND(0));
}

TEST_F(WindowTest, DestructionHidesMovesFocusAndTearsDownChildrenLast) {
  HWND top = Top(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  HWND child = Kid(top, {10, 10, 100, 100});
  HWND grand = Kid(child, {5, 5, 20, 20});
  SetFocus(child);
  MessageLog log;
  log.Name(top, "top");
  log.Name(child, "child");
  log.Name(grand, "grand");
  EXPECT_TRUE(DestroyWindow(child));
  EXPECT_EQ(
      log.Lines({WM_ERASEBKGND, WM_NCPAINT}),
      (Lines{"top WM_PARENTNOTIFY", "child WM_SHOWWINDOW", "child WM_WINDOWPOSCHANGING",
             "child WM_WINDOWPOSCHANGED", "child WM_KILLFOCUS", "top WM_SETFOCUS",
             "child WM_DESTROY", "grand WM_DESTROY", "grand WM_NCDESTROY", "child WM_NCDESTROY"}));
  EXPECT_FALSE(IsWindow(child));
  EXPECT_FALSE(IsWindow(grand));
  EXPECT_EQ(GetFocus(), top);
  EXPECT_EQ(GetWindow(top, GW_CHILD), HWND(0));
}

TEST_F(WindowTest, DestroyingFromInsideItsOwnMessagesIsSafe) {
  HWND w = Kid(Top(WS_OVERLAPPEDWINDOW | WS_VISIBLE), {0, 0, 50, 50});
  int after = 0;
  SetTestHandler(u"Kid", [&](HWND h, UINT msg, WPARAM, LPARAM, LRESULT*) {
    if (msg == WM_USER) {
      DestroyWindow(h);
      DestroyWindow(h);  // a second call on a dying window changes nothing
      after = IsWindow(h) ? 1 : 2;
      return true;
    }
    return false;
  });
  PostMessageW(w, WM_USER, 0, 0);
  PostMessageW(w, WM_USER + 1, 0, 0);  // dropped with the window
  PumpMessages();
  EXPECT_EQ(after, 2);
  MSG m;
  EXPECT_FALSE(PeekMessageW(&m, 0, WM_USER, WM_USER + 1, PM_REMOVE));
  EXPECT_EQ(SendMessageW(w, WM_USER, 0, 0), 0);
}

TEST_F(WindowTest, OwnedWindowsDieWithTheirOwnerAndGetParentReportsIt) {
  HWND owner = Top(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  HWND child = Kid(owner, {0, 0, 10, 10});
  HWND popup = CreateWindowExW(0, u"Kid", u"", WS_POPUP, 0, 0, 10, 10, child, 0, 0, nullptr);
  EXPECT_EQ(GetParent(popup), owner);  // the owner is the top-level window of the one given
  EXPECT_EQ(GetWindow(popup, GW_OWNER), owner);
  EXPECT_EQ(GetAncestor(popup, GA_PARENT), GetDesktopWindow());
  EXPECT_EQ(GetAncestor(child, GA_ROOT), owner);
  EXPECT_EQ(GetParent(child), owner);
  EXPECT_EQ(GetParent(owner), HWND(0));
  EXPECT_TRUE(IsChild(owner, child));
  EXPECT_FALSE(IsChild(owner, popup));
  DestroyWindow(owner);
  EXPECT_FALSE(IsWindow(popup));
}

TEST_F(WindowTest, StylesDataAndPropertiesGoThroughTheirMessages) {
  WNDCLASSEXW wc;
  wc.lpfnWndProc = DefWindowProcW;
  wc.cbWndExtra = 16;
  wc.lpszClassName = u"Extra";
  ASSERT_NE(RegisterClassExW(&wc), 0);
  EXPECT_EQ(RegisterClassExW(&wc), 0);  // twice
  wc.lpszClassName = u"EXTRA";
  EXPECT_EQ(RegisterClassExW(&wc), 0);  // names compare without case
  HWND w = CreateWindowExW(WS_EX_TOOLWINDOW, u"extra", u"Hello", WS_POPUP, 0, 0, 10, 10, 0, 0, 0,
                           nullptr);
  ASSERT_TRUE(w);
  WCHAR name[16];
  EXPECT_EQ(GetClassNameW(w, name, 16), 5);
  EXPECT_EQ(String(name), u"Extra");
  EXPECT_TRUE(GetWindowLongW(w, GWL_STYLE) & WS_CLIPSIBLINGS);  // top-level windows get it
  EXPECT_EQ(GetWindowLongW(w, GWL_EXSTYLE), LONG(WS_EX_TOOLWINDOW));

  MessageLog log;
  log.Name(w, "w");
  SetWindowLongW(w, GWL_STYLE, LONG(WS_POPUP | WS_BORDER));
  EXPECT_EQ(log.Lines(), (Lines{"w WM_STYLECHANGING", "w WM_STYLECHANGED"}));
  EXPECT_EQ(DWORD(GetWindowLongW(w, GWL_STYLE)), WS_POPUP | WS_BORDER);

  EXPECT_EQ(SetWindowLongPtrW(w, 8, 0x1122334455667788), 0);
  EXPECT_EQ(GetWindowLongPtrW(w, 8), 0x1122334455667788);
  EXPECT_EQ(GetWindowLongW(w, 12), 0x11223344);
  SetLastError(0);
  EXPECT_EQ(GetWindowLongPtrW(w, 12), 0);  // would read past the extra bytes
  EXPECT_EQ(GetLastError(), 1413u);
  SetWindowLongPtrW(w, GWLP_USERDATA, LONG_PTR(&wc));
  EXPECT_EQ(GetWindowLongPtrW(w, GWLP_USERDATA), LONG_PTR(&wc));
  EXPECT_EQ(GetWindowLongPtrW(w, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&DefWindowProcW));

  EXPECT_TRUE(SetPropW(w, u"Owner", 42));
  EXPECT_EQ(GetPropW(w, u"OWNER"), 42u);
  EXPECT_EQ(RemovePropW(w, u"owner"), 42u);
  EXPECT_EQ(GetPropW(w, u"Owner"), 0u);

  EXPECT_FALSE(UnregisterClassW(u"Extra", 0));  // a window still uses it
  DestroyWindow(w);
  EXPECT_TRUE(UnregisterClassW(u"Extra", 0));
}

TEST_F(WindowTest, TextTravelsAsMessagesAndIsCutToTheBuffer) {
  HWND w = Top();
  WCHAR buf[8];
  EXPECT_EQ(GetWindowTextW(w, buf, 8), 4);  // from the creation name
  EXPECT_EQ(String(buf), u"Main");
  MessageLog log;
  log.Name(w, "w");
  EXPECT_TRUE(SetWindowTextW(w, u"A longer caption"));
  EXPECT_EQ(GetWindowTextLengthW(w), 16);
  EXPECT_EQ(GetWindowTextW(w, buf, 8), 7);
  EXPECT_EQ(String(buf), u"A longe");
  EXPECT_EQ(log.Lines(), (Lines{"w WM_SETTEXT", "w WM_GETTEXTLENGTH", "w WM_GETTEXT"}));
  SetTestHandler(u"Top", [](HWND, UINT msg, WPARAM, LPARAM, LRESULT* r) {
    if (msg != WM_SETTEXT) return false;
    *r = TRUE;  // a window may keep its text to itself
    return true;
  });
  SetWindowTextW(w, u"ignored");
  EXPECT_EQ(InternalGetWindowText(w, buf, 8), 7);
  EXPECT_EQ(String(buf), u"A longe");
}

TEST_F(WindowTest, ZOrderSiblingsAndEnumeration) {
  HWND top = Top(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  HWND a = Kid(top, {0, 0, 10, 10});
  HWND b = Kid(top, {0, 0, 10, 10});
  HWND c = Kid(top, {0, 0, 10, 10});
  HWND b1 = Kid(b, {0, 0, 5, 5});
  // New children go on top.
  EXPECT_EQ(GetWindow(top, GW_CHILD), c);
  EXPECT_EQ(GetWindow(c, GW_HWNDNEXT), b);
  EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), a);
  EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), HWND(0));
  EXPECT_EQ(GetWindow(a, GW_HWNDFIRST), c);
  SetWindowPos(c, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetWindowPos(a, b, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetWindow(top, GW_CHILD), b);
  EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), a);
  EXPECT_EQ(GetWindow(top, GW_CHILD) == b && GetWindow(a, GW_HWNDNEXT) == c, true);

  std::vector<HWND> seen;
  EnumChildWindows(
      top,
      [](HWND h, LPARAM p) {
        reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
        return TRUE;
      },
      LPARAM(&seen));
  EXPECT_EQ(seen, (std::vector<HWND>{b, b1, a, c}));  // each window before its children
  seen.clear();
  EnumChildWindows(
      top,
      [](HWND h, LPARAM p) {
        reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
        return FALSE;
      },
      LPARAM(&seen));
  EXPECT_EQ(seen.size(), 1u);

  // Another parent: the position relative to the client area stays.
  HWND other = Top(WS_POPUP | WS_VISIBLE, {500, 500, 600, 600});
  SetWindowPos(a, 0, 3, 4, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(SetParent(a, other), top);
  RECT r;
  GetWindowRect(a, &r);
  EXPECT_EQ(r, (RECT{503, 504, 513, 514}));
  EXPECT_TRUE(IsWindowVisible(a));
  EXPECT_EQ(SetParent(top, b1), HWND(0));  // a window cannot go under its own descendant
}

TEST_F(WindowTest, ClientAreaFollowsFramesCaptionsEdgesAndScrollBars) {
  HWND top = Top(WS_OVERLAPPEDWINDOW);
  RECT wr, cr;
  GetWindowRect(top, &wr);
  GetClientRect(top, &cr);
  EXPECT_EQ(wr, (RECT{100, 50, 400, 250}));
  EXPECT_EQ(cr, (RECT{0, 0, 300 - 8, 200 - 8 - 19}));  // 4-pixel frame, 19-pixel caption
  POINT p{0, 0};
  ClientToScreen(top, &p);
  EXPECT_EQ(p, (POINT{104, 73}));
  RECT adj = cr;
  AdjustWindowRectEx(&adj, WS_OVERLAPPEDWINDOW, FALSE, 0);
  EXPECT_EQ(adj.right - adj.left, 300);
  EXPECT_EQ(adj.bottom - adj.top, 200);

  struct Case {
    DWORD style, ex;
    int inset;
  } cases[] = {
      {WS_CHILD, 0, 0},
      {WS_CHILD | WS_BORDER, 0, 1},
      {WS_CHILD, WS_EX_CLIENTEDGE, 2},
      {WS_CHILD, WS_EX_STATICEDGE, 1},
      {WS_CHILD | WS_BORDER, WS_EX_CLIENTEDGE, 3},
      {WS_CHILD | WS_DLGFRAME, 0, 3},
      {WS_CHILD | WS_THICKFRAME, 0, 3},
  };
  for (const Case& c : cases) {
    // Wider than the smallest size a sizable window may have (SM_CXMINTRACK).
    HWND k = Kid(top, {10, 20, 130, 70}, c.style, c.ex);
    GetClientRect(k, &cr);
    EXPECT_EQ(cr, (RECT{0, 0, 120 - 2 * c.inset, 50 - 2 * c.inset}))
        << std::hex << c.style << " " << c.ex;
    POINT o{0, 0};
    ClientToScreen(k, &o);
    EXPECT_EQ(o, (POINT{104 + 10 + c.inset, 73 + 20 + c.inset}));
    POINT q{1, 2};
    int packed = MapWindowPoints(k, top, &q, 1);
    EXPECT_EQ(q, (POINT{11 + c.inset, 22 + c.inset}));
    EXPECT_EQ(SHORT(LOWORD(packed)), 10 + c.inset);
    DestroyWindow(k);
  }
  HWND s = Kid(top, {0, 0, 100, 100}, WS_CHILD | WS_VSCROLL | WS_HSCROLL);
  GetClientRect(s, &cr);
  EXPECT_EQ(cr, (RECT{0, 0, 84, 84}));
  ShowScrollBar(s, SB_VERT, FALSE);
  GetClientRect(s, &cr);
  EXPECT_EQ(cr, (RECT{0, 0, 100, 84}));
}

TEST_F(WindowTest, HitTestsNameEveryPartOfTheFrame) {
  HWND top = Top(WS_OVERLAPPEDWINDOW | WS_VISIBLE);  // (100,50)-(400,250)
  auto hit = [](HWND h, int x, int y) {
    return SendMessageW(h, WM_NCHITTEST, 0, MAKELPARAM(x, y));
  };
  EXPECT_EQ(hit(top, 200, 150), HTCLIENT);
  EXPECT_EQ(hit(top, 200, 60), HTCAPTION);
  EXPECT_EQ(hit(top, 100 + 300 - 4 - 2 - 8, 50 + 4 + 8), HTCLOSE);
  EXPECT_EQ(hit(top, 101, 150), HTLEFT);
  EXPECT_EQ(hit(top, 398, 150), HTRIGHT);
  EXPECT_EQ(hit(top, 200, 248), HTBOTTOM);
  EXPECT_EQ(hit(top, 101, 51), HTTOPLEFT);
  EXPECT_EQ(hit(top, 399, 249), HTBOTTOMRIGHT);
  EXPECT_EQ(hit(top, 99, 150), HTNOWHERE);
  // A client edge is no border: the platform answers HTNOWHERE there.
  HWND edge = Kid(top, {0, 0, 50, 30}, WS_CHILD | WS_VISIBLE, WS_EX_CLIENTEDGE);
  EXPECT_EQ(hit(edge, 104 + 1, 73 + 10), HTNOWHERE);
  EXPECT_EQ(hit(edge, 104 + 2, 73 + 10), HTCLIENT);
  HWND border = Kid(top, {60, 0, 110, 30}, WS_CHILD | WS_VISIBLE | WS_BORDER);
  EXPECT_EQ(hit(border, 104 + 60, 73 + 10), HTBORDER);
  HWND bars = Kid(top, {0, 40, 100, 140}, WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL);
  EXPECT_EQ(hit(bars, 104 + 90, 73 + 40 + 10), HTVSCROLL);
  EXPECT_EQ(hit(bars, 104 + 10, 73 + 40 + 90), HTHSCROLL);
  EXPECT_EQ(hit(bars, 104 + 90, 73 + 40 + 90), HTSIZE);
}

TEST_F(WindowTest, WindowFromPointFindsTheDeepestWindowThatWantsThePoint) {
  HWND top = Top(WS_OVERLAPPEDWINDOW | WS_VISIBLE);  // client origin (104, 73)
  HWND below = Kid(top, {0, 0, 100, 100});
  HWND group = Kid(top, {0, 0, 100, 100});
  HWND inner = Kid(group, {10, 10, 30, 30});
  HWND hidden = Kid(top, {50, 50, 90, 90}, WS_CHILD);
  EXPECT_EQ(WindowFromPoint(POINT{104 + 15, 73 + 15}), inner);
  EXPECT_EQ(WindowFromPoint(POINT{104 + 60, 73 + 60}), group);  // the hidden one is skipped
  EXPECT_EQ(WindowFromPoint(POINT{104 + 200, 73 + 60}), top);
  EXPECT_EQ(WindowFromPoint(POINT{5, 5}), HWND(0));
  // A window answering HTTRANSPARENT lets the point through to the window beneath.
  SetTestHandler(u"Kid", [&](HWND h, UINT msg, WPARAM, LPARAM, LRESULT* r) {
    if (msg != WM_NCHITTEST || h != group) return false;
    *r = HTTRANSPARENT;
    return true;
  });
  EXPECT_EQ(WindowFromPoint(POINT{104 + 60, 73 + 60}), below);
  EXPECT_EQ(WindowFromPoint(POINT{104 + 15, 73 + 15}), inner);
  EnableWindow(inner, FALSE);
  EXPECT_EQ(WindowFromPoint(POINT{104 + 15, 73 + 15}), inner);  // disabled windows end the search

  EXPECT_EQ(ChildWindowFromPoint(top, POINT{60, 60}), hidden);  // all children count here
  EXPECT_EQ(ChildWindowFromPointEx(top, POINT{60, 60}, CWP_SKIPINVISIBLE), group);
  EXPECT_EQ(ChildWindowFromPoint(top, POINT{250, 60}), top);
  EXPECT_EQ(ChildWindowFromPoint(top, POINT{-1, 60}), HWND(0));
}

TEST_F(WindowTest, EnableWindowTakesFocusAndCaptureAway) {
  HWND top = Top(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  HWND k = Kid(top, {0, 0, 10, 10});
  SetFocus(k);
  SetCapture(k);
  MessageLog log;
  log.Name(k, "k");
  log.Name(top, "top");
  EXPECT_FALSE(EnableWindow(k, FALSE));
  // The default handling of WM_CANCELMODE gives up the capture.
  EXPECT_EQ(log.Lines(), (Lines{"k WM_CANCELMODE", "k WM_CAPTURECHANGED (def)", "k WM_KILLFOCUS",
                                "k WM_ENABLE"}));
  EXPECT_EQ(GetFocus(), HWND(0));
  EXPECT_EQ(GetCapture(), HWND(0));
  EXPECT_EQ(SetFocus(k), HWND(0));  // a disabled window takes no focus
  EXPECT_EQ(GetFocus(), HWND(0));
  EXPECT_TRUE(EnableWindow(k, TRUE));
  EXPECT_TRUE(IsWindowEnabled(k));
}

}  // namespace

namespace {

TEST_F(WindowTest, SwitchingTheVisualStyleTellsEveryWindowParentsFirst) {
  HWND top = Top(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  HWND kid = Kid(top, {0, 0, 50, 50});
  HWND grandKid = Kid(kid, {0, 0, 10, 10});
  HWND other = Top();
  MessageLog log;
  log.Name(top, "top");
  log.Name(kid, "kid");
  log.Name(grandKid, "grandkid");
  log.Name(other, "other");
  SetThemesEnabledForTesting(false);
  SetThemesEnabledForTesting(false);  // no switch, no notice
  SetThemesEnabledForTesting(true);
  int topNotices = 0;
  for (const auto& m : log.All()) topNotices += m.hwnd == top && m.message == WM_THEMECHANGED;
  EXPECT_EQ(topNotices, 2);
  std::vector<HWND> order;
  for (const auto& m : log.All())
    if (m.message == WM_THEMECHANGED && m.hwnd != other && order.size() < 3)
      order.push_back(m.hwnd);
  EXPECT_EQ(order, (std::vector<HWND>{top, kid, grandKid}));
  EXPECT_EQ(log.Of(other, WM_THEMECHANGED).size(), 2u);
}

}  // namespace
