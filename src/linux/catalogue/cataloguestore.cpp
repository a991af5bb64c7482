#include "linux/catalogue/cataloguestore.h"

#include "linux/catalogue/errorbox.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QToolButton>

CatalogueStore::CatalogueStore(CatalogueDocument& document, Services services,
                               const SaveControls& controls, std::function<int()> options,
                               std::function<void(int)> showOptions, QObject* parent)
    : QObject(parent), m_document(document), m_services(services), m_options(std::move(options)),
      m_showOptions(std::move(showOptions)) {
    connect(controls.mnuSave, &QAction::triggered, this, &CatalogueStore::mnuSaveClick);
    for (QToolButton* button : {controls.cmdSave, controls.btnSave})
        connect(button, &QToolButton::clicked, this, &CatalogueStore::cmdSaveClick);
}

std::string CatalogueStore::filePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

CatalogueStore::LoadResult CatalogueStore::LoadCatalogue() {
    using Status = qubrix::Catalogue::LoadOutcome::Status;
    const std::optional<FileService::FileAttributes> attributes =
        m_services.files.fileAttributes(m_document.catalogPath());
    const auto outcome = m_document.model().LoadCatalogue(filePath(m_document.catalogPath()),
                                                          filePath(m_document.notesPath()));
    switch (outcome.status) {
    case Status::Unreadable:
        // Going on could overwrite a catalogue that merely could not be read this time.
        showError(m_services.dialogs,
                  QString("Cannot open file %1. %2")
                      .arg(m_document.catalogPath(), QString::fromStdString(outcome.error)));
        return LoadResult::Unreadable;
    case Status::Missing: {
        // Nothing is changed yet: a catalogue that cannot be created asks for no save at Exit.
        m_document.markSaved();
        const bool created = saveCatalogue();
        m_showOptions(m_document.model().optionsAtLoad);
        // A catalogue that cannot be created leaves the window read-only on the default one.
        return created ? LoadResult::Editable : LoadResult::WriteProtected;
    }
    case Status::Loaded:
        m_document.markSaved();
        m_showOptions(outcome.options);
        return attributes && attributes->readOnly ? LoadResult::WriteProtected
                                                  : LoadResult::Editable;
    }
    return LoadResult::Unreadable;
}

namespace {

QString countsText(const qubrix::Catalogue::Counts& counts) {
    return QString("%1 categories, %2 listings, %3 notes")
        .arg(counts.categories)
        .arg(counts.listings)
        .arg(counts.notes);
}

} // namespace

// Another program saved the catalogue after this window loaded it: the question names what it
// changed, as replacing it loses that change.
bool CatalogueStore::replaceChangedFiles(const qubrix::WriteOutcome& changed) {
    const qubrix::Catalogue::DiskChange change = m_document.model().diskChange(changed);
    QStringList names;
    if (change.catalogueChanged)
        names << QFileInfo(m_document.catalogPath()).fileName();
    if (change.notesChanged)
        names << QFileInfo(m_document.notesPath()).fileName();
    const QString text =
        QString("%1 %2 changed on disk by another program since this window loaded %3.\n"
                "On disk now: %4.\nIn this window: %5.\n\n"
                "Save anyway and replace the other program's change?")
            .arg(names.join(" and "), names.size() > 1 ? "were" : "was",
                 names.size() > 1 ? "them" : "it", countsText(change.onDisk),
                 countsText(change.here));
    return m_services.dialogs.beepAndAsk(text, "Confirm SAVE", DialogService::Icon::Warning,
                                         DialogService::Buttons::YesNo) ==
           DialogService::Answer::Yes;
}

bool CatalogueStore::saveCatalogue() {
    const auto save = [this](const qubrix::PairStamp* replacing) {
        return m_document.model().SaveCatalogue(filePath(m_document.catalogPath()),
                                                filePath(m_document.notesPath()), m_options(),
                                                replacing);
    };
    qubrix::WriteOutcome outcome = save(nullptr);
    // Yes agrees to replace the change the question named: one made while it was asked is
    // asked about again. No keeps the window as it is, with its change not saved.
    while (outcome.changedOnDisk) {
        if (!replaceChangedFiles(outcome))
            return false;
        const qubrix::PairStamp agreed = outcome.onDisk;
        outcome = save(&agreed);
    }
    if (!outcome.ok) {
        const QString path = QFile::decodeName(outcome.failedPath.c_str());
        if (outcome.readFailed)
            showError(m_services.dialogs, QString("Cannot open file %1. %2")
                                              .arg(path, QString::fromStdString(outcome.error)));
        else
            showError(m_services.dialogs, QString("Cannot create file %1").arg(path));
        return false;
    }
    m_document.markSaved();
    return true;
}

bool CatalogueStore::saveChangesFirst(const QString& caption) {
    if (m_document.readOnly() ||
        (!m_document.isChanged() && m_options() == m_document.model().optionsAtLoad))
        return true;
    const auto answer = m_services.dialogs.beepAndAsk(
        "The catalogue has changes that are not saved. Save them first, so that the disc holds "
        "them?\n\nNo makes the disc from the files as they are.",
        caption, DialogService::Icon::Warning, DialogService::Buttons::YesNoCancel);
    if (answer == DialogService::Answer::No)
        return true;
    return answer == DialogService::Answer::Yes && saveCatalogue();
}

void CatalogueStore::cmdSaveClick() {
    saveCatalogue();
}

void CatalogueStore::mnuSaveClick() {
    saveCatalogue();
}
