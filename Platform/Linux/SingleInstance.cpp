#include "SingleInstance.h"

#include "EventLoop.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace svp {
namespace {

constexpr int32_t kReplyTimeoutMs = 5000;
// A sender that stalls halfway can hold the user-interface thread at most this long.
constexpr int32_t kReceiveTimeoutMs = 1000;

std::string DefaultFolder()
{
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime) {
        return runtime;
    }
    const char* temporary = std::getenv("TMPDIR");
    return std::string(temporary != nullptr && *temporary ? temporary : "/tmp") + "/uid" +
           std::to_string(getuid());
}

bool MakeAddress(const std::string& path, sockaddr_un& address)
{
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

void SetTimeouts(int fd, int32_t milliseconds)
{
    timeval time{milliseconds / 1000, (milliseconds % 1000) * 1000};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &time, sizeof time);
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &time, sizeof time);
}

// Moves all `count` bytes through `transfer` (one recv or send), again after an interruption;
// false when the socket fails or closes first.
template <class Byte, class Transfer>
bool TransferAll(Byte* bytes, size_t count, Transfer transfer)
{
    while (count > 0) {
        const ssize_t n = transfer(bytes, count);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        bytes += n;
        count -= static_cast<size_t>(n);
    }
    return true;
}

bool ReadAll(int fd, void* buffer, size_t count)
{
    return TransferAll(static_cast<uint8_t*>(buffer), count,
                       [fd](uint8_t* at, size_t left) { return recv(fd, at, left, 0); });
}

bool WriteAll(int fd, const void* buffer, size_t count)
{
    return TransferAll(
        static_cast<const uint8_t*>(buffer), count,
        [fd](const uint8_t* at, size_t left) { return send(fd, at, left, MSG_NOSIGNAL); });
}

void PutUint32(std::vector<uint8_t>& out, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<uint8_t>(value >> shift));
    }
}

uint32_t GetUint32(const uint8_t* in)
{
    return static_cast<uint32_t>(in[0]) | static_cast<uint32_t>(in[1]) << 8 |
           static_cast<uint32_t>(in[2]) << 16 | static_cast<uint32_t>(in[3]) << 24;
}

// Well-formed UTF-8 only: no overlong forms, no surrogates, nothing above U+10FFFF. A command
// line from another process is outside input.
bool IsWellFormedUtf8(const std::string& text)
{
    for (size_t i = 0; i < text.size();) {
        const auto byte = static_cast<uint8_t>(text[i]);
        size_t extra = 0;
        uint32_t code = 0;
        uint32_t least = 0;
        if (byte < 0x80) {
            ++i;
            continue;
        }
        if ((byte & 0xE0) == 0xC0) {
            extra = 1;
            code = byte & 0x1F;
            least = 0x80;
        } else if ((byte & 0xF0) == 0xE0) {
            extra = 2;
            code = byte & 0x0F;
            least = 0x800;
        } else if ((byte & 0xF8) == 0xF0) {
            extra = 3;
            code = byte & 0x07;
            least = 0x10000;
        } else {
            return false;
        }
        if (i + extra >= text.size()) {
            return false; // cut off
        }
        for (size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<uint8_t>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            code = code << 6 | (next & 0x3F);
        }
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return false;
        }
        i += extra + 1;
    }
    return true;
}

} // namespace

std::unique_ptr<SingleInstance> SingleInstance::Acquire(const std::string& name,
                                                        const std::string& folder)
{
    std::string base = folder.empty() ? DefaultFolder() : folder;
    if (folder.empty() && std::getenv("XDG_RUNTIME_DIR") == nullptr) {
        mkdir(base.c_str(), 0700);
    }
    std::unique_ptr<SingleInstance> instance(new SingleInstance);
    instance->mSocketPath = base + "/" + name + ".socket";
    const std::string lockPath = base + "/" + name + ".lock";
    instance->mLockFd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (instance->mLockFd < 0) {
        return nullptr;
    }
    // The lock ends with the process, however it ends: a crashed first instance never keeps
    // the next one from starting.
    instance->mLockHeld = flock(instance->mLockFd, LOCK_EX | LOCK_NB) == 0;
    return instance;
}

SingleInstance::~SingleInstance()
{
    if (mLoop != nullptr && mWatchId != 0) {
        mLoop->UnwatchDescriptor(mWatchId);
    }
    if (mListenFd >= 0) {
        close(mListenFd);
        unlink(mSocketPath.c_str());
    }
    if (mLockFd >= 0) {
        close(mLockFd);
    }
}

bool SingleInstance::Listen(EventLoop& loop, CommandLineHandler onCommandLine)
{
    sockaddr_un address;
    if (!mLockHeld || mListenFd >= 0 || !MakeAddress(mSocketPath, address)) {
        return false;
    }
    // Only the lock holder gets here, so a socket file left behind by a crash is stale.
    unlink(mSocketPath.c_str());
    mListenFd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (mListenFd < 0) {
        return false;
    }
    if (bind(mListenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(mListenFd, 4) != 0) {
        close(mListenFd);
        mListenFd = -1;
        return false;
    }
    mLoop = &loop;
    mOnCommandLine = std::move(onCommandLine);
    mWatchId = loop.WatchDescriptor(mListenFd, [this] { return ServeOne(); });
    return true;
}

bool SingleInstance::ServeOne()
{
    const int connection = accept4(mListenFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0) {
        return false;
    }
    SetTimeouts(connection, kReceiveTimeoutMs);
    uint8_t header[8];
    uint8_t answer = 0;
    if (ReadAll(connection, header, sizeof header)) {
        const uint32_t code = GetUint32(header);
        const uint32_t count = GetUint32(header + 4);
        if (code == kCommandLineHandOverCode && count >= 1 && count <= kMaxHandOverBytes) {
            std::string text(count, '\0');
            if (ReadAll(connection, text.data(), count)) {
                // The text ends at its first NUL, and never beyond the byte count.
                text.resize(std::strlen(text.c_str()));
                answer = IsWellFormedUtf8(text) && mOnCommandLine && mOnCommandLine(text) ? 1 : 0;
            }
        }
    }
    [[maybe_unused]] const bool sent = WriteAll(connection, &answer, 1);
    close(connection);
    return true;
}

HandOverResult SingleInstance::HandOver(const std::string& commandLine, int32_t retryMs) const
{
    sockaddr_un address;
    if (!MakeAddress(mSocketPath, address) || commandLine.size() + 1 > kMaxHandOverBytes) {
        return HandOverResult::kNoAnswer;
    }
    std::vector<uint8_t> message;
    PutUint32(message, kCommandLineHandOverCode);
    PutUint32(message, static_cast<uint32_t>(commandLine.size() + 1));
    message.insert(message.end(), commandLine.begin(), commandLine.end());
    message.push_back(0);

    for (int32_t waited = 0;; waited += 50) {
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            return HandOverResult::kNoAnswer;
        }
        if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
            SetTimeouts(fd, kReplyTimeoutMs);
            uint8_t answer = 0;
            const bool answered =
                WriteAll(fd, message.data(), message.size()) && ReadAll(fd, &answer, 1);
            close(fd);
            if (!answered) {
                return HandOverResult::kNoAnswer;
            }
            return answer == 1 ? HandOverResult::kTaken : HandOverResult::kRefused;
        }
        close(fd);
        if (waited >= retryMs) {
            return HandOverResult::kNoAnswer;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

} // namespace svp
