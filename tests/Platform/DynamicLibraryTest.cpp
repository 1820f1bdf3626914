#include "DynamicLibrary.h"
#include "ExecutablePath.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kFakeClient = std::string(SV_FAKE_CLIENT_FOLDER) + "/libDeviceControlClient.so";
const std::string kPartialClient =
    std::string(SV_FAKE_CLIENT_PARTIAL_FOLDER) + "/libDeviceControlClient.so";

TEST(DynamicLibraryTest, FindsTheExportsALibraryHasAndNoOthers)
{
    svp::LibraryHandle library = svp::LoadDynamicLibrary(kPartialClient);
    ASSERT_NE(nullptr, library);
    EXPECT_NE(nullptr, svp::FindLibraryExport(library, "ZUVO_ConnectDevice"));
    EXPECT_EQ(nullptr, svp::FindLibraryExport(library, "ZUVO_SetParamValue"));
    EXPECT_FALSE(svp::GetLastLibraryError().empty());
    EXPECT_EQ(nullptr, svp::FindLibraryExport(library, nullptr));
    EXPECT_EQ(nullptr, svp::FindLibraryExport(nullptr, "ZUVO_ConnectDevice"));
    svp::FreeDynamicLibrary(library);
}

TEST(DynamicLibraryTest, LoadingALoadedLibraryAgainSharesItsState)
{
    svp::LibraryHandle first = svp::LoadDynamicLibrary(kFakeClient);
    svp::LibraryHandle second = svp::LoadDynamicLibrary(kFakeClient);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(first, second);
    // One load given back leaves the library in place for the other holder.
    svp::FreeDynamicLibrary(second);
    EXPECT_NE(nullptr, svp::FindLibraryExport(first, "ZUVO_ReleaseAll"));
    svp::FreeDynamicLibrary(first);
}

TEST(DynamicLibraryTest, MissingOrUnloadableFilesGiveNoLibraryAndAReason)
{
    svtest::TempFolder folder;
    folder.WriteFile("libBroken.so", "not a library");
    const std::string paths[] = {folder.Join("libMissing.so"), folder.Join("libBroken.so"),
                                 folder.Path(), ""};
    for (const std::string& path : paths) {
        EXPECT_EQ(nullptr, svp::LoadDynamicLibrary(path)) << path;
        EXPECT_FALSE(svp::GetLastLibraryError().empty()) << path;
    }
    svp::FreeDynamicLibrary(nullptr);
}

TEST(ExecutablePathTest, TheExecutablesFolderHoldsTheRunningProgram)
{
    const std::string path = svp::GetExecutablePath();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ('/', path.front());
    EXPECT_NE(std::string::npos, path.rfind("/PlatformTests"));
    const std::string folder = svp::GetExecutableFolder();
    EXPECT_EQ(folder + "/PlatformTests", path);
}

} // namespace
