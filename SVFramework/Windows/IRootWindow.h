// What the application asks of the root windows in its list: the idle pass, the state it reports
// (active window, pointer, buttons), the skin switch and the close request. The root window of
// each native window implements it.
#pragma once

#include "Desktop.h"
#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"
#include "Renderer/Renderer.h"
#include "Utilities/Graphics/Point.h"
#include "Utilities/Graphics/Rect.h"

#include <cstdint>

namespace SV {

class IWindowOSServices;
class LControlFactory;

class IRootWindow : public virtual LRefCountedObject
{
public:
    // Delivers the window's posted notifications (and, on a first pass, its "NID_IDLE") and
    // carries out a pending close request; true while the queue has work left.
    virtual bool OnIdle(bool first) = 0;
    // The native window's services; null once the window is gone.
    virtual IWindowOSServices* GetWindowServices() const = 0;
    virtual RCPtr<LRenderer> GetRenderer() const = 0;

    // Pointer position in client coordinates and the button mask, as the window last saw them.
    virtual PointT<int32_t> GetCursorPosition() = 0;
    virtual int32_t GetMouseButtons() = 0;
    // The screen position of the client origin and the client size, refreshed from the native
    // window when it exists.
    virtual RectT<int32_t> GetScreenClientRect() = 0;
    // Invalidates the whole client area and redraws it at once.
    virtual void RedrawAll() = 0;
    // Adds the rectangle (client coordinates) to the area the next paint draws.
    virtual void Invalidate(const RectT<int32_t>& rect) = 0;
    // The cursor shown over the window; answers the one shown before.
    virtual svp::HCURSOR SetCursor(svp::HCURSOR cursor) = 0;

    virtual void OnFocusGained() = 0;
    virtual void OnFocusLost() = 0;
    // Applies the factory's current skin to the main control again.
    virtual int32_t ReapplySkin(const LControlFactory& factory) = 0;
    // The window closes with the result at the next idle pass.
    virtual int32_t RequestClose(int32_t result) = 0;
};

} // namespace SV
