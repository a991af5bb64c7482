#include "core/catalogue/catalogue.h"

#include "catalogue_invariants.h"
#include "catalogue_lines.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <string>

#include <sys/stat.h>

using namespace std::string_literals;

namespace qubrix {
namespace {

using test::readFile;
using test::TempFolder;
using test::writeFile;
using Status = Catalogue::LoadOutcome::Status;
using Lines = std::vector<std::string>;

// The example catalogue of the core and window tests: two categories, a setup program with a
// note, a read-me without one and a viewer with the second note.
const std::string kExampleCatalogue = readFile(QUBRIX_TEST_DATA "/setup-readme-viewer/qubrix.dat");
const std::string kExampleNotes = readFile(QUBRIX_TEST_DATA "/setup-readme-viewer/descript.txt");

class CatalogueFiles : public testing::Test {
protected:
    TempFolder folder;
    std::string catalogPath = folder.file("qubrix.dat");
    std::string notesPath = folder.file("descript.txt");
    Catalogue model;

    Catalogue::LoadOutcome load(const std::string& catalogue, const std::string& notes) {
        writeFile(catalogPath, catalogue);
        writeFile(notesPath, notes);
        return model.LoadCatalogue(catalogPath, notesPath);
    }
    void expectSavedUnchanged(const std::string& catalogue, const std::string& notes) {
        const WriteOutcome saved = model.SaveCatalogue(catalogPath, notesPath, 110);
        ASSERT_TRUE(saved.ok) << saved.error;
        EXPECT_EQ(readFile(catalogPath), catalogue);
        EXPECT_EQ(readFile(notesPath), notes);
        EXPECT_EQ(folder.entries(), (Lines{"descript.txt", "qubrix.dat"}));
    }
};

TEST(Options, NumberConversionAndBitwiseTests) {
    struct Case {
        const char* line;
        int number;
        bool autoSave, isoCheck, includeParent;
    };
    for (const Case& c : {Case{"0", 0, false, false, false}, Case{"5", 5, true, false, true},
                          Case{"111", 111, true, true, true}, Case{"110", 110, true, true, false},
                          Case{"  +11 junk", 11, false, true, true},
                          Case{"99999999999999999999", INT_MAX, true, true, true},
                          Case{"-99999999999999999999", INT_MIN, false, false, false}}) {
        EXPECT_EQ(parseOptionsNumber(c.line), c.number) << c.line;
        EXPECT_TRUE(hasLeadingNumber(c.line)) << c.line;
        const Options options = decodeOptions(c.number);
        EXPECT_EQ(options.autoSave, c.autoSave) << c.line;
        EXPECT_EQ(options.isoCheck, c.isoCheck) << c.line;
        EXPECT_EQ(options.includeParent, c.includeParent) << c.line;
    }
    for (const char* line : {"", "abc", "-", " + 5", "[Main]"}) {
        EXPECT_FALSE(hasLeadingNumber(line)) << line;
        EXPECT_EQ(parseOptionsNumber(line), 0) << line;
    }
    for (int number : {0, 1, 10, 11, 100, 101, 110, 111})
        EXPECT_EQ(optionsNumber(decodeOptions(number)), number);
}

TEST(ListingLine, FieldsAndTheirDefaults) {
    struct Case {
        const char* line;
        ListingFields fields;
    };
    for (const Case& c : {
             Case{"Readme;README.TXT", {"Readme", "README.TXT", -1}},
             Case{"Tool;T.EXE;abc", {"Tool", "T.EXE", 0}},
             Case{"Tool;T.EXE;", {"Tool", "T.EXE", 0}},
             Case{"Just words", {"Just words", "", -1}},
             Case{"", {"", "", -1}},
             Case{"Big;B.EXE;1234567", {"Big", "B.EXE", 1234567}},
             Case{"Huge;H.EXE;123456789012345678901234567890", {"Huge", "H.EXE", INT_MAX}},
             Case{"Args;RUN.EXE <DRIVE>\\X;7;extra", {"Args", "RUN.EXE <DRIVE>\\X", 7}},
         }) {
        const ListingFields fields = splitListingLine(c.line);
        EXPECT_EQ(fields.description, c.fields.description) << c.line;
        EXPECT_EQ(fields.path, c.fields.path) << c.line;
        EXPECT_EQ(fields.note, c.fields.note) << c.line;
    }
}

TEST_F(CatalogueFiles, ExampleLoadsIntoTheModelAndSavesByteForByte) {
    const auto outcome = load(kExampleCatalogue, kExampleNotes);
    ASSERT_EQ(outcome.status, Status::Loaded);
    EXPECT_EQ(outcome.options, 110);
    EXPECT_EQ(model.optionsAtLoad, 110);
    EXPECT_EQ(model.lstAll(),
              (Lines{"[Main]", "Install the demo;DEMO\\SETUP.EXE;0", "Read me first;README.TXT;-1",
                     "[Tools]", "Disk viewer;TOOLS\\VIEW.EXE;1"}));
    EXPECT_EQ(model.lstMemo(), (Lines{"Installs the demo program into a folder of your choice.",
                                      "A viewer for the data on this disc."}));
    EXPECT_EQ(model.BuildCategories(), 2u);
    EXPECT_EQ(model.categoryNames(), (Lines{"Main", "Tools"}));
    EXPECT_EQ(model.categoryStart(), (std::vector<std::size_t>{0, 3}));

    model.showCategory(0);
    EXPECT_EQ(model.lstFiles(),
              (Lines{"Install the demo;DEMO\\SETUP.EXE;0", "Read me first;README.TXT;-1"}));
    EXPECT_EQ(model.GetListingDescription(0), "  Install the demo");
    EXPECT_EQ(model.GetListingDescription(1), "  Read me first");
    EXPECT_EQ(model.lstPath(), (Lines{"DEMO\\SETUP.EXE", "README.TXT"}));
    EXPECT_EQ(model.noteIndex(), (std::vector<int>{0, -1}));
    EXPECT_EQ(model.lineIndexOfRow(1), 2u);

    model.showCategory(1);
    EXPECT_EQ(model.lstPath(), (Lines{"TOOLS\\VIEW.EXE"}));
    EXPECT_EQ(model.noteIndex(), (std::vector<int>{1}));
    EXPECT_EQ(model.lineIndexOfRow(0), 4u);

    expectSavedUnchanged(kExampleCatalogue, kExampleNotes);
    EXPECT_EQ(model.lstAll().size(), 5u); // no options line left behind
}

TEST_F(CatalogueFiles, BothEncodingsRoundTripByteForByteAndAreRememberedApart) {
    // Windows-1252 with the euro sign, accents and an undefined byte; notes in UTF-8.
    const std::string cp1252 = "[Caf\xE9s]\r\n\x80 price list;PRICES\\LIST.TXT;1\r\n"
                               "Odd \x81\x9D byte;ODD.TXT;-1\r\n11\r\n";
    const std::string utf8Notes = "unused\r\n\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E note\r\n"
                                  "another unused one\r\n";
    ASSERT_EQ(load(cp1252, utf8Notes).status, Status::Loaded);
    EXPECT_EQ(model.catalogueEncoding, TextEncoding::Windows1252);
    EXPECT_EQ(model.notesEncoding, TextEncoding::Utf8);
    EXPECT_EQ(model.optionsAtLoad, 11);
    EXPECT_EQ(toUtf8(model.lstAll()[0], model.catalogueEncoding), "[Caf\xC3\xA9s]");
    const WriteOutcome saved = model.SaveCatalogue(catalogPath, notesPath, 11);
    ASSERT_TRUE(saved.ok) << saved.error;
    EXPECT_EQ(readFile(catalogPath), cp1252);
    EXPECT_EQ(readFile(notesPath), utf8Notes);

    const std::string utf8 = "[\xE6\x97\xA5\xE6\x9C\xAC]\r\nD\xC3\xA9mo;D\\S.EXE;0\r\n110\r\n";
    const std::string cp1252Notes = "Caf\xE9\r\n";
    ASSERT_EQ(load(utf8, cp1252Notes).status, Status::Loaded);
    EXPECT_EQ(model.catalogueEncoding, TextEncoding::Utf8);
    EXPECT_EQ(model.notesEncoding, TextEncoding::Windows1252);
    expectSavedUnchanged(utf8, cp1252Notes);
}

TEST_F(CatalogueFiles, TextWindows1252CannotCarrySwitchesTheFileToUtf8) {
    ASSERT_EQ(load("[Caf\xE9]\r\nOld;OLD.TXT;0\r\n110\r\n", "Caf\xE9 note\r\n").status,
              Status::Loaded);
    model.BuildCategories();
    model.showCategory(0);
    EXPECT_EQ(model.catalogueTextFromUtf8("\xE2\x82\xAC"), "\x80"); // carried, no switch
    EXPECT_EQ(model.catalogueEncoding, TextEncoding::Windows1252);

    const std::string typed = "\xE6\x97\xA5 disc;NEW.TXT;-1";
    const std::string stored = model.catalogueTextFromUtf8(typed);
    EXPECT_EQ(stored, typed);
    EXPECT_EQ(model.catalogueEncoding, TextEncoding::Utf8);
    EXPECT_EQ(model.lstAll()[0], "[Caf\xC3\xA9]");
    EXPECT_EQ(model.categoryNames()[0], "Caf\xC3\xA9");
    test::appendLine(model, stored);
    EXPECT_EQ(model.notesEncoding, TextEncoding::Windows1252); // notes keep their own

    ASSERT_TRUE(model.SaveCatalogue(catalogPath, notesPath, 110).ok);
    Catalogue reloaded;
    ASSERT_EQ(reloaded.LoadCatalogue(catalogPath, notesPath).status, Status::Loaded);
    EXPECT_EQ(reloaded.catalogueEncoding, TextEncoding::Utf8);
    EXPECT_EQ(reloaded.lstAll(), model.lstAll());
    EXPECT_EQ(readFile(notesPath), "Caf\xE9 note\r\n");
}

TEST_F(CatalogueFiles, OptionsLineOnlyWhenTheLastLineIsANumber) {
    for (const auto& [line, number] :
         {std::pair{"0", 0}, std::pair{"5", 5}, std::pair{"111", 111}, std::pair{" 101", 101}}) {
        ASSERT_EQ(load("[Main]\r\n" + std::string(line) + "\r\n", "").status, Status::Loaded);
        EXPECT_EQ(model.optionsAtLoad, number) << line;
        EXPECT_EQ(model.lstAll(), (Lines{"[Main]"})) << line;
    }
    // A listing is never the options line, even one that starts with a number.
    for (const std::string last : {"No options;NO.TXT;-1", "2024 Report;R.PDF;1", "7;X"}) {
        const auto outcome = load("[Main]\r\n" + last, "");
        EXPECT_EQ(outcome.options, 110) << last;
        EXPECT_EQ(model.optionsAtLoad, 110) << last;
        EXPECT_EQ(model.lstAll(), (Lines{"[Main]", last})) << last;
    }
}

TEST_F(CatalogueFiles, OnlyAMissingOrEmptyCatalogueIsMadeAnewAndItKeepsTheNotes) {
    const std::string notes = "start\r\nleave\r\n";
    for (const bool present : {false, true}) {
        std::filesystem::remove(catalogPath);
        if (present)
            writeFile(catalogPath, "");
        writeFile(notesPath, notes);
        ASSERT_EQ(model.LoadCatalogue(catalogPath, notesPath).status, Status::Missing);
        EXPECT_EQ(model.lstAll(), (Lines{"[Main]"}));
        EXPECT_EQ(model.lstMemo(), (Lines{"start", "leave"}));
        ASSERT_TRUE(model.SaveCatalogue(catalogPath, notesPath, kDefaultOptionsNumber).ok);
        EXPECT_EQ(readFile(catalogPath), "[Main]\r\n110\r\n");
        EXPECT_EQ(readFile(notesPath), notes);
    }
}

TEST_F(CatalogueFiles, CataloguesWithoutTextOrThatAreNoFilesAreRefusedAndKept) {
    struct Case {
        const char* what;
        std::string bytes;
        std::string reason;
    };
    const Case texts[] = {
        {"NUL first", "\0[Main]\r\n110\r\n"s, "No readable text"},
        {"UTF-16 LE with mark", "\xFF\xFE[\0M\0]\0\r\0\n\0001\0\r\0\n\0"s, "No readable text"},
        {"UTF-16 LE", "[\0M\0]\0\r\0\n\0"s, "No readable text"},
        {"UTF-16 BE with mark", "\xFE\xFF\0[\0M\0]"s, "No readable text"},
        {"UTF-32 LE", "[\0\0\0M\0\0\0"s, "No readable text"},
        {"line ends only", "\r\n\r\n", "No readable text"},
    };
    const std::string notes = "a note\r\n";
    model.setLines({"[Kept]"});
    for (const Case& c : texts) {
        const auto outcome = load(c.bytes, notes);
        EXPECT_EQ(outcome.status, Status::Unreadable) << c.what;
        EXPECT_EQ(outcome.error, c.reason) << c.what;
        EXPECT_EQ(model.lstAll(), (Lines{"[Kept]"})) << c.what;
        EXPECT_EQ(readFile(catalogPath), c.bytes) << c.what;
        EXPECT_EQ(readFile(notesPath), notes) << c.what;
    }

    std::filesystem::remove(catalogPath);
    ASSERT_EQ(::mkfifo(catalogPath.c_str(), 0644), 0);
    auto outcome = model.LoadCatalogue(catalogPath, notesPath);
    EXPECT_EQ(outcome.status, Status::Unreadable);
    EXPECT_EQ(outcome.error, "Not a regular file");

    std::filesystem::remove(catalogPath);
    std::filesystem::create_symlink("/dev/zero", catalogPath);
    outcome = model.LoadCatalogue(catalogPath, notesPath);
    EXPECT_EQ(outcome.status, Status::Unreadable);
    EXPECT_EQ(outcome.error, "Not a regular file");

    std::filesystem::remove(catalogPath);
    std::filesystem::create_directory(catalogPath);
    outcome = model.LoadCatalogue(catalogPath, notesPath);
    EXPECT_EQ(outcome.status, Status::Unreadable);
    EXPECT_EQ(outcome.error, std::strerror(EISDIR));
    EXPECT_EQ(readFile(notesPath), notes);
}

TEST_F(CatalogueFiles, NotesThatCannotBeReadAreNeverWritten) {
    const auto expectSaveRefused = [&](const char* what, const std::string& reason) {
        ASSERT_EQ(model.LoadCatalogue(catalogPath, notesPath).status, Status::Loaded) << what;
        EXPECT_TRUE(model.lstMemo().empty()) << what;
        EXPECT_EQ(model.notesReadError, reason) << what;
        test::appendLine(model, "Changed;CHANGED.TXT;-1");
        const WriteOutcome outcome = model.SaveCatalogue(catalogPath, notesPath, 111);
        EXPECT_FALSE(outcome.ok) << what;
        EXPECT_TRUE(outcome.readFailed) << what;
        EXPECT_EQ(outcome.failedPath, notesPath) << what;
        EXPECT_EQ(outcome.error, reason) << what;
        EXPECT_EQ(model.optionsAtLoad, 110) << what;
        EXPECT_EQ(readFile(catalogPath), kExampleCatalogue) << what;
    };
    writeFile(catalogPath, kExampleCatalogue);
    const std::string utf16 = "\xFF\xFEn\0o\0t\0e\0"s;
    writeFile(notesPath, utf16);
    expectSaveRefused("UTF-16 notes", "No readable text");
    EXPECT_EQ(readFile(notesPath), utf16);

    std::filesystem::remove(notesPath);
    std::filesystem::create_directory(notesPath);
    expectSaveRefused("notes file is a folder", std::strerror(EISDIR));
    EXPECT_TRUE(std::filesystem::is_directory(notesPath));

    std::filesystem::remove(notesPath);
    writeFile(notesPath, kExampleNotes);
    ::chmod(notesPath.c_str(), 0200);
    ::chmod(folder.path().c_str(), 0777);
    const auto savesOverUnreadableNotes = [&] {
        Catalogue other;
        other.LoadCatalogue(catalogPath, notesPath);
        return other.SaveCatalogue(catalogPath, notesPath, 110).ok ? 1 : 0;
    };
    if (test::runningAsRoot()) {
        ::chown(notesPath.c_str(), 0, 0);
        ::chmod(catalogPath.c_str(), 0666);
        EXPECT_EQ(test::runAsOtherUser(savesOverUnreadableNotes), 0);
    } else {
        EXPECT_EQ(savesOverUnreadableNotes(), 0);
    }
    ::chmod(notesPath.c_str(), 0644);
    EXPECT_EQ(readFile(notesPath), kExampleNotes);

    // Missing notes are no notes, and the save creates the file.
    std::filesystem::remove(notesPath);
    ASSERT_EQ(model.LoadCatalogue(catalogPath, notesPath).status, Status::Loaded);
    EXPECT_TRUE(model.notesReadError.empty());
    EXPECT_TRUE(model.SaveCatalogue(catalogPath, notesPath, 110).ok);
}

TEST_F(CatalogueFiles, TrailingEmptyLinesAndByteOrderMarks) {
    ASSERT_EQ(load("[Main]\r\nA;A.TXT;-1\r\n101\r\n\r\n \r\n\t\r\n", "").status, Status::Loaded);
    EXPECT_EQ(model.optionsAtLoad, 101);
    EXPECT_EQ(model.lstAll(), (Lines{"[Main]", "A;A.TXT;-1"}));
    ASSERT_TRUE(model.SaveCatalogue(catalogPath, notesPath, 101).ok);
    EXPECT_EQ(readFile(catalogPath), "[Main]\r\nA;A.TXT;-1\r\n101\r\n");

    // Empty notes are notes: the notes file keeps its trailing empty lines.
    const std::string catalogue = "\xEF\xBB\xBF[Main]\r\nA;A.TXT;0\r\n110\r\n";
    const std::string notes = "\xEF\xBB\xBFnote\r\n\r\n";
    ASSERT_EQ(load(catalogue, notes).status, Status::Loaded);
    EXPECT_EQ(model.BuildCategories(), 1u);
    EXPECT_EQ(model.categoryNames(), (Lines{"Main"}));
    EXPECT_EQ(model.lstMemo(), (Lines{"note", ""}));
    EXPECT_EQ(model.catalogueEncoding, TextEncoding::Utf8);
    EXPECT_EQ(model.notesEncoding, TextEncoding::Utf8);
    expectSavedUnchanged(catalogue, notes);

    // Windows-1252 notes may begin with the two letters of a UTF-16 mark.
    ASSERT_EQ(load("[Main]\r\n110\r\n", "\xFE\xFFnote\r\n").status, Status::Loaded);
    EXPECT_EQ(model.lstMemo(), (Lines{"\xFE\xFFnote"}));
    expectSavedUnchanged("[Main]\r\n110\r\n", "\xFE\xFFnote\r\n");

    // A first note that comes to start with the bytes of a mark, or with a NUL that would make
    // the file read as UTF-16 (the note before it was removed), keeps them: the save puts a mark
    // in front for the load to take off.
    for (const std::string& second : {"\xEF\xBB\xBFsecond"s, " \0second"s, "\0second"s}) {
        ASSERT_EQ(load("[Main]\r\nA;A.TXT;0\r\n110\r\n", "\r\n" + second + "\r\n").status,
                  Status::Loaded);
        EXPECT_EQ(model.CommitNote(0), "-1");
        ASSERT_TRUE(model.SaveCatalogue(catalogPath, notesPath, 110).ok);
        const Lines notesBefore = model.lstMemo();
        ASSERT_EQ(model.LoadCatalogue(catalogPath, notesPath).status, Status::Loaded);
        EXPECT_EQ(model.lstMemo(), notesBefore) << testing::PrintToString(second);
        EXPECT_EQ(model.notesReadError, "") << testing::PrintToString(second);
    }
}

TEST_F(CatalogueFiles, NewCatalogueIsMainAndTheDefaultOptions) {
    model.startNewCatalogue();
    ASSERT_TRUE(model.SaveCatalogue(catalogPath, notesPath, kDefaultOptionsNumber).ok);
    EXPECT_EQ(readFile(catalogPath), "[Main]\r\n110\r\n");
    EXPECT_EQ(readFile(notesPath), "");
    EXPECT_EQ(model.optionsAtLoad, 110);
    ASSERT_EQ(model.LoadCatalogue(catalogPath, notesPath).status, Status::Loaded);
    EXPECT_EQ(model.BuildCategories(), 1u);
    model.showCategory(0);
    EXPECT_TRUE(model.lstFiles().empty());
}

TEST_F(CatalogueFiles, HeaderRulesAndLinesOutsideAnyCategory) {
    const std::string catalogue = "Stray line;STRAY.TXT;0\r\n"
                                  "\r\n"
                                  "[Main] trailing words\r\n"
                                  "[Beta release notes;BETA.TXT;-1\r\n"
                                  "No note here\r\n"
                                  "[]\r\n"
                                  "110\r\n";
    ASSERT_EQ(load(catalogue, "\r\nsecond\r\n").status, Status::Loaded);
    EXPECT_EQ(model.BuildCategories(), 3u);
    EXPECT_EQ(model.categoryNames(), (Lines{"Main", "Beta release notes;BETA.TXT;-1", ""}));
    EXPECT_EQ(model.categoryStart(), (std::vector<std::size_t>{2, 3, 5}));
    model.showCategory(1);
    EXPECT_EQ(model.lstPath(), (Lines{""}));
    EXPECT_EQ(model.noteIndex(), (std::vector<int>{-1}));
    model.showCategory(2);
    EXPECT_TRUE(model.lstFiles().empty());

    // Removing note 0 renumbers listings of categories only.
    EXPECT_EQ(model.CommitNote(0), "-1");
    EXPECT_EQ(model.lstAll()[0], "Stray line;STRAY.TXT;0");
    expectSavedUnchanged(catalogue, "second\r\n");
}

TEST_F(CatalogueFiles, DescriptionStartingWithBracketBecomesAHeaderOnReload) {
    ASSERT_EQ(load(kExampleCatalogue, kExampleNotes).status, Status::Loaded);
    Lines lines = model.lstAll();
    lines.insert(lines.begin() + 3, "[New] tools;NEW.EXE;-1");
    model.setLines(std::move(lines));
    ASSERT_TRUE(model.SaveCatalogue(catalogPath, notesPath, 110).ok);
    ASSERT_EQ(model.LoadCatalogue(catalogPath, notesPath).status, Status::Loaded);
    EXPECT_EQ(model.BuildCategories(), 3u);
    EXPECT_EQ(model.categoryNames(), (Lines{"Main", "New", "Tools"}));
}

TEST_F(CatalogueFiles, NulBytesInsideEitherFileLoseNothing) {
    const std::string catalogue = "[Main]\r\nA\0B;A.TXT;0\r\n[After]\r\nC;C.TXT;1\r\n110\r\n"s;
    const std::string notes = "first\0note\r\nsecond\r\n"s;
    ASSERT_EQ(load(catalogue, notes).status, Status::Loaded);
    EXPECT_EQ(model.BuildCategories(), 2u);
    EXPECT_EQ(model.lstMemo(), (Lines{"first\0note"s, "second"}));
    expectSavedUnchanged(catalogue, notes);
    // Typed or pasted, a NUL becomes a blank.
    EXPECT_EQ(model.catalogueTextFromUtf8("a\0b"s), "a b");
    EXPECT_EQ(model.noteTextFromUtf8("a\0b"s), "a b");
}

TEST_F(CatalogueFiles, ShowingNoCategoryIsEmpty) {
    ASSERT_EQ(load("Only;ONLY.TXT;0\r\n110\r\n", "").status, Status::Loaded);
    EXPECT_EQ(model.BuildCategories(), 0u);
    for (int k : {0, -1, 5}) {
        model.showCategory(k);
        EXPECT_EQ(model.shownCategory(), -1);
        EXPECT_TRUE(model.lstFiles().empty() && model.lstPath().empty() &&
                    model.noteIndex().empty());
        EXPECT_EQ(model.lineIndexOfRow(0), model.lstAll().size());
    }
    EXPECT_EQ(model.GetListingDescription(0), "");
    EXPECT_EQ(model.GetListingPath(0), "");
}

class CommitNote : public CatalogueFiles {
protected:
    void SetUp() override {
        ASSERT_EQ(load(kExampleCatalogue, kExampleNotes).status, Status::Loaded);
        model.BuildCategories();
        model.showCategory(0);
    }
};

TEST_F(CommitNote, NoteWithTextIsKeptAndNothingChanges) {
    const Catalogue before = model;
    EXPECT_EQ(model.CommitNote(1), "1");
    EXPECT_EQ(model.lstAll(), before.lstAll());
    EXPECT_EQ(model.lstMemo(), before.lstMemo());
}

TEST_F(CommitNote, EmptyNoteIsRemovedAndLaterNotesRenumberedInEveryCategory) {
    model.replaceNote(0, "");
    EXPECT_EQ(model.CommitNote(0), "-1");
    EXPECT_EQ(model.lstMemo(), (Lines{"A viewer for the data on this disc."}));
    EXPECT_EQ(model.lstAll(),
              (Lines{"[Main]", "Install the demo;DEMO\\SETUP.EXE;-1", "Read me first;README.TXT;-1",
                     "[Tools]", "Disk viewer;TOOLS\\VIEW.EXE;0"}));
    EXPECT_EQ(model.lstFiles()[0], model.lstAll()[1]);
    EXPECT_EQ(model.noteIndex(), (std::vector<int>{-1, -1}));
    EXPECT_EQ(model.lstPath(), (Lines{"DEMO\\SETUP.EXE", "README.TXT"}));
}

TEST_F(CommitNote, OnlyTheNoteFieldIsRewrittenAndShownRowsFollow) {
    // A trimmed " [x" would read back as a header: the description stays as written.
    Lines lines = model.lstAll();
    lines[4] = " [Disk viewer  ;TOOLS\\VIEW.EXE;1";
    model.setLines(std::move(lines));
    model.showCategory(1);
    model.replaceNote(0, "");
    model.CommitNote(0);
    EXPECT_EQ(model.lstAll()[4], " [Disk viewer  ;TOOLS\\VIEW.EXE;0");
    EXPECT_EQ(model.lstFiles(), (Lines{model.lstAll()[4]}));
    EXPECT_EQ(model.noteIndex(), (std::vector<int>{0}));
    EXPECT_EQ(model.lstAll()[1], "Install the demo;DEMO\\SETUP.EXE;-1");
    // What the model holds reads back alike.
    ASSERT_TRUE(model.SaveCatalogue(catalogPath, notesPath, 110).ok);
    Catalogue reloaded;
    ASSERT_EQ(reloaded.LoadCatalogue(catalogPath, notesPath).status, Status::Loaded);
    EXPECT_EQ(reloaded.lstAll(), model.lstAll());
    EXPECT_EQ(reloaded.BuildCategories(), 2u);
}

TEST_F(CommitNote, NoteBeyondTheNotesChangesNothing) {
    const Catalogue before = model;
    EXPECT_EQ(model.CommitNote(2), "-1");
    EXPECT_EQ(model.CommitNote(1000000), "-1");
    EXPECT_EQ(model.lstAll(), before.lstAll());
    EXPECT_EQ(model.lstMemo(), before.lstMemo());
}

TEST_F(CatalogueFiles, NoteIndexesBeyondOldLimits) {
    // More than 256 listings in one category, and an index of more than five digits.
    std::string catalogue = "[Main]\r\n";
    std::string notes;
    for (int i = 0; i < 300; ++i) {
        catalogue += "Item " + std::to_string(i) + ";I.TXT;" + std::to_string(i) + "\r\n";
        notes += "note " + std::to_string(i) + "\r\n";
    }
    catalogue += "Far;FAR.TXT;1234567\r\n110\r\n";
    ASSERT_EQ(load(catalogue, notes).status, Status::Loaded);
    model.BuildCategories();
    model.showCategory(0);
    ASSERT_EQ(model.noteIndex().size(), 301u);
    EXPECT_EQ(model.noteIndex()[299], 299);
    EXPECT_EQ(model.noteIndex()[300], 1234567);

    model.replaceNote(10, "");
    model.CommitNote(10);
    EXPECT_EQ(model.noteIndex()[9], 9);
    EXPECT_EQ(model.noteIndex()[299], 298);
    EXPECT_EQ(model.noteIndex()[300], 1234566);
    EXPECT_EQ(model.lstAll()[301], "Far;FAR.TXT;1234566");
    EXPECT_EQ(model.lstFiles()[299], "Item 299;I.TXT;298");
}

class FailedSave : public CatalogueFiles {
protected:
    void SetUp() override {
        ASSERT_EQ(load(kExampleCatalogue, kExampleNotes).status, Status::Loaded);
        test::appendLine(model, "Changed;CHANGED.TXT;-1");
        model.appendNote("changed");
    }
    void expectFailedWithNothingChanged(const std::string& failedPath) {
        const std::vector<std::string> lines = model.lstAll();
        const WriteOutcome outcome = model.SaveCatalogue(catalogPath, notesPath, 111);
        EXPECT_FALSE(outcome.ok);
        EXPECT_EQ(outcome.failedPath, failedPath);
        EXPECT_FALSE(outcome.error.empty());
        EXPECT_EQ(model.optionsAtLoad, 110);
        EXPECT_EQ(model.lstAll(), lines);
        if (std::filesystem::is_regular_file(catalogPath)) {
            EXPECT_EQ(readFile(catalogPath), kExampleCatalogue);
        }
        if (std::filesystem::is_regular_file(notesPath)) {
            EXPECT_EQ(readFile(notesPath), kExampleNotes);
        }
        EXPECT_EQ(folder.entries(), (Lines{"descript.txt", "qubrix.dat"}));
    }
};

TEST_F(FailedSave, WriteProtectedCatalogue) {
    ::chmod(catalogPath.c_str(), 0444);
    expectFailedWithNothingChanged(catalogPath);
}

TEST_F(FailedSave, NotesFileIsAFolder) {
    std::filesystem::remove(notesPath);
    std::filesystem::create_directory(notesPath);
    expectFailedWithNothingChanged(notesPath);
}

TEST_F(FailedSave, FolderNotWritableWithWritableFilesIsWrittenInPlace) {
    if (test::runningAsRoot())
        GTEST_SKIP() << "root may write any folder";
    ::chmod(folder.path().c_str(), 0555);
    const WriteOutcome outcome = model.SaveCatalogue(catalogPath, notesPath, 111);
    ::chmod(folder.path().c_str(), 0755);
    ASSERT_TRUE(outcome.ok) << outcome.error;
    EXPECT_EQ(readFile(notesPath), kExampleNotes + "changed\r\n");
    EXPECT_EQ(folder.entries(), (Lines{"descript.txt", "qubrix.dat"}));
}

TEST_F(CatalogueFiles, HundredThousandListingsLoadBuildAndSave) {
    std::string catalogue;
    std::string notes;
    for (int k = 0; k < 10000; ++k) {
        catalogue += "[Category " + std::to_string(k) + "]\r\n";
        for (int i = 0; i < 10; ++i) {
            const int n = k * 10 + i;
            catalogue += "Listing " + std::to_string(n) + ";DIR\\F" + std::to_string(n) + ".EXE;" +
                         std::to_string(n) + "\r\n";
            notes += "Note " + std::to_string(n) + "\r\n";
        }
    }
    catalogue += "101\r\n";
    ASSERT_EQ(load(catalogue, notes).status, Status::Loaded);
    EXPECT_EQ(model.lstAll().size(), 110000u);
    EXPECT_EQ(model.lstMemo().size(), 100000u);
    ASSERT_EQ(model.BuildCategories(), 10000u);
    EXPECT_EQ(model.categoryNames()[9999], "Category 9999");
    model.showCategory(9999);
    ASSERT_EQ(model.lstPath().size(), 10u);
    EXPECT_EQ(model.lstPath()[9], "DIR\\F99999.EXE");
    EXPECT_EQ(model.noteIndex()[9], 99999);
    EXPECT_EQ(model.lineIndexOfRow(9), 109999u);
    ASSERT_TRUE(model.SaveCatalogue(catalogPath, notesPath, 101).ok);
    EXPECT_EQ(readFile(catalogPath), catalogue);
    EXPECT_EQ(readFile(notesPath), notes);
}

// Saving takes the POSIX part of the core, so this case lives here rather than with the other
// category cases.
TEST(Categories, ManyCategoriesAreCreatedSavedAndLoaded) {
    test::TempFolder folder;
    const std::string catalogPath = folder.file("qubrix.dat");
    const std::string notesPath = folder.file("descript.txt");
    Catalogue model;
    model.startNewCatalogue();
    for (int k = 1; k < 120; ++k)
        model.addCategory("Category " + std::to_string(k));
    ASSERT_EQ(model.categoryStart().size(), 120u);
    model.showCategory(119);
    ASSERT_TRUE(model.SaveCatalogue(catalogPath, notesPath, 110).ok);

    Catalogue reloaded;
    ASSERT_EQ(reloaded.LoadCatalogue(catalogPath, notesPath).status,
              Catalogue::LoadOutcome::Status::Loaded);
    EXPECT_EQ(reloaded.BuildCategories(), 120u);
    EXPECT_EQ(reloaded.categoryNames().back(), "Category 119");
    reloaded.showCategory(119);
    test::expectCatalogueInvariants(reloaded);
}

} // namespace
} // namespace qubrix
