#pragma once

#include <QUrl>

// What the desktop does for the program: opening documents and pages, help, sound.
class DesktopService {
public:
    virtual ~DesktopService() = default;

    // The desktop's "open" for a document or a web address (xdg-open); false when the desktop
    // found no program to open it.
    virtual bool openUrl(const QUrl& url) = 0;
    // Opens the program's help page at its contents; false when no program could show it. A
    // help page that is not installed is reported here, in a box of its own.
    virtual bool openHelp() = 0;
    // Plays sound 1000 without waiting for it; silent where there is no audio device.
    virtual void playSound1000() = 0;
};
