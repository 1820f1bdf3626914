// The names of the notifications the editor sends or takes, grouped by sender; code uses these
// constants, never a spelt-out name (see Notification/NotificationNames.h).
#pragma once

namespace SV {

// The main window's menu items (named in the skin) and its hot keys: the device view takes them.
inline constexpr const char16_t* kNidMenuFileSendPreset0ToDevice =
    u"NID_MENU_FILE_SEND_PRESET0_TO_DEVICE";
inline constexpr const char16_t* kNidMenuFileSendPreset1ToDevice =
    u"NID_MENU_FILE_SEND_PRESET1_TO_DEVICE";
inline constexpr const char16_t* kNidMenuFileSendPreset2ToDevice =
    u"NID_MENU_FILE_SEND_PRESET2_TO_DEVICE";
inline constexpr const char16_t* kNidMenuFileSendPreset3ToDevice =
    u"NID_MENU_FILE_SEND_PRESET3_TO_DEVICE";
inline constexpr const char16_t* kNidMenuFileSendPreset4ToDevice =
    u"NID_MENU_FILE_SEND_PRESET4_TO_DEVICE";
inline constexpr const char16_t* kNidMenuFileGetPreset0ToDevice =
    u"NID_MENU_FILE_GET_PRESET0_TO_DEVICE";
inline constexpr const char16_t* kNidMenuFileGetPreset1ToDevice =
    u"NID_MENU_FILE_GET_PRESET1_TO_DEVICE";
inline constexpr const char16_t* kNidMenuFileGetPreset2ToDevice =
    u"NID_MENU_FILE_GET_PRESET2_TO_DEVICE";
inline constexpr const char16_t* kNidMenuFileGetPreset3ToDevice =
    u"NID_MENU_FILE_GET_PRESET3_TO_DEVICE";
inline constexpr const char16_t* kNidMenuFileGetPreset4ToDevice =
    u"NID_MENU_FILE_GET_PRESET4_TO_DEVICE";
inline constexpr const char16_t* kNidMenuFileLoadPresetFromFile =
    u"NID_MENU_FILE_LOAD_PRESET_FROM_FILE";
inline constexpr const char16_t* kNidMenuFileSavePresetToFile =
    u"NID_MENU_FILE_SAVE_PRESET_TO_FILE";
inline constexpr const char16_t* kNidMenuFileExitRequest = u"NID_MENU_FILE_EXIT_REQ";
inline constexpr const char16_t* kNidMenuHelpOpenUserGuideRequest =
    u"NID_MENU_HELP_OPEN_USERGUIDE_REQ";
inline constexpr const char16_t* kNidMenuHelpAboutRequest = u"NID_MENU_HELP_ABOUT_REQ";

// The request the program manager takes on the "application" centre: load a program file.
inline constexpr const char16_t* kNidGlobalLoadControlPanelSettings =
    u"NID_GLOBAL_LOAD_CONTROL_PANEL_SETTINGS";
// The program manager, around each load (after: payload LPresetFileLoadNotificationData).
inline constexpr const char16_t* kNidPresetFilePreLoad = u"NID_PRESETFILE_PRE_LOAD";
inline constexpr const char16_t* kNidPresetFilePostLoad = u"NID_PRESETFILE_POST_LOAD";

} // namespace SV
