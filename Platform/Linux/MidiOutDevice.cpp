#include "MidiOutDevice.h"

namespace svp {
namespace {

constexpr uint8_t kSysExStart = 0xF0;
constexpr uint8_t kSysExEnd = 0xF7;

} // namespace

MidiOutDevice::MidiOutDevice(MidiOutProc callback, uintptr_t instance)
    : MidiDeviceBase(callback, instance)
{}

MMRESULT MidiOutDevice::ShortMessage(uint32_t message)
{
    const auto status = static_cast<uint8_t>(message & 0xFF);
    if (status < 0x80 || status == kSysExStart || status == kSysExEnd) {
        return MMSYSERR_INVALPARAM;
    }
    const uint8_t bytes[3] = {status, static_cast<uint8_t>((message >> 8) & 0xFF),
                              static_cast<uint8_t>((message >> 16) & 0xFF)};
    const std::lock_guard<std::mutex> lock(mSendMutex);
    if (!mConnection) {
        return MMSYSERR_INVALHANDLE;
    }
    const midi::SendResult result = mConnection->Send(bytes, MidiShortMessageLength(status), false);
    return result == midi::SendResult::Failed ? MMSYSERR_ERROR : MMSYSERR_NOERROR;
}

MMRESULT MidiOutDevice::LongMessage(MIDIHDR* header)
{
    const std::lock_guard<std::mutex> lock(mMutex);
    if (const MMRESULT result = CheckCanQueue(header); result != MMSYSERR_NOERROR) {
        return result;
    }
    // A copy, so that the caller's memory is never read once this returns.
    const auto* data = reinterpret_cast<const uint8_t*>(header->lpData);
    mQueue.push_back({header, std::vector<uint8_t>(data, data + header->dwBufferLength)});
    MarkQueued(header);
    mChanged.notify_all();
    return MMSYSERR_NOERROR;
}

MMRESULT MidiOutDevice::Reset()
{
    std::unique_lock<std::mutex> lock(mMutex);
    WaitUntilNoOtherCallback(lock);
    std::vector<MIDIHDR*> takenBack = std::move(mHung);
    mHung.clear();
    if (mSending != nullptr) {
        takenBack.push_back(mSending);
        mSending = nullptr; // the loop, back from sending, leaves it alone
    }
    for (const Pending& pending : mQueue) {
        takenBack.push_back(pending.header);
    }
    mQueue.clear();
    for (MIDIHDR* header : takenBack) {
        MarkDone(header);
    }
    for (MIDIHDR* header : takenBack) {
        Call(lock, MOM_DONE, reinterpret_cast<uintptr_t>(header), 0);
    }
    return MMSYSERR_NOERROR;
}

MMRESULT MidiOutDevice::Close()
{
    {
        std::unique_lock<std::mutex> lock(mMutex);
        if (const MMRESULT result =
                CheckCanClose(!mQueue.empty() || mSending != nullptr || !mHung.empty());
            result != MMSYSERR_NOERROR) {
            return result;
        }
        WaitUntilNoOtherCallback(lock);
        mClosing = true;
        mChanged.notify_all();
    }
    const std::lock_guard<std::mutex> lock(mSendMutex);
    mConnection.reset();
    return MMSYSERR_NOERROR;
}

void MidiOutDevice::Loop(std::unique_lock<std::mutex>& lock)
{
    for (;;) {
        mChanged.wait(lock, [this] { return mClosing || !mQueue.empty(); });
        if (mClosing) {
            return;
        }
        Pending pending = std::move(mQueue.front());
        mQueue.pop_front();
        mSending = pending.header;
        lock.unlock();
        midi::SendResult result = midi::SendResult::Failed;
        {
            const std::lock_guard<std::mutex> sendLock(mSendMutex);
            if (mConnection) {
                result = mConnection->Send(pending.bytes.data(), pending.bytes.size(), true);
            }
        }
        lock.lock();
        if (mSending != pending.header) {
            continue; // taken back by a reset while it was being sent
        }
        mSending = nullptr;
        if (result == midi::SendResult::Hung) {
            mHung.push_back(pending.header);
            continue;
        }
        // A refused long message is done all the same: the device has nothing to retry.
        MarkDone(pending.header);
        Call(lock, MOM_DONE, reinterpret_cast<uintptr_t>(pending.header), 0);
    }
}

} // namespace svp
