#include "Renderer/OpenGL/GLDisplayList.h"

#include "Renderer/OpenGL/GLErrors.h"
#include "ResultCodes.h"

#include <GL/gl.h>

namespace SV {

RCPtr<LGLDisplayList> LGLDisplayList::Create(int32_t count)
{
    if (count == 0) {
        return RCPtr<LGLDisplayList>();
    }
    return RCPtr<LGLDisplayList>(new LGLDisplayList(count));
}

LGLDisplayList::~LGLDisplayList()
{
    if (mBase != kNoLists && glIsList(mBase)) {
        glDeleteLists(mBase, mCount);
    }
    DrainGLErrors();
    mBase = kNoLists;
}

int32_t LGLDisplayList::BeginList(int32_t index)
{
    if (mBase == kNoLists) {
        const GLuint base = glGenLists(mCount);
        mBase = base != 0 ? base : kNoLists;
    }
    if (mBase == kNoLists || !glIsList(mBase)) {
        return E_FAIL;
    }
    glNewList(mBase + index, GL_COMPILE);
    DrainGLErrors();
    return S_OK;
}

int32_t LGLDisplayList::EndList()
{
    if (mBase == kNoLists || !glIsList(mBase)) {
        return E_FAIL;
    }
    glEndList();
    DrainGLErrors();
    return S_OK;
}

int32_t LGLDisplayList::CallLists(int32_t start, int32_t count)
{
    if (mBase == kNoLists) {
        return E_FAIL;
    }
    if (int64_t(start) + count > mCount) {
        return E_INVALIDARG;
    }
    for (int32_t i = start; i < start + count; ++i) {
        if (!glIsList(mBase + i)) {
            return E_FAIL;
        }
        glCallList(mBase + i);
        DrainGLErrors();
    }
    return S_OK;
}

} // namespace SV
