#include "OpenGLContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>

namespace {

using namespace svp;

PIXELFORMATDESCRIPTOR DoubleBufferedRequest()
{
    PIXELFORMATDESCRIPTOR request;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_SWAP_COPY | PFD_DOUBLEBUFFER;
    request.cColorBits = 32;
    return request;
}

TEST(OpenGLContextX11Test, AChosenFormatDescribesAWindowFormatWithTheAskedBuffering)
{
    const int32_t format = ChoosePixelFormat(0, DoubleBufferedRequest());
    ASSERT_GT(format, 0);
    PIXELFORMATDESCRIPTOR described;
    EXPECT_GE(DescribePixelFormat(format, described), format);
    EXPECT_EQ(described.nSize, 40);
    EXPECT_NE(described.dwFlags & PFD_DRAW_TO_WINDOW, 0u);
    EXPECT_NE(described.dwFlags & PFD_SUPPORT_OPENGL, 0u);
    EXPECT_NE(described.dwFlags & PFD_DOUBLEBUFFER, 0u);
    EXPECT_GE(described.cColorBits, 24);

    EXPECT_EQ(DescribePixelFormat(0, described), 0);
    EXPECT_EQ(DescribePixelFormat(1 << 20, described), 0);
}

TEST(OpenGLContextX11Test, AContextDrawsIntoItsScratchWindowAndIsReleased)
{
    const int32_t format = ChoosePixelFormat(0, DoubleBufferedRequest());
    const GLWindow window = CreateScratchWindow(format);
    ASSERT_NE(window, 0u);
    EXPECT_EQ(CreateContext(window), nullptr) << "no format was set yet";
    ASSERT_TRUE(SetPixelFormat(window, format));
    // A window's visual is fixed: a format of another visual cannot be set on it.
    EXPECT_EQ(ChoosePixelFormat(window, DoubleBufferedRequest()), format);

    const GLContextHandle context = CreateContext(window);
    ASSERT_NE(context, nullptr);
    std::string why;
    ASSERT_TRUE(MakeCurrent(window, context)) << GetLastContextError(why) << " " << why;
    EXPECT_EQ(GetCurrentContext(), context);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    unsigned char pixel[4] = {};
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[0], 255);
    EXPECT_EQ(pixel[1], 0);

    EXPECT_TRUE(MakeCurrent(0, nullptr));
    EXPECT_EQ(GetCurrentContext(), nullptr);
    DeleteContext(context);
    DestroyScratchWindow(window);
}

TEST(OpenGLContextX11Test, MakingCurrentOnAMissingWindowFailsWithTheXError)
{
    const int32_t format = ChoosePixelFormat(0, DoubleBufferedRequest());
    const GLWindow window = CreateScratchWindow(format);
    ASSERT_TRUE(SetPixelFormat(window, format));
    const GLContextHandle context = CreateContext(window);
    DestroyScratchWindow(window);

    EXPECT_FALSE(SetPixelFormat(window, format));
    EXPECT_FALSE(MakeCurrent(window, context));
    std::string text;
    EXPECT_NE(GetLastContextError(text), 0);
    EXPECT_FALSE(text.empty());
    DeleteContext(context);
}

TEST(OpenGLContextX11Test, TheExtensionStringListsGLXExtensions)
{
    std::string extensions;
    ASSERT_TRUE(GetExtensionsString(extensions));
    EXPECT_NE(extensions.find("GLX_"), std::string::npos);
}

} // namespace
