#include "Application.h"

#include "ExceptionText.h"
#include "FakeDesktop.h"
#include "FakeRootWindow.h"
#include "RootModuleEngine.h"
#include "ScopedEnvironment.h"
#include "System/IniFileManagerProxy.h"
#include "TempFolder.h"
#include "Windows/CursorNames.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using SV::RCPtr;
using SV::WideString;
using svtest::FakeDesktop;
using svtest::FakeRootWindow;

std::string N(const WideString& text)
{
    return text.ToNarrow().GetText();
}

// The editor's application without its windows.
class TestApplication : public LApplication
{
public:
    using LApplication::LApplication;

    int32_t CreateMainWindow(int32_t) override { return E_FAIL; }
    void RunMessageLoop() override {}
};

constexpr const char* kTwoSkins =
    "<Skin_Definitions><Application Name=\"PresetEditor\"/><Skins>"
    "<Skin Name=\"Plain\"/>"
    "<Skin Name=\"Dark\" FontName=\"Serif\" FontSize=\"12\" FontStyle=\"2\"/>"
    "</Skins></Skin_Definitions>";

class EditorApplication : public testing::Test
{
protected:
    void SetUp() override
    {
        mEnvironment.Set("HOME", mHome.Path().c_str());
        mEnvironment.Set("XDG_CONFIG_HOME", mHome.Join("config").c_str());
        mEnvironment.Set("XDG_CONFIG_DIRS", mHome.Join("etc").c_str());
        SV::CIniFileManagerProxy::SetDefaultFolder(WideString(SV_INI_FILE_MANAGER_FOLDER));
    }

    void TearDown() override
    {
        mApp = nullptr;
        SV::CIniFileManagerProxy::SetDefaultFolder(WideString());
    }

    // The application over a factory with the given skin document (none: no skins).
    void Start(const char* skins)
    {
        RCPtr<SV::LControlFactory> factory(new SV::LControlFactory(u"Editor"));
        if (skins != nullptr) {
            mHome.WriteFile("Skins.xml", skins);
            ASSERT_EQ(factory->LoadSkins(WideString(mHome.Join("Skins.xml").c_str())), 0);
        }
        mApp = new TestApplication(factory, nullptr, u"editor");
    }

    RCPtr<FakeRootWindow> AddWindow(const std::string& name)
    {
        RCPtr<FakeRootWindow> window(new FakeRootWindow(name, mLog));
        mApp->AddRootWindow(RCPtr<SV::IRootWindow>(window));
        return window;
    }

    std::string SettingsPath() const
    {
        return mHome.Join("config/Vudozi/Vedozi Duruzava Program Editor/UserSettings.ini");
    }

    svtest::TempFolder mHome;
    svtest::ScopedEnvironment mEnvironment;
    FakeDesktop mDesktop;
    std::vector<std::string> mLog;
    RCPtr<TestApplication> mApp;
};

TEST_F(EditorApplication, UserSettingsLiveInTheUsersConfigFolder)
{
    Start(kTwoSkins);
    const int32_t handle = mApp->GetSettingsFile(LApplication::kUserSettings);
    ASSERT_NE(handle, 0);
    EXPECT_EQ(mApp->GetSettingsFile(LApplication::kUserSettings), handle) << "kept";
    EXPECT_EQ(mApp->GetSettings()->SetIniValueInt(handle, u"CurrentSkinIndex", 1), 0);
    EXPECT_TRUE(std::filesystem::exists(SettingsPath()));
    EXPECT_EQ(mApp->GetSavedSkinIndex(), 1);

    EXPECT_EQ(mApp->GetSettingsFile(2), 0);
    EXPECT_EQ(mApp->GetSettingsFile(-1), 0);
    const int32_t appSettings = mApp->GetSettingsFile(LApplication::kAppSettings);
    EXPECT_NE(appSettings, 0);
    EXPECT_NE(appSettings, handle);
    EXPECT_FALSE(std::filesystem::exists(mHome.Join("etc/Vudozi"))) << "never created";
}

TEST_F(EditorApplication, NoFolderMeansNoSettingsFile)
{
    mEnvironment.Set("HOME", nullptr);
    mEnvironment.Set("XDG_CONFIG_HOME", nullptr);
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(mHome.Path());
    Start(kTwoSkins);
    EXPECT_EQ(mApp->GetSettingsFile(LApplication::kUserSettings), 0);
    mApp->SetSkin(1);
    EXPECT_EQ(mApp->GetSavedSkinIndex(), 0);
    EXPECT_FALSE(std::filesystem::exists(mHome.Join("UserSettings.ini")));
    EXPECT_FALSE(std::filesystem::exists("/UserSettings.ini"));
    std::filesystem::current_path(before);
}

TEST_F(EditorApplication, WithoutTheSettingsLibraryNothingIsReadOrWritten)
{
    SV::CIniFileManagerProxy::SetDefaultFolder(WideString(mHome.Join("nowhere").c_str()));
    Start(kTwoSkins);
    EXPECT_EQ(mApp->GetSettingsFile(LApplication::kUserSettings), 0);
    EXPECT_EQ(mApp->SelectSavedSkin(), 0);
    EXPECT_EQ(mApp->GetControlFactory()->GetCurrentSkinIndex(), 0);
    EXPECT_EQ(mApp->SetSkin(1), 0);
    EXPECT_EQ(mApp->GetControlFactory()->GetCurrentSkinIndex(), 1);
    EXPECT_EQ(mApp->GetSavedSkinIndex(), 0);
    EXPECT_FALSE(std::filesystem::exists(SettingsPath()));
}

TEST_F(EditorApplication, SkinSwitchReappliesEveryWindowUnderTheWaitCursor)
{
    Start(kTwoSkins);
    const RCPtr<FakeRootWindow> w0 = AddWindow("w0");
    const RCPtr<FakeRootWindow> w1 = AddWindow("w1");
    w0->services.active = true;
    const svp::HCURSOR shownBefore = FakeDesktop::SystemCursor(svp::IDC_CROSS);
    w0->services.shownCursor = shownBefore;
    w1->services.screenClient = {0, 0, 300, 200};

    EXPECT_EQ(mApp->SetSkin(1), 0);
    EXPECT_EQ(mLog,
              (std::vector<std::string>{"w1:OnIdle(first)", "w0:OnIdle(first)", "w0:OnFocusLost",
                                        "w0:ReapplySkin", "w0:OnFocusGained", "w1:OnIdle(first)",
                                        "w0:OnIdle(first)", "w1:ReapplySkin"}))
        << "the busy message's idle pass comes first; only the active window loses and gets "
           "back the focus";
    const svp::HCURSOR wait = FakeDesktop::SystemCursor(svp::IDC_WAIT);
    EXPECT_EQ(w0->cursorsDuringReapply, std::vector<svp::HCURSOR>{wait});
    EXPECT_EQ(w1->cursorsDuringReapply, std::vector<svp::HCURSOR>{nullptr})
        << "the busy message works on the active window";
    EXPECT_EQ(w0->services.shownCursor, shownBefore);
    EXPECT_EQ(w0->reappliedSkins, std::vector<int32_t>{1});
    EXPECT_EQ(w1->reappliedSkins, std::vector<int32_t>{1});
    EXPECT_EQ(w0->invalidated, (std::vector<SV::RectT<int32_t>>{{0, 0, 640, 480}}));
    EXPECT_EQ(w1->invalidated, (std::vector<SV::RectT<int32_t>>{{0, 0, 300, 200}}));

    EXPECT_EQ(mApp->GetSavedSkinIndex(), 1);
    ASSERT_TRUE(mApp->GetApplicationFont());
    EXPECT_EQ(N(mApp->GetApplicationFont()->GetFamilyName()), "Serif");
    EXPECT_FLOAT_EQ(mApp->GetApplicationFont()->GetSize(), 12.0f);
    EXPECT_EQ(mApp->GetApplicationFont()->GetStyle(), 2);
    EXPECT_EQ(mApp->GetApplicationFont(), SV::LFont::GetFont(u"Serif", 12.0f, 2))
        << "the registry's font";

    mApp->SetSkin(0);
    EXPECT_FLOAT_EQ(mApp->GetApplicationFont()->GetSize(), 9.0f) << "the desktop's font again";
    EXPECT_EQ(mApp->GetSavedSkinIndex(), 0);
}

TEST_F(EditorApplication, WindowClosedDuringTheSwitchIsSkipped)
{
    Start(kTwoSkins);
    const RCPtr<FakeRootWindow> w0 = AddWindow("w0");
    const RCPtr<FakeRootWindow> w1 = AddWindow("w1");
    w1->onIdle = [&](bool) { mApp->RemoveRootWindow(RCPtr<SV::IRootWindow>(w1)); };
    EXPECT_EQ(mApp->SetSkin(1), 0);
    EXPECT_EQ(w0->reappliedSkins.size(), 1u);
    EXPECT_TRUE(w1->reappliedSkins.empty());
    EXPECT_TRUE(w1->invalidated.empty());
}

TEST_F(EditorApplication, SavedSkinIndexIsClampedToTheSkinsThereAre)
{
    const struct
    {
        int32_t saved;
        int32_t selected;
    } cases[] = {{7, 1}, {1, 1}, {0, 0}, {-3, 0}};
    for (const auto& c : cases) {
        Start(kTwoSkins);
        const int32_t handle = mApp->GetSettingsFile(LApplication::kUserSettings);
        mApp->GetSettings()->SetIniValueInt(handle, u"CurrentSkinIndex", c.saved);
        EXPECT_EQ(mApp->SelectSavedSkin(), 0);
        EXPECT_EQ(mApp->GetControlFactory()->GetCurrentSkinIndex(), c.selected) << c.saved;
        EXPECT_EQ(mApp->GetSavedSkinIndex(), c.selected);
        mApp = nullptr;
    }

    // With no skin at all start-up cannot choose one, and a switch reads nothing outside the
    // list.
    Start("<Skin_Definitions><Application Name=\"PresetEditor\"/></Skin_Definitions>");
    EXPECT_EQ(mApp->SelectSavedSkin(), E_FAIL);
    EXPECT_EQ(mApp->SetSkin(3), 0);
    EXPECT_FALSE(mApp->GetControlFactory()->GetCurrentSkin());
}

TEST_F(EditorApplication, ProgramsOwnCursorsAreKnownByTheirProcessWideNames)
{
    Start(kTwoSkins);
    EXPECT_EQ(mApp->GetCursor(SV::UI_CURSOR_DROP_MOVE), FakeDesktop::ResourceCursor(102));
    const WideString copy = SV::UI_CURSOR_DROP_COPY;
    EXPECT_EQ(mApp->GetCursor(copy), FakeDesktop::ResourceCursor(103));
    EXPECT_EQ(mApp->GetCursor(SV::UI_CURSOR_MAG), nullptr);
    EXPECT_EQ(mApp->GetCursor(SV::UI_CURSOR_SPLIT_H), nullptr);
    // An equal text built elsewhere is not the program's name: the base answers the arrow.
    EXPECT_EQ(mApp->GetCursor(WideString(u"UI_CURSOR_DROP_MOVE")),
              FakeDesktop::SystemCursor(svp::IDC_ARROW));
    EXPECT_EQ(mApp->GetCursor(WideString(u"UI_CURSOR_MAG")),
              FakeDesktop::SystemCursor(svp::IDC_ARROW));
    EXPECT_EQ(mApp->GetCursor(SV::UI_CURSOR_HAND), FakeDesktop::SystemCursor(svp::IDC_HAND));
}

// A get's reply, the panels and the program files find the program's engine through its host:
// the application, from its start-up until it goes.
TEST_F(EditorApplication, FromStartUpOnItHostsItsEngineUntilItGoes)
{
    RCPtr<SV::LControlFactory> factory(new SV::LControlFactory(u"PresetEditor"));
    mHome.WriteFile("Skins.xml", kTwoSkins);
    ASSERT_EQ(factory->LoadSkins(WideString(mHome.Join("Skins.xml").c_str())), 0);
    ASSERT_EQ(factory->LoadStringTables(WideString(u"::APP_STRINGS"),
                                        WideString(u"::FRAMEWORK_STRINGS"), 0x0009),
              0);
    mApp = new TestApplication(factory, nullptr, u"editor");
    EXPECT_FALSE(GetRootModuleEngine());

    ASSERT_GE(mApp->Startup(), 0);
    ASSERT_TRUE(mApp->GetRootModuleEngine());
    EXPECT_EQ(GetRootModuleEngine(), mApp->GetRootModuleEngine());

    mApp->Shutdown();
    mApp = nullptr;
    EXPECT_FALSE(GetRootModuleEngine());
}

TEST_F(EditorApplication, ProgramChoices)
{
    Start(kTwoSkins);
    EXPECT_EQ(N(mApp->GetSettingsVersion()), "1_0_0");
    EXPECT_EQ(N(mApp->GetMainControlName()), "mainControl");
    EXPECT_EQ(mApp->GetRendererType(), 1);
    EXPECT_TRUE(mApp->CanExit());
    EXPECT_FALSE(mApp->GetMidiManager());
    EXPECT_EQ(N(mApp->GetCompanyName()), "Vudozi");
    EXPECT_EQ(N(mApp->GetApplicationName()), "Vedozi Duruzava Program Editor");
    EXPECT_EQ(N(mApp->GetProductVersion()), "1.0.2");

    EXPECT_EQ(N(mApp->GetFolder(5)), mHome.Path());
    EXPECT_EQ(N(mApp->GetFolder(6)), N(mApp->GetFolder(4)));
    EXPECT_EQ(
        svtest::ExceptionTextOf<SV::Exception<std::out_of_range>>([&] { mApp->GetFolder(7); }),
        "Out of Range : Unknown Path ID. : SV::MFCFrameworkApp<class "
        "LApplication>::GetFolder : ApplicationBaseWin : Line 570");
}

} // namespace
