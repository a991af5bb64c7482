#pragma once

#include "linux/naming/namequestion.h"
#include "linux/ui/toolglyphs.h"
#include "platform/services.h"

#include <QDialog>

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Asks the author for a new name of a folder or file whose name fails the short-name test of
// CD mastering. Created once at start-up and shown again and again: each question fills its
// labels and reads the author's answer from renameAccepted and Edit1.
class TfrmValidName final : public QDialog, public NameQuestion {
    Q_OBJECT

public:
    explicit TfrmValidName(Services services, QWidget* parent = nullptr);

    static constexpr int designedLeft = 366;
    static constexpr int designedTop = 193;

    // True after "&Change"; false after "&Skip", Escape or the close box.
    bool renameAccepted = false;

    Answer askNewName(Subject subject, const QString& pickedPath, const QString& name) override;

    void cmdChangeClick();
    void cmdCancelClick();
    void cmdHelpClick();
    void reject() override;

    QFrame* Panel1 = nullptr;
    QLabel* Memo2 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* lblLocation = nullptr;
    QLabel* lblPath = nullptr;
    QLabel* lblName = nullptr;
    QLabel* lblFName = nullptr;
    QLabel* lblChange = nullptr;
    QLineEdit* Edit1 = nullptr;
    QFrame* Panel2 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLabel* Memo1 = nullptr;
    QPushButton* cmdChange = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdHelp = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildLayout();
    void buildTopBand();
    void buildNameRows();
    void buildButtonBand();
    QPushButton* flatButton(const char* name, int left, const QString& text, const QString& hint,
                            ToolGlyph picture);

    Services m_services;
};
