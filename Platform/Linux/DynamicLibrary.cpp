#include "DynamicLibrary.h"

#include <dlfcn.h>

namespace svp {
namespace {

thread_local std::string gLastError;

void RememberLoaderError()
{
    const char* text = dlerror();
    gLastError = text != nullptr ? text : "";
}

} // namespace

LibraryHandle LoadDynamicLibrary(const std::string& path)
{
    if (path.empty()) {
        gLastError = "no library path";
        return nullptr;
    }
    // A name without a slash would be searched along the system's library path; the program
    // only ever loads the file it names.
    LibraryHandle library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        RememberLoaderError();
    }
    return library;
}

void* FindLibraryExport(LibraryHandle library, const char* name)
{
    if (library == nullptr || name == nullptr) {
        return nullptr;
    }
    dlerror();
    void* address = dlsym(library, name);
    if (address == nullptr) {
        RememberLoaderError();
    }
    return address;
}

void FreeDynamicLibrary(LibraryHandle library)
{
    if (library != nullptr) {
        dlclose(library);
    }
}

std::string GetLastLibraryError()
{
    return gLastError;
}

} // namespace svp
