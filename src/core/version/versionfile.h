#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <optional>
#include <span>
#include <string>

namespace qubrix {

// Random access to the bytes of a file or of a block in memory, so that the locators can be
// run on untrusted files without reading them whole.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t size() const = 0;
    // Fills out from offset; false when the bytes are not all there.
    virtual bool read(std::uint64_t offset, std::span<std::uint8_t> out) const = 0;
};

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}
    std::uint64_t size() const override { return m_bytes.size(); }
    bool read(std::uint64_t offset, std::span<std::uint8_t> out) const override;

private:
    std::span<const std::uint8_t> m_bytes;
};

class FileSource final : public ByteSource {
public:
    // Opens regular files only: a pipe or a device found on a disc must not block or stream.
    explicit FileSource(const std::string& fileName);
    bool isOpen() const { return m_file.is_open(); }
    std::uint64_t size() const override { return m_size; }
    bool read(std::uint64_t offset, std::span<std::uint8_t> out) const override;

private:
    mutable std::ifstream m_file;
    std::uint64_t m_size = 0;
};

// Where a file keeps its version record.
struct FileExtent {
    std::uint64_t offset = 0;
    std::uint32_t size = 0;
};

// A version record never exceeds the 16-bit length of its root node.
constexpr std::uint32_t kMaxVersionRecordSize = 0xFFFF;

// ELF (32 or 64 bit, either byte order): the section ".qubrix_version", found through the
// section headers.
std::optional<FileExtent> findElfVersionSection(const ByteSource& file);
// PE (PE32 or PE32+): the RT_VERSION entry of the resource directory, preferring the name
// VS_VERSION_INFO (1), in its first language.
std::optional<FileExtent> findPeVersionResource(const ByteSource& file);
// Either of the two, told apart by the file's magic bytes.
std::optional<FileExtent> findVersionRecord(const ByteSource& file);

// The size of fileName's version record, 0 when it has none or cannot be read. Stands in for
// GetFileVersionInfoSize.
std::uint32_t fileVersionInfoSize(const std::string& fileName);
// Copies up to size bytes of fileName's version record into block; what the record does not
// fill is zeroed. Stands in for GetFileVersionInfo.
bool fileVersionInfo(const std::string& fileName, std::uint32_t size, std::uint8_t* block);

} // namespace qubrix
