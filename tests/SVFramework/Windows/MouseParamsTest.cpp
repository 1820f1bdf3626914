#include "Windows/MouseParams.h"

#include <gtest/gtest.h>

namespace {

TEST(MouseParams, FactoriesFillEveryField)
{
    const auto button = SV::CreateMouseButtonParam(4, {3, -7}, 9, 1, 5, 42);
    EXPECT_EQ(button->mButton, 4);
    EXPECT_EQ(button->mX, 3);
    EXPECT_EQ(button->mY, -7);
    EXPECT_EQ(button->mModifiers, 9u);
    EXPECT_EQ(button->mDoubleClick, 1);
    EXPECT_EQ(button->mButtons, 5);
    EXPECT_EQ(button->mExtraValue, 42);

    const auto wheel = SV::CreateMouseWheelParam({10, 20}, 64, 3);
    EXPECT_EQ(wheel->mDirection, 3);
    EXPECT_EQ(wheel->mExtraValue, 0);
    EXPECT_EQ(wheel->mModifiers, 64u);
}

TEST(MouseParams, ReleasedPayloadBlockIsReusedByItsOwnClass)
{
    auto first = SV::CreateMouseButtonParam(1, {0, 0}, 0, 0, 1, 0);
    const void* block = first.Get();
    first = nullptr;
    const auto second = SV::CreateMouseButtonParam(2, {1, 1}, 0, 0, 2, 0);
    EXPECT_EQ(second.Get(), block);
    EXPECT_GE(SV::GetReusePool<SV::LMouseButtonParam>().GetBlockIndex(block), 0);

    auto wheel = SV::CreateMouseWheelParam({0, 0}, 0, 0);
    const void* wheelBlock = wheel.Get();
    EXPECT_GE(SV::GetReusePool<SV::LMouseWheelParam>().GetBlockIndex(wheelBlock), 0);
    EXPECT_EQ(SV::GetReusePool<SV::LPointWithModifiersParam>().GetBlockIndex(wheelBlock), -1);
    wheel = nullptr;
    EXPECT_EQ(SV::CreateMouseWheelParam({0, 0}, 0, 1).Get(), wheelBlock);

    auto point = SV::CreatePointWithModifiersParam({0, 0}, 0, 0);
    EXPECT_GE(SV::GetReusePool<SV::LPointWithModifiersParam>().GetBlockIndex(point.Get()), 0);
}

TEST(MouseParams, PayloadCastsFollowTheClassTree)
{
    const SV::ConstRCPtr<SV::LRefCountedObject> payload =
        SV::CreateMouseButtonParam(1, {0, 0}, 0, 0, 1, 0);
    EXPECT_FALSE(SV::ConstRCPtr<SV::LMouseWheelParam>(payload));
    EXPECT_TRUE(SV::ConstRCPtr<SV::LPointWithModifiersParam>(payload));
    EXPECT_TRUE(SV::ConstRCPtr<SV::LMouseButtonParam>(payload));
}

} // namespace
