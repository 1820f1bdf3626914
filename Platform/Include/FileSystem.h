// Files and folders on UTF-8 paths, in the shape of the C runtime's descriptor calls: a file is
// an integer descriptor read and written at the current position, and failures answer -1 (or
// false) rather than throwing. Besides those: folder queries and creation, listings filtered by
// a wildcard pattern, and the canonical form of a path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace svp {

// Bits of the open mode. Without kOpenReadWrite a file is opened for reading only;
// kOpenExclusive counts only together with kOpenCreate.
enum FileOpenMode : uint32_t
{
    kOpenReadOnly = 0,
    kOpenReadWrite = 1,
    kOpenCreate = 2,
    kOpenExclusive = 4,
};

// The seek origins, with the values of the C runtime's SEEK_SET, SEEK_CUR and SEEK_END.
enum SeekOrigin : int32_t
{
    kSeekStart = 0,
    kSeekCurrent = 1,
    kSeekEnd = 2,
};

// The descriptor of the opened file, or -1. A directory never opens as a file. A created file
// gets read and write permission for everybody the umask lets through. Other openers of the
// same file are never locked out.
int32_t OpenFile(const std::string& path, uint32_t mode);
// Reads until `count` bytes are in or the file ends; the number of bytes read (0 at the end of
// the file), or -1 on an error.
int64_t ReadFile(int32_t descriptor, void* buffer, size_t count);
// Writes all `count` bytes; the number written, or -1 on an error.
int64_t WriteFile(int32_t descriptor, const void* buffer, size_t count);
// The new position from the start of the file, or -1 (an unknown origin included).
int64_t SeekFile(int32_t descriptor, int64_t offset, int32_t origin);
bool CloseFile(int32_t descriptor);
// The size in bytes of the open file, or -1.
int64_t GetFileSize(int32_t descriptor);
bool DeleteFile(const std::string& path);

enum class PathKind
{
    kMissing,
    kFile, // anything that exists and is not a directory
    kDirectory,
};

// Symbolic links are followed.
PathKind GetPathKind(const std::string& path);
// Creates one folder (its parent must exist); false when it could not, an existing one included.
bool CreateFolder(const std::string& path);

struct DirectoryEntry
{
    std::string name;
    bool isDirectory = false; // a symbolic link counts as what it points to
};

// The entries of `folder` whose names match `pattern` ('*', '?' and '[...]' wildcards, letters
// matched in either case, as the Windows search the callers were written for does), sorted by
// name, without "." and "..". False when the folder could not be read to its end; the entries
// read before the error stay in `entries`.
bool ListFolder(const std::string& folder, const std::string& pattern,
                std::vector<DirectoryEntry>& entries);

// The absolute form of an existing path with every symbolic link, "." and ".." resolved; false
// (and `canonical` untouched) when the path does not exist or cannot be resolved.
bool GetCanonicalPath(const std::string& path, std::string& canonical);

} // namespace svp
