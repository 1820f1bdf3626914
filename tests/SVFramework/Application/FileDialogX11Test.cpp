// The file dialog with a chooser of the test's own on PATH in place of the desktop's: what it is
// asked, what it answers, the flags and the folder remembered for the next dialog.
#include "Application/FileDialog.h"
#include "ScopedEnvironment.h"
#include "TempFolder.h"
#include "TestFrameworkApp.h"
#include "Windows/OSWindowContext.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

namespace {

class FileDialogX11 : public ::testing::Test
{
protected:
    void SetUp() override
    {
        context = SV::OSWindowContext::Open([](int32_t) { return false; });
        if (!context) {
            GTEST_SKIP() << "no X display";
        }
        // "zenity" that writes its arguments to a file and answers what the test put in another.
        const std::string chooser = tools.Path() + "/zenity";
        std::ofstream(chooser) << "#!/bin/sh\n"
                               << "printf '%s\\n' \"$@\" > '" << tools.Path() << "/arguments'\n"
                               << "answer='" << tools.Path() << "/answer'\n"
                               << "[ -f \"$answer\" ] || exit 1\n"
                               << "cat \"$answer\"\n";
        ::chmod(chooser.c_str(), 0755);
        const char* path = std::getenv("PATH");
        environment.Set("PATH", (tools.Path() + ":" + (path != nullptr ? path : "/bin")).c_str());
    }

    void Answer(const std::string& lines) { std::ofstream(tools.Path() + "/answer") << lines; }
    void Cancel() { std::remove((tools.Path() + "/answer").c_str()); }
    std::string Arguments() const
    {
        std::ifstream file(tools.Path() + "/arguments");
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

    std::unique_ptr<SV::OSWindowContext> context;
    SV::RCPtr<svtest::TestFrameworkApp> app{new svtest::TestFrameworkApp()};
    svtest::TempFolder tools;
    svtest::ScopedEnvironment environment;
};

TEST_F(FileDialogX11, AChosenFileIsAnsweredAndItsFolderOpensTheNextDialog)
{
    SV::RCPtr<SV::LFileDialog> dialog(new SV::LFileDialog(u"."));
    Answer("/home/u/songs/lead.brv\n");
    ASSERT_EQ(dialog->Open(u"Programs (*.brv)|*.brv", u"brv", u"Open Program", false), 0);
    EXPECT_EQ(std::string(dialog->GetFileName().ToNarrow().GetText()), "/home/u/songs/lead.brv");
    EXPECT_EQ(std::string(dialog->GetDirectory().ToNarrow().GetText()), "/home/u/songs");
    EXPECT_EQ(dialog->GetFlags(), 0x881005u);
    EXPECT_NE(Arguments().find("--file-filter=Programs (*.brv) | *.brv"), std::string::npos);

    Cancel();
    EXPECT_EQ(dialog->Save(u"Programs|*.brv", u"brv", u"Save Program"),
              static_cast<int32_t>(0x80004005u));
    EXPECT_NE(Arguments().find("--filename=/home/u/songs/Untitled"), std::string::npos)
        << Arguments();
    EXPECT_EQ(std::string(dialog->GetDirectory().ToNarrow().GetText()), "/home/u/songs");
    EXPECT_EQ(dialog->GetFlags(), 0x2u);
    dialog->Open(u"Programs|*.brv", u"brv", u"Open Program", false);
    EXPECT_EQ(dialog->GetFlags(), 0x1007u);
}

TEST_F(FileDialogX11, SeveralChosenFilesAnswerTheirFolderWhichIsRemembered)
{
    SV::RCPtr<SV::LFileDialog> dialog(new SV::LFileDialog(u"/start"));
    Answer("/data/set/a.brv\n/data/set/b.brv\n");
    ASSERT_EQ(dialog->Open(u"Programs|*.brv", u"brv", u"Open", true), 0);
    EXPECT_EQ(std::string(dialog->GetFileName().ToNarrow().GetText()), "/data/set");
    EXPECT_EQ(std::string(dialog->GetDirectory().ToNarrow().GetText()), "/data/set");
    EXPECT_EQ(dialog->GetFlags() & SV::LFileDialog::kAllowMultiSelect,
              SV::LFileDialog::kAllowMultiSelect);
}

} // namespace
