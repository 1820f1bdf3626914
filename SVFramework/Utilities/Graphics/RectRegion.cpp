#include "Utilities/Graphics/RectRegion.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <utility>

namespace SV {

namespace {

// One slot of the pool's block: a node and one entry of the ring of free slot indices.
struct Slot
{
    RectRegion::Node node;
    uint32_t ringEntry;
};

constexpr uint32_t kSlots = RectRegion::NodePool::kSlotCount;

struct PoolState
{
    Slot* block = nullptr;
    uint32_t freeCount = 0;
    uint32_t head = 0;
    uint32_t liveNodes = 0;
    uint32_t highWaterMark = 0;
};

// The block lives to the end of the process: a region that a static object still holds while
// the process exits must never hand a node back into freed memory.
PoolState& Pool()
{
    static PoolState* state = new PoolState();
    return *state;
}

void SetUpPool(PoolState& pool)
{
    pool.block = new (std::nothrow) Slot[kSlots];
    if (pool.block == nullptr) {
        return;
    }
    for (uint32_t i = 0; i < kSlots; ++i) {
        pool.block[i].ringEntry = i;
    }
    pool.freeCount = kSlots;
    pool.head = 0;
}

// The slot index of a node of the block, kSlots for any other node.
uint32_t SlotIndexOf(const PoolState& pool, const RectRegion::Node* node)
{
    if (pool.block == nullptr) {
        return kSlots;
    }
    const uintptr_t distance =
        reinterpret_cast<uintptr_t>(node) - reinterpret_cast<uintptr_t>(pool.block);
    const uintptr_t index = distance / sizeof(Slot);
    return index < kSlots && distance % sizeof(Slot) == 0 ? static_cast<uint32_t>(index) : kSlots;
}

bool Overlaps(int32_t aLow, int32_t aHigh, int32_t bLow, int32_t bHigh)
{
    return aLow < bLow ? aHigh > bLow : aLow < bHigh;
}

bool Overlaps(const RectRegion::Node& node, const RectRegion::Edges& rect)
{
    return Overlaps(node.left, node.right, rect.left, rect.right) &&
           Overlaps(node.top, node.bottom, rect.top, rect.bottom);
}

// Truncation toward zero, saturated at the 32-bit limits; NaN gives 0.
int64_t TruncateSaturated(double value)
{
    if (!(value == value)) {
        return 0;
    }
    const double limited = std::clamp(value, -2147483648.0, 2147483647.0);
    return static_cast<int64_t>(limited);
}

int32_t Saturate(int64_t value)
{
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

void SwapEdges(RectRegion::Node& a, RectRegion::Node& b)
{
    std::swap(a.left, b.left);
    std::swap(a.top, b.top);
    std::swap(a.right, b.right);
    std::swap(a.bottom, b.bottom);
}

} // namespace

RectRegion::Node* RectRegion::NodePool::Take()
{
    PoolState& pool = Pool();
    if (pool.highWaterMark == 0) {
        SetUpPool(pool);
    }
    ++pool.liveNodes;
    pool.highWaterMark = std::max(pool.highWaterMark, pool.liveNodes);
    Node* node;
    if (pool.freeCount > 0) {
        const uint32_t index = pool.block[pool.head].ringEntry;
        pool.head = (pool.head + 1) % kSlots;
        --pool.freeCount;
        node = &pool.block[index].node;
    } else {
        node = new Node;
    }
    *node = Node{0, 0, 0, 0, nullptr};
    return node;
}

void RectRegion::NodePool::Return(Node* node)
{
    PoolState& pool = Pool();
    const uint32_t index = SlotIndexOf(pool, node);
    if (index < kSlots) {
        // A slot can only come back while it is out of the ring, so the ring always has room.
        if (pool.freeCount < kSlots) {
            pool.block[(pool.head + pool.freeCount) % kSlots].ringEntry = index;
            ++pool.freeCount;
        }
    } else {
        delete node;
    }
    --pool.liveNodes;
}

bool RectRegion::NodePool::IsPoolNode(const Node* node)
{
    return SlotIndexOf(Pool(), node) < kSlots;
}

RectRegion::NodePool::Statistics RectRegion::NodePool::GetStatistics()
{
    const PoolState& pool = Pool();
    return {pool.freeCount, pool.liveNodes, pool.highWaterMark};
}

RectRegion::RectRegion(const RectRegion& other)
{
    Node** tail = &mFirst;
    for (const Node* node = other.mFirst; node != nullptr; node = node->next) {
        Node* copy = AllocNode();
        *copy = Node{node->left, node->top, node->right, node->bottom, nullptr};
        *tail = copy;
        tail = &copy->next;
    }
}

RectRegion& RectRegion::operator=(const RectRegion& other)
{
    if (this != &other) {
        RectRegion copy(other);
        std::swap(mFirst, copy.mFirst);
    }
    return *this;
}

RectRegion::RectRegion(RectRegion&& other) noexcept : mFirst(std::exchange(other.mFirst, nullptr))
{}

RectRegion& RectRegion::operator=(RectRegion&& other) noexcept
{
    std::swap(mFirst, other.mFirst);
    return *this;
}

RectRegion::~RectRegion()
{
    Clear();
}

void RectRegion::PushFront(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    Node* node = AllocNode();
    *node = Node{left, top, right, bottom, nullptr};
    LinkFront(node);
}

void RectRegion::Clear()
{
    while (mFirst != nullptr) {
        Node* next = mFirst->next;
        NodePool::Return(mFirst);
        mFirst = next;
    }
}

void RectRegion::AddRect(const Edges& rect)
{
    if (rect.right <= rect.left || rect.bottom <= rect.top) {
        return;
    }
    SubtractRect(rect);
    PushFront(rect.left, rect.top, rect.right, rect.bottom);
}

void RectRegion::AddRectRounded(double x, double y, double width, double height)
{
    const int64_t left = TruncateSaturated(x + 0.5);
    const int64_t top = TruncateSaturated(y + 0.5);
    const int64_t right = left + TruncateSaturated(width + 0.5);
    const int64_t bottom = top + TruncateSaturated(height + 0.5);
    AddRect({Saturate(left), Saturate(top), Saturate(right), Saturate(bottom)});
}

void RectRegion::SubtractRect(const Edges& rect, RectRegion* collected)
{
    Node* previous = nullptr;
    Node* node = mFirst;
    while (node != nullptr) {
        Node* next = node->next;
        if (!Overlaps(*node, rect)) {
            previous = node;
            node = next;
            continue;
        }
        // The pieces outside the rectangle go in front, where this walk does not visit them.
        if (node->top < rect.top) {
            PushFront(node->left, node->top, node->right, rect.top);
            node->top = rect.top;
        }
        if (node->bottom > rect.bottom) {
            PushFront(node->left, rect.bottom, node->right, node->bottom);
            node->bottom = rect.bottom;
        }
        if (node->left < rect.left) {
            PushFront(node->left, node->top, rect.left, node->bottom);
            node->left = rect.left;
        }
        if (node->right > rect.right) {
            PushFront(rect.right, node->top, node->right, node->bottom);
            node->right = rect.right;
        }
        Node* predecessor = previous;
        if (predecessor == nullptr) {
            predecessor = mFirst;
            while (predecessor != nullptr && predecessor->next != node) {
                predecessor = predecessor->next;
            }
        }
        if (predecessor != nullptr) {
            predecessor->next = next;
        } else {
            mFirst = next;
        }
        if (collected != nullptr) {
            collected->LinkFront(node);
        } else {
            NodePool::Return(node);
        }
        node = next;
    }
}

void RectRegion::SubtractRegion(const RectRegion& other, RectRegion* collected)
{
    if (&other == this) {
        const RectRegion copy(other);
        SubtractRegion(copy, collected);
        return;
    }
    for (const Node* node = other.mFirst; node != nullptr; node = node->next) {
        SubtractRect({node->left, node->top, node->right, node->bottom}, collected);
    }
}

void RectRegion::IntersectRegion(const RectRegion& other)
{
    if (&other == this) {
        return;
    }
    RectRegion inside;
    SubtractRegion(other, &inside);
    std::swap(mFirst, inside.mFirst);
}

void RectRegion::AppendRegion(const RectRegion& other)
{
    if (&other == this) {
        const RectRegion copy(other);
        AppendRegion(copy);
        return;
    }
    for (const Node* node = other.mFirst; node != nullptr; node = node->next) {
        PushFront(node->left, node->top, node->right, node->bottom);
    }
}

void RectRegion::Offset(int32_t dx, int32_t dy)
{
    if (dx == 0 && dy == 0) {
        return;
    }
    for (Node* node = mFirst; node != nullptr; node = node->next) {
        node->left += dx;
        node->right += dx;
        node->top += dy;
        node->bottom += dy;
    }
}

bool RectRegion::GetBounds(Edges& bounds) const
{
    bounds = Edges{};
    if (mFirst == nullptr) {
        return false;
    }
    bounds = {mFirst->left, mFirst->top, mFirst->right, mFirst->bottom};
    for (const Node* node = mFirst->next; node != nullptr; node = node->next) {
        bounds.left = std::min(bounds.left, node->left);
        bounds.top = std::min(bounds.top, node->top);
        bounds.right = std::max(bounds.right, node->right);
        bounds.bottom = std::max(bounds.bottom, node->bottom);
    }
    return true;
}

int32_t RectRegion::Count() const
{
    int32_t count = 0;
    for (const Node* node = mFirst; node != nullptr; node = node->next) {
        ++count;
    }
    return count;
}

bool RectRegion::IntersectsRect(const Edges& rect) const
{
    // An empty rectangle covers no area, so it meets nothing.
    if (rect.right <= rect.left || rect.bottom <= rect.top) {
        return false;
    }
    for (const Node* node = mFirst; node != nullptr; node = node->next) {
        if (Overlaps(*node, rect)) {
            return true;
        }
    }
    return false;
}

bool RectRegion::IntersectsRect(const RectT<double>& rect, const PointT<double>& offset) const
{
    const double left = std::max(rect.x + offset.x, 0.0);
    const double top = std::max(rect.y + offset.y, 0.0);
    const double right = std::min(rect.x + offset.x + rect.width, 2147483647.0);
    const double bottom = std::min(rect.y + offset.y + rect.height, 2147483647.0);
    // Written so that NaN answers false.
    if (!(right - left > kMinExtent) || !(bottom - top > kMinExtent)) {
        return false;
    }
    const PointT<int32_t> topLeft = PointT<double>{left, top}.Round();
    const PointT<int32_t> bottomRight = PointT<double>{right, bottom}.Round();
    return IntersectsRect(Edges{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y});
}

void RectRegion::EnumerateRects(IArray<RectT<int32_t>>& rects) const
{
    rects.RemoveAll();
    for (const Node* node = mFirst; node != nullptr; node = node->next) {
        rects.InsertAt(rects.GetCount(),
                       RectT<int32_t>{node->left, node->top, node->right - node->left,
                                      node->bottom - node->top});
    }
}

void RectRegion::Normalize()
{
    SortByTop();
    CutIntoBands();
    MergeWithinBands();
    MergeBetweenBands();
}

void RectRegion::SortByTop()
{
    bool swapped = true;
    while (swapped) {
        swapped = false;
        for (Node* node = mFirst; node != nullptr && node->next != nullptr; node = node->next) {
            if (node->next->top < node->top) {
                SwapEdges(*node, *node->next);
                swapped = true;
            }
        }
    }
}

void RectRegion::CutIntoBands()
{
    int32_t y = 0;
    for (Node* node = mFirst; node != nullptr; node = node->next) {
        Node* setter = nullptr;
        if (node != mFirst && y > node->top && y < node->bottom) {
            // Cut at the running value below.
        } else {
            y = node->bottom;
            Node* following = node->next;
            while (following != nullptr && following->top == node->top) {
                y = std::min(y, following->bottom);
                following = following->next;
            }
            if (following != nullptr && following->top < y) {
                y = following->top;
                setter = following;
            }
            if (y >= node->bottom) {
                continue;
            }
        }
        // The lower piece goes where its top keeps the list sorted.
        Node* after = setter;
        if (after == nullptr) {
            after = node;
            while (after->next != nullptr && after->next->top < y) {
                after = after->next;
            }
        }
        Node* piece = AllocNode();
        *piece = Node{node->left, y, node->right, node->bottom, after->next};
        after->next = piece;
        node->bottom = y;
    }
}

void RectRegion::MergeWithinBands()
{
    Node* band = mFirst;
    while (band != nullptr) {
        bool swapped = true;
        while (swapped) {
            swapped = false;
            Node* current = band;
            while (current->next != nullptr && current->next->top == band->top) {
                Node* next = current->next;
                if (next->right == current->left || next->left == current->right) {
                    if (next->left < current->left) {
                        current->left = next->left;
                    } else {
                        current->right = next->right;
                    }
                    current->next = next->next;
                    NodePool::Return(next);
                    // A merge can bring two pieces that a pass already passed over into touch.
                    swapped = true;
                    continue;
                }
                if (next->left < current->left) {
                    SwapEdges(*current, *next);
                    swapped = true;
                }
                current = next;
            }
        }
        const int32_t top = band->top;
        while (band != nullptr && band->top == top) {
            band = band->next;
        }
    }
}

void RectRegion::MergeBetweenBands()
{
    Node* upperPrevious = nullptr;
    Node* upper = mFirst;
    while (upper != nullptr) {
        Node* lower = upper;
        while (lower != nullptr && lower->bottom == upper->bottom) {
            lower = lower->next;
        }
        if (lower == nullptr) {
            return;
        }
        Node* lowerEnd = lower;
        while (lowerEnd != nullptr && lowerEnd->bottom == lower->bottom) {
            lowerEnd = lowerEnd->next;
        }

        Node* previous = upperPrevious;
        Node* candidate = upper;
        Node* lowerWalk = lower;
        while (candidate != lower && lowerWalk != lowerEnd) {
            Node* partner = lowerWalk;
            while (partner != lowerEnd &&
                   !(partner->left == candidate->left && partner->right == candidate->right &&
                     partner->top == candidate->bottom)) {
                partner = partner->next;
            }
            if (partner == lowerEnd) {
                lowerWalk = lower;
                previous = candidate;
                candidate = candidate->next;
                continue;
            }
            partner->top = candidate->top;
            Node* next = candidate->next;
            if (previous != nullptr) {
                previous->next = next;
            } else {
                mFirst = next;
            }
            NodePool::Return(candidate);
            candidate = next;
            lowerWalk = partner->next;
        }

        // The lower band becomes the upper one; find the node in front of it.
        Node* before = upperPrevious;
        Node* walk = before != nullptr ? before->next : mFirst;
        while (walk != lower) {
            before = walk;
            walk = walk->next;
        }
        upperPrevious = before;
        upper = lower;
    }
}

} // namespace SV
