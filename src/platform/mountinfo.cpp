#include "platform/mountinfo.h"

#include "core/text/ascii.h"

#include <QFile>

namespace mountinfo {

namespace {

bool isOctalDigit(char c) {
    return c >= '0' && c <= '7';
}

QString decodedPath(QByteArrayView field) {
    return QFile::decodeName(decodeOctalEscapes(field));
}

bool contains(const QString& mountPoint, const QString& path) {
    if (mountPoint == QLatin1String("/"))
        return path.startsWith(QLatin1Char('/'));
    return path == mountPoint ||
           (path.startsWith(mountPoint) && path.at(mountPoint.size()) == QLatin1Char('/'));
}

} // namespace

QByteArray decodeOctalEscapes(QByteArrayView text) {
    QByteArray decoded;
    decoded.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        // A first digit above 3 would not fit a byte; the kernel never writes one.
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '3' &&
            isOctalDigit(text[i + 2]) && isOctalDigit(text[i + 3])) {
            decoded.append(
                char((text[i + 1] - '0') * 64 + (text[i + 2] - '0') * 8 + (text[i + 3] - '0')));
            i += 3;
        } else {
            decoded.append(text[i]);
        }
    }
    return decoded;
}

QByteArray decodeHexEscapes(QByteArrayView text) {
    QByteArray decoded;
    decoded.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x' &&
            qubrix::hexDigitValue(text[i + 2]) >= 0 && qubrix::hexDigitValue(text[i + 3]) >= 0) {
            decoded.append(
                char(qubrix::hexDigitValue(text[i + 2]) * 16 + qubrix::hexDigitValue(text[i + 3])));
            i += 3;
        } else {
            decoded.append(text[i]);
        }
    }
    return decoded;
}

std::optional<Mount> parseLine(QByteArrayView line) {
    const QList<QByteArray> fields = line.trimmed().toByteArray().split(' ');
    // Six fixed fields, any number of optional ones, "-", then type and source.
    const qsizetype separator = fields.indexOf("-", 6);
    if (separator < 0 || separator + 2 >= fields.size() || !fields[4].startsWith('/'))
        return std::nullopt;
    return Mount{decodedPath(fields[4]), decodedPath(fields[separator + 2]),
                 QString::fromUtf8(fields[separator + 1]), QString::fromUtf8(fields[2])};
}

QList<Mount> parseTable(QByteArrayView text) {
    QList<Mount> table;
    for (const QByteArray& line : text.toByteArray().split('\n')) {
        if (auto mount = parseLine(line))
            table.append(*mount);
    }
    return table;
}

std::optional<Mount> mountHolding(const QList<Mount>& table, const QString& absolutePath,
                                  const QString& device) {
    std::optional<Mount> best;
    std::optional<Mount> bestOfDevice;
    for (const Mount& mount : table) {
        if (!contains(mount.mountPoint, absolutePath))
            continue;
        if (!best || mount.mountPoint.size() >= best->mountPoint.size())
            best = mount;
        if (!device.isEmpty() && mount.device == device &&
            (!bestOfDevice || mount.mountPoint.size() >= bestOfDevice->mountPoint.size()))
            bestOfDevice = mount;
    }
    return bestOfDevice ? bestOfDevice : best;
}

std::optional<Mount> mountAt(const QList<Mount>& table, const QString& mountPoint) {
    for (auto it = table.crbegin(); it != table.crend(); ++it) {
        if (it->mountPoint == mountPoint)
            return *it;
    }
    return std::nullopt;
}

} // namespace mountinfo
