// The stopped clock tests drive timers with: nothing falls due until it is moved on.
#include <chrono>

#include "UserDriver.h"
#include "UserTestSupport.h"

namespace {

class TestClockTest : public UserTest {};

int TimersWaiting(HWND w) {
  int n = 0;
  MSG m;
  while (PeekMessageW(&m, w, WM_TIMER, WM_TIMER, PM_REMOVE)) ++n;
  return n;
}

TEST_F(TestClockTest, StoppedClockFiresTimersOnlyWhenMovedOn) {
  RegisterTestClass(u"Q", 0, HBRUSH(COLOR_WINDOW + 1));
  HWND w = CreateWindowExW(0, u"Q", u"", WS_POPUP, 0, 0, 10, 10, 0, 0, 0, nullptr);
  StopClockForTesting(true);
  const DWORD start = GetTickCount();
  SetTimer(w, 1, 400, nullptr);
  AdvanceClockForTesting(399);
  EXPECT_EQ(TimersWaiting(w), 0);
  AdvanceClockForTesting(1);
  EXPECT_EQ(TimersWaiting(w), 1);
  EXPECT_EQ(GetTickCount() - start, 400u);
  // Missed intervals do not pile up, and the next one counts from the retrieval.
  AdvanceClockForTesting(1000);
  EXPECT_EQ(TimersWaiting(w), 1);
  AdvanceClockForTesting(399);
  EXPECT_EQ(TimersWaiting(w), 0);

  // Real time takes over with what was left of the interval (1 ms here).
  StopClockForTesting(false);
  MSG m;
  bool fired = false;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (!fired && std::chrono::steady_clock::now() < end)
    fired = PeekMessageW(&m, w, WM_TIMER, WM_TIMER, PM_REMOVE);
  EXPECT_TRUE(fired);
}

}  // namespace
