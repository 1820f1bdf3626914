// The main window's class name and its placement as the program keeps it between runs: entry
// "WP" in the section named after the class, in the profile of the application's company and
// product.
#pragma once

#include "WindowPlacement.h"

#include <optional>
#include <string>

namespace SV {

// "VedoziDuruzavaPresetEditorMainWindowClass" once the program set it; empty before.
const std::string& GetMainWindowClassName();
void SetMainWindowClassName(const std::string& name);

// The profile file of the running application; empty without an application or a
// configuration folder.
std::string GetProfilePath();

// False when there is no profile to write to or the write failed.
bool SaveMainWindowPlacement(const svp::WindowPlacement& placement);
// Only a whole, sane record is answered (see DecodeWindowPlacement).
std::optional<svp::WindowPlacement> LoadMainWindowPlacement();

} // namespace SV
