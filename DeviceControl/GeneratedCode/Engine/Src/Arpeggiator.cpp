#include "Arpeggiator.h"

#include "LeafModule.inl"

template class LLeafModule<IArpeggiator, ArpeggiatorLayout>;

SV::RCPtr<LArpeggiator> LArpeggiator::Create()
{
    SV::RCPtr<LArpeggiator> module(new LArpeggiator());
    module->CreateSubModules();
    return module;
}
