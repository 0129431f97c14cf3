// The up-down control: range and position messages, stepping by real clicks (clamping,
// wrapping, the backwards default range, the parent's veto and change), the buddy's text and
// layout, arrow keys through the buddy, repeating while held, and both looks.

#include "Locale.h"
#include "SystemControls.h"
#include "Themes.h"
#include "UserTestSupport.h"

namespace {

constexpr int kId = 9;

class UpDownControlTest : public UserTest {
 protected:
  void SetUp() override {
    UserTest::SetUp();
    themed = IsThemeActive() != FALSE;
    RegisterTestClass(
        u"Main", 0, HBRUSH(COLOR_BTNFACE + 1),
        [this](HWND, UINT msg, WPARAM wp, LPARAM lp, LRESULT* r) {
          if (msg == WM_NOTIFY) {
            auto* nm = reinterpret_cast<NMUPDOWN*>(lp);
            if (nm->hdr.code != UDN_DELTAPOS || nm->hdr.hwndFrom != ud) return false;
            EXPECT_EQ(nm->hdr.idFrom, UINT_PTR(kId));
            log.push_back("delta " + std::to_string(nm->iPos) + " " + std::to_string(nm->iDelta));
            if (newDelta) nm->iDelta = newDelta;
            *r = veto;
            return true;
          }
          if ((msg == WM_VSCROLL || msg == WM_HSCROLL) && HWND(lp) == ud) {
            std::string s = msg == WM_VSCROLL ? "v" : "h";
            if (LOWORD(wp) == SB_THUMBPOSITION)
              log.push_back(s + "pos " + std::to_string(SHORT(HIWORD(wp))));
            else if (LOWORD(wp) == SB_ENDSCROLL) log.push_back(s + "end");
            return true;
          }
          return false;
        });
    main = CreateWindowExW(0, u"Main", u"", WS_POPUP | WS_VISIBLE, 100, 100, 300, 100, 0, 0, 0,
                           nullptr);
    buddy = CreateWindowExW(0, u"EDIT", u"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 10, 80, 22,
                            main, HMENU(5), 0, nullptr);
  }
  void TearDown() override {
    SetThemesEnabledForTesting(themed);
    FormatSettings.ThousandSeparator = separator;
    UserTest::TearDown();
  }

  HWND Make(DWORD style, bool withBuddy = true) {
    ud = CreateWindowExW(0, UPDOWN_CLASS, u"", WS_CHILD | WS_VISIBLE | style, 200, 10, 17, 22, main,
                         HMENU(kId), 0, nullptr);
    if (withBuddy) SendMessageW(ud, UDM_SETBUDDY, WPARAM(buddy), 0);
    PumpMessages();
    return ud;
  }
  // The centre of a half in screen coordinates.
  POINT Half(bool up) const {
    RECT r;
    GetWindowRect(ud, &r);
    bool horz = GetWindowLongW(ud, GWL_STYLE) & UDS_HORZ;
    if (horz) return {up ? (r.left + r.right) / 2 + 4 : r.left + 4, (r.top + r.bottom) / 2};
    return {(r.left + r.right) / 2, up ? r.top + 4 : r.bottom - 4};
  }
  void Press(bool up) {
    POINT p = Half(up);
    host.Mouse(HostEventType::MouseMove, main, p);
    host.Mouse(HostEventType::MouseDown, main, p, kHostLeftButton, kHostLeftButton);
    PumpMessages();
  }
  void Release(bool up) {
    host.Mouse(HostEventType::MouseUp, main, Half(up), kHostLeftButton, 0);
    PumpMessages();
  }
  void Click(bool up) {
    Press(up);
    Release(up);
  }
  int Pos() const { return int(SendMessageW(ud, UDM_GETPOS32, 0, 0)); }
  String BuddyText() const {
    WCHAR buf[64] = {};
    GetWindowTextW(buddy, buf, 64);
    return buf;
  }
  bool themed = true;
  Char separator = FormatSettings.ThousandSeparator;
  HWND main = 0, buddy = 0, ud = 0;
  std::vector<std::string> log;
  LRESULT veto = 0;
  int newDelta = 0;
};

using Log = std::vector<std::string>;

TEST_F(UpDownControlTest, RangePositionBaseAndAccelerations) {
  Make(0, false);
  // The default range runs from 100 down to 0.
  EXPECT_EQ(SendMessageW(ud, UDM_GETRANGE, 0, 0), LRESULT(MAKELONG(0, 100)));
  EXPECT_EQ(Pos(), 0);
  SendMessageW(ud, UDM_SETRANGE, 0, MAKELPARAM(20, -5));  // max 20, min -5
  int lo = 0, hi = 0;
  SendMessageW(ud, UDM_GETRANGE32, WPARAM(&lo), LPARAM(&hi));
  EXPECT_EQ(lo, -5);
  EXPECT_EQ(hi, 20);
  EXPECT_EQ(SendMessageW(ud, UDM_SETPOS32, 0, 50), 0);  // returns the old one, clamps the new
  EXPECT_EQ(Pos(), 20);
  EXPECT_EQ(SendMessageW(ud, UDM_SETPOS, 0, MAKELPARAM(-3, 0)), 20);
  EXPECT_EQ(SHORT(LOWORD(SendMessageW(ud, UDM_GETPOS, 0, 0))), -3);
  SendMessageW(ud, UDM_SETRANGE32, 0, 10);
  EXPECT_EQ(Pos(), 0);  // narrowed ranges pull the position in

  EXPECT_EQ(SendMessageW(ud, UDM_GETBASE, 0, 0), 10);
  EXPECT_EQ(SendMessageW(ud, UDM_SETBASE, 8, 0), 0);
  EXPECT_EQ(SendMessageW(ud, UDM_SETBASE, 16, 0), 10);

  UDACCEL acc[3];
  EXPECT_EQ(SendMessageW(ud, UDM_GETACCEL, 3, LPARAM(acc)), 3);
  EXPECT_EQ(acc[0].nInc, 1u);
  UDACCEL seven{0, 7};
  EXPECT_TRUE(SendMessageW(ud, UDM_SETACCEL, 1, LPARAM(&seven)));
  EXPECT_EQ(SendMessageW(ud, UDM_GETACCEL, 0, 0), 1);
  SendMessageW(ud, UDM_SETBASE, 10, 0);
  Click(true);
  EXPECT_EQ(Pos(), 7);
}

TEST_F(UpDownControlTest, ClicksStepClampWrapAndReportInOrder) {
  Make(UDS_SETBUDDYINT, false);
  SendMessageW(ud, UDM_SETRANGE32, 0, 10);
  SendMessageW(ud, UDM_SETPOS32, 0, 5);
  Click(true);
  EXPECT_EQ(Pos(), 6);
  EXPECT_EQ(log, (Log{"delta 5 1", "vpos 6", "vend"}));
  log.clear();
  Click(false);
  Click(false);
  EXPECT_EQ(Pos(), 4);
  EXPECT_EQ(log.size(), 6u);

  // At the end of the range the step is still reported, but the position stays.
  SendMessageW(ud, UDM_SETPOS32, 0, 10);
  log.clear();
  Click(true);
  EXPECT_EQ(Pos(), 10);
  EXPECT_EQ(log, (Log{"delta 10 1", "vpos 10", "vend"}));

  // The parent may veto a step or change it.
  veto = 1;
  Click(false);
  EXPECT_EQ(Pos(), 10);
  veto = 0;
  newDelta = -4;
  Click(false);
  EXPECT_EQ(Pos(), 6);
  newDelta = 0;

  // Backwards range: "up" lowers the number.
  SendMessageW(ud, UDM_SETRANGE, 0, MAKELPARAM(0, 100));
  SendMessageW(ud, UDM_SETPOS32, 0, 50);
  log.clear();
  Click(true);
  EXPECT_EQ(Pos(), 49);
  EXPECT_EQ(log.front(), "delta 50 -1");
}

TEST_F(UpDownControlTest, WrapAndHorizontal) {
  Make(UDS_WRAP | UDS_HORZ, false);
  SendMessageW(ud, UDM_SETRANGE32, 0, 3);
  SendMessageW(ud, UDM_SETPOS32, 0, 3);
  Click(true);  // the right half
  EXPECT_EQ(Pos(), 0);
  EXPECT_EQ(log, (Log{"delta 3 1", "hpos 0", "hend"}));
  Click(false);
  EXPECT_EQ(Pos(), 3);
}

TEST_F(UpDownControlTest, BuddyTextLayoutAndArrowKeys) {
  Make(UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS);
  EXPECT_EQ(HWND(SendMessageW(ud, UDM_GETBUDDY, 0, 0)), buddy);
  // Beside the buddy's right edge, the buddy narrowed to make room.
  RECT br, ur;
  GetWindowRect(buddy, &br);
  GetWindowRect(ud, &ur);
  EXPECT_EQ(br.right - br.left, 80 - 17);
  EXPECT_EQ(ur.left, br.right);
  EXPECT_EQ(ur.top, br.top);
  EXPECT_EQ(ur.bottom - ur.top, 22);

  FormatSettings.ThousandSeparator = u',';
  SendMessageW(ud, UDM_SETRANGE32, 0, 100000);
  SendMessageW(ud, UDM_SETPOS32, 0, 1234);
  EXPECT_EQ(BuddyText(), u"1,234");
  // Text typed into the buddy is where the next step starts.
  SetWindowTextW(buddy, u"2,000");
  Click(true);
  EXPECT_EQ(BuddyText(), u"2,001");
  SetWindowTextW(buddy, u"abc");
  BOOL error = FALSE;
  EXPECT_EQ(SendMessageW(ud, UDM_GETPOS32, 0, LPARAM(&error)), 2001);
  EXPECT_TRUE(error);
  EXPECT_NE(HIWORD(SendMessageW(ud, UDM_GETPOS, 0, 0)), 0);
  SetWindowTextW(buddy, u"77");
  EXPECT_EQ(SendMessageW(ud, UDM_GETPOS32, 0, LPARAM(&error)), 77);
  EXPECT_FALSE(error);
  SendMessageW(ud, UDM_SETBASE, 16, 0);
  EXPECT_EQ(BuddyText(), u"0x4D");
  SendMessageW(ud, UDM_SETBASE, 10, 0);

  // The arrow keys reach the control through the buddy; other keys stay the edit's.
  SetFocus(buddy);
  SetWindowTextW(buddy, u"10");
  log.clear();
  host.Key(HostEventType::KeyDown, VK_UP);
  PumpMessages();
  EXPECT_EQ(BuddyText(), u"11");
  host.Key(HostEventType::KeyDown, VK_DOWN);
  host.Key(HostEventType::KeyDown, VK_DOWN);
  host.Key(HostEventType::KeyUp, VK_DOWN);
  PumpMessages();
  EXPECT_EQ(BuddyText(), u"9");
  EXPECT_EQ(log.back(), "vend");
  host.Key(HostEventType::KeyDown, '5', u"5");
  PumpMessages();
  EXPECT_EQ(BuddyText(), u"59");  // the caret sits at the start after the text is set

  // Clicking puts the focus in the buddy.
  SetFocus(main);
  Click(true);
  EXPECT_EQ(GetFocus(), buddy);
}

TEST_F(UpDownControlTest, NoThousandsAutoBuddyAndBuddyChanges) {
  // The sibling created just before becomes the buddy.
  ud = CreateWindowExW(0, UPDOWN_CLASS, u"",
                       WS_CHILD | WS_VISIBLE | UDS_AUTOBUDDY | UDS_SETBUDDYINT | UDS_NOTHOUSANDS |
                           UDS_ARROWKEYS | UDS_ALIGNLEFT,
                       0, 0, 16, 22, main, HMENU(kId), 0, nullptr);
  EXPECT_EQ(HWND(SendMessageW(ud, UDM_GETBUDDY, 0, 0)), buddy);
  RECT br, ur;
  GetWindowRect(buddy, &br);
  GetWindowRect(ud, &ur);
  EXPECT_EQ(ur.right, br.left);
  SendMessageW(ud, UDM_SETRANGE32, 0, 99999);
  SendMessageW(ud, UDM_SETPOS32, 0, 12345);
  EXPECT_EQ(BuddyText(), u"12345");

  // A new buddy takes the arrow keys with it.
  HWND other =
      CreateWindowExW(0, u"EDIT", u"", WS_CHILD | WS_VISIBLE, 10, 50, 80, 22, main, 0, 0, nullptr);
  EXPECT_EQ(HWND(SendMessageW(ud, UDM_SETBUDDY, WPARAM(other), 0)), buddy);
  SetFocus(buddy);
  SetWindowTextW(buddy, u"1");
  host.Key(HostEventType::KeyDown, VK_UP);
  PumpMessages();
  EXPECT_EQ(BuddyText(), u"1");
  // The buddy destroyed first leaves the control without one, and nothing breaks.
  DestroyWindow(other);
  EXPECT_EQ(SendMessageW(ud, UDM_GETBUDDY, 0, 0), 0);
  Click(true);
  EXPECT_EQ(Pos(), 12346);
  DestroyWindow(ud);
}

TEST_F(UpDownControlTest, HoldingRepeatsAfterADelayOnlyOverTheHalf) {
  Make(0, false);
  SendMessageW(ud, UDM_SETRANGE32, 0, 1000);
  StopClockForTesting(true);
  Press(true);
  EXPECT_EQ(Pos(), 1);
  RunClockFor(399);
  EXPECT_EQ(Pos(), 1);  // the first repeat waits 400 ms
  RunClockFor(1);
  EXPECT_EQ(Pos(), 2);
  RunClockFor(299);  // then one every 100 ms: at 500, 600 and 700
  EXPECT_EQ(Pos(), 4);
  RunClockFor(1);
  EXPECT_EQ(Pos(), 5);
  RunClockFor(50);
  // Dragged off the half, it stops; back on, it goes on.
  host.Mouse(HostEventType::MouseMove, main, POINT{150, 150}, 0, kHostLeftButton);
  PumpMessages();
  RunClockFor(250);
  EXPECT_EQ(Pos(), 5);
  host.Mouse(HostEventType::MouseMove, main, Half(true), 0, kHostLeftButton);
  RunClockFor(250);  // at 1100 and 1200
  EXPECT_EQ(Pos(), 7);
  Release(true);
  RunClockFor(200);
  EXPECT_EQ(Pos(), 7);
  EXPECT_EQ(log.back(), "vend");
}

// The bounding box of pixels of one colour inside a window's client rectangle.
RECT Box(HWND hwnd, const RECT& area, COLORREF color) {
  RECT box{10000, 10000, -1, -1};
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (SurfacePixel(hwnd, x, y) == color) {
        box.left = std::min<LONG>(box.left, x);
        box.top = std::min<LONG>(box.top, y);
        box.right = std::max<LONG>(box.right, x + 1);
        box.bottom = std::max<LONG>(box.bottom, y + 1);
      }
  return box;
}

std::vector<COLORREF> Pixels(HWND hwnd, const RECT& area) {
  std::vector<COLORREF> out;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) out.push_back(SurfacePixel(hwnd, x, y));
  return out;
}

TEST_F(UpDownControlTest, BothLooksPressedDisabledAndACentredGlyph) {
  Make(0, false);
  for (bool styles : {true, false}) {
    SetThemesEnabledForTesting(styles);
    InvalidateRect(ud, nullptr, TRUE);
    PumpMessages();
    RECT half{0, 0, 17, 11};
    RECT up{2, 2, 15, 9};  // inside the classic frame, whose shadow is black too
    COLORREF glyph = GetSysColor(COLOR_BTNTEXT);
    if (styles) {
      HTHEME theme = OpenThemeData(ud, u"SPIN");
      ASSERT_NE(theme, HTHEME(0));
      GetThemeColor(theme, SPNP_UP, UPS_NORMAL, TMT_GLYPHCOLOR, &glyph);
    }
    RECT g = Box(ud, up, glyph);
    ASSERT_GT(g.right, g.left) << styles;
    // Centred in the half, within a pixel (an odd glyph in an even box).
    EXPECT_LE(std::abs((g.left + g.right) - (half.left + half.right)), 2) << styles;
    EXPECT_LE(std::abs((g.top + g.bottom) - (half.top + half.bottom)), 2) << styles;
    // The arrow points up: its top row is narrower than its bottom row.
    RECT topRow{g.left, g.top, g.right, g.top + 1},
        bottomRow{g.left, g.bottom - 1, g.right, g.bottom};
    RECT t = Box(ud, topRow, glyph), b = Box(ud, bottomRow, glyph);
    EXPECT_LT(t.right - t.left, b.right - b.left) << styles;

    std::vector<COLORREF> normal = Pixels(ud, half);
    RECT downHalf{0, 11, 17, 22};
    std::vector<COLORREF> down = Pixels(ud, downHalf);
    Press(true);
    EXPECT_NE(Pixels(ud, half), normal) << styles;
    EXPECT_EQ(Pixels(ud, downHalf), down) << styles;
    Release(true);
    host.Mouse(HostEventType::MouseMove, main, POINT{150, 150});
    PumpMessages();
    EXPECT_EQ(Pixels(ud, half), normal) << styles;

    EnableWindow(ud, FALSE);
    PumpMessages();
    EXPECT_EQ(Box(ud, up, glyph).right, -1) << "the disabled glyph is greyed " << styles;
    int before = Pos();
    Click(true);
    EXPECT_EQ(Pos(), before);  // no input reaches a disabled control
    EnableWindow(ud, TRUE);
    PumpMessages();
  }
}

}  // namespace
