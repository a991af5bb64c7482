#include "platform/linuxdesktopservice.h"

#include "platform/dialogservice.h"
#include "sound/soundlibrary.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QLibrary>

namespace {

// The sound library lies at a fixed place relative to the program, in the build tree as once
// installed.
PlaySound1000 loadSoundLibrary() {
    const QString path = QCoreApplication::applicationDirPath() + "/" QUBRIX_SOUND_LIBRARY;
    QLibrary library(path);
    const auto play = reinterpret_cast<PlaySound1000>(library.resolve(playSound1000Entry));
    if (!play)
        qWarning("No sound: %s", qPrintable(library.errorString()));
    return play;
}

} // namespace

QString helpPageOf(const QString& programFolder) {
    for (const QString& candidate : {programFolder + "/help/qubrix.html",
                                     programFolder + "/../share/qubrix/help/qubrix.html"}) {
        if (QFileInfo::exists(candidate))
            return QFileInfo(candidate).canonicalFilePath();
    }
    return {};
}

bool LinuxDesktopService::openUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

bool LinuxDesktopService::openHelp() {
    const QString page = helpPageOf(QCoreApplication::applicationDirPath());
    if (page.isEmpty()) {
        m_dialogs.messageBox(QString("The help page is not installed beside %1.")
                                 .arg(QCoreApplication::applicationFilePath()),
                             QCoreApplication::applicationName(), DialogService::Icon::Error,
                             DialogService::Buttons::Ok);
        return true;
    }
    return openUrl(QUrl::fromLocalFile(page));
}

// Sound 1000 is compiled into the executable (resources/sound1000.wav); the code that plays it
// is opened at the first sound and stays loaded.
void LinuxDesktopService::playSound1000() {
    static const PlaySound1000 play = loadSoundLibrary();
    if (play)
        play();
}
