// Bytes as text for the keyboard simulator's command lines: "F0 47 7F" (spaces optional when
// reading).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace svtest {

inline std::string ToHex(const std::vector<uint8_t>& bytes)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (uint8_t byte : bytes) {
        if (!text.empty()) {
            text += ' ';
        }
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

// Nothing when the text holds anything but hexadecimal digit pairs and spaces.
inline std::optional<std::vector<uint8_t>> FromHex(const std::string& text)
{
    std::vector<uint8_t> bytes;
    int32_t high = -1;
    for (char character : text) {
        int32_t digit = -1;
        if (character >= '0' && character <= '9') {
            digit = character - '0';
        } else if (character >= 'A' && character <= 'F') {
            digit = character - 'A' + 10;
        } else if (character >= 'a' && character <= 'f') {
            digit = character - 'a' + 10;
        } else if (character == ' ' && high < 0) {
            continue;
        } else {
            return std::nullopt;
        }
        if (high < 0) {
            high = digit;
        } else {
            bytes.push_back(static_cast<uint8_t>(high * 16 + digit));
            high = -1;
        }
    }
    if (high >= 0) {
        return std::nullopt;
    }
    return bytes;
}

} // namespace svtest
