// What the framework's splitter bars share: a bar between neighbouring controls of one parent
// that the user drags along one axis to share the parent's space between them. The bar moves
// nothing itself: its position refers to the sibling laid out before it (the neighbour), and a
// drag changes that neighbour's size, so that the layout moves the bar and every sibling laid out
// against it. The drag is limited by the minimum and maximum sizes of the neighbour and of the
// later siblings that follow the bar.
#pragma once

#include "ControlBase/Control.h"

namespace SV {

class LSplitterBase : public LControl
{
public:
    // 0 a horizontal bar, which moves along y; 1 a vertical one, which moves along x.
    enum : int32_t
    {
        kHorizontal = 0,
        kVertical = 1,
    };

    // The look-index convention of the buttons, without the checked looks.
    enum : int32_t
    {
        kLookNormal = 0,
        kLookHover = 1,
        kLookPressed = 2,
        kLookFocusedOffset = 3,
        kLookDisabled = 6,
    };

    LSplitterBase(const RCPtr<LControl>& parent, const WideString& name, int32_t orientation,
                  bool mostDerived = true);
    ~LSplitterBase() override;

    int32_t GetOrientation() const { return mOrientation; }
    // The axis the bar moves along: 0 x, 1 y.
    int32_t GetAxis() const { return mOrientation == kVertical ? 0 : 1; }
    // The bar's travel during the drag, in the terms of the drag area.
    double GetRangeMinimum() const { return mRangeMinimum; }
    double GetRangeMaximum() const { return mRangeMaximum; }
    const RCPtr<LControl>& GetNeighbour() const { return mNeighbour; }

    // The look the state asks for: disabled, else pressed, hover or normal, each focused too.
    int32_t ComputeStateLook() const;
    // Shows that look alone; 0.
    int32_t UpdateStateLook();

    // The drag begins: the bar's position becomes absolute, the neighbour is held and the travel
    // is measured from the limits of the controls that change with the bar.
    void BeginDrag() override;
    // The neighbour's size follows the distance dragged.
    void OnDragMoved(const ConstRCPtr<LPointWithModifiersParam>& event) override;
    // The bar refers to its neighbour again and sits at its new edge.
    void EndDrag() override;
    // The travel on the bar's axis; the other axis is left as it is.
    void AdjustDragArea(RectT<double>& area) override;
    void OnConditionsChanged(const RCPtr<LConditionsParam>& conditions) override;
    int32_t Initialize() override;
    // After the layout: a bar that the parent's new size put out of the range that the
    // neighbours' limits allow is brought back into it through the neighbour's size.
    int32_t OnLayoutRequest(const PointT<int32_t>& size) override;

private:
    // How a later sibling's size changes when the bar moves forward.
    enum class Follower
    {
        kNone,
        kGrows,
        kShrinks,
    };

    // The bar's position on its axis as the layout places it (the anchor point).
    double BarPosition() const;
    Follower HowSiblingFollows(const LControl& sibling) const;
    double AxisValue(const RectT<double>& rect, bool size) const;
    // The control's minimum and maximum size on the bar's axis; 0 for no maximum.
    double MinimumSize(LControl& control) const;
    double MaximumSize(LControl& control) const;
    // Narrows [low, high] so that a control whose size on the axis is `size` stays within its
    // limits while the bar at `position` moves.
    static void Limit(Follower follower, double position, double size, double minimum,
                      double maximum, double& low, double& high);

    int32_t mOrientation;
    double mRangeMinimum = 0.0;
    double mRangeMaximum = 0.0;
    double mSavedPositionAbs = 0.0;
    float mSavedPositionRel = 0.0f;
    RCPtr<LControl> mNeighbour;
    double mNeighbourStartSize = 0.0;
};

} // namespace SV
