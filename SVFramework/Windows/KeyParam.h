// Key payloads. A key event travels to the focus holder as an LKeyParam and collects, on its way
// up, the controls that passed it on; a control offers a key to the local bindings of its
// siblings as an LSiblingKeyParam, whose result a receiver that uses the key sets to 0.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"
#include "System/KeyCode.h"
#include "Utilities/Storage/RCPtrArray.h"

#include <cstdint>

namespace SV {

class LControl;

class LKeyParam : public virtual LRefCountedObject
{
public:
    LKeyParam(const KeyCode& key, int32_t keyDown) : mKey(key), mKeyDown(keyDown) {}

    bool IsTab() const;
    bool HasCtrl() const { return (mKey.GetCode() & KeyCode::kCtrl) != 0; }
    bool HasShift() const { return (mKey.GetCode() & KeyCode::kShift) != 0; }

    KeyCode mKey;
    // 1 for keys of the native window and of sibling-key receivers; 0 for keys that focus
    // navigation makes.
    int32_t mKeyDown;
    // The controls that passed the key on, in the order they did. Mutable: the key is handed
    // around as a const payload while it collects them.
    mutable RCPtrArray<LControl> mPassedBy;
};

class LSiblingKeyParam : public virtual LRefCountedObject
{
public:
    LSiblingKeyParam(const KeyCode& key, const ConstRCPtr<LControl>& sender)
        : mKey(key), mSender(sender)
    {}

    KeyCode mKey;
    ConstRCPtr<LControl> mSender;
    // -1 until a receiver answers; 0 once one used the key.
    mutable int32_t mResult = -1;
};

[[nodiscard]] RCPtr<LKeyParam> CreateKeyParam(const KeyCode& key, int32_t keyDown);
[[nodiscard]] RCPtr<LSiblingKeyParam> CreateSiblingKeyParam(const KeyCode& key,
                                                            const ConstRCPtr<LControl>& sender);

} // namespace SV
