#include "MidiTestConnection.h"

#include <gtest/gtest.h>

namespace svtest {
namespace {

template <class Caps, class GetCount, class GetCaps>
int32_t FindDevice(const std::string& name, GetCount getCount, GetCaps getCaps)
{
    const int32_t count = getCount();
    for (int32_t index = 0; index < count; ++index) {
        Caps caps;
        if (getCaps(index, caps) == MMSYSERR_NOERROR &&
            caps.szPname.find(name) != std::string::npos) {
            return index;
        }
    }
    return -1;
}

} // namespace

int32_t MidiTestConnection::FindInput(const std::string& name)
{
    return FindDevice<svp::MIDIINCAPS>(name, svp::midiInGetNumDevs, svp::midiInGetDevCaps);
}

int32_t MidiTestConnection::FindOutput(const std::string& name)
{
    return FindDevice<svp::MIDIOUTCAPS>(name, svp::midiOutGetNumDevs, svp::midiOutGetDevCaps);
}

MidiTestConnection::MidiTestConnection(const std::string& name, uint32_t inputFlags)
{
    const auto self = reinterpret_cast<uintptr_t>(this);
    const int32_t input = FindInput(name);
    if (input < 0 || svp::midiInOpen(&mInput, input, &OnInput, self, inputFlags) != 0) {
        mInput = nullptr;
        return;
    }
    for (size_t index = 0; index < kBufferCount; ++index) {
        svp::MIDIHDR& header = mHeaders[index];
        header.lpData = mData[index].data();
        header.dwBufferLength = kBufferSize;
        EXPECT_EQ(MMSYSERR_NOERROR, svp::midiInPrepareHeader(mInput, &header, sizeof header));
        EXPECT_EQ(MMSYSERR_NOERROR, svp::midiInAddBuffer(mInput, &header, sizeof header));
    }
    EXPECT_EQ(MMSYSERR_NOERROR, svp::midiInStart(mInput));
    const int32_t output = FindOutput(name);
    if (output < 0 || svp::midiOutOpen(&mOutput, output, &OnOutput, self, CALLBACK_FUNCTION) != 0) {
        mOutput = nullptr;
    }
}

MidiTestConnection::~MidiTestConnection()
{
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        mClosing = true;
    }
    if (mInput != nullptr) {
        EXPECT_EQ(MMSYSERR_NOERROR, svp::midiInReset(mInput));
        for (svp::MIDIHDR& header : mHeaders) {
            EXPECT_EQ(MMSYSERR_NOERROR, svp::midiInUnprepareHeader(mInput, &header, sizeof header));
        }
        EXPECT_EQ(MMSYSERR_NOERROR, svp::midiInClose(mInput));
    }
    if (mOutput != nullptr) {
        EXPECT_EQ(MMSYSERR_NOERROR, svp::midiOutReset(mOutput));
        EXPECT_EQ(MMSYSERR_NOERROR, svp::midiOutClose(mOutput));
    }
}

MMRESULT MidiTestConnection::SendShort(uint32_t packed) const
{
    return svp::midiOutShortMsg(mOutput, packed);
}

MMRESULT MidiTestConnection::SendLong(const std::vector<uint8_t>& bytes,
                                      std::chrono::milliseconds timeout)
{
    std::vector<char> data(bytes.begin(), bytes.end());
    svp::MIDIHDR header{};
    header.lpData = data.data();
    header.dwBufferLength = static_cast<uint32_t>(data.size());
    if (const MMRESULT result = svp::midiOutPrepareHeader(mOutput, &header, sizeof header);
        result != MMSYSERR_NOERROR) {
        return result;
    }
    size_t doneBefore = 0;
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        doneBefore = mDoneCount;
    }
    MMRESULT result = svp::midiOutLongMsg(mOutput, &header, sizeof header);
    if (result == MMSYSERR_NOERROR) {
        std::unique_lock<std::mutex> lock(mMutex);
        if (!mChanged.wait_for(lock, timeout, [&] { return mDoneCount > doneBefore; })) {
            result = MMSYSERR_ERROR;
        }
    }
    if (result != MMSYSERR_NOERROR) {
        svp::midiOutReset(mOutput); // the header lives on this stack
    }
    svp::midiOutUnprepareHeader(mOutput, &header, sizeof header);
    return result;
}

bool MidiTestConnection::WaitForEvents(size_t count, std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> lock(mMutex);
    return mChanged.wait_for(lock, timeout, [&] { return mEvents.size() >= count; });
}

std::vector<MidiTestConnection::Event> MidiTestConnection::GetEvents() const
{
    const std::lock_guard<std::mutex> lock(mMutex);
    return mEvents;
}

std::vector<std::vector<uint8_t>> MidiTestConnection::GetLongMessages() const
{
    std::vector<std::vector<uint8_t>> messages;
    std::vector<uint8_t> pending;
    for (const Event& event : GetEvents()) {
        if (event.message != MIM_LONGDATA) {
            continue;
        }
        pending.insert(pending.end(), event.bytes.begin(), event.bytes.end());
        if (event.bytes.size() < kBufferSize ||
            (!event.bytes.empty() && event.bytes.back() == 0xF7)) {
            messages.push_back(std::move(pending));
            pending.clear();
        }
    }
    return messages;
}

void MidiTestConnection::OnInput(svp::HMIDIIN handle, uint32_t message, uintptr_t instance,
                                 uintptr_t param1, uintptr_t param2)
{
    auto* self = reinterpret_cast<MidiTestConnection*>(instance);
    Event event;
    event.message = message;
    event.time = static_cast<uint32_t>(param2);
    svp::MIDIHDR* header = nullptr;
    switch (message) {
    case MIM_DATA:
    case MIM_MOREDATA:
        event.packed = static_cast<uint32_t>(param1);
        break;
    case MIM_LONGDATA:
    case MIM_LONGERROR:
        header = reinterpret_cast<svp::MIDIHDR*>(param1);
        if (header->dwBytesRecorded == 0) {
            return; // handed back by a stop or reset: kept out of the device until then
        }
        event.bytes.assign(header->lpData, header->lpData + header->dwBytesRecorded);
        break;
    default:
        return;
    }
    const std::lock_guard<std::mutex> lock(self->mMutex);
    if (self->mClosing) {
        return; // buffers handed back by the reset before closing
    }
    self->mEvents.push_back(std::move(event));
    self->mChanged.notify_all();
    if (header != nullptr) {
        header->dwFlags &= ~MHDR_DONE;
        svp::midiInAddBuffer(handle, header, sizeof *header);
    }
}

void MidiTestConnection::OnOutput(svp::HMIDIOUT /*handle*/, uint32_t message, uintptr_t instance,
                                  uintptr_t /*param1*/, uintptr_t /*param2*/)
{
    if (message != MOM_DONE) {
        return;
    }
    auto* self = reinterpret_cast<MidiTestConnection*>(instance);
    const std::lock_guard<std::mutex> lock(self->mMutex);
    ++self->mDoneCount;
    self->mChanged.notify_all();
}

} // namespace svtest
