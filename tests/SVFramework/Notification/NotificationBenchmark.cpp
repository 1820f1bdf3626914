// Hot paths of the notification system: a post-and-drain round through a queue, and Notify to a
// handful of receivers, each with recycling on as in the running program.
#include "Notification/NotificationClient.h"
#include "Notification/NotificationQueue.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

class CountingReceiver : public SV::LNotificationClient
{
public:
    void Receive(const SV::ConstRCPtr<SV::LNotificationDistributor>& /*sender*/,
                 const SV::ConstRCPtr<SV::LNotification>& notification) override
    {
        benchmark::DoNotOptimize(notification.Get());
        ++count;
    }

    int64_t count = 0;
};

// A distributor with `receivers` receivers of "NID_BENCH".
class Fixture
{
public:
    explicit Fixture(int receivers)
    {
        SV::SetNotificationRecycling(true);
        for (int i = 0; i < receivers; ++i) {
            mReceivers.emplace_back(new CountingReceiver());
            mReceivers.back()->Register(distributor, u"NID_BENCH");
        }
        queue->SetDistributor(distributor);
    }
    ~Fixture()
    {
        for (auto& receiver : mReceivers) {
            receiver->UnregisterAll();
        }
        queue->Detach();
        SV::SetNotificationRecycling(false);
    }

    int64_t Delivered() const
    {
        int64_t total = 0;
        for (const auto& receiver : mReceivers) {
            total += receiver->count;
        }
        return total;
    }

    SV::RCPtr<SV::LNotificationDistributor> distributor{new SV::LNotificationDistributor()};
    SV::RCPtr<SV::LNotificationQueue> queue{new SV::LNotificationQueue()};

private:
    std::vector<SV::RCPtr<CountingReceiver>> mReceivers;
};

// Posts a batch and drains it with one Process, as an idle pass would.
void BM_PostAndDrain(benchmark::State& state)
{
    Fixture fixture(1);
    const int batch = int(state.range(0));
    const SV::NotificationId id = SV::GetNotificationID(u"NID_BENCH");
    for (auto _ : state) {
        for (int i = 0; i < batch; ++i) {
            fixture.queue->Post(SV::CreateNotification(id));
        }
        fixture.queue->Process(false);
    }
    state.SetItemsProcessed(fixture.Delivered());
}
BENCHMARK(BM_PostAndDrain)->Arg(1)->Arg(16)->Arg(256);

// Sends one notification at once to `receivers` receivers.
void BM_NotifyReceivers(benchmark::State& state)
{
    Fixture fixture(int(state.range(0)));
    const SV::NotificationId id = SV::GetNotificationID(u"NID_BENCH");
    for (auto _ : state) {
        fixture.distributor->Notify(SV::CreateNotification(id));
    }
    state.SetItemsProcessed(fixture.Delivered());
}
BENCHMARK(BM_NotifyReceivers)->Arg(1)->Arg(5);

// The same notification sent again and again: delivery alone, without making one.
void BM_NotifyReused(benchmark::State& state)
{
    Fixture fixture(int(state.range(0)));
    const auto notification = SV::CreateNotification(u"NID_BENCH");
    for (auto _ : state) {
        fixture.distributor->Notify(notification);
    }
    state.SetItemsProcessed(fixture.Delivered());
}
BENCHMARK(BM_NotifyReused)->Arg(5);

} // namespace
