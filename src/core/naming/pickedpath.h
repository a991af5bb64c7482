#pragma once

#include "core/actions/launch.h"
#include "core/catalogue/discplace.h"

#include <string>
#include <string_view>

namespace qubrix {

// The file the author picked, as its path is stored, in the parts the name check tests.
// Paths use "\" between folders, as they are stored.
struct PickedPath {
    std::string pickedPath;   // what the file-name edit shows
    std::string topFolder;    // the first folder of the path from the disc's path root
    std::string pickedFolder; // pickedPath up to and including its last "\"
    std::string pickedName;   // pickedPath after its last "\"
    // pickedPath leaves topFolder, the disc's folder, out. A disc at the top of its medium has
    // no folder above it to leave out, whatever topFolder still holds from an earlier pick.
    bool topFolderLeftOut = false;

    // A Browse begins: until a file is chosen there is no picked name.
    void browseStarted();
    // Takes the chosen file's full path, written from the disc's path root. Without
    // includeParent the disc's folder is left out of pickedPath. False, with nothing changed,
    // when the file does not lie in the disc's folder.
    bool setPickedPath(std::string_view fullPath, const DiscPlace& disc, bool includeParent);
    // Makes the state describe shownPath, the path the entry stores. A state that already
    // describes it (a Browse whose result was kept) stays as it is; otherwise it is built from
    // shownPath as if that path had been picked in the same disc.
    void describeShownPath(std::string_view shownPath, const DiscPlace& disc, bool includeParent);

private:
    void splitPickedPath();
};

// The part of a stored path that names a file, as Run finds it: a program with arguments (kind)
// ends before the blank after its ".EXE", ".COM" or ".BAT", else, as a program of the system's
// own, before its first blank. The arguments are no names on the medium.
std::string namedFileOf(std::string_view storedPath, LaunchKind kind);

} // namespace qubrix
