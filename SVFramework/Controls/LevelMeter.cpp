#include "Controls/LevelMeter.h"

#include "ControlBase/ControlCreator.h"
#include "Notification/NotificationNames.h"
#include "ObjectBase/Exception.h"
#include "ResultCodes.h"

#include <cmath>
#include <string>

namespace SV {

namespace {

constexpr double kLit = 0.5;

[[noreturn]] void ThrowMissingChild(const char* child, int line)
{
    throw Exception<std::runtime_error>(std::string("Runtime Error : Null Pointer : Can not find "
                                                    "child ") +
                                        child +
                                        " : SV::LLevelMeter::Initialize : Controls\\LevelMeter "
                                        ": Line " +
                                        std::to_string(line));
}

// Hidden, out of the tab order and of hit testing's focus: a part drawn by the meter.
void MakePassive(LControl& part)
{
    part.SetVisible(false);
    part.SetFocusable(true);
}

PointT<double> TopLeft(const RectT<double>& rect)
{
    return {rect.x, rect.y};
}

} // namespace

LLevelMeter::LLevelMeter(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived)
    : LControl(parent, name, mostDerived)
{}

LLevelMeter::~LLevelMeter()
{}

RCPtr<LControl> LLevelMeter::CreateControl(const RCPtr<LControl>& parent,
                                           const ConstRCPtr<LControlDescriptor>& descriptor)
{
    return CreateControlOf<LLevelMeter>(parent, descriptor);
}

int32_t LLevelMeter::Initialize()
{
    const int32_t result = LControl::Initialize();
    mHandler.Create();
    mPeakMark = FindChildControl(u"peakLo");
    mOverlay = FindChildControl(u"activeOverlay");
    mClipLight = FindChildControl(u"clipButton");
    if (!mOverlay) {
        ThrowMissingChild("activeOverlay", __LINE__);
    }
    if (!mClipLight) {
        ThrowMissingChild("clipButton", __LINE__);
    }
    mOverlay->SetUsesParentToolTip(true);
    if (mPeakMark) {
        mPeakMark->SetUsesParentToolTip(true);
    }
    return result;
}

int32_t LLevelMeter::FinishCreate()
{
    mOrientation = mRect.height > mRect.width ? 1 : 0;
    if (mPeakMark) {
        MakePassive(*mPeakMark);
        mPeakStart = TopLeft(mPeakMark->GetRect());
        const RCPtr<LControl>& peakEnd = FindChildControl(u"peakHi");
        if (peakEnd) {
            MakePassive(*peakEnd);
            mPeakEnd = TopLeft(peakEnd->GetRect());
        } else {
            mPeakMark = nullptr;
        }
    }
    if (mOverlay) {
        MakePassive(*mOverlay);
    }
    if (mClipLight) {
        mClipLight->SetFocusable(true);
    }
    SetFocusable(true);
    OnValueChanged();
    return S_OK;
}

int32_t LLevelMeter::SetLevel(double level, double peak)
{
    return SetLevel(level, peak, mClipState);
}

int32_t LLevelMeter::SetLevel(double level, double peak, int32_t clipState)
{
    if (mClipLight) {
        if (clipState != mClipState) {
            mClipLight->SetNormalizedValue(1.0);
        } else if (!mClipLatch) {
            mClipLight->SetNormalizedValue(0.0);
        }
    }
    mClipState = clipState;
    mUpdating = true;
    SetNormalizedValue(level);
    mUpdating = false;
    ShowOverlay(GetNormalizedValue());
    ShowPeak(peak);
    return S_OK;
}

void LLevelMeter::ShowOverlay(double level)
{
    if (!mOverlay) {
        return;
    }
    const double size = mOrientation == 1 ? std::round(mRect.height * (1.0 - level))
                                          : std::round(mRect.width * level);
    if (size < 1.0) {
        mOverlay->SetVisible(false);
        return;
    }
    mOverlay->SetVisible(true);
    LayoutPositionSpec position;
    LayoutSpec extent;
    if (mOverlay->GetLayout() &&
        mOverlay->GetLayout()->GetAxisSpec(Axis(), position, extent) >= 0) {
        extent.kind = kSizeToSelf;
        extent.reference.Clear();
        extent.relative = 0.0f;
        extent.absolute = size;
        mOverlay->SetLayoutSpec(Axis(), position, extent);
    }
}

void LLevelMeter::ShowPeak(double peak)
{
    if (!mPeakMark) {
        return;
    }
    const double span = Axis() == 1 ? mPeakEnd.y - mPeakStart.y : mPeakEnd.x - mPeakStart.x;
    const double offset = std::round(span * peak);
    if (offset == 0.0) {
        mPeakMark->SetVisible(false);
        return;
    }
    mPeakMark->SetVisible(true);
    LayoutPositionSpec position;
    LayoutSpec extent;
    if (mPeakMark->GetLayout() &&
        mPeakMark->GetLayout()->GetAxisSpec(Axis(), position, extent) >= 0) {
        position.absolute = offset;
        mPeakMark->SetLayoutSpec(Axis(), position, extent);
    }
}

void LLevelMeter::OnValueChanged()
{
    if (!mUpdating) {
        SetLevel(GetNormalizedValue(), 0.0, mClipState);
    }
}

int32_t LLevelMeter::SetClipLatch(bool latch)
{
    if (!mClipLight) {
        return E_FAIL;
    }
    mClipLight->SetNormalizedValue(0.0);
    if (latch == mClipLatch) {
        return S_OK;
    }
    mClipLatch = latch;
    if (mHandler) {
        const RCPtr<LNotificationDistributor> source(mClipLight);
        if (latch) {
            mHandler->RegisterHandler(&LLevelMeter::OnClipClick, source, kNidLeftClick);
        } else {
            Unregister(source, kNidLeftClick);
        }
    }
    return S_OK;
}

bool LLevelMeter::IsClipLit() const
{
    return mClipLight && mClipLight->GetNormalizedValue() >= kLit;
}

int32_t LLevelMeter::OnClipClick(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                                 const ConstRCPtr<LNotification>& /*notification*/)
{
    if (IsClipLit()) {
        mClipLight->SetNormalizedValue(0.0);
        SendNotification(kNidClipLightUnlatched);
    }
    return 1;
}

} // namespace SV
