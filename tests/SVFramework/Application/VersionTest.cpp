#include "Application/Version.h"
#include "ExceptionText.h"
#include "ScopedEnvironment.h"
#include "TestFrameworkApp.h"
#include "Utilities/Storage/StringTable.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using SV::WideString;

std::string N(const WideString& text)
{
    return text.ToNarrow().GetText();
}

// A module whose version block the test writes; each reading step can be made to fail.
class FakeModule : public svp::IModuleVersionInfo
{
public:
    std::string GetModuleFileName() const override { return fileName; }
    uint32_t GetVersionInfoSize(const std::string& name) const override
    {
        askedName = name;
        return hasBlock ? 100 : 0;
    }
    bool GetVersionInfo(const std::string&, svp::VersionInfoBlock& out) const override
    {
        if (!readable) {
            return false;
        }
        out = block;
        return true;
    }

    // Adds a translation with its company name.
    void AddTranslation(uint16_t language, uint16_t codePage, const std::string& company)
    {
        if (!block.translations) {
            block.translations.emplace();
        }
        block.translations->push_back({language, codePage});
        char digits[16];
        std::snprintf(digits, sizeof digits, "%04x%04x", language, codePage);
        block.strings[std::string("\\StringFileInfo\\") + digits + "\\CompanyName"] = company;
    }

    std::string fileName = "/opt/editor/bin/vedozi-editor";
    bool hasBlock = true;
    bool readable = true;
    svp::VersionInfoBlock block;
    mutable std::string askedName;
};

TEST(Version, ExecutableCarriesTheProgramsValues)
{
    const SV::Version version;
    EXPECT_EQ(N(version.GetCompanyName()), "Vudozi");
    EXPECT_EQ(N(version.GetProductName()), "Vedozi Duruzava Program Editor");
    EXPECT_EQ(N(version.GetProductVersion()), "1.0.2");
    EXPECT_FALSE(version.QueryStringFileInfo("LegalCopyright").IsEmpty());
    EXPECT_TRUE(version.QueryStringFileInfo("NoSuchKey").IsEmpty());
    EXPECT_EQ(version.GetTranslation().language, 0x0000);
    EXPECT_EQ(version.GetTranslation().codePage, 0x04B0);
}

TEST(Version, ChoosesTheTranslationByPrimaryLanguage)
{
    const struct
    {
        const char* userLocale;
        const char* systemLocale;
        const char* company;
    } cases[] = {
        {"de_DE.UTF-8", "fr_FR.UTF-8", "Deutsch"},
        {"de_AT", "en_US", "Deutsch"},
        {"fr_FR.UTF-8", "de_DE.UTF-8", "Deutsch"},
        {"fr_FR.UTF-8", "fr_FR.UTF-8", "English"},
        {"ja_JP", "ko_KR", "English"},
    };
    FakeModule module;
    module.AddTranslation(0x0411, 0x04B0, "Japanese");
    module.block.translations->erase(module.block.translations->begin());
    module.AddTranslation(0x0409, 0x04B0, "English");
    module.AddTranslation(0x0407, 0x04E4, "Deutsch");
    for (const auto& c : cases) {
        svtest::ScopedEnvironment environment;
        environment.Set("LC_ALL", c.userLocale);
        environment.Set("LANG", c.systemLocale);
        const SV::Version version(module);
        EXPECT_EQ(N(version.GetCompanyName()), c.company) << c.userLocale;
    }
    EXPECT_EQ(module.askedName, "vedozi-editor") << "the file name without its folder";

    FakeModule neutral;
    neutral.AddTranslation(0x0000, 0x04B0, "Neutral");
    neutral.AddTranslation(0x0C0A, 0x04B0, "Spanish");
    svtest::ScopedEnvironment environment;
    environment.Set("LC_ALL", "it_IT");
    environment.Set("LANG", "it_IT");
    EXPECT_EQ(N(SV::Version(neutral).GetCompanyName()), "Neutral") << "the first entry";
}

TEST(Version, FailedStepsRaiseTheirErrorCodes)
{
    const std::string builtIn =
        "The application encountered problems during startup and will now close.  "
        "(Error code = ";
    const struct
    {
        void (*spoil)(FakeModule&);
        std::string text;
    } cases[] = {
        {[](FakeModule& m) { m.fileName.clear(); },
         "Runtime Error : " + builtIn + "903) : SV::Version::Version : Version : Line 148"},
        {[](FakeModule& m) { m.hasBlock = false; },
         "Runtime Error : " + builtIn + "902) : SV::Version::Version : Version : Line 143"},
        {[](FakeModule& m) { m.readable = false; },
         "Runtime Error : " + builtIn + "901) : SV::Version::Version : Version : Line 133"},
        {[](FakeModule& m) { m.block.translations.reset(); },
         "Runtime Error : " + builtIn + "900) : SV::Version::Version : Version : Line 128"},
        {[](FakeModule& m) { m.block.translations->clear(); },
         "Runtime Error : " + builtIn + "900) : SV::Version::Version : Version : Line 128"},
    };
    for (const auto& c : cases) {
        FakeModule module;
        module.AddTranslation(0x0409, 0x04B0, "English");
        c.spoil(module);
        EXPECT_EQ(svtest::ExceptionTextOf<SV::Exception<std::runtime_error>>(
                      [&] { SV::Version version(module); }),
                  c.text);
    }
}

TEST(Version, ErrorTextComesFromTheFrameworkTableAndIsNoFormat)
{
    FakeModule module;
    module.hasBlock = false;
    const struct
    {
        const char16_t* tableText; // null: no table
        std::string text;
    } cases[] = {
        {u"The application has encountered Error ID %d.  Please contact Solvane Technical "
         u"Support.",
         "Runtime Error : The application has encountered Error ID 902.  Please contact Solvane "
         "Technical Support. : SV::Version::Version : Version : Line 143"},
        // Other conversions stay as they are: the text is never used as a format.
        {u"Error %s %n %d (100%)",
         "Runtime Error : Error %s %n 902 (100%) : SV::Version::Version : Version : Line 143"},
        {nullptr, "Runtime Error :  : SV::Version::Version : Version : Line 143"},
    };
    for (const auto& c : cases) {
        SV::RCPtr<SV::LStringTable> table;
        if (c.tableText != nullptr) {
            table = new SV::LStringTable(SV::LStringTable::Strings{{u"EXCEPTION_ID", c.tableText}});
        }
        svtest::TestFrameworkApp application(nullptr, table);
        EXPECT_EQ(svtest::ExceptionTextOf<SV::Exception<std::runtime_error>>(
                      [&] { SV::Version version(module); }),
                  c.text);
    }
}

} // namespace
