#include "logicfixture.h"

#include <functional>

namespace qubrix::test {
namespace {

const std::string twoListings =
    "[Main]\r\nViewer;TOOLS\\VIEW.EXE;0\r\nGuide;DOCS\\GUIDE.TXT\r\n110\r\n";

// Which commands a mode and a selection offer.
TEST_F(LogicTest, CommandsFollowTheModeAndTheSelection) {
    struct Row {
        const char* what;
        bool writeProtected;
        std::vector<int> selected;
        bool editingShown, oneSelected, someSelected, deleteEnabled;
        std::string quickEditorText;
    };
    const Row rows[] = {
        {"editor, nothing selected", false, {}, true, false, false, false, ""},
        {"editor, one selected", false, {0}, true, true, true, true, "TOOLS\\VIEW.EXE"},
        {"editor, two selected", false, {0, 1}, true, false, true, false, ""},
        {"read-only, one selected", true, {1}, false, true, true, true, "DOCS\\GUIDE.TXT"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        writeCatalogue(twoListings, "a note\r\n");
        ports.readOnly = row.writeProtected;
        start();
        logic->lstDescClick(row.selected.empty() ? -1 : row.selected.front(), row.selected);
        const CommandStates& c = logic->commands();
        EXPECT_EQ(c.editingShown, row.editingShown);
        EXPECT_EQ(c.oneSelected, row.oneSelected);
        EXPECT_EQ(c.someSelected, row.someSelected);
        EXPECT_EQ(c.deleteEnabled, row.deleteEnabled);
        EXPECT_EQ(c.quickEditorText, row.quickEditorText);
        EXPECT_EQ(c.quickEditorReadOnly, row.writeProtected);
        EXPECT_EQ(c.readOnlyChecked, row.writeProtected);
        EXPECT_TRUE(c.editMenuEnabled);
        EXPECT_EQ(ports.log.back(), "commandsChanged");
    }
}

// Leaving, or making the disc, asks only when something would be lost, and only Yes writes.
TEST_F(LogicTest, ExitAsksToSaveOnlyAChangedEditableCatalogue) {
    using Edit = std::function<void(WindowLogic&)>;
    struct Row {
        const char* what;
        bool writeProtected;
        bool changeOptions;
        std::optional<UserPort::Answer> answer;
        std::vector<std::string> exchanges;
        bool written;
        Edit edit = nullptr;
        bool beforeDisc = false; // the question before the disc is made instead of Exit
    };
    const std::string question =
        "ask Warning YesNo Confirm SAVE: List has changed--Save before exiting?";
    const std::string discQuestion =
        "ask Warning YesNoCancel Prepare Medium: The catalogue has changes that are not saved. "
        "Save them first, so that the disc holds them?\n\nNo makes the disc from the files as "
        "they are.";
    const Edit storedEntry = [](WindowLogic& l) {
        l.fileNameEdited("NEW.TXT");
        l.descriptionEdited("New");
        l.cmdOkClick();
    };
    // A typed file name is not in the files until OK stores it; a sort is, with the next save.
    const Edit typedName = [](WindowLogic& l) { l.fileNameEdited("NEW.TXT"); };
    const Edit sorted = [](WindowLogic& l) { l.cmdSortClick(); };
    const Row rows[] = {
        {"unchanged", false, false, std::nullopt, {"end 1"}, false},
        {"options changed, No",
         false,
         true,
         UserPort::Answer::No,
         {"beep", question, "end 1"},
         false},
        {"options changed, Yes",
         false,
         true,
         UserPort::Answer::Yes,
         {"beep", question, "save", "end 1"},
         true},
        {"options changed, dismissed",
         false,
         true,
         UserPort::Answer::Dismissed,
         {"beep", question},
         false},
        {"read-only", true, true, std::nullopt, {"end 1"}, false},
        {"entry auto-saved",
         false,
         false,
         std::nullopt,
         {"beep", question, "end 1"},
         false,
         storedEntry},
        {"entry auto-saved, disc", false, false, std::nullopt, {}, false, storedEntry, true},
        {"file name typed, disc", false, false, std::nullopt, {}, false, typedName, true},
        {"sorted, disc",
         false,
         false,
         UserPort::Answer::No,
         {"beep", discQuestion},
         false,
         sorted,
         true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        writeCatalogue(twoListings);
        ports.readOnly = row.writeProtected;
        start();
        if (row.answer)
            ports.answers.push_back(*row.answer);
        if (row.changeOptions)
            logic->setIncludeParent(true);
        if (row.edit)
            row.edit(*logic);
        ports.log.clear();
        row.beforeDisc ? void(logic->saveChangesFirst("Prepare Medium")) : logic->mnuExitClick();
        EXPECT_EQ(ports.exchanges(), row.exchanges);
        EXPECT_EQ(catalogueOnDisk().ends_with("111\r\n"), row.written);
        ports.answers.clear();
    }
}

} // namespace
} // namespace qubrix::test
