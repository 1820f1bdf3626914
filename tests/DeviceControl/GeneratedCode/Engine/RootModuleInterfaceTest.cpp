#include "RootModuleInterface.h"

#include "Device.h"
#include "ModuleDoubles.h"
#include "ResultCodes.h"
#include "VariantBytes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using svtest::Blob;
using svtest::Bytes;
using svtest::BytesOf;
using svtest::FakeDeviceCommunicationInterface;
using svtest::FakeDeviceView;
using svtest::FakeEditPanel;
using svtest::FakeRootModule;

// The editor's tree: the main control over the device view over its panels.
class EditorTreeTest : public ::testing::Test
{
protected:
    EditorTreeTest()
    {
        view->communicationType = channel;
        view->octave = octave;
        view->arpeggiator = arpeggiator;
        view->transpose = transpose;
        mainControl->device = view;
    }

    std::vector<std::string> journal;
    const SV::RCPtr<FakeEditPanel<ICommunicationType>> channel{
        new FakeEditPanel<ICommunicationType>("channel", 2, &journal)};
    const SV::RCPtr<FakeEditPanel<IOctave>> octave{
        new FakeEditPanel<IOctave>("octave", 1, &journal)};
    const SV::RCPtr<FakeEditPanel<IArpeggiator>> arpeggiator{
        new FakeEditPanel<IArpeggiator>("arpeggiator", 10, &journal)};
    const SV::RCPtr<FakeEditPanel<ITranspose>> transpose{
        new FakeEditPanel<ITranspose>("transpose", 1, &journal)};
    const SV::RCPtr<FakeDeviceView> view{new FakeDeviceView()};
    const SV::RCPtr<FakeRootModule> mainControl{new FakeRootModule()};
};

TEST_F(EditorTreeTest, TheMainControlNumbersTheViewAndItsPanelsLikeTheModel)
{
    mainControl->SetFirstParamID(nullptr, 20, 0);

    EXPECT_EQ(view->GetFirstParamID(), 20);
    EXPECT_EQ(view->GetParent(), mainControl);
    const SV::RCPtr<LParameterizedModule> panels[] = {channel, octave, arpeggiator, transpose};
    for (int32_t offset = 0; offset < 4; ++offset) {
        EXPECT_EQ(panels[offset]->GetFirstParamID(), 20 + offset);
        EXPECT_EQ(panels[offset]->GetParent(), view);
        EXPECT_EQ(mainControl->GetModuleForParamID(20 + offset), panels[offset]);
        EXPECT_EQ(view->GetModuleForParamIDConst(20 + offset), panels[offset]);
    }
    EXPECT_EQ(mainControl->GetModuleForParamID(24), nullptr);
    EXPECT_EQ(mainControl->GetModuleForParamID(19), nullptr);
    EXPECT_EQ(mainControl->GetDeviceConst(), view);
    EXPECT_EQ(view->GetArpeggiatorConst(), arpeggiator);
}

TEST_F(EditorTreeTest, MissingPanelsAreSkippedAndOwnNoId)
{
    view->octave = nullptr;
    view->arpeggiator = nullptr;
    mainControl->SetFirstParamID(nullptr, 0, 0);

    EXPECT_EQ(transpose->GetFirstParamID(), 3);
    EXPECT_EQ(mainControl->GetModuleForParamID(1), nullptr);
    EXPECT_EQ(mainControl->GetModuleForParamID(3), transpose);
    EXPECT_EQ(view->GetOctaveConst(), nullptr);

    mainControl->OnDeviceConnected();
    EXPECT_EQ(journal, (std::vector<std::string>{"channel connected", "transpose connected"}));
}

TEST_F(EditorTreeTest, TheHooksReachEveryPanelInIdOrder)
{
    mainControl->OnDeviceConnected();
    mainControl->OnReservedEvent();

    EXPECT_EQ(journal, (std::vector<std::string>{"channel connected", "octave connected",
                                                 "arpeggiator connected", "transpose connected",
                                                 "channel reserved", "octave reserved",
                                                 "arpeggiator reserved", "transpose reserved"}));
}

TEST_F(EditorTreeTest, WithoutADeviceTheRootOwnsNothing)
{
    mainControl->device = nullptr;
    mainControl->SetFirstParamID(nullptr, 0, 0);
    mainControl->OnDeviceConnected();

    EXPECT_EQ(mainControl->GetModuleForParamID(0), nullptr);
    EXPECT_EQ(mainControl->GetDeviceConst(), nullptr);
    EXPECT_TRUE(journal.empty());
}

TEST_F(EditorTreeTest, NoModuleOwnsASystemId)
{
    for (const int32_t id : {-256, -130, -129, -2}) {
        EXPECT_EQ(mainControl->GetModuleForSystemParamID(id), nullptr);
        EXPECT_EQ(mainControl->GetModuleForSystemParamIDConst(id), nullptr);
    }
}

// The model's tree under a root that keeps what reaches it and an interface that records what
// goes to the device.
class RootWritesTest : public ::testing::Test
{
protected:
    RootWritesTest()
    {
        root->device = LDevice::Create();
        root->deviceInterface = device;
        root->SetFirstParamID(nullptr, 0, 0);
        device->writeResult = 3;
    }

    const SV::RCPtr<FakeDeviceCommunicationInterface> device{
        new FakeDeviceCommunicationInterface()};
    const SV::RCPtr<FakeRootModule> root{new FakeRootModule()};
};

TEST_F(RootWritesTest, AValueGoesThroughItsLeafToTheStoreAndToTheDevice)
{
    EXPECT_EQ(root->SetParamValue(SV::ParamDescriptor(1), Blob({5})), 3);

    ASSERT_EQ(root->stores.size(), 1u);
    EXPECT_EQ(root->stores[0].descriptor.id, 1);
    ASSERT_EQ(device->writes.size(), 1u);
    EXPECT_EQ(device->writes[0].descriptor.id, 1);
    EXPECT_EQ(BytesOf(device->writes[0].value), Bytes({5}));

    SV::Variant value = Blob({9, 9});
    EXPECT_EQ(root->GetParamValue(SV::ParamDescriptor(1), value), S_OK);
    EXPECT_EQ(BytesOf(value), Bytes({5}));
}

TEST_F(RootWritesTest, IdsNoModuleOwnsGoOnlyToTheDevice)
{
    for (const int32_t id : {4, 100, -1, -8, -130, -300}) {
        EXPECT_EQ(root->SetParamValue(SV::ParamDescriptor(id), Blob({5})), 3) << id;
    }
    EXPECT_TRUE(root->stores.empty());
    EXPECT_EQ(device->writes.size(), 6u);
}

TEST_F(RootWritesTest, AReadOfAnIdNoModuleOwnsFailsWithAnEmptyValue)
{
    for (const int32_t id : {4, -1, -8}) {
        SV::Variant value = Blob({9});
        EXPECT_EQ(root->GetParamValue(SV::ParamDescriptor(id), value), E_FAIL) << id;
        EXPECT_EQ(value.GetType(), SV::Variant::kEmpty) << id;
    }
    EXPECT_TRUE(device->reads.empty());
}

TEST_F(RootWritesTest, InLocalModeValuesLiveOnlyAtTheRoot)
{
    root->SetLocalMode(true);
    root->storeResult = 0;

    EXPECT_EQ(root->SetParamValue(SV::ParamDescriptor(3), Blob({0x0D})), 0);
    EXPECT_EQ(root->SetParamValue(SV::ParamDescriptor(-8), Blob({1})), 0);
    EXPECT_TRUE(device->writes.empty());
    ASSERT_EQ(root->stores.size(), 2u);

    SV::Variant value;
    EXPECT_EQ(root->GetParamValue(SV::ParamDescriptor(3), value), S_OK);
    EXPECT_EQ(BytesOf(value), Bytes({0x0D}));
}

TEST_F(RootWritesTest, WithoutAnInterfaceAWriteIsStoredButFails)
{
    // The editor's main control has no interface; its writes must not reach a null one.
    root->deviceInterface = nullptr;

    EXPECT_EQ(root->SetParamValue(SV::ParamDescriptor(0), Blob({1, 0})), E_FAIL);
    EXPECT_EQ(root->SetParamValue(SV::ParamDescriptor(-8), Blob({1})), E_FAIL);
    EXPECT_EQ(root->stores.size(), 1u);
}

} // namespace
