// The link from a menu back to the control behind it. Menus keep the updater rather than the
// control, so a menu never keeps a control alive: the link counts as an internal reference of
// the control, and the control's release hook cuts it. A menu that asks an updater whose link is
// cut gets no control and leaves its entries as they are.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"

namespace SV {

class LControl;

class LMenuItemUpdater : public virtual LRefCountedObject
{
public:
    explicit LMenuItemUpdater(LControl* control);
    ~LMenuItemUpdater() override;
    LMenuItemUpdater(const LMenuItemUpdater&) = delete;
    LMenuItemUpdater& operator=(const LMenuItemUpdater&) = delete;

    // The control, or empty once the link is cut.
    const RCPtr<LControl>& GetControl() const { return mControl; }
    // Called by the control's release hook.
    void CutLink();

private:
    RCPtr<LControl> mControl;
};

} // namespace SV
