// The events Xlib holds in memory, counted without reading the connection.
#pragma once

#include <X11/Xlib.h>

namespace svp {

// Writes the requests Xlib still buffers, if any, and answers the number of events already in
// its queue. XPending would read the connection on every call, twice even when nothing
// arrived; the event loop asks before each wait, and poll() on the connection sees whatever the
// server sends later.
int QueuedEventsAfterFlush(Display* display);

} // namespace svp
