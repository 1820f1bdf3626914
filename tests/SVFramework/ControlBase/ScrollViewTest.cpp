#include "ControlApplicationDouble.h"
#include "ControlFixtures.h"
#include "Notification/NotificationNames.h"
#include "ScrollBarDouble.h"

#include "Controls/Label.h"
#include "Controls/ScrollView.h"
#include "ResultCodes.h"

#include <gtest/gtest.h>

using namespace SV;
using svtest::MakeControl;
using svtest::NotificationRecorder;
using svtest::ScrollBarDouble;

namespace {

// A view of 100 by 100 with the list box's corner (17 by 17) and two bars that reach to it.
class ScrollViewTest : public ::testing::Test
{
protected:
    void Build(double width, double height)
    {
        view = RCPtr<LScrollView>(new LScrollView(nullptr, u"view"));
        view->SetLayout(RCPtr<LLayoutDescriptor>(new LLayoutDescriptor()));
        view->SetRect({0, 0}, {width, height});
        MakeControl(RCPtr<LControl>(view), u"corner", [](LLayoutDescriptor& l) {
            for (int axis = 0; axis < 2; ++axis) {
                l.axes[axis].position.relative = 1.0f;
                l.axes[axis].anchor = 1.0f;
                l.axes[axis].size.absolute = 17;
                l.axes[axis].docked = true;
            }
        })->UpdateLayout();
        hBar = AddBar(u"hBar", 1);
        vBar = AddBar(u"vBar", 0);
        view->Initialize();
        view->SetCreated();
    }

    RCPtr<ScrollBarDouble> AddBar(const char16_t* name, int along)
    {
        RCPtr<ScrollBarDouble> bar(new ScrollBarDouble(RCPtr<LControl>(view), name));
        RCPtr<LLayoutDescriptor> l(new LLayoutDescriptor());
        l->axes[along].position.relative = 1.0f;
        l->axes[along].anchor = 1.0f;
        for (int axis = 0; axis < 2; ++axis) {
            l->axes[axis].size = {kSizeToControl, u"corner", 0.0f, 0.0};
            l->axes[axis].docked = true;
        }
        bar->SetLayout(l);
        bar->UpdateLayout();
        return bar;
    }

    // Bars of their own thickness that the skin starts hidden, beside a corner that keeps its
    // size: the view shows and hides the bars themselves.
    void BuildWithHiddenBars(double width, double height)
    {
        Build(width, height);
        for (int along = 0; along < 2; ++along) {
            const RCPtr<ScrollBarDouble>& bar = along == 0 ? vBar : hBar;
            RCPtr<LLayoutDescriptor> l(new LLayoutDescriptor());
            l->axes[along] = {};
            l->axes[along].position.relative = 1.0f;
            l->axes[along].anchor = 1.0f;
            l->axes[along].size.absolute = 17;
            l->axes[1 - along].size = {kSizeToClient, {}, 1.0f, 0.0};
            for (int axis = 0; axis < 2; ++axis) {
                l->axes[axis].docked = true;
            }
            l->visible = false;
            bar->SetLayout(l);
            bar->UpdateLayout();
        }
        const RCPtr<LControl> corner = view->FindChildControl(u"corner");
        for (int axis = 0; axis < 2; ++axis) {
            LayoutPositionSpec position;
            LayoutSpec size;
            corner->GetLayout()->GetAxisSpec(axis, position, size);
            size.absolute = 17;
            corner->SetLayoutSpec(axis, position, size);
        }
        view->UpdateScrollBarVisibility();
    }

    std::pair<bool, bool> Shown() const
    {
        return {view->IsScrollBarShown(0), view->IsScrollBarShown(1)};
    }

    svtest::ControlApplicationDouble app;
    RCPtr<LScrollView> view;
    RCPtr<ScrollBarDouble> hBar;
    RCPtr<ScrollBarDouble> vBar;
};

TEST_F(ScrollViewTest, BarsAppearWhenTheExtentDoesNotFit)
{
    Build(100, 100);
    EXPECT_EQ(Shown(), std::make_pair(false, false));
    const struct
    {
        double width, height;
        bool h, v;
    } cases[] = {
        {80, 150, false, true}, {90, 150, true, true},  {120, 80, true, false},
        {120, 90, true, true},  {0, 0, false, false},   {100, 100, false, false},
        {101, 83, true, false}, {83, 101, false, true},
    };
    for (const auto& c : cases) {
        view->SetClientExtent(c.width, c.height);
        EXPECT_EQ(Shown(), std::make_pair(c.h, c.v)) << c.width << " x " << c.height;
    }
    RectT<double> limits;
    view->SetClientExtent(0, 0);
    view->GetScrollLimits(limits, nullptr);
    EXPECT_EQ(limits, (RectT<double>{0, 0, 4503599627370496.0, 4503599627370496.0}));
    RectT<double> area;
    view->GetClientArea(area);
    EXPECT_EQ(area, (RectT<double>{0, 0, 100, 100}));
}

TEST_F(ScrollViewTest, BarsTheSkinStartsHiddenAppearAndTheCornerCountsOnlyWhileABarShows)
{
    BuildWithHiddenBars(100, 100);
    EXPECT_EQ(Shown(), std::make_pair(false, false));
    RectT<double> area;
    view->GetClientArea(area);
    EXPECT_EQ(area, (RectT<double>{0, 0, 100, 100}));
    const struct
    {
        double width, height;
        bool h, v;
    } cases[] = {
        {101, 83, true, false}, {83, 101, false, true}, {90, 150, true, true},
        {50, 50, false, false}, {120, 80, true, false},
    };
    for (const auto& c : cases) {
        view->SetClientExtent(c.width, c.height);
        EXPECT_EQ(Shown(), std::make_pair(c.h, c.v)) << c.width << " x " << c.height;
        EXPECT_EQ(hBar->IsVisible(false), c.h) << c.width << " x " << c.height;
        EXPECT_EQ(vBar->IsVisible(false), c.v) << c.width << " x " << c.height;
        view->GetClientArea(area);
        EXPECT_EQ(area.width, c.v ? 83.0 : 100.0) << c.width << " x " << c.height;
        EXPECT_EQ(area.height, c.h ? 83.0 : 100.0) << c.width << " x " << c.height;
    }
}

TEST_F(ScrollViewTest, SameExtentAgainSendsNothing)
{
    Build(100, 100);
    RCPtr<NotificationRecorder> recorder(new NotificationRecorder());
    recorder->Listen(RCPtr<LControl>(view), {kNidClientExtentChange});
    EXPECT_EQ(view->SetClientExtent(120, 300), S_OK);
    EXPECT_EQ(view->SetClientExtent(120, 300), S_FALSE);
    EXPECT_EQ(recorder->names.size(), 1u);
}

TEST_F(ScrollViewTest, BarValuesScrollTheViewAndTheWheelMovesTheBars)
{
    Build(100, 100);
    view->SetClientExtent(120, 300);
    ASSERT_EQ(Shown(), std::make_pair(true, true));
    const double page = double(float(83.0 / (300.0 - 83.0)));
    EXPECT_EQ(vBar->pageStep, page);
    EXPECT_EQ(vBar->thumbProportion, double(float(83.0 / 300.0)));

    vBar->SetNormalizedValue(0.5);
    EXPECT_EQ(view->GetScrollOffset(), (PointT<double>{0, 109}));
    EXPECT_NEAR(vBar->GetNormalizedValue(), 109.0 / 217.0, 1e-12);

    vBar->SetNormalizedValue(0);
    EXPECT_EQ(view->HandleVerticalWheel(0, 8), S_OK);
    EXPECT_EQ(vBar->GetNormalizedValue(), RoundHalf(217 * page) / 217.0);
    EXPECT_EQ(view->HandleVerticalWheel(1, 64), S_OK);
    EXPECT_EQ(hBar->GetNormalizedValue(), 0.0);
    EXPECT_EQ(view->HandleHorizontalWheel(2, 0), S_OK);
    EXPECT_GT(view->GetScrollOffset().x, 0.0);

    view->SetClientExtent(0, 0);
    EXPECT_EQ(view->HandleVerticalWheel(0, 0), S_FALSE);
}

TEST_F(ScrollViewTest, StepModeScrollsByRowsAndAStepOfZeroByPixels)
{
    Build(100, 90);
    view->SetStepMode(true, 18);
    view->SetClientExtent(0, 360);
    ASSERT_EQ(Shown(), std::make_pair(false, true));
    EXPECT_EQ(vBar->NormalizedToValue(1.0), 15.0);
    EXPECT_EQ(vBar->thumbProportion, 5.0 / 20.0);
    vBar->SetNormalizedValue(1.0);
    EXPECT_EQ(view->GetScrollOffset().y, 15 * 18);

    view->SetStepMode(true, 0);
    view->UpdateScrollBars();
    EXPECT_EQ(vBar->NormalizedToValue(1.0), 270.0);
    vBar->SetNormalizedValue(0.5);
    EXPECT_EQ(view->GetScrollOffset().y, 135);
}

TEST_F(ScrollViewTest, DockedChildKeepsItsPlaceWhileContentScrolls)
{
    Build(100, 100);
    RCPtr<LControl> content =
        MakeControl(RCPtr<LControl>(view), u"content", svtest::At(0, 10, 50, 500));
    RCPtr<LControl> header =
        MakeControl(RCPtr<LControl>(view), u"header", [](LLayoutDescriptor& l) {
            l.axes[1].docked = true;
            l.axes[0].size.absolute = 50;
            l.axes[1].size.absolute = 10;
        });
    content->UpdateLayout();
    header->UpdateLayout();
    view->SetAutoClientExtent(2, 0, 0);
    EXPECT_EQ(view->GetClientExtent().y, 510);
    view->SetScrollOffset({0, 40});
    EXPECT_EQ(header->GetRect().y, 40);
    EXPECT_EQ(content->GetRect().y, 10);
    EXPECT_EQ(content->GetPositionInRoot(), (PointT<double>{0, -30}));
    RectT<double> clientRect;
    view->GetClientRect(clientRect);
    EXPECT_EQ(clientRect.y, 40);
}

TEST(LabelTest, ShowsItsOwnTextAsToolTipWhenCutOff)
{
    svtest::ControlApplicationDouble app;
    RCPtr<LLabel> label(new LLabel(nullptr, u"label"));
    label->SetLayout(RCPtr<LLayoutDescriptor>(new LLayoutDescriptor()));
    RCPtr<LLookDescriptor> look(new LLookDescriptor(u"text"));
    TextPlacement text;
    text.rightRel = text.bottomRel = 1.0f;
    look->SetTextProperties(text, nullptr);
    label->AddLook(LLook::Create(look, false));
    label->SetFont(u"", 0.0f, -1, false);
    label->SetRect({0, 0}, {120, 20});
    label->SetLabelText(u"Open Program", false);
    EXPECT_FALSE(label->IsTextTruncated());
    EXPECT_TRUE(label->GetToolTipText().IsEmpty());
    label->SetRect({0, 0}, {119, 20});
    EXPECT_TRUE(label->IsTextTruncated());
    EXPECT_TRUE(label->GetToolTipText().EqualsText(u"Open Program"));
    label->FinishCreate();
    EXPECT_TRUE(label->IsNotFocusable());

    // Without a text object a label with text counts as cut off.
    RCPtr<LLabel> plain(new LLabel(nullptr, u"plain"));
    plain->AddLook(LLook::Create(RCPtr<LLookDescriptor>(new LLookDescriptor(u"plain")), false));
    plain->SetLabelText(u"x", false);
    EXPECT_TRUE(plain->IsTextTruncated());
}

} // namespace
