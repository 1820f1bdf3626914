#include "System/IniFileManager.h"
#include "System/IniFileManagerProxy.h"

#include "DynamicLibrary.h"
#include "IniFileManagerExports.h"
#include "IniFileStore.h"
#include "ResultCodes.h"
#include "StderrCapture.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace {

using SV::WideString;

WideString W(const std::string& text)
{
    return WideString(text.c_str());
}

std::string N(const WideString& text)
{
    return text.ToNarrow().GetText();
}

class SettingsLibrary : public testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(mManager->Load(W(SV_INI_FILE_MANAGER_FOLDER)), S_OK); }

    int32_t Open(const std::string& name)
    {
        int32_t handle = 0;
        EXPECT_EQ(mManager->OpenIniFile(W(mFolder.Join(name)), W("1_0_0"), W("Product"), handle),
                  S_OK);
        EXPECT_NE(handle, 0);
        return handle;
    }

    svtest::TempFolder mFolder;
    SV::RCPtr<SV::LIniFileManager> mManager{new SV::LIniFileManager()};
};

TEST(SettingsBinding, LoadBuildsThePathAndAnswersOnceLoaded)
{
    const struct
    {
        std::string folder;
        std::string path;
    } cases[] = {
        {SV_INI_FILE_MANAGER_FOLDER, SV_INI_FILE_MANAGER_FOLDER "/libIniFileManager.so"},
        {SV_INI_FILE_MANAGER_FOLDER "/", SV_INI_FILE_MANAGER_FOLDER "/libIniFileManager.so"},
    };
    for (const auto& c : cases) {
        SV::CIniFileManagerProxy proxy;
        EXPECT_EQ(proxy.Load(W(c.folder)), S_OK);
        EXPECT_EQ(N(proxy.GetLibraryPath()), c.path);
        EXPECT_EQ(proxy.Load(W(c.folder)), S_FALSE);
        EXPECT_EQ(proxy.Unload(), S_OK);
        EXPECT_EQ(proxy.Unload(), S_FALSE);
    }

    SV::CIniFileManagerProxy::SetDefaultFolder(W(SV_INI_FILE_MANAGER_FOLDER));
    SV::CIniFileManagerProxy byDefault;
    EXPECT_EQ(byDefault.Load(WideString()), S_OK);
    EXPECT_EQ(N(byDefault.GetLibraryPath()), SV_INI_FILE_MANAGER_FOLDER "/libIniFileManager.so");
    SV::CIniFileManagerProxy::SetDefaultFolder(WideString());
}

TEST(SettingsBinding, WithoutTheLibraryEveryCallFailsAndKeepsDefaults)
{
    svtest::TempFolder folder;
    SV::RCPtr<SV::LIniFileManager> manager(new SV::LIniFileManager());
    EXPECT_EQ(manager->Load(W(folder.Path())), E_FAIL);

    int32_t handle = 5;
    EXPECT_EQ(manager->OpenIniFile(W(folder.Join("a.ini")), W("1"), W("P"), handle), E_FAIL);
    EXPECT_EQ(handle, 0);
    int32_t value = 0;
    EXPECT_EQ(manager->GetIniValueInt(1, W("k"), 42, value), E_FAIL);
    EXPECT_EQ(value, 42);
    WideString text(u"old");
    EXPECT_EQ(manager->GetIniValueStr(1, W("k"), W("fallback"), text), E_FAIL);
    EXPECT_EQ(N(text), "fallback");
    EXPECT_EQ(manager->GetKeyNameAt(1, W("k"), 0, text), E_FAIL);
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_FALSE(manager->DoesNodeExist(1, W("k")));
    EXPECT_EQ(manager->SetIniValueInt(1, W("k"), 3), E_FAIL);
    EXPECT_EQ(manager->SetIniValueStr(0, W("k"), W("x")), E_FAIL);
    int32_t count = 9;
    EXPECT_EQ(manager->GetArrayCount(1, W("k"), count), E_FAIL);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(manager->Unload(), S_FALSE);
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

TEST(SettingsBinding, MissingExportsAreNeverCalled)
{
    SV::CIniFileManagerProxy proxy;
    EXPECT_EQ(proxy.Load(W(SV_INI_FILE_MANAGER_PARTIAL_FOLDER)), E_FAIL);
    EXPECT_TRUE(proxy.IsLoaded()) << "the library stays loaded";
    int32_t handle = 0;
    EXPECT_EQ(proxy.OpenIniFile(W("/nowhere/x.ini"), W("1"), W("P"), handle), S_OK);
    EXPECT_EQ(handle, 7);
    int32_t value = 0;
    EXPECT_EQ(proxy.GetIniValueInt(handle, W("k"), 11, value), E_FAIL);
    EXPECT_EQ(value, 11);
    EXPECT_EQ(proxy.SetIniValueStr(handle, W("k"), W("v")), E_FAIL);
}

TEST_F(SettingsLibrary, ValuesAreWrittenThroughAtOnce)
{
    const int32_t handle = Open("UserSettings.ini");
    EXPECT_EQ(mManager->SetIniValueInt(handle, W("CurrentSkinIndex"), 3), S_OK);
    EXPECT_EQ(mManager->SetIniValueStr(handle, W("PresetLastFolderPath"), W("/home/u/Müsik")),
              S_OK);

    const std::string file = mFolder.ReadFile("UserSettings.ini");
    EXPECT_NE(file.find("CurrentSkinIndex=3\n"), std::string::npos) << file;
    EXPECT_NE(file.find("PresetLastFolderPath=/home/u/Müsik\n"), std::string::npos) << file;
    // Nothing but the settings file is left behind.
    int32_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(mFolder.Path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 1);

    int32_t value = 0;
    EXPECT_EQ(mManager->GetIniValueInt(handle, W("CurrentSkinIndex"), 0, value), S_OK);
    EXPECT_EQ(value, 3);
    EXPECT_EQ(mManager->GetIniValueInt(handle, W("Missing"), -4, value), S_FALSE);
    EXPECT_EQ(value, -4);
    WideString text;
    EXPECT_EQ(mManager->GetIniValueStr(handle, W("PresetLastFolderPath"), W(""), text), S_OK);
    EXPECT_EQ(N(text), "/home/u/Müsik");
}

TEST_F(SettingsLibrary, FileWrittenByAnEarlierRunIsRead)
{
    mFolder.WriteFile("Earlier.ini", "; a comment\n[File]\nVersion=1_0_0\n[Values]\n"
                                     "CurrentSkinIndex=2\r\nPath=a\\nb\\\\c\n"
                                     "Group/Inner=x\n");
    const int32_t handle = Open("Earlier.ini");
    int32_t value = 0;
    EXPECT_EQ(mManager->GetIniValueInt(handle, W("CurrentSkinIndex"), 0, value), S_OK);
    EXPECT_EQ(value, 2);
    WideString text;
    EXPECT_EQ(mManager->GetIniValueStr(handle, W("Path"), W(""), text), S_OK);
    EXPECT_EQ(N(text), "a\nb\\c");
    EXPECT_TRUE(mManager->DoesNodeExist(handle, W("Group")));
    EXPECT_TRUE(mManager->DoesNodeExist(handle, W("Group\\Inner")));
    EXPECT_FALSE(mManager->DoesNodeExist(handle, W("Gro")));

    // Opening the same file again gives the same handle.
    EXPECT_EQ(Open("Earlier.ini"), handle);
}

// Each file is opened, read, and written once the way the program writes at start-up (the skin
// index); the write changes only the line of that value.
TEST_F(SettingsLibrary, DamagedLinesAreSkippedAndEveryOtherLineIsKeptByteForByte)
{
    const struct
    {
        const char* name;
        std::string file;
        std::vector<std::pair<std::string, std::string>> values;
        std::string written;
    } cases[] = {
        {"three spaces",
         "[Values]\nBefore=1\n   \nAfter=2\n",
         {{"Before", "1"}, {"After", "2"}},
         "[Values]\nBefore=1\n   \nAfter=2\nCurrentSkinIndex=3\n"},
        {"Latin-1 byte",
         "; mine\n[Values]\nPath=/home/J\xF6rg\nAfter=2\n",
         {{"After", "2"}},
         "; mine\n[Values]\nPath=/home/J\xF6rg\nAfter=2\nCurrentSkinIndex=3\n"},
        {"broken sequence and binary tail",
         "[Values]\nBad=\xC3\x28\nAfter=2\n" + std::string("\0\0\xFF", 3),
         {{"After", "2"}},
         "[Values]\nBad=\xC3\x28\nAfter=2\nCurrentSkinIndex=3\n" + std::string("\0\0\xFF", 3)},
        {"value changed in place, line ends kept",
         "# note\r\n[Values]\r\nCurrentSkinIndex=0\r\nGroup/Inner=x\r\nLast=y",
         {{"CurrentSkinIndex", "0"}, {"Group/Inner", "x"}, {"Last", "y"}},
         "# note\r\n[Values]\r\nCurrentSkinIndex=3\r\nGroup/Inner=x\r\nLast=y"},
        {"no values section yet",
         "[Other]\nX=1",
         {},
         "[Other]\nX=1\n[Values]\nCurrentSkinIndex=3\n"},
        {"a key twice: the last is read and written",
         "[Values]\nCurrentSkinIndex=1\n"
         "CurrentSkinIndex=2\n",
         {{"CurrentSkinIndex", "2"}},
         "[Values]\nCurrentSkinIndex=1\nCurrentSkinIndex=3\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        mFolder.WriteFile("UserSettings.ini", c.file);
        int32_t handle = Open("UserSettings.ini");
        for (const auto& [key, value] : c.values) {
            WideString text;
            EXPECT_EQ(mManager->GetIniValueStr(handle, W(key), W("-"), text), S_OK) << key;
            EXPECT_EQ(N(text), value) << key;
        }
        int32_t number = 0;
        EXPECT_EQ(mManager->GetIniValueInt(handle, W("X"), -1, number), S_FALSE);

        EXPECT_EQ(mManager->SetIniValueInt(handle, W("CurrentSkinIndex"), 3), S_OK);
        EXPECT_EQ(mFolder.ReadFile("UserSettings.ini"), c.written);

        // Read afresh, the file holds what was read before and the new value.
        ASSERT_EQ(mManager->CloseIniFile(handle, 0), S_OK);
        handle = Open("UserSettings.ini");
        EXPECT_EQ(mManager->GetIniValueInt(handle, W("CurrentSkinIndex"), 0, number), S_OK);
        EXPECT_EQ(number, 3);
        for (const auto& [key, value] : c.values) {
            WideString text;
            EXPECT_EQ(mManager->GetIniValueStr(handle, W(key), W("-"), text), S_OK) << key;
        }
        ASSERT_EQ(mManager->CloseIniFile(handle, 0), S_OK);
    }
}

TEST_F(SettingsLibrary, FileThatCannotBeReadWholeIsLeftAloneAndReportedOnce)
{
    mFolder.MakeFolder("folder.ini");
    ASSERT_EQ(::mkfifo(mFolder.Join("pipe.ini").c_str(), 0600), 0);
    const std::string large =
        "[Values]\nFirst=1\n" + std::string(IniFileStore::kMaxFileSize, ';') + "\nLast=2\n";
    mFolder.WriteFile("large.ini", large);

    svtest::StderrCapture errors;
    for (const char* name : {"folder.ini", "pipe.ini", "large.ini"}) {
        SCOPED_TRACE(name);
        // Asked twice, as the program asks again after a failed open: said once.
        for (int attempt = 0; attempt < 2; ++attempt) {
            int32_t handle = 5;
            EXPECT_EQ(mManager->OpenIniFile(W(mFolder.Join(name)), W("1_0_0"), W("P"), handle),
                      E_FAIL);
            EXPECT_EQ(handle, 0);
        }
        const std::string said = errors.Text();
        const std::string path = mFolder.Join(name);
        const size_t first = said.find(path);
        EXPECT_NE(first, std::string::npos) << said;
        EXPECT_EQ(said.find(path, first + 1), std::string::npos) << said;
    }
    EXPECT_EQ(mFolder.ReadFile("large.ini"), large);
    EXPECT_TRUE(std::filesystem::is_fifo(mFolder.Join("pipe.ini")));
}

TEST_F(SettingsLibrary, TextThatWouldNotReadBackIsRefused)
{
    mFolder.WriteFile("UserSettings.ini", "[Values]\nFirst=1\n");
    const int32_t handle = Open("UserSettings.ini");

    // Straight to the library, as its other callers would.
    const svp::LibraryHandle library =
        svp::LoadDynamicLibrary(SV_INI_FILE_MANAGER_FOLDER "/libIniFileManager.so");
    ASSERT_NE(library, nullptr);
    const auto setText =
        reinterpret_cast<SetIniValueStrFn>(svp::FindLibraryExport(library, "SetIniValueStr"));
    const auto setItem =
        reinterpret_cast<SetArrayItemAtFn>(svp::FindLibraryExport(library, "SetArrayItemAt"));
    ASSERT_NE(setText, nullptr);
    ASSERT_NE(setItem, nullptr);
    const struct
    {
        const char* key;
        const char* text;
    } refused[] = {{"Lone\xFF", "x"}, {"Key", "\xFF"}, {"Key", "J\xF6rg"}, {"Key", "\xED\xA0\x80"}};
    for (const auto& r : refused) {
        EXPECT_EQ(setText(handle, r.key, r.text), E_INVALIDARG) << r.key << " " << r.text;
    }
    EXPECT_EQ(setItem(handle, "List", 0, "\xC3"), E_INVALIDARG);
    svp::FreeDynamicLibrary(library);
    // Through the binding, a lone surrogate would reach the library as such bytes.
    EXPECT_EQ(mManager->SetIniValueStr(handle, W("Key"), WideString(u"a\xD800")), E_INVALIDARG);
    EXPECT_EQ(mFolder.ReadFile("UserSettings.ini"), "[Values]\nFirst=1\n");

    EXPECT_EQ(mManager->SetIniValueStr(handle, W("Second"), W("2")), S_OK);
    EXPECT_EQ(mFolder.ReadFile("UserSettings.ini"), "[Values]\nFirst=1\nSecond=2\n");
}

TEST_F(SettingsLibrary, LongTextComesBackWhole)
{
    const int32_t handle = Open("Long.ini");
    // Three-byte characters put the 1023rd byte inside a character.
    std::string longText;
    while (longText.size() < 3000) {
        longText += "ab\xE2\x82\xAC";
    }
    ASSERT_EQ(mManager->SetIniValueStr(handle, W("Long"), W(longText)), S_OK);
    WideString text;
    EXPECT_EQ(mManager->GetIniValueStr(handle, W("Long"), W(""), text), S_OK);
    EXPECT_EQ(N(text), longText);

    const std::string exact(1023, 'x');
    ASSERT_EQ(mManager->SetIniValueStr(handle, W("Exact"), W(exact)), S_OK);
    EXPECT_EQ(mManager->GetIniValueStr(handle, W("Exact"), W(""), text), S_OK);
    EXPECT_EQ(N(text), exact);
}

TEST_F(SettingsLibrary, FailedWriteIsReportedAndLeavesTheOldFile)
{
    mFolder.MakeFolder("gone");
    int32_t handle = 0;
    ASSERT_EQ(mManager->OpenIniFile(W(mFolder.Join("gone/S.ini")), W("1"), W("P"), handle), S_OK);
    ASSERT_EQ(mManager->SetIniValueInt(handle, W("A"), 1), S_OK);
    std::filesystem::remove_all(mFolder.Join("gone"));
    EXPECT_EQ(mManager->SetIniValueInt(handle, W("A"), 2), E_FAIL);
    EXPECT_FALSE(std::filesystem::exists(mFolder.Join("gone")));

    int32_t other = 0;
    EXPECT_EQ(mManager->OpenIniFile(W(mFolder.Path()), W("1"), W("P"), other), E_FAIL);
    EXPECT_EQ(other, 0) << "a folder is no settings file";
}

TEST_F(SettingsLibrary, ArraysAndKeyNames)
{
    const int32_t handle = Open("Arrays.ini");
    EXPECT_EQ(mManager->SetArrayItemAt(handle, W("Recent"), 0, W("a")), S_OK);
    EXPECT_EQ(mManager->SetArrayItemAt(handle, W("Recent"), 1, W("b")), S_OK);
    EXPECT_EQ(mManager->SetArrayItemAt(handle, W("Recent"), 2, W("c")), S_OK);
    EXPECT_EQ(mManager->SetArrayItemAt(handle, W("Recent"), 5, W("x")), E_INVALIDARG);
    EXPECT_EQ(mManager->RemoveArrayItemAt(handle, W("Recent"), 0), S_OK);
    int32_t count = 0;
    EXPECT_EQ(mManager->GetArrayCount(handle, W("Recent"), count), S_OK);
    EXPECT_EQ(count, 2);
    WideString text;
    EXPECT_EQ(mManager->GetArrayItemAt(handle, W("Recent"), 0, text), S_OK);
    EXPECT_EQ(N(text), "b");
    EXPECT_EQ(mManager->GetArrayItemAt(handle, W("Recent"), 2, text), E_INVALIDARG);
    EXPECT_EQ(mManager->SetArrayCount(handle, W("Recent"), 4), S_OK);
    EXPECT_EQ(mManager->GetArrayCount(handle, W("Recent"), count), S_OK);
    EXPECT_EQ(count, 4);

    EXPECT_EQ(mManager->SetIniValueInt(handle, W("Window/Width"), 5), S_OK);
    EXPECT_EQ(mManager->GetKeyCount(handle, W(""), count), S_OK);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(mManager->GetKeyNameAt(handle, W(""), 1, text), S_OK);
    EXPECT_EQ(N(text), "Window");
    EXPECT_EQ(mManager->GetKeyNameAt(handle, W(""), 2, text), E_INVALIDARG);
    EXPECT_TRUE(text.IsEmpty());

    EXPECT_EQ(mManager->WriteIniFile(handle), S_OK);
    EXPECT_EQ(mManager->CloseIniFile(handle, 0), S_OK);
    EXPECT_EQ(mManager->CloseIniFile(handle, 0), E_INVALIDARG);
}

} // namespace
