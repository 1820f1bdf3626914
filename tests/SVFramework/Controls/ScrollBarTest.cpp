#include "ControlSkinFixture.h"
#include "Notification/NotificationNames.h"
#include "RecordingWindowServices.h"

#include "ControlBase/KeyParam.h"
#include "Controls/ScrollBar.h"
#include "Controls/ScrollView.h"
#include "Notification/NotificationClient.h"
#include "Windows/MouseParams.h"

using namespace SV;

namespace {

// A vertical bar (arrows one above the other, an 18-pixel-wide thumb in a 160-pixel channel)
// and a horizontal one (arrows side by side), each in a host panel of its own, and a scrolling
// panel with a vertical bar.
const char* const kBarSkin = R"(
    <Skin Name="Default">
      <SubControl Class="Framework.Panel" Name="window" XSizeAbs="400" YSizeAbs="300">
        <Skin Name="window">
          <SubControl Class="Framework.Panel" Name="vHost" XSizeAbs="40" YSizeAbs="200">
            <Skin Name="vHost">
              <SubControl Class="Framework.ScrollBar" Name="bar" XSizeAbs="20" YSizeAbs="200">
                <Skin Name="bar">
                  <SubControl Class="Framework.Button" Name="dec" XSizeAbs="20" YSizeAbs="20"/>
                  <SubControl Class="Framework.ScrollChannel" Name="channel" YPositionAbs="20" XSizeAbs="20" YSizeAbs="160">
                    <Skin Name="channel" LookList="Channel">
                      <SubControl Class="Framework.Button" Name="thumb" XSizeAbs="18" YSizeAbs="10"/>
                    </Skin>
                  </SubControl>
                  <SubControl Class="Framework.Button" Name="inc" YPositionAbs="180" XSizeAbs="20" YSizeAbs="20"/>
                </Skin>
              </SubControl>
            </Skin>
          </SubControl>
          <SubControl Class="Framework.Panel" Name="hHost" XPositionAbs="50" XSizeAbs="200" YSizeAbs="40">
            <Skin Name="hHost">
              <SubControl Class="Framework.ScrollBar" Name="bar" XSizeAbs="200" YSizeAbs="20">
                <Skin Name="bar">
                  <SubControl Class="Framework.Button" Name="dec" XSizeAbs="20" YSizeAbs="20"/>
                  <SubControl Class="Framework.ScrollChannel" Name="channel" XPositionAbs="20" XSizeAbs="160" YSizeAbs="20">
                    <Skin Name="channel" LookList="Channel">
                      <SubControl Class="Framework.Button" Name="thumb" XSizeAbs="10" YSizeAbs="16"/>
                    </Skin>
                  </SubControl>
                  <SubControl Class="Framework.Button" Name="inc" XPositionAbs="180" XSizeAbs="20" YSizeAbs="20"/>
                </Skin>
              </SubControl>
            </Skin>
          </SubControl>
          <SubControl Class="Framework.Panel" Name="view" XPositionAbs="300" XSizeAbs="100" YSizeAbs="100">
            <Skin Name="view">
              <SubControl Class="Framework.ScrollBar" Name="vBar" XPositionAbs="80" XSizeAbs="20" YSizeAbs="100">
                <Skin Name="vBar">
                  <SubControl Class="Framework.Button" Name="dec" XSizeAbs="20" YSizeAbs="20"/>
                  <SubControl Class="Framework.ScrollChannel" Name="channel" YPositionAbs="20" XSizeAbs="20" YSizeAbs="60">
                    <Skin Name="channel">
                      <SubControl Class="Framework.Button" Name="thumb" XSizeAbs="20" YSizeAbs="10"/>
                    </Skin>
                  </SubControl>
                  <SubControl Class="Framework.Button" Name="inc" YPositionAbs="80" XSizeAbs="20" YSizeAbs="20"/>
                </Skin>
              </SubControl>
            </Skin>
          </SubControl>
        </Skin>
      </SubControl>
    </Skin>)";

const char* const kChannelLooks = R"(
    <LookList Name="Channel" NumLooks="2">
      <Look Name="Plain" Index="0"/><Look Name="Plain" Index="1"/>
    </LookList>)";

class CountingClient : public LNotificationClient
{
public:
    void Receive(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                 const ConstRCPtr<LNotification>& /*notification*/) override
    {
        ++count;
    }
    int32_t count = 0;
};

RCPtr<LMouseButtonParam> Button(int32_t x, int32_t y, int32_t buttons)
{
    return RCPtr<LMouseButtonParam>(new LMouseButtonParam(1, x, y, 0, 0, buttons, 0));
}

RCPtr<LPointWithModifiersParam> Point(int32_t x, int32_t y)
{
    return RCPtr<LPointWithModifiersParam>(new LPointWithModifiersParam(x, y, 0, 0));
}

class ScrollBarTest : public svtest::ControlSkinFixture
{
protected:
    void SetUp() override
    {
        LoadSkin(kBarSkin, kChannelLooks);
        // An active window with a pointer, for the paging that follows the pointer.
        services.active = true;
        // The user holds the left button through every press the tests make.
        services.buttons = 1;
        window = RCPtr<LRootWindow>(new LRootWindow(nullptr, &services));
        window->SetWindowRect({0, 0, 400, 300});
        app.mActive = window;
        root = app.mFactory->CreateRootControl(u"window", window);
        ASSERT_TRUE(root);
        window->SetMainControl(root);
        vertical = Bar(u"vHost");
        horizontal = Bar(u"hHost");
        ASSERT_TRUE(vertical && horizontal);
    }

    LScrollbar* Bar(const char16_t* host) const
    {
        return dynamic_cast<LScrollbar*>(
            root->FindChildControl(host)->FindChildControl(u"bar").Get());
    }

    static LControl& Channel(LScrollbar* bar) { return *bar->FindChildControl(u"channel"); }

    static double ThumbY(LScrollbar* bar) { return bar->GetThumb()->GetRect().y; }

    // A press on the thumb and a drag of dy pixels (thumb coordinates).
    static void DragThumb(LScrollbar* bar, int32_t dy)
    {
        LControl& thumb = *bar->GetThumb();
        thumb.OnMouseDown(Button(5, 5, 1));
        thumb.OnMouseMove(Point(5, 5 + dy));
    }

    static void ReleaseThumb(LScrollbar* bar) { bar->GetThumb()->OnMouseUp(Button(5, 5, 0)); }

    // A bare key press offered by the bar's host to its children.
    int32_t SendKey(LScrollbar* bar, uint32_t virtualKey, uint32_t modifiers = 0)
    {
        return bar->GetParent()->SendSiblingKey(
            CreateKeyParam(KeyCode(virtualKey, true, 0, modifiers), 1));
    }

    void TearDown() override
    {
        svtest::ControlSkinFixture::TearDown();
        root = nullptr;
        app.mActive = nullptr;
        window = nullptr;
    }

    svtest::RecordingWindowServices services;
    LScrollbar* vertical = nullptr;
    LScrollbar* horizontal = nullptr;
};

TEST_F(ScrollBarTest, OrientationComesFromTheArrowsAndTheThumbIsNeverThinnerThanTheSkinMadeIt)
{
    EXPECT_EQ(vertical->GetOrientation(), 1);
    EXPECT_EQ(horizontal->GetOrientation(), 0);
    EXPECT_EQ(vertical->NormalizedToValue(1.0), 100.0);
    // The thumb's thickness is the least length: 160 x 0.1 is below the 18 pixels.
    EXPECT_EQ(vertical->GetMinimumThumbLength(), 18.0);
    EXPECT_EQ(vertical->GetThumbLength(), 18.0);
    EXPECT_EQ(vertical->GetThumb()->GetRect().height, 18.0);
    EXPECT_EQ(horizontal->GetMinimumThumbLength(), 16.0);
    EXPECT_EQ(horizontal->GetThumb()->GetRect().width, 16.0);
    for (const char16_t* part : {u"dec", u"inc", u"channel"}) {
        EXPECT_TRUE(vertical->FindChildControl(part)->IsNotFocusable())
            << NarrowString(part).GetText();
    }
    EXPECT_TRUE(vertical->IsNotFocusable());
    EXPECT_TRUE(vertical->GetThumb()->IsNotFocusable());

    vertical->SetThumbProportion(0.5);
    vertical->UpdateThumb();
    EXPECT_EQ(vertical->GetThumb()->GetRect().height, 80.0);
    vertical->SetNormalizedValue(0.25);
    EXPECT_EQ(ThumbY(vertical), 20.0);
    vertical->SetNormalizedValue(7.0);
    EXPECT_EQ(vertical->GetNormalizedValue(), 1.0);
    EXPECT_EQ(ThumbY(vertical), 80.0);
}

TEST_F(ScrollBarTest, DraggedThumbSetsTheValueAndAValueFromOutsideWaitsForTheRelease)
{
    vertical->SetThumbProportion(0.5);
    vertical->UpdateThumb();
    const RCPtr<CountingClient> changes(new CountingClient());
    changes->Register(RCPtr<LNotificationDistributor>(vertical), kNidValueChange);

    DragThumb(vertical, 40);
    ASSERT_TRUE(vertical->IsThumbDragged());
    EXPECT_EQ(ThumbY(vertical), 40.0);
    EXPECT_DOUBLE_EQ(vertical->GetNormalizedValue(), 0.5);
    EXPECT_EQ(changes->count, 1);

    // The view moves the content meanwhile: the thumb stays under the pointer.
    EXPECT_DOUBLE_EQ(vertical->SetNormalizedValue(0.1), 0.5);
    EXPECT_EQ(ThumbY(vertical), 40.0);
    vertical->GetThumb()->OnMouseMove(Point(5, 500));
    EXPECT_EQ(ThumbY(vertical), 80.0) << "pinned at the channel's end";
    EXPECT_DOUBLE_EQ(vertical->GetNormalizedValue(), 1.0);

    ReleaseThumb(vertical);
    EXPECT_FALSE(vertical->IsThumbDragged());
    EXPECT_DOUBLE_EQ(vertical->GetNormalizedValue(), 0.1) << "the last outside value wins";
    EXPECT_EQ(ThumbY(vertical), 8.0);
    EXPECT_EQ(vertical->GetPendingValue(), -1.0);
    changes->UnregisterAll();
}

TEST_F(ScrollBarTest, AThumbThatFillsTheChannelCannotBeDraggedAndKeepsTheValue)
{
    vertical->SetThumbProportion(1.0);
    vertical->UpdateThumb();
    vertical->SetNormalizedValue(0.3);
    EXPECT_EQ(vertical->GetThumb()->GetRect().height, 160.0);
    DragThumb(vertical, 30);
    EXPECT_EQ(ThumbY(vertical), 0.0);
    EXPECT_DOUBLE_EQ(vertical->GetNormalizedValue(), 0.3);
    ReleaseThumb(vertical);
    EXPECT_DOUBLE_EQ(vertical->GetNormalizedValue(), 0.3);

    // A thumb longer than its channel has no travel to measure a value along either.
    vertical->SetThumbProportion(1.5);
    vertical->UpdateThumb();
    EXPECT_EQ(vertical->GetThumb()->GetRect().height, 240.0);
    DragThumb(vertical, 30);
    EXPECT_DOUBLE_EQ(vertical->GetNormalizedValue(), 0.3);
    ReleaseThumb(vertical);
}

TEST_F(ScrollBarTest, HoldingTheChannelPagesAtOnceThenOnTheClockWhileThePointerStaysOnThatSide)
{
    LControl& channel = Channel(vertical);
    // The channel's client area starts at y 20 of the window.
    services.cursor = {10, 150};
    channel.OnMouseEnter();
    app.mTime = 10.0;
    channel.OnMouseDown(Button(10, 130, 1));
    EXPECT_EQ(vertical->GetPageState(), LScrollbar::kPagingToEnd);
    EXPECT_DOUBLE_EQ(vertical->GetNormalizedValue(), 0.2);
    EXPECT_EQ(vertical->GetIdleRequests(), 1);
    EXPECT_EQ(channel.GetLookAlpha(1), 1.0f) << "the paged side is highlighted";

    struct Pass
    {
        double time;
        double value;
    };
    // 0.4 s to the first repeat, then every 0.2 s.
    for (const Pass& pass :
         {Pass{10.3, 0.2}, Pass{10.41, 0.4}, Pass{10.6, 0.4}, Pass{10.62, 0.6}}) {
        app.mTime = pass.time;
        vertical->OnIdle();
        EXPECT_DOUBLE_EQ(vertical->GetNormalizedValue(), pass.value) << pass.time;
    }

    // Off the channel the highlight goes and the countdown stands still; the time away is not
    // counted when the pointer comes back.
    channel.OnMouseLeave();
    EXPECT_EQ(channel.GetLookAlpha(1), 0.0f);
    app.mTime = 11.0;
    vertical->OnIdle();
    EXPECT_DOUBLE_EQ(vertical->GetNormalizedValue(), 0.6);
    services.cursor = {10, 170};
    app.mTime = 11.5;
    channel.OnMouseEnter();
    EXPECT_EQ(channel.GetLookAlpha(1), 1.0f);
    app.mTime = 11.6;
    vertical->OnIdle();
    EXPECT_DOUBLE_EQ(vertical->GetNormalizedValue(), 0.6);
    app.mTime = 11.71;
    vertical->OnIdle();
    EXPECT_DOUBLE_EQ(vertical->GetNormalizedValue(), 0.8);

    // With the pointer on the thumb the repeat pauses and the highlight goes.
    services.cursor = {10, 20 + 120};
    app.mTime = 12.5;
    vertical->OnIdle();
    EXPECT_DOUBLE_EQ(vertical->GetNormalizedValue(), 0.8);

    channel.OnMouseUp(Button(10, 170, 0));
    EXPECT_EQ(vertical->GetPageState(), LScrollbar::kNotPaging);
    EXPECT_EQ(vertical->GetIdleRequests(), 0);
    EXPECT_EQ(channel.GetLookAlpha(1), 0.0f);
    EXPECT_EQ(channel.GetLookAlpha(0), 1.0f);
}

TEST_F(ScrollBarTest, PagingStopsAtTheStartAndAPressOnTheThumbDoesNotPage)
{
    LControl& channel = Channel(vertical);
    vertical->SetNormalizedValue(0.1);
    services.cursor = {10, 21};
    channel.OnMouseEnter();
    channel.OnMouseDown(Button(10, 1, 1));
    EXPECT_EQ(vertical->GetPageState(), LScrollbar::kPagingToStart);
    EXPECT_DOUBLE_EQ(vertical->GetNormalizedValue(), 0.0);
    channel.OnMouseUp(Button(10, 1, 0));

    // The thumb is at 0..18 now: its near edge still pages, its inside does not.
    channel.OnMouseDown(Button(10, 0, 1));
    EXPECT_EQ(vertical->GetPageState(), LScrollbar::kPagingToStart);
    channel.OnMouseUp(Button(10, 0, 0));
    channel.OnMouseDown(Button(10, 10, 1));
    EXPECT_EQ(vertical->GetPageState(), LScrollbar::kNotPaging);
    EXPECT_EQ(vertical->GetIdleRequests(), 0);
    channel.OnMouseUp(Button(10, 10, 0));
}

TEST_F(ScrollBarTest, ArrowsStepByALine)
{
    vertical->SetSteps(0.05, 0.5);
    vertical->SetNormalizedValue(0.5);
    LControl& inc = *vertical->FindChildControl(u"inc");
    LControl& dec = *vertical->FindChildControl(u"dec");
    inc.OnMouseDown(Button(5, 5, 1));
    EXPECT_DOUBLE_EQ(vertical->GetNormalizedValue(), 0.55);
    inc.OnMouseUp(Button(5, 5, 0));
    dec.OnMouseDown(Button(5, 5, 1));
    dec.OnMouseUp(Button(5, 5, 0));
    dec.OnMouseDown(Button(5, 5, 1));
    dec.OnMouseUp(Button(5, 5, 0));
    EXPECT_DOUBLE_EQ(vertical->GetNormalizedValue(), 0.45);
}

TEST_F(ScrollBarTest, KeysOfTheHostStepPageAndJumpByOrientation)
{
    struct Case
    {
        bool isVertical;
        uint32_t virtualKey;
        uint32_t modifiers;
        double expected; // from 0.5, line 0.1, page 0.3
        bool used;
    };
    const Case cases[] = {
        {true, 0x26, 0, 0.4, true},   {true, 0x28, 0, 0.6, true},
        {true, 0x21, 0, 0.2, true},   {true, 0x22, 0, 0.8, true},
        {true, 0x24, 0, 0.0, true},   {true, 0x23, 0, 1.0, true},
        {true, 0x25, 0, 0.5, false},  {true, 0x28, KeyCode::kLeftShift, 0.5, false},
        {false, 0x25, 0, 0.4, true},  {false, 0x27, 0, 0.6, true},
        {false, 0x24, 0, 0.0, true},  {false, 0x23, 0, 1.0, true},
        {false, 0x21, 0, 0.5, false}, {false, 0x22, 0, 0.5, false},
        {false, 0x26, 0, 0.5, false},
    };
    for (const Case& c : cases) {
        LScrollbar* bar = c.isVertical ? vertical : horizontal;
        bar->SetSteps(0.1, 0.3);
        bar->SetNormalizedValue(0.5);
        const int32_t result = SendKey(bar, c.virtualKey, c.modifiers);
        EXPECT_EQ(result == S_OK, c.used) << c.isVertical << " key " << c.virtualKey;
        EXPECT_DOUBLE_EQ(bar->GetNormalizedValue(), c.expected)
            << c.isVertical << " key " << c.virtualKey;
    }

    // A hidden bar takes no keys; a mask without the bit neither.
    vertical->SetNormalizedValue(0.5);
    vertical->SetVisible(false);
    EXPECT_EQ(SendKey(vertical, 0x28), S_FALSE);
    vertical->SetVisible(true);
    EXPECT_EQ(vertical->SetKeyMask(0x1FD), E_INVALIDARG);
    EXPECT_EQ(vertical->GetKeyMask(), 0xFD);
    EXPECT_EQ(SendKey(vertical, 0x28), S_FALSE);
    EXPECT_EQ(SendKey(vertical, 0x26), S_OK);
}

TEST_F(ScrollBarTest, ARangeChangeKeepsThePositionWhereItCan)
{
    const RCPtr<CountingClient> changes(new CountingClient());
    changes->Register(RCPtr<LNotificationDistributor>(vertical), kNidValueChange);
    vertical->SetNormalizedValue(0.8);
    changes->count = 0;
    EXPECT_EQ(vertical->SetValueRange(0.0, 50.0, 0), S_OK);
    EXPECT_DOUBLE_EQ(vertical->GetNormalizedValue(), 1.0);
    EXPECT_DOUBLE_EQ(vertical->NormalizedToValue(vertical->GetNormalizedValue()), 50.0);
    EXPECT_EQ(changes->count, 1);

    EXPECT_EQ(vertical->SetValueRange(0.0, 200.0, 0), S_OK);
    EXPECT_DOUBLE_EQ(vertical->GetNormalizedValue(), 0.25);
    EXPECT_EQ(vertical->SetValueRange(0.0, 10.0, 1), E_INVALIDARG);
    EXPECT_DOUBLE_EQ(vertical->NormalizedToValue(1.0), 200.0) << "the old range stays";
    EXPECT_EQ(changes->count, 2);
    changes->UnregisterAll();
}

TEST_F(ScrollBarTest, AScrollViewDrivesItsBarAndFollowsIt)
{
    auto* view = dynamic_cast<LScrollView*>(root->FindChildControl(u"view").Get());
    ASSERT_TRUE(view);
    auto* bar = dynamic_cast<LScrollbar*>(view->FindChildControl(u"vBar").Get());
    ASSERT_TRUE(bar);
    view->SetClientExtent(80.0, 400.0);
    EXPECT_DOUBLE_EQ(bar->NormalizedToValue(1.0), 300.0);
    EXPECT_DOUBLE_EQ(bar->GetThumbFraction(), 0.25);
    EXPECT_EQ(bar->GetThumb()->GetRect().height, 20.0) << "60 x 0.25 is below the thumb's width";

    EXPECT_EQ(view->SendSiblingKey(CreateKeyParam(KeyCode(0x23, true, 0, 0), 1)), S_OK);
    EXPECT_EQ(view->GetScrollOffset().y, 300.0);
    view->SetScrollOffset({0.0, 150.0});
    EXPECT_DOUBLE_EQ(bar->GetNormalizedValue(), 0.5);
    EXPECT_EQ(bar->GetThumb()->GetRect().y, 20.0);
}

} // namespace
