#include "linux/app/qtports.h"

#include "core/actions/medium.h"
#include "core/window/windowlogic.h"

#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace {

QString shown(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

QString pathOf(const std::string& bytes) {
    return QFile::decodeName(bytes.c_str());
}

std::string bytesOf(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

QtPorts::Answer QtPorts::askQuietly(const std::string& text, const std::string& caption, Icon icon,
                                    Buttons buttons) {
    return Answer(m_services.dialogs.messageBox(
        shown(text), shown(caption), DialogService::Icon(icon), DialogService::Buttons(buttons)));
}

void QtPorts::beep() {
    m_services.dialogs.beep();
}

void QtPorts::playSound() {
    m_services.desktop.playSound1000();
}

std::optional<std::string> QtPorts::pickFile(const std::string& folder,
                                             const std::vector<FileFilter>& filters) {
    QList<DialogService::FileFilter> qtFilters;
    for (const FileFilter& filter : filters) {
        QStringList patterns;
        for (const std::string& pattern : filter.patterns)
            patterns << shown(pattern);
        qtFilters.append({shown(filter.caption), patterns});
    }
    const QString chosen = m_services.dialogs.openFileName(pathOf(folder), qtFilters);
    return chosen.isEmpty() ? std::nullopt : std::optional(bytesOf(chosen));
}

std::optional<std::string> QtPorts::pickFolder(const std::string& title) {
    const QString chosen = m_services.dialogs.pickFolder(shown(title));
    return chosen.isEmpty() ? std::nullopt : std::optional(bytesOf(chosen));
}

std::optional<std::string> QtPorts::askCategoryName(CategoryPurpose purpose,
                                                    const std::string& name) {
    if (!m_categoryName)
        return std::nullopt;
    const auto answer =
        m_categoryName->askCategoryName(CategoryNameQuestion::Purpose(purpose), shown(name));
    return answer ? std::optional(answer->toStdString()) : std::nullopt;
}

QtPorts::NameAnswer QtPorts::askNewName(NameSubject subject, const std::string& pickedPath,
                                        const std::string& name) {
    if (!m_newName)
        return {name, false};
    const NameQuestion::Answer answer =
        m_newName->askNewName(NameQuestion::Subject(subject), shown(pickedPath), shown(name));
    return {answer.name.toStdString(), answer.renameAccepted};
}

void QtPorts::showNotesDialog() {
    if (m_noteDialog)
        m_noteDialog->exec();
}

qubrix::PairRead QtPorts::readPair(const qubrix::DataFilePair& files) {
    return qubrix::readDataFiles(files);
}

qubrix::WriteOutcome QtPorts::writePair(const qubrix::DataFilePair& files,
                                        std::string_view catalogueBytes,
                                        std::string_view notesBytes,
                                        const qubrix::PairStamp* expected) {
    return qubrix::saveDataFiles(files, catalogueBytes, notesBytes, expected);
}

std::string QtPorts::canonicalFolderOf(const std::string& path) {
    return bytesOf(QFileInfo(QFileInfo(pathOf(path)).absolutePath()).canonicalFilePath());
}

std::string QtPorts::mountPointOf(const std::string& path) {
    return bytesOf(m_services.files.mountPointOf(pathOf(path)));
}

std::string QtPorts::volumeLabel(const std::string& mountPoint) {
    return m_services.files.volumeLabel(pathOf(mountPoint)).toStdString();
}

std::optional<bool> QtPorts::isReadOnly(const std::string& path) {
    const auto attributes = m_services.files.fileAttributes(pathOf(path));
    return attributes ? std::optional(attributes->readOnly) : std::nullopt;
}

bool QtPorts::setReadOnly(const std::string& path) {
    return m_services.files.setReadOnly(pathOf(path));
}

bool QtPorts::clearReadOnly(const std::string& path) {
    return m_services.files.clearReadOnly(pathOf(path));
}

bool QtPorts::renameWithoutReplacing(const std::string& from, const std::string& to) {
    return m_services.files.renameWithoutReplacing(pathOf(from), pathOf(to));
}

std::string QtPorts::storedPathRoot(const std::string& storedPath) {
    return qubrix::storedPathRoot(m_logic->document().place(), storedPath);
}

qubrix::LaunchPlan QtPorts::planLaunch(const std::string& storedPath) {
    return qubrix::planLaunch(storedPathRoot(storedPath), storedPath);
}

bool QtPorts::openDocument(const qubrix::LaunchPlan& plan) {
    return m_services.desktop.openUrl(QUrl::fromLocalFile(pathOf(plan.document)));
}

bool QtPorts::runAndWait(const qubrix::LaunchPlan& plan, const std::function<void()>& onStarted) {
    QStringList arguments;
    for (const std::string& word : plan.arguments)
        arguments << shown(word);
    return m_services.processes.runAndWait(shown(plan.program), arguments,
                                           m_services.files.currentDirectory(), onStarted);
}

void QtPorts::copy(const qubrix::CopyPlan& plan) {
    m_services.copy.copy(plan);
}

bool QtPorts::openHelp() {
    return m_services.desktop.openHelp();
}

void QtPorts::endProgram(int status) {
    m_services.processes.endProcess(status);
}

std::optional<QString> QtPorts::noteOfEntry() const {
    const auto note = m_logic->noteOfEntry();
    return note ? std::optional(shown(*note)) : std::nullopt;
}

void QtPorts::storeNoteOfEntry(const QString& text) {
    m_logic->storeNoteOfEntry(text.toStdString());
}

void QtPorts::noteOfEntryCancelled() {
    m_logic->noteOfEntryCancelled();
}
