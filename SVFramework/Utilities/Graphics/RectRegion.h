// The framework's region: a set of whole-pixel rectangles in a singly linked list. It is the
// dirty region of windows and controls, the clip region of looks while they draw, and the list
// of rectangles a back end presents. Regions are built and torn down on every paint, so their
// nodes come from one process-wide pool of 512 slots with the heap as overflow.
#pragma once

#include "Utilities/Graphics/Point.h"
#include "Utilities/Graphics/Rect.h"
#include "Utilities/Storage/IArray.h"

#include <cstdint>

namespace SV {

class RectRegion
{
public:
    // A rectangle by its edges; right and bottom are exclusive.
    struct Edges
    {
        int32_t left = 0;
        int32_t top = 0;
        int32_t right = 0;
        int32_t bottom = 0;

        bool operator==(const Edges& other) const = default;
    };

    struct Node
    {
        int32_t left;
        int32_t top;
        int32_t right;
        int32_t bottom;
        Node* next;
    };

    // The process-wide pool of region nodes: a block of 512 slots and a ring of free slot
    // indices. Nodes beyond the block come from the heap and go back to it.
    class NodePool
    {
    public:
        static constexpr uint32_t kSlotCount = 512;

        struct Statistics
        {
            uint32_t freeSlots;
            uint32_t liveNodes;
            uint32_t highWaterMark;
        };

        // A node with every field 0.
        static Node* Take();
        static void Return(Node* node);
        // True when the node lies in the pool's block.
        static bool IsPoolNode(const Node* node);
        static Statistics GetStatistics();
    };

    RectRegion() = default;
    RectRegion(const RectRegion& other);
    RectRegion& operator=(const RectRegion& other);
    RectRegion(RectRegion&& other) noexcept;
    RectRegion& operator=(RectRegion&& other) noexcept;
    ~RectRegion();

    // Keeps the set disjoint: the new rectangle is cut out of the region first and then added
    // whole, in front. Empty rectangles are ignored.
    void AddRect(const Edges& rect);
    // Edges from doubles: x + 0.5 and y + 0.5 truncated toward zero, the extents likewise.
    void AddRectRounded(double x, double y, double width, double height);
    // Removes the rectangle; the pieces of the region that lay inside it go in front of
    // `collected`, or back to the pool when it is null.
    void SubtractRect(const Edges& rect, RectRegion* collected = nullptr);
    void SubtractRegion(const RectRegion& other, RectRegion* collected = nullptr);
    // Keeps only what lies inside the other region.
    void IntersectRegion(const RectRegion& other);
    // Copies every rectangle of the other region in front, overlaps included.
    void AppendRegion(const RectRegion& other);
    void Offset(int32_t dx, int32_t dy);
    // False and (0, 0, 0, 0) for an empty region.
    bool GetBounds(Edges& bounds) const;
    int32_t Count() const;
    // True when some rectangle overlaps the given one by a non-empty area.
    bool IntersectsRect(const Edges& rect) const;
    // The rectangle moved by the offset and clamped to 0..2147483647, then tested as edges.
    bool IntersectsRect(const RectT<double>& rect, const PointT<double>& offset) const;
    // Clears the array and appends every rectangle as (x, y, width, height), in list order.
    void EnumerateRects(IArray<RectT<int32_t>>& rects) const;
    // Sorts the rectangles into horizontal bands and merges touching pieces.
    void Normalize();
    void Clear();
    bool IsEmpty() const { return mFirst == nullptr; }

    const Node* GetFirst() const { return mFirst; }

    static Node* AllocNode() { return NodePool::Take(); }

private:
    void LinkFront(Node* node) { node->next = mFirst, mFirst = node; }
    void PushFront(int32_t left, int32_t top, int32_t right, int32_t bottom);
    void SortByTop();
    void CutIntoBands();
    void MergeWithinBands();
    void MergeBetweenBands();

    Node* mFirst = nullptr;
};

} // namespace SV
