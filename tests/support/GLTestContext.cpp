#include "GLTestContext.h"

#include <GL/gl.h>

namespace svtest {

GLTestContext::GLTestContext(int32_t width, int32_t height) : mWidth(width), mHeight(height)
{
    svp::PIXELFORMATDESCRIPTOR request;
    request.dwFlags = svp::PFD_DRAW_TO_WINDOW | svp::PFD_SUPPORT_OPENGL | svp::PFD_DOUBLEBUFFER;
    request.cColorBits = 32;
    mFormat = svp::ChoosePixelFormat(0, request);
    mWindow = svp::CreateScratchWindow(mFormat, width, height);
    if (mWindow == 0 || !svp::SetPixelFormat(mWindow, mFormat)) {
        return;
    }
    mContext = svp::CreateContext(mWindow);
    mCurrent = mContext != nullptr && svp::MakeCurrent(mWindow, mContext);
    if (mCurrent) {
        Reset();
    }
}

GLTestContext::~GLTestContext()
{
    if (mCurrent) {
        (void)svp::MakeCurrent(0, nullptr);
    }
    svp::DeleteContext(mContext);
    svp::DestroyScratchWindow(mWindow);
}

void GLTestContext::Reset()
{
    glViewport(0, 0, mWidth, mHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, mWidth, mHeight, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor4f(1, 1, 1, 1);
}

RGBA GLTestContext::ReadPixel(int32_t x, int32_t y) const
{
    unsigned char pixel[4] = {};
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, mHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    return {pixel[0], pixel[1], pixel[2], pixel[3]};
}

} // namespace svtest
