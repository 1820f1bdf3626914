// The text side of a status bar, through which the application shows a busy message: the status
// bar control implements it. Nothing registers one in this program, so the busy message shows
// only the wait cursor.
#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace SV {

class IStatusBarText : public virtual LRefCountedObject
{
public:
    // Sets the text at once and redraws.
    virtual int32_t SetStatusText(const WideString& text) = 0;
    // Sets the text when the status bar's queue is next processed.
    virtual int32_t PostStatusText(const WideString& text) = 0;
    virtual WideString GetStatusText() const = 0;
};

} // namespace SV
