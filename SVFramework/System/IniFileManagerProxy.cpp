#include "System/IniFileManagerProxy.h"

#include "DynamicLibrary.h"
#include "ExecutablePath.h"
#include "ResultCodes.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <string>

namespace SV {
namespace {

constexpr int32_t kFirstBufferSize = 1024;
constexpr int32_t kBufferTooSmall = -2;
// A settings text is a few words; a library asking for more than this is not believed.
constexpr int32_t kLargestText = 16 * 1024 * 1024;

std::mutex gFolderLock;
WideString gDefaultFolder;

template <class Fn>
void Bind(void* library, const char* name, Fn& entry)
{
    entry = reinterpret_cast<Fn>(svp::FindLibraryExport(library, name));
}

std::string Utf8(const WideString& text)
{
    return text.ToNarrow().GetText();
}

} // namespace

CIniFileManagerProxy::~CIniFileManagerProxy()
{
    if (mLibrary != nullptr) {
        Unload();
    }
}

void CIniFileManagerProxy::SetDefaultFolder(const WideString& folder)
{
    std::lock_guard lock(gFolderLock);
    gDefaultFolder = folder;
}

WideString CIniFileManagerProxy::GetDefaultFolder()
{
    {
        std::lock_guard lock(gFolderLock);
        if (!gDefaultFolder.IsEmpty()) {
            return gDefaultFolder;
        }
    }
    return WideString(svp::GetExecutableFolder().c_str());
}

int32_t CIniFileManagerProxy::Load(const WideString& folder)
{
    if (mLibrary != nullptr) {
        return S_FALSE;
    }
    // No folder means the system's search, which for this library is the executable's folder.
    WideString path = folder.IsEmpty() ? GetDefaultFolder() : folder;
    if (!path.IsEmpty() && path.GetText()[path.GetLength() - 1] != u'/') {
        path.AppendChar(u'/');
    }
    path += WideString(kLibraryFileName);
    mLibraryPath = path;
    mLibrary = svp::LoadDynamicLibrary(Utf8(path));
    if (mLibrary == nullptr) {
        return E_FAIL;
    }
    Bind(mLibrary, "OpenIniFile", mOpenIniFile);
    Bind(mLibrary, "WriteIniFile", mWriteIniFile);
    Bind(mLibrary, "CloseIniFile", mCloseIniFile);
    Bind(mLibrary, "DoesNodeExist", mDoesNodeExist);
    Bind(mLibrary, "GetIniValueInt", mGetIniValueInt);
    Bind(mLibrary, "SetIniValueInt", mSetIniValueInt);
    Bind(mLibrary, "GetIniValueStr", mGetIniValueStr);
    Bind(mLibrary, "SetIniValueStr", mSetIniValueStr);
    Bind(mLibrary, "GetKeyCount", mGetKeyCount);
    Bind(mLibrary, "GetKeyNameAt", mGetKeyNameAt);
    Bind(mLibrary, "GetArrayCount", mGetArrayCount);
    Bind(mLibrary, "SetArrayCount", mSetArrayCount);
    Bind(mLibrary, "GetArrayItemAt", mGetArrayItemAt);
    Bind(mLibrary, "SetArrayItemAt", mSetArrayItemAt);
    Bind(mLibrary, "RemoveArrayItemAt", mRemoveArrayItemAt);
    const bool allBound = mOpenIniFile && mWriteIniFile && mCloseIniFile && mDoesNodeExist &&
                          mGetIniValueInt && mSetIniValueInt && mGetIniValueStr &&
                          mSetIniValueStr && mGetKeyCount && mGetKeyNameAt && mGetArrayCount &&
                          mSetArrayCount && mGetArrayItemAt && mSetArrayItemAt &&
                          mRemoveArrayItemAt;
    return allBound ? S_OK : E_FAIL;
}

int32_t CIniFileManagerProxy::Unload()
{
    void* library = mLibrary;
    mLibrary = nullptr;
    ClearEntryPoints();
    if (library == nullptr) {
        return S_FALSE;
    }
    svp::FreeDynamicLibrary(library);
    return S_OK;
}

void CIniFileManagerProxy::ClearEntryPoints()
{
    mOpenIniFile = nullptr;
    mWriteIniFile = nullptr;
    mCloseIniFile = nullptr;
    mDoesNodeExist = nullptr;
    mGetIniValueInt = nullptr;
    mSetIniValueInt = nullptr;
    mGetIniValueStr = nullptr;
    mSetIniValueStr = nullptr;
    mGetKeyCount = nullptr;
    mGetKeyNameAt = nullptr;
    mGetArrayCount = nullptr;
    mSetArrayCount = nullptr;
    mGetArrayItemAt = nullptr;
    mSetArrayItemAt = nullptr;
    mRemoveArrayItemAt = nullptr;
}

template <class Call>
int32_t CIniFileManagerProxy::ReadText(Call call, WideString& text)
{
    char first[kFirstBufferSize] = {};
    int32_t needed = 0;
    int32_t result = call(first, kFirstBufferSize, &needed);
    if (result == S_OK) {
        text.AssignNarrow(first, static_cast<int32_t>(strnlen(first, kFirstBufferSize)));
        return result;
    }
    if (result != kBufferTooSmall || needed <= 0 || needed > kLargestText) {
        return result;
    }
    // The whole text is taken, however long: cutting it could split a character and lose it.
    // One byte more than the library asked for keeps the text terminated whatever it writes.
    const auto size = static_cast<size_t>(needed);
    std::unique_ptr<char[]> buffer(new char[size + 1]());
    int32_t neededAgain = 0;
    result = call(buffer.get(), needed, &neededAgain);
    if (result == S_OK) {
        buffer[size] = '\0';
        text.AssignNarrow(buffer.get(), static_cast<int32_t>(strnlen(buffer.get(), size)));
    }
    return result;
}

int32_t CIniFileManagerProxy::OpenIniFile(const WideString& path, const WideString& version,
                                          const WideString& product, int32_t& handle)
{
    handle = 0;
    if (mOpenIniFile == nullptr) {
        return E_FAIL;
    }
    return mOpenIniFile(Utf8(path).c_str(), Utf8(version).c_str(), Utf8(product).c_str(), &handle);
}

int32_t CIniFileManagerProxy::WriteIniFile(int32_t handle)
{
    return mWriteIniFile == nullptr ? E_FAIL : mWriteIniFile(handle);
}

bool CIniFileManagerProxy::DoesNodeExist(int32_t handle, const WideString& key)
{
    return mDoesNodeExist != nullptr && mDoesNodeExist(handle, Utf8(key).c_str()) != 0;
}

int32_t CIniFileManagerProxy::CloseIniFile(int32_t handle, int32_t save)
{
    return mCloseIniFile == nullptr ? E_FAIL : mCloseIniFile(handle, save);
}

int32_t CIniFileManagerProxy::GetIniValueInt(int32_t handle, const WideString& key,
                                             int32_t defaultValue, int32_t& value)
{
    value = defaultValue;
    if (mGetIniValueInt == nullptr) {
        return E_FAIL;
    }
    return mGetIniValueInt(handle, Utf8(key).c_str(), defaultValue, &value);
}

int32_t CIniFileManagerProxy::SetIniValueInt(int32_t handle, const WideString& key, int32_t value)
{
    return mSetIniValueInt == nullptr ? E_FAIL : mSetIniValueInt(handle, Utf8(key).c_str(), value);
}

int32_t CIniFileManagerProxy::GetIniValueStr(int32_t handle, const WideString& key,
                                             const WideString& defaultText, WideString& text)
{
    text = defaultText;
    if (mGetIniValueStr == nullptr) {
        return E_FAIL;
    }
    const std::string narrowKey = Utf8(key);
    const std::string narrowDefault = Utf8(defaultText);
    return ReadText(
        [&](char* buffer, int32_t size, int32_t* needed) {
            return mGetIniValueStr(handle, narrowKey.c_str(), narrowDefault.c_str(), buffer, size,
                                   needed);
        },
        text);
}

int32_t CIniFileManagerProxy::SetIniValueStr(int32_t handle, const WideString& key,
                                             const WideString& text)
{
    if (mSetIniValueStr == nullptr) {
        return E_FAIL;
    }
    return mSetIniValueStr(handle, Utf8(key).c_str(), Utf8(text).c_str());
}

int32_t CIniFileManagerProxy::GetKeyCount(int32_t handle, const WideString& key, int32_t& count)
{
    count = 0;
    return mGetKeyCount == nullptr ? E_FAIL : mGetKeyCount(handle, Utf8(key).c_str(), &count);
}

int32_t CIniFileManagerProxy::GetKeyNameAt(int32_t handle, const WideString& key, int32_t index,
                                           WideString& name)
{
    name = WideString();
    if (mGetKeyNameAt == nullptr) {
        return E_FAIL;
    }
    const std::string narrowKey = Utf8(key);
    return ReadText(
        [&](char* buffer, int32_t size, int32_t* needed) {
            return mGetKeyNameAt(handle, narrowKey.c_str(), index, buffer, size, needed);
        },
        name);
}

int32_t CIniFileManagerProxy::GetArrayCount(int32_t handle, const WideString& key, int32_t& count)
{
    count = 0;
    return mGetArrayCount == nullptr ? E_FAIL : mGetArrayCount(handle, Utf8(key).c_str(), &count);
}

int32_t CIniFileManagerProxy::SetArrayCount(int32_t handle, const WideString& key, int32_t count)
{
    return mSetArrayCount == nullptr ? E_FAIL : mSetArrayCount(handle, Utf8(key).c_str(), count);
}

int32_t CIniFileManagerProxy::GetArrayItemAt(int32_t handle, const WideString& key, int32_t index,
                                             WideString& text)
{
    text = WideString();
    if (mGetArrayItemAt == nullptr) {
        return E_FAIL;
    }
    const std::string narrowKey = Utf8(key);
    return ReadText(
        [&](char* buffer, int32_t size, int32_t* needed) {
            return mGetArrayItemAt(handle, narrowKey.c_str(), index, buffer, size, needed);
        },
        text);
}

int32_t CIniFileManagerProxy::SetArrayItemAt(int32_t handle, const WideString& key, int32_t index,
                                             const WideString& text)
{
    if (mSetArrayItemAt == nullptr) {
        return E_FAIL;
    }
    return mSetArrayItemAt(handle, Utf8(key).c_str(), index, Utf8(text).c_str());
}

int32_t CIniFileManagerProxy::RemoveArrayItemAt(int32_t handle, const WideString& key,
                                                int32_t index)
{
    return mRemoveArrayItemAt == nullptr ? E_FAIL
                                         : mRemoveArrayItemAt(handle, Utf8(key).c_str(), index);
}

} // namespace SV
