// The single owner of the keyboard's data model at run time: it creates the device-communication
// interface, the parameter cache and the model's root, connects the model to the keyboard through
// the device-control client library when that library is present, and turns every change of the
// model into a notification on the program-wide notification centre, "application". It is the one
// door through which values enter the model (edits, program files, program replies) and from
// which the MIDI exchange and the program-file writer read it.
//
// A thread of its own watches whether the connected device is present, finishes pending
// connections and, once switched on, polls the list of remote devices.
#pragma once

#include "DeviceCommunicationInterface.h"
#include "Notification/Notification.h"
#include "Notification/NotificationClient.h"
#include "Notification/NotificationHandler.h"
#include "ObjectBase/Holder.h"
#include "ObjectBase/RCPtr.h"
#include "ParamCache.h"
#include "RootModule.h"
#include "Threads/Event.h"
#include "Threads/Mutex.h"
#include "Threads/RetriggerableThreader.h"
#include "Threads/ThreadWorker.h"
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/Pair.h"
#include "Utilities/Storage/ParamValues.h"
#include "Utilities/Storage/Variant.h"

#include <atomic>
#include <cstdint>
#include <functional>

// The text of a changed value's notification payload: its id, as an unsigned number.
SV::WideString ParamDescriptorToString(const SV::ParamDescriptor& descriptor);

// The payloads of "NID_PARAM_MODULE_STATE_CHANGE": one changed value, or a list of more than two.
using ParamValuePair = SV::LPair<SV::ParamDescriptor, SV::Variant, ParamDescriptorToString>;
using ParamValueList = SV::LWrapper<SV::ParamValues, SV::LRefCountedObject>;

class LRootModuleEngine : public SV::LNotificationClient, public SV::LThreadWorker
{
public:
    // The engine produces 0, 1 and 3; 2 belongs to the enumeration only.
    enum DeviceConnectionState : int32_t
    {
        kNoDevice = 0,
        kConnectionPending = 1,
        kDeviceKnown = 2,
        kConnected = 3,
    };

    // The thread's pause between two checks, and the longest remote-device wait.
    static constexpr uint32_t kPollIntervalMilliseconds = 1500;
    // Waiting remote-device queries between two fresh ones.
    static constexpr int32_t kWaitingQueriesPerRound = 8;
    // How often, and how far apart, a stop request checks whether the thread has ended; each
    // check returns as soon as the thread's run is over.
    static constexpr int32_t kStopChecks = 10000;
    static constexpr uint32_t kStopCheckMilliseconds = 1;

    using SleepFunction = std::function<void(uint32_t milliseconds)>;

    // How the engine waits. `pause` serves the thread's pauses and the library waits of the
    // interface (1500 and 250 ms), `stopCheck` the checks of a stop request (1 ms). Tests give
    // functions of their own so that nothing waits for real; empty functions sleep.
    struct Timing
    {
        SleepFunction pause;
        SleepFunction stopCheck;
    };

    LRootModuleEngine();
    // Switches the root's receiving off and stops and joins the thread before anything it uses
    // is released.
    ~LRootModuleEngine() override;

    // Before Initialize.
    void SetTiming(Timing timing);

    // Registers for "NID_PARAM_MODULE_CHANGE_REQ" on the "application" centre, creates the
    // interface, the cache and the root numbered from `firstParamID`, loads the library (or
    // stays local when no client can be made), posts the model's values and connects to the
    // device when there is a client. 0, or E_FAIL when the handler table cannot be made; a
    // failed registration throws SV::Exception<SV::FailedResultException>.
    virtual int32_t Initialize(int32_t firstParamID);

    // Only in the connected state (E_FAIL otherwise): the root's answer; a refusal re-evaluates
    // the connection state. Any thread.
    virtual int32_t SetParamValue(const SV::ParamDescriptor& descriptor, const SV::Variant& value);
    // Entry start + k gets id first + k with its value. A negative start empties `values` first
    // and counts as 0; `values` grows to start + count when shorter. 0 (E_FAIL before
    // Initialize).
    virtual int32_t GetParamValues(const SV::ParamIdRange& range,
                                   SV::IArray<SV::ParamValue>& values, int32_t startIndex);
    // The first id given to Initialize.
    virtual int32_t GetFirstParamID() const;

    // Switching on asks the library once (the answer is kept for later calls) and starts the
    // thread when it answered: that answer, 0 or 1, or the failure, which leaves polling off.
    // 0 when nothing changes or when switching off.
    virtual int32_t EnableRemoteDevicePolling(bool on);
    // The thread's last list while polling; otherwise the library's list of this moment.
    virtual int32_t GetRemoteDevices(SV::IArray<SV::Variant>& devices);

    DeviceConnectionState GetConnectionState() const;
    // The process's device-communication object, made by Initialize; empty before.
    SV::RCPtr<LDeviceCommunicationInterface> GetDeviceCommunicationInterface() const
    {
        return mInterface;
    }
    bool IsInitialized() const { return mInitialized.load(); }
    // The thread counts as running from its start until its loop has returned.
    bool IsThreadRunning();

    // Connects the model to `deviceId` under the engine's lock and starts the thread when the
    // device is present. A failed connection to a present device stays pending when asked to
    // (the thread retries it). The root's answer.
    int32_t ConnectToDevice(const SV::Variant& deviceId, bool keepPending);
    // Forgets the device and any pending connection; the interface's answer.
    int32_t Disconnect();
    // The device id is set and the library reports that device present.
    bool IsDevicePresent();
    // 3 when the interface reports a connection, else 1 while a connection is pending, else 0;
    // a change is posted as "NID_DEVICE_CONNECTION_STATE_CHANGE".
    void UpdateConnectionState();
    // 0 when started, 1 when it runs already, E_FAIL when a stopping thread would not end.
    int32_t StartThread();
    // true once the thread no longer runs; gives up after kStopChecks checks.
    bool StopThreadAndWait();
    // Asks the thread to end when there is nothing left to watch.
    void StopThreadIfIdle();

    // The thread's loop; 0.
    int32_t Run(const SV::ConstRCPtr<SV::LRefCountedObject>& parameter) override;

    // Handed to the handler table once the engine is initialized.
    void Receive(const SV::ConstRCPtr<SV::LNotificationDistributor>& sender,
                 const SV::ConstRCPtr<SV::LNotification>& notification) override;
    // Drops the table entry, then the registration.
    int32_t Unregister(const SV::RCPtr<SV::LNotificationDistributor>& distributor,
                       const char16_t* name) override;
    // Stops the thread and waits for it before the engine lets its registrations go.
    int32_t ReleaseHook() override;

    // "NID_PARAM_MODULE_CHANGE_REQ": sets the pair's value in the connected state; 1.
    int32_t OnParamModuleChangeRequest(const SV::ConstRCPtr<SV::LNotificationDistributor>& sender,
                                       const SV::ConstRCPtr<SV::LNotification>& notification);

protected:
    // The interface Initialize creates; tests put one of their own here.
    virtual SV::RCPtr<LDeviceCommunicationInterface> CreateDeviceCommunicationInterface();
    // Posts a notification to the "application" centre's queue; safe from any thread.
    virtual void PostNotification(const char16_t* name,
                                  const SV::ConstRCPtr<SV::LRefCountedObject>& payload);
    // One list notification for more than 2 values, one pair notification per value otherwise.
    void PostValueChanges(SV::IArray<SV::ParamValue>& values);

private:
    // The root's listener.
    static void OnRootModuleChange(void* context, SV::IArray<SV::ParamValue>* values);
    int32_t FindDevices(SV::IArray<SV::Variant>& devices);
    // Byte kDeviceInfoPresentByte of the device's record; under the lock.
    bool IsPresentLocked(const SV::Variant& deviceId);
    void PostConnectionState(DeviceConnectionState state);
    void PostRemoteDeviceCount(int32_t count);
    // Waits the time, or less when a stop is requested meanwhile.
    void Pause(uint32_t milliseconds);
    // The thread's loop ends at its next check; a pause under way ends at once.
    void RequestStop();
    void ClearStop();

    SV::RCPtr<SV::LNotificationHandler<LRootModuleEngine>> mHandler;
    std::atomic<bool> mInitialized{false};
    bool mLocalMode = false;
    std::atomic<bool> mStopRequested{true};
    // Set with every stop request, so that the thread's pauses wait on it rather than sleep.
    SV::TrafficLight mStopEvent;
    bool mConnectPending = false;
    std::atomic<bool> mPollingOn{false};
    bool mProbeDone = false;
    std::atomic<bool> mConnecting{false};
    int32_t mProbeResult = 0;
    std::atomic<int32_t> mConnectionState{kNoDevice};
    SV::Array<SV::Variant> mRemoteDevices;
    SV::Variant mDeviceId;
    SV::RCPtr<LDeviceCommunicationInterface> mInterface;
    SV::RCPtr<LParamCache> mCache;
    SV::RCPtr<LRootModule> mRoot;
    Timing mTiming;
    // Guards the device id, the remote-device list, the pending flag and every connect or
    // disconnect.
    SV::Mutex mLock;
    // Set by the thread once its run has ended, so that a stop returns the moment it does.
    const SV::RCPtr<SV::LEvent> mThreadDone{new SV::LEvent()};
    // Declared after the lock so that it is destroyed, and its thread stopped and joined, while
    // the lock and everything the loop touches still exist.
    SV::RetriggerableThreader mThread;
};

// What the engine needs of the application object that owns it: the way other code reaches the
// program's engine. The application registers itself while it holds an engine.
class IRootModuleEngineHost
{
public:
    virtual SV::RCPtr<LRootModuleEngine> GetRootModuleEngine() = 0;

protected:
    ~IRootModuleEngineHost() = default;
};

// Registers the application object (null when it goes).
void SetRootModuleEngineHost(IRootModuleEngineHost* host);
// The application's engine; null without an application or an engine.
SV::RCPtr<LRootModuleEngine> GetRootModuleEngine();
