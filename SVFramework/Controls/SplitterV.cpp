#include "Controls/SplitterV.h"

#include "ControlBase/ControlCreator.h"

namespace SV {

LSplitterV::LSplitterV(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived)
    : LSplitterBase(parent, name, kVertical, mostDerived)
{}

LSplitterV::~LSplitterV() = default;

RCPtr<LControl> LSplitterV::CreateControl(const RCPtr<LControl>& parent,
                                          const ConstRCPtr<LControlDescriptor>& descriptor)
{
    return CreateControlOf<LSplitterV>(parent, descriptor);
}

} // namespace SV
