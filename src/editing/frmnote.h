#pragma once

#include <QDialog>

// Created once at start-up and kept for the whole run; its contents come with its commands.
class TfrmNote final : public QDialog {
    Q_OBJECT

public:
    explicit TfrmNote(QWidget* parent = nullptr);
};
