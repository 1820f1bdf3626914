#include "PresetManager.h"

#include "Application/FrameworkApp.h"
#include "DriverCommon/PresetFile.h"
#include "DriverCommon/PresetFileLoadNotificationData.h"
#include "EditorMessages.h"
#include "FileSystem.h"
#include "MessageBoxStyles.h"
#include "ObjectBase/Exception.h"
#include "ObjectBase/StringWrapper.h"
#include "ResultCodes.h"
#include "RootModuleEngine.h"
#include "Utilities/Storage/Array.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace SV {
namespace {

constexpr const char16_t* kLoadRequest = u"NID_GLOBAL_LOAD_CONTROL_PANEL_SETTINGS";

struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

std::string PathText(const WideString& path)
{
    return std::string(path.ToNarrow().GetText());
}

// The whole file, when it can be read and is no larger than a program file can sensibly be.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes)
{
    const FileHandle file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return false;
    }
    bytes.clear();
    uint8_t chunk[4096];
    for (;;) {
        const size_t read = std::fread(chunk, 1, sizeof(chunk), file.get());
        bytes.insert(bytes.end(), chunk, chunk + read);
        if (bytes.size() > PresetFile::kMaxFileSize) {
            return false;
        }
        if (read < sizeof(chunk)) {
            return std::ferror(file.get()) == 0;
        }
    }
}

// Creates a file of its own beside `target` (a name no other file has yet, so nothing that
// exists is overwritten), writes every byte into it and closes it, each step checked. Answers
// the file's path, or the empty path when it could not complete it; an incomplete file is
// removed again. Only a file it created itself is ever removed.
std::string WriteTemporaryFile(const std::string& target, const std::vector<uint8_t>& bytes)
{
    constexpr int32_t kNamesTried = 100;
    for (int32_t attempt = 0; attempt < kNamesTried; ++attempt) {
        const std::string path =
            target + (attempt == 0 ? std::string(".tmp") : ".tmp" + std::to_string(attempt));
        const int32_t file =
            svp::OpenFile(path, svp::kOpenReadWrite | svp::kOpenCreate | svp::kOpenExclusive);
        if (file < 0) {
            if (svp::GetPathKind(path) == svp::PathKind::kMissing) {
                return std::string(); // the folder refuses new files
            }
            continue; // somebody's file of that name: try the next name
        }
        const bool written =
            svp::WriteFile(file, bytes.data(), bytes.size()) == static_cast<int64_t>(bytes.size());
        const bool closed = svp::CloseFile(file);
        if (!written || !closed) {
            svp::DeleteFile(path);
            return std::string();
        }
        return path;
    }
    return std::string();
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
    const int32_t registered =
        manager->mHandler->RegisterHandler(&LPresetManager::OnGlobalLoadControlPanelSettings,
                                           RCPtr<LNotificationDistributor>(center), kLoadRequest);
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
    Notify(CreateNotification(u"NID_PRESETFILE_PRE_LOAD"));
    const int32_t result = ReadPresetFile(path);
    Notify(CreateNotification(
        u"NID_PRESETFILE_POST_LOAD",
        RCPtr<LPresetFileLoadNotificationData>(new LPresetFileLoadNotificationData(result))));
    return result;
}

int32_t LPresetManager::ReadPresetFile(const WideString& path)
{
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(PathText(path), bytes)) {
        return PresetFile::kCorrupt;
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
    const std::string target = PathText(path);
    const std::string temporary = WriteTemporaryFile(target, bytes);
    if (temporary.empty()) {
        return E_FAIL;
    }
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        svp::DeleteFile(temporary);
        return E_FAIL;
    }
    return S_OK;
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
