// The C interface of the settings library libIniFileManager.so: fifteen exports bound by name.
// Strings are NUL-terminated UTF-8; a settings file is named by a handle above 0; results are 0
// for success, 1 for a read that found nothing stored (the default is answered), -2 when a text
// buffer is too small (the needed size, NUL included, is reported) and negative codes for
// errors.
#pragma once

#include <cstdint>

extern "C" {

using OpenIniFileFn = int32_t (*)(const char* path, const char* version, const char* product,
                                  int32_t* handle);
using WriteIniFileFn = int32_t (*)(int32_t handle);
// A non-zero `save` writes the file once more before the handle is given back.
using CloseIniFileFn = int32_t (*)(int32_t handle, int32_t save);
// 1 when the key holds a value or has keys below it, else 0.
using DoesNodeExistFn = int32_t (*)(int32_t handle, const char* key);
using GetIniValueIntFn = int32_t (*)(int32_t handle, const char* key, int32_t defaultValue,
                                     int32_t* value);
using SetIniValueIntFn = int32_t (*)(int32_t handle, const char* key, int32_t value);
using GetIniValueStrFn = int32_t (*)(int32_t handle, const char* key, const char* defaultText,
                                     char* buffer, int32_t bufferSize, int32_t* neededSize);
using SetIniValueStrFn = int32_t (*)(int32_t handle, const char* key, const char* text);
// Keys are paths whose parts are separated by '/' or '\'; the count and names are those of the
// keys directly below `key` (the empty key is the top).
using GetKeyCountFn = int32_t (*)(int32_t handle, const char* key, int32_t* count);
using GetKeyNameAtFn = int32_t (*)(int32_t handle, const char* key, int32_t index, char* buffer,
                                   int32_t bufferSize, int32_t* neededSize);
// An array under `key` holds its items as the keys "0", "1", ... below it.
using GetArrayCountFn = int32_t (*)(int32_t handle, const char* key, int32_t* count);
using SetArrayCountFn = int32_t (*)(int32_t handle, const char* key, int32_t count);
using GetArrayItemAtFn = int32_t (*)(int32_t handle, const char* key, int32_t index, char* buffer,
                                     int32_t bufferSize, int32_t* neededSize);
using SetArrayItemAtFn = int32_t (*)(int32_t handle, const char* key, int32_t index,
                                     const char* text);
using RemoveArrayItemAtFn = int32_t (*)(int32_t handle, const char* key, int32_t index);
}

namespace IniFileManagerResults {
constexpr int32_t kOk = 0;
constexpr int32_t kNotStored = 1;
constexpr int32_t kBufferTooSmall = -2;
constexpr int32_t kInvalidArgument = static_cast<int32_t>(0x80070057u);
constexpr int32_t kFailed = static_cast<int32_t>(0x80004005u);
} // namespace IniFileManagerResults
