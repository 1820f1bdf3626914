// OpenGL rendering contexts for X windows, in the shape of the Windows pixel-format and context
// calls the OpenGL back end was written for: numbered pixel formats described by a
// PIXELFORMATDESCRIPTOR, a format set on a window, a context made for that window's format and
// made current on a window, buffer swaps and the extension string. Served by GLX over a
// connection of its own to the X server, so it works on windows that any client made.
#pragma once

#include "WindowHandle.h"

#include <cstdint>
#include <string>

namespace svp {

// An X window id (0 for none) and a rendering context (null for none).
using GLWindow = uint64_t;
using GLContextHandle = void*;

// Pixel format flags, with the Windows values.
constexpr uint32_t PFD_DOUBLEBUFFER = 0x1;
constexpr uint32_t PFD_DRAW_TO_WINDOW = 0x4;
constexpr uint32_t PFD_SUPPORT_OPENGL = 0x20;
constexpr uint32_t PFD_GENERIC_FORMAT = 0x40; // a format the driver marks as slow
constexpr uint32_t PFD_SWAP_COPY = 0x400;     // a swap leaves the back buffer as it was
constexpr uint32_t PFD_SUPPORT_COMPOSITION = 0x8000;
constexpr uint8_t PFD_TYPE_RGBA = 0;

// The fields of the Windows descriptor that a format choice looks at; nSize is always 40.
struct PIXELFORMATDESCRIPTOR
{
    uint16_t nSize = 40;
    uint16_t nVersion = 1;
    uint32_t dwFlags = 0;
    uint8_t iPixelType = PFD_TYPE_RGBA;
    uint8_t cColorBits = 0;
    uint8_t cAlphaBits = 0;
    uint8_t cDepthBits = 0;
    uint8_t cStencilBits = 0;
};

// The X window of a window handle: the one the handle stands for, unless a resolver was set
// (tests map handles of their own); 0 for a null handle.
using GLWindowResolver = GLWindow (*)(HWND window);
void SetGLWindowResolver(GLWindowResolver resolver);
GLWindow GetGLWindow(HWND window);

// The number (from 1) of the window-drawable RGBA format that best matches the descriptor and
// suits the window's X visual; 0 when there is no X server with GLX or no such format. The
// window may be 0, and then any visual will do.
int32_t ChoosePixelFormat(GLWindow window, const PIXELFORMATDESCRIPTOR& descriptor);
// Fills the descriptor of a format; answers the highest format number, 0 for a format that does
// not exist.
int32_t DescribePixelFormat(int32_t format, PIXELFORMATDESCRIPTOR& descriptor);
// Marks the window as drawn in the format. An X window's visual is fixed when it is made, so
// this fails when the format's visual is not the window's, or the window does not exist.
bool SetPixelFormat(GLWindow window, int32_t format);
// The formats, best first, that are double-buffered RGBA window formats whose swap copies the
// back buffer and that suit the window's visual; at most `capacity`. Answers how many were
// written, or -1 when the server cannot say how a format swaps.
int32_t ChooseSwapCopyPixelFormats(GLWindow window, int32_t* formats, int32_t capacity);

// An unmapped window in the format's visual, 1 x 1 unless asked otherwise, for finding out what
// a format can do before any real window is drawn (and for drawing off the screen in tests); 0
// when it cannot be made.
GLWindow CreateScratchWindow(int32_t format, int32_t width = 1, int32_t height = 1);
void DestroyScratchWindow(GLWindow window);

// A context for the format set on the window; null when none was set or the context fails.
GLContextHandle CreateContext(GLWindow window);
void DeleteContext(GLContextHandle context);
// Makes the context current on the window for the calling thread; (0, null) releases the
// current one. On failure GetLastContextError says why.
bool MakeCurrent(GLWindow window, GLContextHandle context);
GLContextHandle GetCurrentContext();
// Shows the back buffer of a double-buffered window.
bool SwapLayerBuffers(GLWindow window);

// The extensions of the server's GLX, separated by spaces; false when there is no GLX to ask.
bool GetExtensionsString(std::string& extensions);

// The X error code and its text of the last failed MakeCurrent on this thread.
int32_t GetLastContextError(std::string& text);

} // namespace svp
