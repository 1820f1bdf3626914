// The application services the control framework calls: clock, notification centre, measuring,
// default font, root windows, work area, pointer, the control factory and modal runs. The
// application object
// provides them; the controls reach them through the process-wide pointer, which is empty while
// there is no application (controls then run without clock, centre or measuring).
#pragma once

#include "ObjectBase/RCPtr.h"
#include "Utilities/Graphics/Point.h"
#include "Utilities/Graphics/Rect.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace SV {

class LControl;
class LClipboard;
class LControlFactory;
class LMeasurementRenderer;
class LNotificationCenter;
class LRootWindow;

class IControlApplication
{
public:
    virtual ~IControlApplication() = default;

    // Application clock in seconds.
    virtual double GetTime() = 0;
    // The centre named "application".
    virtual RCPtr<LNotificationCenter> GetNotificationCenter() = 0;
    virtual RCPtr<LMeasurementRenderer> GetMeasurementRenderer() = 0;
    // Face, size in points and style bits; 0, or E_FAIL with empty outputs.
    virtual int32_t GetDefaultFont(WideString& face, float& size, int32_t& style) = 0;
    virtual RCPtr<LRootWindow> GetActiveRootWindow() = 0;
    virtual int32_t GetRootWindowCount() = 0;
    virtual RCPtr<LRootWindow> GetRootWindow(int32_t index) = 0;
    virtual RectT<int32_t> GetWorkArea() = 0;
    // Pointer position in screen coordinates.
    virtual PointT<int32_t> GetCursorPosition() = 0;
    // The factory that creates controls and hands out their string tables.
    virtual RCPtr<LControlFactory> GetControlFactory() = 0;
    // Puts the control into a new modal root window with a native window of its own (titled
    // with the control's label text, with a system menu when asked), keeps the parent window
    // disabled and pumps messages, idle passes included, until the window's close request is
    // carried out: that request's result, or E_FAIL when the window cannot be made.
    virtual int32_t RunModal(const RCPtr<LControl>& control, bool systemMenu) = 0;
    // The clipboard service that the text box cuts, copies and pastes through; empty while the
    // application has none.
    virtual RCPtr<LClipboard> GetClipboard();
};

// The running application's services; null while there is none.
IControlApplication* GetControlApplication();
// The application clock in whole milliseconds, wrapping at 2^32 like the multimedia timer; 0
// without an application. Event times and fling timing of the controls use it.
uint32_t GetControlTimeMilliseconds();
// The application object registers itself for its lifetime (and null when it goes).
void SetControlApplication(IControlApplication* application);

} // namespace SV
