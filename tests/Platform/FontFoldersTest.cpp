#include "FontFolders.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>

namespace {

TEST(FontFoldersTest, ExpandsEachRootWithTheFoldersBelowItOnce)
{
    svtest::TempFolder temp;
    temp.MakeFolder("fonts");
    temp.MakeFolder("fonts/b");
    temp.MakeFolder("fonts/a");
    temp.MakeFolder("fonts/a/deep");
    temp.WriteFile("fonts/a/file.ttf", "");
    // A link back to the top must not recurse, and a root inside an earlier one is not repeated.
    ASSERT_EQ(symlink(temp.Join("fonts").c_str(), temp.Join("fonts/b/loop").c_str()), 0);

    const std::vector<std::string> folders = svp::ExpandFolderTrees(
        {temp.Join("missing"), temp.Join("fonts"), temp.Join("fonts/a"), temp.Join("fonts")});
    const std::vector<std::string> expected = {temp.Join("fonts"), temp.Join("fonts/a"),
                                               temp.Join("fonts/a/deep"), temp.Join("fonts/b")};
    EXPECT_EQ(folders, expected);
}

TEST(FontFoldersTest, TheSystemFoldersHoldTheInstalledFonts)
{
    const std::vector<std::string> folders = svp::GetFontFolders();
    EXPECT_NE(std::find(folders.begin(), folders.end(), "/usr/share/fonts/truetype/dejavu"),
              folders.end());
}

} // namespace
