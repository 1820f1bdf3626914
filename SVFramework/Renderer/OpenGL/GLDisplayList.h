// A run of consecutive GL display lists, recorded once and replayed. The names are allocated on
// the first BeginList; every call assumes the renderer's GL context is current.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"

#include <cstdint>

namespace SV {

class LGLDisplayList : public virtual LRefCountedObject
{
public:
    static constexpr uint32_t kNoLists = 0xFFFFFFFF;

    // A new run of `count` lists; count 0 answers an empty pointer.
    static RCPtr<LGLDisplayList> Create(int32_t count);
    ~LGLDisplayList() override;

    // Starts recording list `index` (GL_COMPILE); E_FAIL when GL gave no names.
    [[nodiscard]] int32_t BeginList(int32_t index);
    // E_FAIL when there is no list being recorded.
    int32_t EndList();
    // Replays lists start to start + count - 1; E_INVALIDARG beyond the run, E_FAIL without
    // names or at a name that is not a list.
    int32_t CallLists(int32_t start, int32_t count);

    uint32_t GetBase() const { return mBase; }
    int32_t GetCount() const { return mCount; }

private:
    explicit LGLDisplayList(int32_t count) : mCount(count) {}

    uint32_t mBase = kNoLists;
    const int32_t mCount;
};

} // namespace SV
