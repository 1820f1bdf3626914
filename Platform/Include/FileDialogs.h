// The desktop's file chooser, run as a child process (zenity, else kdialog, whichever is found
// on PATH) while the caller's event loop keeps running, so the program's windows go on painting.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace svp {

class EventLoop;

struct FileDialogRequest
{
    bool save = false;
    bool multiple = false; // open only
    std::string title;
    std::string folder;   // where the chooser starts
    std::string fileName; // proposed name (save)
    // Display text and patterns ("*.brv", several separated by ';' or ' ').
    std::vector<std::pair<std::string, std::string>> filters;
};

// Appends '.' and the extension to a path whose last element has no extension (no '.'): true
// when it did. A chooser asks about replacing the name it answers, never about this one.
bool AppendDefaultExtension(std::string& path, const std::string& extension);

// The argument list for a tool ("zenity" or "kdialog"); empty for any other tool.
[[nodiscard]] std::vector<std::string> BuildFileDialogCommand(const std::string& tool,
                                                              const std::string& toolPath,
                                                              const FileDialogRequest& request);

// The full path of the first executable `name` in a folder of PATH; empty when none is there.
[[nodiscard]] std::string FindOnPath(const std::string& name);

// Runs the chooser and waits for it in a nested run of `loop`, calling `onIdle` as the loop
// does. Answers 0 with the chosen paths (one unless `multiple`) as the chooser gave them, E_FAIL
// when the user cancelled, the tool failed or no tool is installed (which is also written to
// standard error). A save chooser asks before it answers the name of a file that exists.
[[nodiscard]] int32_t RunFileDialog(EventLoop& loop, const std::function<bool(int32_t)>& onIdle,
                                    const FileDialogRequest& request,
                                    std::vector<std::string>& paths);

} // namespace svp
