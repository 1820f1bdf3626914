// The system clipboard as the clipboard service uses it: formats by number, contents as bytes.
// Format 13 is UTF-16 text (native byte order, with its terminating NUL), format 1 UTF-8 text
// (with its NUL), and format 0x200 marks content that lives only inside the program.
#pragma once

#include "WindowHandle.h"

#include <cstdint>
#include <string>

namespace svp {

constexpr uint32_t kClipboardUnicodeText = 13;
constexpr uint32_t kClipboardText = 1;
constexpr uint32_t kClipboardPrivate = 0x200;

class IClipboardBackend
{
public:
    virtual ~IClipboardBackend() = default;

    // Takes the clipboard for the window (which may be null); false when another holds it.
    virtual bool Open(HWND owner) = 0;
    virtual void Close() = 0;
    // Drops every format and makes the opener the owner.
    virtual bool Empty() = 0;
    virtual bool SetData(uint32_t format, const std::string& bytes) = 0;
    // Offers the format without data; it is rendered when asked for.
    virtual bool Announce(uint32_t format) = 0;
    // False when the format is not there.
    virtual bool GetData(uint32_t format, std::string& bytes) = 0;
    virtual bool IsFormatAvailable(uint32_t format) = 0;
    // Changes with every change of the clipboard's content.
    virtual uint32_t GetSequenceNumber() = 0;
};

} // namespace svp
