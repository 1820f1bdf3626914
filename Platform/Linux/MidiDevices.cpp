#include "MidiDevices.h"

#include "MidiInputWriter.h"
#include "MidiTransport.h"
#include "ReusableThreads.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>
#include <vector>

namespace svp {
namespace {

using Clock = std::chrono::steady_clock;

constexpr uint8_t kSysExStart = 0xF0;
constexpr uint8_t kSysExEnd = 0xF7;

bool IsHeaderSizeValid(const MIDIHDR* header, uint32_t headerSize)
{
    return header != nullptr && headerSize >= sizeof(MIDIHDR);
}

// A header's flags change under its device's lock: the device's thread reads them while it
// fills or sends the header.
MMRESULT PrepareHeader(std::mutex& deviceMutex, MIDIHDR* header)
{
    if (header->lpData == nullptr || header->dwBufferLength == 0) {
        return MMSYSERR_INVALPARAM;
    }
    const std::lock_guard<std::mutex> lock(deviceMutex);
    header->dwFlags |= MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT UnprepareHeader(std::mutex& deviceMutex, MIDIHDR* header)
{
    const std::lock_guard<std::mutex> lock(deviceMutex);
    if ((header->dwFlags & MHDR_INQUEUE) != 0) {
        return MIDIERR_STILLPLAYING;
    }
    header->dwFlags &= ~MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

// Runs `operation` on the open device of `handle` with a header of the right size.
template <class Table, class Handle, class Operation>
MMRESULT WithHeader(Table& openDevices, Handle handle, MIDIHDR* header, uint32_t headerSize,
                    Operation operation)
{
    const auto device = openDevices.Find(handle);
    if (!device) {
        return MMSYSERR_INVALHANDLE;
    }
    return IsHeaderSizeValid(header, headerSize) ? operation(*device, header) : MMSYSERR_INVALPARAM;
}

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

// The open devices, by handle. A call holds its device for its whole length, so a device closed
// meanwhile on another thread is freed only after that call.
template <class Device>
class HandleTable
{
public:
    void Add(const std::shared_ptr<Device>& device)
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        mDevices.emplace(device.get(), device);
    }
    std::shared_ptr<Device> Find(Device* handle)
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        const auto found = mDevices.find(handle);
        return found == mDevices.end() ? nullptr : found->second;
    }
    void Remove(Device* handle)
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        mDevices.erase(handle);
    }

private:
    std::mutex mMutex;
    std::unordered_map<Device*, std::shared_ptr<Device>> mDevices;
};

// The device list taken by the last count; indexes refer to it until the next count.
class DeviceList
{
public:
    explicit DeviceList(bool inputs) : mInputs(inputs) {}

    int32_t Refresh()
    {
        std::vector<midi::DeviceEntry> devices;
        midi::AppendSystemDevices(mInputs, devices);
        midi::AppendVirtualDevices(devices);
        const std::lock_guard<std::mutex> lock(mMutex);
        mDevices = std::move(devices);
        mTaken = true;
        return static_cast<int32_t>(mDevices.size());
    }

    std::optional<midi::DeviceEntry> Get(int32_t deviceId)
    {
        bool taken = false;
        {
            const std::lock_guard<std::mutex> lock(mMutex);
            taken = mTaken;
        }
        if (!taken) {
            Refresh();
        }
        const std::lock_guard<std::mutex> lock(mMutex);
        if (deviceId < 0 || static_cast<size_t>(deviceId) >= mDevices.size()) {
            return std::nullopt;
        }
        return mDevices[static_cast<size_t>(deviceId)];
    }

private:
    const bool mInputs;
    std::mutex mMutex;
    std::vector<midi::DeviceEntry> mDevices;
    bool mTaken = false;
};

// These live for the whole process and are never destroyed, so that nothing runs during exit.
DeviceList& InputDevices()
{
    static auto* list = new DeviceList(true);
    return *list;
}

DeviceList& OutputDevices()
{
    static auto* list = new DeviceList(false);
    return *list;
}

MMRESULT CheckOpenFlags(bool hasCallback, uint32_t flags)
{
    const uint32_t type = flags & CALLBACK_TYPEMASK;
    if ((type != CALLBACK_NULL && type != CALLBACK_FUNCTION) ||
        (flags & ~(CALLBACK_TYPEMASK | MIDI_IO_STATUS)) != 0) {
        return MMSYSERR_INVALFLAG;
    }
    if (type == CALLBACK_FUNCTION && !hasCallback) {
        return MMSYSERR_INVALPARAM;
    }
    return MMSYSERR_NOERROR;
}

} // namespace

// An open input device. Its thread hands what arrives to the callback: short messages as
// MIM_DATA, long messages written into the queued buffers.
struct MidiInDevice final : midi::InputSink, std::enable_shared_from_this<MidiInDevice>
{
    MidiInDevice(MidiInProc callback, uintptr_t instance, bool reportMoreData)
        : mCallback(callback), mInstance(instance), mReportMoreData(reportMoreData)
    {}

    // The device's loop holds the device until it sees the closing flag.
    void StartThread()
    {
        ReusableThreads::Shared().Run([self = shared_from_this()] { self->Run(); });
    }

    // --- the transport's side, on its thread
    void OnMessage(const uint8_t* bytes, size_t count) override
    {
        Queue(Arrival::Kind::Message, bytes, count);
    }
    void OnPiece(const uint8_t* bytes, size_t count) override
    {
        Queue(Arrival::Kind::Piece, bytes, count);
    }
    void OnBrokenBuffer(const uint8_t* bytes, size_t count) override
    {
        Queue(Arrival::Kind::Broken, bytes, count);
    }

    // --- the caller's side
    MMRESULT Prepare(MIDIHDR* header) { return PrepareHeader(mMutex, header); }
    MMRESULT Unprepare(MIDIHDR* header) { return UnprepareHeader(mMutex, header); }

    MMRESULT AddBuffer(MIDIHDR* header)
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        if ((header->dwFlags & MHDR_PREPARED) == 0) {
            return MIDIERR_UNPREPARED;
        }
        if ((header->dwFlags & MHDR_INQUEUE) != 0) {
            return MIDIERR_STILLPLAYING;
        }
        if (header->lpData == nullptr || header->dwBufferLength == 0) {
            return MMSYSERR_INVALPARAM;
        }
        header->dwFlags = (header->dwFlags & ~MHDR_DONE) | MHDR_INQUEUE;
        header->dwBytesRecorded = 0;
        mWriter.AddBuffer(header);
        return MMSYSERR_NOERROR;
    }

    MMRESULT Start()
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        if (!mStarted) {
            mStarted = true;
            mStartTime = Clock::now();
            mChanged.notify_all();
        }
        return MMSYSERR_NOERROR;
    }

    MMRESULT Stop()
    {
        std::unique_lock<std::mutex> lock(mMutex);
        StopUnderLock(lock);
        return MMSYSERR_NOERROR;
    }

    MMRESULT Reset()
    {
        std::unique_lock<std::mutex> lock(mMutex);
        StopUnderLock(lock);
        // Only the buffers queued now: one that a callback adds back meanwhile stays queued,
        // so a caller that refills every buffer cannot keep the reset going for ever.
        for (size_t count = mWriter.GetBufferCount(); count > 0; --count) {
            MIDIHDR* header = mWriter.TakeFrontBuffer();
            if (header == nullptr) {
                break;
            }
            Call(lock, MIM_LONGDATA, reinterpret_cast<uintptr_t>(header), 0);
        }
        return MMSYSERR_NOERROR;
    }

    // Stops the transport and the thread.
    MMRESULT Close()
    {
        {
            std::unique_lock<std::mutex> lock(mMutex);
            if (mClosing) {
                return MMSYSERR_INVALHANDLE; // closed on another thread meanwhile
            }
            if (mWriter.HasBuffers()) {
                return MIDIERR_STILLPLAYING;
            }
            WaitUntilIdle(lock);
            mClosing = true;
            mStarted = false;
            mArrivals.clear();
            mChanged.notify_all();
        }
        // The transport may be inside Queue until this returns; Queue ignores a closing device.
        mConnection.reset();
        // The loop ends by itself once it sees the closing flag; it calls nothing of the
        // caller's after this point, so a close never waits for it to be scheduled.
        return MMSYSERR_NOERROR;
    }

    void Notify(uint32_t message)
    {
        std::unique_lock<std::mutex> lock(mMutex);
        Call(lock, message, 0, 0);
    }

    std::unique_ptr<midi::InputConnection> mConnection;

private:
    struct Arrival
    {
        using Kind = MidiInputWriter::Kind;
        Kind kind = Kind::Message;
        std::vector<uint8_t> bytes;
        uint32_t time = 0;
    };

    void Queue(Arrival::Kind kind, const uint8_t* bytes, size_t count)
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
        mArrivals.push_back({kind, std::vector<uint8_t>(bytes, bytes + count),
                             static_cast<uint32_t>(elapsed.count())});
        mChanged.notify_all();
    }

    void Run()
    {
        std::unique_lock<std::mutex> lock(mMutex);
        mThreadId = std::this_thread::get_id();
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

    // Waits until no other thread delivers or runs a callback of this device.
    void WaitUntilIdle(std::unique_lock<std::mutex>& lock)
    {
        if (mCallbacks.IsHeldByThisThread() || mThreadId == std::this_thread::get_id()) {
            return;
        }
        mChanged.wait(lock, [this] { return !mDelivering && mCallbacks.IsFree(); });
    }

    void StopUnderLock(std::unique_lock<std::mutex>& lock)
    {
        WaitUntilIdle(lock);
        mStarted = false;
        mArrivals.clear();
        if (const auto handover = mWriter.Stop()) {
            Call(lock, handover->message, handover->param1, handover->time);
        }
    }

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
        mCallback(this, message, mInstance, param1, param2);
        lock.lock();
        mCallbacks.Leave();
        mChanged.notify_all();
    }

    // True while the device should go on with the arrival in hand.
    bool IsReceiving() const { return mStarted && !mClosing; }

    void Deliver(std::unique_lock<std::mutex>& lock, Arrival arrival)
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

    const MidiInProc mCallback;
    const uintptr_t mInstance;
    const bool mReportMoreData;

    std::mutex mMutex;
    std::condition_variable mChanged;
    MidiInputWriter mWriter; // the caller's buffers and what is written into them
    std::deque<Arrival> mArrivals;
    bool mStarted = false;
    bool mClosing = false;
    bool mDelivering = false; // the device's thread is handing over an arrival
    CallbackGate mCallbacks;
    Clock::time_point mStartTime;
    std::thread::id mThreadId; // the loop's thread, once the loop runs
};

// An open output device. Short messages go out at once on the caller's thread; long messages
// are copied, queued and sent in order by the device's thread, which reports each done.
struct MidiOutDevice final : std::enable_shared_from_this<MidiOutDevice>
{
    MidiOutDevice(MidiOutProc callback, uintptr_t instance)
        : mCallback(callback), mInstance(instance)
    {}

    // The device's loop holds the device until it sees the closing flag.
    void StartThread()
    {
        ReusableThreads::Shared().Run([self = shared_from_this()] { self->Run(); });
    }

    MMRESULT ShortMessage(uint32_t message)
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
        const midi::SendResult result =
            mConnection->Send(bytes, MidiShortMessageLength(status), false);
        return result == midi::SendResult::Failed ? MMSYSERR_ERROR : MMSYSERR_NOERROR;
    }

    MMRESULT Prepare(MIDIHDR* header) { return PrepareHeader(mMutex, header); }
    MMRESULT Unprepare(MIDIHDR* header) { return UnprepareHeader(mMutex, header); }

    MMRESULT LongMessage(MIDIHDR* header)
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        if ((header->dwFlags & MHDR_PREPARED) == 0) {
            return MIDIERR_UNPREPARED;
        }
        if ((header->dwFlags & MHDR_INQUEUE) != 0) {
            return MIDIERR_STILLPLAYING;
        }
        if (header->lpData == nullptr || header->dwBufferLength == 0) {
            return MMSYSERR_INVALPARAM;
        }
        // A copy, so that the caller's memory is never read once this returns.
        const auto* data = reinterpret_cast<const uint8_t*>(header->lpData);
        mQueue.push_back({header, std::vector<uint8_t>(data, data + header->dwBufferLength)});
        header->dwFlags = (header->dwFlags & ~MHDR_DONE) | MHDR_INQUEUE;
        mChanged.notify_all();
        return MMSYSERR_NOERROR;
    }

    MMRESULT Reset()
    {
        std::unique_lock<std::mutex> lock(mMutex);
        WaitUntilNoOtherCallback(lock);
        std::vector<MIDIHDR*> takenBack = std::move(mHung);
        mHung.clear();
        if (mSending != nullptr) {
            takenBack.push_back(mSending);
            mSending = nullptr; // the thread, back from sending, leaves it alone
        }
        for (const Pending& pending : mQueue) {
            takenBack.push_back(pending.header);
        }
        mQueue.clear();
        for (MIDIHDR* header : takenBack) {
            header->dwFlags = (header->dwFlags | MHDR_DONE) & ~MHDR_INQUEUE;
        }
        for (MIDIHDR* header : takenBack) {
            Call(lock, MOM_DONE, reinterpret_cast<uintptr_t>(header), 0);
        }
        return MMSYSERR_NOERROR;
    }

    MMRESULT Close()
    {
        {
            std::unique_lock<std::mutex> lock(mMutex);
            if (mClosing) {
                return MMSYSERR_INVALHANDLE; // closed on another thread meanwhile
            }
            if (!mQueue.empty() || mSending != nullptr || !mHung.empty()) {
                return MIDIERR_STILLPLAYING;
            }
            WaitUntilNoOtherCallback(lock);
            mClosing = true;
            mChanged.notify_all();
        }
        // The loop ends by itself once it sees the closing flag; it calls nothing of the
        // caller's after this point, so a close never waits for it to be scheduled.
        const std::lock_guard<std::mutex> lock(mSendMutex);
        mConnection.reset();
        return MMSYSERR_NOERROR;
    }

    void Notify(uint32_t message)
    {
        std::unique_lock<std::mutex> lock(mMutex);
        Call(lock, message, 0, 0);
    }

    std::unique_ptr<midi::OutputConnection> mConnection; // guarded by mSendMutex once open

private:
    struct Pending
    {
        MIDIHDR* header = nullptr;
        std::vector<uint8_t> bytes;
    };

    void Run()
    {
        std::unique_lock<std::mutex> lock(mMutex);
        mThreadId = std::this_thread::get_id();
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
            pending.header->dwFlags = (pending.header->dwFlags | MHDR_DONE) & ~MHDR_INQUEUE;
            Call(lock, MOM_DONE, reinterpret_cast<uintptr_t>(pending.header), 0);
        }
    }

    void WaitUntilNoOtherCallback(std::unique_lock<std::mutex>& lock)
    {
        if (mThreadId == std::this_thread::get_id()) {
            return;
        }
        mChanged.wait(lock, [this] { return !mCallbacks.IsHeldByOtherThread(); });
    }

    void Call(std::unique_lock<std::mutex>& lock, uint32_t message, uintptr_t param1,
              uintptr_t param2)
    {
        if (mCallback == nullptr) {
            return;
        }
        mChanged.wait(lock, [this] { return !mCallbacks.IsHeldByOtherThread(); });
        mCallbacks.Enter();
        lock.unlock();
        mCallback(this, message, mInstance, param1, param2);
        lock.lock();
        mCallbacks.Leave();
        mChanged.notify_all();
    }

    const MidiOutProc mCallback;
    const uintptr_t mInstance;

    std::mutex mMutex;
    std::condition_variable mChanged;
    std::deque<Pending> mQueue;  // long messages not yet sent
    MIDIHDR* mSending = nullptr; // the one being sent
    std::vector<MIDIHDR*> mHung; // sent, never reported done by the device
    bool mClosing = false;
    CallbackGate mCallbacks;
    std::mutex mSendMutex;     // one message at a time on the transport
    std::thread::id mThreadId; // the loop's thread, once the loop runs
};

namespace {

HandleTable<MidiInDevice>& OpenInputs()
{
    static auto* table = new HandleTable<MidiInDevice>;
    return *table;
}

HandleTable<MidiOutDevice>& OpenOutputs()
{
    static auto* table = new HandleTable<MidiOutDevice>;
    return *table;
}

} // namespace

uint32_t MidiShortMessageLength(uint8_t status)
{
    if (status < 0x80) {
        return 1;
    }
    if (status < 0xC0 || (status >= 0xE0 && status < 0xF0)) {
        return 3;
    }
    if (status < 0xE0) {
        return 2;
    }
    switch (status) {
    case 0xF1:
    case 0xF3:
    case 0xF4:
    case 0xF5:
        return 2;
    case 0xF2:
        return 3;
    default:
        return 1;
    }
}

int32_t midiInGetNumDevs()
{
    return InputDevices().Refresh();
}

MMRESULT midiInGetDevCaps(int32_t deviceId, MIDIINCAPS& caps)
{
    const std::optional<midi::DeviceEntry> device = InputDevices().Get(deviceId);
    if (!device) {
        return MMSYSERR_BADDEVICEID;
    }
    caps.szPname = device->name;
    return MMSYSERR_NOERROR;
}

MMRESULT midiInOpen(HMIDIIN* handle, int32_t deviceId, MidiInProc callback, uintptr_t instance,
                    uint32_t flags)
{
    if (handle == nullptr) {
        return MMSYSERR_INVALPARAM;
    }
    *handle = nullptr;
    if (const MMRESULT result = CheckOpenFlags(callback != nullptr, flags);
        result != MMSYSERR_NOERROR) {
        return result;
    }
    const std::optional<midi::DeviceEntry> device = InputDevices().Get(deviceId);
    if (!device) {
        return MMSYSERR_BADDEVICEID;
    }
    const bool withCallback = (flags & CALLBACK_TYPEMASK) == CALLBACK_FUNCTION;
    auto opened = std::make_shared<MidiInDevice>(withCallback ? callback : nullptr, instance,
                                                 (flags & MIDI_IO_STATUS) != 0);
    opened->mConnection = device->transport == midi::DeviceEntry::Transport::InProcess
                              ? midi::ConnectVirtualInput(*device, *opened)
                              : midi::ConnectSystemInput(*device, *opened);
    if (!opened->mConnection) {
        return MMSYSERR_NODRIVER;
    }
    opened->StartThread();
    OpenInputs().Add(opened);
    *handle = opened.get();
    opened->Notify(MIM_OPEN);
    return MMSYSERR_NOERROR;
}

MMRESULT midiInPrepareHeader(HMIDIIN handle, MIDIHDR* header, uint32_t headerSize)
{
    return WithHeader(OpenInputs(), handle, header, headerSize,
                      [](auto& device, MIDIHDR* valid) { return device.Prepare(valid); });
}

MMRESULT midiInUnprepareHeader(HMIDIIN handle, MIDIHDR* header, uint32_t headerSize)
{
    return WithHeader(OpenInputs(), handle, header, headerSize,
                      [](auto& device, MIDIHDR* valid) { return device.Unprepare(valid); });
}

MMRESULT midiInAddBuffer(HMIDIIN handle, MIDIHDR* header, uint32_t headerSize)
{
    return WithHeader(OpenInputs(), handle, header, headerSize,
                      [](auto& device, MIDIHDR* valid) { return device.AddBuffer(valid); });
}

MMRESULT midiInStart(HMIDIIN handle)
{
    const auto device = OpenInputs().Find(handle);
    return device ? device->Start() : MMSYSERR_INVALHANDLE;
}

MMRESULT midiInStop(HMIDIIN handle)
{
    const auto device = OpenInputs().Find(handle);
    return device ? device->Stop() : MMSYSERR_INVALHANDLE;
}

MMRESULT midiInReset(HMIDIIN handle)
{
    const auto device = OpenInputs().Find(handle);
    return device ? device->Reset() : MMSYSERR_INVALHANDLE;
}

MMRESULT midiInClose(HMIDIIN handle)
{
    const auto device = OpenInputs().Find(handle);
    if (!device) {
        return MMSYSERR_INVALHANDLE;
    }
    if (const MMRESULT result = device->Close(); result != MMSYSERR_NOERROR) {
        return result;
    }
    OpenInputs().Remove(handle);
    device->Notify(MIM_CLOSE);
    return MMSYSERR_NOERROR;
}

int32_t midiOutGetNumDevs()
{
    return OutputDevices().Refresh();
}

MMRESULT midiOutGetDevCaps(int32_t deviceId, MIDIOUTCAPS& caps)
{
    const std::optional<midi::DeviceEntry> device = OutputDevices().Get(deviceId);
    if (!device) {
        return MMSYSERR_BADDEVICEID;
    }
    caps.szPname = device->name;
    return MMSYSERR_NOERROR;
}

MMRESULT midiOutOpen(HMIDIOUT* handle, int32_t deviceId, MidiOutProc callback, uintptr_t instance,
                     uint32_t flags)
{
    if (handle == nullptr) {
        return MMSYSERR_INVALPARAM;
    }
    *handle = nullptr;
    if (const MMRESULT result = CheckOpenFlags(callback != nullptr, flags);
        result != MMSYSERR_NOERROR) {
        return result;
    }
    const std::optional<midi::DeviceEntry> device = OutputDevices().Get(deviceId);
    if (!device) {
        return MMSYSERR_BADDEVICEID;
    }
    const bool withCallback = (flags & CALLBACK_TYPEMASK) == CALLBACK_FUNCTION;
    auto opened = std::make_shared<MidiOutDevice>(withCallback ? callback : nullptr, instance);
    opened->mConnection = device->transport == midi::DeviceEntry::Transport::InProcess
                              ? midi::ConnectVirtualOutput(*device)
                              : midi::ConnectSystemOutput(*device);
    if (!opened->mConnection) {
        return MMSYSERR_NODRIVER;
    }
    opened->StartThread();
    OpenOutputs().Add(opened);
    *handle = opened.get();
    opened->Notify(MOM_OPEN);
    return MMSYSERR_NOERROR;
}

MMRESULT midiOutShortMsg(HMIDIOUT handle, uint32_t message)
{
    const auto device = OpenOutputs().Find(handle);
    return device ? device->ShortMessage(message) : MMSYSERR_INVALHANDLE;
}

MMRESULT midiOutPrepareHeader(HMIDIOUT handle, MIDIHDR* header, uint32_t headerSize)
{
    return WithHeader(OpenOutputs(), handle, header, headerSize,
                      [](auto& device, MIDIHDR* valid) { return device.Prepare(valid); });
}

MMRESULT midiOutUnprepareHeader(HMIDIOUT handle, MIDIHDR* header, uint32_t headerSize)
{
    return WithHeader(OpenOutputs(), handle, header, headerSize,
                      [](auto& device, MIDIHDR* valid) { return device.Unprepare(valid); });
}

MMRESULT midiOutLongMsg(HMIDIOUT handle, MIDIHDR* header, uint32_t headerSize)
{
    const auto device = OpenOutputs().Find(handle);
    if (!device) {
        return MMSYSERR_INVALHANDLE;
    }
    return IsHeaderSizeValid(header, headerSize) ? device->LongMessage(header)
                                                 : MMSYSERR_INVALPARAM;
}

MMRESULT midiOutReset(HMIDIOUT handle)
{
    const auto device = OpenOutputs().Find(handle);
    return device ? device->Reset() : MMSYSERR_INVALHANDLE;
}

MMRESULT midiOutClose(HMIDIOUT handle)
{
    const auto device = OpenOutputs().Find(handle);
    if (!device) {
        return MMSYSERR_INVALHANDLE;
    }
    if (const MMRESULT result = device->Close(); result != MMSYSERR_NOERROR) {
        return result;
    }
    OpenOutputs().Remove(handle);
    device->Notify(MOM_CLOSE);
    return MMSYSERR_NOERROR;
}

} // namespace svp
