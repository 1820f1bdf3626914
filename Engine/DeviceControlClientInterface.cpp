#include "DeviceControlClientInterface.h"
#include "ResultCodes.h"

#include "DynamicLibrary.h"
#include "ExecutablePath.h"

#include <mutex>
#include <string>

namespace SV {

// One pointer per export, null where the library has none.
struct DeviceControlClientInterface::Exports
{
    decltype(&ZUVO_FindDevices) findDevices = nullptr;
    decltype(&ZUVO_FindRemoteDevices) findRemoteDevices = nullptr;
    decltype(&ZUVO_ConnectDevice) connectDevice = nullptr;
    decltype(&ZUVO_RequestParamRanges) requestParamRanges = nullptr;
    decltype(&ZUVO_RequestParamValues) requestParamValues = nullptr;
    decltype(&ZUVO_GetParamRanges) getParamRanges = nullptr;
    decltype(&ZUVO_GetParamValues) getParamValues = nullptr;
    decltype(&ZUVO_GetParamValue) getParamValue = nullptr;
    decltype(&ZUVO_SetParamValue) setParamValue = nullptr;
    decltype(&ZUVO_SetParamValues) setParamValues = nullptr;
    decltype(&ZUVO_DisconnectDevice) disconnectDevice = nullptr;
    decltype(&ZUVO_IsDeviceConnected) isDeviceConnected = nullptr;
    decltype(&ZUVO_GetDeviceInfo) getDeviceInfo = nullptr;
    decltype(&ZUVO_ReleaseAll) releaseAll = nullptr;
};

namespace {

constexpr int32_t kMissing = kResultFailed;

std::mutex gFolderLock;
std::string gLibraryFolder; // UTF-8; empty: the executable's folder

template <class Function>
void Bind(void* library, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(svp::FindLibraryExport(library, name));
}

// Calls the export when the library has it, else answers -1.
template <class Function, class... Arguments>
int32_t CallExport(Function function, Arguments... arguments)
{
    return function != nullptr ? function(arguments...) : kMissing;
}

std::string DefaultLibraryPath()
{
    std::string folder;
    {
        std::lock_guard lock(gFolderLock);
        folder = gLibraryFolder;
    }
    if (folder.empty()) {
        folder = svp::GetExecutableFolder();
    }
    if (folder.empty()) {
        return {};
    }
    if (folder.back() != '/') {
        folder += '/';
    }
    return folder + DeviceControlClientInterface::kLibraryFileName;
}

} // namespace

void DeviceControlClientInterface::SetLibraryFolder(const WideString& folder)
{
    const NarrowString narrow = folder.ToNarrow();
    std::lock_guard lock(gFolderLock);
    gLibraryFolder = narrow.GetText();
}

WideString DeviceControlClientInterface::GetLibraryFolder()
{
    std::string folder;
    {
        std::lock_guard lock(gFolderLock);
        folder = gLibraryFolder;
    }
    if (folder.empty()) {
        folder = svp::GetExecutableFolder();
    }
    return WideString(folder.c_str());
}

DeviceControlClientInterface::DeviceControlClientInterface(const WideString& path)
    : mExports(std::make_unique<Exports>())
{
    const std::string file =
        path.IsEmpty() ? DefaultLibraryPath() : std::string(path.ToNarrow().GetText());
    mLibrary = svp::LoadDynamicLibrary(file);
    if (mLibrary == nullptr) {
        // The usual case on a machine without the maker's library: every wrapper answers -1
        // and the model keeps its values locally.
        return;
    }
    Exports& exports = *mExports;
    Bind(mLibrary, "ZUVO_FindDevices", exports.findDevices);
    Bind(mLibrary, "ZUVO_FindRemoteDevices", exports.findRemoteDevices);
    Bind(mLibrary, "ZUVO_ConnectDevice", exports.connectDevice);
    Bind(mLibrary, "ZUVO_RequestParamRanges", exports.requestParamRanges);
    Bind(mLibrary, "ZUVO_RequestParamValues", exports.requestParamValues);
    Bind(mLibrary, "ZUVO_GetParamRanges", exports.getParamRanges);
    Bind(mLibrary, "ZUVO_GetParamValues", exports.getParamValues);
    Bind(mLibrary, "ZUVO_GetParamValue", exports.getParamValue);
    Bind(mLibrary, "ZUVO_SetParamValue", exports.setParamValue);
    Bind(mLibrary, "ZUVO_SetParamValues", exports.setParamValues);
    Bind(mLibrary, "ZUVO_DisconnectDevice", exports.disconnectDevice);
    Bind(mLibrary, "ZUVO_IsDeviceConnected", exports.isDeviceConnected);
    Bind(mLibrary, "ZUVO_GetDeviceInfo", exports.getDeviceInfo);
    Bind(mLibrary, "ZUVO_ReleaseAll", exports.releaseAll);
}

DeviceControlClientInterface::~DeviceControlClientInterface()
{
    if (mLibrary == nullptr) {
        return;
    }
    CallExport(mExports->releaseAll);
    svp::FreeDynamicLibrary(mLibrary);
}

bool DeviceControlClientInterface::IsLoaded() const
{
    return mLibrary != nullptr;
}

int32_t DeviceControlClientInterface::FindDevices(const _GUID* kinds, int32_t kindCount,
                                                  Variant& result)
{
    return CallExport(mExports->findDevices, kinds, kindCount, &result);
}

int32_t DeviceControlClientInterface::FindRemoteDevices(const _GUID* kinds, int32_t kindCount,
                                                        Variant& result, int32_t mode)
{
    return CallExport(mExports->findRemoteDevices, kinds, kindCount, &result, mode);
}

int32_t DeviceControlClientInterface::ConnectDevice(const Variant& deviceId,
                                                    DeviceControlClientCallback callback,
                                                    void* context)
{
    return CallExport(mExports->connectDevice, &deviceId, callback, context);
}

int32_t DeviceControlClientInterface::RequestParamRanges(const Variant& deviceId,
                                                         const ParamRanges& ranges)
{
    return CallExport(mExports->requestParamRanges, &deviceId, &ranges);
}

int32_t DeviceControlClientInterface::RequestParamValues(const Variant& deviceId,
                                                         const ParamDescriptors& descriptors)
{
    return CallExport(mExports->requestParamValues, &deviceId, &descriptors);
}

int32_t DeviceControlClientInterface::GetParamRanges(const Variant& deviceId, int32_t first,
                                                     int32_t second)
{
    return CallExport(mExports->getParamRanges, &deviceId, first, second);
}

int32_t DeviceControlClientInterface::GetParamValues(const Variant& deviceId, int32_t first,
                                                     int32_t second)
{
    return CallExport(mExports->getParamValues, &deviceId, first, second);
}

int32_t DeviceControlClientInterface::GetParamValue(const Variant& deviceId,
                                                    const ParamDescriptor& descriptor,
                                                    Variant& value)
{
    return CallExport(mExports->getParamValue, &deviceId, &descriptor, &value);
}

int32_t DeviceControlClientInterface::SetParamValue(const Variant& deviceId,
                                                    const ParamDescriptor& descriptor,
                                                    const Variant& value)
{
    return CallExport(mExports->setParamValue, &deviceId, &descriptor, &value);
}

int32_t DeviceControlClientInterface::SetParamValues(const Variant& deviceId,
                                                     const ParamValues& values)
{
    return CallExport(mExports->setParamValues, &deviceId, &values);
}

int32_t DeviceControlClientInterface::DisconnectDevice(const Variant& deviceId)
{
    return CallExport(mExports->disconnectDevice, &deviceId);
}

bool DeviceControlClientInterface::IsDeviceConnected(const Variant& deviceId)
{
    return mExports->isDeviceConnected != nullptr && mExports->isDeviceConnected(&deviceId) == 0;
}

int32_t DeviceControlClientInterface::GetDeviceInfo(const Variant& deviceId, uint8_t* record)
{
    return CallExport(mExports->getDeviceInfo, &deviceId, record);
}

} // namespace SV
