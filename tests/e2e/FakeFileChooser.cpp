#include "FakeFileChooser.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace svtest {
namespace {

constexpr const char* kRunsFile = "runs";
constexpr const char* kAnswerFile = "answer";
// Ends the argument list of one run in the runs file (one argument a line).
constexpr const char* kEndOfRun = "--- end of run";

} // namespace

FakeFileChooser::FakeFileChooser()
{
    const std::string runs = mFolder.Join(kRunsFile);
    const std::string answer = mFolder.Join(kAnswerFile);
    mFolder.WriteFile("zenity",
                      "#!/bin/sh\n"
                      "for argument in \"$@\"; do printf '%s\\n' \"$argument\"; done >> '" +
                          runs + "'\n" + "echo '" + kEndOfRun + "' >> '" + runs +
                          "'\n"
                          "[ -f '" +
                          answer + "' ] || exit 1\n" + "cat '" + answer + "'\n");
    ::chmod(mFolder.Join("zenity").c_str(), 0755);
    const char* path = std::getenv("PATH");
    const std::string searched = mFolder.Path() + ":" + (path != nullptr ? path : "/usr/bin:/bin");
    mEnvironment.Set("PATH", searched.c_str());
}

void FakeFileChooser::Answer(const std::string& path)
{
    mFolder.WriteFile(kAnswerFile, path + "\n");
}

void FakeFileChooser::Cancel()
{
    std::remove(mFolder.Join(kAnswerFile).c_str());
}

std::vector<std::vector<std::string>> FakeFileChooser::GetRuns() const
{
    std::vector<std::vector<std::string>> runs;
    std::istringstream lines(mFolder.ReadFile(kRunsFile));
    std::vector<std::string> current;
    for (std::string line; std::getline(lines, line);) {
        if (line == kEndOfRun) {
            runs.push_back(current);
            current.clear();
        } else {
            current.push_back(line);
        }
    }
    return runs;
}

} // namespace svtest
