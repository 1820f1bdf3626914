// The create function of one control class, registered with the control factory under the
// class's skin name: (parent, or empty for the top control of a window; descriptor) -> control.
#pragma once

#include "ObjectBase/RCPtr.h"

namespace SV {

class LControl;
class LControlDescriptor;

using ControlCreateFunction = RCPtr<LControl> (*)(const RCPtr<LControl>& parent,
                                                  const ConstRCPtr<LControlDescriptor>& descriptor);

} // namespace SV
