#pragma once

#include "about/aboutbox.h"
#include "app/frmmain.h"
#include "editing/frmaddcat.h"
#include "editing/frmnote.h"
#include "naming/frmvalidname.h"

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

// Creates the windows; the main window loads its catalogue before the dialogs are made.
// std::nullopt when the catalogue exists but cannot be read (the reason has been shown).

std::optional<AppWindows> createWindows(Services services);
