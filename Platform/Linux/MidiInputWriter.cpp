#include "MidiInputWriter.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace svp {
namespace {

constexpr uint8_t kSysExStart = 0xF0;
constexpr uint8_t kSysExEnd = 0xF7;
constexpr uint8_t kFirstRealTime = 0xF8;

} // namespace

void MidiInputWriter::AddBuffer(MIDIHDR* header)
{
    mBuffers.push_back(header);
}

MIDIHDR* MidiInputWriter::TakeFrontBuffer()
{
    if (mBuffers.empty()) {
        return nullptr;
    }
    MIDIHDR* header = mBuffers.front();
    mBuffers.pop_front();
    header->dwFlags = (header->dwFlags | MHDR_DONE) & ~MHDR_INQUEUE;
    return header;
}

void MidiInputWriter::Begin(Kind kind, std::vector<uint8_t> bytes, uint32_t time, bool moreWaiting)
{
    mBytes = std::move(bytes);
    mPosition = 0;
    mTime = time;
    mMoreWaiting = moreWaiting;
    mStep = Step::Done;
    mAfterEnd = Step::Done;
    if (mBytes.empty()) {
        return;
    }
    switch (kind) {
    case Kind::Piece:
        mStep = Step::EndUnfinished;
        mAfterEnd = Step::Piece;
        return;
    case Kind::Broken:
        mStep = Step::Broken;
        return;
    case Kind::Message:
        break;
    }
    const uint8_t first = mBytes.front();
    if (first == kSysExStart || (mInSysEx && (first < 0x80 || first == kSysExEnd))) {
        // A new message ends one that is still unfinished.
        mStep = first == kSysExStart && mInSysEx ? Step::EndUnfinished : Step::Long;
        mAfterEnd = Step::Long;
        return;
    }
    if (first < 0x80 || first == kSysExEnd) {
        return; // data without a status: nothing a receiver could read
    }
    // Real-time bytes may come in between the bytes of a system-exclusive message.
    mStep = first < kFirstRealTime && mInSysEx ? Step::EndUnfinished : Step::Short;
    mAfterEnd = Step::Short;
}

std::optional<MidiInputWriter::Handover> MidiInputWriter::Next()
{
    for (;;) {
        switch (mStep) {
        case Step::Done:
            return std::nullopt;
        case Step::EndUnfinished:
            mInSysEx = false;
            mStep = mAfterEnd;
            if (!mBuffers.empty() && mBuffers.front()->dwBytesRecorded > 0) {
                return HandBackFront(MIM_LONGDATA);
            }
            continue;
        case Step::Long:
            if (auto handover = WriteLong()) {
                return handover;
            }
            mStep = Step::Done;
            continue;
        case Step::Piece:
            if (auto handover = WritePiece()) {
                return handover;
            }
            mStep = Step::Done;
            continue;
        case Step::Short: {
            mStep = Step::Done;
            uint32_t packed = 0;
            const size_t length =
                std::min<size_t>(MidiShortMessageLength(mBytes.front()), mBytes.size());
            for (size_t index = 0; index < length; ++index) {
                packed |= static_cast<uint32_t>(mBytes[index]) << (8 * index);
            }
            return Handover{mMoreWaiting ? MIM_MOREDATA : MIM_DATA, packed, mTime};
        }
        case Step::Broken: {
            mStep = Step::Done;
            if (mBuffers.empty()) {
                return std::nullopt;
            }
            MIDIHDR* header = mBuffers.front();
            const size_t count = std::min<size_t>(mBytes.size(), header->dwBufferLength);
            std::memcpy(header->lpData, mBytes.data(), count);
            header->dwBytesRecorded = static_cast<uint32_t>(count);
            return HandBackFront(MIM_LONGERROR);
        }
        }
    }
}

std::optional<MidiInputWriter::Handover> MidiInputWriter::Stop()
{
    mStep = Step::Done;
    mBytes.clear();
    mInSysEx = false;
    mTime = 0;
    if (!mBuffers.empty() && mBuffers.front()->dwBytesRecorded > 0) {
        return HandBackFront(MIM_LONGDATA);
    }
    return std::nullopt;
}

std::optional<MidiInputWriter::Handover> MidiInputWriter::HandBackFront(uint32_t message)
{
    MIDIHDR* header = TakeFrontBuffer();
    return Handover{message, reinterpret_cast<uintptr_t>(header), mTime};
}

// Writes on from where the front buffer stands; what finds no buffer is dropped.
std::optional<MidiInputWriter::Handover> MidiInputWriter::WriteLong()
{
    mInSysEx = mInSysEx || mPosition < mBytes.size();
    while (mPosition < mBytes.size() && !mBuffers.empty()) {
        MIDIHDR* header = mBuffers.front();
        const uint8_t* from = mBytes.data() + mPosition;
        size_t take = std::min<size_t>(header->dwBufferLength - header->dwBytesRecorded,
                                       mBytes.size() - mPosition);
        const void* end = std::memchr(from, kSysExEnd, take);
        if (end != nullptr) {
            take = static_cast<size_t>(static_cast<const uint8_t*>(end) - from) + 1;
        }
        std::memcpy(header->lpData + header->dwBytesRecorded, from, take);
        header->dwBytesRecorded += static_cast<uint32_t>(take);
        mPosition += take;
        if (end != nullptr) {
            mInSysEx = false;
            mPosition = mBytes.size(); // what follows F7 in the same arrival is no message
            return HandBackFront(MIM_LONGDATA);
        }
        if (header->dwBytesRecorded == header->dwBufferLength) {
            return HandBackFront(MIM_LONGDATA);
        }
    }
    return std::nullopt;
}

std::optional<MidiInputWriter::Handover> MidiInputWriter::WritePiece()
{
    if (mPosition >= mBytes.size() || mBuffers.empty()) {
        return std::nullopt;
    }
    MIDIHDR* header = mBuffers.front();
    const size_t take = std::min<size_t>(header->dwBufferLength, mBytes.size() - mPosition);
    std::memcpy(header->lpData, mBytes.data() + mPosition, take);
    header->dwBytesRecorded = static_cast<uint32_t>(take);
    mPosition += take;
    return HandBackFront(MIM_LONGDATA);
}

} // namespace svp
