// The operations of a native window that the root window, the controls and the application use,
// in their order. Rectangles are x, y, width and height; points and rectangles without further
// word are in the window's client coordinates.
#pragma once

#include "Desktop.h"
#include "Utilities/Graphics/Point.h"
#include "Utilities/Graphics/Rect.h"
#include "Utilities/Storage/StringT.h"
#include "WindowHandle.h"

#include <cstdint>

namespace SV {

class IWindowOSServices
{
public:
    virtual ~IWindowOSServices() = default;

    virtual int32_t SetTitle(const WideString& title) = 0;
    virtual int32_t Invalidate() = 0;
    virtual int32_t InvalidateRect(const RectT<int32_t>& rect) = 0;
    virtual int32_t GetClientRect(RectT<int32_t>& rect) = 0;
    virtual PointT<int32_t> ScreenToClient(const PointT<int32_t>& point) = 0;
    virtual PointT<int32_t> ClientToScreen(const PointT<int32_t>& point) = 0;
    // The screen position of the client origin and the client size.
    virtual int32_t SetClientRect(const RectT<int32_t>& rect) = 0;
    // 1 when the window was visible before, else 0.
    virtual int32_t Show(int32_t showCommand) = 0;
    virtual int32_t Redraw() = 0;
    virtual int32_t BringToTop() = 0;
    virtual int32_t SetTopMost(bool topMost) = 0;
    // Ends the modal loop with the result, or destroys a window that runs none.
    virtual int32_t EndModal(int32_t result) = 0;
    // The result given to EndModal; -1 when the loop met a quit message.
    virtual int32_t RunModalLoop() = 0;
    virtual bool IsModal() = 0;
    virtual bool IsActive() = 0;
    virtual bool HasFocus() = 0;
    virtual int32_t SetFocus() = 0;
    // Shows the cursor; the cursor shown before.
    virtual svp::HCURSOR SetCursor(svp::HCURSOR cursor) = 0;
    virtual PointT<int32_t> GetCursorPosition() = 0;
    // Bit 0 left, bit 1 middle, bit 2 right.
    virtual int32_t GetMouseButtons() = 0;
    virtual svp::HWND GetWindowHandle() = 0;
    virtual void OnTextInputFocus(bool gained, int32_t value) = 0;
};

} // namespace SV
