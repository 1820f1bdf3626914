// Intrusive pointers to reference-counted objects. A pointer owns exactly one reference on its
// pointee. ConstRCPtr also carries copy-on-write: an object whose shareable flag is clear is
// cloned (CreateCopy) as soon as a second pointer takes it. RCPtr is the same pointer with
// non-const access; both are one raw pointer, so arrays of either can view the same storage.
#pragma once

#include "ObjectBase/RefCountedObject.h"

#include <cstddef>
#include <type_traits>
#include <typeinfo>
#include <utility>

namespace SV {

namespace detail {
// Throws the logic error of a failed copy-on-write for a pointer to the given pointee type.
[[noreturn]] void ThrowUnshareFailed(const std::type_info& pointee);
} // namespace detail

template <class T>
class ConstRCPtr
{
public:
    ConstRCPtr() = default;
    ConstRCPtr(std::nullptr_t) {}
    ConstRCPtr(const T* object) : mPtr(const_cast<T*>(object)) { Acquire(); }
    ConstRCPtr(const ConstRCPtr& other) : mPtr(other.mPtr) { Acquire(); }
    ConstRCPtr(ConstRCPtr&& other) noexcept : mPtr(std::exchange(other.mPtr, nullptr)) {}

    // Conversion between pointee types is a run-time-typed cast: an object that is not a T
    // gives an empty pointer, never an exception. Implicit only where it cannot fail.
    template <class U>
    explicit(!std::is_convertible_v<U*, T*>) ConstRCPtr(const ConstRCPtr<U>& other)
        : mPtr(CastFrom(other.mPtr))
    {
        Acquire();
    }

    ~ConstRCPtr()
    {
        if (mPtr != nullptr) {
            Base(mPtr)->Release();
        }
    }

    ConstRCPtr& operator=(const ConstRCPtr& other)
    {
        AssignObject(other.mPtr);
        return *this;
    }
    ConstRCPtr& operator=(ConstRCPtr&& other) noexcept
    {
        std::swap(mPtr, other.mPtr);
        return *this;
    }
    ConstRCPtr& operator=(std::nullptr_t)
    {
        AssignObject(nullptr);
        return *this;
    }

    const T* Get() const { return mPtr; }
    const T* operator->() const { return mPtr; }
    const T& operator*() const { return *mPtr; }
    explicit operator bool() const { return mPtr != nullptr; }
    bool IsEmpty() const { return mPtr == nullptr; }

    template <class U>
    bool operator==(const ConstRCPtr<U>& other) const
    {
        return static_cast<const void*>(mPtr) == static_cast<const void*>(other.mPtr);
    }
    bool operator==(std::nullptr_t) const { return mPtr == nullptr; }
    bool operator==(const T* object) const { return mPtr == object; }

    // Takes the reference for a newly stored object; clones it when it is unshareable and
    // somebody else holds it too.
    void Acquire()
    {
        if (mPtr == nullptr) {
            return;
        }
        Base(mPtr)->AddRef();
        if (!Base(mPtr)->IsShareable()) {
            Unshare();
        }
    }

    // Copy-on-write: replaces a shared object by its clone.
    void Unshare()
    {
        if (mPtr == nullptr || Base(mPtr)->GetRefCount() <= 1) {
            return;
        }
        ConstRCPtr<LRefCountedObject> clone;
        Base(mPtr)->CreateCopy(clone);
        ConstRCPtr converted(clone);
        if (converted.mPtr != mPtr) {
            T* old = mPtr;
            mPtr = converted.mPtr;
            Acquire();
            Base(old)->Release();
        }
        if (mPtr == nullptr) {
            detail::ThrowUnshareFailed(typeid(T));
        }
    }

protected:
    // The new reference is taken before the old one is given back, so assigning an object that
    // is reachable only through the old one stays safe.
    void AssignObject(T* object)
    {
        if (object == mPtr) {
            return;
        }
        T* old = mPtr;
        mPtr = object;
        Acquire();
        if (old != nullptr) {
            Base(old)->Release();
        }
    }

    static LRefCountedObject* Base(T* object)
    {
        return const_cast<LRefCountedObject*>(static_cast<const LRefCountedObject*>(object));
    }

    template <class U>
    static T* CastFrom(U* object)
    {
        if constexpr (std::is_same_v<std::remove_cv_t<U>, std::remove_cv_t<T>>) {
            return const_cast<T*>(object);
        } else {
            return const_cast<T*>(dynamic_cast<const T*>(object));
        }
    }

    T* mPtr = nullptr;

    template <class U>
    friend class ConstRCPtr;
};

template <class T>
class RCPtr : public ConstRCPtr<T>
{
public:
    RCPtr() = default;
    RCPtr(std::nullptr_t) {}
    RCPtr(T* object) : ConstRCPtr<T>(object) {}
    RCPtr(const RCPtr& other) = default;
    RCPtr(RCPtr&& other) noexcept = default;

    template <class U>
    explicit(!std::is_convertible_v<U*, T*>) RCPtr(const RCPtr<U>& other) : ConstRCPtr<T>(other)
    {}
    // Taking non-const access from a const pointer is always spelled out.
    template <class U>
    explicit RCPtr(const ConstRCPtr<U>& other) : ConstRCPtr<T>(other)
    {}

    RCPtr& operator=(const RCPtr& other) = default;
    RCPtr& operator=(RCPtr&& other) noexcept = default;
    RCPtr& operator=(std::nullptr_t)
    {
        this->AssignObject(nullptr);
        return *this;
    }

    T* Get() const { return this->mPtr; }
    T* operator->() const { return this->mPtr; }
    T& operator*() const { return *this->mPtr; }
};

} // namespace SV
