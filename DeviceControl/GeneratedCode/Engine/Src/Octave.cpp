#include "Octave.h"

#include "LeafModule.inl"

template class LLeafModule<IOctave, OctaveLayout>;

SV::RCPtr<LOctave> LOctave::Create()
{
    SV::RCPtr<LOctave> module(new LOctave());
    module->CreateSubModules();
    return module;
}
