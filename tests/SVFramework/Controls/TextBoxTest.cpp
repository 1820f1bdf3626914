#include "ControlSkinFixture.h"
#include "FakeClipboardBackend.h"
#include "FakeDesktop.h"
#include "Notification/NotificationNames.h"
#include "RecordingRenderer.h"
#include "RecordingWindowServices.h"
#include "TestFrameworkApp.h"

#include "ControlBase/KeyParam.h"
#include "Controls/TextBox.h"
#include "Notification/Notification.h"
#include "Notification/NotificationClient.h"
#include "Notification/NotificationId.h"
#include "ObjectBase/StringWrapper.h"
#include "System/ClipBoard.h"
#include "System/ModifierKeys.h"
#include "Windows/MouseParams.h"
#include "Windows/RootWindow.h"

#include <functional>
#include <string>
#include <vector>

using namespace SV;

namespace {

// Boxes 200 x 20 whose text area starts 2 pixels in and 4 down; with the test font every
// character is 10 pixels wide and a line 12 high, so boundary i lies at x = 2 + 10 i.
const char* const kSkinFile = R"(<Skin_Definitions>
  <Application Name="PresetEditor"/>
  <Colorizers>
    <Colorizer Name="Black" ColorType="SolidFill" Color="FF000000"/>
    <Colorizer Name="Light" ColorType="SolidFill" Color="FFE0E0E0"/>
    <Colorizer Name="Dark" ColorType="SolidFill" Color="FF202020"/>
  </Colorizers>
  <Parts>
    <Part Name="Black" Width="1" Height="1" ResizeType="Stretch" ColorizerName="Black"/>
    <Part Name="Light" Width="1" Height="1" ResizeType="Stretch" ColorizerName="Light"/>
    <Part Name="Dark" Width="1" Height="1" ResizeType="Stretch" ColorizerName="Dark"/>
  </Parts>
  <Looks>
    <Look Name="Plain"/>
    <Look Name="Light">
      <ClientPart Name="Light" OffsetLeft="0" OffsetTop="0" OffsetRight="0" OffsetBottom="0"/>
      <TextProperties TextLeftRel="0" TextLeftAbs="2" TextRightRel="1" TextRightAbs="-2"
                      TextHAlign="0" TextTopRel="0" TextTopAbs="4" TextBottomRel="1"
                      TextBottomAbs="-4" TextVAlign="0" TextForegroundPart="Black"/>
    </Look>
    <Look Name="Centred">
      <ClientPart Name="Light" OffsetLeft="0" OffsetTop="0" OffsetRight="0" OffsetBottom="0"/>
      <TextProperties TextLeftRel="0" TextLeftAbs="2" TextRightRel="1" TextRightAbs="-2"
                      TextHAlign="0" TextTopRel="0" TextTopAbs="0" TextBottomRel="1"
                      TextBottomAbs="0" TextVAlign="0.5" TextForegroundPart="Black"/>
    </Look>
    <Look Name="Dark">
      <ClientPart Name="Dark" OffsetLeft="0" OffsetTop="0" OffsetRight="0" OffsetBottom="0"/>
      <TextProperties TextLeftRel="0" TextLeftAbs="2" TextRightRel="1" TextRightAbs="-2"
                      TextHAlign="0" TextTopRel="0" TextTopAbs="4" TextBottomRel="1"
                      TextBottomAbs="-4" TextVAlign="0" TextForegroundPart="Black"/>
    </Look>
  </Looks>
  <LookLists>
    <LookList Name="LightBox" NumLooks="14">LIGHT</LookList>
    <LookList Name="DarkBox" NumLooks="14">DARK</LookList>
    <LookList Name="CentredBox" NumLooks="14">CENTRED</LookList>
  </LookLists>
  <Skins>
    <Skin Name="Default">
      <SubControl Class="Framework.Panel" Name="window" XSizeAbs="400" YSizeAbs="300">
        <Skin Name="window">
          <SubControl Class="Framework.TextBox" Name="box" XPositionAbs="10" YPositionAbs="10"
                      XSizeAbs="200" YSizeAbs="20" TabStop="1">
            <Skin Name="box" LookList="LightBox"/>
          </SubControl>
          <SubControl Class="Framework.TextBox" Name="dark" XPositionAbs="10" YPositionAbs="40"
                      XSizeAbs="200" YSizeAbs="20" TabStop="2">
            <Skin Name="dark" LookList="DarkBox"/>
          </SubControl>
          <SubControl Class="Framework.TextBox" Name="cue" XPositionAbs="10" YPositionAbs="70"
                      XSizeAbs="200" YSizeAbs="20" TabStop="3">
            <Skin Name="cue" LookList="LightBox"/>
          </SubControl>
          <SubControl Class="Framework.TextBox" Name="centredCue" XPositionAbs="10" YPositionAbs="100"
                      XSizeAbs="200" YSizeAbs="20" TabStop="4">
            <Skin Name="centredCue" LookList="CentredBox"/>
          </SubControl>
        </Skin>
      </SubControl>
    </Skin>
  </Skins>
</Skin_Definitions>
)";

const char* const kStrings = R"(<Solvane_StringTable_Definitions>
  <Application Name="PresetEditor">
    <StringTable ID="Framework.Panel|cue">
      <String ID="LABEL"><Locale LCID="0x0009">Find</Locale></String>
    </StringTable>
    <StringTable ID="Framework.Panel|centredCue">
      <String ID="LABEL"><Locale LCID="0x0009">Find</Locale></String>
    </StringTable>
  </Application>
</Solvane_StringTable_Definitions>
)";

const char* const kFrameworkStrings = R"(<Solvane_StringTable_Definitions>
  <StringTable ID="Framework">
    <String ID="EDIT_CUT"><Locale LCID="0x0009">Cut</Locale></String>
    <String ID="EDIT_COPY"><Locale LCID="0x0009">Copy</Locale></String>
    <String ID="EDIT_PASTE"><Locale LCID="0x0009">Paste</Locale></String>
    <String ID="EDIT_DELETE"><Locale LCID="0x0009">Delete</Locale></String>
  </StringTable>
</Solvane_StringTable_Definitions>
)";

std::string LookList(const char* look)
{
    std::string entries;
    for (int index = 0; index < 14; ++index) {
        entries +=
            "<Look Name=\"" + std::string(look) + "\" Index=\"" + std::to_string(index) + "\"/>";
    }
    return entries;
}

std::string Narrow(const WideString& text)
{
    return std::string(NarrowString(text).GetText());
}

WideString Wide(const std::string& text)
{
    WideString wide;
    wide.AssignUtf8(text.c_str(), int32_t(text.size()));
    return wide;
}

// Key presses as the native window delivers them: virtual keys with the extended modifier mask,
// characters on their own.
ConstRCPtr<LKeyParam> Key(uint32_t virtualKey, uint32_t modifiers = 0)
{
    return CreateKeyParam(KeyCode(virtualKey, true, 0, modifiers), 1);
}

ConstRCPtr<LKeyParam> Char(char16_t character)
{
    return CreateKeyParam(KeyCode(character, 0), 1);
}

constexpr uint32_t kCtrl = kModifierCtrl;
constexpr uint32_t kShift = kModifierShift;
constexpr uint32_t kAlt = kModifierAlt;
constexpr uint32_t kVkBack = 0x08, kVkTab = 0x09, kVkReturn = 0x0D, kVkEscape = 0x1B,
                   kVkSpace = 0x20, kVkEnd = 0x23, kVkHome = 0x24, kVkLeft = 0x25, kVkUp = 0x26,
                   kVkRight = 0x27, kVkDown = 0x28, kVkDelete = 0x2E, kVkF1 = 0x70;

class Recorder : public LNotificationClient
{
public:
    void Receive(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                 const ConstRCPtr<LNotification>& notification) override
    {
        names.push_back(Narrow(GetNotificationName(notification->GetId())));
        if (onReceive) {
            onReceive(notification);
        }
    }
    std::vector<std::string> names;
    std::function<void(const ConstRCPtr<LNotification>&)> onReceive;
};

// The validation payload as its receivers change it.
LTextValidationParams& ParamsOf(const ConstRCPtr<LNotification>& notification)
{
    return const_cast<LTextValidationParams&>(
        dynamic_cast<const LTextValidationParams&>(*notification->GetPayload()));
}

class TextBoxTest : public svtest::ControlSkinFixture
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(app.mFactory->LoadStringTableTexts(std::string(kStrings),
                                                     std::string(kFrameworkStrings), 0x0009),
                  S_OK);
        std::string skin(kSkinFile);
        skin.replace(skin.find("LIGHT"), 5, LookList("Light"));
        skin.replace(skin.find("DARK"), 4, LookList("Dark"));
        skin.replace(skin.find("CENTRED"), 7, LookList("Centred"));
        folder.WriteFile("Skins.xml", skin);
        ASSERT_EQ(app.mFactory->LoadSkins(WideString(folder.Join("Skins.xml").c_str())), S_OK);
        RegisterFrameworkControlTypes(*app.mFactory);
        ASSERT_TRUE(CreateWindow(u"window"));
        box = Box(u"box");
        ASSERT_TRUE(box);
        app.mClipboard = RCPtr<LClipboard>(new LClipboard(backend));
        recorder = RCPtr<Recorder>(new Recorder());
    }
    void TearDown() override
    {
        recorder->UnregisterAll();
        app.mClipboard = nullptr;
        svtest::ControlSkinFixture::TearDown();
    }

    LTextBox* Box(const char16_t* name)
    {
        return dynamic_cast<LTextBox*>(root->FindChildControl(name).Get());
    }
    void Listen(LTextBox* target, std::initializer_list<const char16_t*> names)
    {
        for (const char16_t* name : names) {
            recorder->Register(RCPtr<LNotificationDistributor>(target), name);
        }
    }
    // Text, then the caret at `caret` with the selection reaching from `anchor` to it.
    void Prepare(const std::string& text, int32_t anchor, int32_t caret)
    {
        box->SetText(Wide(text));
        box->ClearSelection();
        box->SetCaret(anchor, true);
        box->ExtendTo(caret);
    }
    std::string Text() const { return Narrow(box->GetText()); }
    static ConstRCPtr<LMouseButtonParam> Press(int32_t x, uint32_t modifiers = 0,
                                               int32_t doubleClick = 0)
    {
        return ConstRCPtr<LMouseButtonParam>(
            new LMouseButtonParam(kButtonLeft, x, 10, modifiers, doubleClick, kButtonLeft, 0));
    }
    static ConstRCPtr<LMouseButtonParam> Release(int32_t x, uint32_t modifiers = 0,
                                                 int32_t doubleClick = 0)
    {
        return ConstRCPtr<LMouseButtonParam>(
            new LMouseButtonParam(kButtonLeft, x, 10, modifiers, doubleClick, 0, 0));
    }
    void Click(int32_t x, uint32_t modifiers = 0, int32_t doubleClick = 0)
    {
        box->OnMouseEnter();
        box->OnMouseDown(Press(x, modifiers, doubleClick));
        box->OnMouseUp(Release(x, modifiers, doubleClick));
    }

    svtest::FakeClipboardBackend backend;
    LTextBox* box = nullptr;
    RCPtr<Recorder> recorder;
};

TEST_F(TextBoxTest, KeysMoveTheCaretExtendTheSelectionAndEditAsTheKeyTableSays)
{
    const struct
    {
        const char* what;
        std::string text;
        int32_t anchor, caret;
        std::vector<ConstRCPtr<LKeyParam>> keys;
        int32_t result; // of the last key
        std::string after;
        int32_t caretAfter, selectionStart, selectionLength, anchorAfter;
    } cases[] = {
        {"Left at 0", "", 0, 0, {Key(kVkLeft)}, 0, "", 0, 0, 0, 0},
        {"Left clears a selection and moves from the caret",
         "hello",
         1,
         3,
         {Key(kVkLeft)},
         0,
         "hello",
         2,
         0,
         0,
         2},
        {"Right at the end", "ab", 2, 2, {Key(kVkRight)}, 0, "ab", 2, 0, 0, 2},
        {"Right", "ab", 0, 0, {Key(kVkRight)}, 0, "ab", 1, 0, 0, 1},
        {"Shift+Left twice",
         "hello",
         5,
         5,
         {Key(kVkLeft, kShift), Key(kVkLeft, kShift)},
         0,
         "hello",
         3,
         3,
         2,
         5},
        {"Shift+Right shrinks", "hello", 5, 3, {Key(kVkRight, kShift)}, 0, "hello", 4, 4, 1, 5},
        {"Shift+Left at 0", "hello", 0, 0, {Key(kVkLeft, kShift)}, 0, "hello", 0, 0, 0, 0},
        {"Shift+Right at the end", "hello", 5, 5, {Key(kVkRight, kShift)}, 0, "hello", 5, 0, 0, 5},
        {"Ctrl+Right", "ab  cd", 0, 0, {Key(kVkRight, kCtrl)}, 0, "ab  cd", 4, 0, 0, 4},
        {"Ctrl+Left", "ab  cd", 6, 6, {Key(kVkLeft, kCtrl)}, 0, "ab  cd", 4, 0, 0, 4},
        {"Ctrl+Left over spaces", "ab  cd", 4, 4, {Key(kVkLeft, kCtrl)}, 0, "ab  cd", 0, 0, 0, 0},
        {"Ctrl+Shift+Right",
         "ab  cd",
         0,
         0,
         {Key(kVkRight, kCtrl | kShift)},
         0,
         "ab  cd",
         4,
         0,
         4,
         0},
        {"Ctrl+Shift+Left",
         "ab  cd",
         6,
         6,
         {Key(kVkLeft, kCtrl | kShift)},
         0,
         "ab  cd",
         4,
         4,
         2,
         6},
        {"Home", "hello", 1, 3, {Key(kVkHome)}, 0, "hello", 0, 0, 0, 0},
        {"End", "hello", 1, 3, {Key(kVkEnd)}, 0, "hello", 5, 0, 0, 5},
        {"Shift+Home", "hello", 3, 3, {Key(kVkHome, kShift)}, 0, "hello", 0, 0, 3, 3},
        {"Shift+Home at 0", "", 0, 0, {Key(kVkHome, kShift)}, 0, "", 0, 0, 0, 0},
        {"Shift+End", "hello", 1, 1, {Key(kVkEnd, kShift)}, 0, "hello", 5, 1, 4, 1},
        {"Backspace", "hello", 2, 2, {Key(kVkBack)}, 0, "hllo", 1, 0, 0, 1},
        {"Backspace at 0", "hello", 0, 0, {Key(kVkBack)}, 0, "hello", 0, 0, 0, 0},
        {"Backspace on nothing", "", 0, 0, {Key(kVkBack)}, 0, "", 0, 0, 0, 0},
        {"Backspace removes the selection", "hello", 1, 3, {Key(kVkBack)}, 0, "hlo", 1, 0, 0, 1},
        {"Shift+Delete as Backspace",
         "hello",
         2,
         2,
         {Key(kVkDelete, kShift)},
         0,
         "hllo",
         1,
         0,
         0,
         1},
        {"Delete", "hello", 0, 0, {Key(kVkDelete)}, 0, "ello", 0, 0, 0, 0},
        {"Delete at the end", "hello", 5, 5, {Key(kVkDelete)}, 0, "hello", 5, 0, 0, 5},
        {"Delete removes the selection", "hello", 4, 1, {Key(kVkDelete)}, 0, "ho", 1, 0, 0, 1},
        {"Ctrl+Delete to the end", "hello", 2, 2, {Key(kVkDelete, kCtrl)}, 0, "he", 2, 0, 0, 2},
        {"Ctrl+Delete on nothing", "", 0, 0, {Key(kVkDelete, kCtrl)}, 0, "", 0, 0, 0, 0},
        {"Up", "hi", 1, 1, {Key(kVkUp)}, 1, "hi", 1, 0, 0, 1},
        {"Shift+Down", "hi", 1, 1, {Key(kVkDown, kShift)}, 1, "hi", 1, 0, 0, 1},
        {"Ctrl+Up", "hi", 1, 1, {Key(kVkUp, kCtrl)}, 1, "hi", 1, 0, 0, 1},
        {"Ctrl+Shift+Down", "hi", 1, 1, {Key(kVkDown, kCtrl | kShift)}, 1, "hi", 1, 0, 0, 1},
        {"Alt+Left is no navigation key", "hi", 1, 1, {Key(kVkLeft, kAlt)}, 1, "hi", 1, 0, 0, 1},
        {"A letter key waits for its character", "hi", 1, 1, {Key('A')}, 0, "hi", 1, 0, 0, 1},
        {"Space key", "hi", 1, 1, {Key(kVkSpace)}, 0, "hi", 1, 0, 0, 1},
        {"Ctrl+C goes to the bindings", "hi", 1, 1, {Key('C', kCtrl)}, 1, "hi", 1, 0, 0, 1},
        {"Alt+5 goes to the bindings", "hi", 1, 1, {Key('5', kAlt)}, 1, "hi", 1, 0, 0, 1},
        {"Tab key", "hi", 1, 1, {Key(kVkTab)}, 1, "hi", 1, 0, 0, 1},
        {"Escape", "hi", 1, 1, {Key(kVkEscape)}, 1, "hi", 1, 0, 0, 1},
        {"F1", "hi", 1, 1, {Key(kVkF1)}, 1, "hi", 1, 0, 0, 1},
        {"A key release",
         "hi",
         1,
         1,
         {CreateKeyParam(KeyCode(kVkLeft, false, 1, 0), 1)},
         0,
         "hi",
         1,
         0,
         0,
         1},
        {"A character is typed at the caret", "hi", 1, 1, {Char(u'x')}, 0, "hxi", 2, 0, 0, 2},
        {"A character replaces the selection", "hello", 1, 4, {Char(u'x')}, 0, "hxo", 2, 0, 0, 2},
        {"A tab character", "hi", 1, 1, {Char(u'\t')}, 1, "hi", 1, 0, 0, 1},
        {"A control character", "hi", 1, 1, {Char(u'\a')}, 1, "hi", 1, 0, 0, 1},
    };
    for (const auto& c : cases) {
        Prepare(c.text, c.anchor, c.caret);
        int32_t result = -1;
        for (const auto& key : c.keys) {
            result = box->HandleKey(key);
        }
        EXPECT_EQ(result, c.result) << c.what;
        EXPECT_EQ(Text(), c.after) << c.what;
        EXPECT_EQ(box->GetCaret(), c.caretAfter) << c.what;
        EXPECT_EQ(box->GetSelectionLength(), c.selectionLength) << c.what;
        if (c.selectionLength > 0) {
            EXPECT_EQ(box->GetSelectionStart(), c.selectionStart) << c.what;
        }
        EXPECT_EQ(box->GetAnchor(), c.anchorAfter) << c.what;
    }
}

TEST_F(TextBoxTest, TheFilterAllowsOrDeniesTypedCharactersOnly)
{
    box->SetCharacterFilter(u"0123456789", true);
    EXPECT_EQ(box->HandleKey(Char(u'a')), 0) << "refused, but used";
    EXPECT_EQ(box->HandleKey(Char(u'\t')), 1);
    EXPECT_EQ(box->HandleKey(Char(u'7')), 0);
    EXPECT_EQ(Text(), "7");

    box->SetCharacterFilter(u"x", false);
    box->HandleKey(Char(u'x'));
    box->HandleKey(Char(u'y'));
    EXPECT_EQ(Text(), "7y");

    // Pasting is not typing.
    box->SetCharacterFilter(u"0123456789", true);
    app.mClipboard->SetText(CreateStringWrapper(u"ab"));
    EXPECT_EQ(box->PerformEdit(kEditPaste), S_OK);
    EXPECT_EQ(Text(), "7yab");
}

TEST_F(TextBoxTest, MaximumLengthStopsTypingAndCutsALongerText)
{
    box->SetText(u"123");
    box->SetMaxLength(3);
    box->SetCaret(3, false);
    EXPECT_EQ(box->HandleKey(Char(u'4')), 0);
    EXPECT_EQ(Text(), "123");
    // Typing over a selection removes it first, which makes room.
    box->SetCaret(1, false);
    box->ExtendTo(2);
    box->HandleKey(Char(u'4'));
    EXPECT_EQ(Text(), "143");
    EXPECT_EQ(box->GetCaret(), 2);

    box->SetMaxLength(5);
    EXPECT_EQ(Text(), "143");
    box->SetMaxLength(2);
    EXPECT_EQ(Text(), "14");
    EXPECT_EQ(box->GetCaret(), 2);

    // A full box that only loses its selection keeps the caret where the selection began.
    box->SetText(u"123");
    box->SetCaret(1, false);
    box->ExtendTo(2);
    box->HandleKey(Char(u'9'));
    EXPECT_EQ(Text(), "13");
    EXPECT_EQ(box->GetCaret(), 1);

    box->SetMaxLength(-1);
    box->SetText(u"");
    box->HandleKey(Char(u'1'));
    EXPECT_EQ(Text(), "");
}

TEST_F(TextBoxTest, SettingTheTextReportsChangesAndKeepsTheCaretInsideTheText)
{
    Listen(box, {kNidTextBoxTextChange});
    EXPECT_EQ(box->SetText(u"hello"), S_OK);
    EXPECT_EQ(box->GetCaret(), 0);
    box->SetCaret(4, false);
    box->ExtendTo(2);
    EXPECT_EQ(box->SetText(u"hello"), S_FALSE);
    EXPECT_EQ(recorder->names.size(), 1u);
    EXPECT_EQ(box->GetCaret(), 2);
    EXPECT_EQ(box->GetSelectionLength(), 2);
    EXPECT_EQ(box->GetClientExtent().x, 50.0);

    // A shorter text set without resetting the caret pulls the caret in: editing goes on there.
    box->SetCaret(5, false);
    EXPECT_EQ(box->SetText(u"hi", false), S_OK);
    EXPECT_EQ(box->GetCaret(), 2);
    EXPECT_EQ(box->GetSelectionLength(), 0);
    box->HandleKey(Char(u'!'));
    box->HandleKey(Key(kVkLeft));
    box->HandleKey(Key(kVkBack));
    EXPECT_EQ(Text(), "h!");
    EXPECT_EQ(box->SetCaret(3, false), E_INVALIDARG);
    EXPECT_EQ(box->SetCaret(-1, false), E_INVALIDARG);
    EXPECT_EQ(box->GetCaret(), 1);
}

TEST_F(TextBoxTest, SelectRangeTakesInclusiveIndicesAndSelectsAllOrClears)
{
    box->SetText(u"hello");
    box->SelectRange(3, 1);
    EXPECT_EQ(box->GetSelectionStart(), 1);
    EXPECT_EQ(box->GetSelectionLength(), 3);
    EXPECT_EQ(Narrow(box->GetSelectedText()), "ell");
    box->SelectRange(2, 9);
    EXPECT_EQ(box->GetSelectionLength(), 3) << "out of the text: ignored";
    box->SelectRange(0, -1);
    EXPECT_EQ(box->GetSelectionLength(), 5);
    box->SelectRange(-1, 0);
    EXPECT_EQ(box->GetSelectionLength(), 0);
}

TEST_F(TextBoxTest, BoundaryUnderThePointIsTheNearerSideOfTheCharacter)
{
    box->SetText(u"abcd");
    const struct
    {
        double x;
        int32_t boundary;
    } cases[] = {{-50, 0}, {2, 0}, {6.9, 0}, {7, 1}, {16, 1}, {17, 2}, {39, 4}, {42, 4}, {500, 4}};
    for (const auto& c : cases) {
        EXPECT_EQ(box->GetCharacterAtPoint({c.x, 10.0}), c.boundary) << c.x;
    }
    box->SetCaret(2, false);
    EXPECT_EQ(box->GetCaretRect(), (RectT<float>{21.0f, 4.0f, 1.0f, 12.0f}));
}

TEST_F(TextBoxTest, MouseSetsTheCaretExtendsWithShiftAndDragsASelection)
{
    box->SetText(u"abcdef");
    Click(33);
    EXPECT_EQ(box->GetCaret(), 3);
    EXPECT_EQ(box->GetAnchor(), 3);
    Click(13, kShift);
    EXPECT_EQ(box->GetCaret(), 1);
    EXPECT_EQ(box->GetSelectionStart(), 1);
    EXPECT_EQ(box->GetSelectionLength(), 2);

    box->OnMouseDown(Press(13));
    EXPECT_EQ(box->GetSelectionLength(), 0);
    box->OnMouseMove(CreatePointWithModifiersParam({45, 10}, 0, 0));
    box->OnMouseMove(CreatePointWithModifiersParam({300, 10}, 0, 0));
    EXPECT_EQ(box->GetSelectionStart(), 1);
    EXPECT_EQ(box->GetSelectionLength(), 5) << "dragged beyond the text: to its end";
    EXPECT_EQ(box->GetAnchor(), 1);
    box->OnMouseUp(Release(300));
    EXPECT_EQ(box->GetSelectionLength(), 5);
}

TEST_F(TextBoxTest, DoubleClickOrCtrlClickSelectsTheWordWithoutTheSpaceAfterIt)
{
    box->SetText(u"abc def");
    Click(14);
    Click(14, 0, 1);
    EXPECT_EQ(box->GetSelectionStart(), 0);
    EXPECT_EQ(box->GetSelectionLength(), 3);
    Click(64);
    Click(64, kCtrl);
    EXPECT_EQ(box->GetSelectionStart(), 4);
    EXPECT_EQ(box->GetSelectionLength(), 3);
    EXPECT_EQ(box->GetCaret(), 7);
}

TEST_F(TextBoxTest, LooksFollowEnablingFocusHoverSelectionAndTheCue)
{
    const auto covers = [](LTextBox* target, int32_t look, int32_t x, int32_t y) {
        return target->GetLook(look)->GetClipRegion().IntersectsRect(
            RectRegion::Edges{x, y, x + 1, y + 1});
    };
    const auto shown = [](LTextBox* target) {
        std::vector<int32_t> looks;
        for (int32_t i = 0; i < 14; ++i) {
            if (target->GetLookAlpha(i) > 0.0f) {
                looks.push_back(i);
            }
        }
        return looks;
    };
    EXPECT_EQ(shown(box), std::vector<int32_t>{0});
    box->OnMouseEnter();
    EXPECT_EQ(shown(box), std::vector<int32_t>{1});
    box->OnMouseLeave();
    ASSERT_GE(box->SetFocus(true), 0);
    EXPECT_EQ(shown(box), std::vector<int32_t>{3});
    box->OnMouseEnter();
    EXPECT_EQ(shown(box), std::vector<int32_t>{4});
    box->OnMouseLeave();

    box->SetText(u"hello");
    box->SetCaret(1, false);
    box->ExtendTo(3);
    EXPECT_EQ(shown(box), (std::vector<int32_t>{3, 10}));
    // The highlight covers the selected characters, the base look the rest of the box.
    EXPECT_TRUE(covers(box, 10, 15, 8));
    EXPECT_FALSE(covers(box, 10, 40, 8));
    EXPECT_FALSE(covers(box, 3, 15, 8));
    EXPECT_TRUE(covers(box, 3, 40, 8));

    box->SetEnabled(false);
    EXPECT_EQ(shown(box), std::vector<int32_t>{6});
    box->SetEnabled(true);

    LTextBox* cue = Box(u"cue");
    EXPECT_EQ(Narrow(cue->GetCueText()), "Find");
    EXPECT_EQ(Narrow(cue->GetText()), "") << "the cue is no text";
    EXPECT_EQ(shown(cue), (std::vector<int32_t>{2, 9}));
    EXPECT_EQ(Narrow(cue->GetLook(9)->GetTextObject()->GetText()), "Find");
    EXPECT_TRUE(covers(cue, 9, 3, 5));
    EXPECT_FALSE(covers(cue, 9, 43, 5));
    cue->SetText(u"x");
    EXPECT_EQ(shown(cue), std::vector<int32_t>{0});
    cue->SetText(u"");
    EXPECT_EQ(shown(cue), (std::vector<int32_t>{2, 9}));
    EXPECT_EQ(Narrow(cue->GetLook(9)->GetTextObject()->GetText()), "Find");
    ASSERT_GE(cue->SetFocus(true), 0);
    EXPECT_EQ(shown(cue), std::vector<int32_t>{3});

    // A cue centred in a taller text area is shown where its line lies, not cut off at the top.
    LTextBox* centred = Box(u"centredCue");
    EXPECT_EQ(shown(centred), (std::vector<int32_t>{2, 9}));
    EXPECT_TRUE(covers(centred, 9, 3, 14));
    EXPECT_FALSE(covers(centred, 9, 3, 2));
}

TEST_F(TextBoxTest, CaretBlinksAtIdlePassesAndHidesForHalfASecondAfterRefocus)
{
    app.mTime = 10.0;
    ASSERT_GE(box->SetFocus(true), 0);
    EXPECT_EQ(box->GetIdleRequests(), 1);
    EXPECT_TRUE(box->IsCaretShown());
    const struct
    {
        double time;
        bool shown;
    } passes[] = {{10.49, true}, {10.5, false}, {10.79, false}, {10.8, true}, {11.3, false}};
    for (const auto& pass : passes) {
        app.mTime = pass.time;
        box->OnIdle();
        EXPECT_EQ(box->IsCaretShown(), pass.shown) << pass.time;
    }

    ASSERT_GE(Box(u"dark")->SetFocus(true), 0);
    EXPECT_EQ(box->GetIdleRequests(), 0);
    EXPECT_FALSE(box->IsCaretShown());
    app.mTime = 20.0;
    ASSERT_GE(box->SetFocus(true), 0);
    app.mTime = 20.49;
    box->OnIdle();
    EXPECT_FALSE(box->IsCaretShown());
    app.mTime = 20.5;
    box->OnIdle();
    EXPECT_TRUE(box->IsCaretShown());

    // Moving the caret shows it at once and starts the half second again.
    app.mTime = 21.0;
    box->OnIdle();
    ASSERT_FALSE(box->IsCaretShown());
    box->SetText(u"abc");
    box->SetCaret(2, false);
    EXPECT_TRUE(box->IsCaretShown());
    EXPECT_DOUBLE_EQ(box->GetNextBlink(), 21.5);
}

TEST_F(TextBoxTest, LosingTheFocusScrollsTheTextBackToItsStart)
{
    box->SetText(u"a text longer than the box can show at once");
    ASSERT_GE(box->SetFocus(true), 0);
    box->SetScrollOffset({120.0, 0.0});
    EXPECT_EQ(box->GetScrollOffset().x, 120.0);
    // The boundary under a point counts the scrolled-away text.
    EXPECT_EQ(box->GetCharacterAtPoint({2.0, 10.0}), 12);
    ASSERT_GE(Box(u"dark")->SetFocus(true), 0);
    EXPECT_EQ(box->GetScrollOffset().x, 0.0);
}

TEST_F(TextBoxTest, ToolTipShowsTheWholeTextOnlyWhenItDoesNotFit)
{
    box->SetText(u"short");
    EXPECT_EQ(Narrow(box->GetToolTipText()), "");
    const std::string longText(20, 'w');
    box->SetText(Wide(longText));
    EXPECT_EQ(Narrow(box->GetToolTipText()), longText);
}

TEST_F(TextBoxTest, CaretIsDrawnWhiteOnADarkLookAndBlackOnALightOne)
{
    const RCPtr<svtest::RecordingRenderer> renderer(new svtest::RecordingRenderer());
    box->SetText(u"ab");
    box->OnDrawContent(renderer);
    EXPECT_TRUE(renderer->CallTexts("DrawLine").empty()) << "no caret without the focus";

    ASSERT_GE(box->SetFocus(true), 0);
    box->SetCaret(1, false);
    box->OnDrawContent(renderer);
    LTextBox* dark = Box(u"dark");
    ASSERT_GE(dark->SetFocus(true), 0);
    dark->OnDrawContent(renderer);
    const std::vector<std::string> lines = renderer->CallTexts("DrawLine");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("#FF000000"), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find("11"), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find("#FFFFFFFF"), std::string::npos) << lines[1];
}

TEST_F(TextBoxTest, EditCommandsNeedASelectionOrClipboardTextWithinTheMaximum)
{
    box->SetText(u"hello");
    box->SetCaret(1, false);
    const int32_t sequence = int32_t(backend.sequence);
    EXPECT_FALSE(box->CanPerformEdit(kEditCopy));
    EXPECT_EQ(box->PerformEdit(kEditCopy), E_FAIL);
    EXPECT_EQ(box->PerformEdit(kEditCut), E_FAIL);
    EXPECT_EQ(box->PerformEdit(kEditDelete), E_FAIL);
    EXPECT_EQ(int32_t(backend.sequence), sequence) << "the clipboard is left alone";
    EXPECT_FALSE(box->CanPerformEdit(kEditPaste)) << "the clipboard holds no text";
    EXPECT_EQ(box->PerformEdit(kEditPaste), E_FAIL);
    EXPECT_EQ(box->PerformEdit(7), E_FAIL);

    box->ExtendTo(4);
    EXPECT_TRUE(box->CanPerformEdit(kEditCut));
    EXPECT_EQ(box->PerformEdit(kEditCopy), S_OK);
    EXPECT_EQ(backend.formats[svp::kClipboardText], std::string("ell", 4));
    EXPECT_EQ(Text(), "hello");
    EXPECT_EQ(box->PerformEdit(kEditCut), S_OK);
    EXPECT_EQ(Text(), "ho");
    EXPECT_EQ(box->GetCaret(), 1);
    EXPECT_EQ(box->PerformEdit(kEditPaste), S_OK);
    EXPECT_EQ(Text(), "hello");
    EXPECT_EQ(box->GetCaret(), 4);
    box->SelectRange(0, -1);
    EXPECT_EQ(box->PerformEdit(kEditDelete), S_OK);
    EXPECT_EQ(Text(), "");

    // Maximum length 3: two characters fit an empty box, four do not; over a selected character
    // three fit (1 - 1 + 3).
    box->SetMaxLength(3);
    backend.ReplaceFromOutside({{svp::kClipboardText, std::string("ab", 3)}});
    EXPECT_TRUE(box->CanPerformEdit(kEditPaste));
    EXPECT_EQ(box->PerformEdit(kEditPaste), S_OK);
    EXPECT_EQ(Text(), "ab");
    box->SetText(u"");
    backend.ReplaceFromOutside({{svp::kClipboardText, std::string("abcd", 5)}});
    EXPECT_FALSE(box->CanPerformEdit(kEditPaste));
    EXPECT_EQ(box->PerformEdit(kEditPaste), E_FAIL);
    EXPECT_EQ(Text(), "");
    box->SetText(u"x");
    box->SelectRange(0, 0);
    backend.ReplaceFromOutside({{svp::kClipboardText, std::string("abc", 4)}});
    EXPECT_TRUE(box->CanPerformEdit(kEditPaste));
    EXPECT_EQ(box->PerformEdit(kEditPaste), S_OK);
    EXPECT_EQ(Text(), "abc");
    EXPECT_EQ(box->GetSelectionLength(), 0);
    EXPECT_EQ(box->GetCaret(), 3);

    // An empty clipboard text inserts nothing.
    backend.ReplaceFromOutside({{svp::kClipboardText, std::string("", 1)}});
    box->SetCaret(1, false);
    EXPECT_EQ(box->PerformEdit(kEditPaste), E_FAIL);
    EXPECT_EQ(Text(), "abc");
}

TEST_F(TextBoxTest, ACutThatTheClipboardRefusesKeepsTheText)
{
    box->SetText(u"keep");
    box->SelectRange(0, -1);
    backend.openFails = true;
    EXPECT_EQ(box->PerformEdit(kEditCut), E_FAIL);
    EXPECT_EQ(box->PerformEdit(kEditCopy), E_FAIL);
    EXPECT_EQ(Text(), "keep");
    EXPECT_EQ(box->GetSelectionLength(), 4);

    app.mClipboard = nullptr;
    EXPECT_EQ(box->PerformEdit(kEditCut), E_FAIL);
    EXPECT_FALSE(box->CanPerformEdit(kEditPaste));
    EXPECT_EQ(Text(), "keep");
}

TEST_F(TextBoxTest, ValidationLetsReceiversReplaceOrRefuseTheText)
{
    Listen(box, {kNidTextBoxValidating, kNidTextBoxValidated, kNidTextBoxTextChange});
    box->SetText(u"12345");
    box->SetCaret(5, false);
    recorder->names.clear();

    // The same text again changes nothing.
    std::string replacement = "12345";
    bool refuse = false;
    recorder->onReceive = [&](const ConstRCPtr<LNotification>& notification) {
        if (notification->GetId() != GetNotificationID(kNidTextBoxValidating)) {
            return;
        }
        LTextValidationParams& params = ParamsOf(notification);
        EXPECT_EQ(params.mStartingText, params.mText);
        params.mText = Wide(replacement);
        params.mAccepted = !refuse;
    };
    EXPECT_TRUE(box->Validate()->mAccepted);
    EXPECT_EQ(recorder->names,
              (std::vector<std::string>{"NID_TEXTBOX_VALIDATING", "NID_TEXTBOX_VALIDATED"}));

    // A replacement is applied; the caret stays inside the shorter text.
    recorder->names.clear();
    replacement = "240";
    EXPECT_TRUE(box->Validate()->mAccepted);
    EXPECT_EQ(recorder->names,
              (std::vector<std::string>{"NID_TEXTBOX_VALIDATING", "NID_TEXTBOX_TEXT_CHANGE",
                                        "NID_TEXTBOX_VALIDATED"}));
    EXPECT_EQ(Text(), "240");
    EXPECT_EQ(box->GetCaret(), 3);

    // A refusal keeps the text as typed and says nothing more.
    recorder->names.clear();
    box->SetText(u"abc");
    recorder->names.clear();
    replacement = "xyz";
    refuse = true;
    EXPECT_FALSE(box->Validate()->mAccepted);
    EXPECT_EQ(recorder->names, std::vector<std::string>{"NID_TEXTBOX_VALIDATING"});
    EXPECT_EQ(Text(), "abc");
}

TEST_F(TextBoxTest, ReturnTravelsOnOnlyForAnAcceptedTextAndARefusedTextKeepsTheFocus)
{
    bool refuse = false;
    Listen(box, {kNidTextBoxValidating});
    recorder->onReceive = [&](const ConstRCPtr<LNotification>& notification) {
        ParamsOf(notification).mAccepted = !refuse;
    };
    ASSERT_GE(box->SetFocus(true), 0);
    EXPECT_EQ(box->HandleKey(Key(kVkReturn)), 1);
    refuse = true;
    EXPECT_EQ(box->HandleKey(Key(kVkReturn)), 0);

    LTextBox* other = Box(u"dark");
    EXPECT_EQ(other->SetFocus(true), E_FAIL);
    EXPECT_TRUE(box->HasFocus());
    EXPECT_EQ(window->GetFocusedControl().Get(), box);
    refuse = false;
    EXPECT_GE(other->SetFocus(true), 0);
    EXPECT_TRUE(other->HasFocus());
    EXPECT_FALSE(box->HasFocus());
}

TEST_F(TextBoxTest, ContextMenuOffersTheFourEditCommands)
{
    ASSERT_TRUE(box->GetEditMenu()) << "built when the box joined the window";
    const RCPtr<LMenuDescriptor>& menu = box->GetEditMenu();
    ASSERT_EQ(menu->GetItemCount(), 4);
    const char* const labels[] = {"Cut", "Copy", "Paste", "Delete"};
    const char* const commands[] = {"NID_EDIT_CUT_REQ", "NID_EDIT_COPY_REQ", "NID_EDIT_PASTE_REQ",
                                    "NID_EDIT_DELETE_REQ"};
    for (int32_t i = 0; i < 4; ++i) {
        const RCPtr<LMenuItemDescriptor> entry = menu->GetItem(i);
        EXPECT_EQ(Narrow(entry->GetLabel()), labels[i]);
        EXPECT_EQ(Narrow(entry->GetIdentifier()), commands[i]);
        EXPECT_TRUE(entry->IsEnabled());
        EXPECT_FALSE(entry->IsChecked());
    }
}

TEST_F(TextBoxTest, MenuEntriesOfTheEditCommandsAreEnabledAsTheClipboardServiceCanPerformThem)
{
    // The clipboard service asks the focused control of the application's active window.
    svtest::FakeDesktop desktop;
    const RCPtr<svtest::TestFrameworkApp> frameworkApp(new svtest::TestFrameworkApp());
    // The framework application makes itself the controls' application; the box keeps the
    // double's clipboard.
    SetControlApplication(&app);
    svtest::RecordingWindowServices services;
    services.active = true;
    const RCPtr<LRootWindow> active(new LRootWindow(nullptr, &services));
    frameworkApp->AddRootWindow(RCPtr<IRootWindow>(active));
    active->SetFocusedControl(RCPtr<LControl>(box));

    box->SetText(u"hello");
    const auto enabled = [&](const char16_t* command) {
        MenuItemState state;
        state.enabled = 1;
        EXPECT_EQ(box->UpdateMenuItem(box->GetEditMenu(), 0, command, state), 0);
        return state.enabled != 0;
    };
    EXPECT_FALSE(enabled(kNidEditCopyRequest));
    EXPECT_FALSE(enabled(kNidEditPasteRequest));
    box->SelectRange(0, 1);
    EXPECT_TRUE(enabled(kNidEditCopyRequest));
    EXPECT_TRUE(enabled(kNidEditCutRequest));
    EXPECT_TRUE(enabled(kNidEditDeleteRequest));
    app.mClipboard->SetText(CreateStringWrapper(u"x"));
    EXPECT_TRUE(enabled(kNidEditPasteRequest));

    MenuItemState other;
    other.enabled = 1;
    EXPECT_EQ(box->UpdateMenuItem(box->GetEditMenu(), 0, u"NID_MENU_HELP", other), 1);
    EXPECT_EQ(other.enabled, 1);

    active->SetFocusedControl(nullptr);
    frameworkApp->RemoveRootWindow(RCPtr<IRootWindow>(active));
}

} // namespace
