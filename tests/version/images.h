#pragma once

// Small ELF and PE files around a version record, built in memory for the reader's tests and
// the fuzzers' seeds. Offsets are the ones the formats fix; tests patch them to damage files.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace qubrix::images {

inline void put(std::vector<std::uint8_t>& out, std::size_t at, std::uint64_t value,
                std::size_t width, bool bigEndian = false) {
    if (out.size() < at + width)
        out.resize(at + width);
    for (std::size_t i = 0; i < width; ++i)
        out[at + (bigEndian ? width - 1 - i : i)] = static_cast<std::uint8_t>(value >> 8 * i);
}

inline void putBytes(std::vector<std::uint8_t>& out, std::size_t at,
                     std::span<const std::uint8_t> bytes) {
    if (out.size() < at + bytes.size())
        out.resize(at + bytes.size());
    std::copy(bytes.begin(), bytes.end(), out.begin() + static_cast<std::ptrdiff_t>(at));
}

inline void putText(std::vector<std::uint8_t>& out, std::size_t at, std::string_view text) {
    putBytes(out, at, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

// Section names; the decoy's name only begins like ours.
constexpr std::string_view kElfNames = std::string_view("\0.shstrtab\0.qubrix_versions\0"
                                                        ".qubrix_version\0",
                                                        44);
constexpr std::size_t kElfNamesName = 1;
constexpr std::size_t kElfDecoyName = 11;
constexpr std::size_t kElfRecordName = 28;
constexpr std::size_t kElfRecordOffset = 0x100;

// Sections: 0 null, 1 .shstrtab, 2 the decoy, 3 .qubrix_version holding the record.
inline std::vector<std::uint8_t> elfImage(std::span<const std::uint8_t> record, bool is64 = true,
                                          bool bigEndian = false) {
    std::vector<std::uint8_t> out(kElfRecordOffset);
    putText(out, 0,
            "\x7F"
            "ELF");
    out[4] = is64 ? 2 : 1;
    out[5] = bigEndian ? 2 : 1;
    out[6] = 1;
    const std::size_t word = is64 ? 8 : 4;
    const std::size_t entrySize = is64 ? 64 : 40;
    put(out, 0x10, 2, 2, bigEndian);
    put(out, 0x14, 1, 4, bigEndian);
    putText(out, 0xC0, "decoy...");
    putBytes(out, kElfRecordOffset, record);
    const std::size_t namesOffset = out.size();
    putText(out, namesOffset, kElfNames);
    const std::size_t table = (out.size() + 7) & ~std::size_t{7};
    put(out, is64 ? 0x28 : 0x20, table, word, bigEndian);
    put(out, is64 ? 0x34 : 0x28, is64 ? 64 : 52, 2, bigEndian);
    put(out, is64 ? 0x3A : 0x2E, entrySize, 2, bigEndian);
    put(out, is64 ? 0x3C : 0x30, 4, 2, bigEndian);
    put(out, is64 ? 0x3E : 0x32, 1, 2, bigEndian);
    struct Section {
        std::size_t name, type, offset, size;
    };
    const Section sections[] = {{0, 0, 0, 0},
                                {kElfNamesName, 3, namesOffset, kElfNames.size()},
                                {kElfDecoyName, 1, 0xC0, 8},
                                {kElfRecordName, 1, kElfRecordOffset, record.size()}};
    for (std::size_t i = 0; i < 4; ++i) {
        const std::size_t at = table + i * entrySize;
        put(out, at, sections[i].name, 4, bigEndian);
        put(out, at + 4, sections[i].type, 4, bigEndian);
        put(out, at + (is64 ? 24 : 16), sections[i].offset, word, bigEndian);
        put(out, at + (is64 ? 32 : 20), sections[i].size, word, bigEndian);
    }
    put(out, table + 4 * entrySize - 1, 0, 1);
    return out;
}

// Where peImage puts things: the optional header, the resource section in the file and in
// memory, and the directories of the resource tree (offsets from the tree's root).
constexpr std::size_t kPeOptionalHeader = 0x58;
constexpr std::size_t kPeRawResources = 0x400;
constexpr std::uint32_t kPeResourceRva = 0x3000;
constexpr std::size_t kPeTypeDirectory = 0x20;
constexpr std::size_t kPeNameDirectory = 0x38;
constexpr std::size_t kPeDataEntry = 0x50;
constexpr std::size_t kPeRecord = 0x60;

// One section .rsrc; the tree holds an icon type (3) before the version type (16), then the
// name 1 and the language 0409.
inline std::vector<std::uint8_t> peImage(std::span<const std::uint8_t> record, bool plus = false) {
    std::vector<std::uint8_t> out(kPeRawResources);
    putText(out, 0, "MZ");
    put(out, 0x3C, 0x40, 4);
    putText(out, 0x40, std::string_view("PE\0\0", 4));
    put(out, 0x44, plus ? 0x8664 : 0x14C, 2);
    put(out, 0x46, 1, 2);
    const std::size_t optionalSize = plus ? 240 : 224;
    put(out, 0x54, optionalSize, 2);
    put(out, 0x56, 0x22, 2);
    put(out, kPeOptionalHeader, plus ? 0x20B : 0x10B, 2);
    const std::size_t directories = kPeOptionalHeader + (plus ? 112 : 96);
    put(out, directories - 4, 16, 4);
    const std::size_t resourcesSize = kPeRecord + record.size();
    put(out, directories + 16, kPeResourceRva, 4);
    put(out, directories + 20, resourcesSize, 4);
    const std::size_t section = kPeOptionalHeader + optionalSize;
    putText(out, section, ".rsrc");
    put(out, section + 8, resourcesSize, 4);
    put(out, section + 12, kPeResourceRva, 4);
    put(out, section + 16, (resourcesSize + 0x1FF) & ~std::size_t{0x1FF}, 4);
    put(out, section + 20, kPeRawResources, 4);

    const auto directory = [&](std::size_t at, std::size_t ids) {
        put(out, kPeRawResources + at + 14, ids, 2);
    };
    const auto entry = [&](std::size_t at, std::uint32_t id, std::uint32_t target) {
        put(out, kPeRawResources + at, id, 4);
        put(out, kPeRawResources + at + 4, target, 4);
    };
    directory(0, 2);
    entry(16, 3, 0x80000000 | kPeNameDirectory);
    entry(24, 16, 0x80000000 | kPeTypeDirectory);
    directory(kPeTypeDirectory, 1);
    entry(kPeTypeDirectory + 16, 1, 0x80000000 | kPeNameDirectory);
    directory(kPeNameDirectory, 1);
    entry(kPeNameDirectory + 16, 0x409, kPeDataEntry);
    put(out, kPeRawResources + kPeDataEntry, kPeResourceRva + kPeRecord, 4);
    put(out, kPeRawResources + kPeDataEntry + 4, record.size(), 4);
    putBytes(out, kPeRawResources + kPeRecord, record);
    out.resize(kPeRawResources + ((resourcesSize + 0x1FF) & ~std::size_t{0x1FF}));
    return out;
}

} // namespace qubrix::images
