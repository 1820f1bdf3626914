#include "PointerSkinFixture.h"

#include "Controls/FileDropper.h"

#include <string>
#include <vector>

using namespace SV;

namespace {

const char* const kDropperSkin = R"(
    <Skin Name="Default">
      <SubControl Class="Framework.Panel" Name="window">
        <Skin Name="window">
          <SubControl Class="Framework.FileDropper" Name="dropper" XPositionAbs="20" YPositionAbs="20" XSizeAbs="30" YSizeAbs="30">
            <Skin Name="dropper" LookList="Solid"/>
          </SubControl>
        </Skin>
      </SubControl>
    </Skin>
)";

// A control that takes every drop and records what it is told.
class DropTarget : public LControl
{
public:
    DropTarget(const RCPtr<LControl>& parent, const RectT<double>& rect)
        : LControl(parent, u"target")
    {
        RCPtr<LLayoutDescriptor> layout(new LLayoutDescriptor());
        layout->axes[0].position.absolute = rect.x;
        layout->axes[0].size.absolute = rect.width;
        layout->axes[1].position.absolute = rect.y;
        layout->axes[1].size.absolute = rect.height;
        SetLayout(layout);
        UpdateLayout();
        SetCreated();
    }
    bool IsTransparentAt(const PointT<int32_t>&) override { return false; }
    bool AcceptsDrop(const RCPtr<LControl>&) override { return true; }
    void OnDragEnter(const RCPtr<LControl>& source) override { Record("enter", source); }
    void OnDragLeave(const RCPtr<LControl>& source) override { Record("leave", source); }
    int32_t OnDrop(const RCPtr<LControl>& source) override
    {
        Record("drop", source);
        return S_OK;
    }
    std::vector<std::string> events;

private:
    void Record(const char* what, const RCPtr<LControl>& source)
    {
        events.push_back(std::string(what) + " " + NarrowString(source->GetName()).GetText());
    }
};

class FileDropperTest : public svtest::PointerSkinFixture
{
protected:
    void SetUp() override
    {
        LoadSkin(kDropperSkin);
        ASSERT_TRUE(CreateWindow(u"window", 300, 200));
        dropper = root->FindChildControl(u"dropper");
        ASSERT_TRUE(dynamic_cast<LFileDropper*>(dropper.Get()));
    }
    void TearDown() override
    {
        dropper = nullptr;
        svtest::PointerSkinFixture::TearDown();
    }

    RCPtr<LControl> dropper;
};

TEST_F(FileDropperTest, IsCreatedShownAndNeverTakesTheFocus)
{
    EXPECT_TRUE(dropper->IsVisible(true));
    EXPECT_TRUE(dropper->IsNotFocusable());
    Press(30, 30);
    EXPECT_FALSE(dropper->HasFocus());
    Release(30, 30);
}

TEST_F(FileDropperTest, PressAndReleaseWithoutMovingIsAWholeDragThatRemovesTheDropper)
{
    Press(30, 30);
    // The press itself began the drag of the dropper on both axes.
    EXPECT_TRUE(dropper->IsDragging(0));
    EXPECT_EQ(dropper->GetDragMode(), LControl::kDragDrop);
    EXPECT_EQ(dropper->GetDragFlags(), 3u);
    EXPECT_EQ(dropper->GetDragThreshold(), 0);

    Release(30, 30);
    EXPECT_FALSE(dropper->IsDragging(0));
    EXPECT_FALSE(dropper->HasCapture());
    // Hidden at once, still a child until the parent's next idle pass.
    EXPECT_FALSE(dropper->IsVisible(false));
    EXPECT_EQ(root->FindChildControl(u"dropper").Get(), dropper.Get());
    window->SendIdle();
    EXPECT_FALSE(root->FindChildControl(u"dropper"));
    EXPECT_FALSE(dropper->GetParent());
    EXPECT_EQ(root->GetIdleRequests(), 0);
}

TEST_F(FileDropperTest, FollowsThePointerAndIsOfferedToTheControlItIsDroppedOn)
{
    RCPtr<DropTarget> target(new DropTarget(root, {150, 20, 100, 100}));
    Press(30, 30);
    Move(80, 40);
    EXPECT_EQ(dropper->GetRect(), (RectT<double>{70, 30, 30, 30}));
    EXPECT_TRUE(target->events.empty());
    Move(170, 50);
    EXPECT_EQ(target->events, (std::vector<std::string>{"enter dropper"}));
    Release(170, 50);
    EXPECT_EQ(target->events,
              (std::vector<std::string>{"enter dropper", "drop dropper", "leave dropper"}));
    window->SendIdle();
    EXPECT_FALSE(root->FindChildControl(u"dropper"));
    EXPECT_TRUE(root->FindChildControl(u"target"));
}

} // namespace
