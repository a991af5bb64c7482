#include "core/catalogue/catalogue.h"

#include "catalogue_invariants.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

namespace qubrix {
namespace {

using Lines = std::vector<std::string>;
using test::expectCatalogueInvariants;

Catalogue modelOf(Lines lines, int shown) {
    Catalogue model;
    model.setLines(std::move(lines));
    for (const char* note : {"note 0", "note 1", "note 2"})
        model.appendNote(note);
    model.BuildCategories();
    model.showCategory(shown);
    return model;
}

const Lines kThreeCategories = {"[Main]",  "Install;SETUP.EXE;0", "Read me;README.TXT;-1",
                                "[Tools]", "Viewer;VIEW.EXE;1",   "[Empty]"};

TEST(Categories, AddRenameAndDelete) {
    struct Case {
        const char* what;
        int shown;
        std::function<bool(Catalogue&)> operation;
        bool changed;
        Lines lstAll;
        Lines names;
        int shownAfter;
    };
    const Case cases[] = {
        {"new is last, behind the last listing, whichever category is shown",
         0,
         [](Catalogue& m) {
             m.addCategory("Games");
             return true;
         },
         true,
         {"[Main]", "Install;SETUP.EXE;0", "Read me;README.TXT;-1", "[Tools]", "Viewer;VIEW.EXE;1",
          "[Empty]", "[Games]"},
         {"Main", "Tools", "Empty", "Games"},
         0},
        {"a ] ends the shown name, the header keeps all",
         2,
         [](Catalogue& m) {
             m.addCategory("A]B");
             return true;
         },
         true,
         {"[Main]", "Install;SETUP.EXE;0", "Read me;README.TXT;-1", "[Tools]", "Viewer;VIEW.EXE;1",
          "[Empty]", "[A]B]"},
         {"Main", "Tools", "Empty", "A"},
         2},
        {"line breaks in a pasted name become blanks",
         0,
         [](Catalogue& m) {
             m.renameCategory(2, std::string("Two\r\nlines\0", 11));
             return true;
         },
         true,
         {"[Main]", "Install;SETUP.EXE;0", "Read me;README.TXT;-1", "[Tools]", "Viewer;VIEW.EXE;1",
          "[Two  lines ]"},
         {"Main", "Tools", "Two  lines "},
         0},
        {"rename keeps position and listings",
         1,
         [](Catalogue& m) {
             m.renameCategory(1, "Utilities");
             return true;
         },
         true,
         {"[Main]", "Install;SETUP.EXE;0", "Read me;README.TXT;-1", "[Utilities]",
          "Viewer;VIEW.EXE;1", "[Empty]"},
         {"Main", "Utilities", "Empty"},
         1},
        {"deleting the first shows the next one as the first",
         1,
         [](Catalogue& m) { return m.deleteCategory(0); },
         true,
         {"[Tools]", "Viewer;VIEW.EXE;1", "[Empty]"},
         {"Tools", "Empty"},
         0},
        {"deleting a middle category takes what it still holds",
         2,
         [](Catalogue& m) { return m.deleteCategory(1); },
         true,
         {"[Main]", "Install;SETUP.EXE;0", "Read me;README.TXT;-1", "[Empty]"},
         {"Main", "Empty"},
         0},
        {"deleting the last category row",
         0,
         [](Catalogue& m) { return m.deleteCategory(2); },
         true,
         Lines(kThreeCategories.begin(), kThreeCategories.end() - 1),
         {"Main", "Tools"},
         0},
        {"no such category",
         0,
         [](Catalogue& m) { return m.deleteCategory(3); },
         false,
         kThreeCategories,
         {"Main", "Tools", "Empty"},
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Catalogue model = modelOf(kThreeCategories, c.shown);
        const std::uint64_t filled = model.revision();
        EXPECT_EQ(c.operation(model), c.changed);
        EXPECT_EQ(model.lstAll(), c.lstAll);
        EXPECT_EQ(model.categoryNames(), c.names);
        EXPECT_EQ(model.shownCategory(), c.shownAfter);
        EXPECT_EQ(model.revision() != filled, c.changed);
        expectCatalogueInvariants(model);
    }
}

TEST(Categories, TheLastRemainingCategoryStays) {
    Catalogue model = modelOf({"Stray;STRAY.TXT;-1", "[Main]", "Install;SETUP.EXE;0"}, 0);
    EXPECT_FALSE(model.deleteCategory(0));
    EXPECT_EQ(model.lstAll().size(), 3u);
    EXPECT_EQ(model.lstFiles(), (Lines{"Install;SETUP.EXE;0"}));
    expectCatalogueInvariants(model);
}

TEST(Categories, MoveAListingToTheTopOfAnotherCategory) {
    const Lines four = {"[A]",          "a1;A1.EXE;0", "a2;A2.EXE;-1", "[B]",
                        "b1;B1.EXE;-1", "[C]",         "c1;C1.EXE;1",  "[D]"};
    struct Case {
        const char* what;
        int shown;
        std::size_t row, target;
        bool moved;
        Lines lstAll;
    };
    const Case cases[] = {
        {"first onto the third, note and all",
         0,
         0,
         2,
         true,
         {"[A]", "a2;A2.EXE;-1", "[B]", "b1;B1.EXE;-1", "[C]", "a1;A1.EXE;0", "c1;C1.EXE;1",
          "[D]"}},
        {"a later category onto an earlier one",
         2,
         0,
         0,
         true,
         {"[A]", "c1;C1.EXE;1", "a1;A1.EXE;0", "a2;A2.EXE;-1", "[B]", "b1;B1.EXE;-1", "[C]",
          "[D]"}},
        {"onto the last, empty category at the end",
         0,
         1,
         3,
         true,
         {"[A]", "a1;A1.EXE;0", "[B]", "b1;B1.EXE;-1", "[C]", "c1;C1.EXE;1", "[D]",
          "a2;A2.EXE;-1"}},
        {"onto its own category goes to the top",
         0,
         1,
         0,
         true,
         {"[A]", "a2;A2.EXE;-1", "a1;A1.EXE;0", "[B]", "b1;B1.EXE;-1", "[C]", "c1;C1.EXE;1",
          "[D]"}},
        {"already at the top of its own category", 0, 0, 0, false, four},
        {"no such row", 1, 1, 0, false, four},
        {"no such category", 0, 0, 4, false, four},
        {"an empty category has nothing to move", 3, 0, 0, false, four},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Catalogue model = modelOf(four, c.shown);
        const std::uint64_t filled = model.revision();
        EXPECT_EQ(model.moveListing(c.row, c.target), c.moved);
        EXPECT_EQ(model.revision() != filled, c.moved);
        EXPECT_EQ(model.lstAll(), c.lstAll);
        EXPECT_EQ(model.shownCategory(), c.shown);
        expectCatalogueInvariants(model);
    }

    // There and back again: the listing ends as the first of its old category.
    Catalogue model = modelOf(four, 0);
    ASSERT_TRUE(model.moveListing(1, 2));
    model.showCategory(2);
    ASSERT_TRUE(model.moveListing(0, 0));
    EXPECT_EQ(model.lstAll(), (Lines{"[A]", "a2;A2.EXE;-1", "a1;A1.EXE;0", "[B]", "b1;B1.EXE;-1",
                                     "[C]", "c1;C1.EXE;1", "[D]"}));
    EXPECT_EQ(model.lstFiles(), (Lines{"c1;C1.EXE;1"}));
    expectCatalogueInvariants(model);
}

TEST(Categories, SortOrdersTheShownCategoryByWholeLinesWithoutCase) {
    struct Case {
        const char* what;
        Lines listings;
        Lines sorted;
    };
    const Case cases[] = {
        {"letter case is ignored",
         {"beta;B.EXE;0", "Alpha;A.EXE;1", "gamma;G.EXE;-1"},
         {"Alpha;A.EXE;1", "beta;B.EXE;0", "gamma;G.EXE;-1"}},
        {"equal descriptions go by what follows them",
         {"Setup;Z.EXE;-1", "Setup;A.EXE;2", "setup;M.EXE;-1"},
         {"Setup;A.EXE;2", "setup;M.EXE;-1", "Setup;Z.EXE;-1"}},
        {"a description that begins another compares its ';'",
         {"Tool1;T.EXE;-1", "Tool;U.EXE;-1", "Toolbox;V.EXE;-1"},
         {"Tool1;T.EXE;-1", "Tool;U.EXE;-1", "Toolbox;V.EXE;-1"}},
        {"lines equal but for case keep their order",
         {"b;B;-1", "README;R.TXT;-1", "b;B;-1", "ReadMe;R.TXT;-1", "readme;r.txt;-1"},
         {"b;B;-1", "b;B;-1", "README;R.TXT;-1", "ReadMe;R.TXT;-1", "readme;r.txt;-1"}},
        {"characters beyond ASCII come after the letters",
         {"\xc3\x89t\xc3\xa9;E.EXE;-1", "zebra;Z.EXE;-1"},
         {"zebra;Z.EXE;-1", "\xc3\x89t\xc3\xa9;E.EXE;-1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Lines lines = {"[First]", "keep;K.EXE;-1", "[Shown]"};
        lines.insert(lines.end(), c.listings.begin(), c.listings.end());
        lines.push_back("[Last]");
        lines.push_back("zz;Z.EXE;-1");
        Catalogue model = modelOf(lines, 1);
        const std::uint64_t filled = model.revision();
        EXPECT_EQ(model.sortShownCategory(), c.sorted != c.listings);
        EXPECT_EQ(model.lstFiles(), c.sorted);
        EXPECT_EQ(model.lstAll().front(), "[First]");
        EXPECT_EQ(model.lstAll()[1], "keep;K.EXE;-1");
        EXPECT_EQ(model.lstAll().back(), "zz;Z.EXE;-1");
        expectCatalogueInvariants(model);
        EXPECT_FALSE(model.sortShownCategory()) << "a second sort changes nothing";
        EXPECT_EQ(model.revision(), filled + (c.sorted == c.listings ? 0u : 1u));
    }
    Catalogue none = modelOf(kThreeCategories, -1);
    EXPECT_FALSE(none.sortShownCategory());
    EXPECT_EQ(none.lstAll(), kThreeCategories);
}

} // namespace
} // namespace qubrix
