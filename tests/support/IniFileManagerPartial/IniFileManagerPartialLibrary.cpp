// A settings library that lacks most of its exports: only OpenIniFile is there, and it answers a
// fixed handle, so tests can tell the bound export from the missing ones.
#include <cstdint>

extern "C" __attribute__((visibility("default"))) int32_t OpenIniFile(const char*, const char*,
                                                                      const char*, int32_t* handle)
{
    *handle = 7;
    return 0;
}
