// Results and the unlimited time-out of the framework's waits on events and threads.
#pragma once

#include <cstdint>

constexpr int32_t WAIT_OBJECT_0 = 0;         // the first (or only) object was signalled
constexpr int32_t WAIT_TIMEOUT = 0x102;      // nothing was signalled within the time
constexpr int32_t WAIT_FAILED = -1;          // the wait could not be made
constexpr int32_t INFINITE = -1;             // a time-out that never expires
constexpr int32_t MAXIMUM_WAIT_OBJECTS = 64; // the most objects one multiple wait watches
