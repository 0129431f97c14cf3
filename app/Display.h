#pragma once
// Whether the program has a display to open its window on, decided before the host tries (and,
// failing, aborts the process).

struct TDisplayEnvironment {
  const char* QtPlatform = nullptr;      // QT_QPA_PLATFORM
  const char* Display = nullptr;         // DISPLAY
  const char* WaylandDisplay = nullptr;  // WAYLAND_DISPLAY: a socket name or an absolute path
  const char* RuntimeDir = nullptr;      // XDG_RUNTIME_DIR, where a named Wayland socket lies
  const char* X11SocketDir = "/tmp/.X11-unix";
};

// The process's own environment.
TDisplayEnvironment ProcessDisplayEnvironment();

// False with no display to connect to, so the program can say so in one line instead of
// failing inside the host; message then receives that line.
bool DisplayAvailable(const TDisplayEnvironment& env, const char** message);
