#include "BareWindow.h"
#include "WindowPresenter.h"

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int32_t kWidth = 64;
constexpr int32_t kHeight = 48;

// Run with shared memory and without it, over the connection.
class WindowPresenterX11Test : public ::testing::TestWithParam<bool>
{
protected:
    void SetUp() override
    {
        mWindow = svp::BareWindow::Open(kWidth, kHeight);
        if (!mWindow) {
            GTEST_SKIP() << "no X display";
        }
        mPresenter = svp::WindowPresenter::Create(mWindow->GetHandle(), GetParam());
        ASSERT_NE(mPresenter, nullptr);
        // Each pixel tells where it is, and alpha is set to show that it is dropped.
        mPicture.resize(static_cast<size_t>(kWidth) * kHeight);
        for (int32_t y = 0; y < kHeight; ++y) {
            for (int32_t x = 0; x < kWidth; ++x) {
                mPicture[static_cast<size_t>(y) * kWidth + x] =
                    0x80000000u | static_cast<uint32_t>(x) << 16 | static_cast<uint32_t>(y) << 8 |
                    0x5Au;
            }
        }
    }

    svp::PixelImageView Picture() const { return {mPicture.data(), kWidth, kHeight, kWidth * 4}; }

    uint32_t Expected(int32_t x, int32_t y) const
    {
        return mPicture[static_cast<size_t>(y) * kWidth + x] & 0xFFFFFFu;
    }

    std::unique_ptr<svp::BareWindow> mWindow;
    std::unique_ptr<svp::WindowPresenter> mPresenter;
    std::vector<uint32_t> mPicture;
};

TEST_P(WindowPresenterX11Test, CopiesOnlyTheGivenRectanglesToTheSamePlaces)
{
    const svp::PixelRect rects[] = {{2, 3, 10, 5}, {40, 30, 20, 10}};
    mPresenter->Present(Picture(), rects);

    // The virtual X server of the tests offers shared memory.
    EXPECT_EQ(mPresenter->SharesMemory(), GetParam());

    const std::vector<uint32_t> shown = mWindow->ReadPixels(0, 0, kWidth, kHeight);
    ASSERT_EQ(shown.size(), mPicture.size());
    for (int32_t y = 0; y < kHeight; ++y) {
        for (int32_t x = 0; x < kWidth; ++x) {
            bool inside = false;
            for (const svp::PixelRect& r : rects) {
                inside |= x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height;
            }
            ASSERT_EQ(shown[static_cast<size_t>(y) * kWidth + x], inside ? Expected(x, y) : 0u)
                << "at " << x << ", " << y;
        }
    }
}

TEST_P(WindowPresenterX11Test, CutsRectanglesThatReachPastThePicture)
{
    const svp::PixelRect rects[] = {
        {-5, -5, 10, 10}, {60, 40, 100, 100}, {70, 0, 5, 5}, {0, 0, 0, 7}};
    mPresenter->Present(Picture(), rects);

    EXPECT_EQ(mWindow->ReadPixels(0, 0, 1, 1), std::vector<uint32_t>{Expected(0, 0)});
    EXPECT_EQ(mWindow->ReadPixels(4, 4, 1, 1), std::vector<uint32_t>{Expected(4, 4)});
    EXPECT_EQ(mWindow->ReadPixels(5, 5, 1, 1), std::vector<uint32_t>{0u});
    EXPECT_EQ(mWindow->ReadPixels(63, 47, 1, 1), std::vector<uint32_t>{Expected(63, 47)});
}

TEST_P(WindowPresenterX11Test, PresentsAPictureWithRowPaddingAndAgainAfterItChanged)
{
    // A picture narrower than the window, with rows longer than its width.
    constexpr int32_t kStrideWords = 40;
    std::vector<uint32_t> padded(static_cast<size_t>(kStrideWords) * 20, 0xFFFFFFFFu);
    for (int32_t y = 0; y < 20; ++y) {
        for (int32_t x = 0; x < 30; ++x) {
            padded[static_cast<size_t>(y) * kStrideWords + x] = 0xFF102030u;
        }
    }
    const svp::PixelRect everything[] = {{0, 0, kWidth, kHeight}};
    mPresenter->Present({padded.data(), 30, 20, kStrideWords * 4}, everything);
    EXPECT_EQ(mWindow->ReadPixels(29, 19, 1, 1), std::vector<uint32_t>{0x102030u});
    EXPECT_EQ(mWindow->ReadPixels(30, 19, 1, 1), std::vector<uint32_t>{0u});

    padded[0] = 0xFF405060u;
    mPresenter->Present({padded.data(), 30, 20, kStrideWords * 4}, everything);
    EXPECT_EQ(mWindow->ReadPixels(0, 0, 1, 1), std::vector<uint32_t>{0x405060u});
}

// Kilobytes of this process's memory that System V shared segments hold resident.
int64_t ResidentSharedSegmentKilobytes()
{
    std::ifstream maps("/proc/self/smaps");
    int64_t total = 0;
    bool inSegment = false;
    for (std::string line; std::getline(maps, line);) {
        if (line.rfind("Rss:", 0) == 0) {
            if (inSegment) {
                total += std::stoll(line.substr(4));
            }
        } else if (!line.empty() && std::isxdigit(static_cast<unsigned char>(line[0])) &&
                   line.find('-') != std::string::npos && line.find(' ') > line.find('-')) {
            inSegment = line.find("/SYSV") != std::string::npos;
        }
    }
    return total;
}

TEST_P(WindowPresenterX11Test, KeepsNoCopyOfAStillPictureAndStillPresentsLaterRectangles)
{
    const svp::PixelRect everything[] = {{0, 0, kWidth, kHeight}};
    mPresenter->Present(Picture(), everything);
    EXPECT_EQ(0, ResidentSharedSegmentKilobytes());

    // The next frame changes one rectangle; what is outside it stays as the first frame left it.
    for (int32_t y = 10; y < 20; ++y) {
        for (int32_t x = 20; x < 30; ++x) {
            mPicture[static_cast<size_t>(y) * kWidth + x] = 0xFF0000FFu;
        }
    }
    const svp::PixelRect changed[] = {{20, 10, 10, 10}};
    mPresenter->Present(Picture(), changed);
    EXPECT_EQ(0, ResidentSharedSegmentKilobytes());

    const std::vector<uint32_t> shown = mWindow->ReadPixels(0, 0, kWidth, kHeight);
    ASSERT_EQ(shown.size(), mPicture.size());
    for (int32_t y = 0; y < kHeight; ++y) {
        for (int32_t x = 0; x < kWidth; ++x) {
            ASSERT_EQ(shown[static_cast<size_t>(y) * kWidth + x], Expected(x, y))
                << "at " << x << ", " << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(SharedMemoryOrNot, WindowPresenterX11Test, ::testing::Bool());

TEST(WindowPresenterWithoutWindow, IsNotMadeForANullWindow)
{
    EXPECT_EQ(svp::WindowPresenter::Create(nullptr), nullptr);
}

} // namespace
