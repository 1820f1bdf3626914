#include "Utilities/Graphics/Polyline.h"

#include <atomic>

namespace SV::detail {

int32_t NextDrawableHandle()
{
    static std::atomic<int32_t> counter{0};
    int32_t handle = ++counter;
    // After a wrap the sequence goes on above 0: 0 and negative values never name a drawable.
    while (handle <= 0) {
        counter.store(0);
        handle = ++counter;
    }
    return handle;
}

} // namespace SV::detail
