#include "RootModule.h"

#include "DeviceControlClientInterface.h"
#include "FakeDeviceControlClient.h"
#include "ModuleDoubles.h"
#include "ParamValueLists.h"
#include "ResultCodes.h"
#include "Utilities/Storage/Array.h"
#include "VariantBytes.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using svtest::Blob;
using svtest::Bool;
using svtest::Bytes;
using svtest::BytesOf;
using svtest::FakeDeviceCommunicationInterface;
using svtest::Int32;
using svtest::ValueList;

class RootModuleTest : public ::testing::Test
{
protected:
    // The listener: keeps a copy of every reported change, and wakes waiting tests.
    static void Listen(void* context, SV::IArray<SV::ParamValue>* values)
    {
        auto* test = static_cast<RootModuleTest*>(context);
        std::lock_guard lock(test->mMutex);
        for (int32_t i = 0; i < values->GetCount(); ++i) {
            test->changes.push_back(*values->At(i));
        }
        test->mChanged.notify_all();
    }

    SV::RCPtr<LRootModule> Initialized(bool localMode,
                                       const SV::RCPtr<LDeviceCommunicationInterface>& to)
    {
        SV::RCPtr<LRootModule> root = LRootModule::Create(localMode);
        EXPECT_EQ(S_OK, root->Initialize(&Listen, this, cache, to, 0));
        return root;
    }

    std::vector<SV::ParamValue> Changes()
    {
        std::lock_guard lock(mMutex);
        return changes;
    }

    // Waits until a change of `id` to `bytes` has been reported.
    bool WaitForChange(int32_t id, const Bytes& bytes)
    {
        std::unique_lock lock(mMutex);
        return mChanged.wait_for(lock, std::chrono::seconds(20), [&] {
            for (const SV::ParamValue& change : changes) {
                if (change.descriptor.id == id && BytesOf(change.value) == bytes) {
                    return true;
                }
            }
            return false;
        });
    }

    const SV::RCPtr<FakeDeviceCommunicationInterface> device{
        new FakeDeviceCommunicationInterface()};
    const SV::RCPtr<LParamCache> cache{new LParamCache(4)};
    std::vector<SV::ParamValue> changes;

private:
    std::mutex mMutex;
    std::condition_variable mChanged;
};

TEST_F(RootModuleTest, AnInitializedRootAnswersTheDefaultsOfItsFourIds)
{
    auto root = Initialized(false, device);
    const Bytes defaults[] = {
        {0x00, 0x02}, {0x04}, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x78, 0x00}, {0x0C}};
    for (int32_t id = 0; id < 4; ++id) {
        SV::Variant value;
        EXPECT_EQ(S_OK, root->GetParamValue(SV::ParamDescriptor(id), value));
        EXPECT_EQ(defaults[id], BytesOf(value)) << id;
    }
    SV::Variant value = Blob({1});
    EXPECT_EQ(E_FAIL, root->GetParamValue(SV::ParamDescriptor(4), value));
    EXPECT_EQ(SV::Variant::kEmpty, value.GetType());
    // Seeding reports nothing and writes nothing.
    EXPECT_TRUE(Changes().empty());
    EXPECT_TRUE(device->writes.empty());
    EXPECT_EQ(device, root->GetDeviceCommunicationInterface());
    EXPECT_EQ(cache, root->GetParamCache());
}

TEST_F(RootModuleTest, AWriteIsReportedOnlyWhenItChangesButAlwaysSentToTheDevice)
{
    auto root = Initialized(false, device);
    device->writeResult = 7;
    EXPECT_EQ(7, root->SetParamValue(SV::ParamDescriptor(1), Blob({0x05})));
    EXPECT_EQ(7, root->SetParamValue(SV::ParamDescriptor(1), Blob({0x05})));
    EXPECT_EQ(7, root->SetParamValue(SV::ParamDescriptor(1), SV::Variant()));

    const auto reported = Changes();
    ASSERT_EQ(1u, reported.size());
    EXPECT_EQ(1, reported[0].descriptor.id);
    EXPECT_EQ(Bytes{0x05}, BytesOf(reported[0].value));
    ASSERT_EQ(3u, device->writes.size());
    EXPECT_EQ(Bytes{0x05}, BytesOf(device->writes[1].value));

    SV::Variant value;
    root->GetParamValue(SV::ParamDescriptor(1), value);
    EXPECT_EQ(Bytes{0x05}, BytesOf(value));

    // Outside the range no module writes, and the device side still answers.
    EXPECT_EQ(7, root->SetParamValue(SV::ParamDescriptor(4), Blob({0x01})));
    EXPECT_EQ(1u, Changes().size());
}

TEST_F(RootModuleTest, InLocalModeValuesLiveOnlyInTheCache)
{
    auto root = Initialized(true, device);
    EXPECT_EQ(S_OK, root->SetParamValue(SV::ParamDescriptor(3), Blob({0x0D})));
    ASSERT_EQ(1u, Changes().size());
    EXPECT_EQ(3, Changes()[0].descriptor.id);
    EXPECT_TRUE(device->writes.empty());

    SV::Variant value;
    EXPECT_EQ(S_OK, root->GetParamValue(SV::ParamDescriptor(3), value));
    EXPECT_EQ(Bytes{0x0D}, BytesOf(value));
    // Outside the range: nothing stored, nothing sent.
    EXPECT_EQ(-1, root->SetParamValue(SV::ParamDescriptor(-8), Blob({0x01})));
    EXPECT_TRUE(device->writes.empty());
    // System values are still read from the interface.
    root->GetParamValue(SV::ParamDescriptor(-9), value);
    ASSERT_EQ(1u, device->reads.size());
    EXPECT_EQ(-9, device->reads[0].id);
}

TEST_F(RootModuleTest, ValuesFromTheDeviceAreStoredAndReportedButNotSentBack)
{
    auto root = Initialized(false, device);
    SV::ParamValues incoming = ValueList({SV::ParamValue(-2, SV::Variant(), Bool(true)),
                                          SV::ParamValue(0, SV::Variant(), Blob({0x03, 0x00})),
                                          SV::ParamValue(9, SV::Variant(), Blob({0x01}))});
    root->ReceiveParamValues(incoming);

    const auto reported = Changes();
    ASSERT_EQ(3u, reported.size());
    EXPECT_EQ(-2, reported[0].descriptor.id);
    EXPECT_TRUE(reported[0].value.GetBool());
    EXPECT_EQ(0, reported[1].descriptor.id);
    EXPECT_EQ((Bytes{0x03, 0x00}), BytesOf(reported[1].value));
    // An id of the model's kind that no module owns reaches the listener as it came.
    EXPECT_EQ(9, reported[2].descriptor.id);
    EXPECT_TRUE(device->writes.empty());

    SV::Variant value;
    root->GetParamValue(SV::ParamDescriptor(0), value);
    EXPECT_EQ((Bytes{0x03, 0x00}), BytesOf(value));
}

TEST_F(RootModuleTest, AnUnreadableIncomingEntryReachesTheListenerAsIdMinusOne)
{
    auto root = Initialized(false, device);
    const SV::Variant notAnEntry = Int32(5);
    SV::ParamValues incoming;
    incoming.SetList(&notAnEntry, 1);
    root->ReceiveParamValues(incoming);
    ASSERT_EQ(1u, Changes().size());
    EXPECT_EQ(-1, Changes()[0].descriptor.id);
    EXPECT_EQ(SV::Variant::kEmpty, Changes()[0].value.GetType());
}

TEST_F(RootModuleTest, TheConnectionRecordAnswersWhetherItReachedTheRoot)
{
    auto root = Initialized(false, device);
    EXPECT_EQ(S_OK, root->SetParamValue(SV::ParamDescriptor(-4), Int32(1)));
    ASSERT_EQ(1u, Changes().size());
    EXPECT_EQ(-4, Changes()[0].descriptor.id);
    EXPECT_EQ(2, Changes()[0].value.GetListItemCount());
    EXPECT_TRUE(device->writes.empty());

    device->SetReceiver(nullptr);
    EXPECT_EQ(S_FALSE, root->SetParamValue(SV::ParamDescriptor(-4), Int32(1)));
    EXPECT_EQ(1u, Changes().size());
}

// The interface keeps its receiver as a plain pointer: once the root is gone, a connection
// record must find no receiver rather than a freed root.
TEST_F(RootModuleTest, ReleasingTheRootDetachesItFromTheInterface)
{
    auto root = Initialized(false, device);
    EXPECT_TRUE(device->NotifyConnectionState(1));
    root = nullptr;
    EXPECT_FALSE(device->NotifyConnectionState(1));
}

class ConnectedRootModuleTest : public RootModuleTest
{
protected:
    ConnectedRootModuleTest()
    {
        SV::DeviceControlClientInterface::SetLibraryFolder(
            SV::WideString(svtest::kFakeClientFolder));
        communication->LoadClientLibrary();
    }
    ~ConnectedRootModuleTest() override
    {
        SV::DeviceControlClientInterface::SetLibraryFolder(SV::WideString());
    }

    svtest::FakeDeviceControlClient library{svtest::kFakeClientFolder};
    const SV::RCPtr<LDeviceCommunicationInterface> communication{
        new LDeviceCommunicationInterface()};
};

TEST_F(ConnectedRootModuleTest, AFailedConnectionSwitchesToLocalModeAndASuccessfulOneAsksForValues)
{
    auto root = Initialized(false, communication);
    library.SetConnectResult(-2);
    EXPECT_EQ(-2, root->ConnectDevice(Int32(6)));
    EXPECT_TRUE(root->IsLocalMode());
    EXPECT_EQ((std::vector<std::string>{"DisconnectDevice", "ConnectDevice"}), library.CallNames());

    library.ClearCalls();
    library.SetConnectResult(0);
    EXPECT_EQ(0, root->ConnectDevice(Int32(6)));
    EXPECT_FALSE(root->IsLocalMode());
    const auto calls = library.Calls();
    ASSERT_EQ(4u, calls.size());
    EXPECT_EQ("RequestParamRanges", calls[2].name);
    SV::ParamIdRange range;
    EXPECT_EQ(S_OK, SV::ParamRanges(calls[2].value).GetRange(0, range));
    EXPECT_EQ(0, range.firstId);
    EXPECT_EQ(4, range.count);
    EXPECT_EQ("RequestParamValues", calls[3].name);
    int32_t id = 0;
    SV::Variant subPart;
    EXPECT_EQ(S_OK, SV::ParamDescriptors(calls[3].value).GetDescriptor(0, id, subPart));
    EXPECT_EQ(-8, id);
}

// Values from the library's thread and from the caller meet at the root's lock: both reach the
// cache and every change is reported, one at a time.
TEST_F(ConnectedRootModuleTest, ValuesFromTheDeviceAndFromTheCallerAreSerialised)
{
    auto root = Initialized(false, communication);
    ASSERT_EQ(0, root->ConnectDevice(Int32(1)));
    constexpr uint8_t kRounds = 100;
    std::thread libraryThread([&] {
        for (uint8_t i = 1; i <= kRounds; ++i) {
            library.Push(ValueList({SV::ParamValue(0, SV::Variant(), Blob({i, 0x00}))}));
        }
    });
    for (uint8_t i = 1; i <= kRounds; ++i) {
        root->SetParamValue(SV::ParamDescriptor(1), Blob({i}));
    }
    libraryThread.join();
    ASSERT_TRUE(WaitForChange(0, {kRounds, 0x00}));

    SV::Variant value;
    root->GetParamValue(SV::ParamDescriptor(1), value);
    EXPECT_EQ(Bytes{kRounds}, BytesOf(value));
    EXPECT_EQ(kRounds, library.CallCount("SetParamValue"));
    root->DisableReceiving();
}

} // namespace
