#include "Device.h"

#include "ModuleDoubles.h"
#include "ObjectBase/Exception.h"
#include "VariantBytes.h"
#include "ExceptionText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>

namespace {

using svtest::ExceptionTextOf;

using svtest::Blob;
using svtest::BytesOf;
using svtest::FakeRootModule;

// A device hung under a root, as the model builds it.
struct ModelTree
{
    explicit ModelTree(int32_t firstID)
    {
        root->device = device;
        root->SetFirstParamID(nullptr, firstID, 0);
    }

    const SV::RCPtr<LDevice> device = LDevice::Create();
    const SV::RCPtr<FakeRootModule> root{new FakeRootModule()};
};

TEST(DeviceTest, CreateMakesTheFourLeavesUnattached)
{
    const SV::RCPtr<LDevice> device = LDevice::Create();

    const SV::RCPtr<LParameterizedModule> leaves[] = {device->GetCommunicationType(),
                                                      device->GetOctave(), device->GetArpeggiator(),
                                                      device->GetTranspose()};
    for (const SV::RCPtr<LParameterizedModule>& leaf : leaves) {
        ASSERT_TRUE(leaf);
        EXPECT_FALSE(leaf->GetParent());
    }
    EXPECT_TRUE(SV::RCPtr<LCommunicationType>(leaves[0]));
    EXPECT_TRUE(SV::RCPtr<LOctave>(leaves[1]));
    EXPECT_TRUE(SV::RCPtr<LArpeggiator>(leaves[2]));
    EXPECT_TRUE(SV::RCPtr<LTranspose>(leaves[3]));
    EXPECT_EQ(device->GetCommunicationTypeConst(), leaves[0]);
    EXPECT_EQ(device->GetOctaveConst(), leaves[1]);
    EXPECT_EQ(device->GetArpeggiatorConst(), leaves[2]);
    EXPECT_EQ(device->GetTransposeConst(), leaves[3]);
    EXPECT_FALSE(device->IsRoutedToParent());
}

TEST(DeviceTest, CreateSubModulesReplacesTheLeaves)
{
    const SV::RCPtr<LDevice> device = LDevice::Create();
    const SV::RCPtr<IOctave> before = device->GetOctave();

    device->CreateSubModules();

    EXPECT_TRUE(device->GetOctave());
    EXPECT_NE(device->GetOctave(), before);
    EXPECT_EQ(before->GetRefCount(), 1);
}

TEST(DeviceTest, EachIdFindsTheLeafThatOwnsIt)
{
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    struct Case
    {
        int32_t firstID;
        int32_t id;
        int32_t leaf; // offset of the owner, -1 for none
    };
    // The last rows put the ids across the largest int32: they wrap and still find their leaves.
    const Case cases[] = {{0, 0, 0},           {0, 1, 1},           {0, 2, 2},
                          {0, 3, 3},           {0, 4, -1},          {0, -1, -1},
                          {100, 102, 2},       {100, 99, -1},       {100, 104, -1},
                          {kMax - 1, kMax, 1}, {kMax - 1, kMin, 2}, {kMax - 1, kMin + 2, -1},
                          {kMin, kMax, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.firstID) + " " + std::to_string(c.id));
        ModelTree tree(c.firstID);
        const SV::RCPtr<LParameterizedModule> leaves[] = {
            tree.device->GetCommunicationType(), tree.device->GetOctave(),
            tree.device->GetArpeggiator(), tree.device->GetTranspose()};
        const SV::RCPtr<LParameterizedModule> expected = c.leaf < 0 ? nullptr : leaves[c.leaf];

        EXPECT_EQ(tree.device->GetModuleForParamID(c.id), expected);
        EXPECT_EQ(tree.device->GetModuleForParamIDConst(c.id), expected);
        EXPECT_EQ(tree.root->GetModuleForParamID(c.id), expected);
    }
}

TEST(DeviceTest, TheRootNumbersTheDeviceAndItsLeaves)
{
    ModelTree tree(100);

    EXPECT_EQ(tree.device->GetFirstParamID(), 100);
    EXPECT_EQ(tree.device->GetParent(), tree.root);
    const SV::RCPtr<LParameterizedModule> leaves[] = {
        tree.device->GetCommunicationType(), tree.device->GetOctave(),
        tree.device->GetArpeggiator(), tree.device->GetTranspose()};
    for (int32_t offset = 0; offset < 4; ++offset) {
        const SV::RCPtr<LParameterizedModule>& leaf = leaves[offset];
        EXPECT_EQ(leaf->GetFirstParamID(), 100 + offset);
        EXPECT_EQ(leaf->GetParent(), tree.device);
        EXPECT_EQ(leaf->GetRoot(), tree.root);
    }
}

TEST(DeviceTest, ADeviceIdOtherThanTheRootsIsRefusedByTheFirstLeaf)
{
    // The leaves are numbered before the device checks itself, and the first of them tests the
    // same condition against the same root.
    const SV::RCPtr<FakeRootModule> root(new FakeRootModule());
    root->SetFirstParamID(nullptr, 10, 0);
    const SV::RCPtr<LDevice> device = LDevice::Create();

    EXPECT_EQ(ExceptionTextOf([&] { device->SetFirstParamID(root.Get(), 11, 0); }),
              "Logic Error : Invalid FirstParamID : LCommunicationType::SetFirstParamID : "
              "..\\DeviceControl\\GeneratedCode\\Engine\\Src\\CommunicationType : Line 72");
    EXPECT_EQ(device->GetFirstParamID(), 11);

    // An unattached device is its own root.
    EXPECT_EQ(ExceptionTextOf([&] { device->SetFirstParamID(nullptr, 11, 0); }), "no exception");
}

TEST(DeviceTest, TheDeviceHasNoLocalValueAndNoDefault)
{
    ModelTree tree(0);

    EXPECT_EQ(ExceptionTextOf([&] {
                  tree.device->SetParamValueLocal(SV::ParamDescriptor(0), Blob({1}), false);
              }),
              "Logic Error : LParameterizedModule::SetParamValueLocal : "
              "DeviceControl\\GeneratedCode\\Engine\\Inc\\RootModuleInterface : Line 102");
    EXPECT_EQ(ExceptionTextOf([&] { tree.device->GetParamValueLocal(SV::ParamDescriptor(0)); }),
              "Logic Error : LParameterizedModule::GetParamValueLocal : "
              "DeviceControl\\GeneratedCode\\Engine\\Inc\\RootModuleInterface : Line 116");
    EXPECT_EQ(tree.device->GetParamValueDefault(0).GetType(), SV::Variant::kEmpty);
}

TEST(DeviceTest, ALeafsValueTravelsThroughTheDeviceToTheRoot)
{
    ModelTree tree(0);
    const SV::RCPtr<IArpeggiator> arpeggiator = tree.device->GetArpeggiator();

    EXPECT_EQ(arpeggiator->SetParamValueLocal(SV::ParamDescriptor(2), Blob({1, 2, 3}), false), 0);
    EXPECT_EQ(BytesOf(tree.root->values[2]), svtest::Bytes({1, 2, 3}));
    EXPECT_EQ(BytesOf(arpeggiator->GetParamValueLocal(SV::ParamDescriptor(2))),
              svtest::Bytes({1, 2, 3}));
}

TEST(DeviceTest, ReleasingTheRootFreesTheWholeTree)
{
    SV::RCPtr<FakeRootModule> root(new FakeRootModule());
    root->device = LDevice::Create();
    root->SetFirstParamID(nullptr, 0, 0);
    const SV::ConstRCPtr<IOctave> octave = root->GetDevice()->GetOctaveConst();
    ASSERT_EQ(octave->GetRefCount(), 2);

    root = nullptr;

    // Only the test's own reference is left: the device let go of its leaf.
    EXPECT_EQ(octave->GetRefCount(), 1);
}

} // namespace
