#include "platform/linuxdesktopservice.h"
#include "platform/linuxdialogservice.h"
#include "platform/soundplayer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <cmath>

namespace {

QByteArray embeddedSound() {
    QFile file(":/sound1000.wav");
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

double rms(const std::vector<qint16>& samples, std::size_t from, std::size_t to) {
    double sum = 0;
    for (std::size_t i = from; i < to; ++i)
        sum += double(samples[i]) * samples[i];
    return std::sqrt(sum / double(to - from));
}

} // namespace

class TestSound1000 : public QObject {
    Q_OBJECT

private slots:
    void decodesEverySampleOfTheEmbeddedSound() {
        const QByteArray file = embeddedSound();
        QCOMPARE(file.size(), 1784);
        const std::optional<DecodedSound> sound = decodeWave(file);
        QVERIFY(sound);
        QCOMPARE(sound->sampleRate, 22050);
        QCOMPARE(sound->channels, 1);
        QCOMPARE(sound->samples.size(), std::size_t(3340));
        // The short last block (samples 3036 on) is decoded, not left silent: the chime
        // decays smoothly across the block boundary.
        const double before = rms(sound->samples, 2736, 3036);
        const double after = rms(sound->samples, 3036, 3340);
        QVERIFY2(after > 50 && after < before,
                 qPrintable(QString("rms %1 then %2").arg(before).arg(after)));
    }

    void rejectsWhatIsNoWaveFile() {
        QVERIFY(!decodeWave(QByteArray()));
        QVERIFY(!decodeWave("RIFF\x04\0\0\0WAVE"));
        QByteArray truncated = embeddedSound().left(80); // ends inside the fact chunk
        QVERIFY(!decodeWave(truncated));
    }

    // Without an audio device (as on a build machine) playing is silent and returns at once;
    // with one it only starts the sound.
    void playingDoesNotWait() {
        LinuxDialogService dialogs;
        LinuxDesktopService desktop(dialogs);
        QElapsedTimer timer;
        timer.start();
        desktop.playSound1000();
        desktop.playSound1000();
        QVERIFY2(timer.elapsed() < 100, qPrintable(QString::number(timer.elapsed())));
    }
};

QTEST_MAIN(TestSound1000)
#include "tst_sound1000.moc"
