#include "ExecutablePath.h"

#include <unistd.h>

#include <vector>

namespace svp {

std::string GetExecutablePath()
{
    // The link's length is unknown beforehand: grow the buffer until the answer fits with room
    // to spare, since readlink cuts a longer path without saying so.
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) {
            return {};
        }
        if (static_cast<size_t>(length) < buffer.size()) {
            return std::string(buffer.data(), static_cast<size_t>(length));
        }
        if (buffer.size() >= 1u << 20) {
            return {};
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string GetExecutableFolder()
{
    const std::string path = GetExecutablePath();
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return {};
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

} // namespace svp
