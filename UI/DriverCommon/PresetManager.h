// The program-file manager: saves the engine's current program to a program file and loads a
// program file into the engine, from where the values reach the edit panels as every engine
// value does. It keeps no program of its own. The device view owns the one manager and shows
// the message of a failed load or save with the operations here. User-interface thread.
#pragma once

#include "Notification/Notification.h"
#include "Notification/NotificationClient.h"
#include "Notification/NotificationDistributor.h"
#include "Notification/NotificationHandler.h"
#include "ObjectBase/RCPtr.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace SV {

class LPresetManager : public LNotificationClient, public LNotificationDistributor
{
public:
    // A manager listening for "NID_GLOBAL_LOAD_CONTROL_PANEL_SETTINGS" on the "application"
    // centre. Throws SV::Exception<SV::FailedResultException> when it cannot register.
    static RCPtr<LPresetManager> Create();

    LPresetManager();
    ~LPresetManager() override;
    LPresetManager(const LPresetManager&) = delete;
    LPresetManager& operator=(const LPresetManager&) = delete;

    // Sends "NID_PRESETFILE_PRE_LOAD", reads the file, sends "NID_PRESETFILE_POST_LOAD" with
    // the result (LPresetFileLoadNotificationData) and answers it, both sent at once through
    // this manager. The results are PresetFile's.
    int32_t LoadPresetFile(const WideString& path);
    // Writes the engine's four values: 0, or E_FAIL when the engine does not answer the
    // program's four values or the file cannot be replaced whole (svp::ReplaceWholeFile: a
    // read-only file or anything but a regular file is refused; a symbolic link is written
    // through). A failed save leaves any file already there as it was.
    int32_t SavePresetFile(const WideString& path);
    // Reads and checks the whole file, then hands every value to the engine in file order. A
    // load that fails changes nothing. -6 (PresetFile::kUnreadable) for a file that is missing,
    // cannot be read or is no regular file (a FIFO is refused without waiting for a writer); -3
    // for one larger than PresetFile::kMaxFileSize; -5 when there is no engine to take the
    // values.
    int32_t ReadPresetFile(const WideString& path);

    // Loads the file its string payload names (no message); 1.
    int32_t OnGlobalLoadControlPanelSettings(const ConstRCPtr<LNotificationDistributor>& sender,
                                             const ConstRCPtr<LNotification>& notification);

    // The error box of each failed load, and of a failed save.
    static void ShowLoadOlderMessage();
    static void ShowLoadNewerMessage();
    static void ShowLoadCorruptMessage();
    static void ShowLoadWrongDeviceMessage();
    static void ShowTranslationFailureMessage();
    // The file of the path could not be read at all.
    static void ShowLoadUnreadableMessage(const WideString& path);
    static void ShowSaveFailedMessage();

    // Notifications reach the handler once Create has registered it.
    void Receive(const ConstRCPtr<LNotificationDistributor>& sender,
                 const ConstRCPtr<LNotification>& notification) override;
    // Drops the handler's entry, then the registration.
    int32_t Unregister(const RCPtr<LNotificationDistributor>& distributor,
                       const char16_t* name) override;
    // Leaves every distributor, and lets its own receivers go.
    int32_t ReleaseHook() override;

    bool IsReady() const { return mReady; }

private:
    RCPtr<LNotificationHandler<LPresetManager>> mHandler;
    bool mReady = false;
};

} // namespace SV
