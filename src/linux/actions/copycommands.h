#pragma once

#include "linux/catalogue/cataloguedocument.h"
#include "platform/services.h"

#include <QObject>
#include <QString>

#include <string>

class QAction;
class QListWidget;
class QPushButton;
class QToolButton;

// The controls the copy commands work with, built by the window's layout code.
struct CopyControls {
    QListWidget* lstDesc = nullptr;
    QPushButton* cmdCopy = nullptr;
    QToolButton* ToolCopy = nullptr;
    QAction* File1 = nullptr;
    QToolButton* ToolCopyFolder = nullptr;
    QAction* Folder1 = nullptr;
};

// Copies the files of the selected listings, or the folder of the one selected listing, to a
// folder the user picks.
class CopyCommands final : public QObject {
    Q_OBJECT

public:
    CopyCommands(CatalogueDocument& document, Services services, const CopyControls& controls,
                 QObject* parent = nullptr);

    void cmdCopyClick();
    void ToolCopyFolderClick();

private:
    void copySelection(bool folderMode);
    // The stored path of a row of the shown category, as UTF-8.
    std::string storedPathOf(int row) const;
    bool wholeDiscAgreed(int row);

    CatalogueDocument& m_document;
    Services m_services;
    CopyControls m_controls;
};
