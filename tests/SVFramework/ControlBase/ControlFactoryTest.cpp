// The control factory: class registration, lookups through the current skin, and loading from
// resources and files.
#include "ControlBase/ControlFactory.h"
#include "ExceptionText.h"
#include "SkinFixture.h"
#include "TempFolder.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using SV::ControlCreateFunction;
using SV::LControlDescriptor;
using SV::LControlFactory;
using SV::RCPtr;
using SV::WideString;
using svtest::SkinFixture;

// Registered, compared, never called: these tests make no controls.
SV::RCPtr<SV::LControl> CreateFirst(const SV::RCPtr<SV::LControl>&,
                                    const SV::ConstRCPtr<LControlDescriptor>&)
{
    throw std::logic_error("not called");
}

SV::RCPtr<SV::LControl> CreateSecond(const SV::RCPtr<SV::LControl>&,
                                     const SV::ConstRCPtr<LControlDescriptor>&)
{
    throw std::logic_error("not called");
}

// The two things the factory asks of a control when it re-applies the skin.
class FakeControl : public virtual SV::LRefCountedObject
{
public:
    explicit FakeControl(const WideString& name) : mName(name) {}
    const WideString& GetName() const { return mName; }
    int32_t ApplyDescriptor(const SV::ConstRCPtr<LControlDescriptor>& descriptor)
    {
        applied = descriptor;
        return 7;
    }

    SV::ConstRCPtr<LControlDescriptor> applied;

private:
    WideString mName;
};

class ControlFactoryTest : public SkinFixture
{};

TEST_F(ControlFactoryTest, TheFirstRegistrationOfAClassWins)
{
    EXPECT_EQ(factory->RegisterControlCreateFunction(u"Framework.Button", &CreateFirst), 0);
    EXPECT_EQ(factory->RegisterControlCreateFunction(u"Framework.Button", &CreateSecond), 0);
    EXPECT_EQ(factory->GetControlCreateFunction(u"Framework.Button"), &CreateFirst);
    EXPECT_EQ(svtest::ExceptionTextOf<SV::Exception<std::runtime_error>>(
                  [&] { (void)factory->GetControlCreateFunction(u"framework.button"); }),
              "Runtime Error : SV::LControlFactory::GetControlCreateFunction : "
              "ControlBase\\ControlFactory : Line 51");
}

TEST_F(ControlFactoryTest, ADescriptorKeepsTheFunctionOfItsFirstCreation)
{
    LControlDescriptor descriptor(u"Framework.Label", u"label", nullptr);
    EXPECT_THROW((void)factory->ResolveCreateFunction(descriptor), std::runtime_error);
    EXPECT_EQ(descriptor.GetCreateFunction(), nullptr);

    factory->RegisterControlCreateFunction(u"Framework.Label", &CreateFirst);
    EXPECT_EQ(factory->ResolveCreateFunction(descriptor), &CreateFirst);
    LControlFactory other(u"Other");
    other.RegisterControlCreateFunction(u"Framework.Label", &CreateSecond);
    EXPECT_EQ(other.ResolveCreateFunction(descriptor), &CreateFirst);
}

TEST_F(ControlFactoryTest, RootLookupsFindTheLastDefinitionInTheCurrentSkin)
{
    ASSERT_EQ(LoadSkin(R"(<SubControl Class="First" Name="toolTip"/>
                          <SubControl Class="Main" Name="mainControl"/>
                          <SubControl Class="Second" Name="toolTip"/>)"),
              0);
    ASSERT_TRUE(Root(u"toolTip"));
    EXPECT_TRUE(Root(u"toolTip")->GetClass().EqualsText(u"Second"));
    EXPECT_FALSE(Root(u"tooltip"));

    const RCPtr<FakeControl> control(new FakeControl(u"mainControl"));
    EXPECT_EQ(factory->ReapplySkin(control), 7);
    EXPECT_EQ(control->applied, Root(u"mainControl"));
    EXPECT_EQ(factory->ReapplySkin(RCPtr<FakeControl>(new FakeControl(u"unknown"))), E_FAIL);
    EXPECT_EQ(factory->ReapplySkin(RCPtr<FakeControl>()), E_FAIL);
}

TEST_F(ControlFactoryTest, LookupsWithoutASkinAtTheCurrentIndexFindNothing)
{
    WideString name(u"caller");
    float size = 12.0f;
    int32_t style = 3;
    const RCPtr<FakeControl> control(new FakeControl(u"mainControl"));

    EXPECT_EQ(factory->GetSkinCount(), 0);
    EXPECT_FALSE(factory->GetCurrentSkin());
    EXPECT_FALSE(Root(u"mainControl"));
    EXPECT_EQ(factory->ReapplySkin(control), E_FAIL);
    EXPECT_EQ(factory->GetSkinFontOverrides(name, size, style), 1);
    EXPECT_EQ(factory->SetCurrentSkinIndex(0), E_INVALIDARG);

    ASSERT_EQ(LoadSkin(R"(<SubControl Class="Main" Name="mainControl"/>)"), 0);
    EXPECT_EQ(factory->SetCurrentSkinIndex(-1), E_INVALIDARG);
    EXPECT_EQ(factory->SetCurrentSkinIndex(1), E_INVALIDARG);
    EXPECT_EQ(factory->GetCurrentSkinIndex(), 0);
    EXPECT_TRUE(Root(u"mainControl"));
}

TEST_F(ControlFactoryTest, SkinFontOverridesWriteOnlyWhatTheSkinGives)
{
    const struct
    {
        const char* skinAttributes;
        int32_t result;
        const char16_t* name;
        float size;
        int32_t style;
    } cases[] = {
        {R"(FontName="Arial")", 0, u"Arial", 12.0f, 3},
        {R"(FontSize="0.5" FontStyle="-1")", 1, u"caller", 12.0f, 3},
        {R"(FontSize="1" FontStyle="0")", 0, u"caller", 1.0f, 0},
        {"", 1, u"caller", 12.0f, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.skinAttributes);
        Reset();
        ASSERT_EQ(Load(std::string("<Skin Name=\"s\" ") + c.skinAttributes + "/>"), 0);
        WideString name(u"caller");
        float size = 12.0f;
        int32_t style = 3;
        EXPECT_EQ(factory->GetSkinFontOverrides(name, size, style), c.result);
        EXPECT_TRUE(name.EqualsText(c.name));
        EXPECT_EQ(size, c.size);
        EXPECT_EQ(style, c.style);
    }
}

TEST_F(ControlFactoryTest, ACloneGetsItsNameAndLayoutAndSharesTheRest)
{
    ASSERT_EQ(LoadSkin(R"(<SubControl Class="Framework.PopupMenu" Name="templateItem">
                            <Skin Name="i"/><SubControl Class="C" Name="checkBox"/>
                            <CreateParamList><CreateParam ID="A">1</CreateParam>
                            </CreateParamList></SubControl>)"),
              0);
    const RCPtr<LControlDescriptor> item = Root(u"templateItem");
    const RCPtr<SV::LLayoutDescriptor> layout = item->GetLayout()->Clone();
    const RCPtr<LControlDescriptor> clone = factory->CloneDescriptor(item, layout, u"item3");
    ASSERT_TRUE(clone);
    EXPECT_TRUE(clone->GetName().EqualsText(u"item3"));
    EXPECT_TRUE(item->GetName().EqualsText(u"templateItem"));
    EXPECT_EQ(clone->GetLayout(), layout);
    EXPECT_EQ(clone->GetSkin(), item->GetSkin());
    EXPECT_EQ(clone->GetCreateParams(), item->GetCreateParams());
    EXPECT_EQ(clone->GetParent(), item->GetParent());
    EXPECT_EQ(*clone->GetChildren().At(0), *item->GetChildren().At(0));
    EXPECT_FALSE(factory->CloneDescriptor(nullptr, layout, u"x"));
}

TEST_F(ControlFactoryTest, ResourcePathsNameUpperCasedResources)
{
    EXPECT_TRUE(
        LControlFactory::ResourceNameFromPath(u"::app skins.xml").EqualsText(u"APP_SKINS_XML"));
    EXPECT_TRUE(LControlFactory::ResourceNameFromPath(u"::APP_SKINS").EqualsText(u"APP_SKINS"));
    EXPECT_EQ(factory->LoadSkins(u"::app skins.xml"), E_FAIL); // no such resource
    EXPECT_EQ(factory->LoadStringTables(u"::NONE", u"::NONE_EITHER", 0x0409), 0);
    EXPECT_EQ(factory->LoadSkins(u"::APP_SKINS"), 0);
    EXPECT_GE(factory->GetSkinCount(), 1);
}

TEST_F(ControlFactoryTest, BrokenDocumentsFailWithTheParsersMessageAndLine)
{
    const struct
    {
        std::string text;
        int32_t line;
    } cases[] = {
        {"", 0},
        {"<Document>\n<Skins>\n<Skin Name=\"s\">", 3},
        {"<Document>\n<Skins></Skin>", 2},
        {"   ", 1},
        // Entity declarations are refused: none is needed, and nested ones multiply.
        {"<!DOCTYPE d [\n<!ENTITY a \"aaaaaaaaaa\">\n<!ENTITY b \"&a;&a;&a;&a;\">]>\n<d>&b;</d>",
         2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Reset();
        // Exactly the document's bytes, without a terminating NUL.
        const std::vector<char> bytes(c.text.begin(), c.text.end());
        EXPECT_EQ(factory->LoadSkinText(bytes), E_FAIL);
        if (!bytes.empty()) {
            EXPECT_FALSE(factory->GetParseErrorText().IsEmpty());
            EXPECT_EQ(factory->GetParseErrorLine(), c.line);
        }
    }
    EXPECT_EQ(factory->ParseXML(nullptr, 10), E_FAIL);
    const std::string tooLarge(LControlFactory::kMaxDocumentBytes + 1, ' ');
    EXPECT_EQ(factory->LoadSkinText(tooLarge), E_FAIL);
}

TEST_F(ControlFactoryTest, FilesLoadFromAFolderAndMissingOnesFailAsTheirLoaderSays)
{
    svtest::TempFolder folder;
    folder.WriteFile("StringTables.xml", R"(<R><Application Name="PresetEditor">
        <StringTable ID="|PresetEditor"><String ID="A"><Locale LCID="9">app</Locale></String>
        </StringTable></Application></R>)");
    folder.WriteFile("FrameworkStrings.xml", R"(<R><StringTable ID="Framework">
        <String ID="F"><Locale LCID="9">fw</Locale></String></StringTable></R>)");
    folder.WriteFile("Skins.xml", R"(<R><Part Name="p" Width="1" Height="1" ResizeType="Tile"
        ImageFile="Pic.PNG" ImageLocX="0" ImageLocY="0"/>
        <Skins><Skin Name="s"><SubControl Class="C" Name="mainControl"/></Skin></Skins></R>)");
    const WideString path(folder.Path().c_str());

    ASSERT_EQ(factory->LoadResources(path, 0x0409), 0);
    EXPECT_TRUE(factory->GetImagePrefix().Equals(path + WideString(u"/")));
    EXPECT_TRUE(factory->FindPart(u"p")->image.file.Equals(path + WideString(u"/pic.png")));
    EXPECT_TRUE(Root(u"mainControl"));
    WideString text;
    EXPECT_TRUE(factory->GetApplicationStringTable()->GetString(u"A", text));
    EXPECT_TRUE(factory->GetFrameworkStringTable()->GetString(u"F", text));

    // A skin file that is missing, empty or malformed is E_FAIL; a missing string-table file
    // throws the file's exception to the start-up.
    folder.WriteFile("Empty.xml", "");
    folder.WriteFile("Broken.xml", "<R>\n<Skins>");
    EXPECT_EQ(factory->LoadSkins(path + WideString(u"/Missing.xml")), E_FAIL);
    EXPECT_EQ(factory->LoadSkins(path + WideString(u"/Empty.xml")), E_FAIL);
    EXPECT_EQ(factory->LoadSkins(path + WideString(u"/Broken.xml")), E_FAIL);
    EXPECT_EQ(factory->GetParseErrorLine(), 2);
    EXPECT_FALSE(factory->GetParseErrorText().IsEmpty());
    EXPECT_THROW(factory->LoadStringTables(path + WideString(u"/Missing.xml"),
                                           path + WideString(u"/FrameworkStrings.xml"), 9),
                 std::runtime_error);
    // A folder without the files: the string tables' file exception reaches the caller.
    EXPECT_THROW(factory->LoadResources(path + WideString(u"/nowhere"), 9), std::runtime_error);
}

} // namespace
