#include "System/IniFileManager.h"

#include "System/IniFileManagerProxy.h"

namespace SV {

LIniFileManager::LIniFileManager() : mProxy(std::make_unique<CIniFileManagerProxy>())
{}

LIniFileManager::~LIniFileManager() = default;

int32_t LIniFileManager::Load(const WideString& folder)
{
    return mProxy->Load(folder);
}

int32_t LIniFileManager::Unload()
{
    return mProxy->Unload();
}

int32_t LIniFileManager::OpenIniFile(const WideString& path, const WideString& version,
                                     const WideString& product, int32_t& handle)
{
    return mProxy->OpenIniFile(path, version, product, handle);
}

int32_t LIniFileManager::WriteIniFile(int32_t handle)
{
    return mProxy->WriteIniFile(handle);
}

bool LIniFileManager::DoesNodeExist(int32_t handle, const WideString& key)
{
    return mProxy->DoesNodeExist(handle, key);
}

int32_t LIniFileManager::CloseIniFile(int32_t handle, int32_t save)
{
    return mProxy->CloseIniFile(handle, save);
}

int32_t LIniFileManager::GetIniValueInt(int32_t handle, const WideString& key, int32_t defaultValue,
                                        int32_t& value)
{
    return mProxy->GetIniValueInt(handle, key, defaultValue, value);
}

int32_t LIniFileManager::SetIniValueInt(int32_t handle, const WideString& key, int32_t value)
{
    return mProxy->SetIniValueInt(handle, key, value);
}

int32_t LIniFileManager::GetIniValueStr(int32_t handle, const WideString& key,
                                        const WideString& defaultText, WideString& text)
{
    return mProxy->GetIniValueStr(handle, key, defaultText, text);
}

int32_t LIniFileManager::SetIniValueStr(int32_t handle, const WideString& key,
                                        const WideString& text)
{
    return mProxy->SetIniValueStr(handle, key, text);
}

int32_t LIniFileManager::GetKeyCount(int32_t handle, const WideString& key, int32_t& count)
{
    return mProxy->GetKeyCount(handle, key, count);
}

int32_t LIniFileManager::GetKeyNameAt(int32_t handle, const WideString& key, int32_t index,
                                      WideString& name)
{
    return mProxy->GetKeyNameAt(handle, key, index, name);
}

int32_t LIniFileManager::GetArrayCount(int32_t handle, const WideString& key, int32_t& count)
{
    return mProxy->GetArrayCount(handle, key, count);
}

int32_t LIniFileManager::SetArrayCount(int32_t handle, const WideString& key, int32_t count)
{
    return mProxy->SetArrayCount(handle, key, count);
}

int32_t LIniFileManager::GetArrayItemAt(int32_t handle, const WideString& key, int32_t index,
                                        WideString& text)
{
    return mProxy->GetArrayItemAt(handle, key, index, text);
}

int32_t LIniFileManager::SetArrayItemAt(int32_t handle, const WideString& key, int32_t index,
                                        const WideString& text)
{
    return mProxy->SetArrayItemAt(handle, key, index, text);
}

int32_t LIniFileManager::RemoveArrayItemAt(int32_t handle, const WideString& key, int32_t index)
{
    return mProxy->RemoveArrayItemAt(handle, key, index);
}

} // namespace SV
