// The calling interface of the keyboard maker's device-control client library, as the program
// binds it by name at run time. Values cross as pointers to the program's own Variants and
// descriptors (lists are list Variants of parameter values, descriptors or ranges); the library
// reads them during the call and copies what it keeps. Every export answers a result code: 0 or
// above for success, negative for failure.
#pragma once

#include <cstdint>

namespace SV {
class Variant;
struct ParamDescriptor;
class ParamDescriptors;
class ParamRanges;
class ParamValues;
} // namespace SV

// A 16-byte identifier of a device kind; the program passes lists of them to the device queries,
// always empty.
struct _GUID
{
    uint32_t data1 = 0;
    uint16_t data2 = 0;
    uint16_t data3 = 0;
    uint8_t data4[8] = {};
};

// The device information record that ZUVO_GetDeviceInfo fills, owned by the caller. Only one
// byte means anything to the program: non-zero there when the device is present.
constexpr uint32_t kDeviceInfoRecordSize = 256;
constexpr uint32_t kDeviceInfoPresentByte = 252;

// Called by the library on a thread of its own with the context given to ZUVO_ConnectDevice and
// a list Variant of parameter values (ParamValues entries); the second argument carries nothing
// the program uses. The list is only valid during the call.
using DeviceControlClientCallback = void (*)(void* context, int32_t reserved,
                                             const SV::Variant* values);

// The second-to-last argument of ZUVO_FindRemoteDevices.
constexpr int32_t kRemoteDeviceWait = 0;        // the list as it stands, to compare with
constexpr int32_t kRemoteDeviceSingleQuery = 1; // a fresh query; may answer 1

extern "C" {

// Devices of the given kinds into `result`; bound, never called.
int32_t ZUVO_FindDevices(const _GUID* kinds, int32_t kindCount, SV::Variant* result);
// Remote device ids into `result` as a list of records, one per device.
int32_t ZUVO_FindRemoteDevices(const _GUID* kinds, int32_t kindCount, SV::Variant* result,
                               int32_t mode);
// Connects; from then on the callback may deliver values until the device is disconnected.
int32_t ZUVO_ConnectDevice(const SV::Variant* deviceId, DeviceControlClientCallback callback,
                           void* context);
int32_t ZUVO_RequestParamRanges(const SV::Variant* deviceId, const SV::ParamRanges* ranges);
int32_t ZUVO_RequestParamValues(const SV::Variant* deviceId,
                                const SV::ParamDescriptors* descriptors);
int32_t ZUVO_GetParamRanges(const SV::Variant* deviceId, int32_t first, int32_t second);
int32_t ZUVO_GetParamValues(const SV::Variant* deviceId, int32_t first, int32_t second);
// `value` is filled when the answer is not negative.
int32_t ZUVO_GetParamValue(const SV::Variant* deviceId, const SV::ParamDescriptor* descriptor,
                           SV::Variant* value);
int32_t ZUVO_SetParamValue(const SV::Variant* deviceId, const SV::ParamDescriptor* descriptor,
                           const SV::Variant* value);
int32_t ZUVO_SetParamValues(const SV::Variant* deviceId, const SV::ParamValues* values);
// After it returns the library makes no more callbacks for the device.
int32_t ZUVO_DisconnectDevice(const SV::Variant* deviceId);
// 0 means connected; bound, never called.
int32_t ZUVO_IsDeviceConnected(const SV::Variant* deviceId);
// Fills the caller's record of kDeviceInfoRecordSize bytes.
int32_t ZUVO_GetDeviceInfo(const SV::Variant* deviceId, uint8_t* record);
// Called once before the library is unloaded; no callback comes after it.
int32_t ZUVO_ReleaseAll();

} // extern "C"
