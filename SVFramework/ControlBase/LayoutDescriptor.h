// The placement record of one skin control: clipping, order, visibility and, per axis, where the
// control sits, how big it is and between which limits. Controls take a copy of it when their
// descriptor is applied and change only that copy.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/StringT.h"

#include <array>
#include <cstdint>

namespace SV {

// Reference kinds of a position: 0 the parent (or screen), 1 its client part (or the active
// window), 2 the control named by the reference.
enum LayoutPositionKind : int32_t
{
    kPositionToParent = 0,
    kPositionToClient = 1,
    kPositionToControl = 2,
};

// Reference kinds of a size: as a position's, then 2 the control itself, 3 a named control.
enum LayoutSizeKind : int32_t
{
    kSizeToParent = 0,
    kSizeToClient = 1,
    kSizeToSelf = 2,
    kSizeToControl = 3,
};

// Reference kinds of a minimum or maximum size: 0 the control itself, 1 a named control
// ("Children" among the names).
enum LayoutLimitKind : int32_t
{
    kLimitToSelf = 0,
    kLimitToControl = 1,
};

// One axis' position as the layout engine takes it.
struct LayoutPositionSpec
{
    float anchor = 0.0f;
    int32_t kind = kPositionToClient;
    WideString reference;
    float relative = 0.0f;
    double absolute = 0.0;
    bool docked = false;
};

// One axis' size, minimum or maximum.
struct LayoutSpec
{
    int32_t kind = kSizeToSelf;
    WideString reference;
    float relative = 0.0f;
    double absolute = 0.0;
};

// Text overflow: 0 clipped, 1 the control grows, 2 wrapped (X only).
enum TextOverflowType : int32_t
{
    kTextOverflowClip = 0,
    kTextOverflowExpand = 1,
    kTextOverflowWrap = 2,
};

class LLayoutDescriptor : public virtual LRefCountedObject
{
public:
    static constexpr int32_t kAxisX = 0;
    static constexpr int32_t kAxisY = 1;

    struct Axis
    {
        bool docked = false;
        float anchor = 0.0f;
        // Kind, reference, relative factor and absolute offset of the position.
        LayoutSpec position{kPositionToClient, WideString(), 0.0f, 0.0};
        LayoutSpec size;
        LayoutSpec minimum{kLimitToSelf, WideString(), 0.0f, 0.0};
        LayoutSpec maximum{kLimitToSelf, WideString(), 0.0f, 0.0};
    };

    // The defaults of a SubControl that sets nothing: 16 by 40 of its own size at the client's
    // corner, clipped, visible and enabled.
    LLayoutDescriptor();

    [[nodiscard]] RCPtr<LLayoutDescriptor> Clone() const;

    // Axis 0 is X, 1 is Y; any other axis is E_INVALIDARG and nothing is read or stored.
    int32_t GetAxisSpec(int32_t axis, LayoutPositionSpec& position, LayoutSpec& size) const;
    int32_t SetAxisSpec(int32_t axis, const LayoutPositionSpec& position, const LayoutSpec& size);
    int32_t GetAxisLimits(int32_t axis, LayoutSpec& minimum, LayoutSpec& maximum) const;
    int32_t SetAxisLimits(int32_t axis, const LayoutSpec& minimum, const LayoutSpec& maximum);
    // A control renamed: position and size references (not the limits) that named the old name
    // name the new one.
    void RenameReference(const WideString& oldName, const WideString& newName);

    bool clipToParent = true;
    int32_t zOrder = 0;
    int32_t tabStop = 0;
    bool visible = true;
    bool enabled = true;
    std::array<Axis, 2> axes;
    WideString textDecoration;
    int32_t textOverflowX = kTextOverflowClip;
    int32_t textOverflowY = kTextOverflowClip;
    int32_t layoutOrder = 0;
};

} // namespace SV
