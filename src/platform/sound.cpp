#include "platform/linuxplatform.h"
#include "platform/soundplayer.h"

#include <QCoreApplication>
#include <QPointer>

// Sound 1000 is compiled into the executable (resources/sound1000.wav). The player lives as
// long as the application object, so its audio output is closed while Qt still runs.
void LinuxPlatform::playSound1000() {
    static QPointer<SoundPlayer> player;
    if (!player)
        player = new SoundPlayer(QStringLiteral(":/sound1000.wav"), QCoreApplication::instance());
    player->play();
}
