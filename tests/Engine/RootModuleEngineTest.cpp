#include "RootModuleEngine.h"
#include "EngineNotificationNames.h"

#include "ApplicationDouble.h"
#include "DeviceControlClientInterface.h"
#include "EngineDoubles.h"
#include "FakeDeviceControlClient.h"
#include "ParamValueLists.h"
#include "ResultCodes.h"
#include "TempFolder.h"
#include "VariantBytes.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

using svtest::Blob;
using svtest::Bytes;
using svtest::BytesOf;
using svtest::ControllableCommunicationInterface;
using svtest::HeldClock;
using svtest::Int32;
using svtest::PostedNotification;
using svtest::RecordingEngine;
using svtest::ValueList;

const std::u16string kStateChange = SV::kNidParamModuleStateChange;
const std::u16string kConnectionChange = SV::kNidDeviceConnectionStateChange;
const std::u16string kRemoteListChange = SV::kNidRemoteDeviceListChange;

const Bytes kDefaults[] = {
    {0x00, 0x02}, {0x04}, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x78, 0x00}, {0x0C}};

const ParamValuePair* PairOf(const PostedNotification& post)
{
    return dynamic_cast<const ParamValuePair*>(post.payload.Get());
}

const ParamValueList* ListOf(const PostedNotification& post)
{
    return dynamic_cast<const ParamValueList*>(post.payload.Get());
}

template <class T>
const SV::LHolder<T>* HolderOf(const PostedNotification& post)
{
    return dynamic_cast<const SV::LHolder<T>*>(post.payload.Get());
}

std::vector<Bytes> ModelBytes(LRootModuleEngine& engine)
{
    SV::Array<SV::ParamValue> values;
    EXPECT_EQ(S_OK, engine.GetParamValues({0, 4}, values, -1));
    std::vector<Bytes> bytes;
    for (int32_t i = 0; i < values.GetCount(); ++i) {
        bytes.push_back(BytesOf(values.At(i)->value));
    }
    return bytes;
}

std::vector<Bytes> Defaults()
{
    return {std::begin(kDefaults), std::end(kDefaults)};
}

class RootModuleEngineTest : public ::testing::Test
{
protected:
    RootModuleEngineTest()
    {
        UseLibrary(true);
        engine->SetTiming(clock.Timing());
    }

    ~RootModuleEngineTest() override
    {
        // Nothing may hold the engine's thread once the test is over.
        clock.Open();
        engine = nullptr;
        SV::DeviceControlClientInterface::SetLibraryFolder(SV::WideString());
    }

    // The fake library, or a folder without any.
    void UseLibrary(bool present)
    {
        SV::DeviceControlClientInterface::SetLibraryFolder(
            SV::WideString(present ? svtest::kFakeClientFolder : emptyFolder.Path().c_str()));
    }

    // Initialize with an interface of the test's kind.
    SV::RCPtr<ControllableCommunicationInterface> InitializeControllable()
    {
        SV::RCPtr<ControllableCommunicationInterface> communication(
            new ControllableCommunicationInterface());
        engine->makeInterface = [communication] {
            return SV::RCPtr<LDeviceCommunicationInterface>(communication);
        };
        return communication;
    }

    // The application outlives the engine, as it does in the program.
    svtest::ApplicationDouble application;
    svtest::TempFolder emptyFolder;
    svtest::FakeDeviceControlClient library{svtest::kFakeClientFolder};
    HeldClock clock;
    SV::RCPtr<RecordingEngine> engine{new RecordingEngine()};
};

// A receiver on the "application" centre, as the main control is: keeps what reaches it and on
// which thread.
class CentreWatcher : public SV::LNotificationClient
{
public:
    void Receive(const SV::ConstRCPtr<SV::LNotificationDistributor>& /*sender*/,
                 const SV::ConstRCPtr<SV::LNotification>& notification) override
    {
        received.push_back(notification);
        threads.push_back(std::this_thread::get_id());
    }

    std::vector<SV::ConstRCPtr<SV::LNotification>> received;
    std::vector<std::thread::id> threads;
};

TEST_F(RootModuleEngineTest, WithoutTheLibraryTheModelWorksLocallyAndPostsEveryChange)
{
    UseLibrary(false);
    EXPECT_EQ(S_OK, engine->Initialize(0));
    EXPECT_TRUE(engine->IsInitialized());
    EXPECT_EQ(LRootModuleEngine::kConnected, engine->GetConnectionState());
    EXPECT_FALSE(engine->IsThreadRunning());

    // Initialize posts the four values as one list, then the connected state.
    auto posts = engine->Posts();
    ASSERT_EQ(2u, posts.size());
    EXPECT_EQ(kStateChange, posts[0].name);
    const ParamValueList* list = ListOf(posts[0]);
    ASSERT_NE(nullptr, list);
    for (int32_t k = 0; k < 4; ++k) {
        SV::Variant value;
        SV::Variant subPart;
        int32_t id = -1;
        ASSERT_EQ(S_OK, list->GetItem(k, value, id, subPart));
        EXPECT_EQ(k, id);
        EXPECT_EQ(kDefaults[k], BytesOf(value));
    }
    EXPECT_EQ(kConnectionChange, posts[1].name);
    ASSERT_NE(nullptr, HolderOf<LRootModuleEngine::DeviceConnectionState>(posts[1]));
    EXPECT_EQ(LRootModuleEngine::kConnected,
              HolderOf<LRootModuleEngine::DeviceConnectionState>(posts[1])->Get());

    engine->ClearPosts();
    EXPECT_EQ(S_OK, engine->SetParamValue(SV::ParamDescriptor(1), Blob({0x05})));
    posts = engine->Posts();
    ASSERT_EQ(1u, posts.size());
    const ParamValuePair* pair = PairOf(posts[0]);
    ASSERT_NE(nullptr, pair);
    EXPECT_EQ(1, pair->first.id);
    EXPECT_EQ(Bytes{0x05}, BytesOf(pair->second));
    EXPECT_TRUE(pair->ToString().EqualsUtf8("1"));

    auto expected = Defaults();
    expected[1] = {0x05};
    EXPECT_EQ(expected, ModelBytes(*engine));

    // Without the library polling can never be switched on.
    const int32_t probe = engine->EnableRemoteDevicePolling(true);
    EXPECT_LT(probe, 0);
    EXPECT_EQ(probe, engine->EnableRemoteDevicePolling(true));
    EXPECT_FALSE(engine->IsThreadRunning());
    SV::Array<SV::Variant> devices;
    EXPECT_LT(engine->GetRemoteDevices(devices), 0);
}

TEST_F(RootModuleEngineTest, WithoutAClientObjectTheEngineRefusesValuesAndKeepsTheDefaults)
{
    InitializeControllable()->clientCanBeMade = false;
    EXPECT_EQ(S_OK, engine->Initialize(0));
    EXPECT_EQ(LRootModuleEngine::kNoDevice, engine->GetConnectionState());
    EXPECT_EQ(E_FAIL, engine->SetParamValue(SV::ParamDescriptor(1), Blob({0x05})));
    EXPECT_EQ(Defaults(), ModelBytes(*engine));
    EXPECT_EQ(1u, engine->Posts().size());
    EXPECT_TRUE(library.CallNames().empty());
    EXPECT_EQ(-1, engine->EnableRemoteDevicePolling(true));
}

TEST_F(RootModuleEngineTest, WithTheLibraryInitializeConnectsToTheOneDeviceItKnows)
{
    EXPECT_EQ(S_OK, engine->Initialize(0));
    EXPECT_EQ(LRootModuleEngine::kConnected, engine->GetConnectionState());
    EXPECT_EQ((std::vector<std::string>{"DisconnectDevice", "DisconnectDevice", "ConnectDevice",
                                        "RequestParamRanges", "RequestParamValues"}),
              library.CallNames());
    EXPECT_EQ(SV::Variant::kEmpty, library.Calls()[2].deviceId.GetType());
    EXPECT_TRUE(library.HasCallback());
    // An empty id is never looked for, so nothing is there to watch.
    EXPECT_FALSE(engine->IsThreadRunning());
    EXPECT_EQ(0, engine->GetFirstParamID());
}

TEST_F(RootModuleEngineTest, ValuesPushedByTheLibraryReachTheModelThroughItsOwnThread)
{
    engine->Initialize(0);
    engine->ClearPosts();
    ASSERT_TRUE(library.Push(ValueList(0, Blob({0x05, 0x00}))));
    ASSERT_TRUE(engine->WaitForPost([](const PostedNotification& post) {
        const ParamValuePair* pair = PairOf(post);
        return pair != nullptr && pair->first.id == 0;
    }));
    auto expected = Defaults();
    expected[0] = {0x05, 0x00};
    EXPECT_EQ(expected, ModelBytes(*engine));
    // What came from the device is not sent back to it.
    EXPECT_EQ(0, library.CallCount("SetParamValue"));
}

TEST_F(RootModuleEngineTest, AValueTheDeviceRefusesIsAnsweredAndTheConnectionTestedAgain)
{
    auto communication = InitializeControllable();
    engine->Initialize(0);
    library.SetWriteResult(-5);
    EXPECT_EQ(-5, engine->SetParamValue(SV::ParamDescriptor(3), Blob({0x0D})));
    EXPECT_EQ(LRootModuleEngine::kConnected, engine->GetConnectionState());

    // A refusal from a device that is no longer connected ends the connected state, and with it
    // the acceptance of values.
    communication->deviceConnected = false;
    engine->ClearPosts();
    EXPECT_EQ(-5, engine->SetParamValue(SV::ParamDescriptor(3), Blob({0x0E})));
    EXPECT_EQ(LRootModuleEngine::kNoDevice, engine->GetConnectionState());
    EXPECT_TRUE(engine->WaitForConnectionState(LRootModuleEngine::kNoDevice));
    EXPECT_EQ(E_FAIL, engine->SetParamValue(SV::ParamDescriptor(3), Blob({0x0F})));
    EXPECT_EQ(2, library.CallCount("SetParamValue"));
}

TEST_F(RootModuleEngineTest, OneOrTwoChangesArePostedAsPairsAndMoreAsOneList)
{
    engine->Initialize(0);
    for (int32_t count : {0, 1, 2, 3, 4}) {
        engine->ClearPosts();
        SV::Array<SV::ParamValue> values;
        for (int32_t i = 0; i < count; ++i) {
            values.InsertAt(i, SV::ParamValue(i, SV::Variant(), Blob({uint8_t(i)})));
        }
        engine->PostValueChanges(values);
        const auto posts = engine->Posts();
        if (count <= 2) {
            ASSERT_EQ(size_t(count), posts.size());
            for (int32_t i = 0; i < count; ++i) {
                ASSERT_NE(nullptr, PairOf(posts[i]));
                EXPECT_EQ(i, PairOf(posts[i])->first.id);
            }
        } else {
            ASSERT_EQ(1u, posts.size());
            ASSERT_NE(nullptr, ListOf(posts[0]));
            EXPECT_EQ(count, ListOf(posts[0])->GetListItemCount());
        }
        for (const auto& post : posts) {
            EXPECT_EQ(kStateChange, post.name);
        }
    }
}

TEST_F(RootModuleEngineTest, GetParamValuesEmptiesOrGrowsTheOutputAsAsked)
{
    engine->Initialize(0);
    SV::Array<SV::ParamValue> values;
    values.SetCount(10);
    EXPECT_EQ(S_OK, engine->GetParamValues({0, 4}, values, -1));
    EXPECT_EQ(4, values.GetCount());

    SV::Array<SV::ParamValue> grown;
    EXPECT_EQ(S_OK, engine->GetParamValues({0, 4}, grown, 2));
    ASSERT_EQ(6, grown.GetCount());
    EXPECT_EQ(SV::Variant::kEmpty, grown.At(1)->value.GetType());
    for (int32_t k = 0; k < 4; ++k) {
        EXPECT_EQ(k, grown.At(2 + k)->descriptor.id);
        EXPECT_EQ(kDefaults[k], BytesOf(grown.At(2 + k)->value));
    }

    // Ids outside the model are listed with an empty value.
    EXPECT_EQ(S_OK, engine->GetParamValues({3, 2}, values, -1));
    ASSERT_EQ(2, values.GetCount());
    EXPECT_EQ(4, values.At(1)->descriptor.id);
    EXPECT_EQ(SV::Variant::kEmpty, values.At(1)->value.GetType());
}

TEST_F(RootModuleEngineTest, TheThreadWatchesAPresentDeviceUntilItIsDisconnected)
{
    const SV::Variant keyboard = Int32(42);
    library.SetPresentDevices({keyboard});
    engine->Initialize(0);
    EXPECT_EQ(0, engine->ConnectToDevice(keyboard, false));
    EXPECT_TRUE(engine->IsThreadRunning());
    EXPECT_TRUE(engine->IsDevicePresent());
    ASSERT_TRUE(clock.WaitForHeldPauses(1));
    clock.Allow(1);
    ASSERT_TRUE(clock.WaitForHeldPauses(2));
    EXPECT_GE(library.CallCount("GetDeviceInfo"), 3);

    // Without a device there is nothing left to watch: the thread ends at its next check.
    EXPECT_EQ(0, engine->Disconnect());
    EXPECT_FALSE(engine->IsDevicePresent());
    clock.Allow(1);
    EXPECT_TRUE(engine->StopThreadAndWait());
    EXPECT_FALSE(engine->IsThreadRunning());
}

TEST_F(RootModuleEngineTest, APendingConnectionIsFinishedByTheThreadOnceItSucceeds)
{
    auto communication = InitializeControllable();
    communication->deviceConnected = false;
    const SV::Variant keyboard = Int32(42);
    library.SetPresentDevices({keyboard});
    engine->Initialize(0);
    EXPECT_EQ(LRootModuleEngine::kNoDevice, engine->GetConnectionState());

    library.SetConnectResult(-1);
    EXPECT_EQ(-1, engine->ConnectToDevice(keyboard, true));
    EXPECT_EQ(LRootModuleEngine::kConnectionPending, engine->GetConnectionState());
    EXPECT_TRUE(engine->IsThreadRunning());
    // The thread's first try fails as well.
    ASSERT_TRUE(clock.WaitForHeldPauses(1));
    EXPECT_EQ(LRootModuleEngine::kConnectionPending, engine->GetConnectionState());

    library.SetConnectResult(0);
    clock.Allow(1);
    ASSERT_TRUE(engine->WaitForConnectionState(LRootModuleEngine::kConnected));
    EXPECT_EQ(LRootModuleEngine::kConnected, engine->GetConnectionState());
    const auto connects = library.Calls();
    EXPECT_TRUE(connects.back().deviceId.IsEqual(keyboard));

    // A device that is not there is never left pending.
    library.SetPresentDevices({});
    library.SetConnectResult(-1);
    EXPECT_EQ(-1, engine->ConnectToDevice(Int32(7), true));
    EXPECT_EQ(LRootModuleEngine::kNoDevice, engine->GetConnectionState());
}

TEST_F(RootModuleEngineTest, PollingWaitsEightTimesThenAsksOnceAndPauses)
{
    const SV::Variant first = Int32(1);
    const SV::Variant second = Int32(2);
    library.SetRemoteDevices({first});
    engine->Initialize(0);
    engine->ClearPosts();

    // The probe sees a list where there was none: a change, 0.
    EXPECT_EQ(S_OK, engine->EnableRemoteDevicePolling(true));
    EXPECT_EQ(S_OK, engine->EnableRemoteDevicePolling(true));
    EXPECT_TRUE(engine->IsThreadRunning());

    // The first wait finds the device at once; the seven others wait their 1500 ms in seven
    // queries each; then one fresh query and a pause.
    ASSERT_TRUE(clock.WaitForHeldPauses(1));
    const int32_t probe = 1;
    EXPECT_EQ(probe + 1 + 7 * 7 + 1, library.CallCount("FindRemoteDevices"));
    EXPECT_EQ(7 * 6,
              clock.PauseCount(LDeviceCommunicationInterface::kRemoteDeviceWaitStepMilliseconds));
    EXPECT_EQ(kRemoteDeviceSingleQuery, library.Calls().back().mode);
    auto listChanges = engine->PostsNamed(kRemoteListChange);
    ASSERT_EQ(1u, listChanges.size());
    EXPECT_EQ(1u, HolderOf<uint32_t>(listChanges[0])->Get());

    SV::Array<SV::Variant> devices;
    EXPECT_EQ(S_OK, engine->GetRemoteDevices(devices));
    ASSERT_EQ(1, devices.GetCount());
    EXPECT_TRUE(devices.At(0)->IsEqual(first));

    // A second device shows up in the next round's first wait.
    library.SetRemoteDevices({first, second});
    clock.Allow(1);
    ASSERT_TRUE(clock.WaitForHeldPauses(2));
    listChanges = engine->PostsNamed(kRemoteListChange);
    ASSERT_EQ(2u, listChanges.size());
    EXPECT_EQ(2u, HolderOf<uint32_t>(listChanges[1])->Get());
    EXPECT_EQ(S_OK, engine->GetRemoteDevices(devices));
    EXPECT_EQ(2, devices.GetCount());
}

TEST_F(RootModuleEngineTest, WhileTheLibraryAnswersOneOnlyFreshQueriesAreMade)
{
    library.SetRemoteDevices({Int32(1)});
    engine->Initialize(0);
    library.SetSingleQueryResult(1);
    ASSERT_EQ(S_OK, engine->EnableRemoteDevicePolling(true));
    ASSERT_TRUE(clock.WaitForHeldPauses(1));
    library.ClearCalls();
    clock.Allow(2);
    ASSERT_TRUE(clock.WaitForHeldPauses(3));
    for (const auto& call : library.Calls()) {
        if (call.name == "FindRemoteDevices") {
            EXPECT_EQ(kRemoteDeviceSingleQuery, call.mode);
        }
    }
    EXPECT_EQ(2, library.CallCount("FindRemoteDevices"));
}

TEST_F(RootModuleEngineTest, AFailedProbeIsNeverRepeated)
{
    engine->Initialize(0);
    library.SetWaitQueryResult(-3);
    EXPECT_EQ(E_FAIL, engine->EnableRemoteDevicePolling(true));
    EXPECT_EQ(E_FAIL, engine->EnableRemoteDevicePolling(true));
    EXPECT_EQ(1, library.CallCount("FindRemoteDevices"));
    EXPECT_FALSE(engine->IsThreadRunning());
}

TEST_F(RootModuleEngineTest, WithoutPollingTheRemoteDevicesAreTheLibrarysOfThisMoment)
{
    engine->Initialize(0);
    library.SetRemoteDevices({Int32(5), Int32(6)});
    SV::Array<SV::Variant> devices;
    EXPECT_EQ(S_OK, engine->GetRemoteDevices(devices));
    ASSERT_EQ(2, devices.GetCount());
    EXPECT_TRUE(devices.At(1)->IsEqual(Int32(6)));
    EXPECT_EQ(1, library.CallCount("FindRemoteDevices"));
    EXPECT_EQ(kRemoteDeviceWait, library.Calls().back().mode);
    EXPECT_EQ(0,
              clock.PauseCount(LDeviceCommunicationInterface::kRemoteDeviceWaitStepMilliseconds));
}

// The engine is released while its thread runs: the release stops the thread and waits for it,
// and only then does the engine go, with everything it owns.
TEST_F(RootModuleEngineTest, ReleasingTheEngineStopsAndJoinsItsThreadBeforeItGoes)
{
    library.SetPresentDevices({Int32(42)});
    engine->Initialize(0);
    engine->ConnectToDevice(Int32(42), false);
    ASSERT_TRUE(clock.WaitForHeldPauses(1));
    clock.onStopCheck = [&](int32_t check) {
        if (check == 1) {
            clock.Open();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    engine = nullptr;
    EXPECT_GE(clock.StopChecks(), 1);
    // The interface went with the engine: the device was disconnected and the library released.
    EXPECT_EQ(1, library.CallCount("ReleaseAll"));
    EXPECT_FALSE(library.HasCallback());
}

// A thread that does not end within the stop checks keeps the engine alive; the engine goes
// when the thread's run is over, on that thread.
TEST_F(RootModuleEngineTest, AThreadThatOutlivesTheStopChecksKeepsTheEngineUntilItEnds)
{
    library.SetPresentDevices({Int32(42)});
    engine->Initialize(0);
    engine->ConnectToDevice(Int32(42), false);
    ASSERT_TRUE(clock.WaitForHeldPauses(1));
    clock.onStopCheck = [](int32_t) {};
    engine = nullptr;
    EXPECT_EQ(LRootModuleEngine::kStopChecks, clock.StopChecks());
    EXPECT_EQ(0, library.CallCount("ReleaseAll"));
    clock.Open();
    EXPECT_TRUE(library.WaitForCalls("ReleaseAll", 1));
}

TEST_F(RootModuleEngineTest, ChangesMadeOnAnyThreadAreDeliveredOnTheDrainingThread)
{
    UseLibrary(false);
    engine->Initialize(0);
    const SV::RCPtr<CentreWatcher> watcher(new CentreWatcher());
    watcher->Register(application.GetNotificationCenter(), SV::kNidParamModuleStateChange);
    application.IdlePass(true);
    // What Initialize posted reaches only receivers registered before the drain.
    watcher->received.clear();
    watcher->threads.clear();

    // A program reply arrives on a worker thread of the MIDI layer.
    std::thread worker(
        [&] { EXPECT_EQ(S_OK, engine->SetParamValue(SV::ParamDescriptor(3), Blob({0x0D}))); });
    worker.join();
    EXPECT_TRUE(watcher->received.empty());
    application.IdlePass(true);
    ASSERT_EQ(1u, watcher->received.size());
    EXPECT_EQ(std::this_thread::get_id(), watcher->threads[0]);
    const auto* pair =
        dynamic_cast<const ParamValuePair*>(watcher->received[0]->GetPayload().Get());
    ASSERT_NE(nullptr, pair);
    EXPECT_EQ(3, pair->first.id);
    EXPECT_EQ(Bytes{0x0D}, BytesOf(pair->second));
}

TEST_F(RootModuleEngineTest, ChangeRequestsOnTheCentreSetValuesOnlyWhenConnected)
{
    engine->Initialize(0);
    const SV::RCPtr<SV::LNotificationCenter> center = application.GetNotificationCenter();
    const auto request = [&](int32_t id, const Bytes& bytes) {
        center->Post(SV::CreateNotification(
            SV::kNidParamModuleChangeRequest,
            SV::RCPtr<ParamValuePair>(new ParamValuePair(SV::ParamDescriptor(id), Blob(bytes)))));
        application.IdlePass(false);
    };
    request(1, {0x06});
    // A payload of another kind is taken and ignored.
    center->Post(
        SV::CreateNotification(SV::kNidParamModuleChangeRequest,
                               SV::RCPtr<SV::LHolder<int32_t>>(new SV::LHolder<int32_t>(1))));
    application.IdlePass(false);
    auto expected = Defaults();
    expected[1] = {0x06};
    EXPECT_EQ(expected, ModelBytes(*engine));

    // Once unregistered, the engine hears no more requests.
    EXPECT_EQ(S_OK, engine->Unregister(center, SV::kNidParamModuleChangeRequest));
    request(1, {0x07});
    EXPECT_EQ(expected, ModelBytes(*engine));
}

TEST_F(RootModuleEngineTest, AnEngineWithoutAClientIgnoresChangeRequests)
{
    InitializeControllable()->clientCanBeMade = false;
    engine->Initialize(0);
    application.GetNotificationCenter()->Post(SV::CreateNotification(
        SV::kNidParamModuleChangeRequest,
        SV::RCPtr<ParamValuePair>(new ParamValuePair(SV::ParamDescriptor(1), Blob({0x06})))));
    application.IdlePass(false);
    EXPECT_EQ(Defaults(), ModelBytes(*engine));
}

TEST_F(RootModuleEngineTest, OtherCodeReachesTheEngineThroughItsHost)
{
    EXPECT_EQ(nullptr, GetRootModuleEngine());
    {
        svtest::EngineHost host(engine);
        EXPECT_EQ(engine, GetRootModuleEngine());
    }
    EXPECT_EQ(nullptr, GetRootModuleEngine());
}

} // namespace
