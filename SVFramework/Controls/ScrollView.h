// A control that shows content larger than itself: it keeps the size of its content (the client
// extent, set directly or computed from the children), scrolls its children by the scroll offset,
// shows its "hBar" and "vBar" scroll bars (and the "corner" between them) when the extent does
// not fit, maps bar values to offsets and back, and scrolls on the wheel.
#pragma once

#include "ControlBase/Control.h"
#include "Controls/ScrollBarParts.h"

namespace SV {

class LScrollView : public LControl
{
public:
    LScrollView(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived = true);
    ~LScrollView() override;

    static RCPtr<LControl> CreateControl(const RCPtr<LControl>& parent,
                                         const ConstRCPtr<LControlDescriptor>& descriptor);

    // Overrides.
    void BeginResize() override;
    void EndResize() override;
    void OnScrollOffsetChanged(const PointT<double>& oldOffset,
                               const PointT<double>& newOffset) override;
    void OnChildRectChanged(LControl* child) override;
    void GetMaxSize(double& width, double& height) override;
    const PointT<double>& SetScrollOffset(const PointT<double>& offset) override;
    void GetScrollLimits(RectT<double>& limits, LControl* child) override;
    void GetClientArea(RectT<double>& area) override;
    void OnChildRemoved(LControl* child, int32_t formerIndex) override;
    int32_t ApplyDescriptor(const ConstRCPtr<LControlDescriptor>& descriptor) override;
    // Direction 0 is down for the vertical wheel, 2 is right for the horizontal one; modifiers
    // in the compact mask (Shift 8: by pages, Alt 64: the horizontal bar). 1 when not used.
    virtual int32_t HandleVerticalWheel(int32_t direction, uint32_t modifiers);
    virtual int32_t HandleHorizontalWheel(int32_t direction, uint32_t modifiers);
    // The wheel events the control's routing hands on: the forms above with the event's
    // direction and modifiers.
    int32_t HandleVerticalWheel(const ConstRCPtr<LMouseWheelParam>& event) override;
    int32_t HandleHorizontalWheel(const ConstRCPtr<LMouseWheelParam>& event) override;
    int32_t Initialize() override;
    int32_t ApplyProperties() override;
    void GetClientRect(RectT<double>& rect) override;

    // Added operations.
    virtual void OnClientExtentChanged();
    virtual void OnClientAreaChanged();
    // Axis 0 horizontal, 1 vertical.
    virtual void OnScrollBarShown(int32_t axis);

    // 1 when both values are within 2.2e-16 of the current ones, else 0 with the notification
    // "NID_CLIENT_EXTENT_CHANGE".
    int32_t SetClientExtent(double width, double height);
    const PointT<double>& GetClientExtent() const { return mClientExtent; }
    // Mode: 0 off, 1 width, 2 height, 3 both.
    int32_t SetAutoClientExtent(int32_t mode, int32_t extraWidth, int32_t extraHeight);
    int32_t UpdateClientExtent();
    PointT<double> GetChildrenExtent() const;
    PointT<double> GetScrollBarSizes() const;
    int32_t ConnectScrollBars();
    // 1 when re-entered, else 0.
    int32_t UpdateScrollBarVisibility();
    void SetScrollBarShown(int32_t axis, bool show);
    bool IsScrollBarShown(int32_t axis) const;
    void UpdateScrollBars();
    // The vertical axis scrolls by rows of `step` pixels; a step of 0 or less scrolls by pixels.
    void SetStepMode(bool on, int32_t step);
    int32_t OnScrollBarValueChanged(const ConstRCPtr<LNotificationDistributor>& sender,
                                    const ConstRCPtr<LNotification>& notification);

    const RCPtr<LControl>& GetBar(int32_t axis) const { return axis == 0 ? mHBar : mVBar; }

protected:
    ControlNotificationHandler<LScrollView> mViewHandler{this};

private:
    static IScrollBarParts* Parts(const RCPtr<LControl>& bar);
    bool StepModeActive() const { return mStepMode && mStep > 0; }
    // The thickness of a bar in use now: the corner's when there is one, else the bar's own.
    double Thickness(int32_t axis) const;
    // Sets a bar's normalised value without hearing its value notification.
    void SetBarValueQuietly(const RCPtr<LControl>& bar, double value);

    bool mUpdatingBars = false;
    bool mOwnScrollChange = false;
    bool mResizing = false;
    RCPtr<LControl> mHBar;
    RCPtr<LControl> mVBar;
    RCPtr<LControl> mCorner;
    PointT<double> mClientExtent;
    PointT<double> mBarThickness;
    bool mStepMode = false;
    int32_t mStep = 0;
    int32_t mAutoExtentMode = 0;
    int32_t mExtraWidth = 0;
    int32_t mExtraHeight = 0;
};

} // namespace SV
