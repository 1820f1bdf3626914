// The item of a combo box that a stored byte stands for: the byte read as a signed number and
// kept within the box's items, so that a value from a file or the keyboard always shows, and is
// sent back as, an item the box has.
#pragma once

#include "Controls/ComboBox.h"

#include <algorithm>
#include <cstdint>

// The index for the byte: below the first item the first, past the last the last; -1 when the
// box has no items.
inline int32_t ComboIndexForByte(const SV::LComboBox& box, uint8_t byte, int32_t bias = 0)
{
    const SV::RCPtr<SV::LListBox>& list = box.GetList();
    const int32_t count = list ? static_cast<int32_t>(list->GetItemCount()) : 0;
    if (count <= 0) {
        return -1;
    }
    return std::clamp(static_cast<int32_t>(static_cast<int8_t>(byte)) - bias, 0, count - 1);
}
