// The buffer arrays: growth in whole steps, refusal when memory or the 32-bit sizes run out,
// the inline room of ArrayBufferM and the fixed capacity of SimpleFixedArray.
#include "Utilities/Storage/ArrayBuffer.h"
#include "Utilities/Storage/SimpleFixedArray.h"

#include "ResultCodes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

template <class T>
std::vector<T> Items(const SV::IArray<T>& array)
{
    return std::vector<T>(array.GetFirst(), array.GetEnd());
}

// The heap, until a test tells it to refuse.
class RefusingAllocator : public SV::IAllocator
{
public:
    void* Malloc(size_t size) override { return refuse ? nullptr : std::malloc(size); }
    void* Calloc(size_t count, size_t size) override
    {
        return refuse ? nullptr : std::calloc(count, size);
    }
    void* Realloc(void* block, size_t size) override
    {
        return refuse ? nullptr : std::realloc(block, size);
    }
    void Free(void* block) override { std::free(block); }

    bool refuse = false;
};

RefusingAllocator gRefusingAllocator;

SV::IAllocator* GetRefusingAllocator()
{
    return &gRefusingAllocator;
}

TEST(ArrayBufferTest, InsertingAtTheEndAppendsZeroElements)
{
    SV::ArrayBuffer<int32_t> array;
    for (int32_t value : {1, 2, 3}) {
        array.Add(value);
    }
    EXPECT_EQ(5, array.InsertCountAt(3, 2));
    EXPECT_EQ((std::vector<int32_t>{1, 2, 3, 0, 0}), Items<int32_t>(array));
    EXPECT_EQ(E_INVALIDARG, array.InsertCountAt(6, 1));
}

TEST(ArrayBufferTest, RemovingAnElementOutsideTheArrayIsRefusedWithoutReadingIt)
{
    SV::ArrayBuffer<int32_t> buffer;
    SV::ArrayBufferM<int32_t, 2> inlined;
    SV::SimpleFixedArray<int32_t, 4> fixed;
    for (SV::IArray<int32_t>* array :
         std::vector<SV::IArray<int32_t>*>{&buffer, &inlined, &fixed}) {
        int32_t out = 7;
        EXPECT_EQ(E_INVALIDARG, array->RemoveLast(out));
        array->Add(1);
        EXPECT_EQ(E_INVALIDARG, array->RemoveItem(1, out));
        EXPECT_EQ(E_INVALIDARG, array->RemoveItem(-1, out));
        EXPECT_EQ(7, out);
        EXPECT_EQ(1, array->GetCount());
    }
}

TEST(ArrayBufferTest, CapacityGrowsInStepsAndShrinksPastTheSlack)
{
    struct Case
    {
        int32_t count;
        uint32_t capacityInElements;
    };
    // Step 4, no slack: spare room of a whole step or more is given back.
    SV::ArrayBuffer<int32_t, 4, 0> stepped;
    for (const Case& c : std::vector<Case>{{5, 8}, {8, 8}, {6, 8}, {4, 4}, {1, 4}, {0, 0}}) {
        EXPECT_EQ(c.count, stepped.SetCount(c.count));
        EXPECT_EQ(c.capacityInElements * sizeof(int32_t), stepped.GetCapacity()) << c.count;
    }
    // Step 1, slack 1600: up to 1600 spare elements are kept.
    SV::ArrayBuffer<int32_t, 1, 1600> pooled;
    for (const Case& c : std::vector<Case>{{2000, 2000}, {400, 2000}, {399, 399}, {400, 400}}) {
        EXPECT_EQ(c.count, pooled.SetCount(c.count));
        EXPECT_EQ(c.capacityInElements * sizeof(int32_t), pooled.GetCapacity()) << c.count;
    }
    // Step 1, no slack: the capacity is always the count.
    SV::ArrayBuffer<double> exact;
    for (int32_t count : {3, 4, 2}) {
        exact.SetCount(count);
        EXPECT_EQ(count * sizeof(double), exact.GetCapacity());
    }
}

TEST(ArrayBufferTest, AGrowthTheAllocatorRefusesFailsAndChangesNothing)
{
    SV::ArrayBuffer<int32_t, 1, 0, 1, 8, &GetRefusingAllocator> array;
    SV::ArrayBuffer<int32_t> source;
    for (int32_t value : {1, 2, 3}) {
        array.Add(value);
        source.Add(value);
    }
    gRefusingAllocator.refuse = true;
    EXPECT_EQ(E_FAIL, array.InsertCountAt(1, 2));
    EXPECT_EQ(E_FAIL, array.InsertCountAt(3, 1));
    EXPECT_EQ(E_FAIL, array.Add(4));
    EXPECT_EQ(E_FAIL, array.Append(source));
    EXPECT_EQ(3, array.SetCount(10));
    gRefusingAllocator.refuse = false;
    EXPECT_EQ((std::vector<int32_t>{1, 2, 3}), Items<int32_t>(array));
}

TEST(ArrayBufferTest, CountsWhoseByteSizeExceedsThirtyTwoBitsAreRefused)
{
    // 0x20000000 doubles are 4 GiB: the byte size would wrap to 0.
    SV::ArrayBuffer<double> array;
    array.Add(1.5);
    EXPECT_EQ(1, array.SetCount(0x20000001));
    EXPECT_EQ(E_FAIL, array.InsertCountAt(0, 0x20000000));
    EXPECT_EQ(E_FAIL, array.InsertCountAt(1, 0x20000000));
    EXPECT_EQ(E_FAIL, array.InsertCountAt(0, 0x7FFFFFFF));
    EXPECT_EQ((std::vector<double>{1.5}), Items<double>(array));
}

TEST(ArrayBufferMTest, ElementsMoveBetweenTheObjectAndTheHeapUnchanged)
{
    SV::ArrayBufferM<int8_t, 4> array;
    for (int8_t value : {1, 2, 3, 4}) {
        array.Add(value);
    }
    const SV::IArray<int8_t>& view = array;
    const int8_t* inlineData = view.GetData();
    EXPECT_EQ(0u, array.GetCapacity()); // nothing on the heap yet
    EXPECT_EQ(4u, array.GetSize());

    array.Add(5);
    EXPECT_NE(inlineData, view.GetData());
    EXPECT_EQ(5u, array.GetCapacity());
    EXPECT_EQ((std::vector<int8_t>{1, 2, 3, 4, 5}), Items<int8_t>(array));

    array.Add(6);
    EXPECT_EQ(2, array.RemoveAt(1, 4));
    EXPECT_EQ(inlineData, view.GetData());
    EXPECT_EQ(0u, array.GetCapacity()); // the heap buffer was freed
    EXPECT_EQ((std::vector<int8_t>{1, 6}), Items<int8_t>(array));

    EXPECT_EQ(6, array.InsertCountAt(1, 4));
    EXPECT_EQ((std::vector<int8_t>{1, 0, 0, 0, 0, 6}), Items<int8_t>(array));
    EXPECT_EQ(0, array.SetCount(0));
    EXPECT_EQ(nullptr, view.GetFirst());
}

TEST(ArrayBufferMTest, TheByteViewFillsTheInlineElementsWithTheBufferRangeRule)
{
    SV::ArrayBufferM<int8_t, 4> array;
    array.SetCount(3);
    SV::IBuffer& bytes = array;
    EXPECT_EQ(3u, bytes.GetSize());
    EXPECT_EQ(S_OK, bytes.Fill(7, 1, -1));
    EXPECT_EQ(E_INVALIDARG, bytes.Fill(9, 2, 2));
    EXPECT_EQ(E_INVALIDARG, bytes.Fill(9, 4, -1));
    EXPECT_EQ(S_OK, bytes.Fill16(0x0102, 0, 1));
    EXPECT_EQ(E_INVALIDARG, bytes.Fill16(0, 2, 1));
    EXPECT_EQ(static_cast<int8_t*>(bytes.GetData()), array.GetFirst());
    const int8_t low = 0x02;
    const int8_t high = 0x01;
    const bool littleEndian = *reinterpret_cast<const uint8_t*>(u"\x0001") == 1;
    EXPECT_EQ((std::vector<int8_t>{littleEndian ? low : high, littleEndian ? high : low, 7}),
              Items<int8_t>(array));

    EXPECT_EQ(6u, bytes.SetSize(6));
    EXPECT_EQ(S_OK, bytes.Fill(3, 0, -1));
    EXPECT_EQ((std::vector<int8_t>(6, 3)), Items<int8_t>(array));
}

TEST(SimpleFixedArrayTest, NeverGrowsBeyondItsCapacity)
{
    SV::SimpleFixedArray<int8_t, 8> array;
    EXPECT_EQ(8, array.GetMaxCount());
    EXPECT_EQ(8, array.SetCount(20));
    EXPECT_EQ(7, array.SetCount(7));
    EXPECT_EQ(E_INVALIDARG, array.InsertCountAt(0, 2));
    EXPECT_EQ(8, array.Add(1));
    EXPECT_EQ(E_INVALIDARG, array.Add(2));

    // Append fills what fits and leaves the array at its capacity, unfilled.
    SV::SimpleFixedArray<int8_t, 8> source;
    for (int8_t value : {4, 5, 6}) {
        source.Add(value);
    }
    array.SetCount(6);
    EXPECT_EQ(E_FAIL, array.Append(source));
    EXPECT_EQ(8, array.GetCount());
}

} // namespace
