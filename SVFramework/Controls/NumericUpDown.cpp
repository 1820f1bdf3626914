#include "Controls/NumericUpDown.h"

#include "ControlBase/ControlCreator.h"
#include "ControlBase/KeyParam.h"
#include "Controls/Button.h"
#include "Controls/TextBox.h"
#include "Notification/Notification.h"
#include "Notification/NotificationNames.h"
#include "ObjectBase/Exception.h"
#include "ResultCodes.h"
#include "Utilities/Storage/WideText.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace SV {

namespace {

[[noreturn]] void ThrowMissingChild(const char* child, int line)
{
    throw Exception<std::runtime_error>(std::string("Runtime Error : Null Pointer : Can not find "
                                                    "child ") +
                                        child +
                                        " : SV::LNumericUpDown::Initialize : "
                                        "Controls\\NumericUpDown : Line " +
                                        std::to_string(line));
}

template <class T>
RCPtr<T> FindPart(const LControl& owner, const char16_t* name)
{
    return RCPtr<T>(dynamic_cast<T*>(owner.FindChildControl(name).Get()));
}

// A typed text that cannot be a number of the accepted form: a minus sign after the first
// character or alone, more than one decimal point or a point alone, or nothing at all.
bool IsMalformedNumber(const WideString& text)
{
    const char16_t* chars = text.GetText();
    const int32_t length = text.GetLength();
    int32_t points = 0;
    for (int32_t i = 0; i < length; ++i) {
        if (chars[i] == u'-' && i > 0) {
            return true;
        }
        points += chars[i] == u'.' ? 1 : 0;
    }
    return length == 0 || text.EqualsText(u"-") || text.EqualsText(u".") || points > 1;
}

} // namespace

LNumericUpDown::LNumericUpDown(const RCPtr<LControl>& parent, const WideString& name,
                               bool mostDerived)
    : LPanel(parent, name, mostDerived)
{}

LNumericUpDown::~LNumericUpDown()
{}

RCPtr<LControl> LNumericUpDown::CreateControl(const RCPtr<LControl>& parent,
                                              const ConstRCPtr<LControlDescriptor>& descriptor)
{
    return CreateControlOf<LNumericUpDown>(parent, descriptor);
}

WideString LNumericUpDown::FormatValue(double value)
{
    WideString text;
    text.Format(u"%0.0f", value);
    return text;
}

int32_t LNumericUpDown::Initialize()
{
    const int32_t result = LPanel::Initialize();
    mHandler.Create();
    mTextBox = FindPart<LTextBox>(*this, u"textBox");
    mUpButton = FindPart<LButton>(*this, u"buttonUp");
    mDownButton = FindPart<LButton>(*this, u"buttonDown");
    if (!mTextBox) {
        ThrowMissingChild("textBox", __LINE__);
    }
    if (!mUpButton) {
        ThrowMissingChild("buttonUp", __LINE__);
    }
    if (!mDownButton) {
        ThrowMissingChild("buttonDown", __LINE__);
    }
    mUpButton->SetAutoRepeat(true);
    mDownButton->SetAutoRepeat(true);
    UpdateAllowedCharacters();
    const RCPtr<LNotificationDistributor> box(mTextBox);
    mHandler->RegisterHandler(&LNumericUpDown::OnTextValidating, box, kNidTextBoxValidating);
    mHandler->RegisterHandler(&LNumericUpDown::OnTextValidated, box, kNidTextBoxValidated);
    for (const RCPtr<LButton>& button : {mUpButton, mDownButton}) {
        mHandler->RegisterHandler(&LNumericUpDown::OnArrowRepeat,
                                  RCPtr<LNotificationDistributor>(button), kNidButtonAutoRepeat);
    }
    return result;
}

int32_t LNumericUpDown::FinishCreate()
{
    LPanel::FinishCreate();
    SetFocusable(false);
    // The arrows are clicked, never focused: the keys stay with the text box.
    if (mUpButton) {
        mUpButton->SetFocusable(true);
    }
    if (mDownButton) {
        mDownButton->SetFocusable(true);
    }
    return S_OK;
}

void LNumericUpDown::UpdateAllowedCharacters()
{
    if (mTextBox) {
        mTextBox->SetCharacterFilter(mValueMinimum < 0.0 ? u"0123456789-" : u"0123456789", true);
    }
}

int32_t LNumericUpDown::SetValueRange(double minimum, double maximum, int32_t scale)
{
    if (scale != 0 && (scale != 1 || !(minimum > 0.0) || !(maximum > 0.0))) {
        return E_INVALIDARG;
    }
    mValueMinimum = minimum;
    mValueMaximum = maximum;
    mValueScale = scale;
    UpdateAllowedCharacters();
    if (mTextBox) {
        mTextBox->SetText(FormatValue(GetValue()));
    }
    return S_OK;
}

int32_t LNumericUpDown::SetText(const WideString& text)
{
    SetNormalizedValue(ValueToNormalized(WideToDouble(text.GetText())));
    return S_OK;
}

void LNumericUpDown::OnValueChanged()
{
    LPanel::OnValueChanged();
    if (!mTextBox) {
        return;
    }
    const RCPtr<LTextBox> box = mTextBox;
    box->SetText(FormatValue(GetValue()));
    box->CanLoseFocus();
}

int32_t LNumericUpDown::OnTextValidating(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                                         const ConstRCPtr<LNotification>& notification)
{
    const auto* payload =
        notification ? dynamic_cast<const LTextValidationParams*>(notification->GetPayload().Get())
                     : nullptr;
    if (payload == nullptr) {
        return 1;
    }
    const RCPtr<LControl> keepAlive(this);
    // The text box made the payload for its receivers to change.
    auto& params = const_cast<LTextValidationParams&>(*payload);
    SendNotification(kNidTextBoxValidating, notification->GetPayload());
    if (!params.mAccepted) {
        return 1;
    }
    const auto replace = [&params](double value) {
        params.mText = FormatValue(value);
        params.mAccepted = true;
    };
    const double current = GetValue();
    double value = current;
    // With steps of one the value stays whole: a fraction is rounded as its text shows it, so
    // value and text never disagree.
    bool rounded = false;
    if (IsMalformedNumber(params.mText)) {
        replace(current);
    } else {
        const double typed = WideToDouble(params.mText.GetText());
        value = std::nearbyint(typed);
        rounded = !(value == typed);
    }
    const double low = std::min(mValueMinimum, mValueMaximum);
    const double high = std::max(mValueMinimum, mValueMaximum);
    value = std::isnan(value) ? mValueMinimum : std::clamp(value, low, high);
    if (value == current) {
        if (current == mValueMinimum || current == mValueMaximum || current == 0.0 || rounded) {
            replace(current);
        }
        return 1;
    }
    SetNormalizedValue(ValueToNormalized(value));
    replace(GetValue());
    return 1;
}

int32_t LNumericUpDown::OnTextValidated(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                                        const ConstRCPtr<LNotification>& notification)
{
    if (notification) {
        SendNotification(kNidTextBoxValidated, notification->GetPayload());
    }
    return 1;
}

int32_t LNumericUpDown::OnArrowRepeat(const ConstRCPtr<LNotificationDistributor>& sender,
                                      const ConstRCPtr<LNotification>& /*notification*/)
{
    const LNotificationDistributor* source = sender.Get();
    double next = 0.0;
    if (mUpButton && source == static_cast<const LNotificationDistributor*>(mUpButton.Get())) {
        next = GetValue() + kStep;
    } else if (mDownButton &&
               source == static_cast<const LNotificationDistributor*>(mDownButton.Get())) {
        next = GetValue() - kStep;
    } else {
        return 1;
    }
    SetNormalizedValue(ValueToNormalized(next));
    return 1;
}

void LNumericUpDown::BubbleKey(const ConstRCPtr<LKeyParam>& key)
{
    if (key) {
        const uint32_t code = key->mKey.GetCode();
        const RCPtr<LButton>& arrow =
            code == PressedVirtualKey(VK_UP)
                ? mUpButton
                : (code == PressedVirtualKey(VK_DOWN) ? mDownButton : RCPtr<LButton>());
        if (arrow) {
            SendNotificationToReceiver(arrow.Get(), kNidSimulateClick, nullptr);
            return;
        }
    }
    LPanel::BubbleKey(key);
}

} // namespace SV
