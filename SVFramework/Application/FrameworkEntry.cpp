#include "Application/FrameworkEntry.h"

#include "Desktop.h"
#include "MessageBoxStyles.h"
#include "PngDecoder.h"

#include <fstream>
#include <iterator>

namespace SV {

namespace {

constexpr int32_t kSplashSeconds = 8;

std::string Quote(const std::string& argument)
{
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) {
        return argument;
    }
    std::string quoted = "\"";
    for (const char c : argument) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + "\"";
}

} // namespace

std::string JoinCommandLine(int argc, const char* const* argv)
{
    std::string line;
    for (int i = 0; i < argc; ++i) {
        if (argv[i] == nullptr) {
            continue;
        }
        if (!line.empty()) {
            line += ' ';
        }
        line += Quote(argv[i]);
    }
    return line;
}

void ShowStartupErrorBox(const ConstRCPtr<LStringTable>& frameworkStrings)
{
    WideString text(u"The application encountered problems during startup and will now close.");
    WideString caption(u"Error");
    if (frameworkStrings) {
        WideString entry;
        if (frameworkStrings->GetString(WideString(u"STARTUP_ERROR"), entry) &&
            !entry.IsEmpty()) {
            text = entry;
        }
        entry = WideString();
        if (frameworkStrings->GetString(WideString(u"STARTUP_ERROR_CAPTION"), entry) &&
            !entry.IsEmpty()) {
            caption = entry;
        }
    }
    svp::GetDesktop().MessageBox(nullptr, text.ToNarrow().GetText(), caption.ToNarrow().GetText(),
                                 MB_ICONHAND);
}

int RunReportingFailure(const std::function<int()>& run, const std::function<void()>& cleanUp,
                        const ConstRCPtr<LStringTable>& frameworkStrings)
{
    try {
        return run();
    } catch (...) {
        if (cleanUp) {
            cleanUp();
        }
        ShowStartupErrorBox(frameworkStrings);
        return -1;
    }
}

bool SettleSingleInstance(const std::string& name, const std::string& commandLine,
                          std::unique_ptr<svp::SingleInstance>& instance)
{
    instance = svp::SingleInstance::Acquire(name);
    if (!instance || instance->IsFirst()) {
        return true;
    }
    if (commandLine.empty()) {
        return false;
    }
    // A running instance that never answers (its window not there yet, or hanging) does not
    // keep this one from running.
    return instance->HandOver(commandLine) == svp::HandOverResult::kNoAnswer;
}

std::unique_ptr<svp::SplashWindow> StartSplashWindow(const WideString& imagePath)
{
    if (imagePath.IsEmpty()) {
        return nullptr;
    }
    std::ifstream file(imagePath.ToNarrow().GetText(), std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                     std::istreambuf_iterator<char>());
    svp::DecodedImage decoded;
    std::string error;
    if (bytes.empty() || !svp::DecodePng(bytes.data(), bytes.size(), decoded, error)) {
        return nullptr;
    }
    auto image = std::make_shared<svp::SplashImage>();
    image->width = static_cast<int32_t>(decoded.width);
    image->height = static_cast<int32_t>(decoded.height);
    image->pixels = std::move(decoded.pixels);
    auto splash = std::make_unique<svp::SplashWindow>(image);
    if (!splash->Start()) {
        return nullptr;
    }
    splash->PostProgressRun(0, 100, kSplashSeconds);
    return splash;
}

void EndSplashWindow(std::unique_ptr<svp::SplashWindow>& splash)
{
    if (!splash) {
        return;
    }
    splash->PostPosition(100);
    splash->Stop();
    splash.reset();
}

} // namespace SV
