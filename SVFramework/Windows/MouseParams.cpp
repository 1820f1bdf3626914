#include "Windows/MouseParams.h"

namespace SV {

RCPtr<LPointWithModifiersParam>
CreatePointWithModifiersParam(const PointT<int32_t>& point, uint32_t modifiers, int32_t extraValue)
{
    return RCPtr<LPointWithModifiersParam>(
        new LPointWithModifiersParam(point.x, point.y, modifiers, extraValue));
}

RCPtr<LMouseButtonParam> CreateMouseButtonParam(int32_t button, const PointT<int32_t>& point,
                                                uint32_t modifiers, int32_t doubleClick,
                                                int32_t buttons, int32_t extraValue)
{
    return RCPtr<LMouseButtonParam>(new LMouseButtonParam(button, point.x, point.y, modifiers,
                                                          doubleClick, buttons, extraValue));
}

RCPtr<LMouseWheelParam> CreateMouseWheelParam(const PointT<int32_t>& point, uint32_t modifiers,
                                              int32_t direction)
{
    return RCPtr<LMouseWheelParam>(new LMouseWheelParam(point.x, point.y, modifiers, direction));
}

} // namespace SV
