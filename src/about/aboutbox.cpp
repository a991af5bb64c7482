#include "about/aboutbox.h"

TAboutBox::TAboutBox(Platform& platform, QWidget* parent) : QDialog(parent), m_platform(platform) {
    setObjectName("AboutBox");
}
