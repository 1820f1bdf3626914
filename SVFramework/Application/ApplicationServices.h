// The platform services of the application object, apart from its class template so they are
// compiled once: folders, cursors, the default font, the work area and the system time.
#pragma once

#include "Desktop.h"
#include "Utilities/Graphics/Rect.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>
#include <string>

namespace SV {

// Folder 0 is the executable's folder, 1 "::" (the program's resources), 2 the system's and 3
// the user's configuration folder each with the company and product names below it (made safe
// for file names; the user's ones are created), 4 the user's documents. An empty path when the
// system cannot tell the folder. Any other id throws "Out of Range : Unknown Path ID." naming
// `function`.
WideString GetApplicationFolder(int32_t folderId, const WideString& companyName,
                                const WideString& productName, const std::string& function);

// The system cursor of a UI_CURSOR_* name, compared by text; the arrow for any other name.
svp::HCURSOR GetSystemCursorForName(const WideString& name);

// The desktop's icon-title font: face name, size in points, style bits (1 bold, 2 italic, 4
// underline, 8 strike-out). E_FAIL, with the outputs empty, when it cannot be read.
int32_t ReadDefaultFont(WideString& faceName, float& size, int32_t& style);

// The desktop's work area as x, y, width and height.
RectT<int32_t> ReadWorkArea();

// The current UTC date and time; the day of the week counts from Sunday as 0.
void ReadSystemTime(int32_t& year, int32_t& month, int32_t& dayOfWeek, int32_t& day, int32_t& hour,
                    int32_t& minute, int32_t& second, int32_t& milliseconds);

} // namespace SV
