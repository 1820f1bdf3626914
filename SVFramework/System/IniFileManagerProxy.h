// The binding to the settings library libIniFileManager.so: loads it at run time, binds its
// fifteen exports by name and turns every call's UTF-16 strings into UTF-8. An operation whose
// export is not bound answers E_FAIL (DoesNodeExist: false) without calling anything.
#pragma once

#include "IniFileManagerExports.h"
#include "System/IniFileManager.h"

namespace SV {

class CIniFileManagerProxy : public IIniFileManager
{
public:
    static constexpr const char16_t* kLibraryFileName = u"libIniFileManager.so";

    CIniFileManagerProxy() = default;
    CIniFileManagerProxy(const CIniFileManagerProxy&) = delete;
    CIniFileManagerProxy& operator=(const CIniFileManagerProxy&) = delete;
    // Unloads the library when it is still loaded.
    ~CIniFileManagerProxy() override;

    // Where Load looks when it is given no folder: the executable's folder unless a folder was
    // set here (the tests load their own build of the library this way). An empty folder goes
    // back to the executable's.
    static void SetDefaultFolder(const WideString& folder);
    static WideString GetDefaultFolder();

    int32_t Load(const WideString& folder) override;
    int32_t Unload() override;
    int32_t OpenIniFile(const WideString& path, const WideString& version,
                        const WideString& product, int32_t& handle) override;
    int32_t WriteIniFile(int32_t handle) override;
    bool DoesNodeExist(int32_t handle, const WideString& key) override;
    int32_t CloseIniFile(int32_t handle, int32_t save) override;
    int32_t GetIniValueInt(int32_t handle, const WideString& key, int32_t defaultValue,
                           int32_t& value) override;
    int32_t SetIniValueInt(int32_t handle, const WideString& key, int32_t value) override;
    int32_t GetIniValueStr(int32_t handle, const WideString& key, const WideString& defaultText,
                           WideString& text) override;
    int32_t SetIniValueStr(int32_t handle, const WideString& key, const WideString& text) override;
    int32_t GetKeyCount(int32_t handle, const WideString& key, int32_t& count) override;
    int32_t GetKeyNameAt(int32_t handle, const WideString& key, int32_t index,
                         WideString& name) override;
    int32_t GetArrayCount(int32_t handle, const WideString& key, int32_t& count) override;
    int32_t SetArrayCount(int32_t handle, const WideString& key, int32_t count) override;
    int32_t GetArrayItemAt(int32_t handle, const WideString& key, int32_t index,
                           WideString& text) override;
    int32_t SetArrayItemAt(int32_t handle, const WideString& key, int32_t index,
                           const WideString& text) override;
    int32_t RemoveArrayItemAt(int32_t handle, const WideString& key, int32_t index) override;

    bool IsLoaded() const { return mLibrary != nullptr; }
    // The file the last Load tried.
    const WideString& GetLibraryPath() const { return mLibraryPath; }

private:
    // A text result: the library is asked with a 1024-byte buffer first and, when it reports
    // that the text needs more, once more with a buffer of the size it reported.
    template <class Call>
    int32_t ReadText(Call call, WideString& text);
    void ClearEntryPoints();

    OpenIniFileFn mOpenIniFile = nullptr;
    WriteIniFileFn mWriteIniFile = nullptr;
    CloseIniFileFn mCloseIniFile = nullptr;
    DoesNodeExistFn mDoesNodeExist = nullptr;
    GetIniValueIntFn mGetIniValueInt = nullptr;
    SetIniValueIntFn mSetIniValueInt = nullptr;
    GetIniValueStrFn mGetIniValueStr = nullptr;
    SetIniValueStrFn mSetIniValueStr = nullptr;
    GetKeyCountFn mGetKeyCount = nullptr;
    GetKeyNameAtFn mGetKeyNameAt = nullptr;
    GetArrayCountFn mGetArrayCount = nullptr;
    SetArrayCountFn mSetArrayCount = nullptr;
    GetArrayItemAtFn mGetArrayItemAt = nullptr;
    SetArrayItemAtFn mSetArrayItemAt = nullptr;
    RemoveArrayItemAtFn mRemoveArrayItemAt = nullptr;
    void* mLibrary = nullptr;
    WideString mLibraryPath;
};

} // namespace SV
