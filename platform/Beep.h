#pragma once

// The system beep of refused keys and clamped values. Every call is counted, so tests can
// check how often a control beeped.
void beep();
int beepCount();
void resetBeepCount();
