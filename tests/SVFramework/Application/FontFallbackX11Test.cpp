// The application with the OpenGL back end on a skin that names a font family the system does not
// have: the text is measured and drawn with the file of the desktop's font instead.
#include "ControlBase/Control.h"
#include "ControlBase/ControlFactory.h"
#include "Controls/ControlTypes.h"
#include "FakeDesktop.h"
#include "Renderer/Font.h"
#include "Renderer/FontRenderer/FontFileInfo.h"
#include "Renderer/Renderer.h"
#include "ScopedEnvironment.h"
#include "TempFolder.h"
#include "TestFrameworkApp.h"
#include "Windows/OSWindowContext.h"
#include "Windows/RootWindow.h"
#include "Windows/WindowOSServices.h"

#include <gtest/gtest.h>

namespace {

class OpenGLTestApp : public svtest::TestFrameworkApp
{
public:
    using svtest::TestFrameworkApp::TestFrameworkApp;
    int32_t GetRendererType() override { return SV::LRenderer::kTypeOpenGL; }
    int32_t CreateMainWindow(int32_t rendererType) override
    {
        return SV::LApplicationBase<svtest::TestFrameworkApp>::CreateMainWindow(rendererType);
    }
};

constexpr const char* kSkin = R"(<Skin_Definitions>
  <Application Name="PresetEditor"/>
  <Colorizers>
    <Colorizer Name="Black" ColorType="SolidFill" Color="FF000000"/>
    <Colorizer Name="Light" ColorType="SolidFill" Color="FFE0E0E0"/>
  </Colorizers>
  <Parts>
    <Part Name="Black" Width="1" Height="1" ResizeType="Stretch" ColorizerName="Black"/>
    <Part Name="Light" Width="1" Height="1" ResizeType="Stretch" ColorizerName="Light"/>
  </Parts>
  <Looks>
    <Look Name="Plain"/>
    <Look Name="Text">
      <ClientPart Name="Light" OffsetLeft="0" OffsetTop="0" OffsetRight="0" OffsetBottom="0"/>
      <TextProperties TextLeftRel="0" TextLeftAbs="2" TextRightRel="1" TextRightAbs="-2"
                      TextHAlign="0" TextTopRel="0" TextTopAbs="0" TextBottomRel="1"
                      TextBottomAbs="0" TextVAlign="0.5" TextForegroundPart="Black"/>
    </Look>
  </Looks>
  <LookLists>
    <LookList Name="Plain" NumLooks="1"><Look Name="Plain" Index="0"/></LookList>
    <LookList Name="Text" NumLooks="1"><Look Name="Text" Index="0"/></LookList>
  </LookLists>
  <Skins>
    <Skin Name="Default" FontName="No Such Family Anywhere" FontSize="12">
      <SubControl Class="Framework.Panel" Name="mainControl"
                  XPositionToControl="Screen" XPositionAbs="0" YPositionToControl="Screen" YPositionAbs="0"
                  XSizeToControl="Self" XSizeAbs="240" YSizeToControl="Self" YSizeAbs="60"
                  XMinSizeToControl="Self" XMinSizeAbs="240" YMinSizeToControl="Self" YMinSizeAbs="60"
                  XMaxSizeToControl="Self" XMaxSizeAbs="240" YMaxSizeToControl="Self" YMaxSizeAbs="60">
        <Skin Name="mainControl" LookList="Plain">
          <SubControl Class="Framework.Label" Name="label" XPositionAbs="10" YPositionAbs="10"
                      XSizeAbs="200" YSizeAbs="30" FontName="No Such Family Anywhere" FontSize="12">
            <Skin Name="label" LookList="Text"/>
          </SubControl>
        </Skin>
      </SubControl>
    </Skin>
  </Skins>
</Skin_Definitions>
)";

TEST(FontFallbackX11, TheOpenGLBackEndDrawsAMissingSkinFamilyWithTheDesktopsFontFile)
{
    svtest::TempFolder folder;
    svtest::ScopedEnvironment environment;
    environment.Set("XDG_CONFIG_HOME", folder.Path().c_str());
    auto context = SV::OSWindowContext::Open([](int32_t) { return false; });
    if (!context) {
        GTEST_SKIP() << "no X display";
    }
    svtest::FakeDesktop desktop;
    folder.WriteFile("Skins.xml", kSkin);
    SV::RCPtr<SV::LControlFactory> factory(new SV::LControlFactory(u"PresetEditor"));
    ASSERT_EQ(factory->LoadSkins(SV::WideString(folder.Join("Skins.xml").c_str())), 0);
    ASSERT_EQ(factory->SetCurrentSkinIndex(0), 0);
    SV::RegisterFrameworkControlTypes(*factory);
    SV::RCPtr<OpenGLTestApp> app(new OpenGLTestApp(factory));
    ASSERT_EQ(app->CreateMainWindow(app->GetRendererType()), 0);
    const SV::RCPtr<SV::IRootWindow> rootWindow = *app->GetRootWindows().At(0);
    const SV::RCPtr<SV::LRenderer> renderer = rootWindow->GetRenderer();
    ASSERT_TRUE(renderer);
    ASSERT_EQ(renderer->GetRendererType(), SV::LRenderer::kTypeOpenGL);
    auto* root = dynamic_cast<SV::LRootWindow*>(rootWindow.Get());
    ASSERT_TRUE(root);
    ASSERT_GE(root->SetMainControlByName(app->GetMainControlName()), 0);
    ASSERT_TRUE(root->GetMainControl());
    const SV::RCPtr<SV::LControl> label = root->GetMainControl()->FindChildControl(u"label");
    ASSERT_TRUE(label && label->GetFont());
    ASSERT_TRUE(label->GetFont()->GetFamilyName().EqualsText(u"No Such Family Anywhere"));

    // The window is shown and painted with the label's text, then the text is measured.
    label->SetText(u"Tempo 120");
    rootWindow->GetWindowServices()->Show(5);
    rootWindow->RedrawAll();
    context->GetWindows().Sync();
    while (context->GetLoop().PumpOne(0)) {
    }
    EXPECT_GT(renderer->MeasureText(u"Tempo 120", label->GetFont()).width, 30.0f);

    SV::WideString desktopFace;
    float size = 0.0f;
    int32_t style = 0;
    ASSERT_EQ(app->GetDefaultFont(desktopFace, size, style), 0);
    EXPECT_EQ(SV::LFontFileInfo::GetFileID(label->GetFont()),
              SV::LFontFileInfo::GetFileID(SV::LFont::GetFont(desktopFace, 12.0f, 0)));

    app->Shutdown();
    app = nullptr;
}

} // namespace
