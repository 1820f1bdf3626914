#include "MidiDevices.h"
#include "MidiTransports.h"

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

namespace midi = svp::midi;

// A transport with fixed device names; what is sent to its outputs is recorded by device name.
class ListedTransport final : public midi::Transport
{
public:
    explicit ListedTransport(std::vector<std::string> names) : mNames(std::move(names)) {}

    void AppendDevices(bool /*inputs*/, std::vector<midi::DeviceEntry>& devices) override
    {
        for (const std::string& name : mNames) {
            devices.push_back({name, std::make_shared<std::string>(name), nullptr});
        }
    }

    std::unique_ptr<midi::InputConnection> ConnectInput(const midi::DeviceEntry& /*device*/,
                                                        midi::InputSink& /*sink*/) override
    {
        return nullptr;
    }

    std::unique_ptr<midi::OutputConnection> ConnectOutput(const midi::DeviceEntry& device) override
    {
        return std::make_unique<Output>(*this,
                                        *std::static_pointer_cast<std::string>(device.device));
    }

    std::vector<std::string> Sent()
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        return mSent;
    }

private:
    class Output final : public midi::OutputConnection
    {
    public:
        Output(ListedTransport& transport, std::string name)
            : mTransport(transport), mName(std::move(name))
        {}
        midi::SendResult Send(const uint8_t* /*bytes*/, size_t /*count*/, bool /*isLong*/) override
        {
            const std::lock_guard<std::mutex> lock(mTransport.mMutex);
            mTransport.mSent.push_back(mName);
            return midi::SendResult::Done;
        }

    private:
        ListedTransport& mTransport;
        std::string mName;
    };

    std::vector<std::string> mNames;
    std::mutex mMutex;
    std::vector<std::string> mSent;
};

std::vector<std::string> OutputNames()
{
    std::vector<std::string> names;
    const int32_t count = svp::midiOutGetNumDevs();
    for (int32_t id = 0; id < count; ++id) {
        svp::MIDIOUTCAPS caps{};
        EXPECT_EQ(svp::midiOutGetDevCaps(id, caps), MMSYSERR_NOERROR);
        names.push_back(caps.szPname);
    }
    return names;
}

int32_t IdOf(const std::string& name)
{
    const std::vector<std::string> names = OutputNames();
    for (size_t id = 0; id < names.size(); ++id) {
        if (names[id] == name) {
            return static_cast<int32_t>(id);
        }
    }
    return -1;
}

TEST(MidiTransportRegistryTest, RegisteredDevicesFollowInOrderOnceEachAndLeaveWhenUnregistered)
{
    const std::vector<std::string> before = OutputNames();
    auto first = std::make_shared<ListedTransport>(std::vector<std::string>{"Reg A1", "Reg A2"});
    auto second = std::make_shared<ListedTransport>(std::vector<std::string>{"Reg B1"});
    midi::RegisterTransport(first);
    midi::RegisterTransport(second);
    midi::RegisterTransport(first);

    std::vector<std::string> expected = before;
    expected.insert(expected.end(), {"Reg A1", "Reg A2", "Reg B1"});
    EXPECT_EQ(OutputNames(), expected);

    midi::UnregisterTransport(first);
    expected = before;
    expected.push_back("Reg B1");
    EXPECT_EQ(OutputNames(), expected);

    midi::UnregisterTransport(second);
    EXPECT_EQ(OutputNames(), before);
}

TEST(MidiTransportRegistryTest, AnOpenDeviceSendsThroughTheTransportThatListedIt)
{
    auto first = std::make_shared<ListedTransport>(std::vector<std::string>{"Reg C1"});
    auto second = std::make_shared<ListedTransport>(std::vector<std::string>{"Reg D1", "Reg D2"});
    midi::RegisterTransport(first);
    midi::RegisterTransport(second);

    svp::HMIDIOUT handle = nullptr;
    ASSERT_EQ(svp::midiOutOpen(&handle, IdOf("Reg D2"), nullptr, 0, CALLBACK_NULL),
              MMSYSERR_NOERROR);
    // Unregistering keeps what is open working.
    midi::UnregisterTransport(second);
    EXPECT_EQ(svp::midiOutShortMsg(handle, 0x90), MMSYSERR_NOERROR);
    EXPECT_EQ(svp::midiOutClose(handle), MMSYSERR_NOERROR);
    midi::UnregisterTransport(first);

    EXPECT_TRUE(first->Sent().empty());
    EXPECT_EQ(second->Sent(), std::vector<std::string>{"Reg D2"});
}

} // namespace
