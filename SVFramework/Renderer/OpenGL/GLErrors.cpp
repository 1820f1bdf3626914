#include "Renderer/OpenGL/GLErrors.h"

#include <GL/gl.h>

namespace SV {

void DrainGLErrors()
{
    // Without a current context glGetError answers GL_INVALID_OPERATION for ever; the bound
    // keeps that from looping.
    for (int i = 0; i < 64 && glGetError() != GL_NO_ERROR; ++i) {
    }
}

} // namespace SV
