// Pieces of the editor's skin for the tests: the main control with its device view, the edit
// panels and the bank panel, built up from a few helpers so that a test can leave one out.
#pragma once

#include <string>

namespace svtest {

inline std::string UpDownSkin(const std::string& name)
{
    return R"(<SubControl Class="Framework.NumericUpDown" Name=")" + name +
           R"(" XSizeAbs="100" YSizeAbs="20"><Skin Name=")" + name + R"(">
  <SubControl Class="Framework.TextBox" Name="textBox" XSizeAbs="80" YSizeAbs="20"/>
  <SubControl Class="Framework.Button" Name="buttonUp" XPositionAbs="80" XSizeAbs="20" YSizeAbs="10"/>
  <SubControl Class="Framework.Button" Name="buttonDown" XPositionAbs="80" YPositionAbs="10" XSizeAbs="20" YSizeAbs="10"/>
</Skin></SubControl>
)";
}

inline std::string ContainerSkin(const std::string& className, const std::string& name,
                                 const std::string& children)
{
    return R"(<SubControl Class=")" + className + R"(" Name=")" + name +
           R"(" XSizeAbs="300" YSizeAbs="100"><Skin Name=")" + name + R"(">
)" + children +
           "</Skin></SubControl>\n";
}

inline std::string TransposePanelSkin()
{
    return ContainerSkin(
        "PresetEditor.TransposePanel", "transposePanel",
        ContainerSkin("PresetEditor.Octave", "octave", UpDownSkin("octaveNumericUpDown")) +
            ContainerSkin("PresetEditor.Transpose", "transpose",
                          UpDownSkin("transposeNumericUpDown")));
}

// The bank panel with its nine buttons, less the one named `missing`.
inline std::string BankPanelSkin(const std::string& missing = "")
{
    std::string buttons;
    for (const char* name :
         {"getProgram1", "getProgram2", "getProgram3", "getProgram4", "sendProgram1",
          "sendProgram2", "sendProgram3", "sendProgram4", "sendToRam"}) {
        if (name != missing) {
            buttons += std::string(R"(<SubControl Class="Framework.Button" Name=")") + name +
                       R"(" XSizeAbs="20" YSizeAbs="20"/>)" + "\n";
        }
    }
    return ContainerSkin("PresetEditor.ProgramBankPanel", "programBankPanel", buttons);
}

// The skin "Default" with "mainControl" over a device view of these children, and other
// top-level controls after it.
inline std::string MainControlSkin(const std::string& viewChildren, bool withView = true,
                                   const std::string& otherTopControls = "")
{
    const std::string view =
        withView ? ContainerSkin("PresetEditor.MainControl.DeviceView", "viewDevice", viewChildren)
                 : std::string();
    return R"(<Skin Name="Default"><SubControl Class="PresetEditor.MainControl" Name="mainControl" XSizeAbs="1200" YSizeAbs="720"><Skin Name="mainControl">
)" + view + "</Skin></SubControl>" +
           otherTopControls + "</Skin>\n";
}

} // namespace svtest
