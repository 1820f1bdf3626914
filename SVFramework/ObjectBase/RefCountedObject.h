// The base of every shared object: an intrusive reference count, a count of the references the
// object's own members hold back to it, a guard that keeps the release hook from running twice,
// and the shareable flag that drives copy-on-write in the intrusive pointers.
#pragma once

#include <atomic>
#include <cstdint>

namespace SV {

template <class C, class O>
class StringT;

template <class T>
class ConstRCPtr;

class IStringable
{
public:
    virtual ~IStringable() = default;
    virtual StringT<char16_t, char> ToString() const = 0;
};

class IUndoable : public IStringable
{
public:
    virtual void Undo() = 0;
};

// Always inherited virtually, so a class that combines several counted interfaces has one
// count. Objects start with a count of 0 and live while at least one holder keeps them.
class LRefCountedObject : public IUndoable
{
public:
    LRefCountedObject() = default;
    LRefCountedObject(const LRefCountedObject&) : LRefCountedObject() {}
    LRefCountedObject& operator=(const LRefCountedObject&) { return *this; }

    // The readable name of the object's dynamic class.
    StringT<char16_t, char> ToString() const override;
    void Undo() override;

    virtual int32_t AddRef();
    virtual int32_t Release();
    // Drops the references that members hold back to this object; answers 0 when nothing but
    // the caller's reference is left, E_FAIL otherwise.
    virtual int32_t ReleaseHook();
    virtual void CreateCopy(ConstRCPtr<LRefCountedObject>& copy) const;
    ~LRefCountedObject() override = default;

    // Only an object with at most one holder can be made unshareable; marking it shareable
    // again always works.
    void SetUnshareable(bool unshareable);

    int32_t GetRefCount() const { return mRefCount.load(); }
    int32_t GetInternalRefCount() const { return mInternalRefCount.load(); }
    bool IsShareable() const { return mShareable; }

protected:
    // Called when a member takes (or gives back) a pointer to this object.
    void AddInternalRef();
    void ReleaseInternalRef();

private:
    std::atomic<int32_t> mRefCount{0};
    std::atomic<int32_t> mInternalRefCount{0};
    std::atomic<int32_t> mReleaseGuard{0};
    bool mShareable = true;
};

} // namespace SV
