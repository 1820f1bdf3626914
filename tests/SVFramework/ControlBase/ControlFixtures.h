// Small builders for control trees in tests: a control with its own layout record, set up by a
// lambda, and a receiver that records the notifications a control sends.
#pragma once

#include "ControlBase/Control.h"
#include "Notification/Notification.h"
#include "Notification/NotificationId.h"

#include <functional>
#include <string>
#include <vector>

namespace svtest {

inline SV::RCPtr<SV::LControl>
MakeControl(const SV::RCPtr<SV::LControl>& parent, const char16_t* name,
            const std::function<void(SV::LLayoutDescriptor&)>& setup = {})
{
    SV::RCPtr<SV::LControl> control(new SV::LControl(parent, name));
    SV::RCPtr<SV::LLayoutDescriptor> layout(new SV::LLayoutDescriptor());
    if (setup) {
        setup(*layout);
    }
    const bool clip = layout->clipToParent;
    layout->clipToParent = true;
    control->SetLayout(layout);
    // Through the control, so that the ancestors count an unclipped child.
    control->SetClipToParent(clip);
    return control;
}

// A "Self" size of the given pixels on both axes at a client position.
inline std::function<void(SV::LLayoutDescriptor&)> At(double x, double y, double w, double h)
{
    return [=](SV::LLayoutDescriptor& l) {
        l.axes[0].position.absolute = x;
        l.axes[1].position.absolute = y;
        l.axes[0].size.absolute = w;
        l.axes[1].size.absolute = h;
    };
}

class NotificationRecorder : public SV::LNotificationClient
{
public:
    void Listen(const SV::RCPtr<SV::LControl>& control, std::initializer_list<const char16_t*> ids)
    {
        for (const char16_t* name : ids) {
            Register(SV::RCPtr<SV::LNotificationDistributor>(control), name);
        }
    }
    void Receive(const SV::ConstRCPtr<SV::LNotificationDistributor>& sender,
                 const SV::ConstRCPtr<SV::LNotification>& notification) override
    {
        const SV::WideString name = SV::GetNotificationName(notification->GetId());
        names.push_back(std::string(SV::NarrowString(name).GetText()));
        senders.push_back(sender.Get());
        payloads.push_back(notification->GetPayload());
    }

    std::vector<std::string> names;
    std::vector<const SV::LNotificationDistributor*> senders;
    std::vector<SV::ConstRCPtr<SV::LRefCountedObject>> payloads;
};

} // namespace svtest
