#include "FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>

namespace svp {
namespace {

// One read or write call moves at most this much; the kernel caps a single transfer anyway.
constexpr size_t kMaxTransfer = 0x40000000;

struct DirCloser
{
    void operator()(DIR* dir) const { closedir(dir); }
};

bool IsDirectoryEntry(DIR* dir, const dirent& entry)
{
    if (entry.d_type == DT_DIR) {
        return true;
    }
    if (entry.d_type != DT_UNKNOWN && entry.d_type != DT_LNK) {
        return false;
    }
    // File systems that leave the type open, and links, are asked through the file's status.
    struct stat status
    {};
    return fstatat(dirfd(dir), entry.d_name, &status, 0) == 0 && S_ISDIR(status.st_mode);
}

} // namespace

int32_t OpenFile(const std::string& path, uint32_t mode)
{
    int flags = O_CLOEXEC | ((mode & kOpenReadWrite) != 0 ? O_RDWR : O_RDONLY);
    if ((mode & kOpenCreate) != 0) {
        flags |= O_CREAT;
        if ((mode & kOpenExclusive) != 0) {
            flags |= O_EXCL;
        }
    }
    int descriptor;
    do {
        descriptor = open(path.c_str(), flags, 0666);
    } while (descriptor < 0 && errno == EINTR);
    if (descriptor < 0) {
        return -1;
    }
    // Linux opens a directory for reading; the callers expect that to fail as it does elsewhere.
    struct stat status
    {};
    if (fstat(descriptor, &status) != 0 || S_ISDIR(status.st_mode)) {
        close(descriptor);
        errno = EISDIR;
        return -1;
    }
    return descriptor;
}

int64_t ReadFile(int32_t descriptor, void* buffer, size_t count)
{
    char* target = static_cast<char*>(buffer);
    size_t total = 0;
    while (total < count) {
        const ssize_t read =
            ::read(descriptor, target + total, std::min(count - total, kMaxTransfer));
        if (read < 0) {
            if (errno == EINTR) {
                continue;
            }
            return -1;
        }
        if (read == 0) {
            break;
        }
        total += static_cast<size_t>(read);
    }
    return static_cast<int64_t>(total);
}

int64_t WriteFile(int32_t descriptor, const void* buffer, size_t count)
{
    const char* source = static_cast<const char*>(buffer);
    size_t total = 0;
    while (total < count) {
        const ssize_t written =
            ::write(descriptor, source + total, std::min(count - total, kMaxTransfer));
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return -1;
        }
        total += static_cast<size_t>(written);
    }
    return static_cast<int64_t>(total);
}

int64_t SeekFile(int32_t descriptor, int64_t offset, int32_t origin)
{
    int whence;
    switch (origin) {
    case kSeekStart:
        whence = SEEK_SET;
        break;
    case kSeekCurrent:
        whence = SEEK_CUR;
        break;
    case kSeekEnd:
        whence = SEEK_END;
        break;
    default:
        errno = EINVAL;
        return -1;
    }
    return static_cast<int64_t>(lseek(descriptor, static_cast<off_t>(offset), whence));
}

bool CloseFile(int32_t descriptor)
{
    // Linux releases the descriptor even when close is interrupted: it is never retried.
    return close(descriptor) == 0;
}

int64_t GetFileSize(int32_t descriptor)
{
    struct stat status
    {};
    if (fstat(descriptor, &status) != 0) {
        return -1;
    }
    return static_cast<int64_t>(status.st_size);
}

bool DeleteFile(const std::string& path)
{
    return unlink(path.c_str()) == 0;
}

PathKind GetPathKind(const std::string& path)
{
    struct stat status
    {};
    if (stat(path.c_str(), &status) != 0) {
        return PathKind::kMissing;
    }
    return S_ISDIR(status.st_mode) ? PathKind::kDirectory : PathKind::kFile;
}

bool CreateFolder(const std::string& path)
{
    return mkdir(path.c_str(), 0777) == 0;
}

bool ListFolder(const std::string& folder, const std::string& pattern,
                std::vector<DirectoryEntry>& entries)
{
    std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
    if (!dir) {
        return false;
    }
    const size_t first = entries.size();
    bool complete = true;
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(dir.get());
        if (entry == nullptr) {
            complete = errno == 0;
            break;
        }
        const std::string name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        if (fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD) != 0) {
            continue;
        }
        entries.push_back({name, IsDirectoryEntry(dir.get(), *entry)});
    }
    // The order of the directory itself is arbitrary on Linux; sorted, a listing is repeatable.
    std::sort(entries.begin() + static_cast<std::ptrdiff_t>(first), entries.end(),
              [](const DirectoryEntry& a, const DirectoryEntry& b) { return a.name < b.name; });
    return complete;
}

bool GetCanonicalPath(const std::string& path, std::string& canonical)
{
    std::unique_ptr<char, decltype(&std::free)> resolved(realpath(path.c_str(), nullptr),
                                                         &std::free);
    if (!resolved) {
        return false;
    }
    canonical = resolved.get();
    return true;
}

} // namespace svp
