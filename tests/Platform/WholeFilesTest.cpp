#include "WholeFiles.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

std::set<std::string> Entries(const svtest::TempFolder& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

mode_t ModeOf(const std::string& path)
{
    struct stat status
    {};
    EXPECT_EQ(lstat(path.c_str(), &status), 0) << path;
    return status.st_mode;
}

bool Replace(const std::string& path, const std::string& text)
{
    return svp::ReplaceWholeFile(path, text.data(), text.size());
}

TEST(WholeFilesTest, OnlyARegularFileIsReadAndNothingWaitsForAWriter)
{
    svtest::TempFolder folder;
    folder.WriteFile("program.brv", "bytes");
    ASSERT_EQ(symlink(folder.Join("program.brv").c_str(), folder.Join("link.brv").c_str()), 0);
    folder.MakeFolder("folder.brv");
    ASSERT_EQ(mkfifo(folder.Join("fifo.brv").c_str(), 0600), 0);
    folder.WriteFile("large.brv", std::string(101, 'x'));

    const struct
    {
        const char* name;
        svp::WholeFileRead result;
        const char* bytes;
    } cases[] = {
        {"program.brv", svp::WholeFileRead::kRead, "bytes"},
        {"link.brv", svp::WholeFileRead::kRead, "bytes"},
        {"missing.brv", svp::WholeFileRead::kUnreadable, ""},
        {"folder.brv", svp::WholeFileRead::kUnreadable, ""},
        {"fifo.brv", svp::WholeFileRead::kUnreadable, ""},
        {"large.brv", svp::WholeFileRead::kTooLarge, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes bytes{1, 2};
        EXPECT_EQ(svp::ReadWholeFile(folder.Join(c.name), 100, bytes), c.result);
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), c.bytes);
    }
}

TEST(WholeFilesTest, AFileWithoutReadPermissionIsUnreadable)
{
    if (geteuid() == 0) {
        GTEST_SKIP() << "root reads every file";
    }
    svtest::TempFolder folder;
    folder.WriteFile("secret.brv", "bytes");
    ASSERT_EQ(chmod(folder.Join("secret.brv").c_str(), 0200), 0);
    Bytes bytes;
    EXPECT_EQ(svp::ReadWholeFile(folder.Join("secret.brv"), 100, bytes),
              svp::WholeFileRead::kUnreadable);
}

TEST(WholeFilesTest, AReplacedFileKeepsItsPermissionsAndNothingIsLeftBeside)
{
    svtest::TempFolder folder;
    for (const mode_t mode : {0600, 0640, 0664}) {
        SCOPED_TRACE(mode);
        folder.WriteFile("program.brv", "old");
        ASSERT_EQ(chmod(folder.Join("program.brv").c_str(), mode), 0);
        EXPECT_TRUE(Replace(folder.Join("program.brv"), "new"));
        EXPECT_EQ(folder.ReadFile("program.brv"), "new");
        EXPECT_EQ(ModeOf(folder.Join("program.brv")) & 07777, mode);
        EXPECT_EQ(Entries(folder), std::set<std::string>{"program.brv"});
    }
    EXPECT_TRUE(Replace(folder.Join("fresh.brv"), "new"));
    EXPECT_EQ(folder.ReadFile("fresh.brv"), "new");
}

// A read-only file is refused even by a process that could write it anyway, as root can.
TEST(WholeFilesTest, WhatIsNoWritableRegularFileIsLeftAsItIs)
{
    svtest::TempFolder folder;
    folder.WriteFile("readonly.brv", "old");
    ASSERT_EQ(chmod(folder.Join("readonly.brv").c_str(), 0444), 0);
    folder.MakeFolder("folder.brv");
    ASSERT_EQ(mkfifo(folder.Join("fifo.brv").c_str(), 0600), 0);
    ASSERT_EQ(symlink(folder.Join("nowhere.brv").c_str(), folder.Join("dangling.brv").c_str()), 0);
    for (const char* name : {"readonly.brv", "folder.brv", "fifo.brv", "dangling.brv"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(Replace(folder.Join(name), "new"));
    }
    EXPECT_EQ(folder.ReadFile("readonly.brv"), "old");
    EXPECT_EQ(ModeOf(folder.Join("readonly.brv")) & 07777, 0444u);
    EXPECT_TRUE(S_ISDIR(ModeOf(folder.Join("folder.brv"))));
    EXPECT_TRUE(S_ISFIFO(ModeOf(folder.Join("fifo.brv"))));
    EXPECT_TRUE(S_ISLNK(ModeOf(folder.Join("dangling.brv"))));
    EXPECT_EQ(Entries(folder),
              (std::set<std::string>{"readonly.brv", "folder.brv", "fifo.brv", "dangling.brv"}));
}

TEST(WholeFilesTest, ASymbolicLinkIsWrittenThroughToItsTarget)
{
    svtest::TempFolder folder;
    folder.MakeFolder("programs");
    folder.WriteFile("programs/real.brv", "old");
    ASSERT_EQ(chmod(folder.Join("programs/real.brv").c_str(), 0600), 0);
    ASSERT_EQ(symlink("programs/real.brv", folder.Join("link.brv").c_str()), 0);
    EXPECT_TRUE(Replace(folder.Join("link.brv"), "new"));
    EXPECT_TRUE(S_ISLNK(ModeOf(folder.Join("link.brv"))));
    EXPECT_EQ(folder.ReadFile("programs/real.brv"), "new");
    EXPECT_EQ(ModeOf(folder.Join("programs/real.brv")) & 07777, 0600u);
    EXPECT_EQ(Entries(folder), (std::set<std::string>{"programs", "link.brv"}));
}

// A save killed while it writes leaves its new file; the next save of that file removes it, and
// leaves alone whatever is not such a file of this user's that nobody is writing.
TEST(WholeFilesTest, TheNewFileOfASaveKilledHalfWayIsRemovedByTheNext)
{
    svtest::TempFolder folder;
    folder.WriteFile("program.brv", "old");
    const std::string big(1 << 20, 'x');
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Killed (SIGXFSZ) once the file passes 4 KiB.
        const rlimit small{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &small);
        std::signal(SIGXFSZ, SIG_DFL);
        (void)Replace(folder.Join("program.brv"), big);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << status;
    EXPECT_EQ(folder.ReadFile("program.brv"), "old");
    std::set<std::string> leftOver = Entries(folder);
    leftOver.erase("program.brv");
    ASSERT_EQ(leftOver.size(), 1u);
    EXPECT_EQ(leftOver.begin()->rfind(".program.brv.", 0), 0u) << *leftOver.begin();

    // Names that only look like one, one of a save at work (locked), and a link.
    const std::set<std::string> others = {".program.brv.0123abcX.saving",
                                          ".program.brv.0123abcd.saving~",
                                          "program.brv.tmp",
                                          ".other.brv.0123abcd.saving",
                                          ".program.brv.89abcdef.saving",
                                          ".program.brv.fedcba98.saving"};
    for (const std::string& name : others) {
        folder.WriteFile(name, "somebody's");
    }
    const int locked = open(folder.Join(".program.brv.89abcdef.saving").c_str(), O_RDONLY);
    ASSERT_GE(locked, 0);
    ASSERT_EQ(flock(locked, LOCK_EX), 0);
    ASSERT_EQ(unlink(folder.Join(".program.brv.fedcba98.saving").c_str()), 0);
    ASSERT_EQ(symlink("program.brv.tmp", folder.Join(".program.brv.fedcba98.saving").c_str()), 0);

    EXPECT_TRUE(Replace(folder.Join("program.brv"), "new"));
    close(locked);
    EXPECT_EQ(folder.ReadFile("program.brv"), "new");
    std::set<std::string> expected = others;
    expected.insert("program.brv");
    EXPECT_EQ(Entries(folder), expected);
    EXPECT_EQ(folder.ReadFile("program.brv.tmp"), "somebody's");
}

} // namespace
