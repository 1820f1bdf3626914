#include "Utilities/Storage/Buffer.h"

#include "ResultCodes.h"
#include "Utilities/Storage/SharedBuffer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Counts the heap calls of the buffers under test.
class RecordingAllocator : public SV::SystemAllocator
{
public:
    void* Malloc(size_t size) override
    {
        ++mallocs;
        return SV::SystemAllocator::Malloc(size);
    }
    void* Realloc(void* block, size_t size) override
    {
        ++reallocs;
        return SV::SystemAllocator::Realloc(block, size);
    }

    int mallocs = 0;
    int reallocs = 0;
};

RecordingAllocator gRecorder;

SV::IAllocator* GetRecordingAllocator()
{
    return &gRecorder;
}

template <uint32_t G, uint32_t S>
using RecordedBuffer = SV::BufferT<G, S, 8, uint8_t*, GetRecordingAllocator>;

struct SizeStep
{
    uint32_t size;
    uint32_t capacity;
    bool reallocates;
};

// Applies the steps in order to one buffer and checks capacity and heap calls after each.
template <uint32_t G, uint32_t S>
void ExpectSteps(uint32_t initialSize, const std::vector<SizeStep>& steps)
{
    RecordedBuffer<G, S> buffer(initialSize);
    for (const SizeStep& step : steps) {
        const int before = gRecorder.reallocs;
        EXPECT_EQ(step.size, buffer.SetSize(step.size));
        EXPECT_EQ(step.capacity, buffer.GetCapacity()) << "size " << step.size;
        EXPECT_EQ(step.reallocates, gRecorder.reallocs != before) << "size " << step.size;
    }
}

TEST(BufferTest, GrowsExactlyAndShrinksOnlyBeyondTheSlack)
{
    ExpectSteps<1, 128>(1000, {{900, 1000, false}, {871, 871, true}, {1001, 1001, true}});
    ExpectSteps<1, 0>(10, {{9, 9, true}, {10, 10, true}, {10, 10, false}});
    ExpectSteps<16, 0>(20, {{17, 32, false}, {16, 16, true}, {33, 48, true}});
}

TEST(BufferTest, FirstSizeOfAnEmptyBufferAllocatesRoundedToTheGranularity)
{
    RecordedBuffer<16, 0> buffer;
    EXPECT_EQ(nullptr, buffer.GetData());
    EXPECT_EQ(20u, buffer.SetSize(20));
    EXPECT_EQ(32u, buffer.GetCapacity());
    EXPECT_NE(nullptr, buffer.GetData());
}

TEST(BufferTest, AllocateZeroGivesTheBlockBack)
{
    RecordedBuffer<4, 0> buffer(10);
    EXPECT_EQ(0u, buffer.Allocate(0));
    EXPECT_EQ(0u, buffer.GetCapacity());
    EXPECT_EQ(nullptr, buffer.GetData());
    EXPECT_EQ(5u, buffer.Allocate(5));
    EXPECT_EQ(8u, buffer.GetCapacity());
}

TEST(BufferTest, ReserveAndZeroFillAtConstruction)
{
    RecordedBuffer<1, 128> buffer(3, 64, true);
    EXPECT_EQ(3u, buffer.GetSize());
    EXPECT_EQ(64u, buffer.GetCapacity());
    const auto* bytes = static_cast<const uint8_t*>(buffer.GetData());
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 0}), std::vector<uint8_t>(bytes, bytes + 3));
}

TEST(BufferTest, FillChecksItsRangeAgainstTheSize)
{
    struct Case
    {
        uint32_t offset;
        int32_t count;
        int32_t result;
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {1, 2, S_OK, {0, 7, 7, 0}},         {1, -1, S_OK, {0, 7, 7, 7}},
        {4, -1, S_OK, {0, 0, 0, 0}}, // to the end from the end: nothing
        {4, 0, S_OK, {0, 0, 0, 0}},         {5, -1, E_INVALIDARG, {0, 0, 0, 0}},
        {3, 2, E_INVALIDARG, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        RecordedBuffer<1, 0> buffer(4, 0, true);
        EXPECT_EQ(c.result, buffer.Fill(7, c.offset, c.count)) << c.offset << "," << c.count;
        const auto* data = static_cast<const uint8_t*>(buffer.GetData());
        EXPECT_EQ(c.bytes, std::vector<uint8_t>(data, data + 4)) << c.offset << "," << c.count;
    }
}

TEST(BufferTest, Fill16WritesWholeUnitsInsideTheSize)
{
    RecordedBuffer<1, 0> buffer(7, 0, true);
    EXPECT_EQ(S_OK, buffer.Fill16(0xABCD, 2, -1)); // (7 - 2) / 2 = 2 units
    const auto* data = static_cast<const uint8_t*>(buffer.GetData());
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 0xCD, 0xAB, 0xCD, 0xAB, 0}),
              std::vector<uint8_t>(data, data + 7));
    EXPECT_EQ(E_INVALIDARG, buffer.Fill16(1, 4, 2));
    EXPECT_EQ(E_INVALIDARG, buffer.Fill16(1, 8, -1));
}

TEST(BufferTest, DataAtAnOffsetExistsOnlyInsideTheSize)
{
    RecordedBuffer<1, 0> buffer(4);
    EXPECT_EQ(static_cast<uint8_t*>(buffer.GetData()) + 3, buffer.GetDataAt(3));
    EXPECT_EQ(nullptr, buffer.GetDataAt(4));
}

TEST(SharedBufferTest, ResizedCopyTakesTheBytesFromTheOffsetAndZeroFillsTheRest)
{
    const SV::RCPtr<SV::LIBuffer> source = SV::NewSharedBuffer(4, 0, false);
    const uint8_t bytes[] = {1, 2, 3, 4};
    std::memcpy(source->GetData(), bytes, 4);

    struct Case
    {
        uint32_t size;
        uint32_t offset;
        std::vector<uint8_t> expected;
    };
    const Case cases[] = {
        {6, 0, {1, 2, 3, 4, 0, 0}}, {2, 1, {2, 3}},    {3, 2, {3, 4, 0}},
        {3, 4, {0, 0, 0}},          {3, 9, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        const SV::RCPtr<SV::LIBuffer> copy = source->CreateResizedCopy(c.size, c.offset);
        ASSERT_EQ(c.size, copy->GetSize());
        const auto* data = static_cast<const uint8_t*>(copy->GetData());
        EXPECT_EQ(c.expected, std::vector<uint8_t>(data, data + c.size)) << c.offset;
        EXPECT_EQ(1, copy->GetRefCount());
    }
}

TEST(SharedBufferTest, LockedBufferIsClonedWithItsBytesWhenShared)
{
    SV::RCPtr<SV::LIBuffer> original = SV::NewExactSizeSharedBuffer(3, 0, false);
    const uint8_t bytes[] = {9, 8, 7};
    std::memcpy(original->GetData(), bytes, 3);
    original->SetUnshareable(true);

    const SV::ConstRCPtr<SV::LIBuffer> second(original);
    ASSERT_NE(original.Get(), second.Get());
    ASSERT_EQ(3u, second->GetSize());
    EXPECT_EQ(0, std::memcmp(bytes, second->GetData(), 3));
    EXPECT_TRUE(second->IsShareable());
}

} // namespace
