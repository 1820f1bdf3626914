// Path functions over wide strings: existence checks, folder creation, listing a folder, file
// name sanitising and the parent and long forms of a path. Paths are handed to the system as
// UTF-8; where a path is split into its parts, both '\' and '/' separate them.
#pragma once

#include "Utilities/Storage/IArray.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>
#include <string>

namespace SV {

// The UTF-8 text the system is given for a path.
std::string ToPlatformPath(const WideString& path);

// Folder, separator, name. An empty folder gives the name alone (relative to the current
// folder) rather than a name at the root of the file system; a folder that ends with a
// separator gets no second one.
WideString JoinPath(const WideString& folder, const WideString& name);

// True when the path exists and is not a directory. A path that starts with "::" names a
// built-in resource, never a file.
bool FileExists(const WideString& path);

// 1 when the path is an existing directory, E_FAIL when it exists but is not one; otherwise
// creates the folder tree and answers 0 when the folder then exists, else E_FAIL.
int32_t EnsureFolder(const WideString& path);

// Creates the folder before every separator after the first character (failures, an existing
// folder among them, are ignored) and, when the last part is not a file, the whole path too.
// Answers whether the folder the path ends in exists: the whole path, or with a file as the
// last part the folder before the last separator (true when there is no separator).
bool CreateDirectoryTree(const WideString& path, bool lastPartIsFile);

// Empties `files`, then adds the full path of every entry of the folder that matches the
// wildcard pattern and is not a directory. Answers the number of paths, E_NOTIMPL when the
// folder is not an existing directory, E_FAIL when the listing stopped on an error (the paths
// found before it stay in the array).
int32_t ListFilesInFolder(const WideString& folder, const WideString& pattern,
                          IArray<WideString>& files);

// A copy in which every character that cannot stand in a file name, or needs quoting in a
// shell, becomes '_': \ / : * ? " < > | & ; , ^ ( )
WideString SanitizeFileName(const WideString& name);

// The path without its last part: "a/b/c" gives "a/b", "/a" gives "/", "a" gives "".
WideString GetParentFolder(const WideString& path);

// The long, canonical form of an existing path (absolute, links resolved); the path as given
// when it does not exist or cannot be resolved.
WideString GetLongPath(const WideString& path);

} // namespace SV
