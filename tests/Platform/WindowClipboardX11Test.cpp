// The clipboard back end over the window system: the program's own text is served from memory
// while it owns the selection, and another program's text arrives converted to the format asked.
#include "EventLoop.h"
#include "WindowClipboard.h"
#include "WindowSystem.h"

#include <gtest/gtest.h>

#include <future>
#include <string>
#include <thread>

namespace {

std::string Utf16Bytes(const std::u16string& text)
{
    std::string bytes;
    for (const char16_t unit : text + u'\0') {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

TEST(WindowClipboardX11, OwnTextIsServedFromMemoryAndStaysUnchangedWhileOwned)
{
    svp::EventLoop loop;
    const auto windows = svp::WindowSystem::Open(loop);
    if (!windows) {
        GTEST_SKIP() << "no X display";
    }
    const auto clipboard = svp::CreateWindowClipboard(*windows);
    const std::string unicode = Utf16Bytes(u"Gr\u00FC\u00DFe \U0001F3B9");
    ASSERT_TRUE(clipboard->Open(nullptr));
    ASSERT_TRUE(clipboard->Empty());
    ASSERT_TRUE(clipboard->SetData(svp::kClipboardUnicodeText, unicode));
    clipboard->Close();
    EXPECT_TRUE(windows->OwnsClipboard());
    EXPECT_EQ(windows->GetClipboardText(),
              std::optional<std::string>("Gr\u00FC\u00DFe \U0001F3B9"));

    std::string bytes;
    ASSERT_TRUE(clipboard->GetData(svp::kClipboardUnicodeText, bytes));
    EXPECT_EQ(bytes, unicode);
    EXPECT_FALSE(clipboard->IsFormatAvailable(svp::kClipboardPrivate));
    EXPECT_EQ(clipboard->GetSequenceNumber(), clipboard->GetSequenceNumber());
}

TEST(WindowClipboardX11, AnotherProgramsTextArrivesAsUtf16WithItsNul)
{
    svp::EventLoop loop;
    const auto windows = svp::WindowSystem::Open(loop);
    if (!windows) {
        GTEST_SKIP() << "no X display";
    }
    // The other program: a connection and loop of its own on another thread.
    svp::EventLoop otherLoop;
    std::promise<void> owned;
    std::thread other([&] {
        const auto otherWindows = svp::WindowSystem::Open(otherLoop);
        otherWindows->SetClipboardText("elsewhere \U0001F3B9");
        owned.set_value();
        otherLoop.Run(nullptr);
    });
    owned.get_future().wait();

    const auto clipboard = svp::CreateWindowClipboard(*windows);
    std::string bytes;
    EXPECT_TRUE(clipboard->IsFormatAvailable(svp::kClipboardUnicodeText));
    ASSERT_TRUE(clipboard->GetData(svp::kClipboardUnicodeText, bytes));
    EXPECT_EQ(bytes, Utf16Bytes(u"elsewhere \U0001F3B9"));
    ASSERT_TRUE(clipboard->GetData(svp::kClipboardText, bytes));
    EXPECT_EQ(bytes, std::string("elsewhere \U0001F3B9") + '\0');
    EXPECT_FALSE(clipboard->GetData(svp::kClipboardPrivate, bytes));
    EXPECT_NE(clipboard->GetSequenceNumber(), clipboard->GetSequenceNumber());

    otherLoop.PostQuit(0);
    other.join();
}

} // namespace
