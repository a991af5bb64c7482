#include "core/catalogue/catalogue.h"

#include "core/text/ascii.h"

#include <algorithm>
#include <climits>

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
    lstAll = std::move(decoded.lines);
    catalogueEncoding = decoded.encoding;
    catalogueByteOrderMark = decoded.byteOrderMark;
    optionsAtLoad = outcome.options;
    takeNotes(files.notes);
    filesOnDisk = files.stamp;
    categoryStart.clear();
    categoryNames.clear();
    showCategory(-1);
    return outcome;
}

void Catalogue::takeNotes(const ReadOutcome& notes) {
    lstMemo.clear();
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
    lstMemo = std::move(decoded.lines);
    notesEncoding = decoded.encoding;
    notesByteOrderMark = decoded.byteOrderMark;
}

void Catalogue::startNewCatalogue() {
    lstAll = {"[Main]"};
    optionsAtLoad = kDefaultOptionsNumber;
    catalogueEncoding = TextEncoding::Windows1252;
    catalogueByteOrderMark = false;
    categoryStart.clear();
    categoryNames.clear();
    showCategory(-1);
}

std::string Catalogue::catalogueBytes(int options) const {
    std::string bytes = encodeFile(lstAll, catalogueByteOrderMark);
    bytes += std::to_string(options);
    bytes += "\r\n";
    return bytes;
}

std::string Catalogue::notesBytes() const {
    return encodeFile(lstMemo, notesByteOrderMark);
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
    change.here = countListings(lstAll);
    change.here.notes = lstMemo.size();
    return change;
}

std::size_t Catalogue::BuildCategories() {
    categoryStart.clear();
    categoryNames.clear();
    for (std::size_t i = 0; i < lstAll.size(); ++i) {
        const std::string_view line = lstAll[i];
        if (!isHeaderLine(line))
            continue;
        categoryStart.push_back(i);
        categoryNames.emplace_back(line.substr(1, line.find(']') - 1));
    }
    // The shown rows belong to a category that no longer exists.
    if (shownCategory >= static_cast<int>(categoryStart.size()))
        showCategory(-1);
    return categoryStart.size();
}

void Catalogue::showCategory(int k) {
    lstFiles.clear();
    lstPath.clear();
    noteIndex.clear();
    const bool known = k >= 0 && k < static_cast<int>(categoryStart.size());
    shownCategory = known ? k : -1;
    if (known) {
        for (std::size_t i = categoryStart[k] + 1; i < lstAll.size() && !isHeaderLine(lstAll[i]);
             ++i)
            lstFiles.push_back(lstAll[i]);
        noteIndex.resize(lstFiles.size(), -1);
        lstPath.reserve(lstFiles.size());
        for (std::size_t i = 0; i < lstFiles.size(); ++i)
            lstPath.push_back(GetListingPath(i));
    }
}

std::string Catalogue::GetListingDescription(std::size_t i) const {
    if (i >= lstFiles.size())
        return {};
    const std::string_view line = lstFiles[i];
    return "  " + std::string(line.substr(0, line.find(';')));
}

std::string Catalogue::GetListingPath(std::size_t i) {
    if (i >= lstFiles.size())
        return {};
    ListingFields fields = splitListingLine(lstFiles[i]);
    if (noteIndex.size() < lstFiles.size())
        noteIndex.resize(lstFiles.size(), -1);
    noteIndex[i] = fields.note;
    return std::move(fields.path);
}

std::size_t Catalogue::lineIndexOfRow(std::size_t i) const {
    if (shownCategory < 0 || shownCategory >= static_cast<int>(categoryStart.size()))
        return lstAll.size();
    return categoryStart[shownCategory] + 1 + i;
}

void Catalogue::countEdit() {
    ++m_revision;
}

std::string Catalogue::CommitNote(std::size_t k) {
    // A note that does not exist is no note: the caller's listing is then written without one,
    // and no other reference changes.
    if (k >= lstMemo.size())
        return "-1";
    if (!lstMemo[k].empty())
        return std::to_string(k);
    lstMemo.erase(lstMemo.begin() + static_cast<std::ptrdiff_t>(k));
    countEdit();

    // Lines before the first header belong to no category and are kept as they are.
    const std::size_t firstShown = lineIndexOfRow(0);
    bool inCategory = false;
    for (std::size_t line = 0; line < lstAll.size(); ++line) {
        if (isHeaderLine(lstAll[line])) {
            inCategory = true;
            continue;
        }
        const ListingFields fields = splitListingLine(lstAll[line]);
        if (!inCategory || fields.note < 0 || static_cast<std::size_t>(fields.note) < k)
            continue;
        // Only the note field changes: the description and the path stay as written, so that
        // no description is trimmed into a header (" [x").
        const int lowered = fields.note - 1;
        const std::string_view old = lstAll[line];
        const std::size_t noteField = old.find(';', old.find(';') + 1) + 1;
        std::string rewritten(old.substr(0, noteField));
        rewritten += std::to_string(lowered);
        lstAll[line] = rewritten;
        const std::size_t row = line - firstShown;
        if (line >= firstShown && row < lstFiles.size()) {
            lstFiles[row] = std::move(rewritten);
            if (row < noteIndex.size())
                noteIndex[row] = lowered;
        }
    }
    return "-1";
}

bool Catalogue::addListing(std::string_view description, std::string_view path,
                           std::string_view note) {
    if (shownCategory < 0 || listingFieldProblem(description, path) != FieldProblem::None)
        return false;
    // The new listing goes just before the next category's header, or to the end.
    const std::size_t line = lineIndexOfRow(lstFiles.size());
    lstAll.insert(lstAll.begin() + static_cast<std::ptrdiff_t>(line),
                  listingLine(description, path, note));
    lstFiles.push_back(lstAll[line]);
    lstPath.push_back(GetListingPath(lstFiles.size() - 1));
    BuildCategories();
    countEdit();
    return true;
}

bool Catalogue::replaceListing(std::size_t i, std::string_view description, std::string_view path,
                               std::string_view note) {
    if (i >= lstFiles.size() || listingFieldProblem(description, path) != FieldProblem::None)
        return false;
    lstFiles[i] = listingLine(description, path, note);
    lstPath[i] = GetListingPath(i);
    lstAll[lineIndexOfRow(i)] = lstFiles[i];
    countEdit();
    return true;
}

bool Catalogue::removeListing(std::size_t i) {
    if (i >= lstFiles.size())
        return false;
    if (const auto note = noteOfRow(i); note && *note < lstMemo.size()) {
        lstMemo[*note].clear();
        CommitNote(*note);
    }
    lstAll.erase(lstAll.begin() + static_cast<std::ptrdiff_t>(lineIndexOfRow(i)));
    const auto row = static_cast<std::ptrdiff_t>(i);
    lstFiles.erase(lstFiles.begin() + row);
    lstPath.erase(lstPath.begin() + row);
    noteIndex.erase(noteIndex.begin() + row);
    BuildCategories();
    countEdit();
    return true;
}

bool Catalogue::clearListings() {
    if (shownCategory < 0)
        return false;
    const auto first = lstAll.begin() + static_cast<std::ptrdiff_t>(lineIndexOfRow(0));
    lstAll.erase(first, first + static_cast<std::ptrdiff_t>(lstFiles.size()));
    lstFiles.clear();
    lstPath.clear();
    noteIndex.clear();
    BuildCategories();
    countEdit();
    return true;
}

std::optional<std::size_t> Catalogue::noteOfRow(std::size_t i) const {
    if (i >= noteIndex.size() || noteIndex[i] < 0)
        return std::nullopt;
    return static_cast<std::size_t>(noteIndex[i]);
}

std::string Catalogue::noteFieldForEntry(std::optional<std::size_t> modifiedRow, bool noteTouched) {
    const std::optional<std::size_t> ownNote = modifiedRow ? noteOfRow(*modifiedRow) : std::nullopt;
    if (!noteTouched)
        return ownNote ? std::to_string(*ownNote) : "-1";
    // A reference beyond the notes names no note the dialog could edit: it appended a new one.
    if (ownNote && *ownNote < lstMemo.size())
        return CommitNote(*ownNote);
    return lstMemo.empty() ? "-1" : CommitNote(lstMemo.size() - 1);
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
    for (auto* lines : {&lstAll, &lstFiles, &lstPath, &categoryNames})
        convertToUtf8(*lines);
    catalogueEncoding = TextEncoding::Utf8;
}

void Catalogue::switchNotesToUtf8() {
    convertToUtf8(lstMemo);
    notesEncoding = TextEncoding::Utf8;
}

void Catalogue::keepTextAsShown() {
    const Misreading catalogue = misreadingOf(lstAll, catalogueEncoding, catalogueByteOrderMark);
    if (catalogue.asOtherText)
        switchCatalogueToUtf8();
    catalogueByteOrderMark = catalogueByteOrderMark || catalogue.needsMark;
    const Misreading notes = misreadingOf(lstMemo, notesEncoding, notesByteOrderMark);
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
