#include "VirtualMidiDevice.h"

#include "MidiTransports.h"

#include <algorithm>
#include <mutex>

namespace svtest {

namespace midi = svp::midi;

// Lock order: peerMutex, then mutex, then the mutex of an input device that has this device
// open. The peer may deliver input while it is being called.
struct VirtualMidiDevice::State
{
    std::string name;
    Transport transport = Transport::InProcess;

    std::mutex peerMutex;
    VirtualMidiPeer* peer = nullptr; // null once the device is withdrawn

    std::mutex mutex;
    std::vector<midi::InputSink*> inputs; // the program's input devices that have it open
    bool hangOnLongMessages = false;

    std::unique_ptr<midi::JackPublication> jack;

    // Calls the peer unless the device has been withdrawn; false then.
    bool PassToPeer(const std::vector<uint8_t>& bytes)
    {
        const std::lock_guard<std::mutex> lock(peerMutex);
        if (peer == nullptr) {
            return false;
        }
        peer->OnMidiReceived(bytes);
        return true;
    }

    template <class Action>
    void ForEachInput(Action action)
    {
        const std::lock_guard<std::mutex> lock(mutex);
        for (midi::InputSink* input : inputs) {
            action(*input);
        }
    }
};

namespace {

class VirtualInputConnection final : public midi::InputConnection
{
public:
    VirtualInputConnection(std::shared_ptr<VirtualMidiDevice::State> device, midi::InputSink& sink)
        : mDevice(std::move(device)), mSink(sink)
    {
        const std::lock_guard<std::mutex> lock(mDevice->mutex);
        mDevice->inputs.push_back(&mSink);
    }

    ~VirtualInputConnection() override
    {
        const std::lock_guard<std::mutex> lock(mDevice->mutex);
        auto& inputs = mDevice->inputs;
        inputs.erase(std::remove(inputs.begin(), inputs.end(), &mSink), inputs.end());
    }

private:
    std::shared_ptr<VirtualMidiDevice::State> mDevice;
    midi::InputSink& mSink;
};

class VirtualOutputConnection final : public midi::OutputConnection
{
public:
    explicit VirtualOutputConnection(std::shared_ptr<VirtualMidiDevice::State> device)
        : mDevice(std::move(device))
    {}

    midi::SendResult Send(const uint8_t* bytes, size_t count, bool isLong) override
    {
        if (!mDevice->PassToPeer(std::vector<uint8_t>(bytes, bytes + count))) {
            return midi::SendResult::Failed;
        }
        const std::lock_guard<std::mutex> lock(mDevice->mutex);
        return isLong && mDevice->hangOnLongMessages ? midi::SendResult::Hung
                                                     : midi::SendResult::Done;
    }

private:
    std::shared_ptr<VirtualMidiDevice::State> mDevice;
};

// The in-process devices in the order of their creation, as a transport of the platform layer.
class InProcessTransport final : public midi::Transport
{
public:
    void Add(const std::shared_ptr<VirtualMidiDevice::State>& device)
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        mDevices.push_back(device);
    }

    void Remove(const std::shared_ptr<VirtualMidiDevice::State>& device)
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        mDevices.erase(std::remove(mDevices.begin(), mDevices.end(), device), mDevices.end());
    }

    void AppendDevices(bool /*inputs*/, std::vector<midi::DeviceEntry>& devices) override
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        for (const auto& device : mDevices) {
            devices.push_back({device->name, device, nullptr});
        }
    }

    std::unique_ptr<midi::InputConnection> ConnectInput(const midi::DeviceEntry& entry,
                                                        midi::InputSink& sink) override
    {
        const auto device = StillThere(entry);
        return device ? std::make_unique<VirtualInputConnection>(device, sink) : nullptr;
    }

    std::unique_ptr<midi::OutputConnection> ConnectOutput(const midi::DeviceEntry& entry) override
    {
        const auto device = StillThere(entry);
        return device ? std::make_unique<VirtualOutputConnection>(device) : nullptr;
    }

private:
    // Null when the device has been withdrawn since it was listed.
    static std::shared_ptr<VirtualMidiDevice::State> StillThere(const midi::DeviceEntry& entry)
    {
        auto device = std::static_pointer_cast<VirtualMidiDevice::State>(entry.device);
        if (!device) {
            return nullptr;
        }
        const std::lock_guard<std::mutex> lock(device->peerMutex);
        return device->peer != nullptr ? device : nullptr;
    }

    std::mutex mMutex;
    std::vector<std::shared_ptr<VirtualMidiDevice::State>> mDevices;
};

// Registered with the first device and never destroyed, so that devices withdrawn during exit
// still find it.
InProcessTransport& InProcessDevices()
{
    static auto* transport = [] {
        auto shared = std::make_shared<InProcessTransport>();
        midi::RegisterTransport(shared);
        return new std::shared_ptr<InProcessTransport>(shared);
    }();
    return **transport;
}

} // namespace

VirtualMidiDevice::VirtualMidiDevice(const std::string& name, VirtualMidiPeer& peer,
                                     Transport transport)
    : mState(std::make_shared<State>())
{
    mState->name = name;
    mState->transport = transport;
    mState->peer = &peer;
    if (transport == Transport::InProcess) {
        InProcessDevices().Add(mState);
    } else {
        // The publication calls back into the state, which outlives it.
        State* state = mState.get();
        mState->jack = midi::PublishOnJack(
            name, [state](const std::vector<uint8_t>& bytes) { state->PassToPeer(bytes); });
    }
}

VirtualMidiDevice::~VirtualMidiDevice()
{
    if (mState->transport == Transport::InProcess) {
        InProcessDevices().Remove(mState);
    }
    mState->jack.reset();
    {
        const std::lock_guard<std::mutex> lock(mState->peerMutex);
        mState->peer = nullptr;
    }
    // Input devices still open on it hear nothing more.
    const std::lock_guard<std::mutex> lock(mState->mutex);
    mState->inputs.clear();
}

const std::string& VirtualMidiDevice::GetName() const
{
    return mState->name;
}

VirtualMidiDevice::Transport VirtualMidiDevice::GetTransport() const
{
    return mState->transport;
}

bool VirtualMidiDevice::IsOpen() const
{
    return mState->transport == Transport::InProcess || mState->jack != nullptr;
}

void VirtualMidiDevice::Deliver(const std::vector<uint8_t>& bytes)
{
    if (bytes.empty()) {
        return;
    }
    if (mState->jack) {
        mState->jack->Send(bytes.data(), bytes.size());
        return;
    }
    mState->ForEachInput(
        [&](midi::InputSink& input) { input.OnMessage(bytes.data(), bytes.size()); });
}

void VirtualMidiDevice::DeliverInBuffers(const std::vector<std::vector<uint8_t>>& pieces)
{
    for (const std::vector<uint8_t>& piece : pieces) {
        if (piece.empty()) {
            continue;
        }
        if (mState->jack) {
            mState->jack->Send(piece.data(), piece.size());
        } else {
            mState->ForEachInput(
                [&](midi::InputSink& input) { input.OnPiece(piece.data(), piece.size()); });
        }
    }
}

void VirtualMidiDevice::DeliverBrokenBuffer(const std::vector<uint8_t>& bytes)
{
    mState->ForEachInput(
        [&](midi::InputSink& input) { input.OnBrokenBuffer(bytes.data(), bytes.size()); });
}

void VirtualMidiDevice::SetHangOnLongMessages(bool hang)
{
    const std::lock_guard<std::mutex> lock(mState->mutex);
    mState->hangOnLongMessages = hang;
}

} // namespace svtest
