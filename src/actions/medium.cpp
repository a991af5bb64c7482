#include "actions/medium.h"

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

} // namespace qubrix
