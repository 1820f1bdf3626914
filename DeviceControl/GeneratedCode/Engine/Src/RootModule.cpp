#include "RootModule.h"

#include "ResultCodes.h"
#include "Threads/Mutex.h"
#include "Utilities/Storage/Array.h"

// The root's lock and the list each change is reported with.
struct LRootModule::State
{
    // Re-entrant: the road from a leaf back up to the root, and the connection record the
    // interface hands back, come in again on the same thread.
    SV::Mutex lock;
    // Exactly one entry, overwritten with every change.
    SV::Array<SV::ParamValue> outgoing;
};

namespace {

// The cache index of `id`: its offset from the root's first id, taken as unsigned so that ids
// below the first one fall outside too.
uint32_t CacheIndex(int32_t id, int32_t firstParamID)
{
    return static_cast<uint32_t>(id) - static_cast<uint32_t>(firstParamID);
}

} // namespace

SV::RCPtr<LRootModule> LRootModule::Create(bool localMode)
{
    SV::RCPtr<LRootModule> root(new LRootModule(localMode));
    root->CreateDevice();
    return root;
}

LRootModule::LRootModule(bool localMode) : mState(std::make_unique<State>())
{
    SetLocalMode(localMode);
    mState->outgoing.SetCount(1);
}

LRootModule::~LRootModule()
{
    if (mCommunication) {
        mCommunication->SetEnabled(false);
        mCommunication->DisconnectDevice();
        // The interface keeps its receiver as a plain pointer: it must not reach this root once
        // it is gone (a connection record set through the interface would otherwise land in
        // freed memory).
        mCommunication->SetReceiver(nullptr);
    }
}

void LRootModule::CreateDevice()
{
    mDevice = LDevice::Create();
}

int32_t LRootModule::Initialize(Listener listener, void* listenerContext,
                                const SV::RCPtr<LParamCache>& cache,
                                const SV::RCPtr<LDeviceCommunicationInterface>& communication,
                                int32_t firstParamID)
{
    mListener = listener;
    mListenerContext = listenerContext;
    mCache = cache;
    mCommunication = communication;

    SetFirstParamID(nullptr, firstParamID, 0);

    if (mCache) {
        for (int32_t k = 0; k < kParamCount; ++k) {
            const int32_t id = static_cast<int32_t>(static_cast<uint32_t>(firstParamID) + k);
            if (const SV::RCPtr<LParameterizedModule> module = GetModuleForParamID(id)) {
                mCache->SetValue(SV::ParamDescriptor(k), module->GetParamValueDefault(id), false);
            }
        }
    }

    if (mCommunication) {
        mCommunication->SetReceiver(this);
        mCommunication->SetEnabled(true);
        mCommunication->OnReceiverReady();
    }
    return S_OK;
}

int32_t LRootModule::ConnectDevice(const SV::Variant& deviceId)
{
    if (!mCommunication) {
        return E_FAIL;
    }
    mCommunication->DisconnectDevice();
    const int32_t result = mCommunication->ConnectDevice(deviceId);
    if (result < 0) {
        SetLocalMode(true);
        return result;
    }
    SetLocalMode(false);
    // The device is asked for the root's values and its text; the answers come back through
    // the receiver, so the requests' own results do not matter here.
    const SV::ParamIdRange range{GetFirstParamID(), kParamCount};
    SV::ParamRanges ranges;
    if (ranges.SetRanges(&range, 1) == S_OK) {
        mCommunication->RequestParamRanges(ranges);
    }
    mCommunication->RequestParamValue(
        SV::ParamDescriptor(LDeviceCommunicationInterface::kDeviceTextParamID));
    return result;
}

void LRootModule::OnParamValueChanged(const SV::ParamDescriptor& descriptor,
                                      const SV::Variant& value)
{
    SV::MutexLock lock(mState->lock);
    SV::ParamValue& entry = *mState->outgoing.At(0);
    entry.descriptor.id = descriptor.id;
    entry.descriptor.subPart = descriptor.subPart;
    entry.value = value;
    NotifyListener(&mState->outgoing);
}

SV::RCPtr<LDeviceCommunicationInterface> LRootModule::GetDeviceCommunicationInterface()
{
    return mCommunication;
}

int32_t LRootModule::SetParamValue(const SV::ParamDescriptor& descriptor, const SV::Variant& value)
{
    SV::MutexLock lock(mState->lock);
    if (descriptor.id == LDeviceCommunicationInterface::kConnectionRecordParamID) {
        if (!mCommunication) {
            return E_FAIL;
        }
        return mCommunication->NotifyConnectionState(value.GetInt64()) ? S_OK : S_FALSE;
    }
    return IRootModule::SetParamValue(descriptor, value);
}

int32_t LRootModule::GetParamValue(const SV::ParamDescriptor& descriptor, SV::Variant& value)
{
    SV::MutexLock lock(mState->lock);
    if (descriptor.id < 0) {
        return mCommunication ? mCommunication->GetParamValue(descriptor, value) : E_FAIL;
    }
    return IRootModule::GetParamValue(descriptor, value);
}

SV::ConstRCPtr<IDevice> LRootModule::GetDeviceConst() const
{
    return mDevice;
}

SV::RCPtr<IDevice> LRootModule::GetDevice()
{
    return mDevice;
}

int32_t LRootModule::SetParamValueToParent(const SV::ParamDescriptor& descriptor,
                                           const SV::Variant& value)
{
    return SetCachedParamValue(descriptor, value);
}

SV::Variant LRootModule::GetParamValueFromParent(const SV::ParamDescriptor& descriptor) const
{
    return GetCachedParamValue(descriptor);
}

int32_t LRootModule::SetCachedParamValue(const SV::ParamDescriptor& descriptor,
                                         const SV::Variant& value)
{
    SV::MutexLock lock(mState->lock);
    const uint32_t index = CacheIndex(descriptor.id, GetFirstParamID());
    if (!mCache || index >= static_cast<uint32_t>(kParamCount)) {
        return kResultFailed;
    }
    const SV::ParamDescriptor cached(static_cast<int32_t>(index), descriptor.subPart);
    SV::Variant current;
    mCache->GetValue(cached, current);
    if (value.IsEqual(current) || value.GetType() == SV::Variant::kEmpty) {
        return S_OK;
    }
    // Only a value that was stored is reported: a sub-part cannot be written into a value that
    // is no list, and the editor must not show what the model does not hold.
    if (mCache->SetValue(cached, value, true) == S_OK) {
        OnParamValueChanged(descriptor, value);
    }
    return S_OK;
}

SV::Variant LRootModule::GetCachedParamValue(const SV::ParamDescriptor& descriptor) const
{
    SV::MutexLock lock(mState->lock);
    const uint32_t index = CacheIndex(descriptor.id, GetFirstParamID());
    SV::Variant value;
    if (!mCache ||
        mCache->GetValue(SV::ParamDescriptor(static_cast<int32_t>(index), descriptor.subPart),
                         value) < 0) {
        return SV::Variant();
    }
    return value;
}

void LRootModule::ReceiveParamValues(const SV::ParamValues& values)
{
    SV::MutexLock lock(mState->lock);
    // Entries are read by index with the count taken again before each one, so the walk ends
    // at the list's end whatever an entry holds.
    for (int32_t i = 0; i < values.GetListItemCount(); ++i) {
        SV::Variant value;
        int32_t id = -1;
        SV::Variant subPart;
        if (values.GetItem(i, value, id, subPart) != S_OK) {
            // An unreadable entry reaches the listener as an unowned system value.
            id = -1;
            value.Clear();
            subPart.Clear();
        }
        SV::RCPtr<LParameterizedModule> owner;
        if (id >= 0) {
            owner = GetModuleForParamID(id);
        } else if (IsModuleSystemParamID(id)) {
            owner = GetModuleForSystemParamID(id);
        } else if (id == LDeviceCommunicationInterface::kConnectionStatusParamID &&
                   value.GetBool()) {
            OnDeviceConnected();
        }
        if (owner) {
            // Stored and reported when it changed, and not sent back to the device.
            owner->SetParamValueLocal(SV::ParamDescriptor(id, subPart), value, true);
        } else {
            OnParamValueChanged(SV::ParamDescriptor(id), value);
        }
    }
}

int32_t LRootModule::ReceiveReserved(int32_t /*first*/, int32_t /*second*/)
{
    return E_FAIL;
}

SV::RCPtr<LParamCache> LRootModule::GetParamCache()
{
    return mCache;
}

void LRootModule::NotifyListener(SV::IArray<SV::ParamValue>* values)
{
    if (mListener != nullptr) {
        mListener(mListenerContext, values);
    }
}

int32_t LRootModule::DisableReceiving()
{
    if (mCommunication) {
        mCommunication->SetEnabled(false);
    }
    return S_OK;
}
