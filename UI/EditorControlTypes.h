// The editor's skin classes ("PresetEditor.*") with the control factory: its own controls and
// the plain panels and labels the skin names under editor classes.
#pragma once

#include <cstdint>

namespace SV {
class LControlFactory;
}

// 0, or the first failed registration's result.
int32_t RegisterEditorControlTypes(SV::LControlFactory& factory);
