#include "Midi/MidiRenderPort.h"

#include "Midi/MidiComm.h"
#include "ResultCodes.h"

namespace SV {

LMidiRenderPort::LMidiRenderPort(const WideString& name, svp::HMIDIOUT handle,
                                 const RCPtr<LMidiComm>& owner)
    : mName(name), mHandle(handle), mOwner(owner)
{
    mReadyGate.Set();
}

LMidiRenderPort::~LMidiRenderPort()
{
    if (mHandle != nullptr) {
        svp::midiOutClose(mHandle);
        mHandle = nullptr;
    }
}

int32_t LMidiRenderPort::ReleaseHook()
{
    RCPtr<LMidiRenderPort> listed;
    const int32_t removed = mOwner ? mOwner->RemoveRenderPort(this, listed) : E_FAIL;
    if (removed == S_OK) {
        ReleaseInternalRef();
    }
    listed = nullptr;
    const int32_t result = LRefCountedObject::ReleaseHook();
    return removed == S_OK ? result : E_FAIL;
}

} // namespace SV
