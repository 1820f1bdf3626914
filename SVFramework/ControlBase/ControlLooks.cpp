#include "ControlBase/Control.h"

#include "ResultCodes.h"

#include <algorithm>
#include <cmath>

namespace SV {

float LControl::GetLookAlpha(int32_t index) const
{
    return index >= 0 && index < mLookAlphas.GetCount() ? *mLookAlphas.At(index) : 0.0f;
}

int32_t LControl::SetLookAlpha(uint32_t index, float alpha, bool exclusive)
{
    if (index >= uint32_t(mLookAlphas.GetCount())) {
        return E_INVALIDARG;
    }
    bool changed = false;
    float& own = *mLookAlphas.At(int32_t(index));
    if (alpha >= 0.0f && alpha <= 1.0f && own != alpha) {
        own = alpha;
        changed = true;
    }
    if (exclusive) {
        for (int32_t i = mLookAlphas.GetCount() - 1; i >= 0; --i) {
            float& other = *mLookAlphas.At(i);
            if (uint32_t(i) != index && other != 0.0f) {
                other = 0.0f;
                changed = true;
            }
        }
    }
    if (changed) {
        InvalidateSelf();
    }
    return S_OK;
}

int32_t LControl::GetFirstActiveLookIndex() const
{
    for (int32_t i = 0; i < mLooks.GetCount(); ++i) {
        if (*mLooks.At(i) && GetLookAlpha(i) > 0.0f) {
            return i;
        }
    }
    return -1;
}

int32_t LControl::SetLookRegion(int32_t index, const RectRegion& region)
{
    const RCPtr<LLook> look = GetLook(index);
    if (!look) {
        return E_INVALIDARG;
    }
    look->GetClipRegion().Clear();
    look->GetClipRegion().AppendRegion(region);
    InvalidateSelf();
    return S_OK;
}

int32_t LControl::SetLookRegionExcluding(int32_t a, int32_t b)
{
    const RCPtr<LLook> first = GetLook(a);
    const RCPtr<LLook> second = GetLook(b);
    if (!first || !second) {
        return E_INVALIDARG;
    }
    // Computed apart first: the two may be the same look.
    RectRegion area;
    area.AddRect({0, 0, int32_t(std::trunc(std::clamp(mRect.width + 0.5, 0.0, 2147483647.0))),
                  int32_t(std::trunc(std::clamp(mRect.height + 0.5, 0.0, 2147483647.0)))});
    area.SubtractRegion(second->GetClipRegion());
    area.Normalize();
    first->GetClipRegion() = std::move(area);
    InvalidateSelf();
    return S_OK;
}

void LControl::ClearLookRegions()
{
    for (int32_t i = mLooks.GetCount() - 1; i >= 0; --i) {
        if (const RCPtr<LLook>& look = *mLooks.At(i)) {
            look->GetClipRegion().Clear();
        }
    }
}

void LControl::ClearLookRegion(int32_t index)
{
    if (const RCPtr<LLook> look = GetLook(index)) {
        look->GetClipRegion().Clear();
    }
}

int32_t LControl::SetLookPart(const RCPtr<LBitmap>& bitmap, ResizeType resizeType, int32_t index,
                              bool hidesClient)
{
    int32_t result = E_FAIL;
    if (const RCPtr<LLook> look = GetLook(index)) {
        result = look->SetOverlayBitmap(bitmap, resizeType, hidesClient);
        if (result == S_FALSE) {
            return S_FALSE;
        }
    }
    if (index == GetFirstActiveLookIndex()) {
        InvalidateSelf();
    }
    return result;
}

int32_t LControl::SetLookVisualPart(const RCPtr<LVisualPart>& part, int32_t index)
{
    const RCPtr<LLook> look = GetLook(index);
    if (!look) {
        return E_FAIL;
    }
    if (!part) {
        return E_INVALIDARG;
    }
    look->SetTextForegroundPart(part);
    return S_OK;
}

} // namespace SV
