// The steps of the program's start that do not depend on the application class: the command
// line as one text, the start-up error box, the single-instance hand-over and the splash.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "SingleInstance.h"
#include "SplashWindow.h"
#include "Utilities/Storage/StringTable.h"

#include <functional>
#include <memory>
#include <string>

namespace SV {

// The whole command line, program path included, as UTF-8: the arguments separated by spaces,
// an argument with a space, a tab or a quote in double quotes with its quotes and backslashes
// escaped. Empty without arguments.
std::string JoinCommandLine(int argc, const char* const* argv);

// "The application encountered problems during startup and will now close." with the caption
// "Error", or the table's STARTUP_ERROR and STARTUP_ERROR_CAPTION where it has them; no owner.
void ShowStartupErrorBox(const ConstRCPtr<LStringTable>& frameworkStrings);

// The run of the program; a failure out of it is reported here, as the last place that can: the
// clean-up runs, the start-up error box shows and the answer is -1.
int RunReportingFailure(const std::function<int()>& run, const std::function<void()>& cleanUp,
                        const ConstRCPtr<LStringTable>& frameworkStrings);

// The lock of the one running instance. True when this process runs: it holds the lock, or the
// running instance could not be reached even after the retries. False when the running
// instance took (or refused) the command line: this process ends.
bool SettleSingleInstance(const std::string& name, const std::string& commandLine,
                          std::unique_ptr<svp::SingleInstance>& instance);

// The splash of the image file, running from 0 to 100 over 8 seconds; null when the path is
// empty or the image cannot be read.
std::unique_ptr<svp::SplashWindow> StartSplashWindow(const WideString& imagePath);
// Shows 100 and ends the splash.
void EndSplashWindow(std::unique_ptr<svp::SplashWindow>& splash);

} // namespace SV
