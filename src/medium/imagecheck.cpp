#include "medium/imagecheck.h"

#include "core/text/ascii.h"
#include "core/text/utf8.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <deque>
#include <map>
#include <utility>

namespace qubrix {

namespace {

std::size_t characterCount(std::string_view text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return !isUtf8Continuation(c); }));
}

// Whether text holds a character beyond U+FFFF, which Joliet's UCS-2 cannot hold.
bool beyondUcs2(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0xF0; });
}

std::string_view leafName(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view parentPath(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash);
}

std::size_t depthOf(std::string_view path) {
    return static_cast<std::size_t>(std::count(path.begin(), path.end(), '/')) + 1;
}

// Why Windows cannot open a file of this name, or nullopt.
std::optional<std::string> windowsRefusal(std::string_view name) {
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 0x20)
            return std::string("a control character");
        if (std::string_view("<>:\"\\|?*").find(c) != std::string_view::npos)
            return "the character '" + std::string(1, c) + "'";
    }
    if (name.back() == '.' || name.back() == ' ')
        return std::string("a name that ends in a full stop or a blank");
    static constexpr std::array<std::string_view, 22> kDevices = {
        "CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7",
        "COM8", "COM9", "LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};
    const std::string_view base = name.substr(0, name.find('.'));
    for (const std::string_view device : kDevices)
        if (equalsIgnoringAsciiCase(base, device))
            return "the device name " + std::string(device);
    return std::nullopt;
}

std::string lowerAsciiText(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) { return lowerAscii(c); });
    return lower;
}

class NameChecker {
public:
    explicit NameChecker(const std::vector<ImageEntry>& entries) {
        for (const ImageEntry& entry : entries)
            if (entry.type == ImageEntryType::Link)
                m_links.emplace(entry.path, entry.linkTarget);
    }

    void check(const ImageEntry& entry) {
        const std::string_view name = leafName(entry.path);
        if (entry.type == ImageEntryType::FileSystemFolder) {
            add(IssueLevel::Warning, entry,
                "belongs to the file system, not to what is on it: it is left out of the image.");
            return;
        }
        if (!entry.readable)
            add(IssueLevel::Error, entry, "cannot be read.");
        else
            checkMode(entry);
        checkPlace(entry);
        const auto readLink = [this](const std::string& path) -> std::optional<std::string> {
            const auto at = m_links.find(path);
            return at == m_links.end() ? std::nullopt : std::optional(at->second);
        };
        if (entry.type == ImageEntryType::Link &&
            linkLeavesMedium(entry.path, entry.linkTarget, readLink))
            add(IssueLevel::Error, entry,
                "is a link that leads off the medium (to " + entry.linkTarget +
                    "): make it lead to a file on the medium, or put the file there.");
        checkJoliet(entry);
        if (const auto refusal = windowsRefusal(name))
            add(IssueLevel::Warning, entry,
                "cannot be opened on Windows: it has " + *refusal + ".");
        const auto [first, unique] = m_folded.try_emplace(
            std::string(parentPath(entry.path)) + '/' + lowerAsciiText(name), entry.path);
        if (!unique)
            add(IssueLevel::Warning, entry,
                "differs from " + first->second +
                    " only in letter case: Windows shows only one of them.");
        if (entry.type == ImageEntryType::File && entry.size >= kMultiExtentSize)
            add(IssueLevel::Warning, entry,
                "is 4 GiB or larger: it is written in several extents, which some older "
                "systems cannot read.");
        if (entry.type == ImageEntryType::Special)
            add(IssueLevel::Warning, entry,
                "is a device, pipe or socket: it is left out of the image.");
    }

    std::vector<NameIssue> issues() {
        std::stable_partition(m_issues.begin(), m_issues.end(), [](const NameIssue& issue) {
            return issue.level == IssueLevel::Error;
        });
        return std::move(m_issues);
    }

private:
    // The top is the first level, so a folder of eight names lies on the ninth. It is told
    // once: what lies in it goes with it.
    void checkPlace(const ImageEntry& entry) {
        if (entry.type == ImageEntryType::Folder && depthOf(entry.path) == kMaxFolderDepth)
            add(IssueLevel::Error, entry,
                "lies deeper than the 8 levels of folders ISO 9660 allows: move it up.");
        else if (characterCount(entry.path) + 1 > kMaxPathLength)
            add(IssueLevel::Error, entry,
                "has a path longer than the 255 characters ISO 9660 allows: shorten it.");
    }

    // What the Joliet tree, which Windows reads, holds otherwise than the name here: a
    // character it cannot hold becomes '_', a name is cut after 64 characters, and an entry
    // whose path is longer than 120 characters is left out of it, with all it holds (told for
    // the first only).
    void checkJoliet(const ImageEntry& entry) {
        const std::string_view name = leafName(entry.path);
        if (!isValidUtf8(name))
            add(IssueLevel::Warning, entry,
                "has a name that is not UTF-8: Windows shows it with '_' in place of what is "
                "not.");
        else if (beyondUcs2(name))
            add(IssueLevel::Warning, entry,
                "has a character that Joliet cannot hold (beyond U+FFFF): Windows shows '_' in "
                "its place.");
        if (characterCount(name) > kJolietNameLength)
            add(IssueLevel::Warning, entry,
                "has a name of more than 64 characters: Windows shows it cut.");
        if (characterCount(entry.path) > kJolietPathLength &&
            characterCount(parentPath(entry.path)) <= kJolietPathLength)
            add(IssueLevel::Warning, entry,
                "has a path longer than the 120 characters Joliet holds: Windows does not show "
                "it" +
                    std::string(entry.type == ImageEntryType::Folder ? " or what it holds." : "."));
    }

    // Only what others could not read before: the rest of the change shows the end user
    // nothing new.
    void checkMode(const ImageEntry& entry) {
        constexpr std::uint32_t kOthersRead = 04;
        constexpr std::uint32_t kOthersSearch = 01;
        if (entry.type == ImageEntryType::File && (entry.mode & kOthersRead) == 0)
            add(IssueLevel::Warning, entry,
                "cannot be read by others here: on the disc everyone can read it.");
        if (entry.type == ImageEntryType::Folder &&
            (entry.mode & (kOthersRead | kOthersSearch)) != (kOthersRead | kOthersSearch))
            add(IssueLevel::Warning, entry,
                "cannot be listed or opened by others here: on the disc everyone can.");
    }

    void add(IssueLevel level, const ImageEntry& entry, std::string text) {
        m_issues.push_back({level, entry.path, std::move(text)});
    }

    std::vector<NameIssue> m_issues;
    // The target of every link, by its path.
    std::map<std::string, std::string, std::less<>> m_links;
    // Each name folded to lower case under its folder, with the first entry that had it.
    std::map<std::string, std::string> m_folded;
};

} // namespace

std::vector<NameIssue> checkImageNames(const std::vector<ImageEntry>& entries) {
    NameChecker checker(entries);
    for (const ImageEntry& entry : entries)
        checker.check(entry);
    return checker.issues();
}

bool hasErrors(const std::vector<NameIssue>& issues) {
    return std::any_of(issues.begin(), issues.end(),
                       [](const NameIssue& issue) { return issue.level == IssueLevel::Error; });
}

std::string issueListText(const std::vector<NameIssue>& issues) {
    std::string text;
    for (const NameIssue& issue : issues)
        text += (issue.level == IssueLevel::Error ? "error: " : "warning: ") + issue.path + ": " +
                issue.text + '\n';
    return text;
}

std::string shortIssueListText(const std::vector<NameIssue>& issues, std::size_t shown) {
    if (issues.size() <= shown)
        return issueListText(issues);
    return issueListText({issues.begin(), issues.begin() + std::ptrdiff_t(shown)}) + "... and " +
           std::to_string(issues.size() - shown) + " more.\n";
}

bool linkLeavesMedium(std::string_view linkPath, std::string_view target) {
    return linkLeavesMedium(linkPath, target, [](const std::string&) { return std::nullopt; });
}

bool linkLeavesMedium(
    std::string_view linkPath, std::string_view target,
    const std::function<std::optional<std::string>(const std::string&)>& readLink) {
    // The names that lead from the top to where the walk stands, and those still to walk.
    std::vector<std::string> at;
    for (std::string_view parent = parentPath(linkPath); !parent.empty();
         parent = parentPath(parent))
        at.insert(at.begin(), std::string(leafName(parent)));
    std::deque<std::string> ahead;
    const auto walkAlso = [&ahead](std::string_view text) {
        std::vector<std::string> names;
        for (std::size_t start = 0; start <= text.size();) {
            const std::size_t slash = std::min(text.find('/', start), text.size());
            names.emplace_back(text.substr(start, slash - start));
            start = slash + 1;
        }
        ahead.insert(ahead.begin(), names.begin(), names.end());
    };
    if (target.empty() || target.front() == '/')
        return true;
    walkAlso(target);
    // As many links as the system follows in one path before it gives up.
    constexpr int kMaxLinks = 40;
    int followed = 0;
    while (!ahead.empty()) {
        const std::string name = std::move(ahead.front());
        ahead.pop_front();
        if (name.empty() || name == ".")
            continue;
        if (name == "..") {
            if (at.empty())
                return true;
            at.pop_back();
            continue;
        }
        at.push_back(name);
        std::string path;
        for (const std::string& step : at)
            path += (path.empty() ? "" : "/") + step;
        const std::optional<std::string> next = readLink(path);
        if (!next)
            continue;
        // A circle of links leads nowhere, on the medium as here.
        if (++followed > kMaxLinks)
            return false;
        if (next->empty() || next->front() == '/')
            return true;
        at.pop_back();
        walkAlso(*next);
    }
    return false;
}

std::uint32_t masteredMode(ImageEntryType type, std::uint32_t mode) {
    constexpr std::uint32_t kSetIds = 06000;
    constexpr std::uint32_t kAllRead = 0444;
    constexpr std::uint32_t kAllExecute = 0111;
    mode &= 07777;
    if (type == ImageEntryType::Link)
        return mode;
    mode &= ~kSetIds;
    if (type == ImageEntryType::Folder || (mode & kAllExecute) != 0)
        mode |= kAllExecute;
    return mode | kAllRead;
}

namespace {

bool isIsoLabelCharacter(char32_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// Characters Joliet refuses in its names, which some systems refuse in a label as well.
bool isJolietLabelCharacter(char32_t c) {
    return c >= 0x20 && c != 0x7F &&
           std::u32string_view(U"*/:;?\\").find(c) == std::u32string_view::npos;
}

} // namespace

VolumeLabel volumeLabel(std::string_view requested) {
    constexpr std::size_t kIsoLength = 32;
    constexpr std::size_t kJolietUnits = 16;
    const std::string_view text = trimmedText(requested);
    VolumeLabel label;
    std::size_t jolietUnits = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        // A byte that is no UTF-8 stands for a character of its own, which neither set has.
        const char32_t c = decodeUtf8(text, pos).value_or(U'_');
        if (label.iso.size() < kIsoLength) {
            const char32_t upper = upperAscii(c);
            label.iso += isIsoLabelCharacter(upper) ? static_cast<char>(upper) : '_';
        }
        const std::size_t units = c > 0xFFFF ? 2 : 1;
        if (jolietUnits + units <= kJolietUnits) {
            appendUtf8(label.joliet, isJolietLabelCharacter(c) ? c : U'_');
            jolietUnits += units;
        } else {
            // Once a character does not fit, none after it goes in: the label would skip it.
            jolietUnits = kJolietUnits;
        }
    }
    // A cut that ends in a blank would only show as a stray blank where the label ends.
    label.joliet.erase(label.joliet.find_last_not_of(' ') + 1);
    if (label.iso.empty())
        label = {"DISC", "DISC"};
    return label;
}

std::string defaultLabelText(std::string_view folder, std::string_view mountPoint,
                             std::string_view mediumLabel) {
    while (folder.size() > 1 && folder.back() == '/')
        folder.remove_suffix(1);
    while (mountPoint.size() > 1 && mountPoint.back() == '/')
        mountPoint.remove_suffix(1);
    if (folder == mountPoint && !mediumLabel.empty())
        return std::string(mediumLabel);
    return std::string(leafName(folder));
}

std::string isoLabelField(std::string_view iso) {
    std::string field(iso.substr(0, kLabelFieldSize));
    field.resize(kLabelFieldSize, ' ');
    return field;
}

std::string jolietLabelField(std::string_view joliet) {
    std::string field;
    const auto unit = [&field](char32_t value) {
        field += static_cast<char>(value >> 8);
        field += static_cast<char>(value & 0xFF);
    };
    for (std::size_t pos = 0; pos < joliet.size() && field.size() < kLabelFieldSize;) {
        const char32_t c = decodeUtf8(joliet, pos).value_or(kReplacementCharacter);
        if (c <= 0xFFFF) {
            unit(c);
        } else if (field.size() + 4 <= kLabelFieldSize) {
            unit(0xD800 + ((c - 0x10000) >> 10));
            unit(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            break;
        }
    }
    while (field.size() < kLabelFieldSize)
        unit(' ');
    return field;
}

std::string imageProgressText(std::uint64_t done, std::uint64_t total, double seconds) {
    const auto megabytes = [](std::uint64_t bytes) {
        std::array<char, 32> text{};
        std::snprintf(text.data(), text.size(), "%.1f MB", static_cast<double>(bytes) / 1e6);
        return std::string(text.data());
    };
    std::string text = megabytes(done) + " of " + megabytes(total);
    // Under a second or a hundredth of the work the rate says little yet.
    if (seconds < 1.0 || done == 0 || done * 100 < total)
        return text;
    const auto left = static_cast<std::uint64_t>(
        seconds * static_cast<double>(total - std::min(done, total)) / static_cast<double>(done) +
        0.5);
    std::array<char, 48> time{};
    if (left >= 3600)
        std::snprintf(time.data(), time.size(), ", about %llu:%02llu:%02llu left",
                      static_cast<unsigned long long>(left / 3600),
                      static_cast<unsigned long long>(left / 60 % 60),
                      static_cast<unsigned long long>(left % 60));
    else
        std::snprintf(time.data(), time.size(), ", about %llu:%02llu left",
                      static_cast<unsigned long long>(left / 60),
                      static_cast<unsigned long long>(left % 60));
    return text + time.data();
}

std::optional<std::string> outputRefusal(std::string_view folder, std::string_view output) {
    std::string top(folder);
    if (top.empty() || top.back() != '/')
        top += '/';
    if (output.substr(0, top.size()) == top || output == folder)
        return std::string(output) + " lies inside " + std::string(folder) +
               ", the folder the image is made of: choose a place outside it.";
    return std::nullopt;
}

} // namespace qubrix
