#pragma once

#include "core/window/systemport.h"
#include "core/window/userport.h"
#include "linux/editing/categorynamequestion.h"
#include "linux/editing/noteentry.h"
#include "linux/naming/namequestion.h"
#include "platform/services.h"

class QDialog;

namespace qubrix {
class WindowLogic;
}

// The window logic's ports on the Linux services and the Qt dialogs: texts cross as UTF-8,
// paths as the file system's bytes.
class QtPorts final : public qubrix::UserPort,
                      public qubrix::DialogPort,
                      public qubrix::SystemPort,
                      public NoteEntry {
public:
    explicit QtPorts(Services services) : m_services(services) {}

    // The logic whose disc the stored paths lead into, and whose note the notes dialog edits.
    void setLogic(qubrix::WindowLogic* logic) { m_logic = logic; }
    void setCategoryNameQuestion(CategoryNameQuestion* question) { m_categoryName = question; }
    void setNameQuestion(NameQuestion* question) { m_newName = question; }
    void setNoteDialog(QDialog* dialog) { m_noteDialog = dialog; }

    Answer askQuietly(const std::string& text, const std::string& caption, Icon icon,
                      Buttons buttons) override;
    void beep() override;
    void playSound() override;
    std::optional<std::string> pickFile(const std::string& folder,
                                        const std::vector<FileFilter>& filters) override;
    std::optional<std::string> pickFolder(const std::string& title) override;

    std::optional<std::string> askCategoryName(CategoryPurpose purpose,
                                               const std::string& name) override;
    NameAnswer askNewName(NameSubject subject, const std::string& pickedPath,
                          const std::string& name) override;
    void showNotesDialog() override;

    qubrix::PairRead readPair(const qubrix::DataFilePair& files) override;
    qubrix::WriteOutcome writePair(const qubrix::DataFilePair& files,
                                   std::string_view catalogueBytes, std::string_view notesBytes,
                                   const qubrix::PairStamp* expected) override;
    std::string canonicalFolderOf(const std::string& path) override;
    std::string mountPointOf(const std::string& path) override;
    std::string volumeLabel(const std::string& mountPoint) override;
    std::optional<bool> isReadOnly(const std::string& path) override;
    bool setReadOnly(const std::string& path) override;
    bool clearReadOnly(const std::string& path) override;
    bool renameWithoutReplacing(const std::string& from, const std::string& to) override;
    std::string storedPathRoot(const std::string& storedPath) override;
    qubrix::LaunchPlan planLaunch(const std::string& storedPath) override;
    bool openDocument(const qubrix::LaunchPlan& plan) override;
    bool runAndWait(const qubrix::LaunchPlan& plan,
                    const std::function<void()>& onStarted) override;
    void copy(const qubrix::CopyPlan& plan) override;
    bool openHelp() override;
    void endProgram(int status) override;

    std::optional<QString> noteOfEntry() const override;
    void storeNoteOfEntry(const QString& text) override;
    void noteOfEntryCancelled() override;

private:
    Services m_services;
    qubrix::WindowLogic* m_logic = nullptr;
    CategoryNameQuestion* m_categoryName = nullptr;
    NameQuestion* m_newName = nullptr;
    QDialog* m_noteDialog = nullptr;
};
