// Text as a reference-counted object: the form in which text travels as a notification payload
// and through the clipboard service.
#pragma once

#include "ObjectBase/Holder.h"
#include "ObjectBase/RCPtr.h"
#include "Utilities/Storage/StringT.h"

namespace SV {

inline WideString StringWrapperText(const WideString& text)
{
    return text;
}

using LStringWrapper = LWrapperStringable<WideString, LRefCountedObject, &StringWrapperText>;

// A new wrapper over a copy of the text.
[[nodiscard]] inline RCPtr<LStringWrapper> CreateStringWrapper(const WideString& text)
{
    return RCPtr<LStringWrapper>(new LStringWrapper(text));
}

} // namespace SV
