#pragma once

#include "core/window/systemport.h"
#include "core/window/userport.h"
#include "core/window/windowlogic.h"
#include "core/window/windowview.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qubrix::test {

// Every exchange of the window logic with the user, the dialogs, the system and the window, in
// order, as lines such as "ask Warning YesNo Confirm SAVE: List has changed...", "beep",
// "rowsChanged"; the answers come from queues the test fills, and a question asked with no
// answer queued is answered No (Yes/No), Cancel (three buttons) or Ok.
class RecordingPorts final : public UserPort,
                             public DialogPort,
                             public SystemPort,
                             public WindowView {
public:
    std::vector<std::string> log;

    std::deque<Answer> answers;
    std::deque<std::optional<std::string>> pickedFiles;
    std::deque<std::optional<std::string>> pickedFolders;
    std::deque<std::optional<std::string>> categoryNames;
    std::deque<NameAnswer> newNames;
    // Run by showNotesDialog: what the dialog does with the logic (store or cancel a note).
    std::deque<std::function<void()>> notesDialog;

    std::string mountPoint = "/";
    std::string label;
    std::optional<bool> readOnly = false;
    bool attributesChangeable = true;
    // Renames are made on disk, never replacing an entry, unless renamesSucceed is off.
    bool renamesSucceed = true;
    // Whether programs start, and documents and the help page find a program to open them.
    bool startsSucceed = true;
    // Run by runAndWait while the started program runs: what the user does meanwhile.
    std::function<void()> whileRunning;
    LaunchPlan plan;
    std::vector<CopyPlan> copies;
    std::optional<int> endedWith;

    // Only the lines that talk to the user and the system: asks, tells, beeps, sounds, picks,
    // dialogs and system calls, without the window's change notices.
    std::vector<std::string> exchanges() const;

    Answer askQuietly(const std::string& text, const std::string& caption, Icon icon,
                      Buttons buttons) override;
    void beep() override { log.push_back("beep"); }
    void playSound() override { log.push_back("sound"); }
    std::optional<std::string> pickFile(const std::string& folder,
                                        const std::vector<FileFilter>& filters) override;
    std::optional<std::string> pickFolder(const std::string& title) override;

    std::optional<std::string> askCategoryName(CategoryPurpose purpose,
                                               const std::string& name) override;
    NameAnswer askNewName(NameSubject subject, const std::string& pickedPath,
                          const std::string& name) override;
    void showNotesDialog() override;

    // The data files read and written plainly: the logic's decisions, not the pair's safety,
    // are under test. A write refuses, as the system's writer does, when the pair no longer
    // holds what the save expects; writesFail refuses every write.
    PairRead readPair(const DataFilePair& files) override;
    WriteOutcome writePair(const DataFilePair& files, std::string_view catalogueBytes,
                           std::string_view notesBytes, const PairStamp* expected) override;
    bool writesFail = false;

    std::string mountPointOf(const std::string&) override { return mountPoint; }
    // The folder of path as written: the tests make no links.
    std::string canonicalFolderOf(const std::string& path) override;
    std::string volumeLabel(const std::string&) override { return label; }
    std::optional<bool> isReadOnly(const std::string&) override { return readOnly; }
    bool setReadOnly(const std::string& path) override;
    bool clearReadOnly(const std::string& path) override;
    bool renameWithoutReplacing(const std::string& from, const std::string& to) override;
    std::string storedPathRoot(const std::string&) override { return mountPoint; }
    LaunchPlan planLaunch(const std::string& storedPath) override;
    bool openDocument(const LaunchPlan& launch) override;
    bool runAndWait(const LaunchPlan& launch, const std::function<void()>& onStarted) override;
    void copy(const CopyPlan& copyPlan) override;
    bool openHelp() override {
        log.push_back("help");
        return startsSucceed;
    }
    void endProgram(int status) override;

    void categoriesChanged() override { log.push_back("categoriesChanged"); }
    void rowsChanged() override { log.push_back("rowsChanged"); }
    void rowChanged(std::size_t row) override {
        log.push_back("rowChanged " + std::to_string(row));
    }
    void selectionChanged() override { log.push_back("selectionChanged"); }
    void commandsChanged() override { log.push_back("commandsChanged"); }
    void entryChanged() override { log.push_back("entryChanged"); }
    void focusOn(Focus where) override;
    void hideNote() override { log.push_back("hideNote"); }
    void programStarted() override { log.push_back("programStarted"); }
    void programEnded() override { log.push_back("programEnded"); }
};

} // namespace qubrix::test
