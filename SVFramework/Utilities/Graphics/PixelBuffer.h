// Pixel access to images: the interface through which back ends read and write pixels, and the
// plain in-memory image behind it (32-bit ARGB for bitmaps, 8 bits for glyph coverage).
#pragma once

#include "ObjectBase/Exception.h"
#include "ObjectBase/RefCountedObject.h"

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

namespace SV {

template <class T>
class IPixelBuffer
{
public:
    virtual int32_t GetWidth() const = 0;
    virtual int32_t GetHeight() const = 0;
    // The distance between the starts of two rows, in bytes.
    virtual int32_t GetStride() const = 0;
    // The address of pixel (x, y); the coordinates are expected inside the buffer.
    virtual const T* GetPixelForRead(int32_t x, int32_t y) const = 0;
    virtual T* GetPixelForWrite(int32_t x, int32_t y) = 0;

protected:
    ~IPixelBuffer() = default;
};

template <class T>
class LPixelBuffer : public IPixelBuffer<T>, public virtual LRefCountedObject
{
public:
    // Sizes of 2^28 pixels and more are refused, so that no size from a skin or a file can ask
    // for memory beyond reason.
    static constexpr int64_t kMaxPixels = int64_t(1) << 28;

    // A buffer of the size with every pixel `fill`; a negative extent counts as 0. Throws
    // "bad allocation" for a size beyond kMaxPixels.
    LPixelBuffer(int32_t width, int32_t height, T fill = T{})
        : mWidth(width > 0 ? width : 0), mHeight(height > 0 ? height : 0)
    {
        if (int64_t(mWidth) * mHeight > kMaxPixels) {
            throw Exception<std::bad_alloc>();
        }
        mPixels.assign(static_cast<size_t>(mWidth) * static_cast<size_t>(mHeight), fill);
    }
    // Takes the pixels, rows top to bottom without padding; their count must be width x height.
    LPixelBuffer(int32_t width, int32_t height, std::vector<T> pixels)
        : mWidth(width > 0 ? width : 0), mHeight(height > 0 ? height : 0),
          mPixels(std::move(pixels))
    {
        mPixels.resize(static_cast<size_t>(mWidth) * static_cast<size_t>(mHeight));
    }
    // Reads pixels that outlive the buffer (the program's compiled-in pictures) where they lie,
    // rows top to bottom without padding: only the pages drawn from are ever read in. The first
    // write, or change of height, takes a copy to work on.
    LPixelBuffer(int32_t width, int32_t height, const T* lasting)
        : mWidth(width > 0 ? width : 0), mHeight(height > 0 ? height : 0), mLasting(lasting)
    {}

    int32_t GetWidth() const override { return mWidth; }
    int32_t GetHeight() const override { return mHeight; }
    int32_t GetStride() const override { return mWidth * static_cast<int32_t>(sizeof(T)); }
    const T* GetPixelForRead(int32_t x, int32_t y) const override
    {
        return (mLasting != nullptr ? mLasting : mPixels.data()) +
               static_cast<ptrdiff_t>(y) * mWidth + x;
    }
    T* GetPixelForWrite(int32_t x, int32_t y) override
    {
        TakeCopy();
        return mPixels.data() + static_cast<ptrdiff_t>(y) * mWidth + x;
    }

    // Grows or shrinks the buffer to `height` rows, keeping the rows that stay; new rows are
    // filled with T{}. Throws "bad allocation" beyond kMaxPixels.
    void SetHeight(int32_t height)
    {
        const int32_t rows = height > 0 ? height : 0;
        if (int64_t(mWidth) * rows > kMaxPixels) {
            throw Exception<std::bad_alloc>();
        }
        TakeCopy();
        mPixels.resize(static_cast<size_t>(mWidth) * static_cast<size_t>(rows), T{});
        mHeight = rows;
    }

    bool Contains(int32_t x, int32_t y) const
    {
        return x >= 0 && y >= 0 && x < mWidth && y < mHeight;
    }

private:
    void TakeCopy()
    {
        if (mLasting != nullptr) {
            mPixels.assign(mLasting,
                           mLasting + static_cast<size_t>(mWidth) * static_cast<size_t>(mHeight));
            mLasting = nullptr;
        }
    }

    int32_t mWidth;
    int32_t mHeight;
    std::vector<T> mPixels;
    // Pixels read in place until the first write; null once the buffer holds its own.
    const T* mLasting = nullptr;
};

} // namespace SV
