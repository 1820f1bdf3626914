// Parameter value lists made in one expression, for tests that feed values to the model.
#pragma once

#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/ParamValues.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace svtest {

// A list of the entries in their order.
inline SV::ParamValues ValueList(const std::vector<SV::ParamValue>& entries)
{
    SV::Array<SV::ParamValue> array;
    for (const SV::ParamValue& entry : entries) {
        array.Add(entry);
    }
    SV::ParamValues values;
    EXPECT_EQ(0, values.SetFromArray(&array, array.GetCount()));
    return values;
}

// A one-entry list: the whole value of `id`.
inline SV::ParamValues ValueList(int32_t id, const SV::Variant& value)
{
    return ValueList({SV::ParamValue(id, SV::Variant(), value)});
}

} // namespace svtest
