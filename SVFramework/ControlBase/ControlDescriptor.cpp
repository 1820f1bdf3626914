#include "ControlBase/ControlDescriptor.h"

#include "ResultCodes.h"

namespace SV {

LControlDescriptor::LControlDescriptor(const WideString& className, const WideString& name,
                                       LControlDescriptor* parent)
    : mClass(className), mName(name), mParent(parent)
{}

int32_t LControlDescriptor::AddChild(const RCPtr<LControlDescriptor>& child)
{
    return mChildren.Add(child);
}

int32_t LControlDescriptor::SetSkin(const RCPtr<LSkinDescriptor>& skin)
{
    mSkin = skin;
    return S_OK;
}

int32_t LControlDescriptor::SetLayout(const RCPtr<LLayoutDescriptor>& layout)
{
    mLayout = layout;
    return S_OK;
}

int32_t LControlDescriptor::SetCreateParams(const RCPtr<LStringTable>& createParams)
{
    mCreateParams = createParams;
    return S_OK;
}

RCPtr<LControlDescriptor> LControlDescriptor::Clone() const
{
    RCPtr<LControlDescriptor> clone(new LControlDescriptor(mClass, mName, mParent));
    for (const RCPtr<LControlDescriptor>& child : mChildren) {
        clone->mChildren.Add(child);
    }
    clone->mSkin = mSkin;
    clone->mLayout = mLayout;
    clone->mCreateParams = mCreateParams;
    clone->mCreateFunction = mCreateFunction;
    return clone;
}

} // namespace SV
