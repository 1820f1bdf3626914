#include "ControlApplicationDouble.h"
#include "ControlFixtures.h"
#include "Notification/NotificationNames.h"

#include "ResultCodes.h"

#include <gtest/gtest.h>

using namespace SV;
using svtest::At;
using svtest::MakeControl;
using svtest::NotificationRecorder;

namespace {

// Counts the layout passes of a control.
class LayoutCounter : public LControl
{
public:
    using LControl::LControl;
    int32_t OnLayoutRequest(const PointT<int32_t>& size) override
    {
        ++layoutRequests;
        return LControl::OnLayoutRequest(size);
    }
    void OnChildRectChanged(LControl* child) override
    {
        ++childChanges;
        LControl::OnChildRectChanged(child);
    }
    int layoutRequests = 0;
    int childChanges = 0;
};

class ControlGeometryTest : public ::testing::Test
{
protected:
    ControlGeometryTest()
    {
        // The parent is a top control without window: its own layout passes change nothing.
        parent = Make(nullptr, u"parent", 0, 0, 200, 100);
        parent->SetRect({0, 0}, {200, 100});
        control = Make(RCPtr<LControl>(parent), u"control", 20, 30, 50, 50);
        child = Make(RCPtr<LControl>(control), u"child", 5, 6, 10, 10);
        // A later sibling placed right of the control.
        later = MakeControl(RCPtr<LControl>(parent), u"later", [](LLayoutDescriptor& l) {
            l.axes[0].position = {kPositionToControl, u"control", 1.0f, 0.0};
        });
        later->UpdateLayout();
        control->layoutRequests = child->layoutRequests = parent->childChanges = 0;
    }

    static RCPtr<LayoutCounter> Make(const RCPtr<LControl>& parent, const char16_t* name, double x,
                                     double y, double w, double h)
    {
        RCPtr<LayoutCounter> c(new LayoutCounter(parent, name));
        RCPtr<LLayoutDescriptor> layout(new LLayoutDescriptor());
        At(x, y, w, h)(*layout);
        c->SetLayout(layout);
        c->UpdateLayout();
        return c;
    }

    void SetWidth(const RCPtr<LControl>& c, double width)
    {
        LayoutPositionSpec position;
        LayoutSpec size;
        c->GetLayout()->GetAxisSpec(0, position, size);
        size.absolute = width;
        c->SetLayoutSpec(0, position, size);
    }

    svtest::ControlApplicationDouble app;
    RCPtr<LayoutCounter> parent;
    RCPtr<LayoutCounter> control;
    RCPtr<LayoutCounter> child;
    RCPtr<LControl> later;
};

TEST_F(ControlGeometryTest, UnchangedRectangleDoesNothing)
{
    EXPECT_EQ(control->SetRect({20, 30}, {50, 50}), S_FALSE);
    EXPECT_EQ(parent->childChanges, 0);
    EXPECT_EQ(child->layoutRequests, 0);
}

TEST_F(ControlGeometryTest, MoveRelaysLaterSiblingsAndTheParentButNotTheChildren)
{
    EXPECT_EQ(control->SetRect({10, 30}, {50, 50}), S_OK);
    EXPECT_EQ(child->layoutRequests, 0);
    EXPECT_EQ(later->GetRect().x, 60);
    EXPECT_EQ(parent->childChanges, 2);
}

TEST_F(ControlGeometryTest, SizeChangeRelaysTheChildrenOnceUnlessBelowTheTolerance)
{
    control->SetRect({20, 30}, {50 + 1e-15, 50});
    EXPECT_EQ(child->layoutRequests, 0);
    EXPECT_EQ(control->GetRect().width, 50 + 1e-15);
    SetWidth(control, 60);
    EXPECT_EQ(child->layoutRequests, 1);
    EXPECT_EQ(later->GetRect().x, 80);
}

TEST_F(ControlGeometryTest, ScrollOffsetIsRoundedAndAnnouncedOnlyWhenItChanges)
{
    RCPtr<NotificationRecorder> recorder(new NotificationRecorder());
    recorder->Listen(RCPtr<LControl>(control), {kNidScrollOffsetChange});
    EXPECT_EQ(control->SetScrollOffset({10.5, -2.5}), (PointT<double>{11, -3}));
    EXPECT_EQ(control->SetScrollOffset({11.2, -3.4}), (PointT<double>{11, -3}));
    EXPECT_EQ(recorder->names.size(), 1u);
}

TEST_F(ControlGeometryTest, ClientAreaLimitsAndBounds)
{
    RectT<double> r;
    control->GetScrollLimits(r, nullptr);
    EXPECT_EQ(r, (RectT<double>{0, 0, 4503599627370496.0, 4503599627370496.0}));

    RCPtr<LControl> plain(new LControl(nullptr, u"plain"));
    plain->SetRect({0, 0}, {100, 80});
    plain->SetScrollOffset({0, 40});
    plain->GetClientRect(r);
    EXPECT_EQ(r, (RectT<double>{0, 40, 100, 80}));
    plain->GetClientArea(r);
    EXPECT_EQ(r, (RectT<double>{0, 0, 100, 80}));

    RectT<int32_t> bounds;
    child->GetLayout()->axes[0].docked = true;
    control->GetChildrenBounds(bounds);
    EXPECT_EQ(bounds, (RectT<int32_t>{2147483647, 2147483647, 1, 1}));
    parent->GetChildrenBounds(bounds);
    EXPECT_EQ(bounds, (RectT<int32_t>{20, 0, 66, 80}));
}

TEST_F(ControlGeometryTest, PositionsInRootAndBetweenControls)
{
    parent->SetScrollOffset({0, 10});
    EXPECT_EQ(child->GetPositionInRoot(), (PointT<double>{25, 26}));
    EXPECT_EQ(child->GetPositionInRootRecursive(), child->GetPositionInRoot());
    PointT<double> point{1, 1};
    later->OffsetToControl(*child, point);
    EXPECT_EQ(point, (PointT<double>{1 + 25 - 70, 1 + 26 + 10}));
}

TEST_F(ControlGeometryTest, PlacementChangesReadBackAndTopControlsNeedAWindow)
{
    LayoutPositionSpec x{0.0f, kPositionToClient, {}, 0.0f, 5.0, false};
    LayoutPositionSpec y{0.0f, kPositionToClient, {}, 0.0f, 7.0, false};
    LayoutSpec w{kSizeToSelf, {}, 0.0f, 30.0};
    LayoutSpec h{kSizeToSelf, {}, 0.0f, 20.0};
    EXPECT_EQ(control->SetPlacement(x, w, y, h), S_OK);
    EXPECT_EQ(control->GetRect(), (RectT<double>{5, 7, 30, 20}));
    EXPECT_EQ(control->SetLayoutSpec(2, x, w), S_FALSE);
    EXPECT_EQ(control->SetSizeLimits(0, {kLimitToSelf, {}, 0.0f, 40.0}, {}), S_OK);
    EXPECT_EQ(control->GetRect().width, 40);

    // A top control that was created and has no window of its own is not laid out.
    RCPtr<LControl> top = MakeControl(nullptr, u"top");
    EXPECT_EQ(top->UpdateLayout(), E_FAIL);
    app.AddRootWindow({0, 0, 300, 200});
    EXPECT_EQ(top->UpdateLayout(), S_OK);
    top->SetCreated();
    EXPECT_EQ(top->UpdateLayout(), E_FAIL);
}

} // namespace
