#include "StoredPixels.h"
#include "EmbeddedResources.h"
#include "PngFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

namespace {

svp::DecodedImage Picture(uint32_t width, uint32_t height, std::vector<uint32_t> pixels)
{
    svp::DecodedImage image;
    image.width = width;
    image.height = height;
    image.pixels = std::move(pixels);
    return image;
}

TEST(StoredPixelsTest, StoredPixelsAndPngsDecodeToTheirPixels)
{
    // Partial and zero alpha keep their colour: nothing is premultiplied on the way.
    const std::vector<uint32_t> pixels = {0xFF102030u, 0x80FF8000u, 0x00ABCDEFu,
                                          0x01020304u, 0xFFFFFFFFu, 0x7F000001u};
    for (const std::vector<uint8_t>& bytes :
         {svp::StorePixels(Picture(3, 2, pixels)), svtest::EncodePng(3, 2, pixels)}) {
        svp::DecodedImage image;
        std::string error;
        ASSERT_TRUE(svp::DecodePicture(bytes.data(), bytes.size(), image, error)) << error;
        EXPECT_EQ(3u, image.width);
        EXPECT_EQ(2u, image.height);
        EXPECT_EQ(pixels, image.pixels);
    }
}

TEST(StoredPixelsTest, StoredPixelsThatDoNotAddUpAreRefused)
{
    const std::vector<uint8_t> whole = svp::StorePixels(Picture(2, 2, std::vector<uint32_t>(4, 1)));
    std::vector<uint8_t> oneMore = whole;
    oneMore.push_back(0);
    std::vector<uint8_t> noWidth = svp::StorePixels(Picture(0, 2, {}));
    std::vector<uint8_t> tooWide = whole;
    tooWide[8] = 0x01; // 16385 pixels wide, with the bytes of 2 x 2
    tooWide[9] = 0x40;
    const std::vector<uint8_t> cases[] = {std::vector<uint8_t>(whole.begin(), whole.end() - 1),
                                          oneMore, noWidth, tooWide,
                                          std::vector<uint8_t>(whole.begin(), whole.begin() + 16)};
    for (const std::vector<uint8_t>& bytes : cases) {
        svp::DecodedImage image = Picture(1, 1, {0xFF000000u});
        std::string error;
        EXPECT_FALSE(svp::DecodePicture(bytes.data(), bytes.size(), image, error))
            << bytes.size() << " bytes";
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(0u, image.width);
        EXPECT_TRUE(image.pixels.empty());
    }
}

TEST(StoredPixelsTest, OnlyAlignedStoredPixelsThatAddUpAreViewedInPlace)
{
    const std::vector<uint32_t> pixels = {0xFF102030u, 0x80FF8000u, 0x00ABCDEFu, 0x01020304u};
    const std::vector<uint8_t> stored = svp::StorePixels(Picture(2, 2, pixels));
    svp::StoredPixelsView view;
    ASSERT_TRUE(svp::ViewStoredPixels(stored.data(), stored.size(), view));
    EXPECT_EQ(2u, view.width);
    EXPECT_EQ(2u, view.height);
    EXPECT_EQ(static_cast<const void*>(view.pixels), stored.data() + 16);
    EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), view.pixels));

    std::vector<uint8_t> shifted(stored.size() + 1);
    std::copy(stored.begin(), stored.end(), shifted.begin() + 1);
    const std::vector<uint8_t> png = svtest::EncodePng(2, 2, pixels);
    const std::vector<uint8_t> cut(stored.begin(), stored.end() - 1);
    const std::pair<const uint8_t*, size_t> refused[] = {
        {shifted.data() + 1, stored.size()}, // pixels off a 4-byte boundary
        {png.data(), png.size()},
        {cut.data(), cut.size()},
        {nullptr, 0}};
    for (const auto& [data, size] : refused) {
        svp::StoredPixelsView none;
        EXPECT_FALSE(svp::ViewStoredPixels(data, size, none)) << size << " bytes";
        EXPECT_EQ(none.pixels, nullptr);
    }
}

std::vector<uint8_t> ReadWholeFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The build compiles each picture of Resources/Images, the cursors and the icon in as its
// pixels: they are the PNG's own, and stay so once the pages read are let go of.
TEST(StoredPixelsTest, EveryCompiledInPictureHoldsThePixelsOfItsPicture)
{
    const std::filesystem::path folder(SV_RESOURCES_FOLDER);
    std::vector<std::tuple<std::string, std::string, std::filesystem::path>> pictures = {
        {"CURSOR", "102", folder / "Cursors" / "102.png"},
        {"CURSOR", "103", folder / "Cursors" / "103.png"},
        {"ICON", "2002", folder / "Icons" / "2002.png"}};
    for (const auto& entry : std::filesystem::directory_iterator(folder / "Images")) {
        std::string name = entry.path().filename().string();
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) {
            return c == '.' || c == ' ' ? '_' : static_cast<char>(std::toupper(c));
        });
        pictures.emplace_back("GDIPLUS", name, entry.path());
    }
    for (const auto& [type, name, path] : pictures) {
        const svp::EmbeddedResource* resource = svp::FindEmbeddedResource(type, name);
        ASSERT_NE(nullptr, resource) << type << " " << name;
        svp::StoredPixelsView view;
        EXPECT_TRUE(svp::ViewStoredPixels(resource->bytes.data(), resource->bytes.size(), view))
            << name << " is stored as its pixels";
        const std::vector<uint8_t> png = ReadWholeFile(path);
        svp::DecodedImage expected;
        std::string error;
        ASSERT_TRUE(svp::DecodePng(png.data(), png.size(), expected, error)) << error;
        for (int read = 0; read < 2; ++read) {
            svp::DecodedImage compiledIn;
            ASSERT_TRUE(svp::DecodePicture(resource->bytes.data(), resource->bytes.size(),
                                           compiledIn, error))
                << name << ": " << error;
            EXPECT_EQ(expected.width, compiledIn.width) << name;
            EXPECT_EQ(expected.height, compiledIn.height) << name;
            EXPECT_TRUE(expected.pixels == compiledIn.pixels) << name;
            svp::ReleaseEmbeddedResourcePages(*resource);
        }
    }
    EXPECT_GT(pictures.size(), 3u) << "the folder of images is empty";
}

} // namespace
