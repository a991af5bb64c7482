#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qubrix {

// The picked file as the name check sees it: the folders and the name of its stored path, and
// the first folder of the picked path when the stored path leaves that folder out.
struct PickedFile {
    std::string folder;        // each folder followed by a backslash; empty in the root
    std::string name;          // the file name
    std::string leftOutFolder; // empty when the stored path keeps every folder
};

// The names that the name check tests, outermost folder first and the file last, and the
// on-disk path of each: the medium's mount point ("" for "/"), the left-out folder, the folders
// and the name, joined by slashes. A folder name is the text before each backslash of the
// picked folder; text after the last backslash is no folder.
class NamePlan {
public:
    NamePlan(std::string mediumRoot, const PickedFile& picked);

    const std::vector<std::string>& folders() const { return m_folders; }
    const std::string& fileName() const { return m_fileName; }
    std::string folderPath(std::size_t i) const;
    std::string filePath() const;
    // Folder i as seen from the medium root, outermost first, the left-out folder included.
    std::vector<std::string> folderFromRoot(std::size_t i) const;

    NamePlan withFolderName(std::size_t i, std::string name) const;
    NamePlan withFileName(std::string name) const;

private:
    std::string pathBelowFolders(std::size_t count) const;

    std::string m_mediumRoot;
    std::string m_leftOutFolder;
    std::vector<std::string> m_folders;
    std::string m_fileName;
};

// Whether the entry at path may get newName: path lies below mediumRoot without an empty, "."
// or ".." part, the folder holding it resolves inside the medium (no symbolic link leads out),
// and the new name keeps the entry in that folder.
bool mayRenameOnMedium(const std::string& mediumRoot, const std::string& path,
                       std::string_view newName);

} // namespace qubrix
