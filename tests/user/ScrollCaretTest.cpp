// Window scroll bars (state, hiding, clicks and drags sending WM_VSCROLL) and the caret.

#include "UserTestSupport.h"

namespace {

constexpr unsigned L = kHostLeftButton;
const FakeHost* gHost = nullptr;
POINT gReleaseAt;

void ReleaseLater(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(0, id);
  gHost->Mouse(HostEventType::MouseUp, 0, gReleaseAt, L, 0);
}

class ScrollCaretTest : public UserTest {
 protected:
  void SetUp() override {
    UserTest::SetUp();
    gHost = &host;
    RegisterTestClass(u"Box", 0, HBRUSH(COLOR_WINDOW + 1),
                      [this](HWND, UINT msg, WPARAM wp, LPARAM, LRESULT*) {
                        if (msg == WM_VSCROLL) codes.push_back({LOWORD(wp), HIWORD(wp)});
                        return false;
                      });
    // 100 x 200 at (100, 100): the bar runs from x 184 to 200, y 100 to 300.
    box = CreateWindowExW(0, u"Box", u"", WS_POPUP | WS_VISIBLE | WS_VSCROLL, 100, 100, 100, 200, 0,
                          0, 0, nullptr);
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = 99;
    si.nPage = 20;
    si.nPos = 0;
    SetScrollInfo(box, SB_VERT, &si, TRUE);
    PumpMessages();
  }
  void TearDown() override {
    UserTest::TearDown();
    gHost = nullptr;
  }
  void Press(POINT p, int holdMs) {
    gReleaseAt = p;
    SetTimer(0, 0, UINT(holdMs), ReleaseLater);
    host.Mouse(HostEventType::MouseDown, box, p, L, L);
    PumpMessages();
  }
  HWND box = 0;
  std::vector<std::pair<int, int>> codes;
};

TEST_F(ScrollCaretTest, ThePositionStaysInTheRangeLessThePage) {
  EXPECT_EQ(SetScrollPos(box, SB_VERT, 95, TRUE), 0);
  EXPECT_EQ(GetScrollPos(box, SB_VERT), 80);
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(box, SB_VERT, &si));
  EXPECT_EQ(si.nMax, 99);
  EXPECT_EQ(si.nPage, 20u);
  // A range the page covers makes the bar unnecessary: it goes, and the client area grows.
  RECT cr;
  GetClientRect(box, &cr);
  EXPECT_EQ(cr.right, 84);
  si.fMask = SIF_PAGE;
  si.nPage = 100;
  SetScrollInfo(box, SB_VERT, &si, TRUE);
  EXPECT_FALSE(GetWindowLongW(box, GWL_STYLE) & WS_VSCROLL);
  GetClientRect(box, &cr);
  EXPECT_EQ(cr.right, 100);
  EXPECT_EQ(GetScrollPos(box, SB_VERT), 0);
  // Unless it is to stay, disabled.
  si.fMask = SIF_PAGE | SIF_DISABLENOSCROLL;
  SetScrollInfo(box, SB_VERT, &si, TRUE);
  EXPECT_TRUE(GetWindowLongW(box, GWL_STYLE) & WS_VSCROLL);
  si.fMask = SIF_PAGE;
  si.nPage = 10;
  SetScrollInfo(box, SB_VERT, &si, TRUE);
  EXPECT_TRUE(GetWindowLongW(box, GWL_STYLE) & WS_VSCROLL);
}

TEST_F(ScrollCaretTest, ArrowsAndTheTrackSendScrollCodesAndRepeatWhileHeld) {
  Press(POINT{190, 295}, 10);  // the down arrow, briefly
  EXPECT_EQ(codes, (std::vector<std::pair<int, int>>{{SB_LINEDOWN, 0}, {SB_ENDSCROLL, 0}}));
  codes.clear();
  Press(POINT{190, 295}, 400);  // held: first repeat after 200 ms, then every 50 ms
  ASSERT_GE(codes.size(), 4u);
  EXPECT_LE(codes.size(), 8u);
  EXPECT_EQ(codes.front().first, SB_LINEDOWN);
  EXPECT_EQ(codes.back().first, SB_ENDSCROLL);
  codes.clear();
  Press(POINT{190, 250}, 10);  // the track below the thumb
  EXPECT_EQ(codes.front().first, SB_PAGEDOWN);
  codes.clear();
  EXPECT_EQ(GetCapture(), HWND(0));
}

TEST_F(ScrollCaretTest, DraggingTheThumbReportsTrackPositions) {
  // Track 168 pixels (200 less two 16-pixel arrows); the thumb is 168 * 20 / 100 = 33 long.
  host.Mouse(HostEventType::MouseDown, box, POINT{190, 120}, L, L);
  host.Mouse(HostEventType::MouseMove, box, POINT{190, 120 + 135}, 0, L);
  host.Mouse(HostEventType::MouseUp, box, POINT{190, 120 + 135}, L, 0);
  PumpMessages();
  ASSERT_EQ(codes.size(), 3u);
  EXPECT_EQ(codes[0], (std::pair<int, int>{SB_THUMBTRACK, 80}));
  EXPECT_EQ(codes[1], (std::pair<int, int>{SB_THUMBPOSITION, 80}));
  EXPECT_EQ(codes[2].first, SB_ENDSCROLL);
  EXPECT_EQ(GetScrollPos(box, SB_VERT), 0);  // the window moves it itself
}

TEST_F(ScrollCaretTest, TheCaretBlinksByInvertingItsRectangle) {
  ASSERT_TRUE(CreateCaret(box, 0, 2, 10));
  SetCaretPos(5, 5);
  COLORREF bg = GetSysColor(COLOR_WINDOW);
  EXPECT_EQ(SurfacePixel(box, 6, 6), bg);  // created hidden
  ShowCaret(box);
  EXPECT_EQ(SurfacePixel(box, 6, 6), bg ^ 0xFFFFFF);
  EXPECT_EQ(SurfacePixel(box, 7, 6), bg);
  StopClockForTesting(true);
  SetCaretBlinkTime(100);
  RunClockFor(99);
  EXPECT_EQ(SurfacePixel(box, 6, 6), bg ^ 0xFFFFFF);
  RunClockFor(1);
  EXPECT_EQ(SurfacePixel(box, 6, 6), bg);  // blinked off
  RunClockFor(100);
  EXPECT_EQ(SurfacePixel(box, 6, 6), bg ^ 0xFFFFFF);  // and on again
  HideCaret(box);
  RunClockFor(500);
  EXPECT_EQ(SurfacePixel(box, 6, 6), bg);  // hidden carets do not blink
  ShowCaret(box);
  SetCaretPos(20, 5);  // moving takes the old mark away
  EXPECT_EQ(SurfacePixel(box, 6, 6), bg);
  EXPECT_EQ(SurfacePixel(box, 21, 6), bg ^ 0xFFFFFF);
  // Painting hides it while BeginPaint and EndPaint run, so the mark survives repaints.
  InvalidateRect(box, nullptr, TRUE);
  PumpMessages();
  EXPECT_EQ(SurfacePixel(box, 21, 6), bg ^ 0xFFFFFF);
  DestroyCaret();
  EXPECT_EQ(SurfacePixel(box, 21, 6), bg);
}

}  // namespace
