#include "LeafModule.h"

#include "ResultCodes.h"

int32_t SystemParamMap::MapSystemParamValue(const SV::ParamDescriptor& /*system*/,
                                            const SV::Variant& /*value*/,
                                            SV::ParamDescriptor& mapped,
                                            SV::Variant& /*mappedValue*/) const
{
    mapped.id = static_cast<int32_t>(static_cast<uint32_t>(mModule.GetFirstParamID()) - 1u);
    mapped.subPart.Clear();
    return kResultFailed;
}
