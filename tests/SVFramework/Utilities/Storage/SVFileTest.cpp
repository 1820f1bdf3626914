#include "Utilities/Storage/SVFile.h"

#include "ObjectBase/Exception.h"
#include "ResultCodes.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

namespace {

using SV::File;
using SV::WideString;

constexpr uint32_t kReadWriteCreate = File::kWritable | File::kCreate;

WideString Wide(const std::string& utf8)
{
    return WideString(utf8.c_str());
}

std::string Read(File& file, uint32_t count, int32_t offset)
{
    std::string bytes(count, '\0');
    bytes.resize(static_cast<size_t>(file.Read(bytes.data(), count, offset)));
    return bytes;
}

void ExpectRuntimeError(const std::function<void()>& action, const std::string& expected)
{
    try {
        action();
        ADD_FAILURE() << "nothing thrown, expected " << expected;
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(expected, error.what());
        EXPECT_NE(nullptr, dynamic_cast<const SV::ExceptionBase*>(&error));
    }
}

class SVFileTest : public ::testing::Test
{
protected:
    svtest::TempFolder mFolder;
    WideString mFolderPath = Wide(mFolder.Path());
};

TEST_F(SVFileTest, ReadsAndWritesAtOffsetsAndTheCurrentPosition)
{
    File file(mFolderPath, u"data.bin", kReadWriteCreate);
    ASSERT_TRUE(file.IsOpen());
    EXPECT_EQ(Wide(mFolder.Join("data.bin")), file.GetPath());
    EXPECT_EQ(WideString(u"data.bin"), file.GetName());

    EXPECT_EQ(5, file.Write("hello", 5, 0));
    EXPECT_EQ(6, file.Write(" world", 6, -1)); // continues after the first write
    EXPECT_EQ(3, file.Write("xyz", 3, 20));    // past the end: the gap reads as zeros
    EXPECT_EQ(23, file.GetLength());

    EXPECT_EQ("world", Read(file, 5, 6));
    EXPECT_EQ(std::string(9, '\0'), Read(file, 9, -1)); // where the previous read stopped
    EXPECT_EQ("xyz", Read(file, 10, -1));               // short at the end
    EXPECT_EQ("", Read(file, 10, -1));                  // then nothing
    EXPECT_EQ(4, file.Seek(4, 0));
    EXPECT_EQ(6, file.Seek(2, 1));
    EXPECT_EQ(21, file.Seek(-2, 2));
    EXPECT_EQ(-1, file.Seek(-30, 1));
    EXPECT_EQ(S_OK, file.Close());
    EXPECT_FALSE(file.IsOpen());

    EXPECT_EQ(std::string("hello world") + std::string(9, '\0') + "xyz",
              mFolder.ReadFile("data.bin"));
}

TEST_F(SVFileTest, FlagsChooseHowTheFileOpens)
{
    mFolder.WriteFile("existing", "old");
    mFolder.MakeFolder("folder");
    struct Case
    {
        const char16_t* name;
        uint32_t flags;
        bool opens;
    };
    const Case cases[] = {
        {u"existing", File::kReadFlag, true},
        {u"existing", 0, true},
        {u"existing", File::kWritable, true},
        {u"missing", File::kReadFlag, false},
        {u"missing", File::kWritable, false},
        {u"created", File::kCreate, true},
        {u"existing", File::kCreate | File::kExclusive, false},
        {u"fresh", File::kCreate | File::kExclusive | File::kWritable, true},
        {u"existing", File::kExclusive, true}, // exclusive counts only with create
        {u"folder", File::kReadFlag, false},   // a directory does not open as a file
    };
    for (const Case& c : cases) {
        const File file(mFolderPath, c.name, c.flags);
        EXPECT_EQ(c.opens, file.IsOpen()) << file.GetName().ToNarrow().GetText() << " " << c.flags;
        EXPECT_EQ(c.flags, file.GetFlags());
    }
    EXPECT_TRUE(std::filesystem::is_regular_file(mFolder.Join("created")));
    EXPECT_FALSE(std::filesystem::exists(mFolder.Join("missing")));
    EXPECT_EQ("old", mFolder.ReadFile("existing"));
}

TEST_F(SVFileTest, OpenAnswersAndKeepsTheFirstDescriptor)
{
    mFolder.WriteFile("first", "1");
    mFolder.WriteFile("second", "2");
    File file(mFolderPath, u"missing", File::kReadFlag);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(E_FAIL, file.Open(mFolderPath, u"missing", File::kReadFlag));
    EXPECT_EQ(S_OK, file.Open(mFolderPath, u"first", File::kReadFlag));
    ASSERT_TRUE(file.IsOpen());
    const int descriptor = file.GetDescriptor()->Get();

    EXPECT_EQ(S_FALSE, file.Open(mFolderPath, u"second", File::kReadFlag));
    EXPECT_EQ(descriptor, file.GetDescriptor()->Get());
    EXPECT_EQ(WideString(u"first"), file.GetName());
    EXPECT_EQ("1", Read(file, 1, 0));
}

TEST_F(SVFileTest, AnEmptyNameOpensTheFolderAsTheWholePath)
{
    mFolder.WriteFile("whole", "abc");
    File file(Wide(mFolder.Join("whole")), u"", File::kReadFlag);
    ASSERT_TRUE(file.IsOpen());
    EXPECT_EQ(3, file.GetLength());
    EXPECT_TRUE(file.GetName().IsEmpty());

    // A folder that ends with a separator gets no second one.
    File inFolder(Wide(mFolder.Path() + "/"), u"whole", File::kReadFlag);
    EXPECT_EQ(Wide(mFolder.Join("whole")), inFolder.GetPath());
}

TEST_F(SVFileTest, AnEmptyFolderWithANameOpensTheNameInTheCurrentFolder)
{
    mFolder.WriteFile("here", "abc");
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(mFolder.Path());
    File file(u"", u"here", File::kReadFlag);
    std::filesystem::current_path(previous);

    EXPECT_EQ(WideString(u"here"), file.GetPath()); // not "/here" at the root
    EXPECT_TRUE(file.IsOpen());
}

TEST_F(SVFileTest, ErrorsThrowTheirTexts)
{
    mFolder.WriteFile("data", "abc");
    File readOnly(mFolderPath, u"data", File::kReadFlag);
    File closed(mFolderPath, u"missing", File::kWritable);
    ASSERT_TRUE(readOnly.IsOpen());
    ASSERT_FALSE(closed.IsOpen());
    char buffer[4] = {};

    ExpectRuntimeError([&] { File(u"", u"", File::kReadFlag); },
                       "Runtime Error : invalid pathname : SV::File::Open : "
                       "Utilities\\Storage\\SVFile : Line 293");
    ExpectRuntimeError([&] { readOnly.Read(buffer, 1, -2); },
                       "Runtime Error : lseek : SV::File::Read : "
                       "Utilities\\Storage\\SVFile : Line 471");
    ExpectRuntimeError([&] { closed.Read(buffer, 1, 0); },
                       "Runtime Error : lseek : SV::File::Read : "
                       "Utilities\\Storage\\SVFile : Line 471");
    ExpectRuntimeError([&] { closed.Read(buffer, 1, -1); },
                       "Runtime Error : read : SV::File::Read : "
                       "Utilities\\Storage\\SVFile : Line 498");
    ExpectRuntimeError([&] { readOnly.Read(buffer, 0x80000000u, 0); },
                       "Runtime Error : read : SV::File::Read : "
                       "Utilities\\Storage\\SVFile : Line 498");
    ExpectRuntimeError([&] { readOnly.Write("x", 1, 0); },
                       "Runtime Error : file is read only : SV::File::Write : "
                       "Utilities\\Storage\\SVFile : Line 593");
    ExpectRuntimeError([&] { closed.Write("x", 1, 0); },
                       "Runtime Error : lseek : SV::File::Write : "
                       "Utilities\\Storage\\SVFile : Line 602");
    ExpectRuntimeError([&] { closed.Write("x", 1, -1); },
                       "Runtime Error : write : SV::File::Write : "
                       "Utilities\\Storage\\SVFile : Line 638");
    ExpectRuntimeError([&] { closed.GetLength(); }, "Runtime Error : fstat : SV::File::GetLength : "
                                                    "Utilities\\Storage\\SVFile : Line 112");
    EXPECT_EQ(-1, closed.Seek(0, 0));
    EXPECT_EQ("abc", Read(readOnly, 3, 0)); // the failed calls left the open file usable
}

TEST_F(SVFileTest, CloseActsOnlyForTheHoldersOnlyReference)
{
    File file(mFolderPath, u"temporary", kReadWriteCreate | File::kDeleteOnClose);
    ASSERT_TRUE(file.IsOpen());
    EXPECT_EQ(1, file.Write("x", 1, -1));

    SV::ConstRCPtr<SV::LHolder<int>> extra = file.GetDescriptor();
    EXPECT_EQ(S_OK, file.Close());
    EXPECT_TRUE(file.IsOpen());
    EXPECT_TRUE(std::filesystem::exists(mFolder.Join("temporary")));

    extra = nullptr;
    EXPECT_EQ(S_OK, file.Close());
    EXPECT_FALSE(file.IsOpen());
    EXPECT_FALSE(std::filesystem::exists(mFolder.Join("temporary")));
    EXPECT_EQ(S_OK, file.Close()); // closing a closed file changes nothing
}

TEST_F(SVFileTest, DestructionClosesAndDeletesOnlyWhenAsked)
{
    {
        File kept(mFolderPath, u"kept", kReadWriteCreate);
        File deleted(mFolderPath, u"deleted", kReadWriteCreate | File::kDeleteOnClose);
        ASSERT_TRUE(kept.IsOpen() && deleted.IsOpen());
        kept.Write("k", 1, 0);
    }
    EXPECT_EQ("k", mFolder.ReadFile("kept"));
    EXPECT_FALSE(std::filesystem::exists(mFolder.Join("deleted")));
}

TEST_F(SVFileTest, NonAsciiNamesReachTheSystemAsUtf8)
{
    File file(mFolderPath, u"n\u00e4me \u4e2d\U0001F3B9.txt", kReadWriteCreate);
    ASSERT_TRUE(file.IsOpen());
    file.Close();
    EXPECT_TRUE(
        std::filesystem::exists(mFolder.Join("n\xc3\xa4me \xe4\xb8\xad\xf0\x9f\x8e\xb9.txt")));
}

} // namespace
