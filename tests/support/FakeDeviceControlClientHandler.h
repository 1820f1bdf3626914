// What the fake device-control client library hands its calls to. The library the tests build
// (support/DeviceControlClient) has the exports of the maker's library and nothing else of its
// own: each export passes its arguments to the handler a test installed, so the tests decide
// every answer while the program still loads and binds the library as it always does.
#pragma once

#include "DeviceControlClientExports.h"

#include <cstdint>

namespace svtest {

class DeviceControlClientHandler
{
public:
    virtual int32_t FindDevices(const _GUID* kinds, int32_t kindCount, SV::Variant* result) = 0;
    virtual int32_t FindRemoteDevices(const _GUID* kinds, int32_t kindCount, SV::Variant* result,
                                      int32_t mode) = 0;
    virtual int32_t ConnectDevice(const SV::Variant* deviceId, DeviceControlClientCallback callback,
                                  void* context) = 0;
    virtual int32_t RequestParamRanges(const SV::Variant* deviceId,
                                       const SV::ParamRanges* ranges) = 0;
    virtual int32_t RequestParamValues(const SV::Variant* deviceId,
                                       const SV::ParamDescriptors* descriptors) = 0;
    virtual int32_t GetParamRanges(const SV::Variant* deviceId, int32_t first, int32_t second) = 0;
    virtual int32_t GetParamValues(const SV::Variant* deviceId, int32_t first, int32_t second) = 0;
    virtual int32_t GetParamValue(const SV::Variant* deviceId,
                                  const SV::ParamDescriptor* descriptor, SV::Variant* value) = 0;
    virtual int32_t SetParamValue(const SV::Variant* deviceId,
                                  const SV::ParamDescriptor* descriptor,
                                  const SV::Variant* value) = 0;
    virtual int32_t SetParamValues(const SV::Variant* deviceId, const SV::ParamValues* values) = 0;
    virtual int32_t DisconnectDevice(const SV::Variant* deviceId) = 0;
    virtual int32_t IsDeviceConnected(const SV::Variant* deviceId) = 0;
    virtual int32_t GetDeviceInfo(const SV::Variant* deviceId, uint8_t* record) = 0;
    virtual int32_t ReleaseAll() = 0;

protected:
    ~DeviceControlClientHandler() = default;
};

// The library's one export besides the maker's: installs the handler (null: none). Without a
// handler every export answers -1, as a library without a device would.
using InstallDeviceControlClientHandler = void (*)(DeviceControlClientHandler* handler);
constexpr const char* kInstallHandlerExport = "FakeDeviceControlClient_InstallHandler";

} // namespace svtest
