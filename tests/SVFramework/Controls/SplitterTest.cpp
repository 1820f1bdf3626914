#include "PointerSkinFixture.h"

#include "Controls/SplitterH.h"
#include "Controls/SplitterV.h"

#include <string>

using namespace SV;

namespace {

constexpr int32_t kWindowSize = 506;
// The bar lies from 200 to 206 on its axis; it is taken in its middle.
constexpr int32_t kGrip = 203;
constexpr int32_t kAcross = 100;

// A first panel 200 long (at least 50), the bar at its far edge, and a second panel from the bar
// to the far edge of the window (at least 100, so 300 at the start), all along the bar's axis.
// `secondPosition` places the second panel against the bar.
std::string SplitterSkin(bool vertical, const std::string& barPosition,
                         const std::string& secondPosition)
{
    const std::string a = vertical ? "X" : "Y";
    const std::string o = vertical ? "Y" : "X";
    const std::string across =
        o + "SizeToControl=\"Client\" " + o + "SizeRel=\"1\" " + o + "SizeAbs=\"0\"";
    const std::string barClass = vertical ? "Framework.SplitterV" : "Framework.SplitterH";
    return R"(
    <Skin Name="Default">
      <SubControl Class="Framework.Panel" Name="window">
        <Skin Name="window">
          <SubControl Class="Framework.Panel" Name="first" LayoutOrder="1" )" +
           a + "SizeAbs=\"200\" " + a + "MinSizeAbs=\"50\" " + across + R"(>
            <Skin Name="first"/>
          </SubControl>
          <SubControl Class=")" +
           barClass + R"(" Name="bar" LayoutOrder="2" )" + barPosition + " " + a +
           "SizeAbs=\"6\" " + across + R"(>
            <Skin Name="bar" LookList="States"/>
          </SubControl>
          <SubControl Class="Framework.Panel" Name="second" LayoutOrder="3" )" +
           secondPosition + " " + a + "SizeToControl=\"Client\" " + a + "SizeRel=\"1\" " + a +
           "SizeAbs=\"0\" " + a + "MinSizeAbs=\"100\" " + across + R"(>
            <Skin Name="second"/>
          </SubControl>
        </Skin>
      </SubControl>
    </Skin>)";
}

std::string AgainstControl(bool vertical, const char* name, const char* rel, const char* abs = "0")
{
    const std::string a = vertical ? "X" : "Y";
    return a + "PositionToControl=\"" + name + "\" " + a + "PositionRel=\"" + rel + "\" " + a +
           "PositionAbs=\"" + abs + "\"";
}

class SplitterTest : public svtest::PointerSkinFixture, public ::testing::WithParamInterface<bool>
{
protected:
    bool Vertical() const { return GetParam(); }

    void Create(const std::string& barPosition, const std::string& secondPosition)
    {
        LoadSkin(SplitterSkin(Vertical(), barPosition, secondPosition));
        ASSERT_TRUE(CreateWindow(u"window", kWindowSize, kWindowSize));
        bar = dynamic_cast<LSplitterBase*>(root->FindChildControl(u"bar").Get());
        ASSERT_TRUE(bar);
        first = root->FindChildControl(u"first");
        second = root->FindChildControl(u"second");
        ASSERT_TRUE(first && second);
    }
    // The usual arrangement: the bar at the first panel's far edge, the second at the bar's.
    void CreateStandard()
    {
        Create(AgainstControl(Vertical(), "first", "1"), AgainstControl(Vertical(), "bar", "1"));
    }
    void TearDown() override
    {
        bar = nullptr;
        first = nullptr;
        second = nullptr;
        svtest::PointerSkinFixture::TearDown();
    }

    // Pointer input at a point given along the bar's axis and across it.
    void MoveTo(int32_t along) { Move(X(along), Y(along)); }
    void PressAt(int32_t along) { Press(X(along), Y(along)); }
    void ReleaseAt(int32_t along) { Release(X(along), Y(along)); }
    int32_t X(int32_t along) const { return Vertical() ? along : kAcross; }
    int32_t Y(int32_t along) const { return Vertical() ? kAcross : along; }

    double Start(const RCPtr<LControl>& c) const
    {
        return Vertical() ? c->GetRect().x : c->GetRect().y;
    }
    double Length(const RCPtr<LControl>& c) const
    {
        return Vertical() ? c->GetRect().width : c->GetRect().height;
    }
    const LLayoutDescriptor::Axis& AxisOf(const RCPtr<LControl>& c) const
    {
        return c->GetLayout()->axes[Vertical() ? 0 : 1];
    }
    // The three controls side by side along the axis, the first `firstLength` long.
    void ExpectArrangement(double firstLength, int32_t windowLength = kWindowSize)
    {
        EXPECT_EQ(Length(first), firstLength);
        EXPECT_EQ(Start(bar), firstLength);
        EXPECT_EQ(Start(second), firstLength + 6);
        EXPECT_EQ(Length(second), windowLength - firstLength - 6);
    }

    RCPtr<LSplitterBase> bar;
    RCPtr<LControl> first;
    RCPtr<LControl> second;
};

TEST_P(SplitterTest, DragStopsAtTheMinimumsOfBothPanelsAndTheDropLeavesTheBarAtTheFirstsEdge)
{
    struct Case
    {
        const char* what;
        int32_t distance;
        double firstLength;
    };
    // The first panel can give 150 (200 down to 50), the second 200 (300 down to 100).
    const Case cases[] = {
        {"back beyond the first's minimum", -400, 50},
        {"forward beyond the second's minimum", 400, 400},
        {"within both", -30, 170},
        {"exactly to the second's minimum", 200, 400},
    };
    CreateStandard();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const double before = Length(first);
        // Start each case from the same arrangement.
        if (before != 200) {
            PressAt(int32_t(before) + 3);
            MoveTo(kGrip);
            ReleaseAt(kGrip);
        }
        ASSERT_EQ(Length(first), 200);

        PressAt(kGrip);
        MoveTo(kGrip + c.distance / 2);
        MoveTo(kGrip + c.distance);
        ASSERT_TRUE(bar->IsDragging(0));
        EXPECT_EQ(bar->GetNeighbour().Get(), first.Get());
        EXPECT_EQ(AxisOf(bar).position.kind, kPositionToClient)
            << "placed absolutely while dragged";
        ExpectArrangement(c.firstLength);

        ReleaseAt(kGrip + c.distance);
        EXPECT_FALSE(bar->GetNeighbour());
        EXPECT_EQ(AxisOf(first).size.absolute, c.firstLength);
        EXPECT_EQ(AxisOf(bar).position.kind, kPositionToControl);
        EXPECT_EQ(AxisOf(bar).position.reference, WideString(u"first"));
        EXPECT_EQ(AxisOf(bar).position.relative, 1.0f);
        EXPECT_EQ(AxisOf(bar).position.absolute, 0.0);
        ExpectArrangement(c.firstLength);
    }
}

TEST_P(SplitterTest, SecondPanelPlacedAtAnOffsetFromTheBarLimitsTheDragTheSameWay)
{
    // At the bar's near edge plus its length: the same place as at its far edge.
    Create(AgainstControl(Vertical(), "first", "1"), AgainstControl(Vertical(), "bar", "0", "6"));
    ExpectArrangement(200);
    PressAt(kGrip);
    MoveTo(kGrip + 400);
    ExpectArrangement(400);
    MoveTo(kGrip - 400);
    ExpectArrangement(50);
    ReleaseAt(kGrip - 400);
}

TEST_P(SplitterTest, NarrowingTheWindowTakesFromTheFirstPanelWhatTheSecondNeeds)
{
    CreateStandard();
    // Room for the second's 200: nothing moves.
    Resize(406, 406);
    ExpectArrangement(200, 406);
    // The second would get 80, 20 below its minimum: the first gives the 20.
    Resize(286, 286);
    ExpectArrangement(180, 286);
    EXPECT_EQ(AxisOf(first).size.absolute, 180);
    EXPECT_EQ(AxisOf(bar).position.kind, kPositionToControl);
    // Widening again gives nothing back by itself.
    Resize(kWindowSize, kWindowSize);
    ExpectArrangement(180);
}

TEST_P(SplitterTest, BarShowsTheCursorOfItsAxisAndTheLookOfItsState)
{
    CreateStandard();
    EXPECT_EQ(bar->GetCursor(),
              svtest::FakeDesktop::SystemCursor(Vertical() ? svp::IDC_SIZEWE : svp::IDC_SIZENS));
    EXPECT_EQ(bar->GetFirstActiveLookIndex(), LSplitterBase::kLookNormal);
    MoveTo(kGrip);
    EXPECT_EQ(bar->GetFirstActiveLookIndex(), LSplitterBase::kLookHover);
    EXPECT_EQ(services.shownCursor, bar->GetCursor());
    // The press gives the bar the focus: the focused looks from now on.
    constexpr int32_t focused = LSplitterBase::kLookFocusedOffset;
    PressAt(kGrip);
    EXPECT_TRUE(bar->HasFocus());
    // The pointer is hit-tested before the bar follows it: the first step of the drag leaves
    // the thin bar behind it, the next finds it under the pointer again.
    MoveTo(kGrip + 10);
    MoveTo(kGrip + 11);
    EXPECT_EQ(bar->GetFirstActiveLookIndex(), LSplitterBase::kLookPressed + focused);
    // Held beyond the first's minimum, the bar stays behind the pointer.
    MoveTo(kGrip - 400);
    EXPECT_EQ(bar->GetFirstActiveLookIndex(), LSplitterBase::kLookHover + focused);
    ReleaseAt(kGrip - 400);
    EXPECT_EQ(bar->GetFirstActiveLookIndex(), LSplitterBase::kLookNormal + focused);
    bar->SetEnabled(false);
    EXPECT_EQ(bar->GetFirstActiveLookIndex(), LSplitterBase::kLookDisabled);
}

TEST_P(SplitterTest, BarWithoutNeighbourResizesNothingAndStaysWhereItWasDropped)
{
    const std::string a = Vertical() ? "X" : "Y";
    Create(a + "PositionAbs=\"200\"", AgainstControl(Vertical(), "bar", "1"));
    PressAt(kGrip);
    MoveTo(kGrip - 30);
    EXPECT_FALSE(bar->GetNeighbour());
    ReleaseAt(kGrip - 30);
    EXPECT_EQ(Length(first), 200);
    EXPECT_EQ(Start(bar), 170);
    EXPECT_EQ(AxisOf(bar).position.kind, kPositionToClient);
    EXPECT_EQ(AxisOf(bar).position.absolute, 170);
    // The second panel still limits the travel forward.
    PressAt(173);
    MoveTo(173 + 400);
    ReleaseAt(173 + 400);
    EXPECT_EQ(Start(bar), 400);
    EXPECT_EQ(Length(second), 100);
}

INSTANTIATE_TEST_SUITE_P(BothOrientations, SplitterTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& param) {
                             return std::string(param.param ? "Vertical" : "Horizontal");
                         });

} // namespace
