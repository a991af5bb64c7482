#include "core/version/exever.h"
#include "core/version/versionfile.h"
#include "core/version/versionrecord.h"

#include "../version/images.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace qubrix {
namespace {

using Bytes = std::vector<std::uint8_t>;

VersionInfo ownLikeInfo() {
    VersionInfo info;
    info.fixed.fileVersionMS = 0x00030001;
    info.fixed.fileVersionLS = 0x00020009;
    info.fixed.productVersionMS = 0x00030001;
    info.fixed.productVersionLS = 0x00020009;
    info.fixed.fileOS = 4;
    info.fixed.fileType = 1;
    info.translations = {0x04E40409};
    info.stringTables = {{"040904E4",
                          {{"CompanyName", "Qubrix Software"},
                           {"FileDescription", "Qubrix menu program"},
                           {"FileVersion", "3.1.2.9"},
                           {"InternalName", "qubrix.exe"},
                           {"LegalCopyright", "Copyright © Qubrix Software"},
                           {"LegalTrademarks", ""},
                           {"OriginalFilename", "menu.exe"},
                           {"ProductName", "Qubrix"},
                           {"ProductVersion", "3.0.0.0"},
                           {"Comments", ""}}}};
    return info;
}

VersionInfo withFileVersion(const std::string& value) {
    VersionInfo info = ownLikeInfo();
    info.stringTables[0].strings[2].second = value;
    return info;
}

// A file written for one test and removed after it.
class TempFile {
public:
    explicit TempFile(const Bytes& bytes) {
        static int serial = 0;
        m_path =
            (std::filesystem::temp_directory_path() /
             ("qubrix_version_test_" + std::to_string(::getpid()) + "_" + std::to_string(serial++)))
                .string();
        std::ofstream(m_path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    ~TempFile() { std::filesystem::remove(m_path); }
    const char* path() const { return m_path.c_str(); }

private:
    std::string m_path;
};

TempFile elfFile(const VersionInfo& info) {
    return TempFile(images::elfImage(buildVersionRecord(info)));
}

std::size_t field(const TempFile& file, const char* name, char* buffer = nullptr,
                  std::size_t size = 0, std::uint32_t* number = nullptr) {
    return TExeVersion::GetFileVersionField(file.path(), name, buffer, size, number);
}

// Offset of the node whose UTF-16 key is name.
std::size_t nodeOffset(const Bytes& record, std::string_view name) {
    Bytes key;
    for (const char c : name) {
        key.push_back(static_cast<std::uint8_t>(c));
        key.push_back(0);
    }
    const auto found = std::search(record.begin(), record.end(), key.begin(), key.end());
    return static_cast<std::size_t>(found - record.begin()) - 6;
}

TEST(VersionRecord, FollowsTheStandardLayout) {
    const Bytes record = buildVersionRecord(ownLikeInfo());
    // Root: length, 52-byte fixed part, binary type, key, the fixed part at the next 32-bit
    // boundary with its signature.
    EXPECT_EQ(record[0] | record[1] << 8, static_cast<int>(record.size()));
    EXPECT_EQ(record[2] | record[3] << 8, 52);
    EXPECT_EQ(record[4] | record[5] << 8, 0);
    EXPECT_EQ(record[6], 'V');
    EXPECT_EQ(record[40] | record[41] << 8 | record[42] << 16 | record[43] << 24, 0xFEEF04BD);
    for (const std::string_view key :
         {"StringFileInfo", "040904E4", "FileVersion", "Comments", "VarFileInfo", "Translation"})
        EXPECT_EQ(nodeOffset(record, key) % 4, 0u) << key;
    // A text value's length counts UTF-16 units with the terminating zero.
    const std::size_t version = nodeOffset(record, "FileVersion");
    EXPECT_EQ(record[version + 2], 8);
    EXPECT_EQ(record[version + 4], 1);

    const std::optional<FixedFileInfo> fixed = readFixedFileInfo(record);
    ASSERT_TRUE(fixed);
    EXPECT_EQ(fixed->fileVersionMS, 0x00030001u);
    EXPECT_EQ(fixed->productVersionLS, 0x00020009u);
    EXPECT_EQ(fixed->fileOS, 4u);
    EXPECT_EQ(fixed->fileType, 1u);
}

TEST(VersionRecord, PathsAreCaseBlindAndTextsComeBackAsUtf8) {
    VersionInfo info = ownLikeInfo();
    info.stringTables[0].strings.emplace_back("Music", "G clef \xF0\x9D\x84\x9E");
    const Bytes record = buildVersionRecord(info);
    const auto text = [&](std::string_view path) {
        const std::optional<VersionValue> value = queryVersionValue(record, path);
        return value ? versionText(*value) : "<missing>";
    };
    EXPECT_EQ(text("\\StringFileInfo\\040904e4\\FILEVERSION"), "3.1.2.9");
    EXPECT_EQ(text("\\stringfileinfo\\040904E4\\LegalCopyright"), "Copyright © Qubrix Software");
    EXPECT_EQ(text("\\StringFileInfo\\040904E4\\Music"), "G clef \xF0\x9D\x84\x9E");
    EXPECT_EQ(text("\\StringFileInfo\\040904E4\\Comment"), "<missing>");
    EXPECT_EQ(text("\\StringFileInfo\\040704E4\\FileVersion"), "<missing>");
}

TEST(GetFileVersionField, ReadsTheRecordThroughTheFirstTranslation) {
    for (const bool is64 : {true, false}) {
        for (const bool bigEndian : {false, true}) {
            SCOPED_TRACE(testing::Message() << "64-bit " << is64 << ", big-endian " << bigEndian);
            const TempFile file(
                images::elfImage(buildVersionRecord(ownLikeInfo()), is64, bigEndian));
            std::array<char, 16> buffer{};
            std::uint32_t number = 1;
            EXPECT_EQ(field(file, "FileVersion", buffer.data(), buffer.size(), &number), 7u);
            EXPECT_STREQ(buffer.data(), "3.1.2.9");
            EXPECT_EQ(number, 0x03010209u);
            EXPECT_EQ(versionFieldText(file.path(), "ProductVersion"), "3.0.0.0");
            EXPECT_EQ(versionFieldText(file.path(), "originalfilename"), "menu.exe");
        }
    }
}

TEST(GetFileVersionField, OnlyTheFirstTranslationCounts) {
    VersionInfo info = ownLikeInfo();
    info.translations = {0x04E40407, 0x04E40409};
    info.stringTables.insert(info.stringTables.begin(),
                             {"040704e4", {{"FileVersion", "1.0"}, {"ProductName", "Qubrix"}}});
    const TempFile file = elfFile(info);
    EXPECT_EQ(versionFieldText(file.path(), "FileVersion"), "1.0");
    EXPECT_EQ(versionFieldText(file.path(), "ProductName"), "Qubrix");
    // Only under the second language.
    EXPECT_EQ(field(file, "OriginalFilename"), 0u);
}

TEST(GetFileVersionField, BufferAndNumberRules) {
    const TempFile file = elfFile(ownLikeInfo());
    EXPECT_EQ(field(file, "FileVersion"), 7u);

    std::array<char, 8> buffer;
    buffer.fill('#');
    EXPECT_EQ(field(file, "FileVersion", buffer.data(), 5), 7u);
    EXPECT_STREQ(buffer.data(), "3.1.");
    EXPECT_EQ(buffer[5], '#');

    buffer.fill('#');
    EXPECT_EQ(field(file, "FileVersion", buffer.data(), 8), 7u);
    EXPECT_STREQ(buffer.data(), "3.1.2.9");

    buffer.fill('#');
    EXPECT_EQ(field(file, "FileVersion", buffer.data(), 1), 7u);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(buffer[1], '#');
    buffer.fill('#');
    EXPECT_EQ(field(file, "FileVersion", buffer.data(), 0), 7u);
    EXPECT_EQ(buffer[0], '#');

    // A missing field leaves the buffer alone but still clears the number.
    std::uint32_t number = 42;
    EXPECT_EQ(field(file, "NoSuchField", buffer.data(), buffer.size(), &number), 0u);
    EXPECT_EQ(buffer[0], '#');
    EXPECT_EQ(number, 0u);
    EXPECT_EQ(field(file, "LegalTrademarks", buffer.data(), buffer.size(), &number), 0u);
    EXPECT_EQ(TExeVersion::GetFileVersionField(nullptr, "FileVersion", nullptr, 0, &number), 0u);
}

TEST(GetFileVersionField, FilesWithoutAUsableRecordGiveNothing) {
    VersionInfo noTranslation = ownLikeInfo();
    noTranslation.translations.clear();
    const TempFile text(Bytes{'h', 'e', 'l', 'l', 'o'});
    const TempFile noTranslationFile = elfFile(noTranslation);
    const std::string directory = std::filesystem::temp_directory_path().string();
    for (const char* name :
         {text.path(), noTranslationFile.path(), directory.c_str(), "/nonexistent/qubrix", ""})
        EXPECT_EQ(TExeVersion::GetFileVersionField(name, "FileVersion", nullptr, 0, nullptr), 0u)
            << name;
}

TEST(VersionFieldText, TrimsBlanksAndCutsLongTexts) {
    const std::string twoByteAtTheCut = std::string(258, 'a') + "©";
    VersionInfo info = withFileVersion(" \t 3.1.2.9 \r\n");
    info.stringTables[0].strings.emplace_back("Long", std::string(300, 'x'));
    info.stringTables[0].strings.emplace_back("Cut", twoByteAtTheCut);
    const TempFile file = elfFile(info);
    EXPECT_EQ(versionFieldText(file.path(), "FileVersion"), "3.1.2.9");
    EXPECT_EQ(versionFieldText(file.path(), "Long"), std::string(259, 'x'));
    // The © would straddle the cut: it goes whole rather than in half.
    EXPECT_EQ(versionFieldText(file.path(), "Cut"), std::string(258, 'a'));
}

TEST(VersionNumber, ReadsUpToFourPartsLeftAligned) {
    const std::pair<std::string_view, std::uint32_t> cases[] = {{"3.1.2.9", 0x03010209},
                                                                {"3.1", 0x03010000},
                                                                {"3", 0x03000000},
                                                                {"3,1,2,9", 0x03010209},
                                                                {"1.2.3.4.5", 0x01020304},
                                                                {"0x10.010.9", 0x10080900},
                                                                {"258.-1", 0x02FF0000},
                                                                {"3.x.2", 0x03000000},
                                                                {"3..2", 0x03020000},
                                                                {" 7. 8", 0x07080000},
                                                                {"08", 0x00000000},
                                                                {"", 0},
                                                                {"beta", 0},
                                                                {"2a.1", 0x02010000}};
    for (const auto& [text, number] : cases)
        EXPECT_EQ(versionNumber(text), number) << text;
}

TEST(VersionParts, SplitAtPointsSkippingEmptyParts) {
    struct Case {
        std::string_view text, major, minor, release, build;
    };
    const Case cases[] = {{"3.1.2.9", "3.", "1", "2", "9"},
                          {"3", "", "", "", ""},
                          {".1..2", ".", "2", "", ""},
                          {".1.2", ".", "2", "", ""},
                          {"3.1 beta.2", "3.", "1 beta", "2", ""},
                          {"", "", "", "", ""}};
    for (const Case& c : cases) {
        EXPECT_EQ(majorVersionPart(c.text), c.major) << c.text;
        EXPECT_EQ(versionPart(c.text, 1), c.minor) << c.text;
        EXPECT_EQ(versionPart(c.text, 2), c.release) << c.text;
        EXPECT_EQ(versionPart(c.text, 3), c.build) << c.text;
    }
}

TEST(PeVersionResource, IsReadFromPe32AndPe32Plus) {
    for (const bool plus : {false, true}) {
        const TempFile file(images::peImage(buildVersionRecord(ownLikeInfo()), plus));
        std::uint32_t number = 0;
        EXPECT_EQ(field(file, "FileVersion", nullptr, 0, &number), 7u) << plus;
        EXPECT_EQ(number, 0x03010209u);
        EXPECT_EQ(versionFieldText(file.path(), "CompanyName"), "Qubrix Software");
    }
}

// Every prefix of a good file: either the record is not found, or what is found lies inside.
TEST(Hostile, TruncatedFilesAreNeverReadPastTheirEnd) {
    const Bytes record = buildVersionRecord(ownLikeInfo());
    for (const Bytes& image : {images::elfImage(record), images::elfImage(record, false, true),
                               images::peImage(record), images::peImage(record, true)}) {
        for (std::size_t length = 0; length <= image.size(); ++length) {
            const Bytes prefix(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(length));
            const std::optional<FileExtent> extent = findVersionRecord(MemorySource(prefix));
            if (extent) {
                EXPECT_LE(extent->offset + extent->size, length);
            }
        }
        EXPECT_TRUE(findVersionRecord(MemorySource(image)));
    }
    for (std::size_t length = 0; length < record.size(); ++length) {
        const std::span<const std::uint8_t> prefix(record.data(), length);
        const std::optional<VersionValue> value =
            queryVersionValue(prefix, "\\StringFileInfo\\040904E4\\Comments");
        if (value) {
            EXPECT_LE(value->bytes.data() + value->bytes.size(), record.data() + length);
        }
    }
}

TEST(Hostile, DamagedRecordNodesEndTheWalk) {
    const Bytes good = buildVersionRecord(ownLikeInfo());
    const std::string_view path = "\\StringFileInfo\\040904E4\\ProductVersion";
    const auto damaged = [&](std::string_view node, std::size_t at, std::uint16_t value) {
        Bytes record = good;
        const std::size_t offset = nodeOffset(record, node) + at;
        record[offset] = static_cast<std::uint8_t>(value);
        record[offset + 1] = static_cast<std::uint8_t>(value >> 8);
        return record;
    };
    // A child of length 0 before the field: no progress is possible, so the walk stops.
    EXPECT_FALSE(queryVersionValue(damaged("CompanyName", 0, 0), path));
    EXPECT_FALSE(queryVersionValue(damaged("CompanyName", 0, 3), path));
    // Lengths running past the parent are cut to it; the field is still found.
    const Bytes longChild = damaged("FileVersion", 0, 0xFFFF);
    EXPECT_FALSE(queryVersionValue(longChild, path));
    const Bytes longRoot = damaged("VS_VERSION_INFO", 0, 0xFFFF);
    EXPECT_TRUE(queryVersionValue(longRoot, path));
    // A value length past its node ends at the node.
    const Bytes longValue = damaged("ProductVersion", 2, 0x7FFF);
    const std::optional<VersionValue> value = queryVersionValue(longValue, path);
    ASSERT_TRUE(value);
    EXPECT_EQ(versionText(*value), "3.0.0.0");

    // The last node's key runs into the end of the record without a terminator, at odd length.
    Bytes unterminated = good;
    const std::size_t translation = nodeOffset(unterminated, "Translation");
    unterminated.resize(translation + 6 + 5);
    std::fill(unterminated.begin() + static_cast<std::ptrdiff_t>(translation) + 6,
              unterminated.end(), 'T');
    EXPECT_FALSE(queryVersionValue(unterminated, "\\VarFileInfo\\Translation"));
}

TEST(Hostile, PeResourceTreeDamage) {
    const Bytes good = images::peImage(buildVersionRecord(ownLikeInfo()));
    const auto with = [&](std::initializer_list<std::pair<std::size_t, std::uint32_t>> patches) {
        Bytes image = good;
        for (const auto& [resourceOffset, value] : patches)
            images::put(image, images::kPeRawResources + resourceOffset, value, 4);
        return findVersionRecord(MemorySource(image));
    };
    // A name directory pointing back at the root, or at itself: the walk does not go round.
    EXPECT_FALSE(with({{images::kPeTypeDirectory + 20, 0x80000000}}));
    EXPECT_FALSE(with({{images::kPeNameDirectory + 20, 0x80000000 | images::kPeNameDirectory}}));
    // No version type at all; a version type that is not a directory.
    EXPECT_FALSE(with({{24, 17}}));
    EXPECT_FALSE(with({{28, images::kPeDataEntry}}));
    // Data outside every section, a directory offset far outside the tree.
    EXPECT_FALSE(with({{images::kPeDataEntry, 0x7FFFFFF0}}));
    EXPECT_FALSE(with({{28, 0x80000000 | 0x7FFFFFF0}}));
    // Entry counts far beyond the tree: the version type is still found before the end, and
    // without one the scan stops at the end of the section.
    EXPECT_TRUE(with({{12, 0xFFFFFFFF}}));
    EXPECT_FALSE(with({{12, 0xFFFFFFFF}, {24, 17}}));
}

TEST(Hostile, ElfHeaderDamage) {
    const Bytes good = images::elfImage(buildVersionRecord(ownLikeInfo()));
    const std::size_t table = good[0x28] | good[0x29] << 8;
    const auto with = [&](std::size_t offset, std::uint64_t value, std::size_t width) {
        Bytes image = good;
        images::put(image, offset, value, width);
        return findVersionRecord(MemorySource(image));
    };
    EXPECT_FALSE(with(0x3E, 9, 2));                              // names section past the table
    EXPECT_FALSE(with(0x28, good.size() + 64, 8));               // table past the end
    EXPECT_FALSE(with(0x28, ~std::uint64_t{0}, 8));              // offsets that would wrap
    EXPECT_FALSE(with(0x3A, 16, 2));                             // entries too small
    EXPECT_FALSE(with(table + 3 * 64 + 24, good.size() - 4, 8)); // record runs past the end
    EXPECT_FALSE(with(table + 3 * 64 + 32, 0, 8));               // empty record section
    EXPECT_FALSE(with(table + 3 * 64, 40, 4));                   // name running out of its section
    EXPECT_FALSE(with(table + 3 * 64 + 4, 8, 4));                // no bytes in the file (NOBITS)
    EXPECT_FALSE(with(table + 64 + 24, ~std::uint64_t{0} - 8, 8)); // names section wraps

    // Many-section files keep the names index in section 0; that is followed, not refused.
    Bytes extended = good;
    images::put(extended, 0x3E, 0xFFFF, 2);
    images::put(extended, table + 40, 1, 4);
    EXPECT_TRUE(findVersionRecord(MemorySource(extended)));
}

} // namespace
} // namespace qubrix
