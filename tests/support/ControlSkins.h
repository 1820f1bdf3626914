// Builders of the small skins the controls' tests load: the window that holds the controls under
// test, their sub-controls and look lists of one look repeated. What a test checks stays in its
// own attributes; the frame around them is written here once.
#pragma once

#include <cstdint>
#include <string>

namespace svtest {

// A look list of `count` entries, each the look `look`.
inline std::string RepeatedLookList(const std::string& name, int32_t count,
                                    const std::string& look = "Plain")
{
    std::string list =
        "<LookList Name=\"" + name + "\" NumLooks=\"" + std::to_string(count) + "\">";
    for (int32_t index = 0; index < count; ++index) {
        list += "<Look Name=\"" + look + "\" Index=\"" + std::to_string(index) + "\"/>";
    }
    return list + "</LookList>";
}

// A <SubControl> of class `controlClass` named `name`, placed and sized by `attributes`
// (XSizeAbs="20" YSizeAbs="100"). With `parts` or `skinAttributes` it has a skin of its own name
// holding those parts (its sub-controls), with those attributes (a LookList).
inline std::string SubControl(const std::string& controlClass, const std::string& name,
                              const std::string& attributes, const std::string& parts = "",
                              const std::string& skinAttributes = "")
{
    const std::string head =
        "<SubControl Class=\"" + controlClass + "\" Name=\"" + name + "\" " + attributes;
    if (parts.empty() && skinAttributes.empty()) {
        return head + "/>\n";
    }
    std::string skin = "<Skin Name=\"" + name + "\"";
    if (!skinAttributes.empty()) {
        skin += " " + skinAttributes;
    }
    skin += parts.empty() ? "/>\n" : ">\n" + parts + "</Skin>\n";
    return head + ">\n" + skin + "</SubControl>\n";
}

// The skin "Default": the 400 x 300 panel "window" holding `controls`, the tree a controls' test
// creates with CreateWindow(u"window").
inline std::string WindowSkin(const std::string& controls)
{
    return "<Skin Name=\"Default\">\n" +
           SubControl("Framework.Panel", "window", R"(XSizeAbs="400" YSizeAbs="300")", controls) +
           "</Skin>\n";
}

// The template row of a list: as wide as the list's client area, 20 pixels high, with a 16 x 16
// check box; the row and the box take their looks from the list "States".
inline std::string CheckBoxRowTemplate(const std::string& rowClass)
{
    return SubControl(rowClass, "templateItem",
                      R"(XSizeToControl="Client" XSizeRel="1" YSizeAbs="20")",
                      SubControl("Framework.Button", "checkBox", R"(XSizeAbs="16" YSizeAbs="16")",
                                 "", R"(LookList="States")"),
                      R"(LookList="States")");
}

} // namespace svtest
