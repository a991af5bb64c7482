#include "core/catalogue/stagingnames.h"

namespace qubrix {

namespace {

bool isUserSuffix(std::string_view suffix) {
    return suffix.size() > 1 && suffix.front() == '-' &&
           suffix.find_first_not_of("0123456789", 1) == std::string_view::npos;
}

std::string hidden(std::string_view fileName, std::string_view end, std::string_view suffix) {
    std::string name = ".";
    name.append(fileName).append(end).append(suffix);
    return name;
}

// A name without the suffix of the user whose save wrote it (".qubrix.dat.qubrix-new-1000").
std::string_view withoutUserSuffix(std::string_view name) {
    const std::size_t dash = name.find_last_of('-');
    if (dash == std::string_view::npos || !isUserSuffix(name.substr(dash)))
        return name;
    return name.substr(0, dash);
}

} // namespace

std::string userStagingSuffix(unsigned long long userId) {
    std::string suffix = "-";
    suffix += std::to_string(userId);
    return suffix;
}

std::string stagedNameOf(std::string_view fileName, std::string_view suffix) {
    return hidden(fileName, kStagedEnd, suffix);
}

std::string partialNameOf(std::string_view fileName, std::string_view suffix) {
    return hidden(fileName, kPartialEnd, suffix);
}

std::optional<std::string> stagingSuffixOf(std::string_view name, std::string_view fileName) {
    for (const std::string_view end : {kStagedEnd, kPartialEnd}) {
        const std::string start = hidden(fileName, end, "");
        if (!name.starts_with(start))
            continue;
        const std::string_view suffix = name.substr(start.size());
        if (suffix.empty() || isUserSuffix(suffix))
            return std::string(suffix);
    }
    return std::nullopt;
}

bool isStagingName(std::string_view name) {
    const std::string_view unsuffixed = withoutUserSuffix(name);
    return name.starts_with('.') &&
           (unsuffixed.ends_with(kStagedEnd) || unsuffixed.ends_with(kPartialEnd));
}

} // namespace qubrix
