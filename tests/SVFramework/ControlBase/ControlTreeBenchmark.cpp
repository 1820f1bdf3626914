// Creating, laying out and measuring a window's tree of 300 controls from a skin document (the
// size of the editor's main window), and laying it out again after a size change.
#include "ControlApplicationDouble.h"
#include "TempFolder.h"

#include "ControlBase/Control.h"
#include "ControlBase/ControlFactory.h"
#include "Controls/ControlTypes.h"
#include "ResultCodes.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

using namespace SV;

namespace {

// 20 panels of 14 labels each under the main panel, with expanding labels, sibling references
// and a relative layout.
std::string MakeSkin()
{
    std::string skin = R"(<Skin_Definitions>
  <Application Name="PresetEditor"/>
  <Colorizers><Colorizer Name="Black" ColorType="SolidFill" Color="FF000000"/></Colorizers>
  <Parts><Part Name="Black" Width="1" Height="1" ResizeType="Stretch" ColorizerName="Black"/></Parts>
  <Looks><Look Name="Text">
    <TextProperties TextLeftRel="0" TextLeftAbs="2" TextRightRel="1" TextRightAbs="-2"
                    TextHAlign="0.5" TextTopRel="0" TextTopAbs="0" TextBottomRel="1"
                    TextBottomAbs="0" TextVAlign="0.5" TextForegroundPart="Black"/>
  </Look></Looks>
  <LookLists><LookList Name="Text" NumLooks="1"><Look Name="Text" Index="0"/></LookList></LookLists>
  <Skins><Skin Name="Default" FontName="Arial" FontSize="9">
  <SubControl Class="Framework.Panel" Name="mainControl" XSizeToControl="Client" XSizeRel="1"
              XSizeAbs="0" YSizeToControl="Client" YSizeRel="1" YSizeAbs="0">
  <Skin Name="mainControl">
)";
    for (int p = 0; p < 20; ++p) {
        const std::string name = "panel" + std::to_string(p);
        skin += "<SubControl Class=\"Framework.Panel\" Name=\"" + name + "\" XPositionRel=\"" +
                std::to_string((p % 5) * 0.2) + "\" YPositionRel=\"" +
                std::to_string((p / 5) * 0.25) +
                "\" XSizeToControl=\"Client\" XSizeRel=\"0.2\" XSizeAbs=\"-4\" "
                "YSizeToControl=\"Client\" YSizeRel=\"0.25\" YSizeAbs=\"-4\"><Skin Name=\"" +
                name + "\">\n";
        for (int l = 0; l < 14; ++l) {
            const std::string label = "label" + std::to_string(l);
            const std::string previous = l == 0 ? "" : "label" + std::to_string(l - 1);
            skin += "  <SubControl Class=\"Framework.Label\" Name=\"" + label + "\"";
            if (!previous.empty()) {
                skin += " YPositionToControl=\"" + previous + "\" YPositionRel=\"1\"";
            }
            skin += " XSizeToControl=\"Client\" XSizeRel=\"1\" XSizeAbs=\"0\" YSizeAbs=\"12\""
                    " TextOverflowXType=\"Wrap\" TextOverflowYType=\"Expand\" LayoutOrder=\"" +
                    std::to_string(l) + "\"><Skin Name=\"" + label +
                    "\" LookList=\"Text\"/></SubControl>\n";
        }
        skin += "</Skin></SubControl>\n";
    }
    skin += "</Skin></SubControl></Skin></Skins></Skin_Definitions>\n";
    return skin;
}

struct Fixture
{
    Fixture()
    {
        folder.WriteFile("Skins.xml", MakeSkin());
        app.mFactory->LoadSkins(WideString(folder.Join("Skins.xml").c_str()));
        RegisterFrameworkControlTypes(*app.mFactory);
        window = app.AddRootWindow({0, 0, 1200, 720});
        app.mActive = window;
    }

    svtest::TempFolder folder;
    svtest::ControlApplicationDouble app;
    RCPtr<LRootWindow> window;
};

int32_t CountControls(const LControl& control)
{
    int32_t count = 1;
    for (int32_t i = 0; i < control.GetChildren().GetCount(); ++i) {
        count += CountControls(*control.GetChildren().GetAt(i, LControl::kStoredOrder));
    }
    return count;
}

// Gives every label a text that wraps in narrow panels, which lays the labels out again.
void LabelTree(LControl& control)
{
    if (control.GetChildren().GetCount() == 0) {
        control.SetText(u"Arpeggiator pattern and gate length");
    }
    for (int32_t i = 0; i < control.GetChildren().GetCount(); ++i) {
        LabelTree(*control.GetChildren().GetAt(i, LControl::kStoredOrder));
    }
}

void BM_CreateWindowTree(benchmark::State& state)
{
    Fixture fixture;
    int32_t controls = 0;
    for (auto _ : state) {
        RCPtr<LControl> root =
            fixture.app.mFactory->CreateRootControl(u"mainControl", fixture.window);
        LabelTree(*root);
        controls = CountControls(*root);
        root->Detach();
    }
    state.counters["controls"] = controls;
}
BENCHMARK(BM_CreateWindowTree)->Unit(benchmark::kMillisecond);

void BM_RelayoutAfterSizeChange(benchmark::State& state)
{
    Fixture fixture;
    RCPtr<LControl> root = fixture.app.mFactory->CreateRootControl(u"mainControl", fixture.window);
    LabelTree(*root);
    bool wide = false;
    for (auto _ : state) {
        wide = !wide;
        fixture.window->SetWindowRect({0, 0, wide ? 1000 : 1200, wide ? 600 : 720});
        root->OnLayoutRequest({});
    }
    state.counters["controls"] = CountControls(*root);
    root->Detach();
}
BENCHMARK(BM_RelayoutAfterSizeChange)->Unit(benchmark::kMillisecond);

} // namespace
