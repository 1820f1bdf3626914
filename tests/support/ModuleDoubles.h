// Stand-ins for the editor's side of the device model and for the device-communication interface:
// an edit panel, the device view over its panels, a root that keeps what reaches it, and an
// interface that records what the root sends to the device.
#pragma once

#include "DeviceCommunicationInterface.h"
#include "ResultCodes.h"
#include "RootModuleInterface.h"

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace svtest {

// Records every write and read and answers them with chosen codes.
class FakeDeviceCommunicationInterface : public LDeviceCommunicationInterface
{
public:
    int32_t GetParamValue(const SV::ParamDescriptor& descriptor, SV::Variant& value) override
    {
        reads.push_back(descriptor);
        value = readValue;
        return readResult;
    }
    int32_t SetParamValue(const SV::ParamDescriptor& descriptor, const SV::Variant& value) override
    {
        writes.emplace_back(descriptor.id, descriptor.subPart, value);
        return writeResult;
    }

    std::vector<SV::ParamValue> writes;
    std::vector<SV::ParamDescriptor> reads;
    int32_t writeResult = S_OK;
    int32_t readResult = S_OK;
    SV::Variant readValue;
};

// An edit panel: like the editor's, it takes a value only at its own size, keeps the bytes as its
// controls would show them and leaves every other operation to the base. It also writes its name
// to a shared journal when a tree-wide hook reaches it.
template <class Interface>
class FakeEditPanel : public Interface
{
public:
    FakeEditPanel(std::string name, uint32_t valueSize, std::vector<std::string>* journal = nullptr)
        : mName(std::move(name)), mValueSize(valueSize), mJournal(journal)
    {}

    int32_t SetParamValueLocal(const SV::ParamDescriptor& /*descriptor*/, const SV::Variant& value,
                               bool /*fromDevice*/) override
    {
        uint32_t size = 0;
        const uint8_t* data = value.GetConstData(size);
        if (value.GetType() != SV::Variant::kBlob || size != mValueSize) {
            return E_FAIL;
        }
        shown.assign(data, data + size);
        return S_OK;
    }
    void OnDeviceConnected() override { Record("connected"); }
    void OnReservedEvent() override { Record("reserved"); }

    std::vector<uint8_t> shown;

private:
    void Record(const char* event)
    {
        if (mJournal != nullptr) {
            mJournal->push_back(mName + " " + event);
        }
    }

    std::string mName;
    uint32_t mValueSize;
    std::vector<std::string>* mJournal;
};

// The device view: answers whichever panels it was given.
class FakeDeviceView : public IDevice
{
public:
    SV::RCPtr<ICommunicationType> GetCommunicationType() override { return communicationType; }
    SV::RCPtr<IOctave> GetOctave() override { return octave; }
    SV::RCPtr<IArpeggiator> GetArpeggiator() override { return arpeggiator; }
    SV::RCPtr<ITranspose> GetTranspose() override { return transpose; }

    SV::RCPtr<ICommunicationType> communicationType;
    SV::RCPtr<IOctave> octave;
    SV::RCPtr<IArpeggiator> arpeggiator;
    SV::RCPtr<ITranspose> transpose;
};

// The main control, or the model's root where a test needs one: the values routed up to it are
// kept by id (so reads come back) and each is recorded; changes reported to it are recorded too.
class FakeRootModule : public IRootModule
{
public:
    void OnParamValueChanged(const SV::ParamDescriptor& descriptor,
                             const SV::Variant& value) override
    {
        changes.emplace_back(descriptor.id, descriptor.subPart, value);
    }
    SV::RCPtr<LDeviceCommunicationInterface> GetDeviceCommunicationInterface() override
    {
        return deviceInterface;
    }
    SV::RCPtr<IDevice> GetDevice() override { return device; }

    int32_t SetParamValueToParent(const SV::ParamDescriptor& descriptor,
                                  const SV::Variant& value) override
    {
        return Store(descriptor, value);
    }
    SV::Variant GetParamValueFromParent(const SV::ParamDescriptor& descriptor) const override
    {
        return Stored(descriptor);
    }
    int32_t SetCachedParamValue(const SV::ParamDescriptor& descriptor,
                                const SV::Variant& value) override
    {
        return Store(descriptor, value);
    }
    SV::Variant GetCachedParamValue(const SV::ParamDescriptor& descriptor) const override
    {
        return Stored(descriptor);
    }

    using IRootModule::SetLocalMode;

    SV::RCPtr<IDevice> device;
    SV::RCPtr<LDeviceCommunicationInterface> deviceInterface;
    std::map<int32_t, SV::Variant> values;
    std::vector<SV::ParamValue> stores;
    std::vector<SV::ParamValue> changes;
    int32_t storeResult = S_OK;

private:
    int32_t Store(const SV::ParamDescriptor& descriptor, const SV::Variant& value)
    {
        values[descriptor.id] = value;
        stores.emplace_back(descriptor.id, descriptor.subPart, value);
        return storeResult;
    }
    SV::Variant Stored(const SV::ParamDescriptor& descriptor) const
    {
        const auto found = values.find(descriptor.id);
        return found != values.end() ? found->second : SV::Variant();
    }
};

} // namespace svtest
