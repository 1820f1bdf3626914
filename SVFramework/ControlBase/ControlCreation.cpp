// The creation steps of LControl: applying a description (first and again), creating the
// children, initialising and reading the CreateParam properties.
#include "ControlBase/Control.h"
#include "Notification/NotificationNames.h"

#include "ControlBase/ControlApplication.h"
#include "ControlBase/ControlFactory.h"
#include "Notification/NotificationCenter.h"
#include "ResultCodes.h"
#include "Windows/RootWindow.h"

#include <algorithm>

namespace SV {

namespace {

constexpr const char16_t* kBlanks = u" \t\r\n";

bool ReadBool(const LStringTable& params, const char16_t* id, bool& present)
{
    WideString text;
    present = params.GetString(id, text);
    return present && text.Trim(kBlanks).ToLower().EqualsText(u"true");
}

} // namespace

const RCPtr<LStringTable>& LControl::GetStringTable() const
{
    return mStringTable;
}

WideString LControl::GetLocalizedText(const WideString& id) const
{
    WideString text;
    if (const RCPtr<LStringTable>& strings = GetStringTable()) {
        strings->GetString(id, text);
    }
    return text;
}

int32_t LControl::OnPlaceRootWindow(RectT<double>& /*placement*/)
{
    return S_OK;
}

bool LControl::GetBoolProperty(const char16_t* id, bool& present) const
{
    present = false;
    if (!mControlDescriptor || !mControlDescriptor->GetCreateParams()) {
        return false;
    }
    return ReadBool(*mControlDescriptor->GetCreateParams(), id, present);
}

int32_t LControl::ApplyDescriptor(const ConstRCPtr<LControlDescriptor>& descriptor)
{
    if (!descriptor) {
        return E_INVALIDARG;
    }
    RCPtr<LControl> keepAlive(this);
    const bool visible = mLayout ? mLayout->visible : true;
    const bool enabled = mLayout ? mLayout->enabled : true;
    if (mCreated) {
        SetClipToParent(true);
    }
    mControlDescriptor = descriptor;
    mLayout = descriptor->GetLayout() ? descriptor->GetLayout()->Clone()
                                      : RCPtr<LLayoutDescriptor>(new LLayoutDescriptor());

    if (mRootWindow) {
        mLayout->visible = true;
        if (mCreated) {
            PlaceRootWindowAgain();
        }
    }
    if (mCreated) {
        KeepVisibleAndEnabled(visible, enabled);
    }

    const RCPtr<LSkinDescriptor>& skin = descriptor->GetSkin();
    ReplaceLooks(skin);
    if (skin) {
        SetFontInheritance(skin->fontInheritsFromParent, skin->fontSizeIsRelative);
        SetFont(skin->fontName, skin->fontSize, skin->fontStyle, skin->fontSizeIsRelative);
    }
    ApplyLabel();

    if (!mLayout->clipToParent && mParent) {
        mParent->IncrementAncestorCounter();
    }

    RCPtrArray<LControl> previous;
    for (int32_t i = 0; i < mChildren.GetCount(); ++i) {
        previous.Add(mChildren.GetAt(i, kStoredOrder));
    }
    mChildren.RemoveAll();
    mRect = {};
    UpdateLayout();

    if (!mCreated) {
        ShowLook(0);
        mConditionsParam->mOldMask = mConditionsParam->mNewMask;
        mConditionsParam->mNewMask = ComputeConditions();
        mConditionsParam->mPoint = mDragStartPoint;
        return S_OK;
    }

    ReattachChildren(descriptor->GetChildren(), previous);
    UpdateConditions();

    FinishCreate();
    mChildren.MarkStale();
    if (!mParent && mRootWindow) {
        FillRootWindow();
    }
    return S_OK;
}

void LControl::PlaceRootWindowAgain()
{
    const RectT<int32_t> client = mRootWindow->GetScreenClientRect();
    const auto clamp = [](double v) {
        return std::clamp(v, -4503599627370496.0, 4503599627370496.0);
    };
    RectT<double> placement{clamp(client.x), clamp(client.y), mRect.width, mRect.height};
    if (OnPlaceRootWindow(placement) == 1) {
        const RectT<double> r = RoundEdges(placement);
        mRootWindow->SetWindowRect({int32_t(std::clamp(r.x, -2147483648.0, 2147483647.0)),
                                    int32_t(std::clamp(r.y, -2147483648.0, 2147483647.0)),
                                    int32_t(std::clamp(r.width, 0.0, 2147483647.0)),
                                    int32_t(std::clamp(r.height, 0.0, 2147483647.0))});
    }
    LayoutPositionSpec positions[2];
    LayoutSpec sizes[2];
    for (int32_t axis = 0; axis < 2; ++axis) {
        mLayout->GetAxisSpec(axis, positions[axis], sizes[axis]);
        positions[axis].relative = 0.0f;
        sizes[axis].relative = 0.0f;
    }
    positions[0].absolute = placement.x;
    positions[1].absolute = placement.y;
    sizes[0].absolute = placement.width;
    sizes[1].absolute = placement.height;
    SetPlacement(positions[0], sizes[0], positions[1], sizes[1]);
}

void LControl::KeepVisibleAndEnabled(bool visible, bool enabled)
{
    if (mLayout->visible != visible) {
        const bool target = mLayout->visible;
        mLayout->visible = visible;
        SetVisible(target);
    }
    mLayout->enabled = enabled;
    bool present = false;
    const bool notFocusable = GetBoolProperty(u"NOT_FOCUSABLE", present);
    SetFocusable(present ? notFocusable : mLayout->tabStop < 0);
}

void LControl::ReplaceLooks(const RCPtr<LSkinDescriptor>& skin)
{
    // One look per slot of the look list; an empty slot keeps its index with an empty look.
    // The blend weights of the looks stay as they were.
    Array<float> alphas;
    alphas.Append(mLookAlphas);
    ClearLooks();
    if (skin && skin->lookList) {
        const bool wrap = mLayout->textOverflowX == kTextOverflowWrap;
        for (int32_t i = 0; i < skin->lookList->GetCount(); ++i) {
            const RCPtr<LLookDescriptor>& look = *skin->lookList->At(i);
            AddLook(look ? LLook::Create(look, wrap) : nullptr);
        }
    }
    for (int32_t i = 0; i < std::min(alphas.GetCount(), mLookAlphas.GetCount()); ++i) {
        *mLookAlphas.At(i) = *alphas.At(i);
    }
}

void LControl::ApplyLabel()
{
    if (!mCreated) {
        WideString label;
        if (mStringTable) {
            mStringTable->GetString(u"LABEL", label);
        }
        SetLabelText(label, false);
    } else {
        // The label is handed to the new looks again.
        const WideString label = mLabelText;
        mLabelText += WideString(u"~");
        SetLabelText(label, false);
    }
}

void LControl::ReattachChildren(const LControlDescriptor::Children& childDescriptors,
                                RCPtrArray<LControl>& previous)
{
    mLayoutSuspended = true;
    for (int32_t d = 0; d < childDescriptors.GetCount(); ++d) {
        const RCPtr<LControlDescriptor>& childDescriptor = *childDescriptors.At(d);
        for (int32_t i = 0; i < previous.GetCount(); ++i) {
            if ((*previous.At(i))->mName == childDescriptor->GetName()) {
                const RCPtr<LControl> child = *previous.At(i);
                previous.RemoveAt(i, 1);
                AttachChild(child, childDescriptor);
                break;
            }
        }
    }
    mLayoutSuspended = false;
    if (mChildren.GetCount() > 0) {
        UpdateLayout();
    }
}

void LControl::FillRootWindow()
{
    const LayoutPositionSpec position{0.0f, kPositionToClient, {}, 0.0f, 0.0, false};
    const LayoutSpec size{kSizeToClient, {}, 1.0f, 0.0};
    SetPlacement(position, size, position, size);
    UpdateLayout();
}

int32_t LControl::CreateChildControls(const ConstRCPtr<LControlDescriptor>& descriptor)
{
    mChildren.RemoveAll();
    IControlApplication* application = GetControlApplication();
    const RCPtr<LControlFactory> factory =
        application != nullptr ? application->GetControlFactory() : nullptr;
    if (descriptor && factory) {
        const LControlDescriptor::Children& children = descriptor->GetChildren();
        for (int32_t i = 0; i < children.GetCount(); ++i) {
            const RCPtr<LControlDescriptor>& child = *children.At(i);
            bool present = false;
            if (child->GetCreateParams() &&
                ReadBool(*child->GetCreateParams(), u"DEFER_CREATE", present)) {
                continue;
            }
            // The child joins this control in its constructor; the list holds it from then on.
            factory->CreateControl(RCPtr<LControl>(this), child);
        }
    }
    UpdateLayout();
    return S_OK;
}

int32_t LControl::Initialize()
{
    if (IControlApplication* application = GetControlApplication()) {
        mNotificationCenter = application->GetNotificationCenter();
    }
    mNotificationHandler.Create();
    ApplyProperties();
    if (mStringTable) {
        mStringTable->GetString(u"TOOLTIP", mToolTipText);
        mLocalHotKeys.LoadFromStringTable(mStringTable, u"LHK");
    }
    // Local bindings answer keys that the control itself or a sibling offers.
    if (mParent && !mLocalHotKeys.IsEmpty()) {
        mNotificationHandler->RegisterHandler(
            &LControl::OnSiblingKey, RCPtr<LNotificationDistributor>(mParent), kNidSiblingKey);
        mNotificationHandler->RegisterSelfHandler(&LControl::OnSiblingKey, kNidSiblingKey);
    }
    return S_OK;
}

int32_t LControl::ApplyProperties()
{
    const RCPtr<LStringTable> params =
        mControlDescriptor ? mControlDescriptor->GetCreateParams() : nullptr;
    const bool negativeTabStop = mLayout && mLayout->tabStop < 0;
    if (!params) {
        SetFocusable(negativeTabStop);
        return S_OK;
    }
    WideString initialValue;
    if (params->GetString(u"INITIAL_VALUE", initialValue)) {
        SetNormalizedValue(initialValue.ToDouble());
    }
    bool present = false;
    const bool notFocusable = ReadBool(*params, u"NOT_FOCUSABLE", present);
    SetFocusable(present ? notFocusable : negativeTabStop);
    const bool useParentToolTip = ReadBool(*params, u"USE_PARENT_TOOLTIP", present);
    if (present) {
        mUseParentToolTip = useParentToolTip;
    }
    const bool wantsTab = ReadBool(*params, u"WANTS_TAB", present);
    if (present) {
        mWantsTab = wantsTab;
    }
    return S_OK;
}

int32_t LControl::FinishCreate()
{
    return S_OK;
}

int32_t LControl::AttachChild(const RCPtr<LControl>& child,
                              const ConstRCPtr<LControlDescriptor>& descriptor)
{
    if (!child || !descriptor) {
        return E_FAIL;
    }
    const int32_t result = child->SetParent(RCPtr<LControl>(this));
    if (result == S_OK || result == S_FALSE) {
        child->ApplyDescriptor(descriptor);
    }
    return result;
}

} // namespace SV
