#include "MidiInDevice.h"

#include <optional>

namespace svp {

MidiInDevice::MidiInDevice(MidiInProc callback, uintptr_t instance, bool reportMoreData)
    : MidiDeviceBase(callback, instance), mReportMoreData(reportMoreData)
{}

void MidiInDevice::OnMessage(const uint8_t* bytes, size_t count)
{
    Queue(MidiInputWriter::Kind::Message, bytes, count);
}

void MidiInDevice::OnPiece(const uint8_t* bytes, size_t count)
{
    Queue(MidiInputWriter::Kind::Piece, bytes, count);
}

void MidiInDevice::OnBrokenBuffer(const uint8_t* bytes, size_t count)
{
    Queue(MidiInputWriter::Kind::Broken, bytes, count);
}

MMRESULT MidiInDevice::AddBuffer(MIDIHDR* header)
{
    const std::lock_guard<std::mutex> lock(mMutex);
    if (const MMRESULT result = CheckCanQueue(header); result != MMSYSERR_NOERROR) {
        return result;
    }
    MarkQueued(header);
    header->dwBytesRecorded = 0;
    mWriter.AddBuffer(header);
    return MMSYSERR_NOERROR;
}

MMRESULT MidiInDevice::Start()
{
    const std::lock_guard<std::mutex> lock(mMutex);
    if (!mStarted) {
        mStarted = true;
        mStartTime = Clock::now();
        mChanged.notify_all();
    }
    return MMSYSERR_NOERROR;
}

MMRESULT MidiInDevice::Stop()
{
    std::unique_lock<std::mutex> lock(mMutex);
    StopUnderLock(lock);
    return MMSYSERR_NOERROR;
}

MMRESULT MidiInDevice::Reset()
{
    std::unique_lock<std::mutex> lock(mMutex);
    StopUnderLock(lock);
    // Only the buffers queued now: one that a callback adds back meanwhile stays queued, so a
    // caller that refills every buffer cannot keep the reset going for ever.
    for (size_t count = mWriter.GetBufferCount(); count > 0; --count) {
        MIDIHDR* header = mWriter.TakeFrontBuffer();
        if (header == nullptr) {
            break;
        }
        Call(lock, MIM_LONGDATA, reinterpret_cast<uintptr_t>(header), 0);
    }
    return MMSYSERR_NOERROR;
}

MMRESULT MidiInDevice::Close()
{
    {
        std::unique_lock<std::mutex> lock(mMutex);
        if (const MMRESULT result = CheckCanClose(mWriter.HasBuffers());
            result != MMSYSERR_NOERROR) {
            return result;
        }
        WaitUntilIdle(lock);
        mClosing = true;
        mStarted = false;
        mArrivals.clear();
        mChanged.notify_all();
    }
    // The transport may be inside Queue until this returns; Queue ignores a closing device.
    mConnection.reset();
    return MMSYSERR_NOERROR;
}

void MidiInDevice::Queue(MidiInputWriter::Kind kind, const uint8_t* bytes, size_t count)
{
    if (count == 0) {
        return;
    }
    const std::lock_guard<std::mutex> lock(mMutex);
    if (!mStarted || mClosing) {
        return; // input outside start and stop is lost, as on a cable
    }
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - mStartTime);
    mArrivals.push_back(
        {kind, std::vector<uint8_t>(bytes, bytes + count), static_cast<uint32_t>(elapsed.count())});
    mChanged.notify_all();
}

void MidiInDevice::Loop(std::unique_lock<std::mutex>& lock)
{
    for (;;) {
        mChanged.wait(lock, [this] {
            return mClosing || (mStarted && !mArrivals.empty() && mCallbacks.IsFree());
        });
        if (mClosing) {
            return;
        }
        Arrival arrival = std::move(mArrivals.front());
        mArrivals.pop_front();
        mDelivering = true;
        Deliver(lock, std::move(arrival));
        mDelivering = false;
        mChanged.notify_all();
    }
}

void MidiInDevice::WaitUntilIdle(std::unique_lock<std::mutex>& lock)
{
    if (mCallbacks.IsHeldByThisThread() || IsLoopThread()) {
        return;
    }
    mChanged.wait(lock, [this] { return !mDelivering && mCallbacks.IsFree(); });
}

void MidiInDevice::StopUnderLock(std::unique_lock<std::mutex>& lock)
{
    WaitUntilIdle(lock);
    mStarted = false;
    mArrivals.clear();
    if (const auto handover = mWriter.Stop()) {
        Call(lock, handover->message, handover->param1, handover->time);
    }
}

void MidiInDevice::Deliver(std::unique_lock<std::mutex>& lock, Arrival arrival)
{
    mWriter.Begin(arrival.kind, std::move(arrival.bytes), arrival.time,
                  mReportMoreData && !mArrivals.empty());
    while (IsReceiving()) {
        const std::optional<MidiInputWriter::Handover> handover = mWriter.Next();
        if (!handover) {
            return;
        }
        Call(lock, handover->message, handover->param1, handover->time);
    }
}

} // namespace svp
