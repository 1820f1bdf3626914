// The window placement record as the program stores it between runs: the 44 bytes of the
// Windows WINDOWPLACEMENT structure (length, flags, show command, minimised and maximised
// positions, normal rectangle), every field a little-endian int32, written field by field.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace svp {

constexpr int32_t kWindowPlacementSize = 44;
constexpr int32_t SW_SHOWNORMAL = 1;
constexpr int32_t SW_SHOWMINIMIZED = 2;
constexpr int32_t SW_SHOWMAXIMIZED = 3;

struct WindowPlacement
{
    int32_t length = kWindowPlacementSize;
    int32_t flags = 0;
    int32_t showCommand = SW_SHOWNORMAL;
    int32_t minX = -1;
    int32_t minY = -1;
    int32_t maxX = -1;
    int32_t maxY = -1;
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    bool operator==(const WindowPlacement&) const = default;
};

[[nodiscard]] std::array<uint8_t, kWindowPlacementSize>
EncodeWindowPlacement(const WindowPlacement& placement);

// Only a record of exactly 44 bytes whose length field says 44 and whose normal rectangle is
// sane (not empty, within +-32767 on both axes) is taken: anything else is a damaged or foreign
// value that would put the window out of reach.
[[nodiscard]] std::optional<WindowPlacement> DecodeWindowPlacement(std::span<const uint8_t> bytes);

} // namespace svp
