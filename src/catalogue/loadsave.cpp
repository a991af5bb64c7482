#include "app/frmmain.h"

#include <QFile>

TfrmMain::LoadResult TfrmMain::LoadCatalogue() {
    using Status = qubrix::Catalogue::LoadOutcome::Status;
    const std::optional<FileService::FileAttributes> attributes =
        m_services.files.fileAttributes(catalogPath);
    const auto outcome = m_catalogue.LoadCatalogue(filePath(catalogPath), filePath(notesPath));
    switch (outcome.status) {
    case Status::Unreadable:
        // Going on could overwrite a catalogue that merely could not be read this time.
        showError(QString("Cannot open file %1. %2")
                      .arg(catalogPath, QString::fromStdString(outcome.error)));
        return LoadResult::Unreadable;
    case Status::Missing: {
        const bool created = saveCatalogue();
        setOptionsFromNumber(m_catalogue.optionsAtLoad);
        // A catalogue that cannot be created leaves the window read-only on the default one.
        return created ? LoadResult::Editable : LoadResult::WriteProtected;
    }
    case Status::Loaded:
        setOptionsFromNumber(outcome.options);
        return attributes && attributes->readOnly ? LoadResult::WriteProtected
                                                  : LoadResult::Editable;
    }
    return LoadResult::Unreadable;
}

bool TfrmMain::saveCatalogue() {
    const qubrix::WriteOutcome outcome =
        m_catalogue.SaveCatalogue(filePath(catalogPath), filePath(notesPath), checkBoxOptions());
    if (!outcome.ok) {
        const QString path = QFile::decodeName(outcome.failedPath.c_str());
        if (outcome.readFailed)
            showError(QString("Cannot open file %1. %2")
                          .arg(path, QString::fromStdString(outcome.error)));
        else
            showError(QString("Cannot create file %1").arg(path));
        return false;
    }
    listChanged = false;
    return true;
}

void TfrmMain::cmdSaveClick() {
    saveCatalogue();
}

void TfrmMain::mnuSaveClick() {
    saveCatalogue();
}
