// One SubControl of the skin, or the application descriptor at the top of one skin: class and
// name, the children, the skin (looks and font), the placement record and the creation
// parameters. The descriptors of a skin form a tree whose parent links do not own.
#pragma once

#include "ControlBase/ControlCreateFunction.h"
#include "ControlBase/LayoutDescriptor.h"
#include "ControlBase/SkinDescriptor.h"
#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/StringT.h"
#include "Utilities/Storage/StringTable.h"

#include <cstdint>

namespace SV {

class LControlDescriptor : public virtual LRefCountedObject
{
public:
    using Children = RCPtrArray<LControlDescriptor>;

    // The class of the descriptor at the top of every skin.
    static constexpr const char16_t* kApplicationClass = u"Application";

    LControlDescriptor(const WideString& className, const WideString& name,
                       LControlDescriptor* parent);

    const WideString& GetClass() const { return mClass; }
    const WideString& GetName() const { return mName; }
    void SetName(const WideString& name) { mName = name; }
    LControlDescriptor* GetParent() const { return mParent; }
    // The descriptor at the top of a skin: no parent, and the application class.
    bool IsApplication() const
    {
        return mParent == nullptr && mClass.EqualsText(kApplicationClass);
    }

    const Children& GetChildren() const { return mChildren; }
    Children& GetChildren() { return mChildren; }
    // The index of the new child.
    int32_t AddChild(const RCPtr<LControlDescriptor>& child);

    const RCPtr<LSkinDescriptor>& GetSkin() const { return mSkin; }
    const RCPtr<LLayoutDescriptor>& GetLayout() const { return mLayout; }
    const RCPtr<LStringTable>& GetCreateParams() const { return mCreateParams; }
    int32_t SetSkin(const RCPtr<LSkinDescriptor>& skin);
    int32_t SetLayout(const RCPtr<LLayoutDescriptor>& layout);
    int32_t SetCreateParams(const RCPtr<LStringTable>& createParams);

    // Null until the factory first creates a control from this descriptor; from then on the
    // function registered for the class at that time.
    ControlCreateFunction GetCreateFunction() const { return mCreateFunction; }
    void SetCreateFunction(ControlCreateFunction function) { mCreateFunction = function; }

    // Same class, name, parent link, skin, layout, parameters and create function, and a
    // children list of its own over the same child descriptors.
    [[nodiscard]] RCPtr<LControlDescriptor> Clone() const;

private:
    WideString mClass;
    WideString mName;
    LControlDescriptor* mParent = nullptr;
    Children mChildren;
    RCPtr<LSkinDescriptor> mSkin;
    RCPtr<LLayoutDescriptor> mLayout;
    RCPtr<LStringTable> mCreateParams;
    ControlCreateFunction mCreateFunction = nullptr;
};

} // namespace SV
