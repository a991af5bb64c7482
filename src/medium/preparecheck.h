#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qubrix {

// What lies at the top of a staging folder under a name that prepare writes or reads.
enum class EntryKind { Absent, Folder, File, Link, Other };

// The top of the staging folder as prepare finds it.
struct StagingTop {
    EntryKind catalogue = EntryKind::Absent; // qubrix.dat
    bool writable = false;
    EntryKind bundle = EntryKind::Absent;   // the program folder
    EntryKind autorun = EntryKind::Absent;  // autorun.sh
    EntryKind leftover = EntryKind::Absent; // the new program folder an interrupted run left
};

// The name of the program folder while it is being written, beside the one it replaces, and
// of the old one once they are swapped, until it is removed.
inline constexpr char kNewBundleFolder[] = ".qubrix-new";
// The old program folder's name while the new one is moved in where the file system cannot
// swap two names in one step.
inline constexpr char kOldBundleFolder[] = ".qubrix-old";

// Why prepare must leave folder as it is, or nullopt when it may go ahead: the program folder
// is then written anew beside the old one, which it replaces at the end, so an older bundle
// ends up as a fresh one would be, and a failure on the way leaves the old one standing.
std::optional<std::string> prepareRefusal(const std::string& folder, const StagingTop& top);

// The room files of these sizes and this many folders take on a file system that gives out
// blocks of blockSize bytes: every file and folder takes whole blocks, an empty file none.
std::uint64_t roomTaken(const std::vector<std::uint64_t>& fileSizes, std::size_t folders,
                        std::uint64_t blockSize);

// Why prepare cannot write the needed bytes into folder, where available bytes are free, or
// nullopt when they fit. The new program folder is written beside the old one, so an older
// one there frees nothing until the end.
std::optional<std::string> roomRefusal(const std::string& folder, std::uint64_t needed,
                                       std::uint64_t available);

// "35 kB", "78.5 MB", "2.1 GB" (powers of 1000). A size that is needed is rounded up and room
// that is free is rounded down, so that a need that does not fit never reads as the room.
enum class Rounding { Up, Down };
std::string byteText(std::uint64_t bytes, Rounding rounding);

} // namespace qubrix
