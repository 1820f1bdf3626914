#include "MidiInputWriter.h"

#include "HexBytes.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using svp::MidiInputWriter;
using Bytes = std::vector<uint8_t>;
using Kind = MidiInputWriter::Kind;

struct Arrival
{
    Kind kind;
    Bytes bytes;
};

// What the callback got: "data 403C90", "more 90", "long F0 01 F7", "error 01 02".
using Calls = std::vector<std::string>;

// Three buffers of bufferSize bytes, each handed back to the writer as soon as the callback has
// it, as the port layer does; refill false keeps what came back.
Calls Write(const std::vector<Arrival>& arrivals, size_t bufferSize = 256, bool refill = true,
            bool moreWaiting = false)
{
    std::array<std::vector<char>, 3> data;
    std::array<svp::MIDIHDR, 3> headers{};
    MidiInputWriter writer;
    for (size_t index = 0; index < headers.size(); ++index) {
        data[index].resize(bufferSize);
        headers[index].lpData = data[index].data();
        headers[index].dwBufferLength = static_cast<uint32_t>(bufferSize);
        headers[index].dwFlags = MHDR_PREPARED | MHDR_INQUEUE;
        writer.AddBuffer(&headers[index]);
    }
    Calls calls;
    for (const Arrival& arrival : arrivals) {
        writer.Begin(arrival.kind, arrival.bytes, 7, moreWaiting);
        while (const auto handover = writer.Next()) {
            EXPECT_EQ(7u, handover->time);
            if (handover->message == MIM_DATA || handover->message == MIM_MOREDATA) {
                char packed[16];
                std::snprintf(packed, sizeof packed, "%X", static_cast<unsigned>(handover->param1));
                calls.push_back((handover->message == MIM_DATA ? "data " : "more ") +
                                std::string(packed));
                continue;
            }
            auto* header = reinterpret_cast<svp::MIDIHDR*>(handover->param1);
            EXPECT_EQ(MHDR_DONE, header->dwFlags & (MHDR_DONE | MHDR_INQUEUE));
            const auto* bytes = reinterpret_cast<const uint8_t*>(header->lpData);
            calls.push_back((handover->message == MIM_LONGDATA ? "long " : "error ") +
                            svtest::ToHex(Bytes(bytes, bytes + header->dwBytesRecorded)));
            if (refill) {
                header->dwBytesRecorded = 0;
                header->dwFlags = MHDR_PREPARED | MHDR_INQUEUE;
                writer.AddBuffer(header);
            }
        }
    }
    return calls;
}

Bytes SysEx(size_t size)
{
    Bytes bytes(size, 0x11);
    bytes.front() = 0xF0;
    bytes.back() = 0xF7;
    return bytes;
}

std::string Hex(const Bytes& bytes)
{
    return svtest::ToHex(bytes);
}

TEST(MidiInputWriterTest, WritesWhatArrivesAsADriverDoes)
{
    const Bytes reply = SysEx(23);
    const Bytes big = SysEx(300);
    const struct
    {
        const char* what;
        std::vector<Arrival> arrivals;
        Calls expected;
    } cases[] = {
        {"a note packs status lowest", {{Kind::Message, {0x90, 0x3C, 0x40}}}, {"data 403C90"}},
        {"a program change has two bytes", {{Kind::Message, {0xC0, 0x05, 0x66}}}, {"data 5C0"}},
        {"a whole message fills one buffer", {{Kind::Message, reply}}, {"long " + Hex(reply)}},
        {"a long message fills a buffer, then the next",
         {{Kind::Message, big}},
         {"long " + Hex(Bytes(big.begin(), big.begin() + 256)),
          "long " + Hex(Bytes(big.begin() + 256, big.end()))}},
        {"pieces on the wire are written on in one buffer",
         {{Kind::Message, {0xF0, 0x01}}, {Kind::Message, {0x02, 0xF7}}},
         {"long F0 01 02 F7"}},
        {"a status byte ends an unfinished message",
         {{Kind::Message, {0xF0, 0x01}}, {Kind::Message, {0x80, 0x3C, 0x00}}},
         {"long F0 01", "data 3C80"}},
        {"a new start ends an unfinished message",
         {{Kind::Message, {0xF0, 0x01}}, {Kind::Message, {0xF0, 0x02, 0xF7}}},
         {"long F0 01", "long F0 02 F7"}},
        {"real-time bytes come in between",
         {{Kind::Message, {0xF0, 0x01}}, {Kind::Message, {0xF8}}, {Kind::Message, {0x02, 0xF7}}},
         {"data F8", "long F0 01 02 F7"}},
        {"data without a status is dropped",
         {{Kind::Message, {0x01, 0x02}}, {Kind::Message, {0xF7}}},
         {}},
        {"what follows F7 in one arrival is no message",
         {{Kind::Message, {0xF0, 0x01, 0xF7, 0x05, 0x06}}, {Kind::Message, {0x07, 0xF7}}},
         {"long F0 01 F7"}},
        {"a piece comes back in a buffer of its own",
         {{Kind::Piece, {0xF0, 0x01}}, {Kind::Piece, {0x02, 0xF7}}},
         {"long F0 01", "long 02 F7"}},
        {"a piece ends what was written before it",
         {{Kind::Message, {0xF0, 0x01}}, {Kind::Piece, {0x02}}},
         {"long F0 01", "long 02"}},
        {"a broken buffer is marked so", {{Kind::Broken, {0x01, 0x02}}}, {"error 01 02"}},
        {"an empty arrival is nothing", {{Kind::Message, {}}}, {}},
    };
    for (const auto& each : cases) {
        EXPECT_EQ(each.expected, Write(each.arrivals)) << each.what;
    }
}

TEST(MidiInputWriterTest, ShortMessagesWithMoreWaitingAreMarkedSo)
{
    EXPECT_EQ(Calls{"more 403C90"}, Write({{Kind::Message, {0x90, 0x3C, 0x40}}}, 256, true, true));
}

TEST(MidiInputWriterTest, LongInputThatFindsNoBufferIsDroppedAndShortInputStillComes)
{
    // Three buffers of 4 bytes that are never handed back: 12 bytes of a 20-byte message come
    // through, the rest and everything long after it is lost; a note still arrives.
    const Bytes message = SysEx(20);
    const Calls calls = Write(
        {{Kind::Message, message}, {Kind::Message, SysEx(5)}, {Kind::Message, {0x90, 0x3C, 0x40}}},
        4, false);
    EXPECT_EQ(
        (Calls{"long " + Hex(Bytes(message.begin(), message.begin() + 4)),
               "long " + Hex(Bytes(message.begin() + 4, message.begin() + 8)),
               "long " + Hex(Bytes(message.begin() + 8, message.begin() + 12)), "data 403C90"}),
        calls);
}

TEST(MidiInputWriterTest, StoppingHandsBackAnUnfinishedMessageAndForgetsIt)
{
    std::vector<char> data(256);
    svp::MIDIHDR header{};
    header.lpData = data.data();
    header.dwBufferLength = 256;
    MidiInputWriter writer;
    writer.AddBuffer(&header);
    writer.Begin(Kind::Message, {0xF0, 0x01}, 3, false);
    EXPECT_FALSE(writer.Next());
    const auto stopped = writer.Stop();
    ASSERT_TRUE(stopped);
    EXPECT_EQ(MIM_LONGDATA, stopped->message);
    EXPECT_EQ(2u, header.dwBytesRecorded);
    EXPECT_FALSE(writer.HasBuffers());
    // After the stop a data byte belongs to no message.
    writer.AddBuffer(&header);
    header.dwBytesRecorded = 0;
    writer.Begin(Kind::Message, {0x02, 0xF7}, 4, false);
    EXPECT_FALSE(writer.Next());
    EXPECT_EQ(&header, writer.TakeFrontBuffer());
    EXPECT_EQ(nullptr, writer.TakeFrontBuffer());
}

} // namespace
