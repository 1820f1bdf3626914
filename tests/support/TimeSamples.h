// The times of a benchmark's iterations, kept one by one so that a run can report their median
// and spread beside the mean the benchmark library gives.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <vector>

namespace svtest {

class TimeSamples
{
public:
    void Add(std::chrono::steady_clock::duration duration)
    {
        mMilliseconds.push_back(std::chrono::duration<double, std::milli>(duration).count());
    }

    bool IsEmpty() const { return mMilliseconds.empty(); }

    // The sample below which the fraction (0 to 1) of all samples lie, nearest rank; 0 when
    // there are none.
    double PercentileMs(double fraction) const
    {
        if (mMilliseconds.empty()) {
            return 0.0;
        }
        std::vector<double> sorted = mMilliseconds;
        std::sort(sorted.begin(), sorted.end());
        const auto last = static_cast<double>(sorted.size() - 1);
        const auto rank = static_cast<size_t>(std::clamp(fraction, 0.0, 1.0) * last + 0.5);
        return sorted[rank];
    }

    double MedianMs() const { return PercentileMs(0.5); }

private:
    std::vector<double> mMilliseconds;
};

} // namespace svtest
