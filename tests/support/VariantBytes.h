// Byte blobs written as bytes, and the bytes a Variant holds, for tests that compare values.
#pragma once

#include "Utilities/Storage/Variant.h"

#include <cstdint>
#include <vector>

namespace svtest {

using Bytes = std::vector<uint8_t>;

inline SV::Variant Blob(const Bytes& bytes)
{
    SV::Variant blob;
    blob.SetBlob(bytes.data(), static_cast<uint32_t>(bytes.size()));
    return blob;
}

// The data of a blob, string or scalar (in host order); nothing for other types.
inline Bytes BytesOf(const SV::Variant& value)
{
    uint32_t size = 0;
    const uint8_t* data = value.GetConstData(size);
    return data != nullptr ? Bytes(data, data + size) : Bytes();
}

} // namespace svtest
