// A shared object that can carry one tag object of its owner's choosing (a label, a payload),
// held counted and released with the object. Inherited virtually, like LRefCountedObject.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"

namespace SV {

class LTaggableObject : public virtual LRefCountedObject
{
public:
    LTaggableObject() = default;

    const RCPtr<LRefCountedObject>& GetTag() const { return mTag; }
    void SetTag(const RCPtr<LRefCountedObject>& tag) { mTag = tag; }

private:
    RCPtr<LRefCountedObject> mTag;
};

} // namespace SV
