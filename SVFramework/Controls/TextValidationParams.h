// What a text box hands the receivers of "NID_TEXTBOX_VALIDATING" and "NID_TEXTBOX_VALIDATED":
// the text to apply, which a receiver of the first may replace or refuse, and the text as it was
// when the validation began.
#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/StringT.h"

namespace SV {

class LTextValidationParams : public virtual LRefCountedObject
{
public:
    explicit LTextValidationParams(const WideString& text)
        : mText(text), mStartingText(text), mAccepted(true)
    {}

    WideString mText;
    WideString mStartingText;
    // Cleared by a receiver that refuses the text.
    bool mAccepted;
};

} // namespace SV
