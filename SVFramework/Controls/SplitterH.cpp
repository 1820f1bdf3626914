#include "Controls/SplitterH.h"

#include "ControlBase/ControlCreator.h"

namespace SV {

LSplitterH::LSplitterH(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived)
    : LSplitterBase(parent, name, kHorizontal, mostDerived)
{}

LSplitterH::~LSplitterH() = default;

RCPtr<LControl> LSplitterH::CreateControl(const RCPtr<LControl>& parent,
                                          const ConstRCPtr<LControlDescriptor>& descriptor)
{
    return CreateControlOf<LSplitterH>(parent, descriptor);
}

} // namespace SV
