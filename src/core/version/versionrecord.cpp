#include "core/version/versionrecord.h"

#include "core/text/ascii.h"
#include "core/text/utf8.h"

#include <algorithm>

namespace qubrix {
namespace {

constexpr std::uint32_t kFixedSignature = 0xFEEF04BD;
constexpr std::uint32_t kFixedStructVersion = 0x00010000;
constexpr std::size_t kFixedSize = 13 * 4;
constexpr std::size_t kNodeHeaderSize = 6;
constexpr std::uint16_t kBinaryType = 0;
constexpr std::uint16_t kTextType = 1;

std::size_t align4(std::size_t offset) {
    return (offset + 3) & ~std::size_t{3};
}

std::uint16_t get16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

std::uint32_t get32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return get16(bytes, at) | std::uint32_t{get16(bytes, at + 2)} << 16;
}

// The definitions are our own files, so invalid UTF-8 is not expected; a stray byte becomes
// U+FFFD rather than being dropped.
std::u16string toUtf16(std::string_view utf8) {
    std::u16string out;
    for (std::size_t pos = 0; pos < utf8.size();) {
        const char32_t c = decodeUtf8(utf8, pos).value_or(kReplacementCharacter);
        if (c >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

class RecordWriter {
public:
    // Starts a node at the next 32-bit boundary; close() fills in its length once its value and
    // children are written.
    std::size_t open(std::string_view key, std::uint16_t type, std::uint16_t valueLength,
                     std::span<const std::uint8_t> value) {
        padTo4();
        const std::size_t start = m_out.size();
        put16(0);
        put16(valueLength);
        put16(type);
        putText(toUtf16(key));
        padTo4();
        m_out.insert(m_out.end(), value.begin(), value.end());
        return start;
    }

    void close(std::size_t start) {
        const auto length = static_cast<std::uint16_t>(m_out.size() - start);
        m_out[start] = static_cast<std::uint8_t>(length);
        m_out[start + 1] = static_cast<std::uint8_t>(length >> 8);
    }

    void leaf(std::string_view key, std::uint16_t type, std::uint16_t valueLength,
              std::span<const std::uint8_t> value) {
        close(open(key, type, valueLength, value));
    }

    std::vector<std::uint8_t> take() { return std::move(m_out); }

private:
    void put16(std::uint16_t v) {
        m_out.push_back(static_cast<std::uint8_t>(v));
        m_out.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    void putText(const std::u16string& text) {
        for (const char16_t unit : text)
            put16(unit);
        put16(0);
    }
    void padTo4() { m_out.resize(align4(m_out.size()), 0); }

    std::vector<std::uint8_t> m_out;
};

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}

std::vector<std::uint8_t> fixedBytes(const FixedFileInfo& fixed) {
    std::vector<std::uint8_t> out;
    for (const std::uint32_t v :
         {kFixedSignature, kFixedStructVersion, fixed.fileVersionMS, fixed.fileVersionLS,
          fixed.productVersionMS, fixed.productVersionLS, fixed.fileFlagsMask, fixed.fileFlags,
          fixed.fileOS, fixed.fileType, fixed.fileSubtype, 0u, 0u})
        put32(out, v);
    return out;
}

void writeString(RecordWriter& writer, std::string_view name, std::string_view value) {
    const std::u16string text = toUtf16(value);
    std::vector<std::uint8_t> bytes;
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<std::uint8_t>(unit));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    writer.leaf(name, kTextType, static_cast<std::uint16_t>(text.size() + 1), bytes);
}

// Offsets of one node inside a record, each already cut to the node's end.
struct Node {
    std::size_t keyBegin = 0;
    std::size_t keyEnd = 0;
    std::size_t valueBegin = 0;
    std::size_t valueEnd = 0;
    std::size_t childrenBegin = 0;
    std::size_t end = 0;
    bool text = false;
};

// Reads the node at offset at, which must end by limit (limit <= record size). A length that
// runs past its parent is cut to the parent; a length shorter than the header, or a key
// without its terminating zero, makes the node unreadable.
std::optional<Node> readNode(std::span<const std::uint8_t> record, std::size_t at,
                             std::size_t limit) {
    if (at > limit || limit - at < kNodeHeaderSize)
        return std::nullopt;
    const std::size_t length = get16(record, at);
    if (length < kNodeHeaderSize)
        return std::nullopt;
    Node node;
    node.end = std::min(at + length, limit);
    const std::size_t valueLength = get16(record, at + 2);
    node.text = get16(record, at + 4) == kTextType;
    node.keyBegin = at + kNodeHeaderSize;
    std::size_t k = node.keyBegin;
    while (k + 2 <= node.end && get16(record, k) != 0)
        k += 2;
    if (k + 2 > node.end)
        return std::nullopt;
    node.keyEnd = k;
    node.valueBegin = std::min(align4(k + 2), node.end);
    node.valueEnd =
        std::min(node.valueBegin + (node.text ? 2 * valueLength : valueLength), node.end);
    node.childrenBegin = std::min(align4(node.valueEnd), node.end);
    return node;
}

bool keyIs(std::span<const std::uint8_t> record, const Node& node, std::string_view name) {
    if (node.keyEnd - node.keyBegin != 2 * name.size())
        return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char32_t unit = get16(record, node.keyBegin + 2 * i);
        const char32_t wanted = static_cast<unsigned char>(name[i]);
        // Keys are ASCII; a locale's case rules must not decide whether "FileVersion" is found.
        if (upperAscii(unit) != upperAscii(wanted))
            return false;
    }
    return true;
}

// Every step moves on by at least the node header, so a walk over damaged children ends.
std::optional<Node> findChild(std::span<const std::uint8_t> record, const Node& parent,
                              std::string_view name) {
    std::size_t at = parent.childrenBegin;
    while (at < parent.end) {
        const std::optional<Node> child = readNode(record, at, parent.end);
        if (!child)
            return std::nullopt;
        if (keyIs(record, *child, name))
            return child;
        at = align4(child->end);
    }
    return std::nullopt;
}

} // namespace

std::vector<std::uint8_t> buildVersionRecord(const VersionInfo& info) {
    RecordWriter writer;
    const std::vector<std::uint8_t> fixed = fixedBytes(info.fixed);
    const std::size_t root = writer.open("VS_VERSION_INFO", kBinaryType,
                                         static_cast<std::uint16_t>(fixed.size()), fixed);

    const std::size_t stringInfo = writer.open("StringFileInfo", kTextType, 0, {});
    for (const VersionStringTable& table : info.stringTables) {
        const std::size_t tableNode = writer.open(table.key, kTextType, 0, {});
        for (const auto& [name, value] : table.strings)
            writeString(writer, name, value);
        writer.close(tableNode);
    }
    writer.close(stringInfo);

    const std::size_t varInfo = writer.open("VarFileInfo", kTextType, 0, {});
    std::vector<std::uint8_t> translations;
    for (const std::uint32_t entry : info.translations)
        put32(translations, entry);
    writer.leaf("Translation", kBinaryType, static_cast<std::uint16_t>(translations.size()),
                translations);
    writer.close(varInfo);

    writer.close(root);
    return writer.take();
}

std::optional<VersionValue> queryVersionValue(std::span<const std::uint8_t> record,
                                              std::string_view path) {
    std::optional<Node> node = readNode(record, 0, record.size());
    while (node && !path.empty()) {
        const std::size_t separator = path.find('\\');
        const std::string_view name = path.substr(0, separator);
        path =
            separator == std::string_view::npos ? std::string_view{} : path.substr(separator + 1);
        if (!name.empty())
            node = findChild(record, *node, name);
    }
    if (!node)
        return std::nullopt;
    return VersionValue{node->text,
                        record.subspan(node->valueBegin, node->valueEnd - node->valueBegin)};
}

std::string versionText(const VersionValue& value) {
    std::string out;
    const std::size_t units = value.bytes.size() / 2;
    for (std::size_t i = 0; i < units; ++i) {
        const char32_t unit = get16(value.bytes, 2 * i);
        if (unit == 0)
            break;
        const bool high = unit >= 0xD800 && unit < 0xDC00;
        const char32_t next = i + 1 < units ? get16(value.bytes, 2 * i + 2) : 0;
        if (high && next >= 0xDC00 && next < 0xE000) {
            appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit < 0xE000) {
            appendUtf8(out, kReplacementCharacter);
        } else {
            appendUtf8(out, unit);
        }
    }
    return out;
}

std::optional<FixedFileInfo> readFixedFileInfo(std::span<const std::uint8_t> record) {
    const std::optional<VersionValue> value = queryVersionValue(record, "\\");
    if (!value || value->bytes.size() < kFixedSize || get32(value->bytes, 0) != kFixedSignature)
        return std::nullopt;
    const auto field = [&](std::size_t index) { return get32(value->bytes, 4 * index); };
    FixedFileInfo fixed;
    fixed.fileVersionMS = field(2);
    fixed.fileVersionLS = field(3);
    fixed.productVersionMS = field(4);
    fixed.productVersionLS = field(5);
    fixed.fileFlagsMask = field(6);
    fixed.fileFlags = field(7);
    fixed.fileOS = field(8);
    fixed.fileType = field(9);
    fixed.fileSubtype = field(10);
    return fixed;
}

} // namespace qubrix
