#include "ControlSkinFixture.h"
#include "Notification/NotificationNames.h"
#include "RecordingWindowServices.h"

#include "ControlBase/ControlCreator.h"
#include "Controls/Dialog.h"
#include "Notification/Notification.h"
#include "Notification/NotificationClient.h"
#include "Notification/NotificationId.h"
#include "Windows/MouseParams.h"

#include <string>
#include <vector>

using namespace SV;

namespace {

// Every standard button, "buttonYes" as a label (any control that raises "NID_LEFT_CLICK"), and
// a field that refuses to give up the focus.
const char* const kDialogSkin = R"(
    <Skin Name="Default">
      <SubControl Class="Test.Dialog" Name="dialog" XSizeAbs="300" YSizeAbs="200">
        <Skin Name="dialog">
          <SubControl Class="Framework.Button" Name="buttonOK" XSizeAbs="40" YSizeAbs="20"/>
          <SubControl Class="Framework.Button" Name="buttonClose" XPositionAbs="40" XSizeAbs="40" YSizeAbs="20"/>
          <SubControl Class="Framework.Button" Name="buttonCancel" XPositionAbs="80" XSizeAbs="40" YSizeAbs="20"/>
          <SubControl Class="Framework.Button" Name="buttonAbort" XPositionAbs="120" XSizeAbs="40" YSizeAbs="20"/>
          <SubControl Class="Framework.Button" Name="buttonRetry" XPositionAbs="160" XSizeAbs="40" YSizeAbs="20"/>
          <SubControl Class="Framework.Button" Name="buttonIgnore" XPositionAbs="200" XSizeAbs="40" YSizeAbs="20"/>
          <SubControl Class="Framework.Label" Name="buttonYes" YPositionAbs="40" XSizeAbs="40" YSizeAbs="20"/>
          <SubControl Class="Framework.Button" Name="buttonNo" XPositionAbs="40" YPositionAbs="40" XSizeAbs="40" YSizeAbs="20"/>
          <SubControl Class="Test.Stubborn" Name="field" YPositionAbs="80" XSizeAbs="100" YSizeAbs="20"/>
        </Skin>
      </SubControl>
      <SubControl Class="Test.Dialog" Name="bare" XSizeAbs="100" YSizeAbs="100"/>
    </Skin>)";

class TestDialog : public LDialog
{
public:
    using LDialog::LDialog;
    void OnDialogClosed() override { ++closedHooks; }
    int32_t closedHooks = 0;
};

// A field that keeps the focus while it is stubborn.
class StubbornControl : public LControl
{
public:
    using LControl::LControl;
    bool CanLoseFocus() override { return !stubborn; }
    bool stubborn = true;
};

// Records the dialog's notifications and, while asked to, vetoes its end.
class Listener : public LNotificationClient
{
public:
    void Receive(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                 const ConstRCPtr<LNotification>& notification) override
    {
        names.emplace_back(NarrowString(GetNotificationName(notification->GetId())).GetText());
        if (auto* args = dynamic_cast<LCancelArgs*>(
                const_cast<LRefCountedObject*>(notification->GetPayload().Get()))) {
            args->mCancel = veto;
        }
    }
    std::vector<std::string> names;
    bool veto = false;
};

class DialogTest : public svtest::ControlSkinFixture
{
protected:
    void SetUp() override
    {
        app.mFactory->RegisterControlCreateFunction(u"Test.Dialog", &CreateControlOf<TestDialog>);
        app.mFactory->RegisterControlCreateFunction(u"Test.Stubborn",
                                                    &CreateControlOf<StubbornControl>);
        LoadSkin(kDialogSkin);
        dialog = MakeDialog(u"dialog");
        ASSERT_TRUE(dialog);
        listener = RCPtr<Listener>(new Listener());
        for (const char16_t* name : {kNidDialogClosing, kNidDialogClosed}) {
            listener->Register(RCPtr<LNotificationDistributor>(dialog), name);
        }
    }

    void TearDown() override
    {
        listener->UnregisterAll();
        for (const RCPtr<TestDialog>& made : dialogs) {
            made->Detach();
        }
        svtest::ControlSkinFixture::TearDown();
    }

    RCPtr<TestDialog> MakeDialog(const char16_t* name)
    {
        RCPtr<TestDialog> made(
            dynamic_cast<TestDialog*>(app.mFactory->CreateRootControl(name, nullptr).Get()));
        if (made) {
            dialogs.push_back(made);
        }
        return made;
    }

    static void Click(LControl& control)
    {
        control.OnLeftClick(RCPtr<LMouseButtonParam>(new LMouseButtonParam(1, 5, 5, 0, 0, 0, 0)));
    }

    // Runs the dialog modally; the action runs at the first pass of the modal loop.
    int32_t RunWith(const std::function<void()>& action)
    {
        bool done = false;
        app.mOnModalPass = [&](const RCPtr<LRootWindow>& /*window*/) {
            if (!done) {
                done = true;
                action();
            }
        };
        return dialog->DoModal();
    }

    RCPtr<TestDialog> dialog;
    RCPtr<Listener> listener;
    std::vector<RCPtr<TestDialog>> dialogs;
};

TEST_F(DialogTest, EveryStandardButtonEndsTheModalRunWithItsResult)
{
    struct Case
    {
        const char16_t* button;
        int32_t result;
    };
    const Case cases[] = {
        {u"buttonOK", 1},    {u"buttonClose", 1},  {u"buttonCancel", 2}, {u"buttonAbort", 3},
        {u"buttonRetry", 4}, {u"buttonIgnore", 5}, {u"buttonYes", 6},    {u"buttonNo", 7},
    };
    for (const Case& c : cases) {
        const RCPtr<TestDialog> fresh = MakeDialog(u"dialog");
        app.mOnModalPass = [&](const RCPtr<LRootWindow>& /*window*/) {
            if (fresh->GetResult() == 0) {
                Click(*fresh->FindChildControl(c.button));
            }
        };
        EXPECT_EQ(fresh->DoModal(), c.result) << NarrowString(c.button).GetText();
        EXPECT_EQ(fresh->closedHooks, 1);
    }
    EXPECT_TRUE(app.mLastModalSystemMenu);
}

TEST_F(DialogTest, AVetoKeepsTheDialogOpenUntilAnEndIsAllowed)
{
    listener->veto = true;
    int32_t passes = 0;
    app.mOnModalPass = [&](const RCPtr<LRootWindow>& /*window*/) {
        ++passes;
        if (passes == 1) {
            Click(*dialog->FindChildControl(u"buttonCancel"));
        } else if (passes == 3) {
            listener->veto = false;
            EXPECT_EQ(dialog->EndDialog(9), S_OK);
        }
    };
    EXPECT_EQ(dialog->DoModal(), 9);
    EXPECT_EQ(passes, 3) << "the vetoed end left the run going";
    EXPECT_EQ(listener->names, (std::vector<std::string>{"NID_DIALOG_CLOSING", "NID_DIALOG_CLOSING",
                                                         "NID_DIALOG_CLOSED"}));
    EXPECT_EQ(dialog->closedHooks, 1);
}

TEST_F(DialogTest, OkWaitsForTheFocusAndTheLaterOfTwoEndsWins)
{
    const int32_t result = RunWith([&] {
        LControl& field = *dialog->FindChildControl(u"field");
        ASSERT_GE(field.SetFocus(true), 0);
        Click(*dialog->FindChildControl(u"buttonOK"));
        EXPECT_TRUE(listener->names.empty()) << "a refused focus move sends nothing";
        EXPECT_EQ(dialog->GetResult(), 0);
        dialog->EndDialog(3);
        dialog->EndDialog(4);
    });
    EXPECT_EQ(result, 4);
    EXPECT_EQ(listener->names,
              (std::vector<std::string>{"NID_DIALOG_CLOSING", "NID_DIALOG_CLOSED",
                                        "NID_DIALOG_CLOSING", "NID_DIALOG_CLOSED"}));
    EXPECT_EQ(dialog->closedHooks, 2);
}

TEST_F(DialogTest, TheWindowsCloseCommandCancelsADialogAndClosesAnyOtherWindow)
{
    EXPECT_EQ(RunWith([&] { dialog->GetRootWindowRef()->CloseWindow(); }), 2);

    listener->veto = true;
    int32_t passes = 0;
    app.mModalPassLimit = 5;
    app.mOnModalPass = [&](const RCPtr<LRootWindow>& modalWindow) {
        if (++passes == 1) {
            modalWindow->CloseWindow();
        }
    };
    EXPECT_EQ(dialog->DoModal(), -1) << "a vetoed close leaves the run to its end";

    svtest::RecordingWindowServices services;
    const RCPtr<LRootWindow> plain(new LRootWindow(nullptr, &services));
    plain->SetMainControl(RCPtr<LControl>(new LControl(nullptr, u"plain")));
    plain->CloseWindow();
    EXPECT_TRUE(plain->IsCloseRequested());
    plain->OnIdle(false);
    EXPECT_EQ(services.endModalResults, std::vector<int32_t>{0});
    plain->SetMainControl(nullptr);
}

TEST_F(DialogTest, ADialogOutsideAnyWindowCannotEndAndAHeadlessOneEndsAllTheSame)
{
    EXPECT_EQ(dialog->EndDialog(6), E_FAIL);
    EXPECT_EQ(dialog->GetResult(), 0);
    EXPECT_TRUE(listener->names.empty());
    EXPECT_EQ(dialog->closedHooks, 0);

    const RCPtr<LRootWindow> headless(new LRootWindow());
    ASSERT_EQ(dialog->SetRootWindow(headless), S_OK);
    EXPECT_EQ(dialog->EndDialog(6), S_OK);
    EXPECT_EQ(dialog->GetResult(), 6);
    EXPECT_EQ(listener->names,
              (std::vector<std::string>{"NID_DIALOG_CLOSING", "NID_DIALOG_CLOSED"}));
    EXPECT_EQ(dialog->closedHooks, 1);
    dialog->SetRootWindow(nullptr);
}

TEST_F(DialogTest, ADialogWithoutButtonsEndsOnlyByCodeAndNoWindowMeansNoRun)
{
    const RCPtr<TestDialog> bare = MakeDialog(u"bare");
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->GetChildren().GetCount(), 0);
    app.mOnModalPass = [&](const RCPtr<LRootWindow>& /*window*/) { bare->EndDialog(5); };
    EXPECT_EQ(bare->DoModal(), 5);

    app.mModalWindowsFail = true;
    EXPECT_EQ(bare->DoModal(), E_FAIL);
}

} // namespace
