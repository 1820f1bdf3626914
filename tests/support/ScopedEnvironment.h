// Sets (or, with a null value, unsets) environment variables for one test and puts the old
// values back when it ends.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace svtest {

class ScopedEnvironment
{
public:
    ScopedEnvironment() = default;
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment()
    {
        for (auto it = mSaved.rbegin(); it != mSaved.rend(); ++it) {
            if (it->second) {
                ::setenv(it->first.c_str(), it->second->c_str(), 1);
            } else {
                ::unsetenv(it->first.c_str());
            }
        }
    }

    void Set(const std::string& name, const char* value)
    {
        const char* old = std::getenv(name.c_str());
        mSaved.emplace_back(name, old != nullptr ? std::optional<std::string>(old) : std::nullopt);
        if (value != nullptr) {
            ::setenv(name.c_str(), value, 1);
        } else {
            ::unsetenv(name.c_str());
        }
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> mSaved;
};

} // namespace svtest
