#include "MonotonicClock.h"

#include <chrono>

namespace svp {

uint32_t GetTickMilliseconds()
{
    // The standard library's steady clock is CLOCK_MONOTONIC on Linux. Unsigned arithmetic
    // wraps the count at 2^32 ms, as the tick count always has.
    const auto sinceStart = std::chrono::steady_clock::now().time_since_epoch();
    const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(sinceStart);
    return static_cast<uint32_t>(static_cast<uint64_t>(milliseconds.count()));
}

uint32_t BeginTimerPeriod(uint32_t /*milliseconds*/)
{
    return 0;
}

uint32_t EndTimerPeriod(uint32_t /*milliseconds*/)
{
    return 0;
}

} // namespace svp
