#include "DebugOutput.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace svp {
namespace {

void WriteAll(int descriptor, const char* text, size_t length)
{
    while (length > 0) {
        const ssize_t written = write(descriptor, text, length);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return; // diagnostics that cannot be written are dropped
        }
        text += written;
        length -= static_cast<size_t>(written);
    }
}

} // namespace

void WriteDebuggerOutput(const char* text, size_t length)
{
    WriteAll(STDERR_FILENO, text, length);
}

bool OpenConsole()
{
    // What was buffered before goes out first, so the order of the output is kept.
    std::fflush(stdout);
    std::fflush(stderr);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::setvbuf(stderr, nullptr, _IONBF, 0);
    return isatty(STDERR_FILENO) != 0;
}

void WriteConsole(const char* text, size_t length)
{
    // Through the C stream, so it interleaves in order with whatever else writes to stderr.
    std::fwrite(text, 1, length, stderr);
    std::fflush(stderr);
}

} // namespace svp
