// One key combination, the value that stands for a key everywhere: in the key events of the
// native window, in the controls' key handling, in key bindings and in menu shortcut texts.
// The code word holds the character (bits 0-15) or the virtual-key code (bits 16-23), the
// modifiers (Ctrl 24, Shift 25, Alt 26, Command 27, the 0x1000 mask bit 28), key-down (29) and
// no-key (31); the side bits say which Shift, Ctrl, Alt or Windows key was held.
#pragma once

#include "Utilities/Storage/StringT.h"
#include "VirtualKeys.h"

#include <cstdint>

namespace SV {

class KeyCode
{
public:
    static constexpr uint32_t kCharacterMask = 0x0000FFFFu;
    static constexpr uint32_t kVirtualKeyMask = 0x00FF0000u;
    static constexpr uint32_t kCtrl = 0x01000000u;
    static constexpr uint32_t kShift = 0x02000000u;
    static constexpr uint32_t kAlt = 0x04000000u;
    static constexpr uint32_t kCommand = 0x08000000u;
    static constexpr uint32_t kModifierBit12 = 0x10000000u;
    static constexpr uint32_t kKeyDown = 0x20000000u;
    static constexpr uint32_t kNoKey = 0x80000000u;

    static constexpr uint32_t kLeftShift = 0x01;
    static constexpr uint32_t kRightShift = 0x02;
    static constexpr uint32_t kLeftCtrl = 0x04;
    static constexpr uint32_t kRightCtrl = 0x08;
    static constexpr uint32_t kLeftAlt = 0x10;
    static constexpr uint32_t kRightAlt = 0x20;
    static constexpr uint32_t kLeftWindows = 0x40;
    static constexpr uint32_t kRightWindows = 0x80;

    // The empty key: no key, no sides.
    KeyCode() = default;
    // A virtual-key press or release with the extended modifier mask of the native window; the
    // previous-state byte is 1 for an auto-repeat and for a release.
    KeyCode(uint32_t virtualKey, bool pressed, uint8_t previousState, uint32_t modifiers);
    // A character event (or binding) with a modifier mask.
    KeyCode(char16_t character, uint32_t modifiers);
    // A key text as the string tables hold them: "Ctrl+VKEY_C", "VKEY_DELETE", "[97]", "x".
    // The empty text gives the empty key.
    explicit KeyCode(const WideString& text);
    // A key from its three words as they travel with a key event.
    static KeyCode FromWords(uint32_t code, uint32_t sides, uint8_t previousState)
    {
        KeyCode key;
        key.mCode = code;
        key.mSides = sides;
        key.mPreviousState = previousState;
        return key;
    }

    uint32_t GetCode() const { return mCode; }
    uint32_t GetSides() const { return mSides; }
    uint8_t GetPreviousState() const { return mPreviousState; }
    uint32_t GetVirtualKey() const { return (mCode & kVirtualKeyMask) >> 16; }
    char16_t GetCharacter() const { return static_cast<char16_t>(mCode & kCharacterMask); }
    bool IsEmpty() const { return (mCode & kNoKey) != 0; }

    // Only the code words count. Character codes ignore Ctrl and Shift (the character already
    // reflects them); virtual keys and the empty key must match in every bit.
    bool operator==(const KeyCode& other) const;
    bool operator!=(const KeyCode& other) const { return !(*this == other); }

    // The code-word modifier bits and the side bits of a modifier mask.
    static uint32_t ModifierBits(uint32_t modifiers);
    static uint32_t SideBits(uint32_t modifiers);

private:
    uint32_t mCode = kNoKey;
    uint32_t mSides = 0;
    uint8_t mPreviousState = 0;
};

// A press of a virtual key: bits 16-23 set, key-down set, no-key clear.
bool IsVirtualKeyCode(const KeyCode& key);

// The code word of a press of a virtual key with no modifier held, as key handlers compare a
// key's code with it: PressedVirtualKey(VK_UP); modifier bits are or-ed in for a combination.
constexpr uint32_t PressedVirtualKey(uint32_t virtualKey)
{
    return KeyCode::kKeyDown | (virtualKey << 16);
}

// Left, Up, Right or Down.
constexpr bool IsArrowKey(uint32_t virtualKey)
{
    return virtualKey >= VK_LEFT && virtualKey <= VK_DOWN;
}

// The text a menu shows for a key: "Ctrl+", "Alt+", "Shift+", "Cmd+" in that order, then the
// key's display name or its character; control characters 1-26 read as "Ctrl+" and a letter.
WideString KeyCodeToText(uint32_t code);

} // namespace SV
