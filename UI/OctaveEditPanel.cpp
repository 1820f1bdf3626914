#include "OctaveEditPanel.h"

#include "ControlBase/ControlCreator.h"

LOctaveEditPanel::LOctaveEditPanel(const SV::RCPtr<SV::LControl>& parent,
                                   const SV::WideString& name, bool mostDerived)
    : LSignedByteEditPanel<IOctave, OctavePanelTraits>(parent, name, mostDerived)
{}

SV::RCPtr<SV::LControl>
LOctaveEditPanel::CreateControl(const SV::RCPtr<SV::LControl>& parent,
                                const SV::ConstRCPtr<SV::LControlDescriptor>& descriptor)
{
    return SV::CreateControlOf<LOctaveEditPanel>(parent, descriptor);
}
