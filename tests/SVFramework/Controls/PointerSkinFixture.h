// Control trees of a small skin in a window that takes pointer input as the native window sends
// it: the skin's top control fills the window's client area, presses, moves and releases go
// through the root window, and an application object hands out the cursors. The skin has an
// opaque look "Solid" (lists "Solid" with one look and "States" with seven), so that the
// controls that use it are hit by the pointer.
#pragma once

#include "ControlApplicationDouble.h"
#include "FakeDesktop.h"
#include "RecordingWindowServices.h"
#include "TempFolder.h"
#include "TestFrameworkApp.h"

#include "ControlBase/Control.h"
#include "ControlBase/ControlFactory.h"
#include "Controls/ControlTypes.h"
#include "ResultCodes.h"
#include "System/ModifierKeys.h"
#include "Windows/RootWindow.h"

#include <gtest/gtest.h>

#include <string>

namespace svtest {

class PointerSkinFixture : public ::testing::Test
{
protected:
    // `skins` is the inside of <Skins>.
    void LoadSkin(const std::string& skins)
    {
        static const char* const kHead = R"(<Skin_Definitions>
  <Application Name="PresetEditor"/>
  <Colorizers><Colorizer Name="Black" ColorType="SolidFill" Color="FF000000"/></Colorizers>
  <Parts><Part Name="Black" Width="1" Height="1" ResizeType="Stretch" ColorizerName="Black"/></Parts>
  <Looks><Look Name="Solid"><ClientPart Name="Black" OffsetLeft="0" OffsetTop="0" OffsetRight="0" OffsetBottom="0"/></Look></Looks>
  <LookLists>
    <LookList Name="Solid" NumLooks="1"><Look Name="Solid" Index="0"/></LookList>
    <LookList Name="States" NumLooks="7">
      <Look Name="Solid" Index="0"/><Look Name="Solid" Index="1"/><Look Name="Solid" Index="2"/>
      <Look Name="Solid" Index="3"/><Look Name="Solid" Index="4"/><Look Name="Solid" Index="5"/>
      <Look Name="Solid" Index="6"/>
    </LookList>
  </LookLists>
  <Skins>
)";
        folder.WriteFile("Skins.xml",
                         std::string(kHead) + skins + "  </Skins>\n</Skin_Definitions>\n");
        ASSERT_EQ(app.mFactory->LoadSkins(SV::WideString(folder.Join("Skins.xml").c_str())), S_OK);
        SV::RegisterFrameworkControlTypes(*app.mFactory);
    }

    // The top-level control of that name as the main control of a window of that client size.
    SV::RCPtr<SV::LControl> CreateWindow(const char16_t* name, int32_t width, int32_t height)
    {
        services.active = true;
        services.screenClient = {0, 0, width, height};
        window = SV::RCPtr<SV::LRootWindow>(new SV::LRootWindow(nullptr, &services));
        app.mActive = window;
        window->SetMainControlByName(name);
        root = window->GetMainControl();
        return root;
    }

    void TearDown() override
    {
        if (window) {
            window->SetMainControl(nullptr);
        }
        root = nullptr;
        app.mActive = nullptr;
        window = nullptr;
    }

    void Move(int32_t x, int32_t y)
    {
        services.cursor = {x, y};
        window->OnMouseMove({x, y}, 0, 0);
    }
    void Press(int32_t x, int32_t y) { Button(SV::kButtonPress, x, y, 1); }
    void Release(int32_t x, int32_t y) { Button(SV::kButtonRelease, x, y, 0); }
    // A new client size, as the native window reports it.
    void Resize(int32_t width, int32_t height)
    {
        services.screenClient.width = width;
        services.screenClient.height = height;
        window->OnResize({width, height});
    }

    TempFolder folder;
    FakeDesktop desktop;
    // Made before the controls' application double: the framework application makes itself
    // the controls' application, and the double, made after it, takes that place back.
    SV::RCPtr<TestFrameworkApp> frameworkApp{new TestFrameworkApp()};
    ControlApplicationDouble app;
    RecordingWindowServices services;
    SV::RCPtr<SV::LRootWindow> window;
    SV::RCPtr<SV::LControl> root;

private:
    void Button(int32_t kind, int32_t x, int32_t y, int32_t held)
    {
        services.buttons = held;
        window->OnMouseButton(kind, 1, 0, {x, y}, 0);
        services.cursor = {x, y};
    }
};

} // namespace svtest
