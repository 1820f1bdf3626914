// The least of a string array that splitting needs: emptied, appended to, counted and read.
#pragma once

#include <cstdint>
#include <vector>

namespace svtest {

template <class String>
class StringList
{
public:
    int32_t RemoveAll()
    {
        mItems.clear();
        return 0;
    }
    int32_t Add(const String& item)
    {
        mItems.push_back(item);
        return static_cast<int32_t>(mItems.size()) - 1;
    }
    int32_t GetCount() const { return static_cast<int32_t>(mItems.size()); }
    const String& At(int32_t index) const { return mItems.at(static_cast<size_t>(index)); }

private:
    std::vector<String> mItems;
};

} // namespace svtest
