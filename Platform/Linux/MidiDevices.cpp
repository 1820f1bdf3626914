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

// One direction, input or output: its device list, its open devices and the messages its
// callback gets on open and close.
template <class Device>
struct Direction
{
    Direction(bool inputs, uint32_t openMessage, uint32_t closeMessage)
        : devices(inputs), openMessage(openMessage), closeMessage(closeMessage)
    {}

    DeviceList devices;
    HandleTable<Device> open;
    const uint32_t openMessage;
    const uint32_t closeMessage;
};

// These live for the whole process and are never destroyed, so that nothing runs during exit.
Direction<MidiInDevice>& Inputs()
{
    static auto* inputs = new Direction<MidiInDevice>(true, MIM_OPEN, MIM_CLOSE);
    return *inputs;
}

Direction<MidiOutDevice>& Outputs()
{
    static auto* outputs = new Direction<MidiOutDevice>(false, MOM_OPEN, MOM_CLOSE);
    return *outputs;
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

bool IsHeaderSizeValid(const MIDIHDR* header, uint32_t headerSize)
{
    return header != nullptr && headerSize >= sizeof(MIDIHDR);
}

template <class Caps, class Device>
MMRESULT GetDeviceCaps(Direction<Device>& direction, int32_t deviceId, Caps& caps)
{
    const std::optional<midi::DeviceEntry> device = direction.devices.Get(deviceId);
    if (!device) {
        return MMSYSERR_BADDEVICEID;
    }
    caps.szPname = device->name;
    return MMSYSERR_NOERROR;
}

// Opens the device `deviceId` of the last list: `create(callback)` makes the device, with no
// callback unless the flags ask for the function; `connect(entry, device)` connects it to its
// transport.
template <class Device, class Proc, class Create, class Connect>
MMRESULT OpenDevice(Direction<Device>& direction, Device** handle, int32_t deviceId, Proc callback,
                    uint32_t flags, Create create, Connect connect)
{
    if (handle == nullptr) {
        return MMSYSERR_INVALPARAM;
    }
    *handle = nullptr;
    if (const MMRESULT result = CheckOpenFlags(callback != nullptr, flags);
        result != MMSYSERR_NOERROR) {
        return result;
    }
    const std::optional<midi::DeviceEntry> device = direction.devices.Get(deviceId);
    if (!device) {
        return MMSYSERR_BADDEVICEID;
    }
    const bool withCallback = (flags & CALLBACK_TYPEMASK) == CALLBACK_FUNCTION;
    const std::shared_ptr<Device> opened = create(withCallback ? callback : nullptr);
    opened->mConnection = connect(*device, *opened);
    if (!opened->mConnection) {
        return MMSYSERR_NODRIVER;
    }
    opened->StartLoop();
    direction.open.Add(opened);
    *handle = opened.get();
    opened->Notify(direction.openMessage);
    return MMSYSERR_NOERROR;
}

// Runs `operation` on the open device of `handle`.
template <class Device, class Operation>
MMRESULT WithDevice(Direction<Device>& direction, Device* handle, Operation operation)
{
    const auto device = direction.open.Find(handle);
    return device ? operation(*device) : MMSYSERR_INVALHANDLE;
}

// Runs `operation` on the open device of `handle` with a header of the right size.
template <class Device, class Operation>
MMRESULT WithHeader(Direction<Device>& direction, Device* handle, MIDIHDR* header,
                    uint32_t headerSize, Operation operation)
{
    return WithDevice(direction, handle, [&](Device& device) {
        return IsHeaderSizeValid(header, headerSize) ? operation(device, header)
                                                     : MMSYSERR_INVALPARAM;
    });
}

template <class Device>
MMRESULT CloseDevice(Direction<Device>& direction, Device* handle)
{
    const auto device = direction.open.Find(handle);
    if (!device) {
        return MMSYSERR_INVALHANDLE;
    }
    if (const MMRESULT result = device->Close(); result != MMSYSERR_NOERROR) {
        return result;
    }
    direction.open.Remove(handle);
    device->Notify(direction.closeMessage);
    return MMSYSERR_NOERROR;
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
    return Inputs().devices.Refresh();
}

MMRESULT midiInGetDevCaps(int32_t deviceId, MIDIINCAPS& caps)
{
    return GetDeviceCaps(Inputs(), deviceId, caps);
}

MMRESULT midiInOpen(HMIDIIN* handle, int32_t deviceId, MidiInProc callback, uintptr_t instance,
                    uint32_t flags)
{
    return OpenDevice(
        Inputs(), handle, deviceId, callback, flags,
        [&](MidiInProc used) {
            return std::make_shared<MidiInDevice>(used, instance, (flags & MIDI_IO_STATUS) != 0);
        },
        [](const midi::DeviceEntry& entry, MidiInDevice& device) {
            return entry.transport->ConnectInput(entry, device);
        });
}

MMRESULT midiInPrepareHeader(HMIDIIN handle, MIDIHDR* header, uint32_t headerSize)
{
    return WithHeader(Inputs(), handle, header, headerSize,
                      [](auto& device, MIDIHDR* valid) { return device.Prepare(valid); });
}

MMRESULT midiInUnprepareHeader(HMIDIIN handle, MIDIHDR* header, uint32_t headerSize)
{
    return WithHeader(Inputs(), handle, header, headerSize,
                      [](auto& device, MIDIHDR* valid) { return device.Unprepare(valid); });
}

MMRESULT midiInAddBuffer(HMIDIIN handle, MIDIHDR* header, uint32_t headerSize)
{
    return WithHeader(Inputs(), handle, header, headerSize,
                      [](auto& device, MIDIHDR* valid) { return device.AddBuffer(valid); });
}

MMRESULT midiInStart(HMIDIIN handle)
{
    return WithDevice(Inputs(), handle, [](auto& device) { return device.Start(); });
}

MMRESULT midiInStop(HMIDIIN handle)
{
    return WithDevice(Inputs(), handle, [](auto& device) { return device.Stop(); });
}

MMRESULT midiInReset(HMIDIIN handle)
{
    return WithDevice(Inputs(), handle, [](auto& device) { return device.Reset(); });
}

MMRESULT midiInClose(HMIDIIN handle)
{
    return CloseDevice(Inputs(), handle);
}

int32_t midiOutGetNumDevs()
{
    return Outputs().devices.Refresh();
}

MMRESULT midiOutGetDevCaps(int32_t deviceId, MIDIOUTCAPS& caps)
{
    return GetDeviceCaps(Outputs(), deviceId, caps);
}

MMRESULT midiOutOpen(HMIDIOUT* handle, int32_t deviceId, MidiOutProc callback, uintptr_t instance,
                     uint32_t flags)
{
    return OpenDevice(
        Outputs(), handle, deviceId, callback, flags,
        [&](MidiOutProc used) { return std::make_shared<MidiOutDevice>(used, instance); },
        [](const midi::DeviceEntry& entry, MidiOutDevice&) {
            return entry.transport->ConnectOutput(entry);
        });
}

MMRESULT midiOutShortMsg(HMIDIOUT handle, uint32_t message)
{
    return WithDevice(Outputs(), handle,
                      [message](auto& device) { return device.ShortMessage(message); });
}

MMRESULT midiOutPrepareHeader(HMIDIOUT handle, MIDIHDR* header, uint32_t headerSize)
{
    return WithHeader(Outputs(), handle, header, headerSize,
                      [](auto& device, MIDIHDR* valid) { return device.Prepare(valid); });
}

MMRESULT midiOutUnprepareHeader(HMIDIOUT handle, MIDIHDR* header, uint32_t headerSize)
{
    return WithHeader(Outputs(), handle, header, headerSize,
                      [](auto& device, MIDIHDR* valid) { return device.Unprepare(valid); });
}

MMRESULT midiOutLongMsg(HMIDIOUT handle, MIDIHDR* header, uint32_t headerSize)
{
    return WithHeader(Outputs(), handle, header, headerSize,
                      [](auto& device, MIDIHDR* valid) { return device.LongMessage(valid); });
}

MMRESULT midiOutReset(HMIDIOUT handle)
{
    return WithDevice(Outputs(), handle, [](auto& device) { return device.Reset(); });
}

MMRESULT midiOutClose(HMIDIOUT handle)
{
    return CloseDevice(Outputs(), handle);
}

} // namespace svp
