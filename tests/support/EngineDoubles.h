// Stand-ins around the root module engine: an engine that records what it posts (and still posts
// it) so that tests can wait for it, an engine that only stores values a test chooses, an
// interface whose connection and library loading a test
// decides, a clock that holds the engine's thread in its pauses until the test lets it go, and
// the application's side of GetRootModuleEngine.
//
// Header only: it needs the engine's headers, which only the engine's test folders see.
#pragma once

#include "DeviceCommunicationInterface.h"
#include "EngineNotificationNames.h"
#include "RootModuleEngine.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace svtest {

struct PostedNotification
{
    std::u16string name;
    SV::ConstRCPtr<SV::LRefCountedObject> payload;
};

class RecordingEngine : public LRootModuleEngine
{
public:
    // Makes the interface Initialize uses; the engine's own when empty.
    std::function<SV::RCPtr<LDeviceCommunicationInterface>()> makeInterface;

    std::vector<PostedNotification> Posts()
    {
        std::lock_guard lock(mMutex);
        return mPosts;
    }
    std::vector<PostedNotification> PostsNamed(const std::u16string& name)
    {
        std::vector<PostedNotification> named;
        for (PostedNotification& post : Posts()) {
            if (post.name == name) {
                named.push_back(std::move(post));
            }
        }
        return named;
    }
    void ClearPosts()
    {
        std::lock_guard lock(mMutex);
        mPosts.clear();
    }
    // Waits until a post satisfies `wanted`; false when that takes longer than any test should.
    bool WaitForPost(const std::function<bool(const PostedNotification&)>& wanted)
    {
        std::unique_lock lock(mMutex);
        return mChanged.wait_for(lock, std::chrono::seconds(20), [&] {
            for (const PostedNotification& post : mPosts) {
                if (wanted(post)) {
                    return true;
                }
            }
            return false;
        });
    }
    // Waits for a connection-state post of `state`.
    bool WaitForConnectionState(DeviceConnectionState state)
    {
        return WaitForPost([&](const PostedNotification& post) {
            const auto* holder =
                dynamic_cast<const SV::LHolder<DeviceConnectionState>*>(post.payload.Get());
            return post.name == SV::kNidDeviceConnectionStateChange && holder != nullptr &&
                   holder->Get() == state;
        });
    }

    using LRootModuleEngine::PostValueChanges;

protected:
    SV::RCPtr<LDeviceCommunicationInterface> CreateDeviceCommunicationInterface() override
    {
        return makeInterface ? makeInterface()
                             : LRootModuleEngine::CreateDeviceCommunicationInterface();
    }

    void PostNotification(const char16_t* name,
                          const SV::ConstRCPtr<SV::LRefCountedObject>& payload) override
    {
        {
            std::lock_guard lock(mMutex);
            mPosts.push_back({name, payload});
            mChanged.notify_all();
        }
        LRootModuleEngine::PostNotification(name, payload);
    }

private:
    std::mutex mMutex;
    std::condition_variable mChanged;
    std::vector<PostedNotification> mPosts;
};

// An engine that is nothing but its values: the ones a test gives (the default model's four at
// first), with every SetParamValue recorded in order and stored unless the test has it refuse
// them. Any thread. It is never initialized and has no thread, cache or library.
class ValueStoreEngine : public LRootModuleEngine
{
public:
    struct SetCall
    {
        int32_t id = 0;
        std::vector<uint8_t> bytes;

        bool operator==(const SetCall& other) const = default;
    };

    ValueStoreEngine()
    {
        SetValues({{0x00, 0x02},
                   {0x04},
                   {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x78, 0x00},
                   {0x0C}});
    }

    // The values of ids 0, 1, ... as byte blobs; fewer or more than four as a test needs.
    void SetValues(const std::vector<std::vector<uint8_t>>& values)
    {
        std::lock_guard lock(mMutex);
        mValues = values;
    }
    std::vector<std::vector<uint8_t>> Values()
    {
        std::lock_guard lock(mMutex);
        return mValues;
    }
    void Refuse(bool refuse)
    {
        std::lock_guard lock(mMutex);
        mRefuse = refuse;
    }
    std::vector<SetCall> SetCalls()
    {
        std::lock_guard lock(mMutex);
        return mSetCalls;
    }
    // Runs at the start of each SetParamValue, outside the engine's lock.
    void SetHook(std::function<void(int32_t id)> hook)
    {
        std::lock_guard lock(mMutex);
        mHook = std::move(hook);
    }

    int32_t SetParamValue(const SV::ParamDescriptor& descriptor, const SV::Variant& value) override
    {
        std::function<void(int32_t id)> hook;
        {
            std::lock_guard lock(mMutex);
            hook = mHook;
        }
        if (hook) {
            hook(descriptor.id);
        }
        uint32_t size = 0;
        const uint8_t* data = value.GetConstData(size);
        std::vector<uint8_t> bytes =
            data != nullptr ? std::vector<uint8_t>(data, data + size) : std::vector<uint8_t>();
        std::lock_guard lock(mMutex);
        mSetCalls.push_back({descriptor.id, bytes});
        if (mRefuse) {
            return E_FAIL;
        }
        if (descriptor.id >= 0 && static_cast<size_t>(descriptor.id) < mValues.size()) {
            mValues[static_cast<size_t>(descriptor.id)] = std::move(bytes);
        }
        return S_OK;
    }

    // As the engine does for a negative start: the list is emptied first. Only the ids that
    // hold a value are answered.
    int32_t GetParamValues(const SV::ParamIdRange& range, SV::IArray<SV::ParamValue>& values,
                           int32_t startIndex) override
    {
        std::lock_guard lock(mMutex);
        if (startIndex < 0) {
            values.RemoveAll();
            startIndex = 0;
        }
        for (int32_t k = 0; k < range.count; ++k) {
            const int32_t id = range.firstId + k;
            if (id < 0 || static_cast<size_t>(id) >= mValues.size()) {
                break;
            }
            SV::Variant blob;
            const std::vector<uint8_t>& bytes = mValues[static_cast<size_t>(id)];
            blob.SetBlob(bytes.data(), static_cast<uint32_t>(bytes.size()));
            values.InsertAt(startIndex + k, SV::ParamValue(id, SV::Variant(), blob));
        }
        return S_OK;
    }

    int32_t GetFirstParamID() const override { return 0; }

private:
    std::mutex mMutex;
    std::vector<std::vector<uint8_t>> mValues;
    std::vector<SetCall> mSetCalls;
    bool mRefuse = false;
    std::function<void(int32_t id)> mHook;
};

// The interface with the answers the product's never gives: no client object, or a device that
// is not connected.
class ControllableCommunicationInterface : public LDeviceCommunicationInterface
{
public:
    int32_t LoadClientLibrary() override
    {
        return clientCanBeMade.load() ? LDeviceCommunicationInterface::LoadClientLibrary() : E_FAIL;
    }
    bool IsDeviceConnected() override { return deviceConnected.load(); }

    std::atomic<bool> clientCanBeMade{true};
    std::atomic<bool> deviceConnected{true};
};

// The engine's timing for tests. The thread's pauses of `heldPause` milliseconds wait until the
// test allows them (or opens the clock); every other pause passes at once. A stop check waits
// 1 ms unless the test gives one of its own. Everything is recorded.
class HeldClock
{
public:
    explicit HeldClock(uint32_t heldPause = LRootModuleEngine::kPollIntervalMilliseconds)
        : mHeldPause(heldPause)
    {}

    LRootModuleEngine::Timing Timing()
    {
        return {[this](uint32_t milliseconds) { Pause(milliseconds); },
                [this](uint32_t milliseconds) { StopCheck(milliseconds); }};
    }

    // Lets `count` more held pauses end.
    void Allow(int32_t count)
    {
        std::lock_guard lock(mMutex);
        mPermits += count;
        mChanged.notify_all();
    }
    // From now on no pause is held.
    void Open()
    {
        std::lock_guard lock(mMutex);
        mOpen = true;
        mChanged.notify_all();
    }
    // Waits until `count` held pauses have begun in all.
    bool WaitForHeldPauses(int32_t count)
    {
        std::unique_lock lock(mMutex);
        return mChanged.wait_for(lock, std::chrono::seconds(20),
                                 [&] { return CountOf(mHeldPause) >= count; });
    }
    int32_t PauseCount(uint32_t milliseconds)
    {
        std::lock_guard lock(mMutex);
        return CountOf(milliseconds);
    }
    int32_t StopChecks()
    {
        std::lock_guard lock(mMutex);
        return mStopChecks;
    }

    // Runs on each stop check in place of its wait.
    std::function<void(int32_t check)> onStopCheck;

private:
    void Pause(uint32_t milliseconds)
    {
        std::unique_lock lock(mMutex);
        mPauses.push_back(milliseconds);
        mChanged.notify_all();
        if (milliseconds != mHeldPause) {
            return;
        }
        mChanged.wait(lock, [&] { return mOpen || mPermits > 0; });
        if (!mOpen) {
            --mPermits;
        }
    }

    void StopCheck(uint32_t /*milliseconds*/)
    {
        int32_t check = 0;
        {
            std::lock_guard lock(mMutex);
            check = ++mStopChecks;
        }
        if (onStopCheck) {
            onStopCheck(check);
        } else {
            // A real wait, so that a thread asked to stop has the time to end.
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    int32_t CountOf(uint32_t milliseconds) const
    {
        int32_t count = 0;
        for (uint32_t pause : mPauses) {
            count += pause == milliseconds ? 1 : 0;
        }
        return count;
    }

    const uint32_t mHeldPause;
    std::mutex mMutex;
    std::condition_variable mChanged;
    std::vector<uint32_t> mPauses;
    int32_t mPermits = 0;
    bool mOpen = false;
    int32_t mStopChecks = 0;
};

// The application's part in GetRootModuleEngine: holds an engine and is registered while it
// lives.
class EngineHost : public IRootModuleEngineHost
{
public:
    explicit EngineHost(SV::RCPtr<LRootModuleEngine> engine) : mEngine(std::move(engine))
    {
        SetRootModuleEngineHost(this);
    }
    virtual ~EngineHost() { SetRootModuleEngineHost(nullptr); }
    EngineHost(const EngineHost&) = delete;
    EngineHost& operator=(const EngineHost&) = delete;

    SV::RCPtr<LRootModuleEngine> GetRootModuleEngine() override { return mEngine; }

private:
    SV::RCPtr<LRootModuleEngine> mEngine;
};

} // namespace svtest
