#include "core/catalogue/catalogue.h"

#include "catalogue_invariants.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

namespace qubrix {
namespace {

using test::expectCatalogueInvariants;
using Lines = std::vector<std::string>;
using Starts = std::vector<std::size_t>;

const Lines kLines = {
    "[Main]",  "Install the demo;DEMO\\SETUP.EXE;0", "Read me first;README.TXT;-1",
    "[Tools]", "Disk viewer;TOOLS\\VIEW.EXE;1",      "[Empty]",
    "[Docs]",  "Manual;DOCS\\MANUAL.PDF;2"};
const Lines kNotes = {"demo note", "viewer note", "manual note"};

Catalogue modelShowing(int category) {
    Catalogue model;
    model.setLines(kLines);
    for (const std::string& note : kNotes)
        model.appendNote(note);
    model.BuildCategories();
    model.showCategory(category);
    return model;
}

Lines with(Lines lines, std::size_t at, const std::string& line) {
    lines.insert(lines.begin() + std::ptrdiff_t(at), line);
    return lines;
}

TEST(ListingOperations, AddAppendsToTheShownCategory) {
    struct Case {
        int category;
        std::size_t line; // where the new line lands in lstAll
        Starts starts;
    };
    for (const Case& c : {Case{0, 3, {0, 4, 6, 7}}, Case{1, 5, {0, 3, 6, 7}},
                          Case{2, 6, {0, 3, 5, 7}}, Case{3, 8, {0, 3, 5, 6}}}) {
        SCOPED_TRACE(c.category);
        Catalogue model = modelShowing(c.category);
        const std::size_t rowsBefore = model.lstFiles().size();
        ASSERT_TRUE(model.addListing("  New one ", "NEW\\ONE.EXE", "-1"));
        expectCatalogueInvariants(model);
        EXPECT_EQ(model.lstAll(), with(kLines, c.line, "  New one ;NEW\\ONE.EXE;-1"));
        EXPECT_EQ(model.categoryStart(), c.starts);
        ASSERT_EQ(model.lstFiles().size(), rowsBefore + 1);
        EXPECT_EQ(model.GetListingDescription(rowsBefore), "    New one ");
        EXPECT_EQ(model.lstPath().back(), "NEW\\ONE.EXE");
        EXPECT_EQ(model.noteIndex().back(), -1);
        EXPECT_EQ(model.lstMemo(), kNotes);
    }
}

TEST(ListingOperations, ReplaceChangesOneRowAndItsLine) {
    struct Case {
        int category;
        std::size_t row;
        const char* note;
        std::size_t line;
    };
    for (const Case& c : {Case{0, 1, "-1", 2}, Case{0, 0, "0", 1}, Case{3, 0, "1", 7}}) {
        SCOPED_TRACE(c.line);
        Catalogue model = modelShowing(c.category);
        const std::uint64_t filled = model.revision();
        ASSERT_TRUE(model.replaceListing(c.row, "Changed", "X\\Y.TXT", c.note));
        EXPECT_NE(model.revision(), filled);
        expectCatalogueInvariants(model);
        Lines expected = kLines;
        expected[c.line] = std::string("Changed;X\\Y.TXT;") + c.note;
        EXPECT_EQ(model.lstAll(), expected);
        EXPECT_EQ(model.lstPath()[c.row], "X\\Y.TXT");
        EXPECT_EQ(model.noteIndex()[c.row], std::stoi(c.note));
    }
}

TEST(ListingOperations, RemoveTakesTheNoteAlongAndRenumbersLaterNotes) {
    struct Case {
        int category;
        std::size_t row;
        Lines lines;
        Lines notes;
    };
    for (const Case& c : {
             Case{0,
                  0,
                  {"[Main]", "Read me first;README.TXT;-1", "[Tools]",
                   "Disk viewer;TOOLS\\VIEW.EXE;0", "[Empty]", "[Docs]",
                   "Manual;DOCS\\MANUAL.PDF;1"},
                  {"viewer note", "manual note"}},
             Case{0,
                  1,
                  {"[Main]", "Install the demo;DEMO\\SETUP.EXE;0", "[Tools]",
                   "Disk viewer;TOOLS\\VIEW.EXE;1", "[Empty]", "[Docs]",
                   "Manual;DOCS\\MANUAL.PDF;2"},
                  kNotes},
             Case{3,
                  0,
                  {"[Main]", "Install the demo;DEMO\\SETUP.EXE;0", "Read me first;README.TXT;-1",
                   "[Tools]", "Disk viewer;TOOLS\\VIEW.EXE;1", "[Empty]", "[Docs]"},
                  {"demo note", "viewer note"}},
         }) {
        SCOPED_TRACE(c.lines.size() * 10 + c.row);
        Catalogue model = modelShowing(c.category);
        const std::uint64_t filled = model.revision();
        ASSERT_TRUE(model.removeListing(c.row));
        EXPECT_NE(model.revision(), filled);
        expectCatalogueInvariants(model);
        EXPECT_EQ(model.lstAll(), c.lines);
        EXPECT_EQ(model.lstMemo(), c.notes);
    }
    // Renumbered lines keep their text: a description " [x" stays a listing.
    Catalogue model = modelShowing(1);
    Lines lines = model.lstAll();
    lines[4] = " [Disk viewer;TOOLS\\VIEW.EXE;1";
    model.setLines(std::move(lines));
    model.showCategory(0);
    ASSERT_TRUE(model.removeListing(0));
    expectCatalogueInvariants(model);
    EXPECT_EQ(model.categoryNames(), (Lines{"Main", "Tools", "Empty", "Docs"}));
}

TEST(ListingOperations, ClearKeepsTheHeaderAndEveryNote) {
    struct Case {
        int category;
        Lines lines;
    };
    for (const Case& c : {
             Case{0,
                  {"[Main]", "[Tools]", "Disk viewer;TOOLS\\VIEW.EXE;1", "[Empty]", "[Docs]",
                   "Manual;DOCS\\MANUAL.PDF;2"}},
             Case{2, kLines},
             Case{3,
                  {"[Main]", "Install the demo;DEMO\\SETUP.EXE;0", "Read me first;README.TXT;-1",
                   "[Tools]", "Disk viewer;TOOLS\\VIEW.EXE;1", "[Empty]", "[Docs]"}},
         }) {
        SCOPED_TRACE(c.category);
        Catalogue model = modelShowing(c.category);
        const std::uint64_t filled = model.revision();
        ASSERT_TRUE(model.clearListings());
        EXPECT_NE(model.revision(), filled);
        expectCatalogueInvariants(model);
        EXPECT_EQ(model.lstAll(), c.lines);
        EXPECT_TRUE(model.lstFiles().empty());
        EXPECT_EQ(model.shownCategory(), c.category);
        EXPECT_EQ(model.lstMemo(), kNotes);
    }
}

TEST(ListingOperations, RefusedOperationsChangeNothing) {
    Catalogue model = modelShowing(1);
    const Catalogue before = model;
    EXPECT_FALSE(model.replaceListing(1, "No", "ROW.TXT", "-1"));
    EXPECT_FALSE(model.removeListing(5));
    EXPECT_FALSE(model.addListing("A;B", "X.EXE", "-1"));
    EXPECT_FALSE(model.replaceListing(0, "[Looks like a header", "X.EXE", "-1"));
    EXPECT_FALSE(model.addListing("Fine", "X;Y.EXE", "-1"));
    EXPECT_FALSE(model.addListing("Two\nlines", "X.EXE", "-1"));
    Catalogue none = modelShowing(-1);
    const Catalogue noneBefore = none;
    EXPECT_FALSE(none.addListing("A", "A.EXE", "-1"));
    EXPECT_FALSE(none.clearListings());
    EXPECT_EQ(none.lstAll(), kLines);
    EXPECT_EQ(model.lstAll(), before.lstAll());
    EXPECT_EQ(model.lstFiles(), before.lstFiles());
    EXPECT_EQ(model.revision(), before.revision());
    EXPECT_EQ(none.revision(), noneBefore.revision());
    expectCatalogueInvariants(model);
}

TEST(ListingOperations, FieldProblems) {
    struct Case {
        const char* description;
        const char* path;
        FieldProblem problem;
    };
    for (const Case& c : {
             Case{"  ", "A.EXE", FieldProblem::None},
             Case{"Tool [x]", "DIR\\A.EXE /x <DRIVE>\\B", FieldProblem::None},
             Case{"a;b", "A.EXE", FieldProblem::SemicolonInDescription},
             Case{"[Main]", "A.EXE", FieldProblem::BracketStartsDescription},
             Case{" [x", "A.EXE", FieldProblem::None},
             Case{"a\rb", "A.EXE", FieldProblem::LineBreakInDescription},
             Case{"a", "A;1.EXE", FieldProblem::SemicolonInPath},
             Case{"a", "A\n.EXE", FieldProblem::LineBreakInPath},
         }) {
        EXPECT_EQ(listingFieldProblem(c.description, c.path), c.problem) << c.description;
    }
    EXPECT_EQ(listingFieldProblem("a", std::string_view("A\0B", 3)), FieldProblem::LineBreakInPath);
}

TEST(ListingOperations, NoteFieldOfAnEntry) {
    struct Case {
        std::optional<std::size_t> modifiedRow; // in category Main
        bool noteTouched;
        const char* lastNote; // the notes dialog's result appended or written
        const char* field;
        std::size_t noteCount;
    };
    for (const Case& c : {
             Case{std::nullopt, false, nullptr, "-1", 3},
             Case{std::nullopt, true, "new note", "3", 4},
             Case{std::nullopt, true, "", "-1", 3},
             Case{0, false, nullptr, "0", 3},
             Case{1, false, nullptr, "-1", 3},
             Case{1, true, "note for readme", "3", 4},
             Case{0, true, "", "-1", 2},
         }) {
        SCOPED_TRACE(c.field);
        Catalogue model = modelShowing(0);
        if (c.noteTouched) {
            const auto own = c.modifiedRow ? model.noteOfRow(*c.modifiedRow) : std::nullopt;
            if (own)
                model.replaceNote(*own, c.lastNote);
            else
                model.appendNote(c.lastNote);
        }
        EXPECT_EQ(model.noteFieldForEntry(c.modifiedRow, c.noteTouched), c.field);
        EXPECT_EQ(model.lstMemo().size(), c.noteCount);
        expectCatalogueInvariants(model);
    }
}

TEST(ListingOperations, ManyListingsLongPathsAndLongNotes) {
    Catalogue model = modelShowing(2);
    const std::string longPath = std::string(300, 'P') + "\\" + std::string(300, 'Q') + ".EXE";
    model.appendNote(std::string(10000, 'n'));
    for (int i = 0; i < 300; ++i)
        ASSERT_TRUE(model.addListing("Item " + std::to_string(i), longPath, i == 299 ? "3" : "-1"));
    expectCatalogueInvariants(model);
    EXPECT_EQ(model.lstPath()[299], longPath);
    EXPECT_EQ(model.noteOfRow(299), std::optional<std::size_t>(3));
    ASSERT_TRUE(model.removeListing(299));
    EXPECT_EQ(model.lstMemo(), kNotes);
    ASSERT_TRUE(model.removeListing(0));
    expectCatalogueInvariants(model);
    EXPECT_EQ(model.GetListingDescription(0), "  Item 1");
    EXPECT_EQ(model.categoryStart().back(), 5u + 298u + 1u);
}

} // namespace
} // namespace qubrix
