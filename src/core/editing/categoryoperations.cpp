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
    m_lstAll.push_back(headerLine(name));
    BuildCategories();
    countEdit();
}

void Catalogue::renameCategory(std::size_t k, std::string_view name) {
    if (k >= m_categoryStart.size())
        return;
    m_lstAll[m_categoryStart[k]] = headerLine(name);
    BuildCategories();
    countEdit();
}

bool Catalogue::deleteCategory(std::size_t k) {
    if (m_categoryStart.size() < 2 || k >= m_categoryStart.size())
        return false;
    const std::size_t end =
        k + 1 < m_categoryStart.size() ? m_categoryStart[k + 1] : m_lstAll.size();
    m_lstAll.erase(m_lstAll.begin() + offset(m_categoryStart[k]), m_lstAll.begin() + offset(end));
    BuildCategories();
    showCategory(0);
    countEdit();
    return true;
}

bool Catalogue::moveListing(std::size_t row, std::size_t target) {
    const int source = m_shownCategory;
    if (source < 0 || row >= m_lstFiles.size() || target >= m_categoryStart.size())
        return false;
    if (target == static_cast<std::size_t>(source) && row == 0)
        return false;
    const std::size_t from = lineIndexOfRow(row);
    std::string line = std::move(m_lstAll[from]);
    m_lstAll.erase(m_lstAll.begin() + offset(from));
    // Headers after the removed line have moved up by one.
    const std::size_t header = m_categoryStart[target] - (m_categoryStart[target] > from ? 1 : 0);
    m_lstAll.insert(m_lstAll.begin() + offset(header + 1), std::move(line));
    BuildCategories();
    showCategory(source);
    countEdit();
    return true;
}

bool Catalogue::sortShownCategory() {
    std::vector<std::string> sorted = m_lstFiles;
    std::stable_sort(sorted.begin(), sorted.end(), caseBlindLess);
    if (sorted == m_lstFiles)
        return false;
    std::copy(sorted.begin(), sorted.end(), m_lstAll.begin() + offset(lineIndexOfRow(0)));
    showCategory(m_shownCategory);
    countEdit();
    return true;
}

} // namespace qubrix
