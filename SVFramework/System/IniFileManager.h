// The settings service: the interface through which the program reads and writes its settings
// files, and the reference-counted manager the application holds, which forwards every call to
// the binding of the settings library (CIniFileManagerProxy). Without the library every call
// answers a failure and the program runs on without settings.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>
#include <memory>

namespace SV {

class IIniFileManager
{
public:
    virtual ~IIniFileManager() = default;

    // 1 when loaded already, 0 when loaded with every export bound, E_FAIL otherwise.
    virtual int32_t Load(const WideString& folder) = 0;
    // 1 when nothing was loaded, 0 when the library was freed.
    virtual int32_t Unload() = 0;
    virtual int32_t OpenIniFile(const WideString& path, const WideString& version,
                                const WideString& product, int32_t& handle) = 0;
    virtual int32_t WriteIniFile(int32_t handle) = 0;
    virtual bool DoesNodeExist(int32_t handle, const WideString& key) = 0;
    virtual int32_t CloseIniFile(int32_t handle, int32_t save) = 0;
    virtual int32_t GetIniValueInt(int32_t handle, const WideString& key, int32_t defaultValue,
                                   int32_t& value) = 0;
    virtual int32_t SetIniValueInt(int32_t handle, const WideString& key, int32_t value) = 0;
    virtual int32_t GetIniValueStr(int32_t handle, const WideString& key,
                                   const WideString& defaultText, WideString& text) = 0;
    virtual int32_t SetIniValueStr(int32_t handle, const WideString& key,
                                   const WideString& text) = 0;
    virtual int32_t GetKeyCount(int32_t handle, const WideString& key, int32_t& count) = 0;
    virtual int32_t GetKeyNameAt(int32_t handle, const WideString& key, int32_t index,
                                 WideString& name) = 0;
    virtual int32_t GetArrayCount(int32_t handle, const WideString& key, int32_t& count) = 0;
    virtual int32_t SetArrayCount(int32_t handle, const WideString& key, int32_t count) = 0;
    virtual int32_t GetArrayItemAt(int32_t handle, const WideString& key, int32_t index,
                                   WideString& text) = 0;
    virtual int32_t SetArrayItemAt(int32_t handle, const WideString& key, int32_t index,
                                   const WideString& text) = 0;
    virtual int32_t RemoveArrayItemAt(int32_t handle, const WideString& key, int32_t index) = 0;
};

class CIniFileManagerProxy;

class LIniFileManager : public IIniFileManager, public virtual LRefCountedObject
{
public:
    LIniFileManager();
    ~LIniFileManager() override;

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

private:
    std::unique_ptr<CIniFileManagerProxy> mProxy;
};

} // namespace SV
