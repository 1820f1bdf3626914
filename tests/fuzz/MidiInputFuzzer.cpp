// MIDI input as the port layer assembles it: bytes arrive at an in-process device as whole
// messages, as pieces in buffers of their own or in buffers marked broken, go through the device
// layer's buffers and the port layer's collecting, and come out as notifications. Every message
// raised must be whole in its own terms, and the input must never stop the layer from raising
// the next one.
//
// One device and one port layer serve every input; each input ends with an F7 that closes
// whatever it left open and a marker message that shows everything before it has come out.

#include "EngineNotificationNames.h"
#include "FuzzCheck.h"
#include "Midi/MidiComm.h"
#include "MidiCaptureRecorder.h"
#include "VirtualMidiDevice.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

class Silent : public svtest::VirtualMidiPeer
{
public:
    void OnMidiReceived(const Bytes& /*bytes*/) override {}
};

// Checks each message as it comes and waits for the markers.
class Checker : public SV::LNotificationClient
{
public:
    void Receive(const SV::ConstRCPtr<SV::LNotificationDistributor>& /*sender*/,
                 const SV::ConstRCPtr<SV::LNotification>& notification) override
    {
        const auto* data =
            dynamic_cast<const SV::LMidiCaptureNotificationData*>(notification->GetPayload().Get());
        SV_FUZZ_CHECK(data != nullptr);
        const auto* bytes = reinterpret_cast<const uint8_t*>(data->GetBytes().GetData());
        const int32_t count = data->GetCount();
        SV_FUZZ_CHECK(count >= 1);
        if (bytes[0] == 0xF0) {
            SV_FUZZ_CHECK(count <= SV::LMidiComm::kMaxSysExLength);
        } else {
            SV_FUZZ_CHECK(count == SV::LMidiComm::GetShortMessageLength(bytes[0]));
        }
        const std::lock_guard<std::mutex> lock(mMutex);
        if (Bytes(bytes, bytes + count) == mMarker) {
            ++mMarkersSeen;
            mChanged.notify_all();
        }
    }

    void Expect(const Bytes& marker)
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        mMarker = marker;
        mMarkersSeen = 0;
    }

    // An input after which the marker never comes has stopped the layer: a hang.
    void WaitForMarker()
    {
        std::unique_lock<std::mutex> lock(mMutex);
        SV_FUZZ_CHECK(
            mChanged.wait_for(lock, std::chrono::seconds(20), [&] { return mMarkersSeen > 0; }));
        SV_FUZZ_CHECK(mMarkersSeen == 1);
    }

private:
    std::mutex mMutex;
    std::condition_variable mChanged;
    Bytes mMarker;
    int mMarkersSeen = 0;
};

struct Rig
{
    Rig()
    {
        svtest::UseOnlyInProcessMidiDevices();
        portLayer = SV::LMidiComm::Create();
        {
            const std::lock_guard<SV::Mutex> delivery(portLayer->GetDeliveryLock());
            checker->Register(portLayer, SV::kNidMidiDataCaptured);
        }
        SV_FUZZ_CHECK(portLayer->OpenCapturePort(SV::WideString(u"Fuzz Keyboard"), port) == 0);
    }

    Silent peer;
    svtest::VirtualMidiDevice device{"Fuzz Keyboard", peer};
    SV::RCPtr<Checker> checker{new Checker()};
    SV::RCPtr<SV::LMidiComm> portLayer;
    SV::RCPtr<SV::LMidiCapturePort> port;
    uint32_t inputs = 0;
};

Rig& GetRig()
{
    // Kept to the end of the process: its threads outlive any one input.
    static Rig* rig = new Rig();
    return *rig;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Rig& rig = GetRig();
    // Chunks: a kind byte (how the bytes arrive), a length byte, then the bytes.
    size_t offset = 0;
    while (offset + 2 <= size) {
        const uint8_t kind = data[offset];
        const size_t length = std::min<size_t>(data[offset + 1], size - offset - 2);
        const Bytes bytes(data + offset + 2, data + offset + 2 + length);
        offset += 2 + length;
        switch (kind % 3) {
        case 0:
            rig.device.Deliver(bytes);
            break;
        case 1: {
            // Pieces of up to (kind / 3) bytes, each in a buffer of its own.
            const size_t piece = 1 + kind / 3 % 64;
            std::vector<Bytes> pieces;
            for (size_t start = 0; start < bytes.size(); start += piece) {
                pieces.emplace_back(bytes.begin() + static_cast<std::ptrdiff_t>(start),
                                    bytes.begin() + static_cast<std::ptrdiff_t>(
                                                        std::min(start + piece, bytes.size())));
            }
            rig.device.DeliverInBuffers(pieces);
            break;
        }
        default:
            rig.device.DeliverBrokenBuffer(bytes);
            break;
        }
    }
    // A marker no input can have sent before: its number in seven-bit bytes.
    ++rig.inputs;
    const Bytes marker = {0xF0,
                          0x7D,
                          static_cast<uint8_t>(rig.inputs >> 21 & 0x7F),
                          static_cast<uint8_t>(rig.inputs >> 14 & 0x7F),
                          static_cast<uint8_t>(rig.inputs >> 7 & 0x7F),
                          static_cast<uint8_t>(rig.inputs & 0x7F),
                          0xF7};
    rig.checker->Expect(marker);
    rig.device.Deliver({0xF7});
    rig.device.Deliver(marker);
    rig.checker->WaitForMarker();
    return 0;
}
