#include "KeyboardSimulator.h"

#include <algorithm>

namespace svtest {
namespace {

constexpr uint8_t kHeader[] = {0xF0, 0x47, 0x7F, 0x3E};
constexpr uint8_t kGetRequest[] = {0x66, 0x00, 0x01};
constexpr uint8_t kSendProgram[] = {0x5E, 0x00, 0x63};
constexpr uint8_t kProgramReply[] = {0x53, 0x00, 0x0F};
constexpr size_t kRequestSize = 9;
constexpr size_t kSlotByte = 7;
constexpr size_t kDataStart = 8;

bool StartsWith(const KeyboardSimulator::Bytes& bytes, const uint8_t (&command)[3])
{
    return bytes.size() > kSlotByte &&
           std::equal(std::begin(kHeader), std::end(kHeader), bytes.begin()) &&
           std::equal(std::begin(command), std::end(command), bytes.begin() + 4);
}

KeyboardSimulator::Bytes ReplyOf(int32_t slot, const KeyboardSimulator::Program& program,
                                 size_t length)
{
    KeyboardSimulator::Bytes reply;
    reply.reserve(kDataStart + program.size() + 1);
    reply.assign(std::begin(kHeader), std::end(kHeader));
    reply.insert(reply.end(), std::begin(kProgramReply), std::end(kProgramReply));
    reply.push_back(static_cast<uint8_t>(slot));
    reply.insert(reply.end(), program.begin(), program.end());
    // A wrong length keeps the header and the closing F7: the data is cut or padded.
    const size_t dataLength = length > kDataStart + 1 ? length - kDataStart - 1 : 0;
    reply.resize(kDataStart + dataLength, 0x00);
    reply.push_back(0xF7);
    return reply;
}

std::array<KeyboardSimulator::Program, KeyboardSimulator::kSlotCount> DefaultSlots()
{
    std::array<KeyboardSimulator::Program, KeyboardSimulator::kSlotCount> slots{};
    slots.fill(KeyboardSimulator::DefaultProgram());
    return slots;
}

} // namespace

KeyboardSimulator::KeyboardSimulator(svtest::VirtualMidiDevice::Transport transport,
                                     const std::string& name)
    : mSlots(DefaultSlots()), mDevice(name, *this, transport)
{
    mAnswerer = std::thread([this] { Run(); });
}

KeyboardSimulator::~KeyboardSimulator()
{
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        mStopping = true;
        mChanged.notify_all();
    }
    mAnswerer.join();
}

KeyboardSimulator::Program KeyboardSimulator::DefaultProgram()
{
    return {0x00, 0x02, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x78, 0x00, 0x0C};
}

void KeyboardSimulator::SetProgram(int32_t slot, const Program& program)
{
    const std::lock_guard<std::mutex> lock(mMutex);
    mSlots.at(static_cast<size_t>(slot)) = program;
}

KeyboardSimulator::Program KeyboardSimulator::GetProgram(int32_t slot) const
{
    const std::lock_guard<std::mutex> lock(mMutex);
    return mSlots.at(static_cast<size_t>(slot));
}

void KeyboardSimulator::SetAnswer(const Answer& answer)
{
    const std::lock_guard<std::mutex> lock(mMutex);
    mAnswer = answer;
}

KeyboardSimulator::Bytes KeyboardSimulator::MakeReply(int32_t slot) const
{
    const std::lock_guard<std::mutex> lock(mMutex);
    return ReplyOf(slot, mSlots.at(static_cast<size_t>(slot)), kReplySize);
}

std::vector<KeyboardSimulator::Bytes> KeyboardSimulator::GetReceived() const
{
    const std::lock_guard<std::mutex> lock(mMutex);
    return mReceived;
}

bool KeyboardSimulator::WaitForReceived(size_t count, std::chrono::milliseconds timeout) const
{
    std::unique_lock<std::mutex> lock(mMutex);
    return mChanged.wait_for(lock, timeout, [&] { return mReceived.size() >= count; });
}

bool KeyboardSimulator::WaitForAnswers(size_t count, std::chrono::milliseconds timeout) const
{
    std::unique_lock<std::mutex> lock(mMutex);
    return mChanged.wait_for(lock, timeout, [&] { return mAnswersSent >= count; });
}

void KeyboardSimulator::SetReceivedHook(std::function<void(const Bytes&)> hook)
{
    const std::lock_guard<std::mutex> lock(mMutex);
    mReceivedHook = std::move(hook);
}

void KeyboardSimulator::OnMidiReceived(const Bytes& bytes)
{
    std::function<void(const Bytes&)> hook;
    std::optional<int32_t> requestedSlot;
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        mReceived.push_back(bytes);
        hook = mReceivedHook;
        if (bytes.size() == kRequestSize && StartsWith(bytes, kGetRequest) &&
            bytes[kSlotByte] < kSlotCount) {
            requestedSlot = bytes[kSlotByte];
        } else if (bytes.size() == kReplySize && StartsWith(bytes, kSendProgram) &&
                   bytes[kSlotByte] < kSlotCount) {
            Program program{};
            std::copy_n(bytes.begin() + kDataStart, kProgramSize, program.begin());
            mSlots[bytes[kSlotByte]] = program;
        }
        mChanged.notify_all();
    }
    if (hook) {
        hook(bytes);
    }
    if (requestedSlot) {
        Reply(*requestedSlot);
    }
}

void KeyboardSimulator::Reply(int32_t slot)
{
    const auto now = std::chrono::steady_clock::now();
    std::unique_lock<std::mutex> lock(mMutex);
    const KeyboardSimulator::Answer answer = mAnswer;
    const Program program = mSlots[static_cast<size_t>(slot)];
    lock.unlock();

    const auto send = [this](Bytes reply) {
        return [this, reply = std::move(reply)] {
            mDevice.Deliver(reply);
            const std::lock_guard<std::mutex> sentLock(mMutex);
            ++mAnswersSent;
            mChanged.notify_all();
        };
    };
    switch (answer.mode) {
    case Answer::Mode::Silent:
        return;
    case Answer::Mode::Normal:
        Schedule(now, send(ReplyOf(slot, program, kReplySize)));
        return;
    case Answer::Mode::Late:
        Schedule(now + answer.delay, send(ReplyOf(slot, program, kReplySize)));
        return;
    case Answer::Mode::WrongLength:
        Schedule(now, send(ReplyOf(slot, program, answer.length)));
        return;
    case Answer::Mode::Twice:
        Schedule(now, send(ReplyOf(slot, program, kReplySize)));
        Schedule(now, send(ReplyOf(slot, answer.secondProgram.value_or(program), kReplySize)));
        return;
    case Answer::Mode::InPieces: {
        const Bytes reply = ReplyOf(slot, program, kReplySize);
        std::vector<Bytes> pieces;
        size_t position = 0;
        for (size_t size : answer.pieceSizes) {
            const size_t take = std::min(size, reply.size() - position);
            if (take > 0) {
                pieces.emplace_back(reply.begin() + static_cast<std::ptrdiff_t>(position),
                                    reply.begin() + static_cast<std::ptrdiff_t>(position + take));
            }
            position += take;
        }
        if (position < reply.size()) {
            pieces.emplace_back(reply.begin() + static_cast<std::ptrdiff_t>(position), reply.end());
        }
        const bool ownBuffers = answer.piecesInOwnBuffers;
        Schedule(now, [this, pieces, ownBuffers] {
            if (ownBuffers) {
                mDevice.DeliverInBuffers(pieces);
            } else {
                for (const Bytes& piece : pieces) {
                    mDevice.Deliver(piece);
                }
            }
            const std::lock_guard<std::mutex> sentLock(mMutex);
            ++mAnswersSent;
            mChanged.notify_all();
        });
        return;
    }
    }
}

void KeyboardSimulator::Schedule(std::chrono::steady_clock::time_point due,
                                 std::function<void()> action)
{
    const std::lock_guard<std::mutex> lock(mMutex);
    mJobs.push_back({due, std::move(action)});
    mChanged.notify_all();
}

void KeyboardSimulator::Run()
{
    std::unique_lock<std::mutex> lock(mMutex);
    while (!mStopping) {
        if (mJobs.empty()) {
            mChanged.wait(lock);
            continue;
        }
        // The earliest due job first; jobs due at the same moment in the order they came.
        const auto next = std::min_element(
            mJobs.begin(), mJobs.end(), [](const Job& a, const Job& b) { return a.due < b.due; });
        if (const auto due = next->due; std::chrono::steady_clock::now() < due) {
            // A copy: jobs scheduled during the wait may move the list.
            mChanged.wait_until(lock, due);
            continue;
        }
        std::function<void()> action = std::move(next->action);
        mJobs.erase(next);
        lock.unlock();
        action();
        lock.lock();
    }
}

} // namespace svtest
