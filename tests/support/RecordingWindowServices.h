// Native window services for root-window tests: the fake window of the application tests, which
// also records the areas it is asked to repaint, its focus requests and whether it runs modal.
#pragma once

#include "FakeRootWindow.h"

#include <vector>

namespace svtest {

class RecordingWindowServices : public FakeWindowServices
{
public:
    int32_t InvalidateRect(const SV::RectT<int32_t>& rect) override
    {
        invalidated.push_back(rect);
        return 0;
    }
    int32_t Invalidate() override
    {
        ++wholeInvalidations;
        return 0;
    }
    int32_t SetFocus() override
    {
        ++focusRequests;
        return 0;
    }
    bool IsModal() override { return modal; }
    bool HasFocus() override { return hasFocus; }

    std::vector<SV::RectT<int32_t>> invalidated;
    int32_t wholeInvalidations = 0;
    int32_t focusRequests = 0;
    bool modal = false;
    bool hasFocus = false;
};

} // namespace svtest
