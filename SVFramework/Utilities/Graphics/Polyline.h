// Point lists that renderers draw and cache: the points, a pen width, a changed flag that the
// editor of the points sets and the caching renderer clears, and a handle that keys the caches.
#pragma once

#include "Utilities/Graphics/Point.h"
#include "Utilities/Graphics/Rect.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace SV {

namespace detail {
// Process-wide source of cache handles, shared by every drawable list; never 0.
int32_t NextDrawableHandle();
} // namespace detail

template <class T>
class PolylineT
{
public:
    PolylineT() : mHandle(detail::NextDrawableHandle()) {}
    // A copy is another drawable: it gets its own handle, so that caches never mix the two.
    PolylineT(const PolylineT& other)
        : mPoints(other.mPoints), mPenWidth(other.mPenWidth), mChanged(true),
          mHandle(detail::NextDrawableHandle())
    {}
    PolylineT& operator=(const PolylineT& other)
    {
        mPoints = other.mPoints;
        mPenWidth = other.mPenWidth;
        mChanged = true;
        return *this;
    }

    const std::vector<PointT<T>>& GetPoints() const { return mPoints; }
    int32_t GetCount() const { return static_cast<int32_t>(mPoints.size()); }
    void AddPoint(const PointT<T>& point)
    {
        mPoints.push_back(point);
        mChanged = true;
    }
    void SetPoints(std::vector<PointT<T>> points)
    {
        mPoints = std::move(points);
        mChanged = true;
    }
    void Clear()
    {
        mPoints.clear();
        mChanged = true;
    }

    T GetPenWidth() const { return mPenWidth; }
    void SetPenWidth(T width)
    {
        mPenWidth = width;
        mChanged = true;
    }

    bool IsChanged() const { return mChanged; }
    void SetChanged(bool changed) { mChanged = changed; }
    int32_t GetHandle() const { return mHandle; }

private:
    std::vector<PointT<T>> mPoints;
    T mPenWidth = T(1);
    bool mChanged = true;
    int32_t mHandle;
};

// Rectangles with one 0xAARRGGBB colour each, drawn scaled by the x and y scale.
template <class T>
class ColorRectListT
{
public:
    ColorRectListT() : mHandle(detail::NextDrawableHandle()) {}
    ColorRectListT(const ColorRectListT& other)
        : mRects(other.mRects), mColors(other.mColors), mScaleX(other.mScaleX),
          mScaleY(other.mScaleY), mChanged(true), mHandle(detail::NextDrawableHandle())
    {}
    ColorRectListT& operator=(const ColorRectListT& other)
    {
        mRects = other.mRects;
        mColors = other.mColors;
        mScaleX = other.mScaleX;
        mScaleY = other.mScaleY;
        mChanged = true;
        return *this;
    }

    int32_t GetCount() const { return static_cast<int32_t>(mRects.size()); }
    const std::vector<RectT<T>>& GetRects() const { return mRects; }
    const std::vector<uint32_t>& GetColors() const { return mColors; }
    void AddRect(const RectT<T>& rect, uint32_t argb)
    {
        mRects.push_back(rect);
        mColors.push_back(argb);
        mChanged = true;
    }
    void Clear()
    {
        mRects.clear();
        mColors.clear();
        mChanged = true;
    }

    T GetScaleX() const { return mScaleX; }
    T GetScaleY() const { return mScaleY; }
    void SetScale(T scaleX, T scaleY)
    {
        mScaleX = scaleX;
        mScaleY = scaleY;
        mChanged = true;
    }

    bool IsChanged() const { return mChanged; }
    void SetChanged(bool changed) { mChanged = changed; }
    int32_t GetHandle() const { return mHandle; }

private:
    std::vector<RectT<T>> mRects;
    std::vector<uint32_t> mColors;
    T mScaleX = T(1);
    T mScaleY = T(1);
    bool mChanged = true;
    int32_t mHandle;
};

} // namespace SV
