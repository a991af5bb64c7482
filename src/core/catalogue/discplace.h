#pragma once

#include <string>
#include <string_view>

namespace qubrix {

// Where a disc is staged. The disc's folder holds the catalogue, and its contents become the top
// of the finished disc, wherever it lies: a folder of the home folder, a folder on a stick, or
// the top of a stick or of a mounted disc. Stored paths are written from the folder above it,
// which they leave out unless the parent folder is included; where the disc's folder is the top
// of its medium there is nothing above to leave out, and they are written from that top. Paths
// are absolute, without a trailing "/"; "" stands for "/".
struct DiscPlace {
    std::string discFolder;
    // The mount point of the file system that holds discFolder.
    std::string mediumTop;

    // The folder stored paths are written from: the disc folder's parent, or mediumTop when the
    // disc's folder is the top of its medium.
    std::string pathRoot() const;
    // The disc folder's name, the first folder of every path written from pathRoot and the one
    // a stored path leaves out; empty when the disc's folder is the top of its medium.
    std::string leftOutFolder() const;
    // Whether path, absolute, lies below the disc's folder.
    bool holds(std::string_view path) const;
};

} // namespace qubrix
