#include "Display.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool Set(const char* s) { return s && *s; }

// A compositor listens on the socket: a file left by one that died refuses the connection.
bool WaylandCompositorRunning(const TDisplayEnvironment& env) {
  std::string path = env.WaylandDisplay;
  if (path[0] != '/') {
    if (!Set(env.RuntimeDir)) return false;  // clients cannot find the socket either
    path = std::string(env.RuntimeDir) + "/" + path;
  }
  sockaddr_un addr = {};
  addr.sun_family = AF_UNIX;
  if (path.size() >= sizeof addr.sun_path) return false;
  std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const bool running = connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
  close(fd);
  return running;
}

}  // namespace

TDisplayEnvironment ProcessDisplayEnvironment() {
  TDisplayEnvironment env;
  env.QtPlatform = std::getenv("QT_QPA_PLATFORM");
  env.Display = std::getenv("DISPLAY");
  env.WaylandDisplay = std::getenv("WAYLAND_DISPLAY");
  env.RuntimeDir = std::getenv("XDG_RUNTIME_DIR");
  return env;
}

bool DisplayAvailable(const TDisplayEnvironment& env, const char** message) {
  static const char* const kNoDisplay =
      "quillmark: no display to open its window on (DISPLAY is not set); "
      "run it on a desktop, or headless with: xvfb-run -a quillmark";
  static const char* const kNoCompositor =
      "quillmark: no display to open its window on (DISPLAY is not set, and WAYLAND_DISPLAY "
      "names no running compositor); run it on a desktop, or headless with: xvfb-run -a quillmark";
  static const char* const kNoServer =
      "quillmark: the X display named by DISPLAY is not running; "
      "run it on a desktop, or headless with: xvfb-run -a quillmark";
  const char* qpa = env.QtPlatform;
  // A platform chosen explicitly (offscreen, wayland ...) is the user's call.
  if (Set(qpa) && std::string(qpa) != "xcb") return true;
  const bool wayland = Set(env.WaylandDisplay) && !Set(qpa);
  if (wayland && WaylandCompositorRunning(env)) return true;
  if (!Set(env.Display)) {
    if (message) *message = wayland ? kNoCompositor : kNoDisplay;
    return false;
  }
  // A local display ":N" or ":N.S" has its socket in the X11 socket folder; a remote one is
  // left to the host to reach.
  std::string d = env.Display;
  if (d[0] == ':' && env.X11SocketDir) {
    std::string n =
        d.substr(1, d.find('.') == std::string::npos ? std::string::npos : d.find('.') - 1);
    struct stat st;
    if (!n.empty() && stat((std::string(env.X11SocketDir) + "/X" + n).c_str(), &st) != 0) {
      if (message) *message = kNoServer;
      return false;
    }
  }
  return true;
}
