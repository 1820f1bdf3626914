#include "KeySymbols.h"
#include "System/KeyNames.h"
#include "VirtualKeys.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// Keys of keyboards X has no symbol for (Fujitsu's extra keys, the IME accept key) and the
// mouse buttons, which are no keyboard keys at all.
const std::set<uint32_t> kNoXKey{
    VK_LBUTTON,        VK_RBUTTON,        VK_MBUTTON,     0x05,           0x06, VK_ACCEPT,
    VK_OEM_FJ_MASSHOU, VK_OEM_FJ_TOUROKU, VK_OEM_FJ_LOYA, VK_OEM_FJ_ROYA, 0x03};

TEST(KeySymbolsTest, EveryNamedKeyRoundTripsThroughItsKeySymbol)
{
    int named = 0;
    for (uint32_t vk = 1; vk < 256; ++vk) {
        if (SV::GetVirtualKeyDisplayName(vk).IsEmpty()) {
            continue;
        }
        ++named;
        const uint32_t keySym = svp::KeySymFromVirtualKey(vk);
        if (kNoXKey.contains(vk)) {
            EXPECT_EQ(keySym, 0u) << std::hex << vk;
            continue;
        }
        ASSERT_NE(keySym, 0u) << "no key symbol for VK 0x" << std::hex << vk;
        const svp::VirtualKey back = svp::VirtualKeyFromKeySym(keySym);
        struct Sided
        {
            uint32_t code;
            uint32_t general;
            svp::KeySide side;
        };
        const Sided sided[] = {
            {VK_LSHIFT, VK_SHIFT, svp::KeySide::kLeft},
            {VK_RSHIFT, VK_SHIFT, svp::KeySide::kRight},
            {VK_LCONTROL, VK_CONTROL, svp::KeySide::kLeft},
            {VK_RCONTROL, VK_CONTROL, svp::KeySide::kRight},
            {VK_LMENU, VK_MENU, svp::KeySide::kLeft},
            {VK_RMENU, VK_MENU, svp::KeySide::kRight},
        };
        uint32_t expected = vk;
        for (const Sided& s : sided) {
            if (s.code == vk) {
                expected = s.general;
                EXPECT_EQ(back.side, s.side) << std::hex << vk;
            }
        }
        EXPECT_EQ(back.code, expected) << "VK 0x" << std::hex << vk;
    }
    EXPECT_GT(named, 100);
}

TEST(KeySymbolsTest, ShiftedAndKeypadSymbolsGiveTheKeysCode)
{
    struct Case
    {
        uint32_t keySym;
        uint32_t code;
        svp::KeySide side;
    };
    const Case cases[] = {
        {0x0041 /* A */, VK_A, svp::KeySide::kNone},
        {0x007A /* z */, VK_A + 25, svp::KeySide::kNone},
        {0xFF8D /* KP_Enter */, VK_RETURN, svp::KeySide::kNone},
        {0xFF9F /* KP_Delete */, VK_DELETE, svp::KeySide::kNone},
        {0xFFB5 /* KP_5 */, VK_NUMPAD0 + 5, svp::KeySide::kNone},
        {0xFFE4 /* Control_R */, VK_CONTROL, svp::KeySide::kRight},
        {0xFFE9 /* Alt_L */, VK_MENU, svp::KeySide::kLeft},
        {0xFE20 /* ISO_Left_Tab */, VK_TAB, svp::KeySide::kNone},
        {0x00E9 /* eacute */, 0, svp::KeySide::kNone},
    };
    for (const Case& c : cases) {
        const svp::VirtualKey key = svp::VirtualKeyFromKeySym(c.keySym);
        EXPECT_EQ(key.code, c.code) << std::hex << c.keySym;
        EXPECT_EQ(key.side, c.side) << std::hex << c.keySym;
    }
}

} // namespace
