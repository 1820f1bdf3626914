#include "Utilities/Storage/Variant.h"

#include "ResultCodes.h"
#include "VariantBytes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace SV {
namespace {

using namespace svtest;

// References (types 12 and 13) are made only by classes that expose memory of their own.
class ReferenceVariant : public Variant
{
public:
    ReferenceVariant(int32_t type, uint8_t* data, uint32_t size) { SetReference(type, data, size); }
};

// Hands out its blocks from a ledger, so a test sees every allocation and release, and any
// release of memory it never gave out.
struct Ledger
{
    std::set<uint8_t*> live;
    int allocations = 0;
    int foreignFrees = 0;
};

class LedgerVariant : public Variant
{
public:
    explicit LedgerVariant(Ledger& ledger) : mLedger(ledger) {}
    ~LedgerVariant() override { Clear(); }

protected:
    uint8_t* AllocateData(uint32_t size) override
    {
        uint8_t* block = Variant::AllocateData(size);
        mLedger.live.insert(block);
        ++mLedger.allocations;
        return block;
    }
    void FreeData(uint8_t* data) override
    {
        if (mLedger.live.erase(data) == 0) {
            ++mLedger.foreignFrees;
            return;
        }
        Variant::FreeData(data);
    }

private:
    Ledger& mLedger;
};

// --- The record format ---------------------------------------------------------------------

struct RecordCase
{
    const char* name;
    Variant variant;
    Bytes record;
};

std::vector<RecordCase> RecordCases()
{
    // clang-format off
    return {
        {"empty", Variant(), {0x0C, 0, 0, 0, 0x01, 0, 0, 0, 0x00, 0, 0, 0}},
        {"bool", Scalar<uint8_t>(Variant::kBool, 1),
         {0x0D, 0, 0, 0, 1, 0, 0, 0, 0x01, 0, 0, 0, 0x01}},
        {"int8", Scalar<int8_t>(Variant::kInt8, -1),
         {0x0D, 0, 0, 0, 1, 0, 0, 0, 0x02, 0, 0, 0, 0xFF}},
        {"uint8", Scalar<uint8_t>(Variant::kUInt8, 7),
         {0x0D, 0, 0, 0, 1, 0, 0, 0, 0x03, 0, 0, 0, 0x07}},
        {"int16", Scalar<int16_t>(Variant::kInt16, -2),
         {0x0E, 0, 0, 0, 1, 0, 0, 0, 0x04, 0, 0, 0, 0xFE, 0xFF}},
        {"uint16", Scalar<uint16_t>(Variant::kUInt16, 0x1234),
         {0x0E, 0, 0, 0, 1, 0, 0, 0, 0x05, 0, 0, 0, 0x34, 0x12}},
        {"int32", Scalar<int32_t>(Variant::kInt32, -5),
         {0x10, 0, 0, 0, 1, 0, 0, 0, 0x06, 0, 0, 0, 0xFB, 0xFF, 0xFF, 0xFF}},
        {"uint32", Scalar<uint32_t>(Variant::kUInt32, 0x89ABCDEF),
         {0x10, 0, 0, 0, 1, 0, 0, 0, 0x07, 0, 0, 0, 0xEF, 0xCD, 0xAB, 0x89}},
        {"float", Scalar<float>(Variant::kFloat, 1.0f),
         {0x10, 0, 0, 0, 1, 0, 0, 0, 0x08, 0, 0, 0, 0x00, 0x00, 0x80, 0x3F}},
        {"double", Scalar<double>(Variant::kDouble, -2.0),
         {0x14, 0, 0, 0, 1, 0, 0, 0, 0x09, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xC0}},
        {"int64", Scalar<int64_t>(Variant::kInt64, 0x0102030405060708),
         {0x14, 0, 0, 0, 1, 0, 0, 0, 0x0A, 0, 0, 0,
          0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01}},
        {"uint64", Scalar<uint64_t>(Variant::kUInt64, 0xFFFFFFFFFFFFFFFE),
         {0x14, 0, 0, 0, 1, 0, 0, 0, 0x0B, 0, 0, 0,
          0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        {"blob", Blob({0xAA, 0xBB}),
         {0x0E, 0, 0, 0, 1, 0, 0, 0, 0x0E, 0, 0, 0, 0xAA, 0xBB}},
        {"string", Text("ab"),
         {0x0F, 0, 0, 0, 1, 0, 0, 0, 0x0F, 0, 0, 0, 'a', 'b', 0}},
        {"empty string", Text(""),
         {0x0D, 0, 0, 0, 1, 0, 0, 0, 0x0F, 0, 0, 0, 0}},
        {"empty list", List({}),
         {0x0C, 0, 0, 0, 1, 0, 0, 0, 0x10, 0, 0, 0}},
        {"list", List({Scalar<int32_t>(Variant::kInt32, 1), Text("a")}),
         {0x2A, 0, 0, 0, 1, 0, 0, 0, 0x10, 0, 0, 0,                 // the list
          0x10, 0, 0, 0, 1, 0, 0, 0, 0x06, 0, 0, 0, 0x01, 0, 0, 0,  // int32 1
          0x0E, 0, 0, 0, 1, 0, 0, 0, 0x0F, 0, 0, 0, 'a', 0}},       // "a"
        {"nested list", List({List({Scalar<uint8_t>(Variant::kUInt8, 9)})}),
         {0x25, 0, 0, 0, 1, 0, 0, 0, 0x10, 0, 0, 0,                 // outer list
          0x19, 0, 0, 0, 1, 0, 0, 0, 0x10, 0, 0, 0,                 // inner list
          0x0D, 0, 0, 0, 1, 0, 0, 0, 0x03, 0, 0, 0, 0x09}},         // uint8 9
    };
    // clang-format on
}

TEST(VariantRecordTest, SerializeWritesEachTypeByteForByteAndDeserializeReadsItBack)
{
    for (RecordCase& c : RecordCases()) {
        SCOPED_TRACE(c.name);
        const auto size = static_cast<uint32_t>(c.record.size());

        Bytes written(size + 3, 0xEE);
        EXPECT_EQ(Variant::Serialize(c.variant, written.data(), size + 3),
                  static_cast<int32_t>(size));
        EXPECT_EQ(Bytes(written.begin(), written.begin() + size), c.record);
        EXPECT_EQ(written[size], 0xEE) << "wrote past its record";

        Bytes exact(size);
        EXPECT_EQ(Variant::Serialize(c.variant, exact.data(), size), static_cast<int32_t>(size));
        EXPECT_EQ(Variant::Serialize(c.variant, exact.data(), size - 1), E_FAIL);

        // Bytes beyond the size word are ignored.
        Bytes available = c.record;
        available.push_back(0x55);
        Variant read = Text("previous");
        EXPECT_EQ(Variant::Deserialize(read, available.data(), size + 1), S_OK);
        EXPECT_EQ(read.GetType(), c.variant.GetType());
        EXPECT_TRUE(read.IsEqual(c.variant));
    }
}

TEST(VariantRecordTest, SerializeRefusesNoTargetAndReferencesWithoutData)
{
    Bytes target(64);
    EXPECT_EQ(Variant::Serialize(Scalar<uint8_t>(Variant::kUInt8, 7), nullptr, 64), E_FAIL);
    EXPECT_EQ(
        Variant::Serialize(ReferenceVariant(Variant::kReference, nullptr, 4), target.data(), 64),
        E_FAIL);
    EXPECT_EQ(Variant::Serialize(ReferenceVariant(Variant::kHiddenReference, nullptr, 0),
                                 target.data(), 64),
              E_FAIL);

    // A reference with data is written with its own type code, but such a record never loads.
    uint8_t bytes[] = {0x01, 0x02};
    const ReferenceVariant reference(Variant::kHiddenReference, bytes, 2);
    ASSERT_EQ(Variant::Serialize(reference, target.data(), 64), 14);
    EXPECT_EQ(Bytes(target.begin(), target.begin() + 14),
              (Bytes{0x0E, 0, 0, 0, 1, 0, 0, 0, 0x0D, 0, 0, 0, 0x01, 0x02}));
    Variant read;
    EXPECT_EQ(Variant::Deserialize(read, target.data(), 14), E_FAIL);
    EXPECT_EQ(read.GetType(), Variant::kEmpty);
}

TEST(VariantRecordTest, DeserializeRefusesMalformedRecordsAndLeavesTheVariantEmpty)
{
    struct Case
    {
        const char* name;
        Bytes record;
    };
    const Case cases[] = {
        {"head cut short", {0x0C, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0}},
        // Below the head, the payload's length would come out near 4 GiB.
        {"total size 0", {0x00, 0, 0, 0, 1, 0, 0, 0, 0x0E, 0, 0, 0, 0x07}},
        {"total size 11", {0x0B, 0, 0, 0, 1, 0, 0, 0, 0x10, 0, 0, 0, 0x07}},
        {"total size beyond the bytes", {0x0E, 0, 0, 0, 1, 0, 0, 0, 0x03, 0, 0, 0, 0x07}},
        {"total size 4 GiB", {0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 0x0E, 0, 0, 0, 0x07}},
        {"version 2", {0x0D, 0, 0, 0, 2, 0, 0, 0, 0x03, 0, 0, 0, 0x07}},
        {"version 0", {0x0C, 0, 0, 0, 0, 0, 0, 0, 0x00, 0, 0, 0}},
        {"type 17", {0x0D, 0, 0, 0, 1, 0, 0, 0, 0x11, 0, 0, 0, 0x07}},
        {"negative type", {0x0D, 0, 0, 0, 1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0x07}},
        {"int16 of 1 byte", {0x0D, 0, 0, 0, 1, 0, 0, 0, 0x04, 0, 0, 0, 0x07}},
        {"int32 of 8 bytes", {0x14, 0, 0, 0, 1, 0, 0, 0, 0x06, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0}},
        {"double of 4 bytes", {0x10, 0, 0, 0, 1, 0, 0, 0, 0x09, 0, 0, 0, 0, 0, 0x80, 0x3F}},
        {"bool without payload", {0x0C, 0, 0, 0, 1, 0, 0, 0, 0x01, 0, 0, 0}},
        {"blob without payload", {0x0C, 0, 0, 0, 1, 0, 0, 0, 0x0E, 0, 0, 0}},
        {"string without payload", {0x0C, 0, 0, 0, 1, 0, 0, 0, 0x0F, 0, 0, 0}},
        {"string without its 0", {0x0E, 0, 0, 0, 1, 0, 0, 0, 0x0F, 0, 0, 0, 'a', 'b'}},
        {"empty with payload", {0x0D, 0, 0, 0, 1, 0, 0, 0, 0x00, 0, 0, 0, 0x07}},
        {"reference", {0x0D, 0, 0, 0, 1, 0, 0, 0, 0x0C, 0, 0, 0, 0x07}},
        {"hidden reference", {0x0D, 0, 0, 0, 1, 0, 0, 0, 0x0D, 0, 0, 0, 0x07}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Exactly the record's bytes on the heap, so reading one byte too far is caught.
        Variant read = Blob({1, 2, 3});
        EXPECT_EQ(
            Variant::Deserialize(read, c.record.data(), static_cast<uint32_t>(c.record.size())),
            E_FAIL);
        EXPECT_EQ(read.GetType(), Variant::kEmpty);
        EXPECT_EQ(read.GetLength(), 0u);
    }
    Variant read = Text("x");
    EXPECT_EQ(Variant::Deserialize(read, nullptr, 12), E_FAIL);
    EXPECT_EQ(read.GetType(), Variant::kEmpty);
}

TEST(VariantRecordTest, AStringRecordKeepsItsTextUpToTheFirst0)
{
    const Bytes twoCharacters = {0x0F, 0, 0, 0, 1, 0, 0, 0, 0x0F, 0, 0, 0, 'h', 'i', 0};
    Variant read;
    ASSERT_EQ(Variant::Deserialize(read, twoCharacters.data(), 15), S_OK);
    EXPECT_EQ(read.GetLength(), 3u);
    EXPECT_STREQ(read.GetString(), "hi");
    EXPECT_EQ(read.GetInt32(), 2);

    const Bytes inner0 = {0x11, 0, 0, 0, 1, 0, 0, 0, 0x0F, 0, 0, 0, 'a', 0, 'b', 'c', 0};
    ASSERT_EQ(Variant::Deserialize(read, inner0.data(), 17), S_OK);
    EXPECT_STREQ(read.GetString(), "a");
    EXPECT_EQ(read.GetLength(), 2u);
}

// --- Converting getters ----------------------------------------------------------------------

struct Conversions
{
    bool asBool;
    uint8_t asUInt8;
    int8_t asInt8;
    int16_t asInt16;
    uint16_t asUInt16;
    int32_t asInt32;
    uint32_t asUInt32;
    int64_t asInt64;
    uint64_t asUInt64;
    float asFloat;
    double asDouble;
};

template <class T>
bool SameNumber(T a, T b)
{
    return (std::isnan(a) && std::isnan(b)) || a == b;
}

TEST(VariantGetterTest, EveryTypeConvertsToEveryGetterByTheTable)
{
    constexpr uint64_t kMax64 = std::numeric_limits<uint64_t>::max();
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    constexpr uint64_t kBig = 0xF000000000000123;
    uint8_t referenced[] = {0x05, 0, 0, 0, 0, 0, 0, 0, 0x01};
    const Bytes nineBytes = {1, 2, 3, 4, 5, 6, 7, 8, 9};

    struct Case
    {
        const char* name;
        Variant variant;
        Conversions expected;
    };
    const Case cases[] = {
        {"empty", Variant(), {false, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"bool 1", Scalar<uint8_t>(Variant::kBool, 1), {true, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
        // A bool holding 2: the 8-bit getters answer 0 or 1, the wider ones the stored byte.
        {"bool 2", Scalar<uint8_t>(Variant::kBool, 2), {true, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2}},
        {"bool 0", Scalar<uint8_t>(Variant::kBool, 0), {false, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"int8 -1",
         Scalar<int8_t>(Variant::kInt8, -1),
         {true, 255, -1, -1, 255, -1, 0xFFFFFFFF, -1, kMax64, -1, -1}},
        {"uint8 200",
         Scalar<uint8_t>(Variant::kUInt8, 200),
         {true, 200, -56, 200, 200, 200, 200, 200, 200, 200, 200}},
        {"int16 -2",
         Scalar<int16_t>(Variant::kInt16, -2),
         {true, 0xFE, -2, -2, 0xFFFE, -2, 0xFFFFFFFE, -2, kMax64 - 1, -2, -2}},
        {"uint16 65535",
         Scalar<uint16_t>(Variant::kUInt16, 0xFFFF),
         {true, 255, -1, -1, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 65535, 65535}},
        {"int32 -5",
         Scalar<int32_t>(Variant::kInt32, -5),
         {true, 251, -5, -5, 0xFFFB, -5, 0xFFFFFFFB, -5, kMax64 - 4, -5, -5}},
        {"uint32 0x80000001",
         Scalar<uint32_t>(Variant::kUInt32, 0x80000001),
         {true, 1, 1, 1, 1, -2147483647, 0x80000001, 0x80000001, 0x80000001, 2147483649.0f,
          2147483649.0}},
        {"int64 -1",
         Scalar<int64_t>(Variant::kInt64, -1),
         {true, 255, -1, -1, 0xFFFF, -1, 0xFFFFFFFF, -1, kMax64, -1, -1}},
        {"uint64 F000000000000123",
         Scalar<uint64_t>(Variant::kUInt64, kBig),
         {true, 0x23, 0x23, 0x123, 0x123, 0x123, 0x123, static_cast<int64_t>(kBig), kBig,
          static_cast<float>(kBig), static_cast<double>(kBig)}},
        {"float 2.5", Scalar(Variant::kFloat, 2.5f), {true, 3, 3, 3, 3, 3, 3, 3, 3, 2.5f, 2.5}},
        {"float -2.5",
         Scalar(Variant::kFloat, -2.5f),
         {true, 253, -3, -3, 0xFFFD, -3, 0xFFFFFFFD, -3, kMax64 - 2, -2.5f, -2.5}},
        {"double 0.4", Scalar(Variant::kDouble, 0.4), {true, 0, 0, 0, 0, 0, 0, 0, 0, 0.4f, 0.4}},
        // At or above 2^63 the unsigned range holds the value; the signed one saturates.
        {"double 1e19",
         Scalar(Variant::kDouble, 1e19),
         {true, 0, 0, 0, 0, -1981284352, 2313682944, std::numeric_limits<int64_t>::max(),
          10000000000000000000u, 1e19f, 1e19}},
        {"double -1e30",
         Scalar(Variant::kDouble, -1e30),
         {true, 0, 0, 0, 0, 0, 0, std::numeric_limits<int64_t>::min(), 0x8000000000000000, -1e30f,
          -1e30}},
        {"double NaN",
         Scalar(Variant::kDouble, kNaN),
         {true, 0, 0, 0, 0, 0, 0, 0, 0, static_cast<float>(kNaN), kNaN}},
        {"reference",
         ReferenceVariant(Variant::kReference, referenced, sizeof referenced),
         {true, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5}},
        {"hidden reference",
         ReferenceVariant(Variant::kHiddenReference, referenced, sizeof referenced),
         {true, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5}},
        {"reference without data",
         ReferenceVariant(Variant::kReference, nullptr, 0),
         {false, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"blob of 9",
         Blob(nineBytes),
         {true, 1, 1, 0x0201, 0x0201, 0x04030201, 0x04030201, 0x0807060504030201,
          0x0807060504030201, static_cast<float>(0x04030201),
          static_cast<double>(0x0807060504030201)}},
        // Data shorter than a getter's width is read only as far as it goes.
        {"blob of 1", Blob({0x01}), {true, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
        {"blob of 2",
         Blob({0xFF, 0xFF}),
         {true, 255, -1, -1, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 65535, 65535}},
        {"blob of 0", Blob({}), {false, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        // A string converts to its length, not its text.
        {"string 42", Text("42"), {true, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2}},
        {"empty string", Text(""), {false, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"list", List({Scalar<int32_t>(Variant::kInt32, 7)}), {true, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"empty list", List({}), {false, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Variant& v = c.variant;
        const Conversions& e = c.expected;
        EXPECT_EQ(v.GetBool(), e.asBool);
        EXPECT_EQ(v.GetUInt8(), e.asUInt8);
        EXPECT_EQ(v.GetInt8(), e.asInt8);
        EXPECT_EQ(v.GetInt16(), e.asInt16);
        EXPECT_EQ(v.GetUInt16(), e.asUInt16);
        EXPECT_EQ(v.GetInt32(), e.asInt32);
        EXPECT_EQ(v.GetUInt32(), e.asUInt32);
        EXPECT_EQ(v.GetInt64(), e.asInt64);
        EXPECT_EQ(v.GetUInt64(), e.asUInt64);
        EXPECT_TRUE(SameNumber(v.GetFloat(), e.asFloat)) << v.GetFloat();
        EXPECT_TRUE(SameNumber(v.GetDouble(), e.asDouble)) << v.GetDouble();
    }
}

// --- Setters, data access and comparison -----------------------------------------------------

TEST(VariantSetterTest, SetDataTakesScalarsOnlyAtTheirWidthAndTurnsDataIntoOwnedBlocks)
{
    const uint8_t bytes[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    struct Case
    {
        int32_t type;
        uint32_t size;
        int32_t expected;
    };
    const Case cases[] = {
        {Variant::kBool, 1, Variant::kBool},
        {Variant::kBool, 2, Variant::kEmpty},
        {Variant::kInt8, 1, Variant::kInt8},
        {Variant::kUInt8, 0, Variant::kEmpty},
        {Variant::kInt16, 2, Variant::kInt16},
        {Variant::kUInt16, 1, Variant::kEmpty},
        {Variant::kInt32, 4, Variant::kInt32},
        {Variant::kUInt32, 4, Variant::kUInt32},
        {Variant::kFloat, 8, Variant::kEmpty},
        {Variant::kFloat, 4, Variant::kFloat},
        {Variant::kDouble, 8, Variant::kDouble},
        {Variant::kInt64, 4, Variant::kEmpty},
        {Variant::kInt64, 8, Variant::kInt64},
        {Variant::kUInt64, 8, Variant::kUInt64},
        {Variant::kReference, 3, Variant::kBlob},
        {Variant::kHiddenReference, 3, Variant::kBlob},
        {Variant::kBlob, 3, Variant::kBlob},
        {Variant::kList, 8, Variant::kList},
        {Variant::kString, 3, Variant::kString},
        {Variant::kEmpty, 1, Variant::kEmpty},
        {17, 1, Variant::kEmpty},
        {-1, 1, Variant::kEmpty},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " size " << c.size);
        Variant variant = Text("previous");
        EXPECT_EQ(variant.SetData(c.type, bytes, c.size), c.expected);
        EXPECT_EQ(variant.GetType(), c.expected);
        if (c.expected == Variant::kEmpty) {
            EXPECT_EQ(variant.GetLength(), 0u);
            EXPECT_EQ(DataOf(variant), Bytes());
        } else if (c.expected != Variant::kString) {
            EXPECT_EQ(DataOf(variant), Bytes(bytes, bytes + c.size));
        }
    }

    Variant variant;
    EXPECT_EQ(variant.SetData(Variant::kInt32, nullptr, 4), Variant::kEmpty);
    EXPECT_EQ(variant.SetBlob(nullptr, 4), Variant::kEmpty);
    EXPECT_EQ(variant.SetString(nullptr), Variant::kEmpty);
}

TEST(VariantSetterTest, StringsCarryTheirTerminatorAndAreNeverReadBeyondTheirSize)
{
    Variant variant;
    EXPECT_EQ(variant.SetString("abc"), Variant::kString);
    EXPECT_EQ(variant.GetLength(), 4u);
    EXPECT_EQ(DataOf(variant), (Bytes{'a', 'b', 'c', 0}));

    // Exactly three bytes on the heap and no 0 among them.
    const Bytes unterminated = {'x', 'y', 'z'};
    EXPECT_EQ(variant.SetData(Variant::kString, unterminated.data(), 3), Variant::kString);
    EXPECT_STREQ(variant.GetString(), "xyz");
    EXPECT_EQ(variant.GetLength(), 4u);

    const Bytes inner0 = {'a', 'b', 0, 'c'};
    variant.SetData(Variant::kString, inner0.data(), 4);
    EXPECT_STREQ(variant.GetString(), "ab");
    EXPECT_EQ(variant.GetLength(), 3u);

    EXPECT_EQ(Blob({'a', 0}).GetString(), nullptr);
}

TEST(VariantSetterTest, SetBlobOfNothingStillOwnsABlock)
{
    Variant blob = Blob({});
    uint32_t size = 99;
    EXPECT_EQ(blob.GetType(), Variant::kBlob);
    EXPECT_NE(blob.GetData(size), nullptr);
    EXPECT_EQ(size, 0u);
}

TEST(VariantSetterTest, GetDataExposesTheScalarInPlaceAndGetConstDataHidesTypes13And16)
{
    Variant number = Scalar<int32_t>(Variant::kInt32, 1);
    uint32_t size = 0;
    uint8_t* data = number.GetData(size);
    ASSERT_EQ(size, 4u);
    data[0] = 0x2A;
    EXPECT_EQ(number.GetInt32(), 42);

    uint8_t referenced[] = {1, 2, 3};
    ReferenceVariant reference(Variant::kReference, referenced, 3);
    ReferenceVariant hidden(Variant::kHiddenReference, referenced, 3);
    Variant list = List({Variant()});
    struct Case
    {
        const char* name;
        Variant* variant;
        const uint8_t* data;
        uint32_t size;
        const uint8_t* constData;
        uint32_t constSize;
    };
    const Case cases[] = {
        {"reference", &reference, referenced, 3, referenced, 3},
        {"hidden reference", &hidden, referenced, 3, nullptr, 0},
        {"list", &list, list.GetData(size), 12, nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.variant->GetData(size), c.data);
        EXPECT_EQ(size, c.size);
        EXPECT_EQ(static_cast<const Variant*>(c.variant)->GetConstData(size), c.constData);
        EXPECT_EQ(size, c.constSize);
    }
    Variant empty;
    size = 7;
    EXPECT_EQ(empty.GetData(size), nullptr);
    EXPECT_EQ(size, 0u);
}

TEST(VariantCompareTest, IsEqualNeedsTheSameTypeAndTheSameContent)
{
    uint8_t referenced[] = {1, 2, 3};
    const Variant nan = Scalar(Variant::kDouble, std::numeric_limits<double>::quiet_NaN());
    struct Case
    {
        const char* name;
        Variant a;
        Variant b;
        bool equal;
    };
    const Case cases[] = {
        {"empties", Variant(), Variant(), true},
        {"int32 1 and uint32 1", Scalar<int32_t>(Variant::kInt32, 1),
         Scalar<uint32_t>(Variant::kUInt32, 1), false},
        {"int16", Scalar<int16_t>(Variant::kInt16, -3), Scalar<int16_t>(Variant::kInt16, -3), true},
        {"uint64", Scalar<uint64_t>(Variant::kUInt64, 1ull << 40),
         Scalar<uint64_t>(Variant::kUInt64, 1), false},
        {"float zeros", Scalar(Variant::kFloat, 0.0f), Scalar(Variant::kFloat, -0.0f), true},
        {"NaN", nan, nan, false},
        {"blobs", Blob({1, 2}), Blob({1, 2}), true},
        {"blobs differing in a byte", Blob({1, 2}), Blob({1, 3}), false},
        {"blobs differing in length", Blob({1, 2}), Blob({1, 2, 3}), false},
        {"empty blobs", Blob({}), Blob({}), true},
        {"string and blob of its bytes", Text("a"), Blob({'a', 0}), false},
        {"lists of the same records", List({Text("a"), Scalar<int8_t>(Variant::kInt8, 1)}),
         List({Text("a"), Scalar<int8_t>(Variant::kInt8, 1)}), true},
        {"lists of different records", List({Text("a")}), List({Text("b")}), false},
        {"empty lists", List({}), List({}), true},
        {"references to the same data", ReferenceVariant(Variant::kReference, referenced, 3),
         ReferenceVariant(Variant::kReference, referenced, 3), true},
        {"references of other lengths", ReferenceVariant(Variant::kReference, referenced, 3),
         ReferenceVariant(Variant::kReference, referenced, 2), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.a.IsEqual(c.b), c.equal);
        EXPECT_EQ(c.b.IsEqual(c.a), c.equal);
    }
}

// --- Ownership, copies and moves -------------------------------------------------------------

TEST(VariantOwnershipTest, EveryOwnedBlockIsFreedOnceThroughTheAllocationPairAndReferencesNever)
{
    Ledger ledger;
    uint8_t referenced[] = {1, 2, 3, 4};
    {
        LedgerVariant variant(ledger);
        variant.SetBlob(referenced, 4);
        variant.SetString("text");
        variant.SetData(Variant::kReference, referenced, 4); // becomes an owned blob
        variant.SetList(std::vector<Variant>{Text("a"), Blob({1})}.data(), 2);
        EXPECT_EQ(ledger.live.size(), 1u);

        LedgerVariant copy(ledger);
        copy.Assign(variant);
        EXPECT_EQ(ledger.live.size(), 2u);
        uint32_t size = 0;
        EXPECT_NE(copy.GetData(size), variant.GetData(size));

        // A reference is shared, never copied or freed.
        copy.Assign(ReferenceVariant(Variant::kHiddenReference, referenced, 4));
        EXPECT_EQ(copy.GetData(size), referenced);
        EXPECT_EQ(ledger.live.size(), 1u);
        copy.Clear();

        variant.SetData(Variant::kInt32, referenced, 4);
        EXPECT_TRUE(ledger.live.empty());
        variant.SetList(static_cast<const Variant*>(nullptr), 0); // an empty list has no block
        variant.SetBlob(referenced, 0);
        EXPECT_EQ(ledger.live.size(), 1u);
    }
    EXPECT_TRUE(ledger.live.empty());
    EXPECT_EQ(ledger.allocations, 6);
    EXPECT_EQ(ledger.foreignFrees, 0);
}

TEST(VariantOwnershipTest, CopiesAreDeepAndMovesHandTheBlockOver)
{
    Variant original = Blob({1, 2, 3});
    Variant copy = original;
    uint32_t size = 0;
    copy.GetData(size)[0] = 9;
    EXPECT_EQ(DataOf(original), (Bytes{1, 2, 3}));

    uint8_t* block = original.GetData(size);
    Variant moved = std::move(original);
    EXPECT_EQ(moved.GetData(size), block);
    EXPECT_EQ(original.GetType(), Variant::kEmpty); // NOLINT(bugprone-use-after-move)

    Variant assigned = Text("old");
    assigned = std::move(moved);
    EXPECT_EQ(assigned.GetData(size), block);
    assigned = copy;
    EXPECT_EQ(DataOf(assigned), (Bytes{9, 2, 3}));

    // Growing a vector moves its Variants; every value survives.
    std::vector<Variant> values;
    for (int32_t i = 0; i < 40; ++i) {
        values.push_back(i % 2 == 0 ? Text(std::to_string(i).c_str())
                                    : Scalar<int32_t>(Variant::kInt32, i));
    }
    for (int32_t i = 0; i < 40; ++i) {
        if (i % 2 == 0) {
            EXPECT_STREQ(values[static_cast<size_t>(i)].GetString(), std::to_string(i).c_str());
        } else {
            EXPECT_EQ(values[static_cast<size_t>(i)].GetInt32(), i);
        }
    }
    std::vector<Variant> copies = values;
    EXPECT_TRUE(copies[10].IsEqual(values[10]));
}

TEST(VariantOwnershipTest, AVariantCanBeRebuiltFromItsOwnData)
{
    Variant variant = Blob({1, 2, 3, 4});
    Variant& same = variant;
    variant = same;
    EXPECT_EQ(variant.Assign(same), Variant::kBlob);
    EXPECT_EQ(DataOf(variant), (Bytes{1, 2, 3, 4}));

    uint32_t size = 0;
    variant.SetBlob(variant.GetData(size) + 1, 2);
    EXPECT_EQ(DataOf(variant), (Bytes{2, 3}));
    variant.SetData(Variant::kUInt16, variant.GetData(size), 2);
    EXPECT_EQ(variant.GetUInt16(), 0x0302);

    // A list holding itself, read back into itself.
    variant.SetList(&variant, 1);
    EXPECT_EQ(variant.GetListItemCount(), 1);
    EXPECT_EQ(variant.GetListItem(0, variant), 0);
    EXPECT_EQ(variant.GetType(), Variant::kUInt16);
    EXPECT_EQ(variant.GetUInt16(), 0x0302);

    Variant record(Blob({0x0D, 0, 0, 0, 1, 0, 0, 0, 0x03, 0, 0, 0, 0x07}));
    const uint8_t* bytes = record.GetData(size);
    EXPECT_EQ(Variant::Deserialize(record, bytes, size), S_OK);
    EXPECT_EQ(record.GetType(), Variant::kUInt8);
    EXPECT_EQ(record.GetUInt8(), 7);
}

// --- Lists -------------------------------------------------------------------------------------

TEST(VariantListTest, SetListWritesEachItemsRecordAndGetListItemReadsThemBack)
{
    const Variant number = Scalar<int32_t>(Variant::kInt32, -9);
    const Variant text = Text("x");
    const Variant items[] = {number, text};
    Variant list;
    ASSERT_EQ(list.SetList(items, 2), Variant::kList);
    EXPECT_EQ(list.GetLength(), 30u);
    EXPECT_EQ(list.GetListItemCount(), 2);

    const Variant* pointers[] = {&number, &text};
    Variant fromPointers;
    EXPECT_EQ(fromPointers.SetList(pointers, 2), Variant::kList);
    EXPECT_TRUE(fromPointers.IsEqual(list));

    Variant item = Blob({7});
    EXPECT_EQ(list.GetListItem(1, item), 0);
    EXPECT_STREQ(item.GetString(), "x");
    EXPECT_EQ(list.GetListItem(0, item), 0);
    EXPECT_EQ(item.GetInt32(), -9);
    for (const int32_t index : {2, -1}) {
        item = Blob({7});
        EXPECT_EQ(list.GetListItem(index, item), -1);
        EXPECT_EQ(item.GetType(), Variant::kEmpty);
    }

    Variant empty;
    ASSERT_EQ(empty.SetList(items, 0), Variant::kList);
    EXPECT_EQ(empty.GetLength(), 0u);
    EXPECT_EQ(empty.GetListItemCount(), 0);
    EXPECT_EQ(empty.GetListItem(0, item), -1);
    EXPECT_EQ(number.GetListItem(0, item), -1);
    EXPECT_EQ(number.GetListItemCount(), 0);
}

TEST(VariantListTest, SetListRefusesMissingItemsAndReferencesWithoutData)
{
    const Variant text = Text("x");
    const ReferenceVariant noData(Variant::kReference, nullptr, 0);
    const Variant* pointers[] = {&text, nullptr};
    const Variant* withReference[] = {&text, &noData};

    Variant list = Text("previous");
    EXPECT_EQ(list.SetList(pointers, 2), Variant::kEmpty);
    EXPECT_EQ(list.GetType(), Variant::kEmpty);
    EXPECT_EQ(list.SetList(withReference, 2), Variant::kEmpty);
    EXPECT_EQ(list.SetList(static_cast<const Variant*>(nullptr), 3), Variant::kEmpty);
    EXPECT_EQ(list.SetList(&text, -1), Variant::kEmpty);
}

TEST(VariantListTest, MalformedListsAreWalkedWithoutLoopingOrReadingPastTheirEnd)
{
    const Bytes good = {0x10, 0, 0, 0, 1, 0, 0, 0, 0x06, 0, 0, 0, 0x2A, 0, 0, 0}; // int32 42
    auto after = [&good](Bytes tail) {
        Bytes bytes = good;
        bytes.insert(bytes.end(), tail.begin(), tail.end());
        return bytes;
    };
    struct Case
    {
        const char* name;
        Bytes list;
        int32_t count;
        std::vector<int32_t> results; // GetListItem of each index up to count
    };
    const Case cases[] = {
        {"a first record of size 0", {0, 0, 0, 0, 1, 0, 0, 0, 0x06, 0, 0, 0, 0x2A}, 1, {-1, -1}},
        {"a record of size 0 after a good one",
         after({0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0}),
         2,
         {0, -1, -1}},
        {"a record of size 5",
         after({5, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0x10, 0, 0, 0}),
         2,
         {0, -1, -1}},
        // 16 + 0xFFFFFFF0 is 2^32: an offset of 32 bits would wrap back to the first record.
        {"a size that wraps the offset",
         after({0xF0, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 6, 0, 0, 0}),
         2,
         {0, -1, -1}},
        {"a record longer than the list",
         after({0x14, 0, 0, 0, 1, 0, 0, 0, 6, 0, 0, 0, 1, 0}),
         2,
         {0, -1, -1}},
        {"4 bytes left over", after({1, 2, 3, 4}), 1, {0, -1}},
        {"5 bytes left over", after({0x0C, 0, 0, 0, 1}), 2, {0, -1, -1}},
        {"a record that does not decode",
         after({0x0D, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 7}),
         2,
         {0, -1, -1}},
        {"4 bytes", {0x0C, 0, 0, 0}, 0, {-1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Variant list = RawList(c.list);
        ASSERT_EQ(list.GetType(), Variant::kList);
        EXPECT_EQ(list.GetListItemCount(), c.count);
        for (size_t index = 0; index < c.results.size(); ++index) {
            Variant item = Text("previous");
            EXPECT_EQ(list.GetListItem(static_cast<int32_t>(index), item), c.results[index])
                << "index " << index;
            if (c.results[index] == 0) {
                EXPECT_EQ(item.GetInt32(), 42);
            } else {
                EXPECT_EQ(item.GetType(), Variant::kEmpty);
            }
        }
    }
}

} // namespace
} // namespace SV
