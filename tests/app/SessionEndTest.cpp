// Ending the program from outside: the session's signals.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <thread>

#include "Forms.h"
#include "HostWindows.h"
#include "SessionEnd.h"
#include "TestSupport.h"
#include "User.h"
#include "UserDriver.h"

namespace {

using Clock = std::chrono::steady_clock;

TEST(SessionEnd, TheFirstSignalIsOnlyNotedTheSecondEndsTheProcessAtOnce) {
  for (int sig : {SIGTERM, SIGHUP, SIGINT}) {
    EXPECT_EXIT(
        {
          InstallSessionEndHandlers();
          std::raise(sig);
          if (!SessionEndRequested()) std::_Exit(3);
          std::raise(sig);
          std::_Exit(4);  // not reached
        },
        testing::KilledBySignal(sig), "")
        << sig;
  }
  ResetSessionEndForTesting();
  EXPECT_FALSE(SessionEndRequested());
}

// The Qt host (offscreen) waiting in GetMessage with nothing to do: no timer, no input.
TEST(SessionEnd, ASignalEndsABlockingWaitAtOnce) {
  UserSetHostDriver(HostQtWindowDriver());
  UserResetForTesting();
  InstallSessionEndHandlers();
  WatchSessionEnd();  // no main window: the loop ends
  // Ends the wait should the signal not.
  const UINT_PTR guard = SetTimer(0, 0, 2000, nullptr);
  std::atomic<Clock::rep> raised{0};
  std::thread signaller([&raised] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    raised = Clock::now().time_since_epoch().count();
    kill(getpid(), SIGTERM);  // to the process: any thread may take it
  });
  MSG m{};
  const BOOL got = GetMessageW(&m, 0, 0, 0);
  const Clock::time_point ended = Clock::now();
  signaller.join();
  KillTimer(0, guard);
  EXPECT_EQ(got, FALSE) << "the wait ended with message " << m.message;
  const Clock::time_point at{Clock::duration(raised.load())};
  const double ms = std::chrono::duration<double, std::milli>(ended - at).count();
  EXPECT_LT(ms, 20);
  ResetSessionEndForTesting();
  ResetApplicationForTesting();
  UserResetForTesting();
  UserSetHostDriver(nullptr);
}

}  // namespace
