// The program's own skin, as compiled into it: the main window and the About box are built from it
// with every part their controls look up by name, every look resolves to its pictures, and the
// controls are placed where the keyboard's picture has room for them.
#include "EditorSkinFixture.h"

#include "ControlBase/Control.h"
#include "ControlBase/ControlFactory.h"
#include "ControlBase/DockedPart.h"
#include "ControlBase/KeyParam.h"
#include "ControlBase/Look.h"
#include "ControlBase/LookDescriptor.h"
#include "Controls/ComboBox.h"
#include "Controls/ControlTypes.h"
#include "Controls/ListBox.h"
#include "Controls/Panel.h"
#include "System/ModifierKeys.h"
#include "VirtualKeys.h"
#include "Windows/RootWindow.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using SV::RCPtr;
using SV::WideString;

std::string N(const WideString& text)
{
    return text.ToNarrow().GetText();
}

// The control at a path of names separated by '/', below `root`; empty when a step is missing.
RCPtr<SV::LControl> Find(const RCPtr<SV::LControl>& root, const std::string& path)
{
    RCPtr<SV::LControl> control = root;
    size_t start = 0;
    while (control && start <= path.size()) {
        const size_t end = path.find('/', start);
        const std::string name = path.substr(start, end - start);
        control = control->FindChildControl(WideString(name.c_str()));
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return control;
}

void ForEachControl(const RCPtr<SV::LControl>& control,
                    const std::function<void(const RCPtr<SV::LControl>&)>& visit)
{
    visit(control);
    for (int32_t i = 0; i < control->GetChildren().GetCount(); ++i) {
        ForEachControl(control->GetChildren().GetAt(i, 0), visit);
    }
}

std::string PathOf(const RCPtr<SV::LControl>& control)
{
    std::string path = N(control->GetName());
    for (RCPtr<SV::LControl> up = control->GetParent(); up; up = up->GetParent()) {
        path = N(up->GetName()) + "/" + path;
    }
    return path;
}

// The editor's classes that are not written yet stand in as plain panels; the program's own
// registration comes first and keeps its classes.
class SkinTest : public svtest::EditorSkinFixture
{
protected:
    void SetUp() override
    {
        SV::RCPtr<SV::LControlFactory> factory(new SV::LControlFactory(u"PresetEditor"));
        ASSERT_EQ(factory->LoadResources(u"::", 0x0409), 0);
        SV::RegisterFrameworkControlTypes(*factory);
        ASSERT_EQ(RegisterEditorControlTypes(*factory), 0);
        for (const char16_t* panel :
             {u"PresetEditor.ChannelCommType", u"PresetEditor.Arpeggiator"}) {
            factory->RegisterControlCreateFunction(panel, &SV::LPanel::CreateControl);
        }
        app = RCPtr<svtest::EditorApplicationDouble>(new svtest::EditorApplicationDouble(factory));
        controls = std::make_unique<svtest::EditorControlServices>();
        controls->mFactory = factory;
        controls->mCenter = app->GetNotificationCenter();
    }

    RCPtr<SV::LControl> Create(const char16_t* name)
    {
        if (root) {
            root->Detach();
        }
        return CreateWindow(name);
    }
};

struct Expected
{
    std::string path;
    int32_t looks; // number of look slots; -1 when the control needs none
};

// Each combo box's drop-down list and its scroll bars.
std::vector<Expected> ComboParts(const std::string& combo)
{
    std::vector<Expected> parts = {{"", 7},
                                   {"/listBox", 1},
                                   {"/listBox/corner", 1},
                                   {"/listBox/vBar/dec", 14},
                                   {"/listBox/vBar/inc", 14},
                                   {"/listBox/vBar/channel", 2},
                                   {"/listBox/vBar/channel/thumb", 14},
                                   {"/listBox/hBar/dec", 14},
                                   {"/listBox/hBar/inc", 14},
                                   {"/listBox/hBar/channel", 2},
                                   {"/listBox/hBar/channel/thumb", 14}};
    std::vector<Expected> result;
    for (const Expected& part : parts) {
        result.push_back({combo + part.path, part.looks});
    }
    return result;
}

std::vector<Expected> UpDownParts(const std::string& upDown)
{
    std::vector<Expected> result;
    for (const Expected& part : std::vector<Expected>{
             {"/textBox", 14}, {"/buttonUp", 14}, {"/buttonDown", 14}, {"/slider1", -1}}) {
        result.push_back({upDown + part.path, part.looks});
    }
    return result;
}

TEST_F(SkinTest, TheMainWindowHasEveryControlTheEditorAndItsControlsLookUpWithTheirLooks)
{
    const RCPtr<SV::LControl> main = Create(u"mainControl");
    ASSERT_TRUE(main);
    EXPECT_EQ(main->GetRect().width, 1200.0);
    EXPECT_EQ(main->GetRect().height, 720.0);

    std::vector<Expected> expected = {
        {"mainMenu", 1},
        {"viewDevice", -1},
        {"viewDevice/productImage", 1},
        {"viewDevice/companyLabel", 1},
        {"viewDevice/productLabel", 1},
        {"viewDevice/arpeggiatorLabel", 1},
        {"viewDevice/commType/midiChannelLabel", 1},
        {"viewDevice/arpeggiator/arpEnabledButton", 14},
        {"viewDevice/transposePanel/octave/octaveLabel", 1},
        {"viewDevice/transposePanel/transpose/transposeLabel", 1},
        {"viewDevice/programBankPanel/sendToRam", 14},
    };
    for (const char* label :
         {"tempoLabel", "noteRepeatTimeDivLabel", "swingLabel", "arpOctaveLabel", "arpModeLabel",
          "arpLatchLabel", "tapTempoLabel", "noteRepeatClockLabel"}) {
        expected.push_back({std::string("viewDevice/arpeggiator/") + label, 1});
    }
    for (int i = 1; i <= 4; ++i) {
        const std::string bank = "viewDevice/programBankPanel/";
        const std::string n = std::to_string(i);
        expected.push_back({bank + "program" + n + "Label", 1});
        expected.push_back({bank + "getProgram" + n, 14});
        expected.push_back({bank + "sendProgram" + n, 14});
    }
    for (const char* combo :
         {"commType/midiChannelComboBox", "arpeggiator/noteRepeatTimeDivisionComboBox",
          "arpeggiator/swingTypeComboBox", "arpeggiator/arpOctaveComboBox",
          "arpeggiator/arpModeComboBox", "arpeggiator/arpLatchComboBox",
          "arpeggiator/tapTempComoBox", "arpeggiator/noteRepeatClockComboBox"}) {
        for (const Expected& part : ComboParts(std::string("viewDevice/") + combo)) {
            expected.push_back(part);
        }
    }
    for (const char* upDown :
         {"arpeggiator/tempoNumericUpDown", "transposePanel/octave/octaveNumericUpDown",
          "transposePanel/transpose/transposeNumericUpDown"}) {
        for (const Expected& part : UpDownParts(std::string("viewDevice/") + upDown)) {
            expected.push_back(part);
        }
    }
    for (const Expected& part : expected) {
        const RCPtr<SV::LControl> control = Find(main, part.path);
        ASSERT_TRUE(control) << part.path;
        if (part.looks >= 0) {
            EXPECT_EQ(control->GetLooks().GetCount(), part.looks) << part.path;
        }
    }
}

// The texts the skin's controls show come from the program's string tables.
TEST_F(SkinTest, TheBankTheArpeggiatorSwitchAndTheHardwareCheckHaveTheirTexts)
{
    const RCPtr<SV::LControl> main = Create(u"mainControl");
    ASSERT_TRUE(main);
    const struct
    {
        const char* path;
        const char* text;
    } texts[] = {
        {"viewDevice/programBankPanel/program1Label", "PROGRAM 1"},
        {"viewDevice/programBankPanel/program4Label", "PROGRAM 4"},
        {"viewDevice/programBankPanel/getProgram2", "GET"},
        {"viewDevice/programBankPanel/sendProgram3", "SEND"},
        {"viewDevice/programBankPanel/sendToRam", "SEND TO RAM"},
        {"viewDevice/arpeggiator/arpEnabledButton", "ARP ON"},
        {"viewDevice/commType/midiChannelLabel", "MIDI CHANNEL"},
    };
    for (const auto& expected : texts) {
        const RCPtr<SV::LControl> control = Find(main, expected.path);
        ASSERT_TRUE(control) << expected.path;
        EXPECT_EQ(N(control->GetText()), expected.text) << expected.path;
    }
    // The box shown when the devices cannot be listed says what went wrong.
    EXPECT_EQ(N(main->GetLocalizedText(u"HARDWARE_CONFIG_ERROR_TITLE")),
              "Hardware Configuration Error");
    EXPECT_FALSE(main->GetLocalizedText(u"HARDWARE_CONFIG_ERROR_MESSAGE").IsEmpty());
}

// The pointer reaches the controls through the transparent panels around them, and a menu title
// whose normal picture is clear still takes it from the bar behind.
TEST_F(SkinTest, ThePointerFindsTheMenuTitlesRowsAndControlsUnderIt)
{
    const RCPtr<SV::LControl> main = Create(u"mainControl");
    ASSERT_TRUE(main);
    const struct
    {
        SV::PointT<int32_t> point;
        const char* path;
    } targets[] = {
        {{30, 11}, "mainControl/mainMenu/File"},
        {{80, 11}, "mainControl/mainMenu/Help"},
        {{120, 248}, "mainControl/viewDevice/commType/midiChannelComboBox"},
        {{800, 256}, "mainControl/viewDevice/programBankPanel/getProgram1"},
        {{950, 370}, "mainControl/viewDevice/programBankPanel/sendToRam"},
    };
    for (const auto& target : targets) {
        SV::PointT<int32_t> local;
        int32_t z = 0;
        const RCPtr<SV::LControl> hit = main->HitTest(target.point, true, local, z);
        ASSERT_TRUE(hit) << target.path;
        EXPECT_EQ(PathOf(hit), target.path);
    }
}

// Every combo box opens its list below itself, at most 80 pixels high in whole rows; a list whose
// items do not fit shows its vertical bar, whose track runs from one arrow to the other.
TEST_F(SkinTest, EveryComboListOpensBelowAtMostEightyHighWithABarWhenItsItemsDoNotFit)
{
    const RCPtr<SV::LControl> main = Create(u"mainControl");
    ASSERT_TRUE(main);
    int32_t combos = 0;
    ForEachControl(main, [&combos](const RCPtr<SV::LControl>& control) {
        auto* combo = dynamic_cast<SV::LComboBox*>(control.Get());
        if (combo == nullptr) {
            return;
        }
        ++combos;
        const RCPtr<SV::LListBox> list = combo->GetList();
        ASSERT_TRUE(list) << PathOf(control);
        ASSERT_EQ(combo->ShowDropDown(true), S_OK);
        const std::string path = PathOf(control);
        const SV::RectT<double>& r = list->GetRect();
        EXPECT_EQ(list->GetPositionInRoot().y,
                  combo->GetPositionInRoot().y + combo->GetRect().height)
            << path;
        EXPECT_LE(r.height, 80.0) << path;
        const double rows = list->GetLookRect(-1).height / list->GetItemHeight();
        EXPECT_EQ(rows, double(int32_t(rows))) << path << " shows part of a row";
        const bool overflows = list->GetItemCount() > uint32_t(rows);
        EXPECT_EQ(list->IsScrollBarShown(1), overflows) << path;
        EXPECT_FALSE(list->IsScrollBarShown(0)) << path;
        const RCPtr<SV::LControl> bar = list->FindChildControl(u"vBar");
        ASSERT_TRUE(bar) << path;
        if (overflows) {
            const RCPtr<SV::LControl> channel = bar->FindChildControl(u"channel");
            const RCPtr<SV::LControl> inc = bar->FindChildControl(u"inc");
            ASSERT_TRUE(channel && inc) << path;
            EXPECT_EQ(channel->GetRect().y + channel->GetRect().height, inc->GetRect().y) << path;
        }
        combo->ShowDropDown(false);
    });
    EXPECT_EQ(combos, 8);
}

// Tab walks the window as it is read: the MIDI channel, the octave and the transpose, the
// arpeggiator row by row, then the program bank row by row, and round again; Shift+Tab goes back
// the same way.
TEST_F(SkinTest, TabWalksTheWindowInReadingOrderAndShiftTabGoesBack)
{
    const RCPtr<SV::LControl> main = Create(u"mainControl");
    ASSERT_TRUE(main);
    const std::string arp = "mainControl/viewDevice/arpeggiator/";
    const std::string bank = "mainControl/viewDevice/programBankPanel/";
    const std::vector<std::string> order = {
        "mainControl/viewDevice/commType/midiChannelComboBox",
        "mainControl/viewDevice/transposePanel/octave/octaveNumericUpDown/textBox",
        "mainControl/viewDevice/transposePanel/transpose/transposeNumericUpDown/textBox",
        arp + "tempoNumericUpDown/textBox",
        arp + "noteRepeatTimeDivisionComboBox",
        arp + "swingTypeComboBox",
        arp + "arpOctaveComboBox",
        arp + "arpModeComboBox",
        arp + "arpLatchComboBox",
        arp + "arpEnabledButton",
        arp + "tapTempComoBox",
        arp + "noteRepeatClockComboBox",
        bank + "getProgram1",
        bank + "getProgram2",
        bank + "getProgram3",
        bank + "getProgram4",
        bank + "sendProgram1",
        bank + "sendProgram2",
        bank + "sendProgram3",
        bank + "sendProgram4",
        bank + "sendToRam",
    };
    const auto focused = [this] {
        const RCPtr<SV::LControl>& holder = window->GetFocusedControl();
        return holder ? PathOf(holder) : std::string("nothing");
    };
    const auto press = [this](uint32_t modifiers) {
        window->OnKey(SV::CreateKeyParam(SV::KeyCode(VK_TAB, true, 0, modifiers), 1));
    };
    // The window's first focus is where reading starts.
    main->SetFocus(true);
    std::vector<std::string> forwards = {focused()};
    for (size_t i = 0; i < order.size(); ++i) {
        press(0);
        forwards.push_back(focused());
    }
    std::vector<std::string> expected = order;
    expected.push_back(order.front());
    EXPECT_EQ(forwards, expected);

    std::vector<std::string> backwards;
    for (size_t i = 0; i < order.size(); ++i) {
        press(SV::kModifierShift);
        backwards.push_back(focused());
    }
    expected.assign(order.rbegin(), order.rend());
    EXPECT_EQ(backwards, expected);
}

// The menu bar has no tool tip of its own: its internal name is nothing to show a user.
TEST_F(SkinTest, TheMenuBarOffersNoToolTip)
{
    const RCPtr<SV::LControl> main = Create(u"mainControl");
    ASSERT_TRUE(main);
    const RCPtr<SV::LControl> bar = Find(main, "mainMenu");
    ASSERT_TRUE(bar);
    EXPECT_EQ(N(bar->GetToolTipText()), "");
}

// The reader leaves out a part it cannot find, so a misspelt picture shows as a look without
// its client part or with fewer frame pieces than the skin lists.
TEST_F(SkinTest, EveryLookOfBothWindowsFindsItsPictures)
{
    for (const char16_t* name : {u"mainControl", u"dialogAbout"}) {
        const RCPtr<SV::LControl> top = Create(name);
        ASSERT_TRUE(top);
        ForEachControl(top, [](const RCPtr<SV::LControl>& control) {
            const SV::RCPtrArray<SV::LLook>& looks = control->GetLooks();
            // Children are drawn through their parent's shown look: a container without one
            // hides them.
            if (control->GetChildren().GetCount() > 0) {
                EXPECT_GT(looks.GetCount(), 0) << PathOf(control);
            }
            for (int32_t i = 0; i < looks.GetCount(); ++i) {
                const RCPtr<SV::LLook>& look = *looks.At(i);
                if (!look) {
                    continue;
                }
                const SV::ConstRCPtr<SV::LLookDescriptor>& descriptor = look->GetDescriptor();
                ASSERT_TRUE(descriptor);
                EXPECT_TRUE(descriptor->clientPart)
                    << PathOf(control) << " " << N(descriptor->name);
                const int32_t pieces = descriptor->nonClientParts.GetCount();
                EXPECT_TRUE(pieces == 0 || pieces == 1 || pieces == 3 || pieces == 9)
                    << PathOf(control) << " " << N(descriptor->name) << " " << pieces;
                if (descriptor->hasTextProperties) {
                    EXPECT_TRUE(descriptor->textForegroundPart) << N(descriptor->name);
                }
            }
        });
    }
}

TEST_F(SkinTest, TheBodyFillsTheWindowAndThePanelsSitInItsRecesses)
{
    const RCPtr<SV::LControl> main = Create(u"mainControl");
    ASSERT_TRUE(main);
    struct Place
    {
        const char* path;
        double x, y, width, height;
    };
    // Rectangles in the device view, as the picture's areas lie on the body.
    const Place places[] = {
        {"viewDevice/productImage", 0, 0, 1200, 720},
        {"viewDevice/companyLabel", 64, 76, 124, 34},
        {"viewDevice/commType", 64, 165, 124, 101},
        {"viewDevice/arpeggiator", 204, 165.4, 545, 101},
        {"viewDevice/transposePanel", 64, 282, 124, 102},
        {"viewDevice/programBankPanel", 765, 165, 371, 219},
    };
    for (const Place& place : places) {
        const RCPtr<SV::LControl> control = Find(main, place.path);
        ASSERT_TRUE(control) << place.path;
        const SV::RectT<double>& rect = control->GetRect();
        EXPECT_NEAR(rect.x, place.x, 0.5) << place.path;
        EXPECT_NEAR(rect.y, place.y, 0.5) << place.path;
        EXPECT_NEAR(rect.width, place.width, 0.5) << place.path;
        EXPECT_NEAR(rect.height, place.height, 0.5) << place.path;
    }
    EXPECT_EQ(Find(main, "mainMenu")->GetRect().height, 24.0);
    EXPECT_EQ(Find(main, "mainMenu")->GetRect().width, 1200.0);
}

TEST_F(SkinTest, TheAboutBoxIsFiveHundredByTwoHundredWithItsLogosAndLines)
{
    const RCPtr<SV::LControl> about = Create(u"dialogAbout");
    ASSERT_TRUE(about);
    EXPECT_EQ(about->GetRect().width, 500.0);
    EXPECT_EQ(about->GetRect().height, 200.0);
    const RCPtr<SV::LControl> company = Find(about, "companyLogo");
    const RCPtr<SV::LControl> product = Find(about, "productLogo");
    const RCPtr<SV::LControl> line = Find(about, "labelProduct");
    const RCPtr<SV::LControl> copyright = Find(about, "labelCopyright");
    ASSERT_TRUE(company && product && line && copyright);
    EXPECT_EQ(company->GetRect().width, 400.0);
    EXPECT_EQ(company->GetRect().height, 90.0);
    EXPECT_EQ(product->GetRect().y, company->GetRect().y + 90 + 16);
    EXPECT_EQ(product->GetRect().width, 400.0);
    EXPECT_EQ(line->GetRect().y, product->GetRect().y + 30 + 10);
    EXPECT_EQ(copyright->GetRect().y, line->GetRect().y + line->GetRect().height + 5);
    EXPECT_LE(copyright->GetRect().y + copyright->GetRect().height, 200.0);
}

} // namespace
