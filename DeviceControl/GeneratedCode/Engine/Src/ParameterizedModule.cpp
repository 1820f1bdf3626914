#include "ParameterizedModule.h"

#include "ObjectBase/Exception.h"
#include "ResultCodes.h"

#include <stdexcept>
#include <string>

namespace {

constexpr const char* kSourcePath =
    "DeviceControl\\GeneratedCode\\Engine\\Inc\\RootModuleInterface";

} // namespace

LParameterizedModule::~LParameterizedModule() = default;

void LParameterizedModule::ThrowLogicError(std::string_view detail, std::string_view function,
                                           std::string_view path, int line)
{
    std::string text = "Logic Error : ";
    if (!detail.empty()) {
        text.append(detail).append(" : ");
    }
    text.append(function)
        .append(" : ")
        .append(path)
        .append(" : Line ")
        .append(std::to_string(line));
    throw SV::Exception<std::logic_error>(text);
}

void LParameterizedModule::SetFirstParamID(LParameterizedModule* parent, int32_t firstParamID,
                                           int32_t reserved)
{
    mParent = parent;
    mFirstParamID = firstParamID;
    mReserved = reserved;
}

SV::ConstRCPtr<LParameterizedModule>
LParameterizedModule::GetModuleForParamIDConst(int32_t id) const
{
    return const_cast<LParameterizedModule*>(this)->GetModuleForParamID(id);
}

SV::RCPtr<LParameterizedModule> LParameterizedModule::GetModuleForParamID(int32_t /*id*/)
{
    return SV::RCPtr<LParameterizedModule>(this);
}

int32_t LParameterizedModule::SetParamValueLocal(const SV::ParamDescriptor& descriptor,
                                                 const SV::Variant& value, bool /*fromDevice*/)
{
    if (!mRouteToParent) {
        ThrowLogicError({}, "LParameterizedModule::SetParamValueLocal", kSourcePath, 102);
    }
    return mParent != nullptr ? mParent->SetParamValueToParent(descriptor, value) : -1;
}

SV::Variant LParameterizedModule::GetParamValueLocal(const SV::ParamDescriptor& descriptor) const
{
    if (!mRouteToParent) {
        ThrowLogicError({}, "LParameterizedModule::GetParamValueLocal", kSourcePath, 116);
    }
    return mParent != nullptr ? mParent->GetParamValueFromParent(descriptor) : SV::Variant();
}

int32_t LParameterizedModule::SetParamValueToParent(const SV::ParamDescriptor& descriptor,
                                                    const SV::Variant& value)
{
    return mParent != nullptr ? mParent->SetParamValueToParent(descriptor, value) : -1;
}

SV::Variant
LParameterizedModule::GetParamValueFromParent(const SV::ParamDescriptor& descriptor) const
{
    return mParent != nullptr ? mParent->GetParamValueFromParent(descriptor) : SV::Variant();
}

SV::Variant LParameterizedModule::GetParamValueDefault(int32_t /*id*/) const
{
    return {};
}

void LParameterizedModule::OnDeviceConnected()
{}

void LParameterizedModule::OnReservedEvent()
{}

int32_t LParameterizedModule::ReservedQuery(int32_t /*query*/)
{
    return 1;
}

void LParameterizedModule::ReservedRelayA(int32_t first, int32_t second, int32_t third,
                                          int32_t fourth)
{
    if (mParent != nullptr) {
        mParent->ReservedRelayB(first, second, third, fourth);
    }
}

void LParameterizedModule::ReservedRelayB(int32_t first, int32_t second, int32_t third,
                                          int32_t fourth)
{
    if (mParent != nullptr) {
        mParent->ReservedRelayB(first, second, third, fourth);
    }
}

int32_t LParameterizedModule::SetCachedParamValue(const SV::ParamDescriptor& descriptor,
                                                  const SV::Variant& value)
{
    return mParent != nullptr ? mParent->SetCachedParamValue(descriptor, value) : E_FAIL;
}

SV::Variant LParameterizedModule::GetCachedParamValue(const SV::ParamDescriptor& descriptor) const
{
    return mParent != nullptr ? mParent->GetCachedParamValue(descriptor) : SV::Variant();
}

SV::RCPtr<LParameterizedModule> LParameterizedModule::GetParent() const
{
    return SV::RCPtr<LParameterizedModule>(mParent);
}

SV::RCPtr<LParameterizedModule> LParameterizedModule::GetRoot()
{
    LParameterizedModule* root = this;
    while (root->mParent != nullptr) {
        root = root->mParent;
    }
    return SV::RCPtr<LParameterizedModule>(root);
}
