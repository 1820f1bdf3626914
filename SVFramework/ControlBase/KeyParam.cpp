#include "ControlBase/KeyParam.h"

#include "ControlBase/Control.h"

namespace SV {

LKeyParam::LKeyParam(const KeyCode& key, int32_t down) : mKey(key), mDown(down)
{}

LKeyParam::~LKeyParam() = default;

LSiblingKeyParam::LSiblingKeyParam(const KeyCode& key, const RCPtr<LControl>& sender)
    : mKey(key), mSender(sender)
{}

LSiblingKeyParam::~LSiblingKeyParam() = default;

RCPtr<LKeyParam> CreateKeyParam(const KeyCode& key, int32_t down)
{
    return RCPtr<LKeyParam>(new LKeyParam(key, down));
}

RCPtr<LSiblingKeyParam> CreateSiblingKeyParam(const KeyCode& key, const RCPtr<LControl>& sender)
{
    return RCPtr<LSiblingKeyParam>(new LSiblingKeyParam(key, sender));
}

} // namespace SV
