// The machine's MIDI devices in the shape of the Windows multimedia MIDI services: input and
// output devices by index with their names, opened with a callback function and an instance
// word; input buffers that the caller hands to an input device and gets back as they fill; short
// messages and long (system-exclusive) messages out, each long message reported done through the
// callback. Devices are the ALSA sequencer's ports (where /dev/snd/seq exists), the ports of a
// running JACK server (none is ever started) and then the devices of the transports registered
// through MidiTransports.h, in that order.
//
// Callbacks run on a thread of the open device, one at a time per device, never inside the
// caller's call except for MIM_OPEN/MOM_OPEN (inside the open), MIM_CLOSE/MOM_CLOSE (inside the
// close) and the buffers that midiInStop, midiInReset and midiOutReset hand back (inside those
// calls). A callback may call any of these operations for its own device. midiInStop,
// midiInReset, midiInClose, midiOutReset and midiOutClose wait for a callback of that device that
// is running on another thread, so they must not be called while holding a lock that the
// callback takes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Result of every operation: 0 or one of the errors below.
using MMRESULT = int32_t;
constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_ERROR = 1;        // the transport refused the message
constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;  // no device with that index
constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;  // not an open device
constexpr MMRESULT MMSYSERR_NODRIVER = 6;     // the device has gone or cannot be opened
constexpr MMRESULT MMSYSERR_INVALFLAG = 10;   // an open flag this layer does not serve
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;  // a null or too small header, a bad message
constexpr MMRESULT MIDIERR_UNPREPARED = 64;   // the header was not prepared
constexpr MMRESULT MIDIERR_STILLPLAYING = 65; // the header (or a header) is still queued

// Callback messages: parameter 1 and 2 as Windows gives them.
constexpr uint32_t MIM_OPEN = 0x3C1;      // 0, 0
constexpr uint32_t MIM_CLOSE = 0x3C2;     // 0, 0
constexpr uint32_t MIM_DATA = 0x3C3;      // packed short message (status lowest), time stamp
constexpr uint32_t MIM_LONGDATA = 0x3C4;  // the filled MIDIHDR, time stamp
constexpr uint32_t MIM_ERROR = 0x3C5;     // never sent: every short message is whole
constexpr uint32_t MIM_LONGERROR = 0x3C6; // a MIDIHDR whose data is broken, time stamp
constexpr uint32_t MOM_OPEN = 0x3C7;      // 0, 0
constexpr uint32_t MOM_CLOSE = 0x3C8;     // 0, 0
constexpr uint32_t MOM_DONE = 0x3C9;      // the MIDIHDR whose long message was sent, 0
constexpr uint32_t MIM_MOREDATA = 0x3CC;  // as MIM_DATA, when more input waits (MIDI_IO_STATUS)

// Open flags.
constexpr uint32_t CALLBACK_NULL = 0x00000;     // no callback at all
constexpr uint32_t CALLBACK_FUNCTION = 0x30000; // the callback is a function
constexpr uint32_t CALLBACK_TYPEMASK = 0x70000;
constexpr uint32_t MIDI_IO_STATUS = 0x00020; // short input that waits behind others: MIM_MOREDATA

// MIDIHDR flags.
constexpr uint32_t MHDR_DONE = 0x1;     // the device has handed the buffer back
constexpr uint32_t MHDR_PREPARED = 0x2; // prepared for a device
constexpr uint32_t MHDR_INQUEUE = 0x4;  // owned by the device until it is handed back

namespace svp {

// One buffer of long-message data, owned by the caller. The device writes only the data area,
// dwBytesRecorded and dwFlags, and only while MHDR_INQUEUE is set.
struct MIDIHDR
{
    char* lpData = nullptr;       // the data area
    uint32_t dwBufferLength = 0;  // its size (input), or the bytes to send (output)
    uint32_t dwBytesRecorded = 0; // the bytes the input device filled in
    uintptr_t dwUser = 0;         // the caller's word, never touched
    uint32_t dwFlags = 0;         // MHDR_*
    MIDIHDR* lpNext = nullptr;    // unused
    uintptr_t reserved = 0;       // unused
    uint32_t dwOffset = 0;        // unused
    uintptr_t dwReserved[4] = {}; // unused
};

struct MidiInDevice;
struct MidiOutDevice;
using HMIDIIN = MidiInDevice*;
using HMIDIOUT = MidiOutDevice*;

using MidiInProc = void (*)(HMIDIIN handle, uint32_t message, uintptr_t instance, uintptr_t param1,
                            uintptr_t param2);
using MidiOutProc = void (*)(HMIDIOUT handle, uint32_t message, uintptr_t instance,
                             uintptr_t param1, uintptr_t param2);

struct MIDIINCAPS
{
    std::string szPname; // the device's name (UTF-8, whole)
};

struct MIDIOUTCAPS
{
    std::string szPname; // the device's name (UTF-8, whole)
};

// The bytes of a short message from its status byte: 3 for notes, controllers, pitch bend and
// song position, 2 for program, channel pressure and the other two-byte system messages, 1 for
// a data byte and every other status (system-exclusive bytes included).
uint32_t MidiShortMessageLength(uint8_t status);

// Input devices. midiInGetNumDevs takes a fresh list of the devices; the indexes of
// midiInGetDevCaps and midiInOpen refer to the list taken last.
int32_t midiInGetNumDevs();
MMRESULT midiInGetDevCaps(int32_t deviceId, MIDIINCAPS& caps);
// Opens the device stopped. flags: CALLBACK_FUNCTION or CALLBACK_NULL, MIDI_IO_STATUS optional.
MMRESULT midiInOpen(HMIDIIN* handle, int32_t deviceId, MidiInProc callback, uintptr_t instance,
                    uint32_t flags);
MMRESULT midiInPrepareHeader(HMIDIIN handle, MIDIHDR* header, uint32_t headerSize);
MMRESULT midiInUnprepareHeader(HMIDIIN handle, MIDIHDR* header, uint32_t headerSize);
// Queues a prepared buffer; buffers are filled in the order they were added. A long message is
// written across as many buffers as it needs; a buffer is handed back (MIM_LONGDATA) when it is
// full or holds the closing F7. Long input that finds no buffer is dropped.
MMRESULT midiInAddBuffer(HMIDIIN handle, MIDIHDR* header, uint32_t headerSize);
// Input is delivered only between start and stop; time stamps count from the start.
MMRESULT midiInStart(HMIDIIN handle);
// Stops input, drops what has not been delivered and hands back a partly filled buffer.
MMRESULT midiInStop(HMIDIIN handle);
// Stops input and hands back every queued buffer (MHDR_DONE set, empty ones with 0 bytes).
MMRESULT midiInReset(HMIDIIN handle);
// MIDIERR_STILLPLAYING while buffers are queued (reset first).
MMRESULT midiInClose(HMIDIIN handle);

// Output devices, listed and opened like the input devices.
int32_t midiOutGetNumDevs();
MMRESULT midiOutGetDevCaps(int32_t deviceId, MIDIOUTCAPS& caps);
MMRESULT midiOutOpen(HMIDIOUT* handle, int32_t deviceId, MidiOutProc callback, uintptr_t instance,
                     uint32_t flags);
// Sends the packed message (status byte lowest) with as many bytes as its status implies; F0,
// F7 and data bytes first are refused (MMSYSERR_INVALPARAM).
MMRESULT midiOutShortMsg(HMIDIOUT handle, uint32_t message);
MMRESULT midiOutPrepareHeader(HMIDIOUT handle, MIDIHDR* header, uint32_t headerSize);
MMRESULT midiOutUnprepareHeader(HMIDIOUT handle, MIDIHDR* header, uint32_t headerSize);
// Queues dwBufferLength bytes of the header as one message. The bytes are copied before this
// returns; the header itself stays the device's until MOM_DONE or midiOutReset hands it back.
MMRESULT midiOutLongMsg(HMIDIOUT handle, MIDIHDR* header, uint32_t headerSize);
// Hands back every long message not yet done (MOM_DONE inside this call); afterwards the device
// never touches those headers again. No notes-off is sent.
MMRESULT midiOutReset(HMIDIOUT handle);
// MIDIERR_STILLPLAYING while a long message is not done (reset first).
MMRESULT midiOutClose(HMIDIOUT handle);

} // namespace svp
