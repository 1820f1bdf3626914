// The holder through which a menu asks the control behind it about the state of its entries.
// It does not keep the control alive: the control forgets it when it goes, after which the
// updater answers an empty control.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"

namespace SV {

class LControl;

class LMenuItemUpdater : public virtual LRefCountedObject
{
public:
    explicit LMenuItemUpdater(LControl* control) : mControl(control) {}

    RCPtr<LControl> GetControl() const;
    // Called by the control as it goes.
    void Forget() { mControl = nullptr; }

private:
    LControl* mControl;
};

} // namespace SV
