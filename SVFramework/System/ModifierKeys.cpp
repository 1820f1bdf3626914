#include "System/ModifierKeys.h"

namespace SV {

uint32_t ExtendedModifierMask(bool leftCtrl, bool rightCtrl, bool leftShift, bool rightShift,
                              bool leftAlt, bool rightAlt, bool leftWindows, bool rightWindows)
{
    uint32_t mask = 0;
    mask |= leftCtrl ? kModifierCtrl | kModifierLeftCtrl : 0;
    mask |= rightCtrl ? kModifierCtrl | kModifierRightCtrl : 0;
    mask |= leftShift ? kModifierShift | kModifierLeftShift : 0;
    mask |= rightShift ? kModifierShift | kModifierRightShift : 0;
    mask |= leftAlt ? kModifierAlt | kModifierLeftAlt : 0;
    mask |= rightAlt ? kModifierAlt | kModifierRightAlt : 0;
    mask |= leftWindows ? kModifierWindows | kModifierLeftWindows : 0;
    mask |= rightWindows ? kModifierWindows | kModifierRightWindows : 0;
    return mask;
}

} // namespace SV
