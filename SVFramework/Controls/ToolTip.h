// The framework's tool tip ("Framework.ToolTip"): the small text balloon shown near the pointer
// while it rests over a control that offers a tool-tip text. A fresh one is made from the skin's
// "toolTip" template as a child of that control for every showing; it times itself at idle
// passes on the application clock and leaves its owner at the owner's next idle pass once hidden.
#pragma once

#include "ControlBase/Control.h"
#include "ControlBase/ToolTipControl.h"

#include <cstdint>

namespace SV {

class LToolTip : public LControl, public IToolTipControl
{
public:
    enum : int32_t
    {
        kStateIdle = 0,
        kStatePending = 1,
        kStateShown = 2,
    };

    // How long the pointer rests before the tip shows, how long it stays, and how recent the
    // last hide must be for the next tip to show at once (moving straight between owners).
    static constexpr uint32_t kShowDelayMs = 500;
    static constexpr uint32_t kShowDurationMs = 5000;
    static constexpr uint32_t kRecentHideMs = 50;
    // The tip's corner sits this far below the pointer, and keeps this far from the window's
    // width at most.
    static constexpr double kPointerGap = 20.0;
    static constexpr double kWindowMargin = 8.0;

    LToolTip(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived = true);

    static RCPtr<LControl> CreateControl(const RCPtr<LControl>& parent,
                                         const ConstRCPtr<LControlDescriptor>& descriptor);

    // Starts the delay, or shows at once when a visible tip was hidden less than 50 ms ago.
    void Show() override;
    // Ends the tip and hands it to its owner to be detached at the owner's next idle pass.
    void Hide() override;
    // Puts the tip's corner at the pointer, 20 pixels lower, kept inside the window.
    int32_t PlaceNearPointer();

    int32_t GetState() const { return mState; }
    // The clock of the tips, in milliseconds: wraps after 2^32 ms, so spans are taken unsigned.
    static uint32_t Now();
    static uint32_t GetLastHideTime() { return sLastHideTime; }

    bool IsTransparentAt(const PointT<int32_t>& point) override;
    void OnIdle() override;
    int32_t ApplyProperties() override;
    int32_t FinishCreate() override;

private:
    void ShowNow(uint32_t now);

    int32_t mState = kStateIdle;
    uint32_t mTimeStamp = 0;
    bool mDismissed = false;
    static uint32_t sLastHideTime;
};

} // namespace SV
