#include "Windows/RootWindow.h"

#include "ControlBase/Control.h"
#include "Notification/Notification.h"

namespace SV {

LRootWindow::LRootWindow() = default;
LRootWindow::~LRootWindow() = default;

const RCPtr<LControl>& LRootWindow::GetMainControl() const
{
    return mMainControl;
}

void LRootWindow::SetMainControl(const RCPtr<LControl>& control)
{
    mMainControl = control;
}

void LRootWindow::SendIdle()
{
    Notify(CreateNotification(u"NID_IDLE"));
}

} // namespace SV
