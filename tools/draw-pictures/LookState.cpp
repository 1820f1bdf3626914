#include "LookState.h"

namespace pictures {

LookState StateOfLook(int index)
{
    LookState state;
    if (index == 6 || index == 13) {
        state.disabled = true;
        state.checked = index == 13;
        return state;
    }
    state.checked = index >= 7;
    const int unchecked = state.checked ? index - 7 : index;
    state.second = unchecked >= 3;
    state.base = unchecked % 3;
    return state;
}

} // namespace pictures
