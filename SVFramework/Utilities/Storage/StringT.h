// Text of the framework. The wide string holds UTF-16, the narrow one UTF-8, each in a shared,
// reference-counted buffer: copies share it, writing goes through Lock, which gives the string a
// private buffer until Unlock, and every empty string shares one process-wide buffer.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "Utilities/Storage/SharedBuffer.h"

#include <concepts>
#include <cstdint>

namespace SV {

template <class C, class O>
class StringT
{
    static constexpr bool kWide = std::same_as<C, char16_t>;

public:
    static constexpr uint32_t kWholeText = 2147483646;

    StringT();
    StringT(const StringT& other);
    StringT(const C* text);
    explicit StringT(C character);
    // Wide from UTF-8 text or a narrow string; narrow from UTF-16 text or a wide string.
    StringT(const O* text);
    StringT(const StringT<O, C>& other);
    virtual ~StringT() = default;

    StringT& operator=(const StringT& other);
    StringT& operator=(const C* text);

    // Shareable: the buffer holds the text and one terminator. Locked: the characters before
    // the first 0 within the buffer.
    int32_t GetLength() const;
    uint32_t GetBufferSize() const;
    bool IsEmpty() const;
    const C* GetText() const;
    bool IsLocked() const;

    void Assign(const C* text, uint32_t maxChars = kWholeText);
    void Clear();

    // A private writable buffer of exactly `chars` characters (0: length + 1), the last one 0;
    // null when the string is locked already.
    C* Lock(uint32_t chars = 0);
    // Trims the buffer to the text and makes it shareable again; 1 when it was not locked.
    int32_t Unlock();

    StringT& operator+=(const StringT& other);
    StringT operator+(const StringT& other) const;

    // E_INVALIDARG for an index above the length (a negative one included).
    int32_t Insert(uint32_t index, const StringT& other);
    int32_t InsertChars(uint32_t index, const C* text, uint32_t count);
    int32_t AppendChar(C character);

    // A negative start counts from the end; a count that stays negative takes the rest.
    StringT Mid(int32_t start, int32_t count) const;
    StringT MidFrom(int32_t start) const;
    StringT Left(int32_t count) const;
    StringT Right(int32_t count) const;

    bool Equals(const StringT& other) const;
    bool EqualsText(const C* text) const;
    bool operator==(const StringT& other) const { return Equals(other); }
    bool operator<(const StringT& other) const;
    // Index in characters of the first occurrence, -1 when absent.
    int32_t Find(const StringT& other) const;

    StringT TrimRight(const C* set) const;
    // Leading characters of the set removed, except that a text made only of them comes back
    // unchanged.
    StringT TrimLeft(const C* set) const;
    // TrimLeft, then TrimRight.
    StringT Trim(const C* set) const;
    // Every character found in the set becomes the replacement (nothing for a replacement 0).
    void ReplaceChars(const C* set, C replacement);

    // Consecutive separators give empty parts, a leading one an empty first part, a trailing
    // one no part; a text without separators is one part. Answers the number of parts.
    template <class StringArray>
    int32_t Split(const C* separators, StringArray& parts) const;

    // Wide only.
    int32_t AssignUtf8(const char* text, int32_t length) requires kWide;
    int32_t AssignNarrow(const char* text, int32_t length) requires kWide;
    int32_t InsertUtf8(uint32_t index, const char* text) requires kWide;
    int32_t AppendUtf8Char(char character) requires kWide;
    bool EqualsUtf8(const char* text) const requires kWide;
    bool NotEqualsUtf8(const char* text) const requires kWide;
    StringT ToLower() const requires kWide;
    StringT ToUpper() const requires kWide;
    int32_t ToInt() const requires kWide;
    double ToDouble() const requires kWide;
    StringT<char, char16_t> ToNarrow() const requires kWide;
    // printf-style; %s takes UTF-16 text. Output is cut at 16383 characters.
    int32_t Format(const char16_t* format, ...) requires kWide;

    // Narrow only.
    int32_t AssignUtf16(const char16_t* text, int32_t length) requires(!kWide);

private:
    struct EmptyTag
    {};
    explicit StringT(EmptyTag);
    static const StringT& SharedEmpty();
    static uint32_t TextLength(const C* text, uint32_t maxChars);
    C* Data() const { return static_cast<C*>(mBuffer->GetData()); }
    bool IsSetIn(C character, const C* set) const;
    // A copy with every character passed through map.
    StringT MapUnits(char16_t (*map)(char16_t)) const requires kWide;

    RCPtr<LIBuffer> mBuffer;
};

using WideString = StringT<char16_t, char>;
using NarrowString = StringT<char, char16_t>;

// "%d" text; with decimals above 0, zero-padded to at least that many digits and a "." before
// the last `decimals` of them.
WideString IntToString(int32_t value, int32_t decimals);
WideString UIntToString(uint32_t value, int32_t decimals);
// "%lf", or that many decimals when the precision is not negative.
WideString DoubleToString(double value, int32_t precision);
// The ToString of wrapped strings: the string itself.
WideString StringToString(const WideString& text);

template <class C, class O>
template <class StringArray>
int32_t StringT<C, O>::Split(const C* separators, StringArray& parts) const
{
    const C* text = GetText();
    const int32_t length = GetLength();
    bool hasSeparator = false;
    for (int32_t i = 0; i < length && !hasSeparator; ++i) {
        hasSeparator = IsSetIn(text[i], separators);
    }
    parts.RemoveAll();
    if (!hasSeparator) {
        parts.Add(*this);
        return parts.GetCount();
    }
    int32_t start = 0;
    while (start < length) {
        int32_t end = start;
        while (end < length && !IsSetIn(text[end], separators)) {
            ++end;
        }
        parts.Add(Mid(start, end - start));
        start = end + 1;
    }
    return parts.GetCount();
}

extern template class StringT<char16_t, char>;
extern template class StringT<char, char16_t>;

} // namespace SV
