#include "SpecialFolders.h"

#include "ScopedEnvironment.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using svp::SpecialFolder;

class SpecialFolders : public testing::Test
{
protected:
    void SetUp() override
    {
        mEnvironment.Set("HOME", mHome.Path().c_str());
        mEnvironment.Set("XDG_CONFIG_HOME", nullptr);
        mEnvironment.Set("XDG_CONFIG_DIRS", nullptr);
        mEnvironment.Set("XDG_DOCUMENTS_DIR", nullptr);
    }

    svtest::TempFolder mHome;
    svtest::ScopedEnvironment mEnvironment;
};

TEST_F(SpecialFolders, ConfigurationFoldersFollowTheXdgRules)
{
    EXPECT_EQ(svp::GetSpecialFolder(SpecialFolder::kLocalApplicationData, false),
              mHome.Join(".config"));
    EXPECT_FALSE(std::filesystem::exists(mHome.Join(".config")));
    EXPECT_EQ(svp::GetSpecialFolder(SpecialFolder::kLocalApplicationData, true),
              mHome.Join(".config"));
    EXPECT_TRUE(std::filesystem::is_directory(mHome.Join(".config")));

    mEnvironment.Set("XDG_CONFIG_HOME", (mHome.Join("a/b") + "/").c_str());
    EXPECT_EQ(svp::GetSpecialFolder(SpecialFolder::kLocalApplicationData, true), mHome.Join("a/b"));
    EXPECT_TRUE(std::filesystem::is_directory(mHome.Join("a/b")));
    mEnvironment.Set("XDG_CONFIG_HOME", "relative/ignored");
    EXPECT_EQ(svp::GetSpecialFolder(SpecialFolder::kLocalApplicationData, false),
              mHome.Join(".config"));

    EXPECT_EQ(svp::GetSpecialFolder(SpecialFolder::kCommonApplicationData, true), "/etc/xdg");
    mEnvironment.Set("XDG_CONFIG_DIRS", "/opt/xdg/:/etc/xdg");
    EXPECT_EQ(svp::GetSpecialFolder(SpecialFolder::kCommonApplicationData, true), "/opt/xdg");
    EXPECT_FALSE(std::filesystem::exists("/opt/xdg"));

    mEnvironment.Set("HOME", nullptr);
    mEnvironment.Set("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(svp::GetSpecialFolder(SpecialFolder::kLocalApplicationData, true), "");
}

TEST_F(SpecialFolders, DocumentsFolderFromUserDirsElseHome)
{
    EXPECT_EQ(svp::GetSpecialFolder(SpecialFolder::kDocuments, true), mHome.Path());

    mHome.MakeFolder(".config");
    mHome.MakeFolder("Dokumente");
    mHome.WriteFile(".config/user-dirs.dirs",
                    "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                    "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
    EXPECT_EQ(svp::GetSpecialFolder(SpecialFolder::kDocuments, true), mHome.Join("Dokumente"));

    mHome.MakeFolder("Papers");
    mEnvironment.Set("XDG_DOCUMENTS_DIR", mHome.Join("Papers").c_str());
    EXPECT_EQ(svp::GetSpecialFolder(SpecialFolder::kDocuments, true), mHome.Join("Papers"));

    // A documents folder that does not exist is not made: the home folder serves.
    mEnvironment.Set("XDG_DOCUMENTS_DIR", mHome.Join("Missing").c_str());
    EXPECT_EQ(svp::GetSpecialFolder(SpecialFolder::kDocuments, true), mHome.Path());
}

} // namespace
