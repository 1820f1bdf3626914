// Replies of the keyboard to a get: the keyboard answers the request with the input's bytes,
// in pieces of the input's choosing, while the model's values have sizes of the input's choosing.
// A get answers 0 or -3 and nothing else, never hangs, and when it answers 0 the model got the
// reply's data bytes cut by the sizes, in id order.

#include "EngineDoubles.h"
#include "FuzzCheck.h"
#include "MidiCaptureRecorder.h"
#include "PresetEditorCommon/MidiManager.h"
#include "VirtualMidiDevice.h"

#include <mutex>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// Answers every get request with the pieces of the current input.
class Keyboard : public svtest::VirtualMidiPeer
{
public:
    void OnMidiReceived(const Bytes& bytes) override
    {
        if (bytes.size() != 9 || bytes[4] != 0x66) {
            return;
        }
        std::vector<Bytes> pieces;
        {
            const std::lock_guard<std::mutex> lock(mMutex);
            pieces = mPieces;
        }
        device->DeliverInBuffers(pieces);
    }

    void AnswerWith(std::vector<Bytes> pieces)
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        mPieces = std::move(pieces);
    }

    svtest::VirtualMidiDevice* device = nullptr;

private:
    std::mutex mMutex;
    std::vector<Bytes> mPieces;
};

struct Rig
{
    Rig()
    {
        svtest::UseOnlyInProcessMidiDevices();
        keyboard.device = &device;
    }

    Keyboard keyboard;
    svtest::VirtualMidiDevice device{"Vudozi Vedozi Duruzava", keyboard};
};

Rig& GetRig()
{
    static Rig* rig = new Rig();
    return *rig;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The slot, four value sizes (0 to 15 bytes), the piece size, then the keyboard's answer.
    if (size < 6 || size > 1024) {
        return 0;
    }
    Rig& rig = GetRig();
    const int32_t slot = data[0] % 5;
    std::vector<Bytes> values;
    size_t total = 0;
    for (size_t index = 1; index <= 4; ++index) {
        values.emplace_back(data[index] % 16, uint8_t{0x11});
        total += values.back().size();
    }
    const size_t piece = 1 + data[5] % 32;
    const Bytes answer(data + 6, data + size);
    std::vector<Bytes> pieces;
    for (size_t start = 0; start < answer.size(); start += piece) {
        pieces.emplace_back(
            answer.begin() + static_cast<std::ptrdiff_t>(start),
            answer.begin() + static_cast<std::ptrdiff_t>(std::min(start + piece, answer.size())));
    }
    rig.keyboard.AnswerWith(pieces);

    SV::RCPtr<svtest::ValueStoreEngine> engine(new svtest::ValueStoreEngine());
    engine->SetValues(values);
    svtest::EngineHost host(engine);
    const SV::RCPtr<SV::LMidiManager> manager = SV::LMidiManager::Create();
    manager->SetReplyTimeout(20);
    const int32_t result = manager->GetPresetFromMidiDevice(slot);
    SV_FUZZ_CHECK(result == 0 || result == -3);

    const std::vector<svtest::ValueStoreEngine::SetCall> calls = engine->SetCalls();
    if (result == 0) {
        SV_FUZZ_CHECK(total <= 14);
        SV_FUZZ_CHECK(calls.size() == 4);
    }
    // Whatever was applied is the data bytes of a program reply, cut by the sizes in id order.
    if (!calls.empty()) {
        SV_FUZZ_CHECK(calls.size() == 4);
        size_t offset = 8;
        for (int32_t id = 0; id < 4; ++id) {
            const auto& call = calls[static_cast<size_t>(id)];
            SV_FUZZ_CHECK(call.id == id);
            SV_FUZZ_CHECK(call.bytes.size() == values[static_cast<size_t>(id)].size());
            offset += call.bytes.size();
        }
        SV_FUZZ_CHECK(offset <= 22);
    }
    return 0;
}
