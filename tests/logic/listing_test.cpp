#include "logicfixture.h"

#include <algorithm>
#include <functional>

namespace qubrix::test {
namespace {

const std::string listings = "[Main]\r\nInstall the demo;DEMO\\SETUP.EXE;0\r\n"
                             "Read me first;README.TXT;-1\r\n[Tools]\r\n"
                             " Disk viewer ;TOOLS\\VIEW.EXE;1\r\n[Empty]\r\n110\r\n";
const std::string notes = "demo note\r\nviewer note\r\n";
using Act = std::function<void(WindowLogic&, RecordingPorts&)>;

// A refused entry says why, keeps its text and writes nothing.
TEST_F(LogicTest, OkRefusesAnEntryThatCannotBeStored) {
    struct Row {
        const char* what;
        std::string catalogue, fileName, description;
        Act before;
        std::vector<std::string> exchanges;
    };
    const Act none = [](WindowLogic&, RecordingPorts&) {};
    const Row rows[] = {
        {"no file name",
         listings,
         "",
         "x",
         none,
         {"ask Error Ok File name: Please enter file name!"}},
        {"no description",
         listings,
         "A.EXE",
         "",
         none,
         {"ask Error Ok Description: A file description is required!"}},
        {"; in description",
         listings,
         "A.EXE",
         "a;b",
         none,
         {"ask Error Ok Description: The description cannot contain the character \";\"."}},
        {"[ first",
         listings,
         "A.EXE",
         "[New]",
         none,
         {"ask Error Ok Description: The description cannot begin with the character \"[\"."}},
        {"; in file name",
         listings,
         "A.EXE;1",
         "a",
         none,
         {"ask Error Ok File name: The file name cannot contain the character \";\"."}},
        {"out of the medium",
         listings,
         "DOCS\\..\\..\\ETC.TXT",
         "a",
         [](WindowLogic&, RecordingPorts& p) { p.plan.leavesMedium = true; },
         {"planLaunch DOCS\\..\\..\\ETC.TXT",
          "ask Error Ok File name: The file name leads outside the medium."}},
        {"no category",
         "Loose;L.TXT;-1\r\n110\r\n",
         "A.EXE",
         "a",
         none,
         {"ask Error Ok Category: Choose a category for the new listing first. If there is none, "
          "make one with New Category."}},
        {"modify of no listing",
         listings,
         "A.EXE",
         "a",
         [](WindowLogic& l, RecordingPorts&) {
             l.lstDescClick(0, {0});
             l.mnuModifyClick();
             l.CatBoxChange(2);
         },
         {"ask Error Ok Modify: Select the listing to change first."}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ports.plan = {};
        writeCatalogue(row.catalogue, notes);
        start();
        row.before(*logic, ports);
        logic->fileNameEdited(row.fileName);
        logic->descriptionEdited(row.description);
        ports.log.clear();
        logic->cmdOkClick();
        std::vector<std::string> expected = row.exchanges;
        expected.insert(expected.end() - 1, "beep");
        EXPECT_EQ(ports.exchanges(), expected);
        EXPECT_EQ(logic->fileNameText(), row.fileName);
        EXPECT_EQ(logic->descriptionText(), row.description);
        EXPECT_EQ(catalogueOnDisk(), row.catalogue);
    }
}

// The catalogue with the Main category's listing lines and the viewer's note reference.
std::string withMain(const std::string& lines, int viewerNote) {
    return "[Main]\r\n" + lines + "[Tools]\r\n Disk viewer ;TOOLS\\VIEW.EXE;" +
           std::to_string(viewerNote) + "\r\n[Empty]\r\n110\r\n";
}

// What OK stores for a new or a modified listing, with the notes dialog accepted or cancelled.
TEST_F(LogicTest, OkStoresTheEntryWithItsNote) {
    // The notes dialog opens with shown ("-" for empty) and stores text, or is cancelled.
    const auto note = [](std::optional<std::string> text, std::string shown = "-") -> Act {
        return [text, shown](WindowLogic& l, RecordingPorts& p) {
            p.notesDialog.push_back([&l, text, shown] {
                EXPECT_EQ(l.noteOfEntry().value_or("-"), shown);
                text ? l.storeNoteOfEntry(*text) : l.noteOfEntryCancelled();
            });
            l.mnuNoteClick();
        };
    };
    // A Browse cancelled in the picker, which opens on every file, keeps the typed name.
    const Act browseCancelled = [](WindowLogic& l, RecordingPorts& p) {
        p.log.clear();
        l.cmdBrowseClick();
        ASSERT_EQ(p.exchanges().size(), 1u);
        EXPECT_TRUE(p.exchanges()[0].ends_with(" All files (*.*)")) << p.exchanges()[0];
    };
    const std::string demo = "Install the demo;DEMO\\SETUP.EXE;0\r\n";
    const std::string readMe = "Read me first;README.TXT;-1\r\n";
    struct Row {
        const char* what;
        bool modify; // of row 0 in menu mode, else a new listing with Add pressed
        std::vector<Act> acts;
        std::string catalogue, notesAfter, notice;
    };
    const Row rows[] = {
        {"new", false, {}, withMain(demo + readMe + "New;NEW.TXT;-1\r\n", 1), notes, "rowsChanged"},
        {"new, two notes",
         false,
         {note("first"), note("second")},
         withMain(demo + readMe + "New;NEW.TXT;3\r\n", 1),
         notes + "first\r\nsecond\r\n",
         "rowsChanged"},
        {"new, kept then cancelled note",
         false,
         {note("kept"), note(std::nullopt)},
         withMain(demo + readMe + "New;NEW.TXT;-1\r\n", 1),
         notes + "kept\r\n",
         "rowsChanged"},
        {"new, Browse cancelled",
         false,
         {browseCancelled},
         withMain(demo + readMe + "New;NEW.TXT;-1\r\n", 1),
         notes,
         "rowsChanged"},
        {"modify, another row current",
         true,
         {[](WindowLogic& l, RecordingPorts&) { l.lstDescClick(1, {1}); }},
         withMain(demo + "New;DEMO\\SETUP.EXE;-1\r\n", 1),
         notes,
         "rowChanged 1"},
        {"modify, note erased",
         true,
         {note("", "demo note")},
         withMain("New;DEMO\\SETUP.EXE;-1\r\n" + readMe, 0),
         "viewer note\r\n",
         "rowChanged 0"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        writeCatalogue(listings, notes);
        start();
        if (row.modify) {
            logic->cmdMenuClick();
            selectRow(0);
            logic->mnuModifyClick();
            EXPECT_EQ(logic->fileNameText(), "DEMO\\SETUP.EXE");
            EXPECT_EQ(logic->descriptionText(), "Install the demo");
            EXPECT_TRUE(logic->commands().bandOpen);
        } else {
            logic->cmdAddClick();
            logic->fileNameEdited("NEW.TXT");
        }
        logic->descriptionEdited("New");
        for (const Act& act : row.acts)
            act(*logic, ports);
        ports.log.clear();
        logic->cmdOkClick();
        EXPECT_EQ(catalogueOnDisk(), row.catalogue);
        EXPECT_EQ(readFile(disc.file("descript.txt")), row.notesAfter);
        EXPECT_NE(std::find(ports.log.begin(), ports.log.end(), row.notice), ports.log.end());
        EXPECT_EQ(ports.log.back(), "focus Listings");
        EXPECT_EQ(logic->fileNameText() + logic->descriptionText(), "");
        EXPECT_EQ(logic->commands().bandOpen, !row.modify);
    }
}

// Delete and Clear ask first; only Yes removes, and Auto-Save saves the removal at once.
TEST_F(LogicTest, DeleteAndClearRemoveOnlyAfterYes) {
    const std::string deleteQuestion = "ask Warning YesNo Confirm delete listing: Delete listing "
                                       "for /media/stick/DEMO/SETUP.EXE";
    const std::string clearQuestion = "ask Warning YesNo Confirm CLEAR command: Are you sure that "
                                      "you want to clear the file list?";
    struct Row {
        const char* what;
        bool clear, autoSave;
        UserPort::Answer answer;
        std::vector<std::string> exchanges, rowsAfter;
        int currentAfter;
    };
    const std::vector<std::string> both = {"  Install the demo", "  Read me first"};
    const Row rows[] = {
        {"delete, No", false, true, UserPort::Answer::No, {"beep", deleteQuestion}, both, 0},
        {"delete, Yes",
         false,
         true,
         UserPort::Answer::Yes,
         {"beep", deleteQuestion, "save"},
         {"  Read me first"},
         0},
        {"delete, Yes, no Auto-Save",
         false,
         false,
         UserPort::Answer::Yes,
         {"beep", deleteQuestion},
         {"  Read me first"},
         0},
        {"clear, No", true, true, UserPort::Answer::No, {"beep", clearQuestion}, both, 0},
        {"clear, Yes", true, true, UserPort::Answer::Yes, {"beep", clearQuestion, "save"}, {}, -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        writeCatalogue(listings, notes);
        ports.mountPoint = "/media/stick";
        start();
        logic->setAutoSave(row.autoSave);
        selectRow(0);
        ports.log.clear();
        ports.answers = {row.answer};
        row.clear ? void(logic->clearShownCategory()) : logic->mnuDeleteClick();
        EXPECT_EQ(ports.exchanges(), row.exchanges);
        EXPECT_EQ(logic->listingRows(), row.rowsAfter);
        const bool removed = row.answer == UserPort::Answer::Yes;
        EXPECT_EQ(logic->document().isChanged(), removed && !row.autoSave);
        if (removed) {
            EXPECT_EQ(logic->currentRow(), row.currentAfter);
            EXPECT_FALSE(logic->commands().oneSelected);
        }
    }
}

// A quick edit starts only when the author clicked into the quick editor with one listing
// selected; it holds the lists until OK stores the new path or Cancel drops it.
TEST_F(LogicTest, QuickEditNeedsAClickAndHoldsTheListsUntilOkOrCancel) {
    struct Row {
        const char* what;
        bool click;
        std::vector<int> selected;
        bool ok, started;
        std::string viewerLine, editorAfter;
        std::vector<std::string> exchanges;
    };
    const std::string before = " Disk viewer ;TOOLS\\VIEW.EXE;1";
    const Row rows[] = {
        {"typed without a click", false, {0}, false, false, before, "TOOLS\\VIEW.EXE", {}},
        {"clicked, none selected", true, {}, false, false, before, "", {"sound"}},
        {"clicked, Cancel", true, {0}, false, true, before, "TOOLS\\VIEW.EXE", {"sound"}},
        // The description is written back without its blanks.
        {"clicked, OK",
         true,
         {0},
         true,
         true,
         "Disk viewer;TOOLS\\VIEW.EX2;1",
         "TOOLS\\VIEW.EX2",
         {"sound", "planLaunch TOOLS\\VIEW.EX2", "save"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        writeCatalogue(listings, notes);
        start();
        logic->CatBoxChange(1);
        logic->lstDescClick(0, row.selected);
        if (row.click)
            logic->MenuEditClick();
        logic->MenuEditChange("TOOLS\\VIEW.EX2");
        EXPECT_EQ(logic->editFlags().quickEditActive, row.started);
        EXPECT_EQ(logic->commands().listsEnabled, !row.started);
        EXPECT_EQ(logic->fileNameText(), row.started ? "TOOLS\\VIEW.EX2" : "");
        row.ok ? logic->cmdOkClick() : logic->cmdCancelClick();
        EXPECT_NE(catalogueOnDisk().find("\r\n" + row.viewerLine + "\r\n"), std::string::npos);
        EXPECT_TRUE(logic->commands().listsEnabled);
        EXPECT_EQ(logic->commands().quickEditorText, row.editorAfter);
        EXPECT_EQ(ports.exchanges(), row.exchanges);
    }
}

} // namespace
} // namespace qubrix::test
