#pragma once
// The desktop session ending the program: SIGTERM, SIGHUP and SIGINT. The first one only notes
// the request and writes a byte to a pipe (nothing else is safe inside a signal handler); the
// message loop wakes on that byte at once and closes the main window, so the program ends as a
// user's close ends it and the settings are written. A second signal ends the process at once.

void InstallSessionEndHandlers();
// True once a session-end signal has arrived.
bool SessionEndRequested();
// Has the message loop close the application's main window (or end the loop when there is
// none) as soon as a signal arrived, even while it waits with nothing to do.
void WatchSessionEnd();

// Forgets a request and puts the signals' default actions back.
void ResetSessionEndForTesting();
