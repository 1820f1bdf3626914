#include "ParameterizedModule.h"

#include "ModuleDoubles.h"
#include "ObjectBase/Exception.h"
#include "ResultCodes.h"
#include "VariantBytes.h"
#include "ExceptionText.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using svtest::ExceptionTextOf;

using svtest::Blob;
using svtest::BytesOf;

SV::RCPtr<LParameterizedModule> MakeModule(bool routeToParent)
{
    return SV::RCPtr<LParameterizedModule>(new LParameterizedModule(routeToParent));
}

// Keeps the arguments of the relays that reach it.
class RelayRecorder : public LParameterizedModule
{
public:
    RelayRecorder() : LParameterizedModule(false) {}
    void ReservedRelayB(int32_t first, int32_t second, int32_t third, int32_t fourth) override
    {
        relayed.push_back({first, second, third, fourth});
    }
    std::vector<std::array<int32_t, 4>> relayed;
};

TEST(ParameterizedModuleTest, AnUnattachedModuleOwnsEveryIdAndHasNowhereToRouteTo)
{
    const SV::RCPtr<LParameterizedModule> module = MakeModule(true);
    const SV::ParamDescriptor descriptor(0);

    for (const int32_t id : {0, 5, -1, std::numeric_limits<int32_t>::min()}) {
        EXPECT_EQ(module->GetModuleForParamID(id), module) << id;
        EXPECT_EQ(module->GetModuleForParamIDConst(id), module) << id;
        EXPECT_EQ(module->ReservedQuery(id), 1) << id;
    }
    EXPECT_EQ(module->SetParamValueLocal(descriptor, Blob({1}), false), -1);
    EXPECT_EQ(module->GetParamValueLocal(descriptor).GetType(), SV::Variant::kEmpty);
    EXPECT_EQ(module->SetParamValueToParent(descriptor, Blob({1})), -1);
    EXPECT_EQ(module->GetParamValueFromParent(descriptor).GetType(), SV::Variant::kEmpty);
    EXPECT_EQ(module->SetCachedParamValue(descriptor, Blob({1})), E_FAIL);
    EXPECT_EQ(module->GetCachedParamValue(descriptor).GetType(), SV::Variant::kEmpty);
    EXPECT_EQ(module->GetParamValueDefault(0).GetType(), SV::Variant::kEmpty);
    module->ReservedRelayA(1, 2, 3, 4);
    module->ReservedRelayB(1, 2, 3, 4);
    EXPECT_FALSE(module->GetParent());
    EXPECT_EQ(module->GetRoot(), module);
    EXPECT_EQ(module->GetFirstParamID(), 0);
}

TEST(ParameterizedModuleTest, AModuleWithoutRoutingHasNoLocalValue)
{
    const SV::RCPtr<LParameterizedModule> module = MakeModule(false);
    const SV::ParamDescriptor descriptor(0);

    EXPECT_FALSE(module->IsRoutedToParent());
    EXPECT_EQ(ExceptionTextOf([&] { module->SetParamValueLocal(descriptor, Blob({1}), false); }),
              "Logic Error : LParameterizedModule::SetParamValueLocal : "
              "DeviceControl\\GeneratedCode\\Engine\\Inc\\RootModuleInterface : Line 102");
    EXPECT_EQ(ExceptionTextOf([&] { module->GetParamValueLocal(descriptor); }),
              "Logic Error : LParameterizedModule::GetParamValueLocal : "
              "DeviceControl\\GeneratedCode\\Engine\\Inc\\RootModuleInterface : Line 116");
}

TEST(ParameterizedModuleTest, AttachingStoresParentAndFirstIdWithoutHoldingTheParent)
{
    const SV::RCPtr<LParameterizedModule> parent = MakeModule(false);
    const SV::RCPtr<LParameterizedModule> child = MakeModule(true);
    const SV::RCPtr<LParameterizedModule> grandchild = MakeModule(true);
    const int32_t parentCount = parent->GetRefCount();

    child->SetFirstParamID(parent.Get(), 7, 0);
    grandchild->SetFirstParamID(child.Get(), 9, 0);

    EXPECT_EQ(child->GetFirstParamID(), 7);
    EXPECT_EQ(child->GetParent(), parent);
    EXPECT_EQ(parent->GetRefCount(), parentCount);
    EXPECT_EQ(grandchild->GetRoot(), parent);
    EXPECT_EQ(parent->GetRefCount(), parentCount);

    child->SetFirstParamID(nullptr, 7, 0);
    EXPECT_FALSE(child->GetParent());
    EXPECT_EQ(grandchild->GetRoot(), child);
}

TEST(ParameterizedModuleTest, ReadsAndWritesRouteThroughEveryLevelToTheRoot)
{
    const SV::RCPtr<svtest::FakeRootModule> root(new svtest::FakeRootModule());
    const SV::RCPtr<LParameterizedModule> middle = MakeModule(false);
    const SV::RCPtr<LParameterizedModule> leaf = MakeModule(true);
    middle->SetFirstParamID(root.Get(), 0, 0);
    leaf->SetFirstParamID(middle.Get(), 2, 0);
    root->storeResult = 7;

    // The base passes the sub-part and the value on unchanged and answers what the root does.
    const SV::ParamDescriptor part(2, Blob({9}));
    EXPECT_EQ(leaf->SetParamValueLocal(part, Blob({1, 2}), true), 7);
    ASSERT_EQ(root->stores.size(), 1u);
    EXPECT_EQ(root->stores[0].descriptor.id, 2);
    EXPECT_TRUE(root->stores[0].descriptor.subPart.IsEqual(Blob({9})));
    EXPECT_EQ(BytesOf(leaf->GetParamValueLocal(SV::ParamDescriptor(2))), svtest::Bytes({1, 2}));

    EXPECT_EQ(leaf->SetCachedParamValue(SV::ParamDescriptor(3), Blob({4})), 7);
    EXPECT_EQ(BytesOf(leaf->GetCachedParamValue(SV::ParamDescriptor(3))), svtest::Bytes({4}));
    EXPECT_EQ(root->stores.size(), 2u);
}

TEST(ParameterizedModuleTest, BothRelaysReachTheParentsSecondRelay)
{
    const SV::RCPtr<RelayRecorder> parent(new RelayRecorder());
    const SV::RCPtr<LParameterizedModule> child = MakeModule(true);
    child->SetFirstParamID(parent.Get(), 0, 0);

    child->ReservedRelayA(1, 2, 3, 4);
    child->ReservedRelayB(5, 6, 7, 8);

    const std::vector<std::array<int32_t, 4>> expected{{1, 2, 3, 4}, {5, 6, 7, 8}};
    EXPECT_EQ(parent->relayed, expected);
}

} // namespace
