// Tool tips, cursors and edit commands of a control.
#include "ControlBase/Control.h"

#include "ControlBase/ControlApplication.h"
#include "ControlBase/ControlFactory.h"
#include "ControlBase/ToolTipControl.h"
#include "ObjectBase/Exception.h"
#include "Windows/CursorNames.h"
#include "Windows/RootWindow.h"
#include "Windows/WindowApplication.h"

#include <stdexcept>

namespace SV {

int32_t LControl::ShowToolTip(bool show)
{
    if (!show) {
        const RCPtr<LControl> child = FindChildControl(u"toolTip");
        if (auto* tip = dynamic_cast<IToolTipControl*>(child.Get())) {
            tip->Hide();
        }
        return S_OK;
    }
    const WideString text = GetToolTipText();
    IControlApplication* application = GetControlApplication();
    const RCPtr<LControlFactory> factory =
        application != nullptr ? application->GetControlFactory() : nullptr;
    if (text.IsEmpty() || !factory) {
        return S_OK;
    }
    // A skin without a tool-tip description shows no tips.
    const RCPtr<LControlDescriptor> descriptor = factory->FindRootDescriptor(u"toolTip");
    if (!descriptor) {
        return S_OK;
    }
    const RCPtr<LControl> control = factory->CreateControl(RCPtr<LControl>(this), descriptor);
    auto* tip = dynamic_cast<IToolTipControl*>(control.Get());
    if (tip == nullptr) {
        if (control) {
            control->Detach();
        }
        return S_OK;
    }
    control->SetText(text);
    tip->Show();
    return S_OK;
}

RCPtr<LControl> LControl::GetEditTarget()
{
    if (SupportsEdit()) {
        return RCPtr<LControl>(this);
    }
    // Asked of the parent as a whole, so that a container may name another control.
    return mParent ? mParent->GetEditTarget() : nullptr;
}

bool LControl::CanPerformEdit(int32_t /*operation*/) const
{
    return false;
}

int32_t LControl::PerformEdit(int32_t /*operation*/)
{
    throw Exception<std::logic_error>(
        "Logic Error : LControl::PerformEdit must be overridden : SV::LControl::PerformEdit : "
        "ControlBase/Control : Line 580");
}

void LControl::SetCursor(svp::HCURSOR cursor)
{
    if (cursor == mCursor) {
        return;
    }
    const bool hadCursor = mCursor != nullptr;
    mCursor = cursor;
    if (mPointerOver) {
        const svp::HCURSOR previous = ApplyCursor();
        if (!hadCursor) {
            mRestoreCursor = previous;
        }
    }
}

svp::HCURSOR LControl::ApplyCursor()
{
    const RCPtr<LRootWindow>& window = GetRootWindowRef();
    if (!window) {
        return nullptr;
    }
    svp::HCURSOR cursor = mCursor;
    if (cursor == nullptr && GetWindowApplication() != nullptr) {
        cursor = GetWindowApplication()->GetCursor(WideString(u"UI_CURSOR_ARROW"));
    }
    return window->SetCursor(cursor);
}

} // namespace SV
