// The placement record of one SubControl: where a control sits in its parent, how large it is,
// its limits, its clipping, orders, visibility and text overflow. A control takes its own copy
// (Clone) when a description is applied and changes only that copy at run time.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace SV {

// Reference kinds of a position.
enum : int32_t
{
    kPositionToParent = 0,
    kPositionToClient = 1,
    kPositionToControl = 2,
};

// Reference kinds of a size.
enum : int32_t
{
    kSizeToParent = 0,
    kSizeToClient = 1,
    kSizeToSelf = 2,
    kSizeToControl = 3,
};

// Reference kinds of a minimum or maximum size.
enum : int32_t
{
    kLimitToSelf = 0,
    kLimitToControl = 1,
};

// Text overflow types.
enum : int32_t
{
    kTextOverflowClip = 0,
    kTextOverflowExpand = 1,
    kTextOverflowWrap = 2,
};

// One axis' position as the layout record hands it out.
struct LayoutPositionSpec
{
    float anchor = 0.0f;
    int32_t kind = kPositionToClient;
    WideString name;
    float relative = 0.0f;
    double absolute = 0.0;
    bool docked = false;
};

// One axis' size, minimum or maximum.
struct LayoutSpec
{
    int32_t kind = kSizeToSelf;
    WideString name;
    float relative = 0.0f;
    double absolute = 0.0;
};

class LLayoutDescriptor : public virtual LRefCountedObject
{
public:
    struct AxisPosition
    {
        int32_t kind = kPositionToClient;
        WideString name;
        float relative = 0.0f;
        double absolute = 0.0;
    };

    LLayoutDescriptor() = default;

    [[nodiscard]] RCPtr<LLayoutDescriptor> Clone() const;

    // Axis 0 is X, 1 is Y; E_INVALIDARG (nothing read or stored) for any other axis.
    int32_t GetAxisSpec(int32_t axis, LayoutPositionSpec& position, LayoutSpec& size) const;
    int32_t SetAxisSpec(int32_t axis, const LayoutPositionSpec& position, const LayoutSpec& size);
    int32_t GetAxisLimits(int32_t axis, LayoutSpec& minimum, LayoutSpec& maximum) const;
    int32_t SetAxisLimits(int32_t axis, const LayoutSpec& minimum, const LayoutSpec& maximum);
    // The old name becomes the new one wherever it names the reference control of a position or
    // a size; minimum and maximum references keep theirs.
    void RenameReference(const WideString& oldName, const WideString& newName);

    bool mClipToParent = true;
    int32_t mZOrder = 0;
    int32_t mTabStop = 0;
    bool mIsVisible = true;
    bool mIsEnabled = true;
    bool mDocked[2] = {false, false};
    float mAnchor[2] = {0.0f, 0.0f};
    AxisPosition mPosition[2];
    LayoutSpec mSize[2] = {{kSizeToSelf, {}, 0.0f, 16.0}, {kSizeToSelf, {}, 0.0f, 40.0}};
    LayoutSpec mMinSize[2] = {{kLimitToSelf, {}, 0.0f, 0.0}, {kLimitToSelf, {}, 0.0f, 0.0}};
    LayoutSpec mMaxSize[2] = {{kLimitToSelf, {}, 0.0f, 0.0}, {kLimitToSelf, {}, 0.0f, 0.0}};
    WideString mTextDecoration;
    int32_t mTextOverflow[2] = {kTextOverflowClip, kTextOverflowClip};
    int32_t mLayoutOrder = 0;
};

} // namespace SV
