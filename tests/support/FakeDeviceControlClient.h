// A scripted stand-in for the keyboard maker's device-control client library. It installs itself
// as the handler of the tests' build of the library (see FakeDeviceControlClientHandler.h), so
// the program loads and binds the library as it always does while the test chooses every answer:
// the remote devices, which devices are present, refused connections and values. It records
// every call, and pushes value lists to the program from a thread of its own, as the real
// library does.
//
// Header only: it needs the engine's headers, which only the engine's test folders see. The
// library folders come from tests/CMakeLists.txt (SV_FAKE_CLIENT_FOLDER,
// SV_FAKE_CLIENT_PARTIAL_FOLDER).
#pragma once

#include "DeviceControlClientExports.h"
#include "DynamicLibrary.h"
#include "FakeDeviceControlClientHandler.h"
#include "ResultCodes.h"
#include "Utilities/Storage/ParamValues.h"
#include "Utilities/Storage/Variant.h"

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace svtest {

#ifdef SV_FAKE_CLIENT_FOLDER
inline const char* const kFakeClientFolder = SV_FAKE_CLIENT_FOLDER;
inline const char* const kFakeClientPartialFolder = SV_FAKE_CLIENT_PARTIAL_FOLDER;
#endif

class FakeDeviceControlClient final : public DeviceControlClientHandler
{
public:
    // One call as the library saw it: the export's name without "ZUVO_", the device id it was
    // given (empty for calls without one) and the descriptor and value where there are.
    struct Call
    {
        explicit Call(std::string callName, const SV::Variant& callDeviceId = SV::Variant())
            : name(std::move(callName)), deviceId(callDeviceId)
        {}

        std::string name;
        SV::Variant deviceId;
        SV::ParamDescriptor descriptor;
        SV::Variant value;
        int32_t mode = 0;
    };

    // Loads the library in `folder` and becomes its handler.
    explicit FakeDeviceControlClient(const std::string& folder)
        : mLibrary(svp::LoadDynamicLibrary(folder + "/libDeviceControlClient.so"))
    {
        if (auto install = Installer()) {
            install(this);
        }
    }

    ~FakeDeviceControlClient()
    {
        if (auto install = Installer()) {
            install(nullptr);
        }
        svp::FreeDynamicLibrary(mLibrary);
    }

    FakeDeviceControlClient(const FakeDeviceControlClient&) = delete;
    FakeDeviceControlClient& operator=(const FakeDeviceControlClient&) = delete;

    bool IsInstalled() const { return Installer() != nullptr; }

    // --- What the library answers ---

    // The remote devices every query reports.
    void SetRemoteDevices(std::vector<SV::Variant> devices)
    {
        std::lock_guard lock(mMutex);
        mRemoteDevices = std::move(devices);
    }
    // The answer of a fresh query (0, 1 or a failure) and of a query to compare with (0 or a
    // failure).
    void SetSingleQueryResult(int32_t result)
    {
        std::lock_guard lock(mMutex);
        mSingleQueryResult = result;
    }
    void SetWaitQueryResult(int32_t result)
    {
        std::lock_guard lock(mMutex);
        mWaitQueryResult = result;
    }
    void SetConnectResult(int32_t result)
    {
        std::lock_guard lock(mMutex);
        mConnectResult = result;
    }
    // What a write answers; a negative answer refuses the value.
    void SetWriteResult(int32_t result)
    {
        std::lock_guard lock(mMutex);
        mWriteResult = result;
    }
    // A device is present when its id is among these; the record query answers `result`.
    void SetPresentDevices(std::vector<SV::Variant> devices, int32_t result = S_OK)
    {
        std::lock_guard lock(mMutex);
        mPresentDevices = std::move(devices);
        mDeviceInfoResult = result;
    }
    // What a read of `id` answers.
    void SetDeviceValue(int32_t id, const SV::Variant& value, int32_t result = S_OK)
    {
        std::lock_guard lock(mMutex);
        mDeviceValues[id] = {value, result};
    }

    // --- What the program did ---

    std::vector<Call> Calls() const
    {
        std::lock_guard lock(mMutex);
        return mCalls;
    }
    std::vector<std::string> CallNames() const
    {
        std::lock_guard lock(mMutex);
        std::vector<std::string> names;
        for (const Call& call : mCalls) {
            names.push_back(call.name);
        }
        return names;
    }
    int32_t CallCount(const std::string& name) const
    {
        std::lock_guard lock(mMutex);
        int32_t count = 0;
        for (const Call& call : mCalls) {
            count += call.name == name ? 1 : 0;
        }
        return count;
    }
    // Waits until `name` has been called `count` times in all; false when that takes longer
    // than any test should.
    bool WaitForCalls(const std::string& name, int32_t count,
                      std::chrono::milliseconds limit = std::chrono::seconds(20))
    {
        std::unique_lock lock(mMutex);
        return mChanged.wait_for(lock, limit, [&] {
            int32_t seen = 0;
            for (const Call& call : mCalls) {
                seen += call.name == name ? 1 : 0;
            }
            return seen >= count;
        });
    }
    void ClearCalls()
    {
        std::lock_guard lock(mMutex);
        mCalls.clear();
    }
    bool HasCallback() const
    {
        std::lock_guard lock(mMutex);
        return mCallback != nullptr;
    }

    // Calls the program's callback with the list from a thread of the library's own, as the
    // library does when the device reports values, and returns once the callback has returned.
    // false when no device is connected.
    bool Push(const SV::ParamValues& values)
    {
        DeviceControlClientCallback callback = nullptr;
        void* context = nullptr;
        {
            std::lock_guard lock(mMutex);
            callback = mCallback;
            context = mContext;
        }
        if (callback == nullptr) {
            return false;
        }
        std::thread libraryThread([&] { callback(context, 0, &values); });
        libraryThread.join();
        return true;
    }

    // --- The handler ---

    int32_t FindDevices(const _GUID* /*kinds*/, int32_t /*kindCount*/,
                        SV::Variant* /*result*/) override
    {
        Record(Call("FindDevices"));
        return S_OK;
    }

    int32_t FindRemoteDevices(const _GUID* /*kinds*/, int32_t /*kindCount*/, SV::Variant* result,
                              int32_t mode) override
    {
        int32_t answer = 0;
        {
            std::lock_guard lock(mMutex);
            answer = mode == kRemoteDeviceSingleQuery ? mSingleQueryResult : mWaitQueryResult;
            if (answer >= 0) {
                result->SetList(mRemoteDevices.data(), static_cast<int32_t>(mRemoteDevices.size()));
            }
        }
        Call call("FindRemoteDevices");
        call.mode = mode;
        Record(std::move(call));
        return answer;
    }

    int32_t ConnectDevice(const SV::Variant* deviceId, DeviceControlClientCallback callback,
                          void* context) override
    {
        int32_t answer = 0;
        {
            std::lock_guard lock(mMutex);
            answer = mConnectResult;
            if (answer >= 0) {
                mCallback = callback;
                mContext = context;
            }
        }
        Record(Call("ConnectDevice", *deviceId));
        return answer;
    }

    int32_t RequestParamRanges(const SV::Variant* deviceId, const SV::ParamRanges* ranges) override
    {
        Call call("RequestParamRanges", *deviceId);
        call.value = *ranges;
        Record(std::move(call));
        return S_OK;
    }

    int32_t RequestParamValues(const SV::Variant* deviceId,
                               const SV::ParamDescriptors* descriptors) override
    {
        Call call("RequestParamValues", *deviceId);
        call.value = *descriptors;
        Record(std::move(call));
        return S_OK;
    }

    int32_t GetParamRanges(const SV::Variant* deviceId, int32_t /*first*/,
                           int32_t /*second*/) override
    {
        Record(Call("GetParamRanges", *deviceId));
        return S_OK;
    }

    int32_t GetParamValues(const SV::Variant* deviceId, int32_t /*first*/,
                           int32_t /*second*/) override
    {
        Record(Call("GetParamValues", *deviceId));
        return S_OK;
    }

    int32_t GetParamValue(const SV::Variant* deviceId, const SV::ParamDescriptor* descriptor,
                          SV::Variant* value) override
    {
        int32_t answer = -1;
        {
            std::lock_guard lock(mMutex);
            const auto found = mDeviceValues.find(descriptor->id);
            if (found != mDeviceValues.end()) {
                answer = found->second.second;
                if (answer >= 0) {
                    *value = found->second.first;
                }
            }
        }
        Call call("GetParamValue", *deviceId);
        call.descriptor = *descriptor;
        Record(std::move(call));
        return answer;
    }

    int32_t SetParamValue(const SV::Variant* deviceId, const SV::ParamDescriptor* descriptor,
                          const SV::Variant* value) override
    {
        int32_t answer = 0;
        {
            std::lock_guard lock(mMutex);
            answer = mWriteResult;
        }
        Call call("SetParamValue", *deviceId);
        call.descriptor = *descriptor;
        call.value = *value;
        Record(std::move(call));
        return answer;
    }

    int32_t SetParamValues(const SV::Variant* deviceId, const SV::ParamValues* values) override
    {
        Call call("SetParamValues", *deviceId);
        call.value = *values;
        Record(std::move(call));
        return S_OK;
    }

    int32_t DisconnectDevice(const SV::Variant* deviceId) override
    {
        {
            // After a disconnection the library makes no more callbacks.
            std::lock_guard lock(mMutex);
            mCallback = nullptr;
            mContext = nullptr;
        }
        Record(Call("DisconnectDevice", *deviceId));
        return S_OK;
    }

    int32_t IsDeviceConnected(const SV::Variant* deviceId) override
    {
        Record(Call("IsDeviceConnected", *deviceId));
        return 0;
    }

    int32_t GetDeviceInfo(const SV::Variant* deviceId, uint8_t* record) override
    {
        int32_t answer = 0;
        bool present = false;
        {
            std::lock_guard lock(mMutex);
            answer = mDeviceInfoResult;
            for (const SV::Variant& device : mPresentDevices) {
                present = present || device.IsEqual(*deviceId);
            }
        }
        if (answer >= 0) {
            std::memset(record, 0xA5, kDeviceInfoRecordSize);
            record[kDeviceInfoPresentByte] = present ? 1 : 0;
        }
        Record(Call("GetDeviceInfo", *deviceId));
        return answer;
    }

    int32_t ReleaseAll() override
    {
        {
            std::lock_guard lock(mMutex);
            mCallback = nullptr;
            mContext = nullptr;
        }
        Record(Call("ReleaseAll"));
        return S_OK;
    }

private:
    InstallDeviceControlClientHandler Installer() const
    {
        return reinterpret_cast<InstallDeviceControlClientHandler>(
            svp::FindLibraryExport(mLibrary, kInstallHandlerExport));
    }

    void Record(Call call)
    {
        std::lock_guard lock(mMutex);
        mCalls.push_back(std::move(call));
        mChanged.notify_all();
    }

    svp::LibraryHandle mLibrary = nullptr;
    mutable std::mutex mMutex;
    std::condition_variable mChanged;
    std::vector<Call> mCalls;
    std::vector<SV::Variant> mRemoteDevices;
    std::vector<SV::Variant> mPresentDevices;
    std::map<int32_t, std::pair<SV::Variant, int32_t>> mDeviceValues;
    int32_t mSingleQueryResult = 0;
    int32_t mWaitQueryResult = 0;
    int32_t mConnectResult = 0;
    int32_t mWriteResult = 0;
    int32_t mDeviceInfoResult = 0;
    DeviceControlClientCallback mCallback = nullptr;
    void* mContext = nullptr;
};

} // namespace svtest
