#include "editing/listingedit.h"
#include "naming/pickedpath.h"

#include <gtest/gtest.h>

namespace qubrix {
namespace {

struct Parts {
    std::string pickedPath, topFolder, pickedFolder, pickedName;
};

void expectParts(const PickedPath& picked, const Parts& parts) {
    EXPECT_EQ(picked.pickedPath, parts.pickedPath);
    EXPECT_EQ(picked.topFolder, parts.topFolder);
    EXPECT_EQ(picked.pickedFolder, parts.pickedFolder);
    EXPECT_EQ(picked.pickedName, parts.pickedName);
}

TEST(PickedPath, FullPathBelowTheMountPoint) {
    struct Case {
        const char* fullPath;
        const char* mountPoint;
        bool includeParent;
        Parts parts;
    };
    for (const Case& c : {
             Case{"/media/u/E/CDROOT/TOOLS/ZIP.EXE",
                  "/media/u/E",
                  false,
                  {"TOOLS\\ZIP.EXE", "CDROOT", "TOOLS\\", "ZIP.EXE"}},
             Case{"/media/u/E/CDROOT/TOOLS/ZIP.EXE",
                  "/media/u/E",
                  true,
                  {"CDROOT\\TOOLS\\ZIP.EXE", "CDROOT", "CDROOT\\TOOLS\\", "ZIP.EXE"}},
             // A file in the root keeps the first folder of an earlier pick.
             Case{"/media/u/E/SETUP.EXE",
                  "/media/u/E",
                  false,
                  {"SETUP.EXE", "EARLIER", "", "SETUP.EXE"}},
             Case{"/media/u/E/STAGE/SETUP.EXE",
                  "/media/u/E",
                  false,
                  {"SETUP.EXE", "STAGE", "", "SETUP.EXE"}},
             // The root file system has the empty mount point.
             Case{"/home/a/x y/Read Me.txt",
                  "",
                  true,
                  {"home\\a\\x y\\Read Me.txt", "home", "home\\a\\x y\\", "Read Me.txt"}},
         }) {
        SCOPED_TRACE(c.fullPath);
        PickedPath picked;
        picked.topFolder = "EARLIER";
        ASSERT_TRUE(picked.setPickedPath(c.fullPath, c.mountPoint, c.includeParent));
        expectParts(picked, c.parts);
    }
}

TEST(PickedPath, FileOutsideTheMediumChangesNothing) {
    for (const char* fullPath : {"/media/u/Elsewhere/A.EXE", "/media/u/A.EXE", "/media/u/E",
                                 "/media/u/E/", "relative/A.EXE"}) {
        PickedPath picked;
        ASSERT_TRUE(picked.setPickedPath("/media/u/E/OLD/B.EXE", "/media/u/E", true));
        EXPECT_FALSE(picked.setPickedPath(fullPath, "/media/u/E", true)) << fullPath;
        expectParts(picked, {"OLD\\B.EXE", "OLD", "OLD\\", "B.EXE"});
    }
}

TEST(PickedPath, ShownPathIsWhatTheCheckSees) {
    struct Case {
        const char* shownPath;
        bool includeParent;
        Parts parts;
    };
    for (const Case& c : {
             // The Browse result was kept: the state stays the picker's.
             Case{"TOOLS\\ZIP.EXE", false, {"TOOLS\\ZIP.EXE", "CDROOT", "TOOLS\\", "ZIP.EXE"}},
             // Edited or typed: built from the shown path below the same first folder.
             Case{
                 "TOOLS\\UNZIP.EXE", false, {"TOOLS\\UNZIP.EXE", "CDROOT", "TOOLS\\", "UNZIP.EXE"}},
             Case{"README.TXT", false, {"README.TXT", "CDROOT", "", "README.TXT"}},
             Case{"APPS\\X\\Y.EXE", true, {"APPS\\X\\Y.EXE", "APPS", "APPS\\X\\", "Y.EXE"}},
         }) {
        SCOPED_TRACE(c.shownPath);
        PickedPath picked;
        ASSERT_TRUE(picked.setPickedPath("/m/CDROOT/TOOLS/ZIP.EXE", "/m", false));
        picked.describeShownPath(c.shownPath, c.includeParent);
        expectParts(picked, c.parts);
    }
}

TEST(PickedPath, CancelledBrowseLeavesNoNameUntilTheShownPathIsDescribed) {
    PickedPath picked;
    ASSERT_TRUE(picked.setPickedPath("/m/CDROOT/TOOLS/ZIP.EXE", "/m", false));
    picked.browseStarted();
    expectParts(picked, {"TOOLS\\ZIP.EXE", "CDROOT", "TOOLS\\", ""});
    picked.describeShownPath("TOOLS\\ZIP.EXE", false);
    expectParts(picked, {"TOOLS\\ZIP.EXE", "CDROOT", "TOOLS\\", "ZIP.EXE"});
}

// The name check renames on disk below the left-out folder: a root file has none, even while
// topFolder still names the folder of an earlier pick.
TEST(PickedPath, FirstFolderLeftOutOnlyWhenThePathHasOne) {
    PickedPath picked;
    ASSERT_TRUE(picked.setPickedPath("/m/STAGE/A.EXE", "/m", false));
    EXPECT_TRUE(picked.topFolderLeftOut);
    ASSERT_TRUE(picked.setPickedPath("/m/SETUP.EXE", "/m", false));
    EXPECT_EQ(picked.topFolder, "STAGE");
    EXPECT_FALSE(picked.topFolderLeftOut);
    ASSERT_TRUE(picked.setPickedPath("/m/STAGE/A.EXE", "/m", true));
    EXPECT_FALSE(picked.topFolderLeftOut);
    // A kept Browse result keeps its form even after the option changed.
    picked.describeShownPath("STAGE\\A.EXE", false);
    EXPECT_FALSE(picked.topFolderLeftOut);
    // A typed path lies below the first folder of the last pick, without the option none.
    picked.describeShownPath("B.EXE", false);
    EXPECT_TRUE(picked.topFolderLeftOut);
    picked.describeShownPath("STAGE\\B.EXE", true);
    EXPECT_FALSE(picked.topFolderLeftOut);
}

TEST(ListingEditFlags, QuickEditStartsOnlyWhenArmedWithOneListingSelected) {
    struct Case {
        std::size_t selected;
        bool clicked;
        bool edits;
    };
    for (const Case& c :
         {Case{1, true, true}, Case{1, false, false}, Case{0, true, false}, Case{2, true, false}}) {
        ListingEditFlags flags;
        flags.selectionChanged(c.selected);
        if (c.clicked)
            flags.quickEditorClicked();
        EXPECT_EQ(flags.quickEditorTextChanged(), c.edits);
        EXPECT_EQ(flags.quickEditActive, c.edits);
        EXPECT_EQ(flags.modifyMode, c.edits);
    }
    ListingEditFlags flags;
    flags.selectionChanged(1);
    flags.quickEditorClicked();
    flags.selectionChanged(1); // another listing: the click no longer counts
    EXPECT_FALSE(flags.quickEditArmed);
    EXPECT_FALSE(flags.quickEditorTextChanged());
}

TEST(ListingEditFlags, NotesEditTheOwnNoteOnlyInAModifyOfAListingWithOne) {
    struct Case {
        bool modify;
        bool hasNote;
        bool newNote;
    };
    for (const Case& c : {Case{false, false, true}, Case{false, true, true},
                          Case{true, false, true}, Case{true, true, false}}) {
        ListingEditFlags flags;
        if (c.modify)
            flags.modifyStarted();
        EXPECT_EQ(flags.notesOpened(c.hasNote), c.newNote);
        EXPECT_EQ(flags.newNoteMode, c.newNote);
        EXPECT_TRUE(flags.noteTouched);
        flags.notesCancelled();
        EXPECT_FALSE(flags.noteTouched);
    }
}

TEST(ListingEditFlags, AnEndedEntryClearsEveryEditFlag) {
    ListingEditFlags flags;
    flags.selectionChanged(1);
    flags.quickEditorClicked();
    flags.quickEditorTextChanged();
    flags.notesOpened(true);
    flags.entryEnded();
    EXPECT_FALSE(flags.modifyMode);
    EXPECT_FALSE(flags.quickEditActive);
    EXPECT_FALSE(flags.quickEditArmed);
    EXPECT_FALSE(flags.noteTouched);
    EXPECT_TRUE(flags.singleSelection); // the selection itself has not changed
}

} // namespace
} // namespace qubrix
