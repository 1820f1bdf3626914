#include "PieceSheet.h"
#include "LookState.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

using pictures::PieceRect;
using pictures::PieceSheet;
using pictures::Slices;

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

TEST(PieceSheet, CutsASlicedPieceIntoNamedCellsThatCoverIt)
{
    PieceSheet sheet(100, 100);
    const PieceRect frame = sheet.Place("Frame", 20, 10, "", Slices{4, 0, 6, 0});
    const PieceRect box = sheet.Place("Box", 12, 12, "", Slices{3, 3, 3, 3});
    const std::string parts = sheet.PartElements("CE.png", "CE.");

    auto part = [&](const std::string& name, int x, int y, int w, int h) {
        return "<Part Name=\"CE." + name + "\" Width=\"" + std::to_string(w) + "\" Height=\"" +
               std::to_string(h) + "\" ResizeType=\"Stretch\" ImageFile=\"CE.png\" ImageLocX=\"" +
               std::to_string(x) + "\" ImageLocY=\"" + std::to_string(y) + "\"/>";
    };
    EXPECT_TRUE(Contains(parts, part("Frame", frame.x, frame.y, 20, 10)));
    EXPECT_TRUE(Contains(parts, part("Frame.Left", frame.x, frame.y, 4, 10)));
    EXPECT_TRUE(Contains(parts, part("Frame.Middle", frame.x + 4, frame.y, 10, 10)));
    EXPECT_TRUE(Contains(parts, part("Frame.Right", frame.x + 14, frame.y, 6, 10)));
    EXPECT_TRUE(Contains(parts, part("Box.TopLeft", box.x, box.y, 3, 3)));
    EXPECT_TRUE(Contains(parts, part("Box.Top", box.x + 3, box.y, 6, 3)));
    EXPECT_TRUE(Contains(parts, part("Box.Middle", box.x + 3, box.y + 3, 6, 6)));
    EXPECT_TRUE(Contains(parts, part("Box.BottomRight", box.x + 9, box.y + 9, 3, 3)));
    EXPECT_FALSE(Contains(parts, "Frame.Top"));
}

TEST(PieceSheet, PacksRowsWithoutOverlapAndRefusesBadPieces)
{
    PieceSheet sheet(100, 60);
    const PieceRect a = sheet.Place("A", 60, 20, "");
    const PieceRect b = sheet.Place("B", 60, 10, "");
    EXPECT_GE(b.y, a.y + a.height) << "a piece that does not fit the row starts a new one";

    EXPECT_THROW(sheet.Place("A", 5, 5, ""), std::runtime_error) << "names are unique";
    EXPECT_THROW(sheet.Reserve("Over", PieceRect{a.x, a.y, 4, 4}, ""), std::runtime_error);
    EXPECT_THROW(sheet.Place("Tall", 10, 100, ""), std::runtime_error);
    EXPECT_THROW(sheet.Place("NoMiddle", 10, 10, "", Slices{5, 0, 5, 0}), std::runtime_error);
}

TEST(LookState, FollowsTheFourteenLookConvention)
{
    struct Case
    {
        int index;
        int base;
        bool second;
        bool checked;
        bool disabled;
    };
    const Case cases[] = {
        {0, 0, false, false, false}, {1, 1, false, false, false}, {2, 2, false, false, false},
        {3, 0, true, false, false},  {5, 2, true, false, false},  {6, 0, false, false, true},
        {7, 0, false, true, false},  {9, 2, false, true, false},  {10, 0, true, true, false},
        {12, 2, true, true, false},  {13, 0, false, true, true},
    };
    for (const Case& c : cases) {
        const pictures::LookState state = pictures::StateOfLook(c.index);
        EXPECT_EQ(state.base, c.base) << c.index;
        EXPECT_EQ(state.second, c.second) << c.index;
        EXPECT_EQ(state.checked, c.checked) << c.index;
        EXPECT_EQ(state.disabled, c.disabled) << c.index;
    }
}

} // namespace
