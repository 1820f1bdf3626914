#include "RootModuleInterface.h"

#include "DeviceCommunicationInterface.h"
#include "ResultCodes.h"

namespace {

// The offset of `id` from `firstParamID` as an unsigned number: ids below the first id wrap to
// large offsets, and no subtraction can overflow.
uint32_t OffsetFrom(int32_t id, int32_t firstParamID)
{
    return static_cast<uint32_t>(id) - static_cast<uint32_t>(firstParamID);
}

int32_t IdAt(int32_t firstParamID, uint32_t offset)
{
    return static_cast<int32_t>(static_cast<uint32_t>(firstParamID) + offset);
}

} // namespace

// --- IDevice ---

SV::ConstRCPtr<ICommunicationType> IDevice::GetCommunicationTypeConst() const
{
    return const_cast<IDevice*>(this)->GetCommunicationType();
}

SV::ConstRCPtr<IOctave> IDevice::GetOctaveConst() const
{
    return const_cast<IDevice*>(this)->GetOctave();
}

SV::ConstRCPtr<IArpeggiator> IDevice::GetArpeggiatorConst() const
{
    return const_cast<IDevice*>(this)->GetArpeggiator();
}

SV::ConstRCPtr<ITranspose> IDevice::GetTransposeConst() const
{
    return const_cast<IDevice*>(this)->GetTranspose();
}

SV::RCPtr<LParameterizedModule> IDevice::GetSubModule(uint32_t offset)
{
    switch (offset) {
    case kCommunicationTypeOffset:
        return GetCommunicationType();
    case kOctaveOffset:
        return GetOctave();
    case kArpeggiatorOffset:
        return GetArpeggiator();
    case kTransposeOffset:
        return GetTranspose();
    default:
        return nullptr;
    }
}

void IDevice::SetFirstParamID(LParameterizedModule* parent, int32_t firstParamID, int32_t reserved)
{
    LParameterizedModule::SetFirstParamID(parent, firstParamID, reserved);
    for (uint32_t offset = 0; offset < kSubModuleCount; ++offset) {
        if (const SV::RCPtr<LParameterizedModule> module = GetSubModule(offset)) {
            module->SetFirstParamID(this, IdAt(firstParamID, offset), 0);
        }
    }
}

SV::RCPtr<LParameterizedModule> IDevice::GetModuleForParamID(int32_t id)
{
    const SV::RCPtr<LParameterizedModule> module = GetSubModule(OffsetFrom(id, GetFirstParamID()));
    return module ? module->GetModuleForParamID(id) : nullptr;
}

void IDevice::OnDeviceConnected()
{
    for (uint32_t offset = 0; offset < kSubModuleCount; ++offset) {
        if (const SV::RCPtr<LParameterizedModule> module = GetSubModule(offset)) {
            module->OnDeviceConnected();
        }
    }
}

void IDevice::OnReservedEvent()
{
    for (uint32_t offset = 0; offset < kSubModuleCount; ++offset) {
        if (const SV::RCPtr<LParameterizedModule> module = GetSubModule(offset)) {
            module->OnReservedEvent();
        }
    }
}

// --- IRootModule ---

SV::ConstRCPtr<LParameterizedModule> IRootModule::GetModuleForSystemParamIDConst(int32_t id) const
{
    return const_cast<IRootModule*>(this)->GetModuleForSystemParamID(id);
}

SV::RCPtr<LParameterizedModule> IRootModule::GetModuleForSystemParamID(int32_t /*id*/)
{
    return nullptr;
}

SV::ConstRCPtr<IDevice> IRootModule::GetDeviceConst() const
{
    return const_cast<IRootModule*>(this)->GetDevice();
}

void IRootModule::SetFirstParamID(LParameterizedModule* parent, int32_t firstParamID,
                                  int32_t reserved)
{
    LParameterizedModule::SetFirstParamID(parent, firstParamID, reserved);
    if (const SV::RCPtr<IDevice> device = GetDevice()) {
        device->SetFirstParamID(this, firstParamID, 0);
    }
}

SV::RCPtr<LParameterizedModule> IRootModule::GetModuleForParamID(int32_t id)
{
    if (OffsetFrom(id, GetFirstParamID()) >= static_cast<uint32_t>(kParamCount)) {
        return nullptr;
    }
    const SV::RCPtr<IDevice> device = GetDevice();
    return device ? device->GetModuleForParamID(id) : nullptr;
}

void IRootModule::OnDeviceConnected()
{
    if (const SV::RCPtr<IDevice> device = GetDevice()) {
        device->OnDeviceConnected();
    }
}

void IRootModule::OnReservedEvent()
{
    if (const SV::RCPtr<IDevice> device = GetDevice()) {
        device->OnReservedEvent();
    }
}

int32_t IRootModule::SetParamValue(const SV::ParamDescriptor& descriptor, const SV::Variant& value)
{
    if (IsLocalMode()) {
        return SetCachedParamValue(descriptor, value);
    }
    const int32_t id = descriptor.id;
    // The editor's main control has no interface: its writes fail instead of reaching nothing.
    const SV::RCPtr<LDeviceCommunicationInterface> device = GetDeviceCommunicationInterface();
    if (id < 0 && !IsModuleSystemParamID(id)) {
        return device ? device->SetParamValue(descriptor, value) : E_FAIL;
    }
    const SV::RCPtr<LParameterizedModule> owner =
        id < 0 ? GetModuleForSystemParamID(id) : GetModuleForParamID(id);
    if (owner) {
        // The owner's answer does not count: every write goes to the device, changed or not,
        // and the device side's answer is the caller's.
        owner->SetParamValueLocal(descriptor, value, false);
    }
    return device ? device->SetParamValue(descriptor, value) : E_FAIL;
}

int32_t IRootModule::GetParamValue(const SV::ParamDescriptor& descriptor, SV::Variant& value)
{
    if (IsLocalMode()) {
        value = GetCachedParamValue(descriptor);
        return S_OK;
    }
    const SV::ConstRCPtr<LParameterizedModule> owner = GetModuleForParamIDConst(descriptor.id);
    if (!owner) {
        value.Clear();
        return E_FAIL;
    }
    value = owner->GetParamValueLocal(descriptor);
    return S_OK;
}
