#pragma once

#include <QDialog>

// Created once at start-up and kept for the whole run; its contents come with its commands.
class TfrmValidName final : public QDialog {
    Q_OBJECT

public:
    explicit TfrmValidName(QWidget* parent = nullptr);
};
