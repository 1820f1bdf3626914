#include "Utilities/Graphics/Bitmap.h"
#include "EmbeddedResources.h"
#include "ExceptionText.h"
#include "PngFixtures.h"
#include "TempFolder.h"
#include "Utilities/Graphics/Colorizer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <map>
#include <mutex>
#include <stdexcept>
#include <utility>

namespace {

using SV::ColorT;
using SV::ConstRCPtr;
using SV::LBitmap;
using SV::RCPtr;
using SV::RectT;
using SV::WideString;

std::string RuntimeErrorOf(auto call)
{
    return svtest::ExceptionTextOf<SV::Exception<std::runtime_error>>(call);
}

std::string DomainErrorOf(auto call)
{
    return svtest::ExceptionTextOf<SV::Exception<std::domain_error>>(call);
}

const std::string kGradientError =
    "Domain Error : SV::LBitmap::CreateGradientFilledBitmap : Utilities\\Graphics\\Bitmap : "
    "Line 356";

RCPtr<SV::LColorizer> Colorizer(int32_t kind, ColorT color, ColorT endColor = {})
{
    return RCPtr<SV::LColorizer>(new SV::LColorizer(u"c", kind, color, endColor, 0, 0, 0, 0));
}

uint32_t PixelOf(const LBitmap& bitmap, int32_t x, int32_t y)
{
    return bitmap.GetPixel(x, y).ToARGB();
}

// A 4 x 3 picture whose pixel (x, y) is 0xFF000000 | x << 16 | y << 8 | 0x40.
RCPtr<LBitmap> NumberedBitmap()
{
    RCPtr<LBitmap> bitmap = LBitmap::CreateFilledBitmap(4, 3, {0, 0, 0, 1});
    SV::ArgbPixels& pixels = *bitmap->GetPixelSource();
    for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 4; ++x) {
            *pixels.GetPixelForWrite(x, y) = 0xFF000040u | uint32_t(x) << 16 | uint32_t(y) << 8;
        }
    }
    return bitmap;
}

// Serves "::" images from a table instead of the compiled-in resources, and counts requests. A
// request for "SLOW_PNG" reports in `slowStarted` and waits until the test opens `slowGate` (5 s
// at most, noted in `slowTimedOut`).
class BitmapRegistryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        previous = LBitmap::SetResourceReader(
            [this](const std::string& name, std::vector<uint8_t>& bytes) {
                if (name == "SLOW_PNG" && slowGate.valid()) {
                    slowStarted.set_value();
                    slowTimedOut =
                        slowGate.wait_for(std::chrono::seconds(5)) != std::future_status::ready;
                }
                const std::lock_guard<std::mutex> lock(requestsLock);
                ++requests[name];
                const auto found = images.find(name);
                if (found == images.end()) {
                    return false;
                }
                bytes = found->second;
                return true;
            });
    }
    void TearDown() override { LBitmap::SetResourceReader(previous); }

    std::map<std::string, std::vector<uint8_t>> images;
    std::mutex requestsLock;
    std::map<std::string, int> requests;
    std::promise<void> slowStarted;
    std::shared_future<void> slowGate;
    bool slowTimedOut = false;
    LBitmap::ResourceReader previous;
};

TEST_F(BitmapRegistryTest, ResourceNamesAreUpperCasedWithDotsAndBlanksTurnedIntoUnderscores)
{
    images["CE_PNG"] = svtest::EncodeFilledPng(3, 2, 0x80FF8000);
    images["MY_IMAGE_PNG"] = svtest::EncodeFilledPng(1, 1, 0xFF000000);

    const RCPtr<LBitmap> first = LBitmap::GetBitmap(u"::CE.png");
    const RCPtr<LBitmap> second = LBitmap::GetBitmap(u"::ce.PNG");
    ASSERT_TRUE(first);
    EXPECT_EQ(first, second);
    EXPECT_EQ(requests["CE_PNG"], 1);
    EXPECT_EQ(first->GetKey().ToNarrow(), "::CE.PNG");
    EXPECT_EQ(first->GetName().ToNarrow(), "::CE.png");
    EXPECT_EQ(first->GetRect(), (RectT<int32_t>{0, 0, 3, 2}));
    // Pixels keep their colour under partial alpha: nothing is premultiplied.
    EXPECT_EQ(PixelOf(*first, 2, 1), 0x80FF8000u);

    EXPECT_TRUE(LBitmap::GetBitmap(u"::my image.png"));
    EXPECT_EQ(requests["MY_IMAGE_PNG"], 1);
}

TEST_F(BitmapRegistryTest, AMissingImageIsLookedForAgainAndNeverRegistered)
{
    EXPECT_FALSE(LBitmap::GetBitmap(u"::absent.png"));
    EXPECT_FALSE(LBitmap::GetBitmap(u"::absent.png"));
    EXPECT_EQ(requests["ABSENT_PNG"], 2);

    svtest::TempFolder folder;
    EXPECT_FALSE(LBitmap::GetBitmap(WideString(folder.Join("missing.png").c_str())));
    EXPECT_FALSE(LBitmap::GetBitmap(WideString(folder.Path().c_str()))); // a folder
}

TEST_F(BitmapRegistryTest, ABitmapLeavesTheRegistryWithItsLastOutsideReference)
{
    images["ONE_PNG"] = svtest::EncodeFilledPng(1, 1, 0xFFFFFFFF);
    RCPtr<LBitmap> bitmap = LBitmap::GetBitmap(u"::one.png");
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->GetInternalRefCount(), 1);
    RCPtr<LBitmap> again = LBitmap::GetBitmap(u"::ONE.PNG");
    again = nullptr;
    EXPECT_EQ(requests["ONE_PNG"], 1);

    bitmap = nullptr;
    bitmap = LBitmap::GetBitmap(u"::one.png");
    EXPECT_EQ(requests["ONE_PNG"], 2);
    EXPECT_EQ(bitmap->GetInternalRefCount(), 1);
}

// An image loaded ahead of its first use is read once, and held registered only until that use
// or the end of prefetching.
TEST_F(BitmapRegistryTest, APrefetchedImageIsReadOnceAndHeldOnlyUntilItsFirstUseOrTheEnd)
{
    images["AHEAD_PNG"] = svtest::EncodeFilledPng(2, 2, 0xFF102030);
    LBitmap::Prefetch(u"::ahead.png");
    LBitmap::Prefetch(u"::AHEAD.png"); // on its way already
    RCPtr<LBitmap> bitmap = LBitmap::GetBitmap(u"::Ahead.png");
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(PixelOf(*bitmap, 1, 1), 0xFF102030u);
    EXPECT_EQ(requests["AHEAD_PNG"], 1);
    LBitmap::Prefetch(u"::ahead.png"); // registered already
    EXPECT_EQ(LBitmap::GetBitmap(u"::ahead.png"), bitmap);
    EXPECT_EQ(requests["AHEAD_PNG"], 1);

    bitmap = nullptr;
    EXPECT_TRUE(LBitmap::GetBitmap(u"::ahead.png"));
    EXPECT_EQ(requests["AHEAD_PNG"], 2);

    // What cannot be loaded ahead is looked for again at its use, and never registered.
    LBitmap::Prefetch(u"::absent.png");
    EXPECT_FALSE(LBitmap::GetBitmap(u"::absent.png"));
    EXPECT_EQ(requests["ABSENT_PNG"], 2);

    // The end of prefetching waits for what is loading and lets go of what was never used.
    images["UNUSED_PNG"] = svtest::EncodeFilledPng(1, 1, 0xFF000000);
    LBitmap::Prefetch(u"::unused.png");
    LBitmap::EndPrefetching();
    EXPECT_EQ(requests["UNUSED_PNG"], 1);
    EXPECT_TRUE(LBitmap::GetBitmap(u"::unused.png"));
    EXPECT_EQ(requests["UNUSED_PNG"], 2);
}

TEST_F(BitmapRegistryTest, AnImageLoadingAheadHoldsUpNoOtherImage)
{
    images["SLOW_PNG"] = svtest::EncodeFilledPng(1, 1, 0xFF000000);
    images["FAST_PNG"] = svtest::EncodeFilledPng(1, 1, 0xFFFFFFFF);
    std::promise<void> release;
    slowGate = release.get_future().share();
    LBitmap::Prefetch(u"::slow.png");
    ASSERT_EQ(slowStarted.get_future().wait_for(std::chrono::seconds(5)),
              std::future_status::ready);
    // The slow image's reading is let go only once the other image is there.
    EXPECT_TRUE(LBitmap::GetBitmap(u"::fast.png"));
    release.set_value();
    EXPECT_TRUE(LBitmap::GetBitmap(u"::slow.png"));
    EXPECT_FALSE(slowTimedOut);
}

TEST_F(BitmapRegistryTest, PicturesThatDoNotDecodeGiveNoBitmap)
{
    const std::vector<uint8_t> good = svtest::EncodeFilledPng(8, 8, 0xFF123456);
    std::vector<uint8_t> wrongSignature = good;
    wrongSignature[1] = 'Q';
    std::vector<uint8_t> brokenData = good;
    for (size_t i = 41; i < brokenData.size() - 12; ++i) {
        brokenData[i] ^= 0x5A;
    }
    const std::map<std::string, std::vector<uint8_t>> cases = {
        {"EMPTY", {}},
        {"SIGNATURE_ONLY", std::vector<uint8_t>(good.begin(), good.begin() + 8)},
        {"TRUNCATED", std::vector<uint8_t>(good.begin(), good.end() - 20)},
        {"WRONG_SIGNATURE", wrongSignature},
        {"BROKEN_DATA", brokenData},
        {"TOO_WIDE", svtest::WithClaimedSize(good, 100000, 1)},
        {"TOO_MANY_PIXELS", svtest::WithClaimedSize(good, 16384, 16384)},
        {"NO_PIXELS", svtest::WithClaimedSize(good, 0, 8)},
    };
    for (const auto& [name, bytes] : cases) {
        images[name] = bytes;
        EXPECT_FALSE(LBitmap::GetBitmap(WideString(("::" + name).c_str()))) << name;
    }
    images["GOOD"] = good;
    EXPECT_TRUE(LBitmap::GetBitmap(u"::good"));
}

TEST_F(BitmapRegistryTest, FilesAreLoadedByTheirPath)
{
    svtest::TempFolder folder;
    folder.WriteFile("picture.png",
                     svtest::AsString(svtest::EncodePng(2, 1, {0xFF0000FF, 0x00FFFFFF})));
    const RCPtr<LBitmap> bitmap =
        LBitmap::GetBitmap(WideString(folder.Join("picture.png").c_str()));
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(PixelOf(*bitmap, 0, 0), 0xFF0000FFu);
    EXPECT_EQ(PixelOf(*bitmap, 1, 0), 0x00FFFFFFu);
    EXPECT_TRUE(requests.empty());
}

TEST(BitmapTest, SubBitmapsShareThePixelsAndLinkToTheirOwner)
{
    RCPtr<LBitmap> owner = LBitmap::CreateFilledBitmap(100, 100, {1, 1, 1, 1});
    const RCPtr<LBitmap> base = owner->CreateSubBitmap(10, 20, 30, 40);
    EXPECT_EQ(base->GetRect(), (RectT<int32_t>{10, 20, 30, 40}));

    const RCPtr<LBitmap> whole = base->CreateSubBitmap(0, 0, 0, 5);
    EXPECT_EQ(whole->GetRect(), (RectT<int32_t>{10, 20, 30, 40}));
    const RCPtr<LBitmap> inner = base->CreateSubBitmap(2, 3, 4, 5);
    EXPECT_EQ(inner->GetRect(), (RectT<int32_t>{12, 23, 4, 5}));
    EXPECT_EQ(inner->GetCutFrom(), owner);
    EXPECT_EQ(inner->GetCutFrom(), base->GetCutFrom());
    EXPECT_EQ(inner->GetPixelSource(), owner->GetPixelSource());
    EXPECT_TRUE(inner->GetName().IsEmpty());
    EXPECT_TRUE(inner->GetKey().IsEmpty());
}

TEST(BitmapTest, PixelsOffThePictureOrOutsideTheRectangleAreTransparentBlack)
{
    RCPtr<LBitmap> picture = NumberedBitmap();
    // Hangs over the right and bottom edges of the 4 x 3 picture.
    const RCPtr<LBitmap> sub = picture->CreateSubBitmap(2, 1, 5, 5);
    struct Case
    {
        int32_t x;
        int32_t y;
        uint32_t expected;
    };
    const Case cases[] = {
        {0, 0, 0xFF020140}, {1, 1, 0xFF030240}, {2, 0, 0}, {0, 2, 0}, {-1, 0, 0}, {5, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PixelOf(*sub, c.x, c.y), c.expected) << c.x << "," << c.y;
    }
    EXPECT_EQ(PixelOf(*picture, 3, 2), 0xFF030240u);
    EXPECT_EQ(PixelOf(*picture, 4, 0), 0u);
    EXPECT_EQ(PixelOf(LBitmap(), 0, 0), 0u);

    const ColorT color = picture->GetPixel(1, 2);
    EXPECT_EQ(color.red, 1.0f / 255.0f);
    EXPECT_EQ(color.green, 2.0f / 255.0f);
    EXPECT_EQ(color.blue, 64.0f / 255.0f);
    EXPECT_EQ(color.alpha, 1.0f);
}

TEST(BitmapTest, CopiesAndLocksCoverOnlyThePartOnThePicture)
{
    RCPtr<LBitmap> picture = NumberedBitmap();
    const RCPtr<LBitmap> sub = picture->CreateSubBitmap(-1, 1, 3, 5);

    const RCPtr<LBitmap> copy = sub->CreateCopyOfArea();
    EXPECT_EQ(copy->GetRect(), (RectT<int32_t>{0, 0, 2, 2}));
    EXPECT_FALSE(copy->GetCutFrom());
    EXPECT_NE(copy->GetPixelSource(), picture->GetPixelSource());
    EXPECT_EQ(PixelOf(*copy, 0, 0), 0xFF000140u);
    EXPECT_EQ(PixelOf(*copy, 1, 1), 0xFF010240u);

    const RCPtr<LBitmap> offPicture = picture->CreateSubBitmap(10, 10, 2, 2);
    EXPECT_EQ(offPicture->CreateCopyOfArea()->GetRect(), (RectT<int32_t>{}));
    EXPECT_FALSE(offPicture->CreateCopyOfArea()->HasPixels());

    SV::LBitmapData data(ConstRCPtr<LBitmap>(sub), SV::LBitmapData::kLockRead);
    EXPECT_EQ(data.GetArea(), (RectT<int32_t>{0, 1, 2, 2}));
    EXPECT_EQ(data.GetWidth(), 2);
    EXPECT_EQ(data.GetHeight(), 2);
    EXPECT_EQ(data.GetStride(), 16);
    EXPECT_EQ(*data.GetPixelForRead(1, 1), 0xFF010240u);

    SV::LBitmapData none(ConstRCPtr<LBitmap>(offPicture), SV::LBitmapData::kLockRead);
    EXPECT_EQ(none.GetWidth(), 0);
    EXPECT_EQ(none.GetPixelForRead(0, 0), nullptr);
}

TEST(BitmapTest, PixelDataOfACutBitmapIsThatOfItsOwner)
{
    RCPtr<LBitmap> picture = NumberedBitmap();
    const RCPtr<SV::LBitmapData> data = picture->CreateSubBitmap(1, 1, 1, 1)->GetPixelData();
    EXPECT_EQ(data->GetWidth(), 4);
    EXPECT_EQ(data->GetHeight(), 3);
    EXPECT_EQ(data->GetLockMode(), SV::LBitmapData::kLockRead);
    EXPECT_EQ(*data->GetPixelForRead(3, 2), 0xFF030240u);

    const RCPtr<SV::ArgbPixels> second(new SV::ArgbPixels(1, 1));
    EXPECT_EQ(DomainErrorOf([&] {
                  SV::LBitmapData locked(ConstRCPtr<LBitmap>(picture), 1,
                                         ConstRCPtr<SV::ArgbPixels>(second));
              }),
              "Domain Error : SV::LBitmapData::LBitmapData : Utilities\\Graphics\\Bitmap : "
              "Line 479");
}

// The compiled-in pictures are stored as their pixels: a bitmap of one reads them where the
// program holds them, and takes a copy of its own only to change them.
TEST(BitmapTest, ACompiledInPictureIsReadInPlaceUntilItIsWritten)
{
    const svp::EmbeddedResource* resource =
        svp::FindEmbeddedResource("GDIPLUS", "ABOUTPRODUCTLOGO_PNG");
    ASSERT_NE(resource, nullptr);
    const uint8_t* begin = resource->bytes.data();
    const uint8_t* end = begin + resource->bytes.size();
    const std::vector<uint8_t> original(begin, end);

    const RCPtr<LBitmap> logo = LBitmap::GetBitmap(u"::AboutProductLogo.png");
    ASSERT_TRUE(logo);
    const auto* first = reinterpret_cast<const uint8_t*>(
        std::as_const(*logo->GetPixelSource()).GetPixelForRead(0, 0));
    EXPECT_TRUE(first > begin && first < end) << "read where the program holds it";
    const uint32_t before = PixelOf(*logo, 5, 5);

    const RCPtr<SV::LBitmapData> locked = logo->GetPixelData();
    *locked->GetPixelForWrite(5, 5) = ~before;
    EXPECT_EQ(PixelOf(*logo, 5, 5), ~before);
    const auto* copied = reinterpret_cast<const uint8_t*>(
        std::as_const(*logo->GetPixelSource()).GetPixelForRead(0, 0));
    EXPECT_FALSE(copied >= begin && copied < end) << "written in a copy of its own";
    EXPECT_TRUE(std::equal(original.begin(), original.end(), begin));
}

TEST(BitmapTest, PixelsReadInPlaceKeepTheirRowsWhenTheHeightChanges)
{
    static const uint32_t kLasting[] = {1, 2, 3, 4, 5, 6};
    SV::ArgbPixels pixels(2, 3, kLasting);
    EXPECT_EQ(pixels.GetPixelForRead(1, 2), &kLasting[5]);
    pixels.SetHeight(4);
    EXPECT_NE(pixels.GetPixelForRead(0, 0), &kLasting[0]);
    EXPECT_EQ(*pixels.GetPixelForRead(1, 2), 6u);
    EXPECT_EQ(*pixels.GetPixelForRead(1, 3), 0u);
}

TEST(BitmapTest, FilledBitmapsNeedASize)
{
    const RCPtr<LBitmap> filled = LBitmap::CreateFilledBitmap(2, 3, {1, 0, 0, 0.5f});
    EXPECT_EQ(filled->GetRect(), (RectT<int32_t>{0, 0, 2, 3}));
    EXPECT_EQ(PixelOf(*filled, 1, 2), 0x80FF0000u);

    for (const auto& [width, height] : {std::pair{0, 10}, std::pair{10, -1}}) {
        EXPECT_EQ(RuntimeErrorOf([&] { LBitmap::CreateFilledBitmap(width, height, {}); }),
                  "Runtime Error : SV::LBitmap::CreateFilledBitmap : Utilities\\Graphics\\Bitmap "
                  ": Line 321");
    }
    EXPECT_EQ(svtest::ExceptionTextOf<SV::Exception<std::bad_alloc>>(
                  [] { LBitmap::CreateFilledBitmap(100000, 100000, {}); }),
              "bad allocation");
}

TEST(BitmapTest, ColorizedBitmapsAreFillsOfTheColourWithScaledAlpha)
{
    const RCPtr<LBitmap> solid =
        LBitmap::CreateColorizedBitmap(Colorizer(0, {0, 1, 0, 1}), 0.5f, 3, 4);
    EXPECT_EQ(solid->GetRect(), (RectT<int32_t>{0, 0, 3, 4}));
    EXPECT_EQ(PixelOf(*solid, 2, 3), 0x8000FF00u);

    const RCPtr<LBitmap> flatGradient =
        LBitmap::CreateColorizedBitmap(Colorizer(1, {0, 0, 1, 1}, {0, 0, 1, 1}), 1.0f, 1, 1);
    EXPECT_EQ(PixelOf(*flatGradient, 0, 0), 0xFF0000FFu);

    for (int32_t kind : {1, 2}) {
        EXPECT_EQ(DomainErrorOf([&] {
                      LBitmap::CreateColorizedBitmap(Colorizer(kind, {0, 0, 1, 1}, {0, 0, 0, 1}),
                                                     1.0f, 1, 1);
                  }),
                  kGradientError);
    }
    EXPECT_EQ(RuntimeErrorOf([&] {
                  LBitmap::CreateColorizedBitmap(Colorizer(0, {0, 0, 1, 1}), 1.0f, 0, 1);
              }),
              "Runtime Error : SV::LBitmap::CreateColorizedBitmap : Utilities\\Graphics\\Bitmap : "
              "Line 292");
}

TEST(BitmapTest, ApplyColorizerBlendsTheColourOverEveryPixelAndClampsTheResult)
{
    struct Case
    {
        ColorT color;
        float modifier;
        uint32_t pixel;
        uint32_t expected;
    };
    const Case cases[] = {
        {{1, 0, 0, 1}, 0.5f, 0xFFFFFFFF, 0xFFFF8080},
        {{1, 0, 0, 1}, 0.0f, 0x7F102030, 0x7F102030},
        {{0, 0, 1, 1}, 1.0f, 0x40123456, 0x400000FF},
        {{0, 0, 0, 1}, -1.0f, 0xFFFFFFFF, 0xFFFFFFFF}, // 510 before clamping
        {{0, 0, 0, 1}, 2.0f, 0xFFFFFFFF, 0xFF000000},  // -255 before clamping
    };
    for (const Case& c : cases) {
        const RCPtr<LBitmap> bitmap = LBitmap::CreateFilledBitmap(2, 2, {});
        *bitmap->GetPixelSource()->GetPixelForWrite(1, 1) = c.pixel;
        LBitmap::ApplyColorizer(bitmap, Colorizer(0, c.color), c.modifier);
        EXPECT_EQ(PixelOf(*bitmap, 1, 1), c.expected) << std::hex << c.pixel << " " << c.modifier;
    }
}

TEST(BitmapTest, ApplyColorizerChangesOnlyTheBitmapsOwnArea)
{
    RCPtr<LBitmap> picture = LBitmap::CreateFilledBitmap(3, 1, {1, 1, 1, 1});
    const RCPtr<LBitmap> middle = picture->CreateSubBitmap(1, 0, 5, 1);
    LBitmap::ApplyColorizer(middle, Colorizer(0, {0, 0, 0, 1}), 1.0f);
    EXPECT_EQ(PixelOf(*picture, 0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(PixelOf(*picture, 1, 0), 0xFF000000u);
    EXPECT_EQ(PixelOf(*picture, 2, 0), 0xFF000000u);
}

TEST(BitmapTest, ApplyColorizerRefusesWhatItCannotDo)
{
    const RCPtr<LBitmap> bitmap = LBitmap::CreateFilledBitmap(1, 1, {});
    const std::string missing =
        "Runtime Error : SV::LBitmap::ApplyColorizer : Utilities\\Graphics\\Bitmap : Line 368";
    EXPECT_EQ(RuntimeErrorOf([&] { LBitmap::ApplyColorizer(nullptr, Colorizer(0, {}), 1); }),
              missing);
    EXPECT_EQ(RuntimeErrorOf([&] { LBitmap::ApplyColorizer(bitmap, nullptr, 1); }), missing);
    EXPECT_EQ(DomainErrorOf([&] {
                  LBitmap::ApplyColorizer(bitmap, Colorizer(2, {1, 0, 0, 1}, {0, 1, 0, 1}), 1);
              }),
              kGradientError);
    EXPECT_EQ(
        DomainErrorOf([&] {
            LBitmap::ApplyColorizer(bitmap, Colorizer(0, {}), 1, ConstRCPtr<LBitmap>(bitmap));
        }),
        "Domain Error : SV::LBitmap::ApplyColorizer : Utilities\\Graphics\\Bitmap : Line 434");
}

TEST(BitmapTest, PartBitmapsAreColorizedCopiesOfThePartOrTheMask)
{
    const RCPtr<SV::LColorizer> black = Colorizer(0, {0, 0, 0, 1});
    const RCPtr<LBitmap> part = LBitmap::CreateFilledBitmap(2, 2, {1, 1, 1, 1});
    const RCPtr<LBitmap> mask = LBitmap::CreateFilledBitmap(3, 1, {1, 1, 1, 0.5f});

    const RCPtr<LBitmap> fromPart = LBitmap::CreatePartBitmap(black, 1, 9, 9, part, nullptr);
    EXPECT_EQ(fromPart->GetRect(), (RectT<int32_t>{0, 0, 2, 2}));
    EXPECT_EQ(PixelOf(*fromPart, 1, 1), 0xFF000000u);
    EXPECT_EQ(PixelOf(*part, 1, 1), 0xFFFFFFFFu); // the part itself is left alone

    const RCPtr<LBitmap> fromMask = LBitmap::CreatePartBitmap(black, 1, 9, 9, nullptr, mask);
    EXPECT_EQ(fromMask->GetRect(), (RectT<int32_t>{0, 0, 3, 1}));
    EXPECT_EQ(PixelOf(*fromMask, 2, 0), 0x80000000u);

    const RCPtr<LBitmap> fill = LBitmap::CreatePartBitmap(black, 0.25f, 5, 6, nullptr, nullptr);
    EXPECT_EQ(fill->GetRect(), (RectT<int32_t>{0, 0, 5, 6}));
    EXPECT_EQ(PixelOf(*fill, 4, 5), 0x40000000u);

    EXPECT_EQ(
        DomainErrorOf([&] { LBitmap::CreatePartBitmap(black, 1, 9, 9, part, mask); }),
        "Domain Error : SV::LBitmap::ApplyColorizer : Utilities\\Graphics\\Bitmap : Line 434");
}

} // namespace
