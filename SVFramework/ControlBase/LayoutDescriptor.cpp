#include "ControlBase/LayoutDescriptor.h"

#include "ResultCodes.h"

namespace SV {

namespace {

bool IsAxis(int32_t axis)
{
    return axis == LLayoutDescriptor::kAxisX || axis == LLayoutDescriptor::kAxisY;
}

} // namespace

LLayoutDescriptor::LLayoutDescriptor()
{
    axes[kAxisX].size.absolute = 16.0;
    axes[kAxisY].size.absolute = 40.0;
}

RCPtr<LLayoutDescriptor> LLayoutDescriptor::Clone() const
{
    return RCPtr<LLayoutDescriptor>(new LLayoutDescriptor(*this));
}

int32_t LLayoutDescriptor::GetAxisSpec(int32_t axis, LayoutPositionSpec& position,
                                       LayoutSpec& size) const
{
    if (!IsAxis(axis)) {
        return E_INVALIDARG;
    }
    const Axis& from = axes[axis];
    position.anchor = from.anchor;
    position.kind = from.position.kind;
    position.reference = from.position.reference;
    position.relative = from.position.relative;
    position.absolute = from.position.absolute;
    position.docked = from.docked;
    size = from.size;
    return S_OK;
}

int32_t LLayoutDescriptor::SetAxisSpec(int32_t axis, const LayoutPositionSpec& position,
                                       const LayoutSpec& size)
{
    if (!IsAxis(axis)) {
        return E_INVALIDARG;
    }
    Axis& to = axes[axis];
    to.anchor = position.anchor;
    to.position =
        LayoutSpec{position.kind, position.reference, position.relative, position.absolute};
    to.docked = position.docked;
    to.size = size;
    return S_OK;
}

int32_t LLayoutDescriptor::GetAxisLimits(int32_t axis, LayoutSpec& minimum,
                                         LayoutSpec& maximum) const
{
    if (!IsAxis(axis)) {
        return E_INVALIDARG;
    }
    minimum = axes[axis].minimum;
    maximum = axes[axis].maximum;
    return S_OK;
}

int32_t LLayoutDescriptor::SetAxisLimits(int32_t axis, const LayoutSpec& minimum,
                                         const LayoutSpec& maximum)
{
    if (!IsAxis(axis)) {
        return E_INVALIDARG;
    }
    axes[axis].minimum = minimum;
    axes[axis].maximum = maximum;
    return S_OK;
}

void LLayoutDescriptor::RenameReference(const WideString& oldName, const WideString& newName)
{
    for (Axis& axis : axes) {
        if (axis.position.kind == kPositionToControl && axis.position.reference.Equals(oldName)) {
            axis.position.reference = newName;
        }
        if (axis.size.kind == kSizeToControl && axis.size.reference.Equals(oldName)) {
            axis.size.reference = newName;
        }
    }
}

} // namespace SV
