#include "JackMidiTransport.h"

#include <jack/jack.h>
#include <jack/midiport.h>
#include <jack/ringbuffer.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace svp::midi {
namespace {

using Clock = std::chrono::steady_clock;

// libjack spends milliseconds on each attempt to reach a server that is not there, so a missing
// server is asked for again only after this long: once per get or send at a user's pace.
constexpr auto kProbeInterval = std::chrono::milliseconds(250);
// Ports per client; a process has a few devices open at a time.
constexpr size_t kMaxPorts = 64;
// Bytes waiting to go out on one output port; each message is kept with its length before it.
constexpr size_t kRingSize = size_t{1} << 16;
constexpr size_t kLengthBytes = sizeof(uint32_t);
// How long a send waits for room while the server's cycles take out what went before.
constexpr auto kWriteLimit = std::chrono::seconds(2);
constexpr auto kCycleWaitSlice = std::chrono::milliseconds(5);

void IgnoreJackText(const char* /*text*/)
{}

// libjack reports a missing server on standard error; here a missing server only means no
// JACK devices, so its texts are dropped.
void QuietenJack()
{
    static std::once_flag once;
    std::call_once(once, [] {
        jack_set_error_function(IgnoreJackText);
        jack_set_info_function(IgnoreJackText);
    });
}

std::string ServerNameOfThisProcess()
{
    const char* name = std::getenv("JACK_DEFAULT_SERVER");
    return name != nullptr && name[0] != 0 ? name : "default";
}

struct RingFree
{
    void operator()(jack_ringbuffer_t* ring) const { jack_ringbuffer_free(ring); }
};

// One client of the server with ports in fixed slots, so that the process callback, which walks
// them on JACK's thread, never sees the table move. A slot's port is published after it is set
// up; a slot is never taken back while the client lives. Destroying the client deactivates it
// first: no callback runs once anything it uses is freed.
//
// A client the server has shut down is never closed, and its libjack threads stay until the
// process ends: the next jack_client_open anywhere in the process (ours, or one another library
// makes, as RtMidi's JACK back end does) frees what libjack kept of every such client itself,
// and a close after that touches freed memory. We cannot order every open of the process
// before our close, so the handle of a gone server is left alone; a server that goes away is
// rare, and what stays behind is a few idle threads. Those threads are never joined and may
// still be in one of our callbacks, so the object they call back stays too (JackClientEnd).
class JackClient;

struct JackClientEnd
{
    void operator()(JackClient* client) const;
};

using JackClientPtr = std::unique_ptr<JackClient, JackClientEnd>;

class JackClient
{
public:
    static JackClientPtr Open(const std::string& name)
    {
        QuietenJack();
        jack_status_t status{};
        jack_client_t* handle = jack_client_open(name.c_str(), JackNoStartServer, &status);
        if (handle == nullptr) {
            return nullptr;
        }
        JackClientPtr client(new JackClient(handle));
        jack_set_process_callback(handle, &JackClient::Process, client.get());
        jack_set_port_registration_callback(handle, &JackClient::OnPortRegistration, client.get());
        jack_set_port_rename_callback(handle, &JackClient::OnPortRename, client.get());
        jack_on_shutdown(handle, &JackClient::OnShutdown, client.get());
        if (jack_activate(handle) != 0) {
            return nullptr;
        }
        client->mActive = true;
        return client;
    }

    ~JackClient()
    {
        Close();
        // libjack may stop its thread without joining it: a shut-down callback that ran is
        // ordered before the members it touched go.
        const std::lock_guard<std::mutex> lock(mShutdownMutex);
    }

    // Leaves the server: the callback is stopped before the client goes. The slots stay, so that
    // connections still holding one find a client that carries nothing.
    void Close()
    {
        if (mClosed) {
            return;
        }
        mClosed = true;
        mAlive.store(false);
        // A client the server has shut down is left as it is (see above).
        if (!mShutDown.load()) {
            if (mActive) {
                jack_deactivate(mClient);
            }
            jack_client_close(mClient);
        }
        mCycleChanged.notify_all();
    }

    JackClient(const JackClient&) = delete;
    JackClient& operator=(const JackClient&) = delete;

    jack_client_t* Get() const { return mClient; }
    bool IsAlive() const { return mAlive.load(); }
    // The server ended this client: libjack's threads of it are left running.
    bool WasShutDown() const { return mShutDown.load(); }
    // Changes whenever a port of the server comes, goes or is renamed.
    uint64_t GetPortGeneration() const { return mPortGeneration.load(); }

    // The slot of a new port, or -1.
    int32_t AddInput(const std::string& shortName)
    {
        return AddPort(shortName, JackPortIsInput, mInputs, mInputCount);
    }
    int32_t AddOutput(const std::string& shortName)
    {
        return AddPort(shortName, JackPortIsOutput, mOutputs, mOutputCount);
    }

    jack_port_t* InputPort(int32_t slot) const { return mInputs[Index(slot)].port.load(); }
    jack_port_t* OutputPort(int32_t slot) const { return mOutputs[Index(slot)].port.load(); }

    // Where what arrives on an input port goes. Clearing it waits until the callback has left
    // the old sink, so the caller may destroy it afterwards.
    void SetSink(int32_t slot, InputSink* sink)
    {
        Port& input = mInputs[Index(slot)];
        input.sink.store(sink);
        while (input.delivering.load()) {
            std::this_thread::yield(); // one delivery of one cycle: microseconds
        }
    }

    // Queues one message for the next cycle; false when it can never fit, the server has gone
    // or no room came free in time.
    bool Write(int32_t slot, const uint8_t* bytes, size_t count)
    {
        Port& output = mOutputs[Index(slot)];
        const size_t needed = kLengthBytes + count;
        if (count == 0 || needed >= kRingSize) {
            return false;
        }
        const std::lock_guard<std::mutex> lock(output.writeMutex);
        const auto deadline = Clock::now() + kWriteLimit;
        while (jack_ringbuffer_write_space(output.ring.get()) < needed) {
            if (!IsAlive() || Clock::now() >= deadline) {
                return false;
            }
            WaitForCycle();
        }
        const auto length = static_cast<uint32_t>(count);
        jack_ringbuffer_write(output.ring.get(), reinterpret_cast<const char*>(&length),
                              kLengthBytes);
        jack_ringbuffer_write(output.ring.get(), reinterpret_cast<const char*>(bytes), count);
        return true;
    }

private:
    struct Port
    {
        std::atomic<jack_port_t*> port{nullptr};
        // Inputs.
        std::atomic<InputSink*> sink{nullptr};
        std::atomic<bool> delivering{false};
        // Outputs: written by the sending thread, read by the callback.
        std::unique_ptr<jack_ringbuffer_t, RingFree> ring;
        std::mutex writeMutex;
    };
    using Ports = std::array<Port, kMaxPorts>;

    explicit JackClient(jack_client_t* client) : mClient(client) {}

    static size_t Index(int32_t slot) { return static_cast<size_t>(slot); }

    int32_t AddPort(const std::string& shortName, unsigned long flags, Ports& ports,
                    std::atomic<size_t>& count)
    {
        const std::lock_guard<std::mutex> lock(mAddMutex);
        const size_t slot = count.load();
        if (slot >= kMaxPorts) {
            return -1;
        }
        if ((flags & JackPortIsOutput) != 0) {
            ports[slot].ring.reset(jack_ringbuffer_create(kRingSize));
            if (!ports[slot].ring) {
                return -1;
            }
        }
        jack_port_t* port =
            jack_port_register(mClient, shortName.c_str(), JACK_DEFAULT_MIDI_TYPE, flags, 0);
        if (port == nullptr) {
            return -1;
        }
        ports[slot].port.store(port);
        count.store(slot + 1); // the callback sees the slot only now, whole
        return static_cast<int32_t>(slot);
    }

    void WaitForCycle()
    {
        std::unique_lock<std::mutex> lock(mCycleMutex);
        ++mCycleWaiters;
        mCycleChanged.wait_for(lock, kCycleWaitSlice);
        --mCycleWaiters;
    }

    // JACK's thread, once a cycle.
    static int Process(jack_nframes_t frames, void* self)
    {
        auto& client = *static_cast<JackClient*>(self);
        const size_t inputs = client.mInputCount.load();
        for (size_t slot = 0; slot < inputs; ++slot) {
            client.Receive(client.mInputs[slot], frames);
        }
        const size_t outputs = client.mOutputCount.load();
        for (size_t slot = 0; slot < outputs; ++slot) {
            Transmit(client.mOutputs[slot], frames);
        }
        if (client.mCycleWaiters.load() > 0) {
            client.mCycleChanged.notify_all();
        }
        return 0;
    }

    void Receive(Port& input, jack_nframes_t frames)
    {
        void* buffer = jack_port_get_buffer(input.port.load(), frames);
        const uint32_t events = buffer != nullptr ? jack_midi_get_event_count(buffer) : 0;
        if (events == 0) {
            return;
        }
        // Announced before the sink is read: a SetSink that clears it either is seen here or
        // sees this flag and waits.
        input.delivering.store(true);
        if (InputSink* sink = input.sink.load()) {
            for (uint32_t index = 0; index < events; ++index) {
                jack_midi_event_t event{};
                if (jack_midi_event_get(&event, buffer, index) == 0 && event.size > 0) {
                    sink->OnMessage(event.buffer, event.size);
                }
            }
        }
        input.delivering.store(false);
    }

    static void Transmit(Port& output, jack_nframes_t frames)
    {
        void* buffer = jack_port_get_buffer(output.port.load(), frames);
        if (buffer == nullptr) {
            return;
        }
        jack_midi_clear_buffer(buffer);
        jack_ringbuffer_t* ring = output.ring.get();
        uint32_t length = 0;
        while (jack_ringbuffer_read_space(ring) >= kLengthBytes) {
            jack_ringbuffer_peek(ring, reinterpret_cast<char*>(&length), kLengthBytes);
            if (jack_ringbuffer_read_space(ring) < kLengthBytes + length) {
                return; // the writer is still at it
            }
            jack_midi_data_t* target = jack_midi_event_reserve(buffer, 0, length);
            if (target == nullptr) {
                if (jack_midi_get_event_count(buffer) > 0) {
                    return; // the rest goes out next cycle
                }
                // Larger than a whole cycle's buffer: it could never go out.
                jack_ringbuffer_read_advance(ring, kLengthBytes + length);
                continue;
            }
            jack_ringbuffer_read_advance(ring, kLengthBytes);
            jack_ringbuffer_read(ring, reinterpret_cast<char*>(target), length);
        }
    }

    static void OnPortRegistration(jack_port_id_t /*port*/, int /*registered*/, void* self)
    {
        ++static_cast<JackClient*>(self)->mPortGeneration;
    }

    static void OnPortRename(jack_port_id_t /*port*/, const char* /*oldName*/,
                             const char* /*newName*/, void* self)
    {
        ++static_cast<JackClient*>(self)->mPortGeneration;
    }

    static void OnShutdown(void* self)
    {
        auto& client = *static_cast<JackClient*>(self);
        const std::lock_guard<std::mutex> lock(client.mShutdownMutex);
        client.mShutDown.store(true);
        client.mAlive.store(false);
        ++client.mPortGeneration;
        client.mCycleChanged.notify_all();
    }

    jack_client_t* const mClient;
    bool mActive = false;
    bool mClosed = false;
    std::atomic<bool> mAlive{true};
    std::atomic<bool> mShutDown{false};
    std::mutex mShutdownMutex; // held by the shut-down callback while it runs
    std::atomic<uint64_t> mPortGeneration{0};
    std::mutex mAddMutex;
    Ports mInputs;
    Ports mOutputs;
    std::atomic<size_t> mInputCount{0};
    std::atomic<size_t> mOutputCount{0};
    std::mutex mCycleMutex;
    std::condition_variable mCycleChanged;
    std::atomic<int32_t> mCycleWaiters{0};
};

void JackClientEnd::operator()(JackClient* client) const
{
    client->Close();
    if (!client->WasShutDown()) {
        delete client;
        return;
    }
    // Kept until the process ends, where libjack's threads of it may still reach it.
    static std::mutex keptMutex;
    static auto* kept = new std::vector<JackClient*>;
    const std::lock_guard<std::mutex> lock(keptMutex);
    kept->push_back(client);
}

struct JackPortsFree
{
    void operator()(const char** ports) const { jack_free(static_cast<void*>(ports)); }
};

// The process's own client on one server: it lists the devices and carries every connection.
// Its ports are handed out to open devices and taken back still connected; a device opened
// again on the same far port finds its port connected already.
class JackSession
{
public:
    static std::shared_ptr<JackSession> Open(const std::string& server)
    {
        JackClientPtr inputs = JackClient::Open(kOwnClientName);
        if (!inputs) {
            return nullptr;
        }
        JackClientPtr outputs = JackClient::Open(kOwnClientName);
        if (!outputs) {
            return nullptr;
        }
        return std::shared_ptr<JackSession>(
            new JackSession(std::move(inputs), std::move(outputs), server));
    }

    bool IsAlive() const { return mInputs->IsAlive() && mOutputs->IsAlive(); }
    const std::string& GetServer() const { return mServer; }

    // Leaves the server before the process ends, so that it keeps nothing of this client.
    void Close()
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        mInputs->Close();
        mOutputs->Close();
    }

    void AppendDevices(bool inputs, std::vector<DeviceEntry>& devices)
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        if (!IsAlive()) {
            return;
        }
        Listing& listing = inputs ? mInputListing : mOutputListing;
        const uint64_t generation = mInputs->GetPortGeneration();
        if (!listing.taken || listing.generation != generation) {
            listing.names.clear();
            // A device we read from is a port that outputs, and the other way round.
            const std::unique_ptr<const char*, JackPortsFree> ports(
                jack_get_ports(mInputs->Get(), nullptr, JACK_DEFAULT_MIDI_TYPE,
                               inputs ? JackPortIsOutput : JackPortIsInput));
            for (const char** port = ports.get(); port != nullptr && *port != nullptr; ++port) {
                if (!IsOwnPortName(*port)) {
                    listing.names.emplace_back(*port);
                }
            }
            listing.generation = generation;
            listing.taken = true;
        }
        for (const std::string& name : listing.names) {
            devices.push_back({name, nullptr, nullptr});
        }
    }

    // The slot now carrying the far port's input to sink, or -1.
    int32_t AcquireInput(const std::string& source, InputSink& sink)
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        const int32_t slot = Acquire(mInputSlots, source, true);
        if (slot >= 0) {
            mInputs->SetSink(slot, &sink);
        }
        return slot;
    }

    // Once this returns the sink is not called again.
    void ReleaseInput(int32_t slot)
    {
        mInputs->SetSink(slot, nullptr);
        const std::lock_guard<std::mutex> lock(mMutex);
        mInputSlots[static_cast<size_t>(slot)].inUse = false;
    }

    int32_t AcquireOutput(const std::string& target)
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        return Acquire(mOutputSlots, target, false);
    }

    // What was written stays queued and goes out: the port stays connected.
    void ReleaseOutput(int32_t slot)
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        mOutputSlots[static_cast<size_t>(slot)].inUse = false;
    }

    bool Write(int32_t slot, const uint8_t* bytes, size_t count)
    {
        return mOutputs->Write(slot, bytes, count);
    }

private:
    struct Listing
    {
        bool taken = false;
        uint64_t generation = 0;
        std::vector<std::string> names;
    };

    struct Slot
    {
        bool inUse = false;
        std::string farPort; // connected to, or empty
    };

    JackSession(JackClientPtr inputs, JackClientPtr outputs,
                std::string server)
        : mInputs(std::move(inputs)), mOutputs(std::move(outputs)), mServer(std::move(server))
    {}

    jack_port_t* PortOf(int32_t slot, bool input) const
    {
        return input ? mInputs->InputPort(slot) : mOutputs->OutputPort(slot);
    }

    jack_client_t* ClientOf(bool input) const { return input ? mInputs->Get() : mOutputs->Get(); }

    bool IsConnected(int32_t slot, bool input, const std::string& farPort) const
    {
        return jack_port_connected_to(PortOf(slot, input), farPort.c_str()) != 0;
    }

    // Under the lock. A free slot already connected to the far port first, then a free slot
    // connected to nothing, then a new port; a free slot connected elsewhere last.
    int32_t Acquire(std::vector<Slot>& slots, const std::string& farPort, bool input)
    {
        if (!IsAlive()) {
            return -1;
        }
        int32_t chosen = -1;
        for (size_t index = 0; index < slots.size(); ++index) {
            const auto slot = static_cast<int32_t>(index);
            if (!slots[index].inUse && slots[index].farPort == farPort &&
                IsConnected(slot, input, farPort)) {
                slots[index].inUse = true;
                return slot;
            }
        }
        for (size_t index = 0; index < slots.size() && chosen < 0; ++index) {
            if (!slots[index].inUse && slots[index].farPort.empty()) {
                chosen = static_cast<int32_t>(index);
            }
        }
        if (chosen < 0) {
            const std::string name =
                (input ? "capture-" : "render-") + std::to_string(slots.size() + 1);
            chosen = input ? mInputs->AddInput(name) : mOutputs->AddOutput(name);
            if (chosen >= 0) {
                slots.resize(static_cast<size_t>(chosen) + 1);
            }
        }
        for (size_t index = 0; index < slots.size() && chosen < 0; ++index) {
            if (!slots[index].inUse) {
                chosen = static_cast<int32_t>(index);
            }
        }
        if (chosen < 0) {
            return -1;
        }
        Slot& slot = slots[static_cast<size_t>(chosen)];
        const char* ownPort = jack_port_name(PortOf(chosen, input));
        if (!slot.farPort.empty()) {
            jack_port_disconnect(ClientOf(input), PortOf(chosen, input));
            slot.farPort.clear();
        }
        const int result = input ? jack_connect(ClientOf(input), farPort.c_str(), ownPort)
                                 : jack_connect(ClientOf(input), ownPort, farPort.c_str());
        if (result != 0 && result != EEXIST) {
            return -1; // the far port has gone
        }
        slot.farPort = farPort;
        slot.inUse = true;
        return chosen;
    }

    // Inputs and outputs on clients of their own: a device with both ports on one client then
    // sits between them in the server's graph, so what is sent reaches it in the same cycle and
    // its answer comes back in the next, as in a graph without a loop.
    const JackClientPtr mInputs;
    const JackClientPtr mOutputs;
    const std::string mServer;
    std::mutex mMutex;
    Listing mInputListing;
    Listing mOutputListing;
    std::vector<Slot> mInputSlots;
    std::vector<Slot> mOutputSlots;
};

// The session on the server this process uses now. A session whose server has ended stays alive
// for the connections that hold it, which then carry nothing.
class JackSessions
{
public:
    std::shared_ptr<JackSession> Current()
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        const std::string server = ServerNameOfThisProcess();
        if (mSession && mSession->IsAlive() && mSession->GetServer() == server) {
            return mSession;
        }
        mSession.reset();
        const auto now = Clock::now();
        if (server == mMissingServer && now < mNextProbe) {
            return nullptr;
        }
        mSession = JackSession::Open(server);
        if (mSession) {
            static std::once_flag closeAtExit;
            std::call_once(closeAtExit, [] { std::atexit(&JackSessions::CloseAtExit); });
            mMissingServer.clear();
        } else {
            mMissingServer = server;
            mNextProbe = now + kProbeInterval;
        }
        return mSession;
    }

private:
    static void CloseAtExit();

    std::mutex mMutex;
    std::shared_ptr<JackSession> mSession;
    std::string mMissingServer;
    Clock::time_point mNextProbe;
};

// Lives for the whole process and is never destroyed: JACK's threads may still run during exit.
JackSessions& Sessions()
{
    static auto* sessions = new JackSessions;
    return *sessions;
}

void JackSessions::CloseAtExit()
{
    JackSessions& sessions = Sessions();
    std::shared_ptr<JackSession> session;
    {
        const std::lock_guard<std::mutex> lock(sessions.mMutex);
        session = sessions.mSession;
    }
    if (session) {
        session->Close();
    }
}

class JackInputConnection final : public InputConnection
{
public:
    JackInputConnection(std::shared_ptr<JackSession> session, int32_t slot)
        : mSession(std::move(session)), mSlot(slot)
    {}
    ~JackInputConnection() override { mSession->ReleaseInput(mSlot); }

private:
    std::shared_ptr<JackSession> mSession;
    int32_t mSlot;
};

class JackOutputConnection final : public OutputConnection
{
public:
    JackOutputConnection(std::shared_ptr<JackSession> session, int32_t slot)
        : mSession(std::move(session)), mSlot(slot)
    {}
    ~JackOutputConnection() override { mSession->ReleaseOutput(mSlot); }

    SendResult Send(const uint8_t* bytes, size_t count, bool /*isLong*/) override
    {
        return mSession->Write(mSlot, bytes, count) ? SendResult::Done : SendResult::Failed;
    }

private:
    std::shared_ptr<JackSession> mSession;
    int32_t mSlot;
};

// Hands each message that reaches a published device to its receiver.
class ReceivingSink final : public InputSink
{
public:
    explicit ReceivingSink(std::function<void(const std::vector<uint8_t>&)> onReceived)
        : mOnReceived(std::move(onReceived))
    {}
    void OnMessage(const uint8_t* bytes, size_t count) override
    {
        mOnReceived(std::vector<uint8_t>(bytes, bytes + count));
    }
    void OnPiece(const uint8_t* bytes, size_t count) override { OnMessage(bytes, count); }
    void OnBrokenBuffer(const uint8_t* /*bytes*/, size_t /*count*/) override {}

private:
    std::function<void(const std::vector<uint8_t>&)> mOnReceived;
};

class JackDevicePublication final : public JackPublication
{
public:
    explicit JackDevicePublication(std::function<void(const std::vector<uint8_t>&)> onReceived)
        : mSink(std::move(onReceived))
    {}

    bool Open(const std::string& name)
    {
        mClient = JackClient::Open(name);
        if (!mClient) {
            return false;
        }
        const std::string portName = name + " MIDI 1";
        mInput = mClient->AddInput(portName + " in");
        mOutput = mClient->AddOutput(portName + " out");
        if (mInput < 0 || mOutput < 0) {
            return false;
        }
        mClient->SetSink(mInput, &mSink);
        return true;
    }

    ~JackDevicePublication() override
    {
        if (mClient && mInput >= 0) {
            mClient->SetSink(mInput, nullptr);
        }
        mClient.reset();
    }

    void Send(const uint8_t* bytes, size_t count) override
    {
        // A message the server cannot take is lost, as on a cable.
        (void)mClient->Write(mOutput, bytes, count);
    }

private:
    ReceivingSink mSink;
    JackClientPtr mClient;
    int32_t mInput = -1;
    int32_t mOutput = -1;
};

} // namespace

void AppendJackDevices(bool inputs, std::vector<DeviceEntry>& devices)
{
    if (const std::shared_ptr<JackSession> session = Sessions().Current()) {
        session->AppendDevices(inputs, devices);
    }
}

std::unique_ptr<InputConnection> ConnectJackInput(const DeviceEntry& device, InputSink& sink)
{
    const std::shared_ptr<JackSession> session = Sessions().Current();
    const int32_t slot = session ? session->AcquireInput(device.name, sink) : -1;
    if (slot < 0) {
        return nullptr;
    }
    return std::make_unique<JackInputConnection>(session, slot);
}

std::unique_ptr<OutputConnection> ConnectJackOutput(const DeviceEntry& device)
{
    const std::shared_ptr<JackSession> session = Sessions().Current();
    const int32_t slot = session ? session->AcquireOutput(device.name) : -1;
    if (slot < 0) {
        return nullptr;
    }
    return std::make_unique<JackOutputConnection>(session, slot);
}

std::unique_ptr<JackPublication>
PublishJackDevice(const std::string& name,
                  std::function<void(const std::vector<uint8_t>&)> onReceived)
{
    auto publication = std::make_unique<JackDevicePublication>(std::move(onReceived));
    if (!publication->Open(name)) {
        return nullptr;
    }
    return publication;
}

} // namespace svp::midi
