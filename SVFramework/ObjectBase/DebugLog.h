// The framework's diagnostic streams, one for 8-bit and one for wide text. Their buffers hand
// each flushed piece of text (at most 1023 characters) to the debugger output or, once a remote
// target is set, to a UDP datagram. Start-up switches them to a console ("-DEBUG_CONSOLE") or to
// a remote target ("-DEBUG_CONSOLE:port[:host]").
//
// The wide streams run on char16_t, for which the standard library has no character facets:
// they take text and characters (u'\n' ends a line) and std::flush, but neither std::endl nor
// numbers. Format numbers into a WideString first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

namespace SV {

class DebugStreamHolder;

// Sends diagnostics as UDP datagrams. The socket opens on the first send, announcing the launch
// to the destination found then, and stays open: later target changes do not move it.
class RemoteLogSender
{
public:
    RemoteLogSender() = default;
    RemoteLogSender(const RemoteLogSender&) = delete;
    RemoteLogSender& operator=(const RemoteLogSender&) = delete;
    ~RemoteLogSender();

    // Opens the socket when it is not open (looking up the host, or without one or when that
    // fails the local host, else using 127.0.0.1) and sends the three launch datagrams; then
    // sends the text, when there is any, as one datagram. Failures are silent; a socket that
    // did not open is tried again on the next call.
    void Send(const char* hostName, int32_t port, const char* text);

    bool IsOpen() const { return mSocket >= 0; }
    // The dotted address of the destination, empty before the first send.
    const std::string& GetAddress() const { return mAddress; }

private:
    void Open(const char* hostName, int32_t port);
    void SendText(const char* text) const;

    int32_t mSocket = -1;
    std::string mAddress;
    uint16_t mPort = 0;
};

// The process-wide sender that the streams use; it lives until the process ends.
RemoteLogSender& GetProcessRemoteLog();

// Sends through the process-wide sender.
void SendRemoteLog(const char* hostName, int32_t port, const char* text);

// A string buffer that grows as text is written and delivers its text when it is flushed (by
// the stream, or when a full buffer takes more, or when it is destroyed holding text).
template <class C>
class basic_debugbuf : public std::basic_streambuf<C>
{
public:
    using int_type = typename std::basic_streambuf<C>::int_type;
    using traits_type = typename std::basic_streambuf<C>::traits_type;

    // The most characters one delivery carries.
    static constexpr size_t kMaxDelivery = 1023;

    explicit basic_debugbuf(const DebugStreamHolder& holder) : mHolder(holder) {}
    ~basic_debugbuf() override;

protected:
    std::streamsize xsputn(const C* text, std::streamsize count) override;
    int_type overflow(int_type character) override;
    int sync() override;

private:
    const DebugStreamHolder& mHolder;
    std::basic_string<C> mText;
};

// An output stream over a debug buffer, which it owns.
template <class C>
class basic_dostream : public std::basic_ostream<C>
{
public:
    explicit basic_dostream(const DebugStreamHolder& holder)
        : basic_dostream(std::make_unique<basic_debugbuf<C>>(holder))
    {}
    basic_dostream(const basic_dostream&) = delete;
    basic_dostream& operator=(const basic_dostream&) = delete;

private:
    explicit basic_dostream(std::unique_ptr<basic_debugbuf<C>> buffer)
        : std::basic_ostream<C>(buffer.get()), mBuffer(std::move(buffer))
    {}

    std::unique_ptr<basic_debugbuf<C>> mBuffer;
};

using debugbuf = basic_debugbuf<char>;
using wdebugbuf = basic_debugbuf<char16_t>;
using dostream = basic_dostream<char>;
using wdostream = basic_dostream<char16_t>;

extern template class basic_debugbuf<char>;
extern template class basic_debugbuf<char16_t>;

// The two debug streams, where diagnostics go (the streams, or the console after
// OpenDebugConsole) and the remote target.
class DebugStreamHolder
{
public:
    explicit DebugStreamHolder(RemoteLogSender& remoteLog = GetProcessRemoteLog());
    DebugStreamHolder(const DebugStreamHolder&) = delete;
    DebugStreamHolder& operator=(const DebugStreamHolder&) = delete;

    // Where diagnostics are written.
    std::ostream& GetNarrowOutput() const { return *mNarrowOutput; }
    std::basic_ostream<char16_t>& GetWideOutput() const { return *mWideOutput; }

    dostream& GetNarrowDebugStream() { return mNarrowStream; }
    wdostream& GetWideDebugStream() { return mWideStream; }

    const std::string& GetHostName() const { return mHostName; }
    // 0 or less: no remote target.
    int32_t GetPort() const { return mPort; }
    RemoteLogSender& GetRemoteLog() const { return mRemoteLog; }

private:
    friend void OpenDebugConsole(DebugStreamHolder& holder);
    friend void SetRemoteLogTarget(DebugStreamHolder& holder, const char* hostName, int32_t port);

    // Declared before the streams: a stream destroyed with text in its buffer still delivers
    // it, and reads the target then.
    RemoteLogSender& mRemoteLog;
    std::string mHostName;
    int32_t mPort = -1;
    dostream mNarrowStream;
    wdostream mWideStream;
    std::ostream* mNarrowOutput;
    std::basic_ostream<char16_t>* mWideOutput;
};

// The process-wide holder, built during static initialisation and destroyed at exit.
DebugStreamHolder& GetDebugStreamHolder();

// Sends the holder's diagnostics to the console: the terminal's standard error, unbuffered.
void OpenDebugConsole(DebugStreamHolder& holder);

// Stores the host name when one is given (null keeps the stored one) and always the port.
void SetRemoteLogTarget(DebugStreamHolder& holder, const char* hostName, int32_t port);

// The start-up's reading of the command line. "-DEBUG_CONSOLE" opens the console.
// "-DEBUG_CONSOLE:" followed by a port of at least two characters, optionally ":" and a host
// name, sets the remote target instead (the port ends at the first ':' or ' ', the host at the
// next ' '); a shorter port text sets nothing.
void ConfigureDebugLogFromCommandLine(DebugStreamHolder& holder, std::string_view commandLine);

} // namespace SV
