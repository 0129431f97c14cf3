// Push buttons: clicks by mouse (with capture, leaving and re-entering), by Space and by
// BM_CLICK, the pressed state and look in both looks, hot tracking, the default style, and the
// standard classes registering themselves on first use.
#include "SystemControls.h"
#include "Themes.h"
#include "UserTestSupport.h"

namespace {

class ButtonControlTest : public UserTest {
 protected:
  void SetUp() override {
    UserTest::SetUp();
    themed = IsThemeActive() != FALSE;
    RegisterTestClass(u"Main", 0, HBRUSH(COLOR_BTNFACE + 1),
                      [this](HWND, UINT msg, WPARAM wp, LPARAM lp, LRESULT*) {
                        if (msg == WM_COMMAND && HWND(lp) == button && HIWORD(wp) == BN_CLICKED) {
                          ++clicks;
                          // The button is already released when the click is reported.
                          pushedAtClick = SendMessageW(button, BM_GETSTATE, 0, 0) & BST_PUSHED;
                        }
                        return false;
                      });
    main = CreateWindowExW(0, u"Main", u"", WS_POPUP | WS_VISIBLE, 100, 100, 300, 100, 0, 0, 0,
                           nullptr);
    button = CreateWindowExW(0, u"Button", u"OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 80,
                             24, main, HMENU(1), 0, nullptr);
  }
  void Mouse(UINT msg, int x, int y) {
    PostMessageW(button, msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
    PumpMessages();
  }
  void TearDown() override {
    SetThemesEnabledForTesting(themed);
    UserTest::TearDown();
  }
  bool Pushed() const { return (SendMessageW(button, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0; }
  bool Hot() const { return (SendMessageW(button, BM_GETSTATE, 0, 0) & BST_HOT) != 0; }
  void Repaint() {
    InvalidateRect(button, nullptr, TRUE);
    PumpMessages();
  }
  // The face colour away from the text and the focus rectangle.
  COLORREF Face() const { return SurfacePixel(button, 2, 12); }

  bool themed = true;
  HWND main = 0;
  HWND button = 0;
  int clicks = 0;
  LRESULT pushedAtClick = -1;
};

TEST_F(ButtonControlTest, MouseClickNeedsReleaseInside) {
  Mouse(WM_LBUTTONDOWN, 5, 5);
  EXPECT_TRUE(Pushed());
  EXPECT_EQ(GetCapture(), button);
  EXPECT_EQ(GetFocus(), button);
  EXPECT_EQ(clicks, 0);
  Mouse(WM_LBUTTONUP, 5, 5);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(pushedAtClick, 0);
  EXPECT_FALSE(Pushed());
  EXPECT_EQ(GetCapture(), HWND(0));

  // Dragged out the button pops up; released outside, nothing is clicked.
  Mouse(WM_LBUTTONDOWN, 5, 5);
  Mouse(WM_MOUSEMOVE, 200, 5);
  EXPECT_FALSE(Pushed());
  Mouse(WM_LBUTTONUP, 200, 5);
  EXPECT_EQ(clicks, 1);

  // Back inside before the release, it is a click again.
  Mouse(WM_LBUTTONDOWN, 5, 5);
  Mouse(WM_MOUSEMOVE, -3, 5);
  Mouse(WM_MOUSEMOVE, 40, 12);
  EXPECT_TRUE(Pushed());
  Mouse(WM_LBUTTONUP, 40, 12);
  EXPECT_EQ(clicks, 2);

  // Losing the capture cancels the press.
  Mouse(WM_LBUTTONDOWN, 5, 5);
  ReleaseCapture();
  EXPECT_FALSE(Pushed());
  Mouse(WM_LBUTTONUP, 5, 5);
  EXPECT_EQ(clicks, 2);
}

TEST_F(ButtonControlTest, SpaceAndBmClick) {
  SetFocus(button);
  PostMessageW(button, WM_KEYDOWN, VK_SPACE, 1);
  PumpMessages();
  EXPECT_TRUE(Pushed());
  EXPECT_EQ(clicks, 0);
  PostMessageW(button, WM_KEYUP, VK_SPACE, LPARAM(0xC0000001));
  PumpMessages();
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(Pushed());

  // Focus lost while Space is down: no click when it comes up elsewhere.
  PostMessageW(button, WM_KEYDOWN, VK_SPACE, 1);
  PumpMessages();
  SetFocus(main);
  EXPECT_FALSE(Pushed());
  SendMessageW(button, WM_KEYUP, VK_SPACE, LPARAM(0xC0000001));
  EXPECT_EQ(clicks, 1);

  SendMessageW(button, BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 2);
  EnableWindow(button, FALSE);
  SendMessageW(button, BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 2);
}

TEST_F(ButtonControlTest, PressedAndDefaultLookClassic) {
  SetThemesEnabledForTesting(false);
  Repaint();
  COLORREF up = SurfacePixel(button, 0, 0);
  SendMessageW(button, BM_SETSTATE, TRUE, 0);
  PumpMessages();
  COLORREF down = SurfacePixel(button, 0, 0);
  EXPECT_NE(up, down);
  SendMessageW(button, BM_SETSTATE, FALSE, 0);
  PumpMessages();
  EXPECT_EQ(SurfacePixel(button, 0, 0), up);

  EXPECT_EQ(SendMessageW(button, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
  SendMessageW(button, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  EXPECT_EQ(SendMessageW(button, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
  PumpMessages();
  EXPECT_EQ(SurfacePixel(button, 0, 0), GetSysColor(COLOR_WINDOWFRAME));
}

TEST_F(ButtonControlTest, ThemedStatesEachLookTheirOwn) {
  SetThemesEnabledForTesting(true);
  Repaint();
  COLORREF normal = Face();
  // The themed face leaves the corner pixel to the parent's background.
  EXPECT_EQ(SurfacePixel(button, 0, 0), GetSysColor(COLOR_BTNFACE));
  EXPECT_NE(SurfacePixel(button, 1, 0), GetSysColor(COLOR_BTNFACE));

  SendMessageW(button, BM_SETSTATE, TRUE, 0);
  PumpMessages();
  COLORREF pressed = Face();
  SendMessageW(button, BM_SETSTATE, FALSE, 0);
  PumpMessages();
  EXPECT_NE(pressed, normal);
  EXPECT_EQ(Face(), normal);

  EnableWindow(button, FALSE);
  PumpMessages();
  COLORREF disabled = Face();
  EXPECT_NE(disabled, normal);
  EnableWindow(button, TRUE);
  PumpMessages();

  // Default: same face, an accent border.
  COLORREF border = SurfacePixel(button, 1, 0);
  SendMessageW(button, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  PumpMessages();
  EXPECT_EQ(Face(), normal);
  EXPECT_NE(SurfacePixel(button, 1, 0), border);

  // The focused button shows a dotted focus rectangle three pixels in.
  SendMessageW(button, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  PumpMessages();
  COLORREF before = SurfacePixel(button, 3, 10);
  SetFocus(button);
  PumpMessages();
  bool dotted = false;
  for (int y = 3; y < 8; ++y) dotted = dotted || SurfacePixel(button, 3, y) != before;
  EXPECT_TRUE(dotted);

  // Classic again: the same button draws the raised frame.
  SetThemesEnabledForTesting(false);
  SetFocus(main);
  Repaint();
  EXPECT_EQ(SurfacePixel(button, 0, 0), GetSysColor(COLOR_BTNHIGHLIGHT));
}

TEST_F(ButtonControlTest, HotWhileThePointerIsOverItThemedOnly) {
  SetThemesEnabledForTesting(true);
  Repaint();
  COLORREF normal = Face();
  // Client (10, 10) of main is screen (110, 110).
  host.Mouse(HostEventType::MouseMove, main, POINT{130, 120});
  PumpMessages();
  EXPECT_TRUE(Hot());
  EXPECT_NE(Face(), normal);
  host.Mouse(HostEventType::MouseMove, main, POINT{250, 150});
  PumpMessages();
  EXPECT_FALSE(Hot());
  EXPECT_EQ(Face(), normal);

  // A real press and release through the queue clicks and leaves the button hot.
  host.Mouse(HostEventType::MouseMove, main, POINT{130, 120});
  host.Mouse(HostEventType::MouseDown, main, POINT{130, 120}, kHostLeftButton, kHostLeftButton);
  PumpMessages();
  EXPECT_TRUE(Pushed());
  host.Mouse(HostEventType::MouseUp, main, POINT{130, 120}, kHostLeftButton, 0);
  PumpMessages();
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(Hot());

  // The classic look ignores the hot state.
  SetThemesEnabledForTesting(false);
  host.Mouse(HostEventType::MouseMove, main, POINT{250, 150});
  SetFocus(main);
  Repaint();
  COLORREF classic = Face();
  host.Mouse(HostEventType::MouseMove, main, POINT{130, 120});
  PumpMessages();
  EXPECT_EQ(Face(), classic);
}

TEST_F(ButtonControlTest, StandardClassesRegisterOnFirstUse) {
  // The fixture never registered them: creating the button did.
  for (const char16_t* name : {u"static", u"Edit", u"COMBOBOX", u"msctls_updown32"}) {
    HWND w = CreateWindowExW(0, name, u"", WS_CHILD, 0, 0, 50, 20, main, 0, 0, nullptr);
    EXPECT_NE(w, HWND(0)) << std::u16string(name).size();
    DestroyWindow(w);
  }
  EXPECT_EQ(CreateWindowExW(0, u"NoSuchClass", u"", WS_CHILD, 0, 0, 5, 5, main, 0, 0, nullptr),
            HWND(0));
  EXPECT_TRUE(RegisterSystemControlClass(u"button"));
  EXPECT_FALSE(RegisterSystemControlClass(u"Main"));
  // After a reset they come back the same way; asking for the class's data registers it too,
  // so a subclass can take the procedure before any window exists.
  UserResetForTesting();
  WNDCLASSEXW wc;
  EXPECT_TRUE(GetClassInfoExW(0, u"edit", &wc));
  ASSERT_NE(wc.lpfnWndProc, nullptr);
  EXPECT_FALSE(GetClassInfoExW(0, u"NoSuchClass", &wc));
  RegisterTestClass(u"Main");
  HWND top = CreateWindowExW(0, u"Main", u"", WS_POPUP, 0, 0, 100, 100, 0, 0, 0, nullptr);
  EXPECT_NE(CreateWindowExW(0, u"BUTTON", u"x", WS_CHILD, 0, 0, 50, 20, top, 0, 0, nullptr),
            HWND(0));
  // Registering them by hand afterwards is harmless, and a name taken stays taken.
  RegisterSystemControlClasses();
  EXPECT_TRUE(GetClassInfoExW(0, u"ComboLBox", &wc));
  wc.lpszClassName = u"Static";
  EXPECT_EQ(RegisterClassExW(&wc), 0);
}

}  // namespace
