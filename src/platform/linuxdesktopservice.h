#pragma once

#include "platform/desktopservice.h"

#include <QString>

class DialogService;

// The help page of the program in programFolder: beside it in the build tree, in share/ once
// installed or carried on a disc; empty when there is none.
QString helpPageOf(const QString& programFolder);

// The desktop's opening of documents and pages, the installed help page and sound 1000.
class LinuxDesktopService final : public DesktopService {
public:
    // A help page that is not installed is reported through dialogs.
    explicit LinuxDesktopService(DialogService& dialogs) : m_dialogs(dialogs) {}

    bool openUrl(const QUrl& url) override;
    bool openHelp() override;
    void playSound1000() override;

private:
    DialogService& m_dialogs;
};
