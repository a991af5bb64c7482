#include "medium/imagewriter.h"

#include "medium/disccheck.h"

#include "medium/isofs.h"
#include "platform/mountinfo.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string_view>
#include <system_error>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace qubrix {

namespace {

// Image data is taken from the library in pieces of this size, a whole number of blocks.
constexpr int kChunk = 32 * 2048;

bool canOpen(const std::string& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

// The name a file system gives the folder where its repair puts what it finds.
constexpr char kLostAndFound[] = "lost+found";

QString qtPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

bool isMountPoint(const std::string& folder) {
    return QFile::encodeName(mountinfo::mountPointOf(qtPath(folder))).toStdString() == folder;
}

class TreeScanner {
public:
    // topDevice: the device of the top's file system when the top is its mount point, whose
    // lost+found is then left out; nullopt otherwise.
    TreeScanner(ImagePlan& plan, std::optional<dev_t> topDevice)
        : m_plan(plan), m_topDevice(topDevice) {}

    void scan(const std::string& folder, const std::string& relative) {
        std::vector<std::string> names;
        std::error_code error;
        for (fs::directory_iterator it(folder, error), end; !error && it != end;
             it.increment(error))
            names.push_back(it->path().filename().string());
        std::sort(names.begin(), names.end());
        for (const std::string& name : names)
            add(folder + '/' + name, relative.empty() ? name : relative + '/' + name);
    }

private:
    void add(const std::string& path, const std::string& relative) {
        struct stat info {};
        ImageEntry entry;
        entry.path = relative;
        if (::lstat(path.c_str(), &info) != 0) {
            entry.readable = false;
            m_plan.entries.push_back(entry);
            return;
        }
        entry.mode = info.st_mode & 07777;
        if (S_ISDIR(info.st_mode) && relative == kLostAndFound && info.st_dev == m_topDevice) {
            entry.type = ImageEntryType::FileSystemFolder;
            m_plan.entries.push_back(entry);
            return;
        }
        if (S_ISDIR(info.st_mode)) {
            entry.type = ImageEntryType::Folder;
            entry.readable = canOpen(path, O_DIRECTORY) && ::access(path.c_str(), R_OK | X_OK) == 0;
        } else if (S_ISREG(info.st_mode)) {
            entry.size = static_cast<std::uint64_t>(info.st_size);
            entry.readable = canOpen(path, 0);
            m_plan.fileBytes += entry.size;
        } else if (S_ISLNK(info.st_mode)) {
            entry.type = ImageEntryType::Link;
            std::error_code error;
            entry.linkTarget = fs::read_symlink(path, error).string();
            entry.readable = !error;
        } else {
            entry.type = ImageEntryType::Special;
        }
        m_plan.entries.push_back(entry);
        if (entry.type == ImageEntryType::Folder && entry.readable)
            scan(path, relative);
    }

    ImagePlan& m_plan;
    std::optional<dev_t> m_topDevice;
};

// The absolute form of path with "." and ".." resolved, through links where it exists.
std::string absolute(const std::string& path) {
    std::error_code error;
    const fs::path resolved = fs::weakly_canonical(fs::absolute(path, error), error);
    return error ? fs::absolute(path).lexically_normal().string() : resolved.string();
}

std::optional<std::string> folderRefusal(const std::string& folder, const std::string& output) {
    std::error_code error;
    if (!fs::is_directory(folder, error))
        return folder + " is not there, or is no folder.";
    if (fs::is_empty(folder, error) || error)
        return folder + " holds nothing to put on a disc.";
    if (auto refusal = outputRefusal(folder, output))
        return refusal;
    return outputPlaceRefusal(output);
}

struct BurnSourceFree {
    void operator()(burn_source* source) const {
        source->free_data(source);
        std::free(source);
    }
};
using BurnSource = std::unique_ptr<burn_source, BurnSourceFree>;

struct WriteOptsFree {
    void operator()(IsoWriteOpts* opts) const { QUBRIX_ISO(iso_write_opts_free)(opts); }
};

std::string failure(const std::string& what, int code) {
    const std::string told = isofs::takeMessage();
    return what + ": " + (told.empty() ? std::string(QUBRIX_ISO(iso_error_to_msg)(code)) : told);
}

// The image tree of the plan's entries, each node with the times of its file and its mode as
// mastered; owners are replaced when it is written.
isofs::Image buildTree(const ImagePlan& plan, std::string& error) {
    IsoImage* raw = nullptr;
    // The library has one label for every tree: the ISO 9660 one. writeStream puts the Joliet
    // one into its descriptor.
    if (const int code = QUBRIX_ISO(iso_image_new)(plan.label.iso.c_str(), &raw); code < 0) {
        error = failure("Cannot start the image", code);
        return nullptr;
    }
    isofs::Image image(raw);
    QUBRIX_ISO(iso_tree_set_follow_symlinks)(raw, 0);
    QUBRIX_ISO(iso_tree_set_ignore_special)(raw, 1);
    QUBRIX_ISO(iso_image_set_volume_id)(raw, plan.label.iso.c_str());
    QUBRIX_ISO(iso_image_set_application_id)(raw, "QUBRIX");
    IsoDir* root = QUBRIX_ISO(iso_image_get_root)(raw);
    struct stat top {};
    if (::stat(plan.folder.c_str(), &top) == 0) {
        QUBRIX_ISO(iso_node_set_mtime)(reinterpret_cast<IsoNode*>(root), top.st_mtime);
        QUBRIX_ISO(iso_node_set_atime)(reinterpret_cast<IsoNode*>(root), top.st_atime);
        QUBRIX_ISO(iso_node_set_ctime)(reinterpret_cast<IsoNode*>(root), top.st_ctime);
        const auto mode = masteredMode(ImageEntryType::Folder, top.st_mode);
        QUBRIX_ISO(iso_node_set_permissions)(reinterpret_cast<IsoNode*>(root), mode);
    }
    std::map<std::string, IsoDir*, std::less<>> folders{{"", root}};
    for (const ImageEntry& entry : plan.entries) {
        if (leftOutOfImage(entry.type))
            continue;
        const std::size_t slash = entry.path.rfind('/');
        const std::string parent = slash == std::string::npos ? "" : entry.path.substr(0, slash);
        const std::string name = entry.path.substr(slash == std::string::npos ? 0 : slash + 1);
        IsoNode* node = nullptr;
        const std::string source = plan.folder + '/' + entry.path;
        if (const int code = QUBRIX_ISO(iso_tree_add_new_node)(raw, folders.at(parent),
                                                               name.c_str(), source.c_str(), &node);
            code < 0) {
            error = failure("Cannot put " + entry.path + " into the image", code);
            return nullptr;
        }
        // The mode of the file as the library found it, which may have changed since the scan.
        if (entry.type != ImageEntryType::Link) {
            const auto mode = masteredMode(entry.type, QUBRIX_ISO(iso_node_get_permissions)(node));
            QUBRIX_ISO(iso_node_set_permissions)(node, mode);
        }
        if (entry.type == ImageEntryType::Folder)
            folders.emplace(entry.path, reinterpret_cast<IsoDir*>(node));
    }
    return image;
}

std::unique_ptr<IsoWriteOpts, WriteOptsFree> writeOptions() {
    IsoWriteOpts* opts = nullptr;
    QUBRIX_ISO(iso_write_opts_new)(&opts, 0);
    // Level 3 allows files of 4 GiB and more, in several extents.
    QUBRIX_ISO(iso_write_opts_set_iso_level)(opts, 3);
    QUBRIX_ISO(iso_write_opts_set_rockridge)(opts, 1);
    QUBRIX_ISO(iso_write_opts_set_joliet)(opts, 1);
    // Modes as buildTree set them; the author's user and group mean nothing on another machine.
    QUBRIX_ISO(iso_write_opts_set_replace_mode)(opts, 0, 0, 1, 1);
    QUBRIX_ISO(iso_write_opts_set_default_uid)(opts, 0);
    QUBRIX_ISO(iso_write_opts_set_default_gid)(opts, 0);
    // Each tree's folder records carry the folders' own times, not the time of mastering.
    QUBRIX_ISO(iso_write_opts_set_dir_rec_mtime)(opts, 7);
    return std::unique_ptr<IsoWriteOpts, WriteOptsFree>(opts);
}

// Whether name is one PartFile gives: the output's name, ".part-" and six letters or digits.
bool isPartName(std::string_view name) {
    constexpr std::string_view kPart = ".part-";
    constexpr std::size_t kUnique = 6;
    if (name.size() <= kPart.size() + kUnique ||
        name.substr(name.size() - kUnique - kPart.size(), kPart.size()) != kPart)
        return false;
    return std::all_of(name.end() - kUnique, name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    });
}

// Removes the part files of runs into folder that were killed: this user's files of a part
// file's name that no running image holds locked.
void clearKilledParts(const std::string& folder) {
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string path = it->path().string();
        struct stat info {};
        if (!isPartName(it->path().filename().string()) || ::lstat(path.c_str(), &info) != 0 ||
            !S_ISREG(info.st_mode) || info.st_uid != ::geteuid())
            continue;
        const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.c_str());
        ::close(fd);
    }
}

// The file being written beside the output: removed unless it is kept by a rename. It stays
// locked while it is written, so that another run into the same folder does not take it for the
// left-over of a killed one; the part files of killed runs are cleared when it is made.
class PartFile {
public:
    explicit PartFile(const std::string& output) : m_path(output + ".part-XXXXXX") {
        // Clearing and making part files happen under a lock on the folder, so that a part file
        // is never seen between its making and its lock.
        const std::string folder = fs::path(output).parent_path().string();
        const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folderFd >= 0 && ::flock(folderFd, LOCK_EX) == 0)
            clearKilledParts(folder);
        m_fd = ::mkostemp(m_path.data(), O_CLOEXEC);
        if (m_fd >= 0) {
            ::fchmod(m_fd, 0644);
            ::flock(m_fd, LOCK_EX);
        }
        if (folderFd >= 0)
            ::close(folderFd);
    }
    ~PartFile() {
        if (!m_kept)
            ::unlink(m_path.c_str());
        if (m_fd >= 0)
            ::close(m_fd);
    }
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    int fd() const { return m_fd; }
    const std::string& path() const { return m_path; }

    // Writes all of data; false with errno set when the system refuses.
    bool write(const unsigned char* data, std::size_t size) {
        while (size > 0) {
            const ssize_t written = ::write(m_fd, data, size);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                return false;
            data += written;
            size -= static_cast<std::size_t>(written);
        }
        return true;
    }

    // Starts the disc on what was written since the last call once that is 8 MiB or more, so
    // that the flush at the end has little left to wait for.
    void startWriteBack(std::uint64_t written) {
        constexpr std::uint64_t kStep = 8 << 20;
        if (written - m_flushed < kStep)
            return;
        ::sync_file_range(m_fd, static_cast<off_t>(m_flushed),
                          static_cast<off_t>(written - m_flushed), SYNC_FILE_RANGE_WRITE);
        m_flushed = written;
    }

    // Puts the whole file in place of output; false with errno set when that fails.
    bool keepAs(const std::string& output) {
        // Renamed while still open and locked: closed first, it could be cleared as a left-over.
        if (::fsync(m_fd) != 0 || ::rename(m_path.c_str(), output.c_str()) != 0)
            return false;
        m_kept = true;
        if (::close(std::exchange(m_fd, -1)) != 0)
            return false;
        const int folder =
            ::open(fs::path(output).parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder >= 0) {
            ::fsync(folder);
            ::close(folder);
        }
        return true;
    }

private:
    std::string m_path;
    int m_fd = -1;
    bool m_kept = false;
    std::uint64_t m_flushed = 0;
};

std::string systemError(const std::string& what) {
    if (errno == ENOSPC || errno == EDQUOT)
        return what + ": the disc is full.";
    return what + ": " + std::strerror(errno) + '.';
}

ImageResult written(ImageOutcome outcome, std::string text) {
    return {outcome, std::move(text)};
}

// Streams the image the library generates into part, with the Joliet label put into its
// descriptor, which lies in the first piece.
ImageResult writeStream(burn_source& source, PartFile& part, const std::string& jolietLabel,
                        const ImageProgress& progress, const std::atomic<bool>& cancel) {
    const auto total = static_cast<std::uint64_t>(source.get_size(&source));
    std::vector<unsigned char> buffer(kChunk);
    std::uint64_t done = 0;
    while (done < total) {
        if (cancel.load()) {
            source.cancel(&source);
            return written(ImageOutcome::Canceled, "Making the image was canceled.");
        }
        // The last piece is asked for at its own size: the library gives whole pieces only.
        const int size =
            source.read_xt(&source, buffer.data(),
                           static_cast<int>(std::min<std::uint64_t>(kChunk, total - done)));
        if (size <= 0) {
            source.cancel(&source);
            return written(ImageOutcome::Failed, failure("The image could not be made", size));
        }
        if (done == 0) {
            const auto joliet = isofs::descriptorAt(buffer.data(), static_cast<std::size_t>(size),
                                                    isofs::Descriptor::Joliet);
            if (!joliet) {
                source.cancel(&source);
                return written(ImageOutcome::Failed,
                               "The image could not be made: it has no Joliet descriptor.");
            }
            const std::string field = jolietLabelField(jolietLabel);
            std::copy(field.begin(), field.end(), buffer.begin() + *joliet + isofs::kLabelOffset);
        }
        if (!part.write(buffer.data(), static_cast<std::size_t>(size))) {
            const std::string text = systemError("Cannot write " + part.path());
            source.cancel(&source);
            return written(ImageOutcome::Failed, text);
        }
        done += static_cast<std::uint64_t>(size);
        part.startWriteBack(done);
        if (progress)
            progress(ImagePhase::Writing, done, total);
    }
    if (const std::string told = isofs::takeMessage(); !told.empty())
        return written(ImageOutcome::Failed, "The image could not be made: " + told);
    return written(ImageOutcome::Written, {});
}

} // namespace

std::optional<std::string> outputPlaceRefusal(const std::string& output) {
    std::error_code error;
    const std::string outputFolder = fs::path(output).parent_path().string();
    if (!fs::is_directory(outputFolder, error))
        return "The folder " + outputFolder + " for the image is not there.";
    if (fs::is_directory(output, error))
        return output + " is a folder: give the name of the image file.";
    // The image would take the place of a device or a pipe, not go into it.
    struct stat info {};
    if (::lstat(output.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
        return output + " is " +
               (S_ISBLK(info.st_mode) || S_ISCHR(info.st_mode) ? "a device"
                : S_ISFIFO(info.st_mode)                       ? "a pipe"
                : S_ISLNK(info.st_mode)                        ? "a symbolic link"
                                                               : "a socket") +
               ", not a file: give the name of an image file.";
    // The image is written beside output and renamed over it: the folder must take new files.
    if (::access(outputFolder.c_str(), W_OK | X_OK) != 0)
        return "No image can be written in " + outputFolder + ": " + std::strerror(errno) + '.';
    return std::nullopt;
}

std::string defaultVolumeLabel(const std::string& folder) {
    const std::string top = absolute(folder);
    const QString mountPoint = mountinfo::mountPointOf(qtPath(top));
    return defaultLabelText(top, QFile::encodeName(mountPoint).toStdString(),
                            mountinfo::volumeLabel(mountPoint).toStdString());
}

namespace {

// Every entry below the plan's folder.
void scanFolder(ImagePlan& plan) {
    std::optional<dev_t> topDevice;
    struct stat top {};
    if (isMountPoint(plan.folder) && ::stat(plan.folder.c_str(), &top) == 0)
        topDevice = top.st_dev;
    TreeScanner(plan, topDevice).scan(plan.folder, {});
}

} // namespace

ImagePlan planImage(const std::string& folder, const std::string& output,
                    const std::string& requestedLabel) {
    ImagePlan plan;
    plan.folder = absolute(folder);
    plan.output = absolute(output);
    plan.refusal = folderRefusal(plan.folder, plan.output);
    if (plan.refusal)
        return plan;
    plan.label =
        volumeLabel(requestedLabel.empty() ? defaultVolumeLabel(plan.folder) : requestedLabel);
    scanFolder(plan);
    plan.issues = checkImageNames(plan.entries);
    return plan;
}

std::vector<NameIssue> checkStagingFolder(const std::string& folder) {
    ImagePlan plan;
    plan.folder = absolute(folder);
    scanFolder(plan);
    std::vector<NameIssue> issues = checkImageNames(plan.entries);
    appendIssues(issues, checkCatalogueListings(plan.folder));
    return issues;
}

ImageResult makeImage(const ImagePlan& plan, bool verify, const ImageProgress& progress,
                      const std::atomic<bool>& cancel) {
    if (auto missing = isofs::start())
        return written(ImageOutcome::Failed, *missing);
    isofs::takeMessage();
    std::string error;
    const isofs::Image image = buildTree(plan, error);
    if (!image)
        return written(ImageOutcome::Failed, error);
    PartFile part(plan.output);
    if (part.fd() < 0)
        return written(ImageOutcome::Failed, systemError("Cannot write beside " + plan.output));
    burn_source* raw = nullptr;
    if (const int code =
            QUBRIX_ISO(iso_image_create_burn_source)(image.get(), writeOptions().get(), &raw);
        code < 0)
        return written(ImageOutcome::Failed, failure("The image could not be made", code));
    ImageResult result;
    {
        const BurnSource source(raw);
        result = writeStream(*source, part, plan.label.joliet, progress, cancel);
    }
    if (result.outcome != ImageOutcome::Written)
        return result;
    if (verify) {
        bool canceled = false;
        const auto difference = imageDifference(part.path(), plan, progress, cancel, canceled);
        if (canceled)
            return written(ImageOutcome::Canceled, "Making the image was canceled.");
        if (difference)
            return written(ImageOutcome::Failed,
                           "The image differs from " + plan.folder + ": " + *difference);
    }
    if (!part.keepAs(plan.output))
        return written(ImageOutcome::Failed, systemError("Cannot write " + plan.output));
    return written(
        ImageOutcome::Written,
        plan.output + " holds the disc labelled \"" + plan.label.joliet + "\"" +
            (verify ? ", read back and found equal to " + plan.folder + "." : ", not read back."));
}

} // namespace qubrix
