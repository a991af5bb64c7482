#include "sound/soundplayer.h"

#include <QFile>
#include <QTest>

#include <cmath>

#include <pulse/simple.h>

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

// Whether a sound server takes a stream, as it does where there is an audio device.
bool soundServerAnswers() {
    const pa_sample_spec format{PA_SAMPLE_S16LE, 22050, 1};
    pa_simple* stream = pa_simple_new(nullptr, "Qubrix test", PA_STREAM_PLAYBACK, nullptr, "Sound",
                                      &format, nullptr, nullptr, nullptr);
    if (stream != nullptr)
        pa_simple_free(stream);
    return stream != nullptr;
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
        // A predictor the file does not define.
        QByteArray predictor = embeddedSound();
        predictor[predictor.indexOf("data") + 8] = 7;
        QVERIFY(!decodeWave(predictor));
    }

    // Stereo 16-bit PCM: frames as they are stored, the odd byte at the end left out; other
    // sample formats are refused.
    void decodesPcm() {
        QByteArray file("RIFF\0\0\0\0WAVEfmt \x10\0\0\0\x01\0\x02\0\x40\x1f\0\0"
                        "\0\x7d\0\0\x04\0\x10\0data\x09\0\0\0\x01\0\xff\xff\0\x80\xff\x7f\x05",
                        53);
        const std::optional<DecodedSound> sound = decodeWave(file);
        QVERIFY(sound);
        QCOMPARE(sound->sampleRate, 8000);
        QCOMPARE(sound->channels, 2);
        QCOMPARE(sound->samples, (std::vector<qint16>{1, -1, -32768, 32767}));
        file[34] = 8; // 8-bit samples
        QVERIFY(!decodeWave(file));
    }

    // Playing only starts the sound: when play() returns, the sound is still being played
    // (without an audio device, as on a build machine, nothing is played at all). A second
    // play starts it again.
    void playingDoesNotWait() {
        SoundPlayer player(":/sound1000.wav", nullptr);
        const bool device = soundServerAnswers();
        for (int play = 0; play < 2; ++play) {
            player.play();
            QCOMPARE(player.isPlaying(), device);
        }
    }
};

QTEST_MAIN(TestSound1000)
#include "tst_sound1000.moc"
