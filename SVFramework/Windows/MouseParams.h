// The pointer payloads that travel from the native window through the root window to the
// controls, and on in the controls' own notifications ("NID_MOUSE_DOWN" and the like). The
// three derived classes come from unlocked recycling pools: they are made and released on the
// user-interface thread only.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"
#include "Threads/ReuseAllocator.h"
#include "Utilities/Graphics/Point.h"

#include <cstdint>

namespace SV {

class LPointParam : public virtual LRefCountedObject
{
public:
    LPointParam(int32_t x, int32_t y) : mX(x), mY(y) {}

    int32_t mX;
    int32_t mY;
};

class LPointWithModifiersParam : public LPointParam, public ReusePooled<LPointWithModifiersParam>
{
public:
    LPointWithModifiersParam(int32_t x, int32_t y, uint32_t modifiers, int32_t extraValue)
        : LPointParam(x, y), mModifiers(modifiers), mExtraValue(extraValue)
    {}

    using ReusePooled<LPointWithModifiersParam>::operator new;
    using ReusePooled<LPointWithModifiersParam>::operator delete;

    // The compact modifier mask: Ctrl 1, Shift 8, Alt 64.
    uint32_t mModifiers;
    // A caller-defined number; 0 from the native window.
    int32_t mExtraValue;
};

class LMouseButtonParam : public LPointWithModifiersParam, public ReusePooled<LMouseButtonParam>
{
public:
    LMouseButtonParam(int32_t button, int32_t x, int32_t y, uint32_t modifiers, int32_t doubleClick,
                      int32_t buttons, int32_t extraValue)
        : LPointWithModifiersParam(x, y, modifiers, extraValue), mButton(button),
          mDoubleClick(doubleClick), mButtons(buttons)
    {}

    using ReusePooled<LMouseButtonParam>::operator new;
    using ReusePooled<LMouseButtonParam>::operator delete;

    // 1 left, 2 middle, 4 right.
    int32_t mButton;
    // 1 when the press began as a double-click, on its release too.
    int32_t mDoubleClick;
    // The buttons held at the time of the event: bit 0 left, bit 1 middle, bit 2 right.
    int32_t mButtons;
};

class LMouseWheelParam : public LPointWithModifiersParam, public ReusePooled<LMouseWheelParam>
{
public:
    LMouseWheelParam(int32_t x, int32_t y, uint32_t modifiers, int32_t direction)
        : LPointWithModifiersParam(x, y, modifiers, 0), mDirection(direction)
    {}

    using ReusePooled<LMouseWheelParam>::operator new;
    using ReusePooled<LMouseWheelParam>::operator delete;

    // 0 backwards, 1 forwards (vertical); 2 left, 3 right (horizontal).
    int32_t mDirection;
};

RCPtr<LPointWithModifiersParam>
CreatePointWithModifiersParam(const PointT<int32_t>& point, uint32_t modifiers, int32_t extraValue);
RCPtr<LMouseButtonParam> CreateMouseButtonParam(int32_t button, const PointT<int32_t>& point,
                                                uint32_t modifiers, int32_t doubleClick,
                                                int32_t buttons, int32_t extraValue);
RCPtr<LMouseWheelParam> CreateMouseWheelParam(const PointT<int32_t>& point, uint32_t modifiers,
                                              int32_t direction);

} // namespace SV
