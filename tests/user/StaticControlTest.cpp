// Static labels: alignment, the & prefix, colours from the parent, mouse transparency.
#include "SystemControls.h"
#include "UserTestSupport.h"

namespace {

class StaticControlTest : public UserTest {
 protected:
  void SetUp() override {
    UserTest::SetUp();
    RegisterSystemControlClasses();
    RegisterTestClass(u"Main", 0, HBRUSH(COLOR_BTNFACE + 1));
    main = CreateWindowExW(0, u"Main", u"", WS_POPUP | WS_VISIBLE, 100, 100, 300, 100, 0, 0, 0,
                           nullptr);
  }
  HWND Label(const char16_t* text, DWORD style, int y = 0) {
    return CreateWindowExW(0, u"static", text, WS_CHILD | WS_VISIBLE | style, 0, y, 200, 20, main,
                           0, 0, nullptr);
  }
  // The first and last columns holding ink, and how many columns do.
  struct Ink {
    int first = -1, last = -1, columns = 0;
  };
  static Ink InkOf(HWND label) {
    PumpMessages();
    Ink ink;
    COLORREF bg = GetSysColor(COLOR_BTNFACE);
    for (int x = 0; x < 200; ++x) {
      bool any = false;
      for (int y = 0; y < 20 && !any; ++y) any = SurfacePixel(label, x, y) != bg;
      if (!any) continue;
      if (ink.first < 0) ink.first = x;
      ink.last = x;
      ++ink.columns;
    }
    return ink;
  }
  HWND main = 0;
};

TEST_F(StaticControlTest, Alignment) {
  HWND l = Label(u"Text", SS_LEFT);
  Ink left = InkOf(l);
  DestroyWindow(l);
  l = Label(u"Text", SS_RIGHT);
  Ink right = InkOf(l);
  DestroyWindow(l);
  l = Label(u"Text", SS_CENTER);
  Ink centre = InkOf(l);
  ASSERT_GE(left.first, 0);
  EXPECT_LT(left.first, 3);
  EXPECT_GT(right.last, 195);
  EXPECT_EQ(right.last - right.first, left.last - left.first);
  EXPECT_NEAR((centre.first + centre.last) / 2, 100, 3);
}

TEST_F(StaticControlTest, PrefixAndText) {
  HWND plain = Label(u"&&", SS_LEFT);        // one ampersand shown
  HWND raw = Label(u"&&", SS_NOPREFIX, 40);  // both shown
  Ink one = InkOf(plain);
  Ink two = InkOf(raw);
  EXPECT_GT(two.columns, one.columns);

  SetWindowTextW(plain, u"");
  EXPECT_EQ(InkOf(plain).columns, 0);  // the new text is painted
}

TEST_F(StaticControlTest, LetsTheMouseThrough) {
  HWND l = Label(u"x", SS_LEFT);
  EXPECT_EQ(SendMessageW(l, WM_NCHITTEST, 0, MAKELPARAM(105, 105)), HTTRANSPARENT);
  HWND n = Label(u"x", SS_LEFT | SS_NOTIFY);
  EXPECT_EQ(SendMessageW(n, WM_NCHITTEST, 0, MAKELPARAM(105, 105)), HTCLIENT);
}

}  // namespace
