#include "naming/pickedpath.h"

#include <algorithm>

namespace qubrix {

void PickedPath::browseStarted() {
    pickedName.clear();
}

bool PickedPath::setPickedPath(std::string_view fullPath, std::string_view mountPoint,
                               bool includeParent) {
    // The mount point plays the drive: "E:\" of the chosen path is the mount point and "/".
    if (fullPath.size() <= mountPoint.size() + 1 ||
        fullPath.substr(0, mountPoint.size()) != mountPoint || fullPath[mountPoint.size()] != '/')
        return false;
    std::string path(fullPath.substr(mountPoint.size() + 1));
    std::replace(path.begin(), path.end(), '/', '\\');

    const auto firstBackslash = path.find('\\');
    if (firstBackslash != std::string::npos) {
        topFolder = path.substr(0, firstBackslash);
        if (!includeParent)
            path.erase(0, firstBackslash + 1);
    }
    topFolderLeftOut = !includeParent && firstBackslash != std::string::npos;
    pickedPath = std::move(path);
    splitPickedPath();
    return true;
}

void PickedPath::describeShownPath(std::string_view shownPath, bool includeParent) {
    const bool describesIt =
        !pickedName.empty() && pickedPath == shownPath && pickedFolder + pickedName == pickedPath;
    if (describesIt)
        return;
    pickedPath = shownPath;
    // With the parent folder included the shown path starts at the medium's root; without it
    // the path lies below the first folder of the last pick, which stays as it is.
    const auto firstBackslash = pickedPath.find('\\');
    if (includeParent && firstBackslash != std::string::npos)
        topFolder = pickedPath.substr(0, firstBackslash);
    topFolderLeftOut = !includeParent && !topFolder.empty();
    splitPickedPath();
}

void PickedPath::splitPickedPath() {
    const auto lastBackslash = pickedPath.rfind('\\');
    if (lastBackslash == std::string::npos) {
        pickedFolder.clear();
        pickedName = pickedPath;
        return;
    }
    pickedFolder = pickedPath.substr(0, lastBackslash + 1);
    pickedName = pickedPath.substr(lastBackslash + 1);
}

} // namespace qubrix
