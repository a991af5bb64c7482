// Build-time helper: "write" turns versioninfo.txt into the binary version record, "field"
// prints a text field of a file's record the way the About box reads it.
#include "core/version/exever.h"
#include "core/version/versionrecord.h"

#include <charconv>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace {

using qubrix::VersionInfo;

std::uint32_t parseNumber(std::string_view text, int base) {
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc{} || end != text.data() + text.size())
        throw std::runtime_error("not a number: " + std::string(text));
    return value;
}

// "3.1.2.9" as the two halves of a fixed-part version.
void parseFixedVersion(const std::string& text, std::uint32_t& high, std::uint32_t& low) {
    std::uint32_t parts[4] = {};
    std::istringstream in(text);
    std::string part;
    for (int i = 0; i < 4 && std::getline(in, part, '.'); ++i)
        parts[i] = parseNumber(part, 10) & 0xFFFF;
    high = parts[0] << 16 | parts[1];
    low = parts[2] << 16 | parts[3];
}

VersionInfo readDefinition(std::istream& in) {
    VersionInfo info;
    info.stringTables.emplace_back();
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos)
            throw std::runtime_error("no '=' in line: " + line);
        const std::string name = line.substr(0, equals);
        const std::string value = line.substr(equals + 1);
        qubrix::FixedFileInfo& fixed = info.fixed;
        if (name == "fixed.FileVersion") {
            parseFixedVersion(value, fixed.fileVersionMS, fixed.fileVersionLS);
        } else if (name == "fixed.ProductVersion") {
            parseFixedVersion(value, fixed.productVersionMS, fixed.productVersionLS);
        } else if (name == "fixed.FileOS") {
            fixed.fileOS = parseNumber(value, 10);
        } else if (name == "fixed.FileType") {
            fixed.fileType = parseNumber(value, 10);
        } else if (name == "translation") {
            // "0409 04E4": the table key is the two joined, the entry has the language low.
            const std::uint32_t language = parseNumber(value.substr(0, 4), 16);
            const std::uint32_t codePage = parseNumber(value.substr(5), 16);
            info.translations.push_back(codePage << 16 | language);
            info.stringTables.front().key = value.substr(0, 4) + value.substr(5);
        } else {
            info.stringTables.front().strings.emplace_back(name, value);
        }
    }
    return info;
}

int write(const char* definitionFile, const char* recordFile) {
    std::ifstream in(definitionFile);
    if (!in)
        throw std::runtime_error(std::string("cannot read ") + definitionFile);
    const std::vector<std::uint8_t> record = qubrix::buildVersionRecord(readDefinition(in));
    std::ofstream out(recordFile, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(record.data()),
              static_cast<std::streamsize>(record.size()));
    out.close();
    if (!out)
        throw std::runtime_error(std::string("cannot write ") + recordFile);
    return 0;
}

int field(const char* fileName, const char* fieldName) {
    std::cout << qubrix::versionFieldText(fileName, fieldName) << '\n';
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        const std::string command = argc == 4 ? argv[1] : "";
        if (command == "write")
            return write(argv[2], argv[3]);
        if (command == "field")
            return field(argv[2], argv[3]);
        std::cerr << "usage: qubrix_versiontool write DEFINITION RECORD\n"
                     "       qubrix_versiontool field FILE FIELD\n";
        return 2;
    } catch (const std::exception& error) {
        std::cerr << "qubrix_versiontool: " << error.what() << '\n';
        return 1;
    }
}
