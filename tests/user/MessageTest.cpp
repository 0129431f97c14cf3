// The queue: retrieval order, PeekMessage with and without removal, filters, WM_QUIT, timers
// in real time, dispatching and translation.
#include <chrono>

#include "UserTestSupport.h"

namespace {

using Clock = std::chrono::steady_clock;

class MessageTest : public UserTest {
 protected:
  void SetUp() override {
    UserTest::SetUp();
    RegisterTestClass(u"Q", 0, HBRUSH(COLOR_WINDOW + 1));
    w = CreateWindowExW(0, u"Q", u"", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, 0, 0, 0, nullptr);
    child = CreateWindowExW(0, u"Q", u"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, w, 0, 0, nullptr);
    other = CreateWindowExW(0, u"Q", u"", WS_POPUP, 0, 0, 50, 50, 0, 0, 0, nullptr);
    PumpMessages();  // the first paint
  }
  HWND w = 0, child = 0, other = 0;
};

TEST_F(MessageTest, PeekingWithoutRemovalSeesTheSameQueue) {
  PostMessageW(w, WM_USER, 1, 0);
  PostMessageW(child, WM_USER + 1, 2, 0);
  PostMessageW(0, WM_USER + 2, 3, 0);
  MSG m;
  ASSERT_TRUE(PeekMessageW(&m, 0, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.message, WM_USER);
  ASSERT_TRUE(PeekMessageW(&m, 0, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.message, WM_USER);  // still there
  // A window filter takes the window's children too; a range skips what lies outside it.
  ASSERT_TRUE(PeekMessageW(&m, w, WM_USER + 1, WM_USER + 1, PM_REMOVE));
  EXPECT_EQ(m.hwnd, child);
  EXPECT_FALSE(PeekMessageW(&m, other, 0, 0, PM_NOREMOVE));
  ASSERT_TRUE(PeekMessageW(&m, HWND(-1), 0, 0, PM_REMOVE));  // thread messages only
  EXPECT_EQ(m.message, WM_USER + 2u);
  EXPECT_EQ(m.hwnd, HWND(0));
  ASSERT_TRUE(PeekMessageW(&m, 0, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_USER);
  EXPECT_EQ(m.wParam, 1u);
  EXPECT_FALSE(PeekMessageW(&m, 0, 0, 0, PM_REMOVE));
  EXPECT_FALSE(PostMessageW(0xDEAD, WM_USER, 0, 0));
}

TEST_F(MessageTest, PostedMessagesComeBeforePaintAndPaintBeforeTimers) {
  StopClockForTesting(true);
  SetTimer(w, 7, USER_TIMER_MINIMUM, nullptr);
  AdvanceClockForTesting(USER_TIMER_MINIMUM);
  InvalidateRect(child, nullptr, TRUE);
  PostMessageW(w, WM_USER, 0, 0);
  PostQuitMessage(3);
  PostMessageW(w, WM_USER + 1, 0, 0);
  std::vector<UINT> order;
  MSG m;
  for (int i = 0; i < 6 && PeekMessageW(&m, 0, 0, 0, PM_REMOVE); ++i) {
    order.push_back(m.message);
    if (m.message == WM_QUIT) {
      EXPECT_EQ(m.wParam, 3u);
    }
    if (m.message == WM_PAINT) {
      EXPECT_EQ(m.hwnd, child);
      // Left in the queue until the window is validated.
      MSG again;
      ASSERT_TRUE(PeekMessageW(&again, 0, 0, 0, PM_REMOVE));
      EXPECT_EQ(again.message, WM_PAINT);
      DispatchMessageW(&m);
    }
    if (m.message == WM_TIMER) {
      EXPECT_EQ(m.hwnd, w);
      EXPECT_EQ(m.wParam, 7u);
    }
  }
  EXPECT_EQ(order, (std::vector<UINT>{WM_USER, WM_USER + 1, WM_QUIT, WM_PAINT, WM_TIMER}));
}

TEST_F(MessageTest, GetMessageEndsTheLoopOnQuit) {
  PostMessageW(w, WM_USER, 0, 0);
  PostQuitMessage(9);
  MSG m;
  EXPECT_EQ(GetMessageW(&m, 0, 0, 0), TRUE);
  EXPECT_EQ(GetMessageW(&m, 0, 0, 0), FALSE);
  EXPECT_EQ(m.message, WM_QUIT);
  EXPECT_EQ(m.wParam, 9u);
  EXPECT_EQ(GetMessageW(&m, 0xDEAD, 0, 0), -1);
}

TEST_F(MessageTest, AByteOnTheWakePipeEndsABlockingWaitAtOnce) {
  // The fake host watches no descriptor: the loop's own look after each wait finds the byte.
  double ms = WakeFromBlockingGetMessageMs();
  EXPECT_GE(ms, 0) << "the wait ended without the wake";
  EXPECT_LT(ms, 20);
}

TEST_F(MessageTest, TimersFireAfterTheirIntervalWithoutPilingUp) {
  auto start = Clock::now();
  UINT_PTR id = SetTimer(w, 1, 60, nullptr);
  EXPECT_EQ(id, 1u);
  MSG m;
  EXPECT_FALSE(PeekMessageW(&m, 0, WM_TIMER, WM_TIMER, PM_NOREMOVE));
  ASSERT_TRUE(GetMessageW(&m, 0, WM_TIMER, WM_TIMER));
  auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
  EXPECT_GE(waited, 59);
  EXPECT_LT(waited, 1000);
  // The rest on the stopped clock. Busy for several intervals: one WM_TIMER is waiting, not
  // several.
  StopClockForTesting(true);
  AdvanceClockForTesting(200);
  EXPECT_TRUE(PeekMessageW(&m, 0, WM_TIMER, WM_TIMER, PM_REMOVE));
  EXPECT_FALSE(PeekMessageW(&m, 0, WM_TIMER, WM_TIMER, PM_REMOVE));
  // Setting it again restarts it; killing it stops it.
  AdvanceClockForTesting(40);
  SetTimer(w, 1, 500, nullptr);
  AdvanceClockForTesting(499);
  EXPECT_FALSE(PeekMessageW(&m, 0, WM_TIMER, WM_TIMER, PM_NOREMOVE));
  AdvanceClockForTesting(1);
  EXPECT_TRUE(PeekMessageW(&m, 0, WM_TIMER, WM_TIMER, PM_NOREMOVE));
  EXPECT_TRUE(KillTimer(w, 1));
  EXPECT_FALSE(KillTimer(w, 1));
  EXPECT_FALSE(PeekMessageW(&m, 0, WM_TIMER, WM_TIMER, PM_REMOVE)) << "a killed timer's tick";
  AdvanceClockForTesting(1000);
  EXPECT_FALSE(PeekMessageW(&m, 0, WM_TIMER, WM_TIMER, PM_REMOVE));
  // A window's timers die with it.
  SetTimer(child, 2, USER_TIMER_MINIMUM, nullptr);
  DestroyWindow(child);
  AdvanceClockForTesting(USER_TIMER_MINIMUM);
  EXPECT_FALSE(PeekMessageW(&m, 0, WM_TIMER, WM_TIMER, PM_REMOVE));
}

int gCallbacks = 0;
void CALLBACK_Proc(HWND, UINT msg, UINT_PTR, DWORD) {
  if (msg == WM_TIMER) ++gCallbacks;
}

TEST_F(MessageTest, ThreadTimersWithACallbackRunThroughDispatch) {
  gCallbacks = 0;
  UINT_PTR id = SetTimer(0, 0, USER_TIMER_MINIMUM, CALLBACK_Proc);
  EXPECT_NE(id, 0u);
  MSG m;
  ASSERT_TRUE(GetMessageW(&m, 0, WM_TIMER, WM_TIMER));
  EXPECT_EQ(m.hwnd, HWND(0));
  EXPECT_EQ(m.wParam, id);
  DispatchMessageW(&m);
  EXPECT_EQ(gCallbacks, 1);
  KillTimer(0, id);
  // A WM_TIMER forged with a callback no timer has calls nothing.
  MSG forged = m;
  DispatchMessageW(&forged);
  EXPECT_EQ(gCallbacks, 1);
}

TEST_F(MessageTest, TheSpyTellsSentFromPostedAndDefaultProcedureMessages) {
  MessageLog log;
  log.Name(w, "w");
  SendMessageW(w, WM_USER, 0, 0);
  PostMessageW(w, WM_USER + 1, 0, 0);
  PumpMessages();
  SendMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0);  // the default handling sends WM_CLOSE
  std::vector<std::string> lines = log.Lines({WM_NCPAINT, WM_ERASEBKGND, WM_PAINT});
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[0], "w WM_USER");
  EXPECT_EQ(lines[1], "w 0x0401 posted");
  EXPECT_EQ(lines[2], "w WM_SYSCOMMAND");
  EXPECT_EQ(lines[3], "w WM_CLOSE (def)");
  EXPECT_FALSE(IsWindow(w));
}

TEST_F(MessageTest, AWindowThatNeverValidatesIsNotPaintedForEver) {
  int paints = 0;
  SetTestHandler(u"Q", [&](HWND h, UINT msg, WPARAM, LPARAM, LRESULT*) {
    if (msg != WM_PAINT || h != w) return false;
    ++paints;
    return true;  // neither BeginPaint nor the default handling
  });
  InvalidateRect(w, nullptr, TRUE);
  PumpMessages();
  EXPECT_EQ(paints, 1);
  RECT r;
  EXPECT_FALSE(GetUpdateRect(w, &r, FALSE));
}

TEST_F(MessageTest, TranslatedKeysBecomeCharactersByLayoutAndShiftState) {
  auto chars = [&](int vk) {
    MSG m{};
    m.hwnd = w;
    m.message = WM_KEYDOWN;
    m.wParam = WPARAM(vk);
    m.lParam = 1;
    TranslateMessage(&m);
    std::u16string out;
    MSG c;
    while (PeekMessageW(&c, 0, WM_CHAR, WM_CHAR, PM_REMOVE)) out += Char(c.wParam);
    return out;
  };
  EXPECT_EQ(chars('A'), u"a");
  EXPECT_EQ(chars('5'), u"5");
  EXPECT_EQ(chars(VK_RETURN), u"\r");
  EXPECT_EQ(chars(VK_LEFT), u"");
  EXPECT_EQ(chars(VK_DELETE), u"");
  BYTE keys[256] = {};
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  EXPECT_EQ(chars('A'), u"A");
  EXPECT_EQ(chars('5'), u"%");
  EXPECT_EQ(chars(VK_OEM_PERIOD), u">");
  keys[VK_SHIFT] = 0;
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  EXPECT_EQ(chars('C'), std::u16string(1, Char(3)));
  EXPECT_LT(GetKeyState(VK_CONTROL), 0);
  EXPECT_EQ(GetKeyState(VK_SHIFT), 0);
}

TEST_F(MessageTest, TheKeyboardLayoutMapsKeysScanCodesAndCharacters) {
  EXPECT_EQ(MapVirtualKeyW('A', MAPVK_VK_TO_VSC), 0x1Eu);
  EXPECT_EQ(MapVirtualKeyW(0x1E, MAPVK_VSC_TO_VK), UINT('A'));
  EXPECT_EQ(MapVirtualKeyW(VK_OEM_2, MAPVK_VK_TO_CHAR), UINT('/'));
  EXPECT_EQ(MapVirtualKeyW(VK_MULTIPLY, MAPVK_VK_TO_CHAR), UINT('*'));
  EXPECT_EQ(MapVirtualKeyW(VK_NUMPAD7, MAPVK_VK_TO_CHAR), UINT('7'));
  EXPECT_EQ(MapVirtualKeyW('Q', MAPVK_VK_TO_CHAR), UINT('Q'));  // letters in upper case
  EXPECT_EQ(MapVirtualKeyW(VK_F5, MAPVK_VK_TO_CHAR), 0u);
  EXPECT_EQ(MapVirtualKeyW(0x2A, MAPVK_VSC_TO_VK), UINT(VK_SHIFT));
  EXPECT_EQ(MapVirtualKeyW(0x2A, MAPVK_VSC_TO_VK_EX), UINT(VK_LSHIFT));
}

TEST_F(MessageTest, RegisteredMessagesShareANumberPerName) {
  UINT a = RegisterWindowMessageW(u"Korv.Message");
  EXPECT_GE(a, 0xC000u);
  EXPECT_EQ(RegisterWindowMessageW(u"KORV.MESSAGE"), a);
  EXPECT_NE(RegisterWindowMessageW(u"Other"), a);
  EXPECT_EQ(RegisterWindowMessageW(u""), 0u);
}

}  // namespace
