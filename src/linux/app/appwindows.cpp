#include "linux/app/appwindows.h"

#include "core/window/product.h"
#include "linux/app/discfolder.h"
#include "linux/ui/glyphstyle.h"

#include <QApplication>

void prepareApplication() {
    QApplication::setStyle(new GlyphStyle(QApplication::style()->name()));
    QApplication::setApplicationName(applicationTitle);
    // The installed desktop entry, through which a Wayland desktop gives the window its icon.
    QApplication::setDesktopFileName(QStringLiteral("org.qubrix.Qubrix"));
}

bool settleDiscFolder(Services services, const QStringList& arguments, const QString& homeFolder) {
    if (!asksForDiscFolder(arguments, services.files.currentDirectory(), homeFolder))
        return true;
    return enterChosenDiscFolder(services.dialogs);
}

std::optional<AppWindows> createWindows(Services services) {
    AppWindows windows;
    windows.frmMain = std::make_unique<TfrmMain>(services);
    if (!windows.frmMain->FormCreate())
        return std::nullopt;
    windows.AboutBox = std::make_unique<TAboutBox>(services);
    windows.frmValidName = std::make_unique<TfrmValidName>(services);
    windows.frmAddCat = std::make_unique<TfrmAddCat>();
    windows.frmNote = std::make_unique<TfrmNote>(windows.frmMain->noteEntry());
    windows.frmMain->setAboutBox(windows.AboutBox.get());
    windows.frmMain->setCategoryNameQuestion(windows.frmAddCat.get());
    windows.frmMain->setNameQuestion(windows.frmValidName.get());
    windows.frmMain->setNoteDialog(windows.frmNote.get());
    return windows;
}
