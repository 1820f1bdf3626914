#include "ControlBase/MenuItemUpdater.h"

#include "ControlBase/Control.h"

namespace SV {

LMenuItemUpdater::LMenuItemUpdater(LControl* control) : mControl(control)
{}

LMenuItemUpdater::~LMenuItemUpdater() = default;

void LMenuItemUpdater::CutLink()
{
    mControl = nullptr;
}

} // namespace SV
