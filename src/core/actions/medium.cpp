#include "core/actions/medium.h"

#include "core/actions/launch.h"
#include "core/text/ascii.h"

#include <algorithm>
#include <vector>

namespace qubrix {

std::string slashes(std::string text) {
    std::replace(text.begin(), text.end(), '\\', '/');
    return text;
}

std::optional<std::string> resolveOnMedium(std::string_view mountPoint,
                                           std::string_view storedPath) {
    std::vector<std::string_view> names;
    while (!storedPath.empty()) {
        const std::size_t end = std::min(storedPath.find_first_of("/\\"), storedPath.size());
        const std::string_view name = storedPath.substr(0, end);
        storedPath.remove_prefix(std::min(end + 1, storedPath.size()));
        if (name.empty() || name == ".")
            continue;
        if (name != "..") {
            names.push_back(name);
            continue;
        }
        if (names.empty())
            return std::nullopt;
        names.pop_back();
    }
    std::string path(mountPoint);
    for (const std::string_view name : names) {
        path += '/';
        path += name;
    }
    return path.empty() ? "/" : path;
}

std::string storedPathRoot(const DiscPlace& disc, std::string_view storedPath) {
    std::string file(trimmedText(storedPath));
    classifyCommandLine(file, true, "");
    for (const std::string& root : {disc.discFolder, disc.pathRoot(), disc.mediumTop}) {
        const std::optional<std::string> onMedium = resolveOnMedium(root, file);
        if (onMedium && resolvePathCaseBlind(*onMedium))
            return root;
    }
    return disc.discFolder;
}

} // namespace qubrix
