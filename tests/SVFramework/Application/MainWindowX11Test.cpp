// The application's main window on the test's X server: made from the skin's main control, its
// placement restored only from a whole record, and saved even when the main loop failed; it and
// the windows opened over it carry the program's icon.
#include "Application/MainWindowPlacement.h"
#include "ControlBase/Control.h"
#include "ControlBase/ControlFactory.h"
#include "ControlBase/StringTable.h"
#include "Controls/ControlTypes.h"
#include "FakeDesktop.h"
#include "ProfileFile.h"
#include "ScopedEnvironment.h"
#include "TempFolder.h"
#include "TestFrameworkApp.h"
#include "Windows/OSWindow.h"
#include "Windows/OSWindowContext.h"
#include "Windows/RootWindow.h"
#include "Windows/WindowOSServices.h"

#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
// After gtest: Xlib defines None, which gtest uses as a name.
#include "X11WindowProperty.h"

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

// The test application with the platform layer's own main window.
class WindowedTestApp : public svtest::TestFrameworkApp
{
public:
    using svtest::TestFrameworkApp::TestFrameworkApp;
    int32_t CreateMainWindow(int32_t rendererType) override
    {
        return SV::LApplicationBase<svtest::TestFrameworkApp>::CreateMainWindow(rendererType);
    }
};

constexpr const char* kSkin = R"(<Skin_Definitions>
  <Application Name="PresetEditor"/>
  <Looks><Look Name="Plain"/></Looks>
  <LookLists><LookList Name="Plain" NumLooks="1"><Look Name="Plain" Index="0"/></LookList></LookLists>
  <Skins>
    <Skin Name="Default">
      <SubControl Class="Framework.Panel" Name="mainControl"
                  XPositionToControl="Screen" XPositionAbs="20" YPositionToControl="Screen" YPositionAbs="30"
                  XSizeToControl="Self" XSizeAbs="300" YSizeToControl="Self" YSizeAbs="200"
                  XMinSizeToControl="Self" XMinSizeAbs="300" YMinSizeToControl="Self" YMinSizeAbs="200"
                  XMaxSizeToControl="Self" XMaxSizeAbs="300" YMaxSizeToControl="Self" YMaxSizeAbs="200">
        <Skin Name="mainControl" LookList="Plain"/>
      </SubControl>
    </Skin>
  </Skins>
</Skin_Definitions>
)";

TEST(MainWindowX11, ADamagedPlacementIsIgnoredAndTheWindowIsSavedAfterALoopFailure)
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
    SV::SetMainWindowClassName("MainWindowTestClass");

    SV::RCPtr<WindowedTestApp> app(new WindowedTestApp(
        factory, SV::RCPtr<SV::LStringTable>(new SV::LStringTable(SV::LStringTable::Strings{
                     {u"STARTUP_ERROR", u"Lost."}, {u"STARTUP_ERROR_CAPTION", u"Error"}}))));
    // One byte short of a whole record: a damaged value that must not place the window.
    std::filesystem::create_directories(std::filesystem::path(SV::GetProfilePath()).parent_path());
    const std::vector<uint8_t> damaged(43, 0x10);
    ASSERT_TRUE(
        svp::ProfileFile(SV::GetProfilePath()).WriteBinary("MainWindowTestClass", "WP", damaged));

    ASSERT_EQ(app->CreateMainWindow(1), 0);
    ASSERT_EQ(app->GetRootWindows().GetCount(), 1);
    app->messageLoop = [] { throw std::runtime_error("lost"); };
    app->RunMainLoop();
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(desktop.messageBoxes[0].text, "Lost.");
    // The window system settles what the window was asked to be.
    context->GetWindows().Sync();
    while (context->GetLoop().PumpOne(0)) {
    }

    app->Shutdown();
    EXPECT_EQ(app->GetRootWindows().GetCount(), 0);
    const auto saved = SV::LoadMainWindowPlacement();
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->left, 20);
    EXPECT_EQ(saved->top, 30);
    EXPECT_EQ(saved->right, 320);
    EXPECT_EQ(saved->bottom, 230);
    app = nullptr;
}

TEST(MainWindowX11, AModalWindowOverTheMainOneEndsWithItsCloseResult)
{
    svtest::TempFolder folder;
    svtest::ScopedEnvironment environment;
    environment.Set("XDG_CONFIG_HOME", folder.Path().c_str());
    auto context = SV::OSWindowContext::Open([](int32_t) { return false; });
    if (!context) {
        GTEST_SKIP() << "no X display";
    }
    folder.WriteFile("Skins.xml", kSkin);
    SV::RCPtr<SV::LControlFactory> factory(new SV::LControlFactory(u"PresetEditor"));
    ASSERT_EQ(factory->LoadSkins(SV::WideString(folder.Join("Skins.xml").c_str())), 0);
    ASSERT_EQ(factory->SetCurrentSkinIndex(0), 0);
    SV::RCPtr<WindowedTestApp> app(new WindowedTestApp(factory));
    ASSERT_EQ(app->CreateMainWindow(1), 0);

    SV::RCPtr<SV::LControl> dialog(new SV::LControl(nullptr, u"dialog"));
    SV::RCPtr<SV::LLayoutDescriptor> layout(new SV::LLayoutDescriptor());
    layout->axes[0].size.absolute = 120;
    layout->axes[1].size.absolute = 60;
    dialog->SetLayout(layout);
    dialog->UpdateLayout();
    // A modeless window needs the control's descriptor; a modal one does not.
    EXPECT_THROW(app->OpenRootWindow(dialog, true, false, false), std::runtime_error);
    context->GetLoop().Post([&app] {
        ASSERT_EQ(app->GetRootWindows().GetCount(), 2);
        (*app->GetRootWindows().At(1))->RequestClose(3);
    });
    EXPECT_EQ(app->RunModal(dialog, true), 3);
    EXPECT_EQ(app->GetRootWindows().GetCount(), 1);
    app->Shutdown();
    app = nullptr;
}

// The width and height of the window's _NET_WM_ICON as another client reads them; 0, 0 without
// one.
std::pair<unsigned long, unsigned long> IconSize(SV::OSWindowContext& context, svp::HWND window)
{
    context.GetWindows().Sync();
    Display* observer = XOpenDisplay(nullptr);
    if (observer == nullptr) {
        return {0, 0};
    }
    const std::vector<unsigned long> icon = svtest::ReadWindowProperty<unsigned long>(
        observer, static_cast<Window>(context.GetWindows().GetSystemId(window)), "_NET_WM_ICON",
        XA_CARDINAL);
    XCloseDisplay(observer);
    if (icon.size() < 2) {
        return {0, 0};
    }
    return {icon[0], icon[1]};
}

TEST(MainWindowX11, TheMainWindowAndAModalOneOverItCarryTheProgramIcon)
{
    svtest::TempFolder folder;
    svtest::ScopedEnvironment environment;
    environment.Set("XDG_CONFIG_HOME", folder.Path().c_str());
    auto context = SV::OSWindowContext::Open([](int32_t) { return false; });
    if (!context) {
        GTEST_SKIP() << "no X display";
    }
    folder.WriteFile("Skins.xml", kSkin);
    SV::RCPtr<SV::LControlFactory> factory(new SV::LControlFactory(u"PresetEditor"));
    ASSERT_EQ(factory->LoadSkins(SV::WideString(folder.Join("Skins.xml").c_str())), 0);
    ASSERT_EQ(factory->SetCurrentSkinIndex(0), 0);
    SV::RCPtr<WindowedTestApp> app(new WindowedTestApp(factory));
    ASSERT_EQ(app->CreateMainWindow(1), 0);
    const auto handleOf = [&app](int32_t index) {
        return (*app->GetRootWindows().At(index))->GetWindowServices()->GetWindowHandle();
    };
    EXPECT_EQ(IconSize(*context, handleOf(0)), std::make_pair(64ul, 64ul));

    SV::RCPtr<SV::LControl> dialog(new SV::LControl(nullptr, u"dialog"));
    SV::RCPtr<SV::LLayoutDescriptor> layout(new SV::LLayoutDescriptor());
    layout->axes[0].size.absolute = 120;
    layout->axes[1].size.absolute = 60;
    dialog->SetLayout(layout);
    dialog->UpdateLayout();
    std::pair<unsigned long, unsigned long> dialogIcon{0, 0};
    context->GetLoop().Post([&] {
        ASSERT_EQ(app->GetRootWindows().GetCount(), 2);
        dialogIcon = IconSize(*context, handleOf(1));
        (*app->GetRootWindows().At(1))->RequestClose(0);
    });
    EXPECT_EQ(app->RunModal(dialog, true), 0);
    EXPECT_EQ(dialogIcon, std::make_pair(64ul, 64ul));
    app->Shutdown();
    app = nullptr;
}

// A window whose main control may change its size tells a window manager the limits it keeps
// while the user drags its frame, and offers a maximise box only where it may grow without end.
TEST(MainWindowX11, AResizableWindowTellsTheWindowManagerItsSizeLimits)
{
    svtest::TempFolder folder;
    svtest::ScopedEnvironment environment;
    environment.Set("XDG_CONFIG_HOME", folder.Path().c_str());
    auto context = SV::OSWindowContext::Open([](int32_t) { return false; });
    if (!context) {
        GTEST_SKIP() << "no X display";
    }
    std::string skin = kSkin;
    const auto replace = [&skin](const std::string& from, const std::string& to) {
        skin.replace(skin.find(from), from.size(), to);
    };
    replace(R"(XSizeAbs="300")", R"(XSizeAbs="400")");
    replace(R"(XMaxSizeAbs="300" YMaxSizeToControl="Self" YMaxSizeAbs="200")",
            R"(XMaxSizeAbs="640" YMaxSizeToControl="Self" YMaxSizeAbs="480")");
    folder.WriteFile("Skins.xml", skin);
    SV::RCPtr<SV::LControlFactory> factory(new SV::LControlFactory(u"PresetEditor"));
    ASSERT_GE(SV::RegisterFrameworkControlTypes(*factory), 0);
    ASSERT_EQ(factory->LoadSkins(SV::WideString(folder.Join("Skins.xml").c_str())), 0);
    ASSERT_EQ(factory->SetCurrentSkinIndex(0), 0);
    SV::RCPtr<WindowedTestApp> app(new WindowedTestApp(factory));
    ASSERT_EQ(app->CreateMainWindow(1), 0);
    const SV::RCPtr<SV::IRootWindow> root = *app->GetRootWindows().At(0);
    auto* rootWindow = dynamic_cast<SV::LRootWindow*>(root.Get());
    ASSERT_NE(rootWindow, nullptr);
    ASSERT_EQ(rootWindow->SetMainControlByName(u"mainControl"), 0);
    const svp::HWND handle = root->GetWindowServices()->GetWindowHandle();
    SV::OSWindow::FromHandle(handle)->OfferSizeLimits();
    context->GetWindows().Sync();

    Display* observer = XOpenDisplay(nullptr);
    ASSERT_NE(observer, nullptr);
    const auto window = static_cast<Window>(context->GetWindows().GetSystemId(handle));
    XSizeHints hints{};
    long supplied = 0;
    ASSERT_TRUE(XGetWMNormalHints(observer, window, &hints, &supplied));
    EXPECT_EQ(hints.flags & (PMinSize | PMaxSize), PMinSize | PMaxSize);
    EXPECT_EQ(hints.min_width, 300);
    EXPECT_EQ(hints.min_height, 200);
    EXPECT_EQ(hints.max_width, 640);
    EXPECT_EQ(hints.max_height, 480);
    XCloseDisplay(observer);
    app->Shutdown();
    app = nullptr;
}

} // namespace
