// The framework's level meter ("Framework.LevelMeter"): a bar that shows the level its owner
// gives it, with an optional peak mark and a clip light. The meter keeps no time of its own:
// it draws exactly what each call hands it.
#pragma once

#include "ControlBase/Control.h"

namespace SV {

class LLevelMeter : public LControl
{
public:
    LLevelMeter(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived = true);
    ~LLevelMeter() override;

    static RCPtr<LControl> CreateControl(const RCPtr<LControl>& parent,
                                         const ConstRCPtr<LControlDescriptor>& descriptor);

    // The level (0..1) and peak with the clip state given last.
    virtual int32_t SetLevel(double level, double peak);
    // A clip state other than the last one lights the clip light; the same one puts it out
    // unless the light is latched.
    virtual int32_t SetLevel(double level, double peak, int32_t clipState);
    // Puts the clip light out; a latched light stays lit until the user clicks it. E_FAIL
    // without a clip light.
    virtual int32_t SetClipLatch(bool latch);
    virtual bool IsClipLit() const;
    virtual int32_t GetClipState() const { return mClipState; }
    virtual void SetClipState(int32_t state) { mClipState = state; }

    void OnValueChanged() override;
    // Throws the null-pointer runtime error when "activeOverlay" or "clipButton" is missing.
    int32_t Initialize() override;
    int32_t FinishCreate() override;

private:
    int32_t OnClipClick(const ConstRCPtr<LNotificationDistributor>& sender,
                        const ConstRCPtr<LNotification>& notification);
    int32_t Axis() const { return mOrientation == 1 ? 1 : 0; }
    void ShowOverlay(double level);
    void ShowPeak(double peak);

    ControlNotificationHandler<LLevelMeter> mHandler{this};
    int32_t mClipState = 0;
    bool mClipLatch = false;
    PointT<double> mPeakStart;
    PointT<double> mPeakEnd;
    RCPtr<LControl> mPeakMark;
    RCPtr<LControl> mOverlay;
    RCPtr<LControl> mClipLight;
    bool mUpdating = false;
    int32_t mOrientation = 0;
};

} // namespace SV
