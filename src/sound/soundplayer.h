#pragma once

#include <QByteArray>
#include <QObject>

#include <atomic>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

struct DecodedSound {
    int sampleRate = 0;
    int channels = 0;
    std::vector<qint16> samples; // interleaved frames
};

// Decodes a RIFF WAVE file held in memory: 16-bit PCM or Microsoft ADPCM, as sound 1000 is
// stored. The program decodes it itself, so that it loads no codec library; the frame count
// of the fact chunk, where there is one, cuts the padding of the last block off.
std::optional<DecodedSound> decodeWave(const QByteArray& file);

// Plays one embedded WAVE file through the PulseAudio server (PipeWire's as well) without
// waiting for it; a new start cuts the sound still playing short. The file is decoded at the
// first play; without a server, play() does nothing. Qt Multimedia is not used: it would bring
// Qt Network and its libraries along.
class SoundPlayer final : public QObject {
public:
    SoundPlayer(const QString& resourcePath, QObject* parent);
    ~SoundPlayer() override;

    void play();
    // True while a sound that play() started is still being played.
    bool isPlaying() const;

private:
    bool prepare();

    // A start's thread, and whether its sound is still being played (or the stream opened).
    struct Playback {
        std::shared_ptr<std::atomic<bool>> playing;
        std::jthread thread;
    };

    QString m_resourcePath;
    bool m_decodeTried = false;
    std::optional<DecodedSound> m_sound;
    // The latest start last.
    std::vector<Playback> m_playbacks;
};
