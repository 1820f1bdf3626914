// The CLIPBOARD selection on one display connection: owned through a hidden window of its own,
// served in one piece or, when large, in INCR steps; read with bounded waits.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace svp {

class X11Clipboard
{
public:
    // Tests name a selection of their own, so that test processes running side by side on
    // one display never take each other's text.
    explicit X11Clipboard(Display* display, const char* selection = "CLIPBOARD");
    ~X11Clipboard();
    X11Clipboard(const X11Clipboard&) = delete;
    X11Clipboard& operator=(const X11Clipboard&) = delete;

    bool SetText(const std::string& utf8);
    std::optional<std::string> GetText(int32_t waitMs);
    bool Owns() const { return mOwned; }
    void SetLostHandler(std::function<void()> onLost) { mOnLost = std::move(onLost); }

    // Takes the events that belong to the selection; false for every other event.
    bool HandleEvent(const XEvent& event);

private:
    struct Transfer
    {
        Window requestor = 0;
        Atom property = 0;
        Atom type = 0;
        std::string data;
        size_t offset = 0;
    };

    void Serve(const XSelectionRequestEvent& request);
    bool ServeTarget(Window requestor, Atom target, Atom property);
    void ContinueTransfer(const XPropertyEvent& event);
    std::optional<std::string> Convert(Atom target, int32_t waitMs);
    bool WaitFor(int32_t waitMs, int type, Atom atom, XEvent& event);

    Display* mDisplay;
    Window mWindow = 0;
    Atom mClipboard, mTargets, mUtf8String, mText, mIncr, mMultiple, mProperty;
    bool mOwned = false;
    Time mOwnedSince = CurrentTime;
    std::string mText8;
    std::function<void()> mOnLost;
    std::vector<Transfer> mTransfers;
};

} // namespace svp
