#include "Transpose.h"

#include "LeafModule.inl"

template class LLeafModule<ITranspose, TransposeLayout>;

SV::RCPtr<LTranspose> LTranspose::Create()
{
    SV::RCPtr<LTranspose> module(new LTranspose());
    module->CreateSubModules();
    return module;
}
