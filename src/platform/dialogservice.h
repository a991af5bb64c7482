#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Message boxes, the default beep, the file picker and the folder picker.
class DialogService {
public:
    enum class Icon { None, Information, Warning, Error };
    // YesNoAllCancel: Yes, Yes to All, No (the default), No to All and Cancel, which Esc and
    // the close button answer. YesNoCancel: Yes (the default), No and Cancel, which Esc and the
    // close button answer.
    enum class Buttons { Ok, YesNo, YesNoAllCancel, YesNoCancel };
    // Dismissed: a Yes/No question closed with Esc or the close button, which answers neither.
    enum class Answer { Ok, Yes, No, Dismissed, YesToAll, NoToAll, Cancel };

    virtual ~DialogService() = default;

    // A message box without owner window, its text shown as plain text (stands in for
    // MessageBoxA).
    virtual Answer messageBox(const QString& text, const QString& caption, Icon icon,
                              Buttons buttons) = 0;
    // A box with OK that reports what went wrong: its text can be selected and copied, and
    // details, unless empty, are shown behind a button of their own.
    virtual void showReport(const QString& text, const QString& caption, Icon icon,
                            const QString& details) = 0;
    // The default beep (stands in for MessageBeep).
    virtual void beep() = 0;
    // The default beep, then a message box: how the windows report and ask.
    Answer beepAndAsk(const QString& text, const QString& caption, Icon icon, Buttons buttons) {
        beep();
        return messageBox(text, caption, icon, buttons);
    }

    // A filter of the file picker: the caption it shows and the name patterns it matches.
    struct FileFilter {
        QString caption;
        QStringList patterns;
    };
    // The open-file dialog (stands in for GetOpenFileNameA), starting in folder with the first
    // filter chosen. The chosen file's absolute path, or empty when the user cancels.
    virtual QString openFileName(const QString& folder, const QList<FileFilter>& filters) = 0;
    // The folder dialog titled title (stands in for SHBrowseForFolderA). The chosen folder's
    // absolute path, or empty when the user cancels.
    virtual QString pickFolder(const QString& title) = 0;
    // The save-file dialog titled title, starting at the suggested path, which asks before an
    // existing file is replaced. The chosen file's absolute path, or empty when the user
    // cancels.
    virtual QString saveFileName(const QString& title, const QString& suggested,
                                 const QList<FileFilter>& filters) = 0;
    // A one-line text asked under caption with the prompt, starting as text; nullopt when the
    // user cancels.
    virtual std::optional<QString> askText(const QString& caption, const QString& prompt,
                                           const QString& text) = 0;
};
