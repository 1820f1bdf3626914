#include "Renderer/FontRenderer/FontFileInfo.h"
#include "ExceptionText.h"
#include "FontFileBuilder.h"
#include "Renderer/Font.h"
#include "ResultCodes.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

using SV::LFontFileInfo;

std::string Utf8(const SV::WideString& text)
{
    return text.ToNarrow().GetText();
}

SV::WideString Wide(const std::string& text)
{
    SV::WideString wide;
    (void)wide.AssignUtf8(text.c_str(), -1);
    return wide;
}

class FontFileInfoTest : public testing::Test
{
protected:
    ~FontFileInfoTest() override
    {
        LFontFileInfo::ClearCatalogue();
        LFontFileInfo::SetDefaultFontSource(nullptr);
    }

    // A font object of its own, not the registry's, so that every test starts unmapped.
    static SV::RCPtr<SV::LFont> Font(const std::string& family, int32_t style = 0)
    {
        return SV::RCPtr<SV::LFont>(new SV::LFont(Wide(family), 12.0f, style));
    }

    static std::string FileIDError(const SV::RCPtr<SV::LFont>& font)
    {
        return svtest::ExceptionTextOf<SV::Exception<std::runtime_error>>(
            [&] { (void)LFontFileInfo::GetFileID(font); });
    }

    int32_t Build(const std::vector<std::string>& folders)
    {
        SV::Array<SV::WideString> wide;
        for (const std::string& folder : folders) {
            (void)wide.Add(Wide(folder));
        }
        return LFontFileInfo::BuildCatalogue(wide);
    }

    int32_t BuildFromTemp() { return Build({mFolder.Path()}); }

    // The entry of a family, failing the test when there is none.
    SV::RCPtr<LFontFileInfo> Family(const std::string& family)
    {
        for (int32_t i = 0; i < LFontFileInfo::GetEntryCount(); ++i) {
            SV::RCPtr<LFontFileInfo> entry = LFontFileInfo::GetEntry(i);
            if (Utf8(entry->familyName) == family) {
                return entry;
            }
        }
        ADD_FAILURE() << "no entry for " << family;
        return SV::RCPtr<LFontFileInfo>(new LFontFileInfo(-1));
    }

    std::string Path(const std::string& name) const { return mFolder.Join(name); }

    svtest::TempFolder mFolder;
};

TEST_F(FontFileInfoTest, AnEmptyFolderGivesAnEmptyCatalogueAndNoFolderFails)
{
    EXPECT_EQ(BuildFromTemp(), S_OK);
    EXPECT_EQ(LFontFileInfo::GetEntryCount(), 0);
    EXPECT_EQ(Build({}), E_FAIL);
    EXPECT_EQ(LFontFileInfo::GetEntryCount(), 0);
}

TEST_F(FontFileInfoTest, EachFamilyHasOneEntryWithAFilePerStyle)
{
    mFolder.WriteFile("a.ttf", svtest::FamilyFont("Sans", "Regular"));
    mFolder.WriteFile("b.ttf", svtest::FamilyFont("Sans", "Bold"));
    mFolder.WriteFile("c.ttf", svtest::FamilyFont("Sans", "Italic"));
    mFolder.WriteFile("d.ttf", svtest::FamilyFont("Sans", "Bold Italic"));
    mFolder.WriteFile("e.ttf", svtest::FamilyFont("Serif", "Bold Oblique"));
    mFolder.WriteFile("notes.txt", svtest::FamilyFont("Text", "Regular"));
    ASSERT_EQ(BuildFromTemp(), S_OK);

    ASSERT_EQ(LFontFileInfo::GetEntryCount(), 2);
    const SV::RCPtr<LFontFileInfo> sans = Family("Sans");
    EXPECT_EQ(sans->fileID, 0);
    EXPECT_EQ(Utf8(sans->regularPath), Path("a.ttf"));
    EXPECT_EQ(Utf8(sans->boldPath), Path("b.ttf"));
    EXPECT_EQ(Utf8(sans->italicPath), Path("c.ttf"));
    EXPECT_EQ(Utf8(sans->boldItalicPath), Path("d.ttf"));
    // Any subfamily but the three named styles is the regular file.
    const SV::RCPtr<LFontFileInfo> serif = Family("Serif");
    EXPECT_EQ(serif->fileID, 1);
    EXPECT_EQ(Utf8(serif->regularPath), Path("e.ttf"));
    EXPECT_TRUE(serif->boldPath.IsEmpty());

    EXPECT_EQ(Utf8(LFontFileInfo::GetFilePath((0 << 2) | 1)), Path("b.ttf"));
    EXPECT_EQ(Utf8(LFontFileInfo::GetFilePath((1 << 2) | 0)), Path("e.ttf"));
    EXPECT_TRUE(LFontFileInfo::GetFilePath(2 << 2).IsEmpty());
    EXPECT_TRUE(LFontFileInfo::GetFilePath(-1).IsEmpty());
}

TEST_F(FontFileInfoTest, FamiliesDifferingOnlyInCaseAreSeparateEntries)
{
    mFolder.WriteFile("a.ttf", svtest::FamilyFont("Sans", "Regular"));
    mFolder.WriteFile("b.ttf", svtest::FamilyFont("SANS", "Regular"));
    ASSERT_EQ(BuildFromTemp(), S_OK);
    EXPECT_EQ(LFontFileInfo::GetEntryCount(), 2);
}

TEST_F(FontFileInfoTest, CollectionsComeAfterEveryTrueTypeFileAndWinTheirSlots)
{
    // "a.ttc" sorts before "z.ttf", but every .ttc is read after every .ttf.
    mFolder.WriteFile(
        "a.ttc",
        svtest::Collection({{svtest::WindowsName(1, "Sans"), svtest::WindowsName(2, "Regular")},
                            {svtest::WindowsName(1, "Mono"), svtest::WindowsName(2, "Bold")}}));
    mFolder.WriteFile("z.ttf", svtest::FamilyFont("Sans", "Regular"));
    ASSERT_EQ(BuildFromTemp(), S_OK);

    EXPECT_EQ(Utf8(Family("Sans")->regularPath), Path("a.ttc"));
    EXPECT_EQ(Utf8(Family("Mono")->boldPath), Path("a.ttc"));
}

TEST_F(FontFileInfoTest, DamagedAndUnreadableFilesAreSkipped)
{
    std::string cut = svtest::FamilyFont("Cut", "Regular");
    cut.resize(cut.size() - 2);
    mFolder.WriteFile("cut.ttf", cut);
    mFolder.WriteFile("empty.ttf", "");
    mFolder.MakeFolder("folder.ttf");
    mFolder.WriteFile("good.ttf", svtest::FamilyFont("Good", "Regular"));
    ASSERT_EQ(BuildFromTemp(), S_OK);

    ASSERT_EQ(LFontFileInfo::GetEntryCount(), 1);
    EXPECT_EQ(Utf8(Family("Good")->regularPath), Path("good.ttf"));
}

TEST_F(FontFileInfoTest, ABuildStartsFromAnEmptyCatalogue)
{
    mFolder.WriteFile("a.ttf", svtest::FamilyFont("Sans", "Regular"));
    ASSERT_EQ(BuildFromTemp(), S_OK);
    ASSERT_EQ(BuildFromTemp(), S_OK);
    EXPECT_EQ(LFontFileInfo::GetEntryCount(), 1);
}

TEST_F(FontFileInfoTest, TheSystemCatalogueHoldsTheInstalledFonts)
{
    ASSERT_EQ(LFontFileInfo::BuildCatalogue(), S_OK);
    EXPECT_NE(Utf8(Family("DejaVu Sans")->regularPath).find("DejaVuSans.ttf"), std::string::npos);
    EXPECT_FALSE(Family("Liberation Sans")->boldPath.IsEmpty());
}

constexpr const char* kNoFamily = "Runtime Error : SV::LFontFileInfo::GetFileID : "
                                  "Renderer\\FontRenderer\\FontFileInfo : Line 464";

TEST_F(FontFileInfoTest, NoFileForAFontThrowsUnlessTheDefaultFontsFamilyIsCatalogued)
{
    ASSERT_EQ(BuildFromTemp(), S_OK);
    EXPECT_EQ(FileIDError(Font("Sans")), kNoFamily);

    mFolder.WriteFile("a.ttf", svtest::FamilyFont("Sans", "Regular"));
    mFolder.WriteFile("b.ttf", svtest::FamilyFont("Serif", "Regular"));
    ASSERT_EQ(BuildFromTemp(), S_OK);
    // Families are compared with case: "sans" is not catalogued and has no default to fall to.
    EXPECT_EQ(FileIDError(Font("sans")), kNoFamily);
    const SV::RCPtr<SV::LFont> fallback = Font("Serif");
    LFontFileInfo::SetDefaultFontSource([fallback] { return SV::ConstRCPtr<SV::LFont>(fallback); });
    EXPECT_EQ(LFontFileInfo::GetFileID(Font("sans")), (1 << 2) | 0);
    EXPECT_EQ(LFontFileInfo::GetFileID(Font("Sans", SV::LFont::kItalic)), (0 << 2) | 2);
}

TEST_F(FontFileInfoTest, AStyleWithoutAFileTakesTheNearestAndKeepsIt)
{
    mFolder.WriteFile("bold.ttf", svtest::FamilyFont("Sans", "Bold"));
    mFolder.WriteFile("italic.ttf", svtest::FamilyFont("Serif", "Italic"));
    ASSERT_EQ(BuildFromTemp(), S_OK);

    EXPECT_EQ(LFontFileInfo::GetFileID(Font("Sans", 0)), 0);
    EXPECT_EQ(Utf8(LFontFileInfo::GetFilePath(0)), Path("bold.ttf"));
    EXPECT_EQ(Utf8(Family("Sans")->regularPath), Path("bold.ttf"));

    // Bold italic of an italic-only family: bold italic, bold, italic are tried in turn.
    const int32_t boldItalic = SV::LFont::kBold | SV::LFont::kItalic;
    EXPECT_EQ(LFontFileInfo::GetFileID(Font("Serif", boldItalic)), (1 << 2) | 3);
    EXPECT_EQ(Utf8(LFontFileInfo::GetFilePath((1 << 2) | 3)), Path("italic.ttf"));
    // Underline and strike-out choose no file of their own.
    EXPECT_EQ(LFontFileInfo::GetFileID(Font("Serif", SV::LFont::kUnderline | SV::LFont::kItalic)),
              (1 << 2) | 2);
}

TEST_F(FontFileInfoTest, AFontObjectKeepsTheEntryChosenForItUntilTheCatalogueIsCleared)
{
    mFolder.WriteFile("a.ttf", svtest::FamilyFont("Sans", "Regular"));
    ASSERT_EQ(BuildFromTemp(), S_OK);
    const SV::RCPtr<SV::LFont> font = Font("Sans");
    EXPECT_EQ(LFontFileInfo::GetFileID(font), 0);

    // Renamed, the entry is still found for the same font object, but not for another one.
    Family("Sans")->familyName = Wide("Renamed");
    EXPECT_EQ(LFontFileInfo::GetFileID(font), 0);
    EXPECT_EQ(FileIDError(Font("Sans")), kNoFamily);

    LFontFileInfo::ClearCatalogue();
    EXPECT_EQ(FileIDError(font), kNoFamily);
}

} // namespace
