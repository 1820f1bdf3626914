#include "Windows/CursorNames.h"

namespace SV {

const WideString UI_CURSOR_DROP_MOVE(u"UI_CURSOR_DROP_MOVE");
const WideString UI_CURSOR_DROP_COPY(u"UI_CURSOR_DROP_COPY");
const WideString UI_CURSOR_SPLIT_V(u"UI_CURSOR_SPLIT_V");
const WideString UI_CURSOR_SPLIT_H(u"UI_CURSOR_SPLIT_H");
const WideString UI_CURSOR_ROTATE(u"UI_CURSOR_ROTATE");
const WideString UI_CURSOR_MAG(u"UI_CURSOR_MAG");
const WideString UI_CURSOR_MAG_PLUS(u"UI_CURSOR_MAG_PLUS");
const WideString UI_CURSOR_MAG_MINUS(u"UI_CURSOR_MAG_MINUS");
const WideString UI_CURSOR_ARROW(u"UI_CURSOR_ARROW");
const WideString UI_CURSOR_IBEAM(u"UI_CURSOR_IBEAM");
const WideString UI_CURSOR_WAIT(u"UI_CURSOR_WAIT");
const WideString UI_CURSOR_CROSS(u"UI_CURSOR_CROSS");
const WideString UI_CURSOR_UP_ARROW(u"UI_CURSOR_UP_ARROW");
const WideString UI_CURSOR_SIZE_ALL(u"UI_CURSOR_SIZE_ALL");
const WideString UI_CURSOR_SIZE_NWSE(u"UI_CURSOR_SIZE_NWSE");
const WideString UI_CURSOR_SIZE_NESW(u"UI_CURSOR_SIZE_NESW");
const WideString UI_CURSOR_SIZE_WE(u"UI_CURSOR_SIZE_WE");
const WideString UI_CURSOR_SIZE_NS(u"UI_CURSOR_SIZE_NS");
const WideString UI_CURSOR_NO_DROP(u"UI_CURSOR_NO_DROP");
const WideString UI_CURSOR_HAND(u"UI_CURSOR_HAND");
const WideString UI_CURSOR_APP_STARTING(u"UI_CURSOR_APP_STARTING");
const WideString UI_CURSOR_HELP(u"UI_CURSOR_HELP");

bool IsSameCursorName(const WideString& name, const WideString& processName)
{
    return name.GetText() == processName.GetText();
}

} // namespace SV
