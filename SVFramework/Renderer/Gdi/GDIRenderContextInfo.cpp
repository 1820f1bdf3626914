#include "Renderer/Gdi/GDIRenderContextInfo.h"

#include <cairo.h>

#include <vector>

namespace SV {

LGDIRenderContextInfo::LGDIRenderContextInfo(const RectT<int32_t>& target, svp::HWND window,
                                             int32_t offscreenOnly)
    : LRenderContextInfo(target, window, offscreenOnly),
      mCurrent(new LGDIRendererOffscreenSurface(target.width, target.height, window)),
      mSpare(new LGDIRendererOffscreenSurface(target.width, target.height, window))
{
    if (window != nullptr) {
        mPresenter = svp::WindowPresenter::Create(window);
    }
}

std::pair<int32_t, int32_t> LGDIRenderContextInfo::GetMaxSurfaceSize() const
{
    return {4096, 4096};
}

void LGDIRenderContextInfo::PrepareSurface()
{
    const RectT<int32_t>& target = GetTarget();
    const auto [width, height] = mCurrent->GetSize();
    if (width != target.width || height != target.height) {
        mCurrent->Resize(target.width, target.height);
        mSpare->Resize(target.width, target.height);
        mCurrent->PrepareFirstFrame();
        return;
    }
    mCurrent->PrepareFirstFrame();
    const RectRegion::Node* first = GetRegion().GetFirst();
    const bool wholeTarget = first != nullptr && first->next == nullptr &&
                             first->left == target.x && first->top == target.y &&
                             first->right - first->left == target.width &&
                             first->bottom - first->top == target.height;
    if (wholeTarget) {
        // The same as making the pictures anew at this size, without giving the memory back. A
        // window's context never draws into its spare picture: clearing it would only write
        // a whole picture of memory for nothing on every full repaint.
        mCurrent->Clear();
        if (IsOffscreenOnly()) {
            mSpare->Clear();
        }
    }
}

void LGDIRenderContextInfo::Present()
{
    cairo_surface_t* surface = mCurrent->GetSurface();
    cairo_surface_flush(surface);
    if (IsOffscreenOnly() || !mPresenter) {
        return;
    }
    std::vector<svp::PixelRect> lastFirst;
    for (const RectRegion::Node* node = GetRegion().GetFirst(); node != nullptr;
         node = node->next) {
        lastFirst.insert(lastFirst.begin(), {node->left, node->top, node->right - node->left,
                                             node->bottom - node->top});
    }
    const svp::PixelImageView image{
        reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(surface)),
        cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface),
        cairo_image_surface_get_stride(surface)};
    mPresenter->Present(image, lastFirst);
}

void LGDIRenderContextInfo::SwapSurfaces()
{
    std::swap(mCurrent, mSpare);
}

} // namespace SV
