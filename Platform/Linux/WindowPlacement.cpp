#include "WindowPlacement.h"

namespace svp {
namespace {

constexpr int32_t kCoordinateLimit = 32767;

std::array<int32_t, 11> Fields(const WindowPlacement& p)
{
    return {p.length, p.flags, p.showCommand, p.minX,  p.minY,  p.maxX,
            p.maxY,   p.left,  p.top,         p.right, p.bottom};
}

bool InRange(int32_t value)
{
    return value >= -kCoordinateLimit && value <= kCoordinateLimit;
}

} // namespace

std::array<uint8_t, kWindowPlacementSize> EncodeWindowPlacement(const WindowPlacement& placement)
{
    std::array<uint8_t, kWindowPlacementSize> bytes{};
    size_t at = 0;
    for (const int32_t field : Fields(placement)) {
        const auto value = static_cast<uint32_t>(field);
        for (int shift = 0; shift < 32; shift += 8) {
            bytes[at++] = static_cast<uint8_t>(value >> shift);
        }
    }
    return bytes;
}

std::optional<WindowPlacement> DecodeWindowPlacement(std::span<const uint8_t> bytes)
{
    if (bytes.size() != kWindowPlacementSize) {
        return std::nullopt;
    }
    const auto field = [&](size_t index) {
        uint32_t value = 0;
        for (size_t i = 0; i < 4; ++i) {
            value |= static_cast<uint32_t>(bytes[index * 4 + i]) << (8 * i);
        }
        return static_cast<int32_t>(value);
    };
    WindowPlacement p{field(0), field(1), field(2), field(3), field(4), field(5),
                      field(6), field(7), field(8), field(9), field(10)};
    if (p.length != kWindowPlacementSize || !InRange(p.left) || !InRange(p.top) ||
        !InRange(p.right) || !InRange(p.bottom) || p.right <= p.left || p.bottom <= p.top) {
        return std::nullopt;
    }
    return p;
}

} // namespace svp
