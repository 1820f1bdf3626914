// The program's own cursors and window icon, made from its compiled-in pictures: what the display
// shows is the picture itself, pixel for pixel, and not a stand-in.
#include "EmbeddedResources.h"
#include "EventLoop.h"
#include "PrivateXServer.h"
#include "StoredPixels.h"
#include "WindowSystem.h"
#include "WindowedDesktop.h"

#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>
// After gtest: Xlib defines None, which gtest uses as a name.
#include "X11WindowProperty.h"

#include <memory>
#include <string>
#include <vector>

namespace {

svp::DecodedImage DecodeResource(std::string_view type, std::string_view name)
{
    const svp::EmbeddedResource* resource = svp::FindEmbeddedResource(type, name);
    svp::DecodedImage image;
    std::string error;
    if (resource == nullptr ||
        !svp::DecodePicture(resource->bytes.data(), resource->bytes.size(), image, error)) {
        ADD_FAILURE() << "no picture " << type << " " << name << ": " << error;
    }
    return image;
}

uint32_t Premultiplied(uint32_t argb)
{
    const uint32_t alpha = argb >> 24;
    const auto scale = [alpha](uint32_t channel) { return (channel * alpha + 127) / 255; };
    return alpha << 24 | scale(argb >> 16 & 0xFF) << 16 | scale(argb >> 8 & 0xFF) << 8 |
           scale(argb & 0xFF);
}

class ResourceCursorAndIconX11Test : public ::testing::Test
{
protected:
    // The cursor the display shows is the one of the window under the pointer: on an X server
    // of the suite's own no other test's window lies over this one and no other test moves the
    // pointer. One connection stays open for the whole suite: an X server resets when its last
    // client leaves and refuses connections while it does.
    static void SetUpTestSuite()
    {
        sServer = new svtest::PrivateXServer;
        sObserver = XOpenDisplay(nullptr);
    }
    static void TearDownTestSuite()
    {
        if (sObserver != nullptr) {
            XCloseDisplay(sObserver);
        }
        delete sServer;
    }

    void SetUp() override
    {
        ASSERT_NE(sObserver, nullptr) << "no X display";
        mSystem = svp::WindowSystem::Open(mLoop);
        ASSERT_TRUE(mSystem) << "no X display";
        mDesktop = svp::CreateWindowedDesktop(*mSystem, mLoop, nullptr);
        svp::WindowCreateParams params;
        params.title = "Pictures";
        params.className = "PicturesTestClass";
        params.width = 200;
        params.height = 100;
        mWindow = mSystem->CreateWindow(params, [](svp::HWND, const svp::WindowMessage&) {});
        mSystem->Show(mWindow, true);
    }

    Window XWindow() const { return static_cast<Window>(mSystem->GetSystemId(mWindow)); }

    // The window's _NET_WM_ICON as another client reads it; empty without one.
    std::vector<unsigned long> ReadIconProperty() const
    {
        mSystem->Sync();
        return svtest::ReadWindowProperty<unsigned long>(sObserver, XWindow(), "_NET_WM_ICON",
                                                         XA_CARDINAL);
    }

    static inline svtest::PrivateXServer* sServer = nullptr;
    static inline Display* sObserver = nullptr;
    svp::EventLoop mLoop;
    std::unique_ptr<svp::WindowSystem> mSystem;
    std::unique_ptr<svp::IDesktop> mDesktop;
    svp::HWND mWindow = nullptr;
};

TEST_F(ResourceCursorAndIconX11Test, DragCursorsShowTheirPicturesWithTheHotSpotAtOneOne)
{
    const svp::HCURSOR arrow = mDesktop->LoadSystemCursor(svp::IDC_ARROW);
    const svp::HCURSOR move = mDesktop->LoadCursorResource(102);
    const svp::HCURSOR copy = mDesktop->LoadCursorResource(103);
    ASSERT_NE(move, nullptr);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(move, arrow);
    EXPECT_NE(copy, move);
    EXPECT_EQ(mDesktop->LoadCursorResource(102), move) << "made once";
    EXPECT_EQ(mDesktop->LoadCursorResource(4711), nullptr) << "no such resource";

    int eventBase = 0;
    int errorBase = 0;
    if (!XFixesQueryExtension(sObserver, &eventBase, &errorBase)) {
        GTEST_SKIP() << "the display cannot tell its cursor image";
    }
    const std::pair<svp::HCURSOR, const char*> cases[] = {{move, "102"}, {copy, "103"}};
    for (const auto& [cursor, name] : cases) {
        SCOPED_TRACE(name);
        // The window is shown with its cursor before the pointer moves into it: the two
        // connections' requests reach the server in no order of their own.
        mSystem->SetWindowCursor(mWindow, cursor);
        mSystem->Sync();
        XWarpPointer(sObserver, None, XWindow(), 0, 0, 0, 0, 50, 50);
        XSync(sObserver, False);
        XFixesCursorImage* shown = XFixesGetCursorImage(sObserver);
        ASSERT_NE(shown, nullptr);
        const svp::DecodedImage picture = DecodeResource("CURSOR", name);
        EXPECT_EQ(shown->width, picture.width);
        EXPECT_EQ(shown->height, picture.height);
        EXPECT_EQ(shown->xhot, 1);
        EXPECT_EQ(shown->yhot, 1);
        if (shown->width == picture.width && shown->height == picture.height) {
            size_t differing = 0;
            for (size_t i = 0; i < picture.pixels.size(); ++i) {
                differing +=
                    static_cast<uint32_t>(shown->pixels[i]) != Premultiplied(picture.pixels[i]);
            }
            EXPECT_EQ(differing, 0u);
        }
        XFree(shown);
    }
}

TEST_F(ResourceCursorAndIconX11Test, TheIconIsTheWholePictureAndCanBeTakenAway)
{
    const svp::HICON icon = mDesktop->LoadIconResource(2002);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(mDesktop->LoadIconResource(2002), icon) << "made once";
    EXPECT_EQ(mDesktop->LoadIconResource(4711), nullptr) << "no such resource";

    mSystem->SetWindowIcon(mWindow, icon);
    const std::vector<unsigned long> property = ReadIconProperty();
    const svp::DecodedImage picture = DecodeResource("ICON", "2002");
    ASSERT_EQ(property.size(), 2 + picture.pixels.size());
    EXPECT_EQ(property[0], 64u);
    EXPECT_EQ(property[1], 64u);
    // Xlib hands 32-bit items back in longs, sign-extended: only the low 32 bits are the pixel.
    EXPECT_TRUE(std::equal(
        picture.pixels.begin(), picture.pixels.end(), property.begin() + 2,
        [](uint32_t pixel, unsigned long item) { return pixel == static_cast<uint32_t>(item); }));

    // A handle of some other desktop (a test's stand-in) is no icon of this display.
    int notAnIcon = 0;
    mSystem->SetWindowIcon(mWindow, reinterpret_cast<svp::HICON>(&notAnIcon));
    EXPECT_TRUE(ReadIconProperty().empty());
    mSystem->SetWindowIcon(mWindow, icon);
    mSystem->SetWindowIcon(mWindow, nullptr);
    EXPECT_TRUE(ReadIconProperty().empty());
}

} // namespace
