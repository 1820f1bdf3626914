#include "WindowClipboard.h"

#include "WindowSystem.h"

#include <map>

namespace svp {

namespace {

// Text read from another program is cut here: the clipboard service keeps no more either.
constexpr size_t kMaxTextBytes = 1024 * 1024;

// UTF-16 units (native order, NUL-terminated as the format holds them) to UTF-8; a lone
// surrogate becomes U+FFFD.
std::string Utf8FromUtf16Bytes(const std::string& bytes)
{
    std::u16string units(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<char16_t>(static_cast<uint8_t>(bytes[2 * i]) |
                                         (static_cast<uint8_t>(bytes[2 * i + 1]) << 8));
    }
    std::string text;
    for (size_t i = 0; i < units.size() && units[i] != 0; ++i) {
        uint32_t c = units[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            text += static_cast<char>(c);
        } else if (c < 0x800) {
            text += static_cast<char>(0xC0 | (c >> 6));
            text += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            text += static_cast<char>(0xE0 | (c >> 12));
            text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            text += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            text += static_cast<char>(0xF0 | (c >> 18));
            text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            text += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return text;
}

// UTF-8 to UTF-16 bytes in native order with their NUL; a broken sequence becomes U+FFFD.
std::string Utf16BytesFromUtf8(const std::string& text)
{
    std::u16string units;
    for (size_t i = 0; i < text.size();) {
        const auto byte = static_cast<uint8_t>(text[i]);
        const int length = byte < 0x80         ? 1
                           : (byte >> 5) == 6  ? 2
                           : (byte >> 4) == 14 ? 3
                           : (byte >> 3) == 30 ? 4
                                               : 0;
        uint32_t c = length == 1   ? byte
                     : length == 2 ? byte & 0x1F
                     : length == 3 ? byte & 0x0F
                                   : byte & 0x07;
        bool valid = length > 0 && i + length <= text.size();
        for (int k = 1; valid && k < length; ++k) {
            const auto next = static_cast<uint8_t>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        if (!valid || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            units += u'\xFFFD';
            ++i;
            continue;
        }
        i += static_cast<size_t>(length);
        if (c >= 0x10000) {
            c -= 0x10000;
            units += static_cast<char16_t>(0xD800 + (c >> 10));
            units += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            units += static_cast<char16_t>(c);
        }
    }
    units += u'\0';
    std::string bytes;
    for (const char16_t unit : units) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

std::string WithoutNul(const std::string& bytes)
{
    const size_t nul = bytes.find('\0');
    return nul == std::string::npos ? bytes : bytes.substr(0, nul);
}

class WindowClipboard final : public IClipboardBackend
{
public:
    WindowClipboard(WindowSystem& windows, std::function<void()> onLost)
        : mWindows(windows), mOnLost(std::move(onLost))
    {
        mWindows.SetClipboardLostHandler([this] {
            mContent.clear();
            ++mSequence;
            if (mOnLost) {
                mOnLost();
            }
        });
    }

    ~WindowClipboard() override { mWindows.SetClipboardLostHandler(nullptr); }

    bool Open(HWND) override
    {
        mOpen = true;
        mChanged = false;
        return true;
    }

    // What was set while open becomes the selection's content now.
    void Close() override
    {
        if (mOpen && mChanged) {
            std::string text;
            if (const auto unicode = mContent.find(kClipboardUnicodeText);
                unicode != mContent.end()) {
                text = Utf8FromUtf16Bytes(unicode->second);
            } else if (const auto narrow = mContent.find(kClipboardText);
                       narrow != mContent.end()) {
                text = WithoutNul(narrow->second);
            }
            mWindows.SetClipboardText(text);
            ++mSequence;
        }
        mOpen = false;
    }

    bool Empty() override
    {
        if (!mOpen) {
            return false;
        }
        mContent.clear();
        mChanged = true;
        return true;
    }

    bool SetData(uint32_t format, const std::string& bytes) override
    {
        if (!mOpen) {
            return false;
        }
        mContent[format] = bytes;
        mChanged = true;
        return true;
    }

    bool Announce(uint32_t format) override { return SetData(format, std::string()); }

    bool GetData(uint32_t format, std::string& bytes) override
    {
        if (mWindows.OwnsClipboard()) {
            const auto found = mContent.find(format);
            if (found == mContent.end()) {
                return false;
            }
            bytes = found->second;
            return true;
        }
        if (format != kClipboardUnicodeText && format != kClipboardText) {
            return false;
        }
        std::optional<std::string> text = mWindows.GetClipboardText();
        if (!text) {
            return false;
        }
        if (text->size() > kMaxTextBytes) {
            text->resize(kMaxTextBytes);
        }
        bytes = format == kClipboardUnicodeText ? Utf16BytesFromUtf8(*text) : *text + '\0';
        return true;
    }

    bool IsFormatAvailable(uint32_t format) override
    {
        if (mWindows.OwnsClipboard()) {
            return mContent.count(format) != 0;
        }
        if (format != kClipboardUnicodeText && format != kClipboardText) {
            return false;
        }
        return mWindows.GetClipboardText().has_value();
    }

    // Another program's content may change at any time without our hearing of it: while we do
    // not own the clipboard, every call counts as a change.
    uint32_t GetSequenceNumber() override
    {
        return mWindows.OwnsClipboard() ? mSequence : ++mSequence;
    }

private:
    WindowSystem& mWindows;
    std::function<void()> mOnLost;
    std::map<uint32_t, std::string> mContent;
    bool mOpen = false;
    bool mChanged = false;
    uint32_t mSequence = 1;
};

} // namespace

std::unique_ptr<IClipboardBackend> CreateWindowClipboard(WindowSystem& windows,
                                                         std::function<void()> onLost)
{
    return std::make_unique<WindowClipboard>(windows, std::move(onLost));
}

} // namespace svp
