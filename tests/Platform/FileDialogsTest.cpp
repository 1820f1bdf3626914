#include "FileDialogs.h"
#include "EventLoop.h"
#include "ResultCodes.h"

#include "ScopedEnvironment.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace {

// A stand-in chooser on PATH: it writes its arguments, one a line, to args.txt, prints the
// contents of answer.txt and exits with the code in status.txt.
class FileDialogsTest : public ::testing::Test
{
protected:
    svtest::TempFolder mFolder;
    svtest::ScopedEnvironment mEnvironment;
    svp::EventLoop mLoop;

    void InstallTool(const std::string& name, const std::string& answer, int status)
    {
        const std::string script = mFolder.Path() + "/" + name;
        std::ofstream(script) << "#!/bin/sh\n"
                              << "dir=$(dirname \"$0\")\n"
                              << "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > "
                                 "\"$dir/args.txt\"\n"
                              << "cat \"$dir/answer.txt\"\n"
                              << "exit $(cat \"$dir/status.txt\")\n";
        chmod(script.c_str(), 0755);
        std::ofstream(mFolder.Path() + "/answer.txt") << answer;
        std::ofstream(mFolder.Path() + "/status.txt") << status;
        mEnvironment.Set("PATH", (mFolder.Path() + ":/usr/bin:/bin").c_str());
    }

    std::string Arguments() const
    {
        std::ifstream in(mFolder.Path() + "/args.txt");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    int32_t Run(const svp::FileDialogRequest& request, std::vector<std::string>& paths)
    {
        return svp::RunFileDialog(
            mLoop, [](int32_t) { return false; }, request, paths);
    }
};

TEST_F(FileDialogsTest, OpenRunsZenityWithTheFolderTitleAndFiltersAndAnswersThePath)
{
    InstallTool("zenity", "/home/me/a b.brv\n", 0);
    svp::FileDialogRequest request;
    request.title = "Open Program";
    request.folder = "/home/me";
    request.filters = {{"Programs", "*.brv"}, {"All", "*.*"}};
    // The loop keeps serving the program while the chooser is up.
    bool served = false;
    mLoop.Post([&] { served = true; });
    std::vector<std::string> paths;
    ASSERT_EQ(Run(request, paths), S_OK);
    EXPECT_EQ(paths, std::vector<std::string>{"/home/me/a b.brv"});
    EXPECT_TRUE(served);
    EXPECT_EQ(Arguments(), "--file-selection\n--title=Open Program\n--filename=/home/me/\n"
                           "--file-filter=Programs | *.brv\n--file-filter=All | *.*\n");
}

TEST_F(FileDialogsTest, CancellingOrFailingAnswersEFail)
{
    InstallTool("zenity", "", 1);
    std::vector<std::string> paths{"stale"};
    EXPECT_EQ(Run({}, paths), E_FAIL);
    EXPECT_TRUE(paths.empty());
    InstallTool("zenity", "/x\n", 5);
    EXPECT_EQ(Run({}, paths), E_FAIL);
}

TEST_F(FileDialogsTest, SaveAnswersTheNameAsChosenAfterTheChoosersOwnOverwriteQuestion)
{
    InstallTool("zenity", "/p/song\n", 0);
    svp::FileDialogRequest request;
    request.save = true;
    request.folder = "/p";
    request.fileName = "Untitled";
    std::vector<std::string> paths;
    ASSERT_EQ(Run(request, paths), S_OK);
    EXPECT_EQ(paths, std::vector<std::string>{"/p/song"});
    EXPECT_NE(Arguments().find("--filename=/p/Untitled\n--save\n--confirm-overwrite\n"),
              std::string::npos);
}

TEST(FileDialogExtensionTest, TheDefaultExtensionGoesOnlyOnANameWithoutOne)
{
    const struct
    {
        const char* path;
        const char* extension;
        const char* expected;
    } cases[] = {
        {"/p/song", "brv", "/p/song.brv"},
        {"/p/song.txt", "brv", "/p/song.txt"},
        {"/p.d/song", "brv", "/p.d/song.brv"},
        {"song", "brv", "song.brv"},
        {"/p/song", "", "/p/song"},
        {"/p/", "brv", "/p/"},
    };
    for (const auto& each : cases) {
        std::string path = each.path;
        EXPECT_EQ(svp::AppendDefaultExtension(path, each.extension),
                  std::string(each.expected) != each.path)
            << each.path;
        EXPECT_EQ(path, each.expected);
    }
}

TEST_F(FileDialogsTest, KdialogServesWhenZenityIsMissingAndMultipleSelectionGivesEveryPath)
{
    InstallTool("kdialog", "/a/1.brv\n/a/2.brv\n", 0);
    svp::FileDialogRequest request;
    request.multiple = true;
    request.folder = "/a";
    request.title = "T";
    request.filters = {{"Programs", "*.brv"}};
    std::vector<std::string> paths;
    ASSERT_EQ(Run(request, paths), S_OK);
    EXPECT_EQ(paths, (std::vector<std::string>{"/a/1.brv", "/a/2.brv"}));
    EXPECT_EQ(
        Arguments(),
        "--getopenfilename\n/a/\n*.brv|Programs\n--multiple\n--separate-output\n--title\nT\n");
}

TEST_F(FileDialogsTest, WithoutAnyChooserTheAnswerIsEFail)
{
    mEnvironment.Set("PATH", mFolder.Path().c_str());
    std::vector<std::string> paths;
    EXPECT_EQ(Run({}, paths), E_FAIL);
}

} // namespace
