#include "CommunicationType.h"

#include "LeafModule.inl"

template class LLeafModule<ICommunicationType, CommunicationTypeLayout>;

SV::RCPtr<LCommunicationType> LCommunicationType::Create()
{
    SV::RCPtr<LCommunicationType> module(new LCommunicationType());
    module->CreateSubModules();
    return module;
}
