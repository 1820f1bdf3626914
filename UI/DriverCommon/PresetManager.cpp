#include "PresetManager.h"

#include "Application/FrameworkApp.h"
#include "DriverCommon/EditorMessages.h"
#include "DriverCommon/PresetFile.h"
#include "DriverCommon/PresetFileLoadNotificationData.h"
#include "DriverCommon/EditorNotificationNames.h"
#include "MessageBoxStyles.h"
#include "ObjectBase/Exception.h"
#include "ObjectBase/StringWrapper.h"
#include "ResultCodes.h"
#include "RootModuleEngine.h"
#include "Utilities/Storage/Array.h"
#include "WholeFiles.h"

#include <string>
#include <vector>

namespace SV {
namespace {

std::string PathText(const WideString& path)
{
    return std::string(path.ToNarrow().GetText());
}

void ShowLoadMessage(const char16_t* textId)
{
    ShowMessageBox(GetAppString(WideString(textId)),
                   GetAppString(WideString(u"SETTINGS_FILE_LOAD_CAPTION")), MB_ICONHAND);
}

} // namespace

RCPtr<LPresetManager> LPresetManager::Create()
{
    RCPtr<LPresetManager> manager(new LPresetManager());
    const RCPtr<LNotificationCenter> center =
        CurrentApplication != nullptr ? CurrentApplication->GetNotificationCenter() : nullptr;
    const int32_t registered = manager->mHandler->RegisterHandler(
        &LPresetManager::OnGlobalLoadControlPanelSettings, RCPtr<LNotificationDistributor>(center),
        kNidGlobalLoadControlPanelSettings);
    if (registered < 0) {
        throw Exception<FailedResultException>(FormatFailedResult(
            registered, "SV::LPresetManager::Create", "UI\\DriverCommon\\PresetManager", 29));
    }
    manager->mReady = true;
    return manager;
}

LPresetManager::LPresetManager() : mHandler(new LNotificationHandler<LPresetManager>(this))
{}

LPresetManager::~LPresetManager() = default;

int32_t LPresetManager::LoadPresetFile(const WideString& path)
{
    Notify(CreateNotification(kNidPresetFilePreLoad));
    const int32_t result = ReadPresetFile(path);
    Notify(CreateNotification(
        kNidPresetFilePostLoad,
        RCPtr<LPresetFileLoadNotificationData>(new LPresetFileLoadNotificationData(result))));
    return result;
}

int32_t LPresetManager::ReadPresetFile(const WideString& path)
{
    std::vector<uint8_t> bytes;
    switch (svp::ReadWholeFile(PathText(path), PresetFile::kMaxFileSize, bytes)) {
    case svp::WholeFileRead::kRead:
        break;
    case svp::WholeFileRead::kTooLarge:
        return PresetFile::kCorrupt; // read far enough to know it is no program
    case svp::WholeFileRead::kUnreadable:
        return PresetFile::kUnreadable;
    }
    Array<ParamValue> values;
    const int32_t result = PresetFile::Decode(bytes, values);
    if (result != PresetFile::kLoaded) {
        return result;
    }
    const RCPtr<LRootModuleEngine> engine = GetRootModuleEngine();
    if (!engine) {
        return PresetFile::kTranslationFailure;
    }
    // What the engine makes of each value is its own affair, as with every value handed to it.
    for (int32_t index = 0; index < values.GetCount(); ++index) {
        const ParamValue& entry = *values.At(index);
        engine->SetParamValue(entry.descriptor, entry.value);
    }
    return PresetFile::kLoaded;
}

int32_t LPresetManager::SavePresetFile(const WideString& path)
{
    // The values come first: without a whole program no file is touched.
    const RCPtr<LRootModuleEngine> engine = GetRootModuleEngine();
    if (!engine) {
        return E_FAIL;
    }
    Array<ParamValue> values;
    if (engine->GetParamValues({engine->GetFirstParamID(), PresetFile::kValueCount}, values, -1) <
        0) {
        return E_FAIL;
    }
    std::vector<uint8_t> bytes;
    if (!PresetFile::Encode(values, bytes)) {
        return E_FAIL;
    }
    return svp::ReplaceWholeFile(PathText(path), bytes.data(), bytes.size()) ? S_OK : E_FAIL;
}

int32_t LPresetManager::OnGlobalLoadControlPanelSettings(
    const ConstRCPtr<LNotificationDistributor>& /*sender*/,
    const ConstRCPtr<LNotification>& notification)
{
    const auto* path = notification
                           ? dynamic_cast<const LStringWrapper*>(notification->GetPayload().Get())
                           : nullptr;
    if (path != nullptr) {
        LoadPresetFile(path->GetValue());
    }
    return 1;
}

void LPresetManager::ShowLoadOlderMessage()
{
    ShowLoadMessage(u"SETTINGS_FILE_LOAD_OLDER_MESSAGE");
}

void LPresetManager::ShowLoadNewerMessage()
{
    ShowLoadMessage(u"SETTINGS_FILE_LOAD_NEWER_MESSAGE");
}

void LPresetManager::ShowLoadCorruptMessage()
{
    ShowLoadMessage(u"SETTINGS_FILE_LOAD_CORRUPT_MESSAGE");
}

void LPresetManager::ShowLoadWrongDeviceMessage()
{
    ShowLoadMessage(u"SETTINGS_FILE_LOAD_WRONG_DEVICE_MESSAGE");
}

void LPresetManager::ShowTranslationFailureMessage()
{
    ShowLoadMessage(u"SETTINGS_FILE_TRANSLATION_FAILURE_MESSAGE");
}

void LPresetManager::ShowLoadUnreadableMessage(const WideString& path)
{
    WideString text;
    (void)text.Format(GetAppString(WideString(u"SETTINGS_FILE_LOAD_UNREADABLE_MESSAGE")).GetText(),
                      path.GetText());
    ShowMessageBox(text, GetAppString(WideString(u"SETTINGS_FILE_LOAD_CAPTION")), MB_ICONHAND);
}

void LPresetManager::ShowSaveFailedMessage()
{
    ShowMessageBox(GetAppString(WideString(u"SETTINGS_FILE_SAVE_FAILED_MESSAGE")),
                   GetAppString(WideString(u"SETTINGS_FILE_SAVE_CAPTION")), MB_ICONHAND);
}

void LPresetManager::Receive(const ConstRCPtr<LNotificationDistributor>& sender,
                             const ConstRCPtr<LNotification>& notification)
{
    if (mReady && mHandler) {
        mHandler->HandleNotification(sender, notification);
    }
}

int32_t LPresetManager::Unregister(const RCPtr<LNotificationDistributor>& distributor,
                                   const char16_t* name)
{
    if (mHandler) {
        mHandler->UnregisterHandler(distributor, name);
    }
    return LNotificationClient::Unregister(distributor, name);
}

int32_t LPresetManager::ReleaseHook()
{
    UnregisterAllClients();
    return LNotificationClient::ReleaseHook();
}

} // namespace SV
