#include "WholeFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <random>

namespace svp {
namespace {

constexpr const char* kReplacementSuffix = ".saving";
constexpr size_t kRandomDigits = 8;
// Names of new files tried before a replacement gives up: each is taken only by a file of
// that very name, so a second attempt practically always succeeds.
constexpr int32_t kNamesTried = 16;

// Closes the descriptor when it goes.
class Descriptor
{
public:
    explicit Descriptor(int descriptor) : mDescriptor(descriptor) {}
    ~Descriptor()
    {
        if (mDescriptor >= 0) {
            close(mDescriptor);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int Get() const { return mDescriptor; }
    bool IsOpen() const { return mDescriptor >= 0; }
    void Reset(int descriptor)
    {
        Close();
        mDescriptor = descriptor;
    }
    // Closes it now: false when the close reported an error.
    bool Close()
    {
        const int descriptor = mDescriptor;
        mDescriptor = -1;
        return descriptor < 0 || close(descriptor) == 0;
    }

private:
    int mDescriptor;
};

int OpenRetrying(const char* path, int flags, mode_t mode = 0)
{
    int descriptor;
    do {
        descriptor = open(path, flags, mode);
    } while (descriptor < 0 && errno == EINTR);
    return descriptor;
}

bool WriteAll(int descriptor, const void* bytes, size_t count)
{
    const char* source = static_cast<const char*>(bytes);
    size_t total = 0;
    while (total < count) {
        const ssize_t written = write(descriptor, source + total, count - total);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        total += static_cast<size_t>(written);
    }
    return true;
}

void SplitPath(const std::string& path, std::string& folder, std::string& name)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        folder = ".";
        name = path;
    } else {
        folder = slash == 0 ? "/" : path.substr(0, slash);
        name = path.substr(slash + 1);
    }
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string RandomDigits()
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::random_device source;
    std::string digits;
    for (size_t index = 0; index < kRandomDigits; ++index) {
        digits += kHex[source() % 16];
    }
    return digits;
}

bool IsReplacementFileName(const std::string& name, const std::string& targetName)
{
    const std::string prefix = "." + targetName + ".";
    const std::string suffix = kReplacementSuffix;
    if (name.size() != prefix.size() + kRandomDigits + suffix.size() ||
        name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return false;
    }
    const std::string digits = name.substr(prefix.size(), kRandomDigits);
    return std::all_of(digits.begin(), digits.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

// Removes the new files that replacements of the target left when they were killed: files of
// the replacement's name pattern, regular, of this user, and locked by no replacement at work.
void RemoveLeftOvers(const std::string& folder, const std::string& targetName)
{
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), &closedir);
    if (!dir) {
        return;
    }
    for (;;) {
        const dirent* entry = readdir(dir.get());
        if (entry == nullptr) {
            return;
        }
        const std::string name = entry->d_name;
        if (!IsReplacementFileName(name, targetName)) {
            continue;
        }
        const Descriptor file(openat(dirfd(dir.get()), name.c_str(),
                                     O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
        struct stat status
        {};
        if (!file.IsOpen() || fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode) ||
            status.st_uid != geteuid() || flock(file.Get(), LOCK_EX | LOCK_NB) != 0) {
            continue;
        }
        unlinkat(dirfd(dir.get()), name.c_str(), 0);
    }
}

// The file a path names, through any symbolic links; false for a link to nothing.
bool ResolveTarget(const std::string& path, std::string& target)
{
    struct stat status
    {};
    if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
        target = path;
        return true;
    }
    const std::unique_ptr<char, decltype(&std::free)> resolved(realpath(path.c_str(), nullptr),
                                                               &std::free);
    if (!resolved) {
        return false;
    }
    target = resolved.get();
    return true;
}

} // namespace

WholeFileRead ReadWholeFile(const std::string& path, size_t maxSize, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    // Without O_NONBLOCK, opening a FIFO waits until somebody opens it for writing.
    const Descriptor file(OpenRetrying(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    struct stat status
    {};
    if (!file.IsOpen() || fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return WholeFileRead::kUnreadable;
    }
    if (status.st_size > 0 && static_cast<uint64_t>(status.st_size) > maxSize) {
        return WholeFileRead::kTooLarge;
    }
    uint8_t chunk[4096];
    for (;;) {
        const ssize_t read = ::read(file.Get(), chunk, sizeof chunk);
        if (read < 0) {
            if (errno == EINTR) {
                continue;
            }
            bytes.clear();
            return WholeFileRead::kUnreadable;
        }
        if (read == 0) {
            return WholeFileRead::kRead;
        }
        bytes.insert(bytes.end(), chunk, chunk + read);
        // The file may grow while it is read.
        if (bytes.size() > maxSize) {
            bytes.clear();
            return WholeFileRead::kTooLarge;
        }
    }
}

bool ReplaceWholeFile(const std::string& path, const void* bytes, size_t count)
{
    std::string target;
    if (path.empty() || !ResolveTarget(path, target)) {
        return false;
    }
    struct stat status
    {};
    const bool exists = stat(target.c_str(), &status) == 0;
    if (!exists && errno != ENOENT) {
        return false;
    }
    if (exists) {
        // A file nobody may write is refused even where the process could write it anyway, as
        // root can: its owner made it read-only.
        if (!S_ISREG(status.st_mode) || (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
            access(target.c_str(), W_OK) != 0) {
            return false;
        }
    }
    std::string folder;
    std::string name;
    SplitPath(target, folder, name);
    if (name.empty()) {
        return false;
    }
    RemoveLeftOvers(folder, name);

    std::string temporary;
    Descriptor file(-1);
    for (int32_t attempt = 0; attempt < kNamesTried && !file.IsOpen(); ++attempt) {
        temporary = JoinPath(folder, "." + name + "." + RandomDigits() + kReplacementSuffix);
        file.Reset(OpenRetrying(temporary.c_str(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (!file.IsOpen() && errno != EEXIST) {
            return false; // the folder takes no new file
        }
    }
    if (!file.IsOpen()) {
        return false;
    }
    // Locked until it has been renamed, so that no other save takes it for a left-over.
    const bool written = flock(file.Get(), LOCK_EX) == 0 &&
                         (!exists || fchmod(file.Get(), status.st_mode & 07777) == 0) &&
                         WriteAll(file.Get(), bytes, count) && fsync(file.Get()) == 0 &&
                         rename(temporary.c_str(), target.c_str()) == 0;
    if (!written) {
        unlink(temporary.c_str());
        return false;
    }
    file.Close();
    // The rename itself reaches the disk with the folder.
    const Descriptor directory(OpenRetrying(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.IsOpen()) {
        fsync(directory.Get());
    }
    return true;
}

} // namespace svp
