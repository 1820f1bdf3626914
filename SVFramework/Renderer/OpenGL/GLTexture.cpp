#include "Renderer/OpenGL/GLTexture.h"

#include "Renderer/OpenGL/GLErrors.h"
#include "Renderer/OpenGL/GLImageBuffer.h"
#include "Utilities/Graphics/Bitmap.h"

#include <GL/gl.h>

namespace SV {
namespace {

constexpr int32_t kMaxTextureSize = 0x4000;

bool IsAlphaFormat(int32_t internalFormat)
{
    return internalFormat == GL_ALPHA8 || internalFormat == GL_ALPHA4;
}

} // namespace

int32_t NextTextureSize(int32_t n)
{
    int32_t size = 1;
    while (size < n && size < kMaxTextureSize) {
        size *= 2;
    }
    // Only n of 0 or less lies below half of 1.
    return n < size - size / 2 ? size / 2 : size;
}

LGLTexture::~LGLTexture()
{
    if (mName != kNoName && glIsTexture(mName)) {
        glDeleteTextures(1, &mName);
        mName = kNoName;
    }
    mTextureWidth = mTextureHeight = mImageWidth = mImageHeight = 0;
    mScaledWidth = mScaledHeight = 0;
    mBitmap = nullptr;
}

void LGLTexture::BindName()
{
    if (mName == kNoName || !glIsTexture(mName)) {
        glGenTextures(1, &mName);
    }
    glBindTexture(mTarget, mName);
}

void LGLTexture::Create(GLImageBuffer& image, int32_t internalFormat, uint32_t flags, float scale)
{
    BindName();
    const bool alpha = IsAlphaFormat(internalFormat);
    const uint32_t uploadFormat = alpha ? GL_ALPHA : image.format;
    const uint32_t uploadType = alpha ? GL_UNSIGNED_BYTE : image.type;

    mImageWidth = static_cast<float>(image.width);
    mImageHeight = static_cast<float>(image.height);
    mSourceWidth = mImageWidth;
    mSourceHeight = mImageHeight;
    mScaledWidth = mImageWidth / scale;
    mScaledHeight = mImageHeight / scale;
    mTextureWidth = static_cast<float>(NextTextureSize(static_cast<int32_t>(mImageWidth)));
    mTextureHeight = static_cast<float>(NextTextureSize(static_cast<int32_t>(mImageHeight)));

    const bool nearest = (flags & kNearest) != 0;
    const bool mipmaps = (flags & kMipmaps) != 0;
    GLint minFilter = GL_LINEAR;
    if (nearest) {
        minFilter = mipmaps ? GL_NEAREST_MIPMAP_NEAREST : GL_NEAREST;
    } else if (mipmaps) {
        minFilter = GL_LINEAR_MIPMAP_LINEAR;
    }
    glTexParameteri(mTarget, GL_TEXTURE_MIN_FILTER, minFilter);
    glTexParameteri(mTarget, GL_TEXTURE_MAG_FILTER, nearest ? GL_NEAREST : GL_LINEAR);
    const GLint wrap = (flags & kRepeat) != 0 ? GL_REPEAT : GL_CLAMP;
    glTexParameteri(mTarget, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(mTarget, GL_TEXTURE_WRAP_T, wrap);
    DrainGLErrors();

    const int32_t factor =
        ProbeSize(mTextureWidth, mTextureHeight, internalFormat, uploadFormat, uploadType);
    glTexImage2D(mTarget, 0, internalFormat, static_cast<GLsizei>(mTextureWidth),
                 static_cast<GLsizei>(mTextureHeight), 0, uploadFormat, uploadType, nullptr);
    DrainGLErrors();

    if ((factor > 1 || (flags & kRepeat) != 0) &&
        (mTextureWidth != mImageWidth || mTextureHeight != mImageHeight)) {
        image.ScaleTo(static_cast<int32_t>(mTextureWidth), static_cast<int32_t>(mTextureHeight));
        mImageWidth = mTextureWidth;
        mImageHeight = mTextureHeight;
    }
    if (alpha) {
        image.ConvertToAlpha();
    }
    image.Upload(mTarget, internalFormat, mipmaps);
}

int32_t LGLTexture::ProbeSize(float& width, float& height, int32_t internalFormat, uint32_t format,
                              uint32_t type)
{
    BindName();
    DrainGLErrors();
    glEnable(GL_PROXY_TEXTURE_2D);
    DrainGLErrors();
    int32_t factor = 1;
    if (width > 1.0f) {
        while (height > 1.0f) {
            glTexImage2D(GL_PROXY_TEXTURE_2D, 0, internalFormat, static_cast<GLsizei>(width),
                         static_cast<GLsizei>(height), 0, format, type, nullptr);
            if (glGetError() == GL_NO_ERROR) {
                break;
            }
            GLint readWidth = 0;
            GLint readHeight = 0;
            GLint readFormat = 0;
            glGetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &readWidth);
            glGetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &readHeight);
            glGetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT,
                                     &readFormat);
            internalFormat = readFormat;
            if (readWidth == static_cast<GLint>(width) &&
                readHeight == static_cast<GLint>(height)) {
                break;
            }
            width /= 2;
            height /= 2;
            factor *= 2;
            if (width <= 1.0f) {
                break;
            }
        }
    }
    DrainGLErrors();
    return factor;
}

void LGLTexture::Draw(float sourceLeft, float sourceTop, float sourceRight, float sourceBottom,
                      float left, float top, float right, float bottom) const
{
    glEnable(mTarget);
    glBindTexture(mTarget, mName);
    // Pixels of the image as it was given to texture coordinates, also after the image was
    // scaled up to the whole texture; the image's top row is at t = 0.
    const float sScale =
        mSourceWidth > 0 && mTextureWidth > 0 ? (mImageWidth / mTextureWidth) / mSourceWidth : 0.0f;
    const float tScale = mSourceHeight > 0 && mTextureHeight > 0
                             ? (mImageHeight / mTextureHeight) / mSourceHeight
                             : 0.0f;
    const float s0 = sourceLeft * sScale;
    const float s1 = sourceRight * sScale;
    const float t0 = sourceTop * tScale;
    const float t1 = sourceBottom * tScale;
    glBegin(GL_QUADS);
    glTexCoord2f(s0, t0);
    glVertex2f(left, top);
    glTexCoord2f(s0, t1);
    glVertex2f(left, bottom);
    glTexCoord2f(s1, t1);
    glVertex2f(right, bottom);
    glTexCoord2f(s1, t0);
    glVertex2f(right, top);
    glEnd();
    glDisable(mTarget);
}

void LGLTexture::SetBitmap(const ConstRCPtr<LBitmap>& bitmap)
{
    mBitmap = bitmap;
    const ArgbPixels* picture = bitmap ? bitmap->GetPixelSource() : nullptr;
    if (picture == nullptr) {
        return;
    }
    // The lock keeps the picture's pixels in place while they are uploaded.
    const RCPtr<LBitmapData> locked = bitmap->GetPixelData();
    GLImageBuffer image;
    image.Attach(const_cast<uint32_t*>(picture->GetPixelForRead(0, 0)), picture->GetStride(), 4,
                 picture->GetWidth(), picture->GetHeight(), GL_BGRA, GL_UNSIGNED_BYTE);
    Create(image, GL_RGBA8, 0, 1.0f);
}

} // namespace SV
