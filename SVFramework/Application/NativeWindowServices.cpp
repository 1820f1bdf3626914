#include "Application/NativeWindowServices.h"

#include "Application/FrameworkApp.h"
#include "Application/MainWindowPlacement.h"
#include "Application/WindowSizing.h"
#include "ControlBase/Control.h"
#include "ControlBase/ControlFactory.h"
#include "ObjectBase/Exception.h"
#include "ResultCodes.h"
#include "Windows/OSWindow.h"
#include "Windows/OSWindowContext.h"

#include <cmath>
#include <stdexcept>

namespace SV {

namespace {

constexpr int32_t kShowNormal = 1;

int32_t Truncate(double value)
{
    if (!std::isfinite(value)) {
        return 0;
    }
    return static_cast<int32_t>(std::clamp(std::trunc(value), -32767.0, 32767.0));
}

int32_t Round(double value)
{
    if (!std::isfinite(value)) {
        return 0;
    }
    return static_cast<int32_t>(std::clamp(std::round(value), -32767.0, 32767.0));
}

// A window that cannot grow or shrink gets its size as both limits.
void ApplySizing(const WindowSizing& sizing, svp::WindowCreateParams& params)
{
    if (!sizing.resizable) {
        params.minWidth = params.maxWidth = params.width;
        params.minHeight = params.maxHeight = params.height;
    }
}

} // namespace

int32_t CreateMainNativeWindow(LFrameworkApp& application, int32_t rendererType,
                               const std::string& function, svp::HWND& mainWindow)
{
    mainWindow = nullptr;
    OSWindowContext* context = OSWindowContext::Current();
    if (context == nullptr) {
        return E_FAIL;
    }
    const RCPtr<LControlFactory>& factory = application.GetControlFactory();
    const RCPtr<LControlDescriptor> descriptor =
        factory ? factory->FindRootDescriptor(application.GetMainControlName()) : nullptr;
    if (!descriptor) {
        throw Exception<std::runtime_error>(
            "Runtime Error : Null Pointer : Invalid Control Name : " + function +
            " : ApplicationBaseWin : Line 1234");
    }
    const RCPtr<LLayoutDescriptor> layout = descriptor->GetLayout()
                                                ? descriptor->GetLayout()
                                                : RCPtr<LLayoutDescriptor>(new LLayoutDescriptor());
    const auto& x = layout->axes[LLayoutDescriptor::kAxisX];
    const auto& y = layout->axes[LLayoutDescriptor::kAxisY];
    svp::WindowCreateParams params;
    params.title = application.GetCompanyName().ToNarrow().GetText();
    params.className = GetMainWindowClassName();
    params.x = Truncate(x.position.absolute);
    params.y = Truncate(y.position.absolute);
    params.width = std::max(1, Truncate(x.size.absolute));
    params.height = std::max(1, Truncate(y.size.absolute));
    const WindowSizing sizing = ChooseWindowSizing(*layout);
    ApplySizing(sizing, params);
    params.maximizeBox = sizing.maximizable;

    auto* window = new OSWindow(context->GetWindows(), context->GetLoop());
    if (window->Create(params) < 0) {
        window->Close();
        return E_FAIL;
    }
    // One picture serves as the window's small and big icon.
    context->GetWindows().SetWindowIcon(window->GetWindowHandle(),
                                        application.GetApplicationIcon());
    const int32_t result = window->InitRootWindow(rendererType);
    mainWindow = window->GetWindowHandle();
    RestoreMainWindowPlacement(mainWindow);
    return result;
}

void RestoreMainWindowPlacement(svp::HWND mainWindow)
{
    OSWindow* window = OSWindow::FromHandle(mainWindow);
    if (window == nullptr || CurrentApplication == nullptr) {
        return;
    }
    RectT<int32_t> client{};
    window->GetClientRect(client);
    const PointT<int32_t> origin = window->ClientToScreen({0, 0});
    svp::ScreenRect rect{origin.x, origin.y, origin.x + client.width, origin.y + client.height};
    if (const auto placement = LoadMainWindowPlacement()) {
        rect = {placement->left, placement->top, placement->right, placement->bottom};
    }
    const RectT<int32_t> work = CurrentApplication->GetWorkArea();
    rect = PlaceOnDesktop(rect, work.x + work.width, work.y + work.height,
                          [window](svp::ScreenRect& r) { window->ConstrainSizingRect(r); });
    window->SetClientRect({rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top});
}

int32_t CreateFurtherRootWindow(LFrameworkApp& application, const RCPtr<LControl>& control,
                                bool modeless, bool systemMenu, bool minimizeBox, bool maximizeBox,
                                const std::string& function)
{
    OSWindowContext* context = OSWindowContext::Current();
    if (context == nullptr || !control) {
        return E_FAIL;
    }
    const int32_t count = application.GetRootWindows().GetCount();
    WindowSizing sizing;
    if (modeless) {
        const ConstRCPtr<LControlDescriptor>& descriptor = control->GetControlDescriptor();
        if (!descriptor) {
            throw Exception<std::runtime_error>(
                "Runtime Error : Null Pointer : Control descriptor is null : " + function +
                " : ApplicationBaseWin : Line 943");
        }
        if (descriptor->GetLayout()) {
            sizing = ChooseWindowSizing(*descriptor->GetLayout());
        } else {
            sizing.resizable = true;
        }
    }
    // The window's buttons belong to the window manager's frame: it is told which to offer. A
    // modal window is a dialog of its parent.
    (void)systemMenu;

    RCPtr<IRootWindow> parent = application.GetActiveRootWindow();
    if (!parent && count > 0) {
        parent = *application.GetRootWindows().At(0);
    }
    IWindowOSServices* parentServices = parent ? parent->GetWindowServices() : nullptr;
    if (parentServices == nullptr) {
        return E_FAIL;
    }
    const RectT<double>& rect = control->GetRect();
    const PointT<int32_t> position = parentServices->ClientToScreen({Round(rect.x), Round(rect.y)});
    svp::WindowCreateParams params;
    params.title = control->GetText().ToNarrow().GetText();
    params.className = "SVFrameworkWindow";
    params.width = std::max(1, Round(rect.width));
    params.height = std::max(1, Round(rect.height));
    // Kept inside the work area: the far edges first, so a window larger than the area shows
    // its top left corner.
    const RectT<int32_t> work = application.GetWorkArea();
    params.x = std::max(work.x, std::min(position.x, work.x + work.width - params.width));
    params.y = std::max(work.y, std::min(position.y, work.y + work.height - params.height));
    ApplySizing(sizing, params);
    params.dialog = !modeless;
    params.minimizeBox = minimizeBox;
    params.maximizeBox = maximizeBox && sizing.maximizable;

    auto* window = new OSWindow(context->GetWindows(), context->GetLoop());
    if (window->Create(params, modeless ? nullptr : parentServices->GetWindowHandle()) < 0) {
        window->Close();
        return E_FAIL;
    }
    context->GetWindows().SetWindowIcon(window->GetWindowHandle(),
                                        application.GetApplicationIcon());
    window->CreateRootWindow(parent->GetRenderer());
    if (application.GetRootWindows().GetCount() != count + 1) {
        window->Close();
        return E_FAIL;
    }
    window->GetRootWindow()->SetMainControl(control);
    window->OfferSizeLimits();
    return count;
}

int32_t RunRootWindowModal(LFrameworkApp& application, int32_t index)
{
    if (index < 0 || index >= application.GetRootWindows().GetCount()) {
        return E_FAIL;
    }
    IWindowOSServices* services = (*application.GetRootWindows().At(index))->GetWindowServices();
    return services != nullptr ? services->RunModalLoop() : E_FAIL;
}

void RunApplicationMessageLoop(LFrameworkApp& application)
{
    OSWindowContext* context = OSWindowContext::Current();
    if (context == nullptr) {
        return;
    }
    context->GetLoop().Run([&application](int32_t count) {
        if (application.IsExitRequested()) {
            return false;
        }
        return application.IdlePass(count == 0) && count < 2;
    });
}

void PostApplicationExit(svp::HWND mainWindow)
{
    OSWindowContext* context = OSWindowContext::Current();
    if (context == nullptr) {
        return;
    }
    // The window is looked up when the close runs: it may be gone by then.
    context->GetLoop().Post([mainWindow] { CloseMainWindow(mainWindow); });
    context->GetLoop().PostQuit(0);
}

void CloseMainWindow(svp::HWND mainWindow)
{
    if (OSWindow* window = OSWindow::FromHandle(mainWindow)) {
        window->Close();
    }
}

} // namespace SV
