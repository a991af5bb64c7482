// Writes the fuzzers' starting inputs: a record like the program's own, and ELF and PE files
// that carry it.
#include "version/versionrecord.h"

#include "../tests/version/images.h"

#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

using Bytes = std::vector<std::uint8_t>;

void save(const std::filesystem::path& file, const Bytes& bytes) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

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
    return 0;
}
