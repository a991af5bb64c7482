#pragma once

#include <string>
#include <string_view>

namespace qubrix {

// The file the author picked, relative to the medium, in the parts the name check tests.
// Paths use "\" between folders, as they are stored.
struct PickedPath {
    std::string pickedPath;   // what the file-name edit shows
    std::string topFolder;    // the first folder of the path below the medium's root
    std::string pickedFolder; // pickedPath up to and including its last "\"
    std::string pickedName;   // pickedPath after its last "\"
    // pickedPath leaves topFolder out. A file picked in the medium's root has no first folder to
    // leave out, whatever topFolder still holds from an earlier pick.
    bool topFolderLeftOut = false;

    // A Browse begins: until a file is chosen there is no picked name.
    void browseStarted();
    // Takes the chosen file's full path and the medium's mount point ("" for "/"). Without
    // includeParent the first folder is left out of pickedPath. False, with nothing changed,
    // when the file does not lie below the mount point.
    bool setPickedPath(std::string_view fullPath, std::string_view mountPoint, bool includeParent);
    // Makes the state describe shownPath, the path the entry stores. A state that already
    // describes it (a Browse whose result was kept) stays as it is; otherwise it is built from
    // shownPath as if that path had been picked below the same first folder.
    void describeShownPath(std::string_view shownPath, bool includeParent);

private:
    void splitPickedPath();
};

} // namespace qubrix
