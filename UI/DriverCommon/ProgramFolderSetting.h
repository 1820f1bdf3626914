// Remembers the folder of the last program file saved, as "PresetLastFolderPath" in the user
// settings. Nothing reads it back.
#pragma once

#include "Utilities/Storage/StringT.h"

// Stores the folder of a save dialog (its GetDirectory) in the user settings file; the result
// is ignored, as the settings may be missing altogether. User-interface thread.
void SaveProgramFolderSetting(const SV::WideString& folder);
