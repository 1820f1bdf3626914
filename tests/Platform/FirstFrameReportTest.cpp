#include "FirstFrameReport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
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

// What a process answered: whether a report was due without the variable, with a value that is
// no descriptor, with a pipe's descriptor, and once it had reported.
struct Answers
{
    bool dueWithout = false;
    bool dueForNoDescriptor = false;
    bool dueForAPipe = false;
    bool dueAfterReporting = false;
};

// The report is made once per process: each run of the test asks a process of its own, which
// reports twice on `descriptor`.
Answers AskAFreshProcess(int descriptor)
{
    const pid_t child = fork();
    if (child == 0) {
        unsetenv("SV_FIRST_FRAME_REPORT_FD");
        int bits = svp::IsFirstFrameReportDue() ? 1 : 0;
        setenv("SV_FIRST_FRAME_REPORT_FD", "not a descriptor", 1);
        bits |= svp::IsFirstFrameReportDue() ? 2 : 0;
        setenv("SV_FIRST_FRAME_REPORT_FD", std::to_string(descriptor).c_str(), 1);
        bits |= svp::IsFirstFrameReportDue() ? 4 : 0;
        svp::ReportFirstFrame();
        svp::ReportFirstFrame();
        bits |= svp::IsFirstFrameReportDue() ? 8 : 0;
        _exit(bits);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        ADD_FAILURE() << "the asking process did not end by itself";
        return {};
    }
    const int bits = WEXITSTATUS(status);
    return {(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0, (bits & 8) != 0};
}

// Without the variable nothing is due; with it the first report gives the monotonic time and the
// process's CPU as they stood, and it is the only one.
TEST(FirstFrameReportTest, TheFirstFrameIsReportedOnceWhereTheEnvironmentAsks)
{
    int ends[2];
    ASSERT_EQ(0, pipe2(ends, O_NONBLOCK));
    const long long before = MonotonicNanoseconds();
    const Answers answers = AskAFreshProcess(ends[1]);
    const long long after = MonotonicNanoseconds();
    EXPECT_FALSE(answers.dueWithout);
    EXPECT_FALSE(answers.dueForNoDescriptor);
    EXPECT_TRUE(answers.dueForAPipe);
    EXPECT_FALSE(answers.dueAfterReporting);

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
