#include "core/naming/pickedpath.h"

#include <algorithm>

namespace qubrix {

void PickedPath::browseStarted() {
    pickedName.clear();
}

bool PickedPath::setPickedPath(std::string_view fullPath, const DiscPlace& disc,
                               bool includeParent) {
    if (!disc.holds(fullPath))
        return false;
    // The path root plays the drive: "E:\" of the chosen path is the path root and "/".
    std::string path(fullPath.substr(disc.pathRoot().size() + 1));
    std::replace(path.begin(), path.end(), '/', '\\');

    const auto firstBackslash = path.find('\\');
    if (firstBackslash != std::string::npos)
        topFolder = path.substr(0, firstBackslash);
    // A file in the disc's folder has that folder first in its path whenever one is left out.
    topFolderLeftOut = !includeParent && !disc.leftOutFolder().empty();
    if (topFolderLeftOut)
        path.erase(0, firstBackslash + 1);
    pickedPath = std::move(path);
    splitPickedPath();
    return true;
}

void PickedPath::describeShownPath(std::string_view shownPath, const DiscPlace& disc,
                                   bool includeParent) {
    const bool describesIt =
        !pickedName.empty() && pickedPath == shownPath && pickedFolder + pickedName == pickedPath;
    if (describesIt)
        return;
    pickedPath = shownPath;
    // Without the parent folder the shown path lies in the disc's folder; otherwise it starts
    // at the path root.
    topFolderLeftOut = !includeParent && !disc.leftOutFolder().empty();
    const auto firstBackslash = pickedPath.find('\\');
    if (topFolderLeftOut)
        topFolder = disc.leftOutFolder();
    else if (firstBackslash != std::string::npos)
        topFolder = pickedPath.substr(0, firstBackslash);
    splitPickedPath();
}

std::string namedFileOf(std::string_view storedPath, LaunchKind kind) {
    std::string file(storedPath);
    if (kind != LaunchKind::ProgramWithArguments ||
        classifyCommandLine(file, true, "") == LaunchKind::ProgramWithArguments)
        return file;
    return file.substr(0, file.find(' ', file.find_first_not_of(' ')));
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
