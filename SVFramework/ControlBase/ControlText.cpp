// The label text of LControl and its font: resolved from the skin, the parent and the
// application's default font, and passed down the tree.
#include "ControlBase/Control.h"

#include "ControlBase/ControlApplication.h"
#include "ResultCodes.h"
#include "Windows/RootWindow.h"

#include <algorithm>

namespace SV {

namespace {

RCPtr<LFont> ApplicationDefaultFont()
{
    IControlApplication* application = GetControlApplication();
    if (application == nullptr) {
        return nullptr;
    }
    WideString face;
    float size = 0.0f;
    int32_t style = 0;
    if (application->GetDefaultFont(face, size, style) < 0) {
        return nullptr;
    }
    return LFont::GetFont(face, size, style);
}

bool SameFont(const LFont& a, const LFont& b)
{
    return &a == &b || (a.GetFamilyName() == b.GetFamilyName() && a.GetSize() == b.GetSize() &&
                        a.GetStyle() == b.GetStyle());
}

} // namespace

bool LControl::SetLabelText(const WideString& text, bool relayout)
{
    if (mLabelText == text) {
        return false;
    }
    if (!mParent && mRootWindow) {
        mRootWindow->SetTitle(text);
    }
    mLabelText = text;
    for (int32_t i = mLooks.GetCount() - 1; i >= 0; --i) {
        if (const RCPtr<LLook>& look = *mLooks.At(i)) {
            look->SetLabelText(text);
        }
    }
    if (relayout && mLayout) {
        const bool xGrows = mLayout->axes[0].minimum.kind == kLimitToSelf &&
                            mLayout->textOverflowX != kTextOverflowClip;
        const bool yGrows = mLayout->axes[1].minimum.kind == kLimitToSelf &&
                            mLayout->textOverflowY != kTextOverflowClip;
        if (xGrows || yGrows) {
            UpdateLayout();
        }
    }
    // A text set from outside (a combo box taking a value from a file) must show at once, not
    // at the next time something else redraws the control.
    InvalidateSelf();
    return true;
}

int32_t LControl::SetText(const WideString& text)
{
    return SetLabelText(text, true) ? S_OK : S_FALSE;
}

void LControl::SetFontInheritance(bool inheritsFromParent, bool sizeIsRelative)
{
    mFontInherits = inheritsFromParent;
    mSizeIsRelative = sizeIsRelative;
}

int32_t LControl::SetFont(const WideString& name, float size, int32_t style, bool relative)
{
    const RCPtr<LFont> base =
        (mFontInherits && mParent && mParent->mFont) ? mParent->mFont : ApplicationDefaultFont();
    const bool nameFromBase = name.IsEmpty();
    const bool sizeFromBase = size <= 0.0f || mSizeIsRelative;
    const bool styleFromBase = style == -1;
    float factor = 1.0f;
    WideString resolvedName = name;
    float resolvedSize = size;
    int32_t resolvedStyle = style;
    if (nameFromBase || sizeFromBase || styleFromBase) {
        if (!base) {
            return E_FAIL;
        }
        if (nameFromBase) {
            resolvedName = base->GetFamilyName();
        }
        if (sizeFromBase) {
            if (relative && size > 0.0f) {
                factor = size;
            }
            resolvedSize = base->GetSize() * factor;
        }
        if (styleFromBase) {
            resolvedStyle = base->GetStyle();
        }
    }
    RCPtr<LFont> font;
    if (base && resolvedName == base->GetFamilyName() && resolvedStyle == base->GetStyle() &&
        resolvedSize == base->GetSize()) {
        font = base;
    } else {
        font = LFont::GetFont(resolvedName, resolvedSize, resolvedStyle);
    }
    const int32_t result = PropagateFont(font);
    if (result >= 0) {
        mNameFromBase = nameFromBase;
        mSizeFromBase = sizeFromBase;
        mStyleFromBase = styleFromBase;
        mSizeIsRelative = relative;
        mSizeFactor = factor;
    }
    return font ? result : E_FAIL;
}

int32_t LControl::PropagateFont(const RCPtr<LFont>& font)
{
    if (!font) {
        return E_INVALIDARG;
    }
    for (int32_t i = mLooks.GetCount() - 1; i >= 0; --i) {
        if (const RCPtr<LLook>& look = *mLooks.At(i)) {
            if (look->GetTextObject()) {
                look->GetTextObject()->SetFont(font);
            }
        }
    }
    if (mFont && SameFont(*mFont, *font)) {
        return S_FALSE;
    }
    mFont = font;
    mNameFromBase = false;
    mSizeFromBase = false;
    mStyleFromBase = false;
    OnFontChanged();
    for (int32_t i = 0; i < mChildren.GetCount(); ++i) {
        RCPtr<LControl> child = mChildren.GetAt(i, kStoredOrder);
        child->ApplyFont();
    }
    UpdateLayout();
    return S_OK;
}

int32_t LControl::ApplyFont()
{
    if (!mFontInherits || !(mNameFromBase || mSizeFromBase || mStyleFromBase) || !mFont) {
        return S_OK;
    }
    const WideString name = mNameFromBase ? WideString() : mFont->GetFamilyName();
    float size = mFont->GetSize();
    if (mSizeFromBase) {
        size = mSizeIsRelative ? mSizeFactor : 0.0f;
    }
    const int32_t style = mStyleFromBase ? -1 : mFont->GetStyle();
    SetFont(name, size, style, mSizeFromBase && mSizeIsRelative);
    return S_OK;
}

void LControl::OnFontChanged()
{}

bool LControl::IsTextTruncated() const
{
    const RCPtr<LLook> look = GetLook(-1);
    if (!look) {
        return false;
    }
    float available = 0.0f;
    if (look->HasTextProperties()) {
        const float width = float(std::clamp(mRect.width, -8388608.0, 8388608.0));
        available = look->GetTextRect(width, float(mRect.height)).width;
    }
    if (const RCPtr<LFontText>& text = look->GetTextObject()) {
        const float first = text->GetLineCount() > 0 ? text->GetLine(0).width : 0.0f;
        return first > available;
    }
    return !mLabelText.IsEmpty();
}

} // namespace SV
