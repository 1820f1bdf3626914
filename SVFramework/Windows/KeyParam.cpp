#include "Windows/KeyParam.h"

#include "ControlBase/Control.h"

namespace SV {

bool LKeyParam::IsTab() const
{
    const uint32_t code = mKey.GetCode();
    return (code & KeyCode::kNoKey) == 0 && (code & KeyCode::kKeyDown) != 0 &&
           mKey.GetVirtualKey() == 9;
}

RCPtr<LKeyParam> CreateKeyParam(const KeyCode& key, int32_t keyDown)
{
    return RCPtr<LKeyParam>(new LKeyParam(key, keyDown));
}

RCPtr<LSiblingKeyParam> CreateSiblingKeyParam(const KeyCode& key,
                                              const ConstRCPtr<LControl>& sender)
{
    return RCPtr<LSiblingKeyParam>(new LSiblingKeyParam(key, sender));
}

} // namespace SV
