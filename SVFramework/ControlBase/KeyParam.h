// The payloads of keys travelling through the control tree: a key event with the controls it has
// passed through on its way up, and a key that a control hands to its siblings, with the result
// a receiver fills in.
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
    LKeyParam(const KeyCode& key, int32_t down);
    ~LKeyParam() override;

    KeyCode mKey;
    // 1 for every native key event, releases included.
    int32_t mDown;
    // The controls the key has passed, in the order it met them.
    RCPtrArray<LControl> mPassed;
};

class LSiblingKeyParam : public virtual LRefCountedObject
{
public:
    LSiblingKeyParam(const KeyCode& key, const RCPtr<LControl>& sender);
    ~LSiblingKeyParam() override;

    KeyCode mKey;
    RCPtr<LControl> mSender;
    // -1 until a receiver answers.
    int32_t mResult = -1;
};

[[nodiscard]] RCPtr<LKeyParam> CreateKeyParam(const KeyCode& key, int32_t down);
[[nodiscard]] RCPtr<LSiblingKeyParam> CreateSiblingKeyParam(const KeyCode& key,
                                                            const RCPtr<LControl>& sender);

} // namespace SV
