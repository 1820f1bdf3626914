// A GL context current on an unmapped window of its own, for tests that draw with OpenGL under
// Xvfb and read the pixels back. The projection maps one unit to one pixel, y downwards.
#pragma once

#include "OpenGLContext.h"

#include <cstdint>

namespace svtest {

struct RGBA
{
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    uint8_t a = 0;
    bool operator==(const RGBA&) const = default;
};

class GLTestContext
{
public:
    GLTestContext(int32_t width, int32_t height);
    ~GLTestContext();
    GLTestContext(const GLTestContext&) = delete;
    GLTestContext& operator=(const GLTestContext&) = delete;

    // False when no context could be made (no X server with GLX).
    bool IsCurrent() const { return mCurrent; }
    svp::GLWindow GetWindow() const { return mWindow; }
    int32_t GetFormat() const { return mFormat; }

    // Clears to transparent black with the fixed state a fresh frame starts from.
    void Reset();
    // The pixel at (x, y) of the back buffer, y counted from the top.
    RGBA ReadPixel(int32_t x, int32_t y) const;

private:
    int32_t mWidth;
    int32_t mHeight;
    int32_t mFormat = 0;
    svp::GLWindow mWindow = 0;
    svp::GLContextHandle mContext = nullptr;
    bool mCurrent = false;
};

} // namespace svtest
