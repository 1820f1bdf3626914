#include "ArpeggiatorEditPanel.h"

#include "ComboBoxIndex.h"
#include "ControlBase/ControlCreator.h"
#include "Controls/Button.h"
#include "Controls/NumericUpDown.h"
#include "Controls/TextBox.h"
#include "DriverCommon/MainControl.h"
#include "Notification/Notification.h"
#include "Notification/NotificationNames.h"
#include "ObjectBase/Exception.h"
#include "ResultCodes.h"
#include "RootModuleEngine.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <stdexcept>
#include <string>

using namespace SV;

namespace {

constexpr const char* kSourcePath = "UI\\ArpeggiatorEditPanel";
constexpr const char* kInitialize = "LArpeggiatorEditPanel::Initialize";
constexpr int32_t kTempoTextLength = 3;
constexpr int32_t kHalfRange = 128;

enum Byte : uint32_t
{
    kEnabled = 0,
    kMode = 1,
    kTimeDivision = 2,
    kClock = 3,
    kLatch = 4,
    kSwing = 5,
    kTaps = 6,
    kTempoHigh = 7,
    kTempoLow = 8,
    kOctaves = 9,
};

uint8_t IndexByte(const RCPtr<LComboBox>& box, int32_t bias = 0)
{
    return static_cast<uint8_t>((box ? box->GetSelectedIndex() : -1) + bias);
}

void SelectByte(const RCPtr<LComboBox>& box, uint8_t byte, int32_t bias = 0)
{
    if (box) {
        box->SetSelectedIndex(ComboIndexForByte(*box, byte, bias));
    }
}

} // namespace

LArpeggiatorEditPanel::LArpeggiatorEditPanel(const RCPtr<LControl>& parent, const WideString& name,
                                             bool mostDerived)
    : LPanel(parent, name, mostDerived)
{}

LArpeggiatorEditPanel::~LArpeggiatorEditPanel()
{
    mEnabledButton = nullptr;
    mTempoUpDown = nullptr;
    mModeBox = nullptr;
    mTimeDivisionBox = nullptr;
    mClockBox = nullptr;
    mLatchBox = nullptr;
    mSwingBox = nullptr;
    mTapsBox = nullptr;
    mOctaveBox = nullptr;
}

RCPtr<LControl>
LArpeggiatorEditPanel::CreateControl(const RCPtr<LControl>& parent,
                                     const ConstRCPtr<LControlDescriptor>& descriptor)
{
    return CreateControlOf<LArpeggiatorEditPanel>(parent, descriptor);
}

template <class T>
RCPtr<T> LArpeggiatorEditPanel::Subscribe(
    const char16_t* name, const char* nameText, const char16_t* notification,
    int32_t (LArpeggiatorEditPanel::*function)(const ConstRCPtr<LNotificationDistributor>&,
                                               const ConstRCPtr<LNotification>&))
{
    const RCPtr<T> child(FindChildControl(name));
    if (!child) {
        throw Exception<std::runtime_error>(std::string("Runtime Error : Null Pointer : Can not "
                                                        "find child ") +
                                            nameText + " : " + kInitialize + " : " + kSourcePath +
                                            " : Line " + std::to_string(__LINE__));
    }
    const int32_t registered =
        mHandler->RegisterHandler(function, RCPtr<LNotificationDistributor>(child), notification);
    if (registered < 0) {
        throw Exception<FailedResultException>(
            FormatFailedResult(registered, kInitialize, kSourcePath, __LINE__));
    }
    return child;
}

int32_t LArpeggiatorEditPanel::Initialize()
{
    const int32_t result = LPanel::Initialize();
    if (result < 0) {
        return result;
    }
    mHandler.Create();
    const auto send = &LArpeggiatorEditPanel::SendValue;
    const char16_t* selection = kNidSelectionChange;
    mTimeDivisionBox = Subscribe<LComboBox>(u"noteRepeatTimeDivisionComboBox",
                                            "noteRepeatTimeDivisionComboBox", selection, send);
    mClockBox = Subscribe<LComboBox>(u"noteRepeatClockComboBox", "noteRepeatClockComboBox",
                                     selection, send);
    mSwingBox = Subscribe<LComboBox>(u"swingTypeComboBox", "swingTypeComboBox", selection, send);
    mTapsBox = Subscribe<LComboBox>(u"tapTempComoBox", "tapTempComoBox", selection, send);
    mTempoUpDown = Subscribe<LNumericUpDown>(u"tempoNumericUpDown", "tempoNumericUpDown",
                                             kNidValueChange, send);
    mTempoUpDown->SetValueRange(kMinimumTempo, kMaximumTempo, 0);
    if (const RCPtr<LTextBox>& box = mTempoUpDown->GetTextBox()) {
        box->SetMaxLength(kTempoTextLength);
    }
    mEnabledButton =
        Subscribe<LButton>(u"arpEnabledButton", "arpEnabledButton", kNidValueChange, send);
    Subscribe<LButton>(u"arpEnabledButton", "arpEnabledButton", kNidLeftClick,
                       &LArpeggiatorEditPanel::OnEnableButtonClick);
    mLatchBox = Subscribe<LComboBox>(u"arpLatchComboBox", "arpLatchComboBox", selection, send);
    mOctaveBox = Subscribe<LComboBox>(u"arpOctaveComboBox", "arpOctaveComboBox", selection, send);
    mModeBox = Subscribe<LComboBox>(u"arpModeComboBox", "arpModeComboBox", selection, send);
    return result;
}

Variant LArpeggiatorEditPanel::BuildValue() const
{
    uint8_t bytes[kValueSize] = {};
    bytes[kEnabled] =
        mEnabledButton ? static_cast<uint8_t>(std::trunc(mEnabledButton->GetNormalizedValue())) : 0;
    bytes[kMode] = IndexByte(mModeBox);
    bytes[kTimeDivision] = IndexByte(mTimeDivisionBox);
    bytes[kClock] = IndexByte(mClockBox);
    bytes[kLatch] = IndexByte(mLatchBox);
    bytes[kSwing] = IndexByte(mSwingBox);
    bytes[kTaps] = IndexByte(mTapsBox, kFirstTapCount);
    const int16_t tempo = mTempoUpDown ? static_cast<int16_t>(std::trunc(mTempoUpDown->GetValue()))
                                       : static_cast<int16_t>(0);
    bytes[kTempoHigh] = static_cast<uint8_t>(tempo / kHalfRange);
    bytes[kTempoLow] = static_cast<uint8_t>(tempo % kHalfRange);
    bytes[kOctaves] = IndexByte(mOctaveBox);
    Variant blob;
    blob.SetBlob(bytes, kValueSize);
    return blob;
}

int32_t LArpeggiatorEditPanel::SetParamValueLocal(const ParamDescriptor& descriptor,
                                                  const Variant& value, bool /*fromDevice*/)
{
    uint32_t size = 0;
    const uint8_t* data = value.GetConstData(size);
    if (data == nullptr || size != kValueSize || !mEnabledButton) {
        return E_FAIL;
    }
    uint8_t bytes[kValueSize];
    std::memcpy(bytes, data, kValueSize);
    // The on byte is a count from 0: any value but 0, 80 to FF included, switches it on.
    mEnabledButton->SetNormalizedValue(std::clamp(static_cast<double>(bytes[kEnabled]), 0.0, 1.0));
    SelectByte(mModeBox, bytes[kMode]);
    SelectByte(mTimeDivisionBox, bytes[kTimeDivision]);
    SelectByte(mClockBox, bytes[kClock]);
    SelectByte(mLatchBox, bytes[kLatch]);
    SelectByte(mSwingBox, bytes[kSwing]);
    SelectByte(mTapsBox, bytes[kTaps], kFirstTapCount);
    const int32_t tempo =
        static_cast<int8_t>(bytes[kTempoHigh]) * kHalfRange + static_cast<int8_t>(bytes[kTempoLow]);
    mTempoUpDown->SetNormalizedValue(mTempoUpDown->ValueToNormalized(tempo));
    SelectByte(mOctaveBox, bytes[kOctaves]);

    // What the controls could not show as it came is corrected on the keyboard's side too, unless
    // a box has no items to choose from.
    const Variant shown = BuildValue();
    uint32_t shownSize = 0;
    const uint8_t* shownBytes = shown.GetConstData(shownSize);
    const RCPtr<LComboBox>* boxes[] = {&mModeBox,  &mTimeDivisionBox, &mClockBox, &mLatchBox,
                                       &mSwingBox, &mTapsBox,         &mOctaveBox};
    const bool everyBoxChose = std::all_of(std::begin(boxes), std::end(boxes), [](const auto* box) {
        return *box && (*box)->GetSelectedIndex() >= 0;
    });
    if (everyBoxChose && std::memcmp(shownBytes, bytes, kValueSize) != 0) {
        if (const RCPtr<LRootModuleEngine> engine = GetRootModuleEngine()) {
            engine->SetParamValue(ParamDescriptor(descriptor.id, descriptor.subPart), shown);
        }
    }
    return S_OK;
}

int32_t LArpeggiatorEditPanel::SendValue(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                                         const ConstRCPtr<LNotification>& /*notification*/)
{
    if (const RCPtr<LMainControl> root(GetRootControl()); root) {
        root->OnParamValueChanged(ParamDescriptor(GetFirstParamID()), BuildValue());
    }
    return 1;
}

int32_t
LArpeggiatorEditPanel::OnEnableButtonClick(const ConstRCPtr<LNotificationDistributor>& sender,
                                           const ConstRCPtr<LNotification>& /*notification*/)
{
    if (mEnabledButton &&
        sender.Get() == static_cast<LNotificationDistributor*>(mEnabledButton.Get())) {
        mEnabledButton->SetNormalizedValue(mEnabledButton->GetNormalizedValue() == 0.0 ? 1.0 : 0.0);
    }
    return 1;
}
