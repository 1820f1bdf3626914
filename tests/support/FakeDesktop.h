// A desktop for tests, installed for its lifetime: a settable work area, key states, pointer
// position and answers, cursors and icons that are distinct fake handles, and a record of every
// message box shown.
#pragma once

#include "Desktop.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace svtest {

class FakeDesktop : public svp::IDesktop
{
public:
    struct MessageBoxCall
    {
        svp::HWND owner;
        std::string text;
        std::string caption;
        uint32_t style;
    };

    FakeDesktop();
    ~FakeDesktop() override;
    FakeDesktop(const FakeDesktop&) = delete;
    FakeDesktop& operator=(const FakeDesktop&) = delete;

    bool GetWorkArea(svp::ScreenRect& area) override;
    uint16_t GetKeyState(uint32_t virtualKey) override;
    bool GetCursorPos(int32_t& x, int32_t& y) override;
    bool SetCursorPos(int32_t x, int32_t y) override;
    int32_t ShowCursor(bool show) override;
    int32_t MessageBox(svp::HWND owner, const std::string& text, const std::string& caption,
                       uint32_t style) override;
    svp::HCURSOR LoadSystemCursor(uint32_t id) override;
    svp::HCURSOR LoadCursorResource(int32_t id) override;
    svp::HICON LoadIconResource(int32_t id) override;
    // Records the path and answers `openDocumentAnswer`.
    bool OpenDocument(const std::string& path) override
    {
        openedDocuments.push_back(path);
        return openDocumentAnswer;
    }

    // The fake handle of a system cursor, of a resource cursor and of a resource icon.
    static svp::HCURSOR SystemCursor(uint32_t id);
    static svp::HCURSOR ResourceCursor(int32_t id);
    static svp::HICON ResourceIcon(int32_t id);

    svp::ScreenRect workArea{0, 0, 1920, 1080};
    std::map<uint32_t, uint16_t> keyStates;
    int32_t cursorX = 0;
    int32_t cursorY = 0;
    bool cursorKnown = true;
    bool canMoveCursor = true;
    int32_t cursorCounter = 0;
    int32_t messageBoxAnswer = 1;
    std::vector<MessageBoxCall> messageBoxes;
    std::vector<std::string> openedDocuments;
    bool openDocumentAnswer = true;
};

} // namespace svtest
