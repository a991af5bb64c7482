#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qubrix {

// What an entry of a staging folder is, as the disc image would hold it. FileSystemFolder is
// the lost+found folder at the top of a file system's mount: it belongs to the file system, not
// to what the author put on it.
enum class ImageEntryType { Folder, File, Link, Special, FileSystemFolder };

// Devices, pipes, sockets and the file system's own folder stay off the disc.
constexpr bool leftOutOfImage(ImageEntryType type) {
    return type == ImageEntryType::Special || type == ImageEntryType::FileSystemFolder;
}

// One entry below the top of a staging folder.
struct ImageEntry {
    // Relative to the top, names joined by '/'.
    std::string path;
    ImageEntryType type = ImageEntryType::File;
    std::uint64_t size = 0;
    std::string linkTarget;
    bool readable = true;
    // The permission bits as the staging folder has them; by default ones the disc keeps.
    std::uint32_t mode = 0755;
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
// Joliet keeps 64 characters of a name, and leaves out what lies at a path of more than 120.
inline constexpr std::size_t kJolietNameLength = 64;
inline constexpr std::size_t kJolietPathLength = 120;
// A file of this size or more needs several extents.
inline constexpr std::uint64_t kMultiExtentSize = std::uint64_t(4) << 30;

// Checks every name of entries (a folder's entries after the folder itself): errors for what
// would be lost or broken on the disc (unreadable entries, folders deeper than ISO 9660 allows,
// links leading off the medium, directly or through other links among entries), warnings for what
// the author may accept (names the Joliet tree changes, cuts or leaves out, names Windows refuses
// or confuses, files written in several extents, special files and the file system's lost+found
// left out, files and folders the disc opens to everyone that others could not read before). Errors
// come first, each group in the order of entries.
std::vector<NameIssue> checkImageNames(const std::vector<ImageEntry>& entries);

bool hasErrors(const std::vector<NameIssue>& issues);

// One line per issue: "error: PATH: TEXT".
std::string issueListText(const std::vector<NameIssue>& issues);
// The first shown lines of issueListText, then "... and N more." for the rest: a box taller
// than the screen cannot be answered.
std::string shortIssueListText(const std::vector<NameIssue>& issues, std::size_t shown = 12);

// True when a link at linkPath (relative to the top) whose target is target leads to a place
// outside the top, or when target is absolute: on the mounted medium it would lead elsewhere.
// The target is followed name by name as the system follows it, each link on the way through
// readLink (the target of the link at a path relative to the top, or nullopt for no link), so
// that a link that climbs out through another ("x -> L/.." with "L -> .") is found; it leaves
// when any step climbs above the top, even if a later one comes back in under the top's name.
bool linkLeavesMedium(
    std::string_view linkPath, std::string_view target,
    const std::function<std::optional<std::string>(const std::string&)>& readLink);
// As above, with no links on the way.
bool linkLeavesMedium(std::string_view linkPath, std::string_view target);

// The permission bits an entry gets on the disc, where the end user is neither its owner nor in
// its group: files readable by everyone, and executable by everyone when anyone may execute
// them; folders readable and searchable by everyone. Write bits stay as the author set them:
// nothing on the disc can be written, so they only tell what a copy taken off the disc may do,
// and a catalogue the author write-protected stays protected there. Set-user and set-group bits
// go: the owner becomes root on the disc, and the author's program must not run as root.
std::uint32_t masteredMode(ImageEntryType type, std::uint32_t mode);

// The volume label a disc gets for a requested one, its blanks at both ends dropped. The
// ISO 9660 label takes at most 32 characters, each letter in upper case and each character
// other than A-Z, 0-9 and '_' made '_'. The Joliet label keeps the text as it is, up to 16
// UTF-16 units (a character beyond U+FFFF takes two, never split), but a control character or
// one Joliet refuses in names (* / : ; ? \) becomes '_'. A label left empty becomes "DISC".
struct VolumeLabel {
    std::string iso;
    // UTF-8.
    std::string joliet;

    bool operator==(const VolumeLabel&) const = default;
};
VolumeLabel volumeLabel(std::string_view requested);

// The label a disc is offered: the medium's own when folder is the mount point of a labelled
// file system, else the folder's name.
std::string defaultLabelText(std::string_view folder, std::string_view mountPoint,
                             std::string_view mediumLabel);

// The 32 bytes of a volume descriptor's label field: the ISO 9660 label in ASCII, the Joliet
// label in UCS-2 big-endian, each padded with blanks.
inline constexpr std::size_t kLabelFieldSize = 32;
std::string isoLabelField(std::string_view iso);
std::string jolietLabelField(std::string_view joliet);

// "12.5 MB of 650.0 MB, about 1:05 left": bytes done of the total after seconds; no time left
// while too little is done to tell.
std::string imageProgressText(std::uint64_t done, std::uint64_t total, double seconds);

// Why the output file may not lie where it is asked for, or nullopt: inside the folder the
// image is made of, it would be part of its own image. Both paths are absolute and free of
// "." and "..".
std::optional<std::string> outputRefusal(std::string_view folder, std::string_view output);

} // namespace qubrix
