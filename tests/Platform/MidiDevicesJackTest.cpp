// The MIDI devices over a real transport: a JACK dummy server of this test's own and the keyboard
// simulator running as a separate process on it.
#include "MidiDevices.h"

#include "HexBytes.h"
#include "KeyboardProcessTest.h"
#include "MidiTestConnection.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using svtest::MidiTestConnection;
using Bytes = std::vector<uint8_t>;

const std::string kKeyboard = "Vudozi Vedozi Duruzava";

using MidiDevicesJackTest = svtest::KeyboardProcessTest;

TEST_F(MidiDevicesJackTest, ListsTheKeyboardAsAnInputAndAnOutputButNotItsOwnPorts)
{
    const int32_t input = MidiTestConnection::FindInput(kKeyboard);
    const int32_t output = MidiTestConnection::FindOutput(kKeyboard);
    ASSERT_GE(input, 0);
    ASSERT_GE(output, 0);
    svp::MIDIINCAPS inCaps;
    ASSERT_EQ(MMSYSERR_NOERROR, svp::midiInGetDevCaps(input, inCaps));
    EXPECT_NE(std::string::npos, inCaps.szPname.find(kKeyboard + " MIDI 1")) << inCaps.szPname;

    // The ports this layer opens for its own connections are no devices.
    MidiTestConnection connection(kKeyboard);
    ASSERT_TRUE(connection.IsOpen());
    for (const bool inputs : {true, false}) {
        const int32_t count = inputs ? svp::midiInGetNumDevs() : svp::midiOutGetNumDevs();
        for (int32_t index = 0; index < count; ++index) {
            std::string name;
            if (inputs) {
                svp::MIDIINCAPS caps;
                svp::midiInGetDevCaps(index, caps);
                name = caps.szPname;
            } else {
                svp::MIDIOUTCAPS caps;
                svp::midiOutGetDevCaps(index, caps);
                name = caps.szPname;
            }
            EXPECT_EQ(std::string::npos, name.find("SV MIDI")) << name;
        }
    }
}

TEST_F(MidiDevicesJackTest, ShortMessagesCrossTheProcessBoundaryBothWays)
{
    MidiTestConnection connection(kKeyboard);
    ASSERT_TRUE(connection.IsOpen());
    const size_t before = sKeyboard->GetReceived().size();
    ASSERT_EQ(MMSYSERR_NOERROR, connection.SendShort(0x403C90));
    ASSERT_TRUE(sKeyboard->WaitForReceived(before + 1));
    EXPECT_EQ((Bytes{0x90, 0x3C, 0x40}), sKeyboard->GetReceived().back());

    ASSERT_TRUE(sKeyboard->Command("deliver C0 05"));
    ASSERT_TRUE(connection.WaitForEvents(1));
    const auto event = connection.GetEvents().at(0);
    EXPECT_EQ(MIM_DATA, event.message);
    EXPECT_EQ(0x05C0u, event.packed);
}

TEST_F(MidiDevicesJackTest, AGetRequestGoesOutAndTheReplyComesBackInOneBuffer)
{
    ASSERT_TRUE(sKeyboard->Command("program 1 01 01 05 00 00 00 00 00 00 02 00 78 00 0C"));
    MidiTestConnection connection(kKeyboard);
    ASSERT_TRUE(connection.IsOpen());
    const size_t before = sKeyboard->GetReceived().size();
    const Bytes request = {0xF0, 0x47, 0x7F, 0x3E, 0x66, 0x00, 0x01, 0x01, 0xF7};
    ASSERT_EQ(MMSYSERR_NOERROR, connection.SendLong(request));
    ASSERT_TRUE(sKeyboard->WaitForReceived(before + 1));
    EXPECT_EQ(request, sKeyboard->GetReceived().back());

    ASSERT_TRUE(connection.WaitForEvents(1));
    const auto events = connection.GetEvents();
    ASSERT_EQ(1u, events.size());
    EXPECT_EQ(MIM_LONGDATA, events[0].message);
    const Bytes reply = {0xF0, 0x47, 0x7F, 0x3E, 0x53, 0x00, 0x0F, 0x01, 0x01, 0x01, 0x05, 0x00,
                         0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x78, 0x00, 0x0C, 0xF7};
    EXPECT_EQ(reply, events[0].bytes);
}

TEST_F(MidiDevicesJackTest, AProgramSentIsStoredByTheKeyboard)
{
    MidiTestConnection connection(kKeyboard);
    ASSERT_TRUE(connection.IsOpen());
    const Bytes send = {0xF0, 0x47, 0x7F, 0x3E, 0x5E, 0x00, 0x63, 0x02, 0x00, 0x02, 0x04, 0x00,
                        0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x78, 0x00, 0x0A, 0xF7};
    const size_t before = sKeyboard->GetReceived().size();
    ASSERT_EQ(MMSYSERR_NOERROR, connection.SendLong(send));
    // The keyboard stores a program before it reports the message.
    ASSERT_TRUE(sKeyboard->WaitForReceived(before + 1));
    std::vector<std::string> shown;
    ASSERT_TRUE(sKeyboard->Command("show 2", &shown));
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ("program 2 00 02 04 00 00 00 00 00 00 02 00 78 00 0A", shown[0]);
}

TEST_F(MidiDevicesJackTest, A300ByteMessageArrivesInTwoBuffers)
{
    MidiTestConnection connection(kKeyboard);
    ASSERT_TRUE(connection.IsOpen());
    Bytes message(300);
    message.front() = 0xF0;
    for (size_t index = 1; index + 1 < message.size(); ++index) {
        message[index] = static_cast<uint8_t>(index & 0x7F);
    }
    message.back() = 0xF7;
    ASSERT_TRUE(sKeyboard->Command("deliver " + svtest::ToHex(message)));
    ASSERT_TRUE(connection.WaitForEvents(2));
    const auto events = connection.GetEvents();
    ASSERT_EQ(2u, events.size());
    EXPECT_EQ(256u, events[0].bytes.size());
    EXPECT_EQ(44u, events[1].bytes.size());
    EXPECT_EQ(std::vector<Bytes>{message}, connection.GetLongMessages());
}

} // namespace
