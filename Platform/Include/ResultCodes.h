// The result codes that every layer answers with: 0 success, 1 success with nothing changed,
// negative codes for failures. The Windows-shaped ones first, then the program's own, named for
// what they say; their numbers are the ones callers and stored results already compare with.
#pragma once

#include <cstdint>

constexpr int32_t S_OK = 0;
constexpr int32_t S_FALSE = 1;
constexpr int32_t E_NOTIMPL = static_cast<int32_t>(0x80004001u);
constexpr int32_t E_FAIL = static_cast<int32_t>(0x80004005u);
constexpr int32_t E_OUTOFMEMORY = static_cast<int32_t>(0x8007000Eu);
constexpr int32_t E_INVALIDARG = static_cast<int32_t>(0x80070057u);

// Done, but nothing had to change (the value was already there, nothing was registered).
constexpr int32_t kResultNothingChanged = S_FALSE;
// Not done: no such item, port or library, refused, or not sent.
constexpr int32_t kResultFailed = -1;
// What was waited for did not come: no reply in time, or no device connected to answer.
constexpr int32_t kResultNoReply = -3;
// The index answered by a search that found nothing.
constexpr int32_t kNotFound = -1;
