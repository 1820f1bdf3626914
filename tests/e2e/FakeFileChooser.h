// A stand-in for the desktop's file chooser: a "zenity" script in a folder of its own, put first
// on PATH for the test and for every program the test starts. It answers the path the test chose
// (or cancels when none was chosen) and writes down the arguments of every run.
#pragma once

#include "ScopedEnvironment.h"
#include "TempFolder.h"

#include <string>
#include <vector>

namespace svtest {

class FakeFileChooser
{
public:
    FakeFileChooser();

    // The path the next runs answer, until another is chosen.
    void Answer(const std::string& path);
    // The next runs are cancelled, until a path is chosen.
    void Cancel();
    // The argument lists of the runs so far, oldest first.
    std::vector<std::vector<std::string>> GetRuns() const;

private:
    TempFolder mFolder;
    ScopedEnvironment mEnvironment;
};

} // namespace svtest
