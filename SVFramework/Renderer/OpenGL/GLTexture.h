// A 2-D texture made from a block of pixels, sized to powers of two, with the image in its
// top-left corner, drawn as textured quads. Every call assumes the renderer's GL context is
// current.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Graphics/Bitmap.h"

#include <cstdint>

namespace SV {

class GLImageBuffer;

// The smallest power of two not below n, at most 16384; 0 for n of 0 or less.
int32_t NextTextureSize(int32_t n);

class LGLTexture : public virtual LRefCountedObject
{
public:
    // Flags of Create.
    static constexpr uint32_t kNearest = 1; // else linear filtering
    static constexpr uint32_t kRepeat = 2;  // else clamped
    static constexpr uint32_t kMipmaps = 4;
    static constexpr uint32_t kNoName = 0xFFFFFFFF;

    LGLTexture() = default;
    ~LGLTexture() override;

    // Specifies the texture anew from the image (keeping its GL name once it has one). An alpha
    // internal format (GL_ALPHA8, GL_ALPHA4) converts the image to alpha first. The image is
    // scaled to the texture size when the driver forces a smaller texture or wrapping repeats.
    void Create(GLImageBuffer& image, int32_t internalFormat, uint32_t flags, float scale);
    // Halves `width` and `height` until the driver's proxy accepts a texture of that size;
    // answers the reduction factor.
    int32_t ProbeSize(float& width, float& height, int32_t internalFormat, uint32_t format,
                      uint32_t type);
    // Draws the source rectangle, in image pixels, as a quad at the destination.
    void Draw(float sourceLeft, float sourceTop, float sourceRight, float sourceBottom, float left,
              float top, float right, float bottom) const;

    // The whole picture the bitmap's pixels belong to becomes the texture (linear filtering,
    // clamped); the bitmap is kept alive with it. Bitmaps cut from the picture are drawn by
    // passing their rectangle within it to Draw.
    void SetBitmap(const ConstRCPtr<LBitmap>& bitmap);

    uint32_t GetName() const { return mName; }
    float GetTextureWidth() const { return mTextureWidth; }
    float GetTextureHeight() const { return mTextureHeight; }
    float GetImageWidth() const { return mImageWidth; }
    float GetImageHeight() const { return mImageHeight; }
    float GetScaledWidth() const { return mScaledWidth; }
    float GetScaledHeight() const { return mScaledHeight; }

private:
    // Makes a GL name unless the current one is still a texture, and binds it.
    void BindName();

    uint32_t mTarget = 0x0DE1; // GL_TEXTURE_2D
    uint32_t mName = kNoName;
    float mTextureWidth = 0;
    float mTextureHeight = 0;
    float mImageWidth = 0;
    float mImageHeight = 0;
    float mScaledWidth = 0;
    float mScaledHeight = 0;
    // The image size before any scaling, which the source rectangles of Draw are given in.
    float mSourceWidth = 0;
    float mSourceHeight = 0;
    ConstRCPtr<LBitmap> mBitmap;
};

} // namespace SV
