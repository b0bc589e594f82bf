#pragma once

#include <functional>

// Runs the events that are pending and, when there are none, sleeps until one arrives or
// maxWaitMs pass. Every wait loop of the program calls this once per turn, so a wait keeps
// timers, sockets and the user interface alive without spinning the processor.
void processPendingMessages(int maxWaitMs = 10);

// Loops processPendingMessages until done() is true (returns true) or timeoutMs pass
// (returns false). done() is tested after every turn. Also returns false as soon as the
// program is closing.
bool waitFor(const std::function<bool()>& done, int timeoutMs);

// Set when the main window closes: every running wait then returns false.
bool applicationClosing();
void setApplicationClosing(bool closing);
