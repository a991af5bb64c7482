#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qubrix {

// What an entry of a staging folder is, as the disc image would hold it.
enum class ImageEntryType { Folder, File, Link, Special };

// One entry below the top of a staging folder.
struct ImageEntry {
    // Relative to the top, names joined by '/'.
    std::string path;
    ImageEntryType type = ImageEntryType::File;
    std::uint64_t size = 0;
    std::string linkTarget;
    bool readable = true;
};

enum class IssueLevel { Error, Warning };

// Something about one name on the disc that the author should know before it is mastered.
struct NameIssue {
    IssueLevel level = IssueLevel::Warning;
    std::string path;
    std::string text;

    bool operator==(const NameIssue&) const = default;
};

// ISO 9660 allows eight levels of folders, the top being the first, and paths of 255
// characters.
inline constexpr std::size_t kMaxFolderDepth = 8;
inline constexpr std::size_t kMaxPathLength = 255;
// Joliet keeps 64 characters of a name.
inline constexpr std::size_t kJolietNameLength = 64;
// A file of this size or more needs several extents.
inline constexpr std::uint64_t kMultiExtentSize = std::uint64_t(4) << 30;

// Checks every name of entries (a folder's entries after the folder itself): errors for what
// would be lost or broken on the disc (unreadable entries, folders deeper than ISO 9660 allows,
// links leading off the medium), warnings for what the author may accept (names Windows cuts,
// refuses or confuses, files written in several extents, special files left out). Errors come
// first, each group in the order of entries.
std::vector<NameIssue> checkImageNames(const std::vector<ImageEntry>& entries);

bool hasErrors(const std::vector<NameIssue>& issues);

// One line per issue: "error: PATH: TEXT".
std::string issueListText(const std::vector<NameIssue>& issues);

// True when a link at linkPath (relative to the top) whose target is target leads to a place
// outside the top, or when target is absolute: on the mounted medium it would lead elsewhere.
bool linkLeavesMedium(std::string_view linkPath, std::string_view target);

// The volume label a disc gets for a requested one: each character other than an ASCII letter,
// a digit or '_' becomes '_', at most 32 of them; the ISO 9660 label is that in upper case, the
// Joliet label keeps the letter case and its first 16 characters. A label with no character
// becomes "DISC".
struct VolumeLabel {
    std::string iso;
    std::string joliet;

    bool operator==(const VolumeLabel&) const = default;
};
VolumeLabel volumeLabel(std::string_view requested);

// "12.5 MB of 650.0 MB, about 1:05 left": bytes done of the total after seconds; no time left
// while too little is done to tell.
std::string imageProgressText(std::uint64_t done, std::uint64_t total, double seconds);

// Why the output file may not lie where it is asked for, or nullopt: inside the folder the
// image is made of, it would be part of its own image. Both paths are absolute and free of
// "." and "..".
std::optional<std::string> outputRefusal(std::string_view folder, std::string_view output);

} // namespace qubrix
