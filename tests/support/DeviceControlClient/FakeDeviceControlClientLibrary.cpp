// The tests' build of the device-control client library: the maker's exports, each handed to
// the handler the test installed. Built twice: whole, and without some exports
// (FAKE_CLIENT_WITHOUT_SOME_EXPORTS) to show how the program copes with an incomplete library.
#include "DeviceControlClientExports.h"
#include "FakeDeviceControlClientHandler.h"

#include <atomic>

namespace {

std::atomic<svtest::DeviceControlClientHandler*> gHandler{nullptr};

constexpr int32_t kNoHandler = -1;

} // namespace

extern "C" {

__attribute__((visibility("default"))) void
FakeDeviceControlClient_InstallHandler(svtest::DeviceControlClientHandler* handler)
{
    gHandler.store(handler);
}

int32_t ZUVO_FindDevices(const _GUID* kinds, int32_t kindCount, SV::Variant* result)
{
    auto* handler = gHandler.load();
    return handler != nullptr ? handler->FindDevices(kinds, kindCount, result) : kNoHandler;
}

int32_t ZUVO_FindRemoteDevices(const _GUID* kinds, int32_t kindCount, SV::Variant* result,
                               int32_t mode)
{
    auto* handler = gHandler.load();
    return handler != nullptr ? handler->FindRemoteDevices(kinds, kindCount, result, mode)
                              : kNoHandler;
}

int32_t ZUVO_ConnectDevice(const SV::Variant* deviceId, DeviceControlClientCallback callback,
                           void* context)
{
    auto* handler = gHandler.load();
    return handler != nullptr ? handler->ConnectDevice(deviceId, callback, context) : kNoHandler;
}

int32_t ZUVO_RequestParamRanges(const SV::Variant* deviceId, const SV::ParamRanges* ranges)
{
    auto* handler = gHandler.load();
    return handler != nullptr ? handler->RequestParamRanges(deviceId, ranges) : kNoHandler;
}

int32_t ZUVO_RequestParamValues(const SV::Variant* deviceId,
                                const SV::ParamDescriptors* descriptors)
{
    auto* handler = gHandler.load();
    return handler != nullptr ? handler->RequestParamValues(deviceId, descriptors) : kNoHandler;
}

int32_t ZUVO_GetParamRanges(const SV::Variant* deviceId, int32_t first, int32_t second)
{
    auto* handler = gHandler.load();
    return handler != nullptr ? handler->GetParamRanges(deviceId, first, second) : kNoHandler;
}

int32_t ZUVO_GetParamValues(const SV::Variant* deviceId, int32_t first, int32_t second)
{
    auto* handler = gHandler.load();
    return handler != nullptr ? handler->GetParamValues(deviceId, first, second) : kNoHandler;
}

int32_t ZUVO_GetParamValue(const SV::Variant* deviceId, const SV::ParamDescriptor* descriptor,
                           SV::Variant* value)
{
    auto* handler = gHandler.load();
    return handler != nullptr ? handler->GetParamValue(deviceId, descriptor, value) : kNoHandler;
}

#ifndef FAKE_CLIENT_WITHOUT_SOME_EXPORTS
int32_t ZUVO_SetParamValue(const SV::Variant* deviceId, const SV::ParamDescriptor* descriptor,
                           const SV::Variant* value)
{
    auto* handler = gHandler.load();
    return handler != nullptr ? handler->SetParamValue(deviceId, descriptor, value) : kNoHandler;
}
#endif

int32_t ZUVO_SetParamValues(const SV::Variant* deviceId, const SV::ParamValues* values)
{
    auto* handler = gHandler.load();
    return handler != nullptr ? handler->SetParamValues(deviceId, values) : kNoHandler;
}

int32_t ZUVO_DisconnectDevice(const SV::Variant* deviceId)
{
    auto* handler = gHandler.load();
    return handler != nullptr ? handler->DisconnectDevice(deviceId) : kNoHandler;
}

#ifndef FAKE_CLIENT_WITHOUT_SOME_EXPORTS
int32_t ZUVO_IsDeviceConnected(const SV::Variant* deviceId)
{
    auto* handler = gHandler.load();
    return handler != nullptr ? handler->IsDeviceConnected(deviceId) : kNoHandler;
}
#endif

int32_t ZUVO_GetDeviceInfo(const SV::Variant* deviceId, uint8_t* record)
{
    auto* handler = gHandler.load();
    return handler != nullptr ? handler->GetDeviceInfo(deviceId, record) : kNoHandler;
}

int32_t ZUVO_ReleaseAll()
{
    auto* handler = gHandler.load();
    return handler != nullptr ? handler->ReleaseAll() : 0;
}

} // extern "C"
