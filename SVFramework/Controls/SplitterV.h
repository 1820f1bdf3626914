// The framework's vertical splitter bar ("Framework.SplitterV"): it lies between controls side by
// side and moves left and right.
#pragma once

#include "Controls/SplitterBase.h"

namespace SV {

class LSplitterV : public LSplitterBase
{
public:
    LSplitterV(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived = true);
    ~LSplitterV() override;

    static RCPtr<LControl> CreateControl(const RCPtr<LControl>& parent,
                                         const ConstRCPtr<LControlDescriptor>& descriptor);
};

} // namespace SV
