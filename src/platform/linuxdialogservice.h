#pragma once

#include "platform/dialogservice.h"

// Message boxes as Qt message boxes, the beep as the desktop's, the file and folder pickers as
// Qt's (the desktop's own where Qt has one).
class LinuxDialogService final : public DialogService {
public:
    Answer messageBox(const QString& text, const QString& caption, Icon icon,
                      Buttons buttons) override;
    void showReport(const QString& text, const QString& caption, Icon icon,
                    const QString& details) override;
    void beep() override;
    QString openFileName(const QString& folder, const QList<FileFilter>& filters) override;
    QString pickFolder(const QString& title) override;
    QString saveFileName(const QString& title, const QString& suggested,
                         const QList<FileFilter>& filters) override;
    std::optional<QString> askText(const QString& caption, const QString& prompt,
                                   const QString& text) override;
};
