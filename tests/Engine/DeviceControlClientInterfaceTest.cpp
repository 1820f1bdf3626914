#include "DeviceControlClientInterface.h"

#include "ExecutablePath.h"
#include "FakeDeviceControlClient.h"
#include "TempFolder.h"
#include "VariantBytes.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using SV::DeviceControlClientInterface;
using svtest::Blob;
using svtest::FakeDeviceControlClient;
using svtest::Int32;

// Every wrapper once, each with the answer the library (or its absence) gave.
struct WrapperCall
{
    const char* name;
    std::function<int32_t(DeviceControlClientInterface&)> call;
};

std::vector<WrapperCall> AllWrappers()
{
    static const SV::Variant id = Int32(7);
    return {
        {"FindDevices",
         [](DeviceControlClientInterface& c) {
             SV::Variant result;
             return c.FindDevices(nullptr, 0, result);
         }},
        {"FindRemoteDevices",
         [](DeviceControlClientInterface& c) {
             SV::Variant result;
             return c.FindRemoteDevices(nullptr, 0, result, kRemoteDeviceSingleQuery);
         }},
        {"ConnectDevice",
         [](DeviceControlClientInterface& c) { return c.ConnectDevice(id, nullptr, nullptr); }},
        {"RequestParamRanges",
         [](DeviceControlClientInterface& c) {
             return c.RequestParamRanges(id, SV::ParamRanges());
         }},
        {"RequestParamValues",
         [](DeviceControlClientInterface& c) {
             return c.RequestParamValues(id, SV::ParamDescriptors());
         }},
        {"GetParamRanges",
         [](DeviceControlClientInterface& c) { return c.GetParamRanges(id, 1, 2); }},
        {"GetParamValues",
         [](DeviceControlClientInterface& c) { return c.GetParamValues(id, 1, 2); }},
        {"GetParamValue",
         [](DeviceControlClientInterface& c) {
             SV::Variant value;
             return c.GetParamValue(id, SV::ParamDescriptor(1), value);
         }},
        {"SetParamValue",
         [](DeviceControlClientInterface& c) {
             return c.SetParamValue(id, SV::ParamDescriptor(1), Int32(1));
         }},
        {"SetParamValues",
         [](DeviceControlClientInterface& c) { return c.SetParamValues(id, SV::ParamValues()); }},
        {"DisconnectDevice",
         [](DeviceControlClientInterface& c) { return c.DisconnectDevice(id); }},
        {"GetDeviceInfo",
         [](DeviceControlClientInterface& c) {
             uint8_t record[kDeviceInfoRecordSize] = {};
             return c.GetDeviceInfo(id, record);
         }},
    };
}

class DeviceControlClientInterfaceTest : public ::testing::Test
{
protected:
    void TearDown() override { DeviceControlClientInterface::SetLibraryFolder(SV::WideString()); }

    static void UseFolder(const std::string& folder)
    {
        DeviceControlClientInterface::SetLibraryFolder(SV::WideString(folder.c_str()));
    }
};

TEST_F(DeviceControlClientInterfaceTest, WithoutTheLibraryEveryWrapperAnswersMinusOne)
{
    svtest::TempFolder emptyFolder;
    UseFolder(emptyFolder.Path());
    DeviceControlClientInterface client;
    EXPECT_FALSE(client.IsLoaded());
    for (const WrapperCall& wrapper : AllWrappers()) {
        EXPECT_EQ(-1, wrapper.call(client)) << wrapper.name;
    }
    EXPECT_FALSE(client.IsDeviceConnected(SV::Variant()));
}

TEST_F(DeviceControlClientInterfaceTest, EveryWrapperReachesItsExportWithTheDeviceId)
{
    FakeDeviceControlClient library(svtest::kFakeClientFolder);
    ASSERT_TRUE(library.IsInstalled());
    UseFolder(svtest::kFakeClientFolder);
    DeviceControlClientInterface client;
    ASSERT_TRUE(client.IsLoaded());
    library.SetDeviceValue(1, Blob({0x05}));
    for (const WrapperCall& wrapper : AllWrappers()) {
        EXPECT_EQ(0, wrapper.call(client)) << wrapper.name;
    }
    EXPECT_TRUE(client.IsDeviceConnected(Int32(7)));

    std::vector<std::string> expected;
    for (const WrapperCall& wrapper : AllWrappers()) {
        expected.push_back(wrapper.name);
    }
    expected.push_back("IsDeviceConnected");
    EXPECT_EQ(expected, library.CallNames());
    for (const FakeDeviceControlClient::Call& call : library.Calls()) {
        if (call.name != "FindDevices" && call.name != "FindRemoteDevices") {
            EXPECT_TRUE(call.deviceId.IsEqual(Int32(7))) << call.name;
        }
    }
}

TEST_F(DeviceControlClientInterfaceTest, AnswersAndResultsOfTheLibraryPassUnchanged)
{
    FakeDeviceControlClient library(svtest::kFakeClientFolder);
    UseFolder(svtest::kFakeClientFolder);
    DeviceControlClientInterface client;
    const SV::Variant id = Int32(3);

    library.SetDeviceValue(2, Blob({1, 2, 3}), 4);
    SV::Variant value;
    EXPECT_EQ(4, client.GetParamValue(id, SV::ParamDescriptor(2), value));
    EXPECT_TRUE(value.IsEqual(Blob({1, 2, 3})));

    library.SetWriteResult(-5);
    EXPECT_EQ(-5, client.SetParamValue(id, SV::ParamDescriptor(2), Blob({9})));
    EXPECT_TRUE(library.Calls().back().value.IsEqual(Blob({9})));

    library.SetRemoteDevices({Int32(11), Int32(12)});
    library.SetSingleQueryResult(1);
    SV::Variant devices;
    EXPECT_EQ(1, client.FindRemoteDevices(nullptr, 0, devices, kRemoteDeviceSingleQuery));
    EXPECT_EQ(2, devices.GetListItemCount());

    library.SetPresentDevices({id});
    uint8_t record[kDeviceInfoRecordSize] = {};
    EXPECT_EQ(0, client.GetDeviceInfo(id, record));
    EXPECT_EQ(1, record[kDeviceInfoPresentByte]);
}

TEST_F(DeviceControlClientInterfaceTest, ALibraryWithoutSomeExportsAnswersMinusOneForThoseOnly)
{
    FakeDeviceControlClient library(svtest::kFakeClientPartialFolder);
    UseFolder(svtest::kFakeClientPartialFolder);
    DeviceControlClientInterface client;
    ASSERT_TRUE(client.IsLoaded());
    EXPECT_EQ(-1, client.SetParamValue(SV::Variant(), SV::ParamDescriptor(0), Blob({1})));
    EXPECT_FALSE(client.IsDeviceConnected(SV::Variant()));
    EXPECT_EQ(0, client.DisconnectDevice(SV::Variant()));
    EXPECT_EQ((std::vector<std::string>{"DisconnectDevice"}), library.CallNames());
}

TEST_F(DeviceControlClientInterfaceTest, DestroyingALoadedClientReleasesTheLibraryOnce)
{
    FakeDeviceControlClient library(svtest::kFakeClientFolder);
    UseFolder(svtest::kFakeClientFolder);
    {
        DeviceControlClientInterface client;
        EXPECT_EQ(0, library.CallCount("ReleaseAll"));
    }
    EXPECT_EQ((std::vector<std::string>{"ReleaseAll"}), library.CallNames());
}

TEST_F(DeviceControlClientInterfaceTest, AGivenPathIsLoadedAsItIs)
{
    FakeDeviceControlClient library(svtest::kFakeClientFolder);
    svtest::TempFolder emptyFolder;
    UseFolder(emptyFolder.Path());
    const std::string path = std::string(svtest::kFakeClientFolder) + "/libDeviceControlClient.so";
    DeviceControlClientInterface client{SV::WideString(path.c_str())};
    EXPECT_TRUE(client.IsLoaded());
    EXPECT_EQ(0, client.DisconnectDevice(SV::Variant()));
}

TEST_F(DeviceControlClientInterfaceTest, TheLibraryIsLookedForBesideTheExecutableByDefault)
{
    UseFolder("/somewhere/else");
    EXPECT_TRUE(DeviceControlClientInterface::GetLibraryFolder().EqualsUtf8("/somewhere/else"));
    DeviceControlClientInterface::SetLibraryFolder(SV::WideString());
    EXPECT_TRUE(DeviceControlClientInterface::GetLibraryFolder().EqualsUtf8(
        svp::GetExecutableFolder().c_str()));
}

} // namespace
