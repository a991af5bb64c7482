#include "linux/app/discfolder.h"

#include "core/window/product.h"
#include "platform/dialogservice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

namespace {

namespace fs = std::filesystem;

QString describe(const std::error_code& error) {
    return QString::fromStdString(error.message());
}

// Makes the folder when it is missing and makes it the current directory; empty when that
// worked, else what went wrong, as the user is told.
QString enterFolder(const QString& folder) {
    const fs::path path(QFile::encodeName(folder).toStdString());
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (fs::exists(status) && !fs::is_directory(status))
        return QString("%1 is a file, not a folder.").arg(folder);
    if (!fs::is_directory(status)) {
        fs::create_directories(path, error);
        if (error)
            return QString("Cannot make the folder %1: %2.").arg(folder, describe(error));
    }
    fs::current_path(path, error);
    if (error)
        return QString("Cannot open the folder %1: %2.").arg(folder, describe(error));
    return {};
}

} // namespace

bool asksForDiscFolder(const QStringList& arguments, const QString& currentFolder,
                       const QString& homeFolder) {
    if (arguments.contains(chooseFolderOption))
        return true;
    if (homeFolder.isEmpty())
        return false;
    // Both through their real paths: a home folder reached through a link is still home.
    const QString current = QFileInfo(currentFolder).canonicalFilePath();
    if (current.isEmpty() || current != QFileInfo(homeFolder).canonicalFilePath())
        return false;
    // A catalogue that is only a link to a missing file still is the user's own: open it as
    // before rather than ask.
    const QFileInfo catalogue(QDir(current).filePath("qubrix.dat"));
    return !catalogue.exists() && !catalogue.isSymLink();
}

bool enterChosenDiscFolder(DialogService& dialogs) {
    for (;;) {
        const QString folder = dialogs.pickFolder(discFolderTitle);
        if (folder.isEmpty())
            return false;
        const QString problem = enterFolder(folder);
        if (problem.isEmpty())
            return true;
        dialogs.beepAndAsk(problem, productName, DialogService::Icon::Error,
                           DialogService::Buttons::Ok);
    }
}
