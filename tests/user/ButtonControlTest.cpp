// Push buttons: clicks by mouse (with capture, leaving and re-entering), by Space and by
// BM_CLICK, the pressed state and look, the default style.
#include "Controls.h"
#include "UserTestSupport.h"

namespace {

class ButtonControlTest : public UserTest {
 protected:
  void SetUp() override {
    UserTest::SetUp();
    RegisterSystemControlClasses();
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
    button = CreateWindowExW(0, u"Button", u"OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10,
                             80, 24, main, HMENU(1), 0, nullptr);
  }
  void Mouse(UINT msg, int x, int y) {
    PostMessageW(button, msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
    PumpMessages();
  }
  bool Pushed() const { return (SendMessageW(button, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0; }

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

TEST_F(ButtonControlTest, PressedAndDefaultLook) {
  PumpMessages();
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

}  // namespace
