// Menu descriptor trees: entries, parent links that do not keep parents alive, states and clones.
#include "ControlBase/MenuDescriptor.h"
#include "ResultCodes.h"

#include <gtest/gtest.h>

using namespace SV;

namespace {

RCPtr<LMenuDescriptor> NewRoot()
{
    return RCPtr<LMenuDescriptor>(new LMenuDescriptor());
}

TEST(MenuDescriptorTest, InsertedEntriesLinkToTheirParentAsInternalReferences)
{
    const RCPtr<LMenuDescriptor> root = NewRoot();
    EXPECT_EQ(root->InsertItem(0, u"Open", u"NID_OPEN", 1, 0), 0);
    EXPECT_EQ(root->InsertSeparator(1), 1);
    EXPECT_EQ(root->InsertItem(0, u"New", u"NID_NEW", 0, 1), 0);
    ASSERT_EQ(root->GetItemCount(), 3);
    EXPECT_TRUE(root->GetItem(0)->GetIdentifier().EqualsText(u"NID_NEW"));
    EXPECT_TRUE(root->GetItem(1)->GetLabel().EqualsText(u"Open"));
    EXPECT_EQ(root->GetItem(2)->IsSeparator(), 1);
    EXPECT_EQ(root->GetItem(2)->IsEnabled(), 1);
    EXPECT_TRUE(root->GetItem(2)->GetLabel().IsEmpty());
    for (int32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(root->GetItem(i)->GetParent().Get(), root.Get());
    }
    EXPECT_EQ(root->GetInternalRefCount(), 3);
    EXPECT_EQ(root->GetRefCount(), 4);

    // Out of range: the entry stays out and keeps no parent.
    const RCPtr<LMenuItemDescriptor> stray = LMenuItemDescriptor::Create(u"x", u"X", 1, 0);
    EXPECT_EQ(root->InsertItem(5, stray), E_INVALIDARG);
    EXPECT_FALSE(stray->GetParent());
    EXPECT_EQ(root->GetItemCount(), 3);
    EXPECT_TRUE(stray->ToString().EqualsText(u"x"));
}

TEST(MenuDescriptorTest, GetItemStateClearsTheRecordAndRefusesIndexesPastTheEnd)
{
    const RCPtr<LMenuDescriptor> root = NewRoot();
    root->InsertItem(0, u"Save", u"NID_SAVE", 0, 1);
    MenuItemState state;
    ASSERT_EQ(root->GetItemState(0, state), 0);
    EXPECT_EQ(state.enabled, 0);
    EXPECT_EQ(state.checked, 1);
    EXPECT_TRUE(state.label.EqualsText(u"Save"));

    state.enabled = 1;
    for (int32_t index : {1, 7, -1}) {
        EXPECT_EQ(root->GetItemState(index, state), E_INVALIDARG);
        EXPECT_EQ(state.enabled, 0);
        EXPECT_EQ(state.checked, 0);
        EXPECT_TRUE(state.label.IsEmpty());
    }
}

TEST(MenuDescriptorTest, ReleasingTheRootFreesTheTreeAndUnlinksEntriesHeldElsewhere)
{
    RCPtr<LMenuDescriptor> root = NewRoot();
    const RCPtr<LMenuItemDescriptor> sub = LMenuItemDescriptor::Create(u"Sub", u"", 1, 0);
    root->InsertItem(0, sub);
    sub->InsertItem(0, u"Leaf", u"NID_LEAF", 1, 0);
    const RCPtr<LMenuItemDescriptor> leaf = sub->GetItem(0);

    root = nullptr;
    // The sub-menu outlived its parent, which its link did not keep alive.
    EXPECT_FALSE(sub->GetParent());
    EXPECT_EQ(sub->GetRefCount(), 1 + 1); // ours and the leaf's link
    EXPECT_EQ(leaf->GetParent().Get(), sub.Get());
    EXPECT_EQ(sub->GetItemCount(), 1);

    EXPECT_EQ(sub->Clear(), 0);
    EXPECT_EQ(sub->GetItemCount(), 0);
    EXPECT_FALSE(leaf->GetParent());
    EXPECT_EQ(sub->GetInternalRefCount(), 0);
}

TEST(MenuDescriptorTest, ClonesAreDeepAndIndependentOfTheOriginal)
{
    const RCPtr<LMenuDescriptor> root = NewRoot();
    const RCPtr<LMenuItemDescriptor> sub = LMenuItemDescriptor::Create(u"Sub", u"", 1, 0);
    sub->SetHelpText(u"help");
    sub->SetShortcutText(u"Ctrl+S");
    root->InsertItem(0, sub);
    sub->InsertItem(0, u"Leaf", u"NID_LEAF", 0, 1);
    root->InsertSeparator(1);

    const RCPtr<LMenuDescriptor> copy = root->Clone();
    EXPECT_FALSE(copy->GetParent());
    ASSERT_EQ(copy->GetItemCount(), 2);
    const RCPtr<LMenuItemDescriptor> subCopy = copy->GetItem(0);
    EXPECT_NE(subCopy.Get(), sub.Get());
    EXPECT_EQ(subCopy->GetParent().Get(), copy.Get());
    EXPECT_TRUE(subCopy->GetHelpText().EqualsText(u"help"));
    EXPECT_TRUE(subCopy->GetShortcutText().EqualsText(u"Ctrl+S"));
    ASSERT_EQ(subCopy->GetItemCount(), 1);
    const RCPtr<LMenuItemDescriptor> leafCopy = subCopy->GetItem(0);
    EXPECT_EQ(leafCopy->GetParent().Get(), subCopy.Get());
    EXPECT_TRUE(leafCopy->GetIdentifier().EqualsText(u"NID_LEAF"));
    EXPECT_EQ(leafCopy->IsEnabled(), 0);
    EXPECT_EQ(leafCopy->IsChecked(), 1);
    EXPECT_EQ(copy->GetItem(1)->IsSeparator(), 1);

    leafCopy->SetLabel(u"Changed");
    leafCopy->SetEnabled(1);
    EXPECT_TRUE(sub->GetItem(0)->GetLabel().EqualsText(u"Leaf"));
    EXPECT_EQ(sub->GetItem(0)->IsEnabled(), 0);

    // An entry's own clone is an entry without a parent.
    const RCPtr<LMenuItemDescriptor> entryCopy = sub->Clone();
    EXPECT_FALSE(entryCopy->GetParent());
    EXPECT_TRUE(entryCopy->GetLabel().EqualsText(u"Sub"));
    EXPECT_EQ(entryCopy->GetItemCount(), 1);
}

} // namespace
