#include "Utilities/Storage/StringT.h"

#include "ObjectBase/Exception.h"
#include "ResultCodes.h"
#include "Utilities/Storage/TextEncoding.h"
#include "Utilities/Storage/WideFormat.h"
#include "Utilities/Storage/WideText.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <memory>

namespace SV {
namespace {

// Formatted text must stay below this many characters, terminator included.
constexpr size_t kFormatArea = 0x4000;
// Larger texts would overflow the 32-bit byte sizes of the buffers.
constexpr uint32_t kMaxChars = 0x3FFFFFFF;

[[noreturn]] void ThrowLockFailed()
{
    throw Exception<std::runtime_error>(
        "Runtime Error : SV::StringT<wchar_t,char>::Lock : utilities\\Storage/StringT : Line 760");
}

} // namespace

template <class C, class O>
StringT<C, O>::StringT(EmptyTag) : mBuffer(NewSharedBuffer(sizeof(C), 0, true))
{}

template <class C, class O>
const StringT<C, O>& StringT<C, O>::SharedEmpty()
{
    // Built on first use so that strings in other static objects can rely on it; every empty
    // string refers to this one buffer. Never destroyed: threads that outlive main (a pool's
    // workers) and static destructors still make empty strings while the process exits.
    static const StringT* const empty = new StringT(EmptyTag{});
    return *empty;
}

template <class C, class O>
uint32_t StringT<C, O>::TextLength(const C* text, uint32_t maxChars)
{
    if constexpr (kWide) {
        return static_cast<uint32_t>(WideLengthBounded(text, maxChars));
    } else {
        return static_cast<uint32_t>(strnlen(text, maxChars));
    }
}

template <class C, class O>
StringT<C, O>::StringT() : mBuffer(SharedEmpty().mBuffer)
{}

template <class C, class O>
StringT<C, O>::StringT(const StringT& other)
    : mBuffer(other.IsLocked() ? SharedEmpty().mBuffer : other.mBuffer)
{
    if (other.IsLocked()) {
        Assign(other.GetText());
    }
}

template <class C, class O>
StringT<C, O>::StringT(const C* text) : StringT()
{
    Assign(text);
}

template <class C, class O>
StringT<C, O>::StringT(C character)
{
    if constexpr (!kWide) {
        if (character == 0) {
            mBuffer = SharedEmpty().mBuffer;
            return;
        }
    }
    const uint32_t chars = character == 0 ? 1 : 2;
    mBuffer = NewSharedBuffer(chars * sizeof(C), 0, true);
    Data()[0] = character;
}

template <class C, class O>
StringT<C, O>::StringT(const O* text) : StringT()
{
    if constexpr (kWide) {
        AssignUtf8(text, -1);
    } else {
        AssignUtf16(text, -1);
    }
}

template <class C, class O>
StringT<C, O>::StringT(const StringT<O, C>& other) : StringT(other.GetText())
{}

template <class C, class O>
StringT<C, O>& StringT<C, O>::operator=(const StringT& other)
{
    // A locked buffer is copied by its text: a clone of the whole locked area would carry the
    // zeros after the text into the length.
    if (IsLocked() || other.IsLocked()) {
        if (this != &other) {
            Assign(other.GetText());
        }
    } else {
        mBuffer = other.mBuffer;
    }
    return *this;
}

template <class C, class O>
StringT<C, O>& StringT<C, O>::operator=(const C* text)
{
    Assign(text);
    return *this;
}

template <class C, class O>
bool StringT<C, O>::IsLocked() const
{
    return !mBuffer->IsShareable();
}

template <class C, class O>
int32_t StringT<C, O>::GetLength() const
{
    const uint32_t chars = mBuffer->GetSize() / sizeof(C);
    if (IsLocked()) {
        return static_cast<int32_t>(TextLength(Data(), chars));
    }
    return chars == 0 ? 0 : static_cast<int32_t>(chars - 1);
}

template <class C, class O>
uint32_t StringT<C, O>::GetBufferSize() const
{
    return mBuffer->GetSize();
}

template <class C, class O>
bool StringT<C, O>::IsEmpty() const
{
    return Data()[0] == 0;
}

template <class C, class O>
const C* StringT<C, O>::GetText() const
{
    return Data();
}

template <class C, class O>
void StringT<C, O>::Assign(const C* text, uint32_t maxChars)
{
    uint32_t length = text == nullptr ? 0 : TextLength(text, std::min(maxChars, kMaxChars));
    if (length == 0) {
        Clear();
        return;
    }
    if (IsLocked()) {
        // The text goes into the locked area in place, cut to what the area holds.
        const uint32_t capacity = mBuffer->GetSize() / sizeof(C);
        length = std::min(length, capacity - 1);
        std::memmove(Data(), text, length * sizeof(C));
        Data()[length] = 0;
        return;
    }
    RCPtr<LIBuffer> buffer = NewSharedBuffer((length + 1) * sizeof(C), 0, true);
    std::memcpy(buffer->GetData(), text, length * sizeof(C));
    mBuffer = buffer;
}

template <class C, class O>
void StringT<C, O>::Clear()
{
    if (IsLocked()) {
        Data()[0] = 0;
    } else {
        mBuffer = SharedEmpty().mBuffer;
    }
}

template <class C, class O>
C* StringT<C, O>::Lock(uint32_t chars)
{
    if (IsLocked()) {
        return nullptr;
    }
    const uint32_t oldSize = mBuffer->GetSize();
    if (chars == 0) {
        chars = static_cast<uint32_t>(GetLength()) + 1;
    }
    if (chars > kMaxChars) {
        ThrowLockFailed();
    }
    const uint32_t bytes = chars * sizeof(C);
    if (mBuffer->GetRefCount() > 1) {
        RCPtr<LIBuffer> copy = mBuffer->CreateResizedCopy(bytes, 0);
        if (!copy || copy->GetSize() != bytes) {
            ThrowLockFailed();
        }
        mBuffer = copy;
    }
    mBuffer->SetUnshareable(true);
    if (mBuffer->SetSize(bytes) != bytes) {
        mBuffer->SetUnshareable(false);
        ThrowLockFailed();
    }
    if (bytes > oldSize) {
        // Grown in place: the new area reads as zeros, like a fresh copy would.
        mBuffer->Fill(0, oldSize, -1);
    }
    Data()[chars - 1] = 0;
    return Data();
}

template <class C, class O>
int32_t StringT<C, O>::Unlock()
{
    if (!IsLocked()) {
        return S_FALSE;
    }
    const uint32_t length = static_cast<uint32_t>(GetLength());
    if (length == 0) {
        mBuffer = SharedEmpty().mBuffer;
        return S_OK;
    }
    mBuffer->SetUnshareable(false);
    mBuffer->SetSize((length + 1) * sizeof(C));
    // The caller may have written over the last character: the text is terminated again.
    Data()[length] = 0;
    return S_OK;
}

template <class C, class O>
StringT<C, O>& StringT<C, O>::operator+=(const StringT& other)
{
    const uint32_t otherLength = static_cast<uint32_t>(other.GetLength());
    if (otherLength == 0) {
        return *this;
    }
    const uint32_t length = static_cast<uint32_t>(GetLength());
    const uint32_t total = length + otherLength + 1;
    if (IsLocked()) {
        if (total > kMaxChars || mBuffer->SetSize(total * sizeof(C)) != total * sizeof(C)) {
            ThrowLockFailed();
        }
        std::memmove(Data() + length, other.Data(), otherLength * sizeof(C));
        Data()[length + otherLength] = 0;
        return *this;
    }
    // Keep the other's buffer alive: it may be ours, and Lock may replace ours.
    const StringT source(other);
    C* target = Lock(total);
    std::memcpy(target + length, source.Data(), otherLength * sizeof(C));
    Unlock();
    return *this;
}

template <class C, class O>
StringT<C, O> StringT<C, O>::operator+(const StringT& other) const
{
    StringT result(*this);
    result += other;
    return result;
}

template <class C, class O>
int32_t StringT<C, O>::Insert(uint32_t index, const StringT& other)
{
    const uint32_t length = static_cast<uint32_t>(GetLength());
    if (index > length) {
        return E_INVALIDARG;
    }
    if (index == length) {
        *this += other;
    } else if (index == 0) {
        *this = other + *this;
    } else {
        *this = Left(static_cast<int32_t>(index)) + other + MidFrom(static_cast<int32_t>(index));
    }
    return S_OK;
}

template <class C, class O>
int32_t StringT<C, O>::InsertChars(uint32_t index, const C* text, uint32_t count)
{
    StringT piece;
    piece.Assign(text, count);
    return Insert(index, piece);
}

template <class C, class O>
int32_t StringT<C, O>::AppendChar(C character)
{
    return InsertChars(static_cast<uint32_t>(GetLength()), &character, 1);
}

template <class C, class O>
StringT<C, O> StringT<C, O>::Mid(int32_t start, int32_t count) const
{
    const int32_t length = GetLength();
    if (start < 0) {
        start += length;
        if (start < 0) {
            count += start;
            start = 0;
        }
    }
    StringT result;
    if (start >= length || count == 0) {
        return result;
    }
    // Unsigned on purpose: a count that is still negative wraps and takes the rest.
    if (static_cast<uint32_t>(start) + static_cast<uint32_t>(count) >
        static_cast<uint32_t>(length)) {
        count = length - start;
    }
    result.Assign(GetText() + start, static_cast<uint32_t>(count));
    return result;
}

template <class C, class O>
StringT<C, O> StringT<C, O>::MidFrom(int32_t start) const
{
    return Mid(start, GetLength() - start);
}

template <class C, class O>
StringT<C, O> StringT<C, O>::Left(int32_t count) const
{
    return Mid(0, count);
}

template <class C, class O>
StringT<C, O> StringT<C, O>::Right(int32_t count) const
{
    return Mid(-count, count);
}

template <class C, class O>
bool StringT<C, O>::Equals(const StringT& other) const
{
    return mBuffer == other.mBuffer || EqualsText(other.GetText());
}

template <class C, class O>
bool StringT<C, O>::EqualsText(const C* text) const
{
    if (text == nullptr || text[0] == 0) {
        return IsEmpty();
    }
    const C* own = GetText();
    size_t i = 0;
    while (own[i] != 0 && own[i] == text[i]) {
        ++i;
    }
    return own[i] == text[i];
}

template <class C, class O>
bool StringT<C, O>::operator<(const StringT& other) const
{
    if (mBuffer == other.mBuffer) {
        return false;
    }
    using Unit = std::make_unsigned_t<C>;
    const C* a = GetText();
    const C* b = other.GetText();
    size_t i = 0;
    while (a[i] != 0 && a[i] == b[i]) {
        ++i;
    }
    return static_cast<Unit>(a[i]) < static_cast<Unit>(b[i]);
}

template <class C, class O>
int32_t StringT<C, O>::Find(const StringT& other) const
{
    const int32_t length = GetLength();
    const int32_t otherLength = other.GetLength();
    const C* text = GetText();
    for (int32_t i = 0; i + otherLength <= length; ++i) {
        if (std::memcmp(text + i, other.GetText(), otherLength * sizeof(C)) == 0) {
            return i;
        }
    }
    return kNotFound;
}

template <class C, class O>
bool StringT<C, O>::IsSetIn(C character, const C* set) const
{
    for (; set != nullptr && *set != 0; ++set) {
        if (*set == character) {
            return true;
        }
    }
    return false;
}

template <class C, class O>
StringT<C, O> StringT<C, O>::TrimRight(const C* set) const
{
    int32_t length = GetLength();
    while (length > 0 && IsSetIn(GetText()[length - 1], set)) {
        --length;
    }
    return Left(length);
}

template <class C, class O>
StringT<C, O> StringT<C, O>::TrimLeft(const C* set) const
{
    const int32_t length = GetLength();
    int32_t start = 0;
    while (start < length && IsSetIn(GetText()[start], set)) {
        ++start;
    }
    return start == length ? *this : MidFrom(start);
}

template <class C, class O>
StringT<C, O> StringT<C, O>::Trim(const C* set) const
{
    return TrimLeft(set).TrimRight(set);
}

template <class C, class O>
void StringT<C, O>::ReplaceChars(const C* set, C replacement)
{
    if (replacement == 0) {
        return;
    }
    const int32_t length = GetLength();
    bool found = false;
    for (int32_t i = 0; i < length && !found; ++i) {
        found = IsSetIn(GetText()[i], set);
    }
    if (!found) {
        return;
    }
    const bool wasLocked = IsLocked();
    C* text = wasLocked ? Data() : Lock();
    for (int32_t i = 0; i < length; ++i) {
        if (IsSetIn(text[i], set)) {
            text[i] = replacement;
        }
    }
    if (!wasLocked) {
        Unlock();
    }
}

template <class C, class O>
int32_t StringT<C, O>::AssignUtf8(const char* text, int32_t length) requires kWide
{
    if (text == nullptr || text[0] == 0 || length == 0) {
        mBuffer = SharedEmpty().mBuffer;
        return S_OK;
    }
    const uint32_t bytes =
        length < 0 ? static_cast<uint32_t>(std::strlen(text)) + 1 : static_cast<uint32_t>(length);
    if (bytes >= kMaxChars) {
        mBuffer = SharedEmpty().mBuffer;
        return E_FAIL;
    }
    // Plain ASCII, most of what skins and string tables hold, widens byte by byte: the same
    // characters, up to the first NUL, that the conversion below gives.
    const auto* unsignedText = reinterpret_cast<const unsigned char*>(text);
    if (std::all_of(unsignedText, unsignedText + bytes, [](unsigned char c) { return c < 0x80; })) {
        const auto widened =
            static_cast<uint32_t>(std::find(unsignedText, unsignedText + bytes, 0) - unsignedText);
        RCPtr<LIBuffer> buffer = NewSharedBuffer((widened + 1) * sizeof(char16_t), 0, false);
        char16_t* data = static_cast<char16_t*>(buffer->GetData());
        std::copy(unsignedText, unsignedText + widened, data);
        data[widened] = 0;
        mBuffer = buffer;
        return S_OK;
    }
    const uint32_t chars = bytes + 1;
    RCPtr<LIBuffer> buffer = NewSharedBuffer(chars * sizeof(char16_t), 0, true);
    char16_t* data = static_cast<char16_t*>(buffer->GetData());
    const char* source = text;
    char16_t* target = data;
    const ConversionResult result = Utf8ToUtf16(&source, text + bytes, &target, data + chars, true);
    data[chars - 1] = 0;
    buffer->SetSize(static_cast<uint32_t>(WideLengthBounded(data, chars) + 1) * sizeof(char16_t));
    mBuffer = buffer;
    return result == kConversionOk ? S_OK : E_FAIL;
}

template <class C, class O>
int32_t StringT<C, O>::AssignNarrow(const char* text, int32_t length) requires kWide
{
    // A length of 0 is looked at first: such text need not have even one byte to read.
    if (text == nullptr || length == 0 || text[0] == 0) {
        Clear();
        return S_OK;
    }
    const uint32_t bytes = length < 0 ? static_cast<uint32_t>(std::strlen(text))
                                      : static_cast<uint32_t>(strnlen(text, length));
    StringT converted;
    const int32_t result = converted.AssignUtf8(text, static_cast<int32_t>(bytes));
    if (IsLocked()) {
        Assign(converted.GetText());
    } else {
        mBuffer = converted.mBuffer;
    }
    return result;
}

template <class C, class O>
int32_t StringT<C, O>::InsertUtf8(uint32_t index, const char* text) requires kWide
{
    return Insert(index, StringT(text));
}

template <class C, class O>
int32_t StringT<C, O>::AppendUtf8Char(char character) requires kWide
{
    const char text[2] = {character, 0};
    return InsertUtf8(static_cast<uint32_t>(GetLength()), text);
}

template <class C, class O>
bool StringT<C, O>::EqualsUtf8(const char* text) const requires kWide
{
    StringT converted;
    converted.AssignUtf8(text, -1);
    return Equals(converted);
}

template <class C, class O>
bool StringT<C, O>::NotEqualsUtf8(const char* text) const requires kWide
{
    return !EqualsUtf8(text);
}

template <class C, class O>
StringT<C, O> StringT<C, O>::MapUnits(char16_t (*map)(char16_t)) const requires kWide
{
    StringT result(*this);
    const int32_t length = GetLength();
    if (length == 0) {
        return result;
    }
    C* text = result.Lock(static_cast<uint32_t>(length) + 1);
    for (int32_t i = 0; i < length; ++i) {
        text[i] = map(text[i]);
    }
    result.Unlock();
    return result;
}

template <class C, class O>
StringT<C, O> StringT<C, O>::ToLower() const requires kWide
{
    return MapUnits(&WideToLower);
}

template <class C, class O>
StringT<C, O> StringT<C, O>::ToUpper() const requires kWide
{
    return MapUnits(&WideToUpper);
}

template <class C, class O>
int32_t StringT<C, O>::ToInt() const requires kWide
{
    return WideToInt(GetText());
}

template <class C, class O>
double StringT<C, O>::ToDouble() const requires kWide
{
    return WideToDouble(GetText());
}

template <class C, class O>
StringT<char, char16_t> StringT<C, O>::ToNarrow() const requires kWide
{
    return StringT<char, char16_t>(*this);
}

template <class C, class O>
int32_t StringT<C, O>::Format(const char16_t* format, ...) requires kWide
{
    std::unique_ptr<char16_t[]> area(new char16_t[kFormatArea]);
    va_list args;
    va_start(args, format);
    // Output that would not fit the working area is cut at its end.
    WideFormatV(area.get(), kFormatArea, format, args);
    va_end(args);
    Assign(area.get());
    return GetLength();
}

template <class C, class O>
int32_t StringT<C, O>::AssignUtf16(const char16_t* text, int32_t length) requires(!kWide)
{
    if (text == nullptr || text[0] == 0 || length == 0) {
        mBuffer = SharedEmpty().mBuffer;
        return S_OK;
    }
    const uint32_t units =
        length < 0 ? static_cast<uint32_t>(WideLength(text)) + 1 : static_cast<uint32_t>(length);
    if (units >= kMaxChars / 4) {
        mBuffer = SharedEmpty().mBuffer;
        return E_FAIL;
    }
    const uint32_t bytes = 4 * units + 1;
    RCPtr<LIBuffer> buffer = NewSharedBuffer(bytes, 0, true);
    char* data = static_cast<char*>(buffer->GetData());
    const char16_t* source = text;
    char* target = data;
    const ConversionResult result = Utf16ToUtf8(&source, text + units, &target, data + bytes, true);
    data[bytes - 1] = 0;
    buffer->SetSize(static_cast<uint32_t>(strnlen(data, bytes)) + 1);
    mBuffer = buffer;
    return result == kConversionOk ? S_OK : E_FAIL;
}

template class StringT<char16_t, char>;
template class StringT<char, char16_t>;

WideString IntToString(int32_t value, int32_t decimals)
{
    // The sign stays in front of the padded digits.
    const uint32_t magnitude =
        value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    const WideString digits = UIntToString(magnitude, decimals);
    return value < 0 ? WideString(u"-") + digits : digits;
}

WideString UIntToString(uint32_t value, int32_t decimals)
{
    WideString text;
    text.Format(u"%u", value);
    if (decimals > 0) {
        const int32_t padding = decimals - text.GetLength();
        if (padding > 0) {
            WideString zeros;
            std::fill_n(zeros.Lock(static_cast<uint32_t>(padding) + 1), padding, u'0');
            zeros.Unlock();
            text = zeros + text;
        }
        text.Insert(static_cast<uint32_t>(text.GetLength() - decimals), WideString(u"."));
    }
    return text;
}

WideString DoubleToString(double value, int32_t precision)
{
    WideString format(u"%lf");
    if (precision >= 0) {
        format.Format(u"%%.%dlf", precision);
    }
    WideString text;
    text.Format(format.GetText(), value);
    return text;
}

WideString StringToString(const WideString& text)
{
    return text;
}

} // namespace SV
