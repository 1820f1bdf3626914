// The application clock: a millisecond tick that never jumps with the wall clock and wraps
// after 2^32 ms (about 49.7 days), as callers that subtract two ticks expect.
#pragma once

#include <cstdint>

namespace svp {

// Milliseconds of the monotonic clock, truncated to 32 bits.
uint32_t GetTickMilliseconds();

// Requests for a finer system timer. Linux timers already have sub-millisecond resolution, so
// both only answer 0 (no error) and the matching calls need not be balanced.
uint32_t BeginTimerPeriod(uint32_t milliseconds);
uint32_t EndTimerPeriod(uint32_t milliseconds);

} // namespace svp
