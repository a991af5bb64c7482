#include "medium/imagewriter.h"

#include "medium/isofs.h"

#include <cstring>
#include <filesystem>
#include <map>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qubrix {

namespace {

constexpr std::size_t kChunk = 64 * 1024;

struct ReadOptsFree {
    void operator()(IsoReadOpts* opts) const { QUBRIX_ISO(iso_read_opts_free)(opts); }
};
struct DataSourceUnref {
    void operator()(IsoDataSource* source) const { QUBRIX_ISO(iso_data_source_unref)(source); }
};
struct DirIterFree {
    void operator()(IsoDirIter* iter) const { QUBRIX_ISO(iso_dir_iter_free)(iter); }
};

// Every node of the image below dir by its path, names joined by '/'.
void collect(IsoDir* dir, const std::string& prefix, std::map<std::string, IsoNode*>& nodes) {
    IsoDirIter* raw = nullptr;
    if (QUBRIX_ISO(iso_dir_get_children)(dir, &raw) != 1)
        return;
    const std::unique_ptr<IsoDirIter, DirIterFree> iter(raw);
    IsoNode* node = nullptr;
    while (QUBRIX_ISO(iso_dir_iter_next)(iter.get(), &node) == 1) {
        const std::string path = prefix + QUBRIX_ISO(iso_node_get_name)(node);
        nodes.emplace(path, node);
        if (QUBRIX_ISO(iso_node_get_type)(node) == LIBISO_DIR)
            collect(reinterpret_cast<IsoDir*>(node), path + '/', nodes);
    }
}

bool readFull(int fd, char* buffer, std::size_t size) {
    while (size > 0) {
        const ssize_t got = ::read(fd, buffer, size);
        if (got <= 0)
            return false;
        buffer += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

bool readFull(IsoStream* stream, char* buffer, std::size_t size) {
    while (size > 0) {
        const int got = QUBRIX_ISO(iso_stream_read)(stream, buffer, size);
        if (got <= 0)
            return false;
        buffer += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

// Compares the content of the image's file with the folder's, chunk by chunk.
class ContentComparer {
public:
    ContentComparer(const ImageProgress& progress, const std::atomic<bool>& cancel,
                    std::uint64_t total)
        : m_progress(progress), m_cancel(cancel), m_total(total), m_ours(kChunk), m_theirs(kChunk) {
    }

    bool canceled() const { return m_canceled; }

    std::optional<std::string> compare(IsoFile* file, const std::string& source,
                                       std::uint64_t size) {
        const int fd = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return "cannot read " + source + " again.";
        IsoStream* stream = QUBRIX_ISO(iso_file_get_stream)(file);
        if (QUBRIX_ISO(iso_stream_open)(stream) < 0) {
            ::close(fd);
            return "cannot read its copy of " + source + ".";
        }
        std::optional<std::string> difference;
        for (std::uint64_t left = size; left > 0 && !difference && !m_canceled;) {
            const std::size_t piece = left < kChunk ? static_cast<std::size_t>(left) : kChunk;
            if (!readFull(fd, m_ours.data(), piece) || !readFull(stream, m_theirs.data(), piece) ||
                std::memcmp(m_ours.data(), m_theirs.data(), piece) != 0)
                difference = "the content of " + source + " differs.";
            left -= piece;
            m_done += piece;
            m_canceled = m_cancel.load();
            if (m_progress)
                m_progress(ImagePhase::Verifying, m_done, m_total);
        }
        QUBRIX_ISO(iso_stream_close)(stream);
        ::close(fd);
        return difference;
    }

private:
    const ImageProgress& m_progress;
    const std::atomic<bool>& m_cancel;
    std::uint64_t m_total;
    std::uint64_t m_done = 0;
    bool m_canceled = false;
    std::vector<char> m_ours;
    std::vector<char> m_theirs;
};

IsoNodeType typeOf(ImageEntryType type) {
    switch (type) {
    case ImageEntryType::Folder:
        return LIBISO_DIR;
    case ImageEntryType::Link:
        return LIBISO_SYMLINK;
    default:
        return LIBISO_FILE;
    }
}

// How the node differs from the entry's file as it is now in what its inode tells, or nullopt.
std::optional<std::string> attributeDifference(IsoNode* node, const ImageEntry& entry,
                                               const std::string& source) {
    if (QUBRIX_ISO(iso_node_get_type)(node) != typeOf(entry.type))
        return entry.path + " has another type.";
    struct stat info {};
    if (::lstat(source.c_str(), &info) != 0)
        return "cannot look at " + source + " again.";
    if (entry.type != ImageEntryType::Link &&
        (QUBRIX_ISO(iso_node_get_mode)(node) & 07777) != masteredMode(entry.type, info.st_mode))
        return entry.path + " has another mode.";
    if (QUBRIX_ISO(iso_node_get_mtime)(node) != info.st_mtime)
        return entry.path + " has another time.";
    std::error_code error;
    if (entry.type == ImageEntryType::Link &&
        QUBRIX_ISO(iso_symlink_get_dest)(reinterpret_cast<IsoSymlink*>(node)) !=
            std::filesystem::read_symlink(source, error).string())
        return entry.path + " leads elsewhere.";
    if (entry.type == ImageEntryType::File &&
        QUBRIX_ISO(iso_file_get_size)(reinterpret_cast<IsoFile*>(node)) != info.st_size)
        return entry.path + " has another size.";
    return std::nullopt;
}

// How the labels in the image's descriptors differ from the plan's, read from the file itself
// rather than through the library that wrote them; or nullopt.
std::optional<std::string> labelDifference(const std::string& image, const VolumeLabel& label) {
    std::vector<unsigned char> area(isofs::kFirstDescriptor + 16 * isofs::kBlockSize);
    const int fd = ::open(image.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return "cannot open " + image + ".";
    const ssize_t got = ::pread(fd, area.data(), area.size(), 0);
    ::close(fd);
    const std::size_t size = got < 0 ? 0 : static_cast<std::size_t>(got);
    const auto field = [&](isofs::Descriptor kind) -> std::optional<std::string> {
        const auto at = isofs::descriptorAt(area.data(), size, kind);
        if (!at)
            return std::nullopt;
        const auto* start = reinterpret_cast<const char*>(area.data() + *at + isofs::kLabelOffset);
        return std::string(start, kLabelFieldSize);
    };
    const auto iso = field(isofs::Descriptor::Primary);
    if (!iso)
        return "it has no ISO 9660 descriptor.";
    if (*iso != isoLabelField(label.iso))
        return "its label is not " + label.iso + '.';
    const auto joliet = field(isofs::Descriptor::Joliet);
    if (!joliet)
        return "it has no Joliet descriptor.";
    if (*joliet != jolietLabelField(label.joliet))
        return "its Joliet label is not " + label.joliet + '.';
    return std::nullopt;
}

} // namespace

std::optional<std::string> imageDifference(const std::string& image, const ImagePlan& plan,
                                           const ImageProgress& progress,
                                           const std::atomic<bool>& cancel, bool& canceled) {
    canceled = false;
    if (auto missing = isofs::start())
        return *missing;
    IsoDataSource* rawSource = nullptr;
    if (QUBRIX_ISO(iso_data_source_new_from_file)(image.c_str(), &rawSource) < 0)
        return "cannot open " + image + ".";
    const std::unique_ptr<IsoDataSource, DataSourceUnref> source(rawSource);
    IsoReadOpts* rawOpts = nullptr;
    QUBRIX_ISO(iso_read_opts_new)(&rawOpts, 0);
    const std::unique_ptr<IsoReadOpts, ReadOptsFree> opts(rawOpts);
    IsoImage* rawImage = nullptr;
    QUBRIX_ISO(iso_image_new)("", &rawImage);
    const isofs::Image read(rawImage);
    if (const int code = QUBRIX_ISO(iso_image_import)(rawImage, source.get(), opts.get(), nullptr);
        code < 0)
        return "it cannot be read: " + std::string(QUBRIX_ISO(iso_error_to_msg)(code));
    isofs::takeMessage();
    if (auto difference = labelDifference(image, plan.label))
        return difference;
    struct stat top {};
    if (::stat(plan.folder.c_str(), &top) != 0)
        return "cannot look at " + plan.folder + " again.";
    if ((QUBRIX_ISO(iso_node_get_mode)(
             reinterpret_cast<IsoNode*>(QUBRIX_ISO(iso_image_get_root)(rawImage))) &
         07777) != masteredMode(ImageEntryType::Folder, top.st_mode))
        return "its top has another mode.";
    std::map<std::string, IsoNode*> nodes;
    collect(QUBRIX_ISO(iso_image_get_root)(rawImage), {}, nodes);
    ContentComparer contents(progress, cancel, plan.fileBytes);
    std::size_t expected = 0;
    for (const ImageEntry& entry : plan.entries) {
        if (leftOutOfImage(entry.type))
            continue;
        ++expected;
        const auto found = nodes.find(entry.path);
        if (found == nodes.end())
            return entry.path + " is missing.";
        const std::string path = plan.folder + '/' + entry.path;
        if (auto difference = attributeDifference(found->second, entry, path))
            return difference;
        if (entry.type == ImageEntryType::File) {
            auto difference =
                contents.compare(reinterpret_cast<IsoFile*>(found->second), path, entry.size);
            if ((canceled = contents.canceled()))
                return std::nullopt;
            if (difference)
                return difference;
        }
    }
    if (nodes.size() != expected)
        return "it holds entries that the folder does not.";
    return std::nullopt;
}

} // namespace qubrix
