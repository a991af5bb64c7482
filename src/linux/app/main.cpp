#include "linux/app/appwindows.h"
#include "platform/linuxservices.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

DialogService* g_dialogs = nullptr;

// Out of memory ends the run with a word to the user instead of an abort.
[[noreturn]] void endForLackOfMemory() {
    static const char text[] = "Not enough memory to go on. Qubrix ends now; changes that were "
                               "not saved are lost.";
    std::fprintf(stderr, "qubrix: %s\n", text);
    try {
        if (g_dialogs) {
            g_dialogs->beep();
            g_dialogs->messageBox(text, "Out of memory", DialogService::Icon::Error,
                                  DialogService::Buttons::Ok);
        }
    } catch (...) {
        // The message could not be shown either; the status still tells.
    }
    std::_Exit(1);
}

// Every event passes here, so a failed allocation in any handler ends the run cleanly.
class QubrixApplication final : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::bad_alloc&) {
            endForLackOfMemory();
        }
    }
};

} // namespace

int main(int argc, char* argv[]) {
    QubrixApplication application(argc, argv);
    prepareApplication();
    LinuxServices linuxServices;
    g_dialogs = &linuxServices.dialogs;
    try {
        // Started from the desktop, the folder of the disc is asked for; cancelling ends the
        // run as quietly as it began.
        if (!settleDiscFolder(linuxServices.services(), QApplication::arguments().mid(1),
                              qEnvironmentVariable("HOME")))
            return 0;
        std::optional<AppWindows> windows = createWindows(linuxServices.services());
        if (!windows)
            return 2;
        windows->frmMain->show();
        return QApplication::exec();
    } catch (const std::bad_alloc&) {
        endForLackOfMemory();
    }
}
