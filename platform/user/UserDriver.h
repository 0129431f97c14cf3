#pragma once
// The window system's link to its host, and what tests need to drive it: choosing the host
// (the Qt one unless told otherwise), handing it host events, and starting over.
#include "HostWindows.h"

// Whether the desktop (window manager or compositor) draws the frame and caption of top-level
// windows; off, they are drawn here (for a display without a window manager, and for tests).
// On unless KORV_SELF_DRAWN_FRAMES=1; the switch counts for surfaces made after it, until a
// reset.
void UserSetDesktopFrames(bool on);
bool UserDesktopFrames();
// Null runs without a host: surfaces live in memory only and nothing reaches a screen.
void UserSetHostDriver(HostWindowDriver* driver);
HostWindowDriver* UserGetHostDriver();
// An event as the host would report it; it takes effect at the next message retrieval.
void UserHandleHostEvent(const HostEvent& event);
// Watches fd, the non-blocking read end of a pipe a signal handler writes to: a byte there ends
// a wait for messages at once, and onWake then runs from the retrieval that saw it, where
// windows may be used (a signal handler may not). A host without descriptors to watch is
// covered by a look at fd after each of its waits. A reset forgets it.
void UserWatchWakeFd(int fd, std::function<void()> onWake);
// Runs handler once when the display is gone for good (the X server went away), from inside
// the host's event processing; the process then ends with status 1. handler must not use any
// window: it is there to keep what the user did, such as settings.
void UserSetDisplayLostHandler(std::function<void()> handler);
// Destroys every window (with their messages) and forgets classes, queued messages, timers,
// focus, capture, key state and the screens, as at start-up.
void UserResetForTesting();
// The clock of timers and tick counts stands still while stopped (reset starts it again), and
// moves only by AdvanceClockForTesting; timers then fall due at the next message retrieval.
// A GetMessage waiting on a timer would wait for ever, so drive a stopped clock with
// PeekMessage.
void StopClockForTesting(bool stopped);
void AdvanceClockForTesting(DWORD ms);
