// The text box's text, caret, selection, keys, mouse, looks and caret drawing. Its edit commands,
// context menu and validation are in TextBoxEditing.cpp.
#include "Controls/TextBox.h"

#include "ControlBase/ControlApplication.h"
#include "ControlBase/ControlCreator.h"
#include "ControlBase/KeyParam.h"
#include "Notification/NotificationNames.h"
#include "Renderer/MeasurementRenderer.h"
#include "ResultCodes.h"
#include "System/ModifierKeys.h"
#include "Utilities/Storage/StringTable.h"
#include "Utilities/Storage/WideText.h"
#include "Windows/MouseParams.h"
#include "Windows/RootWindow.h"
#include "Windows/WindowApplication.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace SV {

namespace {

constexpr double kExtentLimit = 4503599627370496.0; // 2^52
constexpr double kDrawLimit = 8388608.0;            // 2^23

// Key combinations the box answers, compared whole: a navigation key counts only with exactly
// the modifiers listed.
enum : uint32_t
{
    kKeyBackspace = PressedVirtualKey(VK_BACK),
    kKeyReturn = PressedVirtualKey(VK_RETURN),
    kKeyEnd = PressedVirtualKey(VK_END),
    kKeyHome = PressedVirtualKey(VK_HOME),
    kKeyLeft = PressedVirtualKey(VK_LEFT),
    kKeyUp = PressedVirtualKey(VK_UP),
    kKeyRight = PressedVirtualKey(VK_RIGHT),
    kKeyDown = PressedVirtualKey(VK_DOWN),
    kKeyDelete = PressedVirtualKey(VK_DELETE),
    kCtrl = KeyCode::kCtrl,
    kShift = KeyCode::kShift,
};

double Now()
{
    IControlApplication* application = GetControlApplication();
    return application ? application->GetTime() : 0.0;
}

bool Began(const LConditionsParam& conditions, uint32_t bit)
{
    return (conditions.mNewMask & bit) != 0 && (conditions.mOldMask & bit) == 0;
}

bool Ended(const LConditionsParam& conditions, uint32_t bit)
{
    return (conditions.mNewMask & bit) == 0 && (conditions.mOldMask & bit) != 0;
}

bool IsUpOrDown(uint32_t code)
{
    const uint32_t keys[] = {kKeyUp, kKeyDown};
    const uint32_t modifierSets[] = {0u, kShift, kCtrl, kCtrl | kShift};
    for (const uint32_t key : keys) {
        for (const uint32_t modifiers : modifierSets) {
            if (code == (key | modifiers)) {
                return true;
            }
        }
    }
    return false;
}

// Space, the digits and the letters arrive again as characters; only with Ctrl, Alt or Command
// held are they left to the key bindings.
bool IsTypingKey(uint32_t virtualKey)
{
    return virtualKey == VK_SPACE || (virtualKey >= VK_0 && virtualKey <= VK_0 + 9) ||
           (virtualKey >= VK_A && virtualKey <= VK_A + 25);
}

float ClampToDrawing(double v)
{
    return float(std::clamp(v, -kDrawLimit, kDrawLimit));
}

} // namespace

LTextBox::LTextBox(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived)
    : LScrollView(parent, name, mostDerived)
{}

LTextBox::~LTextBox()
{
    mEditMenu = nullptr;
}

RCPtr<LControl> LTextBox::CreateControl(const RCPtr<LControl>& parent,
                                        const ConstRCPtr<LControlDescriptor>& descriptor)
{
    return CreateControlOf<LTextBox>(parent, descriptor);
}

int32_t LTextBox::Initialize()
{
    LScrollView::Initialize();
    SetLabelScrolls(true);
    UpdateCaretRect();
    return S_OK;
}

int32_t LTextBox::ApplyDescriptor(const ConstRCPtr<LControlDescriptor>& descriptor)
{
    const WideString kept = GetText();
    const int32_t result = LScrollView::ApplyDescriptor(descriptor);
    WideString cue;
    if (mStringTable && mStringTable->GetString(u"LABEL", cue)) {
        // The base took the "LABEL" text as the label; it is the cue, not the text.
        SetText(kept);
        mCueText = cue;
        if (!mCueText.IsEmpty() && kLookCueText < mLooks.GetCount()) {
            if (const RCPtr<LLook>& look = *mLooks.At(kLookCueText)) {
                look->SetLabelText(mCueText);
            }
            UpdateLooks();
        }
    }
    return result;
}

// Text -----------------------------------------------------------------------------------------

int32_t LTextBox::SetText(const WideString& text)
{
    return SetText(text, true);
}

int32_t LTextBox::SetText(const WideString& text, bool resetCaret)
{
    const RCPtr<LControl> keepAlive(this);
    if (!SetLabelText(text, true)) {
        return S_FALSE;
    }
    const RectT<float> extent = MeasureText(text);
    SetClientExtent(std::clamp(double(extent.width), -kExtentLimit, kExtentLimit),
                    std::clamp(double(extent.height), -kExtentLimit, kExtentLimit));
    mSelectionStart = 0;
    mSelectionLength = 0;
    const int32_t length = text.GetLength();
    if (resetCaret) {
        SetCaret(0, true);
    } else if (mCaret > length) {
        // A caret beyond the new text would edit outside it.
        SetCaret(length, true);
    } else {
        mAnchor = mCaret;
        UpdateCaretRect();
    }
    UpdateLooks();
    SendNotification(kNidTextBoxTextChange, RCPtr<LRefCountedObject>(this));
    return S_OK;
}

int32_t LTextBox::SetMaxLength(int32_t maximum)
{
    mMaxLength = maximum;
    if (maximum > 0 && GetText().GetLength() > maximum) {
        if (SetText(GetText().Left(maximum), false) == S_OK) {
            SetCaret(GetText().GetLength(), true);
        }
    }
    return S_OK;
}

// Caret and selection ----------------------------------------------------------------------------

int32_t LTextBox::SetCaret(int32_t position, bool forced)
{
    if (position < 0 || position > GetText().GetLength()) {
        return E_INVALIDARG;
    }
    const bool same = position == mCaret;
    if (same && !forced) {
        if (mSelectionLength == 0) {
            mAnchor = mCaret;
        }
        return S_FALSE;
    }
    mCaret = position;
    if (mSelectionLength == 0) {
        mAnchor = mCaret;
    }
    UpdateCaretRect();
    mCaretShown = true;
    mNextBlink = Now() + kBlinkShown;
    InvalidateSelf();
    return same ? S_FALSE : S_OK;
}

WideString LTextBox::GetSelectedText() const
{
    return GetText().Mid(mSelectionStart, mSelectionLength);
}

void LTextBox::ClearSelection()
{
    const bool had = mSelectionLength > 0;
    mSelectionStart = 0;
    mSelectionLength = 0;
    mAnchor = mCaret;
    if (had) {
        UpdateLooks();
    }
}

void LTextBox::SelectRange(int32_t first, int32_t last)
{
    const int32_t length = GetText().GetLength();
    if (first == 0 && last == -1) {
        Select(0, length, 0);
    } else if (first == -1) {
        ClearSelection();
    } else if (first >= 0 && first < length && last >= 0 && last < length) {
        const int32_t low = std::min(first, last);
        Select(low, std::max(first, last) - low + 1, low);
    }
}

void LTextBox::Select(int32_t start, int32_t length, int32_t anchor)
{
    const int32_t textLength = GetText().GetLength();
    start = std::clamp(start, 0, textLength);
    length = std::clamp(length, 0, textLength - start);
    const bool changed = start != mSelectionStart || length != mSelectionLength;
    mSelectionStart = start;
    mSelectionLength = length;
    mAnchor = anchor;
    if (changed) {
        UpdateLooks();
    }
}

void LTextBox::ExtendTo(int32_t position)
{
    const int32_t anchor = mAnchor;
    Select(std::min(anchor, position), std::abs(position - anchor), anchor);
    SetCaret(position, false);
}

// Editing ----------------------------------------------------------------------------------------

void LTextBox::InsertCharacter(char16_t character)
{
    const RCPtr<LControl> keepAlive(this);
    WideString copy = GetText();
    if (mSelectionLength > 0) {
        const int32_t start = mSelectionStart;
        copy = copy.Left(start) + copy.MidFrom(start + mSelectionLength);
        SetCaret(start, false);
        ClearSelection();
    }
    const bool room = mMaxLength == 0 || copy.GetLength() < mMaxLength;
    if (room) {
        copy.Insert(uint32_t(mCaret), WideString(character));
    }
    // A full box only loses the selection: the caret stays where the selection began.
    if (SetText(copy, false) == S_OK && room) {
        SetCaret(mCaret + 1, true);
    }
}

void LTextBox::DeleteRange(int32_t start, int32_t count)
{
    const WideString& text = GetText();
    if (start < 0 || count <= 0 || start >= text.GetLength()) {
        return;
    }
    const RCPtr<LControl> keepAlive(this);
    if (SetText(text.Left(start) + text.MidFrom(std::min(start + count, text.GetLength())),
                false) == S_OK) {
        SetCaret(start, true);
    }
}

void LTextBox::DeleteSelection()
{
    if (mSelectionLength > 0) {
        DeleteRange(mSelectionStart, mSelectionLength);
    }
}

int32_t LTextBox::NextWordStart(int32_t from) const
{
    const WideString& text = GetText();
    const char16_t* chars = text.GetText();
    const int32_t length = text.GetLength();
    int32_t i = std::clamp(from, 0, length);
    while (i < length && IsWideSpace(chars[i])) {
        ++i;
    }
    while (i < length && !IsWideSpace(chars[i])) {
        ++i;
    }
    while (i < length && IsWideSpace(chars[i])) {
        ++i;
    }
    return i;
}

int32_t LTextBox::PreviousWordStart(int32_t from) const
{
    const WideString& text = GetText();
    const char16_t* chars = text.GetText();
    int32_t i = std::clamp(from, 0, text.GetLength());
    while (i > 0 && IsWideSpace(chars[i - 1])) {
        --i;
    }
    while (i > 0 && !IsWideSpace(chars[i - 1])) {
        --i;
    }
    return i;
}

// Geometry -------------------------------------------------------------------------------------

RectT<float> LTextBox::GetTextArea() const
{
    if (mLooks.GetCount() == 0 || !*mLooks.At(0)) {
        return {};
    }
    const float width = float(std::clamp(mRect.width, -kDrawLimit, kDrawLimit));
    const float height = float(std::clamp(mRect.height, -kDrawLimit, kDrawLimit));
    return (*mLooks.At(0))->GetTextRect(width, height);
}

PointT<float> LTextBox::GetFirstLineOffset() const
{
    if (mLooks.GetCount() == 0 || !*mLooks.At(0) || !(*mLooks.At(0))->GetTextObject()) {
        return {};
    }
    const RectT<float> line = (*mLooks.At(0))->GetTextObject()->GetLine(0);
    return {line.x, line.y};
}

double LTextBox::GetLineHeight() const
{
    return mFont ? double(std::max(0, mFont->GetHeight())) : 0.0;
}

RectT<float> LTextBox::MeasureText(const WideString& text) const
{
    IControlApplication* application = GetControlApplication();
    const RCPtr<LMeasurementRenderer> renderer =
        application != nullptr ? application->GetMeasurementRenderer() : nullptr;
    if (!renderer || text.IsEmpty()) {
        return {};
    }
    RectT<float> extent = renderer->MeasureText(text, mFont);
    if (extent.x != 0.0f) {
        extent.width += extent.x;
        extent.x = 0.0f;
    }
    return extent;
}

double LTextBox::MeasureWidth(const WideString& text) const
{
    return double(MeasureText(text).width);
}

double LTextBox::GetCharacterX(int32_t index) const
{
    const WideString& text = GetText();
    index = std::clamp(index, 0, text.GetLength());
    return double(GetTextArea().x) + double(GetFirstLineOffset().x) +
           MeasureWidth(text.Left(index));
}

int32_t LTextBox::GetCharacterAtPoint(const PointT<double>& point) const
{
    const RectT<float> area = GetTextArea();
    const double x =
        std::clamp(point.x, double(area.x), double(area.x) + double(area.width)) + mScrollOffset.x;
    const int32_t length = GetText().GetLength();
    if (length == 0 || x < GetCharacterX(0)) {
        return 0;
    }
    if (x >= GetCharacterX(length)) {
        return length;
    }
    // The character whose extent holds x; its boundary on the nearer side of its middle.
    int32_t low = 0;
    int32_t high = length - 1;
    while (low < high) {
        const int32_t middle = (low + high + 1) / 2;
        if (GetCharacterX(middle) <= x) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    const double left = GetCharacterX(low);
    const double right = GetCharacterX(low + 1);
    return x < (left + right) / 2.0 ? low : low + 1;
}

RectT<double> LTextBox::GetRangeRect(int32_t start, int32_t count) const
{
    const double left = GetCharacterX(start);
    const double right = GetCharacterX(start + count);
    const double top = double(GetTextArea().y) + double(GetFirstLineOffset().y);
    return {left, top, right - left, GetLineHeight()};
}

void LTextBox::UpdateCaretRect()
{
    const double top = double(GetTextArea().y) + double(GetFirstLineOffset().y);
    mCaretRect = {float(GetCharacterX(mCaret) - 1.0), float(top), 1.0f, float(GetLineHeight())};
}

PointT<double> LTextBox::GetPointerInControl() const
{
    const RCPtr<LRootWindow>& window = GetRootWindowRef();
    if (!window) {
        return {};
    }
    const PointT<int32_t> pointer = window->GetCursorPosition();
    const PointT<double> corner = GetPositionInRoot();
    return {double(pointer.x) - corner.x, double(pointer.y) - corner.y};
}

// Looks ----------------------------------------------------------------------------------------

void LTextBox::UpdateLooks()
{
    const int32_t lookCount = mLooks.GetCount();
    if (!IsEnabled(true)) {
        ClearLookRegions();
        ShowLook(kLookDisabled);
        return;
    }
    const int32_t hover = (IsPointerOver() || IsDragging(0)) ? 1 : 0;
    const bool focused = HasFocus();
    const RectT<float> area = GetTextArea();
    const RCPtr<LLook> cueLook = kLookCueText < lookCount ? *mLooks.At(kLookCueText) : nullptr;
    if (!focused && GetText().IsEmpty() && !mCueText.IsEmpty() && cueLook) {
        // Every text change hands the box's text to all looks; the cue's look keeps the cue.
        cueLook->SetLabelText(mCueText);
        // The cue's first line where that look places it, so a centred cue is not cut off.
        const float width = float(std::clamp(mRect.width, -kDrawLimit, kDrawLimit));
        const float height = float(std::clamp(mRect.height, -kDrawLimit, kDrawLimit));
        const RectT<float> cueArea = cueLook->GetTextRect(width, height);
        const RectT<float> line =
            cueLook->GetTextObject() ? cueLook->GetTextObject()->GetLine(0) : RectT<float>{};
        RectRegion cue;
        cue.AddRectRounded(double(cueArea.x) + line.x, double(cueArea.y) + line.y, line.width,
                           GetLineHeight());
        // An empty region would let the look draw everywhere: without a cue to show, the
        // plain look stands alone.
        if (!cue.IsEmpty()) {
            ClearLookRegions();
            SetLookRegion(kLookCueText, cue);
            SetLookRegionExcluding(kLookCueBackground, kLookCueText);
            ShowLook(kLookCueBackground);
            SetLookAlpha(kLookCueText, 1.0f, false);
            return;
        }
    }
    if (focused && mSelectionLength > 0 && kLookSelectionHover < lookCount) {
        const int32_t base = kLookFocused + hover;
        const int32_t highlight = kLookSelection + hover;
        RectT<double> selection = GetRangeRect(mSelectionStart, mSelectionLength);
        selection.x -= mScrollOffset.x;
        selection.y -= mScrollOffset.y;
        const RectT<double> textArea{area.x, area.y, area.width, area.height};
        RectRegion region;
        if (IntersectRect(selection, textArea, selection)) {
            region.AddRectRounded(selection.x, selection.y, selection.width, selection.height);
        }
        if (!region.IsEmpty()) {
            ClearLookRegions();
            SetLookRegion(highlight, region);
            SetLookRegionExcluding(base, highlight);
            ShowLook(base);
            SetLookAlpha(uint32_t(highlight), 1.0f, false);
            return;
        }
    }
    ClearLookRegions();
    ShowLook(focused ? kLookFocused + hover : hover);
}

// Focus, conditions, idle ------------------------------------------------------------------------

void LTextBox::OnConditionsChanged(const RCPtr<LConditionsParam>& conditions)
{
    LScrollView::OnConditionsChanged(conditions);
    if (!conditions) {
        return;
    }
    if (Began(*conditions, kConditionHover)) {
        SetCursor(GetApplicationCursor(u"UI_CURSOR_IBEAM"));
    }
    if (Began(*conditions, kConditionHasFocus)) {
        OnFocusConditionSet();
        return;
    }
    if (Ended(*conditions, kConditionHasFocus)) {
        OnFocusConditionCleared();
        return;
    }
    constexpr uint32_t kLookConditions = kConditionPointerOver | kConditionHover |
                                         kConditionLeftPressed | kConditionLeftDragging |
                                         kConditionEnabled | kConditionVisible;
    if (((conditions->mOldMask ^ conditions->mNewMask) & kLookConditions) != 0) {
        UpdateLooks();
    }
}

void LTextBox::OnFocusConditionSet()
{
    if (const RCPtr<LRootWindow>& window = GetRootWindowRef()) {
        window->NotifyTextInputFocus(true, this, 0);
    }
    UpdateLooks();
    mNextBlink = Now() + kBlinkShown;
    InvalidateSelf();
    UpdateIdleRequest(true);
}

void LTextBox::OnFocusConditionCleared()
{
    if (const RCPtr<LRootWindow>& window = GetRootWindowRef()) {
        window->NotifyTextInputFocus(false, this, 0);
    }
    UpdateIdleRequest(false);
    mCaretShown = false;
    SetScrollOffset({0.0, 0.0});
    UpdateLooks();
    InvalidateSelf();
}

void LTextBox::UpdateIdleRequest(bool wanted)
{
    if (wanted && !mIdleHeld) {
        mIdleHeld = true;
        RequestIdle();
    } else if (!wanted && mIdleHeld) {
        mIdleHeld = false;
        ReleaseIdle();
    }
}

void LTextBox::OnIdle()
{
    const double now = Now();
    if (now >= mNextBlink) {
        mCaretShown = !mCaretShown;
        mNextBlink = now + (mCaretShown ? kBlinkShown : kBlinkHidden);
        InvalidateSelf();
    }
}

const PointT<double>& LTextBox::SetScrollOffset(const PointT<double>& offset)
{
    if (mScrolling) {
        return LScrollView::SetScrollOffset(offset);
    }
    mScrolling = true;
    const PointT<double>& result = LScrollView::SetScrollOffset(offset);
    if (IsDragging(0)) {
        ExtendTo(GetCharacterAtPoint(GetPointerInControl()));
    } else {
        UpdateLooks();
    }
    mScrolling = false;
    return result;
}

void LTextBox::EndResize()
{
    LScrollView::EndResize();
    UpdateCaretRect();
}

int32_t LTextBox::SetFocus(bool forward)
{
    if (mHasFocus) {
        Validate();
    }
    return LScrollView::SetFocus(forward);
}

bool LTextBox::CanLoseFocus()
{
    return Validate()->mAccepted;
}

WideString LTextBox::GetToolTipText() const
{
    return IsTextTruncated() ? GetText() : LScrollView::GetToolTipText();
}

// Drawing ----------------------------------------------------------------------------------------

int32_t LTextBox::OnDrawContent(const RCPtr<LRenderer>& renderer)
{
    if (!renderer || !HasFocus() || !mCaretShown) {
        return S_OK;
    }
    const float x = ClampToDrawing(double(mCaretRect.x) - mScrollOffset.x);
    const float top = ClampToDrawing(double(mCaretRect.y) - mScrollOffset.y);
    const float bottom = ClampToDrawing(double(mCaretRect.y) + mCaretRect.height - mScrollOffset.y);
    // White over a dark background, black over a light one.
    const uint32_t under = GetColorAtPoint({int32_t(std::lround(x)), int32_t(std::lround(top))},
                                           GetFirstActiveLookIndex());
    const uint32_t average = (((under >> 16) & 0xFF) + ((under >> 8) & 0xFF) + (under & 0xFF)) / 3;
    ColorT color;
    color.FromARGB(average <= 128 ? 0xFFFFFFFFu : 0xFF000000u);
    renderer->DrawLine({x, top}, {x, bottom}, color, 1.0f);
    return S_OK;
}

// Input ------------------------------------------------------------------------------------------

void LTextBox::OnLeftButtonDown(const ConstRCPtr<LMouseButtonParam>& event)
{
    LScrollView::OnLeftButtonDown(event);
    if (!event) {
        return;
    }
    const int32_t position = GetCharacterAtPoint({double(event->mX), double(event->mY)});
    if ((event->mModifiers & kModifierShift) != 0) {
        ExtendTo(position);
        return;
    }
    ClearSelection();
    SetCaret(position, false);
    mAnchor = position;
}

void LTextBox::OnPointerMove(const ConstRCPtr<LPointWithModifiersParam>& event)
{
    LScrollView::OnPointerMove(event);
    if (event && IsDragging(0)) {
        ExtendTo(GetCharacterAtPoint({double(event->mX), double(event->mY)}));
    }
}

void LTextBox::BeforeLeftClick(const ConstRCPtr<LMouseButtonParam>& event)
{
    LScrollView::BeforeLeftClick(event);
    if (!event || (event->mDoubleClick == 0 && (event->mModifiers & kModifierCtrl) == 0)) {
        return;
    }
    // The word at the caret, without the white space after it.
    ClearSelection();
    SetCaret(PreviousWordStart(mCaret), false);
    const char16_t* chars = GetText().GetText();
    int32_t end = NextWordStart(mCaret);
    while (end > mCaret && IsWideSpace(chars[end - 1])) {
        --end;
    }
    ExtendTo(end);
}

int32_t LTextBox::HandleKey(const ConstRCPtr<LKeyParam>& key)
{
    if (!key) {
        return S_FALSE;
    }
    const RCPtr<LControl> keepAlive(this);
    const uint32_t code = key->mKey.GetCode();
    if (MoveCaretForKey(code) || DeleteForKey(code)) {
        return S_OK;
    }
    if (code == kKeyReturn) {
        // An accepted text lets Return travel on to the parent (a dialog's default action).
        return Validate()->mAccepted ? S_FALSE : S_OK;
    }
    if (IsUpOrDown(code)) {
        return S_FALSE;
    }
    return TypeKey(key->mKey);
}

bool LTextBox::MoveCaretForKey(uint32_t code)
{
    const int32_t length = GetText().GetLength();
    switch (code) {
    case kKeyLeft:
        ClearSelection();
        if (mCaret > 0) {
            SetCaret(mCaret - 1, false);
        }
        return true;
    case kKeyRight:
        ClearSelection();
        if (mCaret < length) {
            SetCaret(mCaret + 1, false);
        }
        return true;
    case kKeyLeft | kShift:
        if (mCaret > 0) {
            ExtendTo(mCaret - 1);
        }
        return true;
    case kKeyRight | kShift:
        if (mCaret < length) {
            ExtendTo(mCaret + 1);
        }
        return true;
    case kKeyLeft | kCtrl:
        ClearSelection();
        SetCaret(PreviousWordStart(mCaret), false);
        return true;
    case kKeyRight | kCtrl:
        ClearSelection();
        SetCaret(NextWordStart(mCaret), false);
        return true;
    case kKeyLeft | kCtrl | kShift:
        ExtendTo(PreviousWordStart(mCaret));
        return true;
    case kKeyRight | kCtrl | kShift:
        ExtendTo(NextWordStart(mCaret));
        return true;
    case kKeyHome:
        ClearSelection();
        SetCaret(0, false);
        return true;
    case kKeyEnd:
        ClearSelection();
        SetCaret(length, false);
        return true;
    case kKeyHome | kShift:
        if (mCaret > 0) {
            Select(0, mAnchor, mAnchor);
            SetCaret(0, false);
        }
        return true;
    case kKeyEnd | kShift:
        if (mCaret < length) {
            Select(mAnchor, length - mAnchor, mAnchor);
            SetCaret(length, false);
        }
        return true;
    default:
        return false;
    }
}

bool LTextBox::DeleteForKey(uint32_t code)
{
    const int32_t length = GetText().GetLength();
    switch (code) {
    case kKeyBackspace:
    case kKeyDelete | kShift:
        if (mSelectionLength > 0) {
            DeleteSelection();
        } else if (mCaret > 0) {
            DeleteRange(mCaret - 1, 1);
        }
        return true;
    case kKeyDelete:
        if (mSelectionLength > 0) {
            DeleteSelection();
        } else {
            DeleteRange(mCaret, 1);
        }
        return true;
    case kKeyDelete | kCtrl:
        if (mSelectionLength > 0) {
            DeleteSelection();
        } else {
            DeleteRange(mCaret, length - mCaret);
        }
        return true;
    default:
        return false;
    }
}

int32_t LTextBox::TypeKey(const KeyCode& key)
{
    const uint32_t code = key.GetCode();
    if (IsVirtualKeyCode(key)) {
        if (IsTypingKey(key.GetVirtualKey())) {
            return (code & (KeyCode::kCtrl | KeyCode::kAlt | KeyCode::kCommand)) != 0 ? S_FALSE
                                                                                      : S_OK;
        }
        return S_FALSE;
    }
    const char16_t character = key.GetCharacter();
    const bool isCharacter =
        (code & (KeyCode::kVirtualKeyMask | KeyCode::kNoKey)) == 0 && character != 0;
    if (!isCharacter) {
        return S_OK;
    }
    if (character == u'\t' || !IsWidePrintable(character)) {
        return S_FALSE;
    }
    if (!mFilter.IsEmpty()) {
        const bool listed = mFilter.Find(WideString(character)) >= 0;
        if (listed != mFilterAllows) {
            return S_OK;
        }
    }
    InsertCharacter(character);
    return S_OK;
}

} // namespace SV
