#include "platform/soundplayer.h"

#include "platform/soundlibrary.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QCoreApplication>
#include <QFile>
#include <QMediaDevices>
#include <QPointer>
#include <QtEndian>

#include <sndfile.h>

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace {

struct WaveLayout {
    int blockAlign = 0;
    std::optional<quint32> factFrames;
    qsizetype dataOffset = -1; // first byte of the sample data
    qsizetype dataSize = 0;
};

quint32 readLe32(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

std::optional<WaveLayout> layoutOf(const QByteArray& file) {
    if (file.size() < 12 || !file.startsWith("RIFF") || file.mid(8, 4) != "WAVE")
        return std::nullopt;
    WaveLayout layout;
    for (qsizetype at = 12; at + 8 <= file.size();) {
        const QByteArray id = file.mid(at, 4);
        const qsizetype size = readLe32(file, at + 4);
        const qsizetype payload = at + 8;
        if (id == "fmt " && size >= 14 && payload + 14 <= file.size())
            layout.blockAlign = qFromLittleEndian<quint16>(file.constData() + payload + 12);
        else if (id == "fact" && size >= 4 && payload + 4 <= file.size())
            layout.factFrames = readLe32(file, payload);
        else if (id == "data") {
            layout.dataOffset = payload;
            layout.dataSize = std::min(size, file.size() - payload);
            return layout;
        }
        at = payload + size + (size & 1);
    }
    return std::nullopt;
}

// The file up to the end of its sample data, with the last block padded to full size.
QByteArray withFullLastBlock(const QByteArray& file, const WaveLayout& layout) {
    QByteArray padded = file.left(layout.dataOffset + layout.dataSize);
    if (layout.blockAlign <= 0 || layout.dataSize % layout.blockAlign == 0)
        return padded;
    const qsizetype fullSize = (layout.dataSize / layout.blockAlign + 1) * layout.blockAlign;
    padded.append(fullSize - layout.dataSize, '\0');
    qToLittleEndian<quint32>(static_cast<quint32>(fullSize), padded.data() + layout.dataOffset - 4);
    return padded;
}

struct MemoryFile {
    const QByteArray& bytes;
    sf_count_t position = 0;
};

MemoryFile& memoryFile(void* user) {
    return *static_cast<MemoryFile*>(user);
}

SF_VIRTUAL_IO memoryIo() {
    SF_VIRTUAL_IO io{};
    io.get_filelen = [](void* user) -> sf_count_t { return memoryFile(user).bytes.size(); };
    io.seek = [](sf_count_t offset, int whence, void* user) -> sf_count_t {
        MemoryFile& file = memoryFile(user);
        const sf_count_t base = whence == SEEK_SET   ? 0
                                : whence == SEEK_CUR ? file.position
                                                     : file.bytes.size();
        file.position = std::clamp<sf_count_t>(base + offset, 0, file.bytes.size());
        return file.position;
    };
    io.read = [](void* destination, sf_count_t count, void* user) -> sf_count_t {
        MemoryFile& file = memoryFile(user);
        const sf_count_t available = std::min<sf_count_t>(count, file.bytes.size() - file.position);
        std::memcpy(destination, file.bytes.constData() + file.position, available);
        file.position += available;
        return available;
    };
    io.write = [](const void*, sf_count_t, void*) -> sf_count_t { return 0; };
    io.tell = [](void* user) -> sf_count_t { return memoryFile(user).position; };
    return io;
}

} // namespace

std::optional<DecodedSound> decodeWave(const QByteArray& file) {
    const std::optional<WaveLayout> layout = layoutOf(file);
    if (!layout)
        return std::nullopt;
    const QByteArray padded = withFullLastBlock(file, *layout);
    MemoryFile memory{padded};
    SF_VIRTUAL_IO io = memoryIo();
    SF_INFO info{};
    SNDFILE* sound = sf_open_virtual(&io, SFM_READ, &info, &memory);
    if (!sound)
        return std::nullopt;
    DecodedSound decoded{info.samplerate, info.channels, {}};
    decoded.samples.resize(static_cast<std::size_t>(info.frames * info.channels));
    const sf_count_t frames = sf_readf_short(sound, decoded.samples.data(), info.frames);
    sf_close(sound);
    const sf_count_t kept =
        layout->factFrames ? std::min<sf_count_t>(frames, *layout->factFrames) : frames;
    decoded.samples.resize(static_cast<std::size_t>(kept * info.channels));
    return decoded;
}

SoundPlayer::SoundPlayer(const QString& resourcePath, QObject* parent)
    : QObject(parent), m_resourcePath(resourcePath) {}

SoundPlayer::~SoundPlayer() = default;

void SoundPlayer::play() {
    if (!m_sink && !prepare())
        return;
    m_sink->stop();
    m_buffer.close();
    m_buffer.open(QIODevice::ReadOnly);
    m_sink->start(&m_buffer);
}

bool SoundPlayer::isPlaying() const {
    return m_sink && m_sink->state() == QAudio::ActiveState;
}

bool SoundPlayer::prepare() {
    // Asked again on each play, so a device plugged in later is used; decoding happens once.
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull() || m_prepareTried)
        return false;
    m_prepareTried = true;
    QFile file(m_resourcePath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const std::optional<DecodedSound> sound = decodeWave(file.readAll());
    if (!sound)
        return false;
    QAudioFormat format;
    format.setSampleRate(sound->sampleRate);
    format.setChannelCount(sound->channels);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format))
        return false;
    m_pcm = QByteArray(reinterpret_cast<const char*>(sound->samples.data()),
                       static_cast<qsizetype>(sound->samples.size() * sizeof(qint16)));
    m_buffer.setBuffer(&m_pcm);
    m_sink = std::make_unique<QAudioSink>(device, format);
    // Give the device back once the sound has played out.
    connect(m_sink.get(), &QAudioSink::stateChanged, this, [this](QAudio::State state) {
        if (state == QAudio::IdleState)
            m_sink->stop();
    });
    return true;
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
