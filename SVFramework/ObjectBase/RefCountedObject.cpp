#include "ObjectBase/RefCountedObject.h"

#include "ObjectBase/Exception.h"
#include "ObjectBase/RCPtr.h"
#include "ResultCodes.h"
#include "TypeNames.h"
#include "Utilities/Storage/StringT.h"

namespace SV {

StringT<char16_t, char> LRefCountedObject::ToString() const
{
    return StringT<char16_t, char>(svp::ClassTypeName(typeid(*this)).c_str());
}

void LRefCountedObject::Undo()
{
    throw Exception<std::logic_error>(
        "Logic Error : Undo() not implemented for RefCountedObject : "
        "SV::LRefCountedObject::Undo : objectbase\\RefCountedObject : Line 155");
}

int32_t LRefCountedObject::AddRef()
{
    return mRefCount.fetch_add(1) + 1;
}

int32_t LRefCountedObject::Release()
{
    const int32_t count = mRefCount.load();
    const int32_t internal = mInternalRefCount.load();
    // Only the references of our own members are left besides the one being dropped: the hook
    // breaks that cycle. The releases it causes come back here with the guard raised.
    if (count == internal + 1 && mReleaseGuard.load() == 0 && internal > 0) {
        mReleaseGuard.fetch_add(1);
        ReleaseHook();
        mReleaseGuard.fetch_sub(1);
    }
    const int32_t remaining = mRefCount.fetch_sub(1) - 1;
    if (remaining == 0) {
        delete this;
    }
    return remaining;
}

int32_t LRefCountedObject::ReleaseHook()
{
    return (mInternalRefCount.load() == 0 && mRefCount.load() == 1) ? S_OK : E_FAIL;
}

void LRefCountedObject::CreateCopy(ConstRCPtr<LRefCountedObject>& /*copy*/) const
{
    const std::string text = std::string("Logic Error : ") +
                             "CreateCopy() not implemented for RefCountedObject" +
                             " : SV::LRefCountedObject::CreateCopy : objectbase\\RefCountedObject"
                             " : Line 228";
    throw Exception<std::logic_error>(text);
}

void LRefCountedObject::SetUnshareable(bool unshareable)
{
    if (unshareable && mRefCount.load() > 1) {
        throw Exception<std::runtime_error>("Runtime Error : SV::LRefCountedObject::SetUnshareable"
                                            " : ObjectBase\\RefCountedObject : Line 29");
    }
    mShareable = !unshareable;
}

// Members on several threads take and give back their references at once: one atomic step
// each, so that no change is lost between reading the count and writing it.
void LRefCountedObject::AddInternalRef()
{
    mInternalRefCount.fetch_add(1);
}

void LRefCountedObject::ReleaseInternalRef()
{
    mInternalRefCount.fetch_sub(1);
}

} // namespace SV
