#pragma once

#include "core/catalogue/catalogue.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qubrix {

// A folder of the medium that got a new name on disk. Stored paths are compared with it folder
// by folder and case-blindly, in two forms: from the medium root (a path stored with its parent
// folder), and, for a folder below a first folder, without that first folder (a path stored
// while the parent folder was left out).
struct FolderRename {
    std::vector<std::string> folder; // the old path from the medium root, outermost first
    std::string newName;
    // The second form is left out when it could as well name a folder in the medium root.
    bool matchWithoutFirstFolder = true;
};

// The rename of folder on the medium mounted at mediumRoot ("" for "/"). The form without the
// first folder is used only when the medium root holds no folder of that name, which a path
// stored with its parent folder would name.
FolderRename folderRenameOnMedium(const std::string& mediumRoot, std::vector<std::string> folder,
                                  std::string newName);

// The stored path with the folder's new name when it runs through the folder (or names it);
// std::nullopt otherwise. Separators (backslash or slash) and the rest of the path, arguments
// included, stay as they were.
std::optional<std::string> storedPathAfterRename(std::string_view storedPath,
                                                 const FolderRename& rename);

// Gives every listing line of the catalogue, and the shown category's rows, the folder's new
// name where their path runs through it. The names are UTF-8; the catalogue turns to UTF-8
// only when a listing changes and its encoding cannot carry the new name. Returns the number of
// catalogue lines changed.
std::size_t renameFolderInListings(Catalogue& catalogue, const FolderRename& rename);

} // namespace qubrix
