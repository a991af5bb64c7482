#include "core/version/versionfile.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <vector>

namespace qubrix {
namespace {

constexpr std::string_view kVersionSection = ".qubrix_version";
constexpr std::uint32_t kElfNoBits = 8;
constexpr std::uint64_t kElfExtendedIndex = 0xFFFF;
// Far more sections than any linker writes; a header claiming more is not worth walking.
constexpr std::uint64_t kMaxElfSections = 1 << 20;
constexpr std::uint32_t kPeSignature = 0x00004550;
constexpr std::uint32_t kResourceVersion = 16;
constexpr std::uint32_t kVersionInfoName = 1;
constexpr std::uint32_t kResourceSubdirectory = 0x80000000;

// Reads integers of the file's byte order. A read past the end yields 0 and marks the reader
// failed, so a run of fields is read first and checked once.
class Fields {
public:
    Fields(const ByteSource& file, bool bigEndian) : m_file(file), m_bigEndian(bigEndian) {}

    std::uint64_t get(std::uint64_t offset, std::size_t width) {
        std::array<std::uint8_t, 8> bytes{};
        if (!m_file.read(offset, std::span(bytes).first(width))) {
            m_failed = true;
            return 0;
        }
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < width; ++i)
            value |= std::uint64_t{bytes[m_bigEndian ? width - 1 - i : i]} << 8 * i;
        return value;
    }

    bool ok() const { return !m_failed; }
    const ByteSource& file() const { return m_file; }

private:
    const ByteSource& m_file;
    bool m_bigEndian;
    bool m_failed = false;
};

// Accepts an extent only when it lies inside the file, cut to the largest record there is.
std::optional<FileExtent> recordExtent(const ByteSource& file, std::uint64_t offset,
                                       std::uint64_t size) {
    if (size == 0 || offset > file.size() || size > file.size() - offset)
        return std::nullopt;
    return FileExtent{
        offset, static_cast<std::uint32_t>(std::min<std::uint64_t>(size, kMaxVersionRecordSize))};
}

struct ElfShape {
    std::size_t sectionHeaderOffset;
    std::size_t sectionHeaderEntrySize;
    std::size_t sectionCount;
    std::size_t namesSection;
    std::size_t word;
    std::size_t sectionSize;
    std::size_t sectionOffset;
    std::size_t sectionLength;
    std::size_t sectionLink;
};
constexpr ElfShape kElf32{0x20, 0x2E, 0x30, 0x32, 4, 40, 16, 20, 24};
constexpr ElfShape kElf64{0x28, 0x3A, 0x3C, 0x3E, 8, 64, 24, 32, 40};

struct ElfSection {
    std::uint64_t name = 0;
    std::uint64_t type = 0;
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
    std::uint64_t link = 0;
};

class ElfReader {
public:
    ElfReader(const ByteSource& file, const ElfShape& shape, bool bigEndian)
        : m_fields(file, bigEndian), m_shape(shape) {}

    std::optional<FileExtent> findVersionSection() {
        const std::uint64_t tableOffset = m_fields.get(m_shape.sectionHeaderOffset, m_shape.word);
        m_entrySize = m_fields.get(m_shape.sectionHeaderEntrySize, 2);
        std::uint64_t count = m_fields.get(m_shape.sectionCount, 2);
        std::uint64_t namesIndex = m_fields.get(m_shape.namesSection, 2);
        if (!m_fields.ok() || tableOffset == 0 || tableOffset >= file().size() ||
            m_entrySize < m_shape.sectionSize)
            return std::nullopt;
        m_tableOffset = tableOffset;
        // Files with many sections keep the true count and names index in section 0.
        if (count == 0 || namesIndex == kElfExtendedIndex) {
            const std::optional<ElfSection> first = section(0);
            if (!first)
                return std::nullopt;
            count = count == 0 ? first->size : count;
            namesIndex = namesIndex == kElfExtendedIndex ? first->link : namesIndex;
        }
        count = std::min({count, kMaxElfSections, (file().size() - tableOffset) / m_entrySize});
        if (namesIndex >= count)
            return std::nullopt;
        const std::optional<ElfSection> names = section(namesIndex);
        if (!names || names->offset > file().size() || names->size > file().size() - names->offset)
            return std::nullopt;
        for (std::uint64_t i = 1; i < count; ++i) {
            const std::optional<ElfSection> candidate = section(i);
            if (candidate && candidate->type != kElfNoBits && isNamed(*names, candidate->name))
                return recordExtent(file(), candidate->offset, candidate->size);
        }
        return std::nullopt;
    }

private:
    const ByteSource& file() const { return m_fields.file(); }

    std::optional<ElfSection> section(std::uint64_t index) {
        const std::uint64_t at = m_tableOffset + index * m_entrySize;
        ElfSection s;
        s.name = m_fields.get(at, 4);
        s.type = m_fields.get(at + 4, 4);
        s.offset = m_fields.get(at + m_shape.sectionOffset, m_shape.word);
        s.size = m_fields.get(at + m_shape.sectionLength, m_shape.word);
        s.link = m_fields.get(at + m_shape.sectionLink, 4);
        if (!m_fields.ok())
            return std::nullopt;
        return s;
    }

    // The name, with its terminating zero, must lie inside the names section.
    bool isNamed(const ElfSection& names, std::uint64_t nameOffset) const {
        const std::size_t length = kVersionSection.size() + 1;
        if (nameOffset > names.size || names.size - nameOffset < length)
            return false;
        std::array<std::uint8_t, kVersionSection.size() + 1> bytes{};
        return file().read(names.offset + nameOffset, bytes) &&
               std::memcmp(bytes.data(), kVersionSection.data(), kVersionSection.size()) == 0 &&
               bytes.back() == 0;
    }

    Fields m_fields;
    const ElfShape& m_shape;
    std::uint64_t m_tableOffset = 0;
    std::uint64_t m_entrySize = 0;
};

struct PeSection {
    std::uint32_t address = 0;
    std::uint32_t rawSize = 0;
    std::uint32_t rawOffset = 0;
};

class PeReader {
public:
    explicit PeReader(const ByteSource& file) : m_fields(file, false) {}

    std::optional<FileExtent> findVersionResource() {
        if (m_fields.get(0, 2) != 0x5A4D)
            return std::nullopt;
        const std::uint64_t header = m_fields.get(0x3C, 4);
        if (m_fields.get(header, 4) != kPeSignature)
            return std::nullopt;
        const std::uint64_t sectionCount = m_fields.get(header + 6, 2);
        const std::uint64_t optionalSize = m_fields.get(header + 20, 2);
        const std::uint64_t optional = header + 24;
        const std::uint64_t magic = m_fields.get(optional, 2);
        if (!m_fields.ok() || (magic != 0x10B && magic != 0x20B))
            return std::nullopt;
        const bool plus = magic == 0x20B;
        const std::uint64_t directories = optional + (plus ? 112 : 96);
        const std::uint64_t directoryCount = m_fields.get(directories - 4, 4);
        const std::uint64_t resourceEntry = directories + 2 * 8;
        if (directoryCount <= 2 || resourceEntry + 8 > optional + optionalSize)
            return std::nullopt;
        m_root = static_cast<std::uint32_t>(m_fields.get(resourceEntry, 4));
        readSections(optional + optionalSize, sectionCount);
        if (!m_fields.ok() || m_root == 0)
            return std::nullopt;
        return walkResources();
    }

private:
    void readSections(std::uint64_t at, std::uint64_t count) {
        for (std::uint64_t i = 0; i < count && m_fields.ok(); ++i, at += 40) {
            PeSection s;
            s.address = static_cast<std::uint32_t>(m_fields.get(at + 12, 4));
            s.rawSize = static_cast<std::uint32_t>(m_fields.get(at + 16, 4));
            s.rawOffset = static_cast<std::uint32_t>(m_fields.get(at + 20, 4));
            m_sections.push_back(s);
        }
    }

    // The file offset of width bytes at rva, when they lie in one section's raw data.
    std::optional<std::uint64_t> fileOffset(std::uint64_t rva, std::uint64_t width) const {
        for (const PeSection& s : m_sections) {
            if (rva >= s.address && rva - s.address < s.rawSize &&
                width <= s.rawSize - (rva - s.address))
                return std::uint64_t{s.rawOffset} + (rva - s.address);
        }
        return std::nullopt;
    }

    std::uint64_t readRva(std::uint64_t rva, std::size_t width) {
        const std::optional<std::uint64_t> at = fileOffset(rva, width);
        if (!at) {
            m_failed = true;
            return 0;
        }
        return m_fields.get(*at, width);
    }

    struct Entry {
        std::uint32_t id;
        std::uint32_t target;
    };

    // The entries of the directory at offset within the resource tree; named entries come
    // first and never match an id.
    std::optional<Entry> findEntry(std::uint32_t directory, std::optional<std::uint32_t> id) {
        const std::uint64_t base = std::uint64_t{m_root} + (directory & ~kResourceSubdirectory);
        const std::uint64_t count = readRva(base + 12, 2) + readRva(base + 14, 2);
        std::optional<Entry> first;
        for (std::uint64_t i = 0; i < count && ok(); ++i) {
            const Entry entry{static_cast<std::uint32_t>(readRva(base + 16 + 8 * i, 4)),
                              static_cast<std::uint32_t>(readRva(base + 20 + 8 * i, 4))};
            if (id && entry.id == *id)
                return ok() ? std::optional(entry) : std::nullopt;
            if (!first)
                first = entry;
        }
        return ok() ? first : std::nullopt;
    }

    bool ok() const { return m_fields.ok() && !m_failed; }

    // Type, name, language: three levels and no more, so a directory that points back at
    // itself cannot send the walk round in circles.
    std::optional<FileExtent> walkResources() {
        const std::optional<Entry> type = findEntry(0, kResourceVersion);
        if (!type || type->id != kResourceVersion || !(type->target & kResourceSubdirectory))
            return std::nullopt;
        const std::optional<Entry> name = findEntry(type->target, kVersionInfoName);
        if (!name || !(name->target & kResourceSubdirectory))
            return std::nullopt;
        const std::optional<Entry> language = findEntry(name->target, std::nullopt);
        if (!language || (language->target & kResourceSubdirectory))
            return std::nullopt;
        const std::uint64_t data = std::uint64_t{m_root} + language->target;
        const std::uint64_t rva = readRva(data, 4);
        const std::uint64_t size =
            std::min<std::uint64_t>(readRva(data + 4, 4), kMaxVersionRecordSize);
        const std::optional<std::uint64_t> at = fileOffset(rva, size);
        if (!ok() || !at)
            return std::nullopt;
        return recordExtent(m_fields.file(), *at, size);
    }

    Fields m_fields;
    std::uint32_t m_root = 0;
    std::vector<PeSection> m_sections;
    bool m_failed = false;
};

} // namespace

bool MemorySource::read(std::uint64_t offset, std::span<std::uint8_t> out) const {
    if (offset > m_bytes.size() || out.size() > m_bytes.size() - offset)
        return false;
    std::copy_n(m_bytes.begin() + static_cast<std::ptrdiff_t>(offset), out.size(), out.begin());
    return true;
}

FileSource::FileSource(const std::string& fileName) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(fileName, error))
        return;
    m_size = std::filesystem::file_size(fileName, error);
    if (!error)
        m_file.open(fileName, std::ios::binary);
}

bool FileSource::read(std::uint64_t offset, std::span<std::uint8_t> out) const {
    if (!m_file.is_open() || offset > m_size || out.size() > m_size - offset)
        return false;
    m_file.clear();
    m_file.seekg(static_cast<std::streamoff>(offset));
    m_file.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(out.size()));
    return m_file.gcount() == static_cast<std::streamsize>(out.size());
}

std::optional<FileExtent> findElfVersionSection(const ByteSource& file) {
    std::array<std::uint8_t, 6> ident{};
    if (!file.read(0, ident) || std::memcmp(ident.data(),
                                            "\x7F"
                                            "ELF",
                                            4) != 0)
        return std::nullopt;
    const std::uint8_t elfClass = ident[4];
    const std::uint8_t byteOrder = ident[5];
    if ((elfClass != 1 && elfClass != 2) || (byteOrder != 1 && byteOrder != 2))
        return std::nullopt;
    return ElfReader(file, elfClass == 1 ? kElf32 : kElf64, byteOrder == 2).findVersionSection();
}

std::optional<FileExtent> findPeVersionResource(const ByteSource& file) {
    return PeReader(file).findVersionResource();
}

std::optional<FileExtent> findVersionRecord(const ByteSource& file) {
    std::array<std::uint8_t, 2> magic{};
    if (!file.read(0, magic))
        return std::nullopt;
    if (magic[0] == 'M' && magic[1] == 'Z')
        return findPeVersionResource(file);
    return findElfVersionSection(file);
}

std::uint32_t fileVersionInfoSize(const std::string& fileName) {
    const FileSource file(fileName);
    const std::optional<FileExtent> extent = findVersionRecord(file);
    return extent ? extent->size : 0;
}

bool fileVersionInfo(const std::string& fileName, std::uint32_t size, std::uint8_t* block) {
    const FileSource file(fileName);
    const std::optional<FileExtent> extent = findVersionRecord(file);
    if (!extent || block == nullptr)
        return false;
    const std::uint32_t count = std::min(size, extent->size);
    std::fill_n(block + count, size - count, std::uint8_t{0});
    return file.read(extent->offset, std::span(block, count));
}

} // namespace qubrix
