#include "ControlApplicationDouble.h"
#include "ControlFixtures.h"

#include "ControlBase/VisualPartDescriptor.h"

#include "ResultCodes.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace SV;
using svtest::At;
using svtest::MakeControl;

namespace {

TEST(RoundHalfTest, RoundsHalfAwayFromZeroAndCountsMinusZeroAsNegative)
{
    const struct
    {
        double in;
        double out;
    } cases[] = {{1.5, 2.0},  {-1.5, -2.0}, {-0.4, 0.0},          {2.5, 3.0},    {-2.5, -3.0},
                 {0.49, 0.0}, {-0.0, 0.0},  {204.0000021, 204.0}, {1e300, 1e300}};
    for (const auto& c : cases) {
        EXPECT_EQ(RoundHalf(c.in), c.out) << c.in;
    }
    EXPECT_TRUE(std::isnan(RoundHalf(NAN)));
}

TEST(RoundEdgesTest, MovesBothEdgesAwayFromZero)
{
    const struct
    {
        RectT<double> in;
        RectT<double> out;
    } cases[] = {
        {{87.5, 0, 25, 10}, {88, 0, 25, 10}},
        {{-12.5, 0, 25, 10}, {-13, 0, 26, 10}},
        {{0.4, -0.6, 9.2, 1.2}, {0, -1, 10, 2}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RoundEdges(c.in), c.out);
    }
}

class LayoutEngineTest : public ::testing::Test
{
protected:
    RectT<double> Compute(const RCPtr<LControl>& control)
    {
        RectT<double> rect;
        EXPECT_EQ(ComputeLayoutRect(*control, control->GetParent().Get(), {}, {}, {}, rect), S_OK);
        return rect;
    }

    svtest::ControlApplicationDouble app;
};

TEST_F(LayoutEngineTest, EditPanelIsPlacedRelativeToTheProductImage)
{
    RCPtr<LControl> deviceView = MakeControl(nullptr, u"deviceView", At(0, 0, 1200, 720));
    deviceView->SetRect({0, 0}, {1200, 720});
    RCPtr<LControl> image = MakeControl(deviceView, u"productImage", At(0, 0, 1200, 720));
    image->UpdateLayout();
    RCPtr<LControl> panel = MakeControl(deviceView, u"arpeggiator", [](LLayoutDescriptor& l) {
        l.axes[0].position = {kPositionToControl, u"productImage", 0.17f, 0.0};
        l.axes[1].position = {kPositionToControl, u"productImage", 0.37f, 0.0};
        l.axes[1].anchor = 1.0f;
        l.axes[0].size.absolute = 545;
        l.axes[1].size.absolute = 101;
    });
    EXPECT_EQ(panel->UpdateLayout(), S_OK);
    EXPECT_EQ(panel->GetRect(), (RectT<double>{204, 165, 545, 101}));
}

TEST_F(LayoutEngineTest, ListBoxCornerAndScrollBarReachToEachOther)
{
    RCPtr<LControl> listBox = MakeControl(nullptr, u"listBox");
    listBox->SetRect({0, 0}, {100, 80});
    RCPtr<LControl> corner = MakeControl(listBox, u"corner", [](LLayoutDescriptor& l) {
        l.axes[0].position.relative = l.axes[1].position.relative = 1.0f;
        l.axes[0].anchor = l.axes[1].anchor = 1.0f;
        l.axes[0].size.absolute = l.axes[1].size.absolute = 17;
        l.axes[0].docked = l.axes[1].docked = true;
    });
    RCPtr<LControl> hBar = MakeControl(listBox, u"hBar", [](LLayoutDescriptor& l) {
        l.axes[1].position.relative = 1.0f;
        l.axes[1].anchor = 1.0f;
        l.axes[0].size = {kSizeToControl, u"corner", 0.0f, 0.0};
        l.axes[1].size = {kSizeToControl, u"corner", 0.0f, 0.0};
        l.axes[0].docked = l.axes[1].docked = true;
        l.axes[0].minimum.absolute = 40;
    });
    corner->UpdateLayout();
    hBar->UpdateLayout();
    EXPECT_EQ(corner->GetRect(), (RectT<double>{83, 63, 17, 17}));
    EXPECT_EQ(hBar->GetRect(), (RectT<double>{0, 63, 83, 17}));
}

TEST_F(LayoutEngineTest, TopControlOnTheScreenSitsAtTheScreenOriginInClientCoordinates)
{
    RCPtr<LRootWindow> window = app.AddRootWindow({8, 31, 1200, 720});
    RCPtr<LControl> main = MakeControl(nullptr, u"mainControl", [](LLayoutDescriptor& l) {
        for (int axis = 0; axis < 2; ++axis) {
            l.axes[axis].position = {kPositionToParent, {}, 0.0f, 0.0};
        }
        l.axes[0].size.absolute = l.axes[0].minimum.absolute = l.axes[0].maximum.absolute = 1200;
        l.axes[1].size.absolute = l.axes[1].minimum.absolute = l.axes[1].maximum.absolute = 720;
    });
    EXPECT_EQ(main->UpdateLayout(), S_OK);
    EXPECT_EQ(main->GetRect(), (RectT<double>{-8, -31, 1200, 720}));

    // Bound to its window, a size change moves the window's client area, not its origin.
    main->SetRootWindow(window);
    main->SetRect({-8, -31}, {1000, 600});
    EXPECT_EQ(window->GetScreenClientRect(), (RectT<int32_t>{8, 31, 1000, 600}));
}

TEST_F(LayoutEngineTest, DialogIsCentredInTheActiveWindow)
{
    RCPtr<LControl> dialog = MakeControl(nullptr, u"dialogAbout", [](LLayoutDescriptor& l) {
        for (int axis = 0; axis < 2; ++axis) {
            l.axes[axis].position = {kPositionToClient, {}, 0.5f, 0.0};
            l.axes[axis].anchor = 0.5f;
        }
        l.axes[0].size.absolute = 500;
        l.axes[1].size.absolute = 200;
    });
    RectT<double> rect;
    ASSERT_EQ(ComputeLayoutRect(*dialog, nullptr, {}, {1200, 720}, {}, rect), S_OK);
    EXPECT_EQ(rect, (RectT<double>{350, 260, 500, 200}));
}

TEST_F(LayoutEngineTest, EdgeCasesOfPositionAndSize)
{
    RCPtr<LControl> parent = MakeControl(nullptr, u"parent");
    parent->SetRect({0, 0}, {200, 100});
    parent->SetScrollOffset({0, 40});
    MakeControl(parent, u"bar", [](LLayoutDescriptor& l) {
        l.axes[1].position.absolute = 60;
        l.axes[1].docked = true;
    })->UpdateLayout();

    const struct
    {
        const char* what;
        std::function<void(LLayoutDescriptor&)> setup;
        RectT<double> expected;
    } cases[] = {
        {"far edge left of the position with anchor 0",
         [](LLayoutDescriptor& l) {
             l.axes[0].position.absolute = 50;
             l.axes[0].size = {kSizeToClient, {}, 0.0f, 20.0};
         },
         {50, 0, 0, 40}},
        {"far edge right of the position with anchor 1",
         [](LLayoutDescriptor& l) {
             l.axes[0].position.absolute = 10;
             l.axes[0].anchor = 1.0f;
             l.axes[0].size = {kSizeToClient, {}, 1.0f, 0.0};
         },
         {10, 0, 0, 40}},
        {"far edge with anchor 0.5 doubles the distance",
         [](LLayoutDescriptor& l) {
             l.axes[0].position.relative = 0.5f;
             l.axes[0].anchor = 0.5f;
             l.axes[0].size = {kSizeToClient, {}, 0.75f, 0.0};
         },
         {50, 0, 100, 40}},
        {"negative Self size",
         [](LLayoutDescriptor& l) { l.axes[0].size.absolute = -5; },
         {0, 0, 0, 40}},
        {"not-a-number Self size",
         [](LLayoutDescriptor& l) { l.axes[0].size.absolute = NAN; },
         {0, 0, 0, 40}},
        {"docked on Y in a parent scrolled by 40",
         [](LLayoutDescriptor& l) {
             l.axes[0].position.absolute = 5;
             l.axes[1].position.absolute = 5;
             l.axes[1].docked = true;
         },
         {5, 45, 16, 40}},
        {"reference to a sibling docked on Y",
         [](LLayoutDescriptor& l) {
             l.axes[1].position = {kPositionToControl, u"bar", 0.0f, 0.0};
         },
         {0, 60, 16, 40}},
        {"reference to a missing sibling",
         [](LLayoutDescriptor& l) {
             l.axes[0].position = {kPositionToControl, u"nobody", 0.5f, 7.0};
         },
         {7, 0, 16, 40}},
        {"whole parent with the parent's width",
         [](LLayoutDescriptor& l) {
             l.axes[0].size = {kSizeToParent, {}, 1.0f, -20.0};
         },
         {0, 0, 180, 40}},
    };
    for (const auto& c : cases) {
        RCPtr<LControl> control = MakeControl(parent, u"control", c.setup);
        EXPECT_EQ(Compute(control), c.expected) << c.what;
        control->Detach();
    }
}

TEST_F(LayoutEngineTest, MinimumAndMaximumKeepTheAnchorPoint)
{
    const struct
    {
        const char* what;
        std::function<void(LLayoutDescriptor&)> setup;
        double width;
        double x;
        int32_t minResult;
        int32_t maxResult;
    } cases[] = {
        {"maximum 100 with anchor 0.5",
         [](LLayoutDescriptor& l) {
             l.axes[0].maximum.absolute = 100;
             l.axes[0].anchor = 0.5f;
         },
         100, 10, 0, 1},
        {"maximum 0 means none", [](LLayoutDescriptor& l) { l.axes[0].maximum.absolute = 0; }, 120,
         0, 0, 0},
        {"minimum 200 with anchor 1",
         [](LLayoutDescriptor& l) {
             l.axes[0].minimum.absolute = 200;
             l.axes[0].anchor = 1.0f;
         },
         200, -80, 1, 0},
        {"maximum wins over minimum",
         [](LLayoutDescriptor& l) {
             l.axes[0].minimum.absolute = 300;
             l.axes[0].maximum.absolute = 150;
         },
         150, 0, 1, 1},
    };
    for (const auto& c : cases) {
        RCPtr<LControl> control = MakeControl(nullptr, u"control", c.setup);
        PointT<double> position{0, 0};
        PointT<double> size{120, 10};
        EXPECT_EQ(control->ApplyMinSize(position, size), c.minResult) << c.what;
        EXPECT_EQ(control->ApplyMaxSize(position, size), c.maxResult) << c.what;
        EXPECT_EQ(size.x, c.width) << c.what;
        EXPECT_EQ(position.x, c.x) << c.what;
    }
}

TEST_F(LayoutEngineTest, MinimumFromTheChildrenGrowsToCoverThem)
{
    RCPtr<LControl> panel = MakeControl(nullptr, u"panel", [](LLayoutDescriptor& l) {
        l.axes[0].minimum = {kLimitToControl, u"Children", 0.0f, 0.0};
    });
    MakeControl(panel, u"a", At(0, 0, 50, 10));
    MakeControl(panel, u"b", At(100, 0, 30, 10));
    panel->SetRect({0, 0}, {20, 20});
    PointT<double> position{0, 0};
    PointT<double> size{20, 20};
    // With no factor the reference edge is the children's near edge, which the panel covers.
    EXPECT_EQ(panel->ApplyMinSize(position, size), 0);
    panel->GetLayout()->axes[0].minimum.relative = 1.0f;
    EXPECT_EQ(panel->ApplyMinSize(position, size), 1);
    EXPECT_EQ(size.x, 130);

    // A growth that the anchor cannot make is refused and changes nothing.
    panel->GetLayout()->axes[0].minimum.reference = u"b";
    panel->GetLayout()->axes[0].anchor = 1.0f;
    size = {20, 20};
    EXPECT_EQ(panel->ApplyMinSize(position, size), E_FAIL);
    EXPECT_EQ(size.x, 20);
}

class ExpandingLabelTest : public LayoutEngineTest
{
protected:
    RCPtr<LControl> MakeLabel(const std::function<void(LLayoutDescriptor&)>& setup)
    {
        RCPtr<LControl> parent = MakeControl(nullptr, u"panel");
        parent->SetRect({0, 0}, {400, 300});
        RCPtr<LControl> label = MakeControl(parent, u"label", setup);
        RCPtr<LLookDescriptor> look(new LLookDescriptor(u"label"));
        TextPlacement text;
        text.rightRel = text.bottomRel = 1.0f;
        look->SetTextProperties(text, nullptr);
        label->AddLook(LLook::Create(look, false));
        label->ShowLook(0);
        label->SetFont(u"", 0.0f, -1, false);
        label->SetLabelText(u"Open Program", false);
        mParents.push_back(parent);
        return label;
    }

    std::vector<RCPtr<LControl>> mParents;
};

TEST_F(ExpandingLabelTest, GrowsToItsTextAndWrapsAtItsMaximum)
{
    RCPtr<LControl> label = MakeLabel([](LLayoutDescriptor& l) {
        l.textOverflowX = kTextOverflowExpand;
        l.axes[1].size.absolute = 10;
    });
    label->UpdateLayout();
    EXPECT_EQ(label->GetRect(), (RectT<double>{0, 0, 120, 10}));

    RCPtr<LControl> capped = MakeLabel([](LLayoutDescriptor& l) {
        l.textOverflowX = kTextOverflowExpand;
        l.textOverflowY = kTextOverflowExpand;
        l.axes[0].maximum.absolute = 50;
        l.axes[1].size.absolute = 10;
    });
    capped->UpdateLayout();
    // "Open" and "Program" on two lines of 12 pixels.
    EXPECT_EQ(capped->GetRect(), (RectT<double>{0, 0, 50, 24}));
    EXPECT_TRUE(capped->GetLook(0)->GetTextObject()->GetWordWrap());
}

TEST_F(ExpandingLabelTest, PreferredSizeIsTheTextWidth)
{
    RCPtr<LControl> label = MakeLabel([](LLayoutDescriptor& l) {
        l.textOverflowX = kTextOverflowExpand;
        l.axes[0].size.absolute = 300;
        l.axes[1].size.absolute = 10;
    });
    label->UpdateLayout();
    double width = 0;
    double height = 0;
    label->GetPreferredSize(width, height);
    EXPECT_EQ(width, 120);
    EXPECT_EQ(height, 0);
    // The temporary layouts are undone.
    EXPECT_EQ(label->GetRect(), (RectT<double>{0, 0, 300, 10}));
}

TEST_F(ExpandingLabelTest, FontThatMeasuresNothingAndNegativeSizesStillTerminate)
{
    app.mMeasurer->SetAdvance(0.0f);
    RCPtr<LControl> label = MakeLabel([](LLayoutDescriptor& l) {
        l.textOverflowX = kTextOverflowExpand;
        l.textOverflowY = kTextOverflowExpand;
        l.axes[0].maximum.absolute = 1;
        l.axes[0].size.absolute = -30;
        l.axes[1].size.absolute = -30;
    });
    EXPECT_GE(label->UpdateLayout(), 0);
    // Nothing wide, but one line of 12 pixels high.
    EXPECT_EQ(label->GetRect(), (RectT<double>{0, 0, 0, 12}));
}

TEST_F(LayoutEngineTest, ControlsSizedToEachOtherSettle)
{
    // The panel covers its child and the child is 10 wider than the panel.
    RCPtr<LControl> outer = MakeControl(nullptr, u"outer");
    outer->SetRect({0, 0}, {500, 500});
    RCPtr<LControl> panel = MakeControl(outer, u"panel", [](LLayoutDescriptor& l) {
        l.axes[0].size.absolute = 100;
        l.axes[0].minimum = {kLimitToControl, u"Children", 1.0f, 0.0};
    });
    RCPtr<LControl> child = MakeControl(panel, u"child", [](LLayoutDescriptor& l) {
        l.axes[0].size = {kSizeToParent, {}, 1.0f, 10.0};
    });
    EXPECT_EQ(panel->UpdateLayout(), S_OK);
    EXPECT_GE(panel->GetRect().width, 100);
    EXPECT_GT(child->GetRect().width, panel->GetRect().width - 1);
}

} // namespace
