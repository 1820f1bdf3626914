// The current value of every parameter of the model, one Variant per parameter index. The root
// module reads and writes it under its own lock, and in local mode it is the only store. A value
// is addressed whole or, through a sub-part, as one entry of a value that is a list of
// (sub-part, value) entries kept in order.
#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/ParamValues.h"
#include "Utilities/Storage/Variant.h"

#include <cstdint>
#include <memory>

class LParamCache : public virtual SV::LRefCountedObject
{
public:
    // `count` empty values, indexes 0 to count - 1.
    explicit LParamCache(uint32_t count);
    ~LParamCache() override;

    // The descriptor's id, read as unsigned, is the index; -1 when it is not below the count.
    // Whole value: 1 when the stored one is equal (nothing changes), else it is replaced: 0.
    // With a sub-part: the stored value is a list whose entry for the sub-part is set
    // (ParamValues::SetEntry): 1 when it holds an equal value, 0 when the list changed, -1 when
    // the stored value is no list that can take it (it stays as it was). On a change, and when
    // `notify` is set, OnValueChanged gets the index and the whole new value.
    virtual int32_t SetValue(const SV::ParamDescriptor& descriptor, const SV::Variant& value,
                             bool notify);
    // A copy of the whole value, or with a sub-part the value of its entry (ParamValues::
    // FindValue, whose answer this is): 0 when found. `value` is cleared first; -1 for an index
    // not below the count.
    virtual int32_t GetValue(const SV::ParamDescriptor& descriptor, SV::Variant& value) const;
    // Called after a change when notification was asked for; the cache itself does nothing with
    // it and answers E_NOTIMPL.
    virtual int32_t OnValueChanged(uint32_t index, const SV::Variant& value);

    uint32_t GetCount() const { return mCount; }

private:
    // The stored value the descriptor's id indexes; null beyond the count.
    SV::Variant* Find(const SV::ParamDescriptor& descriptor) const;

    const uint32_t mCount;
    std::unique_ptr<SV::Variant[]> mValues;
};
