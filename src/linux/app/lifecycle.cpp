#include "linux/app/frmmain.h"

#include <QCloseEvent>
#include <QLineEdit>

bool TfrmMain::FormCreate() {
    if (!m_logic.FormCreate())
        return false;
    setWindowTitle(QString::fromStdString(m_logic.caption()));
    m_controls.txtDescription->setMaxLength(53);
    return true;
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    // Leaving goes through Exit; the process ends there, or the window stays open.
    event->ignore();
    m_logic.mnuExitClick();
}
