// The device view's status record: an object without data that the view hands out; nothing in
// the editor reads it yet.
#pragma once

#include "ObjectBase/RefCountedObject.h"

class LStatusView : public virtual SV::LRefCountedObject
{};
