#include "sound/soundplayer.h"

#include "sound/soundlibrary.h"

#include <QCoreApplication>
#include <QFile>
#include <QPointer>
#include <QtEndian>

#include <pulse/simple.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <future>
#include <memory>
#include <mutex>
#include <type_traits>
#include <utility>

namespace {

constexpr int kPcm = 1;
constexpr int kMsAdpcm = 2;

struct WaveLayout {
    int format = 0;
    int channels = 0;
    int sampleRate = 0;
    int blockAlign = 0;
    int bitsPerSample = 0;
    // The predictor coefficient pairs of an ADPCM file.
    std::vector<std::pair<int, int>> coefficients;
    std::optional<quint32> factFrames;
    qsizetype dataOffset = -1; // first byte of the sample data
    qsizetype dataSize = 0;
};

quint16 readLe16(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}
quint32 readLe32(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

// Reads the fmt chunk at payload, of size bytes; false when it cannot be read.
bool readFormat(const QByteArray& file, qsizetype payload, qsizetype size, WaveLayout& layout) {
    if (size < 16 || payload + size > file.size())
        return false;
    layout.format = readLe16(file, payload);
    layout.channels = readLe16(file, payload + 2);
    layout.sampleRate = static_cast<int>(readLe32(file, payload + 4));
    layout.blockAlign = readLe16(file, payload + 12);
    layout.bitsPerSample = readLe16(file, payload + 14);
    if (layout.format != kMsAdpcm || size < 22)
        return true;
    const int count = readLe16(file, payload + 20);
    if (size < 22 + 4 * count)
        return false;
    for (int i = 0; i < count; ++i)
        layout.coefficients.emplace_back(static_cast<qint16>(readLe16(file, payload + 22 + 4 * i)),
                                         static_cast<qint16>(readLe16(file, payload + 24 + 4 * i)));
    return true;
}

std::optional<WaveLayout> layoutOf(const QByteArray& file) {
    if (file.size() < 12 || !file.startsWith("RIFF") || file.mid(8, 4) != "WAVE")
        return std::nullopt;
    WaveLayout layout;
    for (qsizetype at = 12; at + 8 <= file.size();) {
        const QByteArray id = file.mid(at, 4);
        const qsizetype size = readLe32(file, at + 4);
        const qsizetype payload = at + 8;
        if (id == "fmt ") {
            if (!readFormat(file, payload, size, layout))
                return std::nullopt;
        } else if (id == "fact" && size >= 4 && payload + 4 <= file.size()) {
            layout.factFrames = readLe32(file, payload);
        } else if (id == "data") {
            layout.dataOffset = payload;
            layout.dataSize = std::min(size, file.size() - payload);
            return layout;
        }
        at = payload + size + (size & 1);
    }
    return std::nullopt;
}

qint16 clamped(int sample) {
    return static_cast<qint16>(std::clamp(sample, -32768, 32767));
}

// Microsoft's ADPCM: each block starts, per channel, with a predictor, a step and the first
// two samples (the older one first); then come 4-bit codes, high nibble first, channels in
// turn. A short last block holds fewer codes.
std::vector<qint16> decodeMsAdpcm(const QByteArray& file, const WaveLayout& layout) {
    static constexpr int kAdaptation[16] = {230, 230, 230, 230, 307, 409, 512, 614,
                                            768, 614, 512, 409, 307, 230, 230, 230};
    const int channels = layout.channels;
    const qsizetype header = 7 * channels;
    std::vector<qint16> samples;
    for (qsizetype block = 0; block < layout.dataSize; block += layout.blockAlign) {
        const qsizetype size = std::min<qsizetype>(layout.blockAlign, layout.dataSize - block);
        if (size < header)
            break;
        const qsizetype at = layout.dataOffset + block;
        std::vector<int> coefficient1(channels), coefficient2(channels), step(channels),
            newer(channels), older(channels);
        for (int c = 0; c < channels; ++c) {
            const std::size_t predictor = static_cast<unsigned char>(file[at + c]);
            if (predictor >= layout.coefficients.size())
                return {};
            coefficient1[c] = layout.coefficients[predictor].first;
            coefficient2[c] = layout.coefficients[predictor].second;
            step[c] = static_cast<qint16>(readLe16(file, at + channels + 2 * c));
            newer[c] = static_cast<qint16>(readLe16(file, at + 3 * channels + 2 * c));
            older[c] = static_cast<qint16>(readLe16(file, at + 5 * channels + 2 * c));
        }
        samples.insert(samples.end(), older.begin(), older.end());
        samples.insert(samples.end(), newer.begin(), newer.end());
        int c = 0;
        for (qsizetype i = header; i < size; ++i) {
            const auto byte = static_cast<unsigned char>(file[at + i]);
            for (const int code : {byte >> 4, byte & 0x0f}) {
                const int predicted =
                    (newer[c] * coefficient1[c] + older[c] * coefficient2[c]) >> 8;
                const int sample = clamped(predicted + (code >= 8 ? code - 16 : code) * step[c]);
                older[c] = newer[c];
                newer[c] = sample;
                step[c] = std::max(16, (kAdaptation[code] * step[c]) >> 8);
                samples.push_back(static_cast<qint16>(sample));
                c = (c + 1) % channels;
            }
        }
    }
    return samples;
}

} // namespace

std::optional<DecodedSound> decodeWave(const QByteArray& file) {
    const std::optional<WaveLayout> layout = layoutOf(file);
    if (!layout || layout->channels < 1 || layout->sampleRate < 1 || layout->blockAlign < 1)
        return std::nullopt;
    DecodedSound decoded{layout->sampleRate, layout->channels, {}};
    if (layout->format == kPcm && layout->bitsPerSample == 16) {
        decoded.samples.resize(static_cast<std::size_t>(layout->dataSize / 2));
        for (std::size_t i = 0; i < decoded.samples.size(); ++i)
            decoded.samples[i] = static_cast<qint16>(
                readLe16(file, layout->dataOffset + 2 * static_cast<qsizetype>(i)));
    } else if (layout->format == kMsAdpcm && layout->bitsPerSample == 4) {
        decoded.samples = decodeMsAdpcm(file, *layout);
    } else {
        return std::nullopt;
    }
    // Whole frames only, and no more than the fact chunk tells.
    std::size_t frames = decoded.samples.size() / static_cast<std::size_t>(layout->channels);
    if (layout->factFrames)
        frames = std::min<std::size_t>(frames, *layout->factFrames);
    decoded.samples.resize(frames * static_cast<std::size_t>(layout->channels));
    if (decoded.samples.empty())
        return std::nullopt;
    return decoded;
}

SoundPlayer::SoundPlayer(const QString& resourcePath, QObject* parent)
    : QObject(parent), m_resourcePath(resourcePath) {}

// The threads are stopped and waited for first: they play from m_sound.
SoundPlayer::~SoundPlayer() {
    m_playbacks.clear();
}

void SoundPlayer::play() {
    if (!prepare())
        return;
    // The sound still playing is cut short. Its thread is not waited for: the server may keep
    // a write waiting for a while.
    for (Playback& playback : m_playbacks)
        playback.thread.request_stop();
    std::erase_if(m_playbacks, [](const Playback& playback) { return !*playback.playing; });
    auto playing = std::make_shared<std::atomic<bool>>(true);
    std::promise<bool> opened;
    std::future<bool> open = opened.get_future();
    // Each stream is used on one thread only, from its opening on.
    std::jthread thread([this, playing, opened = std::move(opened)](std::stop_token stop) mutable {
        const pa_sample_spec format{PA_SAMPLE_S16LE,
                                    static_cast<std::uint32_t>(m_sound->sampleRate),
                                    static_cast<std::uint8_t>(m_sound->channels)};
        pa_simple* stream = pa_simple_new(nullptr, "Qubrix", PA_STREAM_PLAYBACK, nullptr, "Sound",
                                          &format, nullptr, nullptr, nullptr);
        if (stream == nullptr)
            *playing = false;
        opened.set_value(stream != nullptr);
        if (stream == nullptr)
            return;
        // The sound is short: it goes into the server's buffer whole, and the thread then
        // waits for it to be played out unless a new start comes first.
        const auto* data = reinterpret_cast<const char*>(m_sound->samples.data());
        const std::size_t bytes = m_sound->samples.size() * sizeof(qint16);
        const bool written = pa_simple_write(stream, data, bytes, nullptr) == 0;
        const pa_usec_t latency = written ? pa_simple_get_latency(stream, nullptr) : 0;
        std::mutex mutex;
        std::unique_lock lock(mutex);
        std::condition_variable_any().wait_for(
            lock, stop, std::chrono::microseconds(latency == pa_usec_t(-1) ? 0 : latency),
            [] { return false; });
        if (stop.stop_requested())
            pa_simple_flush(stream, nullptr);
        else if (written)
            pa_simple_drain(stream, nullptr);
        pa_simple_free(stream);
        *playing = false;
    });
    // Opening takes a moment, and fails at once without a sound server (no audio device, as on
    // a build machine): then nothing is played.
    open.wait();
    m_playbacks.push_back({std::move(playing), std::move(thread)});
}

bool SoundPlayer::isPlaying() const {
    return !m_playbacks.empty() && *m_playbacks.back().playing;
}

bool SoundPlayer::prepare() {
    if (!m_decodeTried) {
        m_decodeTried = true;
        QFile file(m_resourcePath);
        if (file.open(QIODevice::ReadOnly))
            m_sound = decodeWave(file.readAll());
    }
    return m_sound.has_value();
}

// The player lives as long as the application object, so its audio output is closed while Qt
// still runs.
extern "C" Q_DECL_EXPORT void qubrixPlaySound1000() {
    static QPointer<SoundPlayer> player;
    if (!player)
        player = new SoundPlayer(QStringLiteral(":/sound1000.wav"), QCoreApplication::instance());
    player->play();
}
static_assert(std::is_same_v<decltype(&qubrixPlaySound1000), PlaySound1000>);
