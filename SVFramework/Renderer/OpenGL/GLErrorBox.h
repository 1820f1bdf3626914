// How the OpenGL back end reports a set-up failure: the texts come from the framework string
// table and are shown in the application's message box. Until the application connects both,
// the English texts are used and the box is written to standard error.
#pragma once

#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace SV {

// The text of a framework string-table key; empty when the table has no such key.
using GLTextLookup = WideString (*)(const char* key);
using GLMessageBox = void (*)(const WideString& caption, const WideString& text, uint32_t style);

// Null restores the built-in one.
void SetGLErrorServices(GLTextLookup lookup, GLMessageBox messageBox);

WideString GetGLErrorText(const char* key);
void ShowGLErrorBox(const WideString& caption, const WideString& text, uint32_t style);

} // namespace SV
