// Variants made in one expression and byte blobs written as bytes, for tests that build and
// compare values.
#pragma once

#include "Utilities/Storage/Variant.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace svtest {

using Bytes = std::vector<uint8_t>;

template <class T>
SV::Variant Scalar(int32_t type, T value)
{
    SV::Variant variant;
    EXPECT_EQ(variant.SetData(type, &value, sizeof value), type);
    return variant;
}

inline SV::Variant Bool(bool value)
{
    return Scalar(SV::Variant::kBool, static_cast<uint8_t>(value));
}
inline SV::Variant Int8(int8_t value)
{
    return Scalar(SV::Variant::kInt8, value);
}
inline SV::Variant UInt8(uint8_t value)
{
    return Scalar(SV::Variant::kUInt8, value);
}
inline SV::Variant Int16(int16_t value)
{
    return Scalar(SV::Variant::kInt16, value);
}
inline SV::Variant Int32(int32_t value)
{
    return Scalar(SV::Variant::kInt32, value);
}
inline SV::Variant UInt32(uint32_t value)
{
    return Scalar(SV::Variant::kUInt32, value);
}
inline SV::Variant Int64(int64_t value)
{
    return Scalar(SV::Variant::kInt64, value);
}
inline SV::Variant UInt64(uint64_t value)
{
    return Scalar(SV::Variant::kUInt64, value);
}
inline SV::Variant Float(float value)
{
    return Scalar(SV::Variant::kFloat, value);
}
inline SV::Variant Double(double value)
{
    return Scalar(SV::Variant::kDouble, value);
}

inline SV::Variant Blob(const Bytes& bytes)
{
    SV::Variant blob;
    blob.SetBlob(bytes.data(), static_cast<uint32_t>(bytes.size()));
    return blob;
}

inline SV::Variant Text(const char* text)
{
    SV::Variant variant;
    variant.SetString(text);
    return variant;
}

inline SV::Variant List(std::initializer_list<SV::Variant> items)
{
    SV::Variant variant;
    variant.SetList(items.begin(), static_cast<int32_t>(items.size()));
    return variant;
}

// A list Variant holding exactly the given record bytes.
inline SV::Variant RawList(const Bytes& bytes)
{
    SV::Variant variant;
    variant.SetData(SV::Variant::kList, bytes.data(), static_cast<uint32_t>(bytes.size()));
    return variant;
}

// The data of a blob, string or scalar (in host order); nothing for other types.
inline Bytes BytesOf(const SV::Variant& value)
{
    uint32_t size = 0;
    const uint8_t* data = value.GetConstData(size);
    return data != nullptr ? Bytes(data, data + size) : Bytes();
}

// What GetData gives, lists and hidden references included.
inline Bytes DataOf(SV::Variant& value)
{
    uint32_t size = 0;
    const uint8_t* data = value.GetData(size);
    return data != nullptr ? Bytes(data, data + size) : Bytes();
}

} // namespace svtest
