#include "platform/linuxdialogservice.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
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

QMessageBox::StandardButtons standardButtons(DialogService::Buttons buttons) {
    switch (buttons) {
    case DialogService::Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case DialogService::Buttons::YesNoAllCancel:
        return QMessageBox::Yes | QMessageBox::YesToAll | QMessageBox::No | QMessageBox::NoToAll |
               QMessageBox::Cancel;
    case DialogService::Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case DialogService::Buttons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

// A folder picker that also takes the path of a folder that does not exist yet, typed into its
// name field: whoever uses the folder makes it. Qt's own folder dialog would refuse it as not
// found; the desktop's dialog, used where there is one, makes new folders itself.
class NewFolderPicker final : public QFileDialog {
public:
    explicit NewFolderPicker(const QString& title) : QFileDialog(nullptr, title, QDir::homePath()) {
        setFileMode(QFileDialog::Directory);
        setOption(QFileDialog::ShowDirsOnly);
        allowChoosingNewFolders();
    }

    void accept() override {
        const QStringList picked = selectedFiles();
        if (picked.size() == 1 && !QFileInfo::exists(picked.first()))
            QDialog::accept();
        else
            QFileDialog::accept();
    }

private:
    // Qt's dialog disables its Choose button while the typed folder does not exist; a name
    // typed is enough here. (The desktop's own dialog has neither widget.)
    void allowChoosingNewFolders() {
        auto* name = findChild<QLineEdit*>("fileNameEdit");
        auto* buttons = findChild<QDialogButtonBox*>("buttonBox");
        if (!name || !buttons)
            return;
        connect(name, &QLineEdit::textChanged, this, [buttons](const QString& text) {
            if (QPushButton* choose = buttons->button(QDialogButtonBox::Open);
                choose && !text.trimmed().isEmpty())
                choose->setEnabled(true);
        });
    }
};

} // namespace

DialogService::Answer LinuxDialogService::messageBox(const QString& text, const QString& caption,
                                                     Icon icon, Buttons buttons) {
    QMessageBox box(messageIcon(icon), caption, text, standardButtons(buttons));
    box.setObjectName("messageBox");
    // Texts carry file names and catalogue lines: "<" and "&" are shown, never interpreted.
    box.setTextFormat(Qt::PlainText);
    // Esc and the close button would count as No; an unseen button of their own tells them
    // apart, so that dismissing a question is never taken as an answer.
    if (buttons == Buttons::YesNo) {
        QAbstractButton* dismiss = box.addButton(QMessageBox::Cancel);
        dismiss->hide();
        box.setEscapeButton(dismiss);
    } else if (buttons == Buttons::YesNoAllCancel) {
        box.setDefaultButton(QMessageBox::No);
    } else if (buttons == Buttons::YesNoCancel) {
        box.setDefaultButton(QMessageBox::Yes);
    }
    box.exec();
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::YesToAll:
        return Answer::YesToAll;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::NoToAll:
        return Answer::NoToAll;
    default:
        return buttons == Buttons::YesNo ? Answer::Dismissed : Answer::Cancel;
    }
}

void LinuxDialogService::showReport(const QString& text, const QString& caption, Icon icon,
                                    const QString& details) {
    QMessageBox box(messageIcon(icon), caption, text, QMessageBox::Ok);
    box.setObjectName("reportBox");
    box.setTextFormat(Qt::PlainText);
    // The paths can be selected and copied, to look into them afterwards.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    if (!details.isEmpty())
        box.setDetailedText(details);
    box.exec();
}

void LinuxDialogService::beep() {
    QApplication::beep();
}

namespace {

// "Caption (patterns)" with the details hidden shows the caption alone, whatever its own
// parentheses hold.
QString nameFilters(const QList<DialogService::FileFilter>& filters) {
    QStringList texts;
    for (const DialogService::FileFilter& filter : filters)
        texts.append(filter.caption + " (" + filter.patterns.join(' ') + ')');
    return texts.join(";;");
}

} // namespace

QString LinuxDialogService::openFileName(const QString& folder, const QList<FileFilter>& filters) {
    return QFileDialog::getOpenFileName(nullptr, "Open", folder, nameFilters(filters), nullptr,
                                        QFileDialog::HideNameFilterDetails);
}

QString LinuxDialogService::saveFileName(const QString& title, const QString& suggested,
                                         const QList<FileFilter>& filters) {
    return QFileDialog::getSaveFileName(nullptr, title, suggested, nameFilters(filters), nullptr,
                                        QFileDialog::HideNameFilterDetails);
}

std::optional<QString> LinuxDialogService::askText(const QString& caption, const QString& prompt,
                                                   const QString& text) {
    bool ok = false;
    const QString answer =
        QInputDialog::getText(nullptr, caption, prompt, QLineEdit::Normal, text, &ok);
    return ok ? std::optional<QString>(answer) : std::nullopt;
}

QString LinuxDialogService::pickFolder(const QString& title) {
    NewFolderPicker picker(title);
    return picker.exec() == QDialog::Accepted ? picker.selectedFiles().value(0) : QString();
}
