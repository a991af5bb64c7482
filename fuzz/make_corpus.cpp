// Writes the fuzzers' starting inputs: a record like the program's own, ELF and PE files that
// carry it, and catalogues with their notes.
#include "core/version/versionrecord.h"

#include "../tests/version/images.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string_view>

namespace {

using Bytes = std::vector<std::uint8_t>;

void save(const std::filesystem::path& file, const Bytes& bytes) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

// A catalogue input: the length of the catalogue in two bytes, the catalogue, the notes.
Bytes catalogueInput(std::string_view catalogue, std::string_view notes) {
    Bytes input = {static_cast<std::uint8_t>(catalogue.size()),
                   static_cast<std::uint8_t>(catalogue.size() >> 8)};
    input.insert(input.end(), catalogue.begin(), catalogue.end());
    input.insert(input.end(), notes.begin(), notes.end());
    return input;
}

struct CatalogueFiles {
    const char* name;
    std::string_view catalogue;
    std::string_view notes;
};
const CatalogueFiles kCatalogues[] = {
    {"example",
     "[Main]\r\nInstall the demo;DEMO\\SETUP.EXE;0\r\nRead me first;README.TXT;-1\r\n"
     "[Tools]\r\nDisk viewer;TOOLS\\VIEW.EXE;1\r\n110\r\n",
     "Installs the demo program.\r\nA viewer.\r\n"},
    {"empty-notes", "Stray;S.TXT;2\r\n[A]\r\nx;X;0\r\ny;Y;1\r\n[B]\r\nz;Z;2\n111\r\n\r\n",
     "\r\n\r\nthird\r"},
    {"utf8-with-mark", "\xEF\xBB\xBF[Caf\xC3\xA9]\r\nD\xC3\xA9mo;D.EXE;0\r\n101\r\n",
     "\xEF\xBB\xBFnot\xC3\xA9\r\n"},
    {"windows-1252", "[Caf\xE9]\r\n\x80 list;L.TXT;0\r\n5", "\x93quoted\x94\r\n"},
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_corpus DIRECTORY\n";
        return 2;
    }
    const std::filesystem::path root = argv[1];
    qubrix::VersionInfo info;
    info.fixed.fileVersionMS = 0x00030001;
    info.fixed.fileVersionLS = 0x00020009;
    info.translations = {0x04E40409, 0x04B00407};
    info.stringTables = {
        {"040904E4", {{"CompanyName", "Qubrix Software"}, {"FileVersion", "3.1.2.9"}}},
        {"040704b0", {{"FileVersion", "0x3,010,2"}}}};
    const Bytes record = qubrix::buildVersionRecord(info);
    save(root / "record" / "own", record);
    save(root / "elf" / "elf64le", qubrix::images::elfImage(record));
    save(root / "elf" / "elf32be", qubrix::images::elfImage(record, false, true));
    save(root / "pe" / "pe32", qubrix::images::peImage(record));
    save(root / "pe" / "pe32plus", qubrix::images::peImage(record, true));
    for (const auto& [name, catalogue, notes] : kCatalogues)
        save(root / "catalogue" / name, catalogueInput(catalogue, notes));
    return 0;
}
