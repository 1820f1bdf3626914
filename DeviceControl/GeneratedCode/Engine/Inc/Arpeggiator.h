// The keyboard's arpeggiator settings: the device's parameter at offset 2, ten bytes.
#pragma once

#include "LeafModule.h"

#include <cstdint>

struct ArpeggiatorLayout
{
    static constexpr int32_t kParamOffset = IDevice::kArpeggiatorOffset;
    // Off, Up, 1/4, internal clock, latch off, swing 50%, 2 taps, tempo 120, 1 octave.
    static constexpr uint8_t kDefaultValue[] = {0x00, 0x00, 0x00, 0x00, 0x00,
                                                0x00, 0x02, 0x00, 0x78, 0x00};
    static constexpr const char* kClassName = "LArpeggiator";
    static constexpr const char* kSourceFile = "Arpeggiator";

    // The meaning of each byte.
    static constexpr uint32_t kOnByte = 0;   // 0 off, 1 on
    static constexpr uint32_t kModeByte = 1; // Up, Down, Exclusive, Inclusive, Order, Random
    static constexpr uint32_t kTimeDivisionByte = 2; // 1/4, 1/4 T, 1/8, 1/8 T, ... 1/32 T
    static constexpr uint32_t kClockByte = 3;        // 0 internal, 1 external
    static constexpr uint32_t kLatchByte = 4;        // 0 off, 1 on
    static constexpr uint32_t kSwingByte = 5;        // 50% (off), 55%, 57%, 59%, 61%, 64%
    static constexpr uint32_t kTempoTapsByte = 6;    // the number of taps, 2 to 4
    static constexpr uint32_t kTempoHighByte = 7;    // the tempo divided by 128
    static constexpr uint32_t kTempoLowByte = 8;     // the tempo modulo 128
    static constexpr uint32_t kOctaveRangeByte = 9;  // 0 to 3 for 1 to 4 octaves

    static constexpr int32_t kModeCount = 6;
    static constexpr int32_t kTimeDivisionCount = 8;
    static constexpr int32_t kSwingCount = 6;
    static constexpr int32_t kMinTempoTaps = 2;
    static constexpr int32_t kMaxTempoTaps = 4;
    static constexpr int32_t kTempoBytesBase = 128;
    static constexpr int32_t kMinTempo = 30;
    static constexpr int32_t kMaxTempo = 240;
    static constexpr int32_t kOctaveRangeCount = 4;
};

extern template class LLeafModule<IArpeggiator, ArpeggiatorLayout>;

class LArpeggiator : public LLeafModule<IArpeggiator, ArpeggiatorLayout>
{
public:
    // A new, unattached module.
    static SV::RCPtr<LArpeggiator> Create();

private:
    LArpeggiator() = default;
};
