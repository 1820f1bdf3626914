// A small document read and written whole, as the user opens and saves it: reading never waits
// for a writer that may never come, and replacing leaves the file with either all of its old
// bytes or all of the new ones, whatever happens meanwhile.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace svp {

enum class WholeFileRead
{
    kRead,       // `bytes` holds the whole file
    kUnreadable, // missing, refused, not a regular file (a folder, a FIFO, a device) or failed
    kTooLarge,   // a regular file of more than the bytes allowed
};

// Reads the regular file at the path (a symbolic link counts as what it points to) when it holds
// at most maxSize bytes. Anything else is refused at once, without waiting.
[[nodiscard]] WholeFileRead ReadWholeFile(const std::string& path, size_t maxSize,
                                          std::vector<uint8_t>& bytes);

// Replaces what the file at the path holds by the bytes. A symbolic link is written through: its
// target gets the bytes, and the link stays. The bytes go to a new file beside the target, reach
// the disk, and only then is that file renamed over the target, which keeps its permission bits.
// False, with the target untouched, when the target is no regular file, when it is read-only
// (no write permission bit at all, or none that the process has), when it is a link to nothing,
// or when any step fails.
// The new file is named "." + the target's name + "." + 8 lower-case hex digits + ".saving", and
// is locked while it is written. Such files of this process's user that nobody has locked are
// left over from saves that were killed half-way: each replacement removes those of its target.
// No other file is ever removed.
[[nodiscard]] bool ReplaceWholeFile(const std::string& path, const void* bytes, size_t count);

} // namespace svp
