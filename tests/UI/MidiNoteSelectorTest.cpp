#include "PresetEditorCommon/MidiNoteSelector.h"

#include "EditorSkinFixture.h"
#include "EditorSkins.h"

#include "Controls/Label.h"
#include "Controls/NumericUpDown.h"
#include "Utilities/Storage/StringTable.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

using SV::RCPtr;

std::string N(const SV::WideString& text)
{
    return text.ToNarrow().GetText();
}

std::string Entries(const char* table, int count, const char* prefix)
{
    std::string text = std::string("<StringTable ID=\"") + table + "\">\n";
    for (int i = 0; i < count; ++i) {
        char id[16];
        std::snprintf(id, sizeof id, "%02d", i);
        text += std::string("<String ID=\"") + id + "\"><Locale LCID=\"0x0009\">" + prefix +
                std::to_string(i) + "</Locale></String>\n";
    }
    return text + "</StringTable>\n";
}

std::string SelectorSkin(const std::string& children)
{
    return R"(<Skin Name="Default"><SubControl Class="Framework.Panel" Name="window" XSizeAbs="400" YSizeAbs="300"><Skin Name="window">)" +
           svtest::ContainerSkin("PresetEditor.MidiNoteSelector", "noteSelector", children) +
           "</Skin></SubControl></Skin>\n";
}

const std::string kChildren =
    R"(<SubControl Class="Framework.Label" Name="noteNameLabel" XSizeAbs="40" YSizeAbs="20"/>
<SubControl Class="Framework.Label" Name="octaveNameLabel" XSizeAbs="40" YSizeAbs="20"/>
)" + svtest::UpDownSkin("numericUpDown");

class MidiNoteSelectorTest : public svtest::EditorSkinFixture
{
protected:
    void Build(int notes, int octaves)
    {
        Load(SelectorSkin(kChildren),
             Entries("PresetEditor.MidiNoteSelector|noteNameLabel", notes, "note") +
                 Entries("PresetEditor.MidiNoteSelector|octaveNameLabel", octaves, "octave"));
        ASSERT_TRUE(CreateWindow(u"window"));
        selector = RCPtr<LMidiNoteSelector>(root->FindChildControl(u"noteSelector"));
        ASSERT_TRUE(selector);
        upDown = RCPtr<SV::LNumericUpDown>(selector->FindChildControl(u"numericUpDown"));
    }

    void Choose(double note) { upDown->SetNormalizedValue(upDown->ValueToNormalized(note)); }
    std::string Shown() const
    {
        return N(selector->FindChildControl(u"noteNameLabel")->GetText()) + " " +
               N(selector->FindChildControl(u"octaveNameLabel")->GetText());
    }

    RCPtr<LMidiNoteSelector> selector;
    RCPtr<SV::LNumericUpDown> upDown;
};

TEST_F(MidiNoteSelectorTest, NamesTheNoteWithinItsOctaveAndTheOctave)
{
    Build(12, 11);
    EXPECT_EQ(Shown(), "note0 octave0");
    const struct
    {
        double note;
        const char* shown;
    } kCases[] = {{11, "note11 octave0"},
                  {12, "note0 octave1"},
                  {60, "note0 octave5"},
                  {127, "note7 octave10"},
                  {200, "note7 octave10"}};
    for (const auto& c : kCases) {
        Choose(c.note);
        EXPECT_EQ(Shown(), c.shown) << c.note;
    }
}

TEST_F(MidiNoteSelectorTest, ALabelWithoutSuchAnEntryKeepsItsText)
{
    Build(12, 2);
    Choose(23);
    EXPECT_EQ(Shown(), "note11 octave1");
    Choose(24);
    EXPECT_EQ(Shown(), "note0 octave1");
}

TEST_F(MidiNoteSelectorTest, WithoutAPartTheSelectorStaysAsItIs)
{
    Load(SelectorSkin(svtest::UpDownSkin("numericUpDown")));
    ASSERT_TRUE(CreateWindow(u"window"));
    const RCPtr<LMidiNoteSelector> partial(root->FindChildControl(u"noteSelector"));
    ASSERT_TRUE(partial);
    const RCPtr<SV::LNumericUpDown> arrows(partial->FindChildControl(u"numericUpDown"));
    // The up-down keeps its own range, and nothing is looked up without the labels.
    arrows->SetNormalizedValue(1.0);
    EXPECT_NE(arrows->GetValue(), 127.0);
    partial->UpdateLabels();
    EXPECT_EQ(partial->SetLabelFromStringTable(nullptr, 0, nullptr), 0);
}

} // namespace
