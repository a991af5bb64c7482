#pragma once

#include <QDialog>

// Created once at start-up and kept for the whole run; its contents come with its commands.
class TfrmAddCat final : public QDialog {
    Q_OBJECT

public:
    explicit TfrmAddCat(QWidget* parent = nullptr);
};
