#pragma once

#include "medium/mediumpreparer.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <memory>

inline constexpr char kSmallHelpPage[] = "<html>help</html>";

// A small installation for prepare to carry: copies of the system's true stand in for the
// program, its sound library and the plugins it cannot do without. They need only the desktop
// base, so collecting and writing them takes a moment, with the real ldd, patchelf and strip.
inline Installation smallInstallation(const QString& folder) {
    const QString elf = QStandardPaths::findExecutable("true");
    for (const char* file :
         {"bin/qubrix", "lib/qubrix/libqubrix_sound.so", "plugins/platforms/libqxcb.so",
          "plugins/platforms/libqwayland-generic.so",
          "plugins/wayland-shell-integration/libxdg-shell.so"}) {
        const QString path = folder + "/" + file;
        if (!QDir().mkpath(path.section('/', 0, -2)) || !QFile::copy(elf, path))
            qFatal("cannot copy %s to %s", qPrintable(elf), qPrintable(path));
    }
    QFile help(folder + "/help.html");
    if (!help.open(QIODevice::WriteOnly) || help.write(kSmallHelpPage) < 0)
        qFatal("cannot write %s", qPrintable(help.fileName()));
    return {folder + "/bin/qubrix",
            folder + "/lib/qubrix/libqubrix_sound.so",
            "../lib/qubrix/libqubrix_sound.so",
            folder + "/plugins",
            {},
            help.fileName()};
}

// While it lives, the tool of that name found on PATH hangs until it is killed. It lies in
// folder, which the test removes.
class HangingTool final {
public:
    HangingTool(const QString& name, const QString& folder) : m_path(qgetenv("PATH")) {
        QFile tool(folder + "/" + name);
        if (!QDir().mkpath(folder) || !tool.open(QIODevice::WriteOnly) ||
            tool.write("#!/bin/sh\nexec sleep 60\n") < 0 ||
            !tool.setPermissions(QFile::ReadOwner | QFile::ExeOwner))
            qFatal("cannot write %s", qPrintable(tool.fileName()));
        qputenv("PATH", QFile::encodeName(folder) + ":" + m_path);
    }
    ~HangingTool() { qputenv("PATH", m_path); }
    HangingTool(const HangingTool&) = delete;
    HangingTool& operator=(const HangingTool&) = delete;

private:
    QByteArray m_path;
};
