// An application object for the framework's tests: the platform layer as the program has it,
// with the program's own choices reduced to what the tests set (no settings file unless one is
// given, a message loop that runs a test's action, a clock the test moves).
#pragma once

#include "Application/ApplicationBaseWin.h"

#include <functional>
#include <optional>

namespace svtest {

class TestFrameworkApp : public SV::LApplicationBase<TestFrameworkApp>
{
public:
    explicit TestFrameworkApp(const SV::RCPtr<SV::LControlFactory>& factory = nullptr,
                              const SV::ConstRCPtr<SV::LStringTable>& frameworkStrings = nullptr,
                              const SV::WideString& commandLine = u"editor --test")
        : SV::LApplicationBase<TestFrameworkApp>(factory, frameworkStrings, commandLine)
    {}

    SV::WideString GetSettingsVersion() override { return u"1_0_0"; }
    SV::WideString GetMainControlName() override { return u"mainControl"; }
    int32_t GetSettingsFile(int32_t fileId) override { return fileId == 1 ? settingsHandle : 0; }
    int32_t GetRendererType() override { return 1; }
    bool CanExit() override { return canExit; }
    int32_t CreateMainWindow(int32_t) override { return static_cast<int32_t>(0x80004005u); }
    void RunMessageLoop() override
    {
        if (messageLoop) {
            messageLoop();
        }
    }
    uint32_t GetTimeMilliseconds() override
    {
        return clock ? *clock : SV::LApplicationBase<TestFrameworkApp>::GetTimeMilliseconds();
    }
    int32_t GetDefaultFont(SV::WideString& faceName, float& size, int32_t& style) override
    {
        if (defaultFontFails) {
            faceName = SV::WideString();
            size = 0.0f;
            style = 0;
            return static_cast<int32_t>(0x80004005u);
        }
        return SV::LApplicationBase<TestFrameworkApp>::GetDefaultFont(faceName, size, style);
    }

    using SV::LApplicationBase<TestFrameworkApp>::SetMainNativeWindow;

    int32_t settingsHandle = 0;
    std::function<void()> messageLoop;
    std::optional<uint32_t> clock;
    bool defaultFontFails = false;
    bool canExit = true;
};

} // namespace svtest
