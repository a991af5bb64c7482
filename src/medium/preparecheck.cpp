#include "medium/preparecheck.h"

#include "medium/bundle.h"

#include <cstdio>

namespace qubrix {

std::optional<std::string> prepareRefusal(const std::string& folder, const StagingTop& top) {
    if (top.catalogue == EntryKind::Absent)
        return folder + " holds no qubrix.dat: it is not the top of a medium's staging folder.";
    // The disc must carry the catalogue itself; a link would lead wherever it leads on the
    // end user's machine.
    if (top.catalogue == EntryKind::Link)
        return folder + "/qubrix.dat is a symbolic link: put the catalogue itself there.";
    if (top.catalogue != EntryKind::File)
        return folder + "/qubrix.dat is not a file: put the catalogue itself there.";
    if (!top.writable)
        return folder + " cannot be written.";
    const std::string bundle = folder + "/" + std::string(kBundleFolder);
    if (top.bundle != EntryKind::Absent && top.bundle != EntryKind::Folder)
        return bundle + " is in the way: it is not the program folder that prepare writes. Move "
                        "it away first.";
    if (top.autorun == EntryKind::Folder || top.autorun == EntryKind::Other)
        return folder + "/autorun.sh is in the way: it is not a file. Move it away first.";
    if (top.leftover != EntryKind::Absent && top.leftover != EntryKind::Folder)
        return folder + "/" + kNewBundleFolder +
               " is in the way: it is not a folder that "
               "prepare left. Move it away first.";
    return std::nullopt;
}

std::uint64_t roomTaken(const std::vector<std::uint64_t>& fileSizes, std::size_t folders,
                        std::uint64_t blockSize) {
    if (blockSize == 0)
        blockSize = 1;
    std::uint64_t room = folders * blockSize;
    for (const std::uint64_t size : fileSizes)
        room += (size / blockSize + (size % blockSize != 0)) * blockSize;
    return room;
}

std::optional<std::string> roomRefusal(const std::string& folder, std::uint64_t needed,
                                       std::uint64_t available) {
    if (needed <= available)
        return std::nullopt;
    return "Not enough room: the program folder and autorun.sh need " +
           byteText(needed, Rounding::Up) + ", " + byteText(available, Rounding::Down) +
           " free on " + folder + ". Nothing was written.";
}

std::string byteText(std::uint64_t bytes, Rounding rounding) {
    struct Unit {
        std::uint64_t size;
        const char* name;
    };
    constexpr Unit kUnits[] = {{1'000'000'000, "GB"}, {1'000'000, "MB"}};
    for (const Unit& unit : kUnits) {
        if (bytes < unit.size)
            continue;
        // In tenths of the unit.
        const std::uint64_t tenth = unit.size / 10;
        const std::uint64_t tenths =
            bytes / tenth + (rounding == Rounding::Up && bytes % tenth != 0);
        char text[40];
        std::snprintf(text, sizeof text, "%llu.%llu %s",
                      static_cast<unsigned long long>(tenths / 10),
                      static_cast<unsigned long long>(tenths % 10), unit.name);
        return text;
    }
    const std::uint64_t kilobytes = bytes / 1000 + (rounding == Rounding::Up && bytes % 1000 != 0);
    return std::to_string(kilobytes) + " kB";
}

} // namespace qubrix
