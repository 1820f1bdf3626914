#include "FirstFrameReport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <sstream>
#include <string>

namespace {

long long MonotonicNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

std::string ReadAvailable(int descriptor)
{
    char bytes[256];
    const ssize_t count = read(descriptor, bytes, sizeof bytes);
    return count > 0 ? std::string(bytes, static_cast<size_t>(count)) : std::string();
}

// Without the variable nothing is due; with it the first report gives the monotonic time and the
// process's CPU as they stood, and it is the only one.
TEST(FirstFrameReportTest, TheFirstFrameIsReportedOnceWhereTheEnvironmentAsks)
{
    unsetenv("SV_FIRST_FRAME_REPORT_FD");
    EXPECT_FALSE(svp::IsFirstFrameReportDue());
    setenv("SV_FIRST_FRAME_REPORT_FD", "not a descriptor", 1);
    EXPECT_FALSE(svp::IsFirstFrameReportDue());

    int ends[2];
    ASSERT_EQ(0, pipe2(ends, O_NONBLOCK));
    setenv("SV_FIRST_FRAME_REPORT_FD", std::to_string(ends[1]).c_str(), 1);
    EXPECT_TRUE(svp::IsFirstFrameReportDue());
    const long long before = MonotonicNanoseconds();
    svp::ReportFirstFrame();
    const long long after = MonotonicNanoseconds();
    svp::ReportFirstFrame();
    EXPECT_FALSE(svp::IsFirstFrameReportDue());
    unsetenv("SV_FIRST_FRAME_REPORT_FD");

    std::istringstream report(ReadAvailable(ends[0]));
    long long frame = 0;
    long long cpu = 0;
    std::string rest;
    ASSERT_TRUE(report >> frame >> cpu);
    EXPECT_GE(frame, before);
    EXPECT_LE(frame, after);
    EXPECT_GT(cpu, 0);
    EXPECT_FALSE(report >> rest) << "one line only";
    close(ends[0]);
    close(ends[1]);
}

} // namespace
