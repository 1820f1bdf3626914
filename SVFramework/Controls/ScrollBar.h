// The framework's scroll bar ("Framework.ScrollBar"): a value control made of two arrow buttons
// ("dec", "inc"), a channel ("channel") and a thumb inside it ("thumb"). The arrows step by a
// line, a press on the channel pages towards it and repeats while held, the thumb is dragged, and
// the parent's unused keys step, page and jump. A scroll view sets its steps and thumb size.
#pragma once

#include "ControlBase/Control.h"
#include "Controls/ScrollBarParts.h"

namespace SV {

class LScrollbar : public LControl, public IScrollBarParts
{
public:
    // Page states: not paging, paging towards the start, paging towards the end.
    enum : int32_t
    {
        kNotPaging = 0,
        kPagingToStart = 1,
        kPagingToEnd = 2,
    };

    // Key mask bits.
    enum : int32_t
    {
        kKeyUp = 0x01,
        kKeyDown = 0x02,
        kKeyLeft = 0x04,
        kKeyRight = 0x08,
        kKeyPageUp = 0x10,
        kKeyPageDown = 0x20,
        kKeyHome = 0x40,
        kKeyEnd = 0x80,
    };

    static constexpr double kRepeatInterval = 0.2;
    static constexpr double kFirstRepeatDelay = 0.4;

    // The value runs over 0..100, linear, until the owner sets a range.
    LScrollbar(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived = true);
    ~LScrollbar() override;

    static RCPtr<LControl> CreateControl(const RCPtr<LControl>& parent,
                                         const ConstRCPtr<LControlDescriptor>& descriptor);

    // During a thumb drag a value from outside waits as the pending value and the current one is
    // answered; it is applied when the drag ends.
    double SetNormalizedValue(double value) override;
    // Keeps the value in range units where the new range allows; E_INVALIDARG for a bad scale,
    // with the old range kept and the value re-applied all the same.
    int32_t SetValueRange(double minimum, double maximum, int32_t scale) override;
    void EndResize() override;
    void OnIdle() override;
    int32_t Initialize() override;
    int32_t FinishCreate() override;
    int32_t ReleaseHook() override;

    // What the scroll view sets.
    double GetLineStep() const override { return mLineStep; }
    double GetPageStep() const override { return mPageStep; }
    void SetSteps(double lineStep, double pageStep) override;
    void SetThumbProportion(double proportion) override { mThumbFraction = proportion; }
    // Sizes the thumb for the channel and the proportion, then places it.
    void UpdateThumb() override;

    // Puts the thumb where the value says; nothing while it is dragged.
    void PlaceThumb();
    // 0; E_INVALIDARG when the mask does not fit in 8 bits (its low 8 bits are kept).
    int32_t SetKeyMask(int32_t mask);
    // Which side of the thumb a point of the channel's client area lies on: a page state.
    int32_t HitTestChannel(const PointT<double>& point) const;

    // 0 horizontal, 1 vertical.
    int32_t GetOrientation() const { return mOrientation; }
    int32_t GetPageState() const { return mPageState; }
    int32_t GetKeyMask() const { return mKeyMask; }
    bool IsThumbDragged() const { return mDragging; }
    double GetPendingValue() const { return mPendingValue; }
    double GetThumbLength() const { return mThumbLength; }
    double GetMinimumThumbLength() const { return mMinimumThumbLength; }
    double GetThumbFraction() const { return mThumbFraction; }
    const RCPtr<LControl>& GetThumb() const { return mThumb; }

private:
    int32_t OnChannelPress(const ConstRCPtr<LNotificationDistributor>& sender,
                           const ConstRCPtr<LNotification>& notification);
    int32_t OnChannelHover(const ConstRCPtr<LNotificationDistributor>& sender,
                           const ConstRCPtr<LNotification>& notification);
    int32_t OnThumbMouseMove(const ConstRCPtr<LNotificationDistributor>& sender,
                             const ConstRCPtr<LNotification>& notification);
    int32_t OnThumbDragCondition(const ConstRCPtr<LNotificationDistributor>& sender,
                                 const ConstRCPtr<LNotification>& notification);
    int32_t OnArrowRepeat(const ConstRCPtr<LNotificationDistributor>& sender,
                          const ConstRCPtr<LNotification>& notification);
    int32_t OnSiblingKey(const ConstRCPtr<LNotificationDistributor>& sender,
                         const ConstRCPtr<LNotification>& notification);

    void SetValueFromThumb();
    void ApplyPendingValue();
    // One page in the direction of the page state.
    void PageOnce();
    bool IsPointerOnPagedSide() const;
    void UpdatePageHighlight();
    void ClearPageHighlight();
    // Writes the thumb's absolute position or size on the bar's axis into its layout record.
    void SetThumbAxis(double position, bool isSize);
    double ThumbPosition() const;
    double ThumbSize() const;
    RCPtr<LControl> FindChannel() const;

    ControlNotificationHandler<LScrollbar> mHandler{this};
    int32_t mOrientation = 1;
    RCPtr<LControl> mThumb;
    double mLineStep = 0.02;
    double mPageStep = 0.2;
    double mThumbFraction = 0.1;
    double mMinimumThumbLength = 10.0;
    double mThumbLength = 0.0;
    double mChannelStart = 0.0;
    double mChannelEnd = 0.0;
    double mChannelOrigin = 0.0;
    bool mDragging = false;
    PointT<int32_t> mGrabOffset;
    int32_t mPageState = kNotPaging;
    double mRepeatInterval = kRepeatInterval;
    double mFirstRepeatDelay = kFirstRepeatDelay;
    double mLastRepeatTime = 0.0;
    double mTimeToNextRepeat = 0.0;
    double mPendingValue = -1.0;
    int32_t mKeyMask = 0;
};

} // namespace SV
