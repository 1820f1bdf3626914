// Builds the editor's controls from a small skin written in the test, in the editor's
// application double (its notification centre, string tables and message boxes) with the
// framework's and the editor's control classes, over an engine that stores values and records
// what it is asked.
#pragma once

#include "ControlApplicationDouble.h"
#include "EditorApplicationDouble.h"
#include "EditorControlTypes.h"
#include "EngineDoubles.h"
#include "FakeDesktop.h"
#include "TempFolder.h"

#include "ControlBase/Control.h"
#include "ControlBase/ControlFactory.h"
#include "Controls/ControlTypes.h"
#include "Notification/Notification.h"
#include "Notification/NotificationCenter.h"
#include "Notification/NotificationClient.h"
#include "ResultCodes.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace svtest {

// The engine of the editor's tests: stored values, and a remote-device query and polling switch
// that the test controls.
class EditorEngine : public ValueStoreEngine
{
public:
    int32_t EnableRemoteDevicePolling(bool on) override
    {
        pollingSwitches += on ? 1 : 0;
        return S_OK;
    }
    int32_t GetRemoteDevices(SV::IArray<SV::Variant>& /*devices*/) override
    {
        ++remoteDeviceQueries;
        return remoteDevicesResult;
    }

    int32_t pollingSwitches = 0;
    int32_t remoteDeviceQueries = 0;
    int32_t remoteDevicesResult = 0;
};

// The controls' services with the application's notification centre.
class EditorControlServices : public ControlApplicationDouble
{
public:
    SV::RCPtr<SV::LNotificationCenter> GetNotificationCenter() override { return mCenter; }

    SV::RCPtr<SV::LNotificationCenter> mCenter;
};

class NameCounter : public SV::LNotificationClient
{
public:
    void Receive(const SV::ConstRCPtr<SV::LNotificationDistributor>& /*sender*/,
                 const SV::ConstRCPtr<SV::LNotification>& /*notification*/) override
    {
        ++count;
    }
    int32_t count = 0;
};

class EditorSkinFixture : public ::testing::Test
{
protected:
    // `skins` is the inside of <Skins>, `strings` the inside of the application element of the
    // string tables. `registerFirst` may register classes ahead of the editor's.
    void Load(const std::string& skins, const std::string& strings = "",
              const std::function<void(SV::LControlFactory&)>& registerFirst = {})
    {
        static const char* const kHead = R"(<Skin_Definitions>
  <Application Name="PresetEditor"/>
  <Colorizers><Colorizer Name="Black" ColorType="SolidFill" Color="FF000000"/></Colorizers>
  <Parts><Part Name="Black" Width="1" Height="1" ResizeType="Stretch" ColorizerName="Black"/></Parts>
  <Looks><Look Name="Plain"/></Looks>
  <LookLists><LookList Name="Plain" NumLooks="1"><Look Name="Plain" Index="0"/></LookList></LookLists>
  <Skins>
)";
        SV::RCPtr<SV::LControlFactory> factory(new SV::LControlFactory(u"PresetEditor"));
        folder.WriteFile("Skins.xml",
                         std::string(kHead) + skins + "  </Skins>\n</Skin_Definitions>\n");
        ASSERT_EQ(factory->LoadSkins(SV::WideString(folder.Join("Skins.xml").c_str())), S_OK);
        const std::string table = "<Solvane_StringTable_Definitions>\n<Application "
                                  "Name=\"PresetEditor\">\n" +
                                  strings + "</Application>\n</Solvane_StringTable_Definitions>\n";
        ASSERT_EQ(factory->LoadStringTableTexts(table, {}, 0x0009), S_OK);
        if (registerFirst) {
            registerFirst(*factory);
        }
        SV::RegisterFrameworkControlTypes(*factory);
        ASSERT_EQ(RegisterEditorControlTypes(*factory), S_OK);
        app = SV::RCPtr<EditorApplicationDouble>(new EditorApplicationDouble(factory));
        controls = std::make_unique<EditorControlServices>();
        controls->mFactory = factory;
        controls->mCenter = app->GetNotificationCenter();
    }

    // The top-level control of that name in a window of its own.
    SV::RCPtr<SV::LControl> CreateWindow(const char16_t* name)
    {
        window = controls->AddRootWindow({0, 0, 1200, 720});
        controls->mActive = window;
        root = controls->mFactory->CreateRootControl(name, window);
        return root;
    }

    // Delivers a notification of the application centre at once.
    void NotifyCentre(const char16_t* name, const SV::ConstRCPtr<SV::LRefCountedObject>& payload)
    {
        app->GetNotificationCenter()->Notify(SV::CreateNotification(name, payload));
    }

    // Delivers what waits in the application centre's queue: how many of them had the name.
    int32_t DeliverPosted(const char16_t* name)
    {
        SV::RCPtr<NameCounter> counter(new NameCounter());
        const SV::RCPtr<SV::LNotificationCenter> centre = app->GetNotificationCenter();
        counter->Register(SV::RCPtr<SV::LNotificationDistributor>(centre), name);
        centre->Process(false);
        counter->UnregisterAll();
        return counter->count;
    }

    void TearDown() override
    {
        if (root) {
            root->Detach();
        }
        root = nullptr;
        window = nullptr;
        controls.reset();
        app = nullptr;
    }

    FakeDesktop desktop;
    SV::RCPtr<EditorEngine> engine{new EditorEngine()};
    EngineHost host{engine};
    TempFolder folder;
    SV::RCPtr<EditorApplicationDouble> app;
    std::unique_ptr<EditorControlServices> controls;
    SV::RCPtr<SV::LRootWindow> window;
    SV::RCPtr<SV::LControl> root;
};

} // namespace svtest
