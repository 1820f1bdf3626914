// The framework's horizontal splitter bar ("Framework.SplitterH"): it lies between controls stacked
// one above the other and moves up and down.
#pragma once

#include "Controls/SplitterBase.h"

namespace SV {

class LSplitterH : public LSplitterBase
{
public:
    LSplitterH(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived = true);
    ~LSplitterH() override;

    static RCPtr<LControl> CreateControl(const RCPtr<LControl>& parent,
                                         const ConstRCPtr<LControlDescriptor>& descriptor);
};

} // namespace SV
