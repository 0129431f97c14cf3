#pragma once
// The window system's link to its host, and what tests need to drive it: choosing the host
// (the Qt one unless told otherwise), handing it host events, and starting over.
#include "HostWindows.h"

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
// Destroys every window (with their messages) and forgets classes, queued messages, timers,
// focus, capture, key state and the screens, as at start-up.
void UserResetForTesting();
// The clock of timers and tick counts stands still while stopped (reset starts it again), and
// moves only by AdvanceClockForTesting; timers then fall due at the next message retrieval.
// A GetMessage waiting on a timer would wait for ever, so drive a stopped clock with
// PeekMessage.
void StopClockForTesting(bool stopped);
void AdvanceClockForTesting(DWORD ms);
