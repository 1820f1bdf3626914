#include "Utilities/Graphics/Bitmap.h"

#include "EmbeddedResources.h"
#include "FileSystem.h"
#include "ObjectBase/Exception.h"
#include "StoredPixels.h"
#include "Utilities/Graphics/Colorizer.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <stdexcept>
#include <system_error>
#include <thread>

namespace SV {

namespace {

[[noreturn]] void ThrowRuntimeError(const char* text)
{
    throw Exception<std::runtime_error>(text);
}

[[noreturn]] void ThrowDomainError(const char* text)
{
    throw Exception<std::domain_error>(text);
}

// The image compiled in under the resource name. Its bytes are read where they lie and let go
// of afterwards: the images are compiled in as their pixels, and would otherwise stay resident
// beside the copy the bitmap keeps.
// A compiled-in picture: stored pixels are read where the executable holds them; anything else
// is decoded, after which the pages it was read from are given back.
RCPtr<ArgbPixels> LoadCompiledInImage(const std::string& name)
{
    const svp::EmbeddedResource* resource = svp::FindEmbeddedResource("GDIPLUS", name);
    if (resource == nullptr || resource->bytes.empty()) {
        return nullptr;
    }
    svp::StoredPixelsView view;
    if (svp::ViewStoredPixels(resource->bytes.data(), resource->bytes.size(), view)) {
        return RCPtr<ArgbPixels>(new ArgbPixels(static_cast<int32_t>(view.width),
                                                static_cast<int32_t>(view.height), view.pixels));
    }
    svp::DecodedImage image;
    std::string error;
    const bool decoded =
        svp::DecodePicture(resource->bytes.data(), resource->bytes.size(), image, error);
    svp::ReleaseEmbeddedResourcePages(*resource);
    if (!decoded) {
        return nullptr;
    }
    return RCPtr<ArgbPixels>(new ArgbPixels(static_cast<int32_t>(image.width),
                                            static_cast<int32_t>(image.height),
                                            std::move(image.pixels)));
}

bool ReadImageFile(const std::string& path, std::vector<uint8_t>& bytes)
{
    const int32_t descriptor = svp::OpenFile(path, svp::kOpenReadOnly);
    if (descriptor < 0) {
        return false;
    }
    const int64_t size = svp::GetFileSize(descriptor);
    bool read = size > 0 && size <= LBitmap::kMaxFileSize;
    if (read) {
        bytes.resize(static_cast<size_t>(size));
        read = svp::ReadFile(descriptor, bytes.data(), bytes.size()) == size;
    }
    svp::CloseFile(descriptor);
    return read;
}

// The registry of bitmaps loaded by name, keyed by the upper-cased name. It lives to the end of
// the process: a bitmap released while the process exits still finds it to leave it.
struct BitmapRegistry
{
    std::recursive_mutex lock;
    std::map<WideString, RCPtr<LBitmap>> bitmaps;
    // Empty for the compiled-in images.
    LBitmap::ResourceReader reader;
    // The threads loading images ahead of their first use, and the images so loaded, held
    // registered until that use.
    std::map<WideString, std::thread> prefetching;
    std::map<WideString, RCPtr<LBitmap>> prefetched;
};

BitmapRegistry& Registry()
{
    static BitmapRegistry* registry = new BitmapRegistry();
    return *registry;
}

bool StartsWithResourcePrefix(const WideString& name)
{
    return name.GetLength() >= 2 && name.GetText()[0] == u':' && name.GetText()[1] == u':';
}

int32_t SaturatedSum(int32_t a, int32_t b)
{
    return static_cast<int32_t>(std::clamp<int64_t>(int64_t(a) + b, INT32_MIN, INT32_MAX));
}

// One colour byte blended toward the colorizer's premultiplied channel; the result is clamped,
// because a modifier outside 0..1 leaves the byte range.
uint32_t BlendChannel(uint32_t byte, float keep, float add)
{
    const float value = ((static_cast<float>(byte) / 255.0f) * keep + add) * 255.0f + 0.5f;
    if (!(value > 0.0f)) {
        return 0;
    }
    return value >= 255.0f ? 255u : static_cast<uint32_t>(value);
}

} // namespace

LBitmap::LBitmap() = default;

LBitmap::LBitmap(const WideString& name, const WideString& key) : mName(name), mKey(key)
{
    Load();
}

LBitmap::~LBitmap() = default;

void LBitmap::Load()
{
    std::vector<uint8_t> bytes;
    svp::DecodedImage image;
    std::string error;
    if (StartsWithResourcePrefix(mName)) {
        ResourceReader reader;
        {
            std::lock_guard<std::recursive_mutex> guard(Registry().lock);
            reader = Registry().reader;
        }
        if (!reader) {
            mPixels = LoadCompiledInImage(ResourceNameOf(mName));
            if (mPixels) {
                mRect = {0, 0, mPixels->GetWidth(), mPixels->GetHeight()};
            }
            return;
        }
        if (!reader(ResourceNameOf(mName), bytes) ||
            !svp::DecodePicture(bytes.data(), bytes.size(), image, error)) {
            return;
        }
    } else if (!ReadImageFile(mName.ToNarrow().GetText(), bytes) ||
               !svp::DecodePicture(bytes.data(), bytes.size(), image, error)) {
        return;
    }
    const int32_t width = static_cast<int32_t>(image.width);
    const int32_t height = static_cast<int32_t>(image.height);
    mPixels = RCPtr<ArgbPixels>(new ArgbPixels(width, height, std::move(image.pixels)));
    mRect = {0, 0, width, height};
}

std::string LBitmap::ResourceNameOf(const WideString& name)
{
    WideString resource = name.MidFrom(StartsWithResourcePrefix(name) ? 2 : 0).ToUpper();
    resource.ReplaceChars(u". ", u'_');
    return resource.ToNarrow().GetText();
}

LBitmap::ResourceReader LBitmap::SetResourceReader(ResourceReader reader)
{
    std::lock_guard<std::recursive_mutex> guard(Registry().lock);
    ResourceReader previous = std::move(Registry().reader);
    Registry().reader = std::move(reader);
    return previous;
}

RCPtr<LBitmap> LBitmap::GetBitmap(const WideString& name)
{
    const WideString key = name.ToUpper();
    BitmapRegistry& registry = Registry();
    std::thread loading;
    {
        std::lock_guard<std::recursive_mutex> guard(registry.lock);
        const auto found = registry.prefetching.find(key);
        if (found != registry.prefetching.end()) {
            loading = std::move(found->second);
            registry.prefetching.erase(found);
        }
    }
    // The loading thread registers the image under the lock: it is waited for without it.
    if (loading.joinable()) {
        loading.join();
    }
    RCPtr<LBitmap> heldAhead;
    std::lock_guard<std::recursive_mutex> guard(registry.lock);
    if (const auto held = registry.prefetched.find(key); held != registry.prefetched.end()) {
        // The caller's reference takes over from the one that kept the image registered.
        heldAhead = std::move(held->second);
        registry.prefetched.erase(held);
    }
    return LoadRegistered(name, key);
}

void LBitmap::Prefetch(const WideString& name)
{
    const WideString key = name.ToUpper();
    BitmapRegistry& registry = Registry();
    std::lock_guard<std::recursive_mutex> guard(registry.lock);
    if (registry.bitmaps.count(key) != 0 || registry.prefetching.count(key) != 0) {
        return;
    }
    try {
        registry.prefetching.emplace(key, std::thread([name, key] {
                                         try {
                                             RCPtr<LBitmap> bitmap = LoadRegistered(name, key);
                                             BitmapRegistry& loaded = Registry();
                                             std::lock_guard<std::recursive_mutex> held(
                                                 loaded.lock);
                                             if (bitmap) {
                                                 loaded.prefetched[key] = std::move(bitmap);
                                             }
                                         } catch (...) {
                                             // Out of memory: the first GetBitmap loads the image
                                             // itself.
                                         }
                                     }));
    } catch (const std::system_error&) {
        // No thread to be had: the image is loaded at its first use.
    }
}

void LBitmap::EndPrefetching()
{
    BitmapRegistry& registry = Registry();
    std::map<WideString, std::thread> loading;
    {
        std::lock_guard<std::recursive_mutex> guard(registry.lock);
        loading.swap(registry.prefetching);
    }
    // Each thread takes the lock to register its image: they are waited for without it.
    for (auto& [key, thread] : loading) {
        if (thread.joinable()) {
            thread.join();
        }
    }
    std::map<WideString, RCPtr<LBitmap>> unused;
    std::lock_guard<std::recursive_mutex> guard(registry.lock);
    unused.swap(registry.prefetched);
}

RCPtr<LBitmap> LBitmap::LoadRegistered(const WideString& name, const WideString& key)
{
    BitmapRegistry& registry = Registry();
    {
        std::lock_guard<std::recursive_mutex> guard(registry.lock);
        const auto found = registry.bitmaps.find(key);
        if (found != registry.bitmaps.end()) {
            return found->second;
        }
    }
    // Read and decoded without the lock, so that an image loading ahead on another thread holds
    // up nobody else's.
    RCPtr<LBitmap> bitmap(new LBitmap(name, key));
    if (!bitmap->HasPixels()) {
        return nullptr;
    }
    std::lock_guard<std::recursive_mutex> guard(registry.lock);
    const auto [entry, added] = registry.bitmaps.emplace(key, bitmap);
    if (!added) {
        // Registered by another thread meanwhile: that one is the image of the name.
        return entry->second;
    }
    bitmap->AddInternalRef();
    return bitmap;
}

int32_t LBitmap::ReleaseHook()
{
    if (!mKey.IsEmpty()) {
        BitmapRegistry& registry = Registry();
        std::lock_guard<std::recursive_mutex> guard(registry.lock);
        const auto found = registry.bitmaps.find(mKey);
        // Only the registry's own entry for this very bitmap counts as an internal reference.
        if (found != registry.bitmaps.end() && found->second.Get() == this) {
            registry.bitmaps.erase(found);
            ReleaseInternalRef();
        }
    }
    return LRefCountedObject::ReleaseHook();
}

const ArgbPixels* LBitmap::GetPixelSource() const
{
    return mCutFrom ? mCutFrom->mPixels.Get() : mPixels.Get();
}

ArgbPixels* LBitmap::GetPixelSource()
{
    return mCutFrom ? mCutFrom->mPixels.Get() : mPixels.Get();
}

RectT<int32_t> LBitmap::GetRectOnPicture() const
{
    const ArgbPixels* source = GetPixelSource();
    if (source == nullptr) {
        return {};
    }
    const int64_t left = std::max<int64_t>(mRect.x, 0);
    const int64_t top = std::max<int64_t>(mRect.y, 0);
    const int64_t right = std::min<int64_t>(int64_t(mRect.x) + mRect.width, source->GetWidth());
    const int64_t bottom = std::min<int64_t>(int64_t(mRect.y) + mRect.height, source->GetHeight());
    if (right <= left || bottom <= top) {
        return {};
    }
    return {static_cast<int32_t>(left), static_cast<int32_t>(top),
            static_cast<int32_t>(right - left), static_cast<int32_t>(bottom - top)};
}

RCPtr<LBitmap> LBitmap::CreateSubBitmap(int32_t x, int32_t y, int32_t width, int32_t height)
{
    RCPtr<LBitmap> sub(new LBitmap());
    if (width <= 0 || height <= 0) {
        sub->mRect = mRect;
    } else {
        sub->mRect = {SaturatedSum(mRect.x, x), SaturatedSum(mRect.y, y), width, height};
    }
    // The link goes to the owner of the pixels, so chains never grow beyond one step.
    sub->mCutFrom = mCutFrom ? mCutFrom : RCPtr<LBitmap>(this);
    return sub;
}

RCPtr<LBitmap> LBitmap::CreateCopyOfArea() const
{
    RCPtr<LBitmap> copy(new LBitmap());
    const RectT<int32_t> area = GetRectOnPicture();
    if (area.width == 0) {
        return copy;
    }
    const ArgbPixels& source = *GetPixelSource();
    std::vector<uint32_t> pixels;
    pixels.reserve(static_cast<size_t>(area.width) * static_cast<size_t>(area.height));
    for (int32_t row = 0; row < area.height; ++row) {
        const uint32_t* first = source.GetPixelForRead(area.x, area.y + row);
        pixels.insert(pixels.end(), first, first + area.width);
    }
    copy->mPixels = RCPtr<ArgbPixels>(new ArgbPixels(area.width, area.height, std::move(pixels)));
    copy->mRect = {0, 0, area.width, area.height};
    return copy;
}

ColorT LBitmap::GetPixel(int32_t x, int32_t y) const
{
    const ArgbPixels* source = GetPixelSource();
    if (source == nullptr || x < 0 || y < 0 || x >= mRect.width || y >= mRect.height) {
        return {};
    }
    const int64_t pictureX = int64_t(mRect.x) + x;
    const int64_t pictureY = int64_t(mRect.y) + y;
    if (pictureX < 0 || pictureY < 0 || pictureX >= source->GetWidth() ||
        pictureY >= source->GetHeight()) {
        return {};
    }
    const uint32_t argb =
        *source->GetPixelForRead(static_cast<int32_t>(pictureX), static_cast<int32_t>(pictureY));
    return {static_cast<float>((argb >> 16) & 0xFF) / 255.0f,
            static_cast<float>((argb >> 8) & 0xFF) / 255.0f,
            static_cast<float>(argb & 0xFF) / 255.0f,
            static_cast<float>((argb >> 24) & 0xFF) / 255.0f};
}

RCPtr<LBitmapData> LBitmap::GetPixelData() const
{
    if (mCutFrom) {
        return mCutFrom->GetPixelData();
    }
    return RCPtr<LBitmapData>(new LBitmapData(ConstRCPtr<LBitmap>(this), LBitmapData::kLockRead));
}

RCPtr<LBitmap> LBitmap::CreateFilledBitmap(int32_t width, int32_t height, const ColorT& color)
{
    if (width <= 0 || height <= 0) {
        ThrowRuntimeError("Runtime Error : SV::LBitmap::CreateFilledBitmap : "
                          "Utilities\\Graphics\\Bitmap : Line 321");
    }
    RCPtr<LBitmap> bitmap(new LBitmap());
    bitmap->mPixels = RCPtr<ArgbPixels>(new ArgbPixels(width, height, color.ToARGB()));
    bitmap->mRect = {0, 0, width, height};
    return bitmap;
}

RCPtr<LBitmap> LBitmap::CreateGradientFilledBitmap(int32_t /*width*/, int32_t /*height*/,
                                                   const ColorT& /*color*/,
                                                   const ColorT& /*endColor*/, bool /*radial*/)
{
    ThrowDomainError("Domain Error : SV::LBitmap::CreateGradientFilledBitmap : "
                     "Utilities\\Graphics\\Bitmap : Line 356");
}

RCPtr<LBitmap> LBitmap::CreateColorizedBitmap(const ConstRCPtr<LColorizer>& colorizer,
                                              float alphaModifier, int32_t width, int32_t height)
{
    if (width <= 0 || height <= 0 || !colorizer) {
        ThrowRuntimeError("Runtime Error : SV::LBitmap::CreateColorizedBitmap : "
                          "Utilities\\Graphics\\Bitmap : Line 292");
    }
    if (colorizer->IsTrueGradient()) {
        CreateGradientFilledBitmap(width, height, colorizer->GetColor(), colorizer->GetEndColor(),
                                   colorizer->GetKind() == LColorizer::kRadialGradient);
    }
    ColorT color = colorizer->GetColor();
    color.alpha *= alphaModifier;
    return CreateFilledBitmap(width, height, color);
}

void LBitmap::ApplyColorizer(const RCPtr<LBitmap>& bitmap, const ConstRCPtr<LColorizer>& colorizer,
                             float alphaModifier)
{
    if (!bitmap || !colorizer) {
        ThrowRuntimeError("Runtime Error : SV::LBitmap::ApplyColorizer : "
                          "Utilities\\Graphics\\Bitmap : Line 368");
    }
    if (colorizer->IsTrueGradient()) {
        CreateColorizedBitmap(colorizer, alphaModifier, bitmap->GetWidth(), bitmap->GetHeight());
        return;
    }
    const ColorT& color = colorizer->GetColor();
    const float alpha = color.alpha * alphaModifier;
    const float keep = 1.0f - alpha;
    const float red = color.red * alpha;
    const float green = color.green * alpha;
    const float blue = color.blue * alpha;

    LBitmapData data(ConstRCPtr<LBitmap>(bitmap), LBitmapData::kLockReadWrite);
    for (int32_t y = 0; y < data.GetHeight(); ++y) {
        uint32_t* pixel = data.GetPixelForWrite(0, y);
        for (int32_t x = 0; x < data.GetWidth(); ++x, ++pixel) {
            const uint32_t argb = *pixel;
            *pixel = (argb & 0xFF000000u) | (BlendChannel((argb >> 16) & 0xFF, keep, red) << 16) |
                     (BlendChannel((argb >> 8) & 0xFF, keep, green) << 8) |
                     BlendChannel(argb & 0xFF, keep, blue);
        }
    }
}

void LBitmap::ApplyColorizer(const RCPtr<LBitmap>& /*bitmap*/,
                             const ConstRCPtr<LColorizer>& /*colorizer*/, float /*alphaModifier*/,
                             const ConstRCPtr<LBitmap>& /*mask*/)
{
    ThrowDomainError("Domain Error : SV::LBitmap::ApplyColorizer : Utilities\\Graphics\\Bitmap : "
                     "Line 434");
}

RCPtr<LBitmap> LBitmap::CreatePartBitmap(const ConstRCPtr<LColorizer>& colorizer,
                                         float alphaModifier, int32_t width, int32_t height,
                                         const ConstRCPtr<LBitmap>& partBitmap,
                                         const ConstRCPtr<LBitmap>& maskBitmap)
{
    if (partBitmap && maskBitmap) {
        ApplyColorizer(RCPtr<LBitmap>(partBitmap), colorizer, alphaModifier, maskBitmap);
    }
    const ConstRCPtr<LBitmap>& picture = partBitmap ? partBitmap : maskBitmap;
    if (!picture) {
        return CreateColorizedBitmap(colorizer, alphaModifier, width, height);
    }
    RCPtr<LBitmap> copy = picture->CreateCopyOfArea();
    ApplyColorizer(copy, colorizer, alphaModifier);
    return copy;
}

LBitmapData::LBitmapData(const ConstRCPtr<LBitmap>& bitmap, int32_t lockMode,
                         const ConstRCPtr<ArgbPixels>& secondBuffer)
    : mBitmap(bitmap), mLockMode(lockMode)
{
    if (secondBuffer) {
        ThrowDomainError("Domain Error : SV::LBitmapData::LBitmapData : "
                         "Utilities\\Graphics\\Bitmap : Line 479");
    }
    if (!mBitmap) {
        return;
    }
    mArea = mBitmap->GetRectOnPicture();
    if (mArea.width == 0) {
        return;
    }
    // Locking hands out the picture's own memory; the lock keeps the bitmap, and so the
    // picture, alive.
    ArgbPixels* source = const_cast<LBitmap*>(mBitmap.Get())->GetPixelSource();
    mStride = source->GetStride();
    mFirst = source->GetPixelForWrite(mArea.x, mArea.y);
}

const uint32_t* LBitmapData::GetPixelForRead(int32_t x, int32_t y) const
{
    return const_cast<LBitmapData*>(this)->GetPixelForWrite(x, y);
}

uint32_t* LBitmapData::GetPixelForWrite(int32_t x, int32_t y)
{
    if (mFirst == nullptr) {
        return nullptr;
    }
    uint8_t* bytes = reinterpret_cast<uint8_t*>(mFirst);
    return reinterpret_cast<uint32_t*>(bytes + static_cast<ptrdiff_t>(x) * 4 +
                                       static_cast<ptrdiff_t>(y) * mStride);
}

} // namespace SV
