#include "ControlApplicationDouble.h"
#include "TempFolder.h"

#include "ControlBase/ControlFactory.h"
#include "Controls/ControlTypes.h"
#include "Controls/Label.h"
#include "Controls/Panel.h"
#include "ResultCodes.h"

#include <gtest/gtest.h>

#include <string>

using namespace SV;

namespace {

const char* const kSkinHead = R"(<Skin_Definitions>
  <Application Name="PresetEditor"/>
  <Colorizers><Colorizer Name="Black" ColorType="SolidFill" Color="FF000000"/></Colorizers>
  <Parts><Part Name="Black" Width="1" Height="1" ResizeType="Stretch" ColorizerName="Black"/></Parts>
  <Looks>
    <Look Name="Text">
      <TextProperties TextLeftRel="0" TextLeftAbs="0" TextRightRel="1" TextRightAbs="0"
                      TextHAlign="0" TextTopRel="0" TextTopAbs="0" TextBottomRel="1"
                      TextBottomAbs="0" TextVAlign="0" TextForegroundPart="Black"/>
    </Look>
  </Looks>
  <LookLists><LookList Name="Text" NumLooks="2"><Look Name="Text" Index="0"/></LookList></LookLists>
  <Skins>
)";

const char* const kSkinTail = R"(  </Skins>
</Skin_Definitions>
)";

const char* const kWindowSkin = R"(
    <Skin Name="Default" FontName="Arial" FontSize="9">
      <SubControl Class="Framework.Panel" Name="window" XSizeAbs="400" YSizeAbs="300"
                  XPositionToControl="Client" YPositionToControl="Client">
        <Skin Name="window">
          <SubControl Class="Framework.Label" Name="title" XSizeAbs="100" YSizeAbs="20"
                      TextOverflowXType="Expand">
            <Skin Name="title" LookList="Text"/>
            <CreateParamList><CreateParam ID="NOT_FOCUSABLE">false</CreateParam></CreateParamList>
          </SubControl>
          <SubControl Class="Framework.Panel" Name="body" YPositionAbs="20" TabStop="-1"
                      XSizeToControl="Client" XSizeRel="1" XSizeAbs="0"
                      YSizeToControl="Client" YSizeRel="1" YSizeAbs="0">
            <Skin Name="body">
              <SubControl Class="Framework.Panel" Name="knob" XSizeAbs="30" YSizeAbs="30">
                <CreateParamList>
                  <CreateParam ID="INITIAL_VALUE"> 2.5</CreateParam>
                  <CreateParam ID="NOT_FOCUSABLE"> TRUE
</CreateParam>
                  <CreateParam ID="WANTS_TAB">yes</CreateParam>
                </CreateParamList>
              </SubControl>
              <SubControl Class="Framework.Panel" Name="later" XSizeAbs="30" YSizeAbs="30">
                <CreateParamList><CreateParam ID="DEFER_CREATE">True</CreateParam></CreateParamList>
              </SubControl>
            </Skin>
          </SubControl>
          <SubControl Class="Framework.Panel" Name="hidden" IsVisible="False"/>
        </Skin>
      </SubControl>
    </Skin>
)";

class ControlCreationTest : public ::testing::Test
{
protected:
    void LoadSkin(const std::string& skins)
    {
        folder.WriteFile("Skins.xml", std::string(kSkinHead) + skins + kSkinTail);
        ASSERT_EQ(app.mFactory->LoadSkins(WideString(folder.Join("Skins.xml").c_str())), S_OK);
        RegisterFrameworkControlTypes(*app.mFactory);
    }

    RCPtr<LControl> CreateWindow(const char16_t* name)
    {
        window = app.AddRootWindow({0, 0, 400, 300});
        app.mActive = window;
        return app.mFactory->CreateRootControl(name, window);
    }

    svtest::TempFolder folder;
    svtest::ControlApplicationDouble app;
    RCPtr<LRootWindow> window;
};

TEST_F(ControlCreationTest, TreeIsCreatedFromTheSkinWithItsProperties)
{
    LoadSkin(kWindowSkin);
    RCPtr<LControl> root = CreateWindow(u"window");
    ASSERT_TRUE(root);
    EXPECT_TRUE(root->IsCreated());
    EXPECT_NE(dynamic_cast<LPanel*>(root.Get()), nullptr);
    EXPECT_EQ(root->GetRect(), (RectT<double>{0, 0, 400, 300}));

    const RCPtr<LControl>& title = root->FindChildControl(u"title");
    const RCPtr<LControl>& body = root->FindChildControl(u"body");
    ASSERT_TRUE(title && body);
    EXPECT_NE(dynamic_cast<LLabel*>(title.Get()), nullptr);
    // A label refuses the focus whatever its CreateParams say; a negative TabStop without
    // CreateParams makes a control not focusable.
    EXPECT_TRUE(title->IsNotFocusable());
    EXPECT_TRUE(body->IsNotFocusable());
    EXPECT_EQ(body->GetLayout()->tabStop, -1);
    EXPECT_EQ(body->GetRect(), (RectT<double>{0, 20, 400, 280}));
    // The font comes from the skin's default through the control's base font.
    ASSERT_TRUE(title->GetFont());
    EXPECT_TRUE(title->GetFont()->GetFamilyName().EqualsText(u"Sans"));

    const RCPtr<LControl>& knob = body->FindChildControl(u"knob");
    ASSERT_TRUE(knob);
    EXPECT_EQ(knob->GetNormalizedValue(), 1.0);
    EXPECT_TRUE(knob->IsNotFocusable());
    EXPECT_FALSE(knob->WantsTab());
    EXPECT_FALSE(body->FindChildControl(u"later"));
    EXPECT_FALSE(root->FindChildControl(u"hidden")->IsVisible(false));
    EXPECT_TRUE(window->GetMainControl() == nullptr || window->GetMainControl() == root);
    root->Detach();
}

TEST_F(ControlCreationTest, UnregisteredClassThrowsAndClassNamesAreCaseSensitive)
{
    LoadSkin(R"(<Skin Name="Default">
      <SubControl Class="framework.panel" Name="window"/>
    </Skin>)");
    window = app.AddRootWindow({0, 0, 400, 300});
    EXPECT_THROW(app.mFactory->CreateRootControl(u"window", window), std::runtime_error);
    EXPECT_FALSE(app.mFactory->CreateRootControl(u"missing", window));
}

TEST_F(ControlCreationTest, RegisteringANameTwiceKeepsTheFirstFunction)
{
    EXPECT_EQ(
        app.mFactory->RegisterControlCreateFunction(u"Framework.Panel", &LLabel::CreateControl),
        S_OK);
    EXPECT_GE(RegisterFrameworkControlTypes(*app.mFactory), 4);
    EXPECT_EQ(app.mFactory->GetControlCreateFunction(u"Framework.Panel"), &LLabel::CreateControl);
    EXPECT_EQ(app.mFactory->GetControlCreateFunction(u"Framework.ScrollChannel"),
              &LPanel::CreateControl);
}

TEST_F(ControlCreationTest, ReapplyingKeepsRunTimeStateAndMatchesChildrenByName)
{
    LoadSkin(kWindowSkin);
    RCPtr<LControl> root = CreateWindow(u"window");
    ASSERT_TRUE(root);
    RCPtr<LControl> title = root->FindChildControl(u"title");
    RCPtr<LControl> hidden = root->FindChildControl(u"hidden");
    title->SetText(u"Run time");
    title->SetEnabled(false);

    // A skin in which "hidden" is visible and "body" is gone.
    RCPtr<LControlDescriptor> changed = app.mFactory->FindRootDescriptor(u"window")->Clone();
    RCPtr<LControlDescriptor> shown = (*changed->GetChildren().At(2))->Clone();
    RCPtr<LLayoutDescriptor> visibleLayout = shown->GetLayout()->Clone();
    visibleLayout->visible = true;
    shown->SetLayout(visibleLayout);
    changed->GetChildren().RemoveAll();
    changed->AddChild(app.mFactory->FindRootDescriptor(u"window")->GetChildren().At(0)->Get());
    changed->AddChild(shown);

    EXPECT_EQ(root->ApplyDescriptor(changed), S_OK);
    EXPECT_EQ(root->GetChildren().GetCount(), 2);
    EXPECT_EQ(root->FindChildControl(u"title"), title);
    EXPECT_EQ(root->FindChildControl(u"hidden"), hidden);
    EXPECT_FALSE(root->FindChildControl(u"body"));
    EXPECT_TRUE(title->GetText().EqualsText(u"Run time"));
    EXPECT_FALSE(title->IsEnabled(false));
    EXPECT_TRUE(hidden->GetLayout()->visible);
    // The top control fills its window's client area.
    EXPECT_EQ(root->GetRect(), (RectT<double>{0, 0, 400, 300}));
    root->Detach();
}

} // namespace
