#include "core/editing/listingedit.h"
#include "core/naming/pickedpath.h"

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

// The disc's folder as authors keep it: below the top of a medium (the staging folder of a
// disc), in the home folder on the root file system, and at the top of a stick.
const DiscPlace kStaged{"/media/u/E/CDROOT", "/media/u/E"};
const DiscPlace kAtHome{"/home/u/mydisc", ""};
const DiscPlace kStick{"/media/u/MYDISC", "/media/u/MYDISC"};

TEST(PickedPath, StoredFromTheDiscsFolder) {
    struct Case {
        DiscPlace disc;
        const char* fullPath;
        bool includeParent;
        Parts parts;
    };
    for (const Case& c : {
             Case{kStaged,
                  "/media/u/E/CDROOT/TOOLS/ZIP.EXE",
                  false,
                  {"TOOLS\\ZIP.EXE", "CDROOT", "TOOLS\\", "ZIP.EXE"}},
             Case{kStaged,
                  "/media/u/E/CDROOT/TOOLS/ZIP.EXE",
                  true,
                  {"CDROOT\\TOOLS\\ZIP.EXE", "CDROOT", "CDROOT\\TOOLS\\", "ZIP.EXE"}},
             Case{kStaged,
                  "/media/u/E/CDROOT/SETUP.EXE",
                  false,
                  {"SETUP.EXE", "CDROOT", "", "SETUP.EXE"}},
             Case{kAtHome,
                  "/home/u/mydisc/TOOLS/viewer.sh",
                  false,
                  {"TOOLS\\viewer.sh", "mydisc", "TOOLS\\", "viewer.sh"}},
             Case{kAtHome,
                  "/home/u/mydisc/TOOLS/viewer.sh",
                  true,
                  {"mydisc\\TOOLS\\viewer.sh", "mydisc", "mydisc\\TOOLS\\", "viewer.sh"}},
             // At the top of a stick nothing lies above the disc: its first folder stays.
             Case{kStick,
                  "/media/u/MYDISC/TOOLS/viewer.sh",
                  false,
                  {"TOOLS\\viewer.sh", "TOOLS", "TOOLS\\", "viewer.sh"}},
             // A file in the top keeps the first folder of an earlier pick.
             Case{kStick,
                  "/media/u/MYDISC/SETUP.EXE",
                  false,
                  {"SETUP.EXE", "EARLIER", "", "SETUP.EXE"}},
             Case{{"/home/a/x y", ""},
                  "/home/a/x y/Read Me.txt",
                  true,
                  {"x y\\Read Me.txt", "x y", "x y\\", "Read Me.txt"}},
             Case{{"", ""}, "/srv/A.EXE", false, {"srv\\A.EXE", "srv", "srv\\", "A.EXE"}},
         }) {
        SCOPED_TRACE(c.fullPath);
        PickedPath picked;
        picked.topFolder = "EARLIER";
        ASSERT_TRUE(picked.setPickedPath(c.fullPath, c.disc, c.includeParent));
        expectParts(picked, c.parts);
        EXPECT_EQ(picked.topFolderLeftOut, !c.includeParent && !c.disc.leftOutFolder().empty());
    }
}

TEST(PickedPath, FileOutsideTheDiscsFolderChangesNothing) {
    for (const char* fullPath : {"/home/u/other/A.EXE", "/home/u/A.EXE", "/home/u/mydisc",
                                 "/home/u/mydisc/", "/home/u/mydiscs/A.EXE", "relative/A.EXE"}) {
        for (const bool includeParent : {false, true}) {
            PickedPath picked;
            ASSERT_TRUE(picked.setPickedPath("/home/u/mydisc/OLD/B.EXE", kAtHome, true));
            EXPECT_FALSE(picked.setPickedPath(fullPath, kAtHome, includeParent)) << fullPath;
            expectParts(picked, {"mydisc\\OLD\\B.EXE", "mydisc", "mydisc\\OLD\\", "B.EXE"});
        }
    }
}

TEST(PickedPath, ShownPathIsWhatTheCheckSees) {
    struct Case {
        DiscPlace disc;
        const char* shownPath;
        bool includeParent;
        Parts parts;
    };
    for (const Case& c : {
             // The Browse result was kept: the state stays the picker's.
             Case{kStaged,
                  "TOOLS\\ZIP.EXE",
                  false,
                  {"TOOLS\\ZIP.EXE", "CDROOT", "TOOLS\\", "ZIP.EXE"}},
             // Edited or typed: built from the shown path in the same disc.
             Case{kStaged,
                  "TOOLS\\UNZIP.EXE",
                  false,
                  {"TOOLS\\UNZIP.EXE", "CDROOT", "TOOLS\\", "UNZIP.EXE"}},
             Case{kStaged, "README.TXT", false, {"README.TXT", "CDROOT", "", "README.TXT"}},
             Case{
                 kStaged, "APPS\\X\\Y.EXE", true, {"APPS\\X\\Y.EXE", "APPS", "APPS\\X\\", "Y.EXE"}},
             Case{kStick, "APPS\\Y.EXE", false, {"APPS\\Y.EXE", "APPS", "APPS\\", "Y.EXE"}},
         }) {
        SCOPED_TRACE(c.shownPath);
        PickedPath picked;
        ASSERT_TRUE(picked.setPickedPath(c.disc.discFolder + "/TOOLS/ZIP.EXE", c.disc, false));
        picked.topFolder = "CDROOT";
        picked.describeShownPath(c.shownPath, c.disc, c.includeParent);
        expectParts(picked, c.parts);
    }
}

TEST(PickedPath, CancelledBrowseLeavesNoNameUntilTheShownPathIsDescribed) {
    PickedPath picked;
    ASSERT_TRUE(picked.setPickedPath("/media/u/E/CDROOT/TOOLS/ZIP.EXE", kStaged, false));
    picked.browseStarted();
    expectParts(picked, {"TOOLS\\ZIP.EXE", "CDROOT", "TOOLS\\", ""});
    picked.describeShownPath("TOOLS\\ZIP.EXE", kStaged, false);
    expectParts(picked, {"TOOLS\\ZIP.EXE", "CDROOT", "TOOLS\\", "ZIP.EXE"});
}

// The name check renames on disk below the left-out folder: only a disc below the top of its
// medium has one, even while topFolder names the folder of an earlier pick.
TEST(PickedPath, DiscsFolderLeftOutOnlyBelowTheTop) {
    PickedPath picked;
    ASSERT_TRUE(picked.setPickedPath("/media/u/E/CDROOT/A.EXE", kStaged, false));
    EXPECT_TRUE(picked.topFolderLeftOut);
    ASSERT_TRUE(picked.setPickedPath("/media/u/E/CDROOT/A.EXE", kStaged, true));
    EXPECT_FALSE(picked.topFolderLeftOut);
    // A kept Browse result keeps its form even after the option changed.
    picked.describeShownPath("CDROOT\\A.EXE", kStaged, false);
    EXPECT_FALSE(picked.topFolderLeftOut);
    // A typed path lies in the disc's folder without the option.
    picked.describeShownPath("B.EXE", kStaged, false);
    EXPECT_TRUE(picked.topFolderLeftOut);
    picked.describeShownPath("C.EXE", kStick, false);
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
