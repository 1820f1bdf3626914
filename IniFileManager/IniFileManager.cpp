// The exports of the settings library. Each open file gets a handle; opening the same path again
// answers the same handle and counts one more open. Every change is written through at once, so
// the values survive the program's end without a write or close call. The library serves one
// caller at a time: a process-wide lock guards its table. A file that cannot be read whole is
// never opened, so it is never written either: the caller works from its defaults, and standard
// error says so once for each such file.
#include "IniFileManagerExports.h"
#include "IniFileStore.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>

using namespace IniFileManagerResults;

namespace {

struct OpenFile
{
    std::unique_ptr<IniFileStore> store;
    int32_t opens = 0;
};

struct Registry
{
    std::mutex lock;
    std::map<int32_t, OpenFile> files;
    int32_t nextHandle = 1;
    std::set<std::string> reportedPaths;
};

Registry& GetRegistry()
{
    static Registry registry;
    return registry;
}

IniFileStore* FindStore(Registry& registry, int32_t handle)
{
    const auto found = registry.files.find(handle);
    return found == registry.files.end() ? nullptr : found->second.store.get();
}

void ReportUnusableFile(Registry& registry, const std::string& path,
                        IniFileStore::LoadResult result)
{
    if (!registry.reportedPaths.insert(path).second) {
        return;
    }
    const char* reason = result == IniFileStore::LoadResult::kNotAFile ? "is not a regular file"
                         : result == IniFileStore::LoadResult::kTooLarge
                             ? "is larger than the 4 MiB a settings file may have"
                             : "cannot be read";
    std::fprintf(stderr,
                 "IniFileManager: the settings file \"%s\" %s; it is left as it is, and the "
                 "settings it holds are not used.\n",
                 path.c_str(), reason);
}

int32_t CopyOut(const std::string& text, char* buffer, int32_t bufferSize, int32_t* neededSize)
{
    const auto needed = static_cast<int64_t>(text.size()) + 1;
    if (neededSize != nullptr) {
        *neededSize = needed > INT32_MAX ? INT32_MAX : static_cast<int32_t>(needed);
    }
    if (buffer == nullptr || bufferSize < needed) {
        if (buffer != nullptr && bufferSize > 0) {
            buffer[0] = '\0';
        }
        return kBufferTooSmall;
    }
    std::memcpy(buffer, text.c_str(), static_cast<size_t>(needed));
    return kOk;
}

std::string ItemKey(const char* key, int32_t index)
{
    return std::string(key) + "/" + std::to_string(index);
}

int32_t ArrayCount(const IniFileStore& store, const char* key)
{
    int32_t count = 0;
    while (store.Find(ItemKey(key, count)) != nullptr) {
        ++count;
    }
    return count;
}

int32_t SaveResult(const IniFileStore& store)
{
    return store.Save() ? kOk : kFailed;
}

} // namespace

extern "C" {

__attribute__((visibility("default"))) int32_t OpenIniFile(const char* path, const char* version,
                                                           const char* product, int32_t* handle)
{
    if (handle != nullptr) {
        *handle = 0;
    }
    if (path == nullptr || path[0] == '\0' || handle == nullptr) {
        return kInvalidArgument;
    }
    Registry& registry = GetRegistry();
    std::lock_guard guard(registry.lock);
    for (auto& [existing, file] : registry.files) {
        if (file.store->GetPath() == path) {
            ++file.opens;
            *handle = existing;
            return kOk;
        }
    }
    auto store = std::make_unique<IniFileStore>(path, version != nullptr ? version : "",
                                                product != nullptr ? product : "");
    if (const IniFileStore::LoadResult result = store->Load();
        result != IniFileStore::LoadResult::kRead) {
        ReportUnusableFile(registry, path, result);
        return kFailed;
    }
    const int32_t newHandle = registry.nextHandle++;
    registry.files[newHandle] = OpenFile{std::move(store), 1};
    *handle = newHandle;
    return kOk;
}

__attribute__((visibility("default"))) int32_t WriteIniFile(int32_t handle)
{
    Registry& registry = GetRegistry();
    std::lock_guard guard(registry.lock);
    const IniFileStore* store = FindStore(registry, handle);
    return store == nullptr ? kInvalidArgument : SaveResult(*store);
}

__attribute__((visibility("default"))) int32_t CloseIniFile(int32_t handle, int32_t save)
{
    Registry& registry = GetRegistry();
    std::lock_guard guard(registry.lock);
    const auto found = registry.files.find(handle);
    if (found == registry.files.end()) {
        return kInvalidArgument;
    }
    const int32_t result = save != 0 ? SaveResult(*found->second.store) : kOk;
    if (--found->second.opens == 0) {
        registry.files.erase(found);
    }
    return result;
}

__attribute__((visibility("default"))) int32_t DoesNodeExist(int32_t handle, const char* key)
{
    Registry& registry = GetRegistry();
    std::lock_guard guard(registry.lock);
    const IniFileStore* store = FindStore(registry, handle);
    return store != nullptr && key != nullptr && store->NodeExists(key) ? 1 : 0;
}

__attribute__((visibility("default"))) int32_t GetIniValueInt(int32_t handle, const char* key,
                                                              int32_t defaultValue, int32_t* value)
{
    if (value != nullptr) {
        *value = defaultValue;
    }
    Registry& registry = GetRegistry();
    std::lock_guard guard(registry.lock);
    const IniFileStore* store = FindStore(registry, handle);
    if (store == nullptr || key == nullptr || value == nullptr) {
        return kInvalidArgument;
    }
    const std::string* text = store->Find(key);
    if (text == nullptr) {
        return kNotStored;
    }
    try {
        size_t used = 0;
        const long long number = std::stoll(*text, &used, 10);
        if (used != text->size() || number < INT32_MIN || number > INT32_MAX) {
            return kNotStored;
        }
        *value = static_cast<int32_t>(number);
        return kOk;
    } catch (const std::exception&) {
        // A text that is no number reads as nothing stored.
        return kNotStored;
    }
}

__attribute__((visibility("default"))) int32_t SetIniValueInt(int32_t handle, const char* key,
                                                              int32_t value)
{
    Registry& registry = GetRegistry();
    std::lock_guard guard(registry.lock);
    IniFileStore* store = FindStore(registry, handle);
    if (store == nullptr || key == nullptr || !store->Set(key, std::to_string(value))) {
        return kInvalidArgument;
    }
    return SaveResult(*store);
}

__attribute__((visibility("default"))) int32_t GetIniValueStr(int32_t handle, const char* key,
                                                              const char* defaultText, char* buffer,
                                                              int32_t bufferSize,
                                                              int32_t* neededSize)
{
    Registry& registry = GetRegistry();
    std::lock_guard guard(registry.lock);
    const IniFileStore* store = FindStore(registry, handle);
    if (store == nullptr || key == nullptr) {
        return kInvalidArgument;
    }
    const std::string* text = store->Find(key);
    const std::string value = text != nullptr          ? *text
                              : defaultText != nullptr ? std::string(defaultText)
                                                       : std::string();
    return CopyOut(value, buffer, bufferSize, neededSize);
}

__attribute__((visibility("default"))) int32_t SetIniValueStr(int32_t handle, const char* key,
                                                              const char* text)
{
    Registry& registry = GetRegistry();
    std::lock_guard guard(registry.lock);
    IniFileStore* store = FindStore(registry, handle);
    // Text that would not read back is refused: written, it would be a damaged line.
    if (store == nullptr || key == nullptr || !store->Set(key, text != nullptr ? text : "")) {
        return kInvalidArgument;
    }
    return SaveResult(*store);
}

__attribute__((visibility("default"))) int32_t GetKeyCount(int32_t handle, const char* key,
                                                           int32_t* count)
{
    if (count != nullptr) {
        *count = 0;
    }
    Registry& registry = GetRegistry();
    std::lock_guard guard(registry.lock);
    const IniFileStore* store = FindStore(registry, handle);
    if (store == nullptr || count == nullptr) {
        return kInvalidArgument;
    }
    *count = static_cast<int32_t>(store->ChildNames(key != nullptr ? key : "").size());
    return kOk;
}

__attribute__((visibility("default"))) int32_t GetKeyNameAt(int32_t handle, const char* key,
                                                            int32_t index, char* buffer,
                                                            int32_t bufferSize, int32_t* neededSize)
{
    Registry& registry = GetRegistry();
    std::lock_guard guard(registry.lock);
    const IniFileStore* store = FindStore(registry, handle);
    if (store == nullptr) {
        return kInvalidArgument;
    }
    const std::vector<std::string> names = store->ChildNames(key != nullptr ? key : "");
    if (index < 0 || static_cast<size_t>(index) >= names.size()) {
        return kInvalidArgument;
    }
    return CopyOut(names[static_cast<size_t>(index)], buffer, bufferSize, neededSize);
}

__attribute__((visibility("default"))) int32_t GetArrayCount(int32_t handle, const char* key,
                                                             int32_t* count)
{
    if (count != nullptr) {
        *count = 0;
    }
    Registry& registry = GetRegistry();
    std::lock_guard guard(registry.lock);
    const IniFileStore* store = FindStore(registry, handle);
    if (store == nullptr || key == nullptr || count == nullptr) {
        return kInvalidArgument;
    }
    *count = ArrayCount(*store, key);
    return kOk;
}

__attribute__((visibility("default"))) int32_t SetArrayCount(int32_t handle, const char* key,
                                                             int32_t count)
{
    Registry& registry = GetRegistry();
    std::lock_guard guard(registry.lock);
    IniFileStore* store = FindStore(registry, handle);
    if (store == nullptr || key == nullptr || count < 0 || !IniFileStore::IsStorable(key, "")) {
        return kInvalidArgument;
    }
    const int32_t old = ArrayCount(*store, key);
    for (int32_t i = count; i < old; ++i) {
        store->Erase(ItemKey(key, i));
    }
    for (int32_t i = old; i < count; ++i) {
        store->Set(ItemKey(key, i), "");
    }
    return SaveResult(*store);
}

__attribute__((visibility("default"))) int32_t GetArrayItemAt(int32_t handle, const char* key,
                                                              int32_t index, char* buffer,
                                                              int32_t bufferSize,
                                                              int32_t* neededSize)
{
    Registry& registry = GetRegistry();
    std::lock_guard guard(registry.lock);
    const IniFileStore* store = FindStore(registry, handle);
    if (store == nullptr || key == nullptr || index < 0 || index >= ArrayCount(*store, key)) {
        return kInvalidArgument;
    }
    return CopyOut(*store->Find(ItemKey(key, index)), buffer, bufferSize, neededSize);
}

__attribute__((visibility("default"))) int32_t SetArrayItemAt(int32_t handle, const char* key,
                                                              int32_t index, const char* text)
{
    Registry& registry = GetRegistry();
    std::lock_guard guard(registry.lock);
    IniFileStore* store = FindStore(registry, handle);
    // An index just past the end appends.
    if (store == nullptr || key == nullptr || index < 0 || index > ArrayCount(*store, key) ||
        !store->Set(ItemKey(key, index), text != nullptr ? text : "")) {
        return kInvalidArgument;
    }
    return SaveResult(*store);
}

__attribute__((visibility("default"))) int32_t RemoveArrayItemAt(int32_t handle, const char* key,
                                                                 int32_t index)
{
    Registry& registry = GetRegistry();
    std::lock_guard guard(registry.lock);
    IniFileStore* store = FindStore(registry, handle);
    if (store == nullptr || key == nullptr) {
        return kInvalidArgument;
    }
    const int32_t count = ArrayCount(*store, key);
    if (index < 0 || index >= count) {
        return kInvalidArgument;
    }
    for (int32_t i = index; i + 1 < count; ++i) {
        store->Set(ItemKey(key, i), *store->Find(ItemKey(key, i + 1)));
    }
    store->Erase(ItemKey(key, count - 1));
    return SaveResult(*store);
}

} // extern "C"
