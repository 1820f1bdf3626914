#include "Utilities/Storage/Paths.h"

#include "FileSystem.h"
#include "ResultCodes.h"

#include <vector>

namespace SV {
namespace {

bool IsSeparator(char16_t unit)
{
    return unit == u'\\' || unit == u'/';
}

bool IsDirectory(const std::string& path)
{
    return svp::GetPathKind(path) == svp::PathKind::kDirectory;
}

} // namespace

std::string ToPlatformPath(const WideString& path)
{
    const NarrowString utf8 = path.ToNarrow();
    return std::string(utf8.GetText(), static_cast<size_t>(utf8.GetLength()));
}

WideString JoinPath(const WideString& folder, const WideString& name)
{
    if (folder.IsEmpty()) {
        return name;
    }
    if (IsSeparator(folder.GetText()[folder.GetLength() - 1])) {
        return folder + name;
    }
    return folder + WideString(u"/") + name;
}

bool FileExists(const WideString& path)
{
    const char16_t* text = path.GetText();
    if (text[0] == u':' && text[1] == u':') {
        return false;
    }
    return svp::GetPathKind(ToPlatformPath(path)) == svp::PathKind::kFile;
}

int32_t EnsureFolder(const WideString& path)
{
    switch (svp::GetPathKind(ToPlatformPath(path))) {
    case svp::PathKind::kDirectory:
        return S_FALSE;
    case svp::PathKind::kFile:
        return E_FAIL;
    case svp::PathKind::kMissing:
        break;
    }
    return CreateDirectoryTree(path, false) ? S_OK : E_FAIL;
}

bool CreateDirectoryTree(const WideString& path, bool lastPartIsFile)
{
    // '\' separates parts here too; Linux would take it as a character of a folder's name.
    std::string utf8 = ToPlatformPath(path);
    for (char& c : utf8) {
        if (c == '\\') {
            c = '/';
        }
    }
    size_t lastSeparator = std::string::npos;
    for (size_t i = 1; i < utf8.size(); ++i) {
        if (utf8[i] == '/') {
            svp::CreateFolder(utf8.substr(0, i));
            lastSeparator = i;
        }
    }
    if (!lastPartIsFile) {
        svp::CreateFolder(utf8);
        return IsDirectory(utf8);
    }
    if (lastSeparator == std::string::npos) {
        // The file lies in the current folder or at the root: both exist.
        return true;
    }
    return IsDirectory(utf8.substr(0, lastSeparator));
}

int32_t ListFilesInFolder(const WideString& folder, const WideString& pattern,
                          IArray<WideString>& files)
{
    files.RemoveAll();
    const std::string folderPath = ToPlatformPath(folder);
    if (!IsDirectory(folderPath)) {
        return E_NOTIMPL;
    }
    std::vector<svp::DirectoryEntry> entries;
    const bool complete = svp::ListFolder(folderPath, ToPlatformPath(pattern), entries);
    for (const svp::DirectoryEntry& entry : entries) {
        if (!entry.isDirectory) {
            files.Add(JoinPath(folder, WideString(entry.name.c_str())));
        }
    }
    return complete ? files.GetCount() : E_FAIL;
}

WideString SanitizeFileName(const WideString& name)
{
    WideString sanitized(name);
    sanitized.ReplaceChars(u"\\/:*?\"<>|&;,^()", u'_');
    return sanitized;
}

WideString GetParentFolder(const WideString& path)
{
    const char16_t* text = path.GetText();
    int32_t lastSeparator = -1;
    for (int32_t i = 0; i < path.GetLength(); ++i) {
        if (IsSeparator(text[i])) {
            lastSeparator = i;
        }
    }
    if (lastSeparator < 0) {
        return WideString();
    }
    // The root keeps its separator: the parent of "/a" is "/", and "/" stays "/".
    return path.Left(lastSeparator == 0 ? 1 : lastSeparator);
}

WideString GetLongPath(const WideString& path)
{
    std::string canonical;
    if (path.IsEmpty() || !svp::GetCanonicalPath(ToPlatformPath(path), canonical)) {
        return path;
    }
    return WideString(canonical.c_str());
}

} // namespace SV
