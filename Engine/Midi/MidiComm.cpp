#include "Midi/MidiComm.h"

#include "EngineNotificationNames.h"
#include "Notification/Notification.h"
#include "ResultCodes.h"
#include "WaitResults.h"

#include <algorithm>
#include <mutex>
#include <utility>
#include <vector>

namespace SV {
namespace {

constexpr uint8_t kSysExStart = 0xF0;
constexpr uint8_t kSysExEnd = 0xF7;

// The list's last port whose name matches the request, or -1.
template <class Port>
int32_t FindOpenPort(const RCPtrArray<Port, 1, 0>& ports, const WideString& request)
{
    for (int32_t index = ports.GetCount() - 1; index >= 0; --index) {
        if (LMidiComm::NameMatches((*ports.At(index))->GetName(), request)) {
            return index;
        }
    }
    return -1;
}

// The list's last port open on the device, or null.
template <class Port, class Handle>
Port* FindPortByHandle(const RCPtrArray<Port, 1, 0>& ports, Handle handle)
{
    for (int32_t index = ports.GetCount() - 1; index >= 0; --index) {
        Port* port = ports.At(index)->Get();
        if (port->GetHandle() == handle) {
            return port;
        }
    }
    return nullptr;
}

// The first device of the platform's list whose name matches the request, and that name; -1
// when none does. Caps is MIDIINCAPS or MIDIOUTCAPS, with the count and caps operations of the
// same direction.
template <class Caps>
int32_t FindDevice(int32_t (*getCount)(), MMRESULT (*getCaps)(int32_t, Caps&),
                   const WideString& request, WideString& name)
{
    const int32_t count = getCount();
    for (int32_t deviceId = 0; deviceId < count; ++deviceId) {
        Caps caps;
        if (getCaps(deviceId, caps) != MMSYSERR_NOERROR) {
            continue;
        }
        WideString candidate(caps.szPname.c_str());
        if (LMidiComm::NameMatches(candidate, request)) {
            name = candidate;
            return deviceId;
        }
    }
    return -1;
}

template <class Port>
int32_t RemovePort(RCPtrArray<Port, 1, 0>& ports, const Port* port, RCPtr<Port>& removed)
{
    for (int32_t index = ports.GetCount() - 1; index >= 0; --index) {
        if (ports.At(index)->Get() == port) {
            ports.RemoveItem(index, removed);
            return S_OK;
        }
    }
    return E_FAIL;
}

// The pools of port layers that have gone, kept for the next ones: every get and send makes a
// port layer of its own, and starting a pool's threads and joining them again each time would
// cost more than the rest of the operation. Never destroyed: its threads wait for work until
// the process ends.
class SparePools
{
public:
    static SparePools& Shared()
    {
        static auto* spares = new SparePools;
        return *spares;
    }

    RCPtr<LThreadPool> Take()
    {
        {
            const std::lock_guard<std::mutex> lock(mMutex);
            if (!mPools.empty()) {
                RCPtr<LThreadPool> pool = std::move(mPools.back());
                mPools.pop_back();
                return pool;
            }
        }
        return LThreadPool::CreateThreadPool(LMidiComm::kWorkerCount,
                                             LMidiComm::kDispatcherPriority);
    }

    // A running pool is kept, up to a few. Nothing is queued for the port layer that went, as
    // every job holds its port layer; a job that is still ending (the one that let go of the
    // port layer last, maybe) ends by itself, and the next job waits in the queue until it has.
    void Give(RCPtr<LThreadPool>& pool)
    {
        if (!pool || pool->GetWorkerCount() <= 0) {
            return;
        }
        const std::lock_guard<std::mutex> lock(mMutex);
        if (mPools.size() < kKept) {
            mPools.push_back(std::move(pool));
        }
    }

private:
    static constexpr size_t kKept = 2;

    std::mutex mMutex;
    std::vector<RCPtr<LThreadPool>> mPools;
};

} // namespace

RCPtr<LMidiComm> LMidiComm::Create()
{
    return RCPtr<LMidiComm>(new LMidiComm());
}

LMidiComm::LMidiComm() : mThreadPool(SparePools::Shared().Take())
{}

LMidiComm::~LMidiComm()
{
    // The pool goes on to the next port layer; one not kept stops before the lists and the
    // distributor go. Every port holds this object, so the lists are empty by now.
    SparePools::Shared().Give(mThreadPool);
    mThreadPool = nullptr;
}

bool LMidiComm::NameMatches(const WideString& name, const WideString& request)
{
    return name.ToLower().Find(request.ToLower()) >= 0;
}

int32_t LMidiComm::GetMidiMessageLength(uint8_t firstByte)
{
    // The bounds of a system-exclusive message have no length of their own.
    if (firstByte == kSysExStart || firstByte == kSysExEnd) {
        return 0;
    }
    return static_cast<int32_t>(svp::MidiShortMessageLength(firstByte));
}

int32_t LMidiComm::GetShortMessageLength(uint8_t status)
{
    // The system common messages keep their data bytes (a song position is three bytes), as
    // the device packs them.
    const int32_t length = GetMidiMessageLength(status);
    return length == 0 ? 1 : length;
}

int32_t LMidiComm::OpenCapturePort(const WideString& deviceName, RCPtr<LMidiCapturePort>& port)
{
    // What the caller held, and a port whose start failed, are let go after the lock: closing
    // a device waits for its callbacks, which take the lock.
    RCPtr<LMidiCapturePort> previous = std::move(port);
    RCPtr<LMidiCapturePort> failed;
    MutexLock lock(mLock);
    const int32_t open = FindOpenPort(mCapturePorts, deviceName);
    if (open >= 0) {
        port = *mCapturePorts.At(open);
        return S_OK;
    }
    WideString name;
    const int32_t deviceId =
        FindDevice(&svp::midiInGetNumDevs, &svp::midiInGetDevCaps, deviceName, name);
    svp::HMIDIIN handle = nullptr;
    if (deviceId < 0 || svp::midiInOpen(&handle, deviceId, &LMidiComm::OnMidiInput,
                                        reinterpret_cast<uintptr_t>(this),
                                        CALLBACK_FUNCTION | MIDI_IO_STATUS) != MMSYSERR_NOERROR) {
        return E_FAIL;
    }
    RCPtr<LMidiCapturePort> opened(new LMidiCapturePort(name, handle, RCPtr<LMidiComm>(this)));
    mCapturePorts.Add(opened);
    opened->OnListed();
    if (svp::midiInStart(handle) != MMSYSERR_NOERROR) {
        // The port's own close stops, resets, unprepares and closes the device in the order the
        // device needs.
        failed = opened;
        return E_FAIL;
    }
    port = opened;
    return S_OK;
}

int32_t LMidiComm::OpenRenderPort(const WideString& deviceName, RCPtr<LMidiRenderPort>& port)
{
    RCPtr<LMidiRenderPort> previous = std::move(port);
    MutexLock lock(mLock);
    const int32_t open = FindOpenPort(mRenderPorts, deviceName);
    if (open >= 0) {
        port = *mRenderPorts.At(open);
        return S_OK;
    }
    WideString name;
    const int32_t deviceId =
        FindDevice(&svp::midiOutGetNumDevs, &svp::midiOutGetDevCaps, deviceName, name);
    svp::HMIDIOUT handle = nullptr;
    if (deviceId < 0 || svp::midiOutOpen(&handle, deviceId, &LMidiComm::OnMidiOutput,
                                         reinterpret_cast<uintptr_t>(this),
                                         CALLBACK_FUNCTION) != MMSYSERR_NOERROR) {
        return E_FAIL;
    }
    RCPtr<LMidiRenderPort> opened(new LMidiRenderPort(name, handle, RCPtr<LMidiComm>(this)));
    mRenderPorts.Add(opened);
    opened->OnListed();
    port = opened;
    return S_OK;
}

int32_t LMidiComm::Send(const ConstRCPtr<LRefCountedObject>& port, const IArray<signed char>& bytes)
{
    const auto* renderPort = dynamic_cast<const LMidiRenderPort*>(port.Get());
    const int32_t count = bytes.GetCount();
    if (renderPort == nullptr || count <= 0) {
        return E_INVALIDARG;
    }
    const svp::HMIDIOUT handle = renderPort->GetHandle();
    const int32_t timeout = mSendTimeout.load();
    // A port still busy after the time-out is sent to all the same.
    renderPort->mReadyGate.Wait(timeout);

    const signed char* data = bytes.GetData();
    const auto first = static_cast<uint8_t>(data[0]);
    if (first != kSysExStart && first != kSysExEnd && first >= 0x80) {
        uint32_t packed = 0;
        for (int32_t index = 0; index < std::min(count, 4); ++index) {
            packed |= uint32_t(static_cast<uint8_t>(data[index])) << (8 * index);
        }
        if (svp::midiOutShortMsg(handle, packed) != MMSYSERR_NOERROR) {
            return E_FAIL;
        }
        return GetMidiMessageLength(first);
    }

    svp::MIDIHDR header;
    // The device copies the bytes of a long message and never writes them.
    header.lpData = const_cast<char*>(reinterpret_cast<const char*>(data));
    header.dwBufferLength = static_cast<uint32_t>(count);
    header.dwBytesRecorded = static_cast<uint32_t>(count);
    if (svp::midiOutPrepareHeader(handle, &header, sizeof header) != MMSYSERR_NOERROR) {
        return E_FAIL;
    }
    renderPort->mHeaderInFlight.store(&header);
    renderPort->mReadyGate.Reset();
    int32_t result = E_FAIL;
    if (svp::midiOutLongMsg(handle, &header, sizeof header) == MMSYSERR_NOERROR) {
        if (renderPort->mReadyGate.Wait(timeout) == WAIT_OBJECT_0) {
            result = count;
        } else {
            // The device still holds the header, which lives on this stack: the reset hands
            // it back within the call, and the device never touches it again.
            svp::midiOutReset(handle);
        }
    }
    svp::midiOutUnprepareHeader(handle, &header, sizeof header);
    renderPort->mHeaderInFlight.store(nullptr);
    renderPort->mReadyGate.Set();
    return result;
}

void LMidiComm::OnMidiInput(svp::HMIDIIN handle, uint32_t message, uintptr_t instance,
                            uintptr_t param1, uintptr_t param2)
{
    if (instance != 0) {
        reinterpret_cast<LMidiComm*>(instance)->HandleInput(handle, message, param1, param2);
    }
}

void LMidiComm::OnMidiOutput(svp::HMIDIOUT handle, uint32_t message, uintptr_t instance,
                             uintptr_t param1, uintptr_t /*param2*/)
{
    if (instance != 0) {
        reinterpret_cast<LMidiComm*>(instance)->HandleOutput(handle, message, param1);
    }
}

void LMidiComm::HandleInput(svp::HMIDIIN handle, uint32_t message, uintptr_t param1,
                            uintptr_t param2)
{
    MutexLock lock(mLock);
    // A port being closed is out of the list already: what its device hands back while it
    // closes is neither read nor given back to the device.
    LMidiCapturePort* port = FindPortByHandle(mCapturePorts, handle);
    if (port == nullptr) {
        return;
    }
    auto* header = reinterpret_cast<svp::MIDIHDR*>(param1);
    switch (message) {
    case MIM_DATA:
    case MIM_MOREDATA:
        QueueCapturedData(port->MakeShortMessage(param1, param2));
        return;
    case MIM_LONGDATA: {
        if (header == nullptr) {
            return;
        }
        const uint32_t recorded = std::min(header->dwBytesRecorded, header->dwBufferLength);
        // A buffer handed back empty (by a reset) holds nothing, and completes nothing.
        if (recorded > 0) {
            const bool complete = recorded < header->dwBufferLength ||
                                  static_cast<uint8_t>(header->lpData[recorded - 1]) == kSysExEnd;
            RCPtr<LMidiCaptureNotificationData> record =
                port->CollectSysEx(header->lpData, static_cast<int32_t>(recorded), complete);
            if (record) {
                QueueCapturedData(record);
            }
        }
        port->RefillBuffer(header);
        return;
    }
    case MIM_LONGERROR:
        if (header != nullptr) {
            // Bytes are missing from the message being collected: the rest of it would be
            // raised as a whole message with a hole in it.
            port->DropPendingMessage();
            port->RefillBuffer(header);
        }
        return;
    default:
        return;
    }
}

void LMidiComm::HandleOutput(svp::HMIDIOUT handle, uint32_t message, uintptr_t param1)
{
    MutexLock lock(mLock);
    LMidiRenderPort* port = FindPortByHandle(mRenderPorts, handle);
    if (port == nullptr || message != MOM_DONE) {
        return;
    }
    const auto* header = reinterpret_cast<const svp::MIDIHDR*>(param1);
    const svp::MIDIHDR* expected = header;
    port->mHeaderInFlight.compare_exchange_strong(expected, nullptr);
    port->mReadyGate.Set();
}

void LMidiComm::QueueCapturedData(const RCPtr<LMidiCaptureNotificationData>& record)
{
    if (record && mThreadPool) {
        record->SetSequence(++mCapturedCount);
        mThreadPool->QueueWork(RCPtr<LThreadWorker>(this), ConstRCPtr<LRefCountedObject>(record),
                               0);
    }
}

int32_t LMidiComm::DistributeCapturedData(const ConstRCPtr<LRefCountedObject>& data)
{
    const RCPtr<LNotification> notification = CreateNotification(kNidMidiDataCaptured, data);
    MutexLock lock(mDeliveryLock);
    return Notify(notification);
}

int32_t LMidiComm::Run(const ConstRCPtr<LRefCountedObject>& parameter)
{
    return DistributeCapturedData(parameter);
}

int32_t LMidiComm::ReleaseHook()
{
    {
        MutexLock lock(mDeliveryLock);
        UnregisterAllClients();
    }
    return LRefCountedObject::ReleaseHook();
}

uint64_t LMidiComm::GetCapturedCount()
{
    MutexLock lock(mLock);
    return mCapturedCount;
}

int32_t LMidiComm::GetCapturePortCount()
{
    MutexLock lock(mLock);
    return mCapturePorts.GetCount();
}

int32_t LMidiComm::GetRenderPortCount()
{
    MutexLock lock(mLock);
    return mRenderPorts.GetCount();
}

int32_t LMidiComm::RemoveCapturePort(const LMidiCapturePort* port, RCPtr<LMidiCapturePort>& removed)
{
    MutexLock lock(mLock);
    return RemovePort(mCapturePorts, port, removed);
}

int32_t LMidiComm::RemoveRenderPort(const LMidiRenderPort* port, RCPtr<LMidiRenderPort>& removed)
{
    MutexLock lock(mLock);
    return RemovePort(mRenderPorts, port, removed);
}

} // namespace SV
