#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QObject>

#include <memory>
#include <optional>
#include <vector>

class QAudioSink;

struct DecodedSound {
    int sampleRate = 0;
    int channels = 0;
    std::vector<qint16> samples; // interleaved frames
};

// Decodes a RIFF WAVE file held in memory: 16-bit PCM or Microsoft ADPCM, as sound 1000 is
// stored. The program decodes it itself, so that it loads no codec library; the frame count
// of the fact chunk, where there is one, cuts the padding of the last block off.
std::optional<DecodedSound> decodeWave(const QByteArray& file);

// Plays one embedded WAVE file without waiting for it; a new start cuts the sound still
// playing short. The file is decoded on the first play that finds an audio device; without
// one, play() does nothing.
class SoundPlayer final : public QObject {
public:
    SoundPlayer(const QString& resourcePath, QObject* parent);
    ~SoundPlayer() override;

    void play();
    // True while a sound that play() started is still being played.
    bool isPlaying() const;

private:
    bool prepare();

    QString m_resourcePath;
    bool m_prepareTried = false; // set once a device was there to prepare for
    QByteArray m_pcm;
    QBuffer m_buffer;
    std::unique_ptr<QAudioSink> m_sink;
};
