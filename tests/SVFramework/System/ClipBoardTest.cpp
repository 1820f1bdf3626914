#include "System/ClipBoard.h"
#include "ControlBase/Control.h"
#include "ExceptionText.h"
#include "FakeClipboardBackend.h"
#include "FakeDesktop.h"
#include "Notification/NotificationCenter.h"
#include "Notification/NotificationNames.h"
#include "ObjectBase/StringWrapper.h"
#include "RecordingWindowServices.h"
#include "ResultCodes.h"
#include "TestFrameworkApp.h"
#include "Windows/RootWindow.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace SV;

namespace {

std::string Utf16(const std::u16string& text)
{
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

WideString TextOf(const ConstRCPtr<LRefCountedObject>& object)
{
    const auto* wrapper = dynamic_cast<const LStringWrapper*>(object.Get());
    return wrapper != nullptr ? WideString(*wrapper) : WideString(u"<none>");
}

class ClipBoardTest : public ::testing::Test
{
protected:
    svtest::FakeClipboardBackend backend;
    RCPtr<LClipboard> clipboard{new LClipboard(backend)};
};

TEST_F(ClipBoardTest, CopiedTextIsWrittenInBothFormatsAndReadBackFromTheCache)
{
    ASSERT_EQ(clipboard->SetText(CreateStringWrapper(u"abc")), S_OK);
    EXPECT_EQ(backend.formats[svp::kClipboardUnicodeText], Utf16(std::u16string(u"abc", 4)));
    EXPECT_EQ(backend.formats[svp::kClipboardText], std::string("abc", 4));
    const int opens = backend.opens;
    EXPECT_TRUE(TextOf(clipboard->GetText()).EqualsText(u"abc"));
    EXPECT_EQ(backend.opens, opens);
    EXPECT_EQ(backend.closes, backend.opens);
}

TEST_F(ClipBoardTest, NonAsciiTextTakesItsUtf8AndUtf16Lengths)
{
    ASSERT_EQ(clipboard->SetText(CreateStringWrapper(u"\u00e9")), S_OK);
    EXPECT_EQ(backend.formats[svp::kClipboardText].size(), 3u);
    EXPECT_EQ(backend.formats[svp::kClipboardUnicodeText].size(), 4u);
}

TEST_F(ClipBoardTest, TextFromOutsideIsReadWhenTheClipboardChanged)
{
    struct Case
    {
        const char* what;
        std::map<uint32_t, std::string> content;
        const char16_t* expected;
    };
    const Case cases[] = {
        {"utf-16 preferred",
         {{13, Utf16(std::u16string(u"wide", 5))}, {1, std::string("narrow")}},
         u"wide"},
        {"utf-8 only", {{1, std::string("na\xc3\xafve", 7)}}, u"na\u00efve"},
        // Bytes without a terminating NUL end where the data ends.
        {"no NUL", {{13, Utf16(u"xyz")}}, u"xyz"},
        {"odd byte", {{13, Utf16(u"xy") + "!"}}, u"xy"},
        {"stops at NUL", {{1, std::string("ab\0cd", 5)}}, u"ab"},
        {"bitmap only", {{2, std::string("BM")}}, u"<none>"},
    };
    clipboard->SetText(CreateStringWrapper(u"mine"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        backend.ReplaceFromOutside(c.content);
        EXPECT_TRUE(TextOf(clipboard->GetText()).EqualsText(c.expected));
    }
}

TEST_F(ClipBoardTest, LongTextFromOutsideIsCappedAtOneMebibyte)
{
    backend.ReplaceFromOutside({{1, std::string(2 * LClipboard::kMaxTextBytes, 'a')}});
    EXPECT_EQ(size_t(TextOf(clipboard->GetText()).GetLength()), LClipboard::kMaxTextBytes);
}

TEST_F(ClipBoardTest, ProgramContentLivesOnlyInTheCache)
{
    RCPtr<LHolder<int>> content(new LHolder<int>(7));
    ASSERT_EQ(clipboard->SetText(content), S_OK);
    EXPECT_EQ(backend.formats.count(svp::kClipboardPrivate), 1u);
    EXPECT_EQ(backend.formats.count(svp::kClipboardUnicodeText), 0u);
    backend.sequence += 5;
    EXPECT_EQ(clipboard->GetText().Get(), content.Get());
}

TEST_F(ClipBoardTest, ClearingAndReentryLeaveTheSystemClipboardAlone)
{
    clipboard->SetText(CreateStringWrapper(u"abc"));
    // Emptying the clipboard it owns makes the system ask the program to clear its copy at once.
    int32_t nested = 0;
    backend.onEmpty = [&] { nested = clipboard->SetText(nullptr); };
    clipboard->SetText(CreateStringWrapper(u"def"));
    EXPECT_EQ(nested, S_FALSE);
    EXPECT_TRUE(TextOf(clipboard->GetText()).EqualsText(u"def"));
    backend.onEmpty = nullptr;
    const int opens = backend.opens;
    EXPECT_EQ(clipboard->SetText(nullptr), S_OK);
    EXPECT_EQ(backend.opens, opens);
    EXPECT_FALSE(clipboard->GetText());
}

TEST_F(ClipBoardTest, ClipboardThatCannotBeOpenedKeepsWhatWasThere)
{
    clipboard->SetText(CreateStringWrapper(u"old"));
    backend.openFails = true;
    EXPECT_EQ(clipboard->SetText(CreateStringWrapper(u"new")), E_FAIL);
    backend.ReplaceFromOutside({{1, std::string("other")}});
    // The cache took the new text before the open failed; reading cannot replace it.
    EXPECT_TRUE(TextOf(clipboard->GetText()).EqualsText(u"new"));
}

// A control that edits: it records the operations it is asked to perform.
class EditControl : public LControl
{
public:
    using LControl::LControl;
    bool SupportsEdit() const override { return true; }
    bool CanPerformEdit(int32_t operation) const override { return operation != kEditDelete; }
    int32_t PerformEdit(int32_t operation) override
    {
        performed.push_back(operation);
        return 0;
    }
    std::vector<int32_t> performed;
};

class ClipBoardEditTest : public ::testing::Test
{
protected:
    ClipBoardEditTest()
    {
        services.active = true;
        window = RCPtr<LRootWindow>(new LRootWindow(nullptr, &services));
        app->AddRootWindow(RCPtr<IRootWindow>(window));
        editor = RCPtr<EditControl>(new EditControl(nullptr, u"editor"));
        child = RCPtr<LControl>(new LControl(RCPtr<LControl>(editor), u"child"));
        window->SetMainControl(RCPtr<LControl>(editor));
    }
    ~ClipBoardEditTest() override
    {
        clipboard->UnregisterAll();
        window->SetMainControl(nullptr);
        app->RemoveRootWindow(RCPtr<IRootWindow>(window));
    }

    svtest::FakeDesktop desktop;
    RCPtr<svtest::TestFrameworkApp> app{new svtest::TestFrameworkApp()};
    svtest::RecordingWindowServices services;
    RCPtr<LRootWindow> window;
    RCPtr<EditControl> editor;
    RCPtr<LControl> child;
    svtest::FakeClipboardBackend backend;
    RCPtr<LClipboard> clipboard{new LClipboard(backend)};
};

TEST_F(ClipBoardEditTest, EditCommandsReachTheEditTargetOfTheFocusedControl)
{
    ASSERT_EQ(clipboard->Initialize(), S_OK);
    EXPECT_EQ(clipboard->PerformEditOperation(kEditCopy), S_FALSE);
    window->SetFocusedControl(child);
    EXPECT_EQ(child->GetEditTarget().Get(), editor.Get());
    app->GetNotificationCenter()->Notify(CreateNotification(kNidEditCopyRequest));
    app->GetNotificationCenter()->Notify(CreateNotification(kNidEditPasteRequest));
    // The control refuses delete: it is not asked to perform it.
    app->GetNotificationCenter()->Notify(CreateNotification(kNidEditDeleteRequest));
    EXPECT_EQ(editor->performed, (std::vector<int32_t>{kEditCopy, kEditPaste}));
    EXPECT_TRUE(clipboard->CanPerformEditOperation(kEditCut));
    EXPECT_FALSE(clipboard->CanPerformEditOperation(kEditDelete));
    services.active = false;
    EXPECT_FALSE(clipboard->CanPerformEditOperation(kEditCut));
}

TEST_F(ClipBoardEditTest, ControlsWithoutEditingHaveNoTargetAndRefuseToPerform)
{
    RCPtr<LControl> plain(new LControl(nullptr, u"plain"));
    EXPECT_FALSE(plain->GetEditTarget());
    window->SetFocusedControl(plain);
    EXPECT_FALSE(clipboard->CanPerformEditOperation(kEditCopy));
    EXPECT_EQ(svtest::ExceptionTextOf([&] { plain->PerformEdit(kEditCopy); }),
              "Logic Error : LControl::PerformEdit must be overridden : SV::LControl::PerformEdit "
              ": ControlBase/Control : Line 580");
}

} // namespace
