#include "ControlBase/LayoutDescriptor.h"

#include "ResultCodes.h"

namespace SV {

RCPtr<LLayoutDescriptor> LLayoutDescriptor::Clone() const
{
    RCPtr<LLayoutDescriptor> copy(new LLayoutDescriptor());
    LLayoutDescriptor& c = *copy;
    c.mClipToParent = mClipToParent;
    c.mZOrder = mZOrder;
    c.mTabStop = mTabStop;
    c.mIsVisible = mIsVisible;
    c.mIsEnabled = mIsEnabled;
    for (int axis = 0; axis < 2; ++axis) {
        c.mDocked[axis] = mDocked[axis];
        c.mAnchor[axis] = mAnchor[axis];
        c.mPosition[axis] = mPosition[axis];
        c.mSize[axis] = mSize[axis];
        c.mMinSize[axis] = mMinSize[axis];
        c.mMaxSize[axis] = mMaxSize[axis];
        c.mTextOverflow[axis] = mTextOverflow[axis];
    }
    c.mTextDecoration = mTextDecoration;
    c.mLayoutOrder = mLayoutOrder;
    return copy;
}

int32_t LLayoutDescriptor::GetAxisSpec(int32_t axis, LayoutPositionSpec& position,
                                       LayoutSpec& size) const
{
    if (axis != 0 && axis != 1) {
        return E_INVALIDARG;
    }
    position.anchor = mAnchor[axis];
    position.kind = mPosition[axis].kind;
    position.name = mPosition[axis].name;
    position.relative = mPosition[axis].relative;
    position.absolute = mPosition[axis].absolute;
    position.docked = mDocked[axis];
    size = mSize[axis];
    return S_OK;
}

int32_t LLayoutDescriptor::SetAxisSpec(int32_t axis, const LayoutPositionSpec& position,
                                       const LayoutSpec& size)
{
    if (axis != 0 && axis != 1) {
        return E_INVALIDARG;
    }
    mAnchor[axis] = position.anchor;
    mPosition[axis] = {position.kind, position.name, position.relative, position.absolute};
    mDocked[axis] = position.docked;
    mSize[axis] = size;
    return S_OK;
}

int32_t LLayoutDescriptor::GetAxisLimits(int32_t axis, LayoutSpec& minimum,
                                         LayoutSpec& maximum) const
{
    if (axis != 0 && axis != 1) {
        return E_INVALIDARG;
    }
    minimum = mMinSize[axis];
    maximum = mMaxSize[axis];
    return S_OK;
}

int32_t LLayoutDescriptor::SetAxisLimits(int32_t axis, const LayoutSpec& minimum,
                                         const LayoutSpec& maximum)
{
    if (axis != 0 && axis != 1) {
        return E_INVALIDARG;
    }
    mMinSize[axis] = minimum;
    mMaxSize[axis] = maximum;
    return S_OK;
}

void LLayoutDescriptor::RenameReference(const WideString& oldName, const WideString& newName)
{
    for (int axis = 0; axis < 2; ++axis) {
        if (mPosition[axis].kind == kPositionToControl && mPosition[axis].name == oldName) {
            mPosition[axis].name = newName;
        }
        if (mSize[axis].kind == kSizeToControl && mSize[axis].name == oldName) {
            mSize[axis].name = newName;
        }
    }
}

} // namespace SV
