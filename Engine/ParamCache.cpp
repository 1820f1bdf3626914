#include "ParamCache.h"

#include "ResultCodes.h"

#include <utility>

namespace {

bool AddressesPart(const SV::ParamDescriptor& descriptor)
{
    return descriptor.subPart.GetType() != SV::Variant::kEmpty;
}

} // namespace

LParamCache::LParamCache(uint32_t count)
    : mCount(count), mValues(std::make_unique<SV::Variant[]>(count))
{}

LParamCache::~LParamCache() = default;

SV::Variant* LParamCache::Find(const SV::ParamDescriptor& descriptor) const
{
    const auto index = static_cast<uint32_t>(descriptor.id);
    return index < mCount ? mValues.get() + index : nullptr;
}

int32_t LParamCache::SetValue(const SV::ParamDescriptor& descriptor, const SV::Variant& value,
                              bool notify)
{
    SV::Variant* stored = Find(descriptor);
    if (stored == nullptr) {
        return kResultFailed;
    }
    if (!AddressesPart(descriptor)) {
        if (stored->IsEqual(value)) {
            return kResultNothingChanged;
        }
        // Copied aside first, so a failed copy leaves the stored value as it was.
        SV::Variant copy;
        if (copy.Assign(value) != value.GetType()) {
            return kResultFailed;
        }
        *stored = std::move(copy);
    } else {
        SV::ParamValues list(*stored);
        const int32_t result = list.SetEntry(descriptor, value);
        if (result == 1) {
            return kResultNothingChanged;
        }
        if (result != 0) {
            return kResultFailed;
        }
        *stored = std::move(static_cast<SV::Variant&>(list));
    }
    if (notify) {
        OnValueChanged(static_cast<uint32_t>(descriptor.id), *stored);
    }
    return 0;
}

int32_t LParamCache::GetValue(const SV::ParamDescriptor& descriptor, SV::Variant& value) const
{
    value.Clear();
    const SV::Variant* stored = Find(descriptor);
    if (stored == nullptr) {
        return kResultFailed;
    }
    if (!AddressesPart(descriptor)) {
        value.Assign(*stored);
        return 0;
    }
    return SV::ParamValues(*stored).FindValue(descriptor, value);
}

int32_t LParamCache::OnValueChanged(uint32_t /*index*/, const SV::Variant& /*value*/)
{
    return E_NOTIMPL;
}
