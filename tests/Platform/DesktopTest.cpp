#include "Desktop.h"
#include "MessageBoxStyles.h"

#include <gtest/gtest.h>

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

} // namespace
