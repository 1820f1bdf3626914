// The descriptor records and their own operations.
#include "ControlBase/ControlDescriptor.h"
#include "ControlBase/LayoutDescriptor.h"
#include "ControlBase/SkinDescriptor.h"
#include "ControlBase/VisualPartDescriptor.h"

#include <gtest/gtest.h>

namespace {

using SV::LayoutPositionSpec;
using SV::LayoutSpec;
using SV::LControlDescriptor;
using SV::LLayoutDescriptor;
using SV::RCPtr;

TEST(SkinDescriptorsTest, AxisSpecsAreReadAndWrittenPerAxisAndOtherAxesAreRefused)
{
    LLayoutDescriptor layout;
    LayoutPositionSpec position;
    position.kind = SV::kPositionToControl;
    position.reference = u"sibling";
    position.anchor = 0.5f;
    position.relative = 0.25f;
    position.absolute = -3.0;
    position.docked = true;
    const LayoutSpec size{SV::kSizeToControl, u"corner", 1.0f, 17.0};
    ASSERT_EQ(layout.SetAxisSpec(LLayoutDescriptor::kAxisY, position, size), 0);

    LayoutPositionSpec readPosition;
    LayoutSpec readSize;
    ASSERT_EQ(layout.GetAxisSpec(LLayoutDescriptor::kAxisY, readPosition, readSize), 0);
    EXPECT_EQ(readPosition.kind, position.kind);
    EXPECT_TRUE(readPosition.reference.EqualsText(u"sibling"));
    EXPECT_EQ(readPosition.anchor, 0.5f);
    EXPECT_EQ(readPosition.relative, 0.25f);
    EXPECT_EQ(readPosition.absolute, -3.0);
    EXPECT_TRUE(readPosition.docked);
    EXPECT_TRUE(readSize.reference.EqualsText(u"corner"));
    EXPECT_EQ(readSize.absolute, 17.0);

    // X kept its defaults.
    ASSERT_EQ(layout.GetAxisSpec(LLayoutDescriptor::kAxisX, readPosition, readSize), 0);
    EXPECT_EQ(readPosition.kind, SV::kPositionToClient);
    EXPECT_EQ(readSize.kind, SV::kSizeToSelf);
    EXPECT_EQ(readSize.absolute, 16.0);

    for (int32_t axis : {2, -1}) {
        LayoutPositionSpec untouched;
        untouched.absolute = 99.0;
        LayoutSpec untouchedSize;
        EXPECT_EQ(layout.GetAxisSpec(axis, untouched, untouchedSize), E_INVALIDARG);
        EXPECT_EQ(untouched.absolute, 99.0);
        EXPECT_EQ(layout.SetAxisSpec(axis, position, size), E_INVALIDARG);
        EXPECT_EQ(layout.SetAxisLimits(axis, size, size), E_INVALIDARG);
    }

    const LayoutSpec minimum{SV::kLimitToControl, u"Children", 0.0f, 4.0};
    ASSERT_EQ(layout.SetAxisLimits(LLayoutDescriptor::kAxisX, minimum, LayoutSpec{0, {}, 0, 8}), 0);
    LayoutSpec readMinimum;
    LayoutSpec readMaximum;
    ASSERT_EQ(layout.GetAxisLimits(LLayoutDescriptor::kAxisX, readMinimum, readMaximum), 0);
    EXPECT_TRUE(readMinimum.reference.EqualsText(u"Children"));
    EXPECT_EQ(readMaximum.absolute, 8.0);
}

TEST(SkinDescriptorsTest, RenamingAReferenceTouchesNamedPositionsAndSizesOnly)
{
    LLayoutDescriptor layout;
    for (LLayoutDescriptor::Axis& axis : layout.axes) {
        axis.position = LayoutSpec{SV::kPositionToControl, u"old", 0, 0};
        axis.size = LayoutSpec{SV::kSizeToControl, u"old", 0, 0};
        axis.minimum = LayoutSpec{SV::kLimitToControl, u"old", 0, 0};
    }
    layout.axes[1].size.reference = u"other";
    layout.RenameReference(u"old", u"new");
    EXPECT_TRUE(layout.axes[0].position.reference.EqualsText(u"new"));
    EXPECT_TRUE(layout.axes[0].size.reference.EqualsText(u"new"));
    EXPECT_TRUE(layout.axes[1].position.reference.EqualsText(u"new"));
    EXPECT_TRUE(layout.axes[1].size.reference.EqualsText(u"other"));
    EXPECT_TRUE(layout.axes[0].minimum.reference.EqualsText(u"old"));

    // A clone is a record of its own.
    const RCPtr<LLayoutDescriptor> clone = layout.Clone();
    clone->RenameReference(u"new", u"newer");
    clone->visible = false;
    EXPECT_TRUE(layout.axes[0].position.reference.EqualsText(u"new"));
    EXPECT_TRUE(layout.visible);
    EXPECT_TRUE(clone->axes[1].size.reference.EqualsText(u"other"));
}

TEST(SkinDescriptorsTest, AClonedControlHasAChildrenListOfItsOwnOverTheSameChildren)
{
    const RCPtr<LControlDescriptor> parent(new LControlDescriptor(u"Panel", u"panel", nullptr));
    const RCPtr<LControlDescriptor> child(new LControlDescriptor(u"Label", u"a", parent.Get()));
    EXPECT_EQ(parent->AddChild(child), 0);
    parent->SetSkin(RCPtr<SV::LSkinDescriptor>(new SV::LSkinDescriptor(u"skin")));

    const RCPtr<LControlDescriptor> clone = parent->Clone();
    EXPECT_TRUE(clone->GetClass().EqualsText(u"Panel"));
    EXPECT_EQ(clone->GetSkin(), parent->GetSkin());
    EXPECT_EQ(clone->AddChild(
                  RCPtr<LControlDescriptor>(new LControlDescriptor(u"Label", u"b", clone.Get()))),
              1);
    EXPECT_EQ(parent->GetChildren().GetCount(), 1);
    EXPECT_EQ(*clone->GetChildren().At(0), child);
    // Only the top of a skin is an application descriptor, whatever others are called.
    EXPECT_FALSE(LControlDescriptor(u"Application", u"x", parent.Get()).IsApplication());
    EXPECT_TRUE(LControlDescriptor(u"Application", u"x", nullptr).IsApplication());
}

TEST(SkinDescriptorsTest, NewSkinAndPartRecordsHaveTheirDefaults)
{
    const SV::LSkinDescriptor skin(u"s");
    EXPECT_EQ(skin.fontSize, 0.0f);
    EXPECT_EQ(skin.fontStyle, -1);
    EXPECT_TRUE(skin.fontName.IsEmpty());
    EXPECT_FALSE(skin.lookList);

    // An image part is as large as its image rectangle, whatever size it is given.
    const SV::LVisualPartDescriptor image(u"p", SV::PartImageSource{u"::ce.png", 1, 2, 30, 40},
                                          SV::ResizeType::Tile, nullptr, 5, 6, 1.0f, {});
    EXPECT_EQ(image.width, 30);
    EXPECT_EQ(image.height, 40);
    EXPECT_EQ(image.visualPart, nullptr);
}

} // namespace
