#include "Renderer/OpenGL/GLDisplayList.h"
#include "Renderer/OpenGL/GLImageBuffer.h"
#include "Renderer/OpenGL/GLTexture.h"
#include "ResultCodes.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

TEST(GLResourcesTest, TextureSizesArePowersOfTwoUpTo16384)
{
    const std::vector<std::pair<int32_t, int32_t>> cases = {
        {-5, 0},    {0, 0},      {1, 1},         {2, 2},        {3, 4},
        {512, 512}, {513, 1024}, {16384, 16384}, {20000, 16384}};
    for (const auto& [n, expected] : cases) {
        EXPECT_EQ(SV::NextTextureSize(n), expected) << n;
    }
}

TEST(GLResourcesTest, ConvertingToAlphaMakesDarkOpaqueAndWhiteTransparent)
{
    // Five 0xAARRGGBB pixels: white, opaque black, the value 0, opaque grey 128, transparent red.
    const uint32_t argb[5] = {0xFFFFFFFF, 0xFF000000, 0x00000000, 0xFF808080, 0x00FF0000};
    std::vector<unsigned char> bytes(sizeof argb);
    std::memcpy(bytes.data(), argb, sizeof argb);
    SV::GLImageBuffer image;
    image.Attach(bytes.data(), 20, 4, 5, 1, GL_BGRA, GL_UNSIGNED_BYTE);

    image.ConvertToAlpha();
    EXPECT_EQ(image.format, static_cast<uint32_t>(GL_ALPHA));
    EXPECT_EQ(image.bytesPerPixel, 1);
    EXPECT_EQ(image.stride, 8) << "rows are padded to 4 bytes";
    EXPECT_TRUE(image.ownsPixels);
    // The source's alpha is not read: the transparent red counts as red.
    const std::vector<int> expected = {0, 255, 0, 128, 255 - 76};
    for (int x = 0; x < 5; ++x) {
        EXPECT_EQ(image.pixels[x], expected[x]) << x;
    }
}

TEST(GLResourcesTest, MovingAnImageHandsOverItsPixels)
{
    SV::GLImageBuffer source;
    unsigned char pixel[4] = {};
    source.Attach(pixel, 4, 4, 1, 1, GL_BGRA, GL_UNSIGNED_BYTE);
    source.ConvertToAlpha();
    unsigned char* owned = source.pixels;

    SV::GLImageBuffer taken;
    taken.MoveFrom(source);
    EXPECT_EQ(taken.pixels, owned);
    EXPECT_TRUE(taken.ownsPixels);
    EXPECT_EQ(source.pixels, nullptr);
    EXPECT_FALSE(source.ownsPixels);
}

TEST(GLResourcesTest, ADisplayListOfNoListsIsEmptyAndOneNeverRecordedReplaysNothing)
{
    EXPECT_TRUE(SV::LGLDisplayList::Create(0).IsEmpty());
    const SV::RCPtr<SV::LGLDisplayList> lists = SV::LGLDisplayList::Create(1);
    EXPECT_EQ(lists->CallLists(0, 1), E_FAIL);
    EXPECT_EQ(lists->EndList(), E_FAIL);
}

} // namespace
