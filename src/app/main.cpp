#include "app/appwindows.h"
#include "platform/linuxservices.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    prepareApplication();
    LinuxServices linuxServices;
    std::optional<AppWindows> windows = createWindows(linuxServices.services());
    if (!windows)
        return 2;
    windows->frmMain->show();
    return QApplication::exec();
}
