// The model's door to the keyboard through the device-control client library. It loads the
// library, remembers the id of the connected device and adds it to every per-device call,
// answers a few system parameters itself, and turns the values the library pushes from its own
// thread into calls of one receiver (the root module) on a thread of its own, the
// device-communication thread.
#pragma once

#include "DeviceControlClientExports.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/IArray.h"
#include "Utilities/Storage/ParamValues.h"
#include "Utilities/Storage/Variant.h"

#include <cstdint>
#include <functional>
#include <memory>

// Where the values that arrive from the device go.
class DeviceCommunicationReceiver
{
public:
    // Runs on the device-communication thread, or on the caller's thread for a connection
    // record; the list is only valid during the call.
    virtual void ReceiveParamValues(const SV::ParamValues& values) = 0;
    virtual int32_t ReceiveReserved(int32_t first, int32_t second) = 0;

protected:
    ~DeviceCommunicationReceiver() = default;
};

class LDeviceCommunicationInterface : public virtual SV::LRefCountedObject
{
public:
    // System parameters the interface answers or refuses itself.
    static constexpr int32_t kConnectionStatusParamID = -2;
    static constexpr int32_t kConnectionRecordParamID = -4;
    static constexpr int32_t kDeviceTextParamID = -8;
    static constexpr int32_t kCompanyNameParamID = -9;
    static constexpr int32_t kProductNameParamID = -10;
    static constexpr int32_t kFirstRefusedParamID = -242;
    static constexpr int32_t kLastRefusedParamID = -240;

    // The pause between two rounds of a remote-device wait.
    static constexpr uint32_t kRemoteDeviceWaitStepMilliseconds = 250;

    // How the interface pauses; tests give a function of their own so that waits take no time.
    using SleepFunction = std::function<void(uint32_t milliseconds)>;

    // Starts the device-communication thread, which waits until values arrive. Delivery is off
    // and there is no client until LoadClientLibrary.
    LDeviceCommunicationInterface();
    // Switches delivery off, disconnects the device and unloads the library.
    ~LDeviceCommunicationInterface() override;

    // Makes the library client once: 0, or 1 when it exists already; E_FAIL only when no client
    // object could be made. A library file that does not load still gives a client, one that
    // answers -1 to every call.
    virtual int32_t LoadClientLibrary();
    // Both true: the device side always counts as connected.
    virtual bool IsConnected();
    // Hands the receiver, on the calling thread, the connection record: id -4 with a list of
    // the value (64-bit) and IsConnected. false without a receiver, else IsConnected.
    virtual bool NotifyConnectionState(int64_t value);
    // Returns once nobody holds the interface's lock.
    virtual void Synchronize();
    // Called by the receiver once it is set up; nothing to do.
    virtual void OnReceiverReady();
    // Exactly one device, an empty id, without asking the library.
    virtual int32_t FindDevices(const SV::IArray<_GUID>& kinds, SV::IArray<SV::Variant>& devices);
    // Waits up to `milliseconds` for the library's remote-device list to differ from `devices`,
    // asking it every kRemoteDeviceWaitStepMilliseconds: 0 when it did (`devices` holds the new
    // list), 1 when the time ran out, E_FAIL when a query failed, -1 without client.
    virtual int32_t WaitForRemoteDevices(const SV::IArray<_GUID>& kinds,
                                         SV::IArray<SV::Variant>& devices, uint32_t milliseconds);
    // One fresh query: the library's answer (0 or 1), with the list in `devices`; a failure
    // leaves `devices` alone.
    virtual int32_t FindRemoteDevices(const SV::IArray<_GUID>& kinds,
                                      SV::IArray<SV::Variant>& devices);
    // Remembers the id (whatever the answer) and connects the library's callback to this
    // interface.
    virtual int32_t ConnectDevice(const SV::Variant& deviceId);
    virtual int32_t RequestParamRanges(const SV::ParamRanges& ranges);
    virtual int32_t RequestParamValues(const SV::ParamDescriptors& descriptors);
    // Sends a one-entry descriptor list.
    virtual int32_t RequestParamValue(const SV::ParamDescriptor& descriptor);
    virtual int32_t GetParamRanges(int32_t first, int32_t second);
    virtual int32_t GetParamValues(int32_t first, int32_t second);
    // Reads one value from the device side into `value`; answers a result code. Without client
    // the connection status (-2) and the product names (-9, -10) are answered here.
    virtual int32_t GetParamValue(const SV::ParamDescriptor& descriptor, SV::Variant& value);
    // Writes one value to the device side; answers a result code. The connection record (-4)
    // is answered here and ids -242 to -240 are refused.
    virtual int32_t SetParamValue(const SV::ParamDescriptor& descriptor, const SV::Variant& value);
    virtual int32_t SetParamValues(const SV::ParamValues& values);
    virtual bool IsDeviceConnected();
    // The remembered device id.
    virtual int32_t GetConnectedDeviceID(SV::Variant& deviceId);
    virtual int32_t DisconnectDevice();
    // `record` holds kDeviceInfoRecordSize bytes; byte kDeviceInfoPresentByte tells whether the
    // device is present.
    virtual int32_t GetDeviceInfo(const SV::Variant& deviceId, uint8_t* record);
    virtual int32_t GetDeviceText(SV::Variant& value);
    virtual int32_t SetDeviceText(const SV::Variant& value);
    virtual int32_t GetProductNameIndex(int32_t& index);

    // The receiver is not owned: whoever sets it keeps it alive while delivery can reach it, or
    // clears it first.
    void SetReceiver(DeviceCommunicationReceiver* receiver);
    // Switching off returns only after a delivery in progress has ended.
    void SetEnabled(bool enabled);
    void SetSleepFunction(SleepFunction sleep);

    // Two device lists are the same when they hold equal ids in the same order.
    static bool IsSameDeviceList(const SV::IArray<SV::Variant>& first,
                                 const SV::IArray<SV::Variant>& second);

    // Drops the device-communication thread's reference back to the interface.
    int32_t ReleaseHook() override;

    struct State;

private:
    friend class LDeviceCommunicationThreadWorker;

    // What the library calls on its own thread: queues a copy of the list and wakes the
    // device-communication thread.
    static void DeviceControlClientCallback(void* context, int32_t reserved,
                                            const SV::Variant* values);
    // Runs on the device-communication thread: hands every queued list, oldest first, to the
    // receiver while delivery is on, and drops them while it is off.
    int32_t DrainQueue();

    std::unique_ptr<State> mState;
};
