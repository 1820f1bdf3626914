// The framework's control classes by skin class name, registered with the control factory by
// the application's start-up in the order of the framework's table. Each class that exists is
// registered; the names of classes still to come are added with them.
#pragma once

#include <cstdint>

namespace SV {

class LControlFactory;

// Registers the framework's names; answers how many were registered.
int32_t RegisterFrameworkControlTypes(LControlFactory& factory);

} // namespace SV
