// GL errors are never reported by the OpenGL back end: each GL object empties the error queue
// around its own calls so that a stale error cannot be taken for a later call's.
#pragma once

namespace SV {

// Reads glGetError until it answers no error.
void DrainGLErrors();

} // namespace SV
