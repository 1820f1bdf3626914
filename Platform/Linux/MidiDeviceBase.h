// What every open MIDI device has: its callback and instance word, one lock, a loop on a reused
// thread, the gate that keeps its callbacks from overlapping, and the closing flag the loop ends
// on. A callback may call into its own device, and closing a device from its own callback or
// loop returns at once: the loop ends by itself and never calls the caller again. Internal to
// the platform layer.
#pragma once

#include "MidiDevices.h"
#include "ReusableThreads.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

namespace svp {

// Callbacks of one device never overlap: a callback runs only while no other thread is in one.
// The thread inside a callback may call back into its device (nested callbacks are allowed).
class CallbackGate
{
public:
    bool IsHeldByOtherThread() const { return mDepth > 0 && mThread != std::this_thread::get_id(); }
    bool IsHeldByThisThread() const { return mDepth > 0 && mThread == std::this_thread::get_id(); }
    void Enter()
    {
        ++mDepth;
        mThread = std::this_thread::get_id();
    }
    void Leave() { --mDepth; }
    bool IsFree() const { return mDepth == 0; }

private:
    int32_t mDepth = 0;
    std::thread::id mThread;
};

// Device is the device class (it has `void Loop(std::unique_lock<std::mutex>&)`), Proc its
// callback type.
template <class Device, class Proc>
class MidiDeviceBase : public std::enable_shared_from_this<Device>
{
public:
    // A header's flags change under the device's lock: the loop reads them while it fills or
    // sends the header.
    MMRESULT Prepare(MIDIHDR* header)
    {
        if (header->lpData == nullptr || header->dwBufferLength == 0) {
            return MMSYSERR_INVALPARAM;
        }
        const std::lock_guard<std::mutex> lock(mMutex);
        header->dwFlags |= MHDR_PREPARED;
        return MMSYSERR_NOERROR;
    }

    MMRESULT Unprepare(MIDIHDR* header)
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        if ((header->dwFlags & MHDR_INQUEUE) != 0) {
            return MIDIERR_STILLPLAYING;
        }
        header->dwFlags &= ~MHDR_PREPARED;
        return MMSYSERR_NOERROR;
    }

    // Calls the callback with the message and no parameters (open, close).
    void Notify(uint32_t message)
    {
        std::unique_lock<std::mutex> lock(mMutex);
        Call(lock, message, 0, 0);
    }

    // Starts the loop, which holds the device until it returns.
    void StartLoop()
    {
        ReusableThreads::Shared().Run([self = this->shared_from_this()] {
            std::unique_lock<std::mutex> lock(self->mMutex);
            self->mLoopThread = std::this_thread::get_id();
            self->Loop(lock);
        });
    }

protected:
    MidiDeviceBase(Proc callback, uintptr_t instance) : mCallback(callback), mInstance(instance) {}

    // Under the lock: whether the caller's header may be queued, for input or for sending.
    static MMRESULT CheckCanQueue(const MIDIHDR* header)
    {
        if ((header->dwFlags & MHDR_PREPARED) == 0) {
            return MIDIERR_UNPREPARED;
        }
        if ((header->dwFlags & MHDR_INQUEUE) != 0) {
            return MIDIERR_STILLPLAYING;
        }
        if (header->lpData == nullptr || header->dwBufferLength == 0) {
            return MMSYSERR_INVALPARAM;
        }
        return MMSYSERR_NOERROR;
    }

    static void MarkQueued(MIDIHDR* header)
    {
        header->dwFlags = (header->dwFlags & ~MHDR_DONE) | MHDR_INQUEUE;
    }

    static void MarkDone(MIDIHDR* header)
    {
        header->dwFlags = (header->dwFlags | MHDR_DONE) & ~MHDR_INQUEUE;
    }

    // Under the lock: whether the device may close now. The loop ends by itself once it sees the
    // closing flag and calls nothing of the caller's after that, so a close never waits for it to
    // be scheduled.
    MMRESULT CheckCanClose(bool holdsHeaders) const
    {
        if (mClosing) {
            return MMSYSERR_INVALHANDLE; // closed on another thread meanwhile
        }
        return holdsHeaders ? MIDIERR_STILLPLAYING : MMSYSERR_NOERROR;
    }

    // Under the lock.
    bool IsLoopThread() const { return mLoopThread == std::this_thread::get_id(); }

    // Runs the callback with the lock let go; the caller checks the state again afterwards.
    void Call(std::unique_lock<std::mutex>& lock, uint32_t message, uintptr_t param1,
              uintptr_t param2)
    {
        if (mCallback == nullptr) {
            return;
        }
        mChanged.wait(lock, [this] { return !mCallbacks.IsHeldByOtherThread(); });
        mCallbacks.Enter();
        lock.unlock();
        mCallback(static_cast<Device*>(this), message, mInstance, param1, param2);
        lock.lock();
        mCallbacks.Leave();
        mChanged.notify_all();
    }

    // Waits until no callback of this device runs on another thread.
    void WaitUntilNoOtherCallback(std::unique_lock<std::mutex>& lock)
    {
        if (IsLoopThread()) {
            return;
        }
        mChanged.wait(lock, [this] { return !mCallbacks.IsHeldByOtherThread(); });
    }

    std::mutex mMutex;
    std::condition_variable mChanged;
    CallbackGate mCallbacks;
    bool mClosing = false; // the loop returns once it sees this

private:
    const Proc mCallback;
    const uintptr_t mInstance;
    std::thread::id mLoopThread; // once the loop runs
};

} // namespace svp
