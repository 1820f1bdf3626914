#include "Utilities/Storage/WideText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>
#include <string>
#include <string_view>

namespace SV {

namespace {

// ---------------------------------------------------------------------------------------------
// Case mapping

// Units first, first + step, ... up to last map to unit + delta.
struct CaseRun
{
    char16_t first;
    char16_t last;
    uint8_t step;
    int16_t delta;
};

// The simple (one unit to one unit) mappings of the Unicode character database, version 14, for
// Basic Latin, Latin-1 Supplement, Latin Extended-A and -B, Greek and Coptic, Cyrillic and its
// supplement, Armenian, Latin Extended Additional and the fullwidth forms, plus the letters
// elsewhere whose partner lies in those blocks (the Kelvin and Ohm signs, the long s, final
// sigma and the like). Mappings that need more than one unit (0xDF to "SS", 0x149) are left out,
// so those letters stay as they are; 0x130 lowers to 'i' and 0x131 uppers to 'I', while 'i' and
// 'I' keep their plain partners.
constexpr CaseRun kToLower[] = {
    {0x0041, 0x005A, 1, 32},     {0x00C0, 0x00D6, 1, 32},    {0x00D8, 0x00DE, 1, 32},
    {0x0100, 0x012E, 2, 1},      {0x0130, 0x0130, 1, -199},  {0x0132, 0x0136, 2, 1},
    {0x0139, 0x0147, 2, 1},      {0x014A, 0x0176, 2, 1},     {0x0178, 0x0178, 1, -121},
    {0x0179, 0x017D, 2, 1},      {0x0181, 0x0181, 1, 210},   {0x0182, 0x0184, 2, 1},
    {0x0186, 0x0186, 1, 206},    {0x0187, 0x0187, 1, 1},     {0x0189, 0x018A, 1, 205},
    {0x018B, 0x018B, 1, 1},      {0x018E, 0x018E, 1, 79},    {0x018F, 0x018F, 1, 202},
    {0x0190, 0x0190, 1, 203},    {0x0191, 0x0191, 1, 1},     {0x0193, 0x0193, 1, 205},
    {0x0194, 0x0194, 1, 207},    {0x0196, 0x0196, 1, 211},   {0x0197, 0x0197, 1, 209},
    {0x0198, 0x0198, 1, 1},      {0x019C, 0x019C, 1, 211},   {0x019D, 0x019D, 1, 213},
    {0x019F, 0x019F, 1, 214},    {0x01A0, 0x01A4, 2, 1},     {0x01A6, 0x01A6, 1, 218},
    {0x01A7, 0x01A7, 1, 1},      {0x01A9, 0x01A9, 1, 218},   {0x01AC, 0x01AC, 1, 1},
    {0x01AE, 0x01AE, 1, 218},    {0x01AF, 0x01AF, 1, 1},     {0x01B1, 0x01B2, 1, 217},
    {0x01B3, 0x01B5, 2, 1},      {0x01B7, 0x01B7, 1, 219},   {0x01B8, 0x01B8, 1, 1},
    {0x01BC, 0x01BC, 1, 1},      {0x01C4, 0x01C4, 1, 2},     {0x01C5, 0x01C5, 1, 1},
    {0x01C7, 0x01C7, 1, 2},      {0x01C8, 0x01C8, 1, 1},     {0x01CA, 0x01CA, 1, 2},
    {0x01CB, 0x01DB, 2, 1},      {0x01DE, 0x01EE, 2, 1},     {0x01F1, 0x01F1, 1, 2},
    {0x01F2, 0x01F4, 2, 1},      {0x01F6, 0x01F6, 1, -97},   {0x01F7, 0x01F7, 1, -56},
    {0x01F8, 0x021E, 2, 1},      {0x0220, 0x0220, 1, -130},  {0x0222, 0x0232, 2, 1},
    {0x023A, 0x023A, 1, 10795},  {0x023B, 0x023B, 1, 1},     {0x023D, 0x023D, 1, -163},
    {0x023E, 0x023E, 1, 10792},  {0x0241, 0x0241, 1, 1},     {0x0243, 0x0243, 1, -195},
    {0x0244, 0x0244, 1, 69},     {0x0245, 0x0245, 1, 71},    {0x0246, 0x024E, 2, 1},
    {0x0370, 0x0372, 2, 1},      {0x0376, 0x0376, 1, 1},     {0x037F, 0x037F, 1, 116},
    {0x0386, 0x0386, 1, 38},     {0x0388, 0x038A, 1, 37},    {0x038C, 0x038C, 1, 64},
    {0x038E, 0x038F, 1, 63},     {0x0391, 0x03A1, 1, 32},    {0x03A3, 0x03AB, 1, 32},
    {0x03CF, 0x03CF, 1, 8},      {0x03D8, 0x03EE, 2, 1},     {0x03F4, 0x03F4, 1, -60},
    {0x03F7, 0x03F7, 1, 1},      {0x03F9, 0x03F9, 1, -7},    {0x03FA, 0x03FA, 1, 1},
    {0x03FD, 0x03FF, 1, -130},   {0x0400, 0x040F, 1, 80},    {0x0410, 0x042F, 1, 32},
    {0x0460, 0x0480, 2, 1},      {0x048A, 0x04BE, 2, 1},     {0x04C0, 0x04C0, 1, 15},
    {0x04C1, 0x04CD, 2, 1},      {0x04D0, 0x052E, 2, 1},     {0x0531, 0x0556, 1, 48},
    {0x1E00, 0x1E94, 2, 1},      {0x1E9E, 0x1E9E, 1, -7615}, {0x1EA0, 0x1EFE, 2, 1},
    {0x2126, 0x2126, 1, -7517},  {0x212A, 0x212A, 1, -8383}, {0x212B, 0x212B, 1, -8262},
    {0x2C7E, 0x2C7F, 1, -10815}, {0xFF21, 0xFF3A, 1, 32},
};

constexpr CaseRun kToUpper[] = {
    {0x0061, 0x007A, 1, -32},   {0x00B5, 0x00B5, 1, 743},    {0x00E0, 0x00F6, 1, -32},
    {0x00F8, 0x00FE, 1, -32},   {0x00FF, 0x00FF, 1, 121},    {0x0101, 0x012F, 2, -1},
    {0x0131, 0x0131, 1, -232},  {0x0133, 0x0137, 2, -1},     {0x013A, 0x0148, 2, -1},
    {0x014B, 0x0177, 2, -1},    {0x017A, 0x017E, 2, -1},     {0x017F, 0x017F, 1, -300},
    {0x0180, 0x0180, 1, 195},   {0x0183, 0x0185, 2, -1},     {0x0188, 0x0188, 1, -1},
    {0x018C, 0x018C, 1, -1},    {0x0192, 0x0192, 1, -1},     {0x0195, 0x0195, 1, 97},
    {0x0199, 0x0199, 1, -1},    {0x019A, 0x019A, 1, 163},    {0x019E, 0x019E, 1, 130},
    {0x01A1, 0x01A5, 2, -1},    {0x01A8, 0x01A8, 1, -1},     {0x01AD, 0x01AD, 1, -1},
    {0x01B0, 0x01B0, 1, -1},    {0x01B4, 0x01B6, 2, -1},     {0x01B9, 0x01B9, 1, -1},
    {0x01BD, 0x01BD, 1, -1},    {0x01BF, 0x01BF, 1, 56},     {0x01C5, 0x01C5, 1, -1},
    {0x01C6, 0x01C6, 1, -2},    {0x01C8, 0x01C8, 1, -1},     {0x01C9, 0x01C9, 1, -2},
    {0x01CB, 0x01CB, 1, -1},    {0x01CC, 0x01CC, 1, -2},     {0x01CE, 0x01DC, 2, -1},
    {0x01DD, 0x01DD, 1, -79},   {0x01DF, 0x01EF, 2, -1},     {0x01F2, 0x01F2, 1, -1},
    {0x01F3, 0x01F3, 1, -2},    {0x01F5, 0x01F5, 1, -1},     {0x01F9, 0x021F, 2, -1},
    {0x0223, 0x0233, 2, -1},    {0x023C, 0x023C, 1, -1},     {0x023F, 0x0240, 1, 10815},
    {0x0242, 0x0242, 1, -1},    {0x0247, 0x024F, 2, -1},     {0x0253, 0x0253, 1, -210},
    {0x0254, 0x0254, 1, -206},  {0x0256, 0x0257, 1, -205},   {0x0259, 0x0259, 1, -202},
    {0x025B, 0x025B, 1, -203},  {0x0260, 0x0260, 1, -205},   {0x0263, 0x0263, 1, -207},
    {0x0268, 0x0268, 1, -209},  {0x0269, 0x0269, 1, -211},   {0x026F, 0x026F, 1, -211},
    {0x0272, 0x0272, 1, -213},  {0x0275, 0x0275, 1, -214},   {0x0280, 0x0280, 1, -218},
    {0x0283, 0x0283, 1, -218},  {0x0288, 0x0288, 1, -218},   {0x0289, 0x0289, 1, -69},
    {0x028A, 0x028B, 1, -217},  {0x028C, 0x028C, 1, -71},    {0x0292, 0x0292, 1, -219},
    {0x0345, 0x0345, 1, 84},    {0x0371, 0x0373, 2, -1},     {0x0377, 0x0377, 1, -1},
    {0x037B, 0x037D, 1, 130},   {0x03AC, 0x03AC, 1, -38},    {0x03AD, 0x03AF, 1, -37},
    {0x03B1, 0x03C1, 1, -32},   {0x03C2, 0x03C2, 1, -31},    {0x03C3, 0x03CB, 1, -32},
    {0x03CC, 0x03CC, 1, -64},   {0x03CD, 0x03CE, 1, -63},    {0x03D0, 0x03D0, 1, -62},
    {0x03D1, 0x03D1, 1, -57},   {0x03D5, 0x03D5, 1, -47},    {0x03D6, 0x03D6, 1, -54},
    {0x03D7, 0x03D7, 1, -8},    {0x03D9, 0x03EF, 2, -1},     {0x03F0, 0x03F0, 1, -86},
    {0x03F1, 0x03F1, 1, -80},   {0x03F2, 0x03F2, 1, 7},      {0x03F3, 0x03F3, 1, -116},
    {0x03F5, 0x03F5, 1, -96},   {0x03F8, 0x03F8, 1, -1},     {0x03FB, 0x03FB, 1, -1},
    {0x0430, 0x044F, 1, -32},   {0x0450, 0x045F, 1, -80},    {0x0461, 0x0481, 2, -1},
    {0x048B, 0x04BF, 2, -1},    {0x04C2, 0x04CE, 2, -1},     {0x04CF, 0x04CF, 1, -15},
    {0x04D1, 0x052F, 2, -1},    {0x0561, 0x0586, 1, -48},    {0x1C80, 0x1C80, 1, -6254},
    {0x1C81, 0x1C81, 1, -6253}, {0x1C82, 0x1C82, 1, -6244},  {0x1C83, 0x1C84, 1, -6242},
    {0x1C85, 0x1C85, 1, -6243}, {0x1C86, 0x1C86, 1, -6236},  {0x1C87, 0x1C87, 1, -6181},
    {0x1E01, 0x1E95, 2, -1},    {0x1E9B, 0x1E9B, 1, -59},    {0x1EA1, 0x1EFF, 2, -1},
    {0x1FBE, 0x1FBE, 1, -7205}, {0x2C65, 0x2C65, 1, -10795}, {0x2C66, 0x2C66, 1, -10792},
    {0xFF41, 0xFF5A, 1, -32},
};

template <size_t N>
constexpr bool IsOrderedAndDisjoint(const CaseRun (&runs)[N])
{
    for (size_t index = 0; index < N; ++index) {
        const CaseRun& run = runs[index];
        if (run.first > run.last || run.step == 0 || (run.last - run.first) % run.step != 0) {
            return false;
        }
        if (index > 0 && runs[index - 1].last >= run.first) {
            return false;
        }
    }
    return true;
}

// The lookup is a binary search; it needs the runs sorted and apart.
static_assert(IsOrderedAndDisjoint(kToLower));
static_assert(IsOrderedAndDisjoint(kToUpper));

template <size_t N>
char16_t MapCase(const CaseRun (&runs)[N], char16_t unit)
{
    const CaseRun* run =
        std::upper_bound(std::begin(runs), std::end(runs), unit,
                         [](char16_t value, const CaseRun& entry) { return value < entry.first; });
    if (run == std::begin(runs)) {
        return unit;
    }
    --run;
    if (unit > run->last || (unit - run->first) % run->step != 0) {
        return unit;
    }
    return static_cast<char16_t>(unit + run->delta);
}

// ---------------------------------------------------------------------------------------------
// Number parsing

const char16_t* SkipWideSpace(const char16_t* text)
{
    while (IsWideSpace(*text)) {
        ++text;
    }
    return text;
}

constexpr bool IsAsciiDigit(char16_t unit)
{
    return unit >= u'0' && unit <= u'9';
}

constexpr bool IsAsciiHexDigit(char unit)
{
    return (unit >= '0' && unit <= '9') || (unit >= 'a' && unit <= 'f') ||
           (unit >= 'A' && unit <= 'F');
}

// Characters that can belong to a floating-point number, "inf", "nan(...)" and hexadecimal forms.
constexpr bool IsNumberUnit(char16_t unit)
{
    return (unit >= u'0' && unit <= u'9') || (unit >= u'a' && unit <= u'z') ||
           (unit >= u'A' && unit <= u'Z') || unit == u'.' || unit == u'+' || unit == u'-' ||
           unit == u'_' || unit == u'(' || unit == u')';
}

// Decides whether a number std::from_chars found out of range is too large (true) or too small.
// Such a number lies beyond 1e308 or below 1e-323, so the sign of its decimal (or binary, for
// hexadecimal digits) order is enough: the position of the first significant digit against the
// point, plus the exponent.
bool IsOverflow(std::string_view number, bool hexadecimal)
{
    const int64_t digitWeight = hexadecimal ? 4 : 1;
    const char exponentMark = hexadecimal ? 'p' : 'e';
    size_t position = 0;
    int64_t order = 0;
    bool seenSignificant = false;
    bool afterPoint = false;
    for (; position < number.size(); ++position) {
        const char unit = number[position];
        if (unit == '.') {
            afterPoint = true;
            continue;
        }
        if (!(hexadecimal ? IsAsciiHexDigit(unit) : (unit >= '0' && unit <= '9'))) {
            break;
        }
        if (unit != '0') {
            seenSignificant = true;
        }
        if (!afterPoint && seenSignificant) {
            order += digitWeight;
        } else if (afterPoint && !seenSignificant) {
            order -= digitWeight;
        }
    }
    int64_t exponent = 0;
    if (position < number.size() && (number[position] | 0x20) == exponentMark) {
        ++position;
        bool negative = false;
        if (position < number.size() && (number[position] == '+' || number[position] == '-')) {
            negative = number[position] == '-';
            ++position;
        }
        for (; position < number.size() && number[position] >= '0' && number[position] <= '9';
             ++position) {
            exponent = std::min<int64_t>(exponent * 10 + (number[position] - '0'), 1'000'000'000);
        }
        if (negative) {
            exponent = -exponent;
        }
    }
    return order + exponent > 0;
}

} // namespace

// The separators of Unicode that break a line or a word. The no-break spaces (0xA0, 0x2007,
// 0x202F) are not white space here: they belong to the text they bind.
bool IsWideSpace(char16_t unit)
{
    return (unit >= 0x09 && unit <= 0x0D) || unit == 0x20 || unit == 0x85 || unit == 0x1680 ||
           (unit >= 0x2000 && unit <= 0x2006) || (unit >= 0x2008 && unit <= 0x200A) ||
           unit == 0x2028 || unit == 0x2029 || unit == 0x205F || unit == 0x3000;
}

bool IsWidePrintable(char16_t unit)
{
    const bool control = unit < 0x20 || (unit >= 0x7F && unit <= 0x9F);
    const bool separator = unit == 0x2028 || unit == 0x2029;
    const bool surrogate = unit >= 0xD800 && unit <= 0xDFFF;
    const bool nonCharacter = (unit >= 0xFDD0 && unit <= 0xFDEF) || unit >= 0xFFFE;
    return !control && !separator && !surrogate && !nonCharacter;
}

size_t WideLength(const char16_t* text)
{
    if (text == nullptr) {
        return 0;
    }
    size_t length = 0;
    while (text[length] != 0) {
        ++length;
    }
    return length;
}

size_t WideLengthBounded(const char16_t* text, size_t maxUnits)
{
    if (text == nullptr) {
        return 0;
    }
    size_t length = 0;
    while (length < maxUnits && text[length] != 0) {
        ++length;
    }
    return length;
}

char16_t WideToLower(char16_t unit)
{
    if (unit < 0x80) {
        return unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit + 0x20) : unit;
    }
    return MapCase(kToLower, unit);
}

char16_t WideToUpper(char16_t unit)
{
    if (unit < 0x80) {
        return unit >= u'a' && unit <= u'z' ? static_cast<char16_t>(unit - 0x20) : unit;
    }
    return MapCase(kToUpper, unit);
}

int32_t WideCompareIgnoreCase(const char16_t* first, const char16_t* second)
{
    const char16_t* a = first != nullptr ? first : u"";
    const char16_t* b = second != nullptr ? second : u"";
    for (;; ++a, ++b) {
        const int32_t difference = int32_t(WideToLower(*a)) - int32_t(WideToLower(*b));
        if (difference != 0 || *a == 0) {
            return difference;
        }
    }
}

int32_t WideToInt(const char16_t* text)
{
    if (text == nullptr) {
        return 0;
    }
    const char16_t* cursor = SkipWideSpace(text);
    bool negative = false;
    if (*cursor == u'+' || *cursor == u'-') {
        negative = *cursor == u'-';
        ++cursor;
    }
    const int64_t limit = negative ? -static_cast<int64_t>(std::numeric_limits<int32_t>::min())
                                   : std::numeric_limits<int32_t>::max();
    int64_t magnitude = 0;
    for (; IsAsciiDigit(*cursor); ++cursor) {
        magnitude = std::min(magnitude * 10 + (*cursor - u'0'), limit);
    }
    return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

double WideToDouble(const char16_t* text)
{
    if (text == nullptr) {
        return 0.0;
    }
    const char16_t* cursor = SkipWideSpace(text);
    bool negative = false;
    if (*cursor == u'+' || *cursor == u'-') {
        negative = *cursor == u'-';
        ++cursor;
    }
    // std::from_chars reads numbers the same way in every locale; it takes neither white space
    // nor a '+', which were dealt with above, and must not see a second sign.
    std::string narrow;
    for (; IsNumberUnit(*cursor); ++cursor) {
        narrow += static_cast<char>(*cursor);
    }
    if (narrow.empty() || narrow[0] == '+' || narrow[0] == '-') {
        return 0.0;
    }

    const char* first = narrow.data();
    const char* last = first + narrow.size();
    std::chars_format format = std::chars_format::general;
    const bool hexadecimal =
        narrow.size() > 2 && narrow[0] == '0' && (narrow[1] | 0x20) == 'x' &&
        (IsAsciiHexDigit(narrow[2]) ||
         (narrow[2] == '.' && narrow.size() > 3 && IsAsciiHexDigit(narrow[3])));
    if (hexadecimal) {
        first += 2;
        format = std::chars_format::hex;
    }
    double value = 0.0;
    const std::from_chars_result parsed = std::from_chars(first, last, value, format);
    if (parsed.ec == std::errc::result_out_of_range) {
        const std::string_view number(first, static_cast<size_t>(parsed.ptr - first));
        value = IsOverflow(number, hexadecimal) ? HUGE_VAL : 0.0;
    } else if (parsed.ec != std::errc()) {
        value = 0.0;
    }
    return negative ? -value : value;
}

} // namespace SV
