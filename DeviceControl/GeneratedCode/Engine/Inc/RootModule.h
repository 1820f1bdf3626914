// The top of the model tree and the only place where parameter values are stored: it owns the
// device module, keeps every value of its range in the parameter cache, reports each change to
// one listener (the engine), writes values to the keyboard through the device-communication
// interface and applies the values that the interface receives from it. Without a device it
// works in local mode: values then live only in the cache.
#pragma once

#include "Device.h"
#include "DeviceCommunicationInterface.h"
#include "ParamCache.h"
#include "RootModuleInterface.h"
#include "Utilities/Storage/IArray.h"

#include <cstdint>
#include <memory>

class LRootModule : public IRootModule, public DeviceCommunicationReceiver
{
public:
    // Gets every change, on the thread that made it, with a one-entry list that is only valid
    // during the call.
    using Listener = void (*)(void* context, SV::IArray<SV::ParamValue>* values);

    // A new root with its device and the device's leaves.
    static SV::RCPtr<LRootModule> Create(bool localMode);
    // Switches the interface's delivery off and disconnects the device before anything goes.
    ~LRootModule() override;

    // Numbers the tree from `firstParamID`, seeds the cache with the modules' defaults (no
    // change is reported) and attaches the root to the interface as its receiver. Answers 0;
    // the modules' exceptions pass through.
    virtual int32_t Initialize(Listener listener, void* listenerContext,
                               const SV::RCPtr<LParamCache>& cache,
                               const SV::RCPtr<LDeviceCommunicationInterface>& communication,
                               int32_t firstParamID);
    // Disconnects, then connects to `deviceId`: a failure puts the root in local mode, success
    // takes it out and asks the device for the values of its range. The interface's answer.
    virtual int32_t ConnectDevice(const SV::Variant& deviceId);

    // IRootModule
    void OnParamValueChanged(const SV::ParamDescriptor& descriptor,
                             const SV::Variant& value) override;
    SV::RCPtr<LDeviceCommunicationInterface> GetDeviceCommunicationInterface() override;
    // Under the root's lock. The connection record (-4) goes straight to the interface: 0 when
    // it was delivered, 1 when not.
    int32_t SetParamValue(const SV::ParamDescriptor& descriptor, const SV::Variant& value) override;
    // Under the root's lock; negative ids are the interface's, in local mode too.
    int32_t GetParamValue(const SV::ParamDescriptor& descriptor, SV::Variant& value) override;
    SV::ConstRCPtr<IDevice> GetDeviceConst() const override;
    SV::RCPtr<IDevice> GetDevice() override;

    // LParameterizedModule: the leaves' road up ends here, in the cache.
    int32_t SetParamValueToParent(const SV::ParamDescriptor& descriptor,
                                  const SV::Variant& value) override;
    SV::Variant GetParamValueFromParent(const SV::ParamDescriptor& descriptor) const override;
    // Stores a changed, non-empty value and reports it; 0 also when nothing changed, -1 outside
    // the root's four ids.
    int32_t SetCachedParamValue(const SV::ParamDescriptor& descriptor,
                                const SV::Variant& value) override;
    // Empty outside the root's four ids.
    SV::Variant GetCachedParamValue(const SV::ParamDescriptor& descriptor) const override;

    // DeviceCommunicationReceiver: applies what came from the device without sending it back;
    // values no module owns (system values) go to the listener as they are.
    void ReceiveParamValues(const SV::ParamValues& values) override;
    int32_t ReceiveReserved(int32_t first, int32_t second) override;

    virtual SV::RCPtr<LParamCache> GetParamCache();
    // Calls the listener with `values`.
    virtual void NotifyListener(SV::IArray<SV::ParamValue>* values);
    // Makes the device anew, releasing an earlier one.
    virtual void CreateDevice();

    // Switches the interface's delivery off; returns once a delivery in progress has ended.
    int32_t DisableReceiving();

private:
    explicit LRootModule(bool localMode);

    struct State;

    SV::RCPtr<LDevice> mDevice;
    Listener mListener = nullptr;
    void* mListenerContext = nullptr;
    SV::RCPtr<LDeviceCommunicationInterface> mCommunication;
    SV::RCPtr<LParamCache> mCache;
    std::unique_ptr<State> mState;
};
