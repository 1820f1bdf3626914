#include "Midi/MidiCaptureNotificationData.h"

#include <cstring>

namespace SV {

RCPtr<LMidiCaptureNotificationData> LMidiCaptureNotificationData::Create(const WideString& portName,
                                                                         int32_t /*expectedSize*/)
{
    return RCPtr<LMidiCaptureNotificationData>(new LMidiCaptureNotificationData(portName));
}

bool LMidiCaptureNotificationData::Append(const void* bytes, int32_t count)
{
    if (count <= 0) {
        return count == 0;
    }
    const int32_t old = mBytes.GetCount();
    const int64_t total = int64_t(old) + count;
    if (total > mBytes.GetMaxCount() || mBytes.SetCount(static_cast<int32_t>(total)) != total) {
        return false;
    }
    std::memcpy(mBytes.GetData() + old, bytes, static_cast<size_t>(count));
    return true;
}

} // namespace SV
