#pragma once

#include "platform/services.h"

#include <QDialog>
#include <QUrl>

class QFrame;
class QLabel;
class QPushButton;

// The About box: the logo, the program's file version and the way to the maker's home page.
// Created once; its version text and pictures are filled at the first show and shown unchanged
// every time.
class TAboutBox final : public QDialog {
    Q_OBJECT

public:
    explicit TAboutBox(Services services, QWidget* parent = nullptr);

    // The maker's home page that "&Update" offers (QUBRIX_HOME_PAGE at configure time).
    static QUrl makerHomePage();

    void cmdUpdateClick();
    void OKButtonClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildLayout();

    bool m_filled = false; // the version and pictures are in place

    Services m_services;
    QFrame* Panel1 = nullptr;
    QLabel* Version = nullptr;
    QLabel* Copyright = nullptr;
    QLabel* Image1 = nullptr;
    QPushButton* cmdUpdate = nullptr;
    QLabel* Image2 = nullptr;
    QPushButton* OKButton = nullptr;
};
