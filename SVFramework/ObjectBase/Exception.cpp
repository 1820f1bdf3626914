#include "ObjectBase/Exception.h"

#include <cstdio>

namespace SV {

std::string FormatResultCode(int32_t code)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "%X", static_cast<uint32_t>(code));
    return std::string("SVRESULT = ") + digits;
}

std::string FormatFailedResult(int32_t code, const char* function, const char* path, int line)
{
    return "Failed Result : " + FormatResultCode(code) + " : " + function + " : " + path +
           " : Line " + std::to_string(line);
}

} // namespace SV
