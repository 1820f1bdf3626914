// Reference-counted objects for tests that watch counting, hooks, clones and destruction.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"

#include <vector>

namespace svtest {

// Counts how often objects were destroyed and cloned.
struct Tally
{
    int destroyed = 0;
    int copies = 0;
    int hooks = 0;
};

class TrackedObject : public virtual SV::LRefCountedObject
{
public:
    explicit TrackedObject(Tally& tally) : mTally(tally) {}
    ~TrackedObject() override { ++mTally.destroyed; }

    using SV::LRefCountedObject::AddInternalRef;
    using SV::LRefCountedObject::ReleaseInternalRef;

protected:
    Tally& mTally;
};

// Clones itself on CreateCopy, as buffers do.
class CopyableObject : public TrackedObject
{
public:
    using TrackedObject::TrackedObject;

    void CreateCopy(SV::ConstRCPtr<SV::LRefCountedObject>& copy) const override
    {
        ++mTally.copies;
        copy = SV::ConstRCPtr<SV::LRefCountedObject>(new CopyableObject(mTally));
    }
};

class OtherObject : public TrackedObject
{
public:
    using TrackedObject::TrackedObject;
};

// Answers CreateCopy with an object of another class.
class MiscopyingObject : public TrackedObject
{
public:
    using TrackedObject::TrackedObject;

    void CreateCopy(SV::ConstRCPtr<SV::LRefCountedObject>& copy) const override
    {
        ++mTally.copies;
        copy = SV::ConstRCPtr<SV::LRefCountedObject>(new OtherObject(mTally));
    }
};

// Hands references to itself to its own members, counted as internal references; the release
// hook drops them and records what each nested Release answered.
class SelfHoldingObject : public TrackedObject
{
public:
    using TrackedObject::TrackedObject;

    void HoldSelf(int times)
    {
        for (int i = 0; i < times; ++i) {
            AddRef();
            AddInternalRef();
            ++mHeldByMembers;
        }
    }

    int32_t ReleaseHook() override
    {
        ++mTally.hooks;
        while (mHeldByMembers > 0) {
            --mHeldByMembers;
            nestedResults.push_back(Release());
            ReleaseInternalRef();
        }
        return SV::LRefCountedObject::ReleaseHook();
    }

    std::vector<int32_t> nestedResults;

private:
    int mHeldByMembers = 0;
};

} // namespace svtest
