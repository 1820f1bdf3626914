#include "DeviceCommunicationInterface.h"

#include "DeviceControlClientInterface.h"
#include "ObjectBase/Holder.h"
#include "ResultCodes.h"
#include "Threads/Event.h"
#include "Threads/EventGatedThreader.h"
#include "Threads/Mutex.h"
#include "Threads/ThreadWorker.h"
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/RCPtrQueue.h"
#include "Utilities/Storage/StringT.h"

#include <atomic>
#include <chrono>
#include <new>
#include <thread>

// The device-communication thread's job.
class LDeviceCommunicationThreadWorker : public SV::LThreadWorker
{
public:
    int32_t Run(const SV::ConstRCPtr<SV::LRefCountedObject>& parameter) override
    {
        // The thread's own reference keeps the interface alive for the run.
        auto* communication = dynamic_cast<LDeviceCommunicationInterface*>(
            const_cast<SV::LRefCountedObject*>(parameter.Get()));
        return communication != nullptr ? communication->DrainQueue() : S_OK;
    }
};

using IncomingList = SV::LWrapper<SV::ParamValues, SV::LRefCountedObject>;

struct LDeviceCommunicationInterface::State
{
    // Guards the device id and the receiver; held while a connection record is delivered.
    SV::Mutex lock;
    SV::RCPtr<SV::LEventGatedThreader> thread;
    SV::RCPtr<SV::LEvent> gate;
    SV::Mutex queueLock;
    // Oldest first; it grows rather than drop a list.
    SV::RCPtrQueue<IncomingList, 256> queue{&queueLock};
    // Held while the thread hands lists to the receiver.
    SV::Mutex deliveryLock;
    SV::RCPtr<LDeviceCommunicationThreadWorker> worker;
    // Made once by LoadClientLibrary, read by every thread after; freed by the destructor.
    std::atomic<SV::DeviceControlClientInterface*> client{nullptr};
    SV::Variant deviceId;
    std::atomic<bool> enabled{false};
    DeviceCommunicationReceiver* receiver = nullptr;
    LDeviceCommunicationInterface* owner = nullptr;
    SleepFunction sleep;
};

namespace {

constexpr int32_t kNoClient = -1;
constexpr int32_t kNotConnected = -3;

// The names the interface answers for ids -9 and -10, by product-name index.
constexpr const char16_t* kProductNames[] = {u"Vudozi", u"Vedozi Duruzava Editor"};

void SleepFor(uint32_t milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// The library's answer to a remote-device query as a list of ids: one per record of a list
// that has records, none otherwise.
void TakeDeviceList(const SV::Variant& answer, SV::IArray<SV::Variant>& devices)
{
    const int32_t count = answer.GetType() == SV::Variant::kList ? answer.GetListItemCount() : 0;
    devices.SetCount(count);
    for (int32_t i = 0; i < count; ++i) {
        answer.GetListItem(i, *devices.At(i));
    }
}

// Library calls are made outside the interface's lock with a copy of the device id, so that a
// slow library never holds up the threads that only need the id.
SV::Variant CopyDeviceId(LDeviceCommunicationInterface::State& state)
{
    SV::MutexLock lock(state.lock);
    return state.deviceId;
}

const _GUID* KindData(const SV::IArray<_GUID>& kinds)
{
    return kinds.GetFirst();
}

} // namespace

LDeviceCommunicationInterface::LDeviceCommunicationInterface() : mState(std::make_unique<State>())
{
    mState->owner = this;
    mState->sleep = SleepFor;
    mState->worker = new LDeviceCommunicationThreadWorker();
    mState->gate = new SV::LEvent();
    // The thread's parameter is a reference back to this interface, counted as internal so
    // that the last outside release lets the release hook stop the thread.
    mState->thread = SV::LEventGatedThreader::Create(
        mState->gate, mState->worker, SV::ConstRCPtr<SV::LRefCountedObject>(this), 0);
    AddInternalRef();
}

LDeviceCommunicationInterface::~LDeviceCommunicationInterface()
{
    SetEnabled(false);
    // The thread's reference is gone by now (it was the last to keep this object), so this only
    // covers an interface that was never held.
    mState->thread = nullptr;
    if (SV::DeviceControlClientInterface* client = mState->client.exchange(nullptr)) {
        SV::Variant deviceId;
        {
            SV::MutexLock lock(mState->lock);
            deviceId = mState->deviceId;
        }
        client->DisconnectDevice(deviceId);
        // Releases everything in the library and unloads it: no callback comes after this.
        delete client;
    }
    SV::MutexLock lock(mState->lock);
    mState->receiver = nullptr;
}

int32_t LDeviceCommunicationInterface::ReleaseHook()
{
    if (mState->thread) {
        // Destroying the threader stops and joins the thread, which lets its reference go.
        mState->thread = nullptr;
        ReleaseInternalRef();
    }
    return SV::LRefCountedObject::ReleaseHook();
}

int32_t LDeviceCommunicationInterface::LoadClientLibrary()
{
    if (mState->client.load() != nullptr) {
        return S_FALSE;
    }
    auto* client = new (std::nothrow) SV::DeviceControlClientInterface();
    if (client == nullptr) {
        return E_FAIL;
    }
    mState->client.store(client);
    return S_OK;
}

bool LDeviceCommunicationInterface::IsConnected()
{
    return true;
}

bool LDeviceCommunicationInterface::NotifyConnectionState(int64_t value)
{
    SV::MutexLock lock(mState->lock);
    if (mState->receiver == nullptr) {
        return false;
    }
    const bool connected = IsConnected();
    SV::Variant record[2];
    record[0].SetData(SV::Variant::kInt64, &value, sizeof value);
    record[1].SetData(SV::Variant::kBool, &connected, sizeof connected);
    SV::Variant recordList;
    recordList.SetList(record, 2);
    SV::Array<SV::ParamValue> entries;
    entries.InsertAt(0, SV::ParamValue(kConnectionRecordParamID, SV::Variant(), recordList));
    SV::ParamValues values;
    values.SetFromArray(&entries, 1);
    mState->receiver->ReceiveParamValues(values);
    return connected;
}

void LDeviceCommunicationInterface::Synchronize()
{
    SV::MutexLock lock(mState->lock);
}

void LDeviceCommunicationInterface::OnReceiverReady()
{}

int32_t LDeviceCommunicationInterface::FindDevices(const SV::IArray<_GUID>& /*kinds*/,
                                                   SV::IArray<SV::Variant>& devices)
{
    devices.RemoveAll();
    devices.SetCount(1);
    return S_OK;
}

int32_t LDeviceCommunicationInterface::WaitForRemoteDevices(const SV::IArray<_GUID>& kinds,
                                                            SV::IArray<SV::Variant>& devices,
                                                            uint32_t milliseconds)
{
    SV::DeviceControlClientInterface* client = mState->client.load();
    if (client == nullptr) {
        return kNoClient;
    }
    SleepFunction sleep;
    {
        SV::MutexLock lock(mState->lock);
        sleep = mState->sleep;
    }
    SV::Array<SV::Variant> known;
    known.Append(devices);
    SV::Variant answer;
    for (uint32_t elapsed = 0;; elapsed += kRemoteDeviceWaitStepMilliseconds) {
        const int32_t result =
            client->FindRemoteDevices(KindData(kinds), kinds.GetCount(), answer, kRemoteDeviceWait);
        if (result < 0) {
            return E_FAIL;
        }
        TakeDeviceList(answer, devices);
        if (!IsSameDeviceList(devices, known)) {
            return S_OK;
        }
        if (elapsed >= milliseconds) {
            return S_FALSE;
        }
        sleep(kRemoteDeviceWaitStepMilliseconds);
    }
}

int32_t LDeviceCommunicationInterface::FindRemoteDevices(const SV::IArray<_GUID>& kinds,
                                                         SV::IArray<SV::Variant>& devices)
{
    SV::DeviceControlClientInterface* client = mState->client.load();
    if (client == nullptr) {
        return kNoClient;
    }
    SV::Variant answer;
    const int32_t result = client->FindRemoteDevices(KindData(kinds), kinds.GetCount(), answer,
                                                     kRemoteDeviceSingleQuery);
    if (result >= 0) {
        TakeDeviceList(answer, devices);
    }
    return result;
}

int32_t LDeviceCommunicationInterface::ConnectDevice(const SV::Variant& deviceId)
{
    SV::DeviceControlClientInterface* client = mState->client.load();
    if (client == nullptr) {
        return kNoClient;
    }
    {
        SV::MutexLock lock(mState->lock);
        mState->deviceId = deviceId;
    }
    return client->ConnectDevice(deviceId, &DeviceControlClientCallback, this);
}

int32_t LDeviceCommunicationInterface::RequestParamRanges(const SV::ParamRanges& ranges)
{
    SV::DeviceControlClientInterface* client = mState->client.load();
    if (client == nullptr) {
        return kNoClient;
    }
    return client->RequestParamRanges(CopyDeviceId(*mState), ranges);
}

int32_t LDeviceCommunicationInterface::RequestParamValues(const SV::ParamDescriptors& descriptors)
{
    SV::DeviceControlClientInterface* client = mState->client.load();
    if (client == nullptr) {
        return kNoClient;
    }
    return client->RequestParamValues(CopyDeviceId(*mState), descriptors);
}

int32_t LDeviceCommunicationInterface::RequestParamValue(const SV::ParamDescriptor& descriptor)
{
    SV::DeviceControlClientInterface* client = mState->client.load();
    if (client == nullptr) {
        return kNoClient;
    }
    SV::Variant entry[2];
    entry[0].SetData(SV::Variant::kInt32, &descriptor.id, sizeof descriptor.id);
    entry[1] = descriptor.subPart;
    SV::Variant entryList;
    entryList.SetList(entry, 2);
    SV::ParamDescriptors descriptors;
    descriptors.SetList(&entryList, 1);
    return client->RequestParamValues(CopyDeviceId(*mState), descriptors);
}

int32_t LDeviceCommunicationInterface::GetParamRanges(int32_t first, int32_t second)
{
    SV::DeviceControlClientInterface* client = mState->client.load();
    if (client == nullptr) {
        return kNoClient;
    }
    return client->GetParamRanges(CopyDeviceId(*mState), first, second);
}

int32_t LDeviceCommunicationInterface::GetParamValues(int32_t first, int32_t second)
{
    SV::DeviceControlClientInterface* client = mState->client.load();
    if (client == nullptr) {
        return kNoClient;
    }
    return client->GetParamValues(CopyDeviceId(*mState), first, second);
}

int32_t LDeviceCommunicationInterface::GetParamValue(const SV::ParamDescriptor& descriptor,
                                                     SV::Variant& value)
{
    SV::DeviceControlClientInterface* client = mState->client.load();
    if (client != nullptr) {
        return client->GetParamValue(CopyDeviceId(*mState), descriptor, value);
    }
    switch (descriptor.id) {
    case kConnectionStatusParamID: {
        const bool connected = IsConnected();
        value.SetData(SV::Variant::kBool, &connected, sizeof connected);
        return S_OK;
    }
    case kCompanyNameParamID:
    case kProductNameParamID: {
        int32_t index = 0;
        GetProductNameIndex(index);
        if (descriptor.id == kProductNameParamID) {
            ++index;
        }
        const SV::NarrowString name{SV::WideString(kProductNames[index])};
        value.SetString(name.GetText());
        return S_OK;
    }
    case kDeviceTextParamID:
        return GetDeviceText(value);
    default:
        return E_FAIL;
    }
}

int32_t LDeviceCommunicationInterface::SetParamValue(const SV::ParamDescriptor& descriptor,
                                                     const SV::Variant& value)
{
    {
        SV::MutexLock lock(mState->lock);
        if (mState->receiver == nullptr) {
            return E_FAIL;
        }
    }
    const int32_t id = descriptor.id;
    if (id == kConnectionRecordParamID) {
        return NotifyConnectionState(value.GetInt64()) ? S_OK : S_FALSE;
    }
    if (id >= kFirstRefusedParamID && id <= kLastRefusedParamID) {
        return E_FAIL;
    }
    SV::DeviceControlClientInterface* client = mState->client.load();
    if (client != nullptr) {
        return client->SetParamValue(CopyDeviceId(*mState), descriptor, value);
    }
    return id == kDeviceTextParamID ? SetDeviceText(value) : E_FAIL;
}

int32_t LDeviceCommunicationInterface::SetParamValues(const SV::ParamValues& values)
{
    SV::DeviceControlClientInterface* client = mState->client.load();
    if (client == nullptr) {
        return kNoClient;
    }
    return client->SetParamValues(CopyDeviceId(*mState), values);
}

bool LDeviceCommunicationInterface::IsDeviceConnected()
{
    return true;
}

int32_t LDeviceCommunicationInterface::GetConnectedDeviceID(SV::Variant& deviceId)
{
    if (mState->client.load() == nullptr) {
        return kNoClient;
    }
    {
        SV::MutexLock lock(mState->lock);
        deviceId = mState->deviceId;
    }
    return IsDeviceConnected() ? S_OK : kNotConnected;
}

int32_t LDeviceCommunicationInterface::DisconnectDevice()
{
    SV::DeviceControlClientInterface* client = mState->client.load();
    if (client == nullptr) {
        return kNoClient;
    }
    return client->DisconnectDevice(CopyDeviceId(*mState));
}

int32_t LDeviceCommunicationInterface::GetDeviceInfo(const SV::Variant& deviceId, uint8_t* record)
{
    SV::DeviceControlClientInterface* client = mState->client.load();
    if (client == nullptr) {
        return kNoClient;
    }
    return client->GetDeviceInfo(deviceId, record);
}

int32_t LDeviceCommunicationInterface::GetDeviceText(SV::Variant& value)
{
    SV::DeviceControlClientInterface* client = mState->client.load();
    if (client == nullptr) {
        return kNoClient;
    }
    return client->GetParamValue(CopyDeviceId(*mState), SV::ParamDescriptor(kDeviceTextParamID),
                                 value);
}

int32_t LDeviceCommunicationInterface::SetDeviceText(const SV::Variant& value)
{
    SV::DeviceControlClientInterface* client = mState->client.load();
    if (client == nullptr) {
        return kNoClient;
    }
    return client->SetParamValue(CopyDeviceId(*mState), SV::ParamDescriptor(kDeviceTextParamID),
                                 value);
}

int32_t LDeviceCommunicationInterface::GetProductNameIndex(int32_t& index)
{
    index = 0;
    return S_OK;
}

bool LDeviceCommunicationInterface::IsSameDeviceList(const SV::IArray<SV::Variant>& first,
                                                     const SV::IArray<SV::Variant>& second)
{
    if (first.GetCount() != second.GetCount()) {
        return false;
    }
    for (int32_t i = 0; i < first.GetCount(); ++i) {
        if (!first.At(i)->IsEqual(*second.At(i))) {
            return false;
        }
    }
    return true;
}

void LDeviceCommunicationInterface::SetReceiver(DeviceCommunicationReceiver* receiver)
{
    SV::MutexLock lock(mState->lock);
    mState->receiver = receiver;
}

void LDeviceCommunicationInterface::SetEnabled(bool enabled)
{
    mState->enabled.store(enabled);
    if (!enabled) {
        // A drain holds this lock for its whole run: once it is ours, nothing is delivered any
        // more.
        SV::MutexLock lock(mState->deliveryLock);
    }
}

void LDeviceCommunicationInterface::SetSleepFunction(SleepFunction sleep)
{
    SV::MutexLock lock(mState->lock);
    mState->sleep = sleep ? std::move(sleep) : SleepFunction(SleepFor);
}

void LDeviceCommunicationInterface::DeviceControlClientCallback(void* context, int32_t /*reserved*/,
                                                                const SV::Variant* values)
{
    auto* communication = static_cast<LDeviceCommunicationInterface*>(context);
    if (communication == nullptr) {
        return;
    }
    // The library may reuse its data as soon as this returns: the list is copied, and the
    // model is left to the device-communication thread.
    SV::RCPtr<IncomingList> copy(values != nullptr ? new IncomingList(SV::ParamValues(*values))
                                                   : new IncomingList());
    State& state = *communication->mState;
    state.queue.Enqueue(copy);
    state.gate->Set();
}

int32_t LDeviceCommunicationInterface::DrainQueue()
{
    SV::MutexLock delivery(mState->deliveryLock);
    // This thread is the only one that takes lists out, so a list counted is there to take.
    while (mState->queue.GetCount() > 0) {
        const SV::RCPtr<IncomingList> values = mState->queue.Dequeue();
        DeviceCommunicationReceiver* receiver = nullptr;
        {
            SV::MutexLock lock(mState->lock);
            receiver = mState->receiver;
        }
        if (values && mState->enabled.load() && receiver != nullptr) {
            receiver->ReceiveParamValues(values->GetValue());
        }
    }
    return S_OK;
}
