// The create function of a control class: builds the control under its parent with the
// description's name and runs the creation steps in their fixed order, after which the control
// is marked created and hears its notifications.
#pragma once

#include "ControlBase/Control.h"
#include "ControlBase/ControlDescriptor.h"

namespace SV {

template <class T>
RCPtr<LControl> CreateControlOf(const RCPtr<LControl>& parent,
                                const ConstRCPtr<LControlDescriptor>& descriptor)
{
    RCPtr<T> control(new T(parent, descriptor->GetName(), true));
    control->ApplyDescriptor(descriptor);
    control->CreateChildControls(descriptor);
    control->Initialize();
    control->FinishCreate();
    control->SetCreated();
    return RCPtr<LControl>(control);
}

} // namespace SV
