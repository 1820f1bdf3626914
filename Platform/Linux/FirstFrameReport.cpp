#include "FirstFrameReport.h"

#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace svp {
namespace {

// The descriptor named by the environment, or -1.
int ReportDescriptor()
{
    const char* text = std::getenv("SV_FIRST_FRAME_REPORT_FD");
    if (text == nullptr || *text == '\0') {
        return -1;
    }
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    return *end == '\0' && value >= 0 && value < 65536 ? static_cast<int>(value) : -1;
}

std::atomic<bool> sReported{false};

int64_t Nanoseconds(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

} // namespace

bool IsFirstFrameReportDue()
{
    return !sReported.load() && ReportDescriptor() >= 0;
}

void ReportFirstFrame()
{
    const int descriptor = ReportDescriptor();
    if (descriptor < 0 || sReported.exchange(true)) {
        return;
    }
    char line[64];
    const int length = std::snprintf(line, sizeof line, "%lld %lld\n",
                                     static_cast<long long>(Nanoseconds(CLOCK_MONOTONIC)),
                                     static_cast<long long>(Nanoseconds(CLOCK_PROCESS_CPUTIME_ID)));
    if (length > 0) {
        // A report nobody reads any more leaves the program running all the same.
        [[maybe_unused]] const ssize_t written =
            write(descriptor, line, static_cast<size_t>(length));
    }
}

} // namespace svp
