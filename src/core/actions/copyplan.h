#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qubrix {

// Copy (file) copies each selected listing's file; Copy Folder copies the folder that holds
// the one selected listing.
enum class CopyMode { File, Folder };

// What one selected listing gives to copy, on disk.
struct CopySource {
    std::string path;
    // True for a folder pattern: the folder's contents arrive in the destination, not the
    // folder itself.
    bool contentsOnly = false;
};

struct CopyPlan {
    std::string mediumRoot;          // where the medium is mounted, "/" for the root file system
    std::vector<CopySource> sources; // in the order of the selected rows
    std::string destinationFolder;   // made when it does not exist yet
    std::string error;               // not empty: the copy is refused and nothing is copied
};

// The stored path up to and including its last backslash, then "*.*" (GAMES\CHESS\*.* for
// GAMES\CHESS\CHESS.EXE); "*.*", the whole medium, for a listing in its root. The path is
// taken whole, arguments and all.
std::string folderPattern(std::string_view storedPath);
// A listing in the root of the medium, once "." and ".." are resolved (A\..\README.TXT is
// one): its folder is the whole medium.
bool namesWholeMedium(std::string_view storedPath);
// The name of the listing's folder followed by a backslash (CHESS\ for GAMES\CHESS\CHESS.EXE),
// so that a folder copy arrives under its own name; empty for a listing in the root or in a
// folder directly below it.
std::string parentFolderName(std::string_view storedPath);

// The sources and the destination of a copy of the selected listings' stored paths (UTF-8,
// in row order) from the medium mounted at mediumRoot ("" for "/") into pickedFolder. File
// mode cuts a program's arguments off; folder mode copies the listing's folder's contents into
// pickedFolder, or into a subfolder of it named after that folder (parentFolderName). A stored
// path that climbs out of the medium with ".." refuses the whole copy. Touches no file.
CopyPlan planCopy(std::string_view mediumRoot, const std::vector<std::string>& storedPaths,
                  CopyMode mode, std::string_view pickedFolder);

// The plan as the Windows shell's copy takes it: every "/" a "\" (the one joined after a drive
// root such as D:\ not doubled), a folder's contents as the folder followed by "\*.*". Refused,
// with error set and no sources, when the destination lies inside a folder whose contents are
// copied, letter case ignored: the copy would copy itself without end.
struct ShellCopy {
    std::vector<std::string> sources;
    std::string destination;
    std::string error;
};
ShellCopy shellCopyOf(const CopyPlan& plan);

struct ResolvedSource {
    std::string path; // as found on disk; empty when nothing matched
    bool contentsOnly = false;
};

struct ResolvedPlan {
    std::vector<ResolvedSource> sources;
    std::vector<std::string> missing; // sources that match nothing on disk, as planned
    std::string error;                // not empty: the copy is refused and nothing is copied
};

// Finds each source on disk, by its exact name or else case-blindly, and refuses a copy whose
// destination lies inside what is copied (it would copy itself without end) or is the very
// folder whose contents are copied.
ResolvedPlan resolveCopyPlan(const CopyPlan& plan);

} // namespace qubrix
