// The folders that hold the system's font files: the ones fontconfig is configured with, each
// followed by every folder below it.
#pragma once

#include <string>
#include <vector>

namespace svp {

// The configured font folders that exist, expanded by ExpandFolderTrees; empty when fontconfig
// cannot load its configuration or names no folder.
std::vector<std::string> GetFontFolders();

// Each root that is an existing folder, followed by all folders below it (depth first, sorted by
// name at each level). A folder reached twice, through a link or as a root that lies inside an
// earlier one, is listed once, where it was first reached, so a link cycle cannot recurse.
std::vector<std::string> ExpandFolderTrees(const std::vector<std::string>& roots);

} // namespace svp
