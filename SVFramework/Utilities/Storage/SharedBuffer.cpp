#include "Utilities/Storage/SharedBuffer.h"

namespace SV {

RCPtr<LIBuffer> NewSharedBuffer(uint32_t size, uint32_t reserve, bool zeroFill)
{
    return RCPtr<LIBuffer>(new SharedBuffer(size, reserve, zeroFill));
}

RCPtr<LIBuffer> NewExactSizeSharedBuffer(uint32_t size, uint32_t reserve, bool zeroFill)
{
    return RCPtr<LIBuffer>(new ExactSizeSharedBuffer(size, reserve, zeroFill));
}

} // namespace SV
