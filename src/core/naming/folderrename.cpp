#include "core/naming/folderrename.h"

#include "core/text/ascii.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace qubrix {

namespace {

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

// Where the part of path at offset start ends: at the next separator or at the end.
std::size_t partEnd(std::string_view path, std::size_t start) {
    const auto end =
        std::find_if(path.begin() + static_cast<std::ptrdiff_t>(start), path.end(), isSeparator);
    return static_cast<std::size_t>(end - path.begin());
}

// When path begins with the given folders, the offset and length of its part that matches the
// last of them.
std::optional<std::pair<std::size_t, std::size_t>>
matchFolders(std::string_view path, const std::vector<std::string>& folders) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < folders.size(); ++i) {
        if (start > path.size())
            return std::nullopt;
        const std::size_t end = partEnd(path, start);
        if (!equalsIgnoringAsciiCase(path.substr(start, end - start), folders[i]))
            return std::nullopt;
        if (i + 1 == folders.size())
            return std::make_pair(start, end - start);
        start = end + 1;
    }
    return std::nullopt;
}

std::optional<std::pair<std::size_t, std::size_t>> matchRenamedFolder(std::string_view path,
                                                                      const FolderRename& rename) {
    if (auto whole = matchFolders(path, rename.folder))
        return whole;
    if (!rename.matchWithoutFirstFolder || rename.folder.size() < 2)
        return std::nullopt;
    return matchFolders(path,
                        std::vector<std::string>(rename.folder.begin() + 1, rename.folder.end()));
}

std::optional<FolderRename> inEncoding(const FolderRename& rename, TextEncoding encoding) {
    FolderRename converted = rename;
    for (std::string& name : converted.folder) {
        auto bytes = fromUtf8(name, encoding);
        if (!bytes)
            return std::nullopt;
        name = std::move(*bytes);
    }
    return converted;
}

bool anyListingMatches(const Catalogue& catalogue, const FolderRename& rename) {
    return catalogue.anyListingPath(
        [&](std::string_view path) { return storedPathAfterRename(path, rename).has_value(); });
}

} // namespace

FolderRename folderRenameOnMedium(const std::string& mediumRoot, std::vector<std::string> folder,
                                  std::string newName) {
    FolderRename rename{std::move(folder), std::move(newName), true};
    if (rename.folder.size() >= 2) {
        std::error_code error;
        rename.matchWithoutFirstFolder =
            !std::filesystem::is_directory(mediumRoot + "/" + rename.folder[1], error);
    }
    return rename;
}

std::optional<std::string> storedPathAfterRename(std::string_view storedPath,
                                                 const FolderRename& rename) {
    const auto match = matchRenamedFolder(storedPath, rename);
    if (!match)
        return std::nullopt;
    std::string renamed(storedPath);
    renamed.replace(match->first, match->second, rename.newName);
    return renamed;
}

std::size_t renameFolderInListings(Catalogue& catalogue, const FolderRename& rename) {
    // Names that the catalogue's encoding cannot carry appear in none of its lines.
    const auto matching = inEncoding(rename, catalogue.catalogueEncoding);
    if (!matching || !anyListingMatches(catalogue, *matching))
        return 0;
    // Storing the new name may turn the catalogue, and every line it holds, to UTF-8.
    const std::string newName = catalogue.catalogueTextFromUtf8(rename.newName);
    FolderRename inCatalogue = *inEncoding(rename, catalogue.catalogueEncoding);
    inCatalogue.newName = newName;

    return catalogue.rewriteListingPaths(
        [&](std::string_view path) { return storedPathAfterRename(path, inCatalogue); });
}

} // namespace qubrix
