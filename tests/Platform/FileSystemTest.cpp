#include "FileSystem.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using svp::PathKind;

TEST(FileSystemTest, OpenModesDecideWhatOpens)
{
    svtest::TempFolder folder;
    folder.WriteFile("existing", "abc");
    folder.MakeFolder("folder");
    struct Case
    {
        const char* name;
        uint32_t mode;
        bool opens;
    };
    const Case cases[] = {
        {"existing", svp::kOpenReadOnly, true},
        {"existing", svp::kOpenReadWrite, true},
        {"missing", svp::kOpenReadOnly, false},
        {"missing", svp::kOpenCreate, true},
        {"existing", svp::kOpenCreate | svp::kOpenExclusive, false},
        {"new", svp::kOpenCreate | svp::kOpenExclusive, true},
        // Without create, exclusive means nothing.
        {"existing", svp::kOpenExclusive, true},
        // A directory is no file, even for reading.
        {"folder", svp::kOpenReadOnly, false},
    };
    for (const Case& c : cases) {
        const int32_t descriptor = svp::OpenFile(folder.Join(c.name), c.mode);
        EXPECT_EQ(c.opens, descriptor >= 0) << c.name << " mode " << c.mode;
        if (descriptor >= 0) {
            EXPECT_TRUE(svp::CloseFile(descriptor));
        }
    }
}

TEST(FileSystemTest, ReadsWritesAndSeeksAtTheDescriptor)
{
    svtest::TempFolder folder;
    const int32_t descriptor =
        svp::OpenFile(folder.Join("data"), svp::kOpenReadWrite | svp::kOpenCreate);
    ASSERT_GE(descriptor, 0);
    EXPECT_EQ(10, svp::WriteFile(descriptor, "0123456789", 10));
    EXPECT_EQ(10, svp::GetFileSize(descriptor));
    EXPECT_EQ(4, svp::SeekFile(descriptor, -6, svp::kSeekEnd));
    char buffer[8] = {};
    EXPECT_EQ(6, svp::ReadFile(descriptor, buffer, sizeof buffer)); // stops at the end
    EXPECT_EQ("456789", std::string(buffer, 6));
    EXPECT_EQ(0, svp::ReadFile(descriptor, buffer, sizeof buffer));
    EXPECT_EQ(-1, svp::SeekFile(descriptor, 0, 7)); // unknown origin
    EXPECT_TRUE(svp::CloseFile(descriptor));

    EXPECT_EQ(-1, svp::ReadFile(descriptor, buffer, 1));
    EXPECT_EQ(-1, svp::GetFileSize(descriptor));
    EXPECT_TRUE(svp::DeleteFile(folder.Join("data")));
    EXPECT_FALSE(svp::DeleteFile(folder.Join("data")));
}

TEST(FileSystemTest, KindsOfPathsAndFolderCreation)
{
    svtest::TempFolder folder;
    folder.WriteFile("file", "");
    ASSERT_EQ(0, symlink(folder.Path().c_str(), folder.Join("link").c_str()));
    EXPECT_EQ(PathKind::kFile, svp::GetPathKind(folder.Join("file")));
    EXPECT_EQ(PathKind::kDirectory, svp::GetPathKind(folder.Path()));
    EXPECT_EQ(PathKind::kDirectory, svp::GetPathKind(folder.Join("link")));
    EXPECT_EQ(PathKind::kMissing, svp::GetPathKind(folder.Join("missing")));
    EXPECT_EQ(PathKind::kMissing, svp::GetPathKind(""));

    EXPECT_TRUE(svp::CreateFolder(folder.Join("new")));
    EXPECT_FALSE(svp::CreateFolder(folder.Join("new")));
    EXPECT_FALSE(svp::CreateFolder(folder.Join("a/b"))); // one level at a time
}

TEST(FileSystemTest, ListsMatchingEntriesSortedInEitherCase)
{
    svtest::TempFolder folder;
    for (const char* name : {"b.ttf", "A.TTF", "c.ttc", "notttf", ".hidden.ttf"}) {
        folder.WriteFile(name, "");
    }
    folder.MakeFolder("d.ttf");
    ASSERT_EQ(0, symlink(folder.Path().c_str(), folder.Join("e.ttf").c_str()));

    std::vector<svp::DirectoryEntry> entries;
    ASSERT_TRUE(svp::ListFolder(folder.Path(), "*.ttf", entries));
    std::vector<std::pair<std::string, bool>> listed;
    for (const svp::DirectoryEntry& entry : entries) {
        listed.emplace_back(entry.name, entry.isDirectory);
    }
    const std::vector<std::pair<std::string, bool>> expected = {
        {".hidden.ttf", false}, {"A.TTF", false}, {"b.ttf", false},
        {"d.ttf", true},        {"e.ttf", true},
    };
    EXPECT_EQ(expected, listed);

    entries.clear();
    ASSERT_TRUE(svp::ListFolder(folder.Path(), "*", entries));
    EXPECT_EQ(7u, entries.size()); // no "." or ".."
    EXPECT_FALSE(svp::ListFolder(folder.Join("missing"), "*", entries));
}

TEST(FileSystemTest, ListingAnUnreadableFolderFails)
{
    if (geteuid() == 0) {
        GTEST_SKIP() << "permissions do not hold for root";
    }
    svtest::TempFolder folder;
    folder.MakeFolder("locked");
    ASSERT_EQ(0, chmod(folder.Join("locked").c_str(), 0));
    std::vector<svp::DirectoryEntry> entries;
    EXPECT_FALSE(svp::ListFolder(folder.Join("locked"), "*", entries));
    EXPECT_TRUE(entries.empty());
}

TEST(FileSystemTest, CanonicalPathResolvesLinksAndDots)
{
    svtest::TempFolder folder;
    folder.MakeFolder("real/inner");
    ASSERT_EQ(0, symlink(folder.Join("real").c_str(), folder.Join("link").c_str()));
    std::string canonical = "untouched";
    ASSERT_TRUE(svp::GetCanonicalPath(folder.Join("link/inner/../inner"), canonical));
    EXPECT_EQ(folder.Join("real/inner"), canonical);

    canonical = "untouched";
    EXPECT_FALSE(svp::GetCanonicalPath(folder.Join("missing"), canonical));
    EXPECT_EQ("untouched", canonical);
}

} // namespace
