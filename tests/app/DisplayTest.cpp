// Starting without a display: the program says so in one line instead of failing in the host.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <string>

#include "Display.h"
#include "TestSupport.h"

namespace {

// A Unix socket at path; listening, or left behind as by a compositor that died.
int UnixSocket(const std::string& path, bool listening) {
  sockaddr_un addr = {};
  addr.sun_family = AF_UNIX;
  std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
  int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) return -1;
  if (listening) listen(fd, 1);
  return fd;
}

TEST(Display, WithoutADisplayTheProgramSaysSoInOneLine) {
  TempDir sockets, runtime;
  std::ofstream(sockets.os() + "/X7") << "";
  const int live = UnixSocket(runtime.os() + "/wayland-0", true);
  const int dead = UnixSocket(runtime.os() + "/wayland-9", false);
  ASSERT_GE(live, 0);
  ASSERT_GE(dead, 0);
  close(dead);
  std::ofstream(runtime.os() + "/wayland-file") << "";
  const std::string absolute = runtime.os() + "/wayland-0";
  const char* rt = runtime.os().c_str();
  struct Case {
    const char* qpa;
    const char* display;
    const char* wayland;
    const char* runtimeDir;
    bool available;
  } cases[] = {
      {nullptr, nullptr, nullptr, nullptr, false},
      {"", "", "", "", false},
      {nullptr, ":7", nullptr, nullptr, true},
      {nullptr, ":7.0", nullptr, nullptr, true},
      {nullptr, ":8", nullptr, nullptr, false},  // no server behind it
      {"xcb", ":8", nullptr, nullptr, false},
      {nullptr, "otherhost:0", nullptr, nullptr, true},  // remote: the host's to reach
      {"offscreen", nullptr, nullptr, nullptr, true},
      {"wayland", nullptr, "wayland-9", rt, true},  // chosen explicitly
      {nullptr, nullptr, "wayland-0", rt, true},
      {nullptr, nullptr, absolute.c_str(), nullptr, true},
      // A compositor that is not there: no socket, a file, one left by a compositor that died,
      // no runtime folder to find it in.
      {nullptr, nullptr, "wayland-1", rt, false},
      {nullptr, nullptr, "wayland-file", rt, false},
      {nullptr, nullptr, "wayland-9", rt, false},
      {nullptr, nullptr, "wayland-0", nullptr, false},
      {nullptr, ":7", "wayland-1", rt, true},  // X is there
      {nullptr, ":8", "wayland-1", rt, false},
  };
  for (const Case& c : cases) {
    const char* message = nullptr;
    TDisplayEnvironment env;
    env.QtPlatform = c.qpa;
    env.Display = c.display;
    env.WaylandDisplay = c.wayland;
    env.RuntimeDir = c.runtimeDir;
    env.X11SocketDir = sockets.os().c_str();
    const std::string name =
        std::string(c.display ? c.display : "(none)") + " " + (c.wayland ? c.wayland : "(none)");
    bool ok = DisplayAvailable(env, &message);
    EXPECT_EQ(ok, c.available) << name;
    if (!ok) {
      ASSERT_NE(message, nullptr) << name;
      std::string m = message;
      EXPECT_EQ(m.find('\n'), std::string::npos);
      EXPECT_NE(m.find("xvfb-run"), std::string::npos) << m;
      if (c.wayland && !c.display) {
        EXPECT_NE(m.find("WAYLAND_DISPLAY"), std::string::npos) << m;
      }
    }
  }
  close(live);
}

}  // namespace
