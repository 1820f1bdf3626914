#include "SpecialFolders.h"

#include "FileSystem.h"

#include <cstdlib>
#include <fstream>

namespace svp {
namespace {

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

std::string WithoutTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

// XDG paths must be absolute; a relative one is ignored as the rules say.
bool IsAbsolute(const std::string& path)
{
    return !path.empty() && path[0] == '/';
}

std::string ConfigHome()
{
    const std::string configured = Environment("XDG_CONFIG_HOME");
    if (IsAbsolute(configured)) {
        return WithoutTrailingSlash(configured);
    }
    const std::string home = Environment("HOME");
    return IsAbsolute(home) ? WithoutTrailingSlash(home) + "/.config" : std::string();
}

// The documents line of user-dirs.dirs: XDG_DOCUMENTS_DIR="$HOME/Documents".
std::string DocumentsFromUserDirs(const std::string& configHome, const std::string& home)
{
    if (configHome.empty()) {
        return {};
    }
    std::ifstream file(configHome + "/user-dirs.dirs");
    std::string line;
    const std::string key = "XDG_DOCUMENTS_DIR=";
    while (std::getline(file, line)) {
        if (line.compare(0, key.size(), key) != 0) {
            continue;
        }
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        if (value.compare(0, 5, "$HOME") == 0) {
            value = home + value.substr(5);
        }
        return IsAbsolute(value) ? WithoutTrailingSlash(value) : std::string();
    }
    return {};
}

// Makes the folder and its missing parents.
bool EnsureFolderTree(const std::string& path)
{
    if (GetPathKind(path) == PathKind::kDirectory) {
        return true;
    }
    for (size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        CreateFolder(path.substr(0, slash));
    }
    CreateFolder(path);
    return GetPathKind(path) == PathKind::kDirectory;
}

} // namespace

std::string GetSpecialFolder(SpecialFolder folder, bool create)
{
    std::string path;
    switch (folder) {
    case SpecialFolder::kLocalApplicationData:
        path = ConfigHome();
        break;
    case SpecialFolder::kCommonApplicationData: {
        const std::string dirs = Environment("XDG_CONFIG_DIRS");
        const std::string first = dirs.substr(0, dirs.find(':'));
        return IsAbsolute(first) ? WithoutTrailingSlash(first) : std::string("/etc/xdg");
    }
    case SpecialFolder::kDocuments: {
        const std::string home = WithoutTrailingSlash(Environment("HOME"));
        path = Environment("XDG_DOCUMENTS_DIR");
        path = IsAbsolute(path) ? WithoutTrailingSlash(path)
                                : DocumentsFromUserDirs(ConfigHome(), home);
        if (path.empty() || GetPathKind(path) != PathKind::kDirectory) {
            path = IsAbsolute(home) ? home : std::string();
        }
        break;
    }
    }
    if (path.empty() || (create && !EnsureFolderTree(path))) {
        return {};
    }
    return path;
}

} // namespace svp
