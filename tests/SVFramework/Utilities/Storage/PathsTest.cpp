#include "Utilities/Storage/Paths.h"

#include "ResultCodes.h"
#include "Utilities/Storage/StringArray.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using SV::WideString;

WideString Wide(const std::string& utf8)
{
    return WideString(utf8.c_str());
}

std::string Utf8(const WideString& text)
{
    return text.ToNarrow().GetText();
}

bool IsDirectory(const std::string& path)
{
    return std::filesystem::is_directory(path);
}

// Runs the test body with the temporary folder as the current folder, as relative paths need.
class PathsTest : public ::testing::Test
{
protected:
    PathsTest() : mPrevious(std::filesystem::current_path())
    {
        std::filesystem::current_path(mFolder.Path());
    }
    ~PathsTest() override { std::filesystem::current_path(mPrevious); }

    svtest::TempFolder mFolder;
    std::filesystem::path mPrevious;
};

TEST_F(PathsTest, FileExistsOnlyForThingsThatAreNotDirectories)
{
    mFolder.WriteFile("file", "");
    mFolder.WriteFile("::resource", "");
    mFolder.MakeFolder("folder");
    EXPECT_TRUE(SV::FileExists(Wide(mFolder.Join("file"))));
    EXPECT_TRUE(SV::FileExists(u"file"));
    EXPECT_FALSE(SV::FileExists(u"folder"));
    EXPECT_FALSE(SV::FileExists(u"missing"));
    EXPECT_FALSE(SV::FileExists(u""));
    // "::" names a built-in resource even where a file of that name exists.
    EXPECT_FALSE(SV::FileExists(u"::resource"));
    EXPECT_TRUE(SV::FileExists(u"./::resource"));
}

TEST_F(PathsTest, EnsureFolderAnswersWhatItFoundOrMade)
{
    mFolder.WriteFile("file", "");
    mFolder.MakeFolder("existing");
    EXPECT_EQ(S_FALSE, SV::EnsureFolder(u"existing"));
    EXPECT_EQ(E_FAIL, SV::EnsureFolder(u"file"));
    EXPECT_EQ(S_OK, SV::EnsureFolder(u"new/deeper/deepest"));
    EXPECT_TRUE(IsDirectory("new/deeper/deepest"));
    EXPECT_EQ(S_OK, SV::EnsureFolder(Wide(mFolder.Join("absolute/path"))));
    EXPECT_TRUE(IsDirectory("absolute/path"));
    EXPECT_EQ(E_FAIL, SV::EnsureFolder(u"file/below"));
    EXPECT_EQ(E_FAIL, SV::EnsureFolder(u""));
}

TEST_F(PathsTest, CreateDirectoryTreeSplitsAtBothSeparators)
{
    // Backslashes separate as slashes do: the folders are a and a/b, never a folder "a\b".
    EXPECT_TRUE(SV::CreateDirectoryTree(u"a\\b\\c.txt", true));
    EXPECT_TRUE(IsDirectory("a/b"));
    EXPECT_FALSE(std::filesystem::exists("a/b/c.txt"));
    EXPECT_FALSE(std::filesystem::exists("a\\b"));

    EXPECT_TRUE(SV::CreateDirectoryTree(u"x/y\\z", false));
    EXPECT_TRUE(IsDirectory("x/y/z"));
    EXPECT_TRUE(SV::CreateDirectoryTree(u"x/y/z/", false)); // already there
    EXPECT_TRUE(SV::CreateDirectoryTree(u"only-a-file.txt", true));
    EXPECT_FALSE(std::filesystem::exists("only-a-file.txt"));
    EXPECT_TRUE(SV::CreateDirectoryTree(Wide(mFolder.Join("abs/f.txt")), true));
    EXPECT_TRUE(IsDirectory("abs"));

    // A file in the way: the folder cannot be made, and the answer says so.
    mFolder.WriteFile("blocker", "");
    EXPECT_FALSE(SV::CreateDirectoryTree(u"blocker/inner/f.txt", true));
    EXPECT_FALSE(SV::CreateDirectoryTree(u"blocker", false));
}

TEST_F(PathsTest, ListFilesInFolderGivesFullPathsOfMatchingFiles)
{
    for (const char* name : {"b.ttf", "A.TTF", "c.ttc", "readme"}) {
        mFolder.WriteFile(name, "");
    }
    mFolder.MakeFolder("d.ttf");
    const WideString folder = Wide(mFolder.Path());

    SV::WideStringArray files;
    files.Add(WideString(u"left over"));
    ASSERT_EQ(2, SV::ListFilesInFolder(folder, u"*.ttf", files));
    EXPECT_EQ(Wide(mFolder.Join("A.TTF")), *files.At(0));
    EXPECT_EQ(Wide(mFolder.Join("b.ttf")), *files.At(1));

    EXPECT_EQ(1, SV::ListFilesInFolder(u".", u"*.ttc", files));
    EXPECT_EQ(WideString(u"./c.ttc"), *files.At(0));
    EXPECT_EQ(0, SV::ListFilesInFolder(folder, u"*.otf", files));
    EXPECT_EQ(0, files.GetCount());

    files.Add(WideString(u"left over"));
    EXPECT_EQ(E_NOTIMPL, SV::ListFilesInFolder(u"missing", u"*", files));
    EXPECT_EQ(0, files.GetCount());
    EXPECT_EQ(E_NOTIMPL, SV::ListFilesInFolder(u"readme", u"*", files));
    EXPECT_EQ(E_NOTIMPL, SV::ListFilesInFolder(u"", u"*", files));
}

TEST_F(PathsTest, ListFilesInFolderFailsForAFolderItCannotRead)
{
    if (geteuid() == 0) {
        GTEST_SKIP() << "permissions do not hold for root";
    }
    mFolder.MakeFolder("locked");
    ASSERT_EQ(0, chmod("locked", 0));
    SV::WideStringArray files;
    EXPECT_EQ(E_FAIL, SV::ListFilesInFolder(u"locked", u"*", files));
    EXPECT_EQ(0, files.GetCount());
}

TEST(PathTextTest, SanitizeFileNameReplacesEveryUnsafeCharacter)
{
    EXPECT_EQ(WideString(u"name_ with_"), SV::SanitizeFileName(u"name: with?"));
    EXPECT_EQ(WideString(u"_______________ok.-_"), SV::SanitizeFileName(u"\\/:*?\"<>|&;,^()ok.-_"));
    EXPECT_EQ(WideString(u"\u00e9t\u00e9 2024"), SV::SanitizeFileName(u"\u00e9t\u00e9 2024"));
}

TEST(PathTextTest, GetParentFolderDropsTheLastPart)
{
    const std::pair<const char16_t*, const char16_t*> cases[] = {
        {u"/home/user/file.txt", u"/home/user"},
        {u"a\\b\\c.txt", u"a\\b"},
        {u"a/b\\c", u"a/b"},
        {u"folder/", u"folder"},
        {u"/file", u"/"},
        {u"/", u"/"},
        {u"file", u""},
        {u"", u""},
    };
    for (const auto& [path, parent] : cases) {
        EXPECT_EQ(WideString(parent), SV::GetParentFolder(path)) << Utf8(path);
    }
}

TEST_F(PathsTest, GetLongPathGivesTheCanonicalFormOrThePathAsGiven)
{
    mFolder.MakeFolder("real/inner");
    ASSERT_EQ(0, symlink("real", "link"));
    EXPECT_EQ(Wide(mFolder.Join("real/inner")), SV::GetLongPath(u"link/inner/../inner"));
    EXPECT_EQ(Wide(mFolder.Path()), SV::GetLongPath(u"."));
    // Nothing to resolve: the path comes back as it was, never undefined text.
    EXPECT_EQ(WideString(u"missing/../x"), SV::GetLongPath(u"missing/../x"));
    EXPECT_EQ(WideString(u""), SV::GetLongPath(u""));
}

} // namespace
