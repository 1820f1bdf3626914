#include "X11Clipboard.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <chrono>
#include <poll.h>

namespace svp {
namespace {

// Texts above this go in INCR steps of this size.
constexpr size_t kChunkBytes = 64 * 1024;
// A text from another program longer than this is refused rather than held in memory.
constexpr size_t kMaxTextBytes = 16 * 1024 * 1024;

// Latin-1 when every character fits, else nothing.
std::optional<std::string> ToLatin1(const std::string& utf8)
{
    std::string latin1;
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<uint8_t>(utf8[i]);
        if (byte < 0x80) {
            latin1 += static_cast<char>(byte);
        } else if ((byte == 0xC2 || byte == 0xC3) && i + 1 < utf8.size() &&
                   (static_cast<uint8_t>(utf8[i + 1]) & 0xC0) == 0x80) {
            latin1 += static_cast<char>(((byte & 0x03) << 6) | (utf8[++i] & 0x3F));
        } else {
            return std::nullopt;
        }
    }
    return latin1;
}

std::string FromLatin1(const std::string& latin1)
{
    std::string utf8;
    for (const char c : latin1) {
        const auto byte = static_cast<uint8_t>(c);
        if (byte < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | (byte >> 6));
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return utf8;
}

struct EventMatch
{
    Window window;
    int type;
    Atom atom;
};

Bool Matches(Display*, XEvent* event, XPointer argument)
{
    const auto* match = reinterpret_cast<const EventMatch*>(argument);
    if (event->type != match->type || event->xany.window != match->window) {
        return False;
    }
    if (event->type == PropertyNotify) {
        return event->xproperty.atom == match->atom && event->xproperty.state == PropertyNewValue;
    }
    return event->type != SelectionNotify || event->xselection.selection == match->atom;
}

} // namespace

X11Clipboard::X11Clipboard(Display* display, const char* selection) : mDisplay(display)
{
    XSetWindowAttributes attributes{};
    attributes.event_mask = PropertyChangeMask;
    mWindow = XCreateWindow(mDisplay, DefaultRootWindow(mDisplay), -10, -10, 1, 1, 0, 0, InputOnly,
                            CopyFromParent, CWEventMask, &attributes);
    mClipboard = XInternAtom(mDisplay, selection, False);
    mTargets = XInternAtom(mDisplay, "TARGETS", False);
    mUtf8String = XInternAtom(mDisplay, "UTF8_STRING", False);
    mText = XInternAtom(mDisplay, "TEXT", False);
    mIncr = XInternAtom(mDisplay, "INCR", False);
    mMultiple = XInternAtom(mDisplay, "MULTIPLE", False);
    mProperty = XInternAtom(mDisplay, "SV_CLIPBOARD", False);
}

X11Clipboard::~X11Clipboard()
{
    XDestroyWindow(mDisplay, mWindow);
}

bool X11Clipboard::SetText(const std::string& utf8)
{
    // The ownership's time stamp must be a server time: a property change gives one.
    XChangeProperty(mDisplay, mWindow, mProperty, mUtf8String, 8, PropModeReplace, nullptr, 0);
    XEvent event;
    EventMatch match{mWindow, PropertyNotify, mProperty};
    XIfEvent(
        mDisplay, &event,
        [](Display*, XEvent* e, XPointer a) -> Bool {
            const auto* m = reinterpret_cast<const EventMatch*>(a);
            return e->type == PropertyNotify && e->xproperty.window == m->window &&
                   e->xproperty.atom == m->atom;
        },
        reinterpret_cast<XPointer>(&match));
    mOwnedSince = event.xproperty.time;
    XSetSelectionOwner(mDisplay, mClipboard, mWindow, mOwnedSince);
    mOwned = XGetSelectionOwner(mDisplay, mClipboard) == mWindow;
    mText8 = mOwned ? utf8 : std::string();
    return mOwned;
}

bool X11Clipboard::HandleEvent(const XEvent& event)
{
    switch (event.type) {
    case SelectionRequest:
        if (event.xselectionrequest.owner != mWindow) {
            return false;
        }
        Serve(event.xselectionrequest);
        return true;
    case SelectionClear:
        if (event.xselectionclear.window != mWindow ||
            event.xselectionclear.selection != mClipboard) {
            return false;
        }
        mOwned = false;
        mText8.clear();
        if (mOnLost) {
            mOnLost();
        }
        return true;
    case PropertyNotify:
        if (event.xproperty.state == PropertyDelete &&
            std::any_of(mTransfers.begin(), mTransfers.end(), [&](const Transfer& t) {
                return t.requestor == event.xproperty.window && t.property == event.xproperty.atom;
            })) {
            ContinueTransfer(event.xproperty);
            return true;
        }
        return event.xproperty.window == mWindow;
    default:
        return false;
    }
}

void X11Clipboard::Serve(const XSelectionRequestEvent& request)
{
    // Old clients name no property: the target's name is the property then.
    const Atom property = request.property != None ? request.property : request.target;
    const bool served = request.selection == mClipboard && mOwned && request.target != mMultiple &&
                        ServeTarget(request.requestor, request.target, property);
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.display = mDisplay;
    reply.xselection.requestor = request.requestor;
    reply.xselection.selection = request.selection;
    reply.xselection.target = request.target;
    reply.xselection.property = served ? property : None;
    reply.xselection.time = request.time;
    XSendEvent(mDisplay, request.requestor, False, NoEventMask, &reply);
    XFlush(mDisplay);
}

bool X11Clipboard::ServeTarget(Window requestor, Atom target, Atom property)
{
    if (target == mTargets) {
        std::vector<Atom> targets{mTargets, mUtf8String, mText};
        if (ToLatin1(mText8)) {
            targets.push_back(XA_STRING);
        }
        XChangeProperty(mDisplay, requestor, property, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(targets.data()),
                        static_cast<int>(targets.size()));
        return true;
    }
    std::string data;
    Atom type = mUtf8String;
    if (target == mUtf8String || target == mText) {
        data = mText8;
    } else if (target == XA_STRING) {
        const auto latin1 = ToLatin1(mText8);
        if (!latin1) {
            return false;
        }
        data = *latin1;
        type = XA_STRING;
    } else {
        return false;
    }
    if (data.size() <= kChunkBytes) {
        XChangeProperty(mDisplay, requestor, property, type, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(data.data()),
                        static_cast<int>(data.size()));
        return true;
    }
    // Each deletion of the property by the requestor asks for the next piece.
    XSelectInput(mDisplay, requestor, PropertyChangeMask);
    const long size = static_cast<long>(data.size());
    XChangeProperty(mDisplay, requestor, property, mIncr, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&size), 1);
    std::erase_if(mTransfers, [&](const Transfer& t) {
        return t.requestor == requestor && t.property == property;
    });
    mTransfers.push_back({requestor, property, type, std::move(data), 0});
    return true;
}

void X11Clipboard::ContinueTransfer(const XPropertyEvent& event)
{
    const auto it = std::find_if(mTransfers.begin(), mTransfers.end(), [&](const Transfer& t) {
        return t.requestor == event.window && t.property == event.atom;
    });
    const size_t length = std::min(kChunkBytes, it->data.size() - it->offset);
    XChangeProperty(mDisplay, it->requestor, it->property, it->type, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(it->data.data() + it->offset),
                    static_cast<int>(length));
    it->offset += length;
    if (length == 0) {
        // The empty piece that ends the transfer is written.
        XSelectInput(mDisplay, it->requestor, NoEventMask);
        mTransfers.erase(it);
    }
    XFlush(mDisplay);
}

std::optional<std::string> X11Clipboard::GetText(int32_t waitMs)
{
    if (mOwned && XGetSelectionOwner(mDisplay, mClipboard) == mWindow) {
        return mText8;
    }
    if (XGetSelectionOwner(mDisplay, mClipboard) == None) {
        return std::nullopt;
    }
    if (auto text = Convert(mUtf8String, waitMs)) {
        return text;
    }
    if (auto text = Convert(XA_STRING, waitMs)) {
        return FromLatin1(*text);
    }
    return std::nullopt;
}

bool X11Clipboard::WaitFor(int32_t waitMs, int type, Atom atom, XEvent& event)
{
    EventMatch match{mWindow, type, atom};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        // Only the awaited event is taken; everything else stays queued for the event loop.
        if (XCheckIfEvent(mDisplay, &event, Matches, reinterpret_cast<XPointer>(&match))) {
            return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) {
            return false;
        }
        pollfd fd{ConnectionNumber(mDisplay), POLLIN, 0};
        poll(&fd, 1, static_cast<int>(left));
        XEventsQueued(mDisplay, QueuedAfterReading);
    }
}

std::optional<std::string> X11Clipboard::Convert(Atom target, int32_t waitMs)
{
    XDeleteProperty(mDisplay, mWindow, mProperty);
    XConvertSelection(mDisplay, mClipboard, target, mProperty, mWindow, CurrentTime);
    XFlush(mDisplay);
    XEvent event;
    if (!WaitFor(waitMs, SelectionNotify, mClipboard, event) || event.xselection.property == None) {
        return std::nullopt;
    }
    // Notices of the owner's writes before its answer are stale; without taking them out, the
    // INCR loop below would read a piece that is not there yet.
    EventMatch stale{mWindow, PropertyNotify, mProperty};
    XEvent discarded;
    while (XCheckIfEvent(mDisplay, &discarded, Matches, reinterpret_cast<XPointer>(&stale))) {
    }
    const auto read = [&](Atom& type, std::string& data) {
        data.clear();
        Atom actualType = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* bytes = nullptr;
        if (XGetWindowProperty(mDisplay, mWindow, mProperty, 0, kMaxTextBytes / 4, True,
                               AnyPropertyType, &actualType, &format, &count, &after,
                               &bytes) != Success) {
            return false;
        }
        type = actualType;
        if (bytes != nullptr) {
            if (format == 8) {
                data.assign(reinterpret_cast<const char*>(bytes), count);
            }
            XFree(bytes);
        }
        return after == 0;
    };
    Atom type = None;
    std::string data;
    if (!read(type, data)) {
        return std::nullopt;
    }
    if (type != mIncr) {
        return type == target || (target == mUtf8String && type == mText) ? std::optional(data)
                                                                          : std::nullopt;
    }
    // INCR: the property was deleted by reading it, which asks the owner for the first piece;
    // an empty piece ends the text.
    std::string text;
    for (;;) {
        if (!WaitFor(waitMs, PropertyNotify, mProperty, event) || !read(type, data)) {
            return std::nullopt;
        }
        if (data.empty()) {
            return text;
        }
        text += data;
        if (text.size() > kMaxTextBytes) {
            return std::nullopt;
        }
    }
}

} // namespace svp
