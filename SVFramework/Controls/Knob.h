// The framework's rotary control ("Framework.Knob"), valued 0..127 and drawn as a film strip:
// its looks are pictures of successive positions. Turned by a linear drag (right or up
// increases, Ctrl for a finer grid) or, when the skin gives gesture angles, by the pointer's
// angle around its centre; stepped by the arrow keys and the wheel.
#pragma once

#include "ControlBase/Control.h"

namespace SV {

class LKnob : public LControl
{
public:
    LKnob(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived = true);

    static RCPtr<LControl> CreateControl(const RCPtr<LControl>& parent,
                                         const ConstRCPtr<LControlDescriptor>& descriptor);

    // During a drag a value from outside waits as the pending value and the current one is
    // answered; it is applied when the drag ends.
    double SetNormalizedValue(double value) override;
    void OnValueChanged() override;
    void OnConditionsChanged(const RCPtr<LConditionsParam>& conditions) override;
    void OnPointerMove(const ConstRCPtr<LPointWithModifiersParam>& event) override;
    int32_t HandleVerticalWheel(const ConstRCPtr<LMouseWheelParam>& event) override;
    int32_t HandleKey(const ConstRCPtr<LKeyParam>& key) override;
    int32_t Initialize() override;
    int32_t FinishCreate() override;

    // The radial gesture at a point of the knob's coordinates.
    void ApplyRadialGesture(int32_t x, int32_t y);
    // Brings an angle in degrees into [0, 360).
    static double NormalizeAngle(double degrees);
    // The angle of a point seen from the centre: 0 at 12 o'clock, growing clockwise on screen.
    static double ToPolar(double dx, double dy);

    bool IsRadial() const { return mRadialMode == 1; }
    int32_t GetLinearGestureRange() const { return mLinearRange; }
    double GetFineAdjustMultiplier() const { return mFineAdjust; }
    uint32_t GetFrameLookCount() const { return mFrameCount; }

private:
    void ApplyLinearGesture(int32_t x, int32_t y, bool fine);
    // Lays an overlay look's client picture over every frame look, or takes it away.
    void SetFrameOverlay(int32_t overlayLook, bool on);
    void StepBy(double units);

    int32_t mRadialMode = 0;
    int32_t mLinearRange = 0;
    double mStartAngle = 0.0;
    double mEndAngle = 0.0;
    double mFineAdjust = 0.0;
    uint32_t mFrameCount = 0;
    PointT<int32_t> mLastPoint;
    PointT<int32_t> mPreviousPoint;
    PointT<int32_t> mCentre;
    double mPendingValue = -1.0;
    bool mKeyHeld = false;
    int32_t mFocusOverlayLook = -1;
    int32_t mDisabledOverlayLook = -1;
};

} // namespace SV
