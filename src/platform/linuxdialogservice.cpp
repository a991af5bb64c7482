#include "platform/linuxdialogservice.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

QMessageBox::Icon messageIcon(DialogService::Icon icon) {
    switch (icon) {
    case DialogService::Icon::Information:
        return QMessageBox::Information;
    case DialogService::Icon::Warning:
        return QMessageBox::Warning;
    case DialogService::Icon::Error:
        return QMessageBox::Critical;
    case DialogService::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

DialogService::Answer LinuxDialogService::messageBox(const QString& text, const QString& caption,
                                                     Icon icon, Buttons buttons) {
    QMessageBox box(messageIcon(icon), caption, text,
                    buttons == Buttons::YesNo ? QMessageBox::Yes | QMessageBox::No
                                              : QMessageBox::Ok);
    // Texts carry file names and catalogue lines: "<" and "&" are shown, never interpreted.
    box.setTextFormat(Qt::PlainText);
    // Esc and the close button would count as No; an unseen button of their own tells them
    // apart, so that dismissing a question is never taken as an answer.
    QAbstractButton* dismiss = nullptr;
    if (buttons == Buttons::YesNo) {
        dismiss = box.addButton(QMessageBox::Cancel);
        dismiss->hide();
        box.setEscapeButton(dismiss);
    }
    box.exec();
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    if (box.clickedButton() == box.button(QMessageBox::Yes))
        return Answer::Yes;
    return box.clickedButton() == box.button(QMessageBox::No) ? Answer::No : Answer::Dismissed;
}

void LinuxDialogService::beep() {
    QApplication::beep();
}

QString LinuxDialogService::openFileName(const QString& folder, const QList<FileFilter>& filters) {
    // "Caption (patterns)" with the details hidden shows the caption alone, whatever its own
    // parentheses hold.
    QStringList nameFilters;
    for (const FileFilter& filter : filters)
        nameFilters.append(filter.caption + " (" + filter.patterns.join(' ') + ')');
    return QFileDialog::getOpenFileName(nullptr, "Open", folder, nameFilters.join(";;"), nullptr,
                                        QFileDialog::HideNameFilterDetails);
}

QString LinuxDialogService::pickFolder(const QString& title) {
    return QFileDialog::getExistingDirectory(nullptr, title, QDir::homePath());
}
