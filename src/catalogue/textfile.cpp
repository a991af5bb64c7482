#include "catalogue/textfile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <random>
#include <set>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qubrix {

namespace {

// Windows-1252 bytes 0x80 to 0x9F. The five bytes the code page leaves undefined map to the C1
// control of the same value, so that any byte sequence survives a trip through UTF-8.
constexpr std::array<char32_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char32_t kReplacementCharacter = 0xFFFD;

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Decodes one UTF-8 sequence at pos and moves pos past it. Overlong forms, surrogates and
// values beyond U+10FFFF are rejected; on failure pos moves past the lead byte only.
std::optional<char32_t> decodeUtf8(std::string_view text, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos++]);
    if (lead < 0x80)
        return lead;
    std::size_t length = 0;
    char32_t value = 0;
    char32_t smallest = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1F, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0F, smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07, smallest = 0x10000;
    } else {
        return std::nullopt;
    }
    if (text.size() - (pos - 1) < length)
        return std::nullopt;
    for (std::size_t i = 0; i + 1 < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[pos + i]);
        if (!isContinuation(byte))
            return std::nullopt;
        value = (value << 6) | (byte & 0x3F);
    }
    if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return std::nullopt;
    pos += length - 1;
    return value;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::optional<char> toCp1252(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<char>(cp);
    const auto* found = std::find(kCp1252High.begin(), kCp1252High.end(), cp);
    if (found == kCp1252High.end())
        return std::nullopt;
    return static_cast<char>(0x80 + (found - kCp1252High.begin()));
}

std::string_view untilNul(std::string_view bytes) {
    return bytes.substr(0, std::min(bytes.find('\0'), bytes.size()));
}

std::string systemReason(int error) {
    return std::strerror(error);
}

} // namespace

TextEncoding detectEncoding(std::string_view bytes) {
    const std::string_view text = untilNul(bytes);
    bool multiByte = false;
    for (std::size_t pos = 0; pos < text.size();) {
        if (static_cast<unsigned char>(text[pos]) < 0x80) {
            ++pos;
            continue;
        }
        if (!decodeUtf8(text, pos))
            return TextEncoding::Windows1252;
        multiByte = true;
    }
    return multiByte ? TextEncoding::Utf8 : TextEncoding::Windows1252;
}

std::string toUtf8(std::string_view bytes, TextEncoding encoding) {
    std::string out;
    out.reserve(bytes.size());
    if (encoding == TextEncoding::Windows1252) {
        for (const char c : bytes) {
            const auto byte = static_cast<unsigned char>(c);
            appendUtf8(out, byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : byte);
        }
        return out;
    }
    // Text read as UTF-8 is valid, but a caller may hand anything; bad bytes become U+FFFD.
    for (std::size_t pos = 0; pos < bytes.size();)
        appendUtf8(out, decodeUtf8(bytes, pos).value_or(kReplacementCharacter));
    return out;
}

std::optional<std::string> fromUtf8(std::string_view utf8, TextEncoding encoding) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const std::size_t start = pos;
        const auto cp = decodeUtf8(utf8, pos);
        if (!cp)
            return std::nullopt;
        if (encoding == TextEncoding::Utf8) {
            out.append(utf8.substr(start, pos - start));
            continue;
        }
        const auto byte = toCp1252(*cp);
        if (!byte)
            return std::nullopt;
        out += *byte;
    }
    return out;
}

std::vector<std::string> splitLines(std::string_view bytes) {
    const std::string_view text = untilNul(bytes);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
        if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n')
            ++start;
    }
    return lines;
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::size_t size = 0;
    for (const auto& line : lines)
        size += line.size() + 2;
    std::string out;
    out.reserve(size);
    for (const auto& line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

ReadOutcome readWholeFile(const std::string& path) {
    ReadOutcome outcome;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return outcome;
        outcome.status = ReadOutcome::Status::Failed;
        outcome.error = systemReason(errno);
        return outcome;
    }
    outcome.status = ReadOutcome::Status::Read;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        outcome.status = ReadOutcome::Status::Failed;
        outcome.error = systemReason(EISDIR);
        ::close(fd);
        return outcome;
    }
    // The size is only a hint: the file may grow or shrink while it is read.
    std::size_t capacity = info.st_size > 0 ? static_cast<std::size_t>(info.st_size) + 1 : 4096;
    std::size_t used = 0;
    outcome.bytes.resize(capacity);
    for (;;) {
        if (used == outcome.bytes.size())
            outcome.bytes.resize(outcome.bytes.size() * 2);
        const ssize_t got = ::read(fd, outcome.bytes.data() + used, outcome.bytes.size() - used);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            outcome.status = ReadOutcome::Status::Failed;
            outcome.error = systemReason(errno);
            outcome.bytes.clear();
            ::close(fd);
            return outcome;
        }
        if (got == 0)
            break;
        used += static_cast<std::size_t>(got);
    }
    outcome.bytes.resize(used);
    ::close(fd);
    return outcome;
}

namespace {

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t done = ::write(fd, bytes.data(), bytes.size());
        if (done < 0 && errno == EINTR)
            continue;
        if (done < 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(done));
    }
    return true;
}

// A temporary file beside the target, created with O_EXCL so the umask applies to a new file
// the same way it would to the target itself.
int createTemporaryBeside(const std::string& target, std::string& temporaryPath) {
    static std::mt19937_64 generator{std::random_device{}()};
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const std::string prefix = folderOf(target) + "/." + nameOf(target) + ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporaryPath = prefix;
        for (int i = 0; i < 6; ++i)
            temporaryPath += kLetters[generator() % (sizeof kLetters - 1)];
        const int fd = ::open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Why the target may not be replaced, or 0. Renaming over a file needs only the folder's write
// permission, so the file's own protection is checked here: a file without any write bit is
// write-protected even for root, and a file the user may not write is refused as well.
int refusalOf(const std::string& target, const struct stat& info) {
    if (S_ISDIR(info.st_mode))
        return EISDIR;
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return EACCES;
    if (::geteuid() != 0 && ::access(target.c_str(), W_OK) != 0)
        return errno;
    return 0;
}

struct Staged {
    std::string target;
    std::string temporary;
};

// Writes one file's bytes to a flushed temporary beside it; returns 0 or the errno.
int stage(const FileContent& file, Staged& staged) {
    staged.target = file.path;
    struct stat info {};
    const bool exists = ::stat(file.path.c_str(), &info) == 0;
    if (!exists && errno != ENOENT)
        return errno;
    if (exists)
        if (const int refusal = refusalOf(file.path, info))
            return refusal;
    const int fd = createTemporaryBeside(file.path, staged.temporary);
    if (fd < 0) {
        staged.temporary.clear();
        return errno;
    }
    int error = 0;
    if (exists && ::fchmod(fd, info.st_mode & 07777) != 0)
        error = errno;
    if (exists && error == 0 && (info.st_uid != ::geteuid() || info.st_gid != ::getegid())) {
        // Best effort: keep the owner when we may (as root); a user keeps the file as theirs.
        [[maybe_unused]] const int ignored = ::fchown(fd, info.st_uid, info.st_gid);
    }
    if (error == 0 && !writeAll(fd, file.bytes))
        error = errno;
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error;
}

void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

void removeTemporaries(const std::vector<Staged>& staged, std::size_t from) {
    for (std::size_t i = from; i < staged.size(); ++i)
        if (!staged[i].temporary.empty())
            ::unlink(staged[i].temporary.c_str());
}

} // namespace

WriteOutcome replaceFilesAtomically(const std::vector<FileContent>& files) {
    WriteOutcome outcome;
    std::vector<Staged> staged;
    staged.reserve(files.size());
    for (const auto& file : files) {
        staged.emplace_back();
        if (const int error = stage(file, staged.back())) {
            removeTemporaries(staged, 0);
            outcome.ok = false;
            outcome.failedPath = file.path;
            outcome.error = systemReason(error);
            return outcome;
        }
    }
    std::set<std::string> folders;
    for (std::size_t i = 0; i < staged.size(); ++i) {
        if (::rename(staged[i].temporary.c_str(), staged[i].target.c_str()) != 0) {
            // Every file is on disk already, so this needs the folder changed under us since
            // staging; the files renamed before this one stay replaced.
            outcome.ok = false;
            outcome.failedPath = staged[i].target;
            outcome.error = systemReason(errno);
            removeTemporaries(staged, i);
            break;
        }
        folders.insert(folderOf(staged[i].target));
    }
    for (const auto& folder : folders)
        syncFolder(folder);
    return outcome;
}

std::string_view trimmedText(std::string_view text) {
    const auto isTrimmed = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!text.empty() && isTrimmed(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isTrimmed(text.back()))
        text.remove_suffix(1);
    return text;
}

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace qubrix
