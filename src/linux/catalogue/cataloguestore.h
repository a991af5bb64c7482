#pragma once

#include "linux/catalogue/cataloguedocument.h"
#include "platform/services.h"

#include <QObject>

#include <functional>
#include <string>

class QAction;
class QToolButton;

// The save commands, built by the window's layout code.
struct SaveControls {
    QToolButton* cmdSave = nullptr;
    QToolButton* btnSave = nullptr;
    QAction* mnuSave = nullptr;
};

// Loads the catalogue's two files into the document and saves them back.
class CatalogueStore final : public QObject {
    Q_OBJECT

public:
    // options reads the options number the window shows; showOptions shows a loaded one.
    CatalogueStore(CatalogueDocument& document, Services services, const SaveControls& controls,
                   std::function<int()> options, std::function<void(int)> showOptions,
                   QObject* parent = nullptr);

    // How the window starts after the load: a catalogue that exists but cannot be read ends
    // the start; a write-protected one, or a new one that could not be created, starts
    // read-only.
    enum class LoadResult { Editable, WriteProtected, Unreadable };
    LoadResult LoadCatalogue();
    // Writes both files; false, with the reason shown, when they could not be written.
    bool saveCatalogue();
    // Before the disc is made from the files: changes not saved yet are offered for saving
    // first. Yes saves, No goes on with the files as they are; false when the author cancels or
    // the save fails, and nothing should be made.
    bool saveChangesFirst(const QString& caption);
    void cmdSaveClick();
    void mnuSaveClick();

private:
    bool replaceChangedFiles(const qubrix::WriteOutcome& changed);
    static std::string filePath(const QString& path);

    CatalogueDocument& m_document;
    Services m_services;
    std::function<int()> m_options;
    std::function<void(int)> m_showOptions;
};
