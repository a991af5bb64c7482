#include "core/naming/nameplan.h"

#include "core/naming/isoname.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace qubrix {

namespace fs = std::filesystem;

namespace {

std::vector<std::string> foldersBeforeBackslashes(std::string_view folder) {
    std::vector<std::string> folders;
    for (std::size_t slash = folder.find('\\'); slash != std::string_view::npos;
         slash = folder.find('\\')) {
        folders.emplace_back(folder.substr(0, slash));
        folder.remove_prefix(slash + 1);
    }
    return folders;
}

bool isPartBelowRoot(std::string_view part) {
    return !part.empty() && part != "." && part != "..";
}

bool liesBelowRootByName(const std::string& mediumRoot, std::string_view path) {
    const std::string prefix = mediumRoot + "/";
    if (!path.starts_with(prefix))
        return false;
    std::string_view rest = path.substr(prefix.size());
    for (std::size_t slash = rest.find('/');; slash = rest.find('/')) {
        if (!isPartBelowRoot(rest.substr(0, slash)))
            return false;
        if (slash == std::string_view::npos)
            return true;
        rest.remove_prefix(slash + 1);
    }
}

bool resolvesInside(const fs::path& folder, const std::string& mediumRoot) {
    std::error_code error;
    const fs::path realFolder = fs::canonical(folder, error);
    if (error)
        return false;
    const fs::path realRoot = fs::canonical(mediumRoot.empty() ? "/" : mediumRoot, error);
    if (error)
        return false;
    return std::mismatch(realRoot.begin(), realRoot.end(), realFolder.begin(), realFolder.end())
               .first == realRoot.end();
}

} // namespace

NamePlan::NamePlan(std::string mediumRoot, const PickedFile& picked)
    : m_mediumRoot(std::move(mediumRoot)), m_leftOutFolder(picked.leftOutFolder),
      m_folders(foldersBeforeBackslashes(picked.folder)), m_fileName(picked.name) {}

std::string NamePlan::pathBelowFolders(std::size_t count) const {
    std::string path = m_mediumRoot;
    if (!m_leftOutFolder.empty())
        path += "/" + m_leftOutFolder;
    for (std::size_t i = 0; i < count; ++i)
        path += "/" + m_folders[i];
    return path;
}

std::string NamePlan::folderPath(std::size_t i) const {
    return pathBelowFolders(i + 1);
}

std::string NamePlan::filePath() const {
    return pathBelowFolders(m_folders.size()) + "/" + m_fileName;
}

std::vector<std::string> NamePlan::folderFromRoot(std::size_t i) const {
    std::vector<std::string> folder;
    if (!m_leftOutFolder.empty())
        folder.push_back(m_leftOutFolder);
    folder.insert(folder.end(), m_folders.begin(), m_folders.begin() + i + 1);
    return folder;
}

NamePlan NamePlan::withFolderName(std::size_t i, std::string name) const {
    NamePlan renamed = *this;
    renamed.m_folders[i] = std::move(name);
    return renamed;
}

NamePlan NamePlan::withFileName(std::string name) const {
    NamePlan renamed = *this;
    renamed.m_fileName = std::move(name);
    return renamed;
}

bool mayRenameOnMedium(const std::string& mediumRoot, const std::string& path,
                       std::string_view newName) {
    return isPlainName(newName) && liesBelowRootByName(mediumRoot, path) &&
           resolvesInside(fs::path(path).parent_path(), mediumRoot);
}

} // namespace qubrix
