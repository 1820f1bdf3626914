// Shared libraries loaded at run time and their exports found by name, the way the program binds
// the maker's libraries. A library that is not there, or an export it lacks, is an ordinary
// answer (null), never an error that stops the program.
#pragma once

#include <string>

namespace svp {

// A loaded library; null stands for none.
using LibraryHandle = void*;

// Loads the library file at `path` (UTF-8) with every symbol it needs bound at once, so a library
// that cannot run is refused here rather than failing later in a call. Null when the file is
// missing or cannot be loaded. Loading a file that is loaded already answers the same handle and
// counts one more load.
LibraryHandle LoadDynamicLibrary(const std::string& path);

// The address of the export `name`; null when the library has none (or for a null handle).
void* FindLibraryExport(LibraryHandle library, const char* name);

// Takes back one load; the library leaves the process with the last one. A null handle is
// ignored.
void FreeDynamicLibrary(LibraryHandle library);

// The loader's reason for the last failed load or lookup on this thread; empty when there is
// none to tell.
std::string GetLastLibraryError();

} // namespace svp
