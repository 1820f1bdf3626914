#include "Utilities/Storage/WideFormat.h"

#include "Utilities/Storage/TextEncoding.h"
#include "Utilities/Storage/WideText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace SV {

namespace {

constexpr char16_t kReplacementUnit = 0xFFFD;

constexpr bool IsHighSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

constexpr bool IsLowSurrogate(char16_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

constexpr bool IsAsciiDigit(char16_t unit)
{
    return unit >= u'0' && unit <= u'9';
}

// Writes into the caller's buffer up to capacity - 1 units and remembers whether anything was
// left out. A pair split by the limit loses its high half too, so the text never ends in half a
// character.
class WideWriter
{
public:
    WideWriter(char16_t* buffer, size_t capacity) : mBuffer(buffer), mLimit(capacity - 1) {}

    void Put(char16_t unit)
    {
        if (mCut) {
            return;
        }
        if (mLength < mLimit) {
            mBuffer[mLength++] = unit;
            return;
        }
        mCut = true;
        if (IsLowSurrogate(unit) && mLength > 0 && IsHighSurrogate(mBuffer[mLength - 1])) {
            --mLength;
        }
    }

    void Put(const char16_t* text, size_t count)
    {
        for (size_t index = 0; index < count && !mCut; ++index) {
            Put(text[index]);
        }
    }

    void PutAscii(std::string_view text)
    {
        for (size_t index = 0; index < text.size() && !mCut; ++index) {
            Put(static_cast<char16_t>(static_cast<unsigned char>(text[index])));
        }
    }

    void Pad(size_t count, char16_t unit)
    {
        for (size_t index = 0; index < count && !mCut; ++index) {
            Put(unit);
        }
    }

    bool IsCut() const { return mCut; }

    int32_t Finish()
    {
        mBuffer[mLength] = 0;
        if (mCut || mLength > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
            return -1;
        }
        return static_cast<int32_t>(mLength);
    }

private:
    char16_t* mBuffer;
    size_t mLimit;
    size_t mLength = 0;
    bool mCut = false;
};

enum class LengthModifier
{
    None,
    Char,       // hh
    Short,      // h
    Long,       // l, w: 32 bits, the width of long where the program's formats were written
    LongLong,   // ll
    LongDouble, // L
    IntMax,     // j
    Size,       // z
    PtrDiff,    // t
    Int32,      // I32
    Int64,      // I64
    Pointer,    // I
};

struct FieldFormat
{
    bool left = false;
    bool plus = false;
    bool space = false;
    bool alternate = false;
    bool zero = false;
    size_t width = 0;
    int64_t precision = -1; // -1 when none was given
    LengthModifier length = LengthModifier::None;
    char16_t conversion = 0;
};

// Widths and precisions beyond any buffer are cut here so that the arithmetic stays small.
constexpr int64_t kMaxFieldSize = std::numeric_limits<int32_t>::max();

int64_t ReadCount(const char16_t*& cursor)
{
    int64_t value = 0;
    while (IsAsciiDigit(*cursor)) {
        value = std::min<int64_t>(value * 10 + (*cursor - u'0'), kMaxFieldSize);
        ++cursor;
    }
    return value;
}

// Parses flags, width, precision and length after the '%'; cursor ends on the conversion unit
// (0 at the end of the format).
FieldFormat ParseField(const char16_t*& cursor, va_list& args)
{
    FieldFormat field;
    for (;; ++cursor) {
        const char16_t unit = *cursor;
        if (unit == u'-') {
            field.left = true;
        } else if (unit == u'+') {
            field.plus = true;
        } else if (unit == u' ') {
            field.space = true;
        } else if (unit == u'#') {
            field.alternate = true;
        } else if (unit == u'0') {
            field.zero = true;
        } else {
            break;
        }
    }
    if (*cursor == u'*') {
        ++cursor;
        int64_t width = va_arg(args, int);
        if (width < 0) {
            field.left = true;
            width = -width;
        }
        field.width = static_cast<size_t>(std::min(width, kMaxFieldSize));
    } else {
        field.width = static_cast<size_t>(ReadCount(cursor));
    }
    if (*cursor == u'.') {
        ++cursor;
        if (*cursor == u'*') {
            ++cursor;
            const int precision = va_arg(args, int);
            field.precision = precision < 0 ? -1 : precision;
        } else {
            field.precision = ReadCount(cursor);
        }
    }
    switch (*cursor) {
    case u'h':
        if (cursor[1] == u'h') {
            field.length = LengthModifier::Char;
            ++cursor;
        } else {
            field.length = LengthModifier::Short;
        }
        ++cursor;
        break;
    case u'l':
        if (cursor[1] == u'l') {
            field.length = LengthModifier::LongLong;
            ++cursor;
        } else {
            field.length = LengthModifier::Long;
        }
        ++cursor;
        break;
    case u'w':
        field.length = LengthModifier::Long;
        ++cursor;
        break;
    case u'L':
        field.length = LengthModifier::LongDouble;
        ++cursor;
        break;
    case u'j':
        field.length = LengthModifier::IntMax;
        ++cursor;
        break;
    case u'z':
        field.length = LengthModifier::Size;
        ++cursor;
        break;
    case u't':
        field.length = LengthModifier::PtrDiff;
        ++cursor;
        break;
    case u'I':
        if (cursor[1] == u'3' && cursor[2] == u'2') {
            field.length = LengthModifier::Int32;
            cursor += 3;
        } else if (cursor[1] == u'6' && cursor[2] == u'4') {
            field.length = LengthModifier::Int64;
            cursor += 3;
        } else {
            field.length = LengthModifier::Pointer;
            ++cursor;
        }
        break;
    default:
        break;
    }
    field.conversion = *cursor;
    return field;
}

int64_t FetchSigned(va_list& args, LengthModifier length)
{
    switch (length) {
    case LengthModifier::Char:
        return static_cast<signed char>(va_arg(args, int));
    case LengthModifier::Short:
        return static_cast<short>(va_arg(args, int));
    case LengthModifier::LongLong:
    case LengthModifier::LongDouble:
    case LengthModifier::Int64:
        return va_arg(args, long long);
    case LengthModifier::IntMax:
        return va_arg(args, intmax_t);
    case LengthModifier::Size:
    case LengthModifier::Pointer:
        return va_arg(args, std::make_signed_t<size_t>);
    case LengthModifier::PtrDiff:
        return va_arg(args, ptrdiff_t);
    default:
        return va_arg(args, int);
    }
}

uint64_t FetchUnsigned(va_list& args, LengthModifier length)
{
    switch (length) {
    case LengthModifier::Char:
        return static_cast<unsigned char>(va_arg(args, unsigned int));
    case LengthModifier::Short:
        return static_cast<unsigned short>(va_arg(args, unsigned int));
    case LengthModifier::LongLong:
    case LengthModifier::LongDouble:
    case LengthModifier::Int64:
        return va_arg(args, unsigned long long);
    case LengthModifier::IntMax:
        return va_arg(args, uintmax_t);
    case LengthModifier::Size:
    case LengthModifier::Pointer:
        return va_arg(args, size_t);
    case LengthModifier::PtrDiff:
        return static_cast<std::make_unsigned_t<ptrdiff_t>>(va_arg(args, ptrdiff_t));
    default:
        return va_arg(args, unsigned int);
    }
}

// Integers are formatted here rather than by the C library: their width and precision may be as
// large as the caller likes without anything but the output buffer being filled.
void PutInteger(WideWriter& out, const FieldFormat& field, uint64_t magnitude, bool negative)
{
    const char16_t conversion = field.conversion;
    const bool isSigned = conversion == u'd' || conversion == u'i';
    const unsigned base = conversion == u'o'                           ? 8
                          : (conversion == u'x' || conversion == u'X') ? 16
                                                                       : 10;
    const char* alphabet = conversion == u'X' ? "0123456789ABCDEF" : "0123456789abcdef";

    char digits[24]; // 22 octal digits for 64 bits; least significant first
    size_t digitCount = 0;
    for (uint64_t rest = magnitude; rest != 0; rest /= base) {
        digits[digitCount++] = alphabet[rest % base];
    }

    char16_t prefix[2];
    size_t prefixLength = 0;
    if (isSigned && negative) {
        prefix[prefixLength++] = u'-';
    } else if (isSigned && field.plus) {
        prefix[prefixLength++] = u'+';
    } else if (isSigned && field.space) {
        prefix[prefixLength++] = u' ';
    } else if (field.alternate && magnitude != 0 && base == 16) {
        prefix[prefixLength++] = u'0';
        prefix[prefixLength++] = conversion;
    }

    const size_t minimumDigits = field.precision < 0 ? 1 : static_cast<size_t>(field.precision);
    size_t zeros = minimumDigits > digitCount ? minimumDigits - digitCount : 0;
    if (field.alternate && base == 8 && zeros == 0 &&
        (digitCount == 0 || digits[digitCount - 1] != '0')) {
        zeros = 1; // the alternate octal form always starts with 0
    }
    const size_t body = prefixLength + zeros + digitCount;
    size_t padding = field.width > body ? field.width - body : 0;
    if (field.zero && !field.left && field.precision < 0) {
        zeros += padding;
        padding = 0;
    }

    if (!field.left) {
        out.Pad(padding, u' ');
    }
    out.Put(prefix, prefixLength);
    out.Pad(zeros, u'0');
    while (digitCount > 0 && !out.IsCut()) {
        out.Put(static_cast<char16_t>(digits[--digitCount]));
    }
    if (field.left) {
        out.Pad(padding, u' ');
    }
}

// Beyond this many digits every finite double and long double prints exactly, so a larger
// precision only adds zeros; they are added here instead of asking the C library for them.
constexpr int64_t kMaxExactPrecision = 16500;

void PutFloat(WideWriter& out, const FieldFormat& field, va_list& args)
{
    const bool isLongDouble = field.length == LengthModifier::LongDouble;
    const long double value = isLongDouble ? va_arg(args, long double) : va_arg(args, double);
    const char conversion = static_cast<char>(field.conversion);

    int64_t precision = field.precision;
    size_t extraZeros = 0;
    if (precision > kMaxExactPrecision) {
        const bool keepsTrailingZeros =
            !(conversion == 'g' || conversion == 'G') || field.alternate;
        if (std::isfinite(value) && keepsTrailingZeros) {
            extraZeros = static_cast<size_t>(precision - kMaxExactPrecision);
        }
        precision = kMaxExactPrecision;
    }

    std::string narrowField = "%";
    if (field.plus) {
        narrowField += '+';
    }
    if (field.space) {
        narrowField += ' ';
    }
    if (field.alternate) {
        narrowField += '#';
    }
    if (precision >= 0) {
        narrowField += '.';
        narrowField += std::to_string(precision);
    }
    if (isLongDouble) {
        narrowField += 'L';
    }
    narrowField += conversion;

    char small[128];
    std::string large;
    std::string_view text;
    const int needed = isLongDouble ? std::snprintf(small, sizeof small, narrowField.c_str(), value)
                                    : std::snprintf(small, sizeof small, narrowField.c_str(),
                                                    static_cast<double>(value));
    if (needed < 0) {
        return;
    }
    if (static_cast<size_t>(needed) < sizeof small) {
        text = std::string_view(small, static_cast<size_t>(needed));
    } else {
        large.resize(static_cast<size_t>(needed) + 1);
        if (isLongDouble) {
            std::snprintf(large.data(), large.size(), narrowField.c_str(), value);
        } else {
            std::snprintf(large.data(), large.size(), narrowField.c_str(),
                          static_cast<double>(value));
        }
        text = std::string_view(large.data(), static_cast<size_t>(needed));
    }

    // Zero padding goes after the sign and the 0x of the hexadecimal form, and extra zeros
    // before the exponent; infinities and NaN are padded with spaces only.
    size_t signLength = 0;
    if (!text.empty() && (text[0] == '-' || text[0] == '+' || text[0] == ' ')) {
        signLength = 1;
    }
    if ((conversion == 'a' || conversion == 'A') && text.size() >= signLength + 2 &&
        text[signLength] == '0' && (text[signLength + 1] | 0x20) == 'x') {
        signLength += 2;
    }
    size_t exponentAt = text.size();
    if (extraZeros > 0) {
        const std::string_view marks =
            (conversion == 'a' || conversion == 'A') ? std::string_view("pP") : "eE";
        exponentAt = std::min(text.find_first_of(marks), text.size());
    }

    const size_t body = text.size() + extraZeros;
    size_t padding = field.width > body ? field.width - body : 0;
    size_t zeros = 0;
    if (field.zero && !field.left && std::isfinite(value)) {
        zeros = padding;
        padding = 0;
    }
    if (!field.left) {
        out.Pad(padding, u' ');
    }
    out.PutAscii(text.substr(0, signLength));
    out.Pad(zeros, u'0');
    out.PutAscii(text.substr(signLength, exponentAt - signLength));
    out.Pad(extraZeros, u'0');
    out.PutAscii(text.substr(exponentAt));
    if (field.left) {
        out.Pad(padding, u' ');
    }
}

void PutPadded(WideWriter& out, const FieldFormat& field, const char16_t* text, size_t length)
{
    const size_t padding = field.width > length ? field.width - length : 0;
    if (!field.left) {
        out.Pad(padding, u' ');
    }
    out.Put(text, length);
    if (field.left) {
        out.Pad(padding, u' ');
    }
}

// A precision counts UTF-16 units and never ends between the two halves of a pair. Nothing
// beyond the precision is read (the text need not be terminated there), so a high surrogate on
// the last unit it allows is left out without looking at what follows it.
size_t UnitsWithin(const char16_t* text, int64_t precision)
{
    if (precision < 0) {
        return WideLength(text);
    }
    size_t length = WideLengthBounded(text, static_cast<size_t>(precision));
    if (length > 0 && length == static_cast<size_t>(precision) &&
        IsHighSurrogate(text[length - 1])) {
        --length;
    }
    return length;
}

// UTF-8 text converted sequence by sequence, so that with a precision no byte is read beyond
// what the output needs (the text need not be terminated then). Each byte that does not start a
// legal sequence becomes U+FFFD.
std::u16string WidenUtf8(const char* text, int64_t precision)
{
    const size_t maximum =
        precision < 0 ? std::numeric_limits<size_t>::max() : static_cast<size_t>(precision);
    std::u16string result;
    const char* cursor = text;
    while (result.size() < maximum && *cursor != 0) {
        const auto lead = static_cast<unsigned char>(*cursor);
        const size_t wanted = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        size_t available = 1;
        while (available < wanted && cursor[available] != 0) {
            ++available;
        }
        char16_t units[2];
        const char* source = cursor;
        char16_t* target = units;
        Utf8ToUtf16(&source, cursor + available, &target, units + 2, true);
        const auto converted = static_cast<size_t>(target - units);
        if (converted == 0) {
            result += kReplacementUnit;
            ++cursor;
            continue;
        }
        if (result.size() + converted > maximum) {
            break;
        }
        result.append(units, converted);
        cursor = source;
    }
    return result;
}

bool TakesNarrowText(const FieldFormat& field)
{
    switch (field.length) {
    case LengthModifier::Char:
    case LengthModifier::Short:
        return true;
    case LengthModifier::Long:
    case LengthModifier::LongLong:
        return false;
    default:
        return field.conversion == u'C' || field.conversion == u'S';
    }
}

void PutCharacter(WideWriter& out, const FieldFormat& field, va_list& args)
{
    const int value = va_arg(args, int);
    char16_t unit = static_cast<char16_t>(value);
    if (TakesNarrowText(field)) {
        // One byte holds a whole UTF-8 character only when it is ASCII.
        const auto byte = static_cast<unsigned char>(value);
        unit = byte < 0x80 ? byte : kReplacementUnit;
    }
    PutPadded(out, field, &unit, 1);
}

void PutString(WideWriter& out, const FieldFormat& field, va_list& args)
{
    if (TakesNarrowText(field)) {
        const char* text = va_arg(args, const char*);
        const std::u16string wide = WidenUtf8(text != nullptr ? text : "(null)", field.precision);
        PutPadded(out, field, wide.data(), wide.size());
        return;
    }
    const char16_t* text = va_arg(args, const char16_t*);
    if (text == nullptr) {
        text = u"(null)";
    }
    PutPadded(out, field, text, UnitsWithin(text, field.precision));
}

void PutPointer(WideWriter& out, const FieldFormat& field, va_list& args)
{
    // All the digits of the address, upper case, without a prefix.
    const auto address = reinterpret_cast<uintptr_t>(va_arg(args, void*));
    FieldFormat hexField;
    hexField.left = field.left;
    hexField.width = field.width;
    hexField.precision = static_cast<int64_t>(2 * sizeof(void*));
    hexField.conversion = u'X';
    PutInteger(out, hexField, address, false);
}

} // namespace

int32_t WideFormatV(char16_t* buffer, size_t capacity, const char16_t* format, va_list args)
{
    if (buffer == nullptr || capacity == 0) {
        return -1;
    }
    if (format == nullptr) {
        buffer[0] = 0;
        return -1;
    }
    WideWriter out(buffer, capacity);
    va_list work;
    va_copy(work, args);
    const char16_t* cursor = format;
    while (*cursor != 0 && !out.IsCut()) {
        if (*cursor != u'%') {
            out.Put(*cursor++);
            continue;
        }
        const char16_t* fieldStart = cursor++;
        const FieldFormat field = ParseField(cursor, work);
        switch (field.conversion) {
        case u'd':
        case u'i': {
            const int64_t value = FetchSigned(work, field.length);
            // The magnitude of the most negative value does not fit a signed integer.
            const uint64_t magnitude = value < 0 ? uint64_t{0} - static_cast<uint64_t>(value)
                                                 : static_cast<uint64_t>(value);
            PutInteger(out, field, magnitude, value < 0);
            break;
        }
        case u'u':
        case u'o':
        case u'x':
        case u'X':
            PutInteger(out, field, FetchUnsigned(work, field.length), false);
            break;
        case u'f':
        case u'F':
        case u'e':
        case u'E':
        case u'g':
        case u'G':
        case u'a':
        case u'A':
            PutFloat(out, field, work);
            break;
        case u'c':
        case u'C':
            PutCharacter(out, field, work);
            break;
        case u's':
        case u'S':
            PutString(out, field, work);
            break;
        case u'p':
            PutPointer(out, field, work);
            break;
        case u'n':
            // Writing through a pointer taken from the argument list is how format strings are
            // exploited; the argument is taken and nothing is stored.
            va_arg(work, void*);
            break;
        case u'%':
            out.Put(u'%');
            break;
        case 0:
            // The format ends inside a conversion: what there is of it is text.
            out.Put(fieldStart, static_cast<size_t>(cursor - fieldStart));
            continue;
        default:
            out.Put(fieldStart, static_cast<size_t>(cursor - fieldStart + 1));
            break;
        }
        ++cursor;
    }
    va_end(work);
    return out.Finish();
}

int32_t WideFormat(char16_t* buffer, size_t capacity, const char16_t* format, ...)
{
    va_list args;
    va_start(args, format);
    const int32_t written = WideFormatV(buffer, capacity, format, args);
    va_end(args);
    return written;
}

} // namespace SV
