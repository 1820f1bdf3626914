// The framework's single-line text entry ("Framework.TextBox"). The text is the control's own
// label text, so the skin's text properties place and colour it; the box adds a caret that
// blinks at idle passes, a selection with its anchor, an optional maximum length and character
// filter, keyboard and mouse editing, a cue text for the empty box, the edit commands of the
// clipboard service with their context menu, and a validation through which its owner may
// correct or refuse what was typed before the box lets the focus go.
#pragma once

#include "ControlBase/MenuDescriptor.h"
#include "Controls/ScrollView.h"
#include "Controls/TextValidationParams.h"

namespace SV {

class LKeyParam;

class LTextBox : public LScrollView
{
public:
    // Looks chosen by the box's state; the skin's list has 14 and repeats pictures it lacks.
    enum : int32_t
    {
        kLookNormal = 0,
        kLookHover = 1,
        kLookCueBackground = 2,
        kLookFocused = 3,
        kLookFocusedHover = 4,
        kLookDisabled = 6,
        kLookCueText = 9,
        kLookSelection = 10,
        kLookSelectionHover = 11,
    };

    static constexpr double kBlinkShown = 0.5;
    static constexpr double kBlinkHidden = 0.3;

    LTextBox(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived = true);
    ~LTextBox() override;

    static RCPtr<LControl> CreateControl(const RCPtr<LControl>& parent,
                                         const ConstRCPtr<LControlDescriptor>& descriptor);

    // Sets the text with the caret put back to 0.
    int32_t SetText(const WideString& text) override;
    // 0 when the text changed ("NID_TEXTBOX_TEXT_CHANGE" sent, selection cleared), 1 when it
    // was equal and nothing happened. A caret left beyond the new text moves to its end.
    virtual int32_t SetText(const WideString& text, bool resetCaret);

    // 0 unlimited; a negative maximum lets nothing be typed or pasted. A positive maximum below
    // the length cuts the text and puts the caret at its end.
    int32_t SetMaxLength(int32_t maximum);
    int32_t GetMaxLength() const { return mMaxLength; }
    // Set directly by an owning control: typed characters must be in the filter (allow list) or
    // must not be (deny list); an empty filter lets everything through.
    void SetCharacterFilter(const WideString& filter, bool allows)
    {
        mFilter = filter;
        mFilterAllows = allows;
    }
    const WideString& GetCharacterFilter() const { return mFilter; }
    bool FilterAllows() const { return mFilterAllows; }
    const WideString& GetCueText() const { return mCueText; }

    // Caret and selection. A caret position outside 0..length answers E_INVALIDARG. An unforced
    // move to where the caret is only brings the anchor along and answers 1.
    int32_t SetCaret(int32_t position, bool forced);
    int32_t GetCaret() const { return mCaret; }
    int32_t GetSelectionStart() const { return mSelectionStart; }
    int32_t GetSelectionLength() const { return mSelectionLength; }
    int32_t GetAnchor() const { return mAnchor; }
    WideString GetSelectedText() const;
    void ClearSelection();
    // Inclusive character indices: (0, -1) selects all, first -1 clears; anything else outside
    // the text is ignored.
    void SelectRange(int32_t first, int32_t last);
    void Select(int32_t start, int32_t length, int32_t anchor);
    // Selects between the anchor and the position and moves the caret there.
    void ExtendTo(int32_t position);

    // Editing as the keys do it.
    void InsertCharacter(char16_t character);
    void DeleteRange(int32_t start, int32_t count);
    void DeleteSelection();
    int32_t PreviousWordStart(int32_t from) const;
    int32_t NextWordStart(int32_t from) const;

    // Geometry, in content coordinates: the x of a character boundary and the boundary nearest
    // to a point of the control.
    double GetCharacterX(int32_t index) const;
    int32_t GetCharacterAtPoint(const PointT<double>& point) const;
    // x, top, width 1 and the line height.
    const RectT<float>& GetCaretRect() const { return mCaretRect; }
    bool IsCaretShown() const { return mCaretShown; }
    double GetNextBlink() const { return mNextBlink; }

    // Chooses and shows the looks for the state, the cue and the selection highlight.
    void UpdateLooks();

    // Validation: "NID_TEXTBOX_VALIDATING" lets receivers replace or refuse the text; an
    // accepted text is applied and "NID_TEXTBOX_VALIDATED" follows.
    RCPtr<LTextValidationParams> Validate();

    // The edit commands of the clipboard service: 0 delete, 1 cut, 2 copy, 3 paste.
    bool SupportsEdit() const override { return true; }
    bool CanPerformEdit(int32_t operation) const override;
    int32_t PerformEdit(int32_t operation) override;
    // The state of an entry of a menu about to show: the four edit commands are enabled as the
    // clipboard service can perform them (0); other entries are left alone (1).
    int32_t UpdateMenuItem(const RCPtr<LMenuDescriptor>& menu, int32_t index,
                           const WideString& identifier, MenuItemState& state) override;
    // Builds the Cut, Copy, Paste and Delete menu from the framework's string table and makes
    // it the context menu; nothing without that table.
    void PrepareContextMenu();
    const RCPtr<LMenuDescriptor>& GetEditMenu() const { return mEditMenu; }

    // Overrides.
    const PointT<double>& SetScrollOffset(const PointT<double>& offset) override;
    void EndResize() override;
    int32_t SetFocus(bool forward) override;
    void OnConditionsChanged(const RCPtr<LConditionsParam>& conditions) override;
    void OnRootAttached() override;
    int32_t ApplyDescriptor(const ConstRCPtr<LControlDescriptor>& descriptor) override;
    void OnLeftButtonDown(const ConstRCPtr<LMouseButtonParam>& event) override;
    void OnPointerMove(const ConstRCPtr<LPointWithModifiersParam>& event) override;
    void BeforeLeftClick(const ConstRCPtr<LMouseButtonParam>& event) override;
    int32_t HandleKey(const ConstRCPtr<LKeyParam>& key) override;
    void OnIdle() override;
    int32_t OnDrawContent(const RCPtr<LRenderer>& renderer) override;
    int32_t Initialize() override;
    WideString GetToolTipText() const override;
    // Validates, and lets the focus go only for an accepted text.
    bool CanLoseFocus() override;

private:
    // The steps of HandleKey. A caret or selection move, or a deletion, for the key; false when
    // the key is none of them.
    bool MoveCaretForKey(uint32_t code);
    bool DeleteForKey(uint32_t code);
    // A key that may type: the character inserted when it is printable and the filter lets it
    // in. S_FALSE hands the key on.
    int32_t TypeKey(const KeyCode& key);

    // The text area of look 0 and the offsets of its first laid-out line.
    RectT<float> GetTextArea() const;
    PointT<float> GetFirstLineOffset() const;
    double GetLineHeight() const;
    // Width and height of the text in the control's font; empty without a measuring renderer.
    RectT<float> MeasureText(const WideString& text) const;
    double MeasureWidth(const WideString& text) const;
    // The selection's rectangle in content coordinates.
    RectT<double> GetRangeRect(int32_t start, int32_t count) const;
    void UpdateCaretRect();
    // The pointer now, in the control's coordinates.
    PointT<double> GetPointerInControl() const;
    void UpdateIdleRequest(bool wanted);
    void OnFocusConditionSet();
    void OnFocusConditionCleared();

    WideString mFilter;
    bool mFilterAllows = true;
    WideString mCueText;
    int32_t mCaret = 0;
    int32_t mSelectionStart = 0;
    int32_t mSelectionLength = 0;
    int32_t mAnchor = 0;
    int32_t mMaxLength = 0;
    RectT<float> mCaretRect;
    bool mScrolling = false;
    bool mCaretShown = true;
    double mNextBlink = 0.0;
    bool mIdleHeld = false;
    RCPtr<LMenuDescriptor> mEditMenu;
};

} // namespace SV
