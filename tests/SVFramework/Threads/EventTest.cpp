#include "Threads/Event.h"

#include "ThreadTestJobs.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

namespace {

using svtest::Latch;

// Every event class answers the same operations; each case runs on a fresh event.
struct EventKind
{
    const char* name;
    bool manualReset;
    std::function<std::unique_ptr<SV::EventBase, void (*)(SV::EventBase*)>()> make;
};

template <class E>
std::unique_ptr<SV::EventBase, void (*)(SV::EventBase*)> Make()
{
    return {new E(), [](SV::EventBase* event) { delete static_cast<E*>(event); }};
}

std::unique_ptr<SV::EventBase, void (*)(SV::EventBase*)> MakeLEvent()
{
    auto* event = new SV::LEvent();
    event->AddRef();
    return {event, [](SV::EventBase* base) { static_cast<SV::LEvent*>(base)->Release(); }};
}

class EventKindTest : public testing::TestWithParam<EventKind>
{};

TEST_P(EventKindTest, StartsUnsignalledAndTimesOut)
{
    auto event = GetParam().make();
    EXPECT_EQ(WAIT_TIMEOUT, event->Wait(0));
    EXPECT_EQ(WAIT_TIMEOUT, event->Wait(20));
    EXPECT_FALSE(event->IsSignaled());
}

TEST_P(EventKindTest, WaitsConsumeASetOnlyOnAutoResetEvents)
{
    auto event = GetParam().make();
    EXPECT_TRUE(event->Set());
    EXPECT_EQ(WAIT_OBJECT_0, event->Wait(0));
    EXPECT_EQ(GetParam().manualReset ? WAIT_OBJECT_0 : WAIT_TIMEOUT, event->Wait(0));
    EXPECT_TRUE(event->Set());
    EXPECT_TRUE(event->IsSignaled());
    EXPECT_EQ(GetParam().manualReset, event->IsSignaled());
}

TEST_P(EventKindTest, ResetClearsAPendingSignal)
{
    auto event = GetParam().make();
    EXPECT_EQ(1, event->SetEvent());
    EXPECT_EQ(1, event->ResetEvent());
    EXPECT_EQ(WAIT_TIMEOUT, event->Wait(0));
    EXPECT_TRUE(event->Set());
    EXPECT_TRUE(event->Reset());
    EXPECT_FALSE(event->IsSignaled());
}

TEST_P(EventKindTest, SetFromAnotherThreadReleasesAnUnlimitedWait)
{
    auto event = GetParam().make();
    int32_t result = -2;
    std::thread waiter([&] { result = event->Wait(INFINITE); });
    event->Set();
    waiter.join();
    EXPECT_EQ(WAIT_OBJECT_0, result);
    EXPECT_EQ(0, event->GetWaiterCount());
}

std::string KindName(const testing::TestParamInfo<EventKind>& kind)
{
    return kind.param.name;
}

INSTANTIATE_TEST_SUITE_P(AllKinds, EventKindTest,
                         testing::Values(EventKind{"Event", false, Make<SV::Event>},
                                         EventKind{"TrafficLight", true, Make<SV::TrafficLight>},
                                         EventKind{"LEvent", false, MakeLEvent}),
                         KindName);

TEST(EventTest, AManualResetEventOfTheEventClassBehavesLikeATrafficLight)
{
    SV::Event event(false);
    event.Set();
    EXPECT_TRUE(event.IsSignaled());
    EXPECT_TRUE(event.IsSignaled());
}

TEST(EventTest, OneSetOfAnAutoResetEventReleasesExactlyOneOfTwoWaiters)
{
    SV::Event event;
    Latch released;
    std::vector<std::thread> waiters;
    std::vector<int32_t> results(2, -2);
    for (int i = 0; i < 2; ++i) {
        waiters.emplace_back([&, i] {
            results[static_cast<size_t>(i)] = event.Wait(INFINITE);
            released.Arrive();
        });
    }
    event.Set();
    ASSERT_TRUE(released.WaitFor(1));
    // The one signal went to one waiter: nothing is left for anybody else.
    EXPECT_FALSE(event.IsSignaled());
    event.Set();
    ASSERT_TRUE(released.WaitFor(2));
    for (std::thread& waiter : waiters) {
        waiter.join();
    }
    EXPECT_EQ(std::vector<int32_t>({WAIT_OBJECT_0, WAIT_OBJECT_0}), results);
}

TEST(EventTest, ATrafficLightReleasesEveryWaiterAndStaysOpen)
{
    SV::TrafficLight light;
    std::vector<std::thread> waiters;
    std::vector<int32_t> results(4, -2);
    for (size_t i = 0; i < results.size(); ++i) {
        waiters.emplace_back([&, i] { results[i] = light.Wait(INFINITE); });
    }
    light.Set();
    for (std::thread& waiter : waiters) {
        waiter.join();
    }
    EXPECT_EQ(std::vector<int32_t>(4, WAIT_OBJECT_0), results);
    EXPECT_TRUE(light.IsSignaled());
}

// Each signal is answered before the next is given, so none can merge with another; a signal
// that arrived as a short wait ran out would leave the consumer waiting for ever.
TEST(EventTest, ShortTimedWaitsNeverLoseASignal)
{
    constexpr int kSignals = 2000;
    SV::Event signal;
    Latch received;
    std::thread consumer([&] {
        for (int got = 0; got < kSignals;) {
            if (signal.Wait(1) == WAIT_OBJECT_0) {
                ++got;
                received.Arrive();
            }
        }
    });
    for (int i = 1; i <= kSignals; ++i) {
        signal.Set();
        ASSERT_TRUE(received.WaitFor(i)) << "signal " << i << " was lost";
    }
    consumer.join();
}

TEST(EventTest, WaitForEventsRejectsWhatCannotBeWaitedOn)
{
    SV::Event event;
    const SV::EventHandle one[] = {event.GetHandle()};
    const SV::EventHandle withNull[] = {event.GetHandle(), nullptr};
    EXPECT_EQ(WAIT_FAILED, SV::WaitForEvents(one, 0, INFINITE));
    EXPECT_EQ(WAIT_FAILED, SV::WaitForEvents(nullptr, 1, INFINITE));
    EXPECT_EQ(WAIT_FAILED, SV::WaitForEvents(withNull, 2, INFINITE));
    event.Set();
    EXPECT_EQ(WAIT_OBJECT_0, SV::WaitForEvents(one, 1, 0));
}

} // namespace
