// The payload of a list box's item condition notifications ("NID_ITEM_HOVER_CONDITION_CHANGE",
// "NID_ITEM_LEFT_DRAG_CONDITION_CHANGE"): the row's condition change together with the item the
// row shows, the look it shows and whether the pointer is over it.
#pragma once

#include "ControlBase/ConditionsParam.h"

namespace SV {

class LItemConditionsParam : public LConditionsParam
{
public:
    int32_t mItem = -1;
    int32_t mLook = -1;
    bool mPointerOver = false;
};

} // namespace SV
