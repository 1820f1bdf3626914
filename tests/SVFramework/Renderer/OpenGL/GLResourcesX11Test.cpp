#include "GLTestContext.h"
#include "Renderer/OpenGL/GLDisplayList.h"
#include "Renderer/OpenGL/GLImageBuffer.h"
#include "Renderer/OpenGL/GLPolygon.h"
#include "Renderer/OpenGL/GLTexture.h"
#include "ResultCodes.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

using svtest::RGBA;

class GLResourcesX11Test : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(mContext.IsCurrent()); }

    svtest::GLTestContext mContext{64, 64};
};

// A width x height image of 0xAARRGGBB pixels: red on the left half, blue on the right.
std::vector<uint32_t> HalfRedHalfBlue(int32_t width, int32_t height)
{
    std::vector<uint32_t> pixels(size_t(width) * height);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            pixels[size_t(y) * width + x] = x < width / 2 ? 0xFFFF0000 : 0xFF0000FF;
        }
    }
    return pixels;
}

TEST_F(GLResourcesX11Test, ATextureHoldsItsImageInThePowerOfTwoCornerAndDrawsIt)
{
    std::vector<uint32_t> pixels = HalfRedHalfBlue(100, 30);
    SV::GLImageBuffer image;
    image.Attach(pixels.data(), 400, 4, 100, 30, GL_BGRA, GL_UNSIGNED_BYTE);
    const SV::RCPtr<SV::LGLTexture> texture(new SV::LGLTexture);
    texture->Create(image, GL_RGBA8, 0, 1.0f);
    EXPECT_NE(texture->GetName(), SV::LGLTexture::kNoName);
    EXPECT_EQ(texture->GetTextureWidth(), 128.0f);
    EXPECT_EQ(texture->GetTextureHeight(), 32.0f);
    EXPECT_EQ(texture->GetImageWidth(), 100.0f);
    EXPECT_EQ(texture->GetImageHeight(), 30.0f);

    // The whole image into a 40 x 20 rectangle: red left, blue right, nothing outside.
    texture->Draw(0, 0, 100, 30, 10, 10, 50, 30);
    EXPECT_EQ(mContext.ReadPixel(15, 20), (RGBA{255, 0, 0, 255}));
    EXPECT_EQ(mContext.ReadPixel(45, 20), (RGBA{0, 0, 255, 255}));
    EXPECT_EQ(mContext.ReadPixel(55, 20), (RGBA{}));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << "drawing leaves texturing off";
}

TEST_F(GLResourcesX11Test, ARepeatingTextureScalesItsImageToTheWholeTexture)
{
    std::vector<uint32_t> pixels = HalfRedHalfBlue(100, 30);
    SV::GLImageBuffer image;
    image.Attach(pixels.data(), 400, 4, 100, 30, GL_BGRA, GL_UNSIGNED_BYTE);
    const SV::RCPtr<SV::LGLTexture> texture(new SV::LGLTexture);
    texture->Create(image, GL_RGBA8, SV::LGLTexture::kRepeat | SV::LGLTexture::kNearest, 1.0f);
    EXPECT_EQ(image.width, 128);
    EXPECT_EQ(image.height, 32);
    EXPECT_EQ(texture->GetImageWidth(), 128.0f);

    // Source rectangles stay in the pixels of the image as given: its right half is blue.
    texture->Draw(50, 0, 100, 30, 0, 0, 20, 20);
    EXPECT_EQ(mContext.ReadPixel(2, 10), (RGBA{0, 0, 255, 255}));
    EXPECT_EQ(mContext.ReadPixel(18, 10), (RGBA{0, 0, 255, 255}));
}

TEST_F(GLResourcesX11Test, ADisplayListReplaysWhatItRecordedWithTheCurrentPlacement)
{
    const SV::RCPtr<SV::LGLDisplayList> lists = SV::LGLDisplayList::Create(1);
    ASSERT_EQ(lists->BeginList(0), S_OK);
    glBegin(GL_QUADS);
    glVertex2f(0, 0);
    glVertex2f(10, 0);
    glVertex2f(10, 10);
    glVertex2f(0, 10);
    glEnd();
    ASSERT_EQ(lists->EndList(), S_OK);
    EXPECT_EQ(mContext.ReadPixel(5, 5), RGBA{}) << "recording draws nothing";

    glColor4f(0, 1, 0, 1);
    glTranslatef(20, 0, 0);
    EXPECT_EQ(lists->CallLists(0, 1), S_OK);
    EXPECT_EQ(mContext.ReadPixel(25, 5), (RGBA{0, 255, 0, 255}));
    EXPECT_EQ(mContext.ReadPixel(5, 5), RGBA{});
    EXPECT_EQ(lists->CallLists(0, 2), E_INVALIDARG);
}

TEST_F(GLResourcesX11Test, AFilledOutlineCoversItsInsideAndTheVertexStoreOnlyGrows)
{
    SV::PolylineT<float> square;
    square.SetPoints({{10, 10}, {40, 10}, {40, 40}, {10, 40}});
    SV::CGLPolygon polygon;
    glColor4f(1, 1, 0, 1);
    polygon.Fill(square);
    EXPECT_EQ(mContext.ReadPixel(25, 25), (RGBA{255, 255, 0, 255}));
    EXPECT_EQ(mContext.ReadPixel(12, 38), (RGBA{255, 255, 0, 255}));
    EXPECT_EQ(mContext.ReadPixel(45, 25), RGBA{});
    EXPECT_GE(SV::CGLPolygon::GetVertexStoreSize(), 12u);

    SV::PolylineT<float> two;
    two.SetPoints({{0, 0}, {5, 5}});
    polygon.Fill(two);
    EXPECT_GE(SV::CGLPolygon::GetVertexStoreSize(), 12u);
}

TEST_F(GLResourcesX11Test, AConcaveOutlineLeavesItsNotchEmpty)
{
    // An L shape: the top-right quarter of the square is outside.
    SV::PolylineT<float> shape;
    shape.SetPoints({{0, 0}, {20, 0}, {20, 20}, {40, 20}, {40, 40}, {0, 40}});
    SV::CGLPolygon().Fill(shape);
    EXPECT_EQ(mContext.ReadPixel(10, 10), (RGBA{255, 255, 255, 255}));
    EXPECT_EQ(mContext.ReadPixel(30, 30), (RGBA{255, 255, 255, 255}));
    EXPECT_EQ(mContext.ReadPixel(30, 10), RGBA{});
}

} // namespace
