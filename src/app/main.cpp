#include "app/appwindows.h"
#include "app/product.h"
#include "platform/linuxplatform.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(applicationTitle);
    LinuxPlatform platform;
    std::optional<AppWindows> windows = createWindows(platform);
    if (!windows)
        return 2;
    windows->frmMain->show();
    return QApplication::exec();
}
