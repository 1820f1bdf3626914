// The framework's image: a rectangle inside a picture of 32-bit non-premultiplied ARGB pixels
// that the bitmap owns or shares with the bitmap it was cut from. Skin images are loaded by name
// through a process-wide registry: a file path, or "::" and the file name of an image compiled
// into the program. Colorized copies, filled bitmaps and locked pixel access serve the skin's
// visual parts and the back ends.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Graphics/Color.h"
#include "Utilities/Graphics/PixelBuffer.h"
#include "Utilities/Graphics/Rect.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace SV {

class LBitmapData;
class LColorizer;

// One 0xAARRGGBB word per pixel.
using ArgbPixels = LPixelBuffer<uint32_t>;

class LBitmap : public virtual LRefCountedObject
{
public:
    // Reads the bytes of the image under a resource name ("CE_PNG"), a PNG or stored pixels
    // (StoredPixels.h); false when there is none.
    using ResourceReader = std::function<bool(const std::string& name, std::vector<uint8_t>&)>;

    // Image files larger than this are not read.
    static constexpr int64_t kMaxFileSize = int64_t(64) << 20;

    // No rectangle, no pixels, no name.
    LBitmap();
    // Loads the named image; without success the bitmap has no pixels.
    LBitmap(const WideString& name, const WideString& key);
    ~LBitmap() override;

    // The registered bitmap of the name (compared without case), loaded and registered on first
    // use; empty when it cannot be loaded. A bitmap leaves the registry with the last reference
    // held outside it.
    static RCPtr<LBitmap> GetBitmap(const WideString& name);
    // Loads and registers the named image on a thread of its own, so that the first GetBitmap
    // of it finds it ready, or waits only for the rest of the work. The image stays registered
    // until that first GetBitmap. Nothing happens for an image loaded or loading already.
    static void Prefetch(const WideString& name);
    // Waits for the images still loading ahead and lets go of those never used: what a program
    // does before it ends, so that no loading thread outlives it.
    static void EndPrefetching();
    // The resource name of a "::" image name: the rest upper-cased, '.' and ' ' turned into '_'.
    static std::string ResourceNameOf(const WideString& name);
    // Replaces where "::" images are read from (the compiled-in "GDIPLUS" resources); an empty
    // reader restores those. Answers the reader it replaced, empty for the compiled-in ones.
    static ResourceReader SetResourceReader(ResourceReader reader);

    // A bitmap over the same pixels: the rectangle (x, y, width, height) within this one, or this
    // whole one when width or height is 0 or less. It links to the bitmap owning the pixels.
    RCPtr<LBitmap> CreateSubBitmap(int32_t x, int32_t y, int32_t width, int32_t height);
    // A bitmap owning a copy of the part of this one's rectangle that lies on its picture.
    RCPtr<LBitmap> CreateCopyOfArea() const;
    // The colour of pixel (x, y) of the rectangle; transparent black outside the rectangle or
    // off the picture.
    ColorT GetPixel(int32_t x, int32_t y) const;
    // The pixels locked for reading; for a cut bitmap those of the bitmap it was cut from.
    RCPtr<LBitmapData> GetPixelData() const;

    // Throws a runtime error for a width or height of 0 or less.
    static RCPtr<LBitmap> CreateFilledBitmap(int32_t width, int32_t height, const ColorT& color);
    // Gradients are not drawn: always throws a domain error.
    [[noreturn]] static RCPtr<LBitmap> CreateGradientFilledBitmap(int32_t width, int32_t height,
                                                                  const ColorT& color,
                                                                  const ColorT& endColor,
                                                                  bool radial);
    // A bitmap filled with the colorizer's colour, its alpha times the modifier; a gradient of
    // two colours throws.
    static RCPtr<LBitmap> CreateColorizedBitmap(const ConstRCPtr<LColorizer>& colorizer,
                                                float alphaModifier, int32_t width, int32_t height);
    // Blends the colorizer's colour over the bitmap's pixels in place; alpha stays.
    static void ApplyColorizer(const RCPtr<LBitmap>& bitmap,
                               const ConstRCPtr<LColorizer>& colorizer, float alphaModifier);
    // Masked colorizing is not supported: always throws a domain error.
    [[noreturn]] static void ApplyColorizer(const RCPtr<LBitmap>& bitmap,
                                            const ConstRCPtr<LColorizer>& colorizer,
                                            float alphaModifier, const ConstRCPtr<LBitmap>& mask);
    // The picture of a skin part with a colorizer: a colorized copy of the part bitmap or of
    // the mask, or a colorized fill of the size when there is neither.
    static RCPtr<LBitmap> CreatePartBitmap(const ConstRCPtr<LColorizer>& colorizer,
                                           float alphaModifier, int32_t width, int32_t height,
                                           const ConstRCPtr<LBitmap>& partBitmap,
                                           const ConstRCPtr<LBitmap>& maskBitmap);

    int32_t ReleaseHook() override;

    const RectT<int32_t>& GetRect() const { return mRect; }
    int32_t GetWidth() const { return mRect.width; }
    int32_t GetHeight() const { return mRect.height; }
    const WideString& GetName() const { return mName; }
    const WideString& GetKey() const { return mKey; }
    // The bitmap whose pixels this one shares; empty for a bitmap with its own.
    const RCPtr<LBitmap>& GetCutFrom() const { return mCutFrom; }
    // The picture this bitmap shows part of, up its cut-from link; null without pixels. Its
    // identity names the picture in the back ends' caches.
    const ArgbPixels* GetPixelSource() const;
    ArgbPixels* GetPixelSource();
    bool HasPixels() const { return GetPixelSource() != nullptr; }
    // The rectangle clipped to the picture; empty without pixels.
    RectT<int32_t> GetRectOnPicture() const;

private:
    // The registered bitmap of the name, loaded and registered when it is not yet.
    static RCPtr<LBitmap> LoadRegistered(const WideString& name, const WideString& key);
    void Load();

    RectT<int32_t> mRect;
    RCPtr<LBitmap> mCutFrom;
    WideString mName;
    WideString mKey;
    RCPtr<LRefCountedObject> mSpare;
    RCPtr<ArgbPixels> mPixels;
};

// Locked pixels of a bitmap: the part of its rectangle that lies on its picture, addressed
// directly in the picture's memory.
class LBitmapData : public IPixelBuffer<uint32_t>, public virtual LRefCountedObject
{
public:
    enum LockMode : int32_t
    {
        kLockRead = 1,
        kLockWrite = 2,
        kLockReadWrite = 3,
    };

    // Throws a domain error when a second buffer is given.
    LBitmapData(const ConstRCPtr<LBitmap>& bitmap, int32_t lockMode,
                const ConstRCPtr<ArgbPixels>& secondBuffer = nullptr);

    int32_t GetWidth() const override { return mArea.width; }
    int32_t GetHeight() const override { return mArea.height; }
    int32_t GetStride() const override { return mStride; }
    const uint32_t* GetPixelForRead(int32_t x, int32_t y) const override;
    uint32_t* GetPixelForWrite(int32_t x, int32_t y) override;

    int32_t GetLockMode() const { return mLockMode; }
    // Where the locked area lies on the picture.
    const RectT<int32_t>& GetArea() const { return mArea; }

private:
    ConstRCPtr<LBitmap> mBitmap;
    int32_t mLockMode;
    RectT<int32_t> mArea;
    int32_t mStride = 0;
    uint32_t* mFirst = nullptr;
};

} // namespace SV
