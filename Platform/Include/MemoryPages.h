// Memory that is about to be written whole, such as a window's picture before its first frame:
// its pages are made present in one call, instead of one page fault each as drawing first meets
// them (a fault costs many times more in a virtual machine than on bare hardware).
#pragma once

#include <cstddef>

namespace svp {

// Makes the whole pages inside [data, data + bytes) present and writable; the contents stay as
// they are. Nothing happens where the system cannot do it.
void PrefaultForWriting(void* data, size_t bytes);

// Lets go of the whole pages inside [data, data + bytes) of read-only data that the system reads
// in again from its file when it is next read, such as the executable's own.
void ReleaseReadOnlyPages(const void* data, size_t bytes);

} // namespace svp
