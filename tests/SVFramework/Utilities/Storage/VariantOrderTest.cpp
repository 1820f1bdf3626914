#include "Utilities/Storage/Variant.h"

#include "VariantBytes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <string>
#include <vector>

namespace SV {
namespace {

using namespace svtest;

struct OrderCase
{
    const char* name;
    Variant a;
    Variant b;
    bool aBeforeB;
    bool bBeforeA;
};

TEST(VariantOrderTest, IsLessOrdersEachPairByTheRulesOfItsTypes)
{
    constexpr int64_t kTwoTo62 = int64_t{1} << 62;
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    const OrderCase cases[] = {
        {"empty, empty", Variant(), Variant(), false, false},
        {"empty first", Variant(), Int32(-5), true, false},
        {"empty before a blob", Variant(), Blob({}), true, false},
        {"bools", Bool(false), Bool(true), true, false},
        // Signed types compare signed, whatever their width.
        {"int8", Int8(-1), Int8(1), true, false},
        {"int16", Int16(-300), Int16(2), true, false},
        {"int32", Int32(-1), Int32(0), true, false},
        {"uint8", UInt8(1), UInt8(200), true, false},
        {"uint32", UInt32(1), UInt32(0xFFFFFFFF), true, false},
        {"equal int32", Int32(4), Int32(4), false, false},
        {"floats", Float(-1.5f), Float(0.25f), true, false},
        {"NaN", Double(kNaN), Double(1.0), false, false},
        {"int64", Int64(std::numeric_limits<int64_t>::min()), Int64(0), true, false},
        {"uint64", UInt64(1), UInt64(std::numeric_limits<uint64_t>::max()), true, false},
        // Blobs: the shorter first, then by the first differing byte, unsigned.
        {"blob bytes", Blob({1, 2}), Blob({1, 3}), true, false},
        {"blob longer later", Blob({1, 2, 3}), Blob({5}), false, true},
        {"blob high byte", Blob({0x7F}), Blob({0x80}), true, false},
        {"equal blobs", Blob({1, 2}), Blob({1, 2}), false, false},
        // Strings read their characters signed.
        {"string high character", Text("\x80"), Text("\x7F"), true, false},
        {"strings", Text("ab"), Text("ac"), true, false},
        // Lists: by the first unequal entry, then the shorter first.
        {"lists", List({Int32(1), Int32(5)}), List({Int32(1), Int32(7)}), true, false},
        {"list prefix", List({Int32(1)}), List({Int32(1), Int32(0)}), true, false},
        {"list entry decides", List({Int32(2)}), List({Int32(1), Int32(9)}), false, true},
        // Different number types of up to 32 bits compare as numbers.
        {"int8 and uint32", Int8(-1), UInt32(0), true, false},
        {"bool and double", Bool(true), Double(0.5), false, true},
        {"float and int16", Float(2.5f), Int16(3), true, false},
        // With a 64-bit integer: signs first, then exactly.
        {"int32 and uint64", Int32(-1), UInt64(0), true, false},
        {"uint64 above int64", Int64(kTwoTo62), UInt64(uint64_t{kTwoTo62} + 1), true, false},
        {"int64 above uint64", Int64(kTwoTo62 + 1), UInt64(uint64_t{kTwoTo62}), false, true},
        {"negative fraction", Double(-2.4), Int64(-2), true, false},
        {"positive fraction", UInt64(1), Double(1.4), true, false},
        {"equal double and uint64", Double(7.0), UInt64(7), false, false},
        {"double beyond uint64", Double(2e19), UInt64(std::numeric_limits<uint64_t>::max()), false,
         true},
        {"double below int64", Double(-1e19), Int64(std::numeric_limits<int64_t>::min()), true,
         false},
        {"NaN and int64", Double(kNaN), Int64(1), false, false},
        // Anything else by bytes: a number's 8 stored bytes against the data.
        {"int32 and blob of 9", Int32(1), Blob({0, 0, 0, 0, 0, 0, 0, 0, 0}), true, false},
        {"int32 and blob of 8", Int32(2), Blob({1, 0, 0, 0, 0, 0, 0, 0}), false, true},
        {"blob and string", Blob({'a', 0}), Text("b"), true, false},
    };
    for (const OrderCase& c : cases) {
        EXPECT_EQ(c.a.IsLess(c.b), c.aBeforeB) << c.name;
        EXPECT_EQ(c.b.IsLess(c.a), c.bBeforeA) << c.name;
    }
}

// A list nested `levels` deep around one int32, written as its raw records: each level is a list
// record holding the next one.
Variant NestedList(int32_t innermost, uint32_t levels)
{
    std::vector<uint8_t> payload;
    auto put = [&payload](uint32_t word) {
        for (int shift = 0; shift < 32; shift += 8) {
            payload.push_back(static_cast<uint8_t>(word >> shift));
        }
    };
    for (uint32_t level = 1; level < levels; ++level) {
        put(Variant::kRecordHeadSize * (levels - level) + 16);
        put(Variant::kRecordVersion);
        put(Variant::kList);
    }
    put(16);
    put(Variant::kRecordVersion);
    put(Variant::kInt32);
    put(static_cast<uint32_t>(innermost));
    Variant list;
    list.SetData(Variant::kList, payload.data(), static_cast<uint32_t>(payload.size()));
    return list;
}

TEST(VariantOrderTest, DeeplyNestedListsAreOrderedWithoutDecodingEveryLevel)
{
    // Decoded level by level, two hundred thousand levels would copy hundreds of gigabytes and
    // recurse as deep; the order holds all the same.
    const Variant small = NestedList(1, 200000);
    const Variant large = NestedList(2, 200000);
    EXPECT_TRUE(small.IsLess(large));
    EXPECT_FALSE(large.IsLess(small));

    // Shallow lists still compare entry by entry: here the entry, not the bytes, decides.
    EXPECT_TRUE(NestedList(-1, 3).IsLess(NestedList(1, 3)));
}

TEST(VariantOrderTest, IsNegativeHoldsOnlyForNegativeSignedNumbers)
{
    const std::vector<Variant> negative = {Int8(-1),  Int16(-1),    Int32(-1),
                                           Int64(-1), Float(-0.5f), Double(-1e-300)};
    for (const Variant& value : negative) {
        EXPECT_TRUE(value.IsNegative()) << value.GetType();
    }
    const std::vector<Variant> notNegative = {Variant(),
                                              Bool(true),
                                              UInt8(0xFF),
                                              UInt32(0xFFFFFFFF),
                                              UInt64(~uint64_t{0}),
                                              Int32(0),
                                              Double(-0.0),
                                              Double(std::numeric_limits<double>::quiet_NaN()),
                                              Blob({0xFF}),
                                              Text("-1"),
                                              List({Int32(-1)})};
    for (const Variant& value : notNegative) {
        EXPECT_FALSE(value.IsNegative()) << value.GetType();
    }
}

} // namespace
} // namespace SV
