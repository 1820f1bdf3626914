#include "ObjectBase/DebugLog.h"

#include "Utilities/Storage/StringT.h"
#include "Utilities/Storage/TextEncoding.h"

#include "DebugOutput.h"
#include "UdpSocket.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <ios>
#include <iostream>

namespace SV {
namespace {

constexpr const char* kLoopbackAddress = "127.0.0.1";

// The console's wide standard error: UTF-16 in, UTF-8 out, written through at once. Only a high
// surrogate at the end of a write waits for the low one that completes it.
class WideConsoleBuffer : public std::basic_streambuf<char16_t>
{
protected:
    std::streamsize xsputn(const char16_t* text, std::streamsize count) override
    {
        mPending.append(text, static_cast<size_t>(count));
        size_t complete = mPending.size();
        if (complete > 0 && mPending[complete - 1] >= 0xD800 && mPending[complete - 1] <= 0xDBFF) {
            --complete;
        }
        if (complete > 0) {
            std::string utf8(complete * 3, '\0');
            const char16_t* source = mPending.data();
            char* target = utf8.data();
            // Lenient, into room for every unit: it converts the whole of the complete text.
            static_cast<void>(Utf16ToUtf8(&source, mPending.data() + complete, &target,
                                          utf8.data() + utf8.size(), true));
            svp::WriteConsole(utf8.data(), static_cast<size_t>(target - utf8.data()));
            mPending.erase(0, complete);
        }
        return count;
    }

    int_type overflow(int_type character) override
    {
        if (traits_type::eq_int_type(character, traits_type::eof())) {
            return traits_type::not_eof(character);
        }
        const char16_t unit = traits_type::to_char_type(character);
        xsputn(&unit, 1);
        return character;
    }

private:
    std::u16string mPending;
};

std::basic_ostream<char16_t>& WideConsoleStream()
{
    static WideConsoleBuffer buffer;
    static std::basic_ostream<char16_t> stream(&buffer);
    return stream;
}

// The decimal value of leading digits after an optional sign, as atoi reads it, held to the
// 32-bit range instead of overflowing.
int32_t ParseDecimal(std::string_view text)
{
    const bool negative = !text.empty() && text[0] == '-';
    size_t i = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = std::min<int64_t>(value * 10 + (text[i] - '0'), int64_t{INT32_MAX} + 1);
    }
    value = negative ? -value : std::min<int64_t>(value, INT32_MAX);
    return static_cast<int32_t>(value);
}

} // namespace

// --- Remote log -------------------------------------------------------------------------------

RemoteLogSender::~RemoteLogSender()
{
    svp::CloseUdpSocket(mSocket);
}

void RemoteLogSender::Send(const char* hostName, int32_t port, const char* text)
{
    if (mSocket < 0) {
        Open(hostName, port);
    }
    if (text != nullptr && text[0] != 0) {
        SendText(text);
    }
}

void RemoteLogSender::Open(const char* hostName, int32_t port)
{
    std::string found;
    bool resolved = hostName != nullptr && svp::ResolveIPv4Address(hostName, found);
    if (!resolved) {
        std::string localName;
        resolved = svp::GetLocalHostName(localName) && svp::ResolveIPv4Address(localName, found);
    }
    mAddress = resolved ? found : kLoopbackAddress;
    // The port goes out as the 16 bits of a network port, as the socket layer takes it.
    mPort = static_cast<uint16_t>(port);

    mSocket = svp::OpenUdpSocket();
    if (mSocket >= 0) {
        SendText("*** APPLICATION Launched on ");
        SendText(mAddress.c_str());
        SendText("***\n");
    }
}

void RemoteLogSender::SendText(const char* text) const
{
    // Without its terminator; a datagram that is not sent is dropped.
    svp::SendDatagram(mSocket, mAddress, mPort, text, std::strlen(text));
}

RemoteLogSender& GetProcessRemoteLog()
{
    // Never destroyed: streams flushed while the process ends still find it, and the socket
    // stays open until then.
    static RemoteLogSender* const sender = new RemoteLogSender();
    return *sender;
}

void SendRemoteLog(const char* hostName, int32_t port, const char* text)
{
    GetProcessRemoteLog().Send(hostName, port, text);
}

// --- Debug buffers ----------------------------------------------------------------------------

namespace {

// To the debugger output, or with a port above 0 to the remote target.
void Deliver(const DebugStreamHolder& holder, const char* text)
{
    if (holder.GetPort() <= 0) {
        svp::WriteDebuggerOutput(text, std::strlen(text));
        return;
    }
    const std::string& host = holder.GetHostName();
    holder.GetRemoteLog().Send(host.empty() ? nullptr : host.c_str(), holder.GetPort(), text);
}

// Wide text leaves as UTF-8 either way.
void Deliver(const DebugStreamHolder& holder, const char16_t* text)
{
    NarrowString utf8;
    utf8.AssignUtf16(text, -1);
    Deliver(holder, utf8.GetText());
}

} // namespace

template <class C>
basic_debugbuf<C>::~basic_debugbuf()
{
    if (mText.empty()) {
        return;
    }
    try {
        sync();
    } catch (...) {
        // Text that cannot be delivered while the buffer goes away is lost.
    }
}

template <class C>
std::streamsize basic_debugbuf<C>::xsputn(const C* text, std::streamsize count)
{
    std::streamsize written = 0;
    while (written < count) {
        if (mText.size() >= kMaxDelivery) {
            sync();
        }
        const size_t piece =
            std::min(static_cast<size_t>(count - written), kMaxDelivery - mText.size());
        mText.append(text + written, piece);
        written += static_cast<std::streamsize>(piece);
    }
    return count;
}

template <class C>
typename basic_debugbuf<C>::int_type basic_debugbuf<C>::overflow(int_type character)
{
    if (traits_type::eq_int_type(character, traits_type::eof())) {
        return traits_type::not_eof(character);
    }
    if (mText.size() >= kMaxDelivery) {
        sync();
    }
    mText.push_back(traits_type::to_char_type(character));
    return character;
}

template <class C>
int basic_debugbuf<C>::sync()
{
    // c_str() carries the terminating 0: a delivery ends at the first 0 of the text.
    Deliver(mHolder, mText.c_str());
    mText.clear();
    return 0;
}

template class basic_debugbuf<char>;
template class basic_debugbuf<char16_t>;

// --- Holder -----------------------------------------------------------------------------------

DebugStreamHolder::DebugStreamHolder(RemoteLogSender& remoteLog)
    : mRemoteLog(remoteLog), mNarrowStream(*this), mWideStream(*this),
      mNarrowOutput(&mNarrowStream), mWideOutput(&mWideStream)
{}

DebugStreamHolder& GetDebugStreamHolder()
{
    static DebugStreamHolder holder;
    return holder;
}

namespace {
// Built with the other statics, so the streams are there before start-up reads the command line.
[[maybe_unused]] DebugStreamHolder& gBuiltAtStart = GetDebugStreamHolder();
} // namespace

void OpenDebugConsole(DebugStreamHolder& holder)
{
    svp::OpenConsole();
    std::ios_base::sync_with_stdio(true);
    holder.mNarrowOutput = &std::cerr;
    holder.mWideOutput = &WideConsoleStream();
}

void SetRemoteLogTarget(DebugStreamHolder& holder, const char* hostName, int32_t port)
{
    if (hostName != nullptr) {
        holder.mHostName = hostName;
    }
    holder.mPort = port;
}

void ConfigureDebugLogFromCommandLine(DebugStreamHolder& holder, std::string_view commandLine)
{
    constexpr std::string_view kSwitch = "-DEBUG_CONSOLE";
    constexpr std::string_view kRemoteSwitch = "-DEBUG_CONSOLE:";
    if (commandLine.find(kSwitch) == std::string_view::npos) {
        return;
    }
    const size_t remote = commandLine.find(kRemoteSwitch);
    if (remote == std::string_view::npos) {
        OpenDebugConsole(holder);
        return;
    }
    // The port and the host end where their argument ends: a ':' in a later argument (a path,
    // another switch) belongs to that argument.
    const std::string_view rest = commandLine.substr(remote + kRemoteSwitch.size());
    const size_t portEnd = std::min(rest.find_first_of(": "), rest.size());
    const std::string_view portText = rest.substr(0, portEnd);
    if (portText.size() < 2) {
        return;
    }
    std::string host;
    if (portEnd < rest.size() && rest[portEnd] == ':') {
        const std::string_view hostText = rest.substr(portEnd + 1);
        host = hostText.substr(0, std::min(hostText.find(' '), hostText.size()));
    }
    SetRemoteLogTarget(holder, host.empty() ? nullptr : host.c_str(), ParseDecimal(portText));
}

} // namespace SV
