#include "Utilities/Storage/ConstRCPtrArray.h"

#include "ObjectBase/Exception.h"
#include "TypeNames.h"

#include <stdexcept>
#include <string>

namespace SV::detail {

void ThrowPointerArrayOutOfRange(const char* arrayName, const std::type_info& pointee,
                                 uint32_t step, uint32_t slack, const char* path, int line)
{
    // The instance is spelled without spaces after the commas: "<class SV::LRootWindow,1,0>".
    const std::string instance = std::string("SV::") + arrayName + "<" +
                                 svp::ClassTypeName(pointee) + "," + std::to_string(step) + "," +
                                 std::to_string(slack) + ">";
    throw Exception<std::out_of_range>("Out of Range : " + instance + "::RemoveItem : " + path +
                                       " : Line " + std::to_string(line));
}

} // namespace SV::detail
