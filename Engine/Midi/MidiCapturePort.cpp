#include "Midi/MidiCapturePort.h"

#include "Midi/MidiComm.h"
#include "ResultCodes.h"

#include <algorithm>

namespace SV {
namespace {

constexpr uint8_t kSysExStart = 0xF0;
constexpr uint8_t kSysExEnd = 0xF7;

} // namespace

LMidiCapturePort::InputBuffer::~InputBuffer()
{
    if (handle != nullptr) {
        svp::midiInUnprepareHeader(handle, &header, sizeof header);
        handle = nullptr;
    }
}

LMidiCapturePort::LMidiCapturePort(const WideString& name, svp::HMIDIIN handle,
                                   const RCPtr<LMidiComm>& owner)
    : mName(name), mHandle(handle), mOwner(owner)
{
    for (InputBuffer& buffer : mBuffers) {
        buffer.header = svp::MIDIHDR();
        buffer.header.lpData = buffer.data;
        buffer.header.dwBufferLength = kBufferSize;
        buffer.header.dwUser = reinterpret_cast<uintptr_t>(&buffer);
        buffer.handle = handle;
        // The refill prepares the header and hands it to the driver.
        RefillBuffer(&buffer.header);
    }
}

LMidiCapturePort::~LMidiCapturePort()
{
    if (mHandle != nullptr) {
        // Set first: the buffers that stop and reset hand back are not given to the driver
        // again, and hold nothing to read.
        mClosing = true;
        svp::midiInStop(mHandle);
        svp::midiInReset(mHandle);
        for (InputBuffer& buffer : mBuffers) {
            svp::midiInUnprepareHeader(mHandle, &buffer.header, sizeof buffer.header);
            buffer.handle = nullptr;
        }
        svp::midiInClose(mHandle);
        mHandle = nullptr;
    }
}

int32_t LMidiCapturePort::ReleaseHook()
{
    // The list's reference is dropped only after the owner's lock is let go: the release in
    // progress then closes the device outside that lock.
    RCPtr<LMidiCapturePort> listed;
    const int32_t removed = mOwner ? mOwner->RemoveCapturePort(this, listed) : E_FAIL;
    if (removed == S_OK) {
        ReleaseInternalRef();
    }
    listed = nullptr;
    const int32_t result = LRefCountedObject::ReleaseHook();
    return removed == S_OK ? result : E_FAIL;
}

RCPtr<LMidiCaptureNotificationData> LMidiCapturePort::MakeShortMessage(uintptr_t packed,
                                                                       uintptr_t timeStamp)
{
    const auto status = static_cast<uint8_t>(packed & 0xFF);
    const int32_t length = LMidiComm::GetShortMessageLength(status);
    RCPtr<LMidiCaptureNotificationData> record = LMidiCaptureNotificationData::Create(mName, 3);
    record->SetTimeStamp(static_cast<uint32_t>(timeStamp));
    signed char bytes[3] = {};
    for (int32_t index = 0; index < length; ++index) {
        bytes[index] = static_cast<signed char>((packed >> (8 * index)) & 0xFF);
    }
    record->Append(bytes, length);
    return record;
}

RCPtr<LMidiCaptureNotificationData> LMidiCapturePort::CollectSysEx(const char* bytes, int32_t count,
                                                                   bool complete)
{
    if (!mPending) {
        // Bytes that neither start a message nor continue the one being collected belong to
        // a message whose start was lost or dropped: nothing a receiver could read.
        if (count <= 0 || static_cast<uint8_t>(bytes[0]) != kSysExStart) {
            return nullptr;
        }
        RCPtr<LMidiCaptureNotificationData> record =
            LMidiCaptureNotificationData::Create(mName, complete ? count : 2 * count);
        if (!record->Append(bytes, count)) {
            return nullptr;
        }
        if (complete) {
            return record;
        }
        mPending = record;
        return nullptr;
    }
    // A message that never ends would grow for ever: past the limit it is dropped whole, and
    // the rest of it, which no longer starts with F0, is dropped buffer by buffer as it comes.
    if (int64_t(mPending->GetCount()) + count > LMidiComm::kMaxSysExLength ||
        !mPending->Append(bytes, count)) {
        mPending = nullptr;
        return nullptr;
    }
    if (!complete) {
        return nullptr;
    }
    RCPtr<LMidiCaptureNotificationData> record = mPending;
    mPending = nullptr;
    return record;
}

void LMidiCapturePort::RefillBuffer(svp::MIDIHDR* header)
{
    if (mClosing || mHandle == nullptr || header == nullptr) {
        return;
    }
    const auto found = std::find_if(mBuffers.begin(), mBuffers.end(), [&](const InputBuffer& b) {
        return reinterpret_cast<uintptr_t>(&b) == header->dwUser;
    });
    if (found == mBuffers.end() || found->handle == nullptr) {
        return;
    }
    found->header.dwFlags &= ~MHDR_DONE;
    found->header.dwBytesRecorded = 0;
    if (svp::midiInPrepareHeader(found->handle, &found->header, sizeof found->header) ==
        MMSYSERR_NOERROR) {
        svp::midiInAddBuffer(found->handle, &found->header, sizeof found->header);
    }
}

} // namespace SV
