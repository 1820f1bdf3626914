#include "Application.h"

#include "EditorControlTypes.h"
#include "Utilities/Storage/Paths.h"

namespace {

constexpr int32_t kDropMoveCursor = 102;
constexpr int32_t kDropCopyCursor = 103;
constexpr int32_t kGdiplusRenderer = 1;

} // namespace

LApplication::LApplication(const SV::RCPtr<SV::LControlFactory>& factory,
                           const SV::ConstRCPtr<SV::LStringTable>& frameworkStrings,
                           const SV::WideString& commandLine)
    : SV::LApplicationBase<LApplication>(factory, frameworkStrings, commandLine)
{}

LApplication::~LApplication()
{
    if (mHostsEngine) {
        SetRootModuleEngineHost(nullptr);
    }
    mMidiManager = nullptr;
    mEngine = nullptr;
}

int32_t LApplication::Startup()
{
    const int32_t result = SV::LApplicationBase<LApplication>::Startup();
    if (result < 0) {
        return result;
    }
    const int32_t bindings = GetHotKeyManager()->GetTable().LoadFromStringTable(
        GetApplicationStringTable(), SV::WideString(u"GHK_WIN"));
    if (bindings < 0) {
        return bindings;
    }
    if (const SV::RCPtr<SV::LControlFactory>& factory = GetControlFactory()) {
        RegisterEditorControlTypes(*factory);
    }
    mMidiManager = SV::LMidiManager::Create();
    mEngine = SV::RCPtr<LRootModuleEngine>(new LRootModuleEngine());
    // Registered before the engine starts: a get's reply, the panels and the program files all
    // reach the engine through its host.
    SetRootModuleEngineHost(this);
    mHostsEngine = true;
    mEngine->Initialize(0);
    return bindings;
}

SV::WideString LApplication::GetSettingsVersion()
{
    return SV::WideString(u"1_0_0");
}

SV::WideString LApplication::GetMainControlName()
{
    return SV::WideString(u"mainControl");
}

svp::HCURSOR LApplication::GetCursor(const SV::WideString& name)
{
    if (SV::IsSameCursorName(name, SV::UI_CURSOR_DROP_MOVE)) {
        return svp::GetDesktop().LoadCursorResource(kDropMoveCursor);
    }
    if (SV::IsSameCursorName(name, SV::UI_CURSOR_DROP_COPY)) {
        return svp::GetDesktop().LoadCursorResource(kDropCopyCursor);
    }
    for (const SV::WideString* none :
         {&SV::UI_CURSOR_SPLIT_V, &SV::UI_CURSOR_SPLIT_H, &SV::UI_CURSOR_ROTATE, &SV::UI_CURSOR_MAG,
          &SV::UI_CURSOR_MAG_PLUS, &SV::UI_CURSOR_MAG_MINUS}) {
        if (SV::IsSameCursorName(name, *none)) {
            return nullptr;
        }
    }
    return SV::LApplicationBase<LApplication>::GetCursor(name);
}

SV::WideString LApplication::GetFolder(int32_t folderId)
{
    if (folderId == 5 || folderId == 6) {
        folderId = 4;
    }
    return SV::LApplicationBase<LApplication>::GetFolder(folderId);
}

int32_t LApplication::GetSettingsFile(int32_t fileId)
{
    const struct
    {
        const char16_t* name;
        int32_t folder;
        int32_t* handle;
    } kFiles[] = {
        {u"AppSettings.ini", 2, &mAppSettingsHandle},
        {u"UserSettings.ini", 3, &mUserSettingsHandle},
    };
    if (fileId != kAppSettings && fileId != kUserSettings) {
        return 0;
    }
    const auto& file = kFiles[fileId];
    if (*file.handle != 0) {
        return *file.handle;
    }
    // Without its folder there is no settings file: a bare name would put one where the
    // program happens to run, or at the root of the file system.
    const SV::WideString folder = GetFolder(file.folder);
    if (folder.IsEmpty()) {
        return 0;
    }
    int32_t handle = 0;
    GetIniFileManager()->OpenIniFile(SV::JoinPath(folder, SV::WideString(file.name)),
                                     GetSettingsVersion(), GetApplicationName(), handle);
    *file.handle = handle;
    return handle;
}

int32_t LApplication::GetRendererType()
{
    return kGdiplusRenderer;
}

bool LApplication::CanExit()
{
    return true;
}
