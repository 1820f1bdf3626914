#include "Renderer/OpenGL/GLImageBuffer.h"

#include "Renderer/OpenGL/GLErrors.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstring>

namespace SV {
namespace {

int32_t RoundUpTo4(int64_t bytes)
{
    return static_cast<int32_t>((bytes + 3) & ~int64_t(3));
}

// The unpack alignment that reads rows `stride` bytes apart: the smallest power of two above
// the bytes left over after the whole pixels, which is 1 whenever the stride is whole pixels.
GLint UnpackAlignment(int32_t stride, int32_t bytesPerPixel)
{
    const int32_t rest = bytesPerPixel > 0 ? stride % bytesPerPixel : 0;
    GLint alignment = 1;
    while (alignment <= rest) {
        alignment *= 2;
    }
    return alignment;
}

} // namespace

void GLImageBuffer::Clear()
{
    format = 0;
    type = 0;
    ownsPixels = false;
    pixels = nullptr;
    width = 0;
    height = 0;
    stride = 0;
    bytesPerPixel = 0;
}

void GLImageBuffer::Release()
{
    if (ownsPixels) {
        delete[] pixels;
    }
    Clear();
}

void GLImageBuffer::MoveFrom(GLImageBuffer& other)
{
    if (&other == this) {
        return;
    }
    Release();
    format = other.format;
    type = other.type;
    ownsPixels = other.ownsPixels;
    pixels = other.pixels;
    width = other.width;
    height = other.height;
    stride = other.stride;
    bytesPerPixel = other.bytesPerPixel;
    other.Clear();
}

void GLImageBuffer::Attach(void* newPixels, int32_t newStride, int32_t newBytesPerPixel,
                           int32_t newWidth, int32_t newHeight, uint32_t newFormat,
                           uint32_t newType)
{
    Release();
    pixels = static_cast<unsigned char*>(newPixels);
    stride = newStride;
    bytesPerPixel = newBytesPerPixel;
    width = newWidth;
    height = newHeight;
    format = newFormat;
    type = newType;
}

void GLImageBuffer::Allocate(uint64_t bytes)
{
    if (ownsPixels) {
        delete[] pixels;
    }
    pixels = new unsigned char[bytes > 0 ? bytes : 1];
    ownsPixels = true;
}

void GLImageBuffer::ConvertToAlpha(int32_t newWidth, int32_t newHeight, const GLImageBuffer& source)
{
    const int32_t newStride = RoundUpTo4(std::max(newWidth, 0));
    Allocate(uint64_t(newStride) * uint64_t(std::max(newHeight, 0)));
    format = GL_ALPHA;
    type = GL_UNSIGNED_BYTE;
    bytesPerPixel = 1;
    width = newWidth;
    height = newHeight;
    stride = newStride;
    const int32_t rows = std::min(height, source.height);
    const int32_t columns = std::min(width, source.width);
    for (int32_t y = 0; y < rows; ++y) {
        const unsigned char* from = source.pixels + int64_t(y) * source.stride;
        unsigned char* to = pixels + int64_t(y) * stride;
        for (int32_t x = 0; x < columns; ++x) {
            uint32_t argb = 0;
            std::memcpy(&argb, from + 4 * x, 4);
            if (argb == 0) {
                to[x] = 0;
                continue;
            }
            const double red = (argb >> 16) & 0xFF;
            const double green = (argb >> 8) & 0xFF;
            const double blue = argb & 0xFF;
            // The weights in this order: an opaque mid grey of 128 sums to just below 128.
            const double luminance = 0.59 * green + 0.3 * red + 0.11 * blue;
            to[x] = static_cast<unsigned char>(255 - static_cast<int32_t>(luminance));
        }
    }
}

void GLImageBuffer::ConvertToAlpha()
{
    GLImageBuffer source;
    source.MoveFrom(*this);
    ConvertToAlpha(source.width, source.height, source);
}

void GLImageBuffer::ScaleTo(int32_t newWidth, int32_t newHeight, const GLImageBuffer& source)
{
    format = source.format;
    type = source.type;
    bytesPerPixel = source.bytesPerPixel;
    width = newWidth;
    height = newHeight;
    stride = RoundUpTo4(int64_t(std::max(newWidth, 0)) * bytesPerPixel);
    Allocate(uint64_t(stride) * uint64_t(std::max(newHeight, 0)));
    glPixelStorei(GL_UNPACK_ROW_LENGTH,
                  source.bytesPerPixel > 0 ? source.stride / source.bytesPerPixel : 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, UnpackAlignment(source.stride, source.bytesPerPixel));
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    gluScaleImage(source.format, source.width, source.height, source.type, source.pixels, width,
                  height, type, pixels);
    DrainGLErrors();
}

void GLImageBuffer::ScaleTo(int32_t newWidth, int32_t newHeight)
{
    GLImageBuffer source;
    source.MoveFrom(*this);
    ScaleTo(newWidth, newHeight, source);
}

void GLImageBuffer::Upload(uint32_t target, int32_t internalFormat, bool mipmaps) const
{
    glPixelStorei(GL_UNPACK_ROW_LENGTH, bytesPerPixel > 0 ? stride / bytesPerPixel : 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, UnpackAlignment(stride, bytesPerPixel));
    if (mipmaps) {
        gluBuild2DMipmaps(target, internalFormat, width, height, format, type, pixels);
    } else {
        glTexSubImage2D(target, 0, 0, 0, width, height, format, type, pixels);
    }
    DrainGLErrors();
}

} // namespace SV
