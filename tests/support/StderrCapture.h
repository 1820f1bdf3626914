// Collects what the process writes to its standard error (descriptor 2) while it lives, for
// tests of output that goes there.
#pragma once

#include <string>

namespace svtest {

class StderrCapture
{
public:
    StderrCapture();
    ~StderrCapture();
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    // Everything written since the capture began.
    std::string Text() const;

private:
    int mSaved = -1;
    int mFile = -1;
};

} // namespace svtest
