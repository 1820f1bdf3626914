#include "ControlSkinFixture.h"
#include "ControlSkins.h"
#include "Notification/NotificationNames.h"

#include "ControlBase/KeyParam.h"
#include "Controls/Button.h"
#include "Controls/NumericUpDown.h"
#include "Controls/TextBox.h"
#include "Notification/Notification.h"
#include "Notification/NotificationClient.h"
#include "Notification/NotificationId.h"
#include "Windows/MouseParams.h"

#include <string>
#include <vector>

using namespace SV;

namespace {

const std::string kUpDownSkin = svtest::WindowSkin(R"(
          <SubControl Class="Framework.NumericUpDown" Name="tempo" XSizeAbs="100" YSizeAbs="20">
            <Skin Name="tempo">
              <SubControl Class="Framework.TextBox" Name="textBox" XSizeAbs="80" YSizeAbs="20"/>
              <SubControl Class="Framework.Button" Name="buttonUp" XPositionAbs="80" XSizeAbs="20" YSizeAbs="10"/>
              <SubControl Class="Framework.Button" Name="buttonDown" XPositionAbs="80" YPositionAbs="10" XSizeAbs="20" YSizeAbs="10"/>
              <SubControl Class="Framework.Panel" Name="slider1" XSizeAbs="0" YSizeAbs="0"/>
            </Skin>
          </SubControl>
)");

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

// Records the names, and the text the validation payloads carried.
class Recorder : public LNotificationClient
{
public:
    void Receive(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                 const ConstRCPtr<LNotification>& notification) override
    {
        std::string entry = Narrow(GetNotificationName(notification->GetId()));
        if (const auto* params =
                dynamic_cast<const LTextValidationParams*>(notification->GetPayload().Get())) {
            entry += " " + Narrow(params->mText);
        }
        names.push_back(entry);
    }
    std::vector<std::string> names;
};

ConstRCPtr<LKeyParam> Key(uint32_t virtualKey)
{
    return CreateKeyParam(KeyCode(virtualKey, true, 0, 0), 1);
}

class NumericUpDownTest : public svtest::ControlSkinFixture
{
protected:
    void SetUp() override
    {
        LoadSkin(kUpDownSkin);
        ASSERT_TRUE(CreateWindow(u"window"));
        upDown = dynamic_cast<LNumericUpDown*>(root->FindChildControl(u"tempo").Get());
        ASSERT_TRUE(upDown);
        box = dynamic_cast<LTextBox*>(upDown->FindChildControl(u"textBox").Get());
        up = dynamic_cast<LButton*>(upDown->FindChildControl(u"buttonUp").Get());
        down = dynamic_cast<LButton*>(upDown->FindChildControl(u"buttonDown").Get());
        ASSERT_TRUE(box && up && down);
        recorder = RCPtr<Recorder>(new Recorder());
        for (const char16_t* name :
             {kNidValueChange, kNidTextBoxValidating, kNidTextBoxValidated}) {
            recorder->Register(RCPtr<LNotificationDistributor>(upDown), name);
        }
    }
    void TearDown() override
    {
        recorder->UnregisterAll();
        svtest::ControlSkinFixture::TearDown();
    }

    void Start(double minimum, double maximum, double value)
    {
        ASSERT_EQ(upDown->SetValueRange(minimum, maximum, 0), S_OK);
        upDown->SetNormalizedValue(upDown->ValueToNormalized(value));
        box->SetText(LNumericUpDown::FormatValue(value));
        recorder->names.clear();
    }
    int32_t ValueChanges() const
    {
        int32_t count = 0;
        for (const std::string& name : recorder->names) {
            count += name == "NID_VALUE_CHANGE" ? 1 : 0;
        }
        return count;
    }
    std::string Shown() const { return Narrow(box->GetText()); }

    LNumericUpDown* upDown = nullptr;
    LTextBox* box = nullptr;
    LButton* up = nullptr;
    LButton* down = nullptr;
    RCPtr<Recorder> recorder;
};

TEST_F(NumericUpDownTest, TypedTextIsClampedRoundedOrRestoredWhenValidated)
{
    const struct
    {
        double minimum, maximum, value;
        const char* typed;
        double valueAfter;
        const char* shown;
        int32_t changes;
    } cases[] = {
        {30, 240, 120, "250", 240, "240", 1},
        {30, 240, 120, "0", 30, "30", 1},
        {30, 240, 120, "", 120, "120", 0},
        {-4, 4, 1, "-", 1, "1", 0},
        {-4, 4, 1, "2-", 1, "1", 0},
        {-4, 4, 1, "--1", 1, "1", 0},
        {-4, 4, 1, "-3", -3, "-3", 1},
        {0, 10, 5, "05", 5, "05", 0},
        {0, 10, 0, "00", 0, "0", 0},
        {0, 10, 10, "010", 10, "10", 0},
        {0, 10, 3, "1..2", 3, "3", 0},
        {0, 10, 3, ".", 3, "3", 0},
        // Pasted fractions: the value stays whole and agrees with its text.
        {0, 10, 1, "1.5", 2, "2", 1},
        {0, 10, 2, "2.4", 2, "2", 0},
        {0, 10, 2, "nan", 0, "0", 1},
    };
    for (const auto& c : cases) {
        Start(c.minimum, c.maximum, c.value);
        box->SetText(Wide(c.typed));
        EXPECT_TRUE(box->Validate()->mAccepted) << c.typed;
        EXPECT_DOUBLE_EQ(upDown->GetValue(), c.valueAfter) << c.typed;
        EXPECT_EQ(Shown(), c.shown) << c.typed;
        EXPECT_EQ(ValueChanges(), c.changes) << c.typed;
    }
}

TEST_F(NumericUpDownTest, ANewNumberIsValidatedOnceMoreForItsOwnTextBeforeTheValueChangeIsHeard)
{
    Start(0, 10, 5);
    ASSERT_GE(upDown->SetFocus(true), 0);
    EXPECT_TRUE(box->HasFocus());
    box->SetCaret(0, false);
    box->HandleKey(Key(0x2E));
    box->OnKey(CreateKeyParam(KeyCode(u'7', 0), 1));
    ASSERT_EQ(Shown(), "7");
    box->OnKey(Key(0x0D));
    EXPECT_EQ(recorder->names,
              (std::vector<std::string>{"NID_TEXTBOX_VALIDATING 7", "NID_TEXTBOX_VALIDATING 7",
                                        "NID_TEXTBOX_VALIDATED 7", "NID_VALUE_CHANGE",
                                        "NID_TEXTBOX_VALIDATED 7"}));
    EXPECT_DOUBLE_EQ(upDown->GetValue(), 7.0);
}

TEST_F(NumericUpDownTest, TheFilterTakesDigitsAndTheMinusSignOnlyForARangeBelowZero)
{
    Start(0, 10, 0);
    EXPECT_EQ(Narrow(box->GetCharacterFilter()), "0123456789");
    EXPECT_TRUE(box->FilterAllows());
    Start(-4, 4, 0);
    EXPECT_EQ(Narrow(box->GetCharacterFilter()), "0123456789-");

    box->SetText(u"");
    for (const char16_t typed : {u'-', u'x', u'3'}) {
        box->HandleKey(CreateKeyParam(KeyCode(typed, 0), 1));
    }
    EXPECT_EQ(Shown(), "-3");
    box->HandleKey(Key(0x0D));
    EXPECT_DOUBLE_EQ(upDown->GetValue(), -3.0);
}

TEST_F(NumericUpDownTest, ANewRangeKeepsTheNormalisedPositionAndSaysNothing)
{
    Start(0, 10, 0);
    ASSERT_EQ(upDown->SetValueRange(-4, 4, 0), S_OK);
    EXPECT_DOUBLE_EQ(upDown->GetValue(), -4.0);
    EXPECT_EQ(Shown(), "-4");
    EXPECT_EQ(ValueChanges(), 0);

    EXPECT_EQ(upDown->SetValueRange(0, 10, 1), E_INVALIDARG);
    EXPECT_EQ(upDown->SetValueRange(0, 10, 2), E_INVALIDARG);
    EXPECT_DOUBLE_EQ(upDown->GetValue(), -4.0);
    EXPECT_EQ(upDown->SetValueRange(1, 100, 1), S_OK);
    EXPECT_DOUBLE_EQ(upDown->GetValue(), 1.0);

    // Text given from outside: its leading number, clamped.
    Start(30, 240, 120);
    EXPECT_EQ(upDown->SetText(u"200 bpm"), S_OK);
    EXPECT_DOUBLE_EQ(upDown->GetValue(), 200.0);
    EXPECT_EQ(Shown(), "200");
    upDown->SetText(u"abc");
    EXPECT_DOUBLE_EQ(upDown->GetValue(), 30.0);
}

TEST_F(NumericUpDownTest, ArrowsStepByOneAndStopQuietlyAtTheEnds)
{
    Start(0, 10, 5);
    app.mTime = 1.0;
    up->OnMouseEnter();
    up->OnMouseDown(ConstRCPtr<LMouseButtonParam>(new LMouseButtonParam(1, 5, 5, 0, 0, 1, 0)));
    EXPECT_DOUBLE_EQ(upDown->GetValue(), 6.0);
    EXPECT_EQ(Shown(), "6");
    up->OnMouseUp(ConstRCPtr<LMouseButtonParam>(new LMouseButtonParam(1, 5, 5, 0, 0, 0, 0)));
    up->OnMouseLeave();
    EXPECT_FALSE(up->HasFocus()) << "the arrows take no focus";

    Start(0, 10, 10);
    up->OnMouseEnter();
    up->OnMouseDown(ConstRCPtr<LMouseButtonParam>(new LMouseButtonParam(1, 5, 5, 0, 0, 1, 0)));
    for (double time : {1.4, 1.5, 1.6}) {
        app.mTime = time;
        up->OnIdle();
    }
    EXPECT_DOUBLE_EQ(upDown->GetValue(), 10.0);
    EXPECT_EQ(ValueChanges(), 0);
    up->OnMouseUp(ConstRCPtr<LMouseButtonParam>(new LMouseButtonParam(1, 5, 5, 0, 0, 0, 0)));

    Start(0, 10, 0);
    down->OnMouseEnter();
    down->OnMouseDown(ConstRCPtr<LMouseButtonParam>(new LMouseButtonParam(1, 5, 5, 0, 0, 1, 0)));
    EXPECT_DOUBLE_EQ(upDown->GetValue(), 0.0);
    EXPECT_EQ(ValueChanges(), 0);
    down->OnMouseUp(ConstRCPtr<LMouseButtonParam>(new LMouseButtonParam(1, 5, 5, 0, 0, 0, 0)));
}

TEST_F(NumericUpDownTest, UpAndDownInTheTextBoxClickTheArrowsAfterTheirPressedLook)
{
    Start(0, 10, 5);
    ASSERT_GE(upDown->SetFocus(true), 0);
    app.mTime = 2.0;
    box->OnKey(Key(0x26));
    EXPECT_TRUE(up->IsSimulatedClickPending());
    EXPECT_DOUBLE_EQ(upDown->GetValue(), 5.0);
    app.mTime = 2.2;
    up->OnIdle();
    EXPECT_DOUBLE_EQ(upDown->GetValue(), 6.0);
    EXPECT_TRUE(box->HasFocus()) << "the focus stays in the text box";

    box->OnKey(Key(0x28));
    app.mTime = 2.5;
    down->OnIdle();
    EXPECT_DOUBLE_EQ(upDown->GetValue(), 5.0);
    EXPECT_EQ(Shown(), "5");
}

using NumericUpDownPartsTest = svtest::ControlSkinFixture;

TEST_F(NumericUpDownPartsTest, MissingPartIsReportedAndAnUpDownWithoutPartsStaysInert)
{
    LoadSkin(svtest::WindowSkin(svtest::SubControl(
        "Framework.NumericUpDown", "tempo", R"(XSizeAbs="100" YSizeAbs="20")",
        svtest::SubControl("Framework.TextBox", "textBox", R"(XSizeAbs="80" YSizeAbs="20")") +
            svtest::SubControl("Framework.Button", "buttonUp", R"(XSizeAbs="20" YSizeAbs="10")"))));
    EXPECT_EQ(WindowCreationError().rfind(
                  "Runtime Error : Null Pointer : Can not find child buttonDown : "
                  "SV::LNumericUpDown::Initialize : Controls\\NumericUpDown : Line ",
                  0),
              0u);

    const RCPtr<LNumericUpDown> bare(new LNumericUpDown(nullptr, u"bare"));
    EXPECT_EQ(bare->SetValueRange(0, 10, 0), S_OK);
    bare->SetNormalizedValue(0.5);
    EXPECT_DOUBLE_EQ(bare->GetValue(), 5.0);
    EXPECT_EQ(bare->SetText(u"7"), S_OK);
    bare->BubbleKey(Key(0x26));
    EXPECT_DOUBLE_EQ(bare->GetValue(), 7.0);
}

} // namespace
