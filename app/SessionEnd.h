#pragma once
// The desktop session ending the program: SIGTERM, SIGHUP and SIGINT. The first one only notes
// the request (nothing else is safe inside a signal handler); the message loop sees it through
// a timer and closes the main window, so the program ends as a user's close ends it and the
// settings are written. A second signal ends the process at once.
class TTimer;
class TComponent;

void InstallSessionEndHandlers();
// True once a session-end signal has arrived.
bool SessionEndRequested();
// A timer owned by owner that closes the application's main window once a signal arrived.
TTimer* CreateSessionEndWatch(TComponent* owner);

// Forgets a request and puts the signals' default actions back.
void ResetSessionEndForTesting();

// Whether a window can be shown: false with no display to connect to, so the program can say
// so in one line instead of failing inside the host. message receives that line.
bool DisplayAvailable(const char* qpaPlatform, const char* display, const char* waylandDisplay,
                      const char* x11SocketDir, const char** message);
