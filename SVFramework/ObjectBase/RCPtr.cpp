#include "ObjectBase/RCPtr.h"

#include "ObjectBase/Exception.h"
#include "TypeNames.h"

namespace SV::detail {

void ThrowUnshareFailed(const std::type_info& pointee)
{
    const std::string typeName = svp::ClassTypeName(pointee);
    throw Exception<std::logic_error>("Logic Error : " + typeName + " : SV::ConstRCPtr<" +
                                      typeName +
                                      ">::Unshare : objectbase\\RefCountedObject : Line 369");
}

} // namespace SV::detail
