// The Windows-shaped result codes that every layer answers with: 0 success, 1 success with
// nothing changed, negative codes for failures.
#pragma once

#include <cstdint>

constexpr int32_t S_OK = 0;
constexpr int32_t S_FALSE = 1;
constexpr int32_t E_NOTIMPL = static_cast<int32_t>(0x80004001u);
constexpr int32_t E_FAIL = static_cast<int32_t>(0x80004005u);
constexpr int32_t E_OUTOFMEMORY = static_cast<int32_t>(0x8007000Eu);
constexpr int32_t E_INVALIDARG = static_cast<int32_t>(0x80070057u);
