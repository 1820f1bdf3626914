#include "Controls/ComboSlider.h"

#include "ControlBase/ControlCreator.h"
#include "Notification/NotificationNames.h"
#include "ObjectBase/DebugLog.h"
#include "ObjectBase/Exception.h"
#include "ResultCodes.h"

#include <algorithm>
#include <string>

namespace SV {

LComboSlider::LComboSlider(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived)
    : LDropDownControl(parent, name, mostDerived)
{}

LComboSlider::~LComboSlider()
{
    mDropDownPanel = nullptr;
}

RCPtr<LControl> LComboSlider::CreateControl(const RCPtr<LControl>& parent,
                                            const ConstRCPtr<LControlDescriptor>& descriptor)
{
    return CreateControlOf<LComboSlider>(parent, descriptor);
}

int32_t LComboSlider::Initialize()
{
    if (LDropDownControl::Initialize() < 0) {
        return E_FAIL;
    }
    mDropDownPanel = FindChildControl(u"dropDownPanel");
    if (!mDropDownPanel) {
        // Without a panel the field only shows its value.
        GetDebugStreamHolder().GetNarrowOutput()
            << "Combo slider " << NarrowString(mName).GetText()
            << " has no dropDownPanel: it shows its value but cannot open\n"
            << std::flush;
        return S_OK;
    }
    mDropDownPanel->SetVisible(false);
    mHandler.Create();
    const RCPtr<LControl> slider = FindSlider();
    if (!slider) {
        throw Exception<std::runtime_error>(
            std::string("Runtime Error : Null Pointer : Can not find child slider : "
                        "SV::LComboSlider::Initialize : Controls\\ComboSlider : Line ") +
            std::to_string(__LINE__));
    }
    mHandler->RegisterHandler(&LComboSlider::OnSliderValueChange,
                              RCPtr<LNotificationDistributor>(slider), kNidValueChange);
    // A value from the skin came before the panel was looked up; the slider starts at it too.
    slider->SetNormalizedValue(GetNormalizedValue());
    return S_OK;
}

RCPtr<LControl> LComboSlider::FindSlider() const
{
    return mDropDownPanel ? mDropDownPanel->FindChildControl(u"slider") : RCPtr<LControl>();
}

double LComboSlider::SetNormalizedValue(double value)
{
    const RCPtr<LControl> keepAlive(this);
    if (const RCPtr<LControl> slider = FindSlider()) {
        slider->SetNormalizedValue(value);
    }
    return LDropDownControl::SetNormalizedValue(value);
}

void LComboSlider::OnValueChanged()
{
    if (const RCPtr<LControl> slider = FindSlider()) {
        slider->SetNormalizedValue(GetNormalizedValue());
    }
    WideString text;
    text.Format(u"%0.0f", NormalizedToValue(GetNormalizedValue()));
    SetText(text);
}

int32_t LComboSlider::OnSliderValueChange(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                                          const ConstRCPtr<LNotification>& /*notification*/)
{
    if (const RCPtr<LControl> slider = FindSlider()) {
        // The base operation: the slider already holds the value.
        LDropDownControl::SetNormalizedValue(slider->GetNormalizedValue());
    }
    return 1;
}

void LComboSlider::OnConditionsChanged(const RCPtr<LConditionsParam>& conditions)
{
    const RCPtr<LControl> keepAlive(this);
    LDropDownControl::OnConditionsChanged(conditions);
    ShowStateLook();
}

int32_t LComboSlider::ShowStateLook()
{
    const bool over = mPointerOver;
    const bool focused = mHasFocus || mContainsFocus;
    int32_t look;
    if (!IsEnabled(true)) {
        look = kLookDisabled;
    } else if (IsDroppedDown()) {
        look = over ? kLookOpenHover : kLookOpen;
    } else if (over) {
        look = focused ? kLookHoverFocused : kLookHover;
    } else {
        look = focused ? kLookFocused : kLookNormal;
    }
    ShowLook(look);
    return look;
}

bool LComboSlider::IsDroppedDown() const
{
    return mDropDownPanel && mDropDownPanel->IsVisible(false);
}

int32_t LComboSlider::SetDroppedDown(bool open)
{
    if (!mDropDownPanel) {
        return E_FAIL;
    }
    const RCPtr<LControl> keepAlive(this);
    if (open) {
        PlaceDropDownPanel();
    }
    mDropDownPanel->SetVisible(open);
    ShowStateLook();
    return S_OK;
}

void LComboSlider::PlaceDropDownPanel()
{
    const ConstRCPtr<LControlDescriptor>& descriptor = mDropDownPanel->GetControlDescriptor();
    const RCPtr<LLayoutDescriptor> skin = descriptor ? descriptor->GetLayout() : nullptr;
    const RCPtr<LLayoutDescriptor>& layout = mDropDownPanel->GetLayout();
    const RCPtr<LControl> top = GetRootControl();
    if (!skin || !layout || !top) {
        return;
    }
    PointT<double> point{skin->axes[LLayoutDescriptor::kAxisX].position.absolute, 0.0};
    top->OffsetToControl(*this, point);
    const double width = mDropDownPanel->GetRect().width;
    if (point.x + width > top->GetRect().width) {
        point.x = std::max(top->GetRect().width - width, 0.0);
    }
    OffsetToControl(*top, point);
    LayoutPositionSpec position;
    LayoutSpec size;
    if (layout->GetAxisSpec(LLayoutDescriptor::kAxisX, position, size) >= 0 &&
        position.absolute != point.x) {
        position.absolute = point.x;
        mDropDownPanel->SetLayoutSpec(LLayoutDescriptor::kAxisX, position, size);
    }
}

} // namespace SV
