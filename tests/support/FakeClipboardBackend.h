// An in-memory system clipboard: formats and their bytes, a sequence number that moves with
// every change, and switches for a clipboard that cannot be opened and for what runs while it
// is emptied.
#pragma once

#include "ClipboardBackend.h"

#include <functional>
#include <map>
#include <string>

namespace svtest {

class FakeClipboardBackend : public svp::IClipboardBackend
{
public:
    bool Open(svp::HWND owner) override
    {
        ++opens;
        openedBy = owner;
        return !openFails;
    }
    void Close() override { ++closes; }
    bool Empty() override
    {
        formats.clear();
        ++sequence;
        if (onEmpty) {
            onEmpty();
        }
        return true;
    }
    bool SetData(uint32_t format, const std::string& bytes) override
    {
        formats[format] = bytes;
        ++sequence;
        return true;
    }
    bool Announce(uint32_t format) override { return SetData(format, std::string()); }
    bool GetData(uint32_t format, std::string& bytes) override
    {
        const auto it = formats.find(format);
        if (it == formats.end()) {
            return false;
        }
        bytes = it->second;
        return true;
    }
    bool IsFormatAvailable(uint32_t format) override { return formats.count(format) != 0; }
    uint32_t GetSequenceNumber() override { return sequence; }

    // Another program replaces the clipboard's content.
    void ReplaceFromOutside(std::map<uint32_t, std::string> content)
    {
        formats = std::move(content);
        ++sequence;
    }

    std::map<uint32_t, std::string> formats;
    uint32_t sequence = 1;
    int opens = 0;
    int closes = 0;
    svp::HWND openedBy = nullptr;
    bool openFails = false;
    std::function<void()> onEmpty;
};

} // namespace svtest
