// The keyboard on a virtual MIDI device named "Vudozi Vedozi Duruzava": it answers a get-program
// request (F0 47 7F 3E 66 00 01 s F7) with the program reply from its RAM (slot 0) or one of its
// four stored programs, and stores what a send-program message writes. A test can make it stay
// silent, answer late, answer with a wrong length, answer in pieces or answer twice. It runs
// in-process or, published on JACK, for other processes.
#pragma once

#include "VirtualMidiDevice.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace svtest {

class KeyboardSimulator : private svtest::VirtualMidiPeer
{
public:
    static constexpr const char* kDeviceName = "Vudozi Vedozi Duruzava";
    static constexpr int32_t kSlotCount = 5; // RAM and four stored programs
    static constexpr size_t kProgramSize = 14;
    static constexpr size_t kReplySize = 23;
    using Program = std::array<uint8_t, kProgramSize>;
    using Bytes = std::vector<uint8_t>;

    // How requests are answered.
    struct Answer
    {
        enum class Mode
        {
            Normal,      // the reply, at once
            Silent,      // nothing
            Late,        // the reply after delay
            WrongLength, // a reply of length bytes: header, slot, data cut or padded, F7
            InPieces,    // the reply in pieces of the given sizes (the rest in the last piece)
            Twice,       // the reply, then a second one (with secondProgram when given)
        };
        Mode mode = Mode::Normal;
        std::chrono::milliseconds delay{0};
        size_t length = kReplySize;
        std::vector<size_t> pieceSizes;
        // InPieces: true hands each piece back in a buffer of its own; false sends the pieces
        // one after another as the wire would, for the input device to write into its buffers.
        bool piecesInOwnBuffers = true;
        std::optional<Program> secondProgram;
    };

    explicit KeyboardSimulator(svtest::VirtualMidiDevice::Transport transport =
                                   svtest::VirtualMidiDevice::Transport::InProcess,
                               const std::string& name = kDeviceName);
    ~KeyboardSimulator() override;
    KeyboardSimulator(const KeyboardSimulator&) = delete;
    KeyboardSimulator& operator=(const KeyboardSimulator&) = delete;

    // False when a JACK device could not be published.
    bool IsOpen() const { return mDevice.IsOpen(); }
    svtest::VirtualMidiDevice& GetDevice() { return mDevice; }

    // The program every slot holds at the start: the editor's default model.
    static Program DefaultProgram();
    void SetProgram(int32_t slot, const Program& program);
    Program GetProgram(int32_t slot) const;

    void SetAnswer(const Answer& answer);
    // The reply to a get of that slot, as the keyboard sends it now.
    Bytes MakeReply(int32_t slot) const;

    // Every message the program sent to the keyboard, in order.
    std::vector<Bytes> GetReceived() const;
    // Waits until at least count messages have arrived; false after the time-out.
    bool WaitForReceived(size_t count, std::chrono::milliseconds timeout) const;
    // Waits until at least count answers (each reply counted) have gone out.
    bool WaitForAnswers(size_t count, std::chrono::milliseconds timeout) const;
    // Called with each message as it arrives, on the sending thread (set before use).
    void SetReceivedHook(std::function<void(const Bytes&)> hook);

private:
    void OnMidiReceived(const Bytes& bytes) override;
    void Reply(int32_t slot);
    void Schedule(std::chrono::steady_clock::time_point due, std::function<void()> action);
    void Run();

    struct Job
    {
        std::chrono::steady_clock::time_point due;
        std::function<void()> action;
    };

    mutable std::mutex mMutex;
    mutable std::condition_variable mChanged;
    std::array<Program, kSlotCount> mSlots;
    Answer mAnswer;
    std::vector<Bytes> mReceived;
    size_t mAnswersSent = 0;
    std::vector<Job> mJobs; // answers not yet due, for the answering thread
    bool mStopping = false;
    std::function<void(const Bytes&)> mReceivedHook;
    std::thread mAnswerer;             // answers from its own thread, never from the sender's
    svtest::VirtualMidiDevice mDevice; // last: withdrawn first, while everything it calls lives
};

} // namespace svtest
