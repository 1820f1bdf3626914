#include "Desktop.h"
#include "MessageBoxStyles.h"
#include "ScopedEnvironment.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <string>

namespace {

TEST(Desktop, UnseenMessageBoxTakesItsDefaultButton)
{
    const struct
    {
        uint32_t style;
        int32_t answer;
    } cases[] = {
        {MB_OK | MB_ICONHAND, IDOK},
        {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, IDIGNORE},
        {MB_YESNOCANCEL, IDYES},
        {MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION, IDNO},
        {MB_RETRYCANCEL, IDRETRY},
        {0xF, IDOK},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(svp::DefaultMessageBoxAnswer(c.style), c.answer) << std::hex << c.style;
    }
}

TEST(Desktop, HeadlessDesktopAnswersWithoutADisplay)
{
    svp::IDesktop& desktop = svp::GetDesktop();
    EXPECT_EQ(desktop.GetKeyState(0x01), 0);
    int32_t x = 5;
    int32_t y = 5;
    EXPECT_FALSE(desktop.GetCursorPos(x, y));
    svp::ScreenRect area;
    EXPECT_TRUE(desktop.GetWorkArea(area));
    EXPECT_GT(area.right, area.left);
    testing::internal::CaptureStderr();
    EXPECT_EQ(desktop.MessageBox(nullptr, "Text", "Caption", MB_YESNO), IDYES);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Caption: Text\n");
}

// The opener's own answer counts: one that finds no viewer ends with a failure, which the
// caller shows to the user.
TEST(Desktop, OpeningADocumentAnswersWhatTheOpenerFound)
{
    svtest::TempFolder folder;
    folder.WriteFile("guide.pdf", "%PDF-1.4\n");
    const struct
    {
        const char* opener;
        bool opened;
    } cases[] = {
        {"#!/bin/sh\nexit 0\n", true},
        {"#!/bin/sh\nexit 3\n", false},
        {"#!/bin/sh\nexit 4\n", false},
    };
    svtest::ScopedEnvironment environment;
    const char* path = std::getenv("PATH");
    environment.Set("PATH",
                    (folder.Path() + ":" + (path != nullptr ? path : "/usr/bin:/bin")).c_str());
    for (const auto& c : cases) {
        folder.WriteFile("xdg-open", c.opener);
        ::chmod(folder.Join("xdg-open").c_str(), 0755);
        EXPECT_EQ(svp::GetDesktop().OpenDocument(folder.Join("guide.pdf")), c.opened) << c.opener;
    }
    EXPECT_FALSE(svp::GetDesktop().OpenDocument(folder.Join("missing.pdf")));
}

} // namespace
