// Keeps the program to one instance per user: the first instance holds a lock file in the
// runtime folder and listens on a Unix-domain socket beside it; a later instance finds the lock
// held and hands its command line over on the socket instead of running.
//
// The hand-over is framed: uint32 code 1125, uint32 byte count, the UTF-8 bytes with their NUL,
// all little-endian; the first instance answers one byte, 1 when it took the text, 0 when not.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace svp {

class EventLoop;

constexpr uint32_t kCommandLineHandOverCode = 1125;
// A longer hand-over is refused unread: a command line never comes near it.
constexpr uint32_t kMaxHandOverBytes = 64 * 1024;

enum class HandOverResult
{
    kTaken,    // the first instance took the command line
    kRefused,  // it answered 0 (a modal window is open, or the text was bad)
    kNoAnswer, // nobody listened, even after the retries
};

class SingleInstance
{
public:
    // The lock is "<folder>/<name>.lock" and the socket "<folder>/<name>.socket", the folder
    // being $XDG_RUNTIME_DIR, else the temporary folder with the user id in the name. An empty
    // `folder` means that default. Null only when the lock file cannot be opened at all.
    [[nodiscard]] static std::unique_ptr<SingleInstance> Acquire(const std::string& name,
                                                                 const std::string& folder = {});

    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this process holds the lock.
    [[nodiscard]] bool IsFirst() const { return mLockHeld; }

    // First instance only: opens the socket and serves hand-overs on the loop's thread. The
    // handler gets the text without its NUL (bounded by the byte count, never read past it), and
    // only when it is well-formed UTF-8; it answers whether it took it. False when the socket
    // cannot be opened.
    using CommandLineHandler = std::function<bool(const std::string& commandLine)>;
    [[nodiscard]] bool Listen(EventLoop& loop, CommandLineHandler onCommandLine);

    // A later instance: sends the command line. The first instance opens its socket only once
    // its window exists, so a refused connection is tried again every 50 ms for `retryMs`.
    [[nodiscard]] HandOverResult HandOver(const std::string& commandLine,
                                          int32_t retryMs = 3000) const;

    const std::string& GetSocketPath() const { return mSocketPath; }

private:
    SingleInstance() = default;
    bool ServeOne();

    int mLockFd = -1;
    bool mLockHeld = false;
    int mListenFd = -1;
    uint32_t mWatchId = 0;
    EventLoop* mLoop = nullptr;
    std::string mSocketPath;
    CommandLineHandler mOnCommandLine;
};

} // namespace svp
