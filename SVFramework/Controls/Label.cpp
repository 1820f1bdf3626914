#include "Controls/Label.h"

#include "ControlBase/ControlCreator.h"
#include "ResultCodes.h"

namespace SV {

LLabel::LLabel(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived)
    : LControl(parent, name, mostDerived)
{}

RCPtr<LControl> LLabel::CreateControl(const RCPtr<LControl>& parent,
                                      const ConstRCPtr<LControlDescriptor>& descriptor)
{
    return CreateControlOf<LLabel>(parent, descriptor);
}

int32_t LLabel::FinishCreate()
{
    // After the properties: a label never takes the focus, whatever its CreateParams say.
    SetFocusable(true);
    return S_OK;
}

WideString LLabel::GetToolTipText() const
{
    return IsTextTruncated() ? GetText() : LControl::GetToolTipText();
}

} // namespace SV
