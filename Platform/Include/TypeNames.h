// Readable class names from run-time type information, spelled the way the framework's texts
// have always shown them: "class SV::LControl", template arguments included.
#pragma once

#include <string>
#include <typeinfo>

namespace svp {

// The qualified name of a class as the compiler declares it, e.g. "SV::LBufferT<1, 128>".
std::string QualifiedTypeName(const std::type_info& type);

// The same name with the "class " spelling, also inside template arguments:
// "class SV::ConstRCPtr<class SV::LControl>".
std::string ClassTypeName(const std::type_info& type);

} // namespace svp
