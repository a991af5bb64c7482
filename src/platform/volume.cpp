#include "platform/mountinfo.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <blkid.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdlib>

namespace mountinfo {

namespace {

QList<Mount> liveTable() {
    QFile file(QStringLiteral("/proc/self/mountinfo"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parseTable(file.readAll());
}

// The resolved device node behind a mount source, or the disc image file a FUSE mount names as
// its source (fuseiso -o fsname=IMAGE: the kernel here may have no ISO 9660 driver); empty when
// the source is neither (tmpfs, overlay, a network share).
QString blockDeviceOf(const Mount& mount) {
    const QString device = QFileInfo(mount.source).canonicalFilePath();
    struct stat status {};
    if (device.isEmpty() || ::stat(QFile::encodeName(device).constData(), &status) != 0)
        return {};
    const bool imageFile = S_ISREG(status.st_mode) && mount.fsType.startsWith("fuse");
    return S_ISBLK(status.st_mode) || imageFile ? device : QString();
}

std::optional<QString> labelFromUdevLinks(const QString& device) {
    QDirIterator links(QStringLiteral("/dev/disk/by-label"),
                       QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    while (links.hasNext()) {
        const QFileInfo link(links.next());
        if (link.canonicalFilePath() == device)
            return QString::fromUtf8(decodeHexEscapes(QFile::encodeName(link.fileName())));
    }
    return std::nullopt;
}

// Reading the superblock needs read access to the device, which root has; anybody else
// gets what the blkid cache remembers of it.
std::optional<QString> labelFromBlkid(const QString& device) {
    const QByteArray name = QFile::encodeName(device);
    if (blkid_probe probe = blkid_new_probe_from_filename(name.constData())) {
        blkid_probe_enable_superblocks(probe, 1);
        blkid_probe_set_superblocks_flags(probe, BLKID_SUBLKS_LABEL);
        std::optional<QString> label;
        const char* value = nullptr;
        if (blkid_do_safeprobe(probe) == 0 &&
            blkid_probe_lookup_value(probe, "LABEL", &value, nullptr) == 0 && *value != '\0')
            label = QString::fromUtf8(value);
        blkid_free_probe(probe);
        return label;
    }
    blkid_cache cache = nullptr;
    if (blkid_get_cache(&cache, nullptr) != 0)
        return std::nullopt;
    std::optional<QString> label;
    if (char* value = blkid_get_tag_value(cache, "LABEL", name.constData())) {
        if (*value != '\0')
            label = QString::fromUtf8(value);
        std::free(value);
    }
    blkid_put_cache(cache);
    return label;
}

// Asks the mounted file system itself; works for ext4, btrfs, xfs and others without any
// access to the device, so a user sees the label of a loop-mounted image on a system without
// udev.
std::optional<QString> labelFromFileSystem(const QString& mountPoint) {
#ifdef FS_IOC_GETFSLABEL
    const int fd =
        ::open(QFile::encodeName(mountPoint).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    char buffer[FSLABEL_MAX + 1] = {};
    const bool ok = ::ioctl(fd, FS_IOC_GETFSLABEL, buffer) == 0;
    ::close(fd);
    if (ok && buffer[0] != '\0')
        return QString::fromUtf8(buffer);
#else
    Q_UNUSED(mountPoint);
#endif
    return std::nullopt;
}

} // namespace

QString mountPointOf(const QString& path) {
    QString absolute = QFileInfo(path).canonicalFilePath();
    if (absolute.isEmpty())
        absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    struct stat status {};
    const QString device =
        ::stat(QFile::encodeName(absolute).constData(), &status) == 0
            ? QStringLiteral("%1:%2").arg(major(status.st_dev)).arg(minor(status.st_dev))
            : QString();
    const std::optional<Mount> mount = mountHolding(liveTable(), absolute, device);
    return mount ? mount->mountPoint : QStringLiteral("/");
}

QString volumeLabel(const QString& mountPoint) {
    const std::optional<Mount> mount = mountAt(liveTable(), QDir::cleanPath(mountPoint));
    const QString device = mount ? blockDeviceOf(*mount) : QString();
    if (!device.isEmpty()) {
        if (auto label = labelFromUdevLinks(device))
            return *label;
        if (auto label = labelFromBlkid(device))
            return *label;
    }
    return labelFromFileSystem(mountPoint).value_or(QString());
}

} // namespace mountinfo
