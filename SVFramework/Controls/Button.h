// The framework's push button ("Framework.Button"): plain button, toggle, radio button,
// auto-repeating arrow and the thumb of scroll bars and sliders. It draws through its looks,
// chosen from its state by the 14-look convention (normal, hover, pressed, each focused, and
// disabled; the same seven again when checked), and reports through notifications.
#pragma once

#include "ControlBase/Control.h"

namespace SV {

class LKeyParam;

class LButton : public LControl
{
public:
    // The look-index convention shared with the list rows.
    enum : int32_t
    {
        kLookNormal = 0,
        kLookHover = 1,
        kLookPressed = 2,
        kLookFocusedOffset = 3,
        kLookDisabled = 6,
        kLookCheckedOffset = 7,
        kLookCheckedDisabled = 13,
    };

    LButton(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived = true);
    ~LButton() override;

    static RCPtr<LControl> CreateControl(const RCPtr<LControl>& parent,
                                         const ConstRCPtr<LControlDescriptor>& descriptor);

    virtual int32_t SetAutoValueSet(bool on);
    virtual int32_t SetRadio(bool on);
    // true when the value is now checked (0.5 or more).
    virtual bool SetChecked(bool checked);
    virtual int32_t UpdateStateLook();

    // Flags an owning control sets on its parts.
    void SetAutoRepeat(bool on) { mAutoRepeat = on; }
    void SetPassThrough(bool on) { mPassThrough = on; }
    void SetKeepPressed(bool on) { mKeepPressed = on; }
    bool IsAutoValueSet() const { return mAutoValueSet; }
    bool IsRadio() const { return mRadio; }
    bool IsChecked() const { return GetNormalizedValue() >= 0.5; }
    bool IsHeld() const { return mHeld; }
    bool IsSimulatedClickPending() const { return mSimulatedClickPending; }

    // Shows the pressed look for a moment, then clicks; a click still pending is done at once.
    void SimulateClick();

    // The look index the state asks for; -1 while the look is left alone.
    int32_t ComputeStateLook() const;

    void OnValueChanged() override;
    void OnConditionsChanged(const RCPtr<LConditionsParam>& conditions) override;
    void SetEnabled(bool enabled) override;
    void BeforeLeftClick(const ConstRCPtr<LMouseButtonParam>& event) override;
    bool ContainsPoint(const PointT<int32_t>& point) const override;
    int32_t HandleKey(const ConstRCPtr<LKeyParam>& key) override;
    void OnIdle() override;
    int32_t Initialize() override;
    WideString GetToolTipText() const override;

    static constexpr double kRepeatInterval = 0.1;
    static constexpr double kFirstDelay = 0.3;
    static constexpr double kSimulatedPressDuration = 0.15;

private:
    int32_t OnSimulateClick(const ConstRCPtr<LNotificationDistributor>& sender,
                            const ConstRCPtr<LNotification>& notification);
    void PerformClick();
    // One idle request while a hold or a simulated click lasts.
    void UpdateIdleRequest();

    ControlNotificationHandler<LButton> mHandler{this};
    bool mAutoValueSet = false;
    bool mRadio = false;
    bool mAutoRepeat = false;
    bool mPassThrough = false;
    bool mHeld = false;
    bool mKeepPressed = false;
    double mLastTick = 0.0;
    double mRemaining = 0.0;
    double mSimulatedPressStart = 0.0;
    bool mSimulatedClickPending = false;
    bool mIdleHeld = false;
};

} // namespace SV
