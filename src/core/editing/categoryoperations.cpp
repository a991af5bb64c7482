#include "core/catalogue/catalogue.h"
#include "core/text/ascii.h"

#include <algorithm>

namespace qubrix {

namespace {

// A line break or a NUL in a pasted name would end the header line in the file and turn the
// rest of the name into a line of its own: such characters become blanks.
std::string headerLine(std::string_view name) {
    std::string header = "[";
    for (const char c : name)
        header += c == '\r' || c == '\n' || c == '\0' ? ' ' : c;
    header += ']';
    return header;
}

// Byte order with the ASCII capitals folded to small letters; bytes beyond ASCII compare as
// unsigned values, so a UTF-8 or Windows-1252 letter sorts after every ASCII character.
bool caseBlindLess(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(lowerAscii(x)) <
               static_cast<unsigned char>(lowerAscii(y));
    });
}

std::ptrdiff_t offset(std::size_t index) {
    return static_cast<std::ptrdiff_t>(index);
}

} // namespace

void Catalogue::addCategory(std::string_view name) {
    lstAll.push_back(headerLine(name));
    BuildCategories();
    countEdit();
}

void Catalogue::renameCategory(std::size_t k, std::string_view name) {
    if (k >= categoryStart.size())
        return;
    lstAll[categoryStart[k]] = headerLine(name);
    BuildCategories();
    countEdit();
}

bool Catalogue::deleteCategory(std::size_t k) {
    if (categoryStart.size() < 2 || k >= categoryStart.size())
        return false;
    const std::size_t end = k + 1 < categoryStart.size() ? categoryStart[k + 1] : lstAll.size();
    lstAll.erase(lstAll.begin() + offset(categoryStart[k]), lstAll.begin() + offset(end));
    BuildCategories();
    showCategory(0);
    countEdit();
    return true;
}

bool Catalogue::moveListing(std::size_t row, std::size_t target) {
    const int source = shownCategory;
    if (source < 0 || row >= lstFiles.size() || target >= categoryStart.size())
        return false;
    if (target == static_cast<std::size_t>(source) && row == 0)
        return false;
    const std::size_t from = lineIndexOfRow(row);
    std::string line = std::move(lstAll[from]);
    lstAll.erase(lstAll.begin() + offset(from));
    // Headers after the removed line have moved up by one.
    const std::size_t header = categoryStart[target] - (categoryStart[target] > from ? 1 : 0);
    lstAll.insert(lstAll.begin() + offset(header + 1), std::move(line));
    BuildCategories();
    showCategory(source);
    countEdit();
    return true;
}

bool Catalogue::sortShownCategory() {
    std::vector<std::string> sorted = lstFiles;
    std::stable_sort(sorted.begin(), sorted.end(), caseBlindLess);
    if (sorted == lstFiles)
        return false;
    std::copy(sorted.begin(), sorted.end(), lstAll.begin() + offset(lineIndexOfRow(0)));
    showCategory(shownCategory);
    countEdit();
    return true;
}

} // namespace qubrix
