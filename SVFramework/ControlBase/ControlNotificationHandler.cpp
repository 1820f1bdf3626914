#include "ControlBase/ControlNotificationHandler.h"

#include "ControlBase/Control.h"

#include <algorithm>

namespace SV {

ControlNotificationHandlerLink::ControlNotificationHandlerLink(LControl& control)
    : mControl(control)
{
    mControl.mHandlerChain.push_back(this);
}

ControlNotificationHandlerLink::~ControlNotificationHandlerLink()
{
    std::vector<ControlNotificationHandlerLink*>& chain = mControl.mHandlerChain;
    chain.erase(std::remove(chain.begin(), chain.end(), this), chain.end());
}

} // namespace SV
