#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

// The kernel's table of mounted file systems (/proc/self/mountinfo) and the volume questions
// answered from it: which mount holds a folder, and what its file system is labelled.
namespace mountinfo {

struct Mount {
    QString mountPoint; // where it is mounted, escapes decoded
    QString source;     // the mount source, such as /dev/sdb1; not always a device
    QString fsType;
    QString device; // "major:minor" of the file system, as stat's st_dev gives it
};

// The kernel writes blank, tab, newline and backslash in mount points and sources as \ooo
// (three octal digits, \040 for a blank). Anything else passes through unchanged.
QByteArray decodeOctalEscapes(QByteArrayView text);
// udev names /dev/disk/by-label links with \xHH for bytes outside its safe set (\x20 for a
// blank, \x2f for a slash). A backslash not followed by x and two hex digits stays as it is.
QByteArray decodeHexEscapes(QByteArrayView text);

// One line of mountinfo: "36 35 98:0 /root /mnt/point rw,noatime shared:1 - ext4 /dev/sda1 rw".
// std::nullopt for a line that does not have that shape.
std::optional<Mount> parseLine(QByteArrayView line);
// Every well-formed line of the table, in the kernel's order (later mounts come later).
QList<Mount> parseTable(QByteArrayView text);

// The mount whose mount point is the longest one containing the absolute path; of mounts
// stacked on the same point, the last one, which hides the others. Given the path's device,
// only mounts of that device count (when any does): a mount that a later one hides, over the
// same point or over a parent folder, is not what holds a path reached through the later one.
// std::nullopt only for a table without a mount at "/" and a path outside every mount.
std::optional<Mount> mountHolding(const QList<Mount>& table, const QString& absolutePath,
                                  const QString& device = {});
// The topmost mount at exactly mountPoint.
std::optional<Mount> mountAt(const QList<Mount>& table, const QString& mountPoint);

// The live system, read from /proc/self/mountinfo and the devices (volume.cpp).

// Mount point of the file system holding path, after resolving links; "/" for the root file
// system and when the table cannot be read.
QString mountPointOf(const QString& path);
// The label of the file system mounted at mountPoint: from udev's by-label links, else from
// libblkid probing the mount's device, else from the file system itself (FS_IOC_GETFSLABEL,
// which needs no access to the device); empty when there is none.
QString volumeLabel(const QString& mountPoint);

} // namespace mountinfo
