#include "app/appwindows.h"
#include "platform/linuxservices.h"
#include "ui/glyphstyle.h"
#include "ui/product.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setStyle(new GlyphStyle(QApplication::style()->name()));
    QApplication::setApplicationName(applicationTitle);
    LinuxServices linuxServices;
    std::optional<AppWindows> windows = createWindows(linuxServices.services());
    if (!windows)
        return 2;
    windows->frmMain->show();
    return QApplication::exec();
}
