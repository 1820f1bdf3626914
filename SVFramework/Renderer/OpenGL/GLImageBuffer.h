// A description of pixels handed to a texture: format, component type, size, row stride and the
// pixels themselves, which the buffer either owns (and frees) or only points at.
#pragma once

#include <cstdint>

namespace SV {

class GLImageBuffer
{
public:
    GLImageBuffer() = default;
    GLImageBuffer(const GLImageBuffer&) = delete;
    GLImageBuffer& operator=(const GLImageBuffer&) = delete;
    ~GLImageBuffer() { Release(); }

    // All fields 0; owned pixels are not freed.
    void Clear();
    // Frees owned pixels, then all fields 0.
    void Release();
    // Takes every field of the other buffer, ownership included, and clears the other.
    void MoveFrom(GLImageBuffer& other);
    // Describes the caller's pixels, which the buffer does not own.
    void Attach(void* pixels, int32_t stride, int32_t bytesPerPixel, int32_t width, int32_t height,
                uint32_t format, uint32_t type);

    // An 8-bit alpha image of the source's 32-bit 0xAARRGGBB pixels, rows padded to 4 bytes:
    // dark pixels become opaque and white ones transparent, and a pixel whose value is 0 gives 0.
    void ConvertToAlpha(int32_t width, int32_t height, const GLImageBuffer& source);
    void ConvertToAlpha();
    // The source scaled to the size with GLU (a GL context must be current); rows padded to 4
    // bytes.
    void ScaleTo(int32_t width, int32_t height, const GLImageBuffer& source);
    void ScaleTo(int32_t width, int32_t height);
    // Uploads the pixels into the bound texture of the target: at its top-left corner, or as a
    // whole mipmap chain.
    void Upload(uint32_t target, int32_t internalFormat, bool mipmaps) const;

    uint32_t format = 0;
    uint32_t type = 0;
    bool ownsPixels = false;
    unsigned char* pixels = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t stride = 0;
    int32_t bytesPerPixel = 0;

private:
    // Frees owned pixels and makes room for `bytes` owned ones.
    void Allocate(uint64_t bytes);
};

} // namespace SV
