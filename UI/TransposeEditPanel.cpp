#include "TransposeEditPanel.h"

#include "ControlBase/ControlCreator.h"

LTransposeEditPanel::LTransposeEditPanel(const SV::RCPtr<SV::LControl>& parent,
                                         const SV::WideString& name, bool mostDerived)
    : LSignedByteEditPanel<ITranspose, TransposePanelTraits>(parent, name, mostDerived)
{}

SV::RCPtr<SV::LControl>
LTransposeEditPanel::CreateControl(const SV::RCPtr<SV::LControl>& parent,
                                   const SV::ConstRCPtr<SV::LControlDescriptor>& descriptor)
{
    return SV::CreateControlOf<LTransposeEditPanel>(parent, descriptor);
}
