#include "MidiDevices.h"

#include "MidiInDevice.h"
#include "MidiOutDevice.h"
#include "MidiTransports.h"

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

bool IsHeaderSizeValid(const MIDIHDR* header, uint32_t headerSize)
{
    return header != nullptr && headerSize >= sizeof(MIDIHDR);
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
        midi::AppendRegisteredDevices(mInputs, devices);
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
    opened->mConnection = device->transport->ConnectInput(*device, *opened);
    if (!opened->mConnection) {
        return MMSYSERR_NODRIVER;
    }
    opened->StartLoop();
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
    opened->mConnection = device->transport->ConnectOutput(*device);
    if (!opened->mConnection) {
        return MMSYSERR_NODRIVER;
    }
    opened->StartLoop();
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
