#include "Utilities/Storage/RCPtrQueue.h"

#include "ObjectBase/Exception.h"
#include "TypeNames.h"

#include <stdexcept>
#include <string>

namespace SV::detail {

void ThrowEmptyQueue(const std::type_info& item, uint32_t slots)
{
    // The instance is spelled without a space after the comma: "<class SV::LNotification,256>".
    throw Exception<std::runtime_error>("Runtime Error : SV::RCPtrQueue<" +
                                        svp::ClassTypeName(item) + "," + std::to_string(slots) +
                                        ">::Dequeue : utilities\\Storage/RCPtrQueue : Line 104");
}

} // namespace SV::detail
