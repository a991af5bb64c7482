#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>

#include <unistd.h>

// A folder that takes no new file once sealed, even from root: for root a small file system
// mounted there, made read-only; for anyone else the folder without write bits.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& path) : m_path(path) {
        QDir().mkpath(path);
        m_mounted = ::geteuid() == 0 && QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=1m",
                                                                    "tmpfs", path}) == 0;
    }
    ~ReadOnlyFolder() {
        if (m_mounted)
            QProcess::execute("umount", {m_path});
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    bool seal() {
        if (::geteuid() == 0)
            return m_mounted && QProcess::execute("mount", {"-o", "remount,ro", m_path}) == 0;
        return QFile::setPermissions(m_path, QFile::ReadOwner | QFile::ExeOwner);
    }

private:
    QString m_path;
    bool m_mounted = false;
};
