#include "ControlBase/ConditionsParam.h"

namespace SV {

RCPtr<LValueParam> CreateValueParam(double normalized, double value)
{
    return RCPtr<LValueParam>(new LValueParam(normalized, value));
}

} // namespace SV
