#include "ProgramExchangeActions.h"

#include "Application.h"
#include "DriverCommon/EditorMessages.h"
#include "MessageBoxStyles.h"
#include "PresetEditorCommon/MidiManager.h"

namespace {

// A firmware the keyboard cannot work with; the manager does not report it today, the messages
// are ready when it does.
constexpr int32_t kIncompatibleFirmware = -2;

SV::RCPtr<SV::LMidiManager> GetMidiManager()
{
    auto* application = dynamic_cast<LApplication*>(SV::CurrentApplication);
    return application != nullptr ? application->GetMidiManager() : SV::RCPtr<SV::LMidiManager>();
}

// The box of a result; an empty text shows nothing.
void ShowResult(const char16_t* captionId, const char16_t* textId)
{
    const SV::WideString text = GetAppString(SV::WideString(textId));
    if (text.IsEmpty()) {
        return;
    }
    ShowMessageBox(text, GetAppString(SV::WideString(captionId)), MB_OK);
}

} // namespace

int32_t GetProgramFromDevice(int32_t slot)
{
    const SV::RCPtr<SV::LMidiManager> manager = GetMidiManager();
    const int32_t result =
        manager ? manager->GetPresetFromMidiDevice(slot) : SV::LMidiManager::kDeviceNotFound;

    const char16_t* caption = u"LABEL_GET_PRESET_SUCEESS_MSGBOX_CAPTION";
    const char16_t* text = u"LABEL_GET_PRESET_SUCEESS_MSGBOX_TEXT";
    if (result == SV::LMidiManager::kDeviceNotFound || result == SV::LMidiManager::kNoReply) {
        caption = u"LABEL_GET_PRESET_FAILED_MSGBOX_CAPTION";
        text = u"LABEL_GET_PRESET_FAILED_MIDI_ERROR_MSGBOX_TEXT";
    } else if (result == kIncompatibleFirmware) {
        caption = u"LABEL_GET_PRESET_FAILED_MSGBOX_CAPTION";
        text = u"LABEL_GET_PRESET_FAILED_FW_COMPATIBILITY_ERROR_MSGBOX_TEXT";
    }
    ShowResult(caption, text);
    return result;
}

int32_t SendProgramToDevice(int32_t slot)
{
    const SV::RCPtr<SV::LMidiManager> manager = GetMidiManager();
    const int32_t result =
        manager ? manager->SendPresetToMidiDevice(slot) : SV::LMidiManager::kDeviceNotFound;

    // Only these two count as failures: a send awaits no reply, so -3 never comes from it.
    const char16_t* caption = u"LABEL_SEND_PRESET_SUCEESS_MSGBOX_CAPTION";
    const char16_t* text = u"LABEL_SEND_PRESET_SUCEESS_MSGBOX_TEXT";
    if (result == SV::LMidiManager::kDeviceNotFound) {
        caption = u"LABEL_SEND_PRESET_FAILED_MSGBOX_CAPTION";
        text = u"LABEL_SEND_PRESET_FAILED_MIDI_ERROR_MSGBOX_TEXT";
    } else if (result == kIncompatibleFirmware) {
        caption = u"LABEL_SEND_PRESET_FAILED_MSGBOX_CAPTION";
        text = u"LABEL_SEND_PRESET_FAILED_FW_COMPATIBILITY_ERROR_MSGBOX_TEXT";
    }
    ShowResult(caption, text);
    return result;
}
