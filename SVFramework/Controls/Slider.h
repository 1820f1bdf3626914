// The framework's slider ("Framework.Slider"): a panel with a thumb that moves along a straight
// track between the hidden markers "thumbStart" (bottom of the range) and "thumbEnd" (top), in
// any direction. The thumb is made from the start marker's description. It is dragged (a value
// from outside waits until the release), pages towards a press on the track, steps by one on
// the arrow keys and the wheel, and reports drags and key use through notifications.
#pragma once

#include "Controls/Panel.h"

namespace SV {

class LSlider : public LPanel
{
public:
    // Looks: normal, containing the keyboard focus, disabled.
    enum : int32_t
    {
        kLookNormal = 0,
        kLookFocused = 1,
        kLookDisabled = 2,
    };

    static constexpr double kDefaultPageStep = 0.1;
    static constexpr double kFirstPageDelay = 0.3;
    static constexpr double kPageInterval = 0.1;

    LSlider(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived = true);
    ~LSlider() override;

    static RCPtr<LControl> CreateControl(const RCPtr<LControl>& parent,
                                         const ConstRCPtr<LControlDescriptor>& descriptor);

    // During a thumb drag a value from outside waits as the pending value and the current one is
    // answered; it is applied when the drag ends.
    double SetNormalizedValue(double value) override;
    void EndResize() override;
    void OnConditionsChanged(const RCPtr<LConditionsParam>& conditions) override;
    int32_t HandleVerticalWheel(const ConstRCPtr<LMouseWheelParam>& event) override;
    int32_t HandleHorizontalWheel(const ConstRCPtr<LMouseWheelParam>& event) override;
    // The click on the track pages towards the click point once.
    void BeforeLeftClick(const ConstRCPtr<LMouseButtonParam>& event) override;
    // The arrow keys, for the slider itself and for keys its children did not use.
    int32_t HandleKey(const ConstRCPtr<LKeyParam>& key) override;
    void BubbleKey(const ConstRCPtr<LKeyParam>& key) override;
    void OnIdle() override;
    // Throws the null-pointer runtime error when a marker is missing.
    int32_t Initialize() override;
    // A child without a description is taken only as the thumb; E_FAIL for any other.
    int32_t AttachChild(const RCPtr<LControl>& child,
                        const ConstRCPtr<LControlDescriptor>& descriptor) override;
    int32_t FinishCreate() override;
    int32_t ReleaseHook() override;

    // Moves the thumb to where the value says; nothing while it is dragged.
    void UpdateThumb();
    // Pages the value towards a point of the slider's client coordinates.
    void PageTowards(const PointT<double>& point);
    // The point of the track nearest to a thumb position, within the markers' box.
    PointT<double> ProjectOntoTrack(const PointT<double>& point) const;

    const RCPtr<LControl>& GetThumb() const { return mThumb; }
    bool IsThumbDragged() const { return mDragging; }
    bool IsPaging() const { return mPaging; }
    bool IsKeyHeld() const { return mKeyHeld; }
    double GetPendingValue() const { return mPendingValue; }
    const PointT<int32_t>& GetHotSpot() const { return mHotSpot; }
    void SetPageStep(double step) { mPageStep = step; }
    double GetPageStep() const { return mPageStep; }
    // The track's length: the distance between the markers.
    double GetTrackLength() const;

private:
    int32_t OnThumbMouseMove(const ConstRCPtr<LNotificationDistributor>& sender,
                             const ConstRCPtr<LNotification>& notification);
    int32_t OnThumbDragCondition(const ConstRCPtr<LNotificationDistributor>& sender,
                                 const ConstRCPtr<LNotification>& notification);

    // The start marker's description under the name "thumb", placed by position alone.
    RCPtr<LControlDescriptor> MakeThumbDescriptor() const;
    void SetValueFromThumb();
    void SetThumbPosition(const PointT<double>& position);
    PointT<double> Start() const;
    PointT<double> End() const;
    PointT<double> ThumbPosition() const;
    // The arrow-key table; 0 used, 1 not.
    int32_t UseKey(const ConstRCPtr<LKeyParam>& key);
    void StepBy(double units);
    void StartPaging();
    void StopPaging();
    bool IsPointerOverForPaging() const;
    // The pointer in the slider's client coordinates.
    PointT<double> PointerPosition() const;

    ControlNotificationHandler<LSlider> mHandler{this};
    RCPtr<LControl> mThumb;
    RCPtr<LControl> mStartMarker;
    RCPtr<LControl> mEndMarker;
    bool mDragging = false;
    PointT<int32_t> mGrabOffset;
    double mPageStep = kDefaultPageStep;
    bool mPaging = false;
    double mLastPageTick = 0.0;
    double mPageCountdown = 0.0;
    double mPendingValue = -1.0;
    bool mApplyPendingOnRelease = true;
    bool mKeyHeld = false;
    PointT<int32_t> mHotSpot;
};

} // namespace SV
