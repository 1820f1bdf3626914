#include "X11QueuedEvents.h"

// For the output buffer's bounds: Xlib has no call that tells whether requests wait in it.
#include <X11/Xlibint.h>

namespace svp {

int QueuedEventsAfterFlush(Display* display)
{
    if (display->bufptr != display->buffer) {
        // Also moves what the server has sent meanwhile into the queue.
        XFlush(display);
    }
    // Events that came with replies (XSync, property reads) are in the queue already.
    return XEventsQueued(display, QueuedAlready);
}

} // namespace svp
