// Text from outside (files, settings, MIDI port names, command lines) through the converters,
// the strings and the formatter. The first byte picks what the rest of the input is fed to.

#include "FuzzCheck.h"
#include "ResultCodes.h"
#include "Utilities/Storage/StringArray.h"
#include "Utilities/Storage/StringT.h"
#include "Utilities/Storage/TextEncoding.h"
#include "Utilities/Storage/WideFormat.h"
#include "Utilities/Storage/WideText.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using SV::ConversionResult;

// A copy in a block of exactly its size, so that a read past it is caught.
template <class T>
std::unique_ptr<T[]> Exact(const T* data, size_t count)
{
    auto copy = std::make_unique<T[]>(count);
    std::copy(data, data + count, copy.get());
    return copy;
}

size_t CountAscii(const char* bytes, size_t count)
{
    return static_cast<size_t>(
        std::count_if(bytes, bytes + count, [](char byte) { return (byte & 0x80) == 0; }));
}

size_t CountAscii(const char16_t* units, size_t count)
{
    return static_cast<size_t>(
        std::count_if(units, units + count, [](char16_t unit) { return unit < 0x80; }));
}

void FromUtf8(const char* bytes, size_t size, size_t room)
{
    for (const bool lenient : {false, true}) {
        const auto source = Exact(bytes, size);
        const auto target = std::make_unique<char16_t[]>(room);
        const char* sourceCursor = source.get();
        char16_t* targetCursor = target.get();
        const ConversionResult result = SV::Utf8ToUtf16(
            &sourceCursor, source.get() + size, &targetCursor, target.get() + room, lenient);
        SV_FUZZ_CHECK(result >= SV::kConversionOk && result <= SV::kSourceIllegal);
        SV_FUZZ_CHECK(sourceCursor >= source.get() && sourceCursor <= source.get() + size);
        SV_FUZZ_CHECK(targetCursor >= target.get() && targetCursor <= target.get() + room);
        const auto consumed = static_cast<size_t>(sourceCursor - source.get());
        const auto produced = static_cast<size_t>(targetCursor - target.get());
        SV_FUZZ_CHECK(result != SV::kConversionOk || consumed == size);
        // Every ASCII byte read is an ASCII character of its own, and nothing else is.
        SV_FUZZ_CHECK(CountAscii(source.get(), consumed) == CountAscii(target.get(), produced));

        // What was read is legal UTF-8, so it comes back byte for byte.
        std::vector<char> back(consumed + 1);
        const char16_t* unitCursor = target.get();
        char* backCursor = back.data();
        SV_FUZZ_CHECK(SV::Utf16ToUtf8(&unitCursor, targetCursor, &backCursor,
                                      back.data() + back.size(), false) == SV::kConversionOk);
        SV_FUZZ_CHECK(static_cast<size_t>(backCursor - back.data()) == consumed);
        SV_FUZZ_CHECK(std::memcmp(back.data(), source.get(), consumed) == 0);
    }
    for (int32_t length = 1; length <= 4 && static_cast<size_t>(length) <= size; ++length) {
        const auto prefix = Exact(reinterpret_cast<const uint8_t*>(bytes), length);
        SV::IsLegalUtf8(prefix.get(), length);
    }
}

void FromUtf16(const char16_t* units, size_t count, size_t room)
{
    for (const bool lenient : {false, true}) {
        const auto source = Exact(units, count);
        const auto target = std::make_unique<char[]>(room);
        const char16_t* sourceCursor = source.get();
        char* targetCursor = target.get();
        const ConversionResult result = SV::Utf16ToUtf8(
            &sourceCursor, source.get() + count, &targetCursor, target.get() + room, lenient);
        SV_FUZZ_CHECK(result >= SV::kConversionOk && result <= SV::kSourceIllegal);
        SV_FUZZ_CHECK(sourceCursor >= source.get() && sourceCursor <= source.get() + count);
        SV_FUZZ_CHECK(targetCursor >= target.get() && targetCursor <= target.get() + room);
        const auto consumed = static_cast<size_t>(sourceCursor - source.get());
        const auto produced = static_cast<size_t>(targetCursor - target.get());
        SV_FUZZ_CHECK(CountAscii(source.get(), consumed) == CountAscii(target.get(), produced));
        if (!lenient) {
            // Strictly converted text is well-formed and comes back unit for unit.
            std::vector<char16_t> back(consumed + 1);
            const char* byteCursor = target.get();
            char16_t* backCursor = back.data();
            SV_FUZZ_CHECK(SV::Utf8ToUtf16(&byteCursor, targetCursor, &backCursor,
                                          back.data() + back.size(), false) == SV::kConversionOk);
            SV_FUZZ_CHECK(static_cast<size_t>(backCursor - back.data()) == consumed);
            SV_FUZZ_CHECK(std::equal(back.data(), backCursor, source.get()));
        }
    }
}

void Strings(const char* bytes, size_t size)
{
    SV::WideString wide;
    const int32_t result = wide.AssignUtf8(Exact(bytes, size).get(), static_cast<int32_t>(size));
    SV_FUZZ_CHECK(result == S_OK || result == E_FAIL);
    SV::WideString narrowed;
    narrowed.AssignNarrow(bytes, static_cast<int32_t>(size));

    const SV::NarrowString narrow = wide.ToNarrow();
    SV::WideString again;
    // Text the strings hold converts back to itself.
    SV_FUZZ_CHECK(again.AssignUtf8(narrow.GetText(), -1) == S_OK || wide.IsEmpty());
    SV_FUZZ_CHECK(again.Equals(wide));

    wide.ToInt();
    wide.ToDouble();
    wide.ToLower();
    SV::WideStringArray parts;
    SV_FUZZ_CHECK(wide.Split(u",;", parts) >= 1);
    SV_FUZZ_CHECK(wide.TrimRight(u" \t\r\n").GetLength() <= wide.GetLength());
    const int32_t length = wide.GetLength();
    if (length > 0) {
        const SV::WideString tail = wide.Mid(length / 2, length);
        SV_FUZZ_CHECK(wide.Find(tail) >= 0 && wide.Find(tail) <= length / 2);
    }
}

// One field of a format per 4 bytes of the input (flags; width; precision; conversion and
// length), formatted with the argument its conversion takes. Text arguments are the rest of the
// input, not terminated where a precision bounds them, so a read past the precision shows.
template <class... Args>
int32_t FormatField(char16_t* buffer, size_t capacity, const std::u16string& format, int stars,
                    int star, Args... args)
{
    switch (stars) {
    case 0:
        return SV::WideFormat(buffer, capacity, format.c_str(), args...);
    case 1:
        return SV::WideFormat(buffer, capacity, format.c_str(), star, args...);
    default:
        return SV::WideFormat(buffer, capacity, format.c_str(), star, star, args...);
    }
}

void Format(const uint8_t* data, size_t size)
{
    static const char16_t kFlags[] = u"-+ #0";
    static const char16_t kConversions[] = u"diuoxXfeEgGaAcCsSp%";
    for (size_t offset = 0; offset + 4 <= size; offset += 4) {
        const uint8_t* field = data + offset;
        std::u16string format = u"<%";
        for (int flag = 0; flag < 5; ++flag) {
            if ((field[0] >> flag & 1) != 0) {
                format += kFlags[flag];
            }
        }
        const int star = static_cast<int8_t>(field[0] & 0xE0) / 8;
        int stars = 0;
        int64_t precision = -1;
        if (field[1] % 3 == 1) {
            format += char16_t(u'1' + field[1] % 9);
        } else if (field[1] % 3 == 2) {
            format += u'*';
            ++stars;
        }
        if (field[2] % 3 == 1) {
            precision = field[2] / 3 % 10;
            format += u'.';
            format += char16_t(u'0' + precision);
        } else if (field[2] % 3 == 2) {
            format += u".*";
            ++stars;
            precision = star < 0 ? -1 : star;
        }
        const char16_t conversion = kConversions[field[3] % 19];
        const int lengthPick = field[3] / 19 % 4;
        const bool narrowText = conversion == u'S' || (conversion == u's' && lengthPick == 1);
        if (conversion == u's' && lengthPick == 1) {
            format += u'h';
        }
        const bool integer =
            std::u16string_view(u"diuoxX").find(conversion) != std::u16string::npos;
        if (integer && lengthPick == 1) {
            format += u"ll";
        } else if (integer && lengthPick == 2) {
            format += u"I64";
        }
        const bool real = std::u16string_view(u"feEgGaA").find(conversion) != std::u16string::npos;
        const bool longReal = real && lengthPick == 3;
        if (longReal) {
            format += u'L';
        }
        format += conversion;
        format += u'>';

        const uint8_t* rest = field + 4;
        const size_t restSize = size - offset - 4;
        char16_t buffer[300];
        const size_t capacity = 1 + field[1] % 300;
        int32_t written = 0;
        if (narrowText) {
            // Without a terminator when the precision ends the text. The precision counts
            // characters, so only ASCII text is sure to end within as many bytes; any other
            // text may be read further, as C's wide printf reads it, and is terminated.
            const bool bounded =
                precision >= 0 && static_cast<size_t>(precision) <= restSize &&
                std::all_of(rest, rest + precision, [](uint8_t byte) { return byte < 0x80; });
            std::string text(reinterpret_cast<const char*>(rest), restSize);
            const size_t units = bounded ? static_cast<size_t>(precision) : restSize + 1;
            const auto copy = Exact(text.c_str(), units);
            written = FormatField(buffer, capacity, format, stars, star, copy.get());
        } else if (conversion == u's') {
            std::u16string text;
            for (size_t index = 0; index + 1 < restSize; index += 2) {
                text += static_cast<char16_t>(rest[index] | rest[index + 1] << 8);
            }
            const bool bounded = precision >= 0 && static_cast<size_t>(precision) <= text.size();
            const size_t units = bounded ? static_cast<size_t>(precision) : text.size() + 1;
            const auto copy = Exact(text.c_str(), units);
            written = FormatField(buffer, capacity, format, stars, star, copy.get());
        } else if (real) {
            double value = 0;
            std::memcpy(&value, rest, std::min<size_t>(restSize, sizeof value));
            written = longReal ? FormatField(buffer, capacity, format, stars, star,
                                             static_cast<long double>(value))
                               : FormatField(buffer, capacity, format, stars, star, value);
        } else if (integer && lengthPick != 0 && lengthPick != 3) {
            long long value = 0;
            std::memcpy(&value, rest, std::min<size_t>(restSize, sizeof value));
            written = FormatField(buffer, capacity, format, stars, star, value);
        } else if (conversion == u'p') {
            written = FormatField(buffer, capacity, format, stars, star,
                                  reinterpret_cast<void*>(uintptr_t{field[3]}));
        } else if (conversion == u'%') {
            written = FormatField(buffer, capacity, format, stars, star);
        } else {
            int value = 0;
            std::memcpy(&value, rest, std::min<size_t>(restSize, sizeof value));
            written = FormatField(buffer, capacity, format, stars, star, value);
        }
        SV_FUZZ_CHECK(written >= -1 && written < static_cast<int32_t>(capacity));
        // %c of 0 writes a 0 into the text, as the C library's does.
        const bool character = conversion == u'c' || conversion == u'C';
        SV_FUZZ_CHECK(written < 0 || character ||
                      SV::WideLength(buffer) == static_cast<size_t>(written));
        SV_FUZZ_CHECK(SV::WideLength(buffer) < capacity);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2 || size > 4096) {
        return 0;
    }
    const uint8_t mode = data[0];
    const auto room = static_cast<size_t>(data[1]);
    const auto* bytes = reinterpret_cast<const char*>(data + 2);
    const size_t count = size - 2;
    switch (mode % 4) {
    case 0:
        FromUtf8(bytes, count, room);
        break;
    case 1: {
        std::vector<char16_t> units(count / 2);
        for (size_t index = 0; index < units.size(); ++index) {
            units[index] = static_cast<char16_t>(data[2 + 2 * index] | data[3 + 2 * index] << 8);
        }
        FromUtf16(units.data(), units.size(), room);
        break;
    }
    case 2:
        Strings(bytes, count);
        break;
    default:
        Format(data + 2, count);
        break;
    }
    return 0;
}
