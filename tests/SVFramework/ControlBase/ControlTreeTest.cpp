#include "ControlApplicationDouble.h"
#include "ControlFixtures.h"
#include "ExceptionText.h"

#include "ControlBase/KeyParam.h"

#include "ResultCodes.h"

#include <gtest/gtest.h>

#include <string>

using namespace SV;
using svtest::MakeControl;

namespace {

std::string Names(const LControl& parent, int32_t order)
{
    std::string names;
    for (int32_t i = 0; i < parent.GetChildren().GetCount(); ++i) {
        names += NarrowString(parent.GetChildren().GetAt(i, order)->GetName()).GetText();
        names += ' ';
    }
    return names;
}

// Counts the destructions of the controls made through it.
class CountedControl : public LControl
{
public:
    CountedControl(const RCPtr<LControl>& parent, const char16_t* name, int& destroyed)
        : LControl(parent, name), mDestroyed(destroyed)
    {}
    ~CountedControl() override { ++mDestroyed; }

private:
    int& mDestroyed;
};

TEST(ControlTreeTest, SecondChildOfTheSameNameIsLeftWithoutParent)
{
    RCPtr<LControl> parent = MakeControl(nullptr, u"panel");
    RCPtr<LControl> first = MakeControl(parent, u"button");
    RCPtr<LControl> second = MakeControl(parent, u"button");
    EXPECT_EQ(parent->GetChildren().GetCount(), 1);
    EXPECT_EQ(first->GetParent(), parent);
    EXPECT_FALSE(second->GetParent());
    EXPECT_EQ(parent->GetChildren().Add(second), E_FAIL);
    EXPECT_EQ(parent->GetChildren().Add(nullptr), E_INVALIDARG);
}

TEST(ControlTreeTest, TabAndDrawOrdersAreStableAndFollowChanges)
{
    RCPtr<LControl> parent = MakeControl(nullptr, u"panel");
    MakeControl(parent, u"a", [](LLayoutDescriptor& l) { l.tabStop = 3; });
    MakeControl(parent, u"b", [](LLayoutDescriptor& l) { l.tabStop = 1; });
    RCPtr<LControl> c = MakeControl(parent, u"c", [](LLayoutDescriptor& l) { l.tabStop = 1; });
    EXPECT_EQ(Names(*parent, LControl::kTabOrder), "b c a ");

    RCPtr<LControl> parent2 = MakeControl(nullptr, u"panel2");
    MakeControl(parent2, u"unclipped", [](LLayoutDescriptor& l) { l.clipToParent = false; });
    MakeControl(parent2, u"docked", [](LLayoutDescriptor& l) {
        l.axes[0].docked = l.axes[1].docked = true;
        l.zOrder = -5;
    });
    MakeControl(parent2, u"top", [](LLayoutDescriptor& l) { l.zOrder = 9999; });
    MakeControl(parent2, u"plain");
    EXPECT_EQ(Names(*parent2, LControl::kDrawOrder), "plain top docked unclipped ");
    EXPECT_EQ(Names(*parent2, LControl::kStoredOrder), "unclipped docked top plain ");

    // Made not focusable, a control goes to the front of the tab order.
    c->SetFocusable(true);
    EXPECT_EQ(c->GetLayout()->tabStop, -1);
    EXPECT_EQ(Names(*parent, LControl::kTabOrder), "c b a ");
}

TEST(ControlTreeTest, GetAtRefusesBadIndexesAndOrders)
{
    RCPtr<LControl> parent = MakeControl(nullptr, u"panel");
    MakeControl(parent, u"only");
    const LControl& constParent = *parent;
    EXPECT_EQ(svtest::ExceptionTextOf<Exception<std::runtime_error>>(
                  [&] { (void)parent->GetChildren().GetAt(1, 0); }),
              "Runtime Error : SV::LControl::ChildControlList::GetAt : "
              "ControlBase\\Control : Line 3276");
    EXPECT_EQ(svtest::ExceptionTextOf<Exception<std::runtime_error>>(
                  [&] { (void)parent->GetChildren().GetAt(-1, 0); }),
              "Runtime Error : SV::LControl::ChildControlList::GetAt : "
              "ControlBase\\Control : Line 3276");
    EXPECT_EQ(svtest::ExceptionTextOf<Exception<std::runtime_error>>(
                  [&] { (void)parent->GetChildren().GetAt(0, 3); }),
              "Runtime Error : SV::LControl::ChildControlList::GetAt : "
              "ControlBase\\Control : Line 3296");
    EXPECT_EQ(svtest::ExceptionTextOf<Exception<std::runtime_error>>(
                  [&] { (void)constParent.GetChildren().GetAt(1, 1); }),
              "Runtime Error : SV::LControl::ChildControlList::GetAt : "
              "ControlBase\\Control : Line 3304");
    EXPECT_EQ(svtest::ExceptionTextOf<Exception<std::runtime_error>>(
                  [&] { (void)constParent.GetChildren().GetAt(0, -1); }),
              "Runtime Error : SV::LControl::ChildControlList::GetAt : "
              "ControlBase\\Control : Line 3324");
}

TEST(ControlTreeTest, UnclippedCountsFollowClippingAndRemoval)
{
    RCPtr<LControl> root = MakeControl(nullptr, u"root");
    RCPtr<LControl> parent = MakeControl(root, u"parent");
    RCPtr<LControl> child = MakeControl(parent, u"child");
    RCPtr<LControl> grandchild = MakeControl(child, u"grandchild");
    grandchild->SetClipToParent(false);
    EXPECT_EQ(child->GetUnclippedCount(), 1);
    EXPECT_EQ(parent->GetUnclippedCount(), 1);
    EXPECT_EQ(root->GetUnclippedCount(), 1);

    child->SetClipToParent(false);
    EXPECT_EQ(root->GetUnclippedCount(), 2);
    // Removing the child takes its own count and itself from the former ancestors.
    EXPECT_EQ(parent->GetChildren().Remove(child), 0);
    EXPECT_EQ(parent->GetUnclippedCount(), 0);
    EXPECT_EQ(root->GetUnclippedCount(), 0);
    EXPECT_EQ(child->GetUnclippedCount(), 1);
    EXPECT_EQ(parent->GetChildren().Remove(child), -1);

    // Added again, the subtree's count comes back with it.
    EXPECT_EQ(child->SetParent(parent), 0);
    EXPECT_EQ(root->GetUnclippedCount(), 2);
    EXPECT_EQ(child->SetParent(parent), 1);
}

TEST(ControlTreeTest, FindRenameAndReferencesOfLaterSiblings)
{
    RCPtr<LControl> parent = MakeControl(nullptr, u"panel");
    RCPtr<LControl> image = MakeControl(parent, u"image");
    MakeControl(image, u"grandchild");
    RCPtr<LControl> panel = MakeControl(parent, u"panel", [](LLayoutDescriptor& l) {
        l.axes[0].position = {kPositionToControl, u"image", 0.0f, 0.0};
        l.axes[0].minimum = {kLimitToControl, u"image", 0.0f, 0.0};
    });
    EXPECT_EQ(parent->FindChildControl(u"image"), image);
    EXPECT_FALSE(parent->FindChildControl(u"grandchild"));
    EXPECT_FALSE(parent->FindChildControl(u"Image"));

    EXPECT_EQ(parent->RenameChild(image, u"image"), 1);
    EXPECT_EQ(parent->RenameChild(image, u"panel"), E_FAIL);
    RCPtr<LControl> stranger = MakeControl(nullptr, u"stranger");
    EXPECT_EQ(parent->RenameChild(stranger, u"other"), E_INVALIDARG);
    EXPECT_EQ(parent->RenameChild(image, u"picture"), 0);
    EXPECT_EQ(parent->FindChildControl(u"picture"), image);
    EXPECT_TRUE(panel->GetLayout()->axes[0].position.reference.EqualsText(u"picture"));
    EXPECT_TRUE(panel->GetLayout()->axes[0].minimum.reference.EqualsText(u"image"));
}

TEST(ControlTreeTest, RootWindowIsReachedFromEveryControlAndRefusedWithAParent)
{
    svtest::ControlApplicationDouble app;
    RCPtr<LRootWindow> window = app.AddRootWindow({0, 0, 640, 480});
    RCPtr<LControl> root = MakeControl(nullptr, u"root");
    RCPtr<LControl> child = MakeControl(root, u"child");
    root->SetLabelText(u"Title", false);
    EXPECT_EQ(child->SetRootWindow(window), E_FAIL);
    EXPECT_EQ(root->SetRootWindow(window), 0);
    EXPECT_EQ(child->GetRootWindowRef(), window);
    EXPECT_EQ(child->GetRootControl(), root);
    EXPECT_TRUE(window->GetTitle().EqualsText(u"Title"));
    EXPECT_EQ(root->Detach(), 0);
    EXPECT_FALSE(child->GetRootWindowRef());
}

TEST(ControlTreeTest, LastOutsideReferenceDestroysTheWholeTree)
{
    int destroyed = 0;
    {
        RCPtr<LControl> root(new CountedControl(nullptr, u"root", destroyed));
        RCPtr<LControl> child(new CountedControl(root, u"child", destroyed));
        new CountedControl(child, u"grandchild", destroyed);
        // Refused for its name: nobody holds it, and it goes with the creator's pointer.
        RCPtr<LControl> duplicate(new CountedControl(root, u"child", destroyed));
        EXPECT_FALSE(duplicate->GetParent());
    }
    EXPECT_EQ(destroyed, 4);
}

TEST(ControlTreeTest, DetachedChildSurvivesWhileHeldAndLeavesItsParent)
{
    int destroyed = 0;
    RCPtr<LControl> root(new CountedControl(nullptr, u"root", destroyed));
    RCPtr<LControl> child(new CountedControl(root, u"child", destroyed));
    child->SetLayout(RCPtr<LLayoutDescriptor>(new LLayoutDescriptor()));
    EXPECT_EQ(child->Detach(), 0);
    EXPECT_EQ(root->GetChildren().GetCount(), 0);
    EXPECT_FALSE(child->GetLayout()->visible);
    root = nullptr;
    EXPECT_EQ(destroyed, 1);
    child = nullptr;
    EXPECT_EQ(destroyed, 2);
}

} // namespace

namespace {

TEST(SortByTabOrderTest, NonFocusableFirstThenFocusableChildrenAfterTheLastPassed)
{
    RCPtr<LControl> parent = MakeControl(nullptr, u"panel");
    RCPtr<LControl> a = MakeControl(parent, u"a", [](LLayoutDescriptor& l) { l.tabStop = -1; });
    RCPtr<LControl> b = MakeControl(parent, u"b", [](LLayoutDescriptor& l) { l.tabStop = 0; });
    RCPtr<LControl> c = MakeControl(parent, u"c", [](LLayoutDescriptor& l) { l.tabStop = 1; });
    RCPtr<LControl> d = MakeControl(parent, u"d", [](LLayoutDescriptor& l) { l.tabStop = 2; });
    for (const RCPtr<LControl>& control : {b, c, d}) {
        control->SetFocusable(false);
    }
    RCPtr<LControl> stranger = MakeControl(nullptr, u"stranger");

    const auto order = [&](const RCPtr<LControl>& lastPassed,
                           std::initializer_list<LControl*> receivers) {
        RCPtr<LKeyParam> key = CreateKeyParam(KeyCode(), 1);
        if (lastPassed) {
            key->mPassed.Add(lastPassed);
        }
        Array<LNotificationReceiver*> list;
        for (LControl* r : receivers) {
            list.Add(r);
        }
        Array<int32_t> out;
        parent->SortByTabOrder(*key, list, out);
        std::string names;
        for (int32_t i = 0; i < out.GetCount(); ++i) {
            const auto* control = dynamic_cast<const LControl*>(*list.At(*out.At(i)));
            names += NarrowString(control->GetName()).GetText();
        }
        return names;
    };
    EXPECT_EQ(order(c, {a.Get(), b.Get(), d.Get()}), "adb");
    EXPECT_EQ(order(nullptr, {d.Get(), c.Get(), b.Get(), a.Get()}), "abcd");
    EXPECT_EQ(order(d, {d.Get(), c.Get(), b.Get(), stranger.Get()}), "strangerbcd");
}

} // namespace
