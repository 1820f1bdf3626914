// Gets a whole program (the model's four parameter values) from one of the keyboard's slots and
// sends one to its RAM or a slot, with system-exclusive messages on the keyboard's MIDI ports.
// A get sends the request and waits on the caller's thread for the reply, which the MIDI pool's
// worker cuts into the four values and stores through the root module engine; a send reads the
// four values from the engine and writes them in one message. Every operation opens the ports it
// needs and closes them before it returns.
#pragma once

#include "Midi/MidiComm.h"
#include "Notification/Notification.h"
#include "Notification/NotificationClient.h"
#include "Notification/NotificationDistributor.h"
#include "Notification/NotificationHandler.h"
#include "ObjectBase/RCPtr.h"
#include "ResultCodes.h"
#include "Threads/Event.h"
#include "Utilities/Storage/IArray.h"
#include "Utilities/Storage/StringT.h"

#include <atomic>
#include <cstdint>

namespace SV {

class LMidiManager : public LNotificationClient, public LNotificationDistributor
{
public:
    // How long a get (and the firmware check) waits for the keyboard's answer.
    static constexpr int32_t kReplyTimeoutMilliseconds = 1000;

    // Results of the get and the send.
    static constexpr int32_t kDeviceNotFound = kResultFailed; // no ports, or not sent
    static constexpr int32_t kNoReply = kResultNoReply;       // no program reply applied in time

    // The manager with its handler table and its first port layer.
    static RCPtr<LMidiManager> Create();

    LMidiManager();
    ~LMidiManager() override;
    LMidiManager(const LMidiManager&) = delete;
    LMidiManager& operator=(const LMidiManager&) = delete;

    // Writes the engine's four values to slot 0 (RAM) to 4: the bytes sent (23 for the model's
    // values); -1, sending nothing, for a slot outside 0-127; -1 without the keyboard's ports,
    // when the output does not open, when the engine does not answer exactly four values, when
    // a value holds a byte that is no data byte, or when the message does not go out.
    [[nodiscard]] virtual int32_t SendPresetToMidiDevice(int32_t slot);
    // Asks the keyboard for the program of slot 1 to 4 and stores the reply's four values
    // through the engine: 0 once they are stored; -1, sending nothing, for a slot outside
    // 0-127; -1 without the keyboard's ports or when the request does not go out; -3 when no
    // program reply the engine accepted came within the reply time-out. Only a reply that names
    // the slot asked for and came after the request went out is taken: a late answer to an
    // earlier get is not. Returns as soon as the
    // reply is applied. Throws SV::Exception<SV::FailedResultException> when the reply handler
    // cannot be registered or unregistered.
    [[nodiscard]] virtual int32_t GetPresetFromMidiDevice(int32_t slot);
    // -1 without the keyboard's ports; else opens and closes the output: 0 or E_FAIL. Sends
    // nothing.
    virtual int32_t OpenDeviceRenderPort(const WideString& text);
    // E_FAIL without the keyboard's ports; else opens both ports, registers and unregisters the
    // reply handler and answers the result of opening the input. Sends nothing.
    virtual int32_t RequestNonPresetParameterFromDevice(const WideString& text);
    virtual bool HasDevicePorts();
    // Sends the identity request and waits for an answer that nothing here recognises: false
    // after the reply time-out, or at once without the ports.
    virtual bool IsDeviceFirmwareVersionUseable();
    // The identity request F0 7E 7F 06 01 F7: the send's result, E_FAIL without a port.
    virtual int32_t SendDeviceInquiry(const RCPtr<LMidiRenderPort>& port);
    // Replaces the port layer by a new one and tries to open an input and an output device of
    // those names; both are closed again. True when both opened.
    virtual bool FindDevicePorts(const WideString& inputName, const WideString& outputName);

    // "Vudozi Vedozi Duruzava": matches every device whose name contains it, in any case.
    static WideString GetDevicePortName();

    // Frames the bytes as one system-exclusive message (F0 in front and F7 at the end unless
    // they are there) in place, and sends it: the send's result; -1 without a port or a port
    // layer; E_FAIL for a lone F0 or F7, or when a byte between the ends is no data byte, which
    // would cut the message on the wire (nothing is sent then).
    int32_t SendSysEx(IArray<signed char>& bytes, const RCPtr<LMidiRenderPort>& port);

    // "NID_MIDI_DATA_CAPTURED", on the port layer's pool worker: applies a program reply of the
    // current port layer while a get waits for it. Always 1.
    int32_t OnMidiDataCaptured(const ConstRCPtr<LNotificationDistributor>& sender,
                               const ConstRCPtr<LNotification>& notification);

    void Receive(const ConstRCPtr<LNotificationDistributor>& sender,
                 const ConstRCPtr<LNotification>& notification) override;
    // Removes the handler-table entry and the registration together, under the port layer's
    // delivery lock, so that the handler does not run again once this has returned.
    int32_t Unregister(const RCPtr<LNotificationDistributor>& distributor,
                       const char16_t* name) override;
    // Unregisters everywhere, as every client does, under the port layer's delivery lock.
    int32_t ReleaseHook() override;

    // The current port layer (replaced by each search for the ports).
    RCPtr<LMidiComm> GetPortLayer() const { return mPortLayer; }
    // For tests: the reply time-out in place of kReplyTimeoutMilliseconds.
    void SetReplyTimeout(int32_t milliseconds) { mReplyTimeout.store(milliseconds); }

private:
    // Registers the reply handler on the current port layer: the handler table's result.
    int32_t RegisterReplyHandler();
    // Unregisters it: the registration's result, or E_FAIL when the table held no entry.
    int32_t UnregisterReplyHandler();
    // Waits for the reply gate: 0 for an accepted reply, -3 otherwise.
    int32_t WaitForReply();

    RCPtr<LNotificationHandler<LMidiManager>> mHandler;
    RCPtr<LMidiComm> mPortLayer;
    // Set once a program reply has been applied (or refused by the engine).
    TrafficLight mReplyGate;
    TrafficLight mParameterGate;
    TrafficLight mInquiryGate;
    // Whether the engine refused a value of the reply that set the gate.
    std::atomic<bool> mReplyRefused{false};
    // The slot of the get that waits (-1 while none waits), and the sequence number of the first
    // message captured after its request went out (set before the slot).
    std::atomic<int32_t> mAwaitedSlot{-1};
    std::atomic<uint64_t> mFirstFreshInput{0};
    std::atomic<int32_t> mReplyTimeout{kReplyTimeoutMilliseconds};
};

} // namespace SV
