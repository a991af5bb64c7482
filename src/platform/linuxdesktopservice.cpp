#include "platform/linuxdesktopservice.h"

#include "platform/dialogservice.h"
#include "platform/soundplayer.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QPointer>

namespace {

// The help page sits beside the program in the build tree, or in share/ once installed.
QString helpPagePath() {
    const QString programFolder = QCoreApplication::applicationDirPath();
    for (const QString& candidate : {programFolder + "/help/qubrix.html",
                                     programFolder + "/../share/qubrix/help/qubrix.html"}) {
        if (QFileInfo::exists(candidate))
            return QFileInfo(candidate).canonicalFilePath();
    }
    return {};
}

} // namespace

void LinuxDesktopService::openUrl(const QUrl& url) {
    QDesktopServices::openUrl(url);
}

void LinuxDesktopService::openHelp() {
    const QString page = helpPagePath();
    if (page.isEmpty()) {
        m_dialogs.messageBox(QString("The help page is not installed beside %1.")
                                 .arg(QCoreApplication::applicationFilePath()),
                             QCoreApplication::applicationName(), DialogService::Icon::Error,
                             DialogService::Buttons::Ok);
        return;
    }
    openUrl(QUrl::fromLocalFile(page));
}

// Sound 1000 is compiled into the executable (resources/sound1000.wav). The player lives as
// long as the application object, so its audio output is closed while Qt still runs.
void LinuxDesktopService::playSound1000() {
    static QPointer<SoundPlayer> player;
    if (!player)
        player = new SoundPlayer(QStringLiteral(":/sound1000.wav"), QCoreApplication::instance());
    player->play();
}
