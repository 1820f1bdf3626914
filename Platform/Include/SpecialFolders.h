// The folders the program keeps its data in, after the XDG base-directory rules: the user's
// configuration folder (its settings), the first system configuration folder, and the user's
// documents folder.
#pragma once

#include <string>

namespace svp {

enum class SpecialFolder
{
    // $XDG_CONFIG_HOME, else ~/.config.
    kLocalApplicationData,
    // The first entry of $XDG_CONFIG_DIRS, else /etc/xdg.
    kCommonApplicationData,
    // The XDG documents folder (XDG_DOCUMENTS_DIR, or its line in user-dirs.dirs), else $HOME.
    kDocuments,
};

// The folder's path without a trailing '/'; empty when it cannot be told (no home folder) or,
// with `create`, when it does not exist and cannot be made. The common folder belongs to the
// system and is never created.
std::string GetSpecialFolder(SpecialFolder folder, bool create);

} // namespace svp
