// The MIDI channel the keyboard sends on: the device's parameter at offset 0, two bytes.
#pragma once

#include "LeafModule.h"

#include <cstdint>

struct CommunicationTypeLayout
{
    static constexpr int32_t kParamOffset = IDevice::kCommunicationTypeOffset;
    // Channel 1; the second byte is 2 here and 0 as the editor writes it.
    static constexpr uint8_t kDefaultValue[] = {0x00, 0x02};
    static constexpr const char* kClassName = "LCommunicationType";
    static constexpr const char* kSourceFile = "CommunicationType";

    // Byte 0: the channel index, 0 to 15 for Channel 1 to Channel 16.
    static constexpr uint32_t kChannelByte = 0;
    static constexpr uint32_t kChannelCount = 16;
};

extern template class LLeafModule<ICommunicationType, CommunicationTypeLayout>;

class LCommunicationType : public LLeafModule<ICommunicationType, CommunicationTypeLayout>
{
public:
    // A new, unattached module.
    static SV::RCPtr<LCommunicationType> Create();

private:
    LCommunicationType() = default;
};
