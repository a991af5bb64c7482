#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTest>

// Files the window tests prepare and read back.

inline void writeFile(const QString& path, const QByteArray& bytes, bool executable = false) {
    QDir().mkpath(path.section('/', 0, -2));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    if (executable)
        file.setPermissions(file.permissions() | QFile::ExeOwner);
}

inline QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}
