#include "OctaveEditPanel.h"
#include "TransposeEditPanel.h"

#include "EditorSkinFixture.h"
#include "EditorSkins.h"
#include "ExceptionText.h"

#include "Controls/NumericUpDown.h"
#include "Controls/TextBox.h"
#include "DriverCommon/MainControl.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using SV::RCPtr;
using SetCall = svtest::ValueStoreEngine::SetCall;

SV::Variant Blob(const std::vector<uint8_t>& bytes)
{
    SV::Variant value;
    value.SetBlob(bytes.data(), static_cast<uint32_t>(bytes.size()));
    return value;
}

class OctaveTransposeEditPanelTest : public svtest::EditorSkinFixture
{
protected:
    void SetUp() override
    {
        Load(svtest::MainControlSkin(svtest::TransposePanelSkin()));
        main = RCPtr<SV::LMainControl>(CreateWindow(u"mainControl"));
        ASSERT_TRUE(main);
        octave = RCPtr<LOctaveEditPanel>(main->GetDevice()->GetOctave());
        transpose = RCPtr<LTransposeEditPanel>(main->GetDevice()->GetTranspose());
        ASSERT_TRUE(octave && transpose);
        octaveUpDown = RCPtr<SV::LNumericUpDown>(octave->FindChildControl(u"octaveNumericUpDown"));
        transposeUpDown =
            RCPtr<SV::LNumericUpDown>(transpose->FindChildControl(u"transposeNumericUpDown"));
    }

    // A value from the engine, as the main control applies it.
    void Apply(int32_t id, const std::vector<uint8_t>& bytes)
    {
        main->ApplyParamValue(SV::ParamDescriptor(id), Blob(bytes));
    }

    RCPtr<SV::LMainControl> main;
    RCPtr<LOctaveEditPanel> octave;
    RCPtr<LTransposeEditPanel> transpose;
    RCPtr<SV::LNumericUpDown> octaveUpDown;
    RCPtr<SV::LNumericUpDown> transposeUpDown;
};

TEST_F(OctaveTransposeEditPanelTest, BytesInRangeAreShownAndNotSentBack)
{
    Apply(1, {0x08});
    Apply(3, {0x00});
    Apply(3, {0x18});
    EXPECT_EQ(octaveUpDown->GetValue(), 4.0);
    EXPECT_EQ(transposeUpDown->GetValue(), 12.0);
    EXPECT_TRUE(engine->SetCalls().empty());
}

TEST_F(OctaveTransposeEditPanelTest, ABytePastTheRangeShowsTheNearestEndAndSendsItOnce)
{
    // Octave 0A reads as 6, transpose FF as -1 - 12: both past their ends.
    Apply(1, {0x0A});
    Apply(3, {0xFF});
    EXPECT_EQ(octaveUpDown->GetValue(), 4.0);
    EXPECT_EQ(transposeUpDown->GetValue(), -12.0);
    EXPECT_EQ(engine->SetCalls(), (std::vector<SetCall>{{1, {0x08}}, {3, {0x00}}}));
}

TEST_F(OctaveTransposeEditPanelTest, AValueOfAnotherLengthIsRefused)
{
    Apply(1, {0x05});
    for (LParameterizedModule* panel : {static_cast<LParameterizedModule*>(octave.Get()),
                                        static_cast<LParameterizedModule*>(transpose.Get())}) {
        EXPECT_EQ(panel->SetParamValueLocal(SV::ParamDescriptor(1), Blob({0x04, 0x04}), true),
                  E_FAIL);
        EXPECT_EQ(panel->SetParamValueLocal(SV::ParamDescriptor(1), SV::Variant(), true), E_FAIL);
    }
    EXPECT_EQ(octaveUpDown->GetValue(), 1.0);
}

TEST_F(OctaveTransposeEditPanelTest, TheTextBoxTakesAMinusSignAndTwoDigits)
{
    for (const RCPtr<SV::LNumericUpDown>& upDown : {octaveUpDown, transposeUpDown}) {
        ASSERT_TRUE(upDown->GetTextBox());
        EXPECT_EQ(upDown->GetTextBox()->GetMaxLength(), 3);
    }
}

class EditPanelSkinTest : public svtest::EditorSkinFixture
{};

TEST_F(EditPanelSkinTest, APanelWithoutItsUpDownCannotBeBuilt)
{
    Load(R"(<Skin Name="Default">)" +
         svtest::ContainerSkin("PresetEditor.Octave", "octave", svtest::UpDownSkin("wrongName")) +
         "</Skin>");
    const std::string text = svtest::ExceptionTextOf<SV::Exception<std::runtime_error>>(
        [&] { CreateWindow(u"octave"); });
    EXPECT_EQ(text.rfind("Runtime Error : Null Pointer : Can not find child octaveNumericUpDown : "
                         "LOctaveEditPanel::Initialize : UI\\OctaveEditPanel : Line ",
                         0),
              0u)
        << text;
}

} // namespace
