#include "ControlApplicationDouble.h"
#include "ControlFixtures.h"
#include "Notification/NotificationNames.h"

#include "ResultCodes.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace SV;
using svtest::At;
using svtest::MakeControl;
using svtest::NotificationRecorder;

namespace {

using Names = std::vector<std::string>;

class ControlConditionsTest : public ::testing::Test
{
protected:
    ControlConditionsTest()
    {
        panel = MakeControl(nullptr, u"panel", At(0, 0, 100, 100));
        panel->SetRect({0, 0}, {100, 100});
        a = MakeControl(panel, u"a", At(0, 0, 10, 10));
        b = MakeControl(panel, u"b", At(0, 0, 10, 10));
        grandchild = MakeControl(b, u"grandchild", At(0, 0, 5, 5));
        for (const RCPtr<LControl>& c : {panel, a, b, grandchild}) {
            c->UpdateLayout();
            c->UpdateConditions();
        }
    }

    svtest::ControlApplicationDouble app;
    RCPtr<LControl> panel, a, b, grandchild;
    RCPtr<NotificationRecorder> recorder{new NotificationRecorder()};
};

TEST_F(ControlConditionsTest, FirstUpdateAnnouncesEnabledAndVisible)
{
    RCPtr<LControl> fresh = MakeControl(panel, u"fresh", At(0, 0, 4, 4));
    fresh->UpdateLayout();
    recorder->Listen(
        fresh, {kNidConditionChange, kNidEnabledConditionChange, kNidVisibilityConditionChange});
    fresh->UpdateConditions();
    EXPECT_EQ(recorder->names, (Names{"NID_CONDITION_CHANGE", "NID_ENABLED_CONDITION_CHANGE",
                                      "NID_VISIBLITY_CONDITION_CHANGE"}));
    EXPECT_EQ(fresh->GetConditionsParam()->mNewMask, kConditionEnabled | kConditionVisible);
    // Nothing changed: nothing is sent.
    fresh->UpdateConditions();
    EXPECT_EQ(recorder->names.size(), 3u);
}

TEST_F(ControlConditionsTest, HoverHighlightAnnouncesHoverOnce)
{
    recorder->Listen(a, {kNidConditionChange, kNidHoverConditionChange});
    a->SetHoverHighlight(true);
    a->SetHoverHighlight(true);
    EXPECT_EQ(recorder->names, (Names{"NID_CONDITION_CHANGE", "NID_HOVER_CONDITION_CHANGE"}));
    auto* conditions = dynamic_cast<const LConditionsParam*>(recorder->payloads[0].Get());
    ASSERT_NE(conditions, nullptr);
    EXPECT_EQ(conditions->mNewMask & kConditionHover, kConditionHover);
    EXPECT_EQ(conditions->mOldMask & kConditionHover, 0u);
}

TEST_F(ControlConditionsTest, HidingAPanelReachesEveryVisibleDescendant)
{
    for (const RCPtr<LControl>& c : {panel, a, b, grandchild}) {
        recorder->Listen(c, {kNidVisibilityConditionChange});
    }
    EXPECT_FALSE(panel->SetVisible(false));
    ASSERT_EQ(recorder->senders.size(), 4u);
    // The panel first, then its children from the last to the first, each with its subtree.
    EXPECT_EQ(recorder->senders[0], static_cast<LNotificationDistributor*>(panel.Get()));
    EXPECT_EQ(recorder->senders[1], static_cast<LNotificationDistributor*>(b.Get()));
    EXPECT_EQ(recorder->senders[2], static_cast<LNotificationDistributor*>(grandchild.Get()));
    EXPECT_EQ(recorder->senders[3], static_cast<LNotificationDistributor*>(a.Get()));
    EXPECT_EQ(grandchild->ComputeConditions() & kConditionVisible, 0u);
}

TEST_F(ControlConditionsTest, DisablingSkipsSubtreesDisabledOnTheirOwn)
{
    b->SetEnabled(false);
    for (const RCPtr<LControl>& c : {panel, a, b, grandchild}) {
        recorder->Listen(c, {kNidEnabledConditionChange});
    }
    panel->SetEnabled(false);
    ASSERT_EQ(recorder->senders.size(), 2u);
    EXPECT_EQ(recorder->senders[0], static_cast<LNotificationDistributor*>(panel.Get()));
    EXPECT_EQ(recorder->senders[1], static_cast<LNotificationDistributor*>(a.Get()));
    EXPECT_FALSE(a->IsEnabled(true));
    EXPECT_TRUE(a->IsEnabled(false));
}

TEST_F(ControlConditionsTest, LinearAndExponentialValues)
{
    recorder->Listen(a, {kNidValueChange});
    ASSERT_EQ(a->SetValueRange(30, 240, 0), S_OK);
    EXPECT_EQ(a->SetNormalizedValue(0.5), 0.5);
    EXPECT_EQ(a->SetNormalizedValue(0.5), 0.5);
    EXPECT_EQ(a->SetNormalizedValue(1.7), 1.0);
    EXPECT_EQ(a->SetNormalizedValue(-3), 0.0);
    ASSERT_EQ(recorder->payloads.size(), 3u);
    auto* value = dynamic_cast<const LValueParam*>(recorder->payloads[0].Get());
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->mNormalizedValue, 0.5);
    EXPECT_EQ(value->mValue, 135.0);

    ASSERT_EQ(a->SetValueRange(20, 20000, 1), S_OK);
    EXPECT_NEAR(a->NormalizedToValue(0.5), 632.455532, 1e-6);
    EXPECT_EQ(a->ValueToNormalized(10), 0.0);
    EXPECT_NEAR(a->ValueToNormalized(632.455532), 0.5, 1e-9);

    const struct
    {
        double minimum, maximum;
        int32_t scale;
        int32_t result;
    } ranges[] = {{0, 10, 1, E_INVALIDARG},
                  {5, -1, 1, E_INVALIDARG},
                  {0, 1, 2, E_INVALIDARG},
                  {240, 30, 0, S_OK},
                  {5, 5, 0, S_OK}};
    for (const auto& r : ranges) {
        EXPECT_EQ(a->SetValueRange(r.minimum, r.maximum, r.scale), r.result);
    }
    // The last accepted range is 5..5: every value maps to 0.
    EXPECT_EQ(a->ValueToNormalized(5), 0.0);
    EXPECT_EQ(a->ValueToNormalized(-100), 0.0);
}

class IdleTest : public ControlConditionsTest
{
protected:
    IdleTest()
    {
        window = app.AddRootWindow({0, 0, 100, 100});
        a->Initialize();
        a->SetCreated();
    }

    // Counts the idle calls a control receives.
    class IdleCounter : public LControl
    {
    public:
        using LControl::LControl;
        void OnIdle() override { ++idleCalls; }
        int idleCalls = 0;
    };

    RCPtr<LRootWindow> window;
};

TEST_F(IdleTest, RequestsRegisterOnceAndReleasesUnregisterAtZero)
{
    EXPECT_EQ(a->RequestIdle(), S_OK);
    // Not in a window yet: registered when the tree joins one.
    EXPECT_EQ(window->GetRegistrationCount(), 0);
    panel->SetRootWindow(window);
    EXPECT_EQ(window->GetRegistrationCount(), 1);
    EXPECT_EQ(a->RequestIdle(), S_OK);
    EXPECT_EQ(window->GetRegistrationCount(), 1);
    EXPECT_EQ(a->ReleaseIdle(), S_OK);
    EXPECT_EQ(window->GetRegistrationCount(), 1);
    EXPECT_EQ(a->ReleaseIdle(), S_OK);
    EXPECT_EQ(window->GetRegistrationCount(), 0);
    // Unbalanced releases leave the count at 0, so the next request registers again.
    EXPECT_EQ(a->ReleaseIdle(), S_OK);
    EXPECT_EQ(a->GetIdleRequests(), 0);
    EXPECT_EQ(a->RequestIdle(), S_OK);
    EXPECT_EQ(window->GetRegistrationCount(), 1);
    a->Detach();
    EXPECT_EQ(a->GetIdleRequests(), 0);
    EXPECT_EQ(window->GetRegistrationCount(), 0);
}

TEST_F(IdleTest, IdlePassReachesRequestingControlsAndTimersHoldARequest)
{
    RCPtr<IdleCounter> counter(new IdleCounter(panel, u"counter"));
    counter->Initialize();
    counter->SetCreated();
    panel->SetRootWindow(window);
    window->SendIdle();
    EXPECT_EQ(counter->idleCalls, 0);

    app.mTime = 2.5;
    EXPECT_EQ(counter->StartTimer(1, 100, 50, 0, a), S_OK);
    EXPECT_EQ(counter->StartTimer(1, 200, 50, 0, nullptr), S_OK);
    EXPECT_EQ(counter->GetIdleRequests(), 1);
    window->SendIdle();
    EXPECT_EQ(counter->idleCalls, 1);
    EXPECT_EQ(counter->StopTimer(0), S_FALSE);
    EXPECT_EQ(counter->StopTimer(1), S_OK);
    EXPECT_EQ(counter->StopTimer(1), S_FALSE);
    window->SendIdle();
    EXPECT_EQ(counter->idleCalls, 1);
    panel->Detach();
}

} // namespace
