#pragma once

#include "linux/editing/categorynamequestion.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

// The category name dialog: created once at start-up and shown modally for a new category,
// captioned "Add Category", and for a new name, captioned "Rename Category".
class TfrmAddCat final : public QDialog, public CategoryNameQuestion {
    Q_OBJECT

public:
    explicit TfrmAddCat(QWidget* parent = nullptr);

    std::optional<QString> askCategoryName(Purpose purpose, const QString& name) override;

    static constexpr int nameLength = 30;

    void Edit1Change();
    void cmdOKClick();
    void cmdCancelClick();

    QLineEdit* Edit1 = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
};
