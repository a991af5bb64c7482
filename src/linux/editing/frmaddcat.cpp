#include "linux/editing/frmaddcat.h"

#include "linux/ui/placement.h"

#include <QLineEdit>
#include <QPushButton>

TfrmAddCat::TfrmAddCat(QWidget* parent) : QDialog(parent) {
    setObjectName("frmAddCat");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setFixedSize(210, 90);

    Edit1 = place<QLineEdit>(this, "Edit1", 16, 16, 177, 21);
    Edit1->setMaxLength(nameLength);
    Edit1->setAccessibleName("Add Category");

    cmdOK = place<QPushButton>(this, "cmdOK", 24, 52, 75, 25);
    cmdOK->setText(tr("&OK"));
    cmdOK->setToolTip(tr("Accept entry"));
    cmdOK->setFlat(true);
    cmdOK->setDefault(true);
    cmdOK->setEnabled(false);

    cmdCancel = place<QPushButton>(this, "cmdCancel", 112, 52, 75, 25);
    cmdCancel->setText(tr("Cancel"));
    cmdCancel->setToolTip(tr("Abort & reject entry"));
    cmdCancel->setFlat(true);
    cmdCancel->setAutoDefault(false);

    // textChanged, not textEdited: a name set by the program counts as well.
    connect(Edit1, &QLineEdit::textChanged, this, &TfrmAddCat::Edit1Change);
    connect(cmdOK, &QPushButton::clicked, this, &TfrmAddCat::cmdOKClick);
    connect(cmdCancel, &QPushButton::clicked, this, &TfrmAddCat::cmdCancelClick);
}

std::optional<QString> TfrmAddCat::askCategoryName(Purpose purpose, const QString& name) {
    Edit1->setText(name);
    setWindowTitle(purpose == Purpose::Rename ? "Rename Category" : "Add Category");
    // The edit has no label: the caption says what it asks for.
    Edit1->setAccessibleName(windowTitle());
    if (exec() != Accepted)
        return std::nullopt;
    return Edit1->text();
}

void TfrmAddCat::Edit1Change() {
    cmdOK->setEnabled(!Edit1->text().isEmpty());
}

void TfrmAddCat::cmdOKClick() {
    accept();
}

void TfrmAddCat::cmdCancelClick() {
    reject();
}
