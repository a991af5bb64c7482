#pragma once

#include "linux/about/aboutbox.h"
#include "linux/app/frmmain.h"
#include "linux/editing/frmaddcat.h"
#include "linux/editing/frmnote.h"
#include "linux/naming/frmvalidname.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

// The five windows of a run, created in this order and kept until the process ends: the main
// window first, which makes it the one shown when the event loop starts.
struct AppWindows {
    std::unique_ptr<TfrmMain> frmMain;
    std::unique_ptr<TAboutBox> AboutBox;
    std::unique_ptr<TfrmValidName> frmValidName;
    std::unique_ptr<TfrmAddCat> frmAddCat;
    std::unique_ptr<TfrmNote> frmNote;
};

// Gives the application its name and its style; once, before any window is made.
void prepareApplication();

// Where the start calls for it (the arguments, without the program's name, hold the desktop
// entry's option, or the current directory is homeFolder without a catalogue), asks for the
// disc's folder and makes it the current directory, before any window is made. False when the
// user cancelled: the run ends then, and no folder or catalogue has been made.
bool settleDiscFolder(Services services, const QStringList& arguments, const QString& homeFolder);

// Creates the windows; the main window loads its catalogue before the dialogs are made.
// std::nullopt when the catalogue exists but cannot be read (the reason has been shown).
std::optional<AppWindows> createWindows(Services services);
