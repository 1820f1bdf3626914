// A root window over recording native-window services, with a main control that fills the
// 200 by 100 client area and two children ("a" at 10,10 and "b" at 100,10, 50 by 50). Every
// control logs its input hooks and the notifications it sends into one shared log.
#pragma once

#include "../ControlBase/ControlFixtures.h"
#include "ControlApplicationDouble.h"
#include "ControlBase/KeyParam.h"
#include "Notification/NotificationNames.h"
#include "RecordingWindowServices.h"
#include "Windows/RootWindow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace svtest {

class InputControl : public SV::LControl
{
public:
    InputControl(const SV::RCPtr<SV::LControl>& parent, const char16_t* name,
                 std::vector<std::string>& log)
        : SV::LControl(parent, name), mLog(log), mTag(SV::NarrowString(name).GetText())
    {}

    void OnLeftButtonDown(const SV::ConstRCPtr<SV::LMouseButtonParam>& e) override
    {
        Log("down", e->mDoubleClick);
    }
    void OnLeftButtonUp(const SV::ConstRCPtr<SV::LMouseButtonParam>& e) override
    {
        Log("up", e->mDoubleClick);
    }
    int32_t OnMouseEnter() override
    {
        mLog.push_back(mTag + ":enter");
        return SV::LControl::OnMouseEnter();
    }
    int32_t OnMouseLeave() override
    {
        mLog.push_back(mTag + ":leave");
        return SV::LControl::OnMouseLeave();
    }
    void OnPointerMove(const SV::ConstRCPtr<SV::LPointWithModifiersParam>& e) override
    {
        mLog.push_back(mTag + ":move " + std::to_string(e->mX) + "," + std::to_string(e->mY));
    }
    int32_t HandleVerticalWheel(const SV::ConstRCPtr<SV::LMouseWheelParam>& e) override
    {
        mLog.push_back(mTag + ":wheel " + std::to_string(e->mX) + "," + std::to_string(e->mY));
        return wheelAnswer;
    }
    int32_t HandleKey(const SV::ConstRCPtr<SV::LKeyParam>& key) override
    {
        mLog.push_back(mTag + ":key " + std::to_string(key->mKey.GetVirtualKey()));
        return keyAnswer;
    }
    int32_t ShowToolTip(bool show) override
    {
        mLog.push_back(mTag + (show ? ":tip on" : ":tip off"));
        return SV::LControl::ShowToolTip(show);
    }
    int32_t OnCaptureLost() override
    {
        if (HasCapture()) {
            mLog.push_back(mTag + ":capture lost");
        }
        return SV::LControl::OnCaptureLost();
    }

    // Without looks a control shows nothing; these stand for opaque ones.
    bool IsTransparentAt(const SV::PointT<int32_t>&) override { return false; }
    void WantTab() { mWantsTab = true; }
    void SetToolTip(const SV::WideString& text, bool useParent)
    {
        mToolTipText = text;
        mUseParentToolTip = useParent;
    }
    // Binds the key text to the name as a local binding that this control handles itself.
    void BindLocal(const char16_t* keyText, const char16_t* name)
    {
        mLocalHotKeys.AddKey(SV::KeyCode(SV::WideString(keyText)), name);
        if (!mNotificationHandler) {
            mNotificationHandler.Create();
        }
        mNotificationHandler->RegisterHandler(&SV::LControl::OnSiblingKey,
                                              SV::RCPtr<SV::LNotificationDistributor>(mParent),
                                              SV::kNidSiblingKey);
        mNotificationHandler->RegisterSelfHandler(&SV::LControl::OnSiblingKey, SV::kNidSiblingKey);
        mNotificationHandler->RegisterSelfHandler(
            static_cast<SV::LNotificationHandler<SV::LControl>::Function>(&InputControl::Bound),
            name);
    }
    int32_t Bound(const SV::ConstRCPtr<SV::LNotificationDistributor>&,
                  const SV::ConstRCPtr<SV::LNotification>&)
    {
        ++boundCommands;
        return 1;
    }

    int32_t wheelAnswer = 1;
    int32_t keyAnswer = 1;
    int boundCommands = 0;

private:
    void Log(const char* what, int32_t doubleClick)
    {
        mLog.push_back(mTag + ":" + what + (doubleClick != 0 ? " double" : ""));
    }

    std::vector<std::string>& mLog;
    std::string mTag;
};

// Records the notifications of the controls it listens to into the shared log.
class LogRecorder : public SV::LNotificationClient
{
public:
    explicit LogRecorder(std::vector<std::string>& log) : mLog(log) {}
    void Listen(const SV::RCPtr<SV::LControl>& control, std::initializer_list<const char16_t*> ids)
    {
        for (const char16_t* name : ids) {
            Register(SV::RCPtr<SV::LNotificationDistributor>(control), name);
        }
    }
    void Receive(const SV::ConstRCPtr<SV::LNotificationDistributor>& sender,
                 const SV::ConstRCPtr<SV::LNotification>& notification) override
    {
        const auto* control = dynamic_cast<const SV::LControl*>(sender.Get());
        const std::string who = control != nullptr
                                    ? std::string(SV::NarrowString(control->GetName()).GetText())
                                    : std::string("?");
        mLog.push_back(who + ":" +
                       SV::NarrowString(SV::GetNotificationName(notification->GetId())).GetText());
        payloads.push_back(notification->GetPayload());
    }
    std::vector<SV::ConstRCPtr<SV::LRefCountedObject>> payloads;

private:
    std::vector<std::string>& mLog;
};

class RootWindowFixture : public ::testing::Test
{
protected:
    RootWindowFixture()
    {
        services.active = true;
        services.screenClient = {0, 0, 200, 100};
        window = SV::RCPtr<SV::LRootWindow>(new SV::LRootWindow(nullptr, &services));
        main = Make(nullptr, u"main", 0, 0, 200, 100);
        window->SetMainControl(main);
        main->SetFocusable(false);
        a = Make(main, u"a", 10, 10, 50, 50);
        b = Make(main, u"b", 100, 10, 50, 50);
        log.clear();
    }
    ~RootWindowFixture() override { window->SetMainControl(nullptr); }

    SV::RCPtr<InputControl> Make(const SV::RCPtr<SV::LControl>& parent, const char16_t* name,
                                 double x, double y, double w, double h,
                                 const std::function<void(SV::LLayoutDescriptor&)>& more = {})
    {
        SV::RCPtr<InputControl> c(new InputControl(parent, name, log));
        SV::RCPtr<SV::LLayoutDescriptor> layout(new SV::LLayoutDescriptor());
        At(x, y, w, h)(*layout);
        if (more) {
            more(*layout);
        }
        const bool clip = layout->clipToParent;
        layout->clipToParent = true;
        c->SetLayout(layout);
        c->SetClipToParent(clip);
        c->UpdateLayout();
        c->SetCreated();
        return c;
    }

    // Moves the pointer as the native window reports it, then sends the event.
    void Move(int32_t x, int32_t y)
    {
        services.cursor = {x, y};
        window->OnMouseMove({x, y}, 0, 0);
    }
    void Button(int32_t kind, int32_t button, int32_t x, int32_t y, int32_t held)
    {
        services.buttons = held;
        window->OnMouseButton(kind, button, 0, {x, y}, 0);
        services.cursor = {x, y};
    }
    void Click(int32_t x, int32_t y)
    {
        Button(0, 1, x, y, 1);
        Button(1, 1, x, y, 0);
    }
    static SV::RCPtr<SV::LKeyParam> Key(uint32_t virtualKey, uint32_t modifiers = 0)
    {
        return SV::CreateKeyParam(SV::KeyCode(virtualKey, true, 0, modifiers), 1);
    }

    ControlApplicationDouble app;
    RecordingWindowServices services;
    std::vector<std::string> log;
    SV::RCPtr<SV::LRootWindow> window;
    SV::RCPtr<InputControl> main;
    SV::RCPtr<InputControl> a;
    SV::RCPtr<InputControl> b;
};

} // namespace svtest
