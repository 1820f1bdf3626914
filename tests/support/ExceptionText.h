// The text of the exception a call throws, for tests that compare exception texts.
#pragma once

#include "ObjectBase/Exception.h"

#include <stdexcept>
#include <string>

namespace svtest {

// The text of the exception of type Caught that `call` throws, or "no exception"; any other
// exception passes through and fails the test.
template <class Caught = SV::Exception<std::logic_error>, class Call>
std::string ExceptionTextOf(Call call)
{
    try {
        call();
    } catch (const Caught& error) {
        return error.what();
    }
    return "no exception";
}

} // namespace svtest
