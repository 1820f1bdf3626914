#include "Notification/NotificationNames.h"
#include "RootWindowFixture.h"

#include "Notification/NotificationId.h"
#include "ResultCodes.h"
#include "System/ModifierKeys.h"
#include "VirtualKeys.h"

#include <gtest/gtest.h>

using namespace SV;
using svtest::InputControl;
using svtest::LogRecorder;
using svtest::RootWindowFixture;

namespace {

using Log = std::vector<std::string>;

class RootWindowFocusTest : public RootWindowFixture
{
protected:
    RootWindowFocusTest()
    {
        // main holds a group "g1" of three focusable controls and a group "g2" of two.
        a->Detach();
        b->Detach();
        g1 = Make(main, u"g1", 0, 0, 100, 100, [](LLayoutDescriptor& l) { l.tabStop = 1; });
        g2 = Make(main, u"g2", 100, 0, 100, 100, [](LLayoutDescriptor& l) { l.tabStop = 2; });
        for (int i = 0; i < 3; ++i) {
            c[i] = Make(g1, Name(u"c", i), 0, 30.0 * i, 20, 20, Tab(i));
        }
        for (int i = 0; i < 2; ++i) {
            d[i] = Make(g2, Name(u"d", i), 0, 30.0 * i, 20, 20, Tab(i));
        }
        for (const auto& control : {main, g1, g2, c[0], c[1], c[2], d[0], d[1]}) {
            control->SetFocusable(false);
        }
        log.clear();
    }

    static const char16_t* Name(const char16_t* prefix, int i)
    {
        static const char16_t* names[2][3] = {{u"c0", u"c1", u"c2"}, {u"d0", u"d1", u"d2"}};
        return names[prefix[0] == u'c' ? 0 : 1][i];
    }
    static std::function<void(LLayoutDescriptor&)> Tab(int stop)
    {
        return [stop](LLayoutDescriptor& l) { l.tabStop = stop; };
    }
    void Press(uint32_t virtualKey, uint32_t modifiers = 0)
    {
        window->OnKey(Key(virtualKey, modifiers));
    }
    const LControl* Focused() const { return window->GetFocusedControl().Get(); }
    // A new size through the control's layout, which its next layout keeps.
    static void Resize(LControl& control, double width, double height)
    {
        control.GetLayout()->axes[0].size.absolute = width;
        control.GetLayout()->axes[1].size.absolute = height;
        control.UpdateLayout();
    }

    RCPtr<InputControl> g1;
    RCPtr<InputControl> g2;
    RCPtr<InputControl> c[3];
    RCPtr<InputControl> d[2];
};

TEST_F(RootWindowFocusTest, FocusChainMarksAncestorsAndMovesBetweenBranches)
{
    EXPECT_GE(c[1]->SetFocus(true), 0);
    EXPECT_EQ(Focused(), c[1].Get());
    EXPECT_TRUE(c[1]->HasFocus());
    EXPECT_TRUE(g1->ContainsFocus());
    EXPECT_TRUE(main->ContainsFocus());
    d[0]->SetFocus(true);
    EXPECT_FALSE(c[1]->HasFocus());
    EXPECT_FALSE(g1->ContainsFocus());
    EXPECT_TRUE(g2->ContainsFocus());
    EXPECT_EQ(Focused(), d[0].Get());
    EXPECT_EQ(window->GetLastFocusedControl().Get(), c[1].Get());
}

TEST_F(RootWindowFocusTest, ContainerPutsTheFocusOnItsFirstOrLastFocusableChild)
{
    g1->SetFocus(true);
    EXPECT_EQ(Focused(), c[0].Get());
    g2->SetFocus(false);
    EXPECT_EQ(Focused(), d[1].Get());
}

TEST_F(RootWindowFocusTest, TabCyclesInsideTheGroupAndShiftTabGoesBack)
{
    c[0]->SetFocus(true);
    const LControl* forward[] = {c[1].Get(), c[2].Get(), c[0].Get()};
    for (const LControl* expected : forward) {
        Press(VK_TAB);
        EXPECT_EQ(Focused(), expected);
    }
    Press(VK_TAB, kModifierShift);
    EXPECT_EQ(Focused(), c[2].Get());
}

TEST_F(RootWindowFocusTest, CtrlTabMovesToTheNextGroupAndWrapsAtTheTopWithOneWindow)
{
    c[1]->SetFocus(true);
    Press(VK_TAB, kModifierCtrl);
    EXPECT_EQ(Focused(), d[0].Get());
    // From the last group the step leaves main: the root window wraps inside its one window.
    Press(VK_TAB, kModifierCtrl);
    EXPECT_EQ(Focused(), c[0].Get());
    Press(VK_TAB, kModifierCtrl | kModifierShift);
    EXPECT_EQ(Focused(), d[1].Get());
}

TEST_F(RootWindowFocusTest, TabHandOverIsIgnoredInAModalWindow)
{
    c[0]->SetFocus(true);
    services.modal = true;
    window->TabToNextWindow(Key(VK_TAB));
    EXPECT_EQ(Focused(), c[0].Get());
}

TEST_F(RootWindowFocusTest, ControlThatWantsTabKeepsTheFocus)
{
    RCPtr<svtest::InputControl> editor = Make(g1, u"editor", 0, 90, 20, 5, Tab(3));
    editor->SetFocusable(false);
    editor->WantTab();
    editor->SetFocus(true);
    Press(VK_TAB);
    EXPECT_EQ(Focused(), editor.Get());
}

TEST_F(RootWindowFocusTest, FocusableMarkFollowsTheSignOfTheTabStop)
{
    struct Case
    {
        int32_t before;
        bool notFocusable;
        int32_t after;
    };
    for (const Case& k :
         {Case{0, true, -1}, Case{-1, false, 1}, Case{3, true, -3}, Case{2, false, 2}}) {
        c[2]->GetLayout()->tabStop = k.before;
        c[2]->SetFocusable(!k.notFocusable);
        c[2]->GetLayout()->tabStop = k.before;
        c[2]->SetFocusable(k.notFocusable);
        EXPECT_EQ(c[2]->GetLayout()->tabStop, k.after) << k.before;
    }
}

TEST_F(RootWindowFocusTest, ClickOnANotFocusableControlFocusesItsNearestFocusableAncestor)
{
    RCPtr<svtest::InputControl> label = Make(c[0], u"label", 0, 0, 10, 10);
    Move(5, 5);
    Button(0, 1, 5, 5, 1);
    Button(1, 1, 5, 5, 0);
    EXPECT_EQ(Focused(), c[0].Get());
}

TEST_F(RootWindowFocusTest, WindowFocusReturnsToTheLastControlOfThisWindow)
{
    c[2]->SetFocus(true);
    window->OnFocusLost();
    EXPECT_EQ(Focused(), nullptr);
    EXPECT_FALSE(main->ContainsFocus());
    window->OnFocusGained();
    EXPECT_EQ(Focused(), c[2].Get());
    // A remembered control that left the window does not get it back.
    window->OnFocusLost();
    c[2]->Detach();
    window->OnFocusGained();
    EXPECT_EQ(Focused(), c[0].Get());
}

TEST_F(RootWindowFocusTest, UnusedKeyBubblesToTheWindowHotKeysWhichPostUntilIdle)
{
    RCPtr<svtest::NotificationRecorder> recorder(new svtest::NotificationRecorder());
    recorder->Register(RCPtr<LNotificationDistributor>(window), kNidEditCopyRequest);
    window->GetHotKeyManager()->GetTable().AddKey(KeyCode(WideString(u"Ctrl+VKEY_C")),
                                                  kNidEditCopyRequest);
    c[0]->SetFocus(true);
    Press(0x43, kModifierCtrl);
    EXPECT_EQ(log, (Log{"c0:key 67"}));
    EXPECT_TRUE(recorder->names.empty());
    window->OnIdle(false);
    EXPECT_EQ(recorder->names, (std::vector<std::string>{"NID_EDIT_COPY_REQ"}));
    // A key the focus holder uses goes no further.
    c[0]->keyAnswer = 0;
    Press(0x43, kModifierCtrl);
    window->OnIdle(false);
    EXPECT_EQ(recorder->names.size(), 1u);
}

TEST_F(RootWindowFocusTest, SiblingLocalBindingTakesAKeyTheFocusedControlDidNotUse)
{
    // c2 binds Return to a notification that it handles itself.
    c[2]->BindLocal(u"VKEY_RETURN", kNidSimulateClick);
    c[0]->SetFocus(true);
    Press(VK_RETURN);
    EXPECT_EQ(c[2]->boundCommands, 1);
    // Pressed in c2 itself, its own binding answers before its key handler.
    c[2]->SetFocus(true);
    log.clear();
    Press(VK_RETURN);
    EXPECT_EQ(c[2]->boundCommands, 2);
    EXPECT_TRUE(log.empty());
}

TEST_F(RootWindowFocusTest, HiddenOrDisabledFocusHolderIgnoresKeys)
{
    // A holder that cannot let go of the focus in time still hears no keys.
    c[0]->SetFocus(true);
    c[0]->GetLayout()->enabled = false;
    log.clear();
    Press(0x41);
    EXPECT_TRUE(log.empty());
}

// Each way a focus holder stops taking keys: the focus moves on within its group, and keys and
// Tab go on from there.
TEST_F(RootWindowFocusTest, AHolderThatStopsTakingKeysHandsTheFocusToItsGroup)
{
    struct Case
    {
        const char* what;
        std::function<void(LControl&)> stop;
    };
    const Case cases[] = {
        {"hidden", [](LControl& c) { c.SetVisible(false); }},
        {"disabled", [](LControl& c) { c.SetEnabled(false); }},
        {"shrunk to no width", [](LControl& c) { Resize(c, 0, 20); }},
        {"shrunk to no height", [](LControl& c) { Resize(c, 20, 0); }},
    };
    for (const Case& k : cases) {
        c[1]->SetFocus(true);
        k.stop(*c[1]);
        EXPECT_FALSE(c[1]->HasFocus()) << k.what;
        EXPECT_EQ(Focused(), c[0].Get()) << k.what;
        EXPECT_TRUE(g1->ContainsFocus()) << k.what;
        log.clear();
        Press(0x41);
        EXPECT_EQ(log, (Log{"c0:key 65"})) << k.what;
        Press(VK_TAB);
        EXPECT_EQ(Focused(), c[2].Get()) << k.what;

        c[1]->SetVisible(true);
        c[1]->SetEnabled(true);
        Resize(*c[1], 20, 20);
    }
}

// The way a drop-down list works: the list is shown while its owner holds the focus and takes
// it; hidden again, it gives the focus back to its owner, from where Tab goes on.
TEST_F(RootWindowFocusTest, AShownChildTakesTheFocusItsParentHoldsAndGivesItBackWhenHidden)
{
    RCPtr<InputControl> list = Make(c[0], u"list", 0, 20, 20, 40);
    list->SetFocusable(false);
    list->SetVisible(false);
    c[0]->SetFocus(true);
    ASSERT_TRUE(c[0]->HasFocus());
    list->SetVisible(true);
    EXPECT_EQ(Focused(), list.Get());
    EXPECT_TRUE(c[0]->ContainsFocus());
    list->SetVisible(false);
    EXPECT_EQ(Focused(), c[0].Get());
    EXPECT_FALSE(c[0]->ContainsFocus());
    Press(VK_TAB);
    EXPECT_EQ(Focused(), c[1].Get());

    // Enabled again under a parent that holds the focus: the same.
    list->SetEnabled(false);
    list->SetVisible(true);
    c[0]->SetFocus(true);
    ASSERT_TRUE(c[0]->HasFocus());
    list->SetEnabled(true);
    EXPECT_EQ(Focused(), list.Get());
    // Shown while the parent only contains the focus: it stays where it is.
    list->SetVisible(false);
    c[2]->SetFocus(true);
    list->SetVisible(true);
    EXPECT_EQ(Focused(), c[2].Get());
}

TEST_F(RootWindowFocusTest, AHiddenGroupHandsTheFocusToTheNextGroupThroughItsParent)
{
    c[2]->SetFocus(true);
    g1->SetVisible(false);
    EXPECT_EQ(Focused(), d[0].Get());
    EXPECT_FALSE(g1->ContainsFocus());
    EXPECT_FALSE(c[2]->HasFocus());
}

TEST_F(RootWindowFocusTest, TheLastControlThatCouldTakeTheFocusLetsItGoWhenHidden)
{
    g2->SetVisible(false);
    c[1]->SetVisible(false);
    c[2]->SetVisible(false);
    c[0]->SetFocus(true);
    // Containers that cannot hold the focus themselves.
    for (const auto& control : {main, g1}) {
        control->SetFocusable(true);
    }
    c[0]->SetVisible(false);
    EXPECT_EQ(Focused(), nullptr);
    EXPECT_FALSE(c[0]->HasFocus());
    EXPECT_FALSE(g1->ContainsFocus());
    EXPECT_FALSE(main->ContainsFocus());
}

TEST_F(RootWindowFocusTest, WindowWithoutKeyboardFocusAsksForItWhenAMainControlComes)
{
    window->SetMainControl(nullptr);
    services.hasFocus = false;
    services.focusRequests = 0;
    window->SetMainControl(RCPtr<LControl>(main));
    EXPECT_EQ(services.focusRequests, 1);
    EXPECT_EQ(Focused(), nullptr);
}

} // namespace
