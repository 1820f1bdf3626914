// The bodies of the leaf modules, instantiated once by each leaf's source file.
#pragma once

#include "LeafModule.h"

#include "DeviceCommunicationInterface.h"

#include <string>

namespace leaf_module_detail {

constexpr const char* kSourceFolder = "..\\DeviceControl\\GeneratedCode\\Engine\\Src\\";

template <class Layout>
std::string FunctionName(const char* operation)
{
    return std::string(Layout::kClassName) + "::" + operation;
}

template <class Layout>
std::string SourcePath()
{
    return std::string(kSourceFolder) + Layout::kSourceFile;
}

} // namespace leaf_module_detail

template <class Interface, class Layout>
LLeafModule<Interface, Layout>::LLeafModule()
    : mSystemParamMap(std::make_unique<SystemParamMap>(*this))
{}

template <class Interface, class Layout>
LLeafModule<Interface, Layout>::~LLeafModule() = default;

template <class Interface, class Layout>
void LLeafModule<Interface, Layout>::SetFirstParamID(LParameterizedModule* parent,
                                                     int32_t firstParamID, int32_t reserved)
{
    LParameterizedModule::SetFirstParamID(parent, firstParamID, reserved);
    // The root is found through the parent pointers, so the leaf is tested where it hangs now.
    const uint32_t offset = static_cast<uint32_t>(firstParamID) -
                            static_cast<uint32_t>(this->GetRoot()->GetFirstParamID());
    if (offset != static_cast<uint32_t>(kParamOffset)) {
        LParameterizedModule::ThrowLogicError(
            "Invalid FirstParamID", leaf_module_detail::FunctionName<Layout>("SetFirstParamID"),
            leaf_module_detail::SourcePath<Layout>(), 72);
    }
}

template <class Interface, class Layout>
int32_t LLeafModule<Interface, Layout>::SetParamValueLocal(const SV::ParamDescriptor& descriptor,
                                                           const SV::Variant& value,
                                                           bool fromDevice)
{
    const int32_t id = descriptor.id;
    if (id < 0) {
        if (!IRootModule::IsModuleSystemParamID(id)) {
            return -1;
        }
        if (!fromDevice) {
            // Values that came from the device are not sent back to it.
            const SV::RCPtr<IRootModule> root(this->GetRoot());
            const SV::RCPtr<LDeviceCommunicationInterface> device =
                root ? root->GetDeviceCommunicationInterface() : nullptr;
            if (device) {
                device->SetParamValue(descriptor, value);
            }
        }
        SV::ParamDescriptor mapped;
        SV::Variant mappedValue;
        mSystemParamMap->MapSystemParamValue(descriptor, value, mapped, mappedValue);
        return 1;
    }
    if (id != this->GetFirstParamID()) {
        return -1;
    }
    const SV::ParamDescriptor own(id, descriptor.subPart);
    const SV::Variant ownValue(value);
    return LParameterizedModule::SetParamValueLocal(own, ownValue, fromDevice);
}

template <class Interface, class Layout>
SV::Variant
LLeafModule<Interface, Layout>::GetParamValueLocal(const SV::ParamDescriptor& descriptor) const
{
    if (descriptor.id != this->GetFirstParamID()) {
        LParameterizedModule::ThrowLogicError(
            {}, leaf_module_detail::FunctionName<Layout>("GetParamValueLocal"),
            leaf_module_detail::SourcePath<Layout>(), 91);
    }
    return LParameterizedModule::GetParamValueLocal(descriptor);
}

template <class Interface, class Layout>
SV::Variant LLeafModule<Interface, Layout>::GetParamValueDefault(int32_t id) const
{
    if (id != this->GetFirstParamID()) {
        LParameterizedModule::ThrowLogicError(
            {}, leaf_module_detail::FunctionName<Layout>("GetParamValueDefault"),
            leaf_module_detail::SourcePath<Layout>(), 210);
    }
    SV::Variant value;
    value.SetBlob(Layout::kDefaultValue, kValueSize);
    return value;
}

template <class Interface, class Layout>
void LLeafModule<Interface, Layout>::CreateSubModules()
{}
