// The module interfaces of the device model. The model classes implement them, and so do the
// editor's controls: the main control is an IRootModule, the device view an IDevice and each edit
// panel the interface of the module it shows, so the editor's tree mirrors the model and the
// shared operations below run on both.
#pragma once

#include "ParameterizedModule.h"

#include <atomic>
#include <cstdint>

class LDeviceCommunicationInterface;

// The four leaves: one parameter each, a byte blob; their local reads and writes go to the parent.
class ICommunicationType : public LParameterizedModule
{
public:
    ICommunicationType() : LParameterizedModule(true) {}
};

class IOctave : public LParameterizedModule
{
public:
    IOctave() : LParameterizedModule(true) {}
};

class IArpeggiator : public LParameterizedModule
{
public:
    IArpeggiator() : LParameterizedModule(true) {}
};

class ITranspose : public LParameterizedModule
{
public:
    ITranspose() : LParameterizedModule(true) {}
};

// The keyboard: parent of the four leaves, which own the ids first + 0 to first + 3 in the order
// communication type, octave, arpeggiator, transpose. Implementers answer the sub-modules; the
// numbering, the lookup and the hooks are shared.
class IDevice : public LParameterizedModule
{
public:
    // The parent offset of each sub-module's id.
    static constexpr int32_t kCommunicationTypeOffset = 0;
    static constexpr int32_t kOctaveOffset = 1;
    static constexpr int32_t kArpeggiatorOffset = 2;
    static constexpr int32_t kTransposeOffset = 3;
    static constexpr int32_t kSubModuleCount = 4;

    IDevice() : LParameterizedModule(false) {}

    // The const getters answer what the non-const ones do; null when there is no such module.
    virtual SV::ConstRCPtr<ICommunicationType> GetCommunicationTypeConst() const;
    virtual SV::RCPtr<ICommunicationType> GetCommunicationType() = 0;
    virtual SV::ConstRCPtr<IOctave> GetOctaveConst() const;
    virtual SV::RCPtr<IOctave> GetOctave() = 0;
    virtual SV::ConstRCPtr<IArpeggiator> GetArpeggiatorConst() const;
    virtual SV::RCPtr<IArpeggiator> GetArpeggiator() = 0;
    virtual SV::ConstRCPtr<ITranspose> GetTransposeConst() const;
    virtual SV::RCPtr<ITranspose> GetTranspose() = 0;

    // Stores the values, then attaches each sub-module there is with first id + its offset.
    void SetFirstParamID(LParameterizedModule* parent, int32_t firstParamID,
                         int32_t reserved) override;
    // The owner among the sub-modules by the id's offset from the first id; null for an id
    // outside the four (ids below the first id included) or a missing sub-module.
    SV::RCPtr<LParameterizedModule> GetModuleForParamID(int32_t id) override;
    // Passed to each sub-module there is, in id order.
    void OnDeviceConnected() override;
    void OnReservedEvent() override;

private:
    // The sub-module at `offset` from the first id as its non-const getter answers it; null
    // beyond the four.
    SV::RCPtr<LParameterizedModule> GetSubModule(uint32_t offset);
};

// The top of a tree: the range of its device, where the model stores its values and from where
// values go to the device-communication interface.
class IRootModule : public LParameterizedModule
{
public:
    // Ids from here to kLastModuleSystemParamID are the system parameters modules may own; every
    // other negative id belongs to the device-communication interface.
    static constexpr int32_t kFirstModuleSystemParamID = -256;
    static constexpr int32_t kLastModuleSystemParamID = -129;
    static constexpr int32_t kParamCount = IDevice::kSubModuleCount;

    IRootModule() : LParameterizedModule(false) {}

    static bool IsModuleSystemParamID(int32_t id)
    {
        return id >= kFirstModuleSystemParamID && id <= kLastModuleSystemParamID;
    }

    // Called with every value that changed in the tree.
    virtual void OnParamValueChanged(const SV::ParamDescriptor& descriptor,
                                     const SV::Variant& value) = 0;
    // Where values go to the device; may be null.
    virtual SV::RCPtr<LDeviceCommunicationInterface> GetDeviceCommunicationInterface() = 0;
    // The module that owns a system id of the module range; no module owns one, so null.
    virtual SV::ConstRCPtr<LParameterizedModule> GetModuleForSystemParamIDConst(int32_t id) const;
    virtual SV::RCPtr<LParameterizedModule> GetModuleForSystemParamID(int32_t id);
    // A write: in local mode straight to SetCachedParamValue. Otherwise the owning module takes
    // it (ids of 0 or more and module system ids), and it goes to the device-communication
    // interface, whose answer is the result (E_FAIL when there is none).
    virtual int32_t SetParamValue(const SV::ParamDescriptor& descriptor, const SV::Variant& value);
    // A read: in local mode from GetCachedParamValue; otherwise the owner's local value, or
    // E_FAIL with `value` empty when no module owns the id.
    virtual int32_t GetParamValue(const SV::ParamDescriptor& descriptor, SV::Variant& value);
    virtual SV::ConstRCPtr<IDevice> GetDeviceConst() const;
    virtual SV::RCPtr<IDevice> GetDevice() = 0;

    // Stores the values, then attaches the device with the same first id.
    void SetFirstParamID(LParameterizedModule* parent, int32_t firstParamID,
                         int32_t reserved) override;
    // The device's answer for ids of the root's range; null for any other id or without a device.
    SV::RCPtr<LParameterizedModule> GetModuleForParamID(int32_t id) override;
    // Passed to the device.
    void OnDeviceConnected() override;
    void OnReservedEvent() override;

    // In local mode values live only at the root: no module is asked and nothing goes to the
    // device.
    bool IsLocalMode() const { return mLocalMode.load(); }

protected:
    // A connection attempt on the engine's thread may switch the mode while values are set on
    // other threads.
    void SetLocalMode(bool localMode) { mLocalMode.store(localMode); }

private:
    std::atomic<bool> mLocalMode{false};
};
