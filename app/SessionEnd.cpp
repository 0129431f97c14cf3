#include "SessionEnd.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "Forms.h"
#include "UserDriver.h"

namespace {

volatile std::sig_atomic_t gRequested = 0;
// The self-pipe: the handler writes, the message loop watches the read end. Made once, open for
// the process's life (the host keeps watching it), and not inherited by programs started.
int gWake[2] = {-1, -1};
constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

extern "C" void OnSessionEndSignal(int sig) {
  if (gRequested) {
    // The user insists: end now, with the signal's own status.
    std::signal(sig, SIG_DFL);
    std::raise(sig);
    return;
  }
  gRequested = 1;
  // The interrupted code may be about to look at errno.
  const int saved = errno;
  const char byte = 1;
  // A full pipe already holds a wake.
  if (gWake[1] >= 0) (void)!write(gWake[1], &byte, 1);
  errno = saved;
}

}  // namespace

void InstallSessionEndHandlers() {
  if (gWake[0] < 0 && pipe2(gWake, O_NONBLOCK | O_CLOEXEC) != 0) gWake[0] = gWake[1] = -1;
  struct sigaction sa = {};
  sa.sa_handler = OnSessionEndSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  for (int s : kSignals) sigaction(s, &sa, nullptr);
}

bool SessionEndRequested() { return gRequested != 0; }

void WatchSessionEnd() {
  UserWatchWakeFd(gWake[0], [] {
    if (!SessionEndRequested()) return;
    if (TCustomForm* main = Application->MainForm()) main->Close();
    else Application->Terminate();
  });
}

void ResetSessionEndForTesting() {
  for (int s : kSignals) std::signal(s, SIG_DFL);
  gRequested = 0;
  char bytes[64];
  if (gWake[0] >= 0)
    while (read(gWake[0], bytes, sizeof bytes) > 0) {
    }
}
