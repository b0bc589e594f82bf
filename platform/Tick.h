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
