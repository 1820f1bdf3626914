// Creates control trees for the controls' tests from a small skin written in the test: the skin
// file is written to a temporary folder, loaded by the application double's factory with the
// framework's control types registered, and its top control is put into a root window.
#pragma once

#include "ControlApplicationDouble.h"
#include "ExceptionText.h"
#include "TempFolder.h"

#include "ControlBase/Control.h"
#include "ControlBase/ControlFactory.h"
#include "Controls/ControlTypes.h"
#include "ResultCodes.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace svtest {

class ControlSkinFixture : public ::testing::Test
{
protected:
    // `skins` is the inside of <Skins>: one or more <Skin> elements; `lookLists` adds
    // <LookList> elements beside "Plain" (a list with one look); `looks` adds <Look> elements
    // beside "Plain" (a look without parts, through which hit testing passes).
    void LoadSkin(const std::string& skins, const std::string& lookLists = "",
                  const std::string& looks = "")
    {
        static const char* const kHead = R"(<Skin_Definitions>
  <Application Name="PresetEditor"/>
  <Colorizers><Colorizer Name="Black" ColorType="SolidFill" Color="FF000000"/></Colorizers>
  <Parts><Part Name="Black" Width="1" Height="1" ResizeType="Stretch" ColorizerName="Black"/></Parts>
  <Looks><Look Name="Plain"/>)";
        static const char* const kLookListsHead = R"(</Looks>
  <LookLists><LookList Name="Plain" NumLooks="1"><Look Name="Plain" Index="0"/></LookList>)";
        static const char* const kSkinsHead = "</LookLists>\n  <Skins>\n";
        static const char* const kTail = "  </Skins>\n</Skin_Definitions>\n";
        folder.WriteFile("Skins.xml", std::string(kHead) + looks + kLookListsHead + lookLists +
                                          kSkinsHead + skins + kTail);
        ASSERT_EQ(app.mFactory->LoadSkins(SV::WideString(folder.Join("Skins.xml").c_str())), S_OK);
        SV::RegisterFrameworkControlTypes(*app.mFactory);
    }

    // The top-level control of that name in a 400 x 300 window.
    SV::RCPtr<SV::LControl> CreateWindow(const char16_t* name)
    {
        window = app.AddRootWindow({0, 0, 400, 300});
        app.mActive = window;
        root = app.mFactory->CreateRootControl(name, window);
        return root;
    }

    // The text of the runtime error that creating the top-level control "window" throws, or
    // "no exception".
    std::string WindowCreationError()
    {
        return ExceptionTextOf<SV::Exception<std::runtime_error>>([&] { CreateWindow(u"window"); });
    }

    void TearDown() override
    {
        if (root) {
            root->Detach();
        }
    }

    svtest::TempFolder folder;
    svtest::ControlApplicationDouble app;
    SV::RCPtr<SV::LRootWindow> window;
    SV::RCPtr<SV::LControl> root;
};

} // namespace svtest
