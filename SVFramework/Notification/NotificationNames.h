// The names of the notifications the framework sends or takes, grouped by sender. Code registers,
// sends and compares these constants, never a spelt-out name: a misspelt constant does not
// compile, a misspelt text is silently never received. The texts are the system's own names and
// are kept exactly, "NID_VISIBLITY_CONDITION_CHANGE" included.
#pragma once

namespace SV {

// A notification queue after its posted notifications, and a root window to the controls that
// asked for idle time.
inline constexpr const char16_t* kNidIdle = u"NID_IDLE";

// Every control (LControl): the mouse on it.
inline constexpr const char16_t* kNidMouseDown = u"NID_MOUSE_DOWN";
inline constexpr const char16_t* kNidMouseMove = u"NID_MOUSE_MOVE";
inline constexpr const char16_t* kNidMouseUp = u"NID_MOUSE_UP";
inline constexpr const char16_t* kNidLeftClick = u"NID_LEFT_CLICK";
inline constexpr const char16_t* kNidMiddleClick = u"NID_MIDDLE_CLICK";
inline constexpr const char16_t* kNidRightClick = u"NID_RIGHT_CLICK";

// Every control: its conditions (payload LConditionsParam), all at once and one by one.
inline constexpr const char16_t* kNidConditionChange = u"NID_CONDITION_CHANGE";
inline constexpr const char16_t* kNidHasFocusConditionChange = u"NID_HAS_FOCUS_CONDITION_CHANGE";
inline constexpr const char16_t* kNidContainsFocusConditionChange =
    u"NID_CONTAINS_FOCUS_CONDITION_CHANGE";
inline constexpr const char16_t* kNidHoverConditionChange = u"NID_HOVER_CONDITION_CHANGE";
inline constexpr const char16_t* kNidCaptureConditionChange = u"NID_CAPTURE_CONDITION_CHANGE";
inline constexpr const char16_t* kNidLeftDragConditionChange = u"NID_LEFT_DRAG_CONDITION_CHANGE";
inline constexpr const char16_t* kNidMiddleDragConditionChange =
    u"NID_MIDDLE_DRAG_CONDITION_CHANGE";
inline constexpr const char16_t* kNidRightDragConditionChange = u"NID_RIGHT_DRAG_CONDITION_CHANGE";
inline constexpr const char16_t* kNidEnabledConditionChange = u"NID_ENABLED_CONDITION_CHANGE";
// The system's name is spelt this way.
inline constexpr const char16_t* kNidVisibilityConditionChange = u"NID_VISIBLITY_CONDITION_CHANGE";

// Every control: its value, its scroll offset, and a key offered to its siblings (a control also
// hands it to itself).
inline constexpr const char16_t* kNidValueChange = u"NID_VALUE_CHANGE";
inline constexpr const char16_t* kNidScrollOffsetChange = u"NID_SCROLL_OFFSET_CHANGE";
inline constexpr const char16_t* kNidSiblingKey = u"NID_SIBLING_KEY";

// Buttons: the repeat of a held button; the request that makes a button act as if clicked.
inline constexpr const char16_t* kNidButtonAutoRepeat = u"NID_BUTTON_AUTOREPEAT";
inline constexpr const char16_t* kNidSimulateClick = u"NID_SIMULATE_CLICK";

// Knobs and sliders: a drag or a held arrow key starts and ends.
inline constexpr const char16_t* kNidValueChangeCapture = u"NID_VALUE_CHANGE_CAPTURE";
inline constexpr const char16_t* kNidValueChangeKeyDown = u"NID_VALUE_CHANGE_KEY_DOWN";
inline constexpr const char16_t* kNidValueChangeKeyUp = u"NID_VALUE_CHANGE_KEY_UP";

// Text boxes, and the combo boxes and up-downs that pass their text box's on as their own.
inline constexpr const char16_t* kNidTextBoxTextChange = u"NID_TEXTBOX_TEXT_CHANGE";
inline constexpr const char16_t* kNidTextBoxValidating = u"NID_TEXTBOX_VALIDATING";
inline constexpr const char16_t* kNidTextBoxValidated = u"NID_TEXTBOX_VALIDATED";

// List boxes, multi-column list boxes, combo boxes and popup menus.
inline constexpr const char16_t* kNidSelectionChange = u"NID_SELECTION_CHANGE";
inline constexpr const char16_t* kNidItemActivated = u"NID_ITEM_ACTIVATED";
inline constexpr const char16_t* kNidItemDoubleClicked = u"NID_ITEM_DOUBLE_CLICKED";
inline constexpr const char16_t* kNidItemHoverConditionChange = u"NID_ITEM_HOVER_CONDITION_CHANGE";
inline constexpr const char16_t* kNidItemLeftDragConditionChange =
    u"NID_ITEM_LEFT_DRAG_CONDITION_CHANGE";

// Checked list boxes, tree views and checked combo boxes.
inline constexpr const char16_t* kNidItemCheckChange = u"NID_ITEM_CHECK_CHANGE";
inline constexpr const char16_t* kNidItemCheckBoxClicked = u"NID_ITEM_CHECKBOX_CLICKED";

// Combo boxes, tab controls, level meters, dialogs, scroll views.
inline constexpr const char16_t* kNidDropDownOpening = u"NID_DROPDOWN_OPENING";
inline constexpr const char16_t* kNidTabSelected = u"NID_TAB_SELECTED";
inline constexpr const char16_t* kNidClipLightUnlatched = u"NID_CLIPLIGHT_UNLATCHED";
inline constexpr const char16_t* kNidDialogClosing = u"NID_DIALOG_CLOSING";
inline constexpr const char16_t* kNidDialogClosed = u"NID_DIALOG_CLOSED";
inline constexpr const char16_t* kNidClientExtentChange = u"NID_CLIENT_EXTENT_CHANGE";

// The status bar posts its text to itself; only the newest is delivered.
inline constexpr const char16_t* kNidSetStatusText = u"NID_SET_STATUS_TEXT";

// Requests to the application: leave; and the edit commands of a text box's context menu, which
// the clipboard takes.
inline constexpr const char16_t* kNidAppExitRequest = u"NID_APP_EXIT_REQ";
inline constexpr const char16_t* kNidEditCutRequest = u"NID_EDIT_CUT_REQ";
inline constexpr const char16_t* kNidEditCopyRequest = u"NID_EDIT_COPY_REQ";
inline constexpr const char16_t* kNidEditPasteRequest = u"NID_EDIT_PASTE_REQ";
inline constexpr const char16_t* kNidEditDeleteRequest = u"NID_EDIT_DELETE_REQ";

} // namespace SV
