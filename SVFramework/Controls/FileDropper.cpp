#include "Controls/FileDropper.h"

#include "ControlBase/ControlCreator.h"
#include "ResultCodes.h"

namespace SV {

namespace {

constexpr uint32_t kBothAxes = 3;

} // namespace

LFileDropper::LFileDropper(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived)
    : LControl(parent, name, mostDerived)
{}

LFileDropper::~LFileDropper() = default;

RCPtr<LControl> LFileDropper::CreateControl(const RCPtr<LControl>& parent,
                                            const ConstRCPtr<LControlDescriptor>& descriptor)
{
    return CreateControlOf<LFileDropper>(parent, descriptor);
}

void LFileDropper::EndDrag()
{
    const RCPtr<LControl> keepAlive(this);
    LControl::EndDrag();
    // A dropper at the top of a tree has nobody to take it away.
    if (const RCPtr<LControl> parent = mParent) {
        parent->DetachChildLater(keepAlive);
    }
}

void LFileDropper::OnConditionsChanged(const RCPtr<LConditionsParam>& conditions)
{
    LControl::OnConditionsChanged(conditions);
    if (!conditions) {
        return;
    }
    const uint32_t turnedOn = conditions->mNewMask & ~conditions->mOldMask;
    // Chosen at the press, after the press cleared the drag mode; threshold 0 makes the press
    // itself the start of the drag.
    if ((turnedOn & kConditionLeftPressed) != 0) {
        SetLayoutMode(kDragDrop, kBothAxes);
        SetDragThreshold(0);
    }
}

int32_t LFileDropper::FinishCreate()
{
    LControl::FinishCreate();
    SetFocusable(true);
    SetVisible(true);
    return S_OK;
}

} // namespace SV
