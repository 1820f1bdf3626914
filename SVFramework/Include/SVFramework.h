// The framework in one include: objects, pointers, buffers, text, colours and points.
#pragma once

#include "ObjectBase/Exception.h"
#include "ObjectBase/Holder.h"
#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Graphics/Color.h"
#include "Utilities/Graphics/Point.h"
#include "Utilities/Storage/Allocator.h"
#include "Utilities/Storage/Buffer.h"
#include "Utilities/Storage/SharedBuffer.h"
#include "Utilities/Storage/StringT.h"
#include "Utilities/Storage/TextEncoding.h"
#include "Utilities/Storage/WideFormat.h"
#include "Utilities/Storage/WideText.h"
#include "ResultCodes.h"
