// Ending the program from outside: the session's signals, and starting without a display.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include "SessionEnd.h"
#include "TestSupport.h"

namespace {

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

TEST(SessionEnd, WithoutADisplayTheProgramSaysSoInOneLine) {
  TempDir sockets;
  std::ofstream(sockets.os() + "/X7") << "";
  const char* message = nullptr;
  struct Case {
    const char* qpa;
    const char* display;
    const char* wayland;
    bool available;
  } cases[] = {
      {nullptr, nullptr, nullptr, false},
      {"", "", "", false},
      {nullptr, ":7", nullptr, true},
      {nullptr, ":7.0", nullptr, true},
      {nullptr, ":8", nullptr, false},  // no server behind it
      {"xcb", ":8", nullptr, false},
      {nullptr, "otherhost:0", nullptr, true},  // remote: the host's to reach
      {"offscreen", nullptr, nullptr, true},
      {nullptr, nullptr, "wayland-0", true},
  };
  for (const Case& c : cases) {
    message = nullptr;
    bool ok = DisplayAvailable(c.qpa, c.display, c.wayland, sockets.os().c_str(), &message);
    EXPECT_EQ(ok, c.available) << (c.display ? c.display : "(none)");
    if (!ok) {
      ASSERT_NE(message, nullptr);
      std::string m = message;
      EXPECT_EQ(m.find('\n'), std::string::npos);
      EXPECT_NE(m.find("xvfb-run"), std::string::npos) << m;
    }
  }
}

}  // namespace
