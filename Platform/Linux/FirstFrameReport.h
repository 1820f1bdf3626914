// The start-up measurement's report of the first painted frame: when the environment names a
// file descriptor in SV_FIRST_FRAME_REPORT_FD, the process writes one line to it once its first
// frame is on the display, "<CLOCK_MONOTONIC ns> <CPU ns of the whole process>", for
// tests/benchmarks/measure-editor to read. Without the variable nothing is written.
#pragma once

namespace svp {

// Whether a report is asked for and not yet written; the caller then waits until the display has
// the frame (XSync) and calls ReportFirstFrame.
bool IsFirstFrameReportDue();
// Writes the report once; later calls do nothing.
void ReportFirstFrame();

} // namespace svp
