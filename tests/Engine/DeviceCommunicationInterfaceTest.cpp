#include "DeviceCommunicationInterface.h"

#include "DeviceControlClientInterface.h"
#include "FakeDeviceControlClient.h"
#include "ParamValueLists.h"
#include "ResultCodes.h"
#include "TempFolder.h"
#include "TestSync.h"
#include "Utilities/Storage/Array.h"
#include "VariantBytes.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using svtest::Blob;
using svtest::FakeDeviceControlClient;
using svtest::Gate;
using svtest::Int32;
using svtest::ValueList;

int32_t FirstId(const SV::ParamValues& values)
{
    SV::Variant value;
    SV::Variant subPart;
    int32_t id = -1;
    EXPECT_EQ(0, values.GetItem(0, value, id, subPart));
    return id;
}

// Keeps what reaches it, on which thread, and lets a test act inside a delivery.
class RecordingReceiver : public DeviceCommunicationReceiver
{
public:
    virtual ~RecordingReceiver() = default;

    void ReceiveParamValues(const SV::ParamValues& values) override
    {
        {
            std::lock_guard lock(mMutex);
            mLists.push_back(values);
            mThreads.push_back(std::this_thread::get_id());
            mChanged.notify_all();
        }
        if (onReceive) {
            onReceive(values);
        }
    }
    int32_t ReceiveReserved(int32_t, int32_t) override { return E_FAIL; }

    bool WaitForLists(size_t count)
    {
        std::unique_lock lock(mMutex);
        return mChanged.wait_for(lock, std::chrono::seconds(20),
                                 [&] { return mLists.size() >= count; });
    }
    std::vector<SV::ParamValues> Lists()
    {
        std::lock_guard lock(mMutex);
        return mLists;
    }
    std::vector<std::thread::id> Threads()
    {
        std::lock_guard lock(mMutex);
        return mThreads;
    }

    std::function<void(const SV::ParamValues&)> onReceive;

private:
    std::mutex mMutex;
    std::condition_variable mChanged;
    std::vector<SV::ParamValues> mLists;
    std::vector<std::thread::id> mThreads;
};

class DeviceCommunicationInterfaceTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        SV::DeviceControlClientInterface::SetLibraryFolder(SV::WideString());
    }

    // An interface whose client is bound to the fake library.
    SV::RCPtr<LDeviceCommunicationInterface> Connected()
    {
        SV::DeviceControlClientInterface::SetLibraryFolder(
            SV::WideString(svtest::kFakeClientFolder));
        SV::RCPtr<LDeviceCommunicationInterface> communication(new LDeviceCommunicationInterface());
        EXPECT_EQ(S_OK, communication->LoadClientLibrary());
        return communication;
    }

    FakeDeviceControlClient library{svtest::kFakeClientFolder};
    SV::Array<_GUID> noKinds;
};

TEST_F(DeviceCommunicationInterfaceTest, WithoutClientTheInterfaceAnswersTheSystemValuesItKnows)
{
    SV::RCPtr<LDeviceCommunicationInterface> communication(new LDeviceCommunicationInterface());
    struct Case
    {
        int32_t id;
        int32_t result;
        int32_t type;
        const char* text;
    };
    const Case cases[] = {
        {-9, S_OK, SV::Variant::kString, "Vudozi"},
        {-10, S_OK, SV::Variant::kString, "Vedozi Duruzava Editor"},
        {-2, S_OK, SV::Variant::kBool, nullptr},
        {-8, -1, SV::Variant::kUInt8, nullptr},
        {5, E_FAIL, SV::Variant::kUInt8, nullptr},
    };
    for (const Case& c : cases) {
        SV::Variant value;
        const uint8_t untouched = 0x42;
        value.SetData(SV::Variant::kUInt8, &untouched, 1);
        EXPECT_EQ(c.result, communication->GetParamValue(SV::ParamDescriptor(c.id), value)) << c.id;
        EXPECT_EQ(c.type, value.GetType()) << c.id;
        if (c.text != nullptr) {
            EXPECT_STREQ(c.text, value.GetString());
        }
        if (c.id == -2) {
            EXPECT_TRUE(value.GetBool());
        }
    }
    EXPECT_EQ(-1, communication->ConnectDevice(Int32(1)));
    EXPECT_EQ(-1, communication->DisconnectDevice());
    EXPECT_TRUE(library.CallNames().empty());
}

TEST_F(DeviceCommunicationInterfaceTest, AClientWithoutItsLibraryAnswersMinusOneEvenForNames)
{
    svtest::TempFolder emptyFolder;
    SV::DeviceControlClientInterface::SetLibraryFolder(SV::WideString(emptyFolder.Path().c_str()));
    SV::RCPtr<LDeviceCommunicationInterface> communication(new LDeviceCommunicationInterface());
    EXPECT_EQ(S_OK, communication->LoadClientLibrary());
    EXPECT_EQ(S_FALSE, communication->LoadClientLibrary());
    SV::Variant value;
    EXPECT_EQ(-1, communication->GetParamValue(SV::ParamDescriptor(-9), value));
    EXPECT_EQ(-1, communication->ConnectDevice(SV::Variant()));
    EXPECT_TRUE(communication->IsConnected());
    EXPECT_TRUE(communication->IsDeviceConnected());
}

TEST_F(DeviceCommunicationInterfaceTest, FindDevicesAnswersOneEmptyDeviceWithoutAskingTheLibrary)
{
    auto communication = Connected();
    SV::Array<SV::Variant> devices;
    devices.InsertAt(0, Int32(1));
    devices.InsertAt(1, Int32(2));
    EXPECT_EQ(S_OK, communication->FindDevices(noKinds, devices));
    ASSERT_EQ(1, devices.GetCount());
    EXPECT_EQ(SV::Variant::kEmpty, devices.At(0)->GetType());
    EXPECT_EQ(0, library.CallCount("FindDevices"));
}

TEST_F(DeviceCommunicationInterfaceTest, WritesOfTheConnectionRecordAndRefusedIdsStayHere)
{
    auto communication = Connected();
    // No receiver: every write is refused before anything else.
    EXPECT_EQ(E_FAIL, communication->SetParamValue(SV::ParamDescriptor(-4), Int32(1)));
    EXPECT_FALSE(communication->NotifyConnectionState(1));

    RecordingReceiver receiver;
    communication->SetReceiver(&receiver);
    for (int32_t id : {-242, -241, -240}) {
        EXPECT_EQ(E_FAIL, communication->SetParamValue(SV::ParamDescriptor(id), Int32(1)));
    }
    EXPECT_EQ(S_OK, communication->SetParamValue(SV::ParamDescriptor(-4), Int32(7)));
    EXPECT_TRUE(library.CallNames().empty());

    // The record comes back on the calling thread: id -4, [int64 value, bool true].
    ASSERT_EQ(1u, receiver.Lists().size());
    EXPECT_EQ(std::this_thread::get_id(), receiver.Threads()[0]);
    SV::Variant record;
    SV::Variant subPart;
    int32_t id = 0;
    ASSERT_EQ(S_OK, receiver.Lists()[0].GetItem(0, record, id, subPart));
    EXPECT_EQ(-4, id);
    EXPECT_EQ(SV::Variant::kEmpty, subPart.GetType());
    ASSERT_EQ(2, record.GetListItemCount());
    SV::Variant state;
    SV::Variant connected;
    ASSERT_EQ(0, record.GetListItem(0, state));
    ASSERT_EQ(0, record.GetListItem(1, connected));
    EXPECT_EQ(SV::Variant::kInt64, state.GetType());
    EXPECT_EQ(7, state.GetInt64());
    EXPECT_EQ(SV::Variant::kBool, connected.GetType());
    EXPECT_TRUE(connected.GetBool());

    // Any other id goes to the library with the remembered device id.
    communication->ConnectDevice(Int32(9));
    library.SetWriteResult(3);
    EXPECT_EQ(3, communication->SetParamValue(SV::ParamDescriptor(1), Blob({5})));
    EXPECT_TRUE(library.Calls().back().deviceId.IsEqual(Int32(9)));
    communication->SetReceiver(nullptr);
}

TEST_F(DeviceCommunicationInterfaceTest, AFailedConnectionStillRemembersTheDeviceId)
{
    auto communication = Connected();
    library.SetConnectResult(-6);
    EXPECT_EQ(-6, communication->ConnectDevice(Int32(4)));
    SV::Variant id;
    EXPECT_EQ(S_OK, communication->GetConnectedDeviceID(id));
    EXPECT_TRUE(id.IsEqual(Int32(4)));

    // The per-device calls carry the copy of that id; a single request becomes a one-entry list.
    communication->RequestParamValue(SV::ParamDescriptor(-8));
    communication->DisconnectDevice();
    const auto calls = library.Calls();
    ASSERT_EQ(3u, calls.size());
    EXPECT_EQ("RequestParamValues", calls[1].name);
    const SV::ParamDescriptors sent(calls[1].value);
    int32_t sentId = 0;
    SV::Variant sentPart;
    EXPECT_EQ(S_OK, sent.GetDescriptor(0, sentId, sentPart));
    EXPECT_EQ(-8, sentId);
    EXPECT_EQ(-4, sent.GetDescriptor(1, sentId, sentPart));
    EXPECT_EQ("DisconnectDevice", calls[2].name);
    for (const auto& call : calls) {
        EXPECT_TRUE(call.deviceId.IsEqual(Int32(4))) << call.name;
    }
}

TEST_F(DeviceCommunicationInterfaceTest, RemoteDeviceQueriesFillTheListFromTheLibrarysRecords)
{
    auto communication = Connected();
    SV::Array<SV::Variant> devices;
    library.SetRemoteDevices({Int32(1), Int32(2)});
    library.SetSingleQueryResult(1);
    EXPECT_EQ(1, communication->FindRemoteDevices(noKinds, devices));
    ASSERT_EQ(2, devices.GetCount());
    EXPECT_TRUE(devices.At(1)->IsEqual(Int32(2)));

    library.SetRemoteDevices({});
    library.SetSingleQueryResult(0);
    EXPECT_EQ(0, communication->FindRemoteDevices(noKinds, devices));
    EXPECT_EQ(0, devices.GetCount());

    // A failure leaves the list as it was.
    devices.InsertAt(0, Int32(3));
    library.SetSingleQueryResult(-2);
    EXPECT_EQ(-2, communication->FindRemoteDevices(noKinds, devices));
    EXPECT_EQ(1, devices.GetCount());
}

TEST_F(DeviceCommunicationInterfaceTest, WaitingForRemoteDevicesEndsOnAChangeOrAfterTheTime)
{
    auto communication = Connected();
    std::vector<uint32_t> sleeps;
    communication->SetSleepFunction([&](uint32_t milliseconds) { sleeps.push_back(milliseconds); });
    SV::Array<SV::Variant> devices;
    devices.InsertAt(0, Int32(1));
    library.SetRemoteDevices({Int32(1)});

    // Time-out 0: one query, unchanged.
    EXPECT_EQ(S_FALSE, communication->WaitForRemoteDevices(noKinds, devices, 0));
    EXPECT_EQ(1, library.CallCount("FindRemoteDevices"));
    EXPECT_TRUE(sleeps.empty());

    // 1500 ms: seven queries with six pauses of 250 ms between them.
    library.ClearCalls();
    EXPECT_EQ(S_FALSE, communication->WaitForRemoteDevices(noKinds, devices, 1500));
    EXPECT_EQ(7, library.CallCount("FindRemoteDevices"));
    EXPECT_EQ(std::vector<uint32_t>(6, 250), sleeps);
    for (const auto& call : library.Calls()) {
        EXPECT_EQ(kRemoteDeviceWait, call.mode);
    }

    // A changed list ends the wait at once and is handed back.
    library.SetRemoteDevices({Int32(1), Int32(5)});
    EXPECT_EQ(S_OK, communication->WaitForRemoteDevices(noKinds, devices, 1500));
    ASSERT_EQ(2, devices.GetCount());
    EXPECT_TRUE(devices.At(1)->IsEqual(Int32(5)));

    library.SetWaitQueryResult(-1);
    EXPECT_EQ(E_FAIL, communication->WaitForRemoteDevices(noKinds, devices, 1500));

    SV::RCPtr<LDeviceCommunicationInterface> withoutClient(new LDeviceCommunicationInterface());
    EXPECT_EQ(-1, withoutClient->WaitForRemoteDevices(noKinds, devices, 0));
}

TEST_F(DeviceCommunicationInterfaceTest, ListsPushedByTheLibraryReachTheReceiverOnItsOwnThread)
{
    auto communication = Connected();
    RecordingReceiver receiver;
    communication->SetReceiver(&receiver);
    communication->SetEnabled(true);
    ASSERT_GE(communication->ConnectDevice(Int32(1)), 0);

    // The first delivery waits until three more lists are queued: they all follow in order.
    Gate queued;
    receiver.onReceive = [&](const SV::ParamValues& values) {
        if (FirstId(values) == 0) {
            queued.Pass();
        }
    };
    ASSERT_TRUE(library.Push(ValueList(0, Blob({0}))));
    ASSERT_TRUE(receiver.WaitForLists(1));
    for (int32_t id = 1; id <= 3; ++id) {
        ASSERT_TRUE(library.Push(ValueList(id, Blob({static_cast<uint8_t>(id)}))));
    }
    queued.Open();
    ASSERT_TRUE(receiver.WaitForLists(4));

    const auto lists = receiver.Lists();
    const auto threads = receiver.Threads();
    for (int32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(i, FirstId(lists[i]));
        EXPECT_NE(std::this_thread::get_id(), threads[i]);
        EXPECT_EQ(threads[0], threads[i]);
    }
    communication->SetEnabled(false);
    communication->SetReceiver(nullptr);
}

TEST_F(DeviceCommunicationInterfaceTest, ListsThatArriveWhileDeliveryIsOffAreDropped)
{
    auto communication = Connected();
    RecordingReceiver receiver;
    communication->SetReceiver(&receiver);
    communication->SetEnabled(true);
    ASSERT_GE(communication->ConnectDevice(Int32(1)), 0);

    // Delivery is switched off during the first delivery; the lists queued meanwhile are
    // drained by the same run and dropped.
    Gate queued;
    receiver.onReceive = [&](const SV::ParamValues& values) {
        if (FirstId(values) == 0) {
            communication->SetEnabled(false);
            queued.Pass();
        }
    };
    ASSERT_TRUE(library.Push(ValueList(0, Blob({0}))));
    ASSERT_TRUE(receiver.WaitForLists(1));
    ASSERT_TRUE(library.Push(ValueList(1, Blob({1}))));
    ASSERT_TRUE(library.Push(ValueList(2, Blob({2}))));
    queued.Open();
    // Returns once the drain has ended.
    communication->SetEnabled(false);

    communication->SetEnabled(true);
    ASSERT_TRUE(library.Push(ValueList(3, Blob({3}))));
    ASSERT_TRUE(receiver.WaitForLists(2));
    const auto lists = receiver.Lists();
    ASSERT_EQ(2u, lists.size());
    EXPECT_EQ(0, FirstId(lists[0]));
    EXPECT_EQ(3, FirstId(lists[1]));
    communication->SetEnabled(false);
    communication->SetReceiver(nullptr);
}

TEST_F(DeviceCommunicationInterfaceTest, TheLastReleaseDisconnectsAndUnloadsTheLibrary)
{
    auto communication = Connected();
    communication->ConnectDevice(Int32(8));
    library.ClearCalls();
    communication = nullptr;
    EXPECT_EQ((std::vector<std::string>{"DisconnectDevice", "ReleaseAll"}), library.CallNames());
    EXPECT_TRUE(library.Calls()[0].deviceId.IsEqual(Int32(8)));
    EXPECT_FALSE(library.HasCallback());
}

} // namespace
