#include "System/KeyCode.h"
#include "System/KeyNames.h"
#include "System/ModifierKeys.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using SV::KeyCode;
using SV::WideString;

std::string Narrow(const WideString& text)
{
    return text.ToNarrow().GetText();
}

struct ParseCase
{
    const char16_t* text;
    uint32_t code;
};

class KeyTextParse : public testing::TestWithParam<ParseCase>
{};

TEST_P(KeyTextParse, GivesTheCodeWord)
{
    const ParseCase& c = GetParam();
    const KeyCode key{WideString(c.text)};
    EXPECT_EQ(key.GetCode(), c.code) << Narrow(WideString(c.text));
    EXPECT_EQ(key.GetSides(), 0u);
    EXPECT_EQ(key.GetPreviousState(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, KeyTextParse,
    testing::Values(ParseCase{u"Ctrl+VKEY_C", 0x20000000u | (0x43u << 16) | KeyCode::kCtrl},
                    ParseCase{u"VKEY_DELETE", 0x20000000u | (0x2Eu << 16)},
                    ParseCase{u"COMMAND+VKEY_S", 0x20000000u | (0x53u << 16) | KeyCode::kCommand},
                    ParseCase{u"Alt+Shift+VKEY_F12",
                              0x20000000u | (0x7Bu << 16) | KeyCode::kAlt | KeyCode::kShift},
                    // The word SHIFT inside the name sets the Shift modifier too.
                    ParseCase{u"VKEY_SHIFT", 0x20000000u | (0x10u << 16) | KeyCode::kShift},
                    // The text is upper-cased before the name is looked up.
                    ParseCase{u"vkey_c", 0x20000000u | (0x43u << 16)},
                    // The name runs to the end of the text: a modifier after it spoils it.
                    ParseCase{u"VKEY_C+Ctrl", 0x20000000u | KeyCode::kCtrl},
                    ParseCase{u"VKEY_NOSUCHKEY", 0x20000000u}, ParseCase{u"[97]", 97u},
                    ParseCase{u"Alt+[ 65]", 65u | KeyCode::kAlt},
                    // Outside "VKEY_" texts only ALT counts.
                    ParseCase{u"Ctrl+[65]", 65u},
                    // An unclosed bracket names no key an event could equal.
                    ParseCase{u"[65", 0x20000000u}, ParseCase{u"a", u'a'},
                    // The last character of the text as written, not of the upper-cased copy.
                    ParseCase{u"Alt+x", u'x' | KeyCode::kAlt}, ParseCase{u"", KeyCode::kNoKey}));

TEST(KeyCode, EmptyTextIsTheEmptyKey)
{
    const KeyCode key{WideString()};
    EXPECT_TRUE(key.IsEmpty());
    EXPECT_EQ(key, KeyCode());
}

TEST(KeyCode, VirtualKeyEventPacksModifiersSidesAndPreviousState)
{
    const uint32_t rightAlt = SV::kModifierAlt | SV::kModifierRightAlt;
    const KeyCode press(0x43, true, 1, rightAlt | SV::kModifierCtrl | SV::kModifierLeftCtrl);
    EXPECT_EQ(press.GetCode(), (0x43u << 16) | KeyCode::kKeyDown | KeyCode::kAlt | KeyCode::kCtrl);
    EXPECT_EQ(press.GetSides(), KeyCode::kRightAlt | KeyCode::kLeftCtrl);
    EXPECT_EQ(press.GetPreviousState(), 1);

    const KeyCode release(0x143, false, 1, SV::kModifierWindows | SV::kModifierBit0x1000);
    EXPECT_EQ(release.GetCode(), (0x43u << 16) | KeyCode::kCommand | KeyCode::kModifierBit12);
    EXPECT_EQ(release.GetSides(), 0u);
}

TEST(KeyCode, SideBitsNeedTheGeneralBitToo)
{
    const struct
    {
        uint32_t mask;
        uint32_t sides;
    } cases[] = {
        {SV::kModifierShift | SV::kModifierLeftShift, KeyCode::kLeftShift},
        {SV::kModifierShift | SV::kModifierLeftShift | SV::kModifierRightShift,
         KeyCode::kLeftShift | KeyCode::kRightShift},
        {SV::kModifierLeftShift, 0},
        {SV::kModifierCtrl | SV::kModifierRightCtrl, KeyCode::kRightCtrl},
        {SV::kModifierAlt | SV::kModifierLeftAlt, KeyCode::kLeftAlt},
        {SV::kModifierWindows | SV::kModifierLeftWindows | SV::kModifierRightWindows,
         KeyCode::kLeftWindows | KeyCode::kRightWindows},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(KeyCode::SideBits(c.mask), c.sides) << c.mask;
    }
}

TEST(KeyCode, ExtendedMaskCarriesSideBits)
{
    EXPECT_EQ(SV::ExtendedModifierMask(false, false, false, false, false, true, false, false),
              320u);
    EXPECT_EQ(SV::ExtendedModifierMask(false, false, true, true, false, false, false, false), 56u);
    EXPECT_EQ(SV::ExtendedModifierMask(false, true, false, false, false, false, false, false), 5u);
    EXPECT_EQ(SV::ExtendedModifierMask(false, false, false, false, false, false, true, false),
              1536u);
}

TEST(KeyCode, CharactersIgnoreCtrlAndShiftButVirtualKeysMatchExactly)
{
    const KeyCode bindingA{WideString(u"a")};
    EXPECT_EQ(KeyCode(u'a', SV::kModifierCtrl), bindingA);
    EXPECT_EQ(KeyCode(u'a', SV::kModifierShift), bindingA);
    EXPECT_NE(KeyCode(u'a', SV::kModifierAlt), bindingA);

    const KeyCode ctrlC{WideString(u"Ctrl+VKEY_C")};
    EXPECT_EQ(KeyCode(0x43, true, 0, SV::kModifierCtrl | SV::kModifierLeftCtrl), ctrlC);
    EXPECT_EQ(KeyCode(0x43, true, 1, SV::kModifierCtrl), ctrlC) << "auto-repeat";
    EXPECT_NE(KeyCode(0x43, true, 0, 0), ctrlC);
    EXPECT_NE(KeyCode(0x43, false, 1, SV::kModifierCtrl), ctrlC) << "release";
    EXPECT_NE(KeyCode(0x2E, true, 0, SV::kModifierCtrl), KeyCode(WideString(u"VKEY_DELETE")));
    EXPECT_NE(KeyCode(WideString(u"[65")), KeyCode(u'A', 0));
}

TEST(KeyCode, IsVirtualKeyCodeOnlyForPresses)
{
    EXPECT_TRUE(SV::IsVirtualKeyCode(KeyCode(0x43, true, 0, 0)));
    EXPECT_FALSE(SV::IsVirtualKeyCode(KeyCode(0x43, false, 1, 0)));
    EXPECT_FALSE(SV::IsVirtualKeyCode(KeyCode(u'c', 0)));
    EXPECT_FALSE(SV::IsVirtualKeyCode(KeyCode()));
}

TEST(KeyCode, TextOfKeys)
{
    const struct
    {
        uint32_t code;
        const char* text;
    } cases[] = {
        {KeyCode::kKeyDown | (0x43u << 16) | KeyCode::kCtrl, "Ctrl+C"},
        {3u, "Ctrl+C"},
        {KeyCode::kKeyDown | (0x08u << 16), ""},
        {KeyCode::kNoKey, ""},
        {KeyCode::kNoKey | KeyCode::kShift, "Shift+"},
        {KeyCode::kKeyDown | (0x2Eu << 16), "Del"},
        {KeyCode::kKeyDown | (0x21u << 16) | KeyCode::kCtrl | KeyCode::kAlt | KeyCode::kShift |
             KeyCode::kCommand,
         "Ctrl+Alt+Shift+Cmd+Page Up"},
        {u'x' | KeyCode::kAlt, "Alt+x"},
        {32u, ""},
        {127u, ""},
        {126u, "~"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Narrow(SV::KeyCodeToText(c.code)), c.text) << std::hex << c.code;
    }
}

TEST(KeyNames, TablesHoldEveryNameAndText)
{
    EXPECT_EQ(SV::GetVirtualKeyByName(WideString(u"VKEY_C")), 0x43u);
    EXPECT_EQ(SV::GetKeyNameCount(), 149);
    EXPECT_EQ(SV::GetKeyDisplayNameCount(), 143);

    const struct
    {
        const char16_t* name;
        uint32_t code;
    } names[] = {
        {u"VKEY_BACK", 0x08},        {u"VKEY_HANGUL", 0x15},
        {u"VKEY_KANJI", 0x19},       {u"VKEY_PAGEUP", 0x21},
        {u"VKEY_PAGEDN", 0x22},      {u"VKEY_9", 0x39},
        {u"VKEY_Z", 0x5A},           {u"VKEY_NUMPAD7", 0x67},
        {u"VKEY_F24", 0x87},         {u"VKEY_OEM_FJ_JISHO", 0x92},
        {u"VKEY_LAUNCH_APP2", 0xB7}, {u"vkey_c", 0},
        {u"VKEY_OEM_1", 0},
    };
    for (const auto& n : names) {
        EXPECT_EQ(SV::GetVirtualKeyByName(WideString(n.name)), n.code)
            << Narrow(WideString(n.name));
    }

    const struct
    {
        uint32_t code;
        const char* text;
    } texts[] = {
        {0x15, "Kana"},         {0x19, "Hanja"},    {0x92, "NEC Equal"}, {0x1D, "Non-convert"},
        {0x5B, "Left Win"},     {0x63, "Numpad 3"}, {0x6E, "."},         {0x87, "F24"},
        {0xB6, "Launch App 1"}, {0x08, ""},         {0x09, ""},          {0xBA, ""},
    };
    for (const auto& t : texts) {
        EXPECT_EQ(Narrow(SV::GetVirtualKeyDisplayName(t.code)), t.text) << t.code;
    }
}

} // namespace
