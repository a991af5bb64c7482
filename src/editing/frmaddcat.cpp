#include "editing/frmaddcat.h"

#include "app/frmmain.h"
#include "ui/placement.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

TfrmAddCat::TfrmAddCat(TfrmMain& frmMain, QWidget* parent) : QDialog(parent), m_frmMain(frmMain) {
    setObjectName("frmAddCat");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setFixedSize(210, 90);

    Edit1 = place<QLineEdit>(this, "Edit1", 16, 16, 177, 21);
    Edit1->setMaxLength(nameLength);

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

void TfrmAddCat::Edit1Change() {
    cmdOK->setEnabled(!Edit1->text().isEmpty());
}

void TfrmAddCat::cmdOKClick() {
    qubrix::Catalogue& catalogue = m_frmMain.document().model();
    const std::string name = catalogue.catalogueTextFromUtf8(Edit1->text().toStdString());
    if (windowTitle() == "Rename Category")
        catalogue.renameCategory(std::size_t(m_frmMain.CatBox->currentRow()), name);
    else
        catalogue.addCategory(name);
    m_frmMain.BuildCategories();
    accept();
}

void TfrmAddCat::cmdCancelClick() {
    reject();
}
