#pragma once

#include <functional>

// Runs the events that are pending and, when there are none, sleeps until one arrives or
// maxWaitMs pass (0: only what is pending; NoDeadline: until an event arrives). Every wait loop
// of the program calls this once per turn with the time its wait has left, and re-tests its
// condition after it: what a wait waits for changes through an event (a socket, a timer, the
// serial receive thread's notifier, a click), so a wait wakes for those and for its deadline,
// never on a tick of its own, and keeps timers, sockets and the user interface alive.
constexpr int NoDeadline = -1;
void processPendingMessages(int maxWaitMs);

// Loops processPendingMessages until done() is true (returns true) or timeoutMs pass
// (returns false). done() is tested after every turn, so it must be a condition that an event
// changes: a pause is waitFor on a condition that stays false. Also returns false as soon as the
// program is closing.
bool waitFor(const std::function<bool()> &done, int timeoutMs);

// Set when the main window closes: every running wait then returns false.
bool applicationClosing();
void setApplicationClosing(bool closing);
