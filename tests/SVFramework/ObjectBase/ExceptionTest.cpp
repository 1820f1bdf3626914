#include "ObjectBase/Exception.h"

#include "ResultCodes.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using SV::Exception;

// Throws through `thrower` and reads the text both ways a catch site can.
void ExpectTextBothWays(const std::function<void()>& thrower, const std::string& expected)
{
    try {
        thrower();
        FAIL() << "nothing thrown";
    } catch (const SV::ExceptionBase& error) {
        EXPECT_EQ(expected, error.What());
        EXPECT_EQ(expected, dynamic_cast<const std::exception&>(error).what());
    }
}

TEST(ExceptionTest, EveryKindAnswersItsTextThroughBothBases)
{
    const std::string logic = "Logic Error : a : F : P : Line 1";
    const std::string runtime =
        "Runtime Error : Null Pointer : Can not find child x : F : P : Line 2";
    const std::string range = "Out of Range : F : P : Line 3";
    const std::string domain = "Domain Error : F : P : Line 4";
    const std::string argument = "Invalid Argument : F : P : Line 5";
    const std::string failed = SV::FormatFailedResult(-1, "F", "P", 6);

    ExpectTextBothWays([&] { throw Exception<std::logic_error>(logic); }, logic);
    ExpectTextBothWays([&] { throw Exception<std::runtime_error>(runtime); }, runtime);
    ExpectTextBothWays([&] { throw Exception<std::out_of_range>(range); }, range);
    ExpectTextBothWays([&] { throw Exception<std::domain_error>(domain); }, domain);
    ExpectTextBothWays([&] { throw Exception<std::invalid_argument>(argument); }, argument);
    ExpectTextBothWays([&] { throw Exception<std::bad_alloc>(); }, "bad allocation");
    ExpectTextBothWays([&] { throw Exception<SV::FailedResultException>(failed); }, failed);
}

TEST(ExceptionTest, FailedResultIsNoRuntimeError)
{
    try {
        throw Exception<SV::FailedResultException>(SV::FormatFailedResult(E_FAIL, "F", "P", 1));
    } catch (const std::runtime_error&) {
        FAIL() << "caught as a runtime error";
    } catch (const std::exception& error) {
        EXPECT_STREQ("Failed Result : SVRESULT = 80004005 : F : P : Line 1", error.what());
    }
}

TEST(ExceptionTest, ResultCodesPrintAsUpperCaseHexOfTheirThirtyTwoBits)
{
    const std::pair<int32_t, const char*> cases[] = {
        {0, "SVRESULT = 0"},
        {1, "SVRESULT = 1"},
        {E_INVALIDARG, "SVRESULT = 80070057"},
        {E_FAIL, "SVRESULT = 80004005"},
        {-1, "SVRESULT = FFFFFFFF"},
        {0xABC, "SVRESULT = ABC"},
    };
    for (const auto& [code, text] : cases) {
        EXPECT_EQ(text, SV::FormatResultCode(code)) << code;
    }
}

TEST(ExceptionTest, FailedResultTextNamesCodeFunctionPathAndLine)
{
    EXPECT_EQ("Failed Result : SVRESULT = FFFFFFFF : SV::LMidiManager::GetPresetFromMidiDevice : "
              "Engine\\PresetEditorCommon\\MidiManager : Line 265",
              SV::FormatFailedResult(-1, "SV::LMidiManager::GetPresetFromMidiDevice",
                                     "Engine\\PresetEditorCommon\\MidiManager", 265));
}

} // namespace
