#include "SessionEnd.h"

#include <sys/stat.h>

#include <csignal>
#include <string>

#include "Forms.h"
#include "Timer.h"

namespace {

volatile std::sig_atomic_t gRequested = 0;
constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};
constexpr unsigned kWatchIntervalMs = 100;

extern "C" void OnSessionEndSignal(int sig) {
  if (gRequested) {
    // The user insists: end now, with the signal's own status.
    std::signal(sig, SIG_DFL);
    std::raise(sig);
    return;
  }
  gRequested = 1;
}

}  // namespace

void InstallSessionEndHandlers() {
  struct sigaction sa = {};
  sa.sa_handler = OnSessionEndSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  for (int s : kSignals) sigaction(s, &sa, nullptr);
}

bool SessionEndRequested() { return gRequested != 0; }

TTimer* CreateSessionEndWatch(TComponent* owner) {
  auto* timer = new TTimer(owner);
  timer->SetInterval(kWatchIntervalMs);
  timer->SetOnTimer([timer](TObject*) {
    if (!SessionEndRequested()) return;
    timer->SetEnabled(false);
    if (TCustomForm* main = Application->MainForm()) main->Close();
    else Application->Terminate();
  });
  timer->SetEnabled(true);
  return timer;
}

void ResetSessionEndForTesting() {
  gRequested = 0;
  for (int s : kSignals) std::signal(s, SIG_DFL);
}

bool DisplayAvailable(const char* qpa, const char* display, const char* wayland,
                      const char* x11SocketDir, const char** message) {
  static const char* const kNoDisplay =
      "quillmark: no display to open its window on (DISPLAY is not set); "
      "run it on a desktop, or headless with: xvfb-run -a quillmark";
  static const char* const kNoServer =
      "quillmark: the X display named by DISPLAY is not running; "
      "run it on a desktop, or headless with: xvfb-run -a quillmark";
  auto set = [](const char* s) { return s && *s; };
  // A platform chosen explicitly (offscreen, wayland ...) is the user's call.
  if (set(qpa) && std::string(qpa) != "xcb") return true;
  if (set(wayland) && !set(qpa)) return true;
  if (!set(display)) {
    if (message) *message = kNoDisplay;
    return false;
  }
  // A local display ":N" or ":N.S" has its socket in the X11 socket folder; a remote one is
  // left to the host to reach.
  std::string d = display;
  if (d[0] == ':' && x11SocketDir) {
    std::string n =
        d.substr(1, d.find('.') == std::string::npos ? std::string::npos : d.find('.') - 1);
    struct stat st;
    if (!n.empty() && stat((std::string(x11SocketDir) + "/X" + n).c_str(), &st) != 0) {
      if (message) *message = kNoServer;
      return false;
    }
  }
  return true;
}
