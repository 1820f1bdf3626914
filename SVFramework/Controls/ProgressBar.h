// The framework's horizontal progress bar ("Framework.ProgressBar"): its value is the progress
// in percent; it widens an overlay, writes the percentage into a label and, while estimating,
// the time that remains at the average rate since the estimate began.
#pragma once

#include "ControlBase/Control.h"

namespace SV {

class LProgressBar : public LControl
{
public:
    LProgressBar(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived = true);
    ~LProgressBar() override;

    static RCPtr<LControl> CreateControl(const RCPtr<LControl>& parent,
                                         const ConstRCPtr<LControlDescriptor>& descriptor);

    // Shows the time label with "1 Hour 2 Minutes 5 Seconds Remaining" and the like; a negative
    // number counts as 0.
    virtual void SetTimeRemaining(int32_t seconds);
    virtual void SetEstimating(bool on);
    bool IsEstimating() const { return mEstimating; }

    void OnValueChanged() override;
    // Throws the null-pointer runtime error when one of the three parts is missing.
    int32_t Initialize() override;
    int32_t FinishCreate() override;

    // The remaining-time text in the words given: hours, minutes and seconds (singular and
    // plural each) and "remaining".
    static WideString FormatTimeRemaining(int32_t seconds, const WideString (&words)[7]);

private:
    void UpdateEstimate();

    ControlNotificationHandler<LProgressBar> mHandler{this};
    RCPtr<LControl> mOverlay;
    RCPtr<LControl> mTimeLabel;
    RCPtr<LControl> mPercentLabel;
    WideString mWords[7];
    double mEstimateStartTime = 0.0;
    double mEstimateStartValue = 0.0;
    double mSampleTime = 0.0;
    double mSampleValue = 0.0;
    bool mEstimating = false;
};

} // namespace SV
