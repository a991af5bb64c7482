#pragma once

#include "platform/platform.h"

#include <QDialog>

// The About box: the logo, the program's file version and the way to the maker's home page.
class TAboutBox final : public QDialog {
    Q_OBJECT

public:
    explicit TAboutBox(Platform& platform, QWidget* parent = nullptr);

private:
    Platform& m_platform;
};
