// Modifier masks of the input path. Pointer and character events carry the compact mask (Ctrl,
// Shift, Alt); key events of the native window add which side's key is held and the Windows
// keys, each side bit only together with its modifier bit.
#pragma once

#include <cstdint>

namespace SV {

constexpr uint32_t kModifierCtrl = 1;
constexpr uint32_t kModifierLeftCtrl = 2;
constexpr uint32_t kModifierRightCtrl = 4;
constexpr uint32_t kModifierShift = 8;
constexpr uint32_t kModifierLeftShift = 16;
constexpr uint32_t kModifierRightShift = 32;
constexpr uint32_t kModifierAlt = 64;
constexpr uint32_t kModifierLeftAlt = 128;
constexpr uint32_t kModifierRightAlt = 256;
constexpr uint32_t kModifierWindows = 512;
constexpr uint32_t kModifierLeftWindows = 1024;
constexpr uint32_t kModifierRightWindows = 2048;
// No input source sets it; key codes still carry it (bit 28).
constexpr uint32_t kModifierBit0x1000 = 0x1000;

constexpr uint32_t kCompactModifierMask = kModifierCtrl | kModifierShift | kModifierAlt;

// The extended mask of the modifiers held: each held key adds its general bit and its side's bit
// (left Shift alone is 8 + 16, right Alt alone 64 + 256).
uint32_t ExtendedModifierMask(bool leftCtrl, bool rightCtrl, bool leftShift, bool rightShift,
                              bool leftAlt, bool rightAlt, bool leftWindows, bool rightWindows);

// Button codes of pointer events and the bits of the button mask.
constexpr int32_t kButtonLeft = 1;
constexpr int32_t kButtonMiddle = 2;
constexpr int32_t kButtonRight = 4;

// Kinds of button events.
constexpr int32_t kButtonPress = 0;
constexpr int32_t kButtonRelease = 1;
constexpr int32_t kButtonDoubleClick = 2;

// Wheel directions: vertical backwards (towards the user) and forwards, horizontal left and right.
constexpr int32_t kWheelBackward = 0;
constexpr int32_t kWheelForward = 1;
constexpr int32_t kWheelLeft = 2;
constexpr int32_t kWheelRight = 3;

} // namespace SV
