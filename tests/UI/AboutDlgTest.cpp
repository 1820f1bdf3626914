#include "AboutDlg.h"

#include "EditorSkinFixture.h"

#include "ModuleVersionInfo.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using SV::RCPtr;

std::string N(const SV::WideString& text)
{
    return text.ToNarrow().GetText();
}

// A module without version information: the reader throws.
class ModuleWithoutVersion : public svp::IModuleVersionInfo
{
public:
    std::string GetModuleFileName() const override { return "/opt/editor/editor"; }
    uint32_t GetVersionInfoSize(const std::string&) const override { return 0; }
    bool GetVersionInfo(const std::string&, svp::VersionInfoBlock&) const override { return false; }
};

const char* const kSkin = R"(<Skin Name="Default">
<SubControl Class="PresetEditor.DialogAbout" Name="dialogAbout" XSizeAbs="500" YSizeAbs="200"><Skin Name="dialogAbout">
<SubControl Class="Framework.Label" Name="labelProduct" XSizeAbs="500" YSizeAbs="20"/>
<SubControl Class="Framework.Label" Name="labelCopyright" XSizeAbs="500" YSizeAbs="10"/>
</Skin></SubControl></Skin>
)";

const char* const kVersionText = R"(<StringTable ID="|PresetEditor">
  <String ID="APP_VERSION"><Locale LCID="0x0009">Version:</Locale></String>
</StringTable>
)";

class AboutDlgTest : public svtest::EditorSkinFixture
{
protected:
    void TearDown() override
    {
        LAboutDlg::SetVersionModule(nullptr);
        svtest::EditorSkinFixture::TearDown();
    }

    std::string Label(const char16_t* name) const
    {
        return N(root->FindChildControl(name)->GetText());
    }
};

TEST_F(AboutDlgTest, ShowsTheMakerProductVersionAndCopyrightOfTheProgram)
{
    Load(kSkin, kVersionText);
    ASSERT_TRUE(CreateWindow(u"dialogAbout"));
    EXPECT_EQ(Label(u"labelProduct"), "Vudozi Vedozi Duruzava Program Editor Version: 1.0.2");
    EXPECT_EQ(Label(u"labelCopyright"), "Copyright (C) 2026 Vudozi. All rights reserved.");
}

TEST_F(AboutDlgTest, WithoutTheVersionTextTheLineKeepsItsBlanks)
{
    Load(kSkin);
    ASSERT_TRUE(CreateWindow(u"dialogAbout"));
    EXPECT_EQ(Label(u"labelProduct"), "Vudozi Vedozi Duruzava Program Editor  1.0.2");
}

TEST_F(AboutDlgTest, OpensWithWhatIsKnownWhenTheVersionInformationCannotBeRead)
{
    ModuleWithoutVersion module;
    LAboutDlg::SetVersionModule(&module);
    Load(kSkin, kVersionText);
    ASSERT_TRUE(CreateWindow(u"dialogAbout"));
    EXPECT_EQ(Label(u"labelProduct"), "  Version: ");
    EXPECT_EQ(Label(u"labelCopyright"), "");
}

} // namespace
