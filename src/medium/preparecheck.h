#pragma once

#include <optional>
#include <string>

namespace qubrix {

// What lies at the top of a staging folder under a name that prepare writes or reads.
enum class EntryKind { Absent, Folder, File, Link, Other };

// The top of the staging folder as prepare finds it.
struct StagingTop {
    bool catalogue = false; // qubrix.dat is there
    bool writable = false;
    EntryKind bundle = EntryKind::Absent;   // the program folder
    EntryKind autorun = EntryKind::Absent;  // autorun.sh
    EntryKind leftover = EntryKind::Absent; // the new program folder an interrupted run left
};

// The name of the program folder while it is being written, beside the one it replaces.
inline constexpr char kNewBundleFolder[] = ".qubrix-new";

// Why prepare must leave folder as it is, or nullopt when it may go ahead: the program folder
// is then written anew beside the old one, which it replaces at the end, so an older bundle
// ends up as a fresh one would be, and a failure on the way leaves the old one standing.
std::optional<std::string> prepareRefusal(const std::string& folder, const StagingTop& top);

} // namespace qubrix
