#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace svtest {

TempFolder::TempFolder()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && base[0] != 0 ? base : "/tmp") + "/svtest-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back(0);
    if (mkdtemp(name.data()) == nullptr) {
        ADD_FAILURE() << "cannot create a temporary folder from " << pattern;
        return;
    }
    mPath = std::filesystem::canonical(name.data()).string();
}

TempFolder::~TempFolder()
{
    if (mPath.empty()) {
        return;
    }
    std::error_code error;
    // Folders a test made unreadable are opened up again so that they can be removed.
    for (auto it = std::filesystem::recursive_directory_iterator(
             mPath, std::filesystem::directory_options::skip_permission_denied, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_directory(error)) {
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, error);
        }
    }
    std::filesystem::remove_all(mPath, error);
}

std::string TempFolder::Join(const std::string& relative) const
{
    return mPath + "/" + relative;
}

void TempFolder::WriteFile(const std::string& relative, const std::string& bytes) const
{
    std::ofstream out(Join(relative), std::ios::binary | std::ios::trunc);
    out << bytes;
    ASSERT_TRUE(out.good()) << "cannot write " << Join(relative);
}

std::string TempFolder::ReadFile(const std::string& relative) const
{
    std::ifstream in(Join(relative), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void TempFolder::MakeFolder(const std::string& relative) const
{
    std::error_code error;
    std::filesystem::create_directories(Join(relative), error);
    ASSERT_FALSE(error) << "cannot create " << Join(relative);
}

} // namespace svtest
