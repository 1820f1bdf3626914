// The names of the cursors the application hands out (GetCursor). Each is one process-wide
// string; the program's own cursors are recognised by that string's text buffer, so a copy of
// a name finds its cursor and an equal text built elsewhere does not.
#pragma once

#include "Utilities/Storage/StringT.h"

namespace SV {

extern const WideString UI_CURSOR_DROP_MOVE;
extern const WideString UI_CURSOR_DROP_COPY;
extern const WideString UI_CURSOR_SPLIT_V;
extern const WideString UI_CURSOR_SPLIT_H;
extern const WideString UI_CURSOR_ROTATE;
extern const WideString UI_CURSOR_MAG;
extern const WideString UI_CURSOR_MAG_PLUS;
extern const WideString UI_CURSOR_MAG_MINUS;
extern const WideString UI_CURSOR_ARROW;
extern const WideString UI_CURSOR_IBEAM;
extern const WideString UI_CURSOR_WAIT;
extern const WideString UI_CURSOR_CROSS;
extern const WideString UI_CURSOR_UP_ARROW;
extern const WideString UI_CURSOR_SIZE_ALL;
extern const WideString UI_CURSOR_SIZE_NWSE;
extern const WideString UI_CURSOR_SIZE_NESW;
extern const WideString UI_CURSOR_SIZE_WE;
extern const WideString UI_CURSOR_SIZE_NS;
extern const WideString UI_CURSOR_NO_DROP;
extern const WideString UI_CURSOR_HAND;
extern const WideString UI_CURSOR_APP_STARTING;
extern const WideString UI_CURSOR_HELP;

// True when `name` shares the text buffer of the process-wide name.
bool IsSameCursorName(const WideString& name, const WideString& processName);

} // namespace SV
