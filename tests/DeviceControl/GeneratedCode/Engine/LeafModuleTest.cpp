#include "Arpeggiator.h"
#include "CommunicationType.h"
#include "Octave.h"
#include "Transpose.h"

#include "ModuleDoubles.h"
#include "ObjectBase/Exception.h"
#include "VariantBytes.h"
#include "ExceptionText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using svtest::ExceptionTextOf;

using svtest::Blob;
using svtest::Bytes;
using svtest::BytesOf;
using svtest::FakeDeviceCommunicationInterface;
using svtest::FakeRootModule;

struct LeafCase
{
    std::function<SV::RCPtr<LParameterizedModule>()> create;
    int32_t offset;
    Bytes defaultValue;
    std::string className;
    std::string sourceFile;
};

const std::vector<LeafCase>& Leaves()
{
    static const std::vector<LeafCase> leaves{
        {[] { return SV::RCPtr<LParameterizedModule>(LCommunicationType::Create()); },
         0,
         {0x00, 0x02},
         "LCommunicationType",
         "CommunicationType"},
        {[] { return SV::RCPtr<LParameterizedModule>(LOctave::Create()); },
         1,
         {0x04},
         "LOctave",
         "Octave"},
        {[] { return SV::RCPtr<LParameterizedModule>(LArpeggiator::Create()); },
         2,
         {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x78, 0x00},
         "LArpeggiator",
         "Arpeggiator"},
        {[] { return SV::RCPtr<LParameterizedModule>(LTranspose::Create()); },
         3,
         {0x0C},
         "LTranspose",
         "Transpose"},
    };
    return leaves;
}

std::string LeafError(const LeafCase& leaf, const std::string& detail, const std::string& operation,
                      int line)
{
    return "Logic Error : " + detail + leaf.className + "::" + operation +
           " : ..\\DeviceControl\\GeneratedCode\\Engine\\Src\\" + leaf.sourceFile + " : Line " +
           std::to_string(line);
}

// A root whose first id is 10, as the tests below hang the leaves under it directly.
class LeafModuleTest : public ::testing::Test
{
protected:
    LeafModuleTest() { root->SetFirstParamID(nullptr, kRootFirstID, 0); }

    static constexpr int32_t kRootFirstID = 10;
    const SV::RCPtr<FakeRootModule> root{new FakeRootModule()};
};

TEST_F(LeafModuleTest, EachLeafOwnsOneIdWithItsDefaultBlob)
{
    for (const LeafCase& leaf : Leaves()) {
        SCOPED_TRACE(leaf.className);
        const SV::RCPtr<LParameterizedModule> module = leaf.create();
        EXPECT_TRUE(module->IsRoutedToParent());
        EXPECT_FALSE(module->GetParent());

        const int32_t id = kRootFirstID + leaf.offset;
        module->SetFirstParamID(root.Get(), id, 0);
        EXPECT_EQ(module->GetFirstParamID(), id);
        EXPECT_EQ(module->GetModuleForParamID(id), module);

        SV::Variant defaultValue = module->GetParamValueDefault(id);
        EXPECT_EQ(defaultValue.GetType(), SV::Variant::kBlob);
        EXPECT_EQ(BytesOf(defaultValue), leaf.defaultValue);
        // Each default is a fresh block: changing one leaves the next untouched.
        uint32_t size = 0;
        defaultValue.GetData(size)[0] ^= 0xFF;
        EXPECT_EQ(BytesOf(module->GetParamValueDefault(id)), leaf.defaultValue);
    }
}

TEST_F(LeafModuleTest, AFirstIdAwayFromTheLeafsOffsetIsRefusedButKept)
{
    for (const LeafCase& leaf : Leaves()) {
        SCOPED_TRACE(leaf.className);
        const SV::RCPtr<LParameterizedModule> module = leaf.create();
        const int32_t wrongID = kRootFirstID + leaf.offset + 1;

        EXPECT_EQ(ExceptionTextOf([&] { module->SetFirstParamID(root.Get(), wrongID, 0); }),
                  LeafError(leaf, "Invalid FirstParamID : ", "SetFirstParamID", 72));
        EXPECT_EQ(module->GetFirstParamID(), wrongID);
        EXPECT_EQ(module->GetParent(), root);
    }
}

TEST_F(LeafModuleTest, ALeafAnswersOnlyForItsOwnId)
{
    for (const LeafCase& leaf : Leaves()) {
        SCOPED_TRACE(leaf.className);
        const SV::RCPtr<LParameterizedModule> module = leaf.create();
        const int32_t id = kRootFirstID + leaf.offset;
        module->SetFirstParamID(root.Get(), id, 0);
        root->values.clear();
        root->stores.clear();
        root->storeResult = 5;

        // Its own id reaches the root with the caller's sub-part; the root's answer is the result.
        EXPECT_EQ(module->SetParamValueLocal(SV::ParamDescriptor(id, Blob({7})),
                                             Blob(leaf.defaultValue), false),
                  5);
        ASSERT_EQ(root->stores.size(), 1u);
        EXPECT_EQ(root->stores[0].descriptor.id, id);
        EXPECT_TRUE(root->stores[0].descriptor.subPart.IsEqual(Blob({7})));
        EXPECT_EQ(BytesOf(module->GetParamValueLocal(SV::ParamDescriptor(id))), leaf.defaultValue);

        // Another leaf's id, and ids beyond the device, are not written and cannot be read.
        for (const int32_t other : {id + 1, id - 1, std::numeric_limits<int32_t>::max()}) {
            EXPECT_EQ(module->SetParamValueLocal(SV::ParamDescriptor(other), Blob({1}), false), -1);
            EXPECT_EQ(ExceptionTextOf([&] { module->GetParamValueLocal(SV::ParamDescriptor(other)); }),
                      LeafError(leaf, "", "GetParamValueLocal", 91));
            EXPECT_EQ(ExceptionTextOf([&] { module->GetParamValueDefault(other); }),
                      LeafError(leaf, "", "GetParamValueDefault", 210));
        }
        EXPECT_EQ(root->stores.size(), 1u);
    }
}

TEST_F(LeafModuleTest, ModuleSystemIdsGoToTheDeviceButAreNeverStored)
{
    const SV::RCPtr<FakeDeviceCommunicationInterface> device(
        new FakeDeviceCommunicationInterface());
    root->deviceInterface = device;
    const SV::RCPtr<LOctave> octave = LOctave::Create();
    octave->SetFirstParamID(root.Get(), kRootFirstID + 1, 0);

    EXPECT_EQ(octave->SetParamValueLocal(SV::ParamDescriptor(-130), Blob({3}), false), 1);
    ASSERT_EQ(device->writes.size(), 1u);
    EXPECT_EQ(device->writes[0].descriptor.id, -130);
    EXPECT_EQ(BytesOf(device->writes[0].value), Bytes({3}));

    // A value that came from the device is not sent back.
    EXPECT_EQ(octave->SetParamValueLocal(SV::ParamDescriptor(-130), Blob({3}), true), 1);
    EXPECT_EQ(device->writes.size(), 1u);

    // The range ends are module system ids; their neighbours and other negative ids are not.
    EXPECT_EQ(octave->SetParamValueLocal(SV::ParamDescriptor(-256), Blob({3}), true), 1);
    EXPECT_EQ(octave->SetParamValueLocal(SV::ParamDescriptor(-129), Blob({3}), true), 1);
    for (const int32_t id : {-257, -128, -100, -2, -1}) {
        EXPECT_EQ(octave->SetParamValueLocal(SV::ParamDescriptor(id), Blob({3}), false), -1) << id;
    }
    EXPECT_EQ(device->writes.size(), 1u);
    EXPECT_TRUE(root->stores.empty());
}

TEST_F(LeafModuleTest, AModuleSystemIdWithoutAnInterfaceOrARootIsStillAnsweredWithoutStoring)
{
    const SV::RCPtr<LTranspose> attached = LTranspose::Create();
    attached->SetFirstParamID(root.Get(), kRootFirstID + 3, 0);
    EXPECT_EQ(attached->SetParamValueLocal(SV::ParamDescriptor(-200), Blob({1}), false), 1);

    const SV::RCPtr<LTranspose> unattached = LTranspose::Create();
    EXPECT_EQ(unattached->SetParamValueLocal(SV::ParamDescriptor(-200), Blob({1}), false), 1);
    EXPECT_TRUE(root->stores.empty());
}

TEST(SystemParamMapTest, NothingMapsAndTheMappedIdIsTheOneBeforeTheFirst)
{
    const SV::RCPtr<LParameterizedModule> module(new LParameterizedModule(true));
    const SystemParamMap map(*module);
    SV::ParamDescriptor mapped(5, Blob({1}));
    SV::Variant mappedValue = Blob({2});

    module->SetFirstParamID(nullptr, 2, 0);
    EXPECT_EQ(map.MapSystemParamValue(SV::ParamDescriptor(-130), Blob({9}), mapped, mappedValue),
              -1);
    EXPECT_EQ(mapped.id, 1);
    EXPECT_EQ(mapped.subPart.GetType(), SV::Variant::kEmpty);

    // The id before the smallest first id wraps around instead of overflowing.
    module->SetFirstParamID(nullptr, std::numeric_limits<int32_t>::min(), 0);
    EXPECT_EQ(map.MapSystemParamValue(SV::ParamDescriptor(-130), Blob({9}), mapped, mappedValue),
              -1);
    EXPECT_EQ(mapped.id, std::numeric_limits<int32_t>::max());
}

} // namespace
