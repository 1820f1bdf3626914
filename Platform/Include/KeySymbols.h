// The X key symbols of the keyboard mapped onto the Windows virtual-key codes that key events
// carry. Modifier keys map onto their general code (VK_SHIFT, VK_CONTROL, VK_MENU) with the
// side told apart; printable keys are looked up by their unshifted symbol, so the '1' key is
// VK '1' whether or not Shift is held.
#pragma once

#include <cstdint>

namespace svp {

enum class KeySide
{
    kNone,
    kLeft,
    kRight,
};

struct VirtualKey
{
    uint32_t code = 0; // 0: the symbol is no key the program knows
    KeySide side = KeySide::kNone;
};

[[nodiscard]] VirtualKey VirtualKeyFromKeySym(uint32_t keySym);

// A key symbol that gives the code (VK_LSHIFT and the like give their side's symbol); 0 for
// codes no X keyboard produces.
[[nodiscard]] uint32_t KeySymFromVirtualKey(uint32_t virtualKey);

} // namespace svp
