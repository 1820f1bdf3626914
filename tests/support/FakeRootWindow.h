// A root window for the application tests, with the native window services it reports: it
// records what the application asks of it in a shared log ("<name>:<call>"), counts idle
// passes, and can close itself (leave the application's list) during its idle turn.
#pragma once

#include "Windows/IRootWindow.h"
#include "Windows/WindowOSServices.h"

#include <functional>
#include <string>
#include <vector>

namespace svtest {

class FakeWindowServices : public SV::IWindowOSServices
{
public:
    int32_t SetTitle(const SV::WideString&) override { return 0; }
    int32_t Invalidate() override { return 0; }
    int32_t InvalidateRect(const SV::RectT<int32_t>&) override { return 0; }
    int32_t GetClientRect(SV::RectT<int32_t>& rect) override;
    SV::PointT<int32_t> ScreenToClient(const SV::PointT<int32_t>& point) override;
    SV::PointT<int32_t> ClientToScreen(const SV::PointT<int32_t>& point) override;
    int32_t SetClientRect(const SV::RectT<int32_t>& rect) override;
    int32_t Show(int32_t) override { return 0; }
    int32_t Redraw() override;
    int32_t BringToTop() override { return 0; }
    int32_t SetTopMost(bool) override { return 0; }
    int32_t EndModal(int32_t result) override;
    int32_t RunModalLoop() override { return -1; }
    bool IsModal() override { return false; }
    bool IsActive() override { return active; }
    bool HasFocus() override { return active; }
    int32_t SetFocus() override { return 0; }
    svp::HCURSOR SetCursor(svp::HCURSOR newCursor) override;
    SV::PointT<int32_t> GetCursorPosition() override { return cursor; }
    int32_t GetMouseButtons() override { return buttons; }
    svp::HWND GetWindowHandle() override { return handle; }
    void OnTextInputFocus(bool, int32_t) override {}

    bool active = false;
    // Screen position of the client origin and the client size.
    SV::RectT<int32_t> screenClient{100, 50, 640, 480};
    SV::PointT<int32_t> cursor{};
    int32_t buttons = 0;
    svp::HWND handle = nullptr;
    svp::HCURSOR shownCursor = nullptr;
    int32_t redraws = 0;
    std::vector<int32_t> endModalResults;
};

class FakeRootWindow : public SV::IRootWindow
{
public:
    FakeRootWindow(std::string name, std::vector<std::string>& log);

    bool OnIdle(bool first) override;
    SV::IWindowOSServices* GetWindowServices() const override;
    SV::RCPtr<SV::LRenderer> GetRenderer() const override { return nullptr; }
    SV::PointT<int32_t> GetCursorPosition() override { return services.cursor; }
    int32_t GetMouseButtons() override { return services.buttons; }
    SV::RectT<int32_t> GetScreenClientRect() override;
    void RedrawAll() override;
    void Invalidate(const SV::RectT<int32_t>& rect) override;
    svp::HCURSOR SetCursor(svp::HCURSOR newCursor) override;
    void OnFocusGained() override;
    void OnFocusLost() override;
    int32_t ReapplySkin(const SV::LControlFactory& factory) override;
    int32_t RequestClose(int32_t result) override;

    FakeWindowServices services;
    // Without services the window behaves as one whose native window is gone.
    bool hasServices = true;
    // What OnIdle answers, and what it runs first.
    bool workRemains = false;
    std::function<void(bool first)> onIdle;
    int32_t idlePasses = 0;
    int32_t firstPasses = 0;
    std::vector<SV::RectT<int32_t>> invalidated;
    // The cursor shown while the skin was applied again, and the skin index then current.
    std::vector<svp::HCURSOR> cursorsDuringReapply;
    std::vector<int32_t> reappliedSkins;

private:
    std::string mName;
    std::vector<std::string>& mLog;
};

} // namespace svtest
