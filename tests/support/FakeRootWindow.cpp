#include "FakeRootWindow.h"

#include "ControlBase/ControlFactory.h"

namespace svtest {

int32_t FakeWindowServices::GetClientRect(SV::RectT<int32_t>& rect)
{
    rect = SV::RectT<int32_t>{0, 0, screenClient.width, screenClient.height};
    return 0;
}

SV::PointT<int32_t> FakeWindowServices::ScreenToClient(const SV::PointT<int32_t>& point)
{
    return {point.x - screenClient.x, point.y - screenClient.y};
}

SV::PointT<int32_t> FakeWindowServices::ClientToScreen(const SV::PointT<int32_t>& point)
{
    return {point.x + screenClient.x, point.y + screenClient.y};
}

int32_t FakeWindowServices::SetClientRect(const SV::RectT<int32_t>& rect)
{
    screenClient = rect;
    return 0;
}

int32_t FakeWindowServices::Redraw()
{
    ++redraws;
    return 0;
}

int32_t FakeWindowServices::EndModal(int32_t result)
{
    endModalResults.push_back(result);
    return 0;
}

svp::HCURSOR FakeWindowServices::SetCursor(svp::HCURSOR newCursor)
{
    const svp::HCURSOR previous = shownCursor;
    shownCursor = newCursor;
    return previous;
}

FakeRootWindow::FakeRootWindow(std::string name, std::vector<std::string>& log)
    : mName(std::move(name)), mLog(log)
{}

bool FakeRootWindow::OnIdle(bool first)
{
    ++idlePasses;
    firstPasses += first ? 1 : 0;
    mLog.push_back(mName + ":OnIdle" + (first ? "(first)" : ""));
    if (onIdle) {
        onIdle(first);
    }
    return workRemains;
}

SV::IWindowOSServices* FakeRootWindow::GetWindowServices() const
{
    return hasServices ? const_cast<FakeWindowServices*>(&services) : nullptr;
}

SV::RectT<int32_t> FakeRootWindow::GetScreenClientRect()
{
    return services.screenClient;
}

void FakeRootWindow::RedrawAll()
{
    mLog.push_back(mName + ":RedrawAll");
    Invalidate(SV::RectT<int32_t>{0, 0, services.screenClient.width, services.screenClient.height});
    services.Redraw();
}

void FakeRootWindow::Invalidate(const SV::RectT<int32_t>& rect)
{
    invalidated.push_back(rect);
}

svp::HCURSOR FakeRootWindow::SetCursor(svp::HCURSOR newCursor)
{
    return services.SetCursor(newCursor);
}

void FakeRootWindow::OnFocusGained()
{
    mLog.push_back(mName + ":OnFocusGained");
}

void FakeRootWindow::OnFocusLost()
{
    mLog.push_back(mName + ":OnFocusLost");
}

int32_t FakeRootWindow::ReapplySkin(const SV::LControlFactory& factory)
{
    mLog.push_back(mName + ":ReapplySkin");
    cursorsDuringReapply.push_back(services.shownCursor);
    reappliedSkins.push_back(factory.GetCurrentSkinIndex());
    return 0;
}

int32_t FakeRootWindow::RequestClose(int32_t result)
{
    mLog.push_back(mName + ":RequestClose(" + std::to_string(result) + ")");
    return hasServices ? 0 : static_cast<int32_t>(0x80004005u);
}

} // namespace svtest
