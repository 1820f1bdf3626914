// The grid of the keyboard's top face in the 1200 x 720 body picture (the device view's
// "productImage"). The edit panels, the program bank and the decorative labels of the skin sit
// in these rectangles; the body draws a recess or a plain place under each.
//
// Three columns: left 64..188, middle 204..749 (the arpeggiator's 545 pixels at 0.17 of the
// width), right 765..1136. Rows: top rail 74..144, titles 146..162, panels 165..266 (the
// arpeggiator ends at 0.37 of the height), lower panels 282..384, keys 414..668.
#pragma once

#include "PieceSheet.h"

namespace pictures::grid {

constexpr int kBodyWidth = 1200;
constexpr int kBodyHeight = 720;

constexpr PieceRect kKeyboard{40, 44, 1120, 644};

constexpr PieceRect kCompanyPlate{64, 76, 124, 34};
constexpr PieceRect kProductPlate{64, 112, 124, 28};
constexpr PieceRect kDisplay{204, 74, 200, 70};
constexpr PieceRect kKnobs{420, 74, 329, 72};
constexpr PieceRect kTouchStrips{765, 74, 200, 70};
constexpr PieceRect kStatus{980, 74, 156, 70};

constexpr PieceRect kArpeggiatorTitle{204, 146, 545, 16};
constexpr PieceRect kProgramBankTitle{765, 146, 371, 16};

constexpr PieceRect kChannelPanel{64, 165, 124, 101};
constexpr PieceRect kArpeggiatorPanel{204, 165, 545, 101};
constexpr PieceRect kProgramBankPanel{765, 165, 371, 219};
constexpr PieceRect kTransposePanel{64, 282, 124, 102};
constexpr PieceRect kPads{204, 282, 545, 102};

constexpr PieceRect kKeyBed{60, 408, 1080, 264};
constexpr int kWhiteKeys = 15;

} // namespace pictures::grid
