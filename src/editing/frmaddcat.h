#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;
class TfrmMain;

// The category name dialog: created once at start-up and shown modally for a new category and
// for a new name. The caller sets the caption, "Add Category" or "Rename Category", and OK
// tells the two apart by it.
class TfrmAddCat final : public QDialog {
    Q_OBJECT

public:
    explicit TfrmAddCat(TfrmMain& frmMain, QWidget* parent = nullptr);

    static constexpr int nameLength = 30;

    void Edit1Change();
    void cmdOKClick();
    void cmdCancelClick();

    QLineEdit* Edit1 = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    TfrmMain& m_frmMain;
};
