// Creation of controls by the factory: a child through its descriptor's create function, a
// window's top control by name.
#include "ControlBase/Control.h"
#include "ControlBase/ControlFactory.h"
#include "Windows/RootWindow.h"

namespace SV {

RCPtr<LControl>
LControlFactory::CreateControl(const RCPtr<LControl>& parent,
                               const ConstRCPtr<LControlDescriptor>& descriptor) const
{
    if (!descriptor) {
        return nullptr;
    }
    // The descriptor only caches the function; it is shared, not changed otherwise.
    const ControlCreateFunction function =
        ResolveCreateFunction(const_cast<LControlDescriptor&>(*descriptor));
    return function(parent, descriptor);
}

RCPtr<LControl> LControlFactory::CreateRootControl(const WideString& name,
                                                   const RCPtr<LRootWindow>& window) const
{
    const RCPtr<LControlDescriptor> descriptor = FindRootDescriptor(name);
    if (!descriptor) {
        return nullptr;
    }
    if (descriptor->GetLayout()) {
        descriptor->GetLayout()->visible = true;
    }
    const ControlCreateFunction function = ResolveCreateFunction(*descriptor);
    RCPtr<LControl> control = function(nullptr, descriptor);
    if (control) {
        control->SetRootWindow(window);
    }
    return control;
}

} // namespace SV
