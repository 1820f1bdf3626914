// The framework's exceptions. Each text says what went wrong and where, the parts joined with
// " : ": kind, optional detail, qualified function, source path, "Line" and the line number.
// Every exception also carries ExceptionBase, so its text can be read without knowing which
// standard class it derives from.
#pragma once

#include <cstdint>
#include <exception>
#include <stdexcept>
#include <string>

namespace SV {

class ExceptionBase
{
public:
    virtual ~ExceptionBase() = default;
    virtual const char* What() const noexcept = 0;
};

// A framework exception over a standard exception class, constructed from its complete text.
template <class E>
class Exception : public E, public ExceptionBase
{
public:
    explicit Exception(const std::string& message) : E(message) {}
    explicit Exception(const char* message) : E(message) {}

    const char* What() const noexcept override { return E::what(); }
};

// std::bad_alloc carries no text of its own: the framework's is always "bad allocation".
template <>
class Exception<std::bad_alloc> : public std::bad_alloc, public ExceptionBase
{
public:
    Exception() = default;

    const char* what() const noexcept override { return "bad allocation"; }
    const char* What() const noexcept override { return what(); }
};

// Thrown for a failed result code where the caller cannot go on.
class FailedResultException : public std::exception
{
public:
    explicit FailedResultException(std::string message) : mMessage(std::move(message)) {}

    const char* what() const noexcept override { return mMessage.c_str(); }

private:
    std::string mMessage;
};

template <>
class Exception<FailedResultException> : public FailedResultException, public ExceptionBase
{
public:
    explicit Exception(std::string message) : FailedResultException(std::move(message)) {}

    const char* What() const noexcept override { return what(); }
};

// "SVRESULT = " and the code in upper-case hexadecimal without leading zeros; a negative code
// prints as its 32-bit two's complement ("SVRESULT = 80004005").
std::string FormatResultCode(int32_t code);

// "Failed Result : SVRESULT = <code> : <function> : <path> : Line <line>"
std::string FormatFailedResult(int32_t code, const char* function, const char* path, int line);

} // namespace SV
