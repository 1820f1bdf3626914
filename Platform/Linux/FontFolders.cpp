#include "FontFolders.h"

#include "FileSystem.h"

#include <fontconfig/fontconfig.h>

#include <memory>
#include <set>

namespace svp {
namespace {

struct ConfigDestroyer
{
    void operator()(FcConfig* config) const { FcConfigDestroy(config); }
};

struct StrListDestroyer
{
    void operator()(FcStrList* list) const { FcStrListDone(list); }
};

void AddTree(const std::string& folder, std::set<std::string>& seen,
             std::vector<std::string>& folders)
{
    std::string canonical;
    if (!GetCanonicalPath(folder, canonical) || !seen.insert(canonical).second) {
        return;
    }
    folders.push_back(folder);
    std::vector<DirectoryEntry> entries;
    // A folder that cannot be read to its end still offers what was read before the error.
    (void)ListFolder(folder, "*", entries);
    for (const DirectoryEntry& entry : entries) {
        if (entry.isDirectory) {
            AddTree(folder + "/" + entry.name, seen, folders);
        }
    }
}

} // namespace

std::vector<std::string> ExpandFolderTrees(const std::vector<std::string>& roots)
{
    std::set<std::string> seen;
    std::vector<std::string> folders;
    for (const std::string& root : roots) {
        if (GetPathKind(root) == PathKind::kDirectory) {
            AddTree(root, seen, folders);
        }
    }
    return folders;
}

std::vector<std::string> GetFontFolders()
{
    // Only the configuration is loaded: the folder list is all that is wanted, and building
    // fontconfig's own font set would scan every file a second time.
    const std::unique_ptr<FcConfig, ConfigDestroyer> config(FcInitLoadConfig());
    if (config == nullptr) {
        return {};
    }
    const std::unique_ptr<FcStrList, StrListDestroyer> list(FcConfigGetFontDirs(config.get()));
    if (list == nullptr) {
        return {};
    }
    std::vector<std::string> roots;
    while (const FcChar8* folder = FcStrListNext(list.get())) {
        roots.emplace_back(reinterpret_cast<const char*>(folder));
    }
    return ExpandFolderTrees(roots);
}

} // namespace svp
