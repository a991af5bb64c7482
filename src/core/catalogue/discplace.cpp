#include "core/catalogue/discplace.h"

namespace qubrix {

std::string DiscPlace::pathRoot() const {
    if (leftOutFolder().empty())
        return mediumTop;
    return discFolder.substr(0, discFolder.rfind('/'));
}

std::string DiscPlace::leftOutFolder() const {
    if (discFolder == mediumTop)
        return {};
    return discFolder.substr(discFolder.rfind('/') + 1);
}

bool DiscPlace::holds(std::string_view path) const {
    return path.size() > discFolder.size() + 1 && path.starts_with(discFolder) &&
           path[discFolder.size()] == '/';
}

} // namespace qubrix
