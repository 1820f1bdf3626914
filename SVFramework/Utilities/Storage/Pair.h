// Pairs of a key and a value: Pair is the plain one kept in arrays (string tables, bindings),
// LPair the reference-counted one that hashed lists keep as entries and notifications carry as
// payloads. An LPair's text is that of its key, given by its third argument.
#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/StringT.h"

#include <utility>

namespace SV {

template <class First, class Second>
struct Pair
{
    Pair() = default;
    Pair(First firstValue, Second secondValue)
        : first(std::move(firstValue)), second(std::move(secondValue))
    {}

    bool operator==(const Pair& other) const
    {
        return first == other.first && second == other.second;
    }

    First first{};
    Second second{};
};

template <class First, class Second, WideString (*KeyToText)(const First&)>
class LPair : public Pair<First, Second>, public virtual LRefCountedObject
{
public:
    LPair() = default;
    LPair(First firstValue, Second secondValue)
        : Pair<First, Second>(std::move(firstValue), std::move(secondValue))
    {}

    WideString ToString() const override { return KeyToText(this->first); }
};

} // namespace SV
