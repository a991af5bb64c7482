#pragma once

#include "core/catalogue/discplace.h"

#include <optional>
#include <string>
#include <string_view>

namespace qubrix {

// A stored path's text with every "\" turned to "/".
std::string slashes(std::string text);

// The file that a stored path names on the medium mounted at mountPoint ("" for the root file
// system): the mount point, "/", and the stored path with "\" turned to "/", resolved by its
// text alone: empty names and "." are dropped and ".." takes off the name before it.
// std::nullopt when a ".." would climb above the mount point: such a path leaves the medium,
// and no command may use it. Links on the medium are not followed.
std::optional<std::string> resolveOnMedium(std::string_view mountPoint,
                                           std::string_view storedPath);

// The folder a stored path is read from: the disc's folder when the file the path names (a
// program's arguments cut off) lies there, letter case ignored, as on the finished disc; else
// the path root, then the top of the medium, where catalogues kept below the top of a medium
// wrote their paths from; the disc's folder when none of them holds it.
std::string storedPathRoot(const DiscPlace& disc, std::string_view storedPath);

} // namespace qubrix
