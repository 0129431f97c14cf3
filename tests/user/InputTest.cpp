// Input from the host: mouse routing with capture and hit tests, double clicks, activation by
// clicks and popups that refuse it, focus, keys and characters, the wheel, mouse tracking,
// and the screens and work areas the host reports.

#include "SystemControls.h"
#include "UserTestSupport.h"

namespace {

using Lines = std::vector<std::string>;
constexpr unsigned L = kHostLeftButton;

class InputTest : public UserTest {
 protected:
  void SetUp() override {
    UserTest::SetUp();
    RegisterTestClass(u"Main", 0, HBRUSH(COLOR_BTNFACE + 1));
    RegisterTestClass(u"Pad", CS_DBLCLKS, HBRUSH(COLOR_WINDOW + 1));
    RegisterTestClass(u"Plain", 0, HBRUSH(COLOR_WINDOW + 1));
    main = CreateWindowExW(0, u"Main", u"", WS_POPUP | WS_VISIBLE, 100, 100, 200, 200, 0, 0, 0,
                           nullptr);
    a = CreateWindowExW(0, u"Pad", u"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, main, 0, 0, nullptr);
    b = CreateWindowExW(0, u"Plain", u"", WS_CHILD | WS_VISIBLE, 100, 0, 100, 100, main, 0, 0,
                        nullptr);
    PumpMessages();
  }
  void Click(HWND surface, POINT p) {
    host.Mouse(HostEventType::MouseDown, surface, p, L, L);
    host.Mouse(HostEventType::MouseUp, surface, p, L, 0);
  }
  HWND main = 0, a = 0, b = 0;
};

TEST_F(InputTest, TheMouseGoesToTheWindowUnderItOrToTheCaptureWindow) {
  MessageLog log;
  log.Name(a, "a");
  log.Name(b, "b");
  host.Mouse(HostEventType::MouseMove, main, POINT{150, 150});
  host.Mouse(HostEventType::MouseDown, main, POINT{150, 150}, L, L);
  MSG m;
  ASSERT_TRUE(PeekMessageW(&m, 0, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE));
  EXPECT_EQ(m.hwnd, a);
  EXPECT_EQ(m.message, WM_MOUSEMOVE);
  EXPECT_EQ(m.lParam, MAKELPARAM(50, 50));
  ASSERT_TRUE(PeekMessageW(&m, 0, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE));
  EXPECT_EQ(m.message, WM_LBUTTONDOWN);
  EXPECT_EQ(m.wParam, MK_LBUTTON);
  SetCapture(a);
  // Over b, and outside every window: still a's, in a's coordinates.
  host.Mouse(HostEventType::MouseMove, main, POINT{250, 120}, 0, L);
  ASSERT_TRUE(PeekMessageW(&m, 0, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE));
  EXPECT_EQ(m.hwnd, a);
  EXPECT_EQ(m.lParam, MAKELPARAM(150, 20));
  host.Mouse(HostEventType::MouseUp, main, POINT{20, 20}, L, 0);
  ASSERT_TRUE(PeekMessageW(&m, 0, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE));
  EXPECT_EQ(m.hwnd, a);
  EXPECT_EQ(m.message, WM_LBUTTONUP);
  EXPECT_EQ(GET_X_LPARAM(m.lParam), -80);
  log.Clear();
  SetCapture(b);
  ReleaseCapture();
  EXPECT_EQ(log.Lines(), (Lines{"a WM_CAPTURECHANGED", "b WM_CAPTURECHANGED"}));
  EXPECT_EQ(log.All()[0].lParam, LPARAM(b));
  EXPECT_EQ(log.All()[1].lParam, 0);
  host.Mouse(HostEventType::MouseMove, main, POINT{250, 120});
  ASSERT_TRUE(PeekMessageW(&m, 0, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE));
  EXPECT_EQ(m.hwnd, b);
  EXPECT_EQ(m.lParam, MAKELPARAM(50, 20));
}

TEST_F(InputTest, PointsOutsideTheClientAreaBecomeNonClientMessages) {
  HWND framed = CreateWindowExW(0, u"Main", u"F", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 400, 100, 300,
                                200, 0, 0, 0, nullptr);
  PumpMessages();
  host.Mouse(HostEventType::MouseMove, framed, POINT{500, 110});
  MSG m;
  ASSERT_TRUE(PeekMessageW(&m, 0, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.hwnd, framed);
  EXPECT_EQ(m.message, WM_NCMOUSEMOVE);
  EXPECT_EQ(LRESULT(m.wParam), HTCAPTION);
  EXPECT_EQ(m.lParam, MAKELPARAM(500, 110));  // screen coordinates
}

TEST_F(InputTest, DoubleClicksNeedTheClassStyleTheTimeAndThePlace) {
  MSG m;
  std::vector<UINT> seen;
  auto drain = [&] {
    while (PeekMessageW(&m, 0, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE))
      if (m.message != WM_MOUSEMOVE) seen.push_back(m.message);
  };
  Click(main, POINT{110, 110});
  Click(main, POINT{111, 111});
  Click(main, POINT{110, 110});  // a third click starts over
  drain();
  EXPECT_EQ(seen, (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP,
                                     WM_LBUTTONDOWN, WM_LBUTTONUP}));
  seen.clear();
  Click(main, POINT{250, 110});  // b's class has no CS_DBLCLKS
  Click(main, POINT{250, 110});
  drain();
  EXPECT_EQ(seen, (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP}));
  seen.clear();
  StopClockForTesting(true);
  Click(main, POINT{110, 110});
  Click(main, POINT{120, 110});  // too far
  drain();                       // events take their time as they are read
  SetDoubleClickTime(100);
  AdvanceClockForTesting(100);
  Click(main, POINT{120, 110});  // the last moment of the window
  drain();
  AdvanceClockForTesting(101);
  Click(main, POINT{120, 110});  // too late
  drain();
  EXPECT_EQ(seen,
            (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP,
                               WM_LBUTTONDBLCLK, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP}));
}

TEST_F(InputTest, AClickActivatesAnInactiveWindowBeforeItIsDelivered) {
  HWND second =
      CreateWindowExW(0, u"Main", u"", WS_POPUP | WS_VISIBLE, 400, 100, 100, 100, 0, 0, 0, nullptr);
  PumpMessages();
  ASSERT_EQ(GetActiveWindow(), second);
  MessageLog log;
  log.Name(main, "main");
  log.Name(a, "a");
  log.Name(second, "second");
  host.Mouse(HostEventType::MouseDown, main, POINT{150, 150}, L, L);
  MSG m;
  // Peeking changes nothing; removing runs the activation.
  ASSERT_TRUE(PeekMessageW(&m, 0, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_NOREMOVE));
  EXPECT_EQ(GetActiveWindow(), second);
  log.Clear();
  ASSERT_TRUE(PeekMessageW(&m, 0, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE));
  DispatchMessageW(&m);
  EXPECT_EQ(log.Lines({WM_NCHITTEST, WM_NCPAINT, WM_ERASEBKGND, WM_ACTIVATEAPP}),
            (Lines{"a WM_MOUSEACTIVATE", "main WM_MOUSEACTIVATE (def)", "second WM_NCACTIVATE",
                   "second WM_ACTIVATE", "main WM_NCACTIVATE", "main WM_ACTIVATE",
                   "second WM_KILLFOCUS (def)", "main WM_SETFOCUS (def)", "a WM_SETCURSOR",
                   "main WM_SETCURSOR (def)", "a WM_LBUTTONDOWN posted"}));
  EXPECT_EQ(GetActiveWindow(), main);
  EXPECT_EQ(LOWORD(log.Of(main, WM_ACTIVATE)[0].wParam), WA_CLICKACTIVE);
  EXPECT_EQ(GetWindow(GetDesktopWindow(), GW_CHILD), main);  // now on top
}

TEST_F(InputTest, APopupThatRefusesActivationLeavesFocusAndActivationAlone) {
  SetFocus(b);
  RegisterTestClass(u"Drop", 0, HBRUSH(COLOR_WINDOW + 1),
                    [](HWND, UINT msg, WPARAM, LPARAM, LRESULT* r) {
                      if (msg == WM_MOUSEACTIVATE) {
                        *r = MA_NOACTIVATE;
                        return true;
                      }
                      if (msg == WM_NCACTIVATE) {
                        *r = 0;
                        return true;
                      }
                      return false;
                    });
  HWND drop = CreateWindowExW(0, u"Drop", u"", WS_POPUP, 0, 0, 80, 60, main, 0, 0, nullptr);
  MessageLog log;
  log.Name(main, "main");
  log.Name(drop, "drop");
  SetWindowPos(drop, HWND_TOP, 120, 310, 80, 60, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  PumpMessages();
  EXPECT_EQ(GetActiveWindow(), main);
  EXPECT_EQ(GetFocus(), b);
  ASSERT_TRUE(host.surfaces.count(drop));
  EXPECT_TRUE(host.surfaces[drop].params.popup);  // owned and captionless: a drop-down
  EXPECT_TRUE(host.surfaces[drop].params.noActivate);
  EXPECT_EQ(host.surfaces[drop].params.owner, main);
  EXPECT_FALSE(host.surfaces[drop].activated);
  log.Clear();
  Click(drop, POINT{130, 320});
  PumpMessages();
  EXPECT_EQ(log.Lines({WM_NCHITTEST, WM_NCPAINT, WM_ERASEBKGND, WM_PAINT}),
            (Lines{"drop WM_MOUSEACTIVATE", "drop WM_SETCURSOR", "drop WM_LBUTTONDOWN posted",
                   "drop WM_SETCURSOR", "drop WM_LBUTTONUP posted"}));
  EXPECT_EQ(log.Of(drop, WM_MOUSEACTIVATE).size(), 1u);  // only presses ask
  EXPECT_EQ(GetActiveWindow(), main);
  EXPECT_EQ(GetFocus(), b);
  EXPECT_TRUE(log.Of(main, WM_ACTIVATE).empty());
}

TEST_F(InputTest, FocusMovesWithKillBeforeSetAndActivatesTheTopLevelWindowFirst) {
  SetFocus(a);
  MessageLog log;
  log.Name(a, "a");
  log.Name(b, "b");
  EXPECT_EQ(SetFocus(b), a);
  EXPECT_EQ(log.Lines(), (Lines{"a WM_KILLFOCUS", "b WM_SETFOCUS"}));
  EXPECT_EQ(log.All()[0].wParam, WPARAM(b));
  EXPECT_EQ(log.All()[1].wParam, WPARAM(a));
  HWND other =
      CreateWindowExW(0, u"Main", u"", WS_POPUP | WS_VISIBLE, 500, 500, 50, 50, 0, 0, 0, nullptr);
  HWND inner =
      CreateWindowExW(0, u"Plain", u"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, other, 0, 0, nullptr);
  SetActiveWindow(main);
  SetFocus(a);
  log.Clear();
  log.Name(main, "main");
  log.Name(other, "other");
  log.Name(inner, "inner");
  SetFocus(inner);
  EXPECT_EQ(log.Lines(),
            (Lines{"main WM_NCACTIVATE", "main WM_ACTIVATE", "other WM_NCACTIVATE",
                   "other WM_ACTIVATE", "a WM_KILLFOCUS (def)", "other WM_SETFOCUS (def)",
                   "other WM_KILLFOCUS", "inner WM_SETFOCUS"}));
  EXPECT_EQ(GetActiveWindow(), other);
  EXPECT_EQ(GetFocus(), inner);
}

TEST_F(InputTest, KeysGoToTheFocusAndTranslateIntoTheHostsText) {
  SetFocus(a);
  host.Key(HostEventType::KeyDown, 'E', u"\u00e9");
  EXPECT_LT(GetAsyncKeyState('E'), 0);
  EXPECT_EQ(GetKeyState('E'), 0);  // not yet retrieved
  MSG m;
  ASSERT_TRUE(PeekMessageW(&m, 0, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.hwnd, a);
  EXPECT_EQ(m.message, WM_KEYDOWN);
  EXPECT_EQ(m.wParam, WPARAM('E'));
  EXPECT_EQ((m.lParam >> 16) & 0xFF, 0x12);  // the scan code
  EXPECT_LT(GetKeyState('E'), 0);
  TranslateMessage(&m);
  ASSERT_TRUE(PeekMessageW(&m, 0, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_CHAR);
  EXPECT_EQ(m.wParam, WPARAM(0xE9));
  host.Key(HostEventType::KeyUp, 'E');
  ASSERT_TRUE(PeekMessageW(&m, 0, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_KEYUP);
  EXPECT_EQ(DWORD(m.lParam) >> 30, 3u);  // previous state down, released
  EXPECT_EQ(GetKeyState('E') & 0x8000, 0);

  // Alt makes system keys; without a focus they go to the active window.
  host.Key(HostEventType::KeyDown, VK_MENU, u"", kHostAlt);
  host.Key(HostEventType::KeyDown, 'F', u"f", kHostAlt);
  SetFocus(0);
  std::vector<std::pair<HWND, UINT>> got;
  while (PeekMessageW(&m, 0, 0, 0, PM_REMOVE)) {
    got.push_back({m.hwnd, m.message});
    TranslateMessage(&m);
  }
  EXPECT_EQ(got, (std::vector<std::pair<HWND, UINT>>{
                     {main, WM_SYSKEYDOWN}, {main, WM_SYSKEYDOWN}, {main, WM_SYSCHAR}}));
  EXPECT_LT(GetKeyState(VK_MENU), 0);
  EXPECT_LT(GetKeyState(VK_LMENU), 0);
  host.Key(HostEventType::KeyDown, VK_CAPITAL);
  host.Key(HostEventType::KeyUp, VK_CAPITAL);
  PumpMessages();
  EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 1);
}

// The wheel messages a turn at a point delivers, in order ("a WM_MOUSEWHEEL", "main ... (def)").
class WheelTest : public InputTest {
 protected:
  Lines Turn(POINT at, int delta = -120, bool horizontal = false) {
    MessageLog log;
    log.Name(a, "a");
    log.Name(b, "b");
    log.Name(main, "main");
    HostEvent e;
    e.type = HostEventType::Wheel;
    e.surface = main;
    e.pt = at;
    e.wheelDelta = delta;
    e.horizontal = horizontal;
    e.modifiers = kHostControl;
    host.Send(e);
    PumpMessages();
    Lines wheel;
    for (const std::string& line : log.Lines())
      if (line.find("WHEEL") != std::string::npos) wheel.push_back(line);
    last = log.Of(a, WM_MOUSEWHEEL);
    return wheel;
  }
  std::vector<SpiedMessage> last;
  static constexpr POINT kOverA{110, 110}, kOverB{250, 110}, kOutside{600, 600};
};

TEST_F(WheelTest, GoesToTheWindowUnderThePointerNotToTheFocus) {
  SetFocus(b);
  EXPECT_EQ(Turn(kOverA), (Lines{"a WM_MOUSEWHEEL posted", "main WM_MOUSEWHEEL (def)"}));
  ASSERT_EQ(last.size(), 1u);
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(last[0].wParam), -120);
  EXPECT_EQ(GET_KEYSTATE_WPARAM(last[0].wParam), int(MK_CONTROL));
  EXPECT_EQ(last[0].lParam, MAKELPARAM(110, 110));  // screen coordinates
  EXPECT_EQ(GetFocus(), b);
  EXPECT_EQ(Turn(kOverA, 120, true),
            (Lines{"a WM_MOUSEHWHEEL posted", "main WM_MOUSEHWHEEL (def)"}));
  // A window that handles it keeps it from its parent.
  SetTestHandler(u"Pad", [](HWND, UINT msg, WPARAM, LPARAM, LRESULT* r) {
    *r = 0;
    return msg == WM_MOUSEWHEEL;
  });
  EXPECT_EQ(Turn(kOverA), (Lines{"a WM_MOUSEWHEEL posted"}));
  // Over the parent's own client area (a child hidden away), the parent has it.
  ShowWindow(a, SW_HIDE);
  EXPECT_EQ(Turn(kOverA), (Lines{"main WM_MOUSEWHEEL posted"}));
}

TEST_F(WheelTest, ADisabledWindowHandsItToItsEnabledParent) {
  SetFocus(b);
  EnableWindow(a, FALSE);
  EXPECT_EQ(Turn(kOverA), (Lines{"main WM_MOUSEWHEEL posted"}));
  // A child inside a disabled child: the enabled ancestor above both.
  EnableWindow(a, TRUE);
  HWND inner =
      CreateWindowExW(0, u"Plain", u"", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, b, 0, 0, nullptr);
  EnableWindow(b, FALSE);
  EXPECT_EQ(Turn(kOverB), (Lines{"main WM_MOUSEWHEEL posted"}));
  EnableWindow(b, TRUE);
  // Enabled again: the inner child (unnamed in the log) has it and hands it up.
  EXPECT_EQ(Turn(POINT{220, 110}), (Lines{"b WM_MOUSEWHEEL (def)", "main WM_MOUSEWHEEL (def)"}));
  // Over a disabled top-level (the owner of a modal dialog) it goes nowhere.
  EnableWindow(main, FALSE);
  EXPECT_EQ(Turn(kOverA), Lines{});
  EXPECT_TRUE(IsWindow(inner));
}

TEST_F(WheelTest, AComboBoxUnderThePointerStepsItsChoiceWithoutTheFocus) {
  for (DWORD type : {DWORD(CBS_DROPDOWNLIST), DWORD(CBS_DROPDOWN)}) {
    HWND combo = CreateWindowExW(0, u"COMBOBOX", u"", WS_CHILD | WS_VISIBLE | type, 0, 120, 150,
                                 200, main, 0, 0, nullptr);
    for (const char16_t* s : {u"One", u"Two", u"Three"})
      SendMessageW(combo, CB_ADDSTRING, 0, LPARAM(s));
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
    SetFocus(b);
    Turn(POINT{110, 230});  // over the text, the drop-down's own edit window
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1) << type;
    EXPECT_EQ(GetFocus(), b);
    DestroyWindow(combo);
  }
}

TEST_F(WheelTest, AnUpDownUnderThePointerStepsANotchAtATime) {
  HWND spin = CreateWindowExW(0, UPDOWN_CLASS, u"", WS_CHILD | WS_VISIBLE, 0, 120, 20, 40, main, 0,
                              0, nullptr);
  SendMessageW(spin, UDM_SETRANGE32, 0, 10);
  SendMessageW(spin, UDM_SETPOS32, 0, 5);
  SetFocus(b);
  Turn(POINT{105, 230}, 2 * 120);
  EXPECT_EQ(SendMessageW(spin, UDM_GETPOS32, 0, 0), 7);
  Turn(POINT{105, 230}, -120);
  EXPECT_EQ(SendMessageW(spin, UDM_GETPOS32, 0, 0), 6);
}

TEST_F(WheelTest, TheFocusHasItOnlyWhenThePointerIsOverNoWindowAndTheCaptureAlways) {
  SetFocus(b);
  EXPECT_EQ(Turn(kOutside), (Lines{"b WM_MOUSEWHEEL posted", "main WM_MOUSEWHEEL (def)"}));
  SetFocus(a);
  SetCapture(b);
  EXPECT_EQ(Turn(kOverA), (Lines{"b WM_MOUSEWHEEL posted", "main WM_MOUSEWHEEL (def)"}));
  EXPECT_EQ(Turn(kOutside, 120), (Lines{"b WM_MOUSEWHEEL posted", "main WM_MOUSEWHEEL (def)"}));
  ReleaseCapture();
  EXPECT_EQ(Turn(kOverA), (Lines{"a WM_MOUSEWHEEL posted", "main WM_MOUSEWHEEL (def)"}));
}

TEST_F(InputTest, TrackedWindowsHearWhenThePointerLeavesOrRests) {
  host.Mouse(HostEventType::MouseMove, main, POINT{150, 150});
  PumpMessages();
  TRACKMOUSEEVENT t;
  t.dwFlags = TME_LEAVE | TME_HOVER;
  t.hwndTrack = a;
  t.dwHoverTime = 20;
  ASSERT_TRUE(TrackMouseEvent(&t));
  MessageLog log;
  log.Name(a, "a");
  RunClockFor(19, 1);
  EXPECT_TRUE(log.Of(a, WM_MOUSEHOVER).empty());
  RunClockFor(1, 1);
  EXPECT_EQ(log.Of(a, WM_MOUSEHOVER).size(), 1u);
  host.Mouse(HostEventType::MouseMove, main, POINT{160, 150});  // still inside: nothing
  PumpMessages();
  EXPECT_TRUE(log.Of(a, WM_MOUSELEAVE).empty());
  host.Mouse(HostEventType::MouseMove, main, POINT{250, 150});
  PumpMessages();
  EXPECT_EQ(log.Of(a, WM_MOUSELEAVE).size(), 1u);
  host.Mouse(HostEventType::MouseMove, main, POINT{150, 150});
  host.Mouse(HostEventType::MouseMove, main, POINT{250, 150});
  PumpMessages();
  EXPECT_EQ(log.Of(a, WM_MOUSELEAVE).size(), 1u);  // once per request
  // Asked while the pointer is elsewhere: the leave comes at once.
  t.dwFlags = TME_LEAVE;
  TrackMouseEvent(&t);
  PumpMessages();
  EXPECT_EQ(log.Of(a, WM_MOUSELEAVE).size(), 2u);
  // The host reporting the pointer gone from the surface ends the tracking too.
  host.Mouse(HostEventType::MouseMove, main, POINT{150, 150});
  PumpMessages();
  TrackMouseEvent(&t);
  HostEvent gone;
  gone.type = HostEventType::MouseLeave;
  gone.surface = main;
  host.Send(gone);
  PumpMessages();
  EXPECT_EQ(log.Of(a, WM_MOUSELEAVE).size(), 3u);
}

TEST_F(InputTest, TheHostsCloseRequestBecomesWmClose) {
  MessageLog log;
  log.Name(main, "main");
  HostEvent e;
  e.type = HostEventType::Close;
  e.surface = main;
  host.Send(e);
  PumpMessages();
  EXPECT_EQ(log.Of(main, WM_CLOSE).size(), 1u);
  EXPECT_FALSE(IsWindow(main));  // the default handling destroys it
}

TEST_F(InputTest, TheCaptionMovesTheWindowAndItsButtonsAndAltF4CloseIt) {
  HWND framed = CreateWindowExW(0, u"Main", u"F", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 400, 100, 300,
                                200, 0, 0, 0, nullptr);
  PumpMessages();
  // This host has no window manager to drag with: the window system moves it itself.
  host.Mouse(HostEventType::MouseDown, framed, POINT{500, 110}, L, L);
  host.Mouse(HostEventType::MouseMove, framed, POINT{530, 130}, 0, L);
  host.Mouse(HostEventType::MouseUp, framed, POINT{530, 130}, L, 0);
  PumpMessages();
  RECT r;
  GetWindowRect(framed, &r);
  EXPECT_EQ(r, (RECT{430, 120, 730, 320}));
  EXPECT_EQ(GetCapture(), HWND(0));
  // Pressing the close box and letting go beside it does nothing; on it, it closes.
  POINT close{730 - 4 - 2 - 8, 120 + 4 + 8};
  host.Mouse(HostEventType::MouseDown, framed, close, L, L);
  host.Mouse(HostEventType::MouseUp, framed, POINT{600, 200}, L, 0);
  PumpMessages();
  EXPECT_TRUE(IsWindow(framed));
  Click(framed, close);  // (counted as a double click: it presses the box all the same)
  PumpMessages();
  EXPECT_FALSE(IsWindow(framed));

  SetFocus(a);
  host.Key(HostEventType::KeyDown, VK_MENU, u"", kHostAlt);
  host.Key(HostEventType::KeyDown, VK_F4, u"", kHostAlt);
  PumpMessages();
  EXPECT_FALSE(IsWindow(main));
}

TEST_F(InputTest, TheCursorComesFromTheClassOverTheClientArea) {
  WNDCLASSEXW wc;
  wc.lpfnWndProc = DefWindowProcW;
  wc.hCursor = LoadCursorW(0, MAKEINTRESOURCEW(IDC_IBEAM));
  wc.lpszClassName = u"Text";
  RegisterClassExW(&wc);
  CreateWindowExW(0, u"Text", u"", WS_CHILD | WS_VISIBLE, 0, 100, 100, 100, main, 0, 0, nullptr);
  host.Mouse(HostEventType::MouseMove, main, POINT{150, 250});
  PumpMessages();
  EXPECT_EQ(host.cursorShape, HostCursor::IBeam);
  EXPECT_EQ(GetCursor(), HCURSOR(IDC_IBEAM));
  host.Mouse(HostEventType::MouseMove, main, POINT{150, 150});  // a's class has none
  PumpMessages();
  EXPECT_EQ(host.cursorShape, HostCursor::IBeam);
  POINT p;
  GetCursorPos(&p);
  EXPECT_EQ(p, (POINT{150, 150}));
  SetCursorPos(10, 20);
  EXPECT_EQ(host.cursor, (POINT{10, 20}));
}

TEST_F(InputTest, MonitorsAndWorkAreasComeFromTheHostsScreens) {
  HostScreen right;
  right.geometry = RECT{1024, 0, 2048, 600};
  right.workArea = RECT{1024, 30, 2048, 600};
  host.screens.push_back(right);
  HostEvent e;
  e.type = HostEventType::ScreensChanged;
  host.Send(e);
  PumpMessages();
  EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 2);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  EXPECT_EQ(GetSystemMetrics(SM_CXVIRTUALSCREEN), 2048);
  HMONITOR m = MonitorFromPoint(POINT{1500, 300}, MONITOR_DEFAULTTONULL);
  MONITORINFO mi;
  ASSERT_TRUE(GetMonitorInfoW(m, &mi));
  EXPECT_EQ(mi.rcWork, right.workArea);
  EXPECT_EQ(mi.dwFlags, 0u);
  EXPECT_EQ(MonitorFromPoint(POINT{3000, 300}, MONITOR_DEFAULTTONULL), HMONITOR(0));
  EXPECT_EQ(MonitorFromPoint(POINT{3000, 300}, MONITOR_DEFAULTTONEAREST), m);
  HMONITOR first = MonitorFromWindow(main, MONITOR_DEFAULTTONEAREST);
  ASSERT_TRUE(GetMonitorInfoW(first, &mi));
  EXPECT_EQ(mi.rcWork, (RECT{0, 0, 1024, 728}));
  EXPECT_EQ(mi.dwFlags, MONITORINFOF_PRIMARY);
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(work, (RECT{0, 0, 1024, 728}));

  // A maximised window fills its monitor's work area, its frame outside it where the frame is
  // drawn here (the desktop's own frame stays inside the work area: DesktopFrameTest).
  UserSetDesktopFrames(false);
  HWND big =
      CreateWindowExW(0, u"Main", u"", WS_OVERLAPPEDWINDOW, 1100, 100, 300, 200, 0, 0, 0, nullptr);
  ShowWindow(big, SW_SHOWMAXIMIZED);
  RECT r;
  GetWindowRect(big, &r);
  EXPECT_EQ(r, (RECT{1024 - 4, 30 - 4, 2048 + 4, 600 + 4}));
  EXPECT_TRUE(IsZoomed(big));
  ShowWindow(big, SW_RESTORE);
  GetWindowRect(big, &r);
  EXPECT_EQ(r, (RECT{1100, 100, 1400, 300}));
}

}  // namespace
