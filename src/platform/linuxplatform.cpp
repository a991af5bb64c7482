#include "platform/linuxplatform.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>

#include <sys/stat.h>
#include <sys/statvfs.h>

namespace {

constexpr mode_t writeBits = S_IWUSR | S_IWGRP | S_IWOTH;

QByteArray nativePath(const QString& path) {
    return QFile::encodeName(path);
}

QMessageBox::Icon messageIcon(Platform::Icon icon) {
    switch (icon) {
    case Platform::Icon::Information:
        return QMessageBox::Information;
    case Platform::Icon::Warning:
        return QMessageBox::Warning;
    case Platform::Icon::Error:
        return QMessageBox::Critical;
    case Platform::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// The help page sits beside the program in the build tree, or in share/ once installed.
QString helpPagePath() {
    const QString programFolder = QCoreApplication::applicationDirPath();
    for (const QString& candidate : {programFolder + "/help/qubrix.html",
                                     programFolder + "/../share/qubrix/help/qubrix.html"}) {
        if (QFileInfo::exists(candidate))
            return QFileInfo(candidate).canonicalFilePath();
    }
    return {};
}

} // namespace

QString LinuxPlatform::currentDirectory() {
    return QDir::currentPath();
}

std::optional<Platform::FileAttributes> LinuxPlatform::fileAttributes(const QString& path) {
    struct stat status {};
    if (::stat(nativePath(path).constData(), &status) != 0)
        return std::nullopt;
    struct statvfs volume {};
    const bool readOnlyMount =
        ::statvfs(nativePath(path).constData(), &volume) == 0 && (volume.f_flag & ST_RDONLY);
    return FileAttributes{readOnlyMount || (status.st_mode & writeBits) == 0};
}

bool LinuxPlatform::setReadOnly(const QString& path) {
    struct stat status {};
    const QByteArray native = nativePath(path);
    return ::stat(native.constData(), &status) == 0 &&
           ::chmod(native.constData(), status.st_mode & ~writeBits & 07777) == 0;
}

bool LinuxPlatform::clearReadOnly(const QString& path) {
    struct stat status {};
    const QByteArray native = nativePath(path);
    return ::stat(native.constData(), &status) == 0 &&
           ::chmod(native.constData(), (status.st_mode | S_IWUSR) & 07777) == 0;
}

Platform::Answer LinuxPlatform::messageBox(const QString& text, const QString& caption, Icon icon,
                                           Buttons buttons) {
    QMessageBox box(messageIcon(icon), caption, text,
                    buttons == Buttons::YesNo ? QMessageBox::Yes | QMessageBox::No
                                              : QMessageBox::Ok);
    const int answer = box.exec();
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    return answer == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

void LinuxPlatform::beep() {
    QApplication::beep();
}

void LinuxPlatform::openUrl(const QUrl& url) {
    QDesktopServices::openUrl(url);
}

void LinuxPlatform::openHelp() {
    const QString page = helpPagePath();
    if (page.isEmpty()) {
        messageBox(QString("The help page is not installed beside %1.")
                       .arg(QCoreApplication::applicationFilePath()),
                   QCoreApplication::applicationName(), Icon::Error, Buttons::Ok);
        return;
    }
    openUrl(QUrl::fromLocalFile(page));
}

void LinuxPlatform::endProcess(int status) {
    QCoreApplication::exit(status);
}
