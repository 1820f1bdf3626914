// The names of the notifications the engine sends or takes, grouped by sender; code uses these
// constants, never a spelt-out name (see Notification/NotificationNames.h).
#pragma once

namespace SV {

// The root module engine, on the "application" centre: parameter values that changed, the
// device's connection state, the list of remote devices.
inline constexpr const char16_t* kNidParamModuleStateChange = u"NID_PARAM_MODULE_STATE_CHANGE";
inline constexpr const char16_t* kNidDeviceConnectionStateChange =
    u"NID_DEVICE_CONNECTION_STATE_CHANGE";
inline constexpr const char16_t* kNidRemoteDeviceListChange = u"NID_REMOTE_DEVICE_LIST_CHANGE";
// The request the root module engine takes on the "application" centre: set one value.
inline constexpr const char16_t* kNidParamModuleChangeRequest = u"NID_PARAM_MODULE_CHANGE_REQ";

// The MIDI port layer: one captured input message (payload LMidiCaptureNotificationData).
inline constexpr const char16_t* kNidMidiDataCaptured = u"NID_MIDI_DATA_CAPTURED";

} // namespace SV
