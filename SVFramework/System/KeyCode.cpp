#include "System/KeyCode.h"

#include "System/KeyNames.h"
#include "System/ModifierKeys.h"

namespace SV {
namespace {

int32_t FindText(const WideString& text, const char16_t* part)
{
    return text.Find(WideString(part));
}

} // namespace

KeyCode::KeyCode(uint32_t virtualKey, bool pressed, uint8_t previousState, uint32_t modifiers)
    : mCode(((virtualKey & 0xFF) << 16) | (pressed ? kKeyDown : 0) | ModifierBits(modifiers)),
      mSides(SideBits(modifiers)), mPreviousState(previousState)
{}

KeyCode::KeyCode(char16_t character, uint32_t modifiers)
    : mCode(static_cast<uint32_t>(character) | ModifierBits(modifiers)), mSides(SideBits(modifiers))
{}

KeyCode::KeyCode(const WideString& text)
{
    if (text.IsEmpty()) {
        // Nothing to name a key: the empty key, which no binding takes and no event equals.
        return;
    }
    const WideString upper = text.ToUpper();
    const bool ctrl = FindText(upper, u"CTRL") >= 0;
    const bool alt = FindText(upper, u"ALT") >= 0;
    const bool shift = FindText(upper, u"SHIFT") >= 0;
    const bool command = FindText(upper, u"COMMAND") >= 0;

    mCode = kKeyDown;
    const int32_t vkey = FindText(upper, u"VKEY_");
    if (vkey >= 0) {
        // The name runs to the end of the text, so anything written after it spoils the name.
        const uint32_t virtualKey = GetVirtualKeyByName(upper.MidFrom(vkey));
        mCode = kKeyDown | (virtualKey << 16) | (ctrl ? kCtrl : 0) | (shift ? kShift : 0) |
                (alt ? kAlt : 0) | (command ? kCommand : 0);
        return;
    }
    const int32_t open = FindText(upper, u"[");
    if (open >= 0) {
        const int32_t close = FindText(upper.MidFrom(open + 1), u"]");
        if (close < 0) {
            return;
        }
        const WideString number = upper.Mid(open + 1, close);
        mCode = (static_cast<uint32_t>(number.ToInt()) & kCharacterMask) | (alt ? kAlt : 0);
        return;
    }
    const char16_t last = text.GetText()[text.GetLength() - 1];
    mCode = static_cast<uint32_t>(last) | (alt ? kAlt : 0);
}

bool KeyCode::operator==(const KeyCode& other) const
{
    constexpr uint32_t kKeyOrEmpty = kNoKey | kVirtualKeyMask;
    if (((mCode | other.mCode) & kKeyOrEmpty) == 0) {
        return ((mCode ^ other.mCode) & ~(kCtrl | kShift)) == 0;
    }
    return mCode == other.mCode;
}

uint32_t KeyCode::ModifierBits(uint32_t modifiers)
{
    uint32_t bits = 0;
    bits |= (modifiers & kModifierCtrl) != 0 ? kCtrl : 0;
    bits |= (modifiers & kModifierShift) != 0 ? kShift : 0;
    bits |= (modifiers & kModifierAlt) != 0 ? kAlt : 0;
    bits |= (modifiers & kModifierWindows) != 0 ? kCommand : 0;
    bits |= (modifiers & kModifierBit0x1000) != 0 ? kModifierBit12 : 0;
    return bits;
}

uint32_t KeyCode::SideBits(uint32_t modifiers)
{
    const struct
    {
        uint32_t general;
        uint32_t side;
        uint32_t bit;
    } kSides[] = {
        {kModifierShift, kModifierLeftShift, kLeftShift},
        {kModifierShift, kModifierRightShift, kRightShift},
        {kModifierCtrl, kModifierLeftCtrl, kLeftCtrl},
        {kModifierCtrl, kModifierRightCtrl, kRightCtrl},
        {kModifierAlt, kModifierLeftAlt, kLeftAlt},
        {kModifierAlt, kModifierRightAlt, kRightAlt},
        {kModifierWindows, kModifierLeftWindows, kLeftWindows},
        {kModifierWindows, kModifierRightWindows, kRightWindows},
    };
    uint32_t sides = 0;
    for (const auto& entry : kSides) {
        if ((modifiers & entry.general) != 0 && (modifiers & entry.side) != 0) {
            sides |= entry.bit;
        }
    }
    return sides;
}

bool IsVirtualKeyCode(const KeyCode& key)
{
    const uint32_t code = key.GetCode();
    return (code & KeyCode::kVirtualKeyMask) != 0 && (code & KeyCode::kNoKey) == 0 &&
           (code & KeyCode::kKeyDown) != 0;
}

WideString KeyCodeToText(uint32_t code)
{
    WideString text;
    if ((code & KeyCode::kCtrl) != 0) {
        text += WideString(u"Ctrl+");
    }
    if ((code & KeyCode::kAlt) != 0) {
        text += WideString(u"Alt+");
    }
    if ((code & KeyCode::kShift) != 0) {
        text += WideString(u"Shift+");
    }
    if ((code & KeyCode::kCommand) != 0) {
        text += WideString(u"Cmd+");
    }
    if ((code & KeyCode::kNoKey) != 0) {
        return text;
    }
    const uint32_t virtualKey = (code & KeyCode::kVirtualKeyMask) >> 16;
    if (virtualKey != 0) {
        return text + GetVirtualKeyDisplayName(virtualKey);
    }
    const uint32_t character = code & KeyCode::kCharacterMask;
    if (character >= 1 && character <= 26) {
        text += WideString(u"Ctrl+");
        text.AppendChar(static_cast<char16_t>(character + 64));
    } else if (character >= 33 && character <= 126) {
        text.AppendChar(static_cast<char16_t>(character));
    }
    return text;
}

} // namespace SV
