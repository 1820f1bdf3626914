#include "RootModuleEngine.h"

#include "EngineNotificationNames.h"
#include "Notification/NotificationCenter.h"
#include "ObjectBase/Exception.h"
#include "ObjectBase/Holder.h"
#include "ResultCodes.h"
#include "ThreadPriority.h"
#include "Utilities/Storage/Pair.h"

#include <new>

SV::WideString ParamDescriptorToString(const SV::ParamDescriptor& descriptor)
{
    return SV::UIntToString(static_cast<uint32_t>(descriptor.id), 0);
}

namespace {

std::atomic<IRootModuleEngineHost*> gHost{nullptr};

// The program-wide bus as the engine posts to it from any thread: found, never created, since
// the centre list belongs to the user-interface thread (the application made the centre long
// before).
SV::RCPtr<SV::LNotificationCenter> FindApplicationCenter()
{
    return SV::GetNotificationCenterManager()->FindCenter(SV::GetApplicationCenterName());
}

void CopyDevices(const SV::IArray<SV::Variant>& from, SV::IArray<SV::Variant>& to)
{
    to.RemoveAll();
    to.Append(from);
}

} // namespace

void SetRootModuleEngineHost(IRootModuleEngineHost* host)
{
    gHost.store(host);
}

SV::RCPtr<LRootModuleEngine> GetRootModuleEngine()
{
    IRootModuleEngineHost* host = gHost.load();
    return host != nullptr ? host->GetRootModuleEngine() : nullptr;
}

LRootModuleEngine::LRootModuleEngine() : mThread(SV::WideString())
{}

LRootModuleEngine::~LRootModuleEngine()
{
    // The loop ends at its next check; the thread object, destroyed before the lock and the
    // model, then waits for it.
    RequestStop();
    if (mRoot) {
        mRoot->DisableReceiving();
    }
    if (mInterface) {
        mInterface->SetSleepFunction(nullptr);
    }
}

void LRootModuleEngine::SetTiming(Timing timing)
{
    mTiming = std::move(timing);
}

int32_t LRootModuleEngine::Initialize(int32_t firstParamID)
{
    mHandler = new (std::nothrow) SV::LNotificationHandler<LRootModuleEngine>(this);
    if (!mHandler) {
        return E_FAIL;
    }
    const SV::RCPtr<SV::LNotificationCenter> center =
        SV::GetNotificationCenterManager()->GetCenter(SV::GetApplicationCenterName());
    const int32_t registered = mHandler->RegisterHandler(
        &LRootModuleEngine::OnParamModuleChangeRequest, center, SV::kNidParamModuleChangeRequest);
    if (registered < 0) {
        throw SV::Exception<SV::FailedResultException>(SV::FormatFailedResult(
            registered, "LRootModuleEngine::Initialize", "Engine\\RootModuleEngine", 237));
    }

    mInterface = CreateDeviceCommunicationInterface();
    mCache = new LParamCache(static_cast<uint32_t>(IRootModule::kParamCount));
    // The interface's waits between remote-device queries end early on a stop, like the
    // thread's own pauses.
    mInterface->SetSleepFunction([this](uint32_t milliseconds) { Pause(milliseconds); });

    mLocalMode = false;
    SV::Array<SV::Variant> devices;
    if (mInterface->LoadClientLibrary() < 0) {
        mLocalMode = true;
    } else {
        FindDevices(devices);
    }

    mRoot = LRootModule::Create(mLocalMode);
    mRoot->Initialize(&OnRootModuleChange, this, mCache, mInterface, firstParamID);
    mInitialized.store(true);

    // The editor starts from the model's values: all four in one list notification.
    const SV::ParamDescriptors ids =
        SV::ParamDescriptors::FromIdRange({firstParamID, IRootModule::kParamCount});
    SV::Array<SV::ParamValue> current;
    for (int32_t k = 0; k < IRootModule::kParamCount; ++k) {
        int32_t id = 0;
        SV::Variant subPart;
        static_cast<void>(ids.GetDescriptor(k, id, subPart)); // built here: every entry reads
        SV::ParamValue entry(id, subPart, SV::Variant());
        mRoot->GetParamValue(entry.descriptor, entry.value);
        current.InsertAt(k, entry);
    }
    PostValueChanges(current);

    // Whether or not the library file loaded, this makes the state connected: values are
    // accepted from now on, and without the library the root keeps them in its cache.
    if (!mLocalMode && devices.GetCount() > 0) {
        ConnectToDevice(*devices.At(0), false);
    }
    return S_OK;
}

int32_t LRootModuleEngine::SetParamValue(const SV::ParamDescriptor& descriptor,
                                         const SV::Variant& value)
{
    if (mConnectionState.load() != kConnected || !mRoot) {
        return E_FAIL;
    }
    const int32_t result = mRoot->SetParamValue(descriptor, value);
    if (result < 0) {
        UpdateConnectionState();
    }
    return result;
}

int32_t LRootModuleEngine::GetParamValues(const SV::ParamIdRange& range,
                                          SV::IArray<SV::ParamValue>& values, int32_t startIndex)
{
    if (!mRoot) {
        return E_FAIL;
    }
    if (startIndex < 0) {
        values.RemoveAll();
        startIndex = 0;
    }
    const int32_t count = range.count > 0 ? range.count : 0;
    const int64_t needed = int64_t(startIndex) + count;
    if (needed > SV::IArray<SV::ParamValue>::kMaxCount) {
        return E_INVALIDARG;
    }
    if (values.GetCount() < needed && values.SetCount(static_cast<int32_t>(needed)) != needed) {
        return E_FAIL;
    }
    for (int32_t k = 0; k < count; ++k) {
        SV::ParamValue& entry = *values.At(startIndex + k);
        entry.descriptor.id = static_cast<int32_t>(static_cast<uint32_t>(range.firstId) + k);
        entry.descriptor.subPart.Clear();
        SV::Variant value;
        mRoot->GetParamValue(entry.descriptor, value);
        entry.value = std::move(value);
    }
    return S_OK;
}

int32_t LRootModuleEngine::GetFirstParamID() const
{
    return mRoot ? mRoot->GetFirstParamID() : 0;
}

int32_t LRootModuleEngine::EnableRemoteDevicePolling(bool on)
{
    if (on == mPollingOn.load()) {
        return S_OK;
    }
    mPollingOn.store(on);
    if (!on) {
        StopThreadIfIdle();
        return S_OK;
    }
    if (!mProbeDone) {
        if (!mInterface) {
            mPollingOn.store(false);
            return E_FAIL;
        }
        // One question, never repeated: without the library polling can never be switched on.
        const SV::Array<_GUID> noKinds;
        SV::Array<SV::Variant> devices;
        mProbeResult = mInterface->WaitForRemoteDevices(noKinds, devices, 0);
        mProbeDone = true;
    }
    if (mProbeResult < 0) {
        mPollingOn.store(false);
        return mProbeResult;
    }
    StartThread();
    return mProbeResult;
}

int32_t LRootModuleEngine::GetRemoteDevices(SV::IArray<SV::Variant>& devices)
{
    if (mPollingOn.load()) {
        SV::MutexLock lock(mLock);
        CopyDevices(mRemoteDevices, devices);
        return S_OK;
    }
    if (!mInterface) {
        return E_FAIL;
    }
    {
        SV::MutexLock lock(mLock);
        mRemoteDevices.RemoveAll();
    }
    const SV::Array<_GUID> noKinds;
    SV::Array<SV::Variant> current;
    const int32_t result = mInterface->WaitForRemoteDevices(noKinds, current, 0);
    if (result < 0) {
        return result;
    }
    SV::MutexLock lock(mLock);
    mRemoteDevices = current;
    CopyDevices(mRemoteDevices, devices);
    return S_OK;
}

LRootModuleEngine::DeviceConnectionState LRootModuleEngine::GetConnectionState() const
{
    return static_cast<DeviceConnectionState>(mConnectionState.load());
}

int32_t LRootModuleEngine::ConnectToDevice(const SV::Variant& deviceId, bool keepPending)
{
    if (!mRoot) {
        return E_FAIL;
    }
    mConnecting.store(true);
    Disconnect();
    int32_t result = E_FAIL;
    bool start = false;
    {
        SV::MutexLock lock(mLock);
        result = mRoot->ConnectDevice(deviceId);
        const bool known = deviceId.GetType() != SV::Variant::kEmpty;
        if (result >= 0) {
            mDeviceId = deviceId;
            start = known && IsPresentLocked(deviceId);
        } else if (keepPending) {
            if (known && IsPresentLocked(deviceId)) {
                mConnectPending = true;
                mDeviceId = deviceId;
                start = true;
            }
        } else {
            mDeviceId.Clear();
        }
    }
    // Started after the lock is left: a stopping thread may be waiting for the lock, and the
    // start waits for that thread to end.
    if (start) {
        StartThread();
    }
    mConnecting.store(false);
    UpdateConnectionState();
    StopThreadIfIdle();
    return result;
}

int32_t LRootModuleEngine::Disconnect()
{
    int32_t result = E_FAIL;
    {
        SV::MutexLock lock(mLock);
        mConnectPending = false;
        mDeviceId.Clear();
        if (mInterface) {
            result = mInterface->DisconnectDevice();
        }
    }
    if (!mConnecting.load()) {
        UpdateConnectionState();
        StopThreadIfIdle();
    }
    return result;
}

bool LRootModuleEngine::IsDevicePresent()
{
    SV::MutexLock lock(mLock);
    return mDeviceId.GetType() != SV::Variant::kEmpty && IsPresentLocked(mDeviceId);
}

bool LRootModuleEngine::IsPresentLocked(const SV::Variant& deviceId)
{
    uint8_t record[kDeviceInfoRecordSize] = {};
    return mInterface && mInterface->GetDeviceInfo(deviceId, record) >= 0 &&
           record[kDeviceInfoPresentByte] != 0;
}

void LRootModuleEngine::UpdateConnectionState()
{
    SV::MutexLock lock(mLock);
    DeviceConnectionState state = kNoDevice;
    if (mInterface && mInterface->IsDeviceConnected()) {
        state = kConnected;
    } else if (mConnectPending) {
        state = kConnectionPending;
    }
    if (mConnectionState.exchange(state) != state) {
        PostConnectionState(state);
    }
}

bool LRootModuleEngine::IsThreadRunning()
{
    return mThread.IsBusy();
}

int32_t LRootModuleEngine::StartThread()
{
    if (IsThreadRunning()) {
        if (!mStopRequested.load()) {
            return S_FALSE;
        }
        StopThreadAndWait();
        if (IsThreadRunning()) {
            return E_FAIL;
        }
    }
    ClearStop();
    const int32_t result = mThread.Trigger(SV::RCPtr<SV::LThreadWorker>(this), nullptr, mThreadDone,
                                           THREAD_PRIORITY_NORMAL);
    if (result < 0) {
        RequestStop();
        return result;
    }
    return S_OK;
}

bool LRootModuleEngine::StopThreadAndWait()
{
    if (!IsThreadRunning()) {
        return true;
    }
    RequestStop();
    // The loop cannot wait for itself to end.
    if (mThread.GetThread().GetId() == svp::GetCurrentThreadId()) {
        return false;
    }
    const SleepFunction& stopCheck = mTiming.stopCheck;
    for (int32_t check = 0; check < kStopChecks && IsThreadRunning(); ++check) {
        if (stopCheck) {
            stopCheck(kStopCheckMilliseconds);
        } else {
            (void)mThreadDone->Wait(static_cast<int32_t>(kStopCheckMilliseconds));
        }
    }
    return !IsThreadRunning();
}

void LRootModuleEngine::StopThreadIfIdle()
{
    if (!IsThreadRunning() || mStopRequested.load() || mPollingOn.load() || mConnecting.load()) {
        return;
    }
    const int32_t state = mConnectionState.load();
    if (state == kNoDevice || (state == kConnected && !IsDevicePresent())) {
        RequestStop();
    }
}

int32_t LRootModuleEngine::Run(const SV::ConstRCPtr<SV::LRefCountedObject>& /*parameter*/)
{
    // The thread's job holds the engine for the run: counted as internal, so that the last
    // outside release still reaches the release hook, which stops this loop.
    AddInternalRef();
    // Everything the loop reports goes to the centre: without one there is nothing to do.
    SV::RCPtr<SV::LNotificationCenter> center = FindApplicationCenter();
    const SV::Array<_GUID> noKinds;
    SV::Array<SV::Variant> devices;
    int32_t waits = 0;
    bool lastAnsweredOne = false;
    while (center && !mStopRequested.load()) {
        bool present = false;
        {
            SV::MutexLock lock(mLock);
            present = mDeviceId.GetType() != SV::Variant::kEmpty && IsPresentLocked(mDeviceId);
        }
        if (present) {
            UpdateConnectionState();
            SV::MutexLock lock(mLock);
            // A pending connection is tried again now that its device is there.
            if (mConnectionState.load() == kConnectionPending &&
                mDeviceId.GetType() != SV::Variant::kEmpty &&
                mRoot->ConnectDevice(mDeviceId) >= 0) {
                mConnectPending = false;
                mConnectionState.store(kConnected);
                PostConnectionState(kConnected);
            }
        }

        if (!mPollingOn.load()) {
            Pause(kPollIntervalMilliseconds);
        } else if (!lastAnsweredOne && waits < kWaitingQueriesPerRound) {
            ++waits;
            {
                SV::MutexLock lock(mLock);
                CopyDevices(mRemoteDevices, devices);
            }
            const int32_t result =
                mInterface->WaitForRemoteDevices(noKinds, devices, kPollIntervalMilliseconds);
            if (result == S_OK && !mStopRequested.load()) {
                SV::MutexLock lock(mLock);
                CopyDevices(devices, mRemoteDevices);
                PostRemoteDeviceCount(mRemoteDevices.GetCount());
            }
        } else {
            waits = 0;
            devices.RemoveAll();
            const int32_t result = mInterface->FindRemoteDevices(noKinds, devices);
            if (mStopRequested.load()) {
                continue;
            }
            if (result >= 0) {
                lastAnsweredOne = result == S_FALSE;
                SV::MutexLock lock(mLock);
                if (!LDeviceCommunicationInterface::IsSameDeviceList(devices, mRemoteDevices)) {
                    CopyDevices(devices, mRemoteDevices);
                    PostRemoteDeviceCount(mRemoteDevices.GetCount());
                }
            }
            Pause(kPollIntervalMilliseconds);
        }
    }
    center = nullptr;
    ReleaseInternalRef();
    return S_OK;
}

void LRootModuleEngine::Receive(const SV::ConstRCPtr<SV::LNotificationDistributor>& sender,
                                const SV::ConstRCPtr<SV::LNotification>& notification)
{
    if (mHandler && mInitialized.load()) {
        mHandler->HandleNotification(sender, notification);
    }
}

int32_t LRootModuleEngine::Unregister(const SV::RCPtr<SV::LNotificationDistributor>& distributor,
                                      const char16_t* name)
{
    if (mHandler) {
        mHandler->UnregisterHandler(distributor, name);
    }
    return SV::LNotificationClient::Unregister(distributor, name);
}

int32_t LRootModuleEngine::ReleaseHook()
{
    StopThreadAndWait();
    return SV::LNotificationClient::ReleaseHook();
}

int32_t LRootModuleEngine::OnParamModuleChangeRequest(
    const SV::ConstRCPtr<SV::LNotificationDistributor>& /*sender*/,
    const SV::ConstRCPtr<SV::LNotification>& notification)
{
    const auto* request =
        notification ? dynamic_cast<const ParamValuePair*>(notification->GetPayload().Get())
                     : nullptr;
    if (request != nullptr && mConnectionState.load() == kConnected && mRoot) {
        if (mRoot->SetParamValue(request->first, request->second) < 0) {
            UpdateConnectionState();
        }
    }
    return 1;
}

SV::RCPtr<LDeviceCommunicationInterface> LRootModuleEngine::CreateDeviceCommunicationInterface()
{
    return SV::RCPtr<LDeviceCommunicationInterface>(new LDeviceCommunicationInterface());
}

void LRootModuleEngine::PostNotification(const char16_t* name,
                                         const SV::ConstRCPtr<SV::LRefCountedObject>& payload)
{
    // Delivered later on the user-interface thread, whatever thread made the change.
    if (const SV::RCPtr<SV::LNotificationCenter> center = FindApplicationCenter()) {
        center->Post(SV::CreateNotification(name, payload));
    }
}

void LRootModuleEngine::PostValueChanges(SV::IArray<SV::ParamValue>& values)
{
    const int32_t count = values.GetCount();
    if (count > 2) {
        // A whole program is one notification, not one per value.
        SV::RCPtr<ParamValueList> list(new ParamValueList());
        static_cast<void>(list->SetFromArray(&values, count)); // values of the model: they build
        PostNotification(SV::kNidParamModuleStateChange, list);
        return;
    }
    for (int32_t i = 0; i < count; ++i) {
        const SV::ParamValue& entry = *values.At(i);
        PostNotification(
            SV::kNidParamModuleStateChange,
            SV::RCPtr<ParamValuePair>(new ParamValuePair(entry.descriptor, entry.value)));
    }
}

void LRootModuleEngine::OnRootModuleChange(void* context, SV::IArray<SV::ParamValue>* values)
{
    if (context != nullptr && values != nullptr) {
        static_cast<LRootModuleEngine*>(context)->PostValueChanges(*values);
    }
}

int32_t LRootModuleEngine::FindDevices(SV::IArray<SV::Variant>& devices)
{
    const SV::Array<_GUID> noKinds;
    return mInterface->FindDevices(noKinds, devices);
}

void LRootModuleEngine::PostConnectionState(DeviceConnectionState state)
{
    PostNotification(SV::kNidDeviceConnectionStateChange,
                     SV::RCPtr<SV::LHolder<DeviceConnectionState>>(
                         new SV::LHolder<DeviceConnectionState>(state)));
}

void LRootModuleEngine::PostRemoteDeviceCount(int32_t count)
{
    PostNotification(
        SV::kNidRemoteDeviceListChange,
        SV::RCPtr<SV::LHolder<uint32_t>>(new SV::LHolder<uint32_t>(static_cast<uint32_t>(count))));
}

void LRootModuleEngine::Pause(uint32_t milliseconds)
{
    if (mTiming.pause) {
        mTiming.pause(milliseconds);
    } else {
        mStopEvent.Wait(static_cast<int32_t>(milliseconds));
    }
}

void LRootModuleEngine::RequestStop()
{
    mStopRequested.store(true);
    mStopEvent.Set();
}

void LRootModuleEngine::ClearStop()
{
    mStopEvent.Reset();
    mStopRequested.store(false);
}
