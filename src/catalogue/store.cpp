#include "app/frmmain.h"

#include <QFile>

std::optional<FileService::FileAttributes> TfrmMain::LoadCatalogue() {
    using Status = qubrix::Catalogue::LoadOutcome::Status;
    const std::optional<FileService::FileAttributes> attributes =
        m_services.files.fileAttributes(catalogPath);
    const auto outcome = m_catalogue.LoadCatalogue(filePath(catalogPath), filePath(notesPath));
    switch (outcome.status) {
    case Status::Unreadable:
        // Going on could overwrite a catalogue that merely could not be read this time.
        showError(QString("Cannot open file %1. %2")
                      .arg(catalogPath, QString::fromStdString(outcome.error)));
        m_loadFailed = true;
        return attributes;
    case Status::Missing:
        m_catalogue.optionsAtLoad = qubrix::kDefaultOptionsNumber;
        cmdSaveClick();
        setOptionsFromNumber(qubrix::kDefaultOptionsNumber);
        // A catalogue that cannot be created leaves the window read-only on the default one.
        if (m_saveFailed)
            return FileService::FileAttributes{true};
        return std::nullopt;
    case Status::Loaded:
        setOptionsFromNumber(outcome.options);
        return attributes.value_or(FileService::FileAttributes{});
    }
    return attributes;
}

void TfrmMain::cmdSaveClick() {
    const qubrix::WriteOutcome outcome =
        m_catalogue.SaveCatalogue(filePath(catalogPath), filePath(notesPath), checkBoxOptions());
    m_saveFailed = !outcome.ok;
    if (m_saveFailed) {
        const QString path = QFile::decodeName(outcome.failedPath.c_str());
        if (outcome.readFailed)
            showError(QString("Cannot open file %1. %2")
                          .arg(path, QString::fromStdString(outcome.error)));
        else
            showError(QString("Cannot create file %1").arg(path));
        return;
    }
    listChanged = false;
}

void TfrmMain::mnuSaveClick() {
    cmdSaveClick();
    if (!m_saveFailed)
        listChanged = false;
}
