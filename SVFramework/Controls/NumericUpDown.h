// The framework's number entry ("Framework.NumericUpDown"): a panel with a text box that shows
// the control's own value as a whole number and takes typed numbers back through its
// validation, and two auto-repeating arrow buttons that step the value by one.
#pragma once

#include "Controls/Panel.h"

namespace SV {

class LButton;
class LTextBox;

class LNumericUpDown : public LPanel
{
public:
    static constexpr double kStep = 1.0;

    LNumericUpDown(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived = true);
    ~LNumericUpDown() override;

    static RCPtr<LControl> CreateControl(const RCPtr<LControl>& parent,
                                         const ConstRCPtr<LControlDescriptor>& descriptor);

    // The text of a value: "%0.0f".
    static WideString FormatValue(double value);

    // The number the text starts with (0 without one), clamped into the range.
    int32_t SetText(const WideString& text) override;
    // Shows the new value and has the text box validate it.
    void OnValueChanged() override;
    // Keeps the normalised value, so the number shown is the old position in the new range; no
    // "NID_VALUE_CHANGE". E_INVALIDARG, with nothing changed, for an unknown scale or an
    // exponential one with a bound of 0 or less.
    int32_t SetValueRange(double minimum, double maximum, int32_t scale) override;
    // Up and Down that the text box left unused click the arrow buttons.
    void BubbleKey(const ConstRCPtr<LKeyParam>& key) override;
    // Throws the null-pointer runtime error when "textBox", "buttonUp" or "buttonDown" is
    // missing.
    int32_t Initialize() override;
    int32_t FinishCreate() override;

    double GetValue() const { return NormalizedToValue(GetNormalizedValue()); }
    const RCPtr<LTextBox>& GetTextBox() const { return mTextBox; }

private:
    // Digits, and the minus sign when the range reaches below 0.
    void UpdateAllowedCharacters();
    int32_t OnTextValidating(const ConstRCPtr<LNotificationDistributor>& sender,
                             const ConstRCPtr<LNotification>& notification);
    int32_t OnTextValidated(const ConstRCPtr<LNotificationDistributor>& sender,
                            const ConstRCPtr<LNotification>& notification);
    int32_t OnArrowRepeat(const ConstRCPtr<LNotificationDistributor>& sender,
                          const ConstRCPtr<LNotification>& notification);

    ControlNotificationHandler<LNumericUpDown> mHandler{this};
    RCPtr<LTextBox> mTextBox;
    RCPtr<LButton> mUpButton;
    RCPtr<LButton> mDownButton;
};

} // namespace SV
