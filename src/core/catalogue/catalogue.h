#pragma once

#include "core/catalogue/datafiles.h"
#include "core/catalogue/textfile.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qubrix {

// The options number on the last line of the catalogue: 100 x Auto-Save + 10 x ISO 9660 +
// Include Parent folder.
struct Options {
    bool autoSave = true;
    bool isoCheck = true;
    bool includeParent = false;
};
constexpr int kDefaultOptionsNumber = 110;
int optionsNumber(const Options& options);
// Each option is a bitwise test of the number (AND 100, AND 10, AND 1).
Options decodeOptions(int number);
// C-style conversion: leading blanks, optional sign, digits up to the first non-digit;
// no digits give 0.
int parseOptionsNumber(std::string_view line);
// True when the line reads as a number at all (blanks, optional sign, at least one digit).
bool hasLeadingNumber(std::string_view line);

// The catalogue model: every line of qubrix.dat but the options line, the notes of
// descript.txt, the category table and the shown category's parallel rows.
//
// The lines and rows are read through the accessors below and change only through the
// model's operations, so that the category table and the shown rows cannot fall out of step
// with the lines, and every change to them is counted.
class Catalogue {
public:
    // Every catalogue line but the options line, as stored.
    const std::vector<std::string>& lstAll() const { return m_lstAll; }
    // The notes, as stored; a listing refers to note k by its third field.
    const std::vector<std::string>& lstMemo() const { return m_lstMemo; }
    // For category row k, the lstAll index of its header line.
    const std::vector<std::size_t>& categoryStart() const { return m_categoryStart; }
    // The category names, row for row with categoryStart (the rows of CatBox).
    const std::vector<std::string>& categoryNames() const { return m_categoryNames; }
    // The shown category: row i is lstAll line categoryStart[shownCategory] + 1 + i; -1 for
    // none.
    int shownCategory() const { return m_shownCategory; }
    // The shown category's listing lines, their path fields and their note fields, row for row.
    const std::vector<std::string>& lstFiles() const { return m_lstFiles; }
    const std::vector<std::string>& lstPath() const { return m_lstPath; }
    const std::vector<int>& noteIndex() const { return m_noteIndex; } // -1 for no note

    // The number of listings shown.
    std::size_t rowCount() const { return m_lstFiles.size(); }
    // The stored path bytes of a shown row; empty for no such row.
    std::string storedPath(std::size_t row) const;
    // The bytes of note k; nullptr for no such note.
    const std::string* note(std::size_t k) const;

    // Replaces every catalogue line (the options line not among them), rebuilds the category
    // table and shows the shown category again, or none when it no longer exists. Counts as
    // an edit. This is how a model is filled from lines rather than from the files.
    void setLines(std::vector<std::string> lines);
    // The notes dialog's text as a new last note; returns its index. The note is referred to
    // by no listing until an entry commits it, so this is no edit of its own: the entry that
    // commits it counts.
    std::size_t appendNote(std::string bytes);
    // Replaces the text of note k, for an entry to commit; like appendNote, no edit of its own.
    // A k beyond the notes changes nothing.
    void replaceNote(std::size_t k, std::string bytes);
    // Gives every listing line, and the shown rows, the path newPath returns for their path
    // field; a path it returns nothing for stays. Header lines and lines without a path field
    // stay as they are. Returns the number of catalogue lines changed; counts as an edit when
    // that is any.
    std::size_t rewriteListingPaths(
        const std::function<std::optional<std::string>(std::string_view path)>& newPath);
    // Whether matches holds for the path field of any listing line.
    bool anyListingPath(const std::function<bool(std::string_view path)>& matches) const;

    int optionsAtLoad = 0;
    TextEncoding catalogueEncoding = TextEncoding::Windows1252;
    TextEncoding notesEncoding = TextEncoding::Windows1252;
    // A file that started with a UTF-8 byte-order mark is written back with it.
    bool catalogueByteOrderMark = false;
    bool notesByteOrderMark = false;
    // Why the notes file, which exists, could not be read; empty when it was read or is
    // missing. Such a notes file is never written.
    std::string notesReadError;
    // What the two files held when they were last loaded or saved; none for a model that was
    // never either. A save finds out by it whether another program has changed them since.
    std::optional<PairStamp> filesOnDisk;

    struct LoadOutcome {
        enum class Status { Loaded, Missing, Unreadable } status = Status::Missing;
        std::string error; // with Unreadable: the system's reason
        int options = kDefaultOptionsNumber;
    };
    // Finishes or undoes a save that a crash interrupted, then reads both files. A missing or
    // empty (0-byte) catalogue gives the model of a new catalogue with the notes of the notes
    // file. A catalogue that is not a regular file, cannot be read or holds no text (a NUL
    // first, UTF-16) is Unreadable and the model is left as it was. Empty lines after the last
    // other line are no part of the catalogue; the options line is taken off lstAll, and a last
    // line that is no number or holds a ";" stays a catalogue line with the options 110. An
    // options number beyond the range of int saturates. A NUL inside a file is kept in its
    // line. A notes file that is missing leaves no notes; one that cannot be read or holds no
    // text leaves no notes and notesReadError set. Once Loaded or Missing, the category table
    // and the shown rows are empty until BuildCategories and showCategory.
    LoadOutcome LoadCatalogue(const std::string& catalogPath, const std::string& notesPath);
    // LoadCatalogue once the files are read: the model of what they hold.
    LoadOutcome loadFiles(PairRead files);
    // The model of a new catalogue: the single category "[Main]" in Windows-1252 with the
    // default options. The notes stay: they are notes that no listing refers to yet.
    void startNewCatalogue();

    // Writes both files with options as the last catalogue line, both or neither. On success
    // optionsAtLoad becomes options; on failure nothing changes but what keepTextAsShown does.
    // Refused, with readFailed set, while notesReadError is set; refused with changedOnDisk
    // when the files no longer hold what they held at the last load or save. With replacing,
    // the files may hold that instead: the other program's change the author agreed to
    // replace, and no later one.
    WriteOutcome SaveCatalogue(const std::string& catalogPath, const std::string& notesPath,
                               int options, const PairStamp* replacing = nullptr);
    // The system's pair-safe writer of the two files: it leaves a pair that no longer holds
    // expected as it is (changedOnDisk).
    using PairWriter = std::function<WriteOutcome(
        std::string_view catalogueBytes, std::string_view notesBytes, const PairStamp* expected)>;
    // SaveCatalogue through write; files names the files for the refusal of a notes file that
    // could not be read.
    WriteOutcome SaveCatalogue(const DataFilePair& files, int options, const PairStamp* replacing,
                               const PairWriter& write);
    // How a catalogue or its notes compare in size.
    struct Counts {
        std::size_t categories = 0;
        std::size_t listings = 0; // the lines of the categories but their headers
        std::size_t notes = 0;
    };
    // A save refused with changedOnDisk: which file changed, and what it holds now against the
    // model.
    struct DiskChange {
        bool catalogueChanged = false;
        bool notesChanged = false;
        Counts onDisk;
        Counts here;
    };
    DiskChange diskChange(const WriteOutcome& changed) const;
    std::string catalogueBytes(int options) const;
    std::string notesBytes() const;

    // Rebuilds categoryStart and categoryNames from the header lines; returns their count.
    std::size_t BuildCategories();
    // Fills lstFiles, lstPath and noteIndex with the listings of category row k; a k that is
    // no category row shows nothing (shownCategory -1).
    void showCategory(int k);
    // Two blanks and the description field of lstFiles row i (empty text for no such row).
    std::string GetListingDescription(std::size_t i) const;
    // The path field of lstFiles row i; sets noteIndex[i] to its note field (empty text and
    // nothing set for no such row).
    std::string GetListingPath(std::size_t i);
    // Keeps note k when it holds text and returns k; otherwise removes it, renumbers every
    // later note reference in all categories and returns "-1". A k beyond lstMemo names no
    // note: nothing changes and the result is "-1".
    std::string CommitNote(std::size_t k);

    // The number of edits made so far: every operation below that changes a line or a note counts
    // one, a load or a new catalogue none. The encoding switches of the text conversions count
    // none, as the text stays what it was.
    std::uint64_t revision() const { return m_revision; }

    // The lstAll index of row i of the shown category; lstAll.size() when none is shown.
    std::size_t lineIndexOfRow(std::size_t i) const;

    // Category operations. Each keeps the category table and the shown rows in step with
    // lstAll; names are the bytes typed, and a "]" in a name ends the name shown.
    // Appends "[" name "]" as the last line; the new category is the last row.
    void addCategory(std::string_view name);
    // Replaces the header line of category k; its position and listings stay.
    void renameCategory(std::size_t k, std::string_view name);
    // Removes category k with any listings it still holds and shows the first category.
    // The last remaining category is never removed: false then, and nothing changes.
    bool deleteCategory(std::size_t k);
    // Moves row `row` of the shown category to the top of category `target` and shows the
    // source category again. False when there is no such row or category; a listing already
    // at the top of its own category counts as unmoved too.
    bool moveListing(std::size_t row, std::size_t target);
    // Orders the shown category's listing lines by their whole text without regard to letter
    // case; lines equal but for case keep their order. False when the order stayed as it was.
    bool sortShownCategory();

    // Listing operations on the shown category. Each changes lstAll and the shown rows together
    // and keeps the position rule; each refuses, changing nothing, when no category is shown,
    // the row does not exist or the fields would not read back as written.
    //
    // Appends a listing as the last one of the shown category.
    bool addListing(std::string_view description, std::string_view path, std::string_view note);
    // Replaces the listing in row i.
    bool replaceListing(std::size_t i, std::string_view description, std::string_view path,
                        std::string_view note);
    // Removes the listing in row i and its note (later note references are renumbered).
    bool removeListing(std::size_t i);
    // Removes every listing of the shown category; the header line and all notes stay.
    bool clearListings();

    // The note field of an accepted entry. modifiedRow: the listing being replaced, if any.
    // noteTouched: the notes dialog was accepted during the entry, so the note to commit is the
    // listing's own or, for a new note, the last one in lstMemo.
    std::string noteFieldForEntry(std::optional<std::size_t> modifiedRow, bool noteTouched);
    // The note index of row i, std::nullopt for no note (or no such row).
    std::optional<std::size_t> noteOfRow(std::size_t i) const;

    // Text typed by the user (UTF-8) as the bytes to store in a catalogue line. When the
    // catalogue's encoding cannot carry it, the catalogue switches to UTF-8 first and every line
    // held (lstAll, lstFiles, lstPath, categoryNames) is converted.
    std::string catalogueTextFromUtf8(std::string_view utf8);
    // The same for a note and the notes file (lstMemo).
    std::string noteTextFromUtf8(std::string_view utf8);

private:
    std::vector<std::string> m_lstAll;
    std::vector<std::string> m_lstMemo;
    std::vector<std::size_t> m_categoryStart;
    std::vector<std::string> m_categoryNames;
    int m_shownCategory = -1;
    std::vector<std::string> m_lstFiles;
    std::vector<std::string> m_lstPath;
    std::vector<int> m_noteIndex;
    std::uint64_t m_revision = 0;

    void countEdit();

    // The notes of a read notes file, or none with notesReadError set.
    void takeNotes(const ReadOutcome& notes);
    void switchCatalogueToUtf8();
    void switchNotesToUtf8();
    // Before a save, lines that the next load would read as other text, or as no text at all,
    // are made plain: converted to UTF-8 and, where needed, given a byte-order mark.
    void keepTextAsShown();
};

// Fields of a listing line: description ";" path [";" note]. Without a second ";" the note
// is -1; without any ";" the whole line is the description. The note reads like the options
// number, so a field without digits gives 0.
struct ListingFields {
    std::string description;
    std::string path;
    int note = -1;
};
ListingFields splitListingLine(std::string_view line);

// What would keep a listing's fields from reading back as written: a ";" in the description
// or the path shifts the fields, a description that begins with "[" turns the line into a
// header, and a line break splits the line.
enum class FieldProblem {
    None,
    SemicolonInDescription,
    BracketStartsDescription,
    LineBreakInDescription,
    SemicolonInPath,
    LineBreakInPath,
};
FieldProblem listingFieldProblem(std::string_view description, std::string_view path);
// description ";" path ";" note, exactly as given.
std::string listingLine(std::string_view description, std::string_view path, std::string_view note);

} // namespace qubrix
