#include "ProgramFolderSetting.h"

#include "Application/FrameworkApp.h"

namespace {

// The user settings, "UserSettings.ini".
constexpr int32_t kUserSettingsFile = 1;

} // namespace

void SaveProgramFolderSetting(const SV::WideString& folder)
{
    SV::LFrameworkApp* application = SV::CurrentApplication;
    if (application == nullptr) {
        return;
    }
    if (const SV::RCPtr<SV::LIniFileManager> settings = application->GetIniFileManager()) {
        settings->SetIniValueStr(application->GetSettingsFile(kUserSettingsFile),
                                 SV::WideString(u"PresetLastFolderPath"), folder);
    }
}
