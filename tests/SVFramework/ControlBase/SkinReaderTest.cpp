// What each element of a skin document makes of the descriptors.
#include "ControlBase/ControlFactory.h"
#include "SkinFixture.h"
#include "Utilities/Graphics/Colorizer.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace {

using SV::LColorizer;
using SV::LControlDescriptor;
using SV::LDockedPart;
using SV::LLayoutDescriptor;
using SV::LLookDescriptor;
using SV::RCPtr;
using SV::ResizeType;
using SV::WideString;
using svtest::SkinFixture;

constexpr char kParts[] =
    R"(<Colorizer Name="black" ColorType="SolidFill" Color="FF000000"/>
       <Part Name="fill" Width="3" Height="4" ResizeType="Stretch" ColorizerName="black"/>
       <Part Name="edge" Width="1" Height="1" ResizeType="Tile" ColorizerName="black"/>)";

class SkinReaderTest : public SkinFixture
{
protected:
    // The layout of a control written with these attributes inside a parent control.
    RCPtr<LLayoutDescriptor> NestedLayout(const std::string& attributes)
    {
        EXPECT_EQ(LoadSkin("<SubControl Class=\"P\" Name=\"parent\"><SubControl Class=\"C\" "
                           "Name=\"child\" " +
                           attributes + "/></SubControl>"),
                  0);
        const RCPtr<LControlDescriptor> parent = Root(u"parent");
        if (!parent || parent->GetChildren().GetCount() != 1) {
            ADD_FAILURE() << "no child read";
            return RCPtr<LLayoutDescriptor>(new LLayoutDescriptor());
        }
        return (*parent->GetChildren().At(0))->GetLayout();
    }
};

TEST_F(SkinReaderTest, SubControlAttributesFillTheLayoutRecord)
{
    using Check = std::function<void(const LLayoutDescriptor&)>;
    const auto& x = [](const LLayoutDescriptor& layout) { return layout.axes[0]; };
    const auto& y = [](const LLayoutDescriptor& layout) { return layout.axes[1]; };
    const struct
    {
        const char* attributes;
        Check check;
    } cases[] = {
        {"XPositionAbs=\"2.7\" XPositionRel=\"0.5\"",
         [&](const LLayoutDescriptor& l) {
             EXPECT_EQ(x(l).position.absolute, 2.0);
             EXPECT_EQ(x(l).position.relative, 0.5f);
         }},
        {"XPositionToControl=\"dec\" YPositionToControl=\"parent\"",
         [&](const LLayoutDescriptor& l) {
             EXPECT_EQ(x(l).position.kind, SV::kPositionToControl);
             EXPECT_TRUE(x(l).position.reference.EqualsText(u"dec"));
             EXPECT_EQ(y(l).position.kind, SV::kPositionToControl);
         }},
        {"XPositionToControl=\"Screen\" YPositionToControl=\"Active Window\"",
         [&](const LLayoutDescriptor& l) {
             EXPECT_EQ(x(l).position.kind, SV::kPositionToParent);
             EXPECT_EQ(y(l).position.kind, SV::kPositionToClient);
             EXPECT_TRUE(x(l).position.reference.IsEmpty());
         }},
        {"XSizeToControl=\"Self\" YSizeToControl=\"corner\" YSizeRel=\"0.25\" YSizeAbs=\"-3\"",
         [&](const LLayoutDescriptor& l) {
             EXPECT_EQ(x(l).size.kind, SV::kSizeToSelf);
             EXPECT_EQ(y(l).size.kind, SV::kSizeToControl);
             EXPECT_TRUE(y(l).size.reference.EqualsText(u"corner"));
             EXPECT_EQ(y(l).size.relative, 0.25f);
             EXPECT_EQ(y(l).size.absolute, -3.0);
         }},
        {"XSizeToControl=\"Parent\" YSizeToControl=\"Client\"",
         [&](const LLayoutDescriptor& l) {
             EXPECT_EQ(x(l).size.kind, SV::kSizeToParent);
             EXPECT_EQ(y(l).size.kind, SV::kSizeToClient);
         }},
        {"XMinSizeToControl=\"Self\" XMinSizeAbs=\"40\" YMaxSizeToControl=\"Children\" "
         "YMaxSizeRel=\"1\"",
         [&](const LLayoutDescriptor& l) {
             EXPECT_EQ(x(l).minimum.kind, SV::kLimitToSelf);
             EXPECT_EQ(x(l).minimum.absolute, 40.0);
             EXPECT_EQ(y(l).maximum.kind, SV::kLimitToControl);
             EXPECT_TRUE(y(l).maximum.reference.EqualsText(u"Children"));
             EXPECT_EQ(y(l).maximum.relative, 1.0f);
         }},
        {"XPlacementAnchor=\"1\" YIsDocked=\"True\" XIsDocked=\"true\"",
         [&](const LLayoutDescriptor& l) {
             EXPECT_EQ(x(l).anchor, 1.0f);
             EXPECT_TRUE(y(l).docked);
             EXPECT_FALSE(x(l).docked);
         }},
        {"ClipToParent=\"False\" Z_Order=\"0x10\" LayoutOrder=\"0x10\" TabStop=\"5\" "
         "IsVisible=\"False\"",
         [](const LLayoutDescriptor& l) {
             EXPECT_FALSE(l.clipToParent);
             EXPECT_EQ(l.zOrder, 0); // a whole number: no hexadecimal
             EXPECT_EQ(l.layoutOrder, 16);
             EXPECT_EQ(l.tabStop, 5);
             EXPECT_FALSE(l.visible);
             EXPECT_TRUE(l.enabled);
         }},
        {"TextDecoration=\"~\" TextOverflowXType=\"Wrap\" TextOverflowYType=\"Wrap\"",
         [](const LLayoutDescriptor& l) {
             EXPECT_TRUE(l.textDecoration.EqualsText(u"~"));
             EXPECT_EQ(l.textOverflowX, SV::kTextOverflowWrap);
             EXPECT_EQ(l.textOverflowY, SV::kTextOverflowClip);
         }},
        {"TextOverflowXType=\"Expand\" TextOverflowYType=\"Expand\"",
         [](const LLayoutDescriptor& l) {
             EXPECT_EQ(l.textOverflowX, SV::kTextOverflowExpand);
             EXPECT_EQ(l.textOverflowY, SV::kTextOverflowExpand);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.attributes);
        Reset();
        c.check(*NestedLayout(c.attributes));
    }
}

TEST_F(SkinReaderTest, ASubControlWithoutAttributesHasTheDefaultLayout)
{
    const LLayoutDescriptor& layout = *NestedLayout("");
    EXPECT_TRUE(layout.clipToParent);
    EXPECT_TRUE(layout.visible);
    EXPECT_TRUE(layout.enabled);
    EXPECT_EQ(layout.zOrder, 0);
    EXPECT_EQ(layout.tabStop, 0);
    EXPECT_EQ(layout.layoutOrder, 0);
    const double sizes[] = {16.0, 40.0};
    for (int axis = 0; axis < 2; ++axis) {
        const LLayoutDescriptor::Axis& a = layout.axes[axis];
        EXPECT_FALSE(a.docked);
        EXPECT_EQ(a.anchor, 0.0f);
        EXPECT_EQ(a.position.kind, SV::kPositionToClient);
        EXPECT_EQ(a.position.absolute, 0.0);
        EXPECT_EQ(a.size.kind, SV::kSizeToSelf);
        EXPECT_EQ(a.size.absolute, sizes[axis]);
        EXPECT_EQ(a.minimum.kind, SV::kLimitToSelf);
        EXPECT_EQ(a.maximum.kind, SV::kLimitToSelf);
        EXPECT_EQ(a.maximum.absolute, 0.0);
    }
}

TEST_F(SkinReaderTest, ATopLevelControlIgnoresIsVisibleAndTabStop)
{
    ASSERT_EQ(LoadSkin(R"(<SubControl Class="C" Name="top" IsVisible="False" TabStop="5"/>)"), 0);
    const RCPtr<LControlDescriptor> top = Root(u"top");
    ASSERT_TRUE(top);
    EXPECT_TRUE(top->GetLayout()->visible);
    EXPECT_EQ(top->GetLayout()->tabStop, 0);
    EXPECT_EQ(top->GetParent(), factory->GetCurrentSkin().Get());
}

TEST_F(SkinReaderTest, ChildrenComeInLayoutOrderAndTopLevelControlsInDocumentOrder)
{
    ASSERT_EQ(LoadSkin(R"(<SubControl Class="C" Name="z" LayoutOrder="9">
                            <SubControl Class="C" Name="c" LayoutOrder="3"/>
                            <SubControl Class="C" Name="a" LayoutOrder="-1"/>
                            <SubControl Class="C" Name="b" LayoutOrder="3"/>
                            <SubControl Class="C" Name="d" LayoutOrder="0"/>
                          </SubControl>
                          <SubControl Class="C" Name="y" LayoutOrder="1"/>)"),
              0);
    const auto names = [](const LControlDescriptor& descriptor) {
        std::u16string joined;
        for (const RCPtr<LControlDescriptor>& child : descriptor.GetChildren()) {
            joined += child->GetName().GetText();
        }
        return joined;
    };
    EXPECT_EQ(names(*Root(u"z")), u"adcb");
    EXPECT_EQ(names(*factory->GetCurrentSkin()), u"zy");
}

TEST_F(SkinReaderTest, FontAttributesGoToTheInnerSkinAndTopLevelSkinReadsItsOwn)
{
    ASSERT_EQ(Load(R"(<Skins><Skin Name="s" FontName="Arial" FontSize="9.5" FontStyle="0x1">
          <SubControl Class="C" Name="relativeWithoutSize" FontSizeIsRelative="True">
            <Skin Name="inner"/></SubControl>
          <SubControl Class="C" Name="relative" FontSizeIsRelative="True" FontSize="-2"
                      FontInheritsFromParent="True" FontName="Mono"><Skin Name="inner"/>
          </SubControl>
          <SubControl Class="C" Name="plain"><Skin Name="inner"/></SubControl>
        </Skin></Skins>)"),
              0);
    const SV::LSkinDescriptor& top = *factory->GetCurrentSkin()->GetSkin();
    EXPECT_TRUE(top.fontName.EqualsText(u"Arial"));
    EXPECT_EQ(top.fontSize, 9.5f);
    EXPECT_EQ(top.fontStyle, 1);

    const SV::LSkinDescriptor& withoutSize = *Root(u"relativeWithoutSize")->GetSkin();
    EXPECT_EQ(withoutSize.fontSize, 0.0f);
    EXPECT_FALSE(withoutSize.fontSizeIsRelative);

    const SV::LSkinDescriptor& relative = *Root(u"relative")->GetSkin();
    EXPECT_EQ(relative.fontSize, -2.0f);
    EXPECT_TRUE(relative.fontSizeIsRelative);
    EXPECT_TRUE(relative.fontInheritsFromParent);
    EXPECT_TRUE(relative.fontName.EqualsText(u"Mono"));

    const SV::LSkinDescriptor& plain = *Root(u"plain")->GetSkin();
    EXPECT_TRUE(plain.fontName.IsEmpty());
    EXPECT_EQ(plain.fontStyle, -1);
    EXPECT_FALSE(plain.fontInheritsFromParent);
}

TEST_F(SkinReaderTest, FontTranslationsOfTheStringTableLocaleRenameSkinFonts)
{
    // The string-table locale is English unless string tables were read.
    ASSERT_EQ(Load(R"(<Skins><Skin Name="s" FontName="Arial">
          <FontLocale LCID="0x0011"/><FontXLat Name="Arial" XLat="Gothic"/>
          <FontLocale LCID="9"/><FontXLat Name="Arial" XLat="Sans"/>
          <FontXLat Name="Arial" XLat="Second"/>
          <SubControl Class="C" Name="c" FontName="Arial"><Skin Name="inner"/></SubControl>
        </Skin></Skins>)"),
              0);
    EXPECT_TRUE(factory->GetCurrentSkin()->GetSkin()->fontName.EqualsText(u"Sans"));
    EXPECT_TRUE(Root(u"c")->GetSkin()->fontName.EqualsText(u"Sans"));
    EXPECT_TRUE(factory->TranslateFontName(u"Arial").EqualsText(u"Sans"));
    EXPECT_TRUE(factory->TranslateFontName(u"Other").EqualsText(u"Other"));
}

TEST_F(SkinReaderTest, ColorizersReadTheirKindAndGradientOnlyWhenComplete)
{
    ASSERT_EQ(Load(R"(
        <Colorizer Name="solid" ColorType="SolidFill" Color="0x80FF0000"
                   GradientEndColor="FFFFFFFF"/>
        <Colorizer Name="linear" ColorType="LinearGradient" Color="FF000000"
                   GradientEndColor="FFFFFFFF" GradientStartX="0" GradientStartY="0.5"
                   GradientEndX="1" GradientEndY="0.25"/>
        <Colorizer Name="broken" ColorType="LinearGradient" Color="FF000000"
                   GradientEndColor="FFFFFFFF" GradientStartX="0" GradientStartY="0.5"
                   GradientEndX="1"/>
        <Colorizer Name="radial" ColorType="RadialGradient" Color="FF000000"
                   GradientEndColor="FF0000FF" GradientStartX="0" GradientStartY="0"
                   GradientEndX="1" GradientEndY="1"/>
        <Colorizer Name="unnamed" Color="FF000000"/>
        <Colorizer Name="solid" ColorType="SolidFill" Color="FF00FF00"/>)"),
              0);
    const RCPtr<LColorizer> solid = factory->FindColorizer(u"solid");
    ASSERT_TRUE(solid);
    EXPECT_EQ(solid->GetKind(), LColorizer::kSolid);
    EXPECT_EQ(solid->GetColor().ToARGB(), 0x80FF0000u); // the first definition stays
    EXPECT_EQ(solid->GetEndColor().ToARGB(), 0u);

    const RCPtr<LColorizer> linear = factory->FindColorizer(u"linear");
    EXPECT_EQ(linear->GetKind(), LColorizer::kLinearGradient);
    EXPECT_EQ(linear->GetEndColor().ToARGB(), 0xFFFFFFFFu);
    EXPECT_EQ(linear->GetStartY(), 0.5f);
    EXPECT_EQ(linear->GetEndY(), 0.25f);

    const RCPtr<LColorizer> broken = factory->FindColorizer(u"broken");
    EXPECT_EQ(broken->GetKind(), LColorizer::kSolid);
    EXPECT_EQ(broken->GetEndColor().ToARGB(), 0u);

    EXPECT_EQ(factory->FindColorizer(u"radial")->GetKind(), LColorizer::kRadialGradient);
    EXPECT_FALSE(factory->FindColorizer(u"unnamed")); // ColorType is required
}

TEST_F(SkinReaderTest, PartsNeedAnImageOrAColorizer)
{
    ASSERT_EQ(Load(std::string(kParts) + R"(
        <Part Name="image" Width="10" Height="20" ResizeType="Center" ImageFile="Dir/CE.png"
              ImageLocX="5" ImageLocY="6" ColorizerMaskFile="Mask.PNG" MaskLocX="1"
              MaskLocY="2" ColorizerAlphaMod="0.5"/>
        <Part Name="noLocY" Width="10" Height="20" ResizeType="Tile" ImageFile="CE.png"
              ImageLocX="5"/>
        <Part Name="emptyImage" Width="10" Height="20" ResizeType="Tile" ImageFile=""
              ImageLocX="5" ImageLocY="6" ColorizerName="black"/>
        <Part Name="unknownColorizer" Width="1" Height="1" ResizeType="Tile"
              ColorizerName="nobody"/>
        <Part Name="noResize" Width="1" Height="1" ColorizerName="black"/>)"),
              0);
    const RCPtr<SV::LVisualPartDescriptor> image = factory->FindPart(u"image");
    ASSERT_TRUE(image);
    EXPECT_TRUE(image->image.file.EqualsText(u"dir/ce.png"));
    EXPECT_EQ(image->image.x, 5);
    EXPECT_EQ(image->image.y, 6);
    EXPECT_EQ(image->width, 10);
    EXPECT_EQ(image->height, 20);
    EXPECT_EQ(image->resizeType, ResizeType::Center);
    EXPECT_FALSE(image->colorizer);
    EXPECT_EQ(image->alphaModifier, 0.5f);
    EXPECT_TRUE(image->mask.file.EqualsText(u"Mask.PNG")); // masks keep their case
    EXPECT_EQ(image->mask.x, 1);
    EXPECT_EQ(image->mask.height, 20);

    const RCPtr<SV::LVisualPartDescriptor> colorPart = factory->FindPart(u"emptyImage");
    ASSERT_TRUE(colorPart);
    EXPECT_FALSE(colorPart->HasImage());
    EXPECT_EQ(colorPart->width, 10);
    EXPECT_EQ(colorPart->height, 20);
    EXPECT_EQ(colorPart->image.width, 0);
    EXPECT_EQ(colorPart->colorizer, factory->FindColorizer(u"black"));
    EXPECT_EQ(colorPart->alphaModifier, 1.0f);

    EXPECT_EQ(factory->FindPart(u"fill")->resizeType, ResizeType::Stretch);
    EXPECT_EQ(factory->FindPart(u"edge")->resizeType, ResizeType::Tile);
    EXPECT_FALSE(factory->FindPart(u"noLocY"));
    EXPECT_FALSE(factory->FindPart(u"unknownColorizer"));
    EXPECT_FALSE(factory->FindPart(u"noResize"));
}

TEST_F(SkinReaderTest, LooksCollectTheirClientPartNonClientPartsAndTextPlacement)
{
    ASSERT_EQ(Load(std::string(kParts) + R"(<Looks>
        <Look Name="button">
          <ClientPart Name="fill" OffsetLeft="1" OffsetTop="2" OffsetRight="3" OffsetBottom="4"/>
          <NonClientPart Name="edge" OffsetLeft="0" OffsetBottom="5" Width="7" Height="0"/>
          <NonClientPart Name="missing" OffsetLeft="0"/>
          <NonClientPart Name="edge" Height="2"/>
          <TextProperties TextLeftRel="0" TextLeftAbs="5" TextRightRel="1" TextRightAbs="-5"
                          TextHAlign="0.5" TextTopRel="0.5" TextTopAbs="-8" TextBottomRel="0.5"
                          TextBottomAbs="8" TextVAlign="1" TextForegroundPart="edge"/>
        </Look>
        <Look Name="incomplete">
          <ClientPart Name="fill" OffsetLeft="1" OffsetTop="2" OffsetRight="3"/>
          <TextProperties TextLeftRel="0" TextLeftAbs="5" TextRightRel="1" TextRightAbs="-5"
                          TextHAlign="0.5" TextTopRel="0.5" TextTopAbs="-8" TextBottomRel="0.5"
                          TextBottomAbs="8" TextForegroundPart="edge"/>
        </Look>
        <Look Name="button"><ClientPart Name="edge" OffsetLeft="0" OffsetTop="0"
                              OffsetRight="0" OffsetBottom="0"/></Look>
      </Looks>)"),
              0);
    const RCPtr<LLookDescriptor> button = factory->FindLook(u"button");
    ASSERT_TRUE(button && button->clientPart);
    const LDockedPart& client = *button->clientPart;
    EXPECT_EQ(client.part, factory->FindPart(u"fill"));
    EXPECT_EQ(client.offsetFlags, 15);
    EXPECT_EQ(client.left, 1);
    EXPECT_EQ(client.bottom, 4);
    EXPECT_EQ(client.widthInUse, 0);

    ASSERT_EQ(button->nonClientParts.GetCount(), 2);
    const LDockedPart& first = **button->nonClientParts.At(0);
    EXPECT_EQ(first.offsetFlags, LDockedPart::kLeftOffset | LDockedPart::kBottomOffset);
    EXPECT_EQ(first.bottom, 5);
    EXPECT_TRUE(first.widthInUse);
    EXPECT_EQ(first.width, 7);
    EXPECT_FALSE(first.heightInUse);
    const LDockedPart& second = **button->nonClientParts.At(1);
    EXPECT_EQ(second.offsetFlags, 0);
    EXPECT_TRUE(second.heightInUse);

    ASSERT_TRUE(button->hasTextProperties);
    EXPECT_EQ(button->text.leftAbs, 5);
    EXPECT_EQ(button->text.rightAbs, -5);
    EXPECT_EQ(button->text.hAlign, 0.5f);
    EXPECT_EQ(button->text.topAbs, -8);
    EXPECT_EQ(button->text.vAlign, 1.0f);
    EXPECT_EQ(button->textForegroundPart, factory->FindPart(u"edge"));

    // A required attribute missing: the element is skipped.
    const RCPtr<LLookDescriptor> incomplete = factory->FindLook(u"incomplete");
    EXPECT_FALSE(incomplete->clientPart);
    EXPECT_FALSE(incomplete->hasTextProperties);
}

TEST_F(SkinReaderTest, LookListsFillTheirSlotsAndAskedForByTheSkinsThatNameThem)
{
    ASSERT_EQ(Load(std::string(kParts) + R"(<Looks><Look Name="a"/><Look Name="b"/></Looks>
        <LookLists>
          <LookList Name="list" NumLooks="3">
            <Look Name="b" Index="2"/><Look Name="a" Index="0"/><Look Name="none" Index="1"/>
            <Look Name="a" Index="-1"/><Look Name="a" Index="3"/><Look Name="a"/>
          </LookList>
          <LookList Name="list" NumLooks="1"><Look Name="b" Index="0"/></LookList>
          <LookList Name="huge" NumLooks="100000"><Look Name="a" Index="0"/></LookList>
          <LookList Name="negative" NumLooks="-1"/>
        </LookLists>
        <Skins><Skin Name="s">
          <SubControl Class="C" Name="c"><Skin Name="i" LookList="list"/>
            <LookList Name="list" NumLooks="2"/>
          </SubControl>
          <SubControl Class="C" Name="d"><Skin Name="i" LookList="unknown"/></SubControl>
        </Skin></Skins>)"),
              0);
    const RCPtr<SV::LookList> list = factory->FindLookList(u"list");
    ASSERT_TRUE(list);
    ASSERT_EQ(list->GetCount(), 3);
    EXPECT_EQ(*list->At(0), factory->FindLook(u"a"));
    EXPECT_FALSE(*list->At(1));
    // The second LookList of the name put nothing anywhere.
    EXPECT_EQ(*list->At(2), factory->FindLook(u"b"));
    EXPECT_FALSE(factory->FindLookList(u"huge"));
    EXPECT_FALSE(factory->FindLookList(u"negative"));
    EXPECT_EQ(Root(u"c")->GetSkin()->lookList, list);
    EXPECT_FALSE(Root(u"d")->GetSkin()->lookList);
}

TEST_F(SkinReaderTest, CreateParamsKeepTheWholeTextOfEachParameter)
{
    ASSERT_EQ(LoadSkin(R"(<SubControl Class="C" Name="c"><CreateParamList>
          <CreateParam ID="NOT_FOCUSABLE" Type="bool">True</CreateParam>
          <CreateParam ID="AMP">a &amp; b</CreateParam>
          <CreateParam ID="LINES">one
two</CreateParam>
          <CreateParam>no id</CreateParam>
          <CreateParam ID="AMP">again</CreateParam>
        </CreateParamList></SubControl>
        <SubControl Class="C" Name="without"/>)"),
              0);
    const RCPtr<SV::LStringTable> params = Root(u"c")->GetCreateParams();
    ASSERT_TRUE(params);
    SV::LStringTable::Entries entries;
    params->GetSortedEntries(entries);
    ASSERT_EQ(entries.GetCount(), 3);
    EXPECT_TRUE(entries.At(0)->first.EqualsText(u"AMP"));
    EXPECT_TRUE(entries.At(0)->second.EqualsText(u"again"));
    EXPECT_TRUE(entries.At(1)->second.EqualsText(u"one\ntwo"));
    EXPECT_TRUE(entries.At(2)->second.EqualsText(u"True"));
    EXPECT_FALSE(Root(u"without")->GetCreateParams());

    Reset();
    ASSERT_EQ(LoadSkin(R"(<SubControl Class="C" Name="c"><CreateParamList>
          <CreateParam ID="AMP">a &amp; b</CreateParam></CreateParamList></SubControl>)"),
              0);
    WideString text;
    ASSERT_TRUE(Root(u"c")->GetCreateParams()->GetString(u"AMP", text));
    EXPECT_TRUE(text.EqualsText(u"a & b"));
}

TEST_F(SkinReaderTest, ASubControlWithoutClassOrNameStopsTheParseAndKeepsWhatWasRead)
{
    for (const char* broken : {R"(<SubControl Class="C"/>)", R"(<SubControl Name="n"/>)"}) {
        Reset();
        EXPECT_EQ(LoadSkin(std::string(R"(<SubControl Class="C" Name="before"/>)") + broken +
                           R"(<SubControl Class="C" Name="after"/>)"),
                  E_FAIL);
        EXPECT_TRUE(Root(u"before"));
        EXPECT_FALSE(Root(u"after"));
        // The parser's message is only for the document's own faults.
        EXPECT_TRUE(factory->GetParseErrorText().IsEmpty());
    }
}

TEST_F(SkinReaderTest, ElementsOutsideTheirContextAreIgnored)
{
    ASSERT_EQ(Load(std::string(kParts) + R"(
        <ClientPart Name="fill" OffsetLeft="1" OffsetTop="2" OffsetRight="3" OffsetBottom="4"/>
        <NonClientPart Name="edge"/>
        <TextProperties TextLeftRel="0" TextLeftAbs="5" TextRightRel="1" TextRightAbs="-5"
                        TextHAlign="0.5" TextTopRel="0.5" TextTopAbs="-8" TextBottomRel="0.5"
                        TextBottomAbs="8" TextVAlign="1" TextForegroundPart="edge"/>
        <FontLocale LCID="9"/><FontXLat Name="Arial" XLat="Sans"/>
        <SubControl Class="C" Name="outside"><SubControl Class="C" Name="inner"/></SubControl>
        <Look Name="entry" Index="0"/>
        <Skins><Skin Name="s"><SubControl Class="C" Name="inside" FontName="Arial">
          <Skin Name="i"/></SubControl></Skin></Skins>)"),
              0);
    ASSERT_EQ(factory->GetSkinCount(), 1);
    EXPECT_FALSE(Root(u"outside"));
    EXPECT_FALSE(Root(u"inner"));
    ASSERT_TRUE(Root(u"inside"));
    // The translation outside every skin was not entered.
    EXPECT_TRUE(Root(u"inside")->GetSkin()->fontName.EqualsText(u"Arial"));
}

TEST_F(SkinReaderTest, NestingIsBoundedSoDeepDocumentsFailInsteadOfExhaustingTheStack)
{
    const auto nested = [](int depth) {
        std::string inside;
        for (int i = 0; i < depth; ++i) {
            inside += "<SubControl Class=\"C\" Name=\"n\">";
        }
        for (int i = 0; i < depth; ++i) {
            inside += "</SubControl>";
        }
        return inside;
    };
    EXPECT_EQ(LoadSkin(nested(SV::LControlFactory::kMaxSubControlDepth)), 0);
    Reset();
    EXPECT_EQ(LoadSkin(nested(SV::LControlFactory::kMaxSubControlDepth + 1)), E_FAIL);
    EXPECT_EQ(LoadSkin(nested(100000)), E_FAIL);
}

TEST_F(SkinReaderTest, TheDocumentElementIsIgnoredAndApplicationCountsAtAnyDepth)
{
    ASSERT_EQ(factory->LoadSkinText(std::string_view(
                  R"(<Application Name="Ignored"><Skins><Skin Name="s">
                       <Application Name="Deep"/></Skin></Skins></Application>)")),
              0);
    EXPECT_TRUE(factory->GetApplicationName().EqualsText(u"Deep"));
    // The application descriptor takes the name the application had when its Skin began.
    EXPECT_TRUE(factory->GetCurrentSkin()->GetName().EqualsText(u"App"));
    EXPECT_TRUE(factory->GetCurrentSkin()->IsApplication());
}

TEST_F(SkinReaderTest, ASecondDocumentAddsSkinsAndKeepsTheFirstDefinitionOfNames)
{
    ASSERT_EQ(LoadSkin(std::string(kParts) + R"(<SubControl Class="C" Name="first"/>)"), 0);
    ASSERT_EQ(Load(R"(<Part Name="fill" Width="9" Height="9" ResizeType="Tile"
                           ColorizerName="black"/>
                     <Skins><Skin Name="two"><SubControl Class="C" Name="second"/></Skin>
                     </Skins>)"),
              0);
    EXPECT_EQ(factory->GetSkinCount(), 2);
    EXPECT_EQ(factory->GetCurrentSkinIndex(), 0);
    EXPECT_EQ(factory->FindPart(u"fill")->width, 3);
    EXPECT_TRUE(Root(u"first"));
    ASSERT_EQ(factory->SetCurrentSkinIndex(1), 0);
    EXPECT_TRUE(Root(u"second"));
    EXPECT_FALSE(Root(u"first"));
}

} // namespace
