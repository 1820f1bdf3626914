// Templates that make a value type reference-counted: LHolder owns one heap-allocated value,
// LWrapper makes a value class counted by deriving from it and a counted base, and
// LWrapperStringable adds a ToString answered by a function of the value.
#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/StringT.h"

#include <memory>
#include <utility>

namespace SV {

template <class T>
class LHolder : public virtual LRefCountedObject
{
public:
    LHolder() : mValue(std::make_unique<T>()) {}
    explicit LHolder(T value) : mValue(std::make_unique<T>(std::move(value))) {}

    T& Get() { return *mValue; }
    const T& Get() const { return *mValue; }

private:
    std::unique_ptr<T> mValue;
};

template <class Value, class Base = LRefCountedObject>
class LWrapper : public Value, public virtual Base
{
public:
    LWrapper() = default;
    explicit LWrapper(const Value& value) : Value(value) {}

    Value& GetValue() { return *this; }
    const Value& GetValue() const { return *this; }
};

template <class Value, class Base, StringT<char16_t, char> (*ToText)(const Value&)>
class LWrapperStringable : public LWrapper<Value, Base>
{
public:
    using LWrapper<Value, Base>::LWrapper;

    StringT<char16_t, char> ToString() const override { return ToText(this->GetValue()); }
};

} // namespace SV
