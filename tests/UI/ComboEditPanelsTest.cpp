#include "ArpeggiatorEditPanel.h"
#include "CommunicationTypeEditPanel.h"
#include "Notification/NotificationNames.h"

#include "EditorSkinFixture.h"
#include "EditorSkins.h"

#include "Controls/Button.h"
#include "Controls/ComboBox.h"
#include "Controls/NumericUpDown.h"
#include "DriverCommon/MainControl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
using SV::RCPtr;
using SetCall = svtest::ValueStoreEngine::SetCall;

SV::Variant Blob(const Bytes& bytes)
{
    SV::Variant value;
    value.SetBlob(bytes.data(), static_cast<uint32_t>(bytes.size()));
    return value;
}

std::string ComboSkin(const std::string& name)
{
    return R"(<SubControl Class="Framework.ComboBox" Name=")" + name +
           R"(" XSizeAbs="100" YSizeAbs="20"><Skin Name=")" + name + R"(">
  <SubControl Class="Framework.ListBox" Name="listBox" IsVisible="False" XSizeAbs="100" YSizeAbs="80">
    <Skin Name="listBox"><SubControl Class="Framework.ListBoxItem" Name="templateItem" XSizeAbs="100" YSizeAbs="18"/></Skin>
  </SubControl></Skin></SubControl>
)";
}

// The items of a combo box of the panel class, "ITEM.00" onwards.
std::string Items(const std::string& panelClass, const std::string& box, int count)
{
    std::string table = "<StringTable ID=\"" + panelClass + "|" + box + "\">";
    for (int i = 0; i < count; ++i) {
        const std::string id = (i < 10 ? "ITEM.0" : "ITEM.") + std::to_string(i);
        table += "<String ID=\"" + id + "\"><Locale LCID=\"0x0009\">item" + std::to_string(i) +
                 "</Locale></String>";
    }
    return table + "</StringTable>\n";
}

const struct
{
    const char* name;
    int items;
} kArpeggiatorBoxes[] = {{"arpModeComboBox", 6},         {"noteRepeatTimeDivisionComboBox", 8},
                         {"noteRepeatClockComboBox", 2}, {"arpLatchComboBox", 2},
                         {"swingTypeComboBox", 6},       {"tapTempComoBox", 3},
                         {"arpOctaveComboBox", 4}};

std::string ArpeggiatorSkin()
{
    std::string children =
        svtest::UpDownSkin("tempoNumericUpDown") +
        R"(<SubControl Class="Framework.Button" Name="arpEnabledButton" XSizeAbs="20" YSizeAbs="20"/>)";
    for (const auto& box : kArpeggiatorBoxes) {
        children += ComboSkin(box.name);
    }
    return svtest::ContainerSkin("PresetEditor.Arpeggiator", "arpeggiator", children);
}

std::string ChannelSkin()
{
    return svtest::ContainerSkin("PresetEditor.ChannelCommType", "commType",
                                 ComboSkin("midiChannelComboBox"));
}

std::string Strings()
{
    std::string strings = Items("PresetEditor.ChannelCommType", "midiChannelComboBox", 16);
    for (const auto& box : kArpeggiatorBoxes) {
        strings += Items("PresetEditor.Arpeggiator", box.name, box.items);
    }
    return strings;
}

class ComboEditPanelsTest : public svtest::EditorSkinFixture
{
protected:
    void SetUp() override
    {
        Load(svtest::MainControlSkin(ChannelSkin() + ArpeggiatorSkin()), Strings());
        main = RCPtr<SV::LMainControl>(CreateWindow(u"mainControl"));
        ASSERT_TRUE(main);
        channel = RCPtr<LCommunicationTypeEditPanel>(main->GetDevice()->GetCommunicationType());
        arpeggiator = RCPtr<LArpeggiatorEditPanel>(main->GetDevice()->GetArpeggiator());
        ASSERT_TRUE(channel && arpeggiator);
    }

    RCPtr<SV::LComboBox> Box(const RCPtr<SV::LControl>& panel, const char16_t* name) const
    {
        return RCPtr<SV::LComboBox>(panel->FindChildControl(name));
    }
    RCPtr<SV::LNumericUpDown> Tempo() const
    {
        return RCPtr<SV::LNumericUpDown>(arpeggiator->FindChildControl(u"tempoNumericUpDown"));
    }
    void Apply(int32_t id, const Bytes& bytes)
    {
        main->ApplyParamValue(SV::ParamDescriptor(id), Blob(bytes));
    }

    RCPtr<SV::LMainControl> main;
    RCPtr<LCommunicationTypeEditPanel> channel;
    RCPtr<LArpeggiatorEditPanel> arpeggiator;
};

TEST_F(ComboEditPanelsTest, TheChannelIsByteZeroAndByteOneIsSentAsZero)
{
    Apply(0, {0x09, 0x02});
    EXPECT_EQ(Box(channel, u"midiChannelComboBox")->GetSelectedIndex(), 9);
    EXPECT_TRUE(engine->SetCalls().empty());
    Box(channel, u"midiChannelComboBox")->SetSelectedIndex(15);
    EXPECT_EQ(engine->SetCalls(), (std::vector<SetCall>{{0, {0x0F, 0x00}}}));
    EXPECT_EQ(channel->SetParamValueLocal(SV::ParamDescriptor(0), Blob({0x01}), true), E_FAIL);
    EXPECT_EQ(channel->SetParamValueLocal(SV::ParamDescriptor(0), Blob({1, 0, 0}), true), E_FAIL);
}

TEST_F(ComboEditPanelsTest, AChannelPastTheListShowsTheNearestAndIsSentBackOnce)
{
    Apply(0, {0x20, 0x02});
    EXPECT_EQ(Box(channel, u"midiChannelComboBox")->GetSelectedIndex(), 15);
    Apply(0, {0xFF, 0x02});
    EXPECT_EQ(Box(channel, u"midiChannelComboBox")->GetSelectedIndex(), 0);
    EXPECT_EQ(engine->SetCalls(), (std::vector<SetCall>{{0, {0x0F, 0x00}}, {0, {0x00, 0x00}}}));
}

TEST_F(ComboEditPanelsTest, AnArpeggiatorValueSetsEveryControl)
{
    Apply(2, {0x01, 0x05, 0x07, 0x01, 0x01, 0x05, 0x04, 0x01, 0x70, 0x03});
    EXPECT_EQ(RCPtr<SV::LButton>(arpeggiator->FindChildControl(u"arpEnabledButton"))
                  ->GetNormalizedValue(),
              1.0);
    const struct
    {
        const char16_t* box;
        int32_t index;
    } kShown[] = {{u"arpModeComboBox", 5},         {u"noteRepeatTimeDivisionComboBox", 7},
                  {u"noteRepeatClockComboBox", 1}, {u"arpLatchComboBox", 1},
                  {u"swingTypeComboBox", 5},       {u"tapTempComoBox", 2},
                  {u"arpOctaveComboBox", 3}};
    for (const auto& shown : kShown) {
        EXPECT_EQ(Box(arpeggiator, shown.box)->GetSelectedIndex(), shown.index);
    }
    EXPECT_EQ(Tempo()->GetValue(), 240.0);
    EXPECT_TRUE(engine->SetCalls().empty());
    EXPECT_EQ(arpeggiator->SetParamValueLocal(SV::ParamDescriptor(2), Blob(Bytes(9)), true),
              E_FAIL);
    EXPECT_EQ(arpeggiator->SetParamValueLocal(SV::ParamDescriptor(2), Blob(Bytes(11)), true),
              E_FAIL);
}

TEST_F(ComboEditPanelsTest, EachUserChangeSendsTheWholeValue)
{
    Apply(2, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x78, 0x00});
    Box(arpeggiator, u"arpModeComboBox")->SetSelectedIndex(5);
    for (const double tempo : {240.0, 30.0, 128.0}) {
        Tempo()->SetNormalizedValue(Tempo()->ValueToNormalized(tempo));
    }
    const RCPtr<SV::LButton> button(arpeggiator->FindChildControl(u"arpEnabledButton"));
    for (int click = 0; click < 2; ++click) {
        button->Notify(SV::CreateNotification(SV::kNidLeftClick, nullptr));
    }
    EXPECT_EQ(engine->SetCalls(),
              (std::vector<SetCall>{{2, {0, 5, 0, 0, 0, 0, 2, 0x00, 0x78, 0}},
                                    {2, {0, 5, 0, 0, 0, 0, 2, 0x01, 0x70, 0}},
                                    {2, {0, 5, 0, 0, 0, 0, 2, 0x00, 0x1E, 0}},
                                    {2, {0, 5, 0, 0, 0, 0, 2, 0x01, 0x00, 0}},
                                    {2, {1, 5, 0, 0, 0, 0, 2, 0x01, 0x00, 0}},
                                    {2, {0, 5, 0, 0, 0, 0, 2, 0x01, 0x00, 0}}}));
}

TEST_F(ComboEditPanelsTest, FieldsPastTheirRangesShowTheNearestValueAndAreSentBackOnce)
{
    // Tempo 256, a negative mode, seven taps and an on byte of 2.
    Apply(2, {0x02, 0x80, 0x00, 0x00, 0x00, 0x00, 0x07, 0x02, 0x00, 0x00});
    EXPECT_EQ(Tempo()->GetValue(), 240.0);
    EXPECT_EQ(Box(arpeggiator, u"arpModeComboBox")->GetSelectedIndex(), 0);
    EXPECT_EQ(Box(arpeggiator, u"tapTempComoBox")->GetSelectedIndex(), 2);
    EXPECT_EQ(engine->SetCalls(),
              (std::vector<SetCall>{{2, {0x01, 0x00, 0, 0, 0, 0, 0x04, 0x01, 0x70, 0}}}));
}

// Any byte but 00 switches the arpeggiator on, 80 to FF as much as 01 to 7F; a byte other than
// 01 is sent back as 01.
TEST_F(ComboEditPanelsTest, EveryOnByteButZeroShowsTheArpeggiatorOn)
{
    const RCPtr<SV::LButton> button(arpeggiator->FindChildControl(u"arpEnabledButton"));
    const Bytes rest = {0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x78, 0x00};
    for (const uint8_t on : {0x00, 0x01, 0x02, 0x7F, 0x80, 0xC3, 0xFF}) {
        const size_t callsBefore = engine->SetCalls().size();
        Bytes value = {on};
        value.insert(value.end(), rest.begin(), rest.end());
        Apply(2, value);
        const uint8_t shown = on == 0x00 ? 0x00 : 0x01;
        EXPECT_EQ(button->GetNormalizedValue(), double(shown)) << int(on);
        const std::vector<SetCall> calls = engine->SetCalls();
        std::vector<SetCall> expected;
        if (on != shown) {
            Bytes sentBack = {shown};
            sentBack.insert(sentBack.end(), rest.begin(), rest.end());
            expected.push_back({2, sentBack});
        }
        EXPECT_EQ(std::vector<SetCall>(calls.begin() + ptrdiff_t(callsBefore), calls.end()),
                  expected)
            << int(on);
    }
}

} // namespace
