// The payload of "NID_DIALOG_CLOSING": a receiver sets the cancel flag to keep the dialog open.
#pragma once

#include "ObjectBase/RefCountedObject.h"

namespace SV {

class LCancelArgs : public virtual LRefCountedObject
{
public:
    bool mCancel = false;
};

} // namespace SV
