#include "app/appwindows.h"

std::optional<AppWindows> createWindows(Platform& platform) {
    AppWindows windows;
    windows.frmMain = std::make_unique<TfrmMain>(platform);
    if (!windows.frmMain->FormCreate())
        return std::nullopt;
    windows.AboutBox = std::make_unique<TAboutBox>(platform);
    windows.frmValidName = std::make_unique<TfrmValidName>(platform);
    windows.frmAddCat = std::make_unique<TfrmAddCat>(*windows.frmMain);
    windows.frmNote = std::make_unique<TfrmNote>();
    windows.frmMain->setAboutBox(windows.AboutBox.get());
    windows.frmMain->setAddCatDialog(windows.frmAddCat.get());
    return windows;
}
