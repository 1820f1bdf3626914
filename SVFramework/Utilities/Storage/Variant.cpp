#include "Utilities/Storage/Variant.h"

#include "ResultCodes.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

namespace SV {

namespace {

constexpr double kTwoTo63 = 9223372036854775808.0;
constexpr double kTwoTo64 = 18446744073709551616.0;

// Bytes of a scalar type; 0 for every other type.
uint32_t ScalarWidth(int32_t type)
{
    switch (type) {
    case Variant::kBool:
    case Variant::kInt8:
    case Variant::kUInt8:
        return 1;
    case Variant::kInt16:
    case Variant::kUInt16:
        return 2;
    case Variant::kInt32:
    case Variant::kUInt32:
    case Variant::kFloat:
        return 4;
    case Variant::kDouble:
    case Variant::kInt64:
    case Variant::kUInt64:
        return 8;
    default:
        return 0;
    }
}

// Scalars live in host order inside the Variant and in little-endian order in records; the same
// copy turns either into the other.
void CopyLittleEndian(uint8_t* target, const uint8_t* source, uint32_t width)
{
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(target, source, width);
    } else {
        for (uint32_t i = 0; i < width; ++i) {
            target[i] = source[width - 1 - i];
        }
    }
}

uint32_t ReadUInt32(const uint8_t* bytes)
{
    return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
           uint32_t{bytes[3]} << 24;
}

void WriteUInt32(uint8_t* bytes, uint32_t value)
{
    bytes[0] = static_cast<uint8_t>(value);
    bytes[1] = static_cast<uint8_t>(value >> 8);
    bytes[2] = static_cast<uint8_t>(value >> 16);
    bytes[3] = static_cast<uint8_t>(value >> 24);
}

// Half away from zero, by adding or subtracting a half and cutting the fraction.
double RoundHalfAway(double value)
{
    return std::trunc(value < 0.0 ? value - 0.5 : value + 0.5);
}

// The rounded value as 64 bits: values from 2^63 on go through the unsigned range. Values no
// integer of 64 bits can hold saturate and NaN gives 0, so no conversion is ever out of range.
uint64_t RoundedBits(double value)
{
    if (std::isnan(value)) {
        return 0;
    }
    const double rounded = RoundHalfAway(value);
    if (rounded >= kTwoTo64) {
        return std::numeric_limits<uint64_t>::max();
    }
    if (rounded >= kTwoTo63) {
        return static_cast<uint64_t>(rounded);
    }
    if (rounded < -kTwoTo63) {
        return static_cast<uint64_t>(std::numeric_limits<int64_t>::min());
    }
    return static_cast<uint64_t>(static_cast<int64_t>(rounded));
}

int64_t RoundedInt64(double value)
{
    if (!std::isnan(value) && RoundHalfAway(value) >= kTwoTo63) {
        return std::numeric_limits<int64_t>::max();
    }
    return static_cast<int64_t>(RoundedBits(value));
}

// Steps over the records of a list block by their size words while more than 4 bytes are left,
// and stops at record `wanted`. A record whose size word is below a record head cannot be stepped
// over: it is counted and ends the walk, so a size of 0 never loops. The offset is 64-bit, so a
// huge size word cannot wrap around to an earlier record. Answers the records passed or reached.
uint32_t WalkList(const uint8_t* data, uint32_t length, uint32_t wanted, uint64_t& wantedOffset)
{
    uint32_t count = 0;
    uint64_t offset = 0;
    while (offset + 4 < length) {
        if (count == wanted) {
            wantedOffset = offset;
            return count + 1;
        }
        ++count;
        const uint32_t size = ReadUInt32(data + offset);
        if (size < Variant::kRecordHeadSize) {
            break;
        }
        offset += size;
    }
    return count;
}

} // namespace

Variant::Variant(const Variant& other)
{
    Assign(other);
}

Variant::Variant(Variant&& other) noexcept
{
    *this = std::move(other);
}

Variant& Variant::operator=(const Variant& other)
{
    Assign(other);
    return *this;
}

Variant& Variant::operator=(Variant&& other) noexcept
{
    if (this != &other) {
        Clear();
        std::memcpy(mValue, other.mValue, sizeof mValue);
        mData = std::exchange(other.mData, nullptr);
        mLength = std::exchange(other.mLength, 0);
        mType = std::exchange(other.mType, kEmpty);
        std::memset(other.mValue, 0, sizeof other.mValue);
    }
    return *this;
}

Variant::~Variant()
{
    Clear();
}

uint8_t* Variant::AllocateData(uint32_t size)
{
    return new (std::nothrow) uint8_t[size];
}

void Variant::FreeData(uint8_t* data)
{
    delete[] data;
}

void Variant::Clear()
{
    if (OwnsBlock() && mData != nullptr) {
        FreeData(mData);
    }
    std::memset(mValue, 0, sizeof mValue);
    mData = nullptr;
    mLength = 0;
    mType = kEmpty;
}

void Variant::TakeBlock(int32_t type, uint8_t* block, uint32_t length)
{
    Clear();
    mType = type;
    mData = block;
    mLength = length;
}

uint8_t* Variant::CopyToBlock(const void* data, uint32_t size)
{
    uint8_t* block = AllocateData(size);
    if (block != nullptr && size != 0) {
        std::memcpy(block, data, size);
    }
    return block;
}

template <class T>
T Variant::Stored() const
{
    T value;
    std::memcpy(&value, mValue, sizeof value);
    return value;
}

// Every setter copies its source before the old value is released, so the source may be this
// Variant's own data.
int32_t Variant::SetData(int32_t type, const void* data, uint32_t size)
{
    if (data == nullptr && size != 0) {
        Clear();
        return kEmpty;
    }
    if (const uint32_t width = ScalarWidth(type); width != 0) {
        if (size != width) {
            Clear();
            return kEmpty;
        }
        uint8_t value[sizeof mValue] = {};
        std::memcpy(value, data, width);
        Clear();
        std::memcpy(mValue, value, sizeof mValue);
        mType = type;
        return type;
    }
    switch (type) {
    case kReference:
    case kHiddenReference:
    case kBlob:
        return SetBlob(data, size);
    case kString: {
        // The text ends at its first 0 or at the end of the data, whichever comes first: it is
        // never read beyond the size given.
        const void* end = size != 0 ? std::memchr(data, 0, size) : nullptr;
        const uint32_t textLength = end != nullptr
                                        ? static_cast<uint32_t>(static_cast<const char*>(end) -
                                                                static_cast<const char*>(data))
                                        : size;
        if (textLength == std::numeric_limits<uint32_t>::max()) {
            Clear();
            return kEmpty;
        }
        uint8_t* block = AllocateData(textLength + 1);
        if (block == nullptr) {
            Clear();
            return kEmpty;
        }
        if (textLength != 0) {
            std::memcpy(block, data, textLength);
        }
        block[textLength] = 0;
        TakeBlock(kString, block, textLength + 1);
        return kString;
    }
    case kList: {
        if (size == 0) {
            TakeBlock(kList, nullptr, 0);
            return kList;
        }
        uint8_t* block = CopyToBlock(data, size);
        if (block == nullptr) {
            Clear();
            return kEmpty;
        }
        TakeBlock(kList, block, size);
        return kList;
    }
    default:
        Clear();
        return kEmpty;
    }
}

int32_t Variant::SetString(const char* text)
{
    if (text == nullptr) {
        Clear();
        return kEmpty;
    }
    const size_t length = std::strlen(text);
    if (length >= std::numeric_limits<uint32_t>::max()) {
        Clear();
        return kEmpty;
    }
    return SetData(kString, text, static_cast<uint32_t>(length) + 1);
}

int32_t Variant::SetBlob(const void* data, uint32_t size)
{
    if (data == nullptr && size != 0) {
        Clear();
        return kEmpty;
    }
    uint8_t* block = CopyToBlock(data, size);
    if (block == nullptr) {
        Clear();
        return kEmpty;
    }
    TakeBlock(kBlob, block, size);
    return kBlob;
}

int32_t Variant::SetReference(int32_t type, uint8_t* data, uint32_t size)
{
    Clear();
    if (type != kReference && type != kHiddenReference) {
        return kEmpty;
    }
    mType = type;
    mData = data;
    mLength = data != nullptr ? size : 0;
    return type;
}

// The block is filled before the old value goes, so an item may be this Variant itself. Items
// that have no record (a reference without data) or lists beyond 4 GiB fail the whole list.
template <class ItemAt>
int32_t Variant::BuildList(int32_t count, ItemAt itemAt)
{
    if (count == 0) {
        TakeBlock(kList, nullptr, 0);
        return kList;
    }
    uint64_t total = 0;
    for (int32_t i = 0; i < count; ++i) {
        const Variant* item = itemAt(i);
        if (item == nullptr) {
            Clear();
            return kEmpty;
        }
        const uint32_t width = ScalarWidth(item->mType);
        total += kRecordHeadSize + (width != 0 ? width : item->mLength);
    }
    if (total > std::numeric_limits<uint32_t>::max()) {
        Clear();
        return kEmpty;
    }
    const uint32_t length = static_cast<uint32_t>(total);
    uint8_t* block = AllocateData(length);
    if (block == nullptr) {
        Clear();
        return kEmpty;
    }
    uint32_t offset = 0;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t written = Serialize(*itemAt(i), block + offset, length - offset);
        if (written < 0) {
            FreeData(block);
            Clear();
            return kEmpty;
        }
        offset += static_cast<uint32_t>(written);
    }
    TakeBlock(kList, block, length);
    return kList;
}

int32_t Variant::SetList(const Variant* items, int32_t count)
{
    if (count < 0 || (items == nullptr && count != 0)) {
        Clear();
        return kEmpty;
    }
    return BuildList(count, [items](int32_t i) { return &items[i]; });
}

int32_t Variant::SetList(const Variant* const* items, int32_t count)
{
    if (count < 0 || (items == nullptr && count != 0)) {
        Clear();
        return kEmpty;
    }
    return BuildList(count, [items](int32_t i) { return items[i]; });
}

int32_t Variant::Assign(const Variant& other)
{
    if (&other == this) {
        return mType;
    }
    if (!other.OwnsBlock()) {
        Clear();
        std::memcpy(mValue, other.mValue, sizeof mValue);
        mData = other.mData;
        mLength = other.mLength;
        mType = other.mType;
        return mType;
    }
    if (other.mData == nullptr) {
        // Only the empty list owns no block.
        TakeBlock(other.mType, nullptr, 0);
        return mType;
    }
    uint8_t* block = CopyToBlock(other.mData, other.mLength);
    if (block == nullptr) {
        Clear();
        return kEmpty;
    }
    TakeBlock(other.mType, block, other.mLength);
    return mType;
}

bool Variant::IsEqual(const Variant& other) const
{
    if (mType != other.mType) {
        return false;
    }
    switch (mType) {
    case kEmpty:
        return true;
    case kBool:
    case kInt8:
    case kUInt8:
        return mValue[0] == other.mValue[0];
    case kInt16:
    case kUInt16:
        return Stored<uint16_t>() == other.Stored<uint16_t>();
    case kInt32:
    case kUInt32:
        return Stored<uint32_t>() == other.Stored<uint32_t>();
    case kFloat:
        return Stored<float>() == other.Stored<float>();
    case kDouble:
        return Stored<double>() == other.Stored<double>();
    case kInt64:
    case kUInt64:
        return Stored<uint64_t>() == other.Stored<uint64_t>();
    case kReference:
    case kHiddenReference:
        return mData == other.mData && mLength == other.mLength;
    case kBlob:
    case kString:
    case kList:
        return mLength == other.mLength &&
               (mLength == 0 || std::memcmp(mData, other.mData, mLength) == 0);
    default:
        return false;
    }
}

namespace {

// Sub-parts are flat or nearly so; lists nested deeper than this compare by their bytes.
constexpr int32_t kMaxOrderedListDepth = 16;

bool IsFloating(int32_t type)
{
    return type == Variant::kFloat || type == Variant::kDouble;
}

bool IsNumber(int32_t type)
{
    return type >= Variant::kBool && type <= Variant::kUInt64;
}

// Data in order: the shorter first, then by the first byte that differs, read as `Byte`.
template <class Byte>
bool BytesLess(const uint8_t* a, uint32_t aLength, const uint8_t* b, uint32_t bLength)
{
    if (aLength != bLength) {
        return aLength < bLength;
    }
    for (uint32_t i = 0; i < aLength; ++i) {
        if (a[i] != b[i]) {
            return static_cast<Byte>(a[i]) < static_cast<Byte>(b[i]);
        }
    }
    return false;
}

// Two numbers of different types of which at least one is a 64-bit integer, compared exactly:
// through a double they would lose the low bits of large integers, and through a rounded float
// a fraction would decide wrongly (-2.4 would not come before -2).
bool MixedNumberLess(const Variant& a, const Variant& b)
{
    const bool aFloating = IsFloating(a.GetType());
    const bool bFloating = IsFloating(b.GetType());
    if ((aFloating && std::isnan(a.GetDouble())) || (bFloating && std::isnan(b.GetDouble()))) {
        return false;
    }
    const bool aNegative = a.IsNegative();
    if (aNegative != b.IsNegative()) {
        return aNegative;
    }
    // Both have the same sign from here on, so both fit the signed range when negative and the
    // unsigned range otherwise. A floating value is compared through its floor (as the
    // smaller side) or its ceiling (as the larger side), which keeps the order exact.
    if (aFloating) {
        const double value = a.GetDouble();
        if (value < -kTwoTo63) {
            return true;
        }
        if (value >= kTwoTo64) {
            return false;
        }
        const double floor = std::floor(value);
        return value < 0.0 ? static_cast<int64_t>(floor) < b.GetInt64()
                           : static_cast<uint64_t>(floor) < b.GetUInt64();
    }
    if (bFloating) {
        const double value = b.GetDouble();
        if (value < -kTwoTo63) {
            return false;
        }
        if (value >= kTwoTo64) {
            return true;
        }
        const double ceiling = std::ceil(value);
        return value < 0.0 ? a.GetInt64() < static_cast<int64_t>(ceiling)
                           : a.GetUInt64() < static_cast<uint64_t>(ceiling);
    }
    return aNegative ? a.GetInt64() < b.GetInt64() : a.GetUInt64() < b.GetUInt64();
}

} // namespace

bool Variant::IsNegative() const
{
    switch (mType) {
    case kInt8:
        return Stored<int8_t>() < 0;
    case kInt16:
        return Stored<int16_t>() < 0;
    case kInt32:
        return Stored<int32_t>() < 0;
    case kInt64:
        return Stored<int64_t>() < 0;
    case kFloat:
        return Stored<float>() < 0.0f;
    case kDouble:
        return Stored<double>() < 0.0;
    default:
        return false;
    }
}

bool Variant::IsLess(const Variant& other) const
{
    return IsLessAt(other, 0);
}

const uint8_t* Variant::OrderBytes(uint32_t& length) const
{
    if (IsNumber(mType)) {
        length = sizeof mValue;
        return mValue;
    }
    length = mLength;
    return mData;
}

bool Variant::IsLessAt(const Variant& other, int32_t depth) const
{
    if (mType != other.mType) {
        if (mType == kEmpty || other.mType == kEmpty) {
            return mType < other.mType;
        }
        if (mType <= kDouble && other.mType <= kDouble) {
            return GetDouble() < other.GetDouble();
        }
        if (IsNumber(mType) && IsNumber(other.mType)) {
            return MixedNumberLess(*this, other);
        }
    } else {
        switch (mType) {
        case kEmpty:
            return false;
        case kBool:
            return mValue[0] < other.mValue[0];
        // Signed integers by their value, unsigned ones by theirs, each widened to 32 bits.
        case kInt8:
        case kInt16:
        case kInt32:
            return GetInt32() < other.GetInt32();
        case kUInt8:
        case kUInt16:
        case kUInt32:
            return GetUInt32() < other.GetUInt32();
        case kFloat:
            return Stored<float>() < other.Stored<float>();
        case kDouble:
            return Stored<double>() < other.Stored<double>();
        case kInt64:
            return Stored<int64_t>() < other.Stored<int64_t>();
        case kUInt64:
            return Stored<uint64_t>() < other.Stored<uint64_t>();
        case kString:
            return BytesLess<int8_t>(mData, mLength, other.mData, other.mLength);
        case kList: {
            if (depth >= kMaxOrderedListDepth) {
                break;
            }
            const int32_t count = GetListItemCount();
            const int32_t otherCount = other.GetListItemCount();
            const int32_t common = count < otherCount ? count : otherCount;
            Variant item;
            Variant otherItem;
            for (int32_t i = 0; i < common; ++i) {
                // A record that does not decode compares as the empty Variant it leaves.
                static_cast<void>(GetListItem(i, item));
                static_cast<void>(other.GetListItem(i, otherItem));
                if (!item.IsEqual(otherItem)) {
                    return item.IsLessAt(otherItem, depth + 1);
                }
            }
            return count < otherCount;
        }
        default:
            // Blobs and references order by their data.
            break;
        }
    }
    uint32_t length = 0;
    uint32_t otherLength = 0;
    const uint8_t* bytes = OrderBytes(length);
    const uint8_t* otherBytes = other.OrderBytes(otherLength);
    return BytesLess<uint8_t>(bytes, length, otherBytes, otherLength);
}

uint8_t* Variant::GetData(uint32_t& size)
{
    if (const uint32_t width = ScalarWidth(mType); width != 0) {
        size = width;
        return mValue;
    }
    if (mType >= kReference && mType <= kList) {
        size = mLength;
        return mData;
    }
    size = 0;
    return nullptr;
}

const uint8_t* Variant::GetConstData(uint32_t& size) const
{
    if (mType == kHiddenReference || mType == kList) {
        size = 0;
        return nullptr;
    }
    return const_cast<Variant*>(this)->Variant::GetData(size);
}

const char* Variant::GetString() const
{
    return mType == kString ? reinterpret_cast<const char*>(mData) : nullptr;
}

uint64_t Variant::DataPrefix(uint32_t width) const
{
    uint64_t value = 0;
    if (mData == nullptr) {
        return 0;
    }
    const uint32_t available = mLength < width ? mLength : width;
    for (uint32_t i = 0; i < available; ++i) {
        value |= uint64_t{mData[i]} << (8 * i);
    }
    return value;
}

// Signed types are sign-extended to 64 bits, unsigned ones zero-extended; a bool gives its stored
// byte, a float its rounded value, data its first 8 bytes (only as many as it has) and a string
// its length without the terminator.
uint64_t Variant::IntegerBits() const
{
    switch (mType) {
    case kBool:
    case kUInt8:
        return mValue[0];
    case kInt8:
        return static_cast<uint64_t>(int64_t{Stored<int8_t>()});
    case kInt16:
        return static_cast<uint64_t>(int64_t{Stored<int16_t>()});
    case kUInt16:
        return Stored<uint16_t>();
    case kInt32:
        return static_cast<uint64_t>(int64_t{Stored<int32_t>()});
    case kUInt32:
        return Stored<uint32_t>();
    case kFloat:
        return RoundedBits(Stored<float>());
    case kDouble:
        return RoundedBits(Stored<double>());
    case kInt64:
    case kUInt64:
        return Stored<uint64_t>();
    case kReference:
    case kHiddenReference:
    case kBlob:
        return DataPrefix(8);
    case kString:
        return mLength != 0 ? mLength - 1 : 0;
    default:
        return 0;
    }
}

bool Variant::GetBool() const
{
    switch (mType) {
    case kBool:
    case kInt8:
    case kUInt8:
        return mValue[0] != 0;
    case kInt16:
    case kUInt16:
        return Stored<uint16_t>() != 0;
    case kInt32:
    case kUInt32:
        return Stored<uint32_t>() != 0;
    case kInt64:
    case kUInt64:
        return Stored<uint64_t>() != 0;
    case kFloat:
        return Stored<float>() != 0.0f;
    case kDouble:
        return Stored<double>() != 0.0;
    case kReference:
    case kHiddenReference:
        return mData != nullptr;
    case kBlob:
    case kList:
        return mLength != 0;
    case kString:
        return mLength > 1;
    default:
        return false;
    }
}

uint8_t Variant::GetUInt8() const
{
    if (mType == kBool) {
        return mValue[0] != 0 ? 1 : 0;
    }
    return static_cast<uint8_t>(IntegerBits());
}

int8_t Variant::GetInt8() const
{
    return static_cast<int8_t>(GetUInt8());
}

int16_t Variant::GetInt16() const
{
    return static_cast<int16_t>(IntegerBits());
}

uint16_t Variant::GetUInt16() const
{
    // The stored 16-bit word of a signed byte: an 8-bit -1 gives 255, not 65535.
    if (mType == kInt8) {
        return mValue[0];
    }
    return static_cast<uint16_t>(IntegerBits());
}

int32_t Variant::GetInt32() const
{
    return static_cast<int32_t>(IntegerBits());
}

uint32_t Variant::GetUInt32() const
{
    return static_cast<uint32_t>(IntegerBits());
}

int64_t Variant::GetInt64() const
{
    if (mType == kFloat) {
        return RoundedInt64(Stored<float>());
    }
    if (mType == kDouble) {
        return RoundedInt64(Stored<double>());
    }
    return static_cast<int64_t>(IntegerBits());
}

uint64_t Variant::GetUInt64() const
{
    return IntegerBits();
}

template <class Real, class Whole>
Real Variant::ConvertedReal(Whole (Variant::*dataAsWhole)() const) const
{
    switch (mType) {
    case kBool:
    case kInt8:
    case kInt16:
    case kInt32:
    case kInt64:
        return static_cast<Real>(static_cast<int64_t>(IntegerBits()));
    case kUInt8:
    case kUInt16:
    case kUInt32:
    case kUInt64:
        return static_cast<Real>(IntegerBits());
    case kFloat:
        return static_cast<Real>(Stored<float>());
    case kDouble:
        return static_cast<Real>(Stored<double>());
    case kReference:
    case kHiddenReference:
    case kBlob:
    case kString:
        return static_cast<Real>((this->*dataAsWhole)());
    default:
        return Real{0};
    }
}

float Variant::GetFloat() const
{
    return ConvertedReal<float>(&Variant::GetInt32);
}

double Variant::GetDouble() const
{
    return ConvertedReal<double>(&Variant::GetInt64);
}

int32_t Variant::GetListItemCount() const
{
    if (mType != kList || mLength <= 4) {
        return 0;
    }
    uint64_t unused = 0;
    return static_cast<int32_t>(
        WalkList(mData, mLength, std::numeric_limits<uint32_t>::max(), unused));
}

int32_t Variant::GetListItem(int32_t index, Variant& item) const
{
    // The record is decoded before `item` changes, so `item` may be this list itself.
    uint64_t offset = 0;
    const uint32_t wanted = static_cast<uint32_t>(index);
    if (mType != kList || mLength <= 4 || WalkList(mData, mLength, wanted, offset) <= wanted ||
        mLength - offset < kRecordHeadSize) {
        item.Clear();
        return kResultFailed;
    }
    return Deserialize(item, mData + offset, static_cast<uint32_t>(mLength - offset)) == S_OK
               ? 0
               : kResultFailed;
}

int32_t Variant::Serialize(const Variant& variant, uint8_t* target, uint32_t targetSize)
{
    const int32_t type = variant.mType;
    if ((type == kReference || type == kHiddenReference) && variant.mData == nullptr) {
        return E_FAIL;
    }
    if (target == nullptr) {
        return E_FAIL;
    }
    const uint32_t width = ScalarWidth(type);
    const uint32_t payload = width != 0 ? width : variant.mLength;
    // The size is answered as a non-negative int32.
    if (payload > static_cast<uint32_t>(std::numeric_limits<int32_t>::max()) - kRecordHeadSize) {
        return E_FAIL;
    }
    const uint32_t total = kRecordHeadSize + payload;
    if (targetSize < total) {
        return E_FAIL;
    }
    WriteUInt32(target, total);
    WriteUInt32(target + 4, kRecordVersion);
    WriteUInt32(target + 8, static_cast<uint32_t>(type));
    if (width != 0) {
        CopyLittleEndian(target + kRecordHeadSize, variant.mValue, width);
    } else if (payload != 0) {
        std::memcpy(target + kRecordHeadSize, variant.mData, payload);
    }
    return static_cast<int32_t>(total);
}

// Records come from files and from the device-control library: every field is checked before
// anything is read behind it, and the payload is copied before `variant` changes, so the record
// may lie inside `variant`'s own block.
int32_t Variant::Deserialize(Variant& variant, const uint8_t* record, uint32_t available)
{
    if (record == nullptr || available < kRecordHeadSize) {
        variant.Clear();
        return E_FAIL;
    }
    const uint32_t total = ReadUInt32(record);
    const uint32_t version = ReadUInt32(record + 4);
    // Read unsigned, so a negative type code is as unknown as 17.
    const uint32_t typeCode = ReadUInt32(record + 8);
    if (total < kRecordHeadSize || total > available || version != kRecordVersion ||
        typeCode > static_cast<uint32_t>(kList)) {
        variant.Clear();
        return E_FAIL;
    }
    const int32_t type = static_cast<int32_t>(typeCode);
    const uint32_t payload = total - kRecordHeadSize;
    const uint8_t* data = record + kRecordHeadSize;

    if (payload == 0) {
        if (type == kEmpty || type == kList) {
            variant.SetData(type, nullptr, 0);
            return S_OK;
        }
        variant.Clear();
        return E_FAIL;
    }
    // An empty Variant has no payload, and a string carries its terminator as its last byte.
    if (type == kEmpty || (type == kString && data[payload - 1] != 0)) {
        variant.Clear();
        return E_FAIL;
    }
    int32_t stored = kEmpty;
    if (const uint32_t width = ScalarWidth(type); width != 0) {
        if (payload != width) {
            variant.Clear();
            return E_FAIL;
        }
        uint8_t value[8];
        CopyLittleEndian(value, data, width);
        stored = variant.SetData(type, value, width);
    } else {
        stored = variant.SetData(type, data, payload);
    }
    if (stored != type) {
        // References come back as blobs: they do not load.
        variant.Clear();
        return E_FAIL;
    }
    return S_OK;
}

} // namespace SV
