#pragma once

#include <cstdint>

// Milliseconds from a steady clock, as an unsigned 32-bit count that wraps like the
// system tick of the reader tools' original host. Elapsed times are computed modulo 2^32.
uint32_t systemTick();

// Tests shift the counter so that a wrap can be provoked without waiting 49 days.
void setTickOffsetForTest(uint32_t offset);

// Elapsed milliseconds from start to now, correct across one wrap of the counter.
inline uint32_t ticksSince(uint32_t start, uint32_t now)
{
    return now - start;
}

// One owner's stopwatch on the tick, in the mode convention of the time-out helpers:
// mode 0 starts it (true), mode 1 asks whether ms have passed since, any other mode is false.
class TickStopwatch
{
public:
    bool timeout(int mode, uint32_t ms)
    {
        if (mode == 0) {
            start_ = systemTick();
            return true;
        }
        return mode == 1 && ticksSince(start_, systemTick()) >= ms;
    }
    // Milliseconds left of ms since the start, 0 once they have passed.
    int left(uint32_t ms) const
    {
        const uint32_t elapsed = ticksSince(start_, systemTick());
        return elapsed >= ms ? 0 : static_cast<int>(ms - elapsed);
    }

private:
    uint32_t start_ = 0;
};
