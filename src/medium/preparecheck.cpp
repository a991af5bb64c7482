#include "medium/preparecheck.h"

#include "medium/bundle.h"

namespace qubrix {

std::optional<std::string> prepareRefusal(const std::string& folder, const StagingTop& top) {
    if (!top.catalogue)
        return folder + " holds no qubrix.dat: it is not the top of a medium's staging folder.";
    if (!top.writable)
        return folder + " cannot be written.";
    const std::string bundle = folder + "/" + std::string(kBundleFolder);
    if (top.bundle != EntryKind::Absent && top.bundle != EntryKind::Folder)
        return bundle + " is in the way: it is not the program folder that prepare writes. Move "
                        "it away first.";
    if (top.autorun == EntryKind::Folder || top.autorun == EntryKind::Other)
        return folder + "/autorun.sh is in the way: it is not a file. Move it away first.";
    if (top.leftover != EntryKind::Absent && top.leftover != EntryKind::Folder)
        return folder + "/" + kNewBundleFolder +
               " is in the way: it is not a folder that "
               "prepare left. Move it away first.";
    return std::nullopt;
}

} // namespace qubrix
