#include "Controls/ProgressBar.h"

#include "ControlBase/ControlApplication.h"
#include "ControlBase/ControlCreator.h"
#include "ControlBase/ControlFactory.h"
#include "ObjectBase/Exception.h"
#include "ResultCodes.h"
#include "Utilities/Storage/StringTable.h"

#include <cmath>
#include <string>

namespace SV {

namespace {

enum Word
{
    kHour,
    kHours,
    kMinute,
    kMinutes,
    kSecond,
    kSeconds,
    kRemaining,
};

constexpr const char16_t* kWordIds[7] = {
    u"HOURS_SINGULAR",   u"HOURS_PLURAL",   u"MINUTES_SINGULAR", u"MINUTES_PLURAL",
    u"SECONDS_SINGULAR", u"SECONDS_PLURAL", u"REMAINING",
};

// How long a sample of the progress is kept before the next increase replaces it.
constexpr double kSampleSeconds = 1.0;

[[noreturn]] void ThrowMissingChild(const char* child, int line)
{
    throw Exception<std::runtime_error>(std::string("Runtime Error : Null Pointer : Can not find "
                                                    "child ") +
                                        child +
                                        " : SV::LProgressBar::Initialize : "
                                        "Controls\\ProgressBar : Line " +
                                        std::to_string(line));
}

double Now()
{
    IControlApplication* application = GetControlApplication();
    return application ? application->GetTime() : 0.0;
}

void AppendCount(WideString& text, int32_t count, const WideString& singular,
                 const WideString& plural)
{
    text += IntToString(count, 0);
    text += WideString(u" ");
    text += count == 1 ? singular : plural;
    text += WideString(u" ");
}

} // namespace

LProgressBar::LProgressBar(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived)
    : LControl(parent, name, mostDerived)
{}

LProgressBar::~LProgressBar()
{}

RCPtr<LControl> LProgressBar::CreateControl(const RCPtr<LControl>& parent,
                                            const ConstRCPtr<LControlDescriptor>& descriptor)
{
    return CreateControlOf<LProgressBar>(parent, descriptor);
}

int32_t LProgressBar::Initialize()
{
    const int32_t result = LControl::Initialize();
    mHandler.Create();
    mOverlay = FindChildControl(u"activeOverlay");
    mTimeLabel = FindChildControl(u"timeRemainingLabel");
    mPercentLabel = FindChildControl(u"percentCompleteLabel");
    if (!mOverlay) {
        ThrowMissingChild("activeOverlay", __LINE__);
    }
    if (!mTimeLabel) {
        ThrowMissingChild("timeRemainingLabel", __LINE__);
    }
    if (!mPercentLabel) {
        ThrowMissingChild("percentCompleteLabel", __LINE__);
    }
    mTimeLabel->SetVisible(false);
    IControlApplication* application = GetControlApplication();
    const RCPtr<LControlFactory> factory =
        application ? application->GetControlFactory() : RCPtr<LControlFactory>();
    const RCPtr<LStringTable> strings =
        factory ? factory->GetFrameworkStringTable() : RCPtr<LStringTable>();
    if (strings) {
        for (int32_t word = 0; word < 7; ++word) {
            strings->GetString(WideString(kWordIds[word]), mWords[word]);
        }
    }
    SetNormalizedValue(0.0);
    SetValueRange(0.0, 100.0, 0);
    return result;
}

int32_t LProgressBar::FinishCreate()
{
    SetFocusable(true);
    OnValueChanged();
    return S_OK;
}

void LProgressBar::OnValueChanged()
{
    const double percent = GetNormalizedValue() * 100.0;
    if (mOverlay) {
        const double width = std::round(mRect.width * percent / 100.0);
        if (width > 0.0) {
            mOverlay->SetVisible(true);
            LayoutPositionSpec position;
            LayoutSpec size;
            if (mOverlay->GetLayout() &&
                mOverlay->GetLayout()->GetAxisSpec(0, position, size) >= 0) {
                size.kind = kSizeToSelf;
                size.reference.Clear();
                size.relative = 0.0f;
                size.absolute = width;
                mOverlay->SetLayoutSpec(0, position, size);
            }
        } else {
            mOverlay->SetVisible(false);
        }
    }
    if (mPercentLabel) {
        mPercentLabel->SetText(DoubleToString(percent, 0));
    }
    if (mEstimating) {
        UpdateEstimate();
    }
}

void LProgressBar::UpdateEstimate()
{
    const double value = GetNormalizedValue();
    const double now = Now();
    if (value > mSampleValue && now > mSampleTime) {
        const double rate = (value - mEstimateStartValue) / (now - mEstimateStartTime);
        if (now - mSampleTime > kSampleSeconds) {
            mSampleTime = now;
            mSampleValue = value;
        }
        if (rate > 0.0 && std::isfinite(rate)) {
            const double remaining = std::round((1.0 - value) / rate);
            SetTimeRemaining(remaining >= INT32_MAX ? INT32_MAX : static_cast<int32_t>(remaining));
        }
    }
    if (value >= 1.0) {
        mEstimating = false;
    }
}

void LProgressBar::SetEstimating(bool on)
{
    if (on == mEstimating) {
        return;
    }
    mEstimating = on;
    if (on) {
        mEstimateStartTime = mSampleTime = Now();
        mEstimateStartValue = mSampleValue = GetNormalizedValue();
    }
}

void LProgressBar::SetTimeRemaining(int32_t seconds)
{
    if (!mTimeLabel) {
        return;
    }
    mTimeLabel->SetVisible(true);
    mTimeLabel->SetText(FormatTimeRemaining(seconds, mWords));
}

WideString LProgressBar::FormatTimeRemaining(int32_t seconds, const WideString (&words)[7])
{
    WideString text;
    if (seconds <= 0) {
        text += WideString(u"0 ");
        text += words[kSeconds];
        text += WideString(u" ");
        text += words[kRemaining];
        return text;
    }
    const int32_t hours = seconds / 3600;
    const int32_t minutes = (seconds % 3600) / 60;
    if (hours > 0) {
        AppendCount(text, hours, words[kHour], words[kHours]);
        if (minutes == 0) {
            AppendCount(text, 0, words[kMinute], words[kMinutes]);
        }
    }
    if (minutes > 0) {
        AppendCount(text, minutes, words[kMinute], words[kMinutes]);
    }
    AppendCount(text, seconds % 60, words[kSecond], words[kSeconds]);
    text += words[kRemaining];
    return text;
}

} // namespace SV
