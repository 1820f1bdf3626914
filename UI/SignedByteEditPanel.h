// The shared body of the editor's one-byte panels: a panel with a numeric up-down whose value,
// plus the panel's offset, is the parameter's single byte. `Interface` is the module interface
// the panel stands for; `Traits` gives the up-down's name, its range, the offset and the names
// used in errors:
//   static constexpr const char16_t* kUpDownName; static constexpr const char* kUpDownNameText;
//   static constexpr int32_t kMinimum, kMaximum, kOffset;
//   static constexpr const char* kInitializeFunction, kSourcePath;
#pragma once

#include "Controls/NumericUpDown.h"
#include "Controls/Panel.h"
#include "Controls/TextBox.h"
#include "DriverCommon/MainControl.h"
#include "Notification/Notification.h"
#include "Notification/NotificationNames.h"
#include "ObjectBase/Exception.h"
#include "ResultCodes.h"
#include "RootModuleEngine.h"

#include <cmath>
#include <stdexcept>
#include <string>

template <class Interface, class Traits>
class LSignedByteEditPanel : public SV::LPanel, public Interface
{
public:
    // Enough for a minus sign and two digits.
    static constexpr int32_t kMaxTextLength = 3;

    LSignedByteEditPanel(const SV::RCPtr<SV::LControl>& parent, const SV::WideString& name,
                         bool mostDerived)
        : SV::LPanel(parent, name, mostDerived)
    {}
    ~LSignedByteEditPanel() override { mUpDown = nullptr; }

    // Finds the up-down (throws without it), subscribes its value changes, gives it the range
    // and limits its text box.
    int32_t Initialize() override
    {
        const int32_t result = SV::LPanel::Initialize();
        if (result < 0) {
            return result;
        }
        mByteHandler.Create();
        mUpDown = SV::RCPtr<SV::LNumericUpDown>(FindChildControl(Traits::kUpDownName));
        if (!mUpDown) {
            throw SV::Exception<std::runtime_error>(
                std::string("Runtime Error : Null Pointer : Can not find child ") +
                Traits::kUpDownNameText + " : " + Traits::kInitializeFunction + " : " +
                Traits::kSourcePath + " : Line " + std::to_string(__LINE__));
        }
        const int32_t registered = mByteHandler->RegisterHandler(
            &LSignedByteEditPanel::SendValue, SV::RCPtr<SV::LNotificationDistributor>(mUpDown),
            SV::kNidValueChange);
        if (registered < 0) {
            throw SV::Exception<SV::FailedResultException>(SV::FormatFailedResult(
                registered, Traits::kInitializeFunction, Traits::kSourcePath, __LINE__));
        }
        mUpDown->SetValueRange(Traits::kMinimum, Traits::kMaximum, 0);
        if (const SV::RCPtr<SV::LTextBox>& box = mUpDown->GetTextBox()) {
            box->SetMaxLength(kMaxTextLength);
        }
        return result;
    }

    // Shows a one-byte value (E_FAIL for any other length, nothing changed). A byte outside the
    // range shows the nearest end, and that value is sent to the engine once, so that the
    // keyboard, a saved file and the panel agree.
    int32_t SetParamValueLocal(const SV::ParamDescriptor& descriptor, const SV::Variant& value,
                               bool /*fromDevice*/) override
    {
        uint32_t size = 0;
        const uint8_t* data = value.GetConstData(size);
        if (data == nullptr || size != 1 || !mUpDown) {
            return E_FAIL;
        }
        const double wanted = static_cast<double>(static_cast<int8_t>(data[0]) - Traits::kOffset);
        mUpDown->SetNormalizedValue(mUpDown->ValueToNormalized(wanted));
        const double shown = mUpDown->GetValue();
        if (shown != wanted) {
            if (const SV::RCPtr<LRootModuleEngine> engine = GetRootModuleEngine()) {
                engine->SetParamValue(SV::ParamDescriptor(descriptor.id, descriptor.subPart),
                                      ByteValue(shown));
            }
        }
        return S_OK;
    }

private:
    static SV::Variant ByteValue(double value)
    {
        const uint8_t byte =
            static_cast<uint8_t>(static_cast<int32_t>(std::trunc(value)) + Traits::kOffset);
        SV::Variant blob;
        blob.SetBlob(&byte, 1);
        return blob;
    }

    // The up-down's value as the parameter's byte, to the main control; 1.
    int32_t SendValue(const SV::ConstRCPtr<SV::LNotificationDistributor>& /*sender*/,
                      const SV::ConstRCPtr<SV::LNotification>& /*notification*/)
    {
        const SV::RCPtr<SV::LMainControl> root(GetRootControl());
        if (root && mUpDown) {
            root->OnParamValueChanged(SV::ParamDescriptor(this->GetFirstParamID()),
                                      ByteValue(mUpDown->GetValue()));
        }
        return 1;
    }

    SV::ControlNotificationHandler<LSignedByteEditPanel> mByteHandler{this};
    SV::RCPtr<SV::LNumericUpDown> mUpDown;
};
