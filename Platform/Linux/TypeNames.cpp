#include "TypeNames.h"

#include <cxxabi.h>

#include <cctype>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace svp {
namespace {

bool IsIdentifierStart(char c)
{
    return std::isalpha(static_cast<unsigned char>(c)) != 0 || c == '_';
}

bool IsIdentifierChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' || c == ':';
}

// Names of built-in types never take the "class " spelling.
bool IsFundamentalWord(std::string_view word)
{
    static constexpr std::string_view kWords[] = {
        "void",  "bool",     "char",     "signed",  "unsigned", "short",    "int",
        "long",  "float",    "double",   "wchar_t", "char8_t",  "char16_t", "char32_t",
        "const", "volatile", "decltype", "true",    "false",    "nullptr"};
    for (std::string_view known : kWords) {
        if (word == known) {
            return true;
        }
    }
    return false;
}

} // namespace

std::string QualifiedTypeName(const std::type_info& type)
{
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> demangled(
        abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), &std::free);
    if (status != 0 || !demangled) {
        return type.name();
    }
    return demangled.get();
}

std::string ClassTypeName(const std::type_info& type)
{
    const std::string name = QualifiedTypeName(type);
    std::string result;
    result.reserve(name.size() + 16);
    bool atArgumentStart = true; // the whole name counts as the first argument
    for (size_t i = 0; i < name.size();) {
        const char c = name[i];
        if (atArgumentStart && c == ' ') {
            ++i;
            continue;
        }
        if (atArgumentStart && IsIdentifierStart(c)) {
            size_t end = i;
            while (end < name.size() && IsIdentifierChar(name[end])) {
                ++end;
            }
            const std::string_view word(name.data() + i, end - i);
            if (!IsFundamentalWord(word)) {
                result += "class ";
            }
            result.append(word);
            i = end;
            atArgumentStart = false;
            continue;
        }
        result += c;
        atArgumentStart = (c == '<' || c == ',');
        ++i;
    }
    return result;
}

} // namespace svp
