#include "logicfixture.h"

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

// Leaving asks only when something would be lost, and only Yes writes.
TEST_F(LogicTest, ExitAsksToSaveOnlyAChangedEditableCatalogue) {
    struct Row {
        const char* what;
        bool writeProtected;
        bool changeOptions;
        std::optional<UserPort::Answer> answer;
        std::vector<std::string> exchanges;
        bool written;
    };
    const std::string question =
        "ask Warning YesNo Confirm SAVE: List has changed--Save before exiting?";
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
        ports.log.clear();
        logic->mnuExitClick();
        EXPECT_EQ(ports.exchanges(), row.exchanges);
        EXPECT_EQ(catalogueOnDisk().ends_with("111\r\n"), row.written);
        ports.answers.clear();
    }
}

} // namespace
} // namespace qubrix::test
