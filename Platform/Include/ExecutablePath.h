// The running program's own file, and the folder it lies in: the maker's libraries are looked for
// beside the executable, whatever the working folder is.
#pragma once

#include <string>

namespace svp {

// The absolute path of the executable file (UTF-8); empty when the system cannot tell.
std::string GetExecutablePath();

// The executable's folder without a trailing '/' ("/" for a program in the root folder); empty
// when the executable's path is unknown.
std::string GetExecutableFolder();

} // namespace svp
