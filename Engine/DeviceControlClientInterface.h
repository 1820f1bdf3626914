// The binding to the keyboard maker's device-control client library: loads the library at run
// time, binds its exports by name and wraps each in one operation. Without the library, or
// without one of its exports, the wrapper answers -1 (IsDeviceConnected: false) and the program
// runs on.
#pragma once

#include "DeviceControlClientExports.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>
#include <memory>

namespace SV {

class DeviceControlClientInterface
{
public:
    // The library's file, looked for in the executable's folder.
    static constexpr const char* kLibraryFileName = "libDeviceControlClient.so";

    // Loads the library file at `path`; without a path (empty), kLibraryFileName in the library
    // folder. A library that does not load leaves a client that answers -1 to every call.
    explicit DeviceControlClientInterface(const WideString& path = WideString());
    DeviceControlClientInterface(const DeviceControlClientInterface&) = delete;
    DeviceControlClientInterface& operator=(const DeviceControlClientInterface&) = delete;
    // A loaded library is told to let everything go (ZUVO_ReleaseAll) and is then unloaded.
    ~DeviceControlClientInterface();

    // Where a client made without a path looks for the library: the executable's folder unless
    // a folder was set here (the tests load their own build of the library this way). An empty
    // folder goes back to the executable's.
    static void SetLibraryFolder(const WideString& folder);
    static WideString GetLibraryFolder();

    bool IsLoaded() const;

    int32_t FindDevices(const _GUID* kinds, int32_t kindCount, Variant& result);
    int32_t FindRemoteDevices(const _GUID* kinds, int32_t kindCount, Variant& result, int32_t mode);
    int32_t ConnectDevice(const Variant& deviceId, DeviceControlClientCallback callback,
                          void* context);
    int32_t RequestParamRanges(const Variant& deviceId, const ParamRanges& ranges);
    int32_t RequestParamValues(const Variant& deviceId, const ParamDescriptors& descriptors);
    int32_t GetParamRanges(const Variant& deviceId, int32_t first, int32_t second);
    int32_t GetParamValues(const Variant& deviceId, int32_t first, int32_t second);
    int32_t GetParamValue(const Variant& deviceId, const ParamDescriptor& descriptor,
                          Variant& value);
    int32_t SetParamValue(const Variant& deviceId, const ParamDescriptor& descriptor,
                          const Variant& value);
    int32_t SetParamValues(const Variant& deviceId, const ParamValues& values);
    int32_t DisconnectDevice(const Variant& deviceId);
    // The export answers 0 for a connected device.
    bool IsDeviceConnected(const Variant& deviceId);
    // `record` holds kDeviceInfoRecordSize bytes.
    int32_t GetDeviceInfo(const Variant& deviceId, uint8_t* record);

    struct Exports;

private:
    void* mLibrary = nullptr;
    std::unique_ptr<Exports> mExports;
};

} // namespace SV
