#include "core/catalogue/catalogue.h"

#include "core/text/ascii.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace qubrix {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isHeaderLine(std::string_view line) {
    return !line.empty() && line.front() == '[';
}

struct LeadingNumber {
    bool hasDigits = false;
    int value = 0;
};

// Like C's atoi, but a digit run beyond the range of int saturates at INT_MAX or INT_MIN
// instead of being undefined.
LeadingNumber readLeadingNumber(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && isAsciiBlank(text[pos]))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        negative = text[pos++] == '-';
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    LeadingNumber number;
    long long value = 0;
    for (; pos < text.size() && isDigit(text[pos]); ++pos) {
        number.hasDigits = true;
        value = std::min(limit, value * 10 + (text[pos] - '0'));
    }
    number.value = static_cast<int>(negative ? -value : value);
    return number;
}

void convertToUtf8(std::vector<std::string>& lines) {
    for (auto& line : lines)
        line = toUtf8(line, TextEncoding::Windows1252);
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr const char* kNoText = "No readable text";

// A file that starts with a NUL or holds UTF-16 (or wider) text has no 8-bit text to read:
// reading it as text would give nothing or a line of one character. A UTF-16 mark alone is no
// proof, as Windows-1252 text may start with those two letters; the NUL of the first character
// after it is.
bool holdsNoEightBitText(std::string_view bytes) {
    const bool utf16Mark = bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF");
    if (utf16Mark)
        bytes.remove_prefix(2);
    return (!bytes.empty() && bytes[0] == '\0') || (bytes.size() >= 2 && bytes[1] == '\0');
}

struct DecodedFile {
    std::vector<std::string> lines;
    TextEncoding encoding = TextEncoding::Windows1252;
    bool byteOrderMark = false;
};

// A byte-order mark is no part of the first line; it makes the file UTF-8.
DecodedFile decodeFile(std::string_view bytes) {
    DecodedFile file;
    file.byteOrderMark = bytes.starts_with(kByteOrderMark);
    if (file.byteOrderMark)
        bytes.remove_prefix(kByteOrderMark.size());
    file.lines = splitLines(bytes);
    file.encoding = file.byteOrderMark ? TextEncoding::Utf8 : detectEncoding(bytes);
    return file;
}

std::string encodeFile(const std::vector<std::string>& lines, bool byteOrderMark) {
    return (byteOrderMark ? std::string(kByteOrderMark) : std::string()) + joinLines(lines);
}

bool startsWithByteOrderMark(const std::vector<std::string>& lines) {
    return !lines.empty() && lines.front().starts_with(kByteOrderMark);
}

// What the next load would make of lines written as they are. Windows-1252 lines whose bytes
// have come to read as UTF-8 (the bytes that told the two apart were edited away) read as other
// text. So does a first line that starts with the bytes of a byte-order mark, as the load takes
// one off, or with a NUL at its first or second byte (a note moved up), as the load takes the
// file for UTF-16: such a file needs a mark of its own in front, which makes it UTF-8.
struct Misreading {
    bool asOtherText = false; // the lines are to be converted to UTF-8
    bool needsMark = false;
};
Misreading misreadingOf(const std::vector<std::string>& lines, TextEncoding encoding,
                        bool byteOrderMark) {
    const bool needsMark =
        startsWithByteOrderMark(lines) ||
        (!byteOrderMark && !lines.empty() && holdsNoEightBitText(lines.front() + "\r\n"));
    const bool windows1252 = encoding == TextEncoding::Windows1252;
    return {windows1252 && (needsMark || detectEncoding(joinLines(lines)) == TextEncoding::Utf8),
            needsMark};
}

// Typed or pasted text as UTF-8 to store: a NUL, which the file would keep but no field can
// show, becomes a blank.
std::string typedText(std::string_view utf8) {
    std::string text = toUtf8(utf8, TextEncoding::Utf8);
    std::replace(text.begin(), text.end(), '\0', ' ');
    return text;
}

void dropTrailingEmptyLines(std::vector<std::string>& lines) {
    while (!lines.empty() && trimmedText(lines.back()).empty())
        lines.pop_back();
}

Catalogue::Counts countListings(const std::vector<std::string>& lines) {
    Catalogue::Counts counts;
    for (const std::string& line : lines) {
        if (isHeaderLine(line))
            ++counts.categories;
        else if (counts.categories > 0)
            ++counts.listings;
    }
    return counts;
}

} // namespace

int optionsNumber(const Options& options) {
    return (options.autoSave ? 100 : 0) + (options.isoCheck ? 10 : 0) +
           (options.includeParent ? 1 : 0);
}

Options decodeOptions(int number) {
    return Options{(number & 100) != 0, (number & 10) != 0, (number & 1) != 0};
}

int parseOptionsNumber(std::string_view line) {
    return readLeadingNumber(line).value;
}

bool hasLeadingNumber(std::string_view line) {
    return readLeadingNumber(line).hasDigits;
}

namespace {

// The last line of the catalogue file holds the options, unless it is no number or holds the
// field separator: then it is a catalogue line.
bool isOptionsLine(std::string_view line) {
    return hasLeadingNumber(line) && line.find(';') == std::string_view::npos;
}

} // namespace

ListingFields splitListingLine(std::string_view line) {
    ListingFields fields;
    const auto first = line.find(';');
    fields.description = line.substr(0, first);
    if (first == std::string_view::npos)
        return fields;
    const std::string_view rest = line.substr(first + 1);
    const auto second = rest.find(';');
    fields.path = rest.substr(0, second);
    if (second != std::string_view::npos)
        fields.note = readLeadingNumber(rest.substr(second + 1)).value;
    return fields;
}

namespace {

bool hasLineBreak(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

} // namespace

FieldProblem listingFieldProblem(std::string_view description, std::string_view path) {
    if (description.find(';') != std::string_view::npos)
        return FieldProblem::SemicolonInDescription;
    if (isHeaderLine(description))
        return FieldProblem::BracketStartsDescription;
    if (hasLineBreak(description))
        return FieldProblem::LineBreakInDescription;
    if (path.find(';') != std::string_view::npos)
        return FieldProblem::SemicolonInPath;
    if (hasLineBreak(path))
        return FieldProblem::LineBreakInPath;
    return FieldProblem::None;
}

std::string listingLine(std::string_view description, std::string_view path,
                        std::string_view note) {
    std::string line(description);
    line += ';';
    line += path;
    line += ';';
    line += note;
    return line;
}

Catalogue::LoadOutcome Catalogue::loadFiles(PairRead files) {
    LoadOutcome outcome;
    ReadOutcome& catalogue = files.catalogue;
    if (catalogue.status == ReadOutcome::Status::Failed) {
        outcome.status = LoadOutcome::Status::Unreadable;
        outcome.error = std::move(catalogue.error);
        return outcome;
    }
    // Only a catalogue that is not there, or is empty, is made anew: nothing is lost then.
    if (catalogue.status == ReadOutcome::Status::Missing || catalogue.bytes.empty()) {
        startNewCatalogue();
        takeNotes(files.notes);
        filesOnDisk = files.stamp;
        return outcome;
    }
    DecodedFile decoded;
    if (!holdsNoEightBitText(catalogue.bytes)) {
        decoded = decodeFile(catalogue.bytes);
        dropTrailingEmptyLines(decoded.lines);
    }
    if (decoded.lines.empty()) {
        outcome.status = LoadOutcome::Status::Unreadable;
        outcome.error = kNoText;
        return outcome;
    }

    outcome.status = LoadOutcome::Status::Loaded;
    // A catalogue written without options line keeps its last line; the options are then
    // the defaults.
    if (isOptionsLine(decoded.lines.back())) {
        outcome.options = parseOptionsNumber(decoded.lines.back());
        decoded.lines.pop_back();
    }
    m_lstAll = std::move(decoded.lines);
    catalogueEncoding = decoded.encoding;
    catalogueByteOrderMark = decoded.byteOrderMark;
    optionsAtLoad = outcome.options;
    takeNotes(files.notes);
    filesOnDisk = files.stamp;
    m_categoryStart.clear();
    m_categoryNames.clear();
    showCategory(-1);
    return outcome;
}

void Catalogue::takeNotes(const ReadOutcome& notes) {
    m_lstMemo.clear();
    notesEncoding = catalogueEncoding;
    notesByteOrderMark = false;
    notesReadError.clear();
    if (notes.status == ReadOutcome::Status::Missing)
        return;
    if (notes.status == ReadOutcome::Status::Failed || holdsNoEightBitText(notes.bytes)) {
        notesReadError = notes.status == ReadOutcome::Status::Failed ? notes.error : kNoText;
        return;
    }
    DecodedFile decoded = decodeFile(notes.bytes);
    m_lstMemo = std::move(decoded.lines);
    notesEncoding = decoded.encoding;
    notesByteOrderMark = decoded.byteOrderMark;
}

void Catalogue::startNewCatalogue() {
    m_lstAll = {"[Main]"};
    optionsAtLoad = kDefaultOptionsNumber;
    catalogueEncoding = TextEncoding::Windows1252;
    catalogueByteOrderMark = false;
    m_categoryStart.clear();
    m_categoryNames.clear();
    showCategory(-1);
}

std::string Catalogue::catalogueBytes(int options) const {
    std::string bytes = encodeFile(m_lstAll, catalogueByteOrderMark);
    bytes += std::to_string(options);
    bytes += "\r\n";
    return bytes;
}

std::string Catalogue::notesBytes() const {
    return encodeFile(m_lstMemo, notesByteOrderMark);
}

Catalogue::DiskChange Catalogue::diskChange(const WriteOutcome& changed) const {
    DiskChange change;
    if (filesOnDisk) {
        change.catalogueChanged = changed.onDisk.catalogue != filesOnDisk->catalogue;
        change.notesChanged = changed.onDisk.notes != filesOnDisk->notes;
    }
    DecodedFile catalogue = decodeFile(changed.catalogueOnDisk);
    dropTrailingEmptyLines(catalogue.lines);
    if (!catalogue.lines.empty() && isOptionsLine(catalogue.lines.back()))
        catalogue.lines.pop_back();
    change.onDisk = countListings(catalogue.lines);
    change.onDisk.notes = decodeFile(changed.notesOnDisk).lines.size();
    change.here = countListings(m_lstAll);
    change.here.notes = m_lstMemo.size();
    return change;
}

std::size_t Catalogue::BuildCategories() {
    m_categoryStart.clear();
    m_categoryNames.clear();
    for (std::size_t i = 0; i < m_lstAll.size(); ++i) {
        const std::string_view line = m_lstAll[i];
        if (!isHeaderLine(line))
            continue;
        m_categoryStart.push_back(i);
        m_categoryNames.emplace_back(line.substr(1, line.find(']') - 1));
    }
    // The shown rows belong to a category that no longer exists.
    if (m_shownCategory >= static_cast<int>(m_categoryStart.size()))
        showCategory(-1);
    return m_categoryStart.size();
}

void Catalogue::showCategory(int k) {
    m_lstFiles.clear();
    m_lstPath.clear();
    m_noteIndex.clear();
    const bool known = k >= 0 && k < static_cast<int>(m_categoryStart.size());
    m_shownCategory = known ? k : -1;
    if (known) {
        for (std::size_t i = m_categoryStart[k] + 1;
             i < m_lstAll.size() && !isHeaderLine(m_lstAll[i]); ++i)
            m_lstFiles.push_back(m_lstAll[i]);
        m_noteIndex.resize(m_lstFiles.size(), -1);
        m_lstPath.reserve(m_lstFiles.size());
        for (std::size_t i = 0; i < m_lstFiles.size(); ++i)
            m_lstPath.push_back(GetListingPath(i));
    }
}

std::string Catalogue::GetListingDescription(std::size_t i) const {
    if (i >= m_lstFiles.size())
        return {};
    const std::string_view line = m_lstFiles[i];
    return "  " + std::string(line.substr(0, line.find(';')));
}

std::string Catalogue::GetListingPath(std::size_t i) {
    if (i >= m_lstFiles.size())
        return {};
    ListingFields fields = splitListingLine(m_lstFiles[i]);
    if (m_noteIndex.size() < m_lstFiles.size())
        m_noteIndex.resize(m_lstFiles.size(), -1);
    m_noteIndex[i] = fields.note;
    return std::move(fields.path);
}

std::size_t Catalogue::lineIndexOfRow(std::size_t i) const {
    if (m_shownCategory < 0 || m_shownCategory >= static_cast<int>(m_categoryStart.size()))
        return m_lstAll.size();
    return m_categoryStart[m_shownCategory] + 1 + i;
}

void Catalogue::countEdit() {
    ++m_revision;
}

std::string Catalogue::storedPath(std::size_t row) const {
    return row < m_lstPath.size() ? m_lstPath[row] : std::string();
}

const std::string* Catalogue::note(std::size_t k) const {
    return k < m_lstMemo.size() ? &m_lstMemo[k] : nullptr;
}

void Catalogue::setLines(std::vector<std::string> lines) {
    m_lstAll = std::move(lines);
    const int shown = m_shownCategory;
    BuildCategories();
    showCategory(shown);
    countEdit();
}

std::size_t Catalogue::appendNote(std::string bytes) {
    m_lstMemo.push_back(std::move(bytes));
    return m_lstMemo.size() - 1;
}

void Catalogue::replaceNote(std::size_t k, std::string bytes) {
    if (k < m_lstMemo.size())
        m_lstMemo[k] = std::move(bytes);
}

namespace {

// The path field of a listing line: from its first ";" to the second one or the end. A header
// line, or a line without ";", has none.
std::optional<std::pair<std::size_t, std::size_t>> pathField(std::string_view line) {
    if (isHeaderLine(line))
        return std::nullopt;
    const std::size_t first = line.find(';');
    if (first == std::string_view::npos)
        return std::nullopt;
    const std::size_t second = line.find(';', first + 1);
    const std::size_t end = second == std::string_view::npos ? line.size() : second;
    return std::make_pair(first + 1, end - first - 1);
}

using PathRewrite = std::function<std::optional<std::string>(std::string_view path)>;

bool rewritePathInLine(std::string& line, const PathRewrite& newPath) {
    const auto field = pathField(line);
    if (!field)
        return false;
    const auto path = newPath(std::string_view(line).substr(field->first, field->second));
    if (!path)
        return false;
    line.replace(field->first, field->second, *path);
    return true;
}

} // namespace

bool Catalogue::anyListingPath(const std::function<bool(std::string_view path)>& matches) const {
    return std::any_of(m_lstAll.begin(), m_lstAll.end(), [&](std::string_view line) {
        const auto field = pathField(line);
        return field && matches(line.substr(field->first, field->second));
    });
}

std::size_t Catalogue::rewriteListingPaths(const PathRewrite& newPath) {
    std::size_t changed = 0;
    for (std::string& line : m_lstAll)
        changed += rewritePathInLine(line, newPath) ? 1 : 0;
    for (std::string& line : m_lstFiles)
        rewritePathInLine(line, newPath);
    for (std::string& path : m_lstPath)
        if (auto rewritten = newPath(path))
            path = std::move(*rewritten);
    if (changed > 0)
        countEdit();
    return changed;
}

std::string Catalogue::CommitNote(std::size_t k) {
    // A note that does not exist is no note: the caller's listing is then written without one,
    // and no other reference changes.
    if (k >= m_lstMemo.size())
        return "-1";
    if (!m_lstMemo[k].empty())
        return std::to_string(k);
    m_lstMemo.erase(m_lstMemo.begin() + static_cast<std::ptrdiff_t>(k));
    countEdit();

    // Lines before the first header belong to no category and are kept as they are.
    const std::size_t firstShown = lineIndexOfRow(0);
    bool inCategory = false;
    for (std::size_t line = 0; line < m_lstAll.size(); ++line) {
        if (isHeaderLine(m_lstAll[line])) {
            inCategory = true;
            continue;
        }
        const ListingFields fields = splitListingLine(m_lstAll[line]);
        if (!inCategory || fields.note < 0 || static_cast<std::size_t>(fields.note) < k)
            continue;
        // Only the note field changes: the description and the path stay as written, so that
        // no description is trimmed into a header (" [x").
        const int lowered = fields.note - 1;
        const std::string_view old = m_lstAll[line];
        const std::size_t noteField = old.find(';', old.find(';') + 1) + 1;
        std::string rewritten(old.substr(0, noteField));
        rewritten += std::to_string(lowered);
        m_lstAll[line] = rewritten;
        const std::size_t row = line - firstShown;
        if (line >= firstShown && row < m_lstFiles.size()) {
            m_lstFiles[row] = std::move(rewritten);
            if (row < m_noteIndex.size())
                m_noteIndex[row] = lowered;
        }
    }
    return "-1";
}

bool Catalogue::addListing(std::string_view description, std::string_view path,
                           std::string_view note) {
    if (m_shownCategory < 0 || listingFieldProblem(description, path) != FieldProblem::None)
        return false;
    // The new listing goes just before the next category's header, or to the end.
    const std::size_t line = lineIndexOfRow(m_lstFiles.size());
    m_lstAll.insert(m_lstAll.begin() + static_cast<std::ptrdiff_t>(line),
                    listingLine(description, path, note));
    m_lstFiles.push_back(m_lstAll[line]);
    m_lstPath.push_back(GetListingPath(m_lstFiles.size() - 1));
    BuildCategories();
    countEdit();
    return true;
}

bool Catalogue::replaceListing(std::size_t i, std::string_view description, std::string_view path,
                               std::string_view note) {
    if (i >= m_lstFiles.size() || listingFieldProblem(description, path) != FieldProblem::None)
        return false;
    m_lstFiles[i] = listingLine(description, path, note);
    m_lstPath[i] = GetListingPath(i);
    m_lstAll[lineIndexOfRow(i)] = m_lstFiles[i];
    countEdit();
    return true;
}

bool Catalogue::removeListing(std::size_t i) {
    if (i >= m_lstFiles.size())
        return false;
    if (const auto note = noteOfRow(i); note && *note < m_lstMemo.size()) {
        m_lstMemo[*note].clear();
        CommitNote(*note);
    }
    m_lstAll.erase(m_lstAll.begin() + static_cast<std::ptrdiff_t>(lineIndexOfRow(i)));
    const auto row = static_cast<std::ptrdiff_t>(i);
    m_lstFiles.erase(m_lstFiles.begin() + row);
    m_lstPath.erase(m_lstPath.begin() + row);
    m_noteIndex.erase(m_noteIndex.begin() + row);
    BuildCategories();
    countEdit();
    return true;
}

bool Catalogue::clearListings() {
    if (m_shownCategory < 0)
        return false;
    const auto first = m_lstAll.begin() + static_cast<std::ptrdiff_t>(lineIndexOfRow(0));
    m_lstAll.erase(first, first + static_cast<std::ptrdiff_t>(m_lstFiles.size()));
    m_lstFiles.clear();
    m_lstPath.clear();
    m_noteIndex.clear();
    BuildCategories();
    countEdit();
    return true;
}

std::optional<std::size_t> Catalogue::noteOfRow(std::size_t i) const {
    if (i >= m_noteIndex.size() || m_noteIndex[i] < 0)
        return std::nullopt;
    return static_cast<std::size_t>(m_noteIndex[i]);
}

std::string Catalogue::noteFieldForEntry(std::optional<std::size_t> modifiedRow, bool noteTouched) {
    const std::optional<std::size_t> ownNote = modifiedRow ? noteOfRow(*modifiedRow) : std::nullopt;
    if (!noteTouched)
        return ownNote ? std::to_string(*ownNote) : "-1";
    // A reference beyond the notes names no note the dialog could edit: it appended a new one.
    if (ownNote && *ownNote < m_lstMemo.size())
        return CommitNote(*ownNote);
    return m_lstMemo.empty() ? "-1" : CommitNote(m_lstMemo.size() - 1);
}

std::string Catalogue::catalogueTextFromUtf8(std::string_view utf8) {
    const std::string text = typedText(utf8);
    if (auto bytes = fromUtf8(text, catalogueEncoding))
        return std::move(*bytes);
    switchCatalogueToUtf8();
    return text;
}

std::string Catalogue::noteTextFromUtf8(std::string_view utf8) {
    const std::string text = typedText(utf8);
    if (auto bytes = fromUtf8(text, notesEncoding))
        return std::move(*bytes);
    switchNotesToUtf8();
    return text;
}

void Catalogue::switchCatalogueToUtf8() {
    for (auto* lines : {&m_lstAll, &m_lstFiles, &m_lstPath, &m_categoryNames})
        convertToUtf8(*lines);
    catalogueEncoding = TextEncoding::Utf8;
}

void Catalogue::switchNotesToUtf8() {
    convertToUtf8(m_lstMemo);
    notesEncoding = TextEncoding::Utf8;
}

void Catalogue::keepTextAsShown() {
    const Misreading catalogue = misreadingOf(m_lstAll, catalogueEncoding, catalogueByteOrderMark);
    if (catalogue.asOtherText)
        switchCatalogueToUtf8();
    catalogueByteOrderMark = catalogueByteOrderMark || catalogue.needsMark;
    const Misreading notes = misreadingOf(m_lstMemo, notesEncoding, notesByteOrderMark);
    if (notes.asOtherText)
        switchNotesToUtf8();
    notesByteOrderMark = notesByteOrderMark || notes.needsMark;
}

WriteOutcome Catalogue::SaveCatalogue(const DataFilePair& files, int options,
                                      const PairStamp* replacing, const PairWriter& write) {
    // Writing a notes file that could not be read would replace notes never seen.
    if (!notesReadError.empty()) {
        WriteOutcome refused;
        refused.ok = false;
        refused.failedPath = files.notes;
        refused.error = notesReadError;
        refused.readFailed = true;
        return refused;
    }
    keepTextAsShown();
    const PairStamp* expected = replacing ? replacing : filesOnDisk ? &*filesOnDisk : nullptr;
    const WriteOutcome outcome = write(catalogueBytes(options), notesBytes(), expected);
    if (outcome.ok) {
        optionsAtLoad = options;
        filesOnDisk = outcome.onDisk;
    }
    return outcome;
}

} // namespace qubrix
