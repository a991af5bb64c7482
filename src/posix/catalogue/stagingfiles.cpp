#include "posix/catalogue/stagingfiles.h"

#include "core/catalogue/stagingnames.h"
#include "posix/catalogue/fileio.h"

#include <cerrno>

#include <algorithm>
#include <optional>

#include <dirent.h>
#include <unistd.h>

namespace qubrix::posixdata {

std::string ownStagingSuffix() {
    return userStagingSuffix(::geteuid());
}

Target targetOf(const std::string& path, const std::string& suffix) {
    Target target;
    target.path = followLinks(path);
    const std::string folder = folderOf(target.path) + '/';
    const std::string name = nameOf(target.path);
    target.staged = folder + stagedNameOf(name, suffix);
    target.partial = folder + partialNameOf(name, suffix);
    target.exists = ::stat(target.path.c_str(), &target.info) == 0;
    if (!target.exists && errno != ENOENT)
        target.statError = errno;
    return target;
}

bool isCommitted(const std::string& stagedCatalogue) {
    struct stat info {};
    return ::lstat(stagedCatalogue.c_str(), &info) == 0 && info.st_size > 0;
}

void addStagingSuffixes(const std::string& path, std::vector<std::string>& suffixes) {
    const std::string name = nameOf(path);
    DIR* listing = ::opendir(folderOf(path).c_str());
    if (!listing)
        return;
    while (const dirent* entry = ::readdir(listing)) {
        const std::optional<std::string> suffix = stagingSuffixOf(entry->d_name, name);
        if (suffix && std::find(suffixes.begin(), suffixes.end(), *suffix) == suffixes.end())
            suffixes.push_back(*suffix);
    }
    ::closedir(listing);
}

int clearStagingNames(const Target& catalogue, const Target& notes) {
    for (const std::string* name : {&notes.staged, &catalogue.partial, &catalogue.staged})
        if (::unlink(name->c_str()) != 0 && errno != ENOENT)
            return errno;
    return 0;
}

void removeStaged(const Target& catalogue, const Target& notes) {
    ::unlink(catalogue.partial.c_str());
    ::unlink(notes.staged.c_str());
}

} // namespace qubrix::posixdata
